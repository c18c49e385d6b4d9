// Shared by the extrusion and surface-of-revolution tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "geometry/extrusion.h"
#include "geometry/primitive_test_util.h"
#include "geometry/revolution.h"
#include "test_util.h"

namespace modra::test {

// One vertex of a primitive, read through the group's layout.
struct VertexView {
  const float* v;
  int normalAt;
  float x() const { return v[0]; }
  float y() const { return v[1]; }
  float z() const { return v[2]; }
  Vec3 position() const { return {v[0], v[1], v[2]}; }
  Vec3 normal() const { return {v[normalAt], v[normalAt + 1], v[normalAt + 2]}; }
};

inline VertexView Vertex(const Scene& s, int g, size_t prim, int k) {
  const DisplayGroup& group = s.groups[g];
  return {group.primitives.at(prim).vertices.data() + static_cast<size_t>(k) * VertexStride(group),
          NormalOffset(group.flags)};
}

// The texture coordinates of a vertex that has them.
inline float U(const Scene& s, int g, size_t p, int k) {
  return s.groups[g].primitives[p].vertices[k * VertexStride(s.groups[g]) + 6];
}
inline float V(const Scene& s, int g, size_t p, int k) {
  return s.groups[g].primitives[p].vertices[k * VertexStride(s.groups[g]) + 7];
}

// A clockwise square of side 2h centred on the origin, from its lower left corner.
inline std::vector<float> Square(float h, float cx = 0, float cy = 0) {
  return {cx - h, cy - h, cx - h, cy + h, cx + h, cy + h, cx + h, cy - h};
}

// An extrusion made of contours given as point lists.
inline int AddExtrusion(Scene& s, const std::vector<std::vector<float>>& contours, int32_t flags,
                        float depth, float bevel, const std::vector<uint8_t>& corners = {},
                        uint32_t groupFlags = 0) {
  int g = NewGroup(s, "");
  s.groups[g].flags |= groupFlags;
  std::vector<int32_t> counts;
  std::vector<float> points;
  for (const auto& c : contours) {
    counts.push_back(static_cast<int32_t>(c.size() / 2));
    points.insert(points.end(), c.begin(), c.end());
  }
  std::vector<uint8_t> flagsPerPoint = corners;
  flagsPerPoint.resize(points.size() / 2, 0);
  MakeExtrusion(s, g, flags, depth, bevel, static_cast<int>(counts.size()), counts.data(),
                points.data(), flagsPerPoint.data());
  return g;
}

inline int AddRevolution(Scene& s, const std::vector<float>& points, int32_t flags, float degrees,
                         int steps, float deltaY = 0, float radiusScale = 1,
                         const std::vector<uint8_t>& corners = {}) {
  int g = NewGroup(s, "");
  std::vector<uint8_t> c = corners;
  c.resize(points.size() / 2, 0);
  MakeRevolution(s, g, flags, degrees, deltaY, radiusScale, steps,
                 static_cast<int>(points.size() / 2), points.data(), c.data());
  return g;
}

// Little- or big-endian words for files the tests build by hand.
struct ByteWriter {
  bool big = false;
  std::vector<uint8_t> bytes;
  void Word(uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<uint8_t>(v >> (big ? 24 - 8 * i : 8 * i)));
  }
  void Int(int32_t v) { Word(static_cast<uint32_t>(v)); }
  void Float(float v) {
    uint32_t w;
    std::memcpy(&w, &v, 4);
    Word(w);
  }
  void Byte(uint8_t v) { bytes.push_back(v); }
};

}  // namespace modra::test
