#include <GL/gl.h>

#include <algorithm>

#include "view/draw_groups.h"
#include "view/internal_model.h"

namespace modra {

namespace {

GLenum ModeOf(int type) {
  switch (type) {
    case 0:
      return GL_TRIANGLES;
    case 1:
      return GL_QUADS;
    case 2:
      return GL_TRIANGLE_STRIP;
    default:
      return GL_QUAD_STRIP;
  }
}

// Whole triangles or quads, strips of at least 3 (4 for quad strips)
// vertices; 0 for an unknown type.
int DrawnCount(int type, int n) {
  if (n <= 0) return 0;
  switch (type) {
    case 0:
      return n - n % 3;
    case 1:
      return n - n % 4;
    case 2:
      return n >= 3 ? n : 0;
    case 3:
      return n >= 4 ? n - n % 2 : 0;
    default:
      return 0;
  }
}

struct ModelWalk {
  const KnfDisplayGroup* groups;
  int count;
  std::span<const unsigned> textureNames;
  const RecordColor& tint;
  int budget;  // records left to visit: a looped link ends the walk

  void List(int first, int depth) {
    for (int r = first; r >= 0 && r < count && budget > 0; r = groups[r].next) {
      --budget;
      const KnfDisplayGroup& g = groups[r];
      if (!(g.flags & KNF_ENABLED)) continue;
      glPushMatrix();
      glMultMatrixf(g.matrix);
      if (depth < kMaxModelDepth) List(g.child, depth + 1);
      Own(r);
      glPopMatrix();
    }
  }

  void Own(int r) {
    const KnfDisplayGroup& g = groups[r];
    const bool colors = (g.flags & KNF_VERTEX_COLORS) != 0;
    const bool texCoords = (g.flags & KNF_TEX_COORDS) != 0;
    const int stride = 6 + (colors ? 3 : 0) + (texCoords ? 2 : 0);
    const float* color = r == tint.record ? tint.color.data() : g.color;
    const GLfloat specular[4] = {g.specular[0], g.specular[1], g.specular[2], 1};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(4 * g.shininess + 1, 0.0f, 128.0f));
    const GLuint texture =
        (g.flags & KNF_TEXTURED) ? TextureName(textureNames, g.textureNumber) : 0;
    const bool withTexture = texture != 0;
    if (withTexture) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, texture);
    } else {
      glDisable(GL_TEXTURE_2D);
    }
    if (!colors) glColor3fv(color);
    Primitives(g, stride, colors, withTexture && texCoords);
  }

  void Primitives(const KnfDisplayGroup& g, int stride, bool colors, bool texCoords) {
    if (!g.primitives) return;
    const GLsizei bytes = static_cast<GLsizei>(stride * sizeof(float));
    for (int i = 0; i < g.primitiveCount; ++i) {
      const KnfDisplayPrimitive& prim = g.primitives[i];
      const int n = DrawnCount(prim.type, prim.vertexCount);
      if (n == 0 || !prim.vertices) continue;
      const float* data = prim.vertices;
      glVertexPointer(3, GL_FLOAT, bytes, data);
      glNormalPointer(GL_FLOAT, bytes, data + (colors ? 6 : 3));
      if (colors) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, bytes, data + 3);
      } else {
        glDisableClientState(GL_COLOR_ARRAY);
      }
      if (texCoords) {
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, bytes, data + stride - 2);
      } else {
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      }
      glDrawArrays(ModeOf(prim.type), 0, n);
    }
  }
};

}  // namespace

void DrawInternalModel(const InternalModel* model, std::span<const unsigned> textureNames,
                       const RecordColor& tint) {
  if (!model || !model->scene || !model->scene->groups || model->groupCount <= 0) return;
  glColor3f(1, 1, 1);
  glEnable(GL_LIGHTING);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glEnable(GL_COLOR_MATERIAL);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  ModelWalk walk{model->scene->groups, model->groupCount, textureNames, tint, model->groupCount};
  walk.List(0, 0);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glPopMatrix();
}

}  // namespace modra
