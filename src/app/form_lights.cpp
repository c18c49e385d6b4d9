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

void Check(QButtonGroup* group, int id) {
  // No radio checked at all (the ambient term has no type radio) needs the
  // group's exclusivity off for a moment.
  QAbstractButton* checked = group->checkedButton();
  if (checked && group->id(checked) == id) return;
  if (QAbstractButton* button = group->button(id)) {
    const QSignalBlocker blocker(button);
    button->setChecked(true);
  } else if (checked) {
    const QSignalBlocker blocker(checked);
    group->setExclusive(false);
    checked->setChecked(false);
    group->setExclusive(true);
  }
}

bool Differs(const float* shown, const float* typed, int count) {
  for (int i = 0; i < count; ++i)
    if (shown[i] != typed[i]) return true;
  return false;
}

}  // namespace

CFormLights::CFormLights(GuiDocument& document, ViewInteraction& interaction, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Modify Light"), parent), interaction_(interaction) {
  setObjectName(QStringLiteral("CFormLights"));
  entry_ = EntryOfLight(interaction_.Panels().currentLight);
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
  connect(list_, &QComboBox::currentIndexChanged, this, &CFormLights::entryChosen);
  connect(types_, &QButtonGroup::idClicked, this, [this](int radio) {
    SetLightTypeRadio(document_.editLayer(), entry_, radio);
    refresh();
  });
  const auto fields = [this](const auto& edits, void (CFormLights::*edited)(bool)) {
    for (QLineEdit* edit : edits) {
      connect(edit, &QLineEdit::textEdited, this, [this, edited] { (this->*edited)(false); });
      connect(edit, &QLineEdit::editingFinished, this, [this, edited] { (this->*edited)(true); });
    }
  };
  fields(angles_, &CFormLights::anglesEdited);
  fields(position_, &CFormLights::positionEdited);
  fields(attenuation_, &CFormLights::attenuationEdited);
  for (const SliderRow& r : color_)
    connect(r.slider, &QSlider::valueChanged, this, &CFormLights::colorMoved);
  for (const SliderRow& r : {cutoff_, spotPower_})
    connect(r.slider, &QSlider::valueChanged, this, &CFormLights::coneMoved);
}

void CFormLights::entryChosen(int entry) {
  entry_ = entry;
  // The view's drags go to the chosen light; the background keeps the
  // last one, which the panel then refuses to move.
  if (LightOfEntry(entry) >= 0) interaction_.Panels().currentLight = LightOfEntry(entry);
  refresh();
}

// Typed values equal to the light's make no edit, so leaving a field that
// was only looked at changes nothing.
void CFormLights::anglesEdited(bool finished) {
  const int light = LightOfEntry(entry_);
  if (light < 0) return;
  float typed[2];
  for (int i = 0; i < 2; ++i) {
    if (!FieldReady(angles_[i], finished)) return;
    typed[i] = ReadField(angles_[i]->text());
  }
  if (!Differs(document_.doc().scene.lights[light].rotation.data(), typed, 2)) return;
  SetLightAngles(document_.editLayer(), entry_, typed[0], typed[1]);
}

void CFormLights::positionEdited(bool finished) {
  const int light = LightOfEntry(entry_);
  if (light < 0) return;
  Vec3 typed;
  for (int i = 0; i < 3; ++i) {
    if (!FieldReady(position_[i], finished)) return;
    typed[i] = ReadField(position_[i]->text());
  }
  if (!Differs(document_.doc().scene.lights[light].position.data(), typed.data(), 3)) return;
  SetLightPosition(document_.editLayer(), entry_, typed);
}

void CFormLights::attenuationEdited(bool finished) {
  const int light = LightOfEntry(entry_);
  if (light < 0) return;
  float typed[3];
  for (int i = 0; i < 3; ++i) {
    if (!FieldReady(attenuation_[i], finished)) return;
    typed[i] = ReadField(attenuation_[i]->text());
  }
  const KnfLight& l = document_.doc().scene.lights[light];
  const float shown[3] = {l.c1, l.c2, l.c3};
  if (!Differs(shown, typed, 3)) return;
  SetLightAttenuation(document_.editLayer(), entry_, typed[0], typed[1], typed[2]);
}

void CFormLights::colorMoved() {
  SetLightColorSliders(document_.editLayer(), entry_, color_[0].slider->value(),
                       color_[1].slider->value(), color_[2].slider->value());
  // The labels follow the slider now, not at the coalesced notice.
  refresh();
}

void CFormLights::coneMoved() {
  SetLightConeSliders(document_.editLayer(), entry_, cutoff_.slider->value(),
                      spotPower_.slider->value());
  refresh();
}

LightMouse CFormLights::mouse() const {
  return mouse_->checkedId() == 1 ? LightMouse::kPosition : LightMouse::kRotation;
}

bool CFormLights::TranslatesLightOrCamera() const {
  return mouse() == LightMouse::kPosition;
}

void CFormLights::Adjust(float dx, float dy, float dz, bool ownMode) {
  AdjustLight(document_.editLayer(), entry_, mouse(), {dx, dy, dz});
  if (ownMode) refresh();
}

void CFormLights::refresh() {
  const Scene& s = document_.doc().scene;
  if (list_->currentIndex() != entry_) {
    const QSignalBlocker blocker(list_);
    list_->setCurrentIndex(entry_);
  }
  const LightPanelState st = LightPanel(s, entry_);
  for (QAbstractButton* radio : types_->buttons())
    radio->setEnabled(st.typeRadios);
  Check(types_, st.checkedRadio);

  mouse_->button(0)->setEnabled(st.mouseRotation);
  mouse_->button(1)->setEnabled(st.mousePosition);
  // A drag must do something: when the chosen control no longer applies
  // to the light's type, the other one takes over.
  if (!mouse_->checkedButton() || !mouse_->checkedButton()->isEnabled()) {
    if (st.mouseRotation)
      Check(mouse_, 0);
    else if (st.mousePosition)
      Check(mouse_, 1);
  }

  const int light = LightOfEntry(entry_);
  const KnfLight none;
  const KnfLight& l = light >= 0 ? s.lights[light] : none;
  for (int i = 0; i < 2; ++i)
    ShowField(angles_[i], st.angles, l.rotation[i], 2);
  for (int i = 0; i < 3; ++i)
    ShowField(position_[i], st.position, l.position[i], 4);
  const float c[3] = {l.c1, l.c2, l.c3};
  for (int i = 0; i < 3; ++i)
    ShowField(attenuation_[i], st.attenuation, c[i], 4);

  const LightSliders v = LightPanelSliders(s, entry_);
  const int colors[3] = {v.red, v.green, v.blue};
  for (int i = 0; i < 3; ++i)
    ShowSlider(color_[i], st.color, colors[i],
               FormatField(static_cast<float>(colors[i]) / kLightColorSliderMax, 3));
  ShowSlider(cutoff_, st.cone, v.cutoff, FormatField(static_cast<float>(v.cutoff) / 10, 1));
  ShowSlider(spotPower_, st.cone, v.spotPower,
             FormatField(static_cast<float>(v.spotPower) / 10, 1));
}

}  // namespace modra
