// Truespace .cob files, ASCII and binary, into the staging mesh; what a
// successful read stores must point only inside the mesh's own tables.
#include <cstddef>
#include <cstdint>

#include "formats/cob_reader.h"

namespace {

bool Inside(int32_t index, size_t size) {
  return index >= 0 && static_cast<size_t>(index) < size;
}

void CheckMesh(const modra::ImportMesh& m) {
  if (m.cornerTexCoords.size() != m.faces.size()) __builtin_trap();
  for (size_t i = 0; i < m.faces.size(); ++i) {
    const modra::MeshFace& f = m.faces[i];
    if (f.cornerCount != 3 && f.cornerCount != 4) __builtin_trap();
    for (int k = 0; k < f.cornerCount; ++k) {
      if (!Inside(f.cornerVertices[k], m.meshVertices.size())) __builtin_trap();
      const int32_t t = m.cornerTexCoords[i][k];
      if (t != -1 && !Inside(t, m.meshTexCoords.size())) __builtin_trap();
    }
    if (!Inside(f.objectIndex, m.objects.size())) __builtin_trap();
    if (f.colorObject != -1 && !Inside(f.colorObject, m.objects.size())) __builtin_trap();
    if (!Inside(f.partIndex, m.parts.size())) __builtin_trap();
    if (!Inside(f.entryIndex, m.parts[f.partIndex].entries.size())) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  if (modra::ReadCobBytes(doc, {data, size}) == 0)
    CheckMesh(doc.importMesh);
  else if (!doc.importMesh.faces.empty() || !doc.importMesh.parts.empty())
    __builtin_trap();  // a refused file leaves the mesh empty
  return 0;
}
