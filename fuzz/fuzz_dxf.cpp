// DXF text: the group reader, the entity readers and the normal pass.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  // A later SEQEND makes the last polygon mesh again, so a few bytes can ask
  // for millions of vertices; past this the reader says the file is too large.
  constexpr size_t kMaxVertices = 2'000'000;
  const int result = modra::ReadDxfBytes(doc, std::span(data, size), kMaxVertices);
  if (result != 0 && result != -1 && result != -2 && result != -3) __builtin_trap();
  if (result == 0) {
    // Every corner must name a vertex of the table.
    const modra::ImportMesh& m = doc.importMesh;
    for (const modra::MeshFace& f : m.faces)
      for (int k = 0; k < f.cornerCount; ++k)
        if (f.cornerVertices[k] < 0 ||
            static_cast<size_t>(f.cornerVertices[k]) >= m.meshVertices.size())
          __builtin_trap();
  }
  return 0;
}
