#include "app/form_lights.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "app/gui_document.h"

namespace modra {

namespace {

constexpr const char* kTypeNames[4] = {"Off", "Directional", "Positional", "Cone"};
constexpr const char* kAxes[3] = {"X", "Y", "Z"};

QLineEdit* NewField(const QString& name, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QButtonGroup* RadioRow(QGroupBox* box, QLayout* layout, std::initializer_list<const char*> texts,
                       const QString& namePrefix, const char* const* names) {
  auto* group = new QButtonGroup(box);
  int id = 0;
  for (const char* text : texts) {
    auto* radio = new QRadioButton(QString::fromLatin1(text), box);
    radio->setObjectName(namePrefix + QString::fromLatin1(names[id]));
    group->addButton(radio, id++);
    layout->addWidget(radio);
  }
  return group;
}

}  // namespace

CFormLights::CFormLights(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Modify Light"), parent) {
  setObjectName(QStringLiteral("CFormLights"));
  createGui();
  bindEvents();
  refresh();
}

void CFormLights::createGui() {
  list_ = new QComboBox(this);
  list_->setObjectName(QStringLiteral("Lights_List"));
  for (int e = 0; e < kLightListCount; ++e)
    list_->addItem(QString::fromLatin1(LightListName(e)));
  layout_->addWidget(list_);

  auto* typeBox = new QGroupBox(QStringLiteral("Light Type"), this);
  auto* typeGrid = new QGridLayout(typeBox);
  types_ = new QButtonGroup(this);
  for (int i = 0; i < 4; ++i) {
    auto* radio = new QRadioButton(QString::fromLatin1(kTypeNames[i]), typeBox);
    radio->setObjectName(QStringLiteral("Lights_Type_%1").arg(kTypeNames[i]));
    types_->addButton(radio, i);
    typeGrid->addWidget(radio, i / 2, i % 2);
  }
  layout_->addWidget(typeBox);

  auto* mouseBox = new QGroupBox(QStringLiteral("Mouse Control"), this);
  auto* mouseRow = new QHBoxLayout(mouseBox);
  constexpr const char* kMouseNames[2] = {"Rot", "Pos"};
  mouse_ =
      RadioRow(mouseBox, mouseRow, {"Rot", "Pos"}, QStringLiteral("Lights_Mouse_"), kMouseNames);
  layout_->addWidget(mouseBox);

  auto* form = new QFormLayout;
  for (int i = 0; i < 2; ++i) {
    angles_[i] = NewField(QStringLiteral("Lights_Rotate%1").arg(kAxes[i]), this);
    form->addRow(QStringLiteral("Rotate %1").arg(kAxes[i]), angles_[i]);
  }
  for (int i = 0; i < 3; ++i) {
    position_[i] = NewField(QStringLiteral("Lights_Position%1").arg(kAxes[i]), this);
    form->addRow(QStringLiteral("%1 Position").arg(kAxes[i]), position_[i]);
  }
  layout_->addLayout(form);

  auto* sliders = new QGridLayout;
  constexpr const char* kColors[3] = {"Red", "Green", "Blue"};
  for (int i = 0; i < 3; ++i)
    color_[i] = AddSliderRow(sliders, i, kColors[i], 0, kLightColorSliderMax,
                             QStringLiteral("Lights_%1").arg(kColors[i]), this);
  cutoff_ = AddSliderRow(sliders, 3, "Cutoff Angle", kCutoffSliderMin, kCutoffSliderMax,
                         QStringLiteral("Lights_Cutoff"), this);
  spotPower_ = AddSliderRow(sliders, 4, "Spot Power", 0, kSpotPowerSliderMax,
                            QStringLiteral("Lights_SpotPower"), this);
  sliders->setColumnStretch(1, 1);
  layout_->addLayout(sliders);

  auto* box = new QGroupBox(QStringLiteral("Attenuation = 1.0/(C1*d*d+C2*d+C3)"), this);
  auto* row = new QHBoxLayout(box);
  for (int i = 0; i < 3; ++i) {
    attenuation_[i] = NewField(QStringLiteral("Lights_C%1").arg(i + 1), box);
    row->addWidget(new QLabel(QStringLiteral("C%1").arg(i + 1), box));
    row->addWidget(attenuation_[i], 1);
  }
  layout_->addWidget(box);
  layout_->addStretch(1);
}

void CFormLights::bindEvents() {
  GuiDocument& d = document_;
  connect(list_, &QComboBox::currentIndexChanged, this,
          [&d](int entry) { d.run(CommandId::kLightEntry, entry); });
  connect(types_, &QButtonGroup::idClicked, this,
          [&d](int radio) { d.run(CommandId::kLightType, radio); });
  connect(mouse_, &QButtonGroup::idClicked, this,
          [&d](int id) { d.run(CommandId::kLightMouse, id); });
  for (int i = 0; i < 2; ++i)
    BindField(angles_[i], d, CommandId::kRotateLight, i);
  for (int i = 0; i < 3; ++i) {
    BindField(position_[i], d, CommandId::kMoveLight, i);
    BindField(attenuation_[i], d, CommandId::kLightAttenuation, i);
    BindSlider(color_[i].slider, d, CommandId::kLightColor, i);
  }
  BindSlider(cutoff_.slider, d, CommandId::kLightCone, 0);
  BindSlider(spotPower_.slider, d, CommandId::kLightCone, 1);
}

void CFormLights::refresh() {
  const EditSession& session = document_.session();
  const Scene& s = session.doc().scene;
  const PanelValues& panels = session.panels();
  const int entry = panels.lightEntry;
  if (list_->currentIndex() != entry) {
    const QSignalBlocker blocker(list_);
    list_->setCurrentIndex(entry);
  }
  const LightPanelState st = LightPanel(s, entry);
  for (QAbstractButton* radio : types_->buttons())
    radio->setEnabled(st.typeRadios);
  CheckButton(types_, st.checkedRadio);

  mouse_->button(0)->setEnabled(st.mouseRotation);
  mouse_->button(1)->setEnabled(st.mousePosition);
  CheckButton(mouse_, LightMouseChoice(s, panels) == LightMouse::kPosition ? 1 : 0);

  for (int i = 0; i < 2; ++i)
    ShowField(angles_[i], document_, CommandId::kRotateLight, i);
  for (int i = 0; i < 3; ++i) {
    ShowField(position_[i], document_, CommandId::kMoveLight, i);
    ShowField(attenuation_[i], document_, CommandId::kLightAttenuation, i);
  }

  const LightSliders v = LightPanelSliders(s, entry);
  const int colors[3] = {v.red, v.green, v.blue};
  for (int i = 0; i < 3; ++i)
    ShowSlider(color_[i], st.color, colors[i],
               FieldText(static_cast<float>(colors[i]) / kLightColorSliderMax, 3));
  ShowSlider(cutoff_, st.cone, v.cutoff, FieldText(static_cast<float>(v.cutoff) / 10, 1));
  ShowSlider(spotPower_, st.cone, v.spotPower, FieldText(static_cast<float>(v.spotPower) / 10, 1));
}

}  // namespace modra
