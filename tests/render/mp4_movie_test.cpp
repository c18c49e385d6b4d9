// MP4 movies of a render: frames decode back through libavformat and
// libavcodec in their colours, H.264 where the distribution has an encoder
// for it, odd sizes made even by repeating the edge, and a movie that
// cannot be made leaves nothing under its name.
#include "render/mp4_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "movie_test_util.h"
#include "render/ffmpeg_handles.h"
#include "render/movie_reader.h"
#include "render/mp4_muxer.h"

extern "C" {
#include <libavutil/log.h>
}

namespace modra {
namespace {

using movietest::Bytes;
using movietest::Halves;
using movietest::MeanColor;
using movietest::Rgb;
using movietest::Solid;

const Rgb kColors[] = {{200, 30, 40}, {20, 180, 60}, {40, 50, 220}, {230, 230, 20}, {90, 90, 90}};

// What the container says of its one stream.
struct Mp4Stream {
  bool opened = false;
  std::string format;
  AVCodecID codec = AV_CODEC_ID_NONE;
  int width = 0, height = 0;
  int pixelFormat = -1;
  AVRational rate{0, 1};
  int64_t frames = 0;
  std::string firstFrame;  // the tag, empty when missing
};

Mp4Stream Probe(const std::string& path) {
  Mp4Stream s;
  AVFormatContext* f = nullptr;
  if (avformat_open_input(&f, path.c_str(), nullptr, nullptr) < 0) return s;
  ffmpeg::InputFormat format(f);
  // The pixel format is the decoder's to tell.
  if (avformat_find_stream_info(f, nullptr) < 0 || f->nb_streams != 1) return s;
  const AVStream* st = f->streams[0];
  s.opened = true;
  s.format = f->iformat->name;
  s.codec = st->codecpar->codec_id;
  s.width = st->codecpar->width;
  s.height = st->codecpar->height;
  s.pixelFormat = st->codecpar->format;
  s.rate = st->avg_frame_rate;
  s.frames = st->nb_frames;
  if (const AVDictionaryEntry* tag = av_dict_get(f->metadata, kMp4FirstFrameKey, nullptr, 0))
    s.firstFrame = tag->value;
  return s;
}

// Every picture of the movie at `path`, decoded to RGB.
std::vector<Bytes> Decode(const std::string& path, int* width, int* height) {
  MovieReader reader;
  std::vector<Bytes> frames;
  if (reader.Open(path) != 0) return frames;
  *width = reader.Width();
  *height = reader.Height();
  const size_t size = static_cast<size_t>(reader.Width()) * reader.Height() * 3;
  while (const uint8_t* rgb = reader.NextFrame())
    frames.emplace_back(rgb, rgb + size);
  return frames;
}

void ExpectNear(const std::array<double, 3>& mean, const Rgb& want, double tolerance,
                const std::string& what) {
  for (int c = 0; c < 3; ++c)
    EXPECT_NEAR(mean[c], want[c], tolerance) << what << " channel " << c;
}

struct Mp4Movie : ::testing::Test {
  test::TempDir dir;
  void SetUp() override { av_log_set_level(AV_LOG_ERROR); }
};

// Five frames of kColors into a movie in `folder` coded as `coded`: it
// reaches its name only at Finish, and decodes back in its colours.
void ExpectColours(const test::TempDir& folder, Mp4Codec codec, AVCodecID coded) {
  SCOPED_TRACE(avcodec_get_name(coded));
  const std::string path = folder / (std::string(avcodec_get_name(coded)) + ".mp4");
  const long before = folder.Entries();
  Mp4Writer writer(codec);
  ASSERT_EQ(writer.Open(path, 5), 0);
  EXPECT_EQ(writer.EncoderName(), "");
  for (const Rgb& c : kColors)
    ASSERT_EQ(writer.AddFrame(Solid(32, 24, c).data(), 32, 24), 0);
  const AVCodec* encoder = avcodec_find_encoder(coded);
  ASSERT_NE(encoder, nullptr);
  EXPECT_EQ(writer.EncoderName(), encoder->name);
  EXPECT_EQ(writer.FramesWritten(), 5);
  EXPECT_FALSE(std::filesystem::exists(path));  // not under its name before Finish
  ASSERT_EQ(writer.Finish(), 0);
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(folder.Entries(), before + 1);

  const Mp4Stream s = Probe(path);
  ASSERT_TRUE(s.opened);
  EXPECT_NE(s.format.find("mp4"), std::string::npos);
  EXPECT_EQ(s.codec, coded);
  EXPECT_EQ(s.pixelFormat, AV_PIX_FMT_YUV420P);
  EXPECT_EQ(s.rate.num, 30);
  EXPECT_EQ(s.rate.den, 1);
  EXPECT_EQ(s.frames, 5);
  EXPECT_EQ(s.firstFrame, "0");

  int w = 0, h = 0;
  const std::vector<Bytes> frames = Decode(path, &w, &h);
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 24);
  for (size_t f = 0; f < frames.size(); ++f)
    ExpectNear(MeanColor(frames[f].data(), 32, 0, 0, 32, 24), kColors[f], 6,
               "frame " + std::to_string(f));
}

// H.264 wherever libavcodec has an encoder for it, as Debian's does, and
// MPEG-4 part 2 when asked for.
TEST_F(Mp4Movie, FramesDecodeBackInTheirColoursAsH264OrMpeg4) {
  const bool h264 = avcodec_find_encoder(AV_CODEC_ID_H264) != nullptr;
  ExpectColours(dir, Mp4Codec::kBest, h264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_MPEG4);
  ExpectColours(dir, Mp4Codec::kMpeg4, AV_CODEC_ID_MPEG4);
}

// One frame is a movie too; the writer opens again after Finish, and
// carries the number of the part's first frame.
TEST_F(Mp4Movie, OneFrameAndTheFirstFrameNumber) {
  Mp4Writer writer;
  for (int first : {0, 40}) {
    const std::string path = dir / ("one" + std::to_string(first) + ".mp4");
    ASSERT_EQ(writer.Open(path, 1, first), 0);
    ASSERT_EQ(writer.AddFrame(Solid(16, 16, kColors[2]).data(), 16, 16), 0);
    ASSERT_EQ(writer.Finish(), 0);
    EXPECT_EQ(Probe(path).firstFrame, std::to_string(first));
    int w = 0, h = 0;
    const std::vector<Bytes> frames = Decode(path, &w, &h);
    ASSERT_EQ(frames.size(), 1u);
    ExpectNear(MeanColor(frames[0].data(), 16, 0, 0, 16, 16), kColors[2], 6, "the one frame");
  }
}

// 33 x 17 becomes 34 x 18: the extra column and row repeat their
// neighbours, so the right half's colour runs to the edge and nothing
// dark appears along it. A later frame of another size is scaled.
TEST_F(Mp4Movie, OddSidesAreMadeEvenByRepeatingTheEdge) {
  const std::string path = dir / "odd.mp4";
  const Rgb left = {220, 40, 40}, right = {40, 40, 220};
  Mp4Writer writer;
  ASSERT_EQ(writer.Open(path, 3), 0);
  ASSERT_EQ(writer.AddFrame(Halves(33, 17, left, right).data(), 33, 17), 0);
  EXPECT_EQ(writer.Width(), 34);
  EXPECT_EQ(writer.Height(), 18);
  ASSERT_EQ(writer.AddFrame(Solid(1, 1, kColors[1]).data(), 1, 1), 0);
  ASSERT_EQ(writer.AddFrame(Solid(65, 9, kColors[3]).data(), 65, 9), 0);
  ASSERT_EQ(writer.Finish(), 0);

  int w = 0, h = 0;
  const std::vector<Bytes> frames = Decode(path, &w, &h);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(w, 34);
  EXPECT_EQ(h, 18);
  ExpectNear(MeanColor(frames[0].data(), w, 0, 0, 12, 18), left, 8, "left half");
  ExpectNear(MeanColor(frames[0].data(), w, 22, 0, 12, 18), right, 8, "right half");
  ExpectNear(MeanColor(frames[0].data(), w, 33, 0, 1, 18), right, 12, "the added column");
  ExpectNear(MeanColor(frames[0].data(), w, 22, 17, 12, 1), right, 12, "the added row");
  ExpectNear(MeanColor(frames[1].data(), w, 0, 0, w, h), kColors[1], 8, "a 1x1 frame");
  ExpectNear(MeanColor(frames[2].data(), w, 0, 0, w, h), kColors[3], 8, "a 65x9 frame");
}

TEST_F(Mp4Movie, AMovieThatCannotBeMadeIsToldAndLeavesNoFile) {
  Mp4Writer writer;
  const std::string missing = dir / "missing/m.mp4";
  EXPECT_EQ(writer.Open(missing, 1), -1);
  EXPECT_EQ(writer.Error(), missing + ": No such file or directory");
  EXPECT_FALSE(writer.IsOpen());
  if (::geteuid() != 0) {  // root writes into any folder
    std::filesystem::create_directory(dir / "locked");
    std::filesystem::permissions(
        dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const std::string locked = dir / "locked/m.mp4";
    EXPECT_EQ(writer.Open(locked, 1), -1);
    EXPECT_EQ(writer.Error(), locked + ": Permission denied");
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "locked"));
  }
  // Refused arguments, and a movie that got no frame, leave nothing either.
  const std::string path = dir / "m.mp4";
  EXPECT_EQ(writer.Open(path, 0), -1);
  EXPECT_EQ(writer.Open(path, 1, -1), -1);
  ASSERT_EQ(writer.Open(path, 2), 0);
  const Bytes red = Solid(4, 4, kColors[0]);
  EXPECT_EQ(writer.AddFrame(nullptr, 4, 4), -1);
  EXPECT_EQ(writer.AddFrame(red.data(), 0, 4), -1);
  EXPECT_EQ(writer.AddFrame(red.data(), Mp4Writer::kMaxSide + 1, 4), -1);
  EXPECT_EQ(writer.Finish(), -1);
  EXPECT_EQ(writer.AddFrame(red.data(), 4, 4), -1);  // nothing open
  std::filesystem::remove(dir / "locked");
  EXPECT_EQ(dir.Entries(), 0);

  // An older movie stays until a new one is finished.
  test::WriteText(path, "older");
  ASSERT_EQ(writer.Open(path, 1), 0);
  ASSERT_EQ(writer.AddFrame(red.data(), 4, 4), 0);
  EXPECT_EQ(test::ReadText(path), "older");
  ASSERT_EQ(writer.Finish(), 0);
  EXPECT_EQ(Probe(path).frames, 1);
  EXPECT_EQ(dir.Entries(), 1);
}

}  // namespace
}  // namespace modra
