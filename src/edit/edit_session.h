// The editor's document with everything that edits it, without a window:
// the document, its undo history, the edit layer, the panels' own values
// and the interaction model of the 3D view. Every command runs through
// Run with the step policy of the command table; a gesture (a drag, a held
// slider, a field being typed in) makes one undo step of all its edits.
//
// The session closes an open gesture before anything else happens to the
// document (another command, undo, a frame move), so a step never takes in
// what its gesture did not do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "document/document.h"
#include "edit/commands.h"
#include "edit/edit_layer.h"
#include "edit/history.h"
#include "edit/panel_values.h"
#include "profile/profile_editors.h"
#include "view/interaction.h"

namespace modra {

// 256 MB of undo steps unless the user's preference says otherwise.
inline constexpr size_t kDefaultHistoryBytes = History::kDefaultMemoryLimit;

class EditSession : public EditRecorder {
 public:
  // `shell` hears what the document tells the user; it must outlive the
  // session.
  explicit EditSession(Shell& shell);
  ~EditSession() override;
  EditSession(const EditSession&) = delete;
  EditSession& operator=(const EditSession&) = delete;

  Document& doc() { return doc_; }
  const Document& doc() const { return doc_; }
  History& history() { return history_; }
  const History& history() const { return history_; }
  EditLayer& layer() { return layer_; }
  PanelValues& panels() { return panels_; }
  const PanelValues& panels() const { return panels_; }
  // The open profile editors, which follow their groups through undo and
  // redo and close when their group goes.
  ProfileEditors& profiles() { return profiles_; }
  const ProfileEditors& profiles() const { return profiles_; }
  ViewInteraction& interaction() { return interaction_; }
  const ViewInteraction& interaction() const { return interaction_; }

  // Runs a command of the table under its step policy; the command's result.
  int Run(CommandId id, const CommandArgs& args = {});
  int Run(CommandId id, int index) {
    CommandArgs args;
    args.index = index;
    return Run(id, args);
  }

  // A gesture: every edit from the first one after BeginGesture until
  // EndGesture is one undo step, named by the first. Nothing happens when
  // no edit comes.
  void BeginGesture();
  void EndGesture();
  bool InGesture() const { return gesture_.active; }

  // A field's text as the user types it (`finished` false) and when the
  // field is left or Return is pressed (`finished` true): the field's
  // gesture starts at its first change and ends when it is finished.
  // Text that still reads as the field shows its value stands for the
  // exact value, so it changes nothing; text that is no number waits for
  // more while typing and counts as 0 once finished.
  void FieldEdited(CommandId id, int index, std::string_view text, bool finished);

  // Undo and Redo close an open gesture first, so an edit being typed is
  // the first thing they take back.
  bool CanUndo() const;
  bool CanRedo() const;
  std::string UndoName() const;
  std::string RedoName() const;
  bool Undo();
  bool Redo();

  // Playback's clock: `frames` frames of the running animation.
  void AdvancePlayback(int frames);
  // Runs fn, which moves the current frame or shows frames outside any
  // step (a render), and takes what the frame shows as the base of the
  // next step.
  template <class Fn>
  void MoveFrames(Fn&& fn) {
    EndGesture();
    fn();
    history_.Settle();
  }

  // The undo history's limit in bytes (0: none).
  void SetHistoryLimit(size_t bytes);

  // EditRecorder: the edit layer's steps, joined to an open gesture.
  void BeginEdit(CommandId command) override;
  void EndEdit() override;

 private:
  struct Gesture {
    bool active = false;  // between BeginGesture and EndGesture
    bool open = false;    // its step is open: an edit came
    CommandId command = CommandId::kUndo;
    // The field that began it, for fields; -1 for drags and sliders.
    CommandId field = CommandId::kUndo;
    int fieldIndex = -1;
  };
  int RunInPolicy(const CommandInfo& info, const CommandArgs& args);
  void BeginNamed(std::string_view name, CommandId command);
  // The history's brackets; closing the outermost sets the modified flag
  // from the saved point and tells when the history changed.
  void OpenBracket(std::string_view name);
  void CloseBracket();

  Document doc_;
  History history_{doc_};
  EditLayer layer_{doc_, this};
  PanelValues panels_;
  ProfileEditors profiles_;
  ViewInteraction interaction_{*this};
  Gesture gesture_;
  int depth_ = 0;
  size_t positionAtBegin_ = 0, countAtBegin_ = 0;
};

}  // namespace modra
