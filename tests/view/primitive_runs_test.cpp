#include "view/primitive_runs.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace modra {
namespace {

// A primitive whose vertex i is (first + i, 0, 0) with a normal along -z,
// plus a colour when `colors`.
DisplayPrimitive Prim(int32_t type, int vertexCount, float first, bool colors = false) {
  DisplayPrimitive prim;
  prim.type = type;
  prim.vertexCount = vertexCount;
  for (int i = 0; i < vertexCount; ++i) {
    prim.vertices.insert(prim.vertices.end(), {first + static_cast<float>(i), 0, 0});
    if (colors) prim.vertices.insert(prim.vertices.end(), {0.5f, 0.5f, 0.5f});
    prim.vertices.insert(prim.vertices.end(), {0, 0, -1});
  }
  return prim;
}

struct DrawnRun {
  int32_t type;
  std::vector<float> x;  // the first coordinate of each vertex
  bool inPlace;          // drawn from the primitive's own storage
  bool operator==(const DrawnRun&) const = default;
};

std::vector<DrawnRun> Runs(const DisplayGroup& group, std::vector<float>* batch) {
  const size_t stride = static_cast<size_t>(VertexStride(group));
  std::vector<DrawnRun> runs;
  ForEachRun(group, batch, [&](int32_t type, const float* data, int vertices) {
    DrawnRun run{type, {}, false};
    for (int v = 0; v < vertices; ++v)
      run.x.push_back(data[v * stride]);
    for (const DisplayPrimitive& prim : group.primitives)
      run.inPlace = run.inPlace || data == prim.vertices.data();
    runs.push_back(run);
  });
  return runs;
}

TEST(ForEachRun, JoinsTrianglesAndQuadsAndDrawsEachStripAlone) {
  DisplayGroup group;
  group.primitives = {
      Prim(kTriangles, 3, 0),  Prim(kTriangles, 3, 10),      // one run
      Prim(kQuads, 4, 20),                                   // a new type starts one
      Prim(kTriangles, 2, 90),                               // nothing to draw: the run goes on
      Prim(kQuads, 4, 30),     Prim(kTriangleStrip, 5, 40),  // a strip ends the quads
      Prim(kTriangles, 3, 50), Prim(kQuadStrip, 4, 60),     Prim(kQuadStrip, 4, 70),
  };
  std::vector<float> batch = {7, 7, 7};  // left over from an earlier use
  const std::vector<DrawnRun> want = {
      {kTriangles, {0, 1, 2, 10, 11, 12}, false},
      {kQuads, {20, 21, 22, 23, 30, 31, 32, 33}, false},
      {kTriangleStrip, {40, 41, 42, 43, 44}, true},
      {kTriangles, {50, 51, 52}, true},
      {kQuadStrip, {60, 61, 62, 63}, true},
      {kQuadStrip, {70, 71, 72, 73}, true},
  };
  EXPECT_EQ(Runs(group, &batch), want);
  // The same answer again from the grown buffer.
  EXPECT_EQ(Runs(group, &batch), want);
}

TEST(ForEachRun, CopiesOnlyTheDrawnVerticesOfWholeVertices) {
  DisplayGroup group;
  group.flags = VertexColors;                             // 9 floats a vertex
  DisplayPrimitive extra = Prim(kTriangles, 4, 0, true);  // the fourth vertex is no face
  DisplayPrimitive claims = Prim(kTriangles, 3, 10, true);
  claims.vertexCount = 6;  // claims more than it stores
  DisplayPrimitive cut = Prim(kTriangles, 6, 20, true);
  cut.vertices.resize(cut.vertices.size() - 1);  // the last vertex incomplete
  group.primitives = {extra, claims, cut};
  std::vector<float> batch;
  const std::vector<DrawnRun> runs = Runs(group, &batch);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], (DrawnRun{kTriangles, {0, 1, 2, 10, 11, 12, 20, 21, 22}, false}));
}

TEST(ForEachRun, DrawsNothingForNoDrawableVertices) {
  DisplayGroup group;
  std::vector<float> batch;
  EXPECT_TRUE(Runs(group, &batch).empty());
  group.primitives = {Prim(kTriangles, 2, 0), Prim(kQuadStrip, 3, 0), Prim(7, 6, 0),
                      Prim(kTriangleStrip, 0, 0)};
  EXPECT_TRUE(Runs(group, &batch).empty());
}

}  // namespace
}  // namespace modra
