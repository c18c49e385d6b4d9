#include "geometry/surf_file.h"

#include <algorithm>
#include <new>
#include <vector>

#include "geometry/extrusion.h"
#include "geometry/profile_file_io.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/output_file.h"

namespace modra {
namespace {

constexpr uint32_t kMagic = 0xFADEDEADu;

// Parses into `p`, which the caller keeps only on success. Returns "" or
// the message of the failure; `warning` gets a message that does not fail
// the load.
std::string Parse(ByteReader& r, const std::string& path, RevolutionProfile& p,
                  std::string& warning) {
  const uint32_t word = r.U32();
  if (!r.ok()) return "Can't read " + path + "\n";
  if (word != kMagic) {
    if (__builtin_bswap32(word) != kMagic) return path + " is of the wrong file type.\n";
    r.swap = true;
  }
  const int32_t count = r.I32();
  if (!r.ok()) return "Can't read " + path + "\n";
  if (count < 0) return "Bad point count in " + path + "\n";
  // The profile holds at most kMaxProfilePoints points; a file that claims
  // more is refused before anything is allocated for it.
  if (count > kMaxProfilePoints) return "Too many points in " + path + "\n";

  const size_t floats = 2 * static_cast<size_t>(count);
  const size_t present = std::min(floats, r.remaining() / 4);
  if (present < floats) {
    return "Can't read " + std::to_string(count) + " points of " + path + ".  Only got " +
           std::to_string(present) + "\n";
  }
  p.points.resize(floats);
  r.Words(p.points.data(), floats);
  // Cleared first: corner bytes that are not there leave no corners.
  p.corners.assign(count, 0);
  if (!r.Bytes(p.corners.data(), p.corners.size())) {
    warning = "Warning: Old file format has no corner info";
  }
  p.selected.assign(count, 0);
  p.current = -1;
  return "";
}

}  // namespace

int ReadSurfMemory(RevolutionProfile& profile, const uint8_t* data, size_t size,
                   const std::string& path, Shell& shell) {
  return ReadProfileBytes(profile, data, size, path, shell, Parse);
}

int ReadSurfFile(RevolutionProfile& profile, const std::string& path, Shell& shell) {
  FileBytes bytes;
  if (!ReadProfileFile(path, bytes, shell)) return -1;
  return ReadSurfMemory(profile, bytes.data.get(), bytes.size, path, shell);
}

int WriteSurfFile(const RevolutionProfile& profile, const std::string& path, Shell& shell) {
  const size_t count = profile.corners.size();
  OutputFile out;
  if (!out.Open(path)) {
    shell.Message("Can't open " + path + " for write: " + out.reason() + "\n");
    return -1;
  }
  std::vector<uint8_t> head;
  AppendWord(head, kMagic);
  AppendWord(head, static_cast<uint32_t>(count));
  // A profile whose arrays disagree would write a file that cannot be read.
  if (profile.points.size() != 2 * count || !out.Write(head.data(), head.size())) {
    shell.Message("Can't write all of " + out.error() + "\n");
    return -1;
  }
  std::vector<uint8_t> body;
  body.reserve(9 * count);
  for (float v : profile.points)
    AppendFloat(body, v);
  body.insert(body.end(), profile.corners.begin(), profile.corners.end());
  // The body is the file's tail, so a failure to get it onto the disk
  // (also when the temporary file replaces the old one) is reported as such.
  if (!out.Write(body.data(), body.size()) || !out.Commit()) {
    shell.Message("Can't write entire file to " + out.error() + "\n");
    return -1;
  }
  return 0;
}

}  // namespace modra
