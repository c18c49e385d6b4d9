#include "view/pick_draw.h"

#include <GL/gl.h>

#include "view/primitive_runs.h"

namespace modra {

void PickDraw::Begin() {
  lines_ = false;
  Pause();
}

void PickDraw::Pause() {
  if (arrays_) glDisableClientState(GL_VERTEX_ARRAY);
  arrays_ = false;
  matrixSet_ = false;
}

void PickDraw::Add(const DisplayGroup& group, const Mat4& modelview, const Vec3& color, bool lines,
                   const GroupBuffers::Buffers* buffers) {
  const GLsizei bytes = static_cast<GLsizei>(VertexStride(group) * sizeof(float));
  bool started = false;
  const auto start = [&] {
    if (started) return;
    started = true;
    if (!arrays_) {
      glEnableClientState(GL_VERTEX_ARRAY);
      glDisableClientState(GL_NORMAL_ARRAY);
      glDisableClientState(GL_COLOR_ARRAY);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      arrays_ = true;
    }
    if (!matrixSet_ || modelview != matrix_) glLoadMatrixf(modelview.data());
    matrix_ = modelview;
    matrixSet_ = true;
    if (lines != lines_) glPolygonMode(GL_FRONT_AND_BACK, lines ? GL_LINE : GL_FILL);
    lines_ = lines;
    glColor3fv(color.data());
  };
  if (buffers) {
    if (buffers->draws.empty() || !buffers->vertexBuffer) return;
    start();
    DrawBuffers(*buffers, false, false, false);
    return;
  }
  ForEachRun(group, &batch_, [&](int32_t type, const float* data, int vertices) {
    start();
    glVertexPointer(3, GL_FLOAT, bytes, data);
    glDrawArrays(GlModeOf(type), 0, vertices);
  });
}

}  // namespace modra
