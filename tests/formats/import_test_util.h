// Shared by the model reader tests: the test data, what an import left in
// the scene, and the checks every reader's files must pass.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "formats/import_dispatch.h"
#include "formats/obj_reader.h"
#include "test_util.h"

namespace modra::test {

inline std::string ModelPath(const std::string& name) {
  return TestData("models/" + name);
}

// Top-level groups by name; -1 when none has it.
inline int FindGroup(const Scene& s, const std::string& name) {
  int found = -1;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (found == -1 && IsLiveGroup(s, g) && s.groups[g].name == name) found = g;
  });
  return found;
}

// The vertex numbers of a staged face's corners.
inline std::vector<int32_t> Corners(const MeshFace& f) {
  return {f.cornerVertices.begin(), f.cornerVertices.begin() + f.cornerCount};
}

// The top level, newest first.
inline std::vector<int> TopGroups(const Scene& s) {
  std::vector<int> groups;
  ForEachSibling(s, s.rootHead, [&](int g) { groups.push_back(g); });
  return groups;
}

// Faces of a group as drawn: a primitive of type 0 holds vertexCount / 3
// triangles, one of type 1 vertexCount / 4 quadrilaterals.
struct FaceCounts {
  int triangles = 0, quads = 0, vertices = 0;
  bool operator==(const FaceCounts&) const = default;
};
inline FaceCounts CountFaces(const DisplayGroup& group) {
  FaceCounts c;
  for (const DisplayPrimitive& p : group.primitives) {
    if (p.type == kTriangles) c.triangles += p.vertexCount / 3;
    if (p.type == kQuads) c.quads += p.vertexCount / 4;
    c.vertices += p.vertexCount;
  }
  return c;
}

// The positions of a group in its own coordinates.
inline std::vector<Vec3> LocalPositions(const DisplayGroup& group) {
  std::vector<Vec3> out;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (const DisplayPrimitive& p : group.primitives)
    for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
      out.push_back({p.vertices[v], p.vertices[v + 1], p.vertices[v + 2]});
  return out;
}

// An import sizes the whole model into -1..1 along its longest side about
// the origin and centres each group's own vertices on the group's origin.
inline void ExpectSizedAndCentred(const Scene& s) {
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!IsLiveGroup(s, g)) return;
    const std::vector<Vec3> local = LocalPositions(s.groups[g]);
    if (local.empty()) return;
    Vec3 glo = local[0], ghi = local[0];
    for (const Vec3& p : local)
      for (int i = 0; i < 3; ++i)
        glo[i] = std::min(glo[i], p[i]), ghi[i] = std::max(ghi[i], p[i]);
    for (int i = 0; i < 3; ++i)
      EXPECT_NEAR(glo[i] + ghi[i], 0, 1e-5f) << s.groups[g].name << " axis " << i;
    for (const Vec3& p : WorldPositions(s, g))
      for (int i = 0; i < 3; ++i)
        lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
  });
  float longest = 0;
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(lo[i] + hi[i], 0, 1e-4f) << "axis " << i;
    longest = std::max(longest, hi[i] - lo[i]);
  }
  EXPECT_NEAR(longest, 2.0f, 1e-4f);
}

// Reads `path` into a scene that holds one group: the read must fail,
// say `message` once and leave the scene and the staging mesh as they were.
inline void ExpectRefused(const std::string& path, const std::string& message, bool append = true) {
  RecordedDocument d;
  AddTriangle(d.scene(), "kept");
  EXPECT_EQ(ReadModelFile(d.doc, path, append), -1) << path;
  EXPECT_EQ(d.shell.messages, std::vector<std::string>{message});
  EXPECT_EQ(Names(d.scene(), d.scene().rootHead), std::vector<std::string>{"kept"});
  EXPECT_TRUE(d.doc.importMesh.faces.empty() && d.doc.importMesh.parts.empty());
}

}  // namespace modra::test
