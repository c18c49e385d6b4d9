// Reading any model or scene file the program knows, chosen by the end of
// its name, with the user's messages for every failure.
#pragma once

#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

enum ModelFileType : int {
  kDxfFile = 1,
  kWavefrontFile = 2,
  kTruespaceFile = 3,
  kNativeFile = 4,
  k3dStudioFile = 5,
  kGltfFile = 6,
  kExchangeFile = 8,  // any other ending the assimp library reads
};

// The type named by the name's last three characters (all lower or all
// upper case), else by the three that end two characters before the end
// (a.obj.1), else a glTF name's ending (.gltf, .glb), else kExchangeFile
// for an ending only the assimp library reads; -1 after "Unrecognized
// File Type".
int GetModelFileType(Document& doc, const std::string& name);

// Reads the file into the scene (replacing it, or adding to it with
// `append`), then turns what a foreign reader staged into display groups:
// sized into -1..1, one group per part, each centred on its own geometry.
// 0, or -1 after one message naming the file; the staging mesh is empty
// afterwards. A failed read adds nothing, though a native file that fails
// to replace the scene has emptied it: the editor's commands below read
// into a draft, so that a failure touches nothing of the user's.
int ReadModelFile(Document& doc, const std::string& name, bool append);

// "<name> holds nothing to draw": a file that read, yet gave no group
// anything to show (points or lines alone, an empty scene, a picture
// under a model's name).
std::string NothingToDrawMessage(std::string_view name);

// The file named at start-up: it is read into a scene of its own, started
// as New starts one (ResetScene: no groups, keys or clipboards, the
// initial lights, camera, background and views), which takes the place
// of the document's scene only when the file read and holds something to
// draw. Then the document takes the name (its first kMaxDocumentName
// characters) and is not modified; Save asks before replacing the file
// unless it was a native file. Otherwise, after one message, the document
// is exactly as it was: scene, name, flags.
int OpenModelFile(Document& doc, const std::string& name);
// File > Open as the user chooses it: as OpenModelFile, then the document
// takes the file's name as a native file (OpenedDocumentName), so that a
// later Save writes a native file beside the one read, never over it.
// Both return 0, or -1 when the document was left alone.
int OpenDocument(Document& doc, const std::string& path);
// The file's model joins the scene (under a group named after the file)
// only when it reads and holds something to draw; otherwise, after one
// message, nothing changes. 0 or -1.
int AppendToScene(Document& doc, const std::string& name);
// File > Append as a whole: the animation goes back to frame 0, then
// AppendToScene, and the document is modified. One that gives up leaves the
// frame as it was too. 0 or -1.
int AppendModelFile(Document& doc, const std::string& name);

}  // namespace modra
