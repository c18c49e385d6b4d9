#include "app/form_camera.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "app/gui_document.h"
#include "app/panel_widgets.h"
#include "app/view_mode_box.h"

namespace modra {

namespace {

QButtonGroup* RadioPair(QWidget* owner, QVBoxLayout* layout, const char* title,
                        const char* const (&texts)[2], const char* const (&names)[2]) {
  auto* box = new QGroupBox(QString::fromLatin1(title), owner);
  auto* row = new QHBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), box);
    radio->setObjectName(QString::fromLatin1(names[i]));
    group->addButton(radio, i);
    row->addWidget(radio);
  }
  layout->addWidget(box);
  return group;
}

void Check(QButtonGroup* group, int id) {
  QAbstractButton* button = group->button(id);
  if (button->isChecked()) return;
  const QSignalBlocker blocker(button);
  button->setChecked(true);
}

}  // namespace

CFormCamera::CFormCamera(GuiDocument& document, ViewInteraction& interaction, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Control Camera"), parent), interaction_(interaction) {
  setObjectName(QStringLiteral("CFormCamera"));
  createGui();
  bindEvents();
  refresh();
}

void CFormCamera::createGui() {
  mouse_ = RadioPair(this, layout_, "Mouse Control", {"Rot", "Pos"},
                     {"Camera_Mouse_Rot", "Camera_Mouse_Pos"});
  auto* form = new QFormLayout;
  constexpr const char* kLabels[5] = {"Rotate X", "Rotate Y", "X Position", "Y Position",
                                      "Z Position"};
  constexpr const char* kNames[5] = {"RotateX", "RotateY", "PositionX", "PositionY", "PositionZ"};
  for (int i = 0; i < 5; ++i) {
    edits_[i] = new QLineEdit(this);
    edits_[i]->setObjectName(QStringLiteral("Camera_%1").arg(kNames[i]));
    form->addRow(QString::fromLatin1(kLabels[i]), edits_[i]);
  }
  layout_->addLayout(form);
  mode_ = RadioPair(this, layout_, "Camera Mode", {"Manual", "Look-At"},
                    {"Camera_Mode_Manual", "Camera_Mode_LookAt"});
  lookAt_ = new QPushButton(QStringLiteral("Set Look-At Group"), this);
  lookAt_->setObjectName(QStringLiteral("Camera_SetLookAt"));
  layout_->addWidget(lookAt_);
  views_ = new ViewModeBox(interaction_, this);
  layout_->addWidget(views_);
  layout_->addStretch(1);
}

void CFormCamera::bindEvents() {
  for (QLineEdit* edit : edits_) {
    connect(edit, &QLineEdit::textEdited, this, [this] { fieldEdited(false); });
    connect(edit, &QLineEdit::editingFinished, this, [this] { fieldEdited(true); });
  }
  connect(mode_, &QButtonGroup::idClicked, this, [this](int id) {
    const CameraMouse mouse =
        SetCameraMode(document_.editLayer(), id == 1 ? kCameraLookAt : kCameraManual);
    Check(mouse_, mouse == CameraMouse::kPosition ? 1 : 0);
    refresh();
  });
  connect(lookAt_, &QPushButton::clicked, this, [this] {
    SetLookAtGroup(document_.editLayer());
    refresh();
  });
}

void CFormCamera::fieldEdited(bool finished) {
  float typed[5];
  for (int i = 0; i < 5; ++i) {
    if (!FieldReady(edits_[i], finished)) return;
    typed[i] = ReadField(edits_[i]->text());
  }
  const CameraFields now = CameraPanelFields(document_.doc().scene);
  const float shown[5] = {now.rx, now.ry, now.position[0], now.position[1], now.position[2]};
  // Values equal to the camera's make no edit, so leaving a field that was
  // only looked at changes nothing.
  if (std::equal(typed, typed + 5, shown)) return;
  SetCameraFields(document_.editLayer(), {typed[0], typed[1], {typed[2], typed[3], typed[4]}});
}

CameraMouse CFormCamera::mouse() const {
  return mouse_->checkedId() == 1 ? CameraMouse::kPosition : CameraMouse::kRotation;
}

bool CFormCamera::TranslatesLightOrCamera() const {
  return mouse() == CameraMouse::kPosition;
}

void CFormCamera::Adjust(float dx, float dy, float dz, bool ownMode) {
  AdjustCamera(document_.editLayer(), mouse(), {dx, dy, dz});
  if (ownMode) refresh();
}

void CFormCamera::refresh() {
  const Document& doc = document_.doc();
  const CameraFields f = CameraPanelFields(doc.scene);
  const float values[5] = {f.rx, f.ry, f.position[0], f.position[1], f.position[2]};
  for (int i = 0; i < 5; ++i)
    ShowField(edits_[i], true, values[i], 3);
  const bool lookAt = doc.scene.camera.mode == kCameraLookAt;
  Check(mode_, lookAt ? 1 : 0);
  // A camera that changed its aiming by other means than the radios (a
  // file opened, a key frame) gets the mouse control the radios would
  // give it: a look-at camera aims itself, so turning it would do nothing.
  if (shownMode_ != doc.scene.camera.mode) {
    shownMode_ = doc.scene.camera.mode;
    Check(mouse_, lookAt ? 1 : 0);
  }
  views_->showView(doc.display.currentView);
}

}  // namespace modra
