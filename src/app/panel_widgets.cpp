#include "app/panel_widgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

#include "app/gui_document.h"
#include "edit/field_values.h"

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

QString FieldText(float value, int decimals) {
  return QString::fromStdString(FormatField(value, decimals));
}

void BindField(QLineEdit* edit, GuiDocument& document, CommandId command, int index) {
  EditSession* session = &document.session();
  QObject::connect(edit, &QLineEdit::textEdited, edit,
                   [session, command, index](const QString& text) {
                     session->FieldEdited(command, index, text.toStdString(), false);
                   });
  QObject::connect(edit, &QLineEdit::editingFinished, edit, [session, edit, command, index] {
    session->FieldEdited(command, index, edit->text().toStdString(), true);
    // Finished text is shown as the value it came to ("-5" steps as "4").
    edit->setModified(false);
  });
}

void ShowField(QLineEdit* edit, const GuiDocument& document, CommandId command, int index) {
  const EditSession& session = document.session();
  const std::optional<float> value = FieldValue(session, command, index);
  edit->setEnabled(value.has_value());
  QString text;
  if (value) {
    // The field being typed into keeps its text ("1." stays "1.") while it
    // means the value the document has, and while typing, also text that
    // comes to the value once the field's limits apply ("1" on the way to
    // "12", held at the least step count).
    const std::string typed = edit->text().toStdString();
    if (edit->hasFocus() && (ParseField(typed) == *value ||
                             (edit->isModified() && FieldReading(command, index, typed) == *value)))
      return;
    text = QString::fromStdString(modra::FieldText(session, command, index));
  }
  if (edit->text() == text) return;
  const QSignalBlocker blocker(edit);
  edit->setText(text);
}

void BindSlider(QSlider* slider, GuiDocument& document, CommandId command, int index) {
  EditSession* session = &document.session();
  QObject::connect(slider, &QSlider::sliderPressed, slider, [session] { session->BeginGesture(); });
  QObject::connect(slider, &QSlider::sliderReleased, slider, [session] { session->EndGesture(); });
  QObject::connect(slider, &QSlider::valueChanged, slider, [session, command, index](int position) {
    session->Run(command, SliderArgs(index, position));
  });
}

void CheckButton(QButtonGroup* group, int id) {
  QAbstractButton* checked = group->checkedButton();
  if (checked && group->id(checked) == id) return;
  if (QAbstractButton* button = group->button(id)) {
    const QSignalBlocker blocker(button);
    button->setChecked(true);
  } else if (checked) {
    // No radio checked at all (the ambient term has no type radio) needs
    // the group's exclusivity off for a moment.
    const QSignalBlocker blocker(checked);
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
  }
}

}  // namespace modra
