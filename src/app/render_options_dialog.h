// File > Render Scene to File asks here first: output file and format,
// size, oversampling, motion blur, frame range, gamma, compositing over a
// movie and the viewport choice. It takes and returns a RenderSettings
// record and never touches the document; the rules of its radios and of
// which controls are live come from the core (render/render_settings.h).
#pragma once

#include <QDialog>
#include <array>

#include "render/render_settings.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace modra {

class UserPrompts;

class RenderOptionsDialog : public QDialog {
  Q_OBJECT
 public:
  // The browse buttons ask `prompts` for the file names; it must outlive
  // the dialog.
  explicit RenderOptionsDialog(UserPrompts& prompts, QWidget* parent = nullptr);

  // Loads every control from `settings` (the caller has already reset the
  // frame range for this opening).
  void setValues(const RenderSettings& settings);
  // The settings as the controls show them now, typed text included. Text
  // that is no number reads as a value the core refuses, so that OK stays
  // off while it is there.
  RenderSettings values() const;
  // Why OK is off, or empty.
  QString problem() const;

 private:
  void createGui();
  void bindEvents();
  void updateControls();
  void updateOkButton();
  // A radio or browse handler: takes the typed values, applies `change`,
  // then shows the result.
  template <class Change>
  void change(Change rule);
  void browseOutput();
  void browseComposite();

  UserPrompts& prompts_;
  // What the controls were last loaded from; holds the composite movie's
  // full path, of which the dialog shows only the file name.
  RenderSettings settings_;

  QLineEdit* outputName_ = nullptr;
  QPushButton* browseOutput_ = nullptr;
  QButtonGroup* format_ = nullptr;
  QLineEdit* width_ = nullptr;
  QLineEdit* height_ = nullptr;
  QButtonGroup* oversampling_ = nullptr;
  QRadioButton* blurOff_ = nullptr;
  QRadioButton* blurOn_ = nullptr;
  QLineEdit* samples_ = nullptr;
  QSlider* range_ = nullptr;
  QLabel* rangeLabel_ = nullptr;
  QButtonGroup* frames_ = nullptr;
  QLineEdit* from_ = nullptr;
  QLineEdit* to_ = nullptr;
  QRadioButton* gammaOff_ = nullptr;
  QRadioButton* gammaOn_ = nullptr;
  QLineEdit* gamma_ = nullptr;
  QCheckBox* composite_ = nullptr;
  QLineEdit* compositeName_ = nullptr;
  QPushButton* browseComposite_ = nullptr;
  QCheckBox* fitSquare_ = nullptr;
  QLabel* problem_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace modra
