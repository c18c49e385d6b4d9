// Where the thumbnail cache lives.
#pragma once

#include <string>

namespace modra {

// $XDG_CACHE_HOME/modra/ThumbNails.bin, else $HOME/.cache/modra/ThumbNails.bin
// (an empty or relative $XDG_CACHE_HOME counts as unset); "" when neither
// variable gives a place. OpenThumbnailCache makes the folder.
std::string DefaultThumbnailCachePath();

}  // namespace modra
