#include "edit/history.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <cstdlib>

#include "anim/playback.h"
#include "scene/scene_check.h"

namespace modra {

History::History(Document& doc) : doc_(doc), mirror_(std::make_unique<DocumentMirror>(doc)) {}

History::~History() = default;

void History::Clear() {
  assert(depth_ == 0);
  steps_.clear();
  stepBytes_ = 0;
  position_ = 0;
  saved_ = 0;
  mirror_ = std::make_unique<DocumentMirror>(doc_);
}

void History::MarkSaved() {
  saved_ = position_;
  if (depth_ == 0) Settle();
}

void History::Settle() {
  assert(depth_ == 0);
  if (depth_ == 0) mirror_->TakeChanges(doc_);
}

void History::Begin(std::string_view name) {
  if (depth_++ > 0) return;
  switch (mirror_->Compare(doc_)) {
    case OutsideChange::kNone:
      mirror_->FollowDisplayFlags(doc_);
      break;
    case OutsideChange::kSelection:
      // A selection made since the last step is not part of this one.
      mirror_->TakeChanges(doc_);
      break;
    case OutsideChange::kOther:
      if (strict_) ChangedOutsideStep(name);
      // Left in the mirror's difference, so this step takes it and undo
      // still gives back the document as it was.
      mirror_->FollowDisplayFlags(doc_);
      break;
  }
  openName_ = name;
  // The frame the step's first side was shown at, which is the document's
  // unless something moved it outside a step.
  openFrame_ = mirror_->CurrentFrame();
}

void History::ChangedOutsideStep(std::string_view name) const {
  std::fprintf(stderr,
               "modra: the document changed outside an undo step (found as \"%.*s\" began); "
               "make the change inside a step, or call History::Settle after a change that is "
               "no edit\n",
               static_cast<int>(name.size()), name.data());
  std::abort();
}

void History::CheckRestored(bool undo) const {
  const std::string problem = CheckScene(doc_.scene);
  if (problem.empty()) return;
  std::fprintf(stderr, "modra: %s left the scene broken: %s\n", undo ? "undo" : "redo",
               problem.c_str());
  std::abort();
}

void History::BeginEdit(CommandId command) {
  Begin(StepName(command, {}));
}

void History::End() {
  assert(depth_ > 0);
  if (depth_ == 0 || --depth_ > 0) return;
  DocumentChanges changes = mirror_->TakeChanges(doc_);
  if (changes.Empty()) return;
  for (size_t i = position_; i < steps_.size(); ++i)
    stepBytes_ -= steps_[i].bytes;
  steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
  if (saved_ != kNoSavedPoint && saved_ > position_) saved_ = kNoSavedPoint;
  steps_.push_back({openName_, openFrame_, doc_.scene.anim.currentFrame, std::move(changes)});
  Weigh(steps_.back());
  ++position_;
  DropOldest();
}

void History::Weigh(Step& step) {
  stepBytes_ -= step.bytes;
  step.bytes = sizeof(Step) + step.name.capacity() + step.changes.Bytes() - sizeof(DocumentChanges);
  stepBytes_ += step.bytes;
}

void History::SetLimit(size_t steps) {
  limit_ = steps;
  DropOldest();
}

void History::SetMemoryLimit(size_t bytes) {
  memoryLimit_ = bytes;
  DropOldest();
}

bool History::OverLimit(size_t steps, size_t bytes) const {
  return (limit_ != 0 && steps > limit_) ||
         (memoryLimit_ != 0 && bytes > memoryLimit_ && steps > 1);
}

void History::DropOldest() {
  if (!OverLimit(steps_.size(), stepBytes_)) return;
  // Only steps already done can go from the front; past them, the far end
  // of what could be redone goes.
  size_t drop = 0;
  while (drop < position_ && OverLimit(steps_.size() - drop, stepBytes_))
    stepBytes_ -= steps_[drop++].bytes;
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(drop));
  position_ -= drop;
  saved_ = saved_ != kNoSavedPoint && saved_ >= drop ? saved_ - drop : kNoSavedPoint;
  while (OverLimit(steps_.size(), stepBytes_)) {
    stepBytes_ -= steps_.back().bytes;
    steps_.pop_back();
  }
  if (saved_ != kNoSavedPoint && saved_ > steps_.size()) saved_ = kNoSavedPoint;
}

std::string_view History::UndoName() const {
  return CanUndo() ? std::string_view(steps_[position_ - 1].name) : std::string_view();
}

std::string_view History::RedoName() const {
  return CanRedo() ? std::string_view(steps_[position_].name) : std::string_view();
}

bool History::Undo() {
  if (!CanUndo()) return false;
  Move(true);
  return true;
}

bool History::Redo() {
  if (!CanRedo()) return false;
  Move(false);
  return true;
}

void History::Move(bool undo) {
  Step& step = steps_[undo ? position_ - 1 : position_];
  ChangeBatch batch(doc_);
  KeyStore& a = doc_.scene.anim;
  if (a.playing) StopPlayback(doc_);
  const int32_t frameWas = a.currentFrame;
  // The records about to be written hold that frame's values; every other
  // group must show the same frame.
  const int32_t stepFrame = undo ? step.frameAfter : step.frameBefore;
  if (a.currentFrame != stepFrame) GoToFrame(doc_, stepFrame);
  step.changes.Swap(doc_, undo);
  Weigh(step);
  if (strict_) CheckRestored(undo);
  mirror_->TakeChanges(doc_);
  position_ = undo ? position_ - 1 : position_ + 1;

  SetModified(doc_, position_ != saved_);
  unsigned what = kSceneChanged | kSelectionChanged | kValuesChanged;
  if (a.currentFrame != frameWas) {
    what |= kFrameChanged;
    doc_.shell->ShowFrameNumber(a.currentFrame);
  }
  NotifyChanged(doc_, what);
  doc_.shell->RequestRedraw();
}

size_t History::MemoryUse() const {
  const std::unordered_set<const void*> sceneArrays = SceneArrays(doc_.scene);
  std::unordered_set<const void*> counted;
  size_t bytes =
      sizeof(History) + steps_.capacity() * sizeof(Step) + mirror_->MemoryUse(sceneArrays, counted);
  for (const Step& step : steps_)
    bytes += step.name.capacity() + step.changes.MemoryUse(sceneArrays, counted) -
             sizeof(DocumentChanges);
  return bytes;
}

}  // namespace modra
