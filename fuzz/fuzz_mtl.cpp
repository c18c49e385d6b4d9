// Wavefront .mtl libraries, and the objects a model makes of what they hold.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/obj_reader.h"
#include "formats/wavefront_materials.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace modra;
  Document doc;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (ParseWavefrontMaterials(doc.materials, text) != 0) return 0;
  for (const WavefrontMaterial& m : doc.materials.entries)
    UseWavefrontMaterial(doc, m.name);
  return 0;
}
