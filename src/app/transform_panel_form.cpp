#include "app/transform_panel_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "scene/scene.h"

namespace modra {

namespace {

struct FormText {
  EditMode mode;
  TransformPanel panel;
  const char* className;
  const char* fieldLabel;  // followed by the axis letter
};

constexpr FormText kForms[] = {
    {EditMode::kTranslateObject, TransformPanel::kTranslation, "CFormObjTrans", "Translate"},
    {EditMode::kRotateObject, TransformPanel::kRotation, "CFormObjRot", "Rotate"},
    {EditMode::kTranslateCenter, TransformPanel::kCenter, "CFormCTrans", "Translate"},
    {EditMode::kRotateCenter, TransformPanel::kCenterRotation, "CFormCRot", "Rotate"},
    {EditMode::kScaleObject, TransformPanel::kScale, "CFormObjScale", "Scale"},
};

const FormText& TextOf(TransformPanel panel) {
  for (const FormText& f : kForms)
    if (f.panel == panel) return f;
  return kForms[0];
}

constexpr const char* kAxes[3] = {"X", "Y", "Z"};

}  // namespace

bool TransformPanelForm::ForMode(EditMode mode, TransformPanel* panel) {
  for (const FormText& f : kForms) {
    if (f.mode != mode) continue;
    *panel = f.panel;
    return true;
  }
  return false;
}

TransformPanelForm::TransformPanelForm(GuiDocument& document, TransformPanel panel,
                                       QWidget* parent)
    : ControlPanel(document, QString::fromLatin1(PanelInfo(panel).title), parent), panel_(panel) {
  setObjectName(QString::fromLatin1(TextOf(panel).className));
  createGui();
  bindEvents();
  refresh();
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
    connect(edits_[i], &QLineEdit::textEdited, this, [this, i] { fieldEdited(i, false); });
    connect(edits_[i], &QLineEdit::editingFinished, this, [this, i] { fieldEdited(i, true); });
  }
}

void TransformPanelForm::fieldEdited(int axis, bool finished) {
  bool parses = false;
  edits_[axis]->text().trimmed().toFloat(&parses);
  if (!parses && !finished) return;
  Vec3 typed;
  for (int i = 0; i < 3; ++i)
    typed[i] = ReadField(edits_[i]->text());
  // Values equal to the group's make no edit, so leaving a field that was
  // only looked at changes nothing.
  ApplyTypedValues(document_.editLayer(), panel_, typed);
}

AxisLocks TransformPanelForm::locks() const {
  return {locks_[0]->isChecked(), locks_[1]->isChecked(), locks_[2]->isChecked()};
}

void TransformPanelForm::refresh() {
  const Scene& s = document_.doc().scene;
  const bool current = IsLiveGroup(s, s.selectedGroup);
  const Vec3 value = current ? PanelValue(s, s.selectedGroup, panel_) : Vec3{0, 0, 0};
  for (int i = 0; i < 3; ++i) {
    QLineEdit* edit = edits_[i];
    edit->setEnabled(current);
    QString text;
    if (current) {
      // The field being typed into keeps its text ("1." stays "1.").
      if (edit->hasFocus() && ReadField(edit->text()) == value[i]) continue;
      text = FormatField(value[i]);
    }
    const QSignalBlocker blocker(edit);
    if (edit->text() != text) edit->setText(text);
  }
}

void TransformPanelForm::Adjust(float dx, float dy, float dz, bool ownMode) {
  AdjustTransform(document_.editLayer(), panel_, {dx, dy, dz}, ownMode, locks());
  // A drag borrowed from another mode shows nothing here: this panel is not
  // on screen, and entering its mode refreshes it.
  if (ownMode) refresh();
}

}  // namespace modra
