// A picture that came inside a model file has no file of its own, yet a
// scene file names its textures by file: a scene saved to disk needs its
// held pictures beside it, where opening it looks for textures last.
#pragma once

#include <string>
#include <string_view>

#include "images/texture_table.h"

namespace modra {

// Writes `entry`'s held picture into `folder` under its file name or, when
// something else already has that name, under "<stem> (2)<ending>" and on
// up to 99; a file there with the same bytes serves as it is, and nothing
// there is ever replaced. The file name used, or "" with `error` ("<path>:
// <reason>") when none could be written.
std::string WriteHeldPicture(const TextureEntry& entry, std::string_view folder,
                             std::string& error);

}  // namespace modra
