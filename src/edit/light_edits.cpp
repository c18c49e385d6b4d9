#include "edit/light_edits.h"

#include <algorithm>
#include <cmath>

#include "scene/key_store.h"
#include "scene/matrix.h"

namespace modra {
namespace {

constexpr const char* kEntryNames[kLightListCount] = {
    "Background", "Ambient",  "Light #1", "Light #2", "Light #3",
    "Light #4",   "Light #5", "Light #6", "Light #7", "Light #8"};

bool Aims(int32_t type) {
  return type == kLightDirectional || type == kLightCone;
}
bool Stands(int32_t type) {
  return type == kLightPositional || type == kLightCone;
}

int Position(double value, double scale, int min, int max) {
  return std::clamp(static_cast<int>(std::lround(value * scale)), min, max);
}

float Value(int position, float scale, int min, int max) {
  return static_cast<float>(std::clamp(position, min, max)) / scale;
}

// The light an entry edits when its panel enables the control `enabled`
// picks; -1 otherwise.
template <class Enabled>
int EditableLight(const Scene& s, int entry, Enabled enabled) {
  const int light = LightOfEntry(entry);
  if (light < 0 || !enabled(LightPanel(s, entry))) return -1;
  return light;
}

}  // namespace

const char* LightListName(int entry) {
  return entry >= 0 && entry < kLightListCount ? kEntryNames[entry] : "";
}

int LightOfEntry(int entry) {
  return entry >= kLightListAmbient && entry < kLightListCount ? entry - 1 : -1;
}

int RadioOfLightType(int32_t type) {
  for (int i = 0; i < 4; ++i)
    if (kLightTypeOfRadio[i] == type) return i;
  return -1;
}

LightPanelState LightPanel(const Scene& s, int entry) {
  LightPanelState st;
  if (entry == kLightListBackground) {
    st.color = true;
    return st;
  }
  const int light = LightOfEntry(entry);
  if (light < 0) return st;
  const int32_t type = s.lights[light].type;
  st.typeRadios = light > 0;
  st.checkedRadio = light > 0 ? RadioOfLightType(type) : -1;
  st.mouseRotation = st.angles = Aims(type);
  st.mousePosition = st.position = st.attenuation = Stands(type);
  st.color = type != kLightOff;
  st.cone = type == kLightCone;
  return st;
}

LightSliders LightPanelSliders(const Scene& s, int entry) {
  LightSliders out;
  const int light = LightOfEntry(entry);
  if (entry != kLightListBackground && light < 0) return out;
  const Vec3& c = light < 0 ? s.global.background : s.lights[light].color;
  out.red = Position(c[0], 1000, 0, kLightColorSliderMax);
  out.green = Position(c[1], 1000, 0, kLightColorSliderMax);
  out.blue = Position(c[2], 1000, 0, kLightColorSliderMax);
  if (light >= 0) {
    out.cutoff = Position(s.lights[light].cutoff, 10, kCutoffSliderMin, kCutoffSliderMax);
    out.spotPower = Position(s.lights[light].spotPower, 10, 0, kSpotPowerSliderMax);
  }
  return out;
}

bool SetLightTypeRadio(EditLayer& layer, int entry, int radio) {
  const Scene& s = layer.document().scene;
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.typeRadios; });
  if (light < 0 || radio < 0 || radio > 3) return false;
  const int32_t type = kLightTypeOfRadio[radio];
  return layer.EditOwner(CommandId::kLightType, LightOwner(light), {kKeyLightType},
                         [&](Scene& sc) { sc.lights[light].type = type; });
}

bool SetLightAngles(EditLayer& layer, int entry, float x, float y) {
  const Scene& s = layer.document().scene;
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.angles; });
  if (light < 0) return false;
  return layer.EditOwner(CommandId::kRotateLight, LightOwner(light), {kKeyLightPosition},
                         [&](Scene& sc) {
                           KnfLight& l = sc.lights[light];
                           l.rotation = {x, y, 0};
                           l.direction = LightDirectionFromAngles(x, y);
                         });
}

bool SetLightPosition(EditLayer& layer, int entry, const Vec3& position) {
  const Scene& s = layer.document().scene;
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.position; });
  if (light < 0) return false;
  return layer.EditOwner(CommandId::kMoveLight, LightOwner(light), {kKeyLightPosition},
                         [&](Scene& sc) { sc.lights[light].position = position; });
}

bool SetLightAttenuation(EditLayer& layer, int entry, float c1, float c2, float c3) {
  const Scene& s = layer.document().scene;
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.attenuation; });
  if (light < 0) return false;
  return layer.EditOwner(CommandId::kLightAttenuation, LightOwner(light), {kKeyLightAttenuation},
                         [&](Scene& sc) {
                           KnfLight& l = sc.lights[light];
                           l.c1 = c1;
                           l.c2 = c2;
                           l.c3 = c3;
                         });
}

bool SetLightAngle(EditLayer& layer, int entry, int axis, float value) {
  const int light = LightOfEntry(entry);
  if (light < 0 || axis < 0 || axis > 1) return false;
  const KnfLight& l = layer.document().scene.lights[light];
  float angles[2] = {l.rotation[0], l.rotation[1]};
  angles[axis] = value;
  return SetLightAngles(layer, entry, angles[0], angles[1]);
}

bool SetLightPositionField(EditLayer& layer, int entry, int axis, float value) {
  const int light = LightOfEntry(entry);
  if (light < 0 || axis < 0 || axis > 2) return false;
  Vec3 position = layer.document().scene.lights[light].position;
  position[axis] = value;
  return SetLightPosition(layer, entry, position);
}

bool SetLightAttenuationField(EditLayer& layer, int entry, int index, float value) {
  const int light = LightOfEntry(entry);
  if (light < 0 || index < 0 || index > 2) return false;
  const KnfLight& l = layer.document().scene.lights[light];
  float c[3] = {l.c1, l.c2, l.c3};
  c[index] = value;
  return SetLightAttenuation(layer, entry, c[0], c[1], c[2]);
}

bool SetLightColorSlider(EditLayer& layer, int entry, int slider, int position) {
  if (slider < 0 || slider > 2) return false;
  const Scene& s = layer.document().scene;
  const float value = Value(position, 1000, 0, kLightColorSliderMax);
  if (entry == kLightListBackground) {
    Vec3 c = s.global.background;
    c[slider] = value;
    // The background is no key owner: the layer only makes the change,
    // marks the document and sends the notice that clears the view in the
    // new colour.
    return layer.EditOwner(CommandId::kBackgroundColor, kBackgroundOwner, {},
                           [&](Scene& sc) { sc.global.background = c; });
  }
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.color; });
  if (light < 0) return false;
  Vec3 c = s.lights[light].color;
  c[slider] = value;
  return layer.EditOwner(CommandId::kLightColor, LightOwner(light), {kKeyLightColor},
                         [&](Scene& sc) { sc.lights[light].color = c; });
}

bool SetLightConeSlider(EditLayer& layer, int entry, int slider, int position) {
  const Scene& s = layer.document().scene;
  const int light = EditableLight(s, entry, [](const LightPanelState& p) { return p.cone; });
  if (light < 0 || slider < 0 || slider > 1) return false;
  float angle = s.lights[light].cutoff;
  float power = s.lights[light].spotPower;
  if (slider == 0)
    angle = Value(position, 10, kCutoffSliderMin, kCutoffSliderMax);
  else
    power = Value(position, 10, 0, kSpotPowerSliderMax);
  return layer.EditOwner(CommandId::kLightCone, LightOwner(light), {kKeyLightCone}, [&](Scene& sc) {
    sc.lights[light].cutoff = angle;
    sc.lights[light].spotPower = power;
  });
}

bool AdjustLight(EditLayer& layer, int entry, LightMouse mode, const Vec3& d) {
  const Scene& s = layer.document().scene;
  const bool turn = mode == LightMouse::kRotation;
  const int light = EditableLight(
      s, entry, [&](const LightPanelState& p) { return turn ? p.mouseRotation : p.mousePosition; });
  if (light < 0) return false;
  if (turn ? (d[0] == 0 && d[1] == 0) : (d[0] == 0 && d[1] == 0 && d[2] == 0)) return false;
  return layer.EditOwner(turn ? CommandId::kRotateLight : CommandId::kMoveLight, LightOwner(light),
                         {kKeyLightPosition}, [&](Scene& sc) {
                           KnfLight& l = sc.lights[light];
                           if (turn) {
                             l.rotation[0] += d[0];
                             l.rotation[1] += d[1];
                             l.rotation[2] = 0;
                             l.direction = LightDirectionFromAngles(l.rotation[0], l.rotation[1]);
                           } else {
                             for (int i = 0; i < 3; ++i)
                               l.position[i] += d[i];
                           }
                         });
}

}  // namespace modra
