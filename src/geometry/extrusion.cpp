#include "geometry/extrusion.h"

// Placeholder until the generator lands.
namespace modra {

void ResetProfile(ExtrusionProfile&) {}
int CreateExtrusion(Document&) { return -1; }
void MakeExtrusion(Scene&, int, int32_t, float, float, int, const int32_t*, const float*,
                   const uint8_t*) {}
void UpdateExtrusion(Scene&, int, int32_t, float, float, int, const int32_t*, const float*,
                     const uint8_t*) {}
bool GetExtrusionProfile(const Scene&, int, ExtrusionProfile&) { return false; }
void GenerateExtrusion(Scene&, int) {}
int MapExtrusionDefault(Scene&, int) { return -1; }

}  // namespace modra
