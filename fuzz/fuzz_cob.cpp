// Truespace .cob files, ASCII and binary, into the staging mesh; what a
// successful read stores must point only inside the mesh's own tables,
// and the import's finishing steps must turn it into groups.
#include <cstddef>
#include <cstdint>

#include "formats/cob_reader.h"
#include "formats/import_mesh.h"
#include "scene/bounds.h"
#include "scene/scene.h"

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
  if (modra::ReadCobBytes(doc, {data, size}) == 0) {
    modra::ImportMesh& m = doc.importMesh;
    CheckMesh(m);
    modra::NormalizeMeshSize(m);
    modra::AssignObjectsToParts(m);
    if (modra::BuildGroupsFromMesh(doc, m, "fuzz.cob", false, false) != 0) return 0;
    modra::Scene& s = doc.scene;
    modra::ForEachGroup(s, s.rootHead, [&](int g) {
      modra::CenterGroupGeometry(s, g);
      modra::ComputeBoundingBox(s, g);
    });
  } else if (!doc.importMesh.faces.empty() || !doc.importMesh.parts.empty())
    __builtin_trap();  // a refused file leaves the mesh empty
  return 0;
}
