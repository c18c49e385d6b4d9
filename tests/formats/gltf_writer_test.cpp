// glTF export read back with tinygltf: the hierarchy, world positions in
// glTF's axes, materials, and animation channels that replay the scene's
// key curves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include <tiny_gltf.h>

#include "anim/anim_util.h"
#include "anim/keying.h"
#include "formats/gltf_writer.h"
#include "images/texture_table.h"
#include "scene/group_fields.h"
#include "scene/matrix.h"

namespace modra {
namespace {

using test::ExpectNear;

// Into glTF's axes.
Vec3 Flip(const Vec3& v) {
  return {v[0], v[1], -v[2]};
}

Mat4 NodeMatrix(const tinygltf::Node& n) {
  if (n.matrix.size() == 16) {
    Mat4 m;
    for (int i = 0; i < 16; ++i)
      m[i] = static_cast<float>(n.matrix[i]);
    return m;
  }
  Mat4 t = kIdentity, r = kIdentity, s = kIdentity;
  if (n.translation.size() == 3)
    t = TranslationMatrix(
        {float(n.translation[0]), float(n.translation[1]), float(n.translation[2])});
  if (n.scale.size() == 3)
    s = ScaleMatrix({float(n.scale[0]), float(n.scale[1]), float(n.scale[2])});
  if (n.rotation.size() == 4) {
    const double x = n.rotation[0], y = n.rotation[1], z = n.rotation[2], w = n.rotation[3];
    r = {float(1 - 2 * (y * y + z * z)),
         float(2 * (x * y + z * w)),
         float(2 * (x * z - y * w)),
         0,
         float(2 * (x * y - z * w)),
         float(1 - 2 * (x * x + z * z)),
         float(2 * (y * z + x * w)),
         0,
         float(2 * (x * z + y * w)),
         float(2 * (y * z - x * w)),
         float(1 - 2 * (x * x + y * y)),
         0,
         0,
         0,
         0,
         1};
  }
  return Multiply(t, Multiply(r, s));
}

// An accessor's floats, tightly packed as the writer lays them out.
std::vector<float> Floats(const tinygltf::Model& m, int accessor) {
  const tinygltf::Accessor& a = m.accessors.at(static_cast<size_t>(accessor));
  const tinygltf::BufferView& v = m.bufferViews.at(static_cast<size_t>(a.bufferView));
  const std::vector<unsigned char>& data = m.buffers.at(static_cast<size_t>(v.buffer)).data;
  const size_t count = a.count * static_cast<size_t>(tinygltf::GetNumComponentsInType(a.type));
  std::vector<float> out(count);
  EXPECT_LE(v.byteOffset + a.byteOffset + count * 4, data.size());
  std::memcpy(out.data(), data.data() + v.byteOffset + a.byteOffset, count * 4);
  return out;
}

int NodeNamed(const tinygltf::Model& m, const std::string& name) {
  for (size_t i = 0; i < m.nodes.size(); ++i)
    if (m.nodes[i].name == name) return static_cast<int>(i);
  return -1;
}

// The world matrix of a node: its ancestors' and its own.
Mat4 WorldOf(const tinygltf::Model& m, int node) {
  for (size_t p = 0; p < m.nodes.size(); ++p)
    for (int c : m.nodes[p].children)
      if (c == node) return Multiply(WorldOf(m, static_cast<int>(p)), NodeMatrix(m.nodes[node]));
  return NodeMatrix(m.nodes[static_cast<size_t>(node)]);
}

class GltfWriter : public ::testing::Test {
 protected:
  tinygltf::Model Export(const std::string& name = "scene.glb") {
    const std::string path = dir / name;
    EXPECT_EQ(WriteGltfFile(r.doc, path), 0);
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string err, warn;
    const bool ok = name.ends_with(".glb") ? loader.LoadBinaryFromFile(&model, &err, &warn, path)
                                           : loader.LoadASCIIFromFile(&model, &err, &warn, path);
    EXPECT_TRUE(ok) << err;
    return model;
  }
  void Place(int g, const Vec3& center, const Vec3& centerRotation, const Vec3& rotation,
             const Vec3& translation, const Vec3& scale) {
    DisplayGroup& group = r.scene().groups[g];
    group.center = center;
    group.centerRotation = centerRotation;
    group.rotation = rotation;
    group.translation = translation;
    group.scale = scale;
    BuildGroupMatrix(r.scene(), g);
  }
  test::TempDir dir;
  test::RecordedDocument r;
};

TEST_F(GltfWriter, NodesKeepNamesHierarchyAndWorldPositions) {
  Scene& s = r.scene();
  const int top = test::AddMesh(s, "top", {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}});
  const int child = test::AddMesh(s, "child", {{1, 1, 0}, {-1, 0, 2}, {0.5f, -2, 1}});
  const int gone = test::AddTriangle(s, "gone");
  const int other = test::AddTriangle(s, "other");
  test::MakeChild(s, child, top);
  s.groups[gone].flags |= Deleted;
  Place(top, {0.5f, -1, 2}, {10, 20, 30}, {40, -50, 60}, {1, 2, 3}, {1, 2, 0.5f});
  Place(child, {1, 1, -1}, {0, 0, 15}, {5, 80, -20}, {-2, 0, 1}, {2, 1, 1});
  for (KnfLight& light : s.lights)
    light.type = kLightOff;
  // A matrix set directly, which no fields compose.
  s.groups[other].matrix = {1, 0.5f, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1};

  for (const char* name : {"scene.glb", "scene.gltf"}) {
    const tinygltf::Model m = Export(name);
    ASSERT_EQ(m.nodes.size(), 4u) << name;  // and the camera
    ASSERT_EQ(m.scenes.size(), 1u);
    const int topNode = NodeNamed(m, "top"), childNode = NodeNamed(m, "child");
    ASSERT_GE(topNode, 0);
    ASSERT_GE(childNode, 0);
    EXPECT_GE(NodeNamed(m, "other"), 0);
    EXPECT_EQ(m.nodes[topNode].children, std::vector<int>{childNode});
    EXPECT_EQ(m.scenes[0].nodes.size(), 3u);
    for (int g : {top, child, other}) {
      const int node = NodeNamed(m, s.groups[g].name);
      const tinygltf::Primitive& prim = m.meshes.at(m.nodes[node].mesh).primitives.at(0);
      const std::vector<float> p = Floats(m, prim.attributes.at("POSITION"));
      const std::vector<Vec3> want = test::WorldPositions(s, g);
      ASSERT_EQ(p.size(), 3 * want.size());
      const Mat4 world = WorldOf(m, node);
      for (size_t v = 0; v < want.size(); ++v)
        ExpectNear(TransformPoint(world, {p[3 * v], p[3 * v + 1], p[3 * v + 2]}), Flip(want[v]),
                   1e-5f);
    }
  }
}

TEST_F(GltfWriter, QuadsAndStripsBecomeTrianglesWithTheirAttributes) {
  Scene& s = r.scene();
  const int g = NewGroup(s, "strips");
  s.groups[g].flags = Enabled | VertexColors | TexCoords;
  DisplayPrimitive quads{kQuads, 4, {}}, strip{kTriangleStrip, 4, {}};
  for (int i = 0; i < 4; ++i) {
    quads.vertices.insert(quads.vertices.end(),
                          {float(i), float(i * i), 1, 0.5f, 0.25f, 1, 0, 0, 2, 0.1f * i, 0.2f});
    strip.vertices.insert(strip.vertices.end(),
                          {float(i), 1, float(i), 0, 1, 0, 0, 3, 0, 0.5f, 0.25f});
  }
  s.groups[g].primitives = {quads, strip};
  const tinygltf::Model m = Export();
  const tinygltf::Primitive& prim = m.meshes.at(0).primitives.at(0);
  const std::vector<float> p = Floats(m, prim.attributes.at("POSITION"));
  const std::vector<float> n = Floats(m, prim.attributes.at("NORMAL"));
  const std::vector<float> c = Floats(m, prim.attributes.at("COLOR_0"));
  const std::vector<float> uv = Floats(m, prim.attributes.at("TEXCOORD_0"));
  // Quad 0 1 2 3 as 0 1 2, 0 2 3; the strip as 0 1 2, then 2 1 3 turned round.
  const int order[] = {0, 1, 2, 0, 2, 3};
  ASSERT_EQ(p.size(), 3u * 12);
  for (int k = 0; k < 6; ++k) {
    const float i = float(order[k]);
    ExpectNear({p[3 * k], p[3 * k + 1], p[3 * k + 2]}, {i, i * i, -1});
    ExpectNear({n[3 * k], n[3 * k + 1], n[3 * k + 2]}, {0, 0, -1});
    ExpectNear({c[3 * k], c[3 * k + 1], c[3 * k + 2]}, {0.5f, 0.25f, 1});
    EXPECT_NEAR(uv[2 * k], 0.1f * i, 1e-6f);
    EXPECT_NEAR(uv[2 * k + 1], 0.8f, 1e-6f);
  }
  const int stripOrder[] = {0, 1, 2, 2, 1, 3};
  for (int k = 0; k < 6; ++k) {
    const float i = float(stripOrder[k]);
    ExpectNear({p[18 + 3 * k], p[18 + 3 * k + 1], p[18 + 3 * k + 2]}, {i, 1, -i});
    ExpectNear({n[18 + 3 * k], n[18 + 3 * k + 1], n[18 + 3 * k + 2]}, {0, 1, 0});
  }
}

TEST_F(GltfWriter, MaterialsFollowColourAlphaSpecularAndShininess) {
  Scene& s = r.scene();
  const int a = test::AddTriangle(s, "a");
  const int b = test::AddTriangle(s, "b");
  const int same = test::AddTriangle(s, "same as b");
  for (int g : {b, same}) {
    s.groups[g].color = {0.25f, 0.5f, 0.75f};
    s.groups[g].alpha = 0.5f;
    s.groups[g].specular = {1, 1, 1};
    s.groups[g].shininess = 64;
  }
  s.groups[a].specular = {0.5f, 0.5f, 0.5f};
  s.groups[a].shininess = 128;
  const tinygltf::Model m = Export();
  ASSERT_EQ(m.materials.size(), 2u);
  auto materialOf = [&](const char* name) -> const tinygltf::Material& {
    const int node = NodeNamed(m, name);
    return m.materials.at(m.meshes.at(m.nodes.at(node).mesh).primitives.at(0).material);
  };
  const tinygltf::Material& mb = materialOf("b");
  EXPECT_EQ(mb.pbrMetallicRoughness.baseColorFactor, (std::vector<double>{0.25, 0.5, 0.75, 0.5}));
  EXPECT_DOUBLE_EQ(mb.pbrMetallicRoughness.roughnessFactor, 0.5);
  EXPECT_DOUBLE_EQ(mb.pbrMetallicRoughness.metallicFactor, 1);
  EXPECT_EQ(mb.alphaMode, "BLEND");
  EXPECT_EQ(&materialOf("same as b"), &mb);
  const tinygltf::Material& ma = materialOf("a");
  EXPECT_EQ(ma.pbrMetallicRoughness.baseColorFactor, (std::vector<double>{1, 1, 1, 1}));
  EXPECT_DOUBLE_EQ(ma.pbrMetallicRoughness.roughnessFactor, 0);
  EXPECT_DOUBLE_EQ(ma.pbrMetallicRoughness.metallicFactor, 0);
  EXPECT_EQ(ma.alphaMode, "OPAQUE");
  EXPECT_FLOAT_EQ(GltfMetalness({0.75f, 0.75f, 0.75f}), 0.5f);
  EXPECT_FLOAT_EQ(GltfRoughness(32), 0.75f);
}

// glTF's cubic spline at a time: keys of in-tangent, value, out-tangent.
Vec3 CubicSpline(const std::vector<float>& times, const std::vector<float>& out, float at) {
  size_t k = 0;
  while (k + 2 < times.size() && times[k + 1] < at)
    ++k;
  const float td = times[k + 1] - times[k];
  const float t = std::clamp((at - times[k]) / td, 0.0f, 1.0f), t2 = t * t, t3 = t2 * t;
  Vec3 v;
  for (int c = 0; c < 3; ++c) {
    const float p0 = out[9 * k + 3 + c], b0 = out[9 * k + 6 + c];
    const float a1 = out[9 * (k + 1) + c], p1 = out[9 * (k + 1) + 3 + c];
    v[c] = (2 * t3 - 3 * t2 + 1) * p0 + td * (t3 - 2 * t2 + t) * b0 + (-2 * t3 + 3 * t2) * p1 +
           td * (t3 - t2) * a1;
  }
  return v;
}

const tinygltf::AnimationChannel* ChannelOf(const tinygltf::Model& m, int node,
                                            const std::string& path) {
  for (const tinygltf::AnimationChannel& c : m.animations.at(0).channels)
    if (c.target_node == node && c.target_path == path) return &c;
  return nullptr;
}

TEST_F(GltfWriter, AnimationReplaysTheKeyCurves) {
  Scene& s = r.scene();
  Document& doc = r.doc;
  const int parent = test::AddTriangle(s, "parent");
  const int g = test::AddTriangle(s, "moving");
  test::MakeChild(s, g, parent);
  Place(parent, {1, 0, 2}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1});
  Place(g, {0.5f, 1, -1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 1, 1});
  test::SetTranslationAt(doc, g, 0, {0, 0, 0});
  test::SetTranslationAt(doc, g, 10, {3, -1, 2});
  test::SetTranslationAt(doc, g, 30, {1, 4, -2});
  const std::pair<int, Vec3> turns[] = {{0, {0, 0, 0}}, {10, {90, 30, 0}}, {30, {10, 200, 45}}};
  for (const auto& [frame, angles] : turns) {
    GoToFrame(doc, frame);
    EnsureKeyed(doc, g, kKeyRotation);
    s.groups[g].rotation = angles;
    BuildGroupMatrix(s, g);
    StoreKey(doc, g, kKeyRotation);
  }
  const tinygltf::Model m = Export();
  // Sampling the rotations played the scene; the export leaves it at frame 0.
  EXPECT_EQ(r.anim().currentFrame, 0);
  ASSERT_EQ(m.animations.size(), 1u);
  const int node = NodeNamed(m, "moving");
  const tinygltf::AnimationChannel* move = ChannelOf(m, node, "translation");
  const tinygltf::AnimationChannel* turn = ChannelOf(m, node, "rotation");
  ASSERT_TRUE(move && turn);
  const tinygltf::AnimationSampler& ms = m.animations[0].samplers.at(move->sampler);
  const tinygltf::AnimationSampler& rs = m.animations[0].samplers.at(turn->sampler);
  EXPECT_EQ(ms.interpolation, "CUBICSPLINE");
  EXPECT_EQ(rs.interpolation, "LINEAR");
  const std::vector<float> times = Floats(m, ms.input), values = Floats(m, ms.output);
  const std::vector<float> rotationTimes = Floats(m, rs.input), quats = Floats(m, rs.output);
  ASSERT_EQ(rotationTimes.size(), 31u);
  for (int frame : {0, 7, 15, 30}) {
    const Vec3 t = test::TranslationAt(doc, g, frame);
    const Vec3 want = Flip({t[0] + 0.5f - 1, t[1] + 1, t[2] - 1 - 2});
    ExpectNear(CubicSpline(times, values, frame / 30.0f), want, 1e-4f);
    // The sampled rotation turns as the scene's does, in glTF's axes.
    EXPECT_NEAR(rotationTimes[frame], frame / 30.0f, 1e-6f);
    tinygltf::Node q;
    q.rotation.assign(quats.begin() + 4 * frame, quats.begin() + 4 * frame + 4);
    const Mat4 got = NodeMatrix(q), scene = RotationMatrix(s.groups[g].rotation);
    for (const Vec3& axis : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}})
      ExpectNear(TransformDirection(got, Flip(axis)), Flip(TransformDirection(scene, axis)), 1e-5f);
  }
}

TEST_F(GltfWriter, StepKeysBecomeStepSamplers) {
  Scene& s = r.scene();
  const int g = test::AddTriangle(s, "steps");
  for (const auto& [frame, scale] : {std::pair{0, Vec3{1, 1, 1}}, {12, Vec3{2, 3, 4}}}) {
    GoToFrame(r.doc, frame);
    EnsureKeyed(r.doc, g, kKeyScale);
    s.groups[g].scale = scale;
    BuildGroupMatrix(s, g);
    StoreKey(r.doc, g, kKeyScale);
  }
  for (KnfKeyInfo& key : r.anim().keys)
    if (key.kind == kKeyScale) key.mask |= kStepMask;
  const tinygltf::Model m = Export();
  const tinygltf::AnimationChannel* c = ChannelOf(m, NodeNamed(m, "steps"), "scale");
  ASSERT_TRUE(c);
  const tinygltf::AnimationSampler& sampler = m.animations[0].samplers.at(c->sampler);
  EXPECT_EQ(sampler.interpolation, "STEP");
  const std::vector<float> times = Floats(m, sampler.input), values = Floats(m, sampler.output);
  ASSERT_EQ(times.size(), values.size() / 3);
  // Each whole frame holds the key before it.
  for (int frame : {0, 5, 11, 12, 20}) {
    size_t k = 0;
    while (k + 1 < times.size() && times[k + 1] <= frame / 30.0f + 1e-6f)
      ++k;
    GoToFrame(r.doc, frame);
    ExpectNear({values[3 * k], values[3 * k + 1], values[3 * k + 2]}, s.groups[g].scale);
  }
}

TEST_F(GltfWriter, TexturesGoInsideABinaryFileAndBesideAText) {
  Scene& s = r.scene();
  // A picture one pixel wide: red above blue.
  const std::string ppm = dir / "tiny.ppm";
  test::WriteBytes(
      ppm, {'P', '6', '\n', '1', ' ', '2', '\n', '2', '5', '5', '\n', 255, 0, 0, 0, 0, 255});
  ASSERT_EQ(AddTexture(r.doc, ppm, "tiny"), 0);
  const int textured = test::AddTriangle(s, "textured");
  const int plain = test::AddTriangle(s, "plain");
  DisplayGroup& group = s.groups[textured];
  group.flags |= Textured | TexCoords;
  group.textureIndex = static_cast<int>(r.doc.textures.entries.size()) - 1;
  DisplayPrimitive& prim = group.primitives[0];
  std::vector<float> v;
  for (int i = 0; i < 3; ++i) {
    v.insert(v.end(), prim.vertices.begin() + 6 * i, prim.vertices.begin() + 6 * i + 6);
    v.insert(v.end(), {0.5f * i, 0.25f});
  }
  prim.vertices = v;
  s.groups[plain].color = {0.5f, 0.5f, 0.5f};
  for (const char* name : {"scene.glb", "scene.gltf"}) {
    SCOPED_TRACE(name);
    const tinygltf::Model m = Export(name);
    ASSERT_EQ(m.images.size(), 1u);
    ASSERT_EQ(m.textures.size(), 1u);
    const tinygltf::Image& image = m.images[0];
    EXPECT_EQ(image.uri.empty(), std::string(name) == "scene.glb");
    if (!image.uri.empty()) {
      EXPECT_EQ(image.uri, "scene_texture" + std::to_string(group.textureIndex) + ".png");
      EXPECT_TRUE(std::filesystem::exists(dir / image.uri));
    }
    ASSERT_EQ(image.width, 1);
    ASSERT_EQ(image.height, 2);
    const int step = image.component;
    ASSERT_GE(step, 3);
    EXPECT_EQ((std::vector<unsigned char>(image.image.begin(), image.image.begin() + 3)),
              (std::vector<unsigned char>{255, 0, 0}));
    EXPECT_EQ(
        (std::vector<unsigned char>(image.image.begin() + step, image.image.begin() + step + 3)),
        (std::vector<unsigned char>{0, 0, 255}));
    const tinygltf::Primitive& p =
        m.meshes.at(m.nodes.at(NodeNamed(m, "textured")).mesh).primitives[0];
    EXPECT_EQ(m.materials.at(p.material).pbrMetallicRoughness.baseColorTexture.index, 0);
    const std::vector<float> uv = Floats(m, p.attributes.at("TEXCOORD_0"));
    EXPECT_EQ(uv, (std::vector<float>{0, 0.75f, 0.5f, 0.75f, 1, 0.75f}));
    const tinygltf::Primitive& q =
        m.meshes.at(m.nodes.at(NodeNamed(m, "plain")).mesh).primitives[0];
    EXPECT_EQ(m.materials.at(q.material).pbrMetallicRoughness.baseColorTexture.index, -1);
  }
}

TEST_F(GltfWriter, CameraAndLightsBecomeNodes) {
  Scene& s = r.scene();
  s.camera.position = {1, 2, 3};
  s.camera.rotation = {0, 90, 0};
  r.doc.display.views[kViewCamera].fieldOfView = 45;
  for (int i = 1; i < kLightCount; ++i)
    s.lights[i].type = kLightOff;
  s.lights[1].type = kLightDirectional;
  s.lights[1].direction = {0, 1, 0};
  s.lights[2].type = kLightCone;
  s.lights[2].position = {4, 5, 6};
  s.lights[2].direction = {1, 0, 0};
  s.lights[2].cutoff = 30;
  s.lights[3].type = kLightPositional;
  const tinygltf::Model m = Export();
  ASSERT_EQ(m.cameras.size(), 1u);
  EXPECT_NEAR(m.cameras[0].perspective.yfov, 45 * M_PI / 180, 1e-6);
  const int camera = NodeNamed(m, "Camera");
  ASSERT_GE(camera, 0);
  EXPECT_EQ(m.nodes[camera].camera, 0);
  // The camera faces along its turned +z.
  const Mat4 placed = NodeMatrix(m.nodes[camera]);
  ExpectNear(TransformPoint(placed, {0, 0, 0}), {1, 2, -3}, 1e-6f);
  ExpectNear(TransformDirection(placed, {0, 0, -1}),
             Flip(TransformDirection(RotationMatrix(0, 90, 0), {0, 0, 1})), 1e-6f);
  ASSERT_EQ(m.lights.size(), 3u);
  EXPECT_EQ(m.lights[0].type, "directional");
  EXPECT_EQ(m.lights[1].type, "spot");
  EXPECT_EQ(m.lights[2].type, "point");
  EXPECT_NEAR(m.lights[1].spot.outerConeAngle, 30 * M_PI / 180, 1e-6);
  // Lights shine away from `direction`.
  const tinygltf::Node& sun = m.nodes.at(NodeNamed(m, "Light 1"));
  ExpectNear(TransformDirection(NodeMatrix(sun), {0, 0, -1}), {0, -1, 0}, 1e-6f);
  const tinygltf::Node& spot = m.nodes.at(NodeNamed(m, "Light 2"));
  ExpectNear(TransformDirection(NodeMatrix(spot), {0, 0, -1}), {-1, 0, 0}, 1e-6f);
  EXPECT_EQ(spot.translation, (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(spot.extensions.at("KHR_lights_punctual").Get("light").GetNumberAsInt(), 1);
  EXPECT_LT(NodeNamed(m, "Light 4"), 0);
}

TEST_F(GltfWriter, AnUnwritableFileIsReported) {
  EXPECT_EQ(WriteGltfFile(r.doc, dir / "missing/scene.glb"), -1);
  ASSERT_EQ(r.shell.messages.size(), 1u);
  EXPECT_TRUE(r.shell.messages[0].starts_with("Can't open ")) << r.shell.messages[0];
}

}  // namespace
}  // namespace modra
