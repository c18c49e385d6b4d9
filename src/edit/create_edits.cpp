#include "edit/create_edits.h"

#include <algorithm>
#include <cmath>

#include "document/group_edit.h"
#include "geometry/primitives.h"
#include "geometry/text.h"
#include "scene/group_fields.h"

namespace modra {

const std::array<CreateButton, kCreateButtonCount> kCreateButtons = {{
    {"Rectangle", CreateRectangle},
    {"Block", CreateBlock},
    {"Cone", CreateCone},
    {"Rounded Cone", CreateRoundedCone},
    {"Tube", CreateTube},
    {"Cylinder", CreateCylinder},
    {"Torus", CreateTorus},
    {"Sphere1", CreateSphere1},
    {"Sphere 2", CreateSphere2},
}};

int CreateFromPanel(Document& doc, int (*create)(Document&)) {
  ChangeBatch batch(doc);
  // note: leaving an entered group matters: the new group is made at the
  // top level, and a current group outside the level being edited could
  // not be picked again
  DeselectAll(doc);
  const int g = create(doc);
  // Whatever made it, the new group is the one the panels act on now.
  if (g != -1) {
    Scene& s = doc.scene;
    s.groups[g].flags |= Selected | highlighted;
    s.selectedGroup = g;
    NotifyChanged(doc, kSelectionChanged);
  }
  return g;
}

int CreateTextFromPanel(Document& doc, std::string_view text, std::string_view scaleText,
                        int fontIndex) {
  ChangeBatch batch(doc);
  DeselectAll(doc);
  return CreateText(doc, text, ParseSize(scaleText).value_or(1.0f), fontIndex);
}

CreateFields CreatePanelFields(const Scene& s) {
  CreateFields fields;
  fields.count = GetSizeParams(s, s.selectedGroup, fields.labels, fields.values);
  return fields;
}

bool SetCreateField(EditLayer& layer, int index, float value) {
  Document& doc = layer.document();
  const CreateFields fields = CreatePanelFields(doc.scene);
  if (index < 0 || index >= fields.count || !std::isfinite(value) || fields.values[index] == value)
    return false;
  const int g = doc.scene.selectedGroup;
  return layer.EditOwner(CommandId::kCreateSize, g, {},
                         [&](Scene&) { SetSizeParam(doc, g, index, value); });
}

bool AdjustCreate(EditLayer& layer, float dx, float dy, float dz) {
  Document& doc = layer.document();
  const CreateFields fields = CreatePanelFields(doc.scene);
  const float d[kMaxSizeParams] = {dx, dy, dz};
  bool moves = false;
  for (int i = 0; i < fields.count; ++i) {
    if (!std::isfinite(d[i])) return false;
    moves = moves || d[i] != 0;
  }
  if (!moves) return false;
  const int g = doc.scene.selectedGroup;
  return layer.EditOwner(CommandId::kCreateSize, g, {},
                         [&](Scene&) { AddSizeParams(doc, g, dx, dy, dz); });
}

ResolutionValues CreatePanelResolutions(const Scene& s) {
  ResolutionValues r;
  r.count = GetResolutionParams(s, s.selectedGroup, r.labels, r.values);
  if (r.count == 0) return r;
  const ResolutionFields fields = ResolutionFieldsOf(s.groups[s.selectedGroup].kind);
  for (int i = 0; i < r.count; ++i) {
    r.min[i] = fields.fields[i].min;
    r.max[i] = fields.fields[i].max;
  }
  return r;
}

bool SetCreateResolutions(EditLayer& layer, std::array<int, kMaxResolutionParams>& values) {
  Document& doc = layer.document();
  const ResolutionValues now = CreatePanelResolutions(doc.scene);
  if (now.count == 0) return false;
  bool changes = false;
  for (int i = 0; i < now.count; ++i) {
    values[i] = std::clamp(values[i], now.min[i], now.max[i]);
    changes = changes || values[i] != now.values[i];
  }
  if (!changes) return false;
  const int g = doc.scene.selectedGroup;
  return layer.EditOwner(CommandId::kModifyResolution, g, {},
                         [&](Scene&) { SetResolutionParams(doc, g, values); });
}

}  // namespace modra
