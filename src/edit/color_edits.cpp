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

bool SetColorSliders(EditLayer& layer, int red, int green, int blue) {
  const Scene& s = layer.document().scene;
  if (!ColorPanelEnabled(s)) return false;
  std::vector<int> groups;
  for (int g : layer.SelectedGroups())
    if (!(s.groups[g].flags & VertexColors)) groups.push_back(g);
  if (groups.empty()) return false;
  const float r = Value(red, 1000, kColorSliderMax);
  const float gr = Value(green, 1000, kColorSliderMax);
  const float b = Value(blue, 1000, kColorSliderMax);
  layer.EditGroups("Color", {kKeyColor}, groups,
                   [&](Scene& sc, int g) { SetColor(sc, g, r, gr, b); });
  return true;
}

bool SetMaterialSliders(EditLayer& layer, int shine, int specularRed, int specularGreen,
                        int specularBlue) {
  if (!ColorPanelEnabled(layer.document().scene)) return false;
  std::vector<int> groups = layer.SelectedGroups();
  if (groups.empty()) return false;
  const float shininess = Value(shine, 10, kShineSliderMax);
  const float r = Value(specularRed, 1000, kColorSliderMax);
  const float gr = Value(specularGreen, 1000, kColorSliderMax);
  const float b = Value(specularBlue, 1000, kColorSliderMax);
  layer.EditGroups("Material", {kKeySpecular}, groups, [&](Scene& sc, int g) {
    SetShininess(sc, g, shininess);
    SetSpecular(sc, g, r, gr, b);
  });
  return true;
}

}  // namespace modra
