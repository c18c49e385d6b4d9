// Joining movie parts: MPEG-1 streams end to end, GIFs picture by picture,
// and the parts that do not fit together refused.
#include "render/movie_join.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "movie_test_util.h"
#include "render/gif_movie_writer.h"
#include "render/movie_reader.h"
#include "render/mpeg_stream.h"
#include "render/mpeg_writer.h"

namespace modra {
namespace {

using movietest::Bytes;
using movietest::DecodedGif;
using movietest::Rgb;
using movietest::Solid;

Rgb Colour(int frame) {
  return {40 * frame % 256, 255 - 30 * frame % 256, 90};
}

// Frames first .. first + count - 1 of a movie whose frame f is Colour(f).
void WriteMpeg(const std::string& path, int first, int count, int width = 16, int height = 16) {
  MpegWriter writer;
  ASSERT_EQ(writer.Open(path, count, first), 0);
  for (int f = first; f < first + count; ++f)
    ASSERT_EQ(writer.AddFrame(Solid(width, height, Colour(f)).data(), width, height), 0);
  ASSERT_EQ(writer.Finish(), 0);
}

// One picture per delay, frame f coloured Colour(first + f).
void WriteGif(const std::string& path, int first, const std::vector<int>& delays, int side = 8) {
  GifMovieWriter writer;
  ASSERT_EQ(writer.Create(path, side, side), 0);
  writer.NumberFrames(first);
  for (size_t i = 0; i < delays.size(); ++i)
    ASSERT_EQ(
        writer.AddFrame(Solid(side, side, Colour(first + static_cast<int>(i))).data(), delays[i]),
        0);
  ASSERT_EQ(writer.Finish(), 0);
}

// Sets the loop count of a GIF the writer made.
void SetLoop(const std::string& path, int loop) {
  Bytes bytes = test::ReadBytes(path);
  const std::string tag = "NETSCAPE2.0";
  const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
  ASSERT_NE(at, bytes.end());
  at[13] = static_cast<uint8_t>(loop);
  at[14] = static_cast<uint8_t>(loop >> 8);
  test::WriteBytes(path, bytes);
}

std::vector<Bytes> Frames(const std::string& path) {
  MovieReader reader;
  std::vector<Bytes> frames;
  if (reader.Open(path) != 0) return frames;
  const size_t size = static_cast<size_t>(reader.Width()) * reader.Height() * 3;
  while (const uint8_t* frame = reader.NextFrame())
    frames.emplace_back(frame, frame + size);
  return frames;
}

TEST(MovieJoin, MpegPartsJoinIntoTheStreamOneWriterMakes) {
  test::TempDir dir;
  WriteMpeg(dir / "whole.mpg", 0, 6);
  WriteMpeg(dir / "a.mpg", 0, 1);
  WriteMpeg(dir / "b.mpg", 1, 3);
  WriteMpeg(dir / "c.mpg", 4, 2);
  ASSERT_EQ(JoinMovies(dir / "joined.mpg", {dir / "a.mpg", dir / "b.mpg", dir / "c.mpg"}), "");
  EXPECT_EQ(test::ReadBytes(dir / "joined.mpg"), test::ReadBytes(dir / "whole.mpg"));
  const std::vector<Bytes> frames = Frames(dir / "joined.mpg");
  ASSERT_EQ(frames.size(), 6u);
  EXPECT_EQ(frames, Frames(dir / "whole.mpg"));
}

TEST(MovieJoin, GifPartsKeepTheirPicturesDelaysAndLoop) {
  test::TempDir dir;
  WriteGif(dir / "a.gif", 0, {7, 20});
  WriteGif(dir / "b.gif", 2, {3});
  for (const char* part : {"a.gif", "b.gif"})
    SetLoop(dir / part, 5);
  ASSERT_EQ(JoinMovies(dir / "joined.gif", {dir / "a.gif", dir / "b.gif"}), "");

  DecodedGif gif(dir / "joined.gif");
  ASSERT_NE(gif.gif, nullptr);
  ASSERT_EQ(gif.gif->ImageCount, 3);
  const int delays[] = {7, 20, 3};
  for (int i = 0; i < 3; ++i) {
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.gif, i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, delays[i]) << i;
    EXPECT_EQ(gif.Pixel(i, 3, 3), Colour(i)) << i;
  }
  const Bytes bytes = test::ReadBytes(dir / "joined.gif");
  const Bytes loop = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 5, 0};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), loop.begin(), loop.end()), bytes.end());

  // Unchanged loop counts: the very file one writer makes of all frames,
  // numbers and all.
  WriteGif(dir / "a.gif", 0, {7, 20});
  WriteGif(dir / "b.gif", 2, {3});
  WriteGif(dir / "whole.gif", 0, {7, 20, 3});
  ASSERT_EQ(JoinMovies(dir / "joined.gif", {dir / "a.gif", dir / "b.gif"}), "");
  EXPECT_EQ(test::ReadBytes(dir / "joined.gif"), test::ReadBytes(dir / "whole.gif"));
}

TEST(MovieJoin, RefusesPartsThatDoNotFitAndKeepsTheOutput) {
  test::TempDir dir;
  WriteMpeg(dir / "0-1.mpg", 0, 2);
  WriteMpeg(dir / "2-3.mpg", 2, 2);
  WriteMpeg(dir / "1-2.mpg", 1, 2);
  WriteMpeg(dir / "4.mpg", 4, 1);
  WriteMpeg(dir / "wide.mpg", 2, 2, 32, 16);
  WriteGif(dir / "a.gif", 0, {10});
  WriteGif(dir / "big.gif", 1, {10}, 16);
  WriteGif(dir / "loop3.gif", 1, {10});
  WriteGif(dir / "2.gif", 2, {10});
  SetLoop(dir / "loop3.gif", 3);
  test::WriteText(dir / "text.mpg", "not a movie at all");
  struct Case {
    std::vector<std::string> parts;
    std::string out, problem;
  };
  const std::string out = dir / "out.mpg";
  const Case cases[] = {
      {{"0-1.mpg", "4.mpg"}, out, "frames 2 to 3 missing between 0-1.mpg and 4.mpg"},
      {{"2-3.mpg"}, out, "frames 0 to 1 missing before 2-3.mpg"},
      {{"0-1.mpg", "1-2.mpg"}, out, "1-2.mpg repeats frame 1 of 0-1.mpg"},
      {{"0-1.mpg", "0-1.mpg"}, out, "0-1.mpg repeats frames 0 to 1 of 0-1.mpg"},
      {{"0-1.mpg", "wide.mpg"}, out, "wide.mpg is 32x16, 0-1.mpg 16x16"},
      {{"0-1.mpg", "a.gif"}, out, "a.gif is a GIF, 0-1.mpg an MPEG-1 movie"},
      {{"text.mpg"}, out, "text.mpg is neither an MPEG-1 movie nor a GIF"},
      {{"none.mpg"}, out, "can't read none.mpg"},
      {{"0-1.mpg"}, dir / "out.gif", "out.gif names a GIF but the parts are MPEG-1 movies"},
      {{"a.gif", "big.gif"}, dir / "out.gif", "big.gif is 16x16, the first part 8x8"},
      {{"a.gif", "loop3.gif"}, dir / "out.gif", "loop3.gif loops otherwise than the first part"},
      {{"a.gif", "2.gif"}, dir / "out.gif", "frame 1 missing between a.gif and 2.gif"},
  };
  for (const Case& c : cases) {
    test::WriteText(c.out, "older");
    std::vector<std::string> parts;
    for (const std::string& p : c.parts)
      parts.push_back(dir / p);
    std::string problem = JoinMovies(c.out, parts);
    // The messages name the files as given; compare them without the folder.
    for (size_t at; (at = problem.find(dir.path.string() + "/")) != std::string::npos;)
      problem.erase(at, dir.path.string().size() + 1);
    EXPECT_EQ(problem, c.problem);
    EXPECT_EQ(test::ReadText(c.out), "older") << c.problem;
  }
}

TEST(MovieJoin, DamagedPartsAreRefusedOrJoinedAsFarAsTheyGo) {
  test::TempDir dir;
  WriteMpeg(dir / "m.mpg", 0, 2);
  WriteGif(dir / "g.gif", 0, {10, 10});
  std::mt19937 random(15);
  for (const char* name : {"m.mpg", "g.gif"}) {
    const Bytes whole = test::ReadBytes(dir / name);
    const std::string out = dir / (std::string("out-") + name);
    for (size_t size = 0; size < whole.size(); ++size) {
      test::WriteBytes(dir / "cut", Bytes(whole.begin(), whole.begin() + static_cast<long>(size)));
      JoinMovies(out, {dir / "cut"});  // sanitizers watch; any answer is fine
      MpegStreamInfo info;
      ScanMpegStream({whole.data(), size}, &info);
    }
    for (int round = 0; round < 100; ++round) {
      Bytes bytes = whole;
      for (int k = 0; k < 4; ++k)
        bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
      test::WriteBytes(dir / "bad", bytes);
      JoinMovies(out, {dir / "bad"});
    }
  }
}

}  // namespace
}  // namespace modra
