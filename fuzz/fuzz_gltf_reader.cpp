// glTF models, text and binary: tinygltf's parse, then every check and
// step of the reader on what it gave, and the bounds of the groups made.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/gltf_reader.h"
#include "scene/bounds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace modra;
  Document doc;
  // No folder: a file that names another is refused without a look at the disk.
  if (ReadGltfBytes(doc, std::span(data, size), "", false) != 0) return 0;
  Scene& s = doc.scene;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!(s.groups[g].flags & Deleted)) ComputeBoundingBox(s, g);
  });
  return 0;
}
