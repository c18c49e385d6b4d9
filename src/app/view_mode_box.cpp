#include "app/view_mode_box.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>

#include "app/gui_document.h"

namespace modra {

namespace {

constexpr const char* kViewNames[kViewCount] = {"Front",  "Top",   "Left",        "Back",
                                                "Bottom", "Right", "Perspective", "Camera"};

}  // namespace

ViewModeBox::ViewModeBox(GuiDocument& document, QWidget* parent)
    : QGroupBox(QStringLiteral("View Mode"), parent), views_(new QButtonGroup(this)) {
  auto* radios = new QGridLayout(this);
  for (int v = 0; v < kViewCount; ++v) {
    auto* radio = new QRadioButton(QString::fromLatin1(kViewNames[v]), this);
    radio->setObjectName(QStringLiteral("ViewPanel_View%1").arg(kViewNames[v]));
    views_->addButton(radio, v);
    radios->addWidget(radio, v % 4, v / 4);
  }
  connect(views_, &QButtonGroup::idClicked, this,
          [&document](int view) { document.run(CommandId::kSelectView, view); });
}

void ViewModeBox::showView(int view) {
  if (QAbstractButton* radio = views_->button(view)) {
    const QSignalBlocker blocker(radio);
    radio->setChecked(true);
  }
}

}  // namespace modra
