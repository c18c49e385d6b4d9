// The render pipeline end to end: flat squares rendered to files and read back.
#include "render/render_job.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../anim/anim_util.h"
#include "../view/view_test_util.h"
#include "images/ppm.h"
#include "movie_test_util.h"
#include "render/mp4_writer.h"
#include "render/mpeg_writer.h"

namespace modra {
namespace {

using movietest::DecodedGif;
using test::Rgb;

constexpr Rgb kBackground = {26, 26, 102};  // 0.1, 0.1, 0.4
constexpr Rgb kRed = {255, 0, 0};

struct Picture {
  int width = 0, height = 0;
  std::unique_ptr<uint8_t[]> rgb;
  Rgb At(int x, int y) const {  // top row first
    const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
  }
};

Picture ReadPicture(const std::string& path) {
  Picture p;
  p.rgb = ReadPpm(path, &p.width, &p.height);
  return p;
}

bool Near(const Rgb& a, const Rgb& b, int tolerance) {
  for (int c = 0; c < 3; ++c)
    if (std::abs(a[c] - b[c]) > tolerance) return false;
  return true;
}

struct RenderPipeline : ::testing::Test {
  test::RecordedDocument rec;
  Document& doc = rec.doc;
  Scene& s = rec.scene();
  test::TempDir dir;
  RenderSettings settings;
  HeadlessGl gl;
  int written = 0;
  bool failed = false;
  int samples = 0;
  std::string title;

  void SetUp() override {
    settings.width = settings.height = 32;
    settings.oversampling = 1;
    settings.gamma = 1.0f;
    settings.format = kRenderPpm;
    settings.outputName = dir / "out.ppm";
    test::FlatFrontView(doc);
    // The camera and light models would stand in front of the squares.
    doc.display.cameraDisplay = false;
    doc.display.lightDisplay = false;
  }

  // Renders through `view`; false when the render did not start.
  bool Render(int view = kViewFront) {
    std::string error;
    EXPECT_TRUE(
        gl.Create(DrawingWidth(settings), DrawingHeight(settings), &error, GlRenderer::kSoftware))
        << error;
    RenderJob job(doc, settings, view);
    if (!job.Start()) return false;
    job.Resize(gl.Width(), gl.Height());
    while (job.Step()) {
    }
    job.Finish();
    written = job.FramesWritten();
    failed = job.Failed();
    samples = job.Samples();
    title = job.Title();
    return true;
  }

  // A movie of solid pictures, 16 x 16.
  template <class Writer = MpegWriter>
  void WriteMovie(const std::string& path, const std::vector<movietest::Bytes>& pictures) {
    Writer writer;
    ASSERT_EQ(writer.Open(path, static_cast<int>(pictures.size())), 0);
    for (const movietest::Bytes& picture : pictures)
      ASSERT_EQ(writer.AddFrame(picture.data(), 16, 16), 0);
    ASSERT_EQ(writer.Finish(), 0);
  }

  // A square moving right by `step` per frame from x0, keyed at frames 0 .. last.
  int MovingSquare(float x0, float step, int last, float r = 0.25f) {
    const int g = test::AddSquare(s, "mover", 0, 0, 0, r, {1, 0, 0});
    for (int f = 0; f <= last; ++f)
      test::SetTranslationAt(doc, g, f, {x0 + step * f, 0, 0});
    GoToFrame(doc, 0);
    return g;
  }
};

TEST_F(RenderPipeline, OversamplingDrawsLargerAndWritesTheOutputSizeTopRowFirst) {
  settings.width = settings.height = 100;
  settings.oversampling = 3;
  // An edge that falls inside a pixel of the output once reduced.
  test::AddSquare(s, "square", 0, 0.25f, 0, 0.505f, {1, 0, 0});
  ASSERT_TRUE(Render());
  EXPECT_EQ(gl.Width(), 300);
  EXPECT_EQ(written, 1);
  const Picture p = ReadPicture(dir / "out0.ppm");
  ASSERT_TRUE(p.rgb);
  EXPECT_EQ(p.width, 100);
  EXPECT_EQ(p.height, 100);
  EXPECT_EQ(p.At(50, 20), kRed);  // the upper part of the picture
  EXPECT_EQ(p.At(50, 80), kBackground);
  // The reduction averages: the pixel on the edge is a mix of both.
  const Rgb edge = p.At(24, 40);
  EXPECT_GT(edge[0], kBackground[0]);
  EXPECT_LT(edge[0], 255);
}

TEST_F(RenderPipeline, GammaBrightensThroughTableA) {
  ASSERT_TRUE(Render());
  EXPECT_EQ(ReadPicture(dir / "out0.ppm").At(0, 0), kBackground);  // 1.0 writes what was read

  settings.gamma = 2.0f;
  ASSERT_TRUE(Render());
  const GammaTables t = BuildGammaTables(2.0f);
  EXPECT_EQ(ReadPicture(dir / "out0.ppm").At(0, 0),
            (Rgb{t.a[kBackground[0]], t.a[kBackground[1]], t.a[kBackground[2]]}));
}

TEST_F(RenderPipeline, CurrentFrameRendersOneFrameWithoutBlur) {
  MovingSquare(-0.5f, 0.1f, 10);
  GoToFrame(doc, 4);
  settings.frameRange = kRenderCurrentFrame;
  settings.blurSamples = 4;
  ASSERT_TRUE(Render());
  EXPECT_EQ(samples, 1);
  EXPECT_EQ(written, 1);
  EXPECT_TRUE(std::filesystem::exists(dir / "out4.ppm"));
  EXPECT_EQ(title, "Frame 1 of 1: Motion Blur 1 of 1");
}

// The title and a progress display count the same frames: those of the
// range, each frame from the first of its samples on.
TEST_F(RenderPipeline, TheTitleCountsTheFramesOfTheRangeAsTheyAreWorkedOn) {
  MovingSquare(-0.5f, 0.1f, 10);
  settings.frameRange = kRenderFromTo;
  settings.from = 4;
  settings.to = 6;
  settings.blurSamples = 2;
  std::string error;
  ASSERT_TRUE(gl.Create(32, 32, &error, GlRenderer::kSoftware)) << error;
  RenderJob job(doc, settings, kViewFront);
  ASSERT_TRUE(job.Start());
  EXPECT_EQ(job.FrameCount(), 3);
  job.Resize(gl.Width(), gl.Height());
  std::vector<std::string> titles;
  std::vector<int> finished;
  while (true) {
    const bool more = job.Step();
    titles.push_back(job.Title());
    finished.push_back(job.FramesFinished());
    if (!more) break;
  }
  EXPECT_EQ(titles, (std::vector<std::string>{
                        "Frame 1 of 3: Motion Blur 1 of 2", "Frame 1 of 3: Motion Blur 2 of 2",
                        "Frame 2 of 3: Motion Blur 1 of 2", "Frame 2 of 3: Motion Blur 2 of 2",
                        "Frame 3 of 3: Motion Blur 1 of 2", "Frame 3 of 3: Motion Blur 2 of 2"}));
  EXPECT_EQ(finished, (std::vector<int>{0, 1, 1, 2, 2, 3}));

  // A share counts its own frames.
  job.Finish();
  settings.to = 9;
  RenderJob share(doc, settings, kViewFront);
  share.SetPart({1, 2});
  ASSERT_TRUE(share.Start());
  EXPECT_EQ(share.FirstFrame(), 7);
  EXPECT_EQ(share.FrameCount(), 3);
  share.Resize(gl.Width(), gl.Height());
  share.Step();
  EXPECT_EQ(share.Title(), "Frame 1 of 3: Motion Blur 1 of 2");
}

// A render shows its own frames; the document it ends with shows the
// frame, view and lights of before, and the frame box says so.
TEST_F(RenderPipeline, AfterARenderTheDocumentIsBackAtItsFrame) {
  const int g = MovingSquare(-0.5f, 0.1f, 10);
  GoToFrame(doc, 7);
  const Vec3 atSeven = s.groups[g].translation;
  doc.display.currentView = kViewTop;
  doc.display.lightDisplay = true;
  const DisplayBeforeRender before = PrepareDocumentForRender(doc);
  EXPECT_EQ(doc.display.currentView, kViewCamera);
  EXPECT_FALSE(doc.display.lightDisplay);
  settings.frameRange = kRenderFromTo;
  settings.from = 2;
  settings.to = 3;
  ASSERT_TRUE(Render());
  ASSERT_EQ(written, 2);
  ASSERT_NE(s.groups[g].translation, atSeven);  // the render moved the scene

  rec.shell.framesShown.clear();
  rec.shell.changes.clear();
  RestoreDocumentAfterRender(doc, before);
  EXPECT_EQ(s.anim.currentFrame, 7);
  EXPECT_EQ(s.groups[g].translation, atSeven);
  EXPECT_EQ(rec.shell.framesShown, std::vector<int>{7});
  EXPECT_EQ(doc.display.currentView, kViewTop);
  EXPECT_TRUE(doc.display.lightDisplay);
  ASSERT_FALSE(rec.shell.changes.empty());
  EXPECT_EQ(rec.shell.changes.back() & (kFrameChanged | kValuesChanged | kDisplayChanged),
            kFrameChanged | kValuesChanged | kDisplayChanged);
}

TEST_F(RenderPipeline, MotionBlurAveragesEverySampleOfAFrame) {
  // Samples at t = -1, 0, +1 show frames 4, 5 and 6 exactly.
  MovingSquare(-0.75f, 0.15f, 10, 0.2f);
  settings.frameRange = kRenderFromTo;
  settings.from = 4;
  settings.to = 6;
  ASSERT_TRUE(Render());
  const Picture frames[3] = {ReadPicture(dir / "out4.ppm"), ReadPicture(dir / "out5.ppm"),
                             ReadPicture(dir / "out6.ppm")};
  for (const Picture& f : frames)
    ASSERT_TRUE(f.rgb);

  settings.blurSamples = 3;
  settings.blurRange = 2;
  ASSERT_TRUE(Render());
  EXPECT_EQ(samples, 3);
  EXPECT_EQ(written, 3);
  const Picture blurred = ReadPicture(dir / "out5.ppm");
  ASSERT_TRUE(blurred.rgb);
  int differing = 0, mixed = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      Rgb mean;
      for (int c = 0; c < 3; ++c)
        mean[c] = (frames[0].At(x, y)[c] + frames[1].At(x, y)[c] + frames[2].At(x, y)[c]) / 3;
      const Rgb got = blurred.At(x, y);
      if (!Near(got, mean, 1)) ++differing;
      if (got != kRed && got != kBackground) ++mixed;
    }
  // A curve evaluated a whole frame on may land a hair beside the key.
  EXPECT_LE(differing, 32);
  EXPECT_GT(mixed, 32);  // the square is smeared, not shown at one place
}

TEST_F(RenderPipeline, NoFramesWritesNothingInAnyFormat) {
  MovingSquare(0, 0.1f, 3);
  settings.frameRange = kRenderFromTo;
  settings.from = 5;
  settings.to = 9;
  for (int format : {kRenderMpeg, kRenderJpeg, kRenderBmp, kRenderPpm, kRenderGif}) {
    SetRenderFormat(settings, format);
    rec.shell.messages.clear();
    EXPECT_FALSE(Render()) << format;
    EXPECT_EQ(rec.shell.messages, std::vector<std::string>{"No frames to render"});
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path));
}

TEST_F(RenderPipeline, AFailedFrameEndsTheRenderAndKeepsEarlierFrames) {
  MovingSquare(0, 0.1f, 3);
  std::filesystem::create_directory(dir / "out2.ppm");  // frame 2 cannot replace it
  ASSERT_TRUE(Render());
  EXPECT_TRUE(failed);
  EXPECT_EQ(written, 2);
  EXPECT_TRUE(std::filesystem::exists(dir / "out1.ppm"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out3.ppm"));
  EXPECT_EQ(rec.shell.messages,
            std::vector<std::string>{"Can't open output file " + (dir / "out2.ppm") +
                                     " for write: Is a directory\n"});

  rec.shell.messages.clear();
  settings.outputName = dir / "missing/out.bmp";
  settings.format = kRenderBmp;
  ASSERT_TRUE(Render());
  EXPECT_TRUE(failed);
  EXPECT_EQ(rec.shell.messages,
            std::vector<std::string>{"Can't open output file " + (dir / "missing/out0.bmp") +
                                     " for write: No such file or directory\n"});
}

TEST_F(RenderPipeline, FrameFilesInEveryPerFrameFormat) {
  MovingSquare(0, 0.1f, 1);
  for (int format : {kRenderJpeg, kRenderBmp, kRenderPpm}) {
    SetRenderFormat(settings, format);
    ASSERT_TRUE(Render());
    EXPECT_FALSE(failed);
    EXPECT_EQ(written, 2);
  }
  for (const char* name : {"out0.jpg", "out1.jpg", "out0.bmp", "out1.bmp", "out0.ppm", "out1.ppm"})
    EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST_F(RenderPipeline, ARenderLooksThroughTheCamera) {
  test::AddSquare(s, "centre", 0, 0, 0, 0.3f, {1, 0, 0});
  // Aimed away from the square, the camera sees only background.
  s.camera.position = {0, 0, -4.33f};
  s.camera.vectorA = {0, 0, 0};
  ASSERT_TRUE(Render(kViewCamera));
  EXPECT_EQ(ReadPicture(dir / "out0.ppm").At(16, 16), kRed);
  s.camera.vectorA = {0, 0, -10};
  ASSERT_TRUE(Render(kViewCamera));
  EXPECT_EQ(ReadPicture(dir / "out0.ppm").At(16, 16), kBackground);
  ASSERT_TRUE(Render(kViewCount));  // no such view: the camera's
  EXPECT_EQ(ReadPicture(dir / "out0.ppm").At(16, 16), kBackground);
}

TEST_F(RenderPipeline, GifHasOneImagePerFrameAtTheOutputSize) {
  MovingSquare(-0.5f, 0.2f, 2);
  settings.oversampling = 2;
  SetRenderFormat(settings, kRenderGif);
  ASSERT_TRUE(Render());
  DecodedGif gif(settings.outputName);
  ASSERT_NE(gif.gif, nullptr);
  EXPECT_EQ(gif.gif->SWidth, 32);
  EXPECT_EQ(gif.gif->SHeight, 32);
  ASSERT_EQ(gif.gif->ImageCount, 3);
  // The square has moved between the first and the last image.
  EXPECT_NE(gif.Pixel(0, 8, 16), gif.Pixel(2, 8, 16));
}

// A movie of two frames, halves in their own colours, behind four frames,
// in a program stream as renders write them now, as a bare video stream
// and as an MP4 movie.
TEST_F(RenderPipeline, CompositingShowsTheMovieBehindTheSceneAndRestartsIt) {
  const std::string movie = dir / "behind.mpg";
  const Rgb top[4] = {{250, 20, 20}, {20, 20, 250}, {250, 20, 20}, {20, 20, 250}};
  const Rgb bottom[4] = {{20, 250, 20}, {250, 250, 20}, {20, 250, 20}, {250, 250, 20}};
  std::vector<movietest::Bytes> pictures;
  for (int f = 0; f < 2; ++f) {
    pictures.push_back(movietest::Solid(16, 16, bottom[f]));
    const movietest::Bytes upper = movietest::Solid(16, 8, top[f]);
    std::copy(upper.begin(), upper.end(), pictures.back().begin());
  }
  WriteMovie(movie, pictures);
  // The same movie as renders wrote movies before: a bare video stream.
  const std::string bare = dir / "bare.mpg";
  movietest::WriteBareVideo(movie, bare);
  const std::string mp4 = dir / "behind.mp4";
  WriteMovie<Mp4Writer>(mp4, pictures);
  MovingSquare(0, 0, 3, 0.1f);  // a small square in the middle, keyed to frame 3
  settings.composite = true;
  for (const std::string& behind : {movie, bare, mp4}) {
    settings.compositeMovie = behind;
    ASSERT_TRUE(Render());
    EXPECT_FALSE(failed);
    for (int f = 0; f < 4; ++f) {
      const Picture p = ReadPicture(dir / ("out" + std::to_string(f) + ".ppm"));
      ASSERT_TRUE(p.rgb);
      EXPECT_TRUE(Near(p.At(4, 4), top[f], 40)) << behind << " frame " << f;
      EXPECT_TRUE(Near(p.At(4, 28), bottom[f], 40)) << behind << " frame " << f;
      EXPECT_EQ(p.At(16, 16), kRed) << "the scene stays in front, frame " << f;
    }
  }
  rec.shell.messages.clear();
  settings.compositeMovie = dir / "none.mpg";
  ASSERT_TRUE(Render());
  EXPECT_TRUE(failed);
  EXPECT_EQ(rec.shell.messages,
            std::vector<std::string>{"Can't open composite movie: " + settings.compositeMovie +
                                     ": No such file or directory"});
}

// The editor's render window may be resized while it works: every buffer
// follows the area, and a GIF, whose screen size is fixed, refuses frames
// of another size.
TEST_F(RenderPipeline, ResizingTheAreaMidRenderNeverOverrunsABuffer) {
  const std::string movie = dir / "behind.mpg";
  WriteMovie(movie, {movietest::Solid(16, 16, {200, 200, 200})});
  MovingSquare(0, 0.1f, 3);
  settings.composite = true;
  settings.compositeMovie = movie;
  settings.blurSamples = 2;
  std::string error;
  ASSERT_TRUE(gl.Create(64, 64, &error)) << error;
  for (int format : {kRenderPpm, kRenderGif}) {
    SetRenderFormat(settings, format);
    rec.shell.messages.clear();
    RenderJob job(doc, settings, kViewFront);
    ASSERT_TRUE(job.Start());
    job.Resize(32, 32);
    ASSERT_TRUE(job.Step());
    job.Resize(64, 64);
    while (job.Step()) {
    }
    job.Finish();
    if (format == kRenderPpm) {
      EXPECT_FALSE(job.Failed());
      EXPECT_EQ(job.FramesWritten(), 4);
      // Frame 0 is written from its last sample, drawn at the new size.
      EXPECT_EQ(ReadPicture(dir / "out0.ppm").width, 64);
      EXPECT_EQ(ReadPicture(dir / "out3.ppm").width, 64);
    } else {
      EXPECT_TRUE(job.Failed());
      EXPECT_EQ(rec.shell.messages,
                std::vector<std::string>{"Can't write entire file: " + settings.outputName});
    }
  }
}

}  // namespace
}  // namespace modra
