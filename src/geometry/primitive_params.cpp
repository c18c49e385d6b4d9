#include "geometry/primitive_params.h"

#include <cmath>

#include "geometry/primitive_fields.h"
#include "geometry/regenerate.h"
#include "io/scan_number.h"
#include "io/text_out.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

// A live primitive group whose block holds every field of its kind.
bool HasWholeBlock(const Scene& s, int g) {
  if (!IsLiveGroup(s, g)) return false;
  const DisplayGroup& group = s.groups[g];
  const int size = GeneratorParamSize(group);
  return size > 0 && group.generatorParams.size() >= static_cast<size_t>(size);
}

}  // namespace

ResolutionFields ResolutionFieldsOf(int32_t kind) {
  switch (kind) {
    case kKindRectangle:
      return {1, {{{"Side Resolution", 2, 1, 100}}}};
    case kKindBlock:
      return {1, {{{"Side Resolution", 3, 1, 100}}}};
    case kKindCone:
    case kKindRoundedCone:
      return {4,
              {{{"Radius Resolution", 3, 4, 500},
                {"Length Resolution", 4, 1, 100},
                {"Top End Cap Resolution", 5, 1, 100},
                {"Bottom End Cap Resolution", 6, 1, 100}}}};
    case kKindTube:
      return {2, {{{"Radius Resolution", 2, 4, 500}, {"Length Resolution", 3, 1, 100}}}};
    case kKindCylinder:
      return {3,
              {{{"Radius Resolution", 2, 4, 500},
                {"Length Resolution", 3, 1, 100},
                {"End Cap Resolution", 4, 1, 100}}}};
    case kKindTorus:
      return {2,
              {{{"Major Radius Resolution", 2, 4, 500}, {"Minor Radius Resolution", 3, 1, 100}}}};
    case kKindSphere:
      return {2,
              {{{"Y-axis Radius Resolution", 1, 4, 500}, {"X-axis Radius Resolution", 2, 2, 200}}}};
    case kKindSphere2:
      return {1, {{{"Sphere Quality", 1, 4, 50}}}};
    default:
      return {};
  }
}

SizeFields SizeFieldsOf(int32_t kind) {
  switch (kind) {
    case kKindRectangle:
      return {2, {{{"Width", 0}, {"Height", 1}}}};
    case kKindBlock:
      return {3, {{{"Width", 0}, {"Height", 1}, {"Depth", 2}}}};
    case kKindCone:
    case kKindRoundedCone:
      return {3, {{{"Bottom Radius", 0}, {"Length", 1}, {"Top Radius", 2}}}};
    case kKindTube:
    case kKindCylinder:
      return {2, {{{"Radius", 0}, {"Length", 1}}}};
    case kKindTorus:
      return {2, {{{"Major Radius", 0}, {"Minor Radius", 1}}}};
    case kKindSphere:
    case kKindSphere2:
      return {1, {{{"Radius", 0}}}};
    default:
      return {};
  }
}

int ClampResolution(float value, int min, int max) {
  if (!(value >= static_cast<float>(min))) return min;
  if (value > static_cast<float>(max)) return max;
  return static_cast<int>(value);
}

int GetResolutionParams(const Scene& s, int g,
                        std::array<std::string, kMaxResolutionParams>& labels,
                        std::array<int, kMaxResolutionParams>& values) {
  if (!HasWholeBlock(s, g)) return 0;
  const DisplayGroup& group = s.groups[g];
  const ResolutionFields fields = ResolutionFieldsOf(group.kind);
  for (int i = 0; i < fields.count; ++i) {
    const ResolutionField& f = fields.fields[i];
    float raw = 0;
    ReadBlockFloat(group, f.field, raw);
    labels[i] = f.label;
    values[i] = ClampResolution(raw, f.min, f.max);
  }
  return fields.count;
}

void SetResolutionParams(Document& doc, int g, std::array<int, kMaxResolutionParams>& values) {
  Scene& s = doc.scene;
  if (!HasWholeBlock(s, g)) return;
  DisplayGroup& group = s.groups[g];
  const ResolutionFields fields = ResolutionFieldsOf(group.kind);
  if (fields.count == 0) return;
  for (int i = 0; i < fields.count; ++i) {
    const ResolutionField& f = fields.fields[i];
    values[i] = values[i] < f.min ? f.min : (values[i] > f.max ? f.max : values[i]);
    WriteBlockFloat(group, f.field, static_cast<float>(values[i]));
  }
  RegenerateGroup(s, g, 1);
  MarkModified(doc);
}

int GetSizeParams(const Scene& s, int g, std::array<std::string, kMaxSizeParams>& labels,
                  std::array<float, kMaxSizeParams>& values) {
  if (!HasWholeBlock(s, g)) return 0;
  const DisplayGroup& group = s.groups[g];
  const SizeFields fields = SizeFieldsOf(group.kind);
  for (int i = 0; i < fields.count; ++i) {
    labels[i] = fields.fields[i].label;
    values[i] = 0;
    ReadBlockFloat(group, fields.fields[i].field, values[i]);
  }
  return fields.count;
}

void SetSizeParam(Document& doc, int g, int index, float value) {
  Scene& s = doc.scene;
  if (!HasWholeBlock(s, g)) return;
  const SizeFields fields = SizeFieldsOf(s.groups[g].kind);
  if (index < 0 || index >= fields.count) return;
  WriteBlockFloat(s.groups[g], fields.fields[index].field, value);
  RegenerateGroup(s, g, 0);
  MarkModified(doc);
}

void AddSizeParams(Document& doc, int g, float d0, float d1, float d2) {
  Scene& s = doc.scene;
  if (!HasWholeBlock(s, g)) return;
  DisplayGroup& group = s.groups[g];
  const SizeFields fields = SizeFieldsOf(group.kind);
  if (fields.count == 0) return;
  const float deltas[kMaxSizeParams] = {d0, d1, d2};
  for (int i = 0; i < fields.count; ++i) {
    float v = 0;
    ReadBlockFloat(group, fields.fields[i].field, v);
    WriteBlockFloat(group, fields.fields[i].field, v + deltas[i]);
  }
  RegenerateGroup(s, g, 0);
  MarkModified(doc);
}

std::string FormatSize(float value, bool dragging) {
  char text[kMaxFixedChars];
  return {text, FormatFixed(text, value, dragging ? 3 : 4)};
}

std::optional<float> ParseSize(std::string_view text) {
  float v = 0;
  // A typed "nan" or "inf" is no size.
  if (!ScanFloat(text.data(), text.data() + text.size(), v) || !std::isfinite(v))
    return std::nullopt;
  return v;
}

}  // namespace modra
