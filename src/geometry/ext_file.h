// Extrusion profile files (.ext). Little-endian, packed:
//   magic 0x87654400 | flags (flags in the low byte), depth (float),
//   bevel size (float), contour count (int), a point count per contour
//   (int), x and y per point (floats), a corner byte per point.
// Reading also takes the same layout byte-swapped, and the old layout
// (magic 0x87654300, in either byte order) whose flags byte is shifted
// left by one, whose corner flags are 32-bit words, and whose outer
// contour runs the other way round.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/shell.h"
#include "geometry/extrusion.h"

namespace modra {

// Loads the file into `profile` (selection cleared). 0, or -1 after one
// message to `shell`; on -1 the profile is unchanged. A file whose corner
// flags are missing still loads, without corners, after a message.
int ReadExtFile(ExtrusionProfile& profile, const std::string& path, Shell& shell);
// The same for a file's bytes held in memory; `path` only names it in
// messages.
int ReadExtMemory(ExtrusionProfile& profile, const uint8_t* data, size_t size,
                  const std::string& path, Shell& shell);
// Saves the profile in the native layout. 0, or -1 after a message; a
// failed save leaves any earlier file at `path` as it was.
int WriteExtFile(const ExtrusionProfile& profile, const std::string& path, Shell& shell);

}  // namespace modra
