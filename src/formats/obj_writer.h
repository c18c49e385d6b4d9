// Wavefront .obj export of the whole scene, with a .mtl library beside it.
#pragma once

#include <string>

#include "scene/document.h"

namespace modra {

// 0, or -1 after "Can't open %s for write" / "Can't write output file".
int WriteWavefrontFile(Document& doc, const std::string& path);

}  // namespace modra
