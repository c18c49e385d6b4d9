#include "geometry/revolution.h"

// Placeholder until the generator lands.
namespace modra {

void ResetRevolution(RevolutionProfile&) {}
int CreateRevolution(Document&) { return -1; }
void MakeRevolution(Scene&, int, int32_t, float, float, float, int, int, const float*,
                    const uint8_t*) {}
void UpdateRevolution(Scene&, int, int32_t, int, const float*, const uint8_t*) {}
bool GetRevolutionProfile(const Scene&, int, RevolutionProfile&) { return false; }
void GenerateRevolution(Scene&, int, int) {}
int MapRevolutionDefault(Scene&, int) { return -1; }

}  // namespace modra
