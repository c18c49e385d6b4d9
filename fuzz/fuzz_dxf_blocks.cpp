// DXF text with blocks: the placements of nested, repeated and arrayed
// blocks, and the polyface meshes they may hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  // Small budgets keep each run short; past them the reader says the file
  // is too large, which is all there is to check.
  const modra::DxfLimits limits{
      .maxVertices = 2'000'000, .maxPlacedFaces = 200'000, .maxPlacedText = 8u << 20};
  const int result = modra::ReadDxfBytes(doc, std::span(data, size), limits);
  if (result != 0 && result != -1 && result != -2 && result != -3) __builtin_trap();
  const modra::ImportMesh& m = doc.importMesh;
  // Whatever was read, every corner must name a vertex of the table.
  for (const modra::MeshFace& f : m.faces) {
    if (f.cornerCount != 3 && f.cornerCount != 4) __builtin_trap();
    for (int k = 0; k < f.cornerCount; ++k)
      if (f.cornerVertices[k] < 0 ||
          static_cast<size_t>(f.cornerVertices[k]) >= m.meshVertices.size())
        __builtin_trap();
  }
  if (result == 0 && m.meshVertices.size() > limits.maxVertices) __builtin_trap();
  return 0;
}
