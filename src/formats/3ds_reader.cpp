#include "formats/3ds_reader.h"

// Placeholder until the reader lands.
namespace modra {

int Read3dsModel(Document&, const std::string&) {
  return -2;
}
int Read3dsBytes(Document&, std::span<const uint8_t>) {
  return -2;
}

}  // namespace modra
