// `modra render` as a script drives it: options, files written, failures.
#include "cli/render_command.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "../anim/anim_util.h"
#include "../view/view_test_util.h"
#include "fifo_watchdog.h"
#include "images/ppm.h"
#include "modra_runner.h"
#include "nativefile/native_test_util.h"
#include "nativefile/native_writer.h"
#include "render/movie_reader.h"
#include "scene/camera_lights.h"

namespace modra {
namespace {

TEST(RenderOptions, SizesFramesFormatsViewsAndModes) {
  int w = 0, h = 0;
  EXPECT_TRUE(ParseRenderSize("320x240", &w, &h));
  EXPECT_EQ(w, 320);
  EXPECT_EQ(h, 240);
  for (const char* bad : {"0x5", "x5", "5x", "5x5x", "-1x5", "abc", "5 x5", ""})
    EXPECT_FALSE(ParseRenderSize(bad, &w, &h)) << bad;
  EXPECT_EQ(w, 320);  // left alone by a refusal

  RenderSettings s;
  EXPECT_TRUE(ParseRenderFrames("current", &s));
  EXPECT_EQ(s.frameRange, kRenderCurrentFrame);
  EXPECT_TRUE(ParseRenderFrames("3-17", &s));
  EXPECT_EQ(s.frameRange, kRenderFromTo);
  EXPECT_EQ(s.from, 3);
  EXPECT_EQ(s.to, 17);
  EXPECT_TRUE(ParseRenderFrames("all", &s));
  EXPECT_EQ(s.frameRange, kRenderAllFrames);
  for (const char* bad : {"7", "a-b", "3-", "-", "1-2-3", "All"})
    EXPECT_FALSE(ParseRenderFrames(bad, &s)) << bad;

  // Formats by extension, in any case; a bare name is no extension.
  EXPECT_EQ(RenderFormatOfFile("a/MOVIE.MPG"), kRenderMpeg);
  EXPECT_EQ(RenderFormatOfFile("x.jpeg"), kRenderJpeg);
  EXPECT_EQ(RenderFormatOfFile("gif"), std::nullopt);
  EXPECT_EQ(RenderFormatOfFile("out/Clip.MP4"), kRenderMp4);
  EXPECT_EQ(RenderFormatOfFile("f.png"), kRenderPng);
  EXPECT_EQ(RenderFormatOfFile("f.tiff"), std::nullopt);
  // Names in the order of the format numbers.
  const char* names[] = {"mpeg", "jpeg", "bmp", "ppm", "gif", "mp4", "png"};
  for (int f = 0; f <= kRenderPng; ++f)
    EXPECT_EQ(RenderFormatNamed(names[f]), f) << names[f];
  EXPECT_EQ(RenderFormatNamed("MP4"), std::nullopt);
}

using Result = test::CliRun;

// `modra render` with these arguments.
Result Render(std::vector<std::string> args) {
  args.insert(args.begin(), "render");
  Result r = test::Modra(std::move(args));
  EXPECT_EQ(r.out, "");  // nothing but what is asked for
  return r;
}

// A red square in the middle, keyed at frames 0 to 3.
struct RenderCommand : ::testing::Test {
  test::TempDir dir;
  std::string scene = dir / "scene.knf";

  void SetUp() override {
    Document doc;
    const int g = test::AddSquare(doc.scene, "square", 0, 0, 0, 0.3f, {1, 0, 0});
    // The camera model stays out of the Front view's picture.
    doc.scene.camera.position = {3, 3, -3};
    UpdateCameraTarget(doc.scene);
    for (int f = 0; f <= 3; ++f)
      test::SetTranslationAt(doc, g, f, {0.05f * f, 0, 0});
    ASSERT_EQ(WriteNativeFile(doc, scene), 0);
  }
};

TEST_F(RenderCommand, AStillThroughAViewTakesTheNameAsGiven) {
  const std::string still = dir / "still.ppm";
  const Result r =
      Render({scene, "--view", "front", "--mode", "solid", "--size", "40x30", "-o", still});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  int w = 0, h = 0;
  std::unique_ptr<uint8_t[]> rgb = ReadPpm(still, &w, &h);
  ASSERT_TRUE(rgb);
  EXPECT_EQ(w, 40);
  EXPECT_EQ(h, 30);
  const uint8_t* centre = &rgb[(15 * 40 + 20) * 3];
  EXPECT_GT(centre[0], 2 * centre[1]);  // the lit red square, not the blue background
  EXPECT_FALSE(std::filesystem::exists(dir / "still0.ppm"));
}

TEST_F(RenderCommand, AFrameRangeWritesNumberedFilesOrAMovie) {
  const Result r =
      Render({scene, "--frames", "1-2", "--format", "ppm", "--size", "16x16", "-o", dir / "f.ppm"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "f0.ppm"));
  EXPECT_TRUE(std::filesystem::exists(dir / "f1.ppm"));
  EXPECT_TRUE(std::filesystem::exists(dir / "f2.ppm"));
  EXPECT_FALSE(std::filesystem::exists(dir / "f3.ppm"));

  const std::string movie = dir / "m.mpg";
  ASSERT_EQ(Render({scene, "--size", "32x16", "--oversample", "1", "-o", movie}).status, 0);
  MovieReader reader;
  ASSERT_EQ(reader.Open(movie), 0);
  EXPECT_EQ(reader.Width(), 32);
  EXPECT_EQ(reader.Height(), 16);
  int frames = 0;
  while (reader.NextFrame())
    ++frames;
  EXPECT_EQ(frames, 4);
}

// An MP4 movie of the four frames at an odd size, made even; PNG frames
// by their ending or by --format, numbered as the other frame files.
TEST_F(RenderCommand, Mp4MoviesAndPngFrames) {
  const std::string movie = dir / "m.mp4";
  Result r = Render({scene, "--size", "33x17", "--oversample", "1", "-o", movie});
  EXPECT_EQ(r.status, 0) << r.err;
  MovieReader reader;
  ASSERT_EQ(reader.Open(movie), 0);
  EXPECT_EQ(reader.Width(), 34);
  EXPECT_EQ(reader.Height(), 18);
  int frames = 0;
  while (reader.NextFrame())
    ++frames;
  EXPECT_EQ(frames, 4);
  EXPECT_EQ(Render({scene, "--format", "mp4", "--frames", "2-2", "-o", dir / "clip"}).status, 0);
  ASSERT_EQ(reader.Open(dir / "clip"), 0);

  r = Render({scene, "--frames", "1-2", "--size", "12x10", "-o", dir / "f.png"});
  EXPECT_EQ(r.status, 0) << r.err;
  r = Render({scene, "--format", "png", "--frames", "3-3", "--size", "12x10", "-o", dir / "g"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* name : {"f1.png", "f2.png", "g3.png"}) {
    const std::string bytes = test::ReadText(dir / name);
    ASSERT_GE(bytes.size(), 24u) << name;
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\x0c\0\0\0\x0a", 8)) << name;  // 12 x 10
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "f0.png"));
  EXPECT_FALSE(std::filesystem::exists(dir / "f3.png"));
}

TEST_F(RenderCommand, FramesOfANameWithoutAnEndingTakeTheFormats) {
  const Result r =
      Render({scene, "--frames", "0-1", "--format", "bmp", "--size", "8x8", "-o", dir / "shot"});
  EXPECT_EQ(r.status, 0) << r.err;
  for (const char* name : {"shot0.bmp", "shot1.bmp"})
    EXPECT_EQ(test::ReadText(dir / name).rfind("BM", 0), 0u) << name;
  EXPECT_FALSE(std::filesystem::exists(dir / "shot0."));
  EXPECT_FALSE(std::filesystem::exists(dir / "shot2.bmp"));
}

TEST_F(RenderCommand, FailuresSayWhatWentWrong) {
  const std::string out = dir / "out.mpg";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{scene, "--frames", "8-9", "-o", out}, 1, "No frames to render\n"},
      {{dir / "missing.knf", "-o", out},
       1,
       "Can't open " + (dir / "missing.knf") + " for read: " + std::strerror(ENOENT) + "\n"},
      {{scene, "-o", dir / "missing/out.mpg"},
       1,
       "Bummer, can't create movie: " + (dir / "missing/out.mpg") + ": " + std::strerror(ENOENT) +
           "\n"},
      // The settings' own checks, passed on.
      {{scene, "--oversample", "5", "-o", out}, 1, "Oversampling 5: it must be 1 to 4\n"},
      {{scene, "--format", "tiff", "-o", out},
       2,
       "modra render: unknown format tiff (mpeg, mp4, jpeg, bmp, ppm, gif or png)\n"},
      {{scene, "-o", dir / "out.tiff"},
       2,
       "modra render: can't tell the format from " + (dir / "out.tiff") +
           ": give --format or end the name in .mpg, .mp4, .gif, .jpg, .bmp, .ppm or .png\n"},
      {{scene, "-o", dir / "missing/out.mp4"},
       1,
       "Bummer, can't create movie: " + (dir / "missing/out.mp4") + ": " + std::strerror(ENOENT) +
           "\n"},
      {{scene, "--frames", "0-0", "-o", dir / "missing/out.png"},
       1,
       "Can't open output file " + (dir / "missing/out0.png") +
           " for write: " + std::strerror(ENOENT) + "\n"},
      {{scene, "--mode", "shiny", "-o", out},
       2,
       "modra render: unknown mode shiny (wire, solid or textured)\n"},
      {{scene, "--size", "10y10", "-o", out},
       2,
       "modra render: --size must be WxH, as in 320x240\n"},
  };
  for (const Case& c : cases) {
    const Result r = Render(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_EQ(r.err, c.message) << c.args[1];
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(Render({scene}).status, 2);  // no output named
}

// A composite movie must be a regular file: a FIFO would block the render
// until something wrote to it. Refused at once, and named with the reason.
TEST_F(RenderCommand, ACompositeMovieThatIsNotARegularFileIsRefused) {
  const std::string out = dir / "out.mpg";
  test::MakeFifo(dir / "fifo.mpg");
  std::filesystem::create_directory(dir / "folder.mpg");
  struct Case {
    std::string movie, reason;
  };
  const Case cases[] = {
      {dir / "fifo.mpg", "not a regular file (a FIFO)"},
      {dir / "folder.mpg", "not a regular file (a folder)"},
      {"/dev/null", "not a regular file (a character device)"},
      {dir / "none.mpg", "No such file or directory"},
      {dir / "text.mpg", "Invalid data found when processing input"},
  };
  test::WriteText(dir / "text.mpg", "no movie in here");
  for (const Case& c : cases) {
    const Result r = test::WithFifoWatchdog(dir / "fifo.mpg", [&] {
      return Render({scene, "--size", "16x16", "--composite", c.movie, "-o", out});
    });
    EXPECT_EQ(r.status, 1) << c.movie;
    EXPECT_EQ(r.err, "Can't open composite movie: " + c.movie + ": " + c.reason + "\n");
    EXPECT_FALSE(std::filesystem::exists(out)) << c.movie;
  }
}

}  // namespace
}  // namespace modra
