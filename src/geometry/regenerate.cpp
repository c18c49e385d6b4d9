#include "geometry/regenerate.h"

#include "scene/bounds.h"

// Placeholder until the generators land.
namespace modra {

void RegenerateGroup(Scene& s, int g, int) { ComputeBoundingBox(s, g); }

}  // namespace modra
