// Groups drawn from buffer objects: the same pixels and picks as the
// client arrays, through the edits of a session, and each group uploaded
// again exactly when its geometry changed.
#include "view/group_buffers.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "edit/edit_session.h"
#include "geometry/primitive_params.h"
#include "test_util.h"
#include "view/pick.h"
#include "view_test_util.h"

namespace modra {
namespace {

const std::string kDemo = std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf";
constexpr int kWidth = 160, kHeight = 120;

class BufferDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(gl.Create(kWidth, kHeight, &error, GlRenderer::kSoftware)) << error;
    depth = InitGlState({0, 0, 0});
    ASSERT_EQ(session.Run(CommandId::kOpen, TextArgs(kDemo)), 0);
    doc.display.currentView = kViewPerspective;
  }

  std::vector<uint8_t> Draw(DrawPath path) {
    drawer.SetPath(path);
    SetClearColor(s.global.background);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const int v = doc.display.currentView;
    SetupView(doc.display.views[v], v, AspectOf(kWidth, kHeight));
    DrawScene(drawer, s, doc.display, doc.uploader->DrawingNames());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    return test::ReadFramebuffer(kWidth, kHeight);
  }

  // Both ways, compared to the bit, in the three display modes; the
  // uploads of every slot afterwards.
  std::vector<int> DrawBothWays(const char* after) {
    SCOPED_TRACE(after);
    for (int mode : {kWireFrame, kSolid, kTexturedMode}) {
      doc.display.displayMode = mode;
      const std::vector<uint8_t> arrays = Draw(DrawPath::kClientArrays);
      EXPECT_TRUE(arrays == Draw(DrawPath::kBuffers)) << "mode " << mode;
    }
    std::vector<int> uploads;
    for (int g = 0; g < static_cast<int>(s.groups.size()); ++g)
      uploads.push_back(drawer.Buffers().Uploads(g));
    return uploads;
  }

  RecordingShell shell;
  EditSession session{shell};
  Document& doc = session.doc();
  Scene& s = doc.scene;
  HeadlessGl gl;
  ColorDepth depth;
  GroupDrawer drawer;
};

// Every slot as before, except `g` with `more` uploads (and slots past
// the old table, which must show `more` too when they are g).
void ExpectUploads(const std::vector<int>& before, const std::vector<int>& now, int g, int more) {
  for (size_t i = 0; i < now.size(); ++i) {
    const int was = i < before.size() ? before[i] : 0;
    EXPECT_EQ(now[i], was + (static_cast<int>(i) == g ? more : 0)) << "slot " << i;
  }
}

TEST_F(BufferDrawing, SamePixelsAndOneUploadPerGeometryChangeThroughEdits) {
  std::vector<int> uploads = DrawBothWays("open");
  int drawn = 0;
  for (int n : uploads) {
    EXPECT_LE(n, 1);
    drawn += n;
  }
  EXPECT_GT(drawn, 5);
  EXPECT_GT(drawer.Buffers().Bytes(), 0u);

  // Drawing again, moving and colouring: no geometry changes.
  std::vector<int> now = DrawBothWays("redraw");
  ExpectUploads(uploads, now, -1, 0);
  ASSERT_EQ(session.Run(CommandId::kCreateSphere1), 0);
  const int sphere = s.selectedGroup;
  ASSERT_TRUE(IsLiveGroup(s, sphere));
  now = DrawBothWays("create");
  ExpectUploads(uploads, now, sphere, 1);
  uploads = now;
  ASSERT_EQ(session.Run(CommandId::kTranslate, FieldArgs(0, "0.25")), 0);
  ASSERT_EQ(session.Run(CommandId::kColor, SliderArgs(0, 30)), 0);
  now = DrawBothWays("move and colour");
  ExpectUploads(uploads, now, -1, 0);

  // A resolution change builds new vertices; undo brings the old ones back.
  std::array<std::string, kMaxResolutionParams> labels;
  CommandArgs resolution;
  ASSERT_GT(GetResolutionParams(s, sphere, labels, resolution.numbers), 0);
  resolution.numbers[0] += 6;
  ASSERT_EQ(session.Run(CommandId::kModifyResolution, resolution), 0);
  now = DrawBothWays("resolution");
  ExpectUploads(uploads, now, sphere, 1);
  uploads = now;
  ASSERT_TRUE(session.Undo());
  now = DrawBothWays("undo");
  ExpectUploads(uploads, now, sphere, 1);
  uploads = now;
  // Undoing the move and the colour touches no vertex.
  ASSERT_TRUE(session.Undo());
  ASSERT_TRUE(session.Undo());
  now = DrawBothWays("undo the move");
  ExpectUploads(uploads, now, -1, 0);

  // Normals turned round: the same arrays written, so new ones.
  ASSERT_EQ(session.Run(CommandId::kReverseNormals), 0);
  now = DrawBothWays("reverse normals");
  ExpectUploads(uploads, now, sphere, 1);
  uploads = now;

  // A pasted copy shares the sphere's arrays but is a slot of its own.
  session.Run(CommandId::kDeselectAll);
  s.groups[sphere].flags |= Selected;
  s.selectedGroup = sphere;
  session.Run(CommandId::kCopy);
  const size_t slots = s.groups.size();
  session.Run(CommandId::kPaste);
  now = DrawBothWays("paste");
  int pasted = 0;
  for (size_t g = 0; g < now.size(); ++g)
    if (static_cast<int>(g) != sphere && (g >= uploads.size() || now[g] != uploads[g])) {
      EXPECT_EQ(now[g], (g < uploads.size() ? uploads[g] : 0) + 1) << "slot " << g;
      ++pasted;
    }
  EXPECT_EQ(pasted, 1);
  EXPECT_GE(s.groups.size(), slots);

  // Opening the file again reads new arrays of the same floats into the
  // same slots: nothing to upload.
  uploads = now;
  ASSERT_EQ(session.Run(CommandId::kOpen, TextArgs(kDemo)), 0);
  now = DrawBothWays("open again");
  int kept = 0;
  for (size_t g = 0; g < now.size(); ++g)
    if (IsLiveGroup(s, static_cast<int>(g)) && g < uploads.size() && uploads[g] > 0) {
      EXPECT_EQ(now[g], uploads[g]) << "slot " << g;
      ++kept;
    }
  EXPECT_GT(kept, 5);

  // A new document leaves no group and no buffer.
  session.Run(CommandId::kNew);
  ASSERT_EQ(s.rootHead, -1);
  DrawBothWays("new");
  EXPECT_EQ(drawer.Buffers().Bytes(), 0u);
}

TEST_F(BufferDrawing, PicksTheSameGroupsAndReleasesItsBuffers) {
  DrawBothWays("open");
  const PickTarget target{kWidth, kHeight, depth};
  int hits = 0;
  for (float y = -0.9f; y < 1; y += 0.15f)
    for (float x = -0.9f; x < 1; x += 0.15f) {
      drawer.SetPath(DrawPath::kClientArrays);
      const int arrays = PickGroupAt(drawer, s, doc.display, target, x, y);
      drawer.SetPath(DrawPath::kBuffers);
      EXPECT_EQ(PickGroupAt(drawer, s, doc.display, target, x, y), arrays) << x << ", " << y;
      hits += arrays >= 0;
    }
  EXPECT_GT(hits, 10);
  drawer.ReleaseBuffers();
  EXPECT_EQ(drawer.Buffers().Bytes(), 0u);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // Drawing again makes them again, one upload each.
  for (int n : DrawBothWays("after release"))
    EXPECT_LE(n, 1);
  EXPECT_GT(drawer.Buffers().Bytes(), 0u);
}

// Past 65,536 distinct vertices the indices take 32 bits; below, 16.
TEST(BufferIndices, BigMeshesTakeFullIndicesAndSmallOnesHalf) {
  test::ViewRig rig;
  std::string error;
  ASSERT_TRUE(rig.Make(&error)) << error;
  test::RecordedDocument doc;
  test::FlatFrontView(doc.doc);
  for (int n : {100, 260}) {
    const int g = NewGroup(doc.scene(), "Grid");
    DisplayGroup& grid = doc.scene().groups[g];
    grid.flags |= Enabled | VertexColors;
    DisplayPrimitive prim;
    std::vector<float> v;
    const auto corner = [&](int i, int j) {
      const float x = static_cast<float>(i) / static_cast<float>(n - 1),
                  y = static_cast<float>(j) / static_cast<float>(n - 1);
      v.insert(v.end(), {1.8f * x - 0.9f, 1.8f * y - 0.9f, n / 1000.0f, x, y, 0.5f, 0, 0, -1});
    };
    for (int j = 0; j + 1 < n; ++j)
      for (int i = 0; i + 1 < n; ++i) {
        corner(i, j), corner(i + 1, j), corner(i + 1, j + 1);
        corner(i, j), corner(i + 1, j + 1), corner(i, j + 1);
      }
    prim.vertexCount = static_cast<int32_t>(v.size() / 9);
    prim.vertices = std::move(v);
    grid.primitives.push_back(std::move(prim));
    const size_t before = rig.drawer.Buffers().Bytes();
    rig.Draw(doc.doc);
    const size_t vertices = static_cast<size_t>(n) * n, indices = size_t{6} * (n - 1) * (n - 1);
    EXPECT_EQ(rig.drawer.Buffers().Bytes() - before,
              vertices * 9 * sizeof(float) + indices * (n == 260 ? 4 : 2));
  }
}

// A context before OpenGL 1.5 has no buffer objects: the drawer stays
// with the client arrays, the path the other tests compare against.
TEST(BufferFallback, OnlyOpenGl15AndLaterHaveBufferObjects) {
  EXPECT_FALSE(HasBufferObjects(nullptr));
  EXPECT_FALSE(HasBufferObjects(""));
  EXPECT_FALSE(HasBufferObjects("1.4 Mesa 22.3.6"));
  EXPECT_FALSE(HasBufferObjects("1.1.0"));
  EXPECT_FALSE(HasBufferObjects("OpenGL ES 3.2 Mesa"));
  EXPECT_TRUE(HasBufferObjects("1.5"));
  EXPECT_TRUE(HasBufferObjects("2.1 Mesa 22.3.6"));
  EXPECT_TRUE(HasBufferObjects("4.5 (Compatibility Profile) Mesa 22.3.6"));
}

}  // namespace
}  // namespace modra
