#include "cli/scene_json.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "io/utf8.h"
#include "nativefile/export_order.h"
#include "scene/group_fields.h"
#include "scene/key_store.h"

namespace modra {
namespace {

using json = nlohmann::ordered_json;

// A float as the double whose shortest form is its "%.9g" text: enough
// digits to read back the same float, and no more. Whole numbers print
// as integers. Both conversions are the C locale's, whatever the process
// runs under.
json Number(float v) {
  if (v == std::trunc(v) && std::fabs(v) < 1e15f) return static_cast<int64_t>(v);
  char text[32];
  const char* end =
      std::to_chars(text, text + sizeof text, static_cast<double>(v), std::chars_format::general, 9)
          .ptr;
  double shortest = 0;
  std::from_chars(text, end, shortest);
  return shortest;
}

json Numbers(const float* v, size_t n) {
  json out = json::array();
  for (size_t i = 0; i < n; ++i)
    out.push_back(Number(v[i]));
  return out;
}
template <size_t N>
json Numbers(const std::array<float, N>& v) {
  return Numbers(v.data(), N);
}

json Group(const Scene& s, int g, int parent, bool geometry) {
  const DisplayGroup& group = s.groups[g];
  json primitives = json::array();
  const size_t stride = VertexStride(group);
  for (const DisplayPrimitive& prim : group.primitives) {
    json p = {{"type", prim.type}, {"vertexCount", prim.vertexCount}};
    if (geometry) {
      size_t n = std::min(prim.vertices.size(),
                          static_cast<size_t>(std::max(prim.vertexCount, 0)) * stride);
      p["vertices"] = Numbers(prim.vertices.data(), n);
    }
    primitives.push_back(std::move(p));
  }
  return {{"index", g},
          {"parent", parent},
          {"name", DisplayText(group.name)},
          {"flags", group.flags},
          {"kind", group.kind},
          {"color", Numbers(group.color)},
          {"alpha", Number(group.alpha)},
          {"specular", Numbers(group.specular)},
          {"shininess", Number(group.shininess)},
          {"center", Numbers(group.center)},
          {"centerRotation", Numbers(group.centerRotation)},
          {"rotation", Numbers(group.rotation)},
          {"translation", Numbers(group.translation)},
          {"scale", Numbers(group.scale)},
          {"matrix", Numbers(group.matrix)},
          {"bboxMin", Numbers(group.bboxMin)},
          {"bboxMax", Numbers(group.bboxMax)},
          {"textureIndex", group.textureIndex},
          {"textureTransform", Numbers(group.textureTransform)},
          {"mappingKind", GetMappingKind(s, g)},
          {"primitives", std::move(primitives)}};
}

json Key(const KnfKeyInfo& key) {
  json values = json::array();
  const int n = ValueCount(key.kind);
  for (int i = 0; i < n && static_cast<size_t>(i) < key.values.size(); ++i) {
    // Light types and enabled flags are whole numbers kept in a float's bits.
    if (key.kind == kKeyLightType || key.kind == kKeyEnabled)
      values.push_back(std::bit_cast<int32_t>(key.values[i]));
    else
      values.push_back(Number(key.values[i]));
  }
  return {{"owner", key.owner},
          {"kind", key.kind},
          {"mask", key.mask},
          {"span", key.span},
          {"values", std::move(values)}};
}

}  // namespace

json SceneToJson(const Document& doc, bool geometry) {
  const Scene& s = doc.scene;
  json groups = json::array();
  std::vector<int32_t> parent = ParentTable(s);
  for (int g : LiveGroupsInOrder(s))
    groups.push_back(Group(s, g, parent[g], geometry));

  json lights = json::array();
  for (const KnfLight& l : s.lights)
    lights.push_back({{"type", l.type},
                      {"color", Numbers(l.color)},
                      {"position", Numbers(l.position)},
                      {"direction", Numbers(l.direction)},
                      {"c1", Number(l.c1)},
                      {"c2", Number(l.c2)},
                      {"c3", Number(l.c3)},
                      {"cutoff", Number(l.cutoff)},
                      {"spotPower", Number(l.spotPower)}});

  const KnfCameraView& cam = s.camera;
  json camera = {{"mode", cam.mode},
                 {"lookAtGroup", cam.lookAtGroup},
                 {"viewParams", Numbers(cam.viewParams)},
                 {"rotation", Numbers(cam.rotation)},
                 {"position", Numbers(cam.position)},
                 {"vectorA", Numbers(cam.vectorA)},
                 {"vectorB", Numbers(cam.vectorB)}};

  json textures = json::array();
  for (const TextureEntry& t : doc.textures.entries)
    textures.push_back({{"name", DisplayText(t.name)}, {"path", DisplayText(t.path)}});

  json keyFrames = json::array();
  const KeyStore& a = s.anim;
  for (int f : a.keyFrameList) {
    json keys = json::array();
    ForEachKeyInFrame(a, f, [&](int k) { keys.push_back(Key(a.keys[k])); });
    keyFrames.push_back({{"frame", f}, {"keys", std::move(keys)}});
  }

  return {{"groups", std::move(groups)},     {"lights", std::move(lights)},
          {"camera", std::move(camera)},     {"background", Numbers(s.global.background)},
          {"textures", std::move(textures)}, {"keyFrames", std::move(keyFrames)}};
}

}  // namespace modra
