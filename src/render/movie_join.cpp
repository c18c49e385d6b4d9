#include "render/movie_join.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "document/file_names.h"
#include "io/mapped_file.h"
#include "render/gif_join.h"
#include "render/mpeg_join.h"
#include "render/mpeg_stream.h"

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
  std::vector<std::span<const uint8_t>> bytes;
  for (const std::unique_ptr<MappedFile>& file : files)
    bytes.push_back(file->bytes());
  return kind == MovieKind::kGif ? JoinGifs(out, parts, bytes) : JoinMpegs(out, parts, bytes);
}

}  // namespace modra
