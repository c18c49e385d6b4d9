#include "edit/color_edits.h"

#include <algorithm>
#include <cmath>

#include "scene/group_fields.h"
#include "scene/key_store.h"

namespace modra {
namespace {

int Position(float value, float scale, int max) {
  return std::clamp(static_cast<int>(std::lround(value * scale)), 0, max);
}

// A slider reports only positions inside its range; a caller that hands
// another one gets the nearest end, so the setters' clamps never see more
// than a slider could produce.
float Value(int position, float scale, int max) {
  return static_cast<float>(std::clamp(position, 0, max)) / scale;
}

}  // namespace

bool ColorPanelEnabled(const Scene& s) {
  if (!IsLiveGroup(s, s.selectedGroup)) return false;
  const DisplayGroup& g = s.groups[s.selectedGroup];
  return g.child == -1 && !(g.flags & VertexColors);
}

ColorSliders ColorPanelSliders(const Scene& s) {
  ColorSliders out;
  if (!ColorPanelEnabled(s)) return out;
  const DisplayGroup& g = s.groups[s.selectedGroup];
  out.red = Position(g.color[0], 1000, kColorSliderMax);
  out.green = Position(g.color[1], 1000, kColorSliderMax);
  out.blue = Position(g.color[2], 1000, kColorSliderMax);
  out.shine = Position(g.shininess, 10, kShineSliderMax);
  out.specularRed = Position(g.specular[0], 1000, kColorSliderMax);
  out.specularGreen = Position(g.specular[1], 1000, kColorSliderMax);
  out.specularBlue = Position(g.specular[2], 1000, kColorSliderMax);
  return out;
}

bool SetColorSlider(EditLayer& layer, int slider, int position) {
  const Scene& s = layer.document().scene;
  if (!ColorPanelEnabled(s) || slider < 0 || slider > 2) return false;
  std::vector<int> groups;
  for (int g : layer.SelectedGroups())
    if (!(s.groups[g].flags & VertexColors)) groups.push_back(g);
  Vec3 c = s.groups[s.selectedGroup].color;
  c[slider] = Value(position, 1000, kColorSliderMax);
  return layer.EditGroups(CommandId::kColor, {kKeyColor}, groups,
                          [&](Scene& sc, int g) { SetColor(sc, g, c[0], c[1], c[2]); });
}

bool SetMaterialSlider(EditLayer& layer, int slider, int position) {
  const Scene& s = layer.document().scene;
  if (!ColorPanelEnabled(s) || slider < 0 || slider > 3) return false;
  const DisplayGroup& current = s.groups[s.selectedGroup];
  float shininess = current.shininess;
  Vec3 specular = current.specular;
  if (slider == 0)
    shininess = Value(position, 10, kShineSliderMax);
  else
    specular[slider - 1] = Value(position, 1000, kColorSliderMax);
  return layer.EditGroups(CommandId::kMaterial, {kKeySpecular}, layer.SelectedGroups(),
                          [&](Scene& sc, int g) {
                            SetShininess(sc, g, shininess);
                            SetSpecular(sc, g, specular[0], specular[1], specular[2]);
                          });
}

}  // namespace modra
