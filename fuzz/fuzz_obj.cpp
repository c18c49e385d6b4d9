// Wavefront .obj models: the reader, then the import's finishing steps on
// whatever it staged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "formats/obj_reader.h"
#include "scene/bounds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace modra;
  Document doc;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (ReadWavefrontBytes(doc, text) != 0) return 0;
  ImportMesh& m = doc.importMesh;
  NormalizeMeshSize(m);
  AssignObjectsToParts(m);
  if (BuildGroupsFromMesh(doc, m, "fuzz.obj", false, false) != 0) return 0;
  ResetImportMesh(m);
  Scene& s = doc.scene;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (s.groups[g].flags & Deleted) return;
    CenterGroupGeometry(s, g);
    ComputeBoundingBox(s, g);
  });
  return 0;
}
