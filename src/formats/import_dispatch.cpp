#include "formats/import_dispatch.h"

#include <cstdio>
#include <string_view>

#include "nativefile/native_reader.h"

namespace modra {
namespace {

int TypeOf(std::string_view ext) {
  static constexpr struct {
    const char* lower;
    const char* upper;
    int type;
  } kTypes[] = {{"dxf", "DXF", kDxfFile},
                {"obj", "OBJ", kWavefrontFile},
                {"cob", "COB", kTruespaceFile},
                {"knf", "KNF", kNativeFile},
                {"3ds", "3DS", k3dStudioFile}};
  for (const auto& t : kTypes)
    if (ext == t.lower || ext == t.upper) return t.type;
  return -1;
}

void Report(Document& doc, const char* format, const std::string& name) {
  std::string text(format);
  text.replace(text.find("%s"), 2, name);
  doc.shell->Message(text);
}

}  // namespace

int GetModelFileType(Document& doc, const std::string& name) {
  std::string_view n = name;
  int type = -1;
  if (n.size() >= 3) type = TypeOf(n.substr(n.size() - 3));
  if (type == -1 && n.size() >= 5) type = TypeOf(n.substr(n.size() - 5, 3));
  if (type == -1) doc.shell->Message("Unrecognized File Type");
  return type;
}

int ReadModelFile(Document& doc, const std::string& name, bool append) {
  const int type = GetModelFileType(doc, name);
  if (type == -1) return -1;
  doc.modelFileType = type;
  doc.scene.selectedGroup = -1;
  int result;
  switch (type) {
    case kNativeFile:
      result = ReadNativeFile(doc, name, append);
      break;
    default:
      // The foreign readers are not part of this build yet.
      doc.shell->Message("Unrecognized File Type");
      return -1;
  }
  if (result == 0) return 0;
  if (result == -1)
    Report(doc, "Can't open %s for read\n", name);
  else if (result == -3)
    Report(doc, "%s is too large to load or can't be decoded\n", name);
  else
    Report(doc, "Can't decode %s correctly\n", name);
  return -1;
}

}  // namespace modra
