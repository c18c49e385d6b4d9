// Saving the whole scene as a native (.knf) file, version 3.
#pragma once

#include <string>

#include "scene/document.h"

namespace modra {

// Writes the scene, its textures in use, lights, camera, background and
// animation after rewinding to frame 0. 0, or -1 after "Can't open %s for
// write" or "Can't write output file"; a failed save leaves the file that
// was there untouched.
int WriteNativeFile(Document& doc, const std::string& path);

}  // namespace modra
