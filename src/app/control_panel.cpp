#include "app/control_panel.h"

#include <QLabel>
#include <QVBoxLayout>

namespace modra {

ControlPanel::ControlPanel(GuiDocument& document, const QString& title, QWidget* parent)
    : QWidget(parent), document_(document), layout_(new QVBoxLayout(this)) {
  auto* heading = new QLabel(title, this);
  heading->setObjectName(QStringLiteral("Panel_Title"));
  QFont font = heading->font();
  font.setBold(true);
  heading->setFont(font);
  layout_->addWidget(heading);
}

}  // namespace modra
