#include "app/preferences_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/settings.h"

namespace modra {

PreferencesDialog::PreferencesDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PreferencesDialog"));
  setWindowTitle(QStringLiteral("Set Preferences"));
  auto* layout = new QVBoxLayout(this);
  lightDisplay_ = new QCheckBox(QStringLiteral("Enable Light Source Display"), this);
  cameraDisplay_ = new QCheckBox(QStringLiteral("Enable Camera Display"), this);
  solidAxis_ = new QCheckBox(QStringLiteral("Solid Axis"), this);
  whiteUncolored_ = new QCheckBox(QStringLiteral("Import without RGB/vertex"), this);
  texturePath_ = new QLineEdit(this);
  texturePath_->setObjectName(QStringLiteral("PreferencesDialog_TexturePath"));
  for (QWidget* w : {static_cast<QWidget*>(lightDisplay_), static_cast<QWidget*>(cameraDisplay_),
                     static_cast<QWidget*>(solidAxis_), static_cast<QWidget*>(whiteUncolored_)})
    layout->addWidget(w);
  layout->addWidget(new QLabel(QStringLiteral("Texture Path: (Use ; to separate paths)"), this));
  layout->addWidget(texturePath_);
  // The undo history's bound: enough for big scenes, never all memory.
  auto* undoRow = new QHBoxLayout;
  undoMemory_ = new QSpinBox(this);
  undoMemory_->setObjectName(QStringLiteral("PreferencesDialog_UndoMemory"));
  undoMemory_->setRange(kMinUndoMegabytes, kMaxUndoMegabytes);
  undoMemory_->setSuffix(QStringLiteral(" MB"));
  undoRow->addWidget(new QLabel(QStringLiteral("Undo Memory:"), this));
  undoRow->addWidget(undoMemory_);
  undoRow->addStretch(1);
  layout->addLayout(undoRow);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void PreferencesDialog::setValues(const Values& v) {
  lightDisplay_->setChecked(v.lightDisplay);
  cameraDisplay_->setChecked(v.cameraDisplay);
  solidAxis_->setChecked(v.solidAxis);
  whiteUncolored_->setChecked(v.whiteUncoloredParts);
  texturePath_->setText(v.texturePath);
  undoMemory_->setValue(v.undoMegabytes);
}

PreferencesDialog::Values PreferencesDialog::values() const {
  return {lightDisplay_->isChecked(),   cameraDisplay_->isChecked(), solidAxis_->isChecked(),
          whiteUncolored_->isChecked(), texturePath_->text(),        undoMemory_->value()};
}

}  // namespace modra
