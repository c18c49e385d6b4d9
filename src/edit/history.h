// Undo and redo: the document's edits as a list of named steps.
//
// A step is whatever changed between Begin and End (nested brackets make
// one step, the outermost), stored as the records it changed (see
// DocumentChanges). Any command becomes one step by a bracket around
// its call:
//
//   { HistoryStep step(history, "Paste Key Frame"); PasteKeyFrame(doc, true); }
//   history.Record("Ungroup", [&] { Ungroup(doc); });
//
// and the edit layer's recorder is such a bracket (History is an
// EditRecorder). A bracket that changes nothing leaves no step.
//
// Changes made outside any bracket (selection, the current frame) are not
// steps; undo leaves them alone except where the step it undoes changed
// the same thing. Undo first returns to the frame the step was made at,
// since the values it restores are that frame's.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "edit/document_changes.h"
#include "edit/edit_layer.h"

namespace modra {

class History : public EditRecorder {
 public:
  // The document as it is now is the start of the history and its saved
  // state.
  explicit History(Document& doc);
  ~History() override;
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // New and Open: every step goes; the document as it is now is saved.
  void Clear();
  // Save: the document as it is now is saved, so undoing or redoing back
  // to this point leaves it unmodified.
  void MarkSaved();

  void Begin(std::string_view name);
  void End();
  void BeginEdit(CommandId command) override;
  void EndEdit() override { End(); }
  // What changed since the last step without being one (the frame shown)
  // becomes the base of the next step.
  void Settle();
  bool AtSavedPoint() const { return position_ == saved_; }
  bool Recording() const { return depth_ > 0; }
  template <class Fn>
  void Record(std::string_view name, Fn&& fn);

  bool CanUndo() const { return depth_ == 0 && position_ > 0; }
  bool CanRedo() const { return depth_ == 0 && position_ < steps_.size(); }
  // The name of the step Undo or Redo would take back or do again; "" when
  // there is none.
  std::string_view UndoName() const;
  std::string_view RedoName() const;
  // Each sends one change notice; false (and nothing changes) when there is
  // nothing to do or a bracket is open.
  bool Undo();
  bool Redo();

  // At most `steps` steps are kept (0: no limit); the oldest go first.
  void SetLimit(size_t steps);
  size_t StepCount() const { return steps_.size(); }
  size_t Position() const { return position_; }
  // Bytes the history holds: its steps and its mirror of the document.
  // Vertex arrays count once, and not at all while the scene still holds
  // them.
  size_t MemoryUse() const;

 private:
  struct Step {
    std::string name;
    int32_t frameBefore = 0, frameAfter = 0;
    DocumentChanges changes;
  };
  static constexpr size_t kNoSavedPoint = static_cast<size_t>(-1);

  void Move(bool undo);
  void DropOldest();

  Document& doc_;
  std::unique_ptr<DocumentMirror> mirror_;
  std::vector<Step> steps_;
  size_t position_ = 0;  // steps done; the next Undo takes back steps_[position_ - 1]
  size_t saved_ = 0;     // the position that was saved, or kNoSavedPoint
  int depth_ = 0;
  size_t limit_ = 0;
  std::string openName_;
  int32_t openFrame_ = 0;
};

// One step for as long as it lives.
class HistoryStep {
 public:
  HistoryStep(History& history, std::string_view name) : history_(history) { history_.Begin(name); }
  ~HistoryStep() { history_.End(); }
  HistoryStep(const HistoryStep&) = delete;
  HistoryStep& operator=(const HistoryStep&) = delete;

 private:
  History& history_;
};

template <class Fn>
void History::Record(std::string_view name, Fn&& fn) {
  HistoryStep step(*this, name);
  fn();
}

}  // namespace modra
