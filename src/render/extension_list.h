// Whether a space-separated extension string (GL's or EGL's) names an
// extension: a whole word, not the prefix of a longer name.
#pragma once

#include <cstring>

namespace modra {

inline bool HasExtension(const char* list, const char* name) {
  if (!list) return false;
  const size_t length = std::strlen(name);
  for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
    if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
  return false;
}

}  // namespace modra
