#include "render/movie_join.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "document/file_names.h"
#include "io/mapped_file.h"
#include "render/gif_join.h"
#include "render/mp4_join.h"
#include "render/mpeg_join.h"
#include "render/mpeg_stream.h"

namespace modra {
namespace {

enum class MovieKind { kUnknown, kMpeg, kGif, kMp4 };

MovieKind KindOfBytes(std::span<const uint8_t> bytes) {
  if (LooksLikeMpegMovie(bytes)) return MovieKind::kMpeg;
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "GIF8", 4) == 0) return MovieKind::kGif;
  // An MP4 file opens with its file type box.
  if (bytes.size() >= 8 && std::memcmp(bytes.data() + 4, "ftyp", 4) == 0) return MovieKind::kMp4;
  return MovieKind::kUnknown;
}

// The kind an output name's extension asks for, kUnknown for any other.
MovieKind KindOfName(const std::string& name) {
  if (EndsWithNoCase(name, ".mpg") || EndsWithNoCase(name, ".mpeg")) return MovieKind::kMpeg;
  if (EndsWithNoCase(name, ".gif")) return MovieKind::kGif;
  if (EndsWithNoCase(name, ".mp4")) return MovieKind::kMp4;
  return MovieKind::kUnknown;
}

const char* OneOf(MovieKind kind) {
  switch (kind) {
    case MovieKind::kGif:
      return "a GIF";
    case MovieKind::kMp4:
      return "an MP4 movie";
    default:
      return "an MPEG-1 movie";
  }
}

const char* AllOf(MovieKind kind) {
  switch (kind) {
    case MovieKind::kGif:
      return "GIFs";
    case MovieKind::kMp4:
      return "MP4 movies";
    default:
      return "MPEG-1 movies";
  }
}

std::string Frames(int first, int last) {
  return first == last ? "frame " + std::to_string(first)
                       : "frames " + std::to_string(first) + " to " + std::to_string(last);
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
    if (!files.back()->Open(part)) return "can't read " + part + ": " + files.back()->problem();
    const MovieKind k = KindOfBytes(files.back()->bytes());
    if (k == MovieKind::kUnknown) return part + " is neither an MPEG-1 or MP4 movie nor a GIF";
    if (kind != MovieKind::kUnknown && k != kind)
      return part + " is " + OneOf(k) + ", " + parts[0] + " " + OneOf(kind);
    kind = k;
  }
  const MovieKind named = KindOfName(out);
  if (named != MovieKind::kUnknown && named != kind)
    return out + " names " + OneOf(named) + " but the parts are " + AllOf(kind);
  std::vector<std::span<const uint8_t>> bytes;
  for (const std::unique_ptr<MappedFile>& file : files)
    bytes.push_back(file->bytes());
  switch (kind) {
    case MovieKind::kGif:
      return JoinGifs(out, parts, bytes);
    case MovieKind::kMp4:
      return JoinMp4s(out, parts, bytes);
    default:
      return JoinMpegs(out, parts, bytes);
  }
}

}  // namespace modra
