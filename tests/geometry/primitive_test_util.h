// Reading the vertices of generated groups in the tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "scene/scene.h"
#include "test_util.h"

namespace modra::test {

inline const float* VertexAt(const DisplayGroup& g, int prim, int vertex) {
  return g.primitives[prim].vertices.data() + vertex * VertexStride(g);
}
inline Vec3 Pos(const DisplayGroup& g, int prim, int vertex) {
  const float* v = VertexAt(g, prim, vertex);
  return {v[0], v[1], v[2]};
}
inline Vec3 Normal(const DisplayGroup& g, int prim, int vertex) {
  const float* v = VertexAt(g, prim, vertex) + NormalOffset(g.flags);
  return {v[0], v[1], v[2]};
}
inline std::array<float, 2> UV(const DisplayGroup& g, int prim, int vertex) {
  const float* v = VertexAt(g, prim, vertex) + VertexStride(g) - 2;
  return {v[0], v[1]};
}

// Primitive types and vertex counts, in order.
inline std::vector<std::array<int, 2>> Shapes(const DisplayGroup& g) {
  std::vector<std::array<int, 2>> out;
  for (const DisplayPrimitive& p : g.primitives)
    out.push_back({p.type, p.vertexCount});
  return out;
}
inline std::vector<std::array<int, 2>> Repeat(int n, int type, int count) {
  return std::vector<std::array<int, 2>>(n, {type, count});
}

// The area of every triangle drawn, strips unrolled.
inline double DrawnArea(const DisplayGroup& g) {
  double area = 0;
  for (size_t p = 0; p < g.primitives.size(); ++p) {
    const DisplayPrimitive& prim = g.primitives[p];
    auto tri = [&](int a, int b, int c) {
      Vec3 pa = Pos(g, p, a), pb = Pos(g, p, b), pc = Pos(g, p, c);
      area += 0.5 * Length(Cross(Sub(pb, pa), Sub(pc, pa)));
    };
    if (prim.type == kTriangles)
      for (int i = 0; i + 2 < prim.vertexCount; i += 3)
        tri(i, i + 1, i + 2);
    else if (prim.type == kTriangleStrip)
      for (int i = 0; i + 2 < prim.vertexCount; ++i)
        tri(i, i + 1, i + 2);
    else if (prim.type == kQuads)
      for (int i = 0; i + 3 < prim.vertexCount; i += 4)
        tri(i, i + 1, i + 2), tri(i, i + 2, i + 3);
  }
  return area;
}

// Every float of every vertex, for bit-for-bit comparisons.
inline std::vector<float> AllFloats(const DisplayGroup& g) {
  std::vector<float> out;
  for (const DisplayPrimitive& p : g.primitives)
    out.insert(out.end(), p.vertices.begin(), p.vertices.end());
  return out;
}

inline void ExpectFinite(const DisplayGroup& g) {
  for (float f : AllFloats(g))
    ASSERT_TRUE(std::isfinite(f)) << g.name;
}

// Words of the generator block.
inline float BlockFloatAt(const Scene& s, int g, int word) {
  float v;
  std::memcpy(&v, s.groups[g].generatorParams.data() + 4 * word, 4);
  return v;
}
inline int32_t BlockIntAt(const Scene& s, int g, int word) {
  int32_t v;
  std::memcpy(&v, s.groups[g].generatorParams.data() + 4 * word, 4);
  return v;
}
inline void SetBlockFloatAt(Scene& s, int g, int word, float v) {
  std::memcpy(s.groups[g].generatorParams.data() + 4 * word, &v, 4);
}

inline bool SameBits(const float* a, const float* b, int n) {
  return std::memcmp(a, b, sizeof(float) * n) == 0;
}

}  // namespace modra::test
