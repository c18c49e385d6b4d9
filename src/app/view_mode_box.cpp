#include "app/view_mode_box.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <QSignalBlocker>

#include "view/interaction.h"

namespace modra {

namespace {

constexpr const char* kViewNames[kViewCount] = {"Front",  "Top",   "Left",        "Back",
                                                "Bottom", "Right", "Perspective", "Camera"};

}  // namespace

ViewModeBox::ViewModeBox(ViewInteraction& interaction, QWidget* parent)
    : QGroupBox(QStringLiteral("View Mode"), parent), views_(new QButtonGroup(this)) {
  auto* radios = new QGridLayout(this);
  for (int v = 0; v < kViewCount; ++v) {
    auto* radio = new QRadioButton(QString::fromLatin1(kViewNames[v]), this);
    radio->setObjectName(QStringLiteral("ViewPanel_View%1").arg(kViewNames[v]));
    views_->addButton(radio, v);
    radios->addWidget(radio, v % 4, v / 4);
  }
  // The model refreshes the current panel, which holds these radios.
  connect(views_, &QButtonGroup::idClicked, this,
          [&interaction](int view) { interaction.SelectView(view); });
}

void ViewModeBox::showView(int view) {
  if (QAbstractButton* radio = views_->button(view)) {
    const QSignalBlocker blocker(radio);
    radio->setChecked(true);
  }
}

}  // namespace modra
