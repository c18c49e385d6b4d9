// Drawing the groups of a pick pass with as little OpenGL state traffic as
// possible.
//
// A pick pass draws every group of a level, each in one flat colour with
// lighting and texturing off, so only positions, the modelview matrix, the
// polygon mode and the colour reach the pixels. Each group is one colour
// and one draw per run of its own primitives (primitive_runs.h), with the
// vertex array alone enabled; the matrix and the polygon mode are sent
// only when they change. Groups with buffer objects are drawn from them.
//
// note: the groups are not joined into shared draws with a colour per
// vertex. That changes how the renderer rounds depth, and where two groups
// lie in one plane it changes which of them a pick returns.
#pragma once

#include <vector>

#include "scene/scene.h"
#include "view/group_buffers.h"

namespace modra {

class PickDraw {
 public:
  // Starts a pick. The polygon mode in effect must be filled.
  void Begin();
  // Lets other code change the modelview matrix and the client arrays
  // (left disabled); the polygon mode is still the one Add last set.
  void Pause();
  // Draws the group's primitives in `color` under `modelview`, as lines
  // when `lines`: from `buffers` when given (the group's, current), else
  // from its vertices. A group with nothing to draw sends nothing.
  void Add(const DisplayGroup& group, const Mat4& modelview, const Vec3& color, bool lines,
           const GroupBuffers::Buffers* buffers = nullptr);

 private:
  Mat4 matrix_ = kIdentity;
  bool matrixSet_ = false;  // matrix_ is what OpenGL has
  bool lines_ = false;      // the polygon mode OpenGL has now
  bool arrays_ = false;     // only the vertex array is enabled
  std::vector<float> batch_;
};

}  // namespace modra
