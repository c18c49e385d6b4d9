#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "movie_probe.h"
#include "movie_test_util.h"
#include "render/gif_movie_writer.h"
#include "render/movie_reader.h"
#include "render/mpeg_stream.h"
#include "render/mpeg_writer.h"
#include "render/picture_check.h"

namespace modra {
namespace {

using movietest::Bytes;
using movietest::Halves;
using movietest::MeanColor;
using movietest::Rgb;
using movietest::Solid;

const Rgb kColors[] = {{200, 30, 40}, {20, 180, 60}, {40, 50, 220}, {230, 230, 20}, {90, 90, 90}};

// Writes one solid frame per colour of kColors.
void WriteColours(const std::string& path, int width, int height) {
  MpegWriter writer;
  ASSERT_EQ(writer.Open(path, 5), 0);
  for (const Rgb& c : kColors) {
    Bytes frame = Solid(width, height, c);
    ASSERT_EQ(writer.AddFrame(frame.data(), width, height), 0);
  }
  EXPECT_EQ(writer.FramesWritten(), 5);
  EXPECT_EQ(writer.Finish(), 0);
  EXPECT_FALSE(writer.IsOpen());
}

// Every frame of the movie at path is the next colour of kColors.
void ExpectColours(const std::string& path, int width, int height, double tolerance) {
  MovieReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(reader.Width(), width);
  EXPECT_EQ(reader.Height(), height);
  int frames = 0;
  while (const uint8_t* rgb = reader.NextFrame()) {
    ASSERT_LT(frames, 5);
    const auto mean = MeanColor(rgb, width, 0, 0, width, height);
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(mean[c], kColors[frames][c], tolerance) << "frame " << frames << " channel " << c;
    ++frames;
  }
  EXPECT_EQ(frames, 5);
  EXPECT_EQ(reader.NextFrame(), nullptr);  // stays at the end
}

// A colour of its own for each of 64 frames.
Rgb Shade(int frame) {
  return {30 + 37 * frame % 200, 30 + 91 * frame % 200, frame % 2 ? 60 : 180};
}

int CountFrames(MovieReader& reader) {
  int frames = 0;
  while (reader.NextFrame())
    ++frames;
  return frames;
}

// Start codes (00 00 01 xx) of an elementary stream, with their offsets.
std::vector<size_t> StartCodes(const Bytes& b, uint8_t code) {
  std::vector<size_t> at;
  for (size_t i = 0; i + 5 < b.size(); ++i)
    if (b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1 && b[i + 3] == code) at.push_back(i);
  return at;
}

TEST(MpegWriter, WritesFramesThatDecodeBackWithTheirColours) {
  test::TempDir dir;
  const std::string path = dir / "colours.mpg";
  WriteColours(path, 64, 48);

  ExpectColours(path, 64, 48, 6.0);
}

TEST(MpegWriter, ProgramStreamOfIntraCodedPicturesAtThirtyFramesASecond) {
  test::TempDir dir;
  const std::string path = dir / "stream.mpg";
  WriteColours(path, 80, 32);
  const Bytes b = test::ReadBytes(path);
  ASSERT_GT(b.size(), 16u);
  // An MPEG-1 pack header first (its first bits 0010), the program end
  // code last.
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{0, 0, 1, 0xBA}));
  EXPECT_EQ(b[4] >> 4, 2);
  EXPECT_EQ(Bytes(b.end() - 4, b.end()), (Bytes{0, 0, 1, 0xB9}));

  // The video inside, picture by picture.
  Bytes video;
  std::vector<size_t> starts;
  MpegStreamInfo info;
  ASSERT_EQ(ScanMpegMovie(b, &info,
                          [&](std::span<const uint8_t> picture) {
                            starts.push_back(video.size());
                            video.insert(video.end(), picture.begin(), picture.end());
                            return std::string();
                          }),
            "");
  EXPECT_EQ(info.width, 80);
  EXPECT_EQ(info.height, 32);
  EXPECT_EQ(info.rateCode, 5);  // 30 a second
  EXPECT_EQ(info.pictures, 5);
  EXPECT_TRUE(info.numbered);
  EXPECT_EQ(info.firstFrame, 0);
  EXPECT_EQ(info.lastFrame, 4);
  // Each picture starts with a sequence header: 12-bit width and height,
  // frame rate code 5.
  ASSERT_EQ(starts.size(), 5u);
  for (size_t at : starts) {
    ASSERT_EQ(
        Bytes(video.begin() + static_cast<long>(at), video.begin() + static_cast<long>(at) + 4),
        (Bytes{0, 0, 1, 0xB3}));
    EXPECT_EQ((video[at + 4] << 4) | (video[at + 5] >> 4), 80);
    EXPECT_EQ(((video[at + 5] & 0x0F) << 8) | video[at + 6], 32);
    EXPECT_EQ(video[at + 7] & 0x0F, 5);
  }
  // One picture per frame, each an I picture (coding type 1), each after
  // its check value.
  const std::vector<size_t> pictures = StartCodes(video, 0x00);
  ASSERT_EQ(pictures.size(), 5u);
  for (size_t at : pictures) {
    EXPECT_EQ((video[at + 5] >> 3) & 7, 1) << "picture at " << at;
    ASSERT_GE(at, kMpegPictureCheckSize);
    EXPECT_TRUE(
        IsMpegPictureCheck({video.data() + at - kMpegPictureCheckSize, kMpegPictureCheckSize}));
  }
  const std::vector<size_t> slices = StartCodes(video, 0x01);  // the first slice of each row
  ASSERT_GE(slices.size(), 5u);
  EXPECT_EQ(video[slices[0] + 4] >> 3, 3);  // quantiser scale 3
}

// Players and ffprobe read a bare video stream's length from its bit rate
// and cannot seek in it; the program stream gives every picture its time.
TEST(MpegWriter, PlayersSeeTheMoviesLengthAndSeekInIt) {
  test::TempDir dir;
  const std::string path = dir / "long.mpg";
  constexpr int kFrames = 45;
  {
    MpegWriter writer;
    ASSERT_EQ(writer.Open(path, kFrames), 0);
    for (int f = 0; f < kFrames; ++f)
      ASSERT_EQ(writer.AddFrame(Solid(32, 32, Shade(f)).data(), 32, 32), 0);
    ASSERT_EQ(writer.Finish(), 0);
  }
  const movietest::Demuxed demuxed = movietest::Demux(path);
  ASSERT_TRUE(demuxed.opened);
  EXPECT_EQ(demuxed.format, "mpeg");
  EXPECT_NEAR(demuxed.seconds, kFrames / 30.0, 1e-6);
  EXPECT_EQ(demuxed.packets, kFrames);

  for (int frame : {0, 22, 23, 31, kFrames - 1}) {
    const movietest::SeekResult seek = movietest::SeekToFrame(path, frame);
    ASSERT_EQ(seek.frame, frame);
    ASSERT_EQ(seek.width, 32);
    const auto mean = MeanColor(seek.rgb.data(), 32, 0, 0, 32, 32);
    for (int c = 0; c < 3; ++c)
      EXPECT_NEAR(mean[c], Shade(frame)[c], 6.0) << "frame " << frame << " channel " << c;
  }
}

TEST(MpegWriter, OddSizesAndFramesOfAnotherSize) {
  test::TempDir dir;
  const std::string path = dir / "odd.mpg";
  MpegWriter writer;
  ASSERT_EQ(writer.Open(path, 2), 0);
  Bytes first = Halves(33, 17, {255, 0, 0}, {0, 0, 255});
  ASSERT_EQ(writer.AddFrame(first.data(), 33, 17), 0);
  EXPECT_EQ(writer.Width(), 33);
  EXPECT_EQ(writer.Height(), 17);
  // Twice the size: scaled down to the movie's.
  Bytes second = Halves(66, 34, {0, 255, 0}, {255, 255, 255});
  ASSERT_EQ(writer.AddFrame(second.data(), 66, 34), 0);
  ASSERT_EQ(writer.Finish(), 0);

  MovieReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(reader.Width(), 33);
  EXPECT_EQ(reader.Height(), 17);
  // Each half's mean is near its colour: no channel more than 60 off.
  for (const auto& [left, right] :
       {std::pair{Rgb{255, 0, 0}, Rgb{0, 0, 255}}, std::pair{Rgb{0, 255, 0}, Rgb{255, 255, 255}}}) {
    const uint8_t* rgb = reader.NextFrame();
    ASSERT_NE(rgb, nullptr);
    const auto l = MeanColor(rgb, 33, 2, 2, 10, 13), r = MeanColor(rgb, 33, 21, 2, 10, 13);
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(l[c], left[c], 60) << c;
      EXPECT_NEAR(r[c], right[c], 60) << c;
    }
  }
  EXPECT_EQ(reader.NextFrame(), nullptr);
}

TEST(MpegWriter, RefusesWhatItCannotWriteAndKeepsThePreviousMovie) {
  test::TempDir dir;
  const std::string path = dir / "keep.mpg";
  test::WriteBytes(path, Bytes{'o', 'l', 'd'});
  Bytes frame = Solid(16, 16, {1, 2, 3});

  MpegWriter writer;
  EXPECT_EQ(writer.AddFrame(frame.data(), 16, 16), -1);  // nothing open
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_EQ(writer.Open(path, 0), -1);  // no frames to write
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(writer.Open(dir / "missing/x.mpg", 3), -1);
  EXPECT_FALSE(writer.IsOpen());

  ASSERT_EQ(writer.Open(path, 3), 0);
  EXPECT_EQ(writer.AddFrame(nullptr, 16, 16), -1);
  EXPECT_EQ(writer.AddFrame(frame.data(), 0, 16), -1);
  EXPECT_EQ(writer.AddFrame(frame.data(), 16, -1), -1);
  Bytes huge(3, 0);
  EXPECT_EQ(writer.AddFrame(huge.data(), MpegWriter::kMaxSide + 1, 1), -1);
  EXPECT_EQ(writer.FramesWritten(), 0);
  // A movie that got no frame is not written at all.
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_EQ(test::ReadBytes(path), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(dir.Entries(), 1);

  // Frames written before a failed one stay in the movie.
  ASSERT_EQ(writer.Open(path, 3), 0);
  ASSERT_EQ(writer.AddFrame(frame.data(), 16, 16), 0);
  EXPECT_EQ(writer.AddFrame(nullptr, 16, 16), -1);
  Bytes wide(size_t{MpegWriter::kMaxSide + 1} * 3, 0);  // later frames are bounded too
  EXPECT_EQ(writer.AddFrame(wide.data(), MpegWriter::kMaxSide + 1, 1), -1);
  EXPECT_EQ(writer.Finish(), 0);
  MovieReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(CountFrames(reader), 1);
}

TEST(MpegWriter, DestroyingAnOpenWriterFinishesTheMovie) {
  test::TempDir dir;
  const std::string path = dir / "closed.mpg";
  {
    MpegWriter writer;
    ASSERT_EQ(writer.Open(path, 10), 0);
    Bytes frame = Solid(32, 32, {10, 200, 10});
    ASSERT_EQ(writer.AddFrame(frame.data(), 32, 32), 0);
    ASSERT_EQ(writer.AddFrame(frame.data(), 32, 32), 0);
  }
  MovieReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(CountFrames(reader), 2);
}

TEST(MovieReader, RewindStartsAgainAndOddNamesStayFiles) {
  test::TempDir dir;
  // A colon would make libavformat look for a protocol named "clip".
  const std::string path = dir / "clip:take.mpg";
  WriteColours(path, 48, 32);
  MovieReader reader;
  ASSERT_EQ(reader.Open(path), 0);
  EXPECT_EQ(CountFrames(reader), 5);
  ASSERT_EQ(reader.Rewind(), 0);
  const uint8_t* rgb = reader.NextFrame();
  ASSERT_NE(rgb, nullptr);
  EXPECT_NEAR(MeanColor(rgb, 48, 0, 0, 48, 32)[0], kColors[0][0], 6.0);

  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.NextFrame(), nullptr);
  EXPECT_EQ(reader.Rewind(), -1);
  EXPECT_EQ(reader.Width(), 0);
}

TEST(MovieReader, ReadsTheBareVideoStreamsOfOlderRenders) {
  test::TempDir dir;
  WriteColours(dir / "new.mpg", 48, 32);
  movietest::WriteBareVideo(dir / "new.mpg", dir / "old.mpg");
  const Bytes old = test::ReadBytes(dir / "old.mpg");
  ASSERT_EQ(Bytes(old.begin(), old.begin() + 4), (Bytes{0, 0, 1, 0xB3}));
  ExpectColours(dir / "old.mpg", 48, 32, 6.0);
  MovieReader reader;
  ASSERT_EQ(reader.Open(dir / "old.mpg"), 0);
  EXPECT_EQ(CountFrames(reader), 5);
  ASSERT_EQ(reader.Rewind(), 0);
  EXPECT_EQ(CountFrames(reader), 5);
}

TEST(MovieReader, ReadsTheAnimatedGifsARenderWrites) {
  test::TempDir dir;
  const std::string path = dir / "loop.gif";
  GifMovieWriter writer;
  ASSERT_EQ(writer.Create(path, 20, 10), 0);
  for (const Rgb& c : kColors) {
    Bytes frame = Solid(20, 10, c);
    ASSERT_EQ(writer.AddFrame(frame.data()), 0);
  }
  ASSERT_EQ(writer.Finish(), 0);
  ExpectColours(path, 20, 10, 1.0);
}

TEST(MovieReader, SurvivesTruncatedAndCorruptedMovies) {
  test::TempDir dir;
  const std::string good = dir / "good.mpg";
  WriteColours(good, 32, 32);
  const Bytes bytes = test::ReadBytes(good);
  const std::string bad = dir / "bad.mpg";

  auto decodeAll = [&](const Bytes& damaged) {
    test::WriteBytes(bad, damaged);
    MovieReader reader;
    if (reader.Open(bad) != 0) return 0;
    EXPECT_GE(reader.Width(), 1);
    return CountFrames(reader);
  };

  MovieReader none;  // no file, or text: refused
  EXPECT_EQ(none.Open(dir / "absent.mpg"), -1);
  EXPECT_EQ(decodeAll(Bytes(200, 'x')), 0);
  // Cut short anywhere: never more frames than were written.
  const size_t step = std::max<size_t>(1, bytes.size() / 97);
  for (size_t size = 0; size < bytes.size(); size += step)
    EXPECT_LE(decodeAll(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(size))), 5)
        << "cut at " << size;

  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    Bytes damaged = bytes;
    for (int i = 0; i < 8; ++i)
      damaged[random() % damaged.size()] = static_cast<uint8_t>(random());
    EXPECT_LE(decodeAll(damaged), 12) << "round " << round;
  }
}

}  // namespace
}  // namespace modra
