#include "edit/edit_session.h"

#include "anim/playback.h"
#include "edit/field_values.h"

namespace modra {

EditSession::EditSession(Shell& shell) : doc_(shell) {
  SetHistoryLimit(kDefaultHistoryBytes);
}

EditSession::~EditSession() = default;

void EditSession::SetHistoryLimit(size_t bytes) {
  history_.SetMemoryLimit(bytes);
}

int EditSession::Run(CommandId id, const CommandArgs& args) {
  const CommandInfo& info = Info(id);
  if (!info.run) return -1;
  // A gesture takes in its own command's edits and nothing else.
  if (info.policy != StepPolicy::kGesture || (gesture_.open && gesture_.command != id))
    EndGesture();
  const int result = RunInPolicy(info, args);
  // Any command may take an edited group away (Cut, New, Open).
  if (FollowProfileGroups(profiles_, doc_.scene)) NotifyChanged(doc_, kPanelChanged);
  return result;
}

int EditSession::RunInPolicy(const CommandInfo& info, const CommandArgs& args) {
  switch (info.policy) {
    case StepPolicy::kStep:
    case StepPolicy::kGesture: {
      BeginNamed(StepName(info.id, args), info.id);
      const int result = info.run(*this, args);
      EndEdit();
      return result;
    }
    case StepPolicy::kFrame: {
      const int result = info.run(*this, args);
      history_.Settle();
      return result;
    }
    case StepPolicy::kNone:
    case StepPolicy::kFile:
      break;
  }
  return info.run(*this, args);
}

void EditSession::BeginGesture() {
  EndGesture();
  gesture_.active = true;
}

void EditSession::EndGesture() {
  if (!gesture_.active) return;
  const bool open = gesture_.open;
  gesture_ = {};
  if (open) CloseBracket();
}

void EditSession::FieldEdited(CommandId id, int index, std::string_view text, bool finished) {
  const CommandInfo& info = Info(id);
  if (!info.run) return;
  const bool sameField = gesture_.active && gesture_.field == id && gesture_.fieldIndex == index;
  if (!sameField) {
    EndGesture();
    if (info.policy == StepPolicy::kGesture) {
      BeginGesture();
      gesture_.field = id;
      gesture_.fieldIndex = index;
    }
  }
  // A number field's text that reads as the field shows its value stands
  // for the exact value; while typing, text that is no number yet ("-",
  // "1e") waits.
  const bool number = info.shape == ArgShape::kField;
  const bool shown = number && text == FieldText(*this, id, index);
  if (!shown && (!number || finished || ParseField(text))) {
    CommandArgs args;
    args.index = index;
    args.text = text;
    RunInPolicy(info, args);
  }
  if (!finished) return;
  EndGesture();
  // A field left showing text other than its value's (no number, or a
  // size it refused) shows the value again.
  if (number && text != FieldText(*this, id, index)) NotifyChanged(doc_, kPanelChanged);
}

bool EditSession::CanUndo() const {
  return gesture_.open || history_.CanUndo();
}

bool EditSession::CanRedo() const {
  return !gesture_.open && history_.CanRedo();
}

std::string EditSession::UndoName() const {
  if (gesture_.open) return StepName(gesture_.command, {});
  return std::string(history_.UndoName());
}

std::string EditSession::RedoName() const {
  if (gesture_.open) return {};
  return std::string(history_.RedoName());
}

bool EditSession::Undo() {
  EndGesture();
  if (!history_.Undo()) return false;
  FollowProfileGroups(profiles_, doc_.scene);
  NotifyChanged(doc_, kHistoryChanged | kPanelChanged);
  return true;
}

bool EditSession::Redo() {
  EndGesture();
  if (!history_.Redo()) return false;
  FollowProfileGroups(profiles_, doc_.scene);
  NotifyChanged(doc_, kHistoryChanged | kPanelChanged);
  return true;
}

void EditSession::AdvancePlayback(int frames) {
  if (!doc_.scene.anim.playing || frames <= 0) return;
  EndGesture();
  ChangeBatch batch(doc_);
  for (int i = 0; i < frames; ++i)
    PlayStep(doc_);
  history_.Settle();
  NotifyChanged(doc_, kFrameChanged | kValuesChanged);
}

void EditSession::BeginEdit(CommandId command) {
  BeginNamed(StepName(command, {}), command);
}

void EditSession::BeginNamed(std::string_view name, CommandId command) {
  // A gesture's step opens at its first edit and takes that edit's name.
  if (gesture_.active && !gesture_.open) {
    OpenBracket(name);
    gesture_.open = true;
    gesture_.command = command;
  }
  OpenBracket(name);
}

void EditSession::EndEdit() {
  CloseBracket();
}

void EditSession::OpenBracket(std::string_view name) {
  if (depth_++ == 0) {
    positionAtBegin_ = history_.Position();
    countAtBegin_ = history_.StepCount();
  }
  history_.Begin(name);
}

void EditSession::CloseBracket() {
  history_.End();
  if (--depth_ > 0) return;
  // The saved point decides the modified flag, so a step that changed
  // nothing, or a gesture that came back to where it started, leaves the
  // flag as it was.
  SetModified(doc_, !history_.AtSavedPoint());
  if (history_.Position() != positionAtBegin_ || history_.StepCount() != countAtBegin_)
    NotifyChanged(doc_, kHistoryChanged);
}

}  // namespace modra
