#include "geometry/regenerate.h"

#include "geometry/extrusion.h"
#include "geometry/primitives.h"
#include "geometry/revolution.h"
#include "scene/bounds.h"

namespace modra {

void RegenerateGroup(Scene& s, int g, int rebuild) {
  if (!IsValidSlot(s, g)) return;
  const int32_t kind = s.groups[g].kind;
  if (IsPrimitiveKind(kind))
    GeneratePrimitive(s, g, rebuild);
  else if (kind == kKindExtrusion)
    GenerateExtrusion(s, g);
  else if (kind == kKindRevolution)
    GenerateRevolution(s, g, rebuild);
  ComputeBoundingBox(s, g);
}

}  // namespace modra
