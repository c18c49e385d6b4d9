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
// Between steps the document may change only in what the user chooses
// without editing: which groups are selected and the level. Those are no
// steps; undo leaves them alone except where the step it undoes changed
// the same thing. Anything else changed outside a bracket is a mistake of
// the caller, found when the next step opens: in strict mode (the default
// in a build with assertions) the program stops there with a message; in
// the other mode the change joins the step that opens, so that undo still
// gives back the whole document as it was. Code that changes the document
// without making an edit (showing another frame rewrites keyed values)
// calls Settle afterwards. Undo first returns to the frame the step was
// made at, since the values it restores are that frame's.
//
// Two limits bound the history: a number of steps and a number of bytes;
// after each new step the oldest steps go until both hold, though the
// newest step always stays.
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
  // to this point leaves it unmodified. What saving itself did to the
  // document (it shows frame 0) is settled, outside a bracket.
  void MarkSaved();
  bool AtSavedPoint() const { return position_ == saved_; }
  // Outside a bracket: whatever changed since the last step is where the
  // next one starts from, not part of it.
  void Settle();
  // Whether a change found outside a step stops the program (see above).
  void SetStrict(bool strict) { strict_ = strict; }

  void Begin(std::string_view name);
  void End();
  void BeginEdit(CommandId command) override;
  void EndEdit() override { End(); }
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
  // The steps hold at most about `bytes` (0: no limit; see StepBytes).
  void SetMemoryLimit(size_t bytes);
  static constexpr size_t kDefaultMemoryLimit = size_t{256} << 20;
  size_t StepCount() const { return steps_.size(); }
  size_t Position() const { return position_; }
  // Bytes the history holds: its steps and its mirror of the document.
  // Vertex arrays count once, and not at all while the scene still holds
  // them.
  size_t MemoryUse() const;
  // What the memory limit weighs: the steps alone, each counting every
  // vertex array it holds in full, shared or not.
  size_t StepBytes() const { return stepBytes_; }

 private:
  struct Step {
    std::string name;
    int32_t frameBefore = 0, frameAfter = 0;
    DocumentChanges changes;
    size_t bytes = 0;  // changes.Bytes() and the step's own, for the memory limit
  };
  static constexpr size_t kNoSavedPoint = static_cast<size_t>(-1);

  void Move(bool undo);
  void Weigh(Step& step);
  bool OverLimit(size_t steps, size_t bytes) const;
  void DropOldest();
  [[noreturn]] void ChangedOutsideStep(std::string_view name) const;
  // Strict mode: what an undo or redo restored must leave every link of
  // the scene whole (nothing names a slot or key the step took away).
  void CheckRestored(bool undo) const;

  Document& doc_;
  std::unique_ptr<DocumentMirror> mirror_;
  std::vector<Step> steps_;
  size_t position_ = 0;  // steps done; the next Undo takes back steps_[position_ - 1]
  size_t saved_ = 0;     // the position that was saved, or kNoSavedPoint
  int depth_ = 0;
  size_t limit_ = 0;
  size_t memoryLimit_ = kDefaultMemoryLimit;
  size_t stepBytes_ = 0;  // the sum of the steps' bytes
#ifdef NDEBUG
  bool strict_ = false;
#else
  bool strict_ = true;
#endif
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
