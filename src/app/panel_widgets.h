// Small pieces the panels build their rows from, the one way they bind a
// field or a slider to a command of the core, and the one way they write
// a value into a widget: signals blocked, the widget left alone when it
// already shows the value, and a field the user is typing into keeping its
// text while it still means the same number.
#pragma once

#include <QString>
#include <string>

#include "edit/commands.h"

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QLabel;
class QLineEdit;
class QSlider;
class QWidget;

namespace modra {

class GuiDocument;

// A slider with its name on the left and its value on the right.
struct SliderRow {
  QSlider* slider = nullptr;
  QLabel* value = nullptr;
};
SliderRow AddSliderRow(QGridLayout* grid, int row, const char* text, int low, int high,
                       const QString& objectName, QWidget* parent);
// A control that does not apply is disabled and its label empty.
void ShowSlider(const SliderRow& row, bool enabled, int position, const QString& label);
// "%.<decimals>f" of a value, as the panels show numbers.
QString FieldText(float value, int decimals = 3);

// Field `index` of a field command: typing and finishing go to the core,
// which makes one undo step of the field's whole edit.
void BindField(QLineEdit* edit, GuiDocument& document, CommandId command, int index);
// Shows what the core says field `index` of the command shows; disabled
// and empty when the field does not apply.
void ShowField(QLineEdit* edit, const GuiDocument& document, CommandId command, int index);
// Slider `index` of a slider command: one undo step from press to release.
void BindSlider(QSlider* slider, GuiDocument& document, CommandId command, int index);
// Checks the button `id` of a group, or none for an id it lacks, without
// a click.
void CheckButton(QButtonGroup* group, int id);

}  // namespace modra
