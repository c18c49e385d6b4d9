#include "geometry/regenerate.h"

#include <algorithm>

#include "geometry/extrusion.h"
#include "geometry/primitives.h"
#include "geometry/revolution.h"
#include "scene/bounds.h"

namespace modra {
namespace {

// The profile generators write positions and normals only; a group that
// carries vertex colours shows its own colour on every vertex.
void PaintVertexColors(DisplayGroup& group) {
  if (!(group.flags & VertexColors)) return;
  const size_t stride = VertexStride(group);
  for (DisplayPrimitive& prim : group.primitives) {
    std::vector<float>& vertices = prim.vertices.Mutable();
    for (size_t v = 0; v + stride <= vertices.size(); v += stride)
      std::copy(group.color.begin(), group.color.end(), vertices.begin() + v + 3);
  }
}

}  // namespace

void RegenerateGroup(Scene& s, int g, int rebuild) {
  if (!IsValidSlot(s, g)) return;
  const int32_t kind = s.groups[g].kind;
  if (IsPrimitiveKind(kind)) {
    GeneratePrimitive(s, g, rebuild);
  } else if (kind == kKindExtrusion) {
    GenerateExtrusion(s, g);
    PaintVertexColors(s.groups[g]);
  } else if (kind == kKindRevolution) {
    GenerateRevolution(s, g, rebuild);
    PaintVertexColors(s.groups[g]);
  }
  ComputeBoundingBox(s, g);
}

}  // namespace modra
