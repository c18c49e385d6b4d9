// 3D Studio files of any shape, read into the staging mesh.
#include <cstddef>
#include <cstdint>

#include "formats/3ds_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  if (modra::Read3dsBytes(doc, {data, size}) == 0) {
    // Touch every corner's position and every face's material so that the
    // sanitizer checks the indices the reader stored.
    const modra::ImportMesh& m = doc.importMesh;
    float sum = 0;
    for (const modra::MeshFace& f : m.faces) {
      for (int k = 0; k < f.cornerCount; ++k)
        sum += m.meshVertices.at(static_cast<size_t>(f.cornerVertices[k]))[0];
      sum += m.objects.at(static_cast<size_t>(f.objectIndex)).color[0];
      sum += static_cast<float>(m.parts.at(static_cast<size_t>(f.partIndex))
                                    .entries.at(static_cast<size_t>(f.entryIndex))
                                    .key);
    }
    asm volatile("" : : "r"(sum));
  }
  return 0;
}
