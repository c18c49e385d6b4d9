// A render split with --part and joined with `modra join` gives the frames
// of the whole render: the demo scene with motion blur over a composite
// movie, in one, three and seven parts.
#include <gtest/gtest.h>

#include <filesystem>

#include "../render/movie_probe.h"
#include "../render/movie_test_util.h"
#include "cli/render_command.h"
#include "modra_runner.h"
#include "render/movie_reader.h"
#include "render/mpeg_writer.h"

namespace modra {
namespace {

using movietest::Bytes;

using test::Modra;
using Result = test::CliRun;

std::vector<Bytes> Frames(const std::string& path) {
  MovieReader reader;
  std::vector<Bytes> frames;
  EXPECT_EQ(reader.Open(path), 0) << path;
  const size_t size = static_cast<size_t>(reader.Width()) * reader.Height() * 3;
  while (const uint8_t* frame = reader.NextFrame())
    frames.emplace_back(frame, frame + size);
  return frames;
}

TEST(RenderPart, OptionTakesAShareNumberedFromZero) {
  struct Case {
    const char* text;
    bool ok;
    RenderPart part;
  };
  const Case cases[] = {
      {"0/1", true, {0, 1}},  {"6/7", true, {6, 7}}, {"7/7", false, {}},
      {"-1/4", false, {}},    {"1/0", false, {}},    {"3", false, {}},
      {"1/", false, {}},      {"/2", false, {}},     {"a/b", false, {}},
      {"0/10001", false, {}}, {"2/ 3", false, {}},   {"9999/10000", true, {9999, 10000}},
  };
  for (const Case& c : cases) {
    RenderPart part{-5, -5};
    EXPECT_EQ(ParseRenderPart(c.text, &part), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(part.index, c.part.index) << c.text;
      EXPECT_EQ(part.count, c.part.count) << c.text;
    }
  }
}

TEST(RenderPart, JoinedPartsAreTheWholeRender) {
  test::TempDir dir;
  const std::string demo = std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf";
  // A background movie shorter than the render, so that parts start on
  // its later frames and after it has started again.
  const std::string background = dir / "background.mpg";
  {
    MpegWriter writer;
    ASSERT_EQ(writer.Open(background, 4), 0);
    for (const movietest::Rgb& c :
         {movietest::Rgb{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {200, 200, 30}})
      ASSERT_EQ(writer.AddFrame(movietest::Solid(16, 16, c).data(), 16, 16), 0);
    ASSERT_EQ(writer.Finish(), 0);
  }
  const std::vector<std::string> options = {"--size", "64x48", "--frames",    "10-17",
                                            "--blur", "3",     "--composite", background};
  auto render = [&](const std::string& out, const std::string& part) {
    std::vector<std::string> args = {"render", demo, "-o", out};
    args.insert(args.end(), options.begin(), options.end());
    if (!part.empty()) args.insert(args.end(), {"--part", part});
    const Result r = Modra(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
  };
  render(dir / "whole.mpg", "");
  const std::vector<Bytes> whole = Frames(dir / "whole.mpg");
  ASSERT_EQ(whole.size(), 8u);

  for (int count : {1, 3, 7}) {
    const std::string out = dir / ("movie" + std::to_string(count) + ".mpg");
    std::vector<std::string> join = {"join", out};
    for (int i = 0; i < count; ++i) {
      render(out, std::to_string(i) + "/" + std::to_string(count));
      join.push_back(PartFileName(out, {i, count}));
      ASSERT_TRUE(std::filesystem::exists(join.back())) << join.back();
    }
    const Result r = Modra(join);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(Frames(out) == whole) << count << " parts";
    EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(dir / "whole.mpg")) << count << " parts";
  }
  // Players see the joined movie's length and seek in it.
  const std::string joined = dir / "movie7.mpg";
  const movietest::Demuxed demuxed = movietest::Demux(joined);
  EXPECT_NEAR(demuxed.seconds, 8 / 30.0, 1e-6);
  EXPECT_EQ(demuxed.packets, 8);
  const movietest::SeekResult middle = movietest::SeekToFrame(joined, 4);
  EXPECT_EQ(middle.frame, 4);
  EXPECT_TRUE(middle.rgb == whole[4]);

  // A share with no frames succeeds and writes nothing; a join that
  // misses a part says so.
  EXPECT_EQ(
      Modra({"render", demo, "-o", dir / "e.mpg", "--frames", "10-11", "--part", "2/3"}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(PartFileName(dir / "e.mpg", {2, 3})));
  EXPECT_EQ(Modra({"render", demo, "-o", dir / "e.mpg", "--part", "3/3"}).err,
            "modra render: --part must be I/N with 0 <= I < N <= 10000, as in 2/8\n");
  const Result r = Modra({"join", dir / "x.mpg", PartFileName(dir / "movie3.mpg", {0, 3}),
                          PartFileName(dir / "movie3.mpg", {2, 3})});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("frames 3 to 5 missing between"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mpg"));
}

// MP4 shares go to names of their own and join into the frames of the
// whole render, coded again only where each share starts with a key
// frame; PNG frame files keep their frame numbers and need no join.
TEST(RenderPart, Mp4SharesJoinAndPngFramesKeepTheirNumbers) {
  test::TempDir dir;
  const std::string demo = std::string(MODRA_SOURCE_DIR) + "/examples/demo.knf";
  auto render = [&](const std::string& out, const std::string& part) {
    std::vector<std::string> args = {"render", demo,           "-o", out,        "--size",
                                     "32x24",  "--oversample", "1",  "--frames", "10-15"};
    if (!part.empty()) args.insert(args.end(), {"--part", part});
    const Result r = Modra(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
  };
  render(dir / "whole.mp4", "");
  const std::vector<Bytes> whole = Frames(dir / "whole.mp4");
  ASSERT_EQ(whole.size(), 6u);
  const std::string out = dir / "movie.mp4";
  std::vector<std::string> join = {"join", out};
  for (int i = 0; i < 2; ++i) {
    render(out, std::to_string(i) + "/2");
    join.push_back(PartFileName(out, {i, 2}));
    ASSERT_TRUE(std::filesystem::exists(join.back())) << join.back();
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  const Result r = Modra(join);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<Bytes> joined = Frames(out);
  ASSERT_EQ(joined.size(), 6u);
  for (size_t f = 0; f < joined.size(); ++f) {
    const auto a = movietest::MeanColor(joined[f].data(), 32, 0, 0, 32, 24);
    const auto b = movietest::MeanColor(whole[f].data(), 32, 0, 0, 32, 24);
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(a[c], b[c], 3) << "frame " << f << " channel " << c;
  }
  // Parts in the wrong order are refused by name.
  const Result swapped = Modra({"join", dir / "x.mp4", join[3], join[2]});
  EXPECT_EQ(swapped.status, 1);
  EXPECT_EQ(swapped.err, "modra join: frames 0 to 2 missing before " + join[3] + "\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mp4"));

  render(dir / "f.png", "1/2");
  for (int f = 13; f <= 15; ++f)
    EXPECT_EQ(test::ReadText(dir / ("f" + std::to_string(f) + ".png")).substr(1, 3), "PNG") << f;
  EXPECT_FALSE(std::filesystem::exists(dir / "f12.png"));
  EXPECT_FALSE(std::filesystem::exists(PartFileName(dir / "f.png", {1, 2})));
}

}  // namespace
}  // namespace modra
