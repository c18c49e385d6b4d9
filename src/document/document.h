// The document: the one owner of everything a user edits and sees in one
// window (the scene with its animation, the display state), the document's
// name and modified flag, and the shell through which the core speaks.
// Two documents never share anything.
#pragma once

#include <string>

#include "document/shell.h"
#include "formats/import_mesh.h"
#include "formats/wavefront_materials.h"
#include "images/texture_table.h"
#include "scene/scene.h"
#include "view/view_setting.h"

namespace modra {

struct Document;
// Everything back to a new scene: no groups, no keys, default lights,
// camera, background and views (the camera view kept when asked).
void ResetScene(Document& doc, bool keepCamera);

struct Document {
  Scene scene;
  TextureTable textures;             // kept across New, Open and Append
  WavefrontMaterialTable materials;  // likewise
  ImportMesh importMesh;             // filled by a foreign reader, emptied after each import
  bool whiteUncoloredParts = false;  // "Import without RGB/vertex"
  DisplayState display;
  std::string name = "new.knf";
  bool modified = false;
  int modelFileType = -1;  // the kind of file most recently read

  explicit Document(Shell& shell) : shell(&shell) { ResetScene(*this, false); }
  Document() : shell(&quiet_) { ResetScene(*this, false); }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  Shell* shell;                            // never null
  TextureUploader* uploader = &noUpload_;  // never null

 private:
  QuietShell quiet_;
  NoTextureUpload noUpload_;
};

inline void MarkModified(Document& doc) {
  doc.modified = true;
}

}  // namespace modra
