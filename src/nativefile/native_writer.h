// Saving the whole scene as a native (.knf) file, version 3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/document.h"

namespace modra {

// Writes the scene, its textures in use, lights, camera, background and
// animation after rewinding to frame 0. 0, or -1 after "Can't open <path>
// for write: <reason>" or "Can't write output file: <path>: <reason>"
// (output_file.h words the reasons); a failed save leaves the file that
// was there untouched.
int WriteNativeFile(Document& doc, const std::string& path);

// How a primitive of `count` vertices is stored: a file's primitive word
// holds at most 2^24 - 1 vertices, so a longer primitive goes out as
// several, each (first vertex, count).
std::vector<std::pair<size_t, size_t>> FileRanges(int32_t type, size_t count);

}  // namespace modra
