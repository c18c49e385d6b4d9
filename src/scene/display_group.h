// The display group: one node of the scene hierarchy with its geometry,
// material, transform and the parameters of the generator that made it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/vertex_buffer.h"

namespace modra {

using Vec3 = std::array<float, 3>;
// Column-major, as OpenGL takes it: translation in elements 12, 13, 14.
using Mat4 = std::array<float, 16>;

inline constexpr Mat4 kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Group flag bits.
inline constexpr uint32_t Enabled = 0x1;
inline constexpr uint32_t Selected = 0x2;
inline constexpr uint32_t Textured = 0x4;
inline constexpr uint32_t VertexColors = 0x8;
inline constexpr uint32_t TexCoords = 0x10;
inline constexpr uint32_t NeedsCentering = 0x20;
inline constexpr uint32_t highlighted = 0x40;
inline constexpr uint32_t drawAsBox = 0x80;
// The slot holds no group: header slots of a loaded file, and released slots.
inline constexpr uint32_t Deleted = 0x80000000u;

// Primitive types, drawn as the OpenGL modes of the same names.
enum PrimitiveType : int32_t {
  kTriangles = 0,
  kQuads = 1,
  kTriangleStrip = 2,
  kQuadStrip = 3,
};

// Generator kinds. Plain meshes are 0.
inline constexpr int32_t kKindMesh = 0;
inline constexpr int32_t kKindBlock = 1;
inline constexpr int32_t kKindCone = 2;
inline constexpr int32_t kKindTube = 3;
inline constexpr int32_t kKindCylinder = 4;
inline constexpr int32_t kKindTorus = 5;
inline constexpr int32_t kKindSphere = 6;
inline constexpr int32_t kKindSphere2 = 7;
inline constexpr int32_t kKindRoundedCone = 8;
inline constexpr int32_t kKindRectangle = 12;
inline constexpr int32_t kKindRevolution = static_cast<int32_t>(0x80000009u);
inline constexpr int32_t kKindExtrusion = static_cast<int32_t>(0x8000000Au);

struct DisplayPrimitive {
  int32_t type = kTriangles;
  int32_t vertexCount = 0;
  // vertexCount vertices of VertexStride(group) floats each.
  VertexBuffer vertices;
};

struct DisplayGroup {
  int32_t next = -1;
  int32_t child = -1;
  Vec3 color = {1, 1, 1};
  // Texture rotation (x, y, z degrees), translation, scale.
  std::array<float, 9> textureTransform = {0, 0, 0, 0, 0, 0, 1, 1, 1};
  Vec3 center = {0, 0, 0};
  Vec3 centerRotation = {0, 0, 0};
  Vec3 rotation = {0, 0, 0};
  Vec3 translation = {0, 0, 0};
  Vec3 scale = {1, 1, 1};
  Mat4 matrix = kIdentity;
  Vec3 bboxMin = {0, 0, 0};
  Vec3 bboxMax = {0, 0, 0};
  Vec3 extentMin = {0, 0, 0};
  Vec3 extentMax = {0, 0, 0};
  int32_t textureIndex = 0;
  float alpha = 1.0f;
  Vec3 specular = {0.5f, 0.5f, 0.5f};
  float shininess = 15.0f;
  std::string name;
  std::vector<DisplayPrimitive> primitives;
  std::vector<uint8_t> generatorParams;
  int32_t kind = kKindMesh;
  uint32_t flags = 0;
  int32_t exportId = 0;

  int32_t primitiveCount() const { return static_cast<int32_t>(primitives.size()); }
};

// Floats per vertex: position, optional colour, normal, optional texture s, t.
inline int VertexStride(uint32_t flags) {
  return 6 + ((flags & VertexColors) ? 3 : 0) + ((flags & TexCoords) ? 2 : 0);
}
inline int VertexStride(const DisplayGroup& g) {
  return VertexStride(g.flags);
}
// Where the normal starts inside a vertex.
inline int NormalOffset(uint32_t flags) {
  return (flags & VertexColors) ? 6 : 3;
}

}  // namespace modra
