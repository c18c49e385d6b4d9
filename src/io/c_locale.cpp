#include "io/c_locale.h"

namespace modra {

locale_t CLocale() {
  // note: "C" is built into the C library, so this cannot fail; were it
  // to, uselocale(0) changes nothing and the process's locale stays.
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

}  // namespace modra
