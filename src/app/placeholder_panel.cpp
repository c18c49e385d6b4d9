#include "app/placeholder_panel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>


namespace modra {

namespace {

// e: a number field, b: a button, c: a check box or radio, s: a slider.
struct Control {
  char kind;
  const char* text;
};
struct PanelText {
  EditMode mode;
  const char* className;
  const char* title;
  std::initializer_list<Control> controls;
};

const PanelText kPanels[] = {
    {EditMode::kColor, "CFormColor", "Color",
     {{'s', "Red"}, {'s', "Green"}, {'s', "Blue"}, {'s', "Material Shine"}, {'s', "Specular Red"},
      {'s', "Specular Green"}, {'s', "Specular Blue"}}},
    {EditMode::kCreateObjects, "CFormCreate", "Create an Object",
     {{'b', "Rectangle"}, {'b', "Block"}, {'b', "Cone"}, {'b', "Rounded Cone"}, {'b', "Tube"},
      {'b', "Cylinder"}, {'b', "Torus"}, {'b', "Sphere1"}, {'b', "Sphere 2"}, {'b', "3D Text ..."},
      {'b', "Surface of Revolution ..."}, {'b', "Extrusion ..."}, {'e', "Parameter 1"},
      {'e', "Parameter 2"}, {'e', "Parameter 3"}, {'b', "Edit Geometry"},
      {'b', "Edit Resolution"}}},
    {EditMode::kTexture, "CFormTexture", "Texture Selected Objects",
     {{'c', "Enable Textures"}, {'b', "Planar"}, {'b', "Cylinderical"}, {'b', "Spherical"},
      {'b', "Default"}, {'e', "Rotate X"}, {'e', "Rotate Y"}, {'e', "Rotate Z"},
      {'e', "Translate X"}, {'e', "Translate Y"}, {'e', "Translate Z"}, {'e', "Scale S"},
      {'e', "Scale T"}}},
    {EditMode::kLights, "CFormLights", "Modify Light",
     {{'c', "Off"}, {'c', "Directional"}, {'c', "Positional"}, {'c', "Cone"}, {'e', "Rotate X"},
      {'e', "Rotate Y"}, {'e', "X Position"}, {'e', "Y Position"}, {'e', "Z Position"},
      {'s', "Red"}, {'s', "Green"}, {'s', "Blue"}, {'s', "Cutoff Angle"}, {'s', "Spot Power"},
      {'e', "C1"}, {'e', "C2"}, {'e', "C3"}}},
    {EditMode::kCamera, "CFormCamera", "Control Camera",
     {{'e', "Rotate X"}, {'e', "Rotate Y"}, {'e', "X Position"}, {'e', "Y Position"},
      {'e', "Z Position"}, {'c', "Manual"}, {'c', "Look-At"}, {'b', "Set Look-At Group"}}},
};

const PanelText* Find(EditMode mode) {
  for (const PanelText& p : kPanels)
    if (p.mode == mode) return &p;
  return nullptr;
}

}  // namespace

bool PlaceholderPanel::Covers(EditMode mode) {
  return Find(mode) != nullptr;
}

PlaceholderPanel::PlaceholderPanel(GuiDocument& document, EditMode mode, QWidget* parent)
    : ControlPanel(document, QString::fromLatin1(Find(mode) ? Find(mode)->title : ""), parent) {
  const PanelText* panel = Find(mode);
  if (!panel) return;
  setObjectName(QString::fromLatin1(panel->className));
  auto* form = new QFormLayout;
  for (const Control& c : panel->controls) {
    const QString text = QString::fromLatin1(c.text);
    QWidget* widget = nullptr;
    switch (c.kind) {
      case 'e': form->addRow(text, widget = new QLineEdit(this)); break;
      case 's': form->addRow(text, widget = new QSlider(Qt::Horizontal, this)); break;
      case 'c': form->addRow(widget = new QCheckBox(text, this)); break;
      default: form->addRow(widget = new QPushButton(text, this)); break;
    }
    widget->setEnabled(false);
  }
  layout_->addLayout(form);
  layout_->addStretch(1);
}

}  // namespace modra
