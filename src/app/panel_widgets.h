// Small pieces the colour, light and camera panels build their rows from,
// and the one way they write a value into a widget: signals blocked, the
// widget left alone when it already shows the value, and a field the user
// is typing into keeping its text while it still means the same number.
#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace modra {

// A slider with its name on the left and its value on the right.
struct SliderRow {
  QSlider* slider = nullptr;
  QLabel* value = nullptr;
};
SliderRow AddSliderRow(QGridLayout* grid, int row, const char* text, int low, int high,
                       const QString& objectName, QWidget* parent);
// A control that does not apply is disabled and its label empty.
void ShowSlider(const SliderRow& row, bool enabled, int position, const QString& label);

// A number field of `decimals` places; disabled and empty when it does not
// apply.
void ShowField(QLineEdit* edit, bool enabled, float value, int decimals);
// While typing, a field that does not parse yet ("-", "1e") waits for more;
// once the user leaves it, it counts (as 0).
bool FieldReady(const QLineEdit* edit, bool finished);

}  // namespace modra
