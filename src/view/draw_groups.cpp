#include "view/draw_groups.h"

#include <GL/gl.h>

#include <algorithm>

#include "scene/matrix.h"
#include "view/gl_state.h"
#include "view/internal_model.h"

namespace modra {

namespace {

constexpr float kNormalLength = 0.05f;
constexpr float kAxisReach = 300;

void SetPolygonLines(bool lines) {
  glPolygonMode(GL_FRONT_AND_BACK, lines ? GL_LINE : GL_FILL);
}

void SetSwitch(GLenum what, bool on) {
  if (on)
    glEnable(what);
  else
    glDisable(what);
}

void SetClientArray(GLenum array, bool on) {
  if (on)
    glEnableClientState(array);
  else
    glDisableClientState(array);
}

void LoadMatrix(const Mat4& view, const Mat4& world) {
  const Mat4 m = Multiply(view, world);
  glLoadMatrixf(m.data());
}

void SetSpecular(const DisplayGroup& g) {
  const GLfloat specular[4] = {g.specular[0], g.specular[1], g.specular[2], 1};
  glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
  glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(4 * g.shininess + 1, 0.0f, 128.0f));
}

// The 12 edges: a closed loop round the face at min z, the same at max z,
// then the four edges between them.
void DrawBox(const Vec3& lo, const Vec3& hi) {
  for (float z : {lo[2], hi[2]}) {
    glBegin(GL_LINE_STRIP);
    glVertex3f(lo[0], lo[1], z);
    glVertex3f(hi[0], lo[1], z);
    glVertex3f(hi[0], hi[1], z);
    glVertex3f(lo[0], hi[1], z);
    glVertex3f(lo[0], lo[1], z);
    glEnd();
  }
  glBegin(GL_LINES);
  for (const auto& [x, y] : {std::pair{lo[0], lo[1]}, std::pair{hi[0], lo[1]},
                             std::pair{hi[0], hi[1]}, std::pair{lo[0], hi[1]}}) {
    glVertex3f(x, y, lo[2]);
    glVertex3f(x, y, hi[2]);
  }
  glEnd();
}

// Three lines through the current group's pivot, x red, y green, z blue.
void DrawAxisLines() {
  glBegin(GL_LINES);
  glColor3f(1, 0.3f, 0.3f);
  glVertex3f(-kAxisReach, 0, 0);
  glVertex3f(kAxisReach, 0, 0);
  glColor3f(0.3f, 1, 0.3f);
  glVertex3f(0, -kAxisReach, 0);
  glVertex3f(0, kAxisReach, 0);
  glColor3f(0.3f, 0.3f, 1);
  glVertex3f(0, 0, -kAxisReach);
  glVertex3f(0, 0, kAxisReach);
  glEnd();
}

// The axis model in the current matrix, lit like the other internal models
// by the default lights; the scene's lights come back for the groups after
// it (SetLight leaves the modelview matrix at identity).
void DrawSolidAxis(const Scene& s) {
  Mat4 here;
  glGetFloatv(GL_MODELVIEW_MATRIX, here.data());
  glLoadIdentity();
  SetDefaultLights();
  glLoadMatrixf(here.data());
  DrawInternalModel(GetInternalModel(kAxisModel), {});
  SetAllLights(s);
}

Mat4 PivotFrame(const DisplayGroup& g) {
  const Vec3 origin = {g.center[0] + g.translation[0], g.center[1] + g.translation[1],
                       g.center[2] + g.translation[2]};
  return Multiply(TranslationMatrix(origin), RotationMatrix(g.centerRotation));
}

}  // namespace

void GroupDrawer::DrawList(const Scene& s, int first, const DrawSwitches& sw) {
  Walk(s, first, true, sw, Content::kGeometry);
}

void GroupDrawer::DrawTree(const Scene& s, int g, const DrawSwitches& sw) {
  Walk(s, g, false, sw, Content::kGeometry);
}

void GroupDrawer::DrawNormals(const Scene& s, int first, const DrawSwitches& sw) {
  Walk(s, first, true, sw, Content::kNormals);
}

void GroupDrawer::DrawTreeNormals(const Scene& s, int g, const DrawSwitches& sw) {
  Walk(s, g, false, sw, Content::kNormals);
}

// note: the matrices are combined here rather than on OpenGL's modelview
// stack, which may hold as few as 32 entries; a file can nest deeper.
void GroupDrawer::Walk(const Scene& s, int first, bool siblings, const DrawSwitches& sw,
                       Content content) {
  // A pick walks once per group of the level; BeginPick read the matrix.
  Mat4 view = pickView_;
  if (content != Content::kPick) {
    glMatrixMode(GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
  }
  fromBuffers_ = path_ == DrawPath::kBuffers && buffers_.Usable();
  // A pick walks once per group of its level; the scene draws prune.
  if (fromBuffers_ && content != Content::kPick) buffers_.Prune(s);
  const bool axis = content == Content::kGeometry && sw.axisMarker;
  stack_.clear();
  size_t budget = s.groups.size();
  bool inside = false;
  int g = first;
  for (;;) {
    if (IsValidSlot(s, g) && budget > 0) {
      --budget;
      const DisplayGroup& group = s.groups[g];
      const Mat4& parent = stack_.empty() ? kIdentity : stack_.back().world;
      const int next = stack_.empty() && !siblings ? -1 : group.next;
      bool visible = (group.flags & Enabled) != 0;
      if (sw.disabledDisplay) visible = !visible;
      if (axis && g == sw.currentGroup) {
        glEnable(GL_LIGHTING);
        SetPolygonLines(false);
        LoadMatrix(view, Multiply(parent, PivotFrame(group)));
        if (sw.solidAxis)
          DrawSolidAxis(s);
        else
          DrawAxisLines();
        if (sw.displayMode == kWireFrame) {
          glDisable(GL_LIGHTING);
          glDisable(GL_TEXTURE_2D);
          SetPolygonLines(true);
        }
      }
      if ((group.flags & Deleted) || (!sw.disabledDisplay && !visible)) {
        g = next;
        continue;
      }
      stack_.push_back({g, next, Multiply(parent, group.matrix), inside, visible});
      if (sw.disabledDisplay && visible) inside = true;
      g = group.child;
      continue;
    }
    if (stack_.empty()) break;
    const Frame f = stack_.back();
    stack_.pop_back();
    inside = f.savedInside;
    g = f.next;
    if (sw.disabledDisplay && !f.visible && !inside) continue;
    if (content == Content::kPick) {
      AddPickGroup(s, f.group, f.world, sw);
      continue;
    }
    LoadMatrix(view, f.world);
    if (content == Content::kGeometry)
      DrawOwn(s, f.group, sw);
    else
      DrawNormalLines(s.groups[f.group]);
  }
  if (content == Content::kPick) return;
  glLoadMatrixf(view.data());
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void GroupDrawer::DrawOwn(const Scene& s, int g, const DrawSwitches& sw) {
  const DisplayGroup& group = s.groups[g];
  const bool wire = sw.displayMode == kWireFrame;
  const bool lit = (group.flags & highlighted) != 0;
  const bool current = IsLiveGroup(s, sw.currentGroup);

  if (!sw.pickOverride && (group.flags & drawAsBox)) {
    if (group.child >= 0) return;
    // The box is lines without light; the state after it stays as the
    // mode left it, so the next group does not inherit an unlit look.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    if (!current || lit)
      glColor3f(1, 1, 1);
    else
      glColor3f(1, 0.3f, 0.3f);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    DrawBox(group.bboxMin, group.bboxMax);
    glPopAttrib();
    return;
  }

  if (current && !lit) {
    if (wire)
      glColor3f(0.7f, 0.2f, 0.2f);
    else
      glColor3f(1, 1, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    SetPolygonLines(true);
    DrawPrimitives(s, g, false, false, false);
    return;
  }

  const bool textured = sw.texturedPass && (group.flags & Textured);
  if (sw.texturedPass || lit) {
    if (wire) {
      glDisable(GL_LIGHTING);
      glDisable(GL_TEXTURE_2D);
      SetPolygonLines(true);
      glColor3f(1, 1, 1);
    } else {
      if (sw.lighting) glEnable(GL_LIGHTING);
      SetPolygonLines(false);
      SetSwitch(GL_TEXTURE_2D, textured);
    }
  }

  const bool vertexColors = (group.flags & VertexColors) != 0;
  if (textured) {
    SetSpecular(group);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, TextureName(sw.textureNames, group.textureIndex));
    if (!vertexColors) glColor3fv(group.color.data());
    // note: a group marked Textured without texture coordinates has none
    // in its vertices; its stride must not be read as if it had.
    DrawPrimitives(s, g, vertexColors, true, (group.flags & TexCoords) != 0);
  } else if (vertexColors && !sw.pickOverride) {
    SetSpecular(group);
    DrawPrimitives(s, g, true, true, false);
  } else {
    if (sw.pickOverride)
      glColor3fv(sw.pickColor.data());
    else if (wire)
      glColor3f(1, 1, 1);
    else
      glColor3fv(group.color.data());
    SetSpecular(group);
    DrawPrimitives(s, g, false, true, false);
  }
}

const GroupBuffers::Buffers* GroupDrawer::BuffersOf(const Scene& s, int g) {
  return fromBuffers_ ? buffers_.Get(s, g) : nullptr;
}

void GroupDrawer::DrawPrimitives(const Scene& s, int g, bool colors, bool normals, bool texCoords) {
  const DisplayGroup& group = s.groups[g];
  const int stride = VertexStride(group);
  const GLsizei bytes = static_cast<GLsizei>(stride * sizeof(float));
  glEnableClientState(GL_VERTEX_ARRAY);
  SetClientArray(GL_COLOR_ARRAY, colors);
  SetClientArray(GL_NORMAL_ARRAY, normals);
  SetClientArray(GL_TEXTURE_COORD_ARRAY, texCoords);
  if (const GroupBuffers::Buffers* b = BuffersOf(s, g)) {
    DrawBuffers(*b, colors, normals, texCoords);
    return;
  }
  // note: the normal sits after the colour whenever the vertices hold one,
  // whether or not the colours are drawn.
  const int normalAt = NormalOffset(group.flags);
  ForEachRun(group, &batch_, [&](int32_t type, const float* data, int vertices) {
    glVertexPointer(3, GL_FLOAT, bytes, data);
    if (colors) glColorPointer(3, GL_FLOAT, bytes, data + 3);
    if (normals) glNormalPointer(GL_FLOAT, bytes, data + normalAt);
    if (texCoords) glTexCoordPointer(2, GL_FLOAT, bytes, data + stride - 2);
    glDrawArrays(GlModeOf(type), 0, vertices);
  });
}

void GroupDrawer::BeginPick() {
  glMatrixMode(GL_MODELVIEW);
  glGetFloatv(GL_MODELVIEW_MATRIX, pickView_.data());
  pick_.Begin();
  pickLines_ = false;
}

void GroupDrawer::PickTree(const Scene& s, int g, const DrawSwitches& sw) {
  Walk(s, g, false, sw, Content::kPick);
}

void GroupDrawer::EndPick() {
  pick_.Pause();
  glLoadMatrixf(pickView_.data());
}

// What DrawOwn does for a group while picking, where only the polygon mode
// and the flat colour reach the pixels: a highlighted group sets the mode
// of the display again (lines in Wire Frame), and the groups after it keep
// that mode.
void GroupDrawer::AddPickGroup(const Scene& s, int g, const Mat4& world, const DrawSwitches& sw) {
  const DisplayGroup& group = s.groups[g];
  if (sw.texturedPass || (group.flags & highlighted)) pickLines_ = sw.displayMode == kWireFrame;
  pick_.Add(group, Multiply(pickView_, world), sw.pickColor, pickLines_, BuffersOf(s, g));
}

void GroupDrawer::DrawNormalLines(const DisplayGroup& group) {
  const int stride = VertexStride(group);
  const int at = NormalOffset(group.flags);
  batch_.clear();
  for (const DisplayPrimitive& prim : group.primitives) {
    const size_t stored = prim.vertices.size() / static_cast<size_t>(stride);
    const size_t n = std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)), stored);
    for (size_t v = 0; v < n; ++v) {
      const float* p = prim.vertices.data() + v * static_cast<size_t>(stride);
      batch_.insert(batch_.end(),
                    {p[0], p[1], p[2], p[0] + kNormalLength * p[at],
                     p[1] + kNormalLength * p[at + 1], p[2] + kNormalLength * p[at + 2]});
    }
  }
  if (!batch_.empty()) {
    glEnableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, batch_.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(batch_.size() / 3));
  }
  batch_.clear();
}

}  // namespace modra
