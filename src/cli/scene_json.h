// The scene as JSON, for `modra dump`: the document's own field names, so
// that scripts and tests outside the program can rely on them.
#pragma once

#include <nlohmann/json.hpp>

#include "document/document.h"

namespace modra {

// Live groups in pre-order, all nine lights, the camera, background,
// textures and key frames. `geometry` adds every vertex's floats. Names
// and paths are bytes from other programs' files, in any encoding: they
// print as DisplayText makes them, since JSON text must be UTF-8.
nlohmann::ordered_json SceneToJson(const Document& doc, bool geometry);

}  // namespace modra
