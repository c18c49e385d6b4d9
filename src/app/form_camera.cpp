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

}  // namespace

CFormCamera::CFormCamera(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Control Camera"), parent) {
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
  views_ = new ViewModeBox(document_, this);
  layout_->addWidget(views_);
  layout_->addStretch(1);
}

void CFormCamera::bindEvents() {
  GuiDocument& d = document_;
  for (int i = 0; i < 5; ++i)
    BindField(edits_[i], d, CommandId::kMoveCamera, i);
  connect(mouse_, &QButtonGroup::idClicked, this,
          [&d](int id) { d.run(CommandId::kCameraMouse, id); });
  connect(mode_, &QButtonGroup::idClicked, this,
          [&d](int id) { d.run(CommandId::kCameraMode, id); });
  connect(lookAt_, &QPushButton::clicked, this, [&d] { d.run(CommandId::kSetLookAtGroup); });
}

void CFormCamera::refresh() {
  const EditSession& session = document_.session();
  const Document& doc = session.doc();
  for (int i = 0; i < 5; ++i)
    ShowField(edits_[i], document_, CommandId::kMoveCamera, i);
  CheckButton(mode_, doc.scene.camera.mode == kCameraLookAt ? 1 : 0);
  CheckButton(mouse_,
              CameraMouseChoice(doc.scene, session.panels()) == CameraMouse::kPosition ? 1 : 0);
  views_->showView(doc.display.currentView);
}

}  // namespace modra
