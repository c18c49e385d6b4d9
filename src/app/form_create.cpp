#include "app/form_create.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "app/panel_widgets.h"
#include "app/resolution_dialog.h"
#include "edit/create_edits.h"

namespace modra {

namespace {

QPushButton* Button(QWidget* owner, const QString& text, const QString& name) {
  auto* button = new QPushButton(text, owner);
  button->setObjectName(QStringLiteral("CFormCreate_") + name);
  return button;
}

// "Rounded Cone" -> "RoundedCone", "Sphere 2" -> "Sphere2".
QString NameOf(const char* label) {
  return QString::fromLatin1(label).remove(QLatin1Char(' '));
}

}  // namespace

CFormCreate::CFormCreate(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Create an Object"), parent),
      runDialog_([](QDialog& dialog) { return dialog.exec(); }) {
  setObjectName(QStringLiteral("CFormCreate"));
  createGui();
  bindEvents();
  refresh();
}

void CFormCreate::createGui() {
  // Two primitive buttons a row keep the column narrow.
  auto* grid = new QGridLayout;
  for (int i = 0; i < kCreateButtonCount; ++i) {
    const CreateButton& b = kCreateButtons[i];
    QPushButton* button = Button(this, QString::fromLatin1(b.label), NameOf(b.label));
    grid->addWidget(button, i / 2, i % 2);
    const auto command = static_cast<CommandId>(static_cast<int>(CommandId::kCreateRectangle) + i);
    connect(button, &QPushButton::clicked, this, [this, command] { document_.run(command); });
  }
  layout_->addLayout(grid);

  QPushButton* text = Button(this, QStringLiteral("3D Text ..."), QStringLiteral("Text"));
  QPushButton* revolution =
      Button(this, QStringLiteral("Surface of Revolution ..."), QStringLiteral("Revolution"));
  QPushButton* extrusion =
      Button(this, QStringLiteral("Extrusion ..."), QStringLiteral("Extrusion"));
  for (QPushButton* b : {text, revolution, extrusion})
    layout_->addWidget(b);
  connect(text, &QPushButton::clicked, this, &CFormCreate::createText);
  // Each opens its profile editor on the new group.
  connect(revolution, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kCreateRevolution); });
  connect(extrusion, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kCreateExtrusion); });

  layout_->addSpacing(6);
  auto* form = new QFormLayout;
  form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  // Wide enough for the longest label, so the fields stay put when the
  // labels change with the current group.
  const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("Bottom Radius"));
  for (int i = 0; i < 3; ++i) {
    labels_[i] = new QLabel(this);
    labels_[i]->setMinimumWidth(labelWidth);
    fields_[i] = new QLineEdit(this);
    labels_[i]->setObjectName(QStringLiteral("CFormCreate_Label%1").arg(i));
    fields_[i]->setObjectName(QStringLiteral("CFormCreate_Field%1").arg(i));
    labels_[i]->setBuddy(fields_[i]);
    form->addRow(labels_[i], fields_[i]);
  }
  layout_->addLayout(form);

  editGeometry_ = Button(this, QStringLiteral("Edit Geometry"), QStringLiteral("EditGeometry"));
  editResolution_ =
      Button(this, QStringLiteral("Edit Resolution"), QStringLiteral("EditResolution"));
  layout_->addSpacing(6);
  layout_->addWidget(editGeometry_);
  layout_->addWidget(editResolution_);
  layout_->addStretch(1);
}

void CFormCreate::bindEvents() {
  for (int i = 0; i < 3; ++i)
    BindField(fields_[i], document_, CommandId::kCreateSize, i);
  connect(editResolution_, &QPushButton::clicked, this, &CFormCreate::editResolution);
  connect(editGeometry_, &QPushButton::clicked, this,
          [this] { document_.run(CommandId::kEditGeometry); });
}

void CFormCreate::createText() {
  TextDialog dialog(this);
  dialog.setValues(lastText_);
  if (runDialog_(dialog) != QDialog::Accepted) return;
  lastText_ = dialog.values();
  CommandArgs args;
  args.text = lastText_.text.toStdString();
  args.scale = lastText_.scale.toStdString();
  args.index = lastText_.font;
  document_.run(CommandId::kCreateText, args);
}

void CFormCreate::editResolution() {
  const ResolutionValues r = CreatePanelResolutions(document_.doc().scene);
  if (r.count == 0) return;
  ResolutionDialog::Values shown;
  shown.count = r.count;
  for (int i = 0; i < r.count; ++i) {
    shown.labels[i] = QString::fromStdString(r.labels[i]);
    shown.values[i] = r.values[i];
    shown.min[i] = r.min[i];
    shown.max[i] = r.max[i];
  }
  ResolutionDialog dialog(this);
  dialog.setValues(shown);
  if (runDialog_(dialog) != QDialog::Accepted) return;
  CommandArgs args;
  args.numbers = dialog.values().values;
  document_.run(CommandId::kModifyResolution, args);
}

void CFormCreate::refresh() {
  const CreateFields f = CreatePanelFields(document_.doc().scene);
  for (int i = 0; i < 3; ++i) {
    labels_[i]->setText(i < f.count ? QString::fromStdString(f.labels[i]) : QString());
    ShowField(fields_[i], document_, CommandId::kCreateSize, i);
  }
  editResolution_->setEnabled(CreatePanelResolutions(document_.doc().scene).count > 0);
  editGeometry_->setEnabled(CommandEnabled(document_.session(), CommandId::kEditGeometry));
}

}  // namespace modra
