// "Export to SkyLoom": the scene as Skyloom scene-description text (.gfx):
// texture records, a surface and an orientation record per group, then the
// hierarchy with every leaf group's geometry written vertex by vertex.
// Lights, camera and animation are not part of it.
#pragma once

#include <string>
#include <vector>

#include "document/document.h"

namespace modra {

inline constexpr size_t kMaxSkyloomTextures = 100;

// The textures the export lists, in pre-order of the groups that are
// Textured (Deleted slots included), each once. When a distinct texture
// arrives with the list full it takes the last place, so the list never
// holds more than kMaxSkyloomTextures.
std::vector<int> CollectSkyloomTextures(const Scene& s);

// Rewinds the animation to frame 0 and writes the scene to `path`.
// 0 on success. -1 after the message "Can't open <path> for write:
// <reason>" when the file cannot be created, or "Can't write output file:
// <path>: <reason>" when a write fails (output_file.h words the reasons); a
// failed export leaves the file that was there untouched.
int WriteSkyloomFile(Document& doc, const std::string& path);

}  // namespace modra
