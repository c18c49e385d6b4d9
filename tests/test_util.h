// Small builders shared by the tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "document/document.h"
#include "scene/camera_lights.h"
#include "scene/group_fields.h"
#include "scene/matrix.h"

namespace modra::test {

using Bytes = std::vector<uint8_t>;

// A private directory for one test's files, removed with them afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "modra-test-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const { return (path / name).string(); }
  // How many entries the directory holds: a failed save leaves none behind.
  long Entries() const { return std::distance(std::filesystem::directory_iterator(path), {}); }
};

inline std::string TestData(const std::string& relative) {
  return std::string(MODRA_TESTDATA_DIR) + "/" + relative;
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteText(const std::string& path, std::string_view text) {
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
}
inline void WriteBytes(const std::string& path, const Bytes& bytes) {
  WriteText(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

// A group holding one triangle primitive with the given positions (three
// per vertex) and normals along +z, at the front of the top level.
inline int AddMesh(Scene& s, const std::string& name, const std::vector<Vec3>& positions) {
  int g = NewGroup(s, name);
  DisplayPrimitive prim;
  prim.type = kTriangles;
  prim.vertexCount = static_cast<int>(positions.size());
  for (const Vec3& p : positions)
    prim.vertices.insert(prim.vertices.end(), {p[0], p[1], p[2], 0, 0, 1});
  s.groups[g].primitives.push_back(prim);
  s.groups[g].flags |= Enabled;
  return g;
}

inline int AddTriangle(Scene& s, const std::string& name) {
  return AddMesh(s, name, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
}

// A group with one primitive of `count` vertices in the given layout, every
// float distinct so that a misplaced one shows.
inline int AddLayoutGroup(Scene& s, const std::string& name, uint32_t layoutFlags, int type,
                          int count, float seed) {
  int g = NewGroup(s, name);
  DisplayGroup& group = s.groups[g];
  group.flags = Enabled | layoutFlags;
  DisplayPrimitive prim;
  prim.type = type;
  prim.vertexCount = count;
  const int stride = VertexStride(group);
  for (int i = 0; i < count * stride; ++i)
    prim.vertices.push_back(seed + 0.25f * i);
  group.primitives.push_back(prim);
  return g;
}

// Links the groups as one sibling list under `parent` (-1: the top level).
inline void Siblings(Scene& s, int parent, const std::vector<int>& list) {
  (parent == -1 ? s.rootHead : s.groups[parent].child) = list.empty() ? -1 : list.front();
  for (size_t i = 0; i < list.size(); ++i)
    s.groups[list[i]].next = i + 1 < list.size() ? list[i + 1] : -1;
}

// Makes child the first child of parent.
inline void MakeChild(Scene& s, int child, int parent) {
  UnlinkGroup(s, child, FindGroupLink(s, child));
  LinkAtFront(s, child, parent);
}

// Names of a sibling list, in order.
inline std::vector<std::string> Names(const Scene& s, int first) {
  std::vector<std::string> names;
  ForEachSibling(s, first, [&](int g) { names.push_back(s.groups[g].name); });
  return names;
}

// The matrix that places g in the world: its ancestors' and its own.
inline Mat4 WorldMatrix(const Scene& s, int g) {
  Mat4 m = kIdentity;
  for (int at : LookAtPathTo(s, g))
    m = Multiply(m, s.groups[at].matrix);
  return m;
}

// Every vertex position of g as drawn.
inline std::vector<Vec3> WorldPositions(const Scene& s, int g) {
  std::vector<Vec3> out;
  Mat4 m = WorldMatrix(s, g);
  const DisplayGroup& group = s.groups[g];
  const int stride = VertexStride(group);
  for (const DisplayPrimitive& prim : group.primitives)
    for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride)
      out.push_back(
          TransformPoint(m, {prim.vertices[v], prim.vertices[v + 1], prim.vertices[v + 2]}));
  return out;
}

inline float Dot(const Vec3& a, const Vec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
inline Vec3 Sub(const Vec3& a, const Vec3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline float Length(const Vec3& a) {
  return std::sqrt(Dot(a, a));
}

inline void ExpectNear(const Vec3& a, const Vec3& b, float tolerance = 1e-4f) {
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

inline void ExpectSamePositions(const std::vector<Vec3>& a, const std::vector<Vec3>& b,
                                float tolerance = 1e-4f) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i)
    ExpectNear(a[i], b[i], tolerance);
}

// A document whose shell records what the core tells it.
struct RecordedDocument {
  RecordingShell shell;
  Document doc{shell};
  Scene& scene() { return doc.scene; }
  KeyStore& anim() { return doc.scene.anim; }
};

}  // namespace modra::test
