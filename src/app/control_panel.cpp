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

float ReadField(const QString& text) {
  bool ok = false;
  const float value = text.trimmed().toFloat(&ok);
  return ok ? value : 0.0f;
}

QString FormatField(float value, int decimals) {
  return QString::number(static_cast<double>(value), 'f', decimals);
}

}  // namespace modra
