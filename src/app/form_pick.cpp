#include "app/form_pick.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/panel_widgets.h"

namespace modra {

namespace {

QButtonGroup* RadioPair(QWidget* owner, QVBoxLayout* layout, const char* title, const char* first,
                        const char* second, const QString& name) {
  auto* box = new QGroupBox(QString::fromLatin1(title), owner);
  auto* column = new QVBoxLayout(box);
  auto* group = new QButtonGroup(owner);
  const char* texts[2] = {first, second};
  for (int i = 0; i < 2; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), box);
    radio->setObjectName(name + QString::number(i));
    group->addButton(radio, i);
    column->addWidget(radio);
  }
  layout->addWidget(box);
  return group;
}

}  // namespace

CFormPick::CFormPick(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Pick an Object"), parent) {
  setObjectName(QStringLiteral("CFormPick"));
  createGui();
  bindEvents();
  refresh();
}

void CFormPick::createGui() {
  drawMode_ = RadioPair(this, layout_, "Draw Mode", "Enabled", "Disabled",
                        QStringLiteral("CFormPick_DrawMode"));
  drawAs_ = RadioPair(this, layout_, "Draw Selected As", "Normal", "Bounding Box",
                      QStringLiteral("CFormPick_DrawAs"));
  disable_ = new QPushButton(QStringLiteral("Disable Display of Selected"), this);
  enable_ = new QPushButton(QStringLiteral("Enable Display of Selected"), this);
  disable_->setObjectName(QStringLiteral("CFormPick_Disable"));
  enable_->setObjectName(QStringLiteral("CFormPick_Enable"));
  layout_->addWidget(disable_);
  layout_->addWidget(enable_);
  layout_->addStretch(1);
}

void CFormPick::bindEvents() {
  connect(drawMode_, &QButtonGroup::idClicked, this, [this](int id) {
    document_.run(id == 1 ? CommandId::kShowDisabled : CommandId::kShowEnabledOnly);
  });
  connect(drawAs_, &QButtonGroup::idClicked, this, [this](int id) {
    document_.run(id == 1 ? CommandId::kDrawAsBox : CommandId::kDrawNormal);
  });
  connect(disable_, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kDisableSelected); });
  connect(enable_, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kEnableSelected); });
}

void CFormPick::refresh() {
  const EditSession& session = document_.session();
  CheckButton(drawMode_, CommandChecked(session, CommandId::kShowDisabled) ? 1 : 0);
  const bool current = CommandEnabled(session, CommandId::kDrawAsBox);
  for (QAbstractButton* radio : drawAs_->buttons())
    radio->setEnabled(current);
  CheckButton(drawAs_, CommandChecked(session, CommandId::kDrawAsBox) ? 1 : 0);
}

}  // namespace modra
