// The C locale for the few C library calls that read or write numbers
// (printf, strtof): the editor's QApplication puts the user's locale in
// force, and under de_DE "%f" writes "0,5" and strtof stops at a '.', so
// every such call reads and writes as the C locale does instead. Files,
// panel fields and the command line's output are then the same whatever
// locale the process runs under.
#pragma once

#include <locale.h>

namespace modra {

// Made once and kept for the whole run.
locale_t CLocale();

// Puts the C locale in force for the calling thread until the scope ends;
// other threads and the process's locale are untouched.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(CLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};

}  // namespace modra
