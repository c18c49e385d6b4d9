#include "document/document.h"

#include "scene/camera_lights.h"

namespace modra {
namespace {

void Reset(Document& doc, bool keepCamera) {
  Scene& s = doc.scene;
  ClearScene(s);
  ClearKeyFrames(s.anim);
  s.anim.currentFrame = 0;
  s.anim.playing = false;
  ResetLights(s);
  if (!keepCamera) ResetCamera(s);
  s.global = KnfGlobalScene{};
  ResetViews(doc.display.views, keepCamera, s.camera.position);
}

}  // namespace

// A new document has nobody to tell yet.
Document::Document(Shell& shell) : shell(&shell) {
  Reset(*this, false);
}

Document::Document() : shell(&quiet_) {
  Reset(*this, false);
}

void ResetScene(Document& doc, bool keepCamera) {
  const bool clipboards = HoldsClipboard(doc.scene);
  Reset(doc, keepCamera);
  NotifyChanged(doc, kSceneChanged | kSelectionChanged | kFrameChanged |
                         (clipboards ? kClipboardChanged : 0u));
}

void NotifyChanged(Document& doc, unsigned what) {
  if (what == 0) return;
  if (doc.pendingChanges.depth > 0)
    doc.pendingChanges.bits |= what;
  else
    doc.shell->Changed(what);
}

ChangeBatch::ChangeBatch(Document& doc) : doc_(doc) {
  ++doc_.pendingChanges.depth;
}

ChangeBatch::~ChangeBatch() {
  PendingChanges& p = doc_.pendingChanges;
  if (--p.depth > 0) return;
  const unsigned bits = p.bits;
  p.bits = 0;
  NotifyChanged(doc_, bits);
}

void MarkModified(Document& doc) {
  ChangeBatch batch(doc);
  SetModified(doc, true);
  NotifyChanged(doc, kSceneChanged);
}

void SetModified(Document& doc, bool modified) {
  if (doc.modified == modified) return;
  doc.modified = modified;
  NotifyChanged(doc, kNameChanged);
}

void SetDocumentName(Document& doc, std::string_view name) {
  if (doc.name == name) return;
  doc.name = name;
  NotifyChanged(doc, kNameChanged);
}

void NewDocument(Document& doc) {
  ChangeBatch batch(doc);
  ResetScene(doc, false);
  SetDocumentName(doc, kNewDocumentName);
  SetModified(doc, false);
  doc.needsOverwriteCheck = true;
}

}  // namespace modra
