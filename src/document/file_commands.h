// The File menu's rules for keeping the user's work: unsaved changes are
// dropped only after a Yes, no save replaces a file the document did not
// come from without asking, and after Save As the file written is the
// document. The shell asks the questions; the window only binds.
//
// The question about replacing a file is asked here, once, about the name
// really written, ending and all. The file dialogs do not ask: they would
// ask about the name typed ("x" for x.obj), or ask a second time.
#pragma once

#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

inline constexpr char kEraseQuestion[] =
    "The current scene has not been saved.  Is it ok to erase it?";
inline constexpr char kQuitQuestion[] =
    "The current scene has not been saved.  Is it ok to quit without saving?";

// New and Open (before any file dialog): true when the scene may be
// replaced; with unsaved changes only after Yes to kEraseQuestion.
bool MayEraseScene(Document& doc);
// Exit and the window's close box: likewise with kQuitQuestion.
bool MayQuit(Document& doc);

// "<path> already exists.  Is it ok to replace it?"
std::string ReplaceQuestion(std::string_view path);

// Before a save writes `path` (with its ending): true when no file is
// there, or after Yes to ReplaceQuestion(path). A path whose folder cannot
// be looked into counts as taken.
bool MayReplace(Document& doc, const std::string& path);

enum class SaveResult {
  kSaved,
  kDeclined,  // the user said No; nothing was written
  kFailed,    // the writer has said why; the file there is untouched
};

// File > Save: writes the native file under the document's name. When that
// name may belong to another file (needsOverwriteCheck) and such a file
// exists, asks ReplaceQuestion first. Once saved the document is not
// modified and Save stops asking; a decline or a failure keeps both flags.
SaveResult SaveDocument(Document& doc);

// File > Save As to `chosen` (".knf" appended when missing), asking
// first (MayReplace) when that file exists. Once saved, the file written
// is the document: its name, not modified, no more asking. A decline or a
// failure changes neither the name nor the flags.
SaveResult SaveDocumentAs(Document& doc, std::string_view chosen);

}  // namespace modra
