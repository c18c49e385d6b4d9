#include "view/group_mesh.h"

#include <bit>
#include <cstring>
#include <limits>

#include "view/primitive_runs.h"

namespace modra {

namespace {

// Distinct vertices by their bits, in an open-addressed table of indices
// into the vertex array: a million-triangle import welds in a fraction of
// a second, with no node per vertex.
class VertexWelder {
 public:
  VertexWelder(GroupMesh& mesh, size_t expected) : mesh_(mesh) {
    size_t slots = 16;
    while (slots < 2 * expected)
      slots *= 2;
    table_.assign(slots, kEmpty);
  }

  uint32_t Add(const float* v) {
    const size_t stride = static_cast<size_t>(mesh_.stride);
    const size_t mask = table_.size() - 1;
    for (size_t at = Hash(v) & mask;; at = (at + 1) & mask) {
      const uint32_t i = table_[at];
      if (i == kEmpty) {
        const uint32_t added = static_cast<uint32_t>(mesh_.VertexCount());
        mesh_.vertices.insert(mesh_.vertices.end(), v, v + stride);
        table_[at] = added;
        return added;
      }
      if (std::memcmp(mesh_.vertices.data() + i * stride, v, stride * sizeof(float)) == 0) return i;
    }
  }

 private:
  static constexpr uint32_t kEmpty = std::numeric_limits<uint32_t>::max();

  size_t Hash(const float* v) const {
    uint64_t h = 0xcbf29ce484222325u;
    for (int k = 0; k < mesh_.stride; ++k) {
      h ^= std::bit_cast<uint32_t>(v[k]);
      h *= 0x100000001b3u;
      h ^= h >> 29;
    }
    return static_cast<size_t>(h);
  }

  GroupMesh& mesh_;
  std::vector<uint32_t> table_;
};

}  // namespace

GroupMesh BuildGroupMesh(const DisplayGroup& group) {
  GroupMesh mesh;
  mesh.stride = VertexStride(group);
  size_t total = 0;
  for (const DisplayPrimitive& prim : group.primitives)
    total += static_cast<size_t>(DrawnVertexCount(prim, mesh.stride));
  // Indices are 32 bits; a group past that is not drawn (it could not have
  // been read into memory either).
  if (total == 0 || total >= std::numeric_limits<uint32_t>::max()) return mesh;

  size_t welded = 0;
  for (const DisplayPrimitive& prim : group.primitives)
    if (prim.type == kTriangles || prim.type == kTriangleStrip)
      welded += static_cast<size_t>(DrawnVertexCount(prim, mesh.stride));
  mesh.indices.reserve(welded);
  VertexWelder welder(mesh, welded);
  std::vector<float> batch;
  ForEachRun(group, &batch, [&](int32_t type, const float* data, int vertices) {
    MeshDraw draw;
    draw.type = type;
    draw.count = static_cast<uint32_t>(vertices);
    draw.indexed = type == kTriangles || type == kTriangleStrip;
    if (draw.indexed) {
      draw.first = static_cast<uint32_t>(mesh.indices.size());
      for (int v = 0; v < vertices; ++v)
        mesh.indices.push_back(welder.Add(data + static_cast<size_t>(v) * mesh.stride));
    } else {
      draw.first = static_cast<uint32_t>(mesh.VertexCount());
      mesh.vertices.insert(mesh.vertices.end(), data,
                           data + static_cast<size_t>(vertices) * mesh.stride);
    }
    mesh.draws.push_back(draw);
  });
  // With nothing shared the indices only count up from each draw's first
  // vertex, which the welder appended in order: the draws read those.
  size_t indexed = 0;
  for (const MeshDraw& d : mesh.draws)
    indexed += d.indexed ? d.count : 0;
  if (indexed == mesh.VertexCount() - (total - indexed)) {
    for (MeshDraw& d : mesh.draws)
      if (d.indexed) {
        d.first = mesh.indices[d.first];
        d.indexed = false;
      }
    mesh.indices.clear();
    mesh.indices.shrink_to_fit();
  }
  return mesh;
}

}  // namespace modra
