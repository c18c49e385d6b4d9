// Where the primitive generators write: the group's primitive arrays,
// either made anew (rebuild) or the ones it has (in place), and the unit
// ring of points around the Y axis that most generators share.
#pragma once

#include <cassert>
#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace modra {

struct PrimitiveShape {
  int32_t type;
  int32_t vertexCount;
};

enum class Prepared {
  kUnchanged,  // nothing written: no usable block, or it asks to keep the old geometry
  kFailed,     // memory ran out: the group is left without primitives
  kInPlace,    // the existing arrays match and are overwritten
  kRebuilt,    // arrays sized anew (old storage reused where it fits), u, v zero
};

// Makes g's primitives match `shapes`. With rebuild 0 the existing arrays
// are kept when their types and counts match; when they do not (a block
// edited behind the generator's back, a damaged file) the group is
// rebuilt instead, so no generator ever writes outside an array. New
// arrays carry the group's colour when it has vertex colours.
Prepared PrepareArrays(Scene& s, int g, const std::vector<PrimitiveShape>& shapes, int rebuild);

// Writes positions and normals vertex after vertex into the arrays that
// PrepareArrays made; other floats of a vertex are left alone.
class VertexWriter {
 public:
  explicit VertexWriter(DisplayGroup& group)
      : group_(group), stride_(VertexStride(group)), normal_(NormalOffset(group.flags)) {}

  void Start(int primitive) {
    std::vector<float>& v = group_.primitives[primitive].vertices.Mutable();
    at_ = v.data();
    end_ = v.data() + v.size();
  }
  void Put(double x, double y, double z, double nx, double ny, double nz) {
    assert(at_ + stride_ <= end_);
    at_[0] = static_cast<float>(x);
    at_[1] = static_cast<float>(y);
    at_[2] = static_cast<float>(z);
    at_[normal_] = static_cast<float>(nx);
    at_[normal_ + 1] = static_cast<float>(ny);
    at_[normal_ + 2] = static_cast<float>(nz);
    at_ += stride_;
  }
  // The normal of a vertex already written in this primitive.
  const float* NormalOf(int primitive, int vertex) const {
    return group_.primitives[primitive].vertices.data() + vertex * stride_ + normal_;
  }

 private:
  DisplayGroup& group_;
  int stride_;
  int normal_;
  float* at_ = nullptr;
  float* end_ = nullptr;
};

// cos and sin of the ring angles around Y: `points` angles from pi/2 in
// steps of 2 pi / (points - 1), the last one pi/2 again exactly, so the
// ring closes bit for bit. points must be at least 2.
struct Ring {
  std::vector<double> cosA, sinA;
};
void MakeRing(int points, Ring& ring);

// n strips of `count` vertices of one type.
void AppendShapes(std::vector<PrimitiveShape>& shapes, int n, int32_t type, int32_t count);

}  // namespace modra
