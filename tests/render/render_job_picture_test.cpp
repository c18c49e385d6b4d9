// What a window shows of a render in progress, and a render context that
// is released between samples as the editor's render window does it.
#include <EGL/egl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../view/view_test_util.h"
#include "images/ppm.h"
#include "render/headless_gl.h"
#include "render/render_job.h"

namespace modra {
namespace {

TEST(RenderJobPicture, IsTheWrittenFrameAndGoesWithFinish) {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  test::TempDir dir;
  test::FlatFrontView(doc);
  doc.display.cameraDisplay = false;
  doc.display.lightDisplay = false;
  // A square in the upper half: a picture stored bottom row first would
  // show it below.
  test::AddSquare(rec.scene(), "square", 0, 0.5f, 0, 0.3f, {1, 0, 0});
  RenderSettings settings;
  settings.width = 24;
  settings.height = 16;
  settings.oversampling = 2;
  settings.gamma = 1.7f;
  settings.format = kRenderPpm;
  settings.frameRange = kRenderCurrentFrame;
  settings.outputName = dir / "still.ppm";

  HeadlessGl gl;
  std::string error;
  ASSERT_TRUE(
      gl.Create(DrawingWidth(settings), DrawingHeight(settings), &error, GlRenderer::kSoftware))
      << error;
  RenderJob job(doc, settings, kViewFront);
  ASSERT_TRUE(job.Start());
  EXPECT_EQ(job.LastPicture(), nullptr);
  job.Resize(gl.Width(), gl.Height());
  // Released and taken again around the sample, as between timer ticks.
  gl.DoneCurrent();
  EXPECT_EQ(eglGetCurrentContext(), EGL_NO_CONTEXT);
  ASSERT_TRUE(gl.MakeCurrent());
  EXPECT_FALSE(job.Step());  // the one frame, and the render is over
  gl.DoneCurrent();

  ASSERT_NE(job.LastPicture(), nullptr);
  ASSERT_EQ(job.LastPictureWidth(), 24);
  ASSERT_EQ(job.LastPictureHeight(), 16);
  int width = 0, height = 0;
  const std::unique_ptr<uint8_t[]> file = ReadPpm(dir / "still0.ppm", &width, &height);
  ASSERT_TRUE(file);
  ASSERT_EQ(width * height, 24 * 16);
  // Reduced, top row first and gamma corrected, as written.
  EXPECT_EQ(std::memcmp(job.LastPicture(), file.get(), size_t{24} * 16 * 3), 0);
  const uint8_t* top = job.LastPicture() + (2 * 24 + 12) * 3;
  EXPECT_EQ(top[0], 255);
  EXPECT_EQ(top[1], 0);
  job.Finish();
  EXPECT_EQ(job.LastPicture(), nullptr);
}

}  // namespace
}  // namespace modra
