// Surface profile files (.surf). Little-endian, packed: magic 0xFADEDEAD,
// point count (int), x and y per point (floats), a corner byte per point.
// Reading also takes the file with its words byte-swapped (corner bytes
// are single bytes either way). The sweep settings and flags are not kept
// in the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "document/shell.h"
#include "geometry/revolution.h"

namespace modra {

// Loads the file's points and corners into `profile` (selection and
// current point cleared; flags kept). 0, or -1 after one message to
// `shell`; on -1 the profile is unchanged. A file without corner bytes
// still loads, without corners, after a warning.
int ReadSurfFile(RevolutionProfile& profile, const std::string& path, Shell& shell);
// The same for a file's bytes held in memory; `path` only names it in
// messages.
int ReadSurfMemory(RevolutionProfile& profile, const uint8_t* data, size_t size,
                   const std::string& path, Shell& shell);
// Saves the profile's points and corners. 0, or -1 after a message; a
// failed save leaves any earlier file at `path` as it was.
int WriteSurfFile(const RevolutionProfile& profile, const std::string& path, Shell& shell);

}  // namespace modra
