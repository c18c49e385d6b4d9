// The draws a group's primitives make, shared by the scene drawer and the
// pick so both send OpenGL the same vertices in the same order.
//
// A run of consecutive triangle primitives is one GL_TRIANGLES draw, a run
// of quads one GL_QUADS draw; each strip is a draw of its own and ends a
// run. A primitive with nothing to draw is skipped without ending a run.
// The vertices come straight from the primitives, interleaved with the
// group's stride; only a run of several primitives is copied, since one
// draw needs them side by side.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace modra {

// Vertices of a primitive that are drawn: whole triangles or quads, strips
// of at least 3 (4 for quad strips) vertices, never more than the stored
// floats hold; 0 for an unknown type.
int DrawnVertexCount(const DisplayPrimitive& prim, int stride);
// The same for a primitive of `type` and `vertexCount` over `floats` floats.
int DrawnVertexCount(int32_t type, int32_t vertexCount, size_t floats, int stride);

// The OpenGL mode (a GLenum) that draws primitives of a known type.
unsigned GlModeOf(int32_t type);

// Calls draw(type, data, vertices) once per run of the group's primitives
// in order; data holds `vertices` vertices of VertexStride(group) floats.
// data is the primitive's own storage when the run is one primitive, else
// *batch, which is reused and valid only during the call.
template <class Draw>
void ForEachRun(const DisplayGroup& group, std::vector<float>* batch, Draw&& draw) {
  const size_t stride = static_cast<size_t>(VertexStride(group));
  int32_t runType = -1;
  const float* runData = nullptr;
  int runVertices = 0;
  auto flush = [&] {
    if (runVertices > 0) draw(runType, runData ? runData : batch->data(), runVertices);
    batch->clear();
    runData = nullptr;
    runVertices = 0;
  };
  batch->clear();
  for (const DisplayPrimitive& prim : group.primitives) {
    const int n = DrawnVertexCount(prim, static_cast<int>(stride));
    if (n == 0) continue;
    if (prim.type == kTriangles || prim.type == kQuads) {
      if (prim.type != runType) flush();
      runType = prim.type;
      if (runVertices == 0) {
        runData = prim.vertices.data();
      } else {
        if (batch->empty()) batch->assign(runData, runData + runVertices * stride);
        batch->insert(batch->end(), prim.vertices.data(), prim.vertices.data() + n * stride);
        runData = nullptr;
      }
      runVertices += n;
      continue;
    }
    flush();
    runType = prim.type;
    runData = prim.vertices.data();
    runVertices = n;
    flush();
    runType = -1;
  }
  flush();
}

}  // namespace modra
