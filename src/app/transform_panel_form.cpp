#include "app/transform_panel_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/panel_widgets.h"

namespace modra {

namespace {

struct FormText {
  TransformPanel panel;
  const char* className;
  const char* fieldLabel;  // followed by the axis letter
};

constexpr FormText kForms[] = {
    {TransformPanel::kTranslation, "CFormObjTrans", "Translate"},
    {TransformPanel::kRotation, "CFormObjRot", "Rotate"},
    {TransformPanel::kCenter, "CFormCTrans", "Translate"},
    {TransformPanel::kCenterRotation, "CFormCRot", "Rotate"},
    {TransformPanel::kScale, "CFormObjScale", "Scale"},
};

const FormText& TextOf(TransformPanel panel) {
  for (const FormText& f : kForms)
    if (f.panel == panel) return f;
  return kForms[0];
}

constexpr const char* kAxes[3] = {"X", "Y", "Z"};

}  // namespace

TransformPanelForm::TransformPanelForm(GuiDocument& document, TransformPanel panel, QWidget* parent)
    : ControlPanel(document, QString::fromLatin1(PanelInfo(panel).title), parent), panel_(panel) {
  setObjectName(QString::fromLatin1(TextOf(panel).className));
  createGui();
  bindEvents();
  refresh();
}

CommandId TransformPanelForm::command() const {
  return PanelInfo(panel_).command;
}

void TransformPanelForm::createGui() {
  const TransformPanelInfo& info = PanelInfo(panel_);
  auto* form = new QFormLayout;
  for (int i = 0; i < 3; ++i) {
    edits_[i] = new QLineEdit(this);
    edits_[i]->setObjectName(QStringLiteral("TransformPanel_Field%1").arg(kAxes[i]));
    form->addRow(QStringLiteral("%1 %2").arg(TextOf(panel_).fieldLabel, kAxes[i]), edits_[i]);
  }
  for (int i = 0; i < 3; ++i) {
    locks_[i] = new QCheckBox(QString::fromLatin1(info.locks[i]), this);
    locks_[i]->setObjectName(QStringLiteral("TransformPanel_Lock%1").arg(kAxes[i]));
    form->addRow(locks_[i]);
  }
  layout_->addLayout(form);
  layout_->addStretch(1);
}

void TransformPanelForm::bindEvents() {
  for (int i = 0; i < 3; ++i) {
    BindField(edits_[i], document_, command(), i);
    connect(locks_[i], &QCheckBox::toggled, this, [this, i](bool on) {
      document_.run(CommandId::kLockAxis, SliderArgs(LockIndex(panel_, i), on ? 1 : 0));
    });
  }
}

void TransformPanelForm::refresh() {
  const PanelValues& panels = document_.session().panels();
  for (int i = 0; i < 3; ++i) {
    ShowField(edits_[i], document_, command(), i);
    const bool locked = panels.locks[static_cast<size_t>(panel_)][static_cast<size_t>(i)];
    if (locks_[i]->isChecked() != locked) {
      const QSignalBlocker blocker(locks_[i]);
      locks_[i]->setChecked(locked);
    }
  }
}

}  // namespace modra
