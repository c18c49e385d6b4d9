#include "edit/field_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "edit/color_edits.h"
#include "edit/create_edits.h"
#include "edit/edit_session.h"
#include "edit/profile_commands.h"
#include "edit/texture_edits.h"
#include "io/text_out.h"

namespace modra {
namespace {

int Decimals(CommandId id) {
  switch (id) {
    case CommandId::kRotateLight:
      return 2;
    case CommandId::kMoveLight:
    case CommandId::kLightAttenuation:
      return 4;
    default:
      return 3;
  }
}

std::optional<float> LightField(const EditSession& session, int index, int count,
                                bool LightPanelState::*enabled,
                                float (*pick)(const KnfLight&, int)) {
  const Scene& s = session.doc().scene;
  const int entry = session.panels().lightEntry;
  const int light = LightOfEntry(entry);
  if (light < 0 || index < 0 || index >= count || !(LightPanel(s, entry).*enabled))
    return std::nullopt;
  return pick(s.lights[light], index);
}

}  // namespace

std::string FormatField(float value, int decimals) {
  char text[kMaxFixedChars];
  return {text, FormatFixed(text, value, std::clamp(decimals, 0, 6))};
}

std::optional<float> ParseField(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<float> FieldValue(const EditSession& session, CommandId id, int index) {
  const Scene& s = session.doc().scene;
  const bool current = IsLiveGroup(s, s.selectedGroup);
  switch (id) {
    case CommandId::kTranslate:
    case CommandId::kRotate:
    case CommandId::kScale:
    case CommandId::kMoveCenter:
    case CommandId::kRotateCenter: {
      if (!current || index < 0 || index > 2) return std::nullopt;
      const auto panel = static_cast<TransformPanel>(static_cast<int>(id) -
                                                     static_cast<int>(CommandId::kTranslate));
      return PanelValue(s, s.selectedGroup, panel)[static_cast<size_t>(index)];
    }
    case CommandId::kRotateLight:
      return LightField(session, index, 2, &LightPanelState::angles, [](const KnfLight& l, int i) {
        return l.rotation[static_cast<size_t>(i)];
      });
    case CommandId::kMoveLight:
      return LightField(
          session, index, 3, &LightPanelState::position,
          [](const KnfLight& l, int i) { return l.position[static_cast<size_t>(i)]; });
    case CommandId::kLightAttenuation:
      return LightField(session, index, 3, &LightPanelState::attenuation,
                        [](const KnfLight& l, int i) {
                          return i == 0 ? l.c1 : i == 1 ? l.c2 : l.c3;
                        });
    case CommandId::kMoveCamera:
      if (index < 0 || index > 4) return std::nullopt;
      return CameraFieldValues(CameraPanelFields(s))[static_cast<size_t>(index)];
    case CommandId::kTextureField: {
      if (!current || index < 0 || index > 7) return std::nullopt;
      const TextureParams p = CurrentTextureParams(s);
      const float values[8] = {p.rotation[0],    p.rotation[1],    p.rotation[2], p.translation[0],
                               p.translation[1], p.translation[2], p.scaleS,      p.scaleT};
      return values[index];
    }
    case CommandId::kCreateSize: {
      const CreateFields f = CreatePanelFields(s);
      if (index < 0 || index >= f.count) return std::nullopt;
      return f.values[static_cast<size_t>(index)];
    }
    case CommandId::kViewRotation:
    case CommandId::kViewTranslation: {
      if (index < 0 || index > 2) return std::nullopt;
      const InteractionState& state = session.interaction().State();
      const Vec3& v = id == CommandId::kViewRotation ? state.totalAngles : state.viewTranslation;
      return v[static_cast<size_t>(index)];
    }
    case CommandId::kProfileField:
      return ProfileFieldValue(session, index);
    default:
      return std::nullopt;
  }
}

std::optional<float> FieldReading(CommandId id, int index, std::string_view text) {
  if (id == CommandId::kProfileField) return ProfileFieldReading(index, text);
  return ParseField(text);
}

std::string FieldText(const EditSession& session, CommandId id, int index) {
  const std::optional<float> value = FieldValue(session, id, index);
  if (!value) return {};
  if (id == CommandId::kProfileField) return ProfileFieldText(session, index);
  if (id == CommandId::kCreateSize) {
    const PanelValues& p = session.panels();
    const Scene& s = session.doc().scene;
    const bool dragged =
        p.draggedSizesGroup == s.selectedGroup && CreatePanelFields(s).values == p.draggedSizes;
    return FormatSize(*value, dragged);
  }
  return FormatField(*value, Decimals(id));
}

}  // namespace modra
