#include "browser/cache_location.h"

#include <cstdlib>

namespace modra {

std::string DefaultThumbnailCachePath() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/modra/ThumbNails.bin";
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return std::string(home) + "/.cache/modra/ThumbNails.bin";
  return "";
}

}  // namespace modra
