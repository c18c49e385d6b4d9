#include <gtest/gtest.h>

#include "render/render_settings.h"

namespace modra {
namespace {

// What the Render Options dialog refuses before OK. Only what needs no
// scene is refused: a range past the end of the animation is lowered at
// render time, so the dialog lets it through.
TEST(RenderOptionsProblem, RefusesWhatCannotRenderButNotWhatTheAnimationDecides) {
  RenderSettings s;
  EXPECT_EQ(RenderOptionsProblem(s), "");
  s.frameRange = kRenderFromTo;
  s.from = 9000;
  s.to = kLastAnimationFrame;  // far past any short animation: still accepted
  EXPECT_EQ(RenderOptionsProblem(s), "");
  s.to = 8999;
  EXPECT_EQ(RenderOptionsProblem(s), "Frames 9000 to 8999: \"To\" comes before \"From\"");
  // "From" and "To" are not looked at in the other modes, whatever they hold.
  s.frameRange = kRenderCurrentFrame;
  EXPECT_EQ(RenderOptionsProblem(s), "");

  RenderSettings size;
  size.width = 0;
  EXPECT_EQ(RenderOptionsProblem(size), "Output size 0 x 256: width and height must be 1 to 4096");
  size.width = kMaxRenderSide;
  size.height = kMaxRenderSide + 1;
  EXPECT_NE(RenderOptionsProblem(size), "");

  RenderSettings blur;
  blur.blurSamples = kMaxBlurSamples;
  EXPECT_EQ(RenderOptionsProblem(blur), "");
  blur.blurSamples = kMaxBlurSamples + 1;
  EXPECT_EQ(RenderOptionsProblem(blur), "Motion blur samples 65: they must be 0 to 64");
}

TEST(RenderOptionsProblem, CompositingNeedsAMovieOnlyWhileEnabled) {
  RenderSettings s;
  s.compositeMovie.clear();
  EXPECT_EQ(RenderOptionsProblem(s), "");
  s.composite = true;
  EXPECT_EQ(RenderOptionsProblem(s), "Choose the MPEG movie to composite with");
  s.compositeMovie = "/tmp/back.mpg";
  EXPECT_EQ(RenderOptionsProblem(s), "");
  // A worse problem is told first: the movie is not the reason OK is off.
  s.compositeMovie.clear();
  s.height = 0;
  EXPECT_EQ(RenderOptionsProblem(s), "Output size 256 x 0: width and height must be 1 to 4096");
}

}  // namespace
}  // namespace modra
