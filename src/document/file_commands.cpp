#include "document/file_commands.h"

#include <filesystem>
#include <system_error>

#include "document/file_names.h"
#include "nativefile/native_writer.h"

namespace modra {
namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  // An unreadable folder counts as "there": better one question too many
  // than a file replaced unasked.
  const bool exists = std::filesystem::exists(path, error);
  return exists || (error && error != std::errc::no_such_file_or_directory);
}

SaveResult Write(Document& doc, const std::string& path) {
  if (WriteNativeFile(doc, path) != 0) return SaveResult::kFailed;
  ChangeBatch batch(doc);
  SetDocumentName(doc, path);
  SetModified(doc, false);
  doc.needsOverwriteCheck = false;
  return SaveResult::kSaved;
}

}  // namespace

bool MayEraseScene(Document& doc) {
  return !doc.modified || doc.shell->Ask(kEraseQuestion);
}

bool MayQuit(Document& doc) {
  return !doc.modified || doc.shell->Ask(kQuitQuestion);
}

std::string ReplaceQuestion(std::string_view path) {
  std::string question(path);
  question += " already exists.  Is it ok to replace it?";
  return question;
}

bool MayReplace(Document& doc, const std::string& path) {
  return !Exists(path) || doc.shell->Ask(ReplaceQuestion(path));
}

SaveResult SaveDocument(Document& doc) {
  const std::string path = doc.name;
  if (doc.needsOverwriteCheck && !MayReplace(doc, path)) return SaveResult::kDeclined;
  return Write(doc, path);
}

SaveResult SaveDocumentAs(Document& doc, std::string_view chosen) {
  const std::string path = WithExtension(chosen, kNativeExtension);
  if (!MayReplace(doc, path)) return SaveResult::kDeclined;
  return Write(doc, path);
}

}  // namespace modra
