#include "view/gl_state.h"

#include <gtest/gtest.h>

#include "view/projection.h"
#include "view_test_util.h"

namespace modra {
namespace {

class GlState : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(test::MakeViewContext(gl, &depth, &error)) << error;
  }
  static std::array<float, 4> LightValue(int light, GLenum what) {
    std::array<float, 4> v{};
    glGetLightfv(GL_LIGHT0 + static_cast<GLenum>(light), what, v.data());
    return v;
  }
  HeadlessGl gl;
  ColorDepth depth;
  test::RecordedDocument doc;
};

TEST_F(GlState, SceneLightsFlipZAndFollowTheirType) {
  Scene& s = doc.scene();
  s.lights[0] = {kLightOn, {0.3f, 0.3f, 0.3f}};
  s.lights[1] = {kLightDirectional, {0.2f, 0.4f, 0.6f}, {0, 0, -0.8f}, {1, 2, 3}};
  s.lights[2] = {kLightPositional, {1, 1, 1}, {4, 5, 6}, {1, 1, 1}, 0.5f};
  // A cut-off and an attenuation beyond what OpenGL takes.
  s.lights[3] = {kLightCone, {1, 1, 1}, {1, 1, 1}, {0, 0, 1}, 0, -1, 1, 300};
  s.lights[4].type = kLightOff;
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5, 5, 5);  // lights are placed with the identity whatever came before
  SetAllLights(s);

  EXPECT_EQ(LightValue(0, GL_POSITION), (std::array<float, 4>{1, 2, -3, 0}));
  EXPECT_FLOAT_EQ(LightValue(0, GL_DIFFUSE)[2], 0.9f);
  EXPECT_EQ(LightValue(1, GL_POSITION), (std::array<float, 4>{4, 5, -6, 1}));
  EXPECT_FLOAT_EQ(LightValue(1, GL_SPOT_CUTOFF)[0], 180);
  EXPECT_FLOAT_EQ(LightValue(1, GL_QUADRATIC_ATTENUATION)[0], 0.5f);
  EXPECT_FLOAT_EQ(LightValue(2, GL_SPOT_CUTOFF)[0], 90);
  EXPECT_FLOAT_EQ(LightValue(2, GL_SPOT_DIRECTION)[2], 1);
  EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
  GLfloat ambient[4] = {};
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
  EXPECT_FLOAT_EQ(ambient[0], 0.3f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  // A spot light turned directional loses its cone.
  s.lights[3].type = kLightDirectional;
  SetLight(s, 3);
  EXPECT_FLOAT_EQ(LightValue(2, GL_SPOT_CUTOFF)[0], 180);
  // Indices outside the nine records change nothing.
  SetLight(s, 9);
  SetLight(s, -1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(ViewDepth, NearIsHeldAtATenthAndFarBeyondIt) {
  ViewSetting v;
  v.eye = {0, 0, -4.33f};
  DepthRange r = ViewDepthRange(v);
  EXPECT_FLOAT_EQ(r.nearPlane, 0.1f);  // 4.33 - 12
  EXPECT_FLOAT_EQ(r.farPlane, 19.33f);
  v.nearOffset = -1;
  v.eye = {3, 4, 0};
  v.center = {0, 0, 0};
  r = ViewDepthRange(v);
  EXPECT_FLOAT_EQ(r.nearPlane, 4);
  v.farOffset = -20;
  EXPECT_GT(ViewDepthRange(v).farPlane, ViewDepthRange(v).nearPlane);
}

class ViewProjection : public GlState {
 protected:
  Mat4 Matrix(GLenum which) {
    Mat4 m;
    glGetFloatv(which, m.data());
    return m;
  }
};

// Where a scene point lands in normalised device coordinates.
Vec3 Project(const Mat4& projection, const Mat4& modelview, const Vec3& p) {
  const Mat4 m = Multiply(projection, modelview);
  const Vec3 flipped = {p[0], p[1], -p[2]};
  const Vec3 q = TransformPoint(m, flipped);
  const float w = m[3] * flipped[0] + m[7] * flipped[1] + m[11] * flipped[2] + m[15];
  return {q[0] / w, q[1] / w, q[2] / w};
}

TEST_F(ViewProjection, EachViewLooksAtTheOriginFromItsSide) {
  auto& views = doc.doc.display.views;
  // Front looks along the scene's +z with +x to the right.
  struct Case {
    int view;
    Vec3 point;
    float ndcX, ndcY;
  };
  const Case cases[] = {
      {kViewFront, {0.5f, 0.25f, 0}, 0.5f, 0.25f},
      {kViewBack, {0.5f, 0.25f, 0}, -0.5f, 0.25f},
      {kViewTop, {0.5f, 0, 0.25f}, -0.5f, -0.25f},
      {kViewRight, {0, 0.25f, 0.5f}, 0.5f, 0.25f},
  };
  for (const Case& c : cases) {
    SetupView(views[c.view], c.view, 1);
    const Vec3 ndc = Project(Matrix(GL_PROJECTION_MATRIX), Matrix(GL_MODELVIEW_MATRIX), c.point);
    EXPECT_NEAR(ndc[0], c.ndcX, 1e-4f) << c.view;
    EXPECT_NEAR(ndc[1], c.ndcY, 1e-4f) << c.view;
  }
  // A wide orthographic view keeps the height and widens the x range.
  SetupView(views[kViewFront], kViewFront, 2);
  Vec3 ndc = Project(Matrix(GL_PROJECTION_MATRIX), Matrix(GL_MODELVIEW_MATRIX), {1, 1, 0});
  EXPECT_NEAR(ndc[0], 0.5f, 1e-4f);
  EXPECT_NEAR(ndc[1], 1, 1e-4f);
  // Zoom and shift of an orthographic view.
  views[kViewFront].scale = 2;
  views[kViewFront].translation = {0.1f, 0, 0};
  SetupView(views[kViewFront], kViewFront, 1);
  ndc = Project(Matrix(GL_PROJECTION_MATRIX), Matrix(GL_MODELVIEW_MATRIX), {0.2f, 0, 0});
  EXPECT_NEAR(ndc[0], 0.6f, 1e-4f);
}

TEST_F(ViewProjection, PerspectiveViewShrinksWithDistance) {
  auto& views = doc.doc.display.views;
  SetupView(views[kViewPerspective], kViewPerspective, 1);
  const Mat4 p = Matrix(GL_PROJECTION_MATRIX), m = Matrix(GL_MODELVIEW_MATRIX);
  const Vec3 near = Project(p, m, {0.5f, 0, -1});
  const Vec3 far = Project(p, m, {0.5f, 0, 1});
  EXPECT_GT(near[0], far[0]);
  EXPECT_GT(far[0], 0);
  // Turning the Perspective view by 180 degrees about y shows it mirrored.
  views[kViewPerspective].rotation = {0, 180, 0};
  SetupView(views[kViewPerspective], kViewPerspective, 1);
  const Vec3 turned =
      Project(Matrix(GL_PROJECTION_MATRIX), Matrix(GL_MODELVIEW_MATRIX), {0.5f, 0, 0});
  EXPECT_LT(turned[0], 0);
}

}  // namespace
}  // namespace modra
