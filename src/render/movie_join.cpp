#include "render/movie_join.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "document/file_names.h"
#include "io/mapped_file.h"
#include "io/output_file.h"
#include "render/gif_join.h"
#include "render/mpeg_program_writer.h"
#include "render/mpeg_stream.h"
#include "render/picture_check.h"

namespace modra {
namespace {

enum class MovieKind { kUnknown, kMpeg, kGif };

MovieKind KindOfBytes(std::span<const uint8_t> bytes) {
  if (LooksLikeMpegMovie(bytes)) return MovieKind::kMpeg;
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "GIF8", 4) == 0) return MovieKind::kGif;
  return MovieKind::kUnknown;
}

// The kind an output name's extension asks for, kUnknown for any other.
MovieKind KindOfName(const std::string& name) {
  if (EndsWithNoCase(name, ".mpg") || EndsWithNoCase(name, ".mpeg")) return MovieKind::kMpeg;
  if (EndsWithNoCase(name, ".gif")) return MovieKind::kGif;
  return MovieKind::kUnknown;
}

std::string Frames(int first, int last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + " to " + std::to_string(last);
}

std::string JoinMpegs(const std::string& out, const std::vector<std::string>& parts,
                      const std::vector<std::unique_ptr<MappedFile>>& files) {
  // Every part is read through before anything is written, then again to
  // copy its pictures: one picture at a time is in memory, whatever the
  // length of the parts.
  MpegStreamInfo first;
  bool known = true;
  int expected = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    MpegStreamInfo b;
    const std::string problem = ScanMpegMovie(files[i]->bytes(), &b);
    if (!problem.empty()) return parts[i] + " " + problem;
    if (i == 0) first = b;
    const MpegStreamInfo& a = first;
    if (b.width != a.width || b.height != a.height)
      return parts[i] + " is " + std::to_string(b.width) + "x" + std::to_string(b.height) + ", " +
             parts[0] + " " + std::to_string(a.width) + "x" + std::to_string(a.height);
    if (b.rateCode != a.rateCode) return parts[i] + " has another frame rate than " + parts[0];
    // The frame numbers run on from part to part, from frame 0 on, as far
    // as the parts tell them.
    if (known && b.numbered) {
      const std::string run = FrameRunProblem(i == 0 ? std::string() : parts[i - 1], parts[i],
                                              expected, b.firstFrame, b.lastFrame);
      if (!run.empty()) return run;
    }
    known = b.numbered;
    expected = b.lastFrame + 1;
  }

  // The pictures, headers and check values as the parts hold them, at the
  // times of the whole movie; pictures of older parts get the check value
  // a render now gives them.
  MpegProgramWriter writer;
  if (!writer.Open(out, FrameRateOfCode(first.rateCode))) return "can't create " + writer.error();
  int64_t frame = 0;
  std::vector<uint8_t> checked;
  for (size_t i = 0; i < parts.size(); ++i) {
    MpegStreamInfo info;
    const std::string problem =
        ScanMpegMovie(files[i]->bytes(), &info, [&](std::span<const uint8_t> picture) {
          checked.assign(picture.begin(), picture.end());
          AddMpegPictureCheck(&checked);
          writer.AddPicture(checked, frame++);
        });
    if (!problem.empty()) return parts[i] + " " + problem;  // changed since the first reading
  }
  if (!writer.Finish()) return "can't write " + writer.error();
  return {};
}

}  // namespace

std::string FrameRunProblem(const std::string& previous, const std::string& part, int expected,
                            int first, int last) {
  if (first > expected)
    return Frames(expected, first - 1) + " missing " +
           (previous.empty() ? "before " + part : "between " + previous + " and " + part);
  if (first < expected)
    return part + " repeats " + Frames(first, std::min(expected - 1, last)) + " of " + previous;
  return {};
}

std::string JoinMovies(const std::string& out, const std::vector<std::string>& parts) {
  if (parts.empty()) return "no parts to join";
  std::vector<std::unique_ptr<MappedFile>> files;
  MovieKind kind = MovieKind::kUnknown;
  for (const std::string& part : parts) {
    files.push_back(std::make_unique<MappedFile>());
    if (!files.back()->Open(part)) return "can't read " + part;
    const MovieKind k = KindOfBytes(files.back()->bytes());
    if (k == MovieKind::kUnknown) return part + " is neither an MPEG-1 movie nor a GIF";
    if (kind != MovieKind::kUnknown && k != kind)
      return part + " is " + (k == MovieKind::kGif ? "a GIF" : "an MPEG-1 movie") + ", " +
             parts[0] + " " + (kind == MovieKind::kGif ? "a GIF" : "an MPEG-1 movie");
    kind = k;
  }
  const MovieKind named = KindOfName(out);
  if (named != MovieKind::kUnknown && named != kind)
    return out + " names " + (named == MovieKind::kGif ? "a GIF" : "an MPEG-1 movie") +
           " but the parts are " + (kind == MovieKind::kGif ? "GIFs" : "MPEG-1 movies");
  if (kind == MovieKind::kGif) {
    std::vector<std::span<const uint8_t>> bytes;
    for (const std::unique_ptr<MappedFile>& file : files)
      bytes.push_back(file->bytes());
    return JoinGifs(out, parts, bytes);
  }
  return JoinMpegs(out, parts, files);
}

}  // namespace modra
