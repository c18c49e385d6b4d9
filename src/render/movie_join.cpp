#include "render/movie_join.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "document/file_names.h"
#include "io/mapped_file.h"
#include "io/output_file.h"
#include "render/gif_join.h"
#include "render/mpeg_stream.h"

namespace modra {
namespace {

enum class MovieKind { kUnknown, kMpeg, kGif };

MovieKind KindOfBytes(std::span<const uint8_t> bytes) {
  static constexpr uint8_t kMpeg[4] = {0x00, 0x00, 0x01, 0xB3};
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), kMpeg, 4) == 0) return MovieKind::kMpeg;
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
  std::vector<MpegStreamInfo> infos(parts.size());
  // The frame numbers run on from part to part, from frame 0 on, as far as
  // the parts tell them.
  bool known = true;
  int expected = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string problem = ScanMpegStream(files[i]->bytes(), &infos[i]);
    if (!problem.empty()) return parts[i] + " " + problem;
    const MpegStreamInfo& a = infos[0];
    const MpegStreamInfo& b = infos[i];
    if (b.width != a.width || b.height != a.height)
      return parts[i] + " is " + std::to_string(b.width) + "x" + std::to_string(b.height) + ", " +
             parts[0] + " " + std::to_string(a.width) + "x" + std::to_string(a.height);
    if (b.rateCode != a.rateCode) return parts[i] + " has another frame rate than " + parts[0];
    if (known && b.numbered) {
      const std::string run = FrameRunProblem(i == 0 ? std::string() : parts[i - 1], parts[i],
                                              expected, b.firstFrame, b.lastFrame);
      if (!run.empty()) return run;
    }
    known = b.numbered;
    expected = b.lastFrame + 1;
  }

  OutputFile file;
  if (!file.Open(out)) return "can't create " + out;
  for (size_t i = 0; i < files.size(); ++i)
    file.Write(files[i]->bytes().data(), infos[i].end);
  static constexpr uint8_t kSequenceEndCode[4] = {0x00, 0x00, 0x01, 0xB7};
  file.Write(kSequenceEndCode, sizeof kSequenceEndCode);
  if (!file.Commit()) return "can't write " + out;
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
    files.clear();  // giflib reads them itself
    return JoinGifs(out, parts);
  }
  return JoinMpegs(out, parts, files);
}

}  // namespace modra
