#include "render/render_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace modra {
namespace {

TEST(RenderSettings, ReopeningResetsOnlyTheFrameRange) {
  RenderSettings s;
  s.width = 320;
  s.frameRange = kRenderFromTo;
  s.from = 12;
  s.to = 30;
  PrepareRenderOptions(s, 90);
  EXPECT_EQ(s.from, 0);
  EXPECT_EQ(s.to, 90);
  EXPECT_EQ(s.width, 320);
  EXPECT_EQ(s.frameRange, kRenderFromTo);
}

TEST(RenderSettings, FormatChangesTheOutputExtension) {
  RenderSettings s;
  s.outputName = "movie.mpg";
  for (auto [format, name] : {std::pair{kRenderGif, "movie.gif"},
                              {kRenderJpeg, "movie.jpg"},
                              {kRenderBmp, "movie.bmp"},
                              {kRenderPpm, "movie.ppm"},
                              {kRenderMpeg, "movie.mpg"}}) {
    SetRenderFormat(s, format);
    EXPECT_EQ(s.outputName, name);
    EXPECT_EQ(s.format, format);
  }

  s.outputName = "frames";  // no dot: the extension is appended
  SetRenderFormat(s, kRenderPpm);
  EXPECT_EQ(s.outputName, "frames.ppm");
  s.outputName = "a.b.c";  // only the last dot counts
  SetRenderFormat(s, kRenderGif);
  EXPECT_EQ(s.outputName, "a.b.gif");
  s.outputName = "/tmp/renders.old/take";  // a dot in a directory is no extension
  SetRenderFormat(s, kRenderBmp);
  EXPECT_EQ(s.outputName, "/tmp/renders.old/take.bmp");

  SetRenderFormat(s, 5);  // unknown formats change nothing
  EXPECT_EQ(s.format, kRenderBmp);
  EXPECT_EQ(s.outputName, "/tmp/renders.old/take.bmp");
}

TEST(RenderSettings, SwitchesStartFromTheirOnValues) {
  RenderSettings s;
  s.blurSamples = 9;
  SetMotionBlur(s, false);
  EXPECT_EQ(s.blurSamples, 0);
  EXPECT_EQ(BlurRangeLabel(s), "");
  SetMotionBlur(s, true);
  EXPECT_EQ(s.blurSamples, 4);
  EXPECT_EQ(BlurRangeLabel(s), "0.50");

  s.gamma = 2.2f;
  SetGammaCorrection(s, false);
  EXPECT_FLOAT_EQ(s.gamma, 1.0f);
  EXPECT_FALSE(GammaOn(s));
  SetGammaCorrection(s, true);
  EXPECT_FLOAT_EQ(s.gamma, 1.7f);
  s.gamma = 1.0f;  // typed as exactly 1.0: shown as "Off"
  EXPECT_FALSE(GammaOn(s));
  s.gamma = 1.0001f;
  EXPECT_TRUE(GammaOn(s));
}

TEST(RenderSettings, RangeSliderWorksInThousandths) {
  RenderSettings s;
  SetMotionBlur(s, true);
  SetBlurRangeFromSlider(s, 250);
  EXPECT_FLOAT_EQ(s.blurRange, 0.25f);
  EXPECT_EQ(BlurRangeSliderPosition(s), 250);
  EXPECT_EQ(BlurRangeLabel(s), "0.25");
  SetBlurRangeFromSlider(s, 1000);
  EXPECT_EQ(BlurRangeLabel(s), "1.00");
  s.blurRange = 7.0f;  // beyond the slider: pinned to its end
  EXPECT_EQ(BlurRangeSliderPosition(s), 1000);
  s.blurRange = -1.0f;
  EXPECT_EQ(BlurRangeSliderPosition(s), 0);
  s.blurRange = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(BlurRangeSliderPosition(s), 0);
}

TEST(RenderFrames, ChoosesAndClampsTheRange) {
  RenderSettings s;
  s.frameRange = kRenderCurrentFrame;
  FrameSpan span = RenderFrames(s, 17, 40);
  EXPECT_EQ(span.first, 17);
  EXPECT_EQ(span.last, 17);
  EXPECT_EQ(span.Count(), 1);

  s.frameRange = kRenderAllFrames;
  span = RenderFrames(s, 17, 40);
  EXPECT_EQ(span.first, 0);
  EXPECT_EQ(span.last, 40);
  EXPECT_EQ(span.Count(), 41);

  s.frameRange = kRenderFromTo;
  s.from = 10;
  s.to = 99;  // beyond the animation: lowered to its last frame
  span = RenderFrames(s, 0, 40);
  EXPECT_EQ(span.first, 10);
  EXPECT_EQ(span.last, 40);
  s.from = 50;  // starts after the animation: nothing
  EXPECT_LT(RenderFrames(s, 0, 40).Count(), 1);
  s.from = 30;
  s.to = 20;
  EXPECT_LT(RenderFrames(s, 0, 40).Count(), 1);
}

TEST(RenderSettingsProblem, AcceptsSensibleSettings) {
  RenderSettings s;
  EXPECT_EQ(RenderSettingsProblem(s, 0, 0), "");  // an unanimated scene has frame 0
  s.width = 1;
  s.height = kMaxRenderSide;
  s.oversampling = 4;
  s.blurSamples = kMaxBlurSamples;
  s.gamma = 0.0f;  // treated as 0.0001, not refused
  s.frameRange = kRenderFromTo;
  s.from = 5;
  s.to = 5;
  EXPECT_EQ(RenderSettingsProblem(s, 0, 10), "");
}

TEST(RenderSettingsProblem, RefusesOutOfRangeSettingsWithAClearMessage) {
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
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<RenderSettings, const char*> cases[] = {
      {with([](auto& s) { s.width = 0; }),
       "Output size 0 x 256: width and height must be 1 to 4096"},
      {with([](auto& s) { s.height = 0; }),
       "Output size 256 x 0: width and height must be 1 to 4096"},
      {with([](auto& s) { s.width = -5; }),
       "Output size -5 x 256: width and height must be 1 to 4096"},
      {with([](auto& s) { s.height = 4097; }),
       "Output size 256 x 4097: width and height must be 1 to 4096"},
      {with([](auto& s) { s.oversampling = 0; }), "Oversampling 0: it must be 1 to 4"},
      {with([](auto& s) { s.oversampling = 5; }), "Oversampling 5: it must be 1 to 4"},
      {with([](auto& s) { s.format = 5; }), "Unknown output format"},
      {with([](auto& s) { s.outputName.clear(); }), "No output file name"},
      {with([](auto& s) { s.blurSamples = 100000; }),
       "Motion blur samples 100000: they must be 0 to 64"},
      {with([](auto& s) { s.blurSamples = -1; }), "Motion blur samples -1: they must be 0 to 64"},
      {with([](auto& s) { s.blurRange = std::nanf(""); }), "Motion blur range must be a number"},
      {with([&](auto& s) { s.gamma = inf; }), "Gamma must be a number"},
      {with([](auto& s) { s.frameRange = 3; }), "Unknown frame range"},
      {frames(-1, 3), "Frames -1 to 3: frames must be 0 to 9999"},
      {frames(0, 10000), "Frames 0 to 10000: frames must be 0 to 9999"},
      {frames(8, 3), "Frames 8 to 3: \"To\" comes before \"From\""},
      {frames(5, 4), "Frames 5 to 4: \"To\" comes before \"From\""},
      {frames(30, 40), "No frames to render"},
  };
  for (const auto& [settings, message] : cases)
    EXPECT_EQ(RenderSettingsProblem(settings, 0, 20), message);
  // "from" and "to" only count in "From" mode: stale values elsewhere are
  // no reason to refuse.
  RenderSettings s;
  s.from = 9;
  s.to = 2;
  EXPECT_EQ(RenderSettingsProblem(s, 0, 20), "");
}

TEST(RenderViewport, CentresTheLargestSquareUnlessFitting) {
  RenderViewport v = RenderViewportFor(400, 300, false);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.y, -50);
  EXPECT_EQ(v.width, 400);
  EXPECT_EQ(v.height, 400);
  EXPECT_FLOAT_EQ(v.aspect, 1.0f);

  v = RenderViewportFor(301, 400, false);  // odd difference: the half rounds toward zero
  EXPECT_EQ(v.x, -49);
  EXPECT_EQ(v.y, 0);
  EXPECT_EQ(v.width, 400);
  EXPECT_EQ(v.height, 400);

  v = RenderViewportFor(200, 200, false);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.y, 0);
  EXPECT_EQ(v.width, 200);

  v = RenderViewportFor(400, 300, true);
  EXPECT_EQ(v.x, 0);
  EXPECT_EQ(v.y, 0);
  EXPECT_EQ(v.width, 400);
  EXPECT_EQ(v.height, 300);
  EXPECT_FLOAT_EQ(v.aspect, 4.0f / 3.0f);

  RenderSettings s;
  s.width = 100;
  s.height = 50;
  s.oversampling = 3;
  EXPECT_EQ(DrawingWidth(s), 300);
  EXPECT_EQ(DrawingHeight(s), 150);
}

TEST(BlurSampleTime, SpreadsTheSamplesOverTheRangeAroundTheFrame) {
  EXPECT_FLOAT_EQ(BlurSampleTime(0, 0, 0.5f), 0.0f);
  EXPECT_FLOAT_EQ(BlurSampleTime(0, 1, 0.5f), 0.0f);
  EXPECT_FLOAT_EQ(BlurSampleTime(0, 5, 0.5f), -0.25f);
  EXPECT_FLOAT_EQ(BlurSampleTime(2, 5, 0.5f), 0.0f);
  EXPECT_FLOAT_EQ(BlurSampleTime(4, 5, 0.5f), 0.25f);
  EXPECT_FLOAT_EQ(BlurSampleTime(1, 2, 1.0f), 0.5f);
}

TEST(FrameFileName, PutsTheFrameNumberBeforeTheExtension) {
  EXPECT_EQ(FrameFileName("movie.jpg", 7), "movie7.jpg");
  EXPECT_EQ(FrameFileName("shot.v2.ppm", 120), "shot.v2120.ppm");
  EXPECT_EQ(FrameFileName("frames", 3), "frames3.");  // no dot: a trailing "."
  EXPECT_EQ(FrameFileName("out/", 0), "out/0.");
  EXPECT_EQ(FrameFileName("/tmp/a.d/pic", 12), "/tmp/a.d/pic12.");
  EXPECT_EQ(FrameFileName("/tmp/a.d/pic.bmp", 12), "/tmp/a.d/pic12.bmp");
}

TEST(GammaTables, OneIsTheIdentityAndZeroIsATinyGamma) {
  GammaTables t = BuildGammaTables(1.0f);
  EXPECT_FALSE(t.correct);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(t.a[i], i);
    EXPECT_EQ(t.b[i], i);
  }

  t = BuildGammaTables(2.0f);
  EXPECT_TRUE(t.correct);
  EXPECT_EQ(t.a[0], 0);
  EXPECT_EQ(t.a[255], 255);
  EXPECT_EQ(t.b[255], 255);
  EXPECT_EQ(t.a[64], static_cast<int>(std::sqrt(64 / 255.0) * 255));           // 127
  EXPECT_EQ(t.b[128], static_cast<int>((128 / 255.0) * (128 / 255.0) * 255));  // 64
  for (int i = 1; i < 256; ++i) {
    EXPECT_GE(t.a[i], t.a[i - 1]);
    EXPECT_GE(t.a[i], t.b[i]);
  }

  // 0 and below behave as 0.0001: everything but white goes black in A,
  // everything but black goes nearly white in B.
  for (float g : {0.0f, -3.0f}) {
    t = BuildGammaTables(g);
    EXPECT_TRUE(t.correct);
    EXPECT_EQ(t.a[0], 0);
    EXPECT_EQ(t.a[254], 0);
    EXPECT_EQ(t.a[255], 255);
    EXPECT_EQ(t.b[0], 0);
    EXPECT_EQ(t.b[1], 254);
    EXPECT_EQ(t.b[255], 255);
  }

  // Not a number: no correction instead of an undefined conversion.
  t = BuildGammaTables(std::nanf(""));
  EXPECT_FALSE(t.correct);
  t = BuildGammaTables(std::numeric_limits<float>::infinity());
  EXPECT_EQ(t.b[254], 0);
  EXPECT_EQ(t.a[1], 255);
}

}  // namespace
}  // namespace modra
