#include "formats/obj_writer.h"

// Placeholder until the writer lands.
namespace modra {

int WriteWavefrontFile(Document&, const std::string&) {
  return -1;
}

}  // namespace modra
