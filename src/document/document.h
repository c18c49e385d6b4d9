// The document: the one owner of everything a user edits and sees in one
// window (the scene with its animation, the display state), the document's
// name and modified flag, and the shell through which the core speaks.
// Two documents never share anything.
#pragma once

#include <string>
#include <string_view>

#include "document/shell.h"
#include "formats/import_mesh.h"
#include "formats/wavefront_materials.h"
#include "images/texture_table.h"
#include "scene/scene.h"
#include "view/view_setting.h"

namespace modra {

struct Document;
// Everything back to a new scene: no groups, no keys, no clipboards,
// default lights, camera, background and views (the camera view kept when
// asked). The one rule of New, and the scene Open reads a file into.
void ResetScene(Document& doc, bool keepCamera);

inline constexpr char kNewDocumentName[] = "new.knf";

// Change notices held back while a command runs (see ChangeBatch).
struct PendingChanges {
  unsigned bits = 0;
  int depth = 0;
};

struct Document {
  Scene scene;
  TextureTable textures;             // kept across New, Open and Append
  WavefrontMaterialTable materials;  // likewise
  ImportMesh importMesh;             // filled by a foreign reader, emptied after each import
  bool whiteUncoloredParts = false;  // "Import without RGB/vertex"
  DisplayState display;
  // Change these two through SetDocumentName, SetModified and MarkModified,
  // which tell the shell.
  std::string name = kNewDocumentName;
  bool modified = false;
  // The name is not a file this document was read from or saved to (a new
  // scene, or a model opened under its native name), so a file that already
  // bears it belongs to someone else and Save asks before replacing it.
  bool needsOverwriteCheck = true;
  int modelFileType = -1;  // the kind of file most recently read
  PendingChanges pendingChanges;

  explicit Document(Shell& shell);
  Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  Shell* shell;                            // never null
  TextureUploader* uploader = &noUpload_;  // never null

 private:
  QuietShell quiet_;
  NoTextureUpload noUpload_;
};

// Tells the shell that `what` (Change bits) changed: at once, or when the
// outermost ChangeBatch ends. Nothing is sent for 0.
void NotifyChanged(Document& doc, unsigned what);

// Gathers the notices of everything that runs while it lives into one,
// sent when the outermost batch ends; so a command that edits a hundred
// groups refreshes the window once. Every command opens one.
class ChangeBatch {
 public:
  explicit ChangeBatch(Document& doc);
  ~ChangeBatch();
  ChangeBatch(const ChangeBatch&) = delete;
  ChangeBatch& operator=(const ChangeBatch&) = delete;

 private:
  Document& doc_;
};

// The document's content changed: modified, and a scene notice.
void MarkModified(Document& doc);
// Each notifies kNameChanged when the value really changes.
void SetModified(Document& doc, bool modified);
void SetDocumentName(Document& doc, std::string_view name);

// File > New: an empty scene named "new.knf", not modified.
void NewDocument(Document& doc);

}  // namespace modra
