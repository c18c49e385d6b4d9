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
#include "app/panel_widgets.h"
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

ViewPanel::ViewPanel(GuiDocument& document, Fields fields, const QString& title, QWidget* parent)
    : ControlPanel(document, title, parent), fields_(fields) {
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

  views_ = new ViewModeBox(document_, this);
  layout_->addWidget(views_);
  layout_->addStretch(1);
}

CommandId ViewPanel::command() const {
  return fields_ == Fields::kRotation ? CommandId::kViewRotation : CommandId::kViewTranslation;
}

void ViewPanel::bindEvents() {
  for (int i = 0; i < 3; ++i)
    BindField(edits_[i], document_, command(), i);
  const QSlider* sliders[3] = {fieldOfView_, nearPlane_, farPlane_};
  for (int i = 0; i < 3; ++i)
    connect(sliders[i], &QSlider::valueChanged, this, [this, i](int position) {
      document_.run(CommandId::kViewSlider, SliderArgs(i, position));
    });
}

void ViewPanel::refresh() {
  const Document& doc = document_.doc();
  for (int i = 0; i < 3; ++i)
    ShowField(edits_[i], document_, command(), i);
  const PanelValues& v = document_.session().panels();
  SetSlider(fieldOfView_, static_cast<int>(std::lround(v.fieldOfView * 10)));
  SetSlider(nearPlane_, static_cast<int>(std::lround(v.nearOffset * 100)));
  SetSlider(farPlane_, static_cast<int>(std::lround(v.farOffset * 100)));
  fieldOfViewValue_->setText(FieldText(v.fieldOfView, 1));
  nearPlaneValue_->setText(FieldText(v.nearOffset, 2));
  farPlaneValue_->setText(FieldText(v.farOffset, 2));
  fieldOfView_->setEnabled(!doc.display.views[doc.display.currentView].orthographic);
  views_->showView(doc.display.currentView);
}

}  // namespace modra
