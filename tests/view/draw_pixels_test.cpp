// The group drawer sends runs of primitives joined, from buffer objects or
// as client arrays: its picture must be immediate mode's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "images/gl_texture_upload.h"
#include "view/draw_groups.h"
#include "view_test_util.h"

namespace modra {
namespace {

constexpr int kSize = 128;

using Picture = std::vector<uint8_t>;

Picture ReadPicture() {
  Picture p(kSize * kSize * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
  return p;
}

// Pixels whose colour differs by more than 1 in some channel.
int Differences(const Picture& a, const Picture& b, std::string* first) {
  int count = 0;
  for (size_t i = 0; i < a.size(); i += 4)
    for (size_t c = 0; c < 3; ++c)
      if (std::abs(a[i + c] - b[i + c]) > 1) {
        if (count++ == 0)
          *first = "pixel " + std::to_string(i / 4 % kSize) + ", " + std::to_string(i / 4 / kSize) +
                   ": " + std::to_string(a[i + c]) + " against " + std::to_string(b[i + c]);
        break;
      }
  return count;
}

int Covered(const Picture& p, const Picture& background) {
  int count = 0;
  for (size_t i = 0; i < p.size(); i += 4)
    count += !std::equal(p.begin() + i, p.begin() + i + 3, background.begin() + i);
  return count;
}

// The reference: a scene draw of top-level groups, no current group, each
// vertex sent on its own.
void DrawImmediate(const Scene& s, std::span<const unsigned> textureNames) {
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 1, 1);
  SetDefaultLights();
  glPushMatrix();
  glScalef(1, 1, -1);
  glPushMatrix();
  SetAllLights(s);
  glPopMatrix();
  glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  Mat4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
  ForEachSibling(s, s.rootHead, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    if (!(group.flags & Enabled) || (group.flags & Deleted)) return;
    // The drawer's own matrix arithmetic, so only the vertices differ.
    glLoadMatrixf(Multiply(view, group.matrix).data());
    if (!(group.flags & VertexColors)) glColor3fv(group.color.data());
    const bool textured = group.flags & Textured;
    if (textured) {
      glEnable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, textureNames[group.textureIndex]);
    } else {
      glDisable(GL_TEXTURE_2D);
    }
    const GLfloat specular[4] = {group.specular[0], group.specular[1], group.specular[2], 1};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, std::clamp(4 * group.shininess + 1, 0.0f, 128.0f));
    // One begin/end a primitive: joining runs must not change the picture.
    const int stride = VertexStride(group);
    const int normal = NormalOffset(group.flags);
    for (const DisplayPrimitive& prim : group.primitives) {
      const int n = DrawnVertexCount(prim, stride);
      const GLenum modes[] = {GL_TRIANGLES, GL_QUADS, GL_TRIANGLE_STRIP, GL_QUAD_STRIP};
      glBegin(modes[prim.type]);
      for (int v = 0; v < n; ++v) {
        const float* p = prim.vertices.data() + static_cast<size_t>(v) * stride;
        if (group.flags & VertexColors) glColor3fv(p + 3);
        glNormal3fv(p + normal);
        if (textured) glTexCoord2fv(p + stride - 2);
        glVertex3fv(p);
      }
      glEnd();
    }
  });
  glDisable(GL_TEXTURE_2D);
  glLoadMatrixf(view.data());
  glPopMatrix();
}

// A wavy grid, rows of quads between rows of triangle pairs (as importers
// make them, a primitive a face), then a triangle strip and a quad strip
// along its edges. `layout` adds vertex colours and texture coordinates.
int AddSheet(Scene& s, uint32_t layout) {
  int g = NewGroup(s, "Sheet");
  DisplayGroup& group = s.groups[g];
  group.flags |= Enabled | layout;
  const bool colors = layout & VertexColors;
  group.color = {0.3f, 0.7f, 0.9f};
  group.specular = {0.9f, 0.9f, 0.9f};
  group.shininess = 5;
  auto vertex = [&](float u, float v, VertexBuffer& out) {
    const float z = 0.15f * std::sin(4 * u) * std::cos(3 * v);
    out.insert(out.end(), {u, v, z});
    if (colors) out.insert(out.end(), {0.5f + 0.5f * u, 0.5f - 0.5f * v, 0.6f});
    const float nx = -0.6f * std::cos(4 * u) * std::cos(3 * v),
                ny = 0.45f * std::sin(4 * u) * std::sin(3 * v);
    const float len = std::sqrt(nx * nx + ny * ny + 1);
    out.insert(out.end(), {nx / len, ny / len, 1 / len});
    if (layout & TexCoords) out.insert(out.end(), {u, v});
  };
  constexpr int kSteps = 12;
  auto at = [](int i) { return -0.8f + 1.6f * i / kSteps; };
  for (int j = 0; j < kSteps; ++j)
    for (int i = 0; i < kSteps; ++i) {
      const float corners[4][2] = {
          {at(i), at(j)}, {at(i + 1), at(j)}, {at(i + 1), at(j + 1)}, {at(i), at(j + 1)}};
      static const std::vector<std::vector<int>> kQuad = {{0, 1, 2, 3}},
                                                 kPair = {{0, 1, 2}, {0, 2, 3}};
      for (const std::vector<int>& face : j % 2 ? kPair : kQuad) {
        DisplayPrimitive prim;
        prim.type = face.size() == 4 ? kQuads : kTriangles;
        prim.vertexCount = static_cast<int32_t>(face.size());
        for (int k : face)
          vertex(corners[k][0], corners[k][1], prim.vertices);
        group.primitives.push_back(prim);
      }
    }
  DisplayPrimitive strip;
  strip.type = kTriangleStrip;
  DisplayPrimitive quadStrip;
  quadStrip.type = kQuadStrip;
  for (int i = 0; i <= kSteps; ++i) {
    vertex(at(i), 0.8f, strip.vertices);
    vertex(at(i), 0.95f, strip.vertices);
    vertex(-0.95f, at(i), quadStrip.vertices);
    vertex(-0.8f, at(i), quadStrip.vertices);
  }
  strip.vertexCount = quadStrip.vertexCount = 2 * (kSteps + 1);
  group.primitives.push_back(strip);
  group.primitives.push_back(quadStrip);
  return g;
}

class DrawnPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl.Create(kSize, kSize, &error, GlRenderer::kSoftware)) << error;
    InitGlState(doc.doc.scene.global.background);
    doc.doc.display.displayMode = kTexturedMode;
    doc.doc.display.cameraDisplay = false;
    doc.doc.display.lightDisplay = false;
    ViewSetting& view = doc.doc.display.views[kViewPerspective];
    view.rotation = {25, -30, 0};
    AddSheet(s(), 0);
    const int colored = AddSheet(s(), VertexColors | TexCoords | Textured);
    s().groups[colored].matrix =
        Multiply(TranslationMatrix({0.3f, -0.5f, 0.4f}), RotationMatrix({10, 35, 0}));
    s().groups[colored].textureIndex = 0;
    // A 4 x 4 checker, so that texture coordinates read at a wrong place show.
    std::vector<uint8_t> checker(4 * 4 * 3, 255);
    for (int i = 0; i < 16; ++i)
      if ((i + i / 4) % 2) checker[3 * i] = checker[3 * i + 2] = 40;
    upload.Upload(0, checker.data(), 4, 4);
  }
  Scene& s() { return doc.scene(); }

  Picture Draw(bool drawer, DrawPath path = DrawPath::kBuffers) {
    groupDrawer.SetPath(path);
    SetClearColor(s().global.background);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const DisplayState& d = doc.doc.display;
    SetupView(d.views[d.currentView], d.currentView, 1);
    const std::span<const unsigned> names = upload.DrawingNames();
    if (drawer)
      DrawScene(groupDrawer, s(), d, names);
    else
      DrawImmediate(s(), names);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return ReadPicture();
  }

  test::RecordedDocument doc;
  HeadlessGl gl;
  GlTextureUpload upload;
  GroupDrawer groupDrawer;
};

// Lit, with a textured group whose vertices also carry colours and
// texture coordinates; most of the view covered. The buffers and the
// client arrays hand OpenGL the same values: the same pixels to the bit.
TEST_F(DrawnPicture, MatchesImmediateMode) {
  const Picture drawn = Draw(true);
  const Picture arrays = Draw(true, DrawPath::kClientArrays);
  EXPECT_TRUE(drawn == arrays);
  EXPECT_GT(groupDrawer.Buffers().Bytes(), 0u);
  const Picture reference = Draw(false);
  std::string first;
  EXPECT_EQ(Differences(drawn, reference, &first), 0) << first;
  SetClearColor(s().global.background);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_GT(Covered(reference, ReadPicture()), kSize * kSize / 5);
}

}  // namespace
}  // namespace modra
