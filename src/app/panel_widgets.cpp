#include "app/panel_widgets.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "app/control_panel.h"

namespace modra {

SliderRow AddSliderRow(QGridLayout* grid, int row, const char* text, int low, int high,
                       const QString& objectName, QWidget* parent) {
  SliderRow r;
  r.slider = new QSlider(Qt::Horizontal, parent);
  r.slider->setRange(low, high);
  r.slider->setObjectName(objectName);
  r.value = new QLabel(parent);
  r.value->setObjectName(objectName + QStringLiteral("Value"));
  r.value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Wide enough for "128.0" and "1.000", so the sliders do not jump when a
  // label empties.
  r.value->setMinimumWidth(r.value->fontMetrics().horizontalAdvance(QStringLiteral("0000.0")));
  grid->addWidget(new QLabel(QString::fromLatin1(text), parent), row, 0);
  grid->addWidget(r.slider, row, 1);
  grid->addWidget(r.value, row, 2);
  return r;
}

void ShowSlider(const SliderRow& row, bool enabled, int position, const QString& label) {
  row.slider->setEnabled(enabled);
  if (row.slider->value() != position) {
    const QSignalBlocker blocker(row.slider);
    row.slider->setValue(position);
  }
  row.value->setText(enabled ? label : QString());
}

void ShowField(QLineEdit* edit, bool enabled, float value, int decimals) {
  edit->setEnabled(enabled);
  QString text;
  if (enabled) {
    // The field being typed into keeps its text ("1." stays "1.").
    if (edit->hasFocus() && ReadField(edit->text()) == value) return;
    text = FormatField(value, decimals);
  }
  if (edit->text() == text) return;
  const QSignalBlocker blocker(edit);
  edit->setText(text);
}

bool FieldReady(const QLineEdit* edit, bool finished) {
  bool parses = false;
  edit->text().trimmed().toFloat(&parses);
  return parses || finished;
}

}  // namespace modra
