// 3D Studio files of any shape, read into the staging mesh and then turned
// into groups by the import's finishing steps, as Open does.
#include <cstddef>
#include <cstdint>

#include "formats/3ds_reader.h"
#include "formats/import_mesh.h"
#include "scene/bounds.h"
#include "scene/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::Document doc;
  if (modra::Read3dsBytes(doc, {data, size}) != 0) {
    // A refused file leaves the mesh empty.
    if (!doc.importMesh.faces.empty() || !doc.importMesh.parts.empty()) __builtin_trap();
    return 0;
  }
  // Touch every corner's position and every face's material so that the
  // sanitizer checks the indices the reader stored.
  modra::ImportMesh& m = doc.importMesh;
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
  modra::NormalizeMeshSize(m);
  modra::AssignObjectsToParts(m);
  if (modra::BuildGroupsFromMesh(doc, m, "fuzz.3ds", false, false) != 0) return 0;
  modra::Scene& s = doc.scene;
  modra::ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].flags & modra::Deleted) return;
    modra::CenterGroupGeometry(s, g);
    modra::ComputeBoundingBox(s, g);
  });
  return 0;
}
