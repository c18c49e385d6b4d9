// Joining movie parts: MPEG-1 streams end to end, GIFs picture by picture,
// and the parts that do not fit together refused.
#include "render/movie_join.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fifo_watchdog.h"
#include "movie_probe.h"
#include "movie_test_util.h"
#include "reader_harness.h"
#include "render/gif_movie_writer.h"
#include "render/movie_reader.h"
#include "render/mp4_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}
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

// The same as an MP4 movie, as a render's share writes it.
void WriteMp4(const std::string& path, int first, int count, int width = 16, int height = 16,
              Mp4Codec codec = Mp4Codec::kBest) {
  av_log_set_level(AV_LOG_ERROR);  // the encoder's notes on its settings
  Mp4Writer writer(codec);
  ASSERT_EQ(writer.Open(path, count, first), 0);
  for (int f = first; f < first + count; ++f)
    ASSERT_EQ(writer.AddFrame(Solid(width, height, Colour(f)).data(), width, height), 0);
  ASSERT_EQ(writer.Finish(), 0);
}

// One picture per delay, frame f coloured Colour(first + f); numbered
// (with check values), as a render's are, unless `numbered` is false.
void WriteGif(const std::string& path, int first, const std::vector<int>& delays, int side = 8,
              bool numbered = true) {
  GifMovieWriter writer;
  ASSERT_EQ(writer.Create(path, side, side), 0);
  if (numbered) writer.NumberFrames(first);
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
  // Players see the whole length and seek across the parts.
  EXPECT_NEAR(movietest::Demux(dir / "joined.mpg").seconds, 6 / 30.0, 1e-6);
  const movietest::SeekResult seek = movietest::SeekToFrame(dir / "joined.mpg", 3);
  EXPECT_EQ(seek.frame, 3);
  EXPECT_EQ(seek.rgb, frames[3]);
}

// Parts of renders made before movies became program streams: bare video
// streams without check values. They join, alone or with new parts, into
// the movie a render makes now; cut short, they are refused.
TEST(MovieJoin, BareVideoPartsOfOlderRendersJoinToo) {
  test::TempDir dir;
  WriteMpeg(dir / "whole.mpg", 0, 6);
  WriteMpeg(dir / "a.mpg", 0, 1);
  WriteMpeg(dir / "b.mpg", 1, 3);
  WriteMpeg(dir / "c.mpg", 4, 2);
  movietest::WriteBareVideo(dir / "a.mpg", dir / "a-old.mpg");
  movietest::WriteBareVideo(dir / "b.mpg", dir / "b-old.mpg");
  movietest::WriteBareVideo(dir / "c.mpg", dir / "c-old.mpg");
  for (const std::vector<std::string>& parts :
       {std::vector<std::string>{dir / "a-old.mpg", dir / "b-old.mpg", dir / "c-old.mpg"},
        std::vector<std::string>{dir / "a-old.mpg", dir / "b.mpg", dir / "c-old.mpg"}}) {
    ASSERT_EQ(JoinMovies(dir / "joined.mpg", parts), "");
    EXPECT_EQ(test::ReadBytes(dir / "joined.mpg"), test::ReadBytes(dir / "whole.mpg"));
  }
  EXPECT_EQ(JoinMovies(dir / "joined.mpg", {dir / "b-old.mpg", dir / "c-old.mpg"}),
            "frame 0 missing before " + dir / "b-old.mpg");

  Bytes cut = test::ReadBytes(dir / "c-old.mpg");
  cut.resize(cut.size() - 4);  // without its sequence end code
  test::WriteBytes(dir / "cut.mpg", cut);
  // Frame 5 may have lost its end: only frame 4 is there whole.
  EXPECT_EQ(JoinMovies(dir / "joined.mpg", {dir / "cut.mpg"}),
            dir / "cut.mpg" + " is truncated after frame 4");
}

TEST(MovieJoin, GifPartsKeepTheirPicturesDelaysAndLoop) {
  test::TempDir dir;
  // Without check values, which cover the loop count.
  WriteGif(dir / "a.gif", 0, {7, 20}, 8, false);
  WriteGif(dir / "b.gif", 2, {3}, 8, false);
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
  WriteGif(dir / "loop3.gif", 1, {10}, 8, false);
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
      {{"text.mpg"}, out, "text.mpg is neither an MPEG-1 or MP4 movie nor a GIF"},
      {{"none.mpg"}, out, "can't read none.mpg: No such file or directory"},
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

// What a movie shows: its pictures and, for a GIF, each picture's delay
// and the loop count.
struct Shown {
  std::vector<Bytes> frames;
  std::vector<int> delays;
  int loop = -1;
  bool operator==(const Shown&) const = default;
};

Shown ShownBy(const std::string& path) {
  Shown shown;
  shown.frames = Frames(path);
  if (!path.ends_with(".gif")) return shown;
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  if (!gif) return shown;
  if (DGifSlurp(gif) == GIF_OK) {
    for (int i = 0; i < gif->ImageCount; ++i) {
      GraphicsControlBlock control{};
      shown.delays.push_back(DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK ? control.DelayTime
                                                                                 : -1);
    }
  }
  DGifCloseFile(gif, nullptr);
  const Bytes bytes = test::ReadBytes(path);
  const std::string tag = "NETSCAPE2.0";
  const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
  if (bytes.end() - at > 14) shown.loop = at[13] | at[14] << 8;
  return shown;
}

// The files of a folder, by name.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// Every cut and many corruptions of the middle one of three parts, so that
// the join has written the first part when it meets the damage. The join
// either refuses it, naming a part and leaving neither output nor a
// temporary file behind, or, where the damage touches nothing the movie
// shows (a clock reference, a time stamp it sets anew, a missing end
// code), joins it into what the whole part joins into. The pictures'
// check values are what tell the rest.
TEST(MovieJoin, DamagedPartsAreRefusedUnlessTheDamageIsHarmless) {
  for (const std::string ext : {".mpg", ".gif"}) {
    SCOPED_TRACE(ext);
    test::TempDir dir;
    const std::string first = dir / ("a" + ext), middle = dir / ("b" + ext),
                      last = dir / ("c" + ext), part = dir / ("bad" + ext),
                      out = dir / ("out" + ext);
    if (ext == ".mpg") {
      WriteMpeg(first, 0, 1);
      WriteMpeg(middle, 1, 2);
      WriteMpeg(last, 3, 1);
    } else {
      WriteGif(first, 0, {10});
      WriteGif(middle, 1, {10, 20});
      WriteGif(last, 3, {10});
    }
    const std::string intactPath = dir / ("intact" + ext);
    ASSERT_EQ(JoinMovies(intactPath, {first, middle, last}), "");
    const Shown intact = ShownBy(intactPath);
    ASSERT_EQ(intact.frames.size(), 4u);
    const Bytes whole = test::ReadBytes(middle);
    test::WriteText(out, "older");
    test::WriteBytes(part, whole);
    const std::vector<std::string> files = FilesIn(dir.path.string());

    int refused = 0, joined = 0;
    auto expectRefusedOrWhole = [&](const Bytes& bytes) {
      test::WriteBytes(part, bytes);
      const std::string problem = JoinMovies(out, {first, part, last});
      if (!problem.empty()) {
        EXPECT_NE(problem.find(dir.path.string()), std::string::npos) << problem;
        EXPECT_EQ(test::ReadText(out), "older");
        EXPECT_EQ(FilesIn(dir.path.string()), files);
        ++refused;
      } else {
        const Shown shown = ShownBy(out);
        EXPECT_EQ(shown.frames, intact.frames);
        EXPECT_EQ(shown.delays, intact.delays);
        EXPECT_EQ(shown.loop, intact.loop);
        EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(intactPath));
        test::WriteText(out, "older");
        ++joined;
      }
    };
    test::ForEachCut(whole, [&](const Bytes& cut, size_t) { expectRefusedOrWhole(cut); });
    test::ForEachDamage(whole, 200, expectRefusedOrWhole, {}, 4, 15);
    // Most damage is refused; some is harmless.
    EXPECT_GT(refused, joined);
    EXPECT_GT(joined, 0);
  }
}

// A picture whose bytes changed where only its check value can tell.
TEST(MovieJoin, APictureThatLostItsCheckValueIsRefused) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 2, 32, 32);
  WriteGif(dir / "a.gif", 0, {10, 10});
  // The last slice's data of the MPEG part, and a colour of a map in the GIF.
  Bytes mpeg = test::ReadBytes(dir / "a.mpg");
  mpeg[mpeg.size() - 12] ^= 0x10;
  test::WriteBytes(dir / "b.mpg", mpeg);
  EXPECT_EQ(JoinMovies(dir / "out.mpg", {dir / "b.mpg"}),
            dir / "b.mpg" + " is damaged: frame 1 does not match its check value");
  Bytes gif = test::ReadBytes(dir / "a.gif");
  const Bytes descriptor = {0x2C, 0, 0, 0, 0, 8, 0, 8, 0};
  const auto at = std::search(gif.begin(), gif.end(), descriptor.begin(), descriptor.end());
  ASSERT_NE(at, gif.end());
  at[descriptor.size() + 1] ^= 0x40;  // the red of the first colour
  test::WriteBytes(dir / "b.gif", gif);
  EXPECT_EQ(JoinMovies(dir / "out.gif", {dir / "b.gif"}),
            dir / "b.gif" + " is damaged: frame 0 does not match its check value");
  EXPECT_FALSE(std::filesystem::exists(dir / "out.mpg"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.gif"));
}

// Joins `parts` of `dir` into `out`, which held "older": a refusal must
// leave it so and leave no other file behind. The problem, with the
// folder left out of the names.
std::string RefusedJoin(const test::TempDir& dir, const std::string& out,
                        const std::vector<std::string>& parts) {
  test::WriteText(out, "older");
  const std::vector<std::string> before = FilesIn(dir.path.string());
  std::string problem = JoinMovies(out, parts);
  EXPECT_EQ(test::ReadText(out), "older") << problem;
  EXPECT_EQ(FilesIn(dir.path.string()), before) << problem;
  for (size_t at; (at = problem.find(dir.path.string() + "/")) != std::string::npos;)
    problem.erase(at, dir.path.string().size() + 1);
  return problem;
}

// Where `tag` starts in `bytes`, every time.
std::vector<size_t> Find(const Bytes& bytes, const Bytes& tag) {
  std::vector<size_t> at;
  for (auto i = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end()); i != bytes.end();
       i = std::search(i + 1, bytes.end(), tag.begin(), tag.end()))
    at.push_back(static_cast<size_t>(i - bytes.begin()));
  return at;
}

const Bytes kPackStart = {0, 0, 1, 0xBA};
const Bytes kGifPictureStart = {0x21, 0xFF, 11, 'M', 'O', 'D', 'R', 'A', 'F', 'R', 'M'};

// A part of frames 4 to 7 after a whole part of frames 0 to 3, cut at
// every byte from its first picture on: each picture starts a pack of its
// own (or, in a GIF, its frame number extension), so the cut names the
// last picture wholly before it. The last picture is whole only with what
// a render writes after it: the sequence end code (the program end code
// after it may go) or the GIF trailer.
TEST(MovieJoin, TruncatedPartsNameTheLastWholeFrame) {
  for (const std::string ext : {".mpg", ".gif"}) {
    SCOPED_TRACE(ext);
    test::TempDir dir;
    if (ext == ".mpg") {
      WriteMpeg(dir / "a.mpg", 0, 4);
      WriteMpeg(dir / "b.mpg", 4, 4);
    } else {
      WriteGif(dir / "a.gif", 0, {10, 10, 10, 10});
      WriteGif(dir / "b.gif", 4, {10, 10, 10, 10});
    }
    const Bytes whole = test::ReadBytes(dir / ("b" + ext));
    std::vector<size_t> starts = Find(whole, ext == ".mpg" ? kPackStart : kGifPictureStart);
    ASSERT_EQ(starts.size(), 4u);
    // Past the last picture, what closes it.
    const size_t closed = ext == ".mpg" ? whole.size() - 4 : whole.size() - 1;
    // (An MPEG part needs its first start code to be taken for one.)
    for (size_t size = std::max<size_t>(starts[0], 4); size < closed; ++size) {
      const int wholePictures = static_cast<int>(
          std::upper_bound(starts.begin() + 1, starts.end(), size) - (starts.begin() + 1));
      const std::string expected =
          "cut" + ext + " is truncated " +
          (wholePictures == 0 ? "before its first whole picture"
                              : "after frame " + std::to_string(3 + wholePictures));
      test::WriteBytes(dir / ("cut" + ext),
                       Bytes(whole.begin(), whole.begin() + static_cast<long>(size)));
      ASSERT_EQ(RefusedJoin(dir, dir / ("out" + ext), {dir / ("a" + ext), dir / ("cut" + ext)}),
                expected)
          << "cut at " << size << " of " << whole.size();
    }
    // Cut inside what closes the last picture.
    if (ext == ".mpg") {
      test::WriteBytes(dir / "cut.mpg", Bytes(whole.begin(), whole.end() - 2));
      EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {dir / "a.mpg", dir / "cut.mpg"}),
                "cut.mpg is truncated after frame 7");
    }
  }
}

// The sequence end code closes every movie a render writes; without it
// the last picture may have lost its end. Its check value proves it whole;
// in the bare video streams of older renders nothing can.
TEST(MovieJoin, AnMpegPartWithoutItsSequenceEndCodeIsRefused) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 3);
  Bytes bytes = test::ReadBytes(dir / "a.mpg");
  const Bytes end = {0, 0, 1, 0xB7};
  const std::vector<size_t> ends = Find(bytes, end);
  ASSERT_EQ(ends.size(), 1u);
  bytes.erase(bytes.begin() + static_cast<long>(ends[0]),
              bytes.begin() + static_cast<long>(ends[0]) + 4);
  // The last packet, four bytes shorter.
  const std::vector<size_t> packets = Find(bytes, {0, 0, 1, 0xE0});
  ASSERT_FALSE(packets.empty());
  const size_t length = (bytes[packets.back() + 4] << 8 | bytes[packets.back() + 5]) - 4;
  bytes[packets.back() + 4] = static_cast<uint8_t>(length >> 8);
  bytes[packets.back() + 5] = static_cast<uint8_t>(length);
  test::WriteBytes(dir / "open.mpg", bytes);
  EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {dir / "open.mpg"}),
            "open.mpg is truncated after frame 2");

  movietest::WriteBareVideo(dir / "a.mpg", dir / "bare.mpg");
  Bytes bare = test::ReadBytes(dir / "bare.mpg");
  bare.resize(bare.size() - 4);
  test::WriteBytes(dir / "open.mpg", bare);
  EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {dir / "open.mpg"}),
            "open.mpg is truncated after frame 1");
}

// A byte changed at sampled places in the coded data of each picture:
// the part is refused, naming the picture's frame.
TEST(MovieJoin, AChangedByteInAPictureNamesItsFrame) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 2, 32, 32);
  WriteMpeg(dir / "b.mpg", 2, 3, 32, 32);
  const Bytes whole = test::ReadBytes(dir / "b.mpg");
  const std::vector<size_t> packs = Find(whole, kPackStart);
  ASSERT_EQ(packs.size(), 3u);
  const std::vector<size_t> slices = Find(whole, {0, 0, 1, 0x01});
  ASSERT_EQ(slices.size(), 3u);
  for (int picture = 0; picture < 3; ++picture) {
    // From the first slice's data to the picture's end.
    const size_t from = slices[picture] + 4;
    const size_t to = picture < 2 ? packs[picture + 1] : whole.size() - 8;
    ASSERT_LT(from, to);
    for (size_t at = from; at < to; at += std::max<size_t>(1, (to - from) / 7)) {
      Bytes bytes = whole;
      bytes[at] ^= 0x24;
      test::WriteBytes(dir / "bad.mpg", bytes);
      const std::string problem =
          RefusedJoin(dir, dir / "out.mpg", {dir / "a.mpg", dir / "bad.mpg"});
      EXPECT_EQ(problem.rfind("bad.mpg is damaged: frame " + std::to_string(2 + picture) + " ", 0),
                0u)
          << "byte " << at << ": " << problem;
    }
  }
}

// Without check values, as in the bare video streams of older renders,
// only decoding tells that a picture's coded data is broken.
TEST(MovieJoin, APictureThatDoesNotDecodeIsRefused) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 3, 32, 32);
  movietest::WriteBareVideo(dir / "a.mpg", dir / "bare.mpg");
  ASSERT_EQ(JoinMovies(dir / "out.mpg", {dir / "bare.mpg"}), "");
  const Bytes whole = test::ReadBytes(dir / "bare.mpg");
  const std::vector<size_t> pictures = Find(whole, {0, 0, 1, 0x00});
  const std::vector<size_t> slices = Find(whole, {0, 0, 1, 0x01});
  ASSERT_EQ(pictures.size(), 3u);
  ASSERT_EQ(slices.size(), 3u);
  for (int picture = 0; picture < 3; ++picture) {
    // Macroblocks of the picture's slice: all ones, which code nothing.
    Bytes bytes = whole;
    const size_t from = slices[picture] + 6;
    const size_t to = std::min(from + 8, picture < 2 ? pictures[picture + 1] : whole.size() - 4);
    ASSERT_LT(from, to);
    std::fill(bytes.begin() + static_cast<long>(from), bytes.begin() + static_cast<long>(to), 0xFF);
    test::WriteBytes(dir / "bad.mpg", bytes);
    const std::string problem = RefusedJoin(dir, dir / "out.mpg", {dir / "bad.mpg"});
    EXPECT_EQ(problem.rfind(
                  "bad.mpg is damaged: frame " + std::to_string(picture) + " does not decode", 0),
              0u)
        << problem;
  }
}

// A part whose pictures or parts are out of order: each picture is whole,
// but the frames do not run on.
TEST(MovieJoin, FramesOutOfOrderAreRefused) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 2);
  WriteMpeg(dir / "b.mpg", 2, 2);
  WriteGif(dir / "a.gif", 0, {10, 10});
  WriteGif(dir / "b.gif", 2, {10, 10, 10});
  // b.gif with its second and third pictures swapped.
  const Bytes gif = test::ReadBytes(dir / "b.gif");
  const std::vector<size_t> at = Find(gif, kGifPictureStart);
  ASSERT_EQ(at.size(), 3u);
  Bytes swapped(gif.begin(), gif.begin() + static_cast<long>(at[1]));
  swapped.insert(swapped.end(), gif.begin() + static_cast<long>(at[2]), gif.end() - 1);
  swapped.insert(swapped.end(), gif.begin() + static_cast<long>(at[1]),
                 gif.begin() + static_cast<long>(at[2]));
  swapped.push_back(gif.back());
  test::WriteBytes(dir / "swapped.gif", swapped);

  struct Case {
    std::vector<std::string> parts;
    std::string out, problem;
  };
  const Case cases[] = {
      {{"b.mpg", "a.mpg"}, "out.mpg", "frames 0 to 1 missing before b.mpg"},
      {{"a.mpg", "b.mpg", "b.mpg"}, "out.mpg", "b.mpg repeats frames 2 to 3 of b.mpg"},
      {{"b.gif", "a.gif"}, "out.gif", "frames 0 to 1 missing before b.gif"},
      {{"a.gif", "a.gif"}, "out.gif", "a.gif repeats frames 0 to 1 of a.gif"},
      {{"a.gif", "swapped.gif"}, "out.gif", "swapped.gif is damaged: frame 4 follows frame 2"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> parts;
    for (const std::string& p : c.parts)
      parts.push_back(dir / p);
    EXPECT_EQ(RefusedJoin(dir, dir / c.out, parts), c.problem);
  }
}

// Only regular files are parts: a FIFO would block the join until
// something wrote to it, a device never ends. Each is refused at once,
// named, before anything is read.
TEST(MovieJoin, PartsThatAreNotRegularFilesAreRefusedAtOnce) {
  test::TempDir dir;
  WriteMpeg(dir / "a.mpg", 0, 2);
  test::MakeFifo(dir / "fifo.mpg");
  std::filesystem::create_directory(dir / "folder.mpg");
  const std::string fifoProblem = test::WithFifoWatchdog(dir / "fifo.mpg", [&] {
    return RefusedJoin(dir, dir / "out.mpg", {dir / "a.mpg", dir / "fifo.mpg"});
  });
  EXPECT_EQ(fifoProblem, "can't read fifo.mpg: not a regular file (a FIFO)");
  EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {dir / "a.mpg", dir / "folder.mpg"}),
            "can't read folder.mpg: not a regular file (a folder)");
  EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {"/dev/null"}),
            "can't read /dev/null: not a regular file (a character device)");
}

// MP4 shares, each a fresh encoder's movie starting with a key frame, join
// into one movie whose frames follow on in order and in time, carrying the
// frame numbers of the whole render.
TEST(MovieJoin, Mp4PartsJoinIntoOneMovieWithTheFramesInOrder) {
  test::TempDir dir;
  WriteMp4(dir / "a.mp4", 0, 2);
  WriteMp4(dir / "b.mp4", 2, 3);
  WriteMp4(dir / "c.mp4", 5, 1);
  const std::string out = dir / "out.mp4";
  ASSERT_EQ(JoinMovies(out, {dir / "a.mp4", dir / "b.mp4", dir / "c.mp4"}), "");
  const std::vector<Bytes> frames = Frames(out);
  ASSERT_EQ(frames.size(), 6u);
  for (int f = 0; f < 6; ++f)
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(movietest::MeanColor(frames[f].data(), 16, 0, 0, 16, 16)[c], Colour(f)[c], 8)
          << "frame " << f << " channel " << c;
  // The times run on across the parts: a player sees 6 frames' length
  // and a seek to frame 3 lands in the second part.
  const movietest::Demuxed demuxed = movietest::Demux(out);
  EXPECT_EQ(demuxed.packets, 6);
  EXPECT_NEAR(demuxed.seconds, 6.0 / 30, 1e-3);
  const movietest::SeekResult seek = movietest::SeekToFrame(out, 3);
  EXPECT_EQ(seek.frame, 3);
  // The joined movie joins again, as the first part of a longer one.
  WriteMp4(dir / "d.mp4", 6, 2);
  ASSERT_EQ(JoinMovies(dir / "longer.mp4", {out, dir / "d.mp4"}), "");
  EXPECT_EQ(Frames(dir / "longer.mp4").size(), 8u);

  // MPEG-4 part 2 parts join alike; its demuxer leaves the picture size
  // to the decoder.
  WriteMp4(dir / "a4.mp4", 0, 2, 16, 16, Mp4Codec::kMpeg4);
  WriteMp4(dir / "b4.mp4", 2, 1, 16, 16, Mp4Codec::kMpeg4);
  ASSERT_EQ(JoinMovies(dir / "out4.mp4", {dir / "a4.mp4", dir / "b4.mp4"}), "");
  const std::vector<Bytes> mpeg4 = Frames(dir / "out4.mp4");
  ASSERT_EQ(mpeg4.size(), 3u);
  for (int f = 0; f < 3; ++f)
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(movietest::MeanColor(mpeg4[f].data(), 16, 0, 0, 16, 16)[c], Colour(f)[c], 8)
          << "MPEG-4 frame " << f << " channel " << c;
}

TEST(MovieJoin, Mp4PartsThatDoNotFitAreRefusedByName) {
  test::TempDir dir;
  WriteMp4(dir / "0-1.mp4", 0, 2);
  WriteMp4(dir / "1-2.mp4", 1, 2);
  WriteMp4(dir / "3.mp4", 3, 1);
  WriteMp4(dir / "wide.mp4", 2, 1, 32, 16);
  WriteMpeg(dir / "2.mpg", 2, 1);
  WriteMp4(dir / "2-m4.mp4", 2, 1, 16, 16, Mp4Codec::kMpeg4);
  // A movie no render made carries no frame numbers: its tag renamed.
  Bytes untagged = test::ReadBytes(dir / "0-1.mp4");
  const std::string key = "modra_first_frame";
  const std::vector<size_t> keys = Find(untagged, Bytes(key.begin(), key.end()));
  ASSERT_EQ(keys.size(), 1u);
  untagged[keys[0]] = 'x';
  test::WriteBytes(dir / "untagged.mp4", untagged);
  // x264 notes its settings in the first picture, where a decoder reads
  // past them: changed, the picture decodes alike and only the check value
  // tells.
  Bytes edited = test::ReadBytes(dir / "0-1.mp4");
  const std::string note = "options: ";
  const std::vector<size_t> notes = Find(edited, Bytes(note.begin(), note.end()));
  if (!notes.empty()) edited[notes[0]] = 'O';
  test::WriteBytes(dir / "edited.mp4", edited);
  // Cut short, it loses the index at its end.
  const Bytes whole = test::ReadBytes(dir / "3.mp4");
  test::WriteBytes(dir / "cut.mp4", Bytes(whole.begin(), whole.end() - 40));
  const std::string out = dir / "out.mp4";
  const std::string a = dir / "0-1.mp4";
  EXPECT_EQ(RefusedJoin(dir, out, {a, dir / "3.mp4"}), "frame 2 missing between 0-1.mp4 and 3.mp4");
  EXPECT_EQ(RefusedJoin(dir, out, {a, dir / "1-2.mp4"}), "1-2.mp4 repeats frame 1 of 0-1.mp4");
  EXPECT_EQ(RefusedJoin(dir, out, {dir / "3.mp4"}), "frames 0 to 2 missing before 3.mp4");
  EXPECT_EQ(RefusedJoin(dir, out, {a, dir / "wide.mp4"}), "wide.mp4 is 32x16, 0-1.mp4 16x16");
  if (avcodec_find_encoder(AV_CODEC_ID_H264)) {
    EXPECT_EQ(RefusedJoin(dir, out, {a, dir / "2-m4.mp4"}), "2-m4.mp4 is MPEG-4, 0-1.mp4 H.264");
  }
  EXPECT_EQ(RefusedJoin(dir, out, {a, dir / "2.mpg"}),
            "2.mpg is an MPEG-1 movie, 0-1.mp4 an MP4 movie");
  EXPECT_EQ(RefusedJoin(dir, dir / "out.mpg", {a}),
            "out.mpg names an MPEG-1 movie but the parts are MP4 movies");
  EXPECT_EQ(RefusedJoin(dir, out, {dir / "untagged.mp4"}),
            "untagged.mp4 carries no frame numbers: it is not a movie a render made");
  if (!notes.empty()) {
    EXPECT_EQ(RefusedJoin(dir, out, {dir / "edited.mp4"}),
              "edited.mp4 is damaged: its pictures do not match their check value");
  }
  const std::string cut = RefusedJoin(dir, out, {a, dir / "cut.mp4"});
  EXPECT_EQ(cut, "cut.mp4 is truncated or damaged (its boxes do not fill the file)");
}

// Cuts and changed bytes in the middle one of three MP4 parts: the join
// refuses the part by name, leaving neither output nor a temporary file,
// or, where the damage touches nothing the movie shows (a tag, an unused
// field of the index), joins what the whole part joins into.
TEST(MovieJoin, DamagedMp4PartsAreRefusedOrJoinWhole) {
  test::TempDir dir;
  const std::string first = dir / "a.mp4", middle = dir / "b.mp4", last = dir / "c.mp4",
                    part = dir / "bad.mp4", out = dir / "out.mp4";
  WriteMp4(first, 0, 1);
  WriteMp4(middle, 1, 2);
  WriteMp4(last, 3, 1);
  av_log_set_level(AV_LOG_QUIET);  // libavformat's notes on every damaged part
  ASSERT_EQ(JoinMovies(dir / "intact.mp4", {first, middle, last}), "");
  const std::vector<Bytes> intact = Frames(dir / "intact.mp4");
  ASSERT_EQ(intact.size(), 4u);
  const Bytes whole = test::ReadBytes(middle);
  test::WriteText(out, "older");
  test::WriteBytes(part, whole);
  const std::vector<std::string> files = FilesIn(dir.path.string());
  int refused = 0, joined = 0;
  auto expectRefusedOrWhole = [&](const Bytes& bytes) {
    test::WriteBytes(part, bytes);
    const std::string problem = JoinMovies(out, {first, part, last});
    if (!problem.empty()) {
      EXPECT_EQ(problem.rfind(part, 0), 0u) << problem;
      EXPECT_EQ(test::ReadText(out), "older");
      EXPECT_EQ(FilesIn(dir.path.string()), files);
      ++refused;
    } else {
      EXPECT_TRUE(Frames(out) == intact);
      test::WriteText(out, "older");
      ++joined;
    }
  };
  // Each decoding join is slow: every length near the start, then 60 more.
  test::ForEachCut(
      whole, [&](const Bytes& cut, size_t) { expectRefusedOrWhole(cut); }, 64, 60);
  test::ForEachDamage(whole, 150, expectRefusedOrWhole, {}, 4, 23);
  // The pictures' check value catches damage that still decodes.
  EXPECT_GT(refused, 4 * joined);
}

}  // namespace
}  // namespace modra
