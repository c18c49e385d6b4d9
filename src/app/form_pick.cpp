#include "app/form_pick.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "document/group_edit.h"

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

void Check(QButtonGroup* group, int id) {
  QAbstractButton* button = group->button(id);
  const QSignalBlocker blocker(button);
  if (!button->isChecked()) button->setChecked(true);
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
    document_.doc().display.disabledDisplay = id == 1;
    document_.RequestRedraw();
  });
  connect(drawAs_, &QButtonGroup::idClicked, this,
          [this](int id) { SetDrawAsBox(document_.doc(), id == 1); });
  connect(disable_, &QPushButton::clicked, this, [this] { setEnabledOnSelected(false); });
  connect(enable_, &QPushButton::clicked, this, [this] { setEnabledOnSelected(true); });
}

void CFormPick::setEnabledOnSelected(bool enabled) {
  Document& doc = document_.doc();
  document_.step(enabled ? "Enable Display of Selected" : "Disable Display of Selected", [&] {
    if (enabled)
      EnableSelected(doc);
    else
      DisableSelected(doc);
  });
  DeselectAll(doc);
}

void CFormPick::refresh() {
  const Document& doc = document_.doc();
  Check(drawMode_, doc.display.disabledDisplay ? 1 : 0);
  const Scene& s = doc.scene;
  const int g = s.selectedGroup;
  const bool current = g >= 0 && static_cast<size_t>(g) < s.groups.size();
  for (QAbstractButton* radio : drawAs_->buttons())
    radio->setEnabled(current);
  Check(drawAs_, current && (s.groups[g].flags & drawAsBox) ? 1 : 0);
}

}  // namespace modra
