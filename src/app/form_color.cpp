#include "app/form_color.h"

#include <QGridLayout>
#include <QSlider>
#include <QVBoxLayout>

#include "app/gui_document.h"
#include "edit/color_edits.h"

namespace modra {

namespace {

enum Row { kRed, kGreen, kBlue, kShine, kSpecularRed, kSpecularGreen, kSpecularBlue };

struct RowText {
  const char* text;
  const char* name;
  int max;
};
constexpr RowText kRows[7] = {
    {"Red", "Red", kColorSliderMax},
    {"Green", "Green", kColorSliderMax},
    {"Blue", "Blue", kColorSliderMax},
    {"Material Shine", "Shine", kShineSliderMax},
    {"Specular Red", "SpecularRed", kColorSliderMax},
    {"Specular Green", "SpecularGreen", kColorSliderMax},
    {"Specular Blue", "SpecularBlue", kColorSliderMax},
};

}  // namespace

CFormColor::CFormColor(GuiDocument& document, QWidget* parent)
    : ControlPanel(document, QStringLiteral("Color"), parent) {
  setObjectName(QStringLiteral("CFormColor"));
  createGui();
  bindEvents();
  refresh();
}

void CFormColor::createGui() {
  auto* grid = new QGridLayout;
  for (int i = 0; i < 7; ++i)
    rows_[i] = AddSliderRow(grid, i, kRows[i].text, 0, kRows[i].max,
                            QStringLiteral("Color_%1").arg(kRows[i].name), this);
  grid->setColumnStretch(1, 1);
  layout_->addLayout(grid);
  layout_->addStretch(1);
}

void CFormColor::bindEvents() {
  for (int i = 0; i < 7; ++i) {
    if (i < kShine)
      BindSlider(rows_[i].slider, document_, CommandId::kColor, i);
    else
      BindSlider(rows_[i].slider, document_, CommandId::kMaterial, i - kShine);
  }
}

void CFormColor::refresh() {
  const Scene& s = document_.doc().scene;
  const bool enabled = ColorPanelEnabled(s);
  const ColorSliders v = ColorPanelSliders(s);
  const int positions[7] = {v.red,         v.green,         v.blue,        v.shine,
                            v.specularRed, v.specularGreen, v.specularBlue};
  for (int i = 0; i < 7; ++i) {
    const float scale = i == kShine ? 10.0f : 1000.0f;
    ShowSlider(rows_[i], enabled, positions[i],
               FieldText(static_cast<float>(positions[i]) / scale, 3));
  }
}

}  // namespace modra
