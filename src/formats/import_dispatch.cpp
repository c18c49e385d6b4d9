#include "formats/import_dispatch.h"

#include <cstdio>
#include <string_view>

#include "anim/playback.h"
#include "document/draft_document.h"
#include "document/file_names.h"
#include "formats/3ds_reader.h"
#include "formats/assimp_reader.h"
#include "formats/cob_reader.h"
#include "formats/dxf_reader.h"
#include "formats/gltf_reader.h"
#include "formats/obj_reader.h"
#include "io/file_bytes.h"
#include "nativefile/native_reader.h"
#include "scene/bounds.h"

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
  for (const char* gltf : {".gltf", ".GLTF", ".glb", ".GLB"})
    if (type == -1 && n.ends_with(gltf)) type = kGltfFile;
  if (type == -1 && IsAssimpModelName(n)) type = kExchangeFile;
  if (type == -1) doc.shell->Message("Unrecognized File Type");
  return type;
}

namespace {

// What every successful read ends with; the foreign steps turn the staging
// mesh into display groups. -3 when the groups cannot be made.
int Convert(Document& doc, const std::string& name, bool append, bool foreign) {
  Scene& s = doc.scene;
  s.selectedGroup = -1;
  NotifyChanged(doc, kSelectionChanged);
  ResetViews(doc.display.views, true, s.camera.position);
  if (foreign) {
    ImportMesh& m = doc.importMesh;
    NormalizeMeshSize(m);
    AssignObjectsToParts(m);
    ForEachGroup(s, s.rootHead, [&](int g) { s.groups[g].flags &= ~NeedsCentering; });
    if (BuildPlacedGroupsFromMesh(doc, m, name, append, doc.whiteUncoloredParts) != 0) {
      ResetImportMesh(m);
      return -3;
    }
  }
  ResetImportMesh(doc.importMesh);
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].flags & Deleted) return;
    if (foreign) {
      s.groups[g].flags |= Enabled;
      // The groups just made (the only ones still marked) were centred
      // and boxed as they were filled.
      if (s.groups[g].flags & NeedsCentering) return;
    }
    ComputeBoundingBox(s, g);
  });
  NotifyChanged(doc, kSceneChanged);
  doc.shell->RequestRedraw();
  return 0;
}

}  // namespace

int ReadModelFile(Document& doc, const std::string& name, bool append) {
  const int type = GetModelFileType(doc, name);
  if (type == -1) return -1;
  doc.modelFileType = type;
  ChangeBatch batch(doc);
  ResetImportMesh(doc.importMesh);
  int result;
  switch (type) {
    case kDxfFile:
      result = ReadDxfModel(doc, name);
      break;
    case kWavefrontFile:
      result = ReadWavefrontModel(doc, name);
      break;
    case kTruespaceFile:
      result = ReadCobModel(doc, name);
      break;
    case k3dStudioFile:
      result = Read3dsModel(doc, name);
      break;
    case kGltfFile:
      result = ReadGltfModel(doc, name, append);
      break;
    case kExchangeFile:
      result = ReadAssimpModel(doc, name);
      break;
    default:
      result = ReadNativeFile(doc, name, append);
      break;
  }
  // glTF groups are made, sized and placed by their reader, as native ones are.
  const bool staged = type != kNativeFile && type != kGltfFile;
  if (result == 0) result = Convert(doc, name, append, staged);
  if (result == 0) return 0;
  ResetImportMesh(doc.importMesh);
  if (result == -1)
    doc.shell->Message(WithUnreadableReason("Can't open " + name + " for read\n", name));
  else if (result == -3)
    Report(doc, "%s is too large to load or can't be decoded\n", name);
  else
    Report(doc, "Can't decode %s correctly\n", name);
  return -1;
}

namespace {

// Groups that show something: live, with at least one vertex.
int DrawableGroups(const Scene& s) {
  int count = 0;
  for (const DisplayGroup& g : s.groups) {
    if (g.flags & Deleted) continue;
    for (const DisplayPrimitive& p : g.primitives)
      if (p.vertexCount > 0 && !p.vertices.empty()) {
        ++count;
        break;
      }
  }
  return count;
}

// Reads the file into the draft; 0 when that gave it something more to
// draw, else -1 after one message. A scene file opened is the user's own
// document, lights and camera and all, even with no group in it.
int ReadIntoDraft(Document& draft, const std::string& name, bool append) {
  const int before = DrawableGroups(draft.scene);
  if (ReadModelFile(draft, name, append) != 0) return -1;
  if (!append && draft.modelFileType == kNativeFile) return 0;
  if (DrawableGroups(draft.scene) > before) return 0;
  draft.shell->Message(NothingToDrawMessage(name));
  return -1;
}

}  // namespace

std::string NothingToDrawMessage(std::string_view name) {
  return std::string(name) + " holds nothing to draw";
}

int OpenModelFile(Document& doc, const std::string& name) {
  DraftDocument draft(doc, DraftStart::kNewScene);
  if (ReadIntoDraft(draft.doc(), name, false) != 0) return -1;
  ChangeBatch batch(doc);
  draft.MoveInto(doc);
  SetDocumentName(doc, std::string_view(name).substr(0, kMaxDocumentName));
  SetModified(doc, false);
  // Only a native file read whole may be written back over itself: a
  // foreign model or a truncated name are not what a Save would put there.
  doc.needsOverwriteCheck = !(doc.modelFileType == kNativeFile && doc.name == name);
  return 0;
}

int OpenDocument(Document& doc, const std::string& path) {
  ChangeBatch batch(doc);
  const int result = OpenModelFile(doc, path);
  if (result != 0) return result;
  SetDocumentName(doc, OpenedDocumentName(doc.name));
  if (doc.name != path) doc.needsOverwriteCheck = true;
  return 0;
}

int AppendToScene(Document& doc, const std::string& name) {
  DraftDocument draft(doc, DraftStart::kSceneCopy);
  if (ReadIntoDraft(draft.doc(), name, true) != 0) return -1;
  draft.MoveInto(doc);
  return 0;
}

int AppendModelFile(Document& doc, const std::string& name) {
  ChangeBatch batch(doc);
  const int frame = doc.scene.anim.currentFrame;
  GoToFrame0(doc);
  if (AppendToScene(doc, name) != 0) {
    GoToFrame(doc, frame);
    return -1;
  }
  MarkModified(doc);
  return 0;
}
}  // namespace modra
