// Reading any model or scene file the program knows, chosen by the end of
// its name, with the user's messages for every failure.
#pragma once

#include <string>

#include "document/document.h"

namespace modra {

enum ModelFileType : int {
  kDxfFile = 1,
  kWavefrontFile = 2,
  kTruespaceFile = 3,
  kNativeFile = 4,
  k3dStudioFile = 5,
};

// The type named by the name's last three characters (all lower or all
// upper case), else by the three that end two characters before the end
// (a.obj.1); -1 after "Unrecognized File Type".
int GetModelFileType(Document& doc, const std::string& name);

// Reads the file into the scene (replacing it, or adding to it with
// `append`), then turns what a foreign reader staged into display groups:
// sized into -1..1, one group per part, each centred on its own geometry.
// 0, or -1 after one message naming the file; a failed read leaves the
// scene as it was and the staging mesh empty.
int ReadModelFile(Document& doc, const std::string& name, bool append);

// The file named at start-up: it replaces the scene, which is cleared
// first; the document takes the name (its first kMaxDocumentName
// characters) and is not modified afterwards when it loaded. Save asks
// before replacing the file unless it was a native file that loaded.
int OpenModelFile(Document& doc, const std::string& name);
// File > Open as the user chooses it: as OpenModelFile, then the document
// takes the file's name as a native file (OpenedDocumentName), so that a
// later Save writes a native file beside the one read, never over it.
// Both return what ReadModelFile did.
int OpenDocument(Document& doc, const std::string& path);
// File > Append: the animation goes back to frame 0, then the file's model
// joins the scene; modified in any case. What ReadModelFile returned.
int AppendModelFile(Document& doc, const std::string& name);

}  // namespace modra
