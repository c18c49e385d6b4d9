#include "document/draft_document.h"

#include <utility>

namespace modra {

DraftDocument::DraftDocument(Document& doc, DraftStart start)
    : relay_(*doc.shell),
      draft_(relay_),
      texturesBefore_(static_cast<int>(doc.textures.entries.size())) {
  draft_.textures = doc.textures;
  draft_.materials = doc.materials;
  draft_.whiteUncoloredParts = doc.whiteUncoloredParts;
  draft_.display = doc.display;
  draft_.modelFileType = doc.modelFileType;
  draft_.uploader = doc.uploader;
  if (start == DraftStart::kSceneCopy) {
    draft_.scene = doc.scene;
  } else {
    // The one rule New follows: a file opened starts from the same scene.
    ResetScene(draft_, false);
  }
  // Preferences that live in the scene, not its content.
  draft_.scene.triangulatorDebug = doc.scene.triangulatorDebug;
  draft_.scene.anim.redrawEnabled = doc.scene.anim.redrawEnabled;
}

DraftDocument::~DraftDocument() {
  if (taken_) return;
  for (int i = texturesBefore_; i < static_cast<int>(draft_.textures.entries.size()); ++i)
    draft_.uploader->Release(i);
}

void DraftDocument::MoveInto(Document& doc) {
  Scene& s = doc.scene;
  const KeyStore& was = s.anim;
  const bool frameMoves = was.currentFrame != draft_.scene.anim.currentFrame ||
                          was.playing != draft_.scene.anim.playing;
  unsigned what = kSceneChanged | kSelectionChanged;
  if (frameMoves) what |= kFrameChanged;
  if (HoldsClipboard(s) != HoldsClipboard(draft_.scene)) what |= kClipboardChanged;

  ChangeBatch batch(doc);
  s = std::move(draft_.scene);
  doc.display.views = std::move(draft_.display.views);
  doc.textures = std::move(draft_.textures);
  doc.modelFileType = draft_.modelFileType;
  taken_ = true;
  if (frameMoves) doc.shell->ShowFrameNumber(s.anim.currentFrame);
  NotifyChanged(doc, what);
  doc.shell->RequestRedraw();
}

}  // namespace modra
