#include "render/render_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "document/file_filters.h"

namespace modra {
namespace {

TEST(RenderSettings, FormatChangesOnlyTheLastExtensionOfTheFileName) {
  RenderSettings s;
  s.outputName = "movie.mpg";
  SetRenderFormat(s, kRenderGif);
  EXPECT_EQ(s.outputName, "movie.gif");
  EXPECT_EQ(s.format, kRenderGif);
  s.outputName = "frames";  // no dot: the extension is appended
  SetRenderFormat(s, kRenderPpm);
  EXPECT_EQ(s.outputName, "frames.ppm");
  s.outputName = "a.b.c";
  SetRenderFormat(s, kRenderJpeg);
  EXPECT_EQ(s.outputName, "a.b.jpg");
  s.outputName = "/tmp/renders.old/take";  // a dot in a directory is no extension
  SetRenderFormat(s, kRenderBmp);
  EXPECT_EQ(s.outputName, "/tmp/renders.old/take.bmp");
  for (int unknown : {-1, 7}) {  // unknown formats change nothing
    SetRenderFormat(s, unknown);
    EXPECT_EQ(s.format, kRenderBmp);
    EXPECT_EQ(s.outputName, "/tmp/renders.old/take.bmp");
  }
}

// The stored numbers of the older formats stay; MP4 and PNG come after
// them, each with its ending, default name and save-dialog entry.
TEST(RenderSettings, Mp4AndPngFollowTheOlderFormats) {
  EXPECT_EQ(kRenderGif, 4);
  EXPECT_EQ(kRenderMp4, 5);
  EXPECT_EQ(kRenderPng, 6);
  RenderSettings s;
  SetRenderFormat(s, kRenderMp4);
  EXPECT_EQ(s.format, kRenderMp4);
  EXPECT_EQ(s.outputName, "movie.mp4");
  SetRenderFormat(s, kRenderPng);
  EXPECT_EQ(s.outputName, "movie.png");
  EXPECT_EQ(RenderSettingsProblem(s, 0, 10), "");
  s.format = 7;
  EXPECT_EQ(RenderSettingsProblem(s, 0, 10), "Unknown output format");

  EXPECT_STREQ(OutputDefaultExtension(kRenderMp4), "*.mp4");
  EXPECT_STREQ(OutputDefaultName(kRenderMp4), "movie.mp4");
  EXPECT_STREQ(OutputDefaultExtension(kRenderPng), "*.png");
  EXPECT_STREQ(OutputDefaultName(kRenderPng), "image.png");
  EXPECT_STREQ(OutputDefaultName(kRenderGif), "movie.gif");
  EXPECT_STREQ(OutputDefaultName(7), "");
  EXPECT_STREQ(OutputDefaultExtension(-1), "");

  // Frame files and shares name them as they do the others.
  EXPECT_EQ(FrameFileName("shot.png", 12, kRenderPng), "shot12.png");
  EXPECT_EQ(FrameFileName("shot", 3, kRenderPng), "shot3.png");
  EXPECT_EQ(PartFileName("movie.mp4", {2, 8}), "movie.part02.mp4");
  EXPECT_TRUE(IsMovieFormat(kRenderMp4));
  EXPECT_TRUE(IsMovieFormat(kRenderMpeg));
  EXPECT_TRUE(IsMovieFormat(kRenderGif));
  EXPECT_FALSE(IsMovieFormat(kRenderPng));
  EXPECT_FALSE(IsMovieFormat(kRenderJpeg));

  EXPECT_EQ(QtFilterString(kOutputFileFilter),
            "All Types (*.mpg *.gif *.jpg *.bmp *.ppm *.mp4 *.png);;MPEG Movie (*.mpg);;"
            "Animated GIF (*.gif);;JPEG Image (*.jpeg);;Windows Bitmap Image (*.bmp);;"
            "Portable Pixel Map Image (*.ppm);;MP4 Movie (*.mp4);;PNG Image (*.png)");
}

TEST(RenderSettings, GammaOfExactlyOneIsOffAndTheBlurSliderIsPinned) {
  RenderSettings s;
  s.gamma = 1.0f;
  EXPECT_FALSE(GammaOn(s));
  s.gamma = 1.0001f;
  EXPECT_TRUE(GammaOn(s));
  SetMotionBlur(s, true);
  SetBlurRangeFromSlider(s, 250);
  EXPECT_FLOAT_EQ(s.blurRange, 0.25f);
  EXPECT_EQ(BlurRangeLabel(s), "0.25");
  for (auto [range, position] :
       {std::pair{7.0f, 1000}, {-1.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}}) {
    s.blurRange = range;
    EXPECT_EQ(BlurRangeSliderPosition(s), position) << range;
  }
  SetMotionBlur(s, false);
  EXPECT_EQ(BlurRangeLabel(s), "");
}

TEST(RenderFrames, ChoosesAndClampsTheRange) {
  RenderSettings s;
  s.frameRange = kRenderCurrentFrame;
  EXPECT_EQ(RenderFrames(s, 17, 40).first, 17);
  EXPECT_EQ(RenderFrames(s, 17, 40).Count(), 1);
  s.frameRange = kRenderAllFrames;
  EXPECT_EQ(RenderFrames(s, 17, 40).first, 0);
  EXPECT_EQ(RenderFrames(s, 17, 40).Count(), 41);
  s.frameRange = kRenderFromTo;
  s.from = 10;
  s.to = 99;  // beyond the animation: lowered to its last frame
  EXPECT_EQ(RenderFrames(s, 0, 40).last, 40);
  s.from = 50;  // starts after the animation: nothing
  EXPECT_LT(RenderFrames(s, 0, 40).Count(), 1);
}

TEST(RenderSettingsProblem, AcceptsTheLimitsAndRefusesWhatIsPastThem) {
  RenderSettings ok;
  EXPECT_EQ(RenderSettingsProblem(ok, 0, 0), "");  // an unanimated scene has frame 0
  ok.from = 9;                                     // "from" and "to" only count in "From" mode
  ok.to = 2;
  EXPECT_EQ(RenderSettingsProblem(ok, 0, 20), "");
  ok.width = 1;
  ok.height = kMaxRenderSide;
  ok.oversampling = 4;
  ok.blurSamples = kMaxBlurSamples;
  ok.gamma = 0.0f;  // treated as 0.0001, not refused
  ok.frameRange = kRenderFromTo;
  ok.from = ok.to = 5;
  EXPECT_EQ(RenderSettingsProblem(ok, 0, 10), "");

  auto with = [](auto change) {
    RenderSettings s;
    change(s);
    return s;
  };
  auto frames = [](int from, int to) {
    RenderSettings s;
    s.frameRange = kRenderFromTo, s.from = from, s.to = to;
    return s;
  };
  const std::pair<RenderSettings, const char*> cases[] = {
      {with([](auto& s) { s.width = 0; }),
       "Output size 0 x 256: width and height must be 1 to 4096"},
      {with([](auto& s) { s.height = 4097; }),
       "Output size 256 x 4097: width and height must be 1 to 4096"},
      {with([](auto& s) { s.oversampling = 5; }), "Oversampling 5: it must be 1 to 4"},
      {with([](auto& s) { s.format = 7; }), "Unknown output format"},
      {with([](auto& s) { s.format = -1; }), "Unknown output format"},
      {with([](auto& s) { s.outputName.clear(); }), "No output file name"},
      {with([](auto& s) { s.blurSamples = -1; }), "Motion blur samples -1: they must be 0 to 64"},
      {with([](auto& s) { s.blurRange = std::nanf(""); }), "Motion blur range must be a number"},
      {with([](auto& s) { s.gamma = std::numeric_limits<float>::infinity(); }),
       "Gamma must be a number"},
      {with([](auto& s) { s.frameRange = 3; }), "Unknown frame range"},
      {frames(-1, 3), "Frames -1 to 3: frames must be 0 to 9999"},
      {frames(0, 10000), "Frames 0 to 10000: frames must be 0 to 9999"},
      {frames(5, 4), "Frames 5 to 4: \"To\" comes before \"From\""},
      {frames(30, 40), "No frames to render"},
  };
  for (const auto& [settings, message] : cases)
    EXPECT_EQ(RenderSettingsProblem(settings, 0, 20), message);
}

TEST(RenderViewport, CentresTheLargestSquareUnlessFitting) {
  RenderViewport v = RenderViewportFor(400, 300, false);
  EXPECT_EQ(v.y, -50);
  EXPECT_EQ(v.height, 400);
  EXPECT_FLOAT_EQ(v.aspect, 1.0f);
  v = RenderViewportFor(301, 400, false);  // odd difference: the half rounds toward zero
  EXPECT_EQ(v.x, -49);
  EXPECT_EQ(v.width, 400);
  v = RenderViewportFor(400, 300, true);
  EXPECT_EQ(v.y, 0);
  EXPECT_EQ(v.height, 300);
  EXPECT_FLOAT_EQ(v.aspect, 4.0f / 3.0f);
}

TEST(FrameFileName, NumberGoesBeforeTheEndingAndANameWithoutOneTakesTheFormats) {
  EXPECT_EQ(FrameFileName("shot.v2.ppm", 120, kRenderPpm), "shot.v2120.ppm");
  // The name's own ending stays, whatever the format.
  EXPECT_EQ(FrameFileName("shot.jpeg", 1, kRenderJpeg), "shot1.jpeg");
  EXPECT_EQ(FrameFileName("shot.png", 1, kRenderBmp), "shot1.png");
  EXPECT_EQ(FrameFileName("frames", 3, kRenderBmp), "frames3.bmp");
  EXPECT_EQ(FrameFileName("frames.", 3, kRenderJpeg), "frames3.jpg");
  // A dot in a folder's name is no ending.
  EXPECT_EQ(FrameFileName("/tmp/a.d/pic", 12, kRenderPpm), "/tmp/a.d/pic12.ppm");
}

TEST(GammaTables, OneIsTheIdentityAndOddGammasStayDefined) {
  GammaTables t = BuildGammaTables(1.0f);
  EXPECT_FALSE(t.correct);
  for (int i = 0; i < 256; ++i)
    ASSERT_TRUE(t.a[i] == i && t.b[i] == i) << i;

  t = BuildGammaTables(2.0f);
  EXPECT_TRUE(t.correct);
  EXPECT_EQ(t.a[64], 127);
  EXPECT_EQ(t.b[128], 64);
  EXPECT_EQ(t.a[255], 255);
  for (int i = 1; i < 256; ++i)
    ASSERT_TRUE(t.a[i] >= t.a[i - 1] && t.a[i] >= t.b[i]) << i;

  // 0 and below behave as 0.0001: everything but white goes black in A,
  // everything but black goes nearly white in B.
  for (float g : {0.0f, -3.0f}) {
    t = BuildGammaTables(g);
    EXPECT_EQ(t.a[254], 0);
    EXPECT_EQ(t.a[255], 255);
    EXPECT_EQ(t.b[0], 0);
    EXPECT_EQ(t.b[1], 254);
  }
  // Not a number: no correction instead of an undefined conversion.
  EXPECT_FALSE(BuildGammaTables(std::nanf("")).correct);
  t = BuildGammaTables(std::numeric_limits<float>::infinity());
  EXPECT_EQ(t.b[254], 0);
  EXPECT_EQ(t.a[1], 255);
}

}  // namespace
}  // namespace modra
