// The group drawer sends vertices as client arrays, runs of primitives
// joined: its picture must be immediate mode's, also after edits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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
void DrawImmediate(const Scene& s, const DisplayState& d) {
  const bool wire = d.displayMode == kWireFrame;
  glMatrixMode(GL_MODELVIEW);
  glColor3f(1, 1, 1);
  SetDefaultLights();
  glPushMatrix();
  glScalef(1, 1, -1);
  glPushMatrix();
  SetAllLights(s);
  glPopMatrix();
  if (wire || !d.lighting)
    glDisable(GL_LIGHTING);
  else
    glEnable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glPolygonMode(GL_FRONT_AND_BACK, wire ? GL_LINE : GL_FILL);
  Mat4 view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.data());
  ForEachSibling(s, s.rootHead, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    if (!(group.flags & Enabled) || (group.flags & Deleted)) return;
    // The drawer's own matrix arithmetic, so only the vertices differ.
    glLoadMatrixf(Multiply(view, group.matrix).data());
    const bool colors = (group.flags & VertexColors) && !wire;
    if (wire)
      glColor3f(1, 1, 1);
    else if (!colors)
      glColor3fv(group.color.data());
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
        glVertex3fv(p);
      }
      glEnd();
    }
  });
  glLoadMatrixf(view.data());
  glPopMatrix();
}

// A wavy grid, rows of quads between rows of triangle pairs (as importers
// make them, a primitive a face), then a triangle strip and a quad strip
// along its edges.
int AddSheet(Scene& s, bool colors) {
  int g = NewGroup(s, "Sheet");
  DisplayGroup& group = s.groups[g];
  group.flags |= Enabled | (colors ? VertexColors : 0);
  group.color = {0.3f, 0.7f, 0.9f};
  group.specular = {0.9f, 0.9f, 0.9f};
  group.shininess = 5;
  auto vertex = [&](float u, float v, std::vector<float>& out) {
    const float z = 0.15f * std::sin(4 * u) * std::cos(3 * v);
    out.insert(out.end(), {u, v, z});
    if (colors) out.insert(out.end(), {0.5f + 0.5f * u, 0.5f - 0.5f * v, 0.6f});
    const float nx = -0.6f * std::cos(4 * u) * std::cos(3 * v),
                ny = 0.45f * std::sin(4 * u) * std::sin(3 * v);
    const float len = std::sqrt(nx * nx + ny * ny + 1);
    out.insert(out.end(), {nx / len, ny / len, 1 / len});
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
    doc.doc.display.displayMode = kSolid;
    doc.doc.display.cameraDisplay = false;
    doc.doc.display.lightDisplay = false;
    ViewSetting& view = doc.doc.display.views[kViewPerspective];
    view.rotation = {25, -30, 0};
    sheet = AddSheet(s(), false);
    tilted = AddSheet(s(), false);
    colored = AddSheet(s(), true);
    s().groups[colored].matrix =
        Multiply(TranslationMatrix({0.3f, -0.5f, 0.4f}), RotationMatrix({10, 35, 0}));
    s().groups[tilted].matrix =
        Multiply(TranslationMatrix({0.5f, 0.4f, 0}), RotationMatrix({60, 0, 20}));
  }
  Scene& s() { return doc.scene(); }

  Picture Draw(bool drawer) {
    SetClearColor(s().global.background);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const DisplayState& d = doc.doc.display;
    SetupView(d.views[d.currentView], d.currentView, 1);
    if (drawer)
      DrawScene(groupDrawer, s(), d);
    else
      DrawImmediate(s(), d);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return ReadPicture();
  }

  // The drawer's picture against the reference; most of the view covered.
  void ExpectSamePicture(const char* what) {
    const Picture drawn = Draw(true);
    const Picture reference = Draw(false);
    std::string first;
    EXPECT_EQ(Differences(drawn, reference, &first), 0) << what << ": " << first;
    SetClearColor(s().global.background);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_GT(Covered(reference, ReadPicture()), kSize * kSize / 5) << what;
  }

  test::RecordedDocument doc;
  HeadlessGl gl;
  GroupDrawer groupDrawer;
  int tilted = -1, sheet = -1, colored = -1;
};

TEST_F(DrawnPicture, MatchesImmediateModeInEveryDisplayMode) {
  ExpectSamePicture("solid, lit");
  doc.doc.display.lighting = false;
  ExpectSamePicture("solid, unlit");
  doc.doc.display.displayMode = kWireFrame;
  ExpectSamePicture("wire frame");
  ExpectSamePicture("wire frame again");  // nothing left over from the last frame
}

TEST_F(DrawnPicture, FollowsEditsMadeBetweenPictures) {
  ExpectSamePicture("before");
  // Moved in place, as a generator regenerates a group.
  for (DisplayPrimitive& prim : s().groups[tilted].primitives)
    for (size_t at = 0; at < prim.vertices.size(); at += 6)
      prim.vertices[at] -= 0.6f;
  ExpectSamePicture("tilted sheet moved");
  // One corner of one face only: its copies in the neighbours stay.
  s().groups[sheet].primitives[30].vertices[2] = 0.6f;
  ExpectSamePicture("one corner lifted");
  // Primitives cut, and another group's put in their place.
  s().groups[sheet].primitives.resize(40);
  s().groups[tilted].primitives = s().groups[sheet].primitives;
  ExpectSamePicture("tilted sheet replaced");
  // Vertex colours switched off: the stride changes between pictures.
  DisplayGroup& c = s().groups[colored];
  c.flags &= ~VertexColors;
  for (DisplayPrimitive& prim : c.primitives) {
    std::vector<float> plain;
    for (size_t at = 0; at + 9 <= prim.vertices.size(); at += 9) {
      plain.insert(plain.end(), prim.vertices.begin() + at, prim.vertices.begin() + at + 3);
      plain.insert(plain.end(), prim.vertices.begin() + at + 6, prim.vertices.begin() + at + 9);
    }
    prim.vertices = plain;
  }
  ExpectSamePicture("colours dropped");
  // A released group.
  s().groups[sheet].flags |= Deleted;
  ExpectSamePicture("sheet released");
}

}  // namespace
}  // namespace modra
