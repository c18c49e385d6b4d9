// A group's mesh for buffer objects: its draws must send exactly the
// vertices, in exactly the order, that the client-array runs send.
#include "view/group_mesh.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "view/primitive_runs.h"

namespace modra {
namespace {

using Draws = std::vector<std::pair<int32_t, std::vector<float>>>;

Draws RunsOf(const DisplayGroup& g) {
  Draws out;
  std::vector<float> batch;
  const size_t stride = static_cast<size_t>(VertexStride(g));
  ForEachRun(g, &batch, [&](int32_t type, const float* data, int vertices) {
    out.emplace_back(type, std::vector<float>(data, data + vertices * stride));
  });
  return out;
}

Draws Expand(const GroupMesh& m) {
  Draws out;
  const size_t stride = static_cast<size_t>(m.stride);
  for (const MeshDraw& d : m.draws) {
    std::vector<float> v;
    for (uint32_t i = d.first; i < d.first + d.count; ++i) {
      const size_t at = d.indexed ? m.indices.at(i) : i;
      EXPECT_LT(at, m.VertexCount());
      v.insert(v.end(), m.vertices.begin() + static_cast<std::ptrdiff_t>(at * stride),
               m.vertices.begin() + static_cast<std::ptrdiff_t>((at + 1) * stride));
    }
    out.emplace_back(d.type, std::move(v));
  }
  return out;
}

// Corner (i, j) of a grid, with a colour that follows it.
void Corner(std::vector<float>& out, int i, int j) {
  const float x = static_cast<float>(i), y = static_cast<float>(j);
  out.insert(out.end(), {x, y, 0, x / 4, y / 4, 0.5f, 0, 0, 1});
}

DisplayPrimitive Prim(int32_t type, int32_t count, std::vector<float> v) {
  DisplayPrimitive p;
  p.type = type;
  p.vertexCount = count;
  p.vertices = std::move(v);
  return p;
}

TEST(GroupMesh, DrawsEachRunsVerticesInOrderFromSharedOnes) {
  DisplayGroup g;
  g.flags = Enabled | VertexColors;
  // Two triangle primitives sharing an edge, an empty one between them and
  // a short one after (one whole triangle of five vertices), then quads, a
  // strip over the same corners and a quad strip.
  std::vector<float> a, b, shortOne, quads, strip, quadStrip;
  for (auto [i, j] : {std::pair{0, 0}, {1, 0}, {1, 1}})
    Corner(a, i, j);
  for (auto [i, j] : {std::pair{0, 0}, {1, 1}, {0, 1}})
    Corner(b, i, j);
  for (auto [i, j] : {std::pair{2, 0}, {1, 0}, {1, 1}, {2, 1}, {3, 1}})
    Corner(shortOne, i, j);
  for (auto [i, j] : {std::pair{1, 1}, {2, 1}, {2, 2}, {1, 2}, {2, 1}, {3, 1}, {3, 2}, {2, 2}})
    Corner(quads, i, j);
  for (int i = 0; i < 4; ++i) {
    Corner(strip, i, 0);
    Corner(strip, i, 1);
    Corner(quadStrip, i, 2);
    Corner(quadStrip, i, 3);
  }
  g.primitives = {Prim(kTriangles, 3, a),        Prim(kTriangles, 0, {}),
                  Prim(kTriangles, 3, b),        Prim(kTriangles, 5, shortOne),
                  Prim(kQuads, 8, quads),        Prim(kTriangleStrip, 8, strip),
                  Prim(kQuadStrip, 8, quadStrip)};
  const GroupMesh m = BuildGroupMesh(g);
  EXPECT_EQ(m.stride, 9);
  EXPECT_EQ(Expand(m), RunsOf(g));
  // The runs: the triangles, the quads, and each strip alone; only the
  // triangles and the triangle strip indexed.
  ASSERT_EQ(m.draws.size(), 4u);
  EXPECT_EQ(m.draws[0].count, 9u);
  EXPECT_TRUE(m.draws[0].indexed && m.draws[2].indexed);
  EXPECT_FALSE(m.draws[1].indexed || m.draws[3].indexed);
  // The triangles and the strip share 8 corners; the quads' 16 vertices
  // follow as they are.
  EXPECT_EQ(m.VertexCount(), 8u + 16);
  EXPECT_EQ(m.indices.size(), 9u + 8);
}

TEST(GroupMesh, VerticesDifferingInAnyBitStayApartAndUnsharedOnesNeedNoIndices) {
  DisplayGroup g;
  g.flags = Enabled | TexCoords;
  // The same corner three times: once with a normal of -0 in x, once with
  // another texture coordinate. Equal as numbers is not the same vertex.
  const std::vector<float> v = {0, 0, 0, 0,     0, 1, 0.5f, 0.5f,   // plain
                                0, 0, 0, -0.0f, 0, 1, 0.5f, 0.5f,   // -0 in the normal
                                0, 0, 0, 0,     0, 1, 0.5f, 0.25f,  // other s, t
                                1, 0, 0, 0,     0, 1, 0,    0};
  g.primitives = {Prim(kTriangleStrip, 4, v)};
  const GroupMesh m = BuildGroupMesh(g);
  EXPECT_TRUE(m.indices.empty());
  EXPECT_EQ(m.vertices, v);
  EXPECT_EQ(Expand(m), RunsOf(g));
}

TEST(GroupMesh, NothingDrawableMakesNoDraw) {
  DisplayGroup g;
  g.primitives = {Prim(kTriangles, 2, {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1}),
                  Prim(kQuadStrip, 3, std::vector<float>(18, 0.0f)),
                  Prim(99, 3, std::vector<float>(18, 0.0f)), Prim(kTriangles, 3, {})};
  const GroupMesh m = BuildGroupMesh(g);
  EXPECT_TRUE(m.draws.empty());
  EXPECT_EQ(m.VertexCount(), 0u);
}

}  // namespace
}  // namespace modra
