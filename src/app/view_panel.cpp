#include "app/view_panel.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "app/gui_document.h"
#include "app/view_mode_box.h"

namespace modra {

namespace {

QSlider* MakeSlider(int low, int high, QWidget* parent) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setRange(low, high);
  return slider;
}

void SetSlider(QSlider* slider, int value) {
  const QSignalBlocker blocker(slider);
  if (slider->value() != value) slider->setValue(value);
}

}  // namespace

ViewPanel::ViewPanel(GuiDocument& document, ViewInteraction& interaction, Fields fields,
                     const QString& title, QWidget* parent)
    : ControlPanel(document, title, parent), interaction_(interaction), fields_(fields) {
  createGui();
  bindEvents();
  refresh();
}

void ViewPanel::createGui() {
  const bool rotate = fields_ == Fields::kRotation;
  auto* form = new QFormLayout;
  const char* axes[3] = {"X", "Y", "Z"};
  for (int i = 0; i < 3; ++i) {
    edits_[i] = new QLineEdit(this);
    edits_[i]->setObjectName(QStringLiteral("ViewPanel_Field%1").arg(axes[i]));
    form->addRow(QStringLiteral("%1 %2").arg(rotate ? "Rotate" : "Translate", axes[i]), edits_[i]);
  }
  layout_->addLayout(form);

  auto* sliders = new QGridLayout;
  fieldOfView_ = MakeSlider(10, 1800, this);
  nearPlane_ = MakeSlider(-2000, 2000, this);
  farPlane_ = MakeSlider(-2000, 2000, this);
  fieldOfView_->setObjectName(QStringLiteral("ViewPanel_FieldOfView"));
  nearPlane_->setObjectName(QStringLiteral("ViewPanel_NearPlane"));
  farPlane_->setObjectName(QStringLiteral("ViewPanel_FarPlane"));
  fieldOfViewValue_ = new QLabel(this);
  nearPlaneValue_ = new QLabel(this);
  farPlaneValue_ = new QLabel(this);
  const struct {
    const char* text;
    QSlider* slider;
    QLabel* value;
  } rows[] = {{"Field of View", fieldOfView_, fieldOfViewValue_},
              {"Near Clip Plane", nearPlane_, nearPlaneValue_},
              {"Far Clip Plane", farPlane_, farPlaneValue_}};
  int row = 0;
  for (const auto& r : rows) {
    sliders->addWidget(new QLabel(r.text, this), row, 0);
    sliders->addWidget(r.value, row++, 1, Qt::AlignRight);
    sliders->addWidget(r.slider, row++, 0, 1, 2);
  }
  layout_->addLayout(sliders);

  views_ = new ViewModeBox(interaction_, this);
  layout_->addWidget(views_);
  layout_->addStretch(1);
}

void ViewPanel::bindEvents() {
  for (QLineEdit* edit : edits_)
    connect(edit, &QLineEdit::textEdited, this, &ViewPanel::fieldEdited);
  for (QSlider* slider : {fieldOfView_, nearPlane_, farPlane_})
    connect(slider, &QSlider::valueChanged, this, &ViewPanel::sliderMoved);
}

void ViewPanel::fieldEdited() {
  Vec3 values;
  for (int i = 0; i < 3; ++i)
    values[i] = ReadField(edits_[i]->text());
  if (fields_ == Fields::kRotation)
    interaction_.SetRotationTotals(values);
  else
    interaction_.SetViewTranslation(values);
}

void ViewPanel::sliderMoved() {
  interaction_.SetPerspective(static_cast<float>(fieldOfView_->value()) / 10,
                              static_cast<float>(nearPlane_->value()) / 100,
                              static_cast<float>(farPlane_->value()) / 100);
  refresh();
}

void ViewPanel::showFields(float x, float y, float z) {
  const float values[3] = {x, y, z};
  for (int i = 0; i < 3; ++i) {
    // The field being typed into keeps its text ("1." stays "1.").
    if (edits_[i]->hasFocus() && ReadField(edits_[i]->text()) == values[i]) continue;
    const QString text = FormatField(values[i]);
    const QSignalBlocker blocker(edits_[i]);
    if (edits_[i]->text() != text) edits_[i]->setText(text);
  }
}

void ViewPanel::refresh() {
  const Document& doc = document_.doc();
  const InteractionState& state = interaction_.State();
  const Vec3& shown = fields_ == Fields::kRotation ? state.totalAngles : state.viewTranslation;
  showFields(shown[0], shown[1], shown[2]);
  const PanelValues& v = interaction_.Panels();
  SetSlider(fieldOfView_, static_cast<int>(std::lround(v.fieldOfView * 10)));
  SetSlider(nearPlane_, static_cast<int>(std::lround(v.nearOffset * 100)));
  SetSlider(farPlane_, static_cast<int>(std::lround(v.farOffset * 100)));
  fieldOfViewValue_->setText(FormatField(v.fieldOfView, 1));
  nearPlaneValue_->setText(FormatField(v.nearOffset, 2));
  farPlaneValue_->setText(FormatField(v.farOffset, 2));
  fieldOfView_->setEnabled(!doc.display.views[doc.display.currentView].orthographic);
  views_->showView(doc.display.currentView);
}

void ViewPanel::Adjust(float x, float y, float z, bool ownMode) {
  // A drag borrowed from another mode leaves the fields to the next refresh.
  if (ownMode) showFields(x, y, z);
}

}  // namespace modra
