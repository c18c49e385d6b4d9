// A group's primitives laid out for buffer objects: one array of distinct
// vertices and, where vertices repeat, indices into it, with the draws of
// primitive_runs.h over them (a run of triangles one draw, a run of quads
// one draw, each strip alone), in the same order and with the same
// vertices as the client arrays send.
//
// Vertices are the same when all their floats are the same bit for bit, so
// an indexed draw hands OpenGL exactly the values the plain arrays would.
// Triangles and triangle strips are indexed. Quads and quad strips keep
// their vertices in order and are drawn unindexed: Mesa splits an indexed
// quad into triangles along the other diagonal, which shades it
// differently.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace modra {

struct MeshDraw {
  int32_t type = kTriangles;  // a PrimitiveType
  // Into the indices when indexed, else into the vertices.
  uint32_t first = 0;
  uint32_t count = 0;
  bool indexed = false;
};

struct GroupMesh {
  int stride = 0;               // floats per vertex, VertexStride of the group
  std::vector<float> vertices;  // distinct vertices
  // Empty when no vertex repeats: every draw then reads vertices in order.
  std::vector<uint32_t> indices;
  std::vector<MeshDraw> draws;

  size_t VertexCount() const {
    return stride > 0 ? vertices.size() / static_cast<size_t>(stride) : 0;
  }
};

// Throws std::bad_alloc when the copy does not fit.
GroupMesh BuildGroupMesh(const DisplayGroup& group);

}  // namespace modra
