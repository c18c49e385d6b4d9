// The four key frame dialogs of the Animation menu: "Remove Key Frame
// Info", "Copy Key Frame Info to Range", "Copy Key Frame Info Range to New
// Range" and "Scale Key Frame Info Range to New Range". Each takes whose
// keys and the frames A, B, C as a KeyRangeRequest; the dialog never
// touches the document, the caller runs the request on OK.
#pragma once

#include <QDialog>
#include <array>

#include "anim/key_range_commands.h"

class QButtonGroup;
class QLineEdit;

namespace modra {

class GuiDocument;

class KeyRangeDialog : public QDialog {
  Q_OBJECT
 public:
  // A starts at `currentFrame`.
  KeyRangeDialog(KeyRangeCommand command, int currentFrame, QWidget* parent = nullptr);

  KeyRangeCommand command() const { return command_; }
  // What the controls show now; a frame field that is no number reads 0.
  KeyRangeRequest request() const;

 private:
  void createOwnerChoice(const char* prompt, const char* noteVerb);
  void createFrameFields(const char* text, int count, int currentFrame);

  const KeyRangeCommand command_;
  QButtonGroup* owner_ = nullptr;       // ids are KeyOwnerChoice values
  std::array<QLineEdit*, 3> frames_{};  // A, B, C; null where the command has none
};

// Opens the command's dialog over `window` without blocking (it deletes
// itself when closed); OK runs the request as the core's command, the
// light choice meaning the light panel's current light.
KeyRangeDialog* OpenKeyRangeDialog(GuiDocument& document, KeyRangeCommand command, QWidget* window);

}  // namespace modra
