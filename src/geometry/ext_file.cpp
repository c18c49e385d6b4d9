#include "geometry/ext_file.h"

#include <algorithm>
#include <new>
#include <vector>

#include "geometry/profile_file_io.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/output_file.h"

namespace modra {
namespace {

constexpr uint32_t kMagic = 0x87654400u;
constexpr uint32_t kOldMagic = 0x87654300u;

// Parses into `p`, which the caller keeps only on success. Returns "" or
// the message of the failure; `warning` gets a message that does not fail
// the load.
std::string Parse(ByteReader& r, const std::string& path, ExtrusionProfile& p,
                  std::string& warning) {
  const uint32_t word = r.U32();
  if (!r.ok()) return "Can't read " + path + "\n";
  const uint32_t swapped = __builtin_bswap32(word);
  bool old = false;
  uint32_t magic = word;
  if ((word & ~0xFFu) == kMagic || (word & ~0xFFu) == kOldMagic) {
    old = (word & ~0xFFu) == kOldMagic;
  } else if ((swapped & ~0xFFu) == kMagic || (swapped & ~0xFFu) == kOldMagic) {
    old = (swapped & ~0xFFu) == kOldMagic;
    magic = swapped;
    r.swap = true;
  } else {
    return path + " is of the wrong file type.\n";
  }
  p.flags = static_cast<int32_t>(magic & 0xFFu);
  if (old) p.flags >>= 1;

  p.depth = FiniteOr(r.F32(), 0);
  p.bevelSize = FiniteOr(r.F32(), 0);
  if (!r.ok()) return "Can't read all of " + path + "\n";

  const int32_t contours = r.I32();
  if (!r.ok()) return "Can't read " + path + "\n";
  if (contours >= 100) return "Too many contours\n";
  // note: a file with no contours (or a negative count) has nothing to
  // extrude and would leave the editor without an outer contour.
  if (contours < 1) return "Bad contour count in " + path + "\n";
  p.pointCounts.resize(contours);
  if (!r.Words(p.pointCounts.data(), p.pointCounts.size())) return "Can't read " + path + "\n";
  int64_t total = 0;
  for (int32_t n : p.pointCounts) {
    // Every contour closes on its own first point, so it needs one.
    if (n < 1) return "Bad point count in " + path + "\n";
    total += n;
  }
  // The profile holds at most kMaxProfilePoints points; a file that claims
  // more is refused before anything is allocated for it.
  if (total > kMaxProfilePoints) return "Too many points in " + path + "\n";

  p.points.resize(2 * static_cast<size_t>(total));
  if (!r.Words(p.points.data(), p.points.size())) return "Can't read " + path + "\n";

  // Cleared first: corner flags that are not there leave no corners.
  p.corners.assign(total, 0);
  bool cornersRead = true;
  if (old) {
    std::vector<uint32_t> words(total);
    cornersRead = r.Words(words.data(), words.size());
    for (int64_t i = 0; cornersRead && i < total; ++i)
      p.corners[i] = static_cast<uint8_t>(words[i] & 0xFFu);
  } else {
    cornersRead = r.Bytes(p.corners.data(), p.corners.size());
  }
  if (!cornersRead) {
    warning = "Can't read corner info from " + path + "\n";
  }
  if (old) {
    // The old layout's outer contour ran the other way round.
    const int n = p.pointCounts[0];
    for (int i = 0, j = n - 1; i < j; ++i, --j) {
      std::swap(p.points[2 * i], p.points[2 * j]);
      std::swap(p.points[2 * i + 1], p.points[2 * j + 1]);
      std::swap(p.corners[i], p.corners[j]);
    }
  }
  p.selected.assign(total, 0);
  return "";
}

}  // namespace

int ReadExtMemory(ExtrusionProfile& profile, const uint8_t* data, size_t size,
                  const std::string& path, Shell& shell) {
  return ReadProfileBytes(profile, data, size, path, shell, Parse);
}

int ReadExtFile(ExtrusionProfile& profile, const std::string& path, Shell& shell) {
  FileBytes bytes;
  if (!ReadProfileFile(path, bytes, shell)) return -1;
  return ReadExtMemory(profile, bytes.data.get(), bytes.size, path, shell);
}

int WriteExtFile(const ExtrusionProfile& profile, const std::string& path, Shell& shell) {
  int64_t total = 0;
  for (int32_t n : profile.pointCounts)
    total += n;
  // A profile whose arrays disagree would write a file that cannot be read.
  const bool consistent = !profile.pointCounts.empty() &&
                          profile.corners.size() == static_cast<size_t>(total) &&
                          profile.points.size() == 2 * static_cast<size_t>(total);
  OutputFile out;
  if (!out.Open(path)) {
    shell.Message("Can't open " + path + " for write: " + out.reason() + "\n");
    return -1;
  }
  std::vector<uint8_t> head;
  AppendWord(head, kMagic | (static_cast<uint32_t>(profile.flags) & 0xFFu));
  AppendFloat(head, profile.depth);
  AppendFloat(head, profile.bevelSize);
  AppendWord(head, static_cast<uint32_t>(profile.pointCounts.size()));
  for (int32_t n : profile.pointCounts)
    AppendWord(head, static_cast<uint32_t>(n));
  if (!consistent || !out.Write(head.data(), head.size())) {
    shell.Message("Can't write all of " + out.error() + "\n");
    return -1;
  }
  std::vector<uint8_t> body;
  body.reserve(9 * static_cast<size_t>(total));
  for (float v : profile.points)
    AppendFloat(body, v);
  for (uint8_t c : profile.corners)
    body.push_back(c);
  // The body is the file's tail, so a failure to get it onto the disk
  // (also when the temporary file replaces the old one) is reported as such.
  if (!out.Write(body.data(), body.size()) || !out.Commit()) {
    shell.Message("Can't write entire file to " + out.error() + "\n");
    return -1;
  }
  return 0;
}

}  // namespace modra
