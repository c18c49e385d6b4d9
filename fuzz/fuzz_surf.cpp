// Surface profile files, and the generator on whatever profile loads.
#include <cstddef>
#include <cstdint>

#include "geometry/revolution.h"
#include "geometry/surf_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::QuietShell shell;
  modra::RevolutionProfile profile;
  modra::ResetRevolution(profile);
  if (modra::ReadSurfMemory(profile, data, size, "fuzz.surf", shell) != 0) return 0;
  // Small profiles only: the generator's cost is not what is fuzzed here.
  if (profile.corners.size() > 200) return 0;
  modra::Scene scene;
  const int g = modra::NewGroup(scene, "");
  modra::MakeRevolution(scene, g, modra::kCapEnds, 270.0f, 0.1f, 1.5f, 12,
                        static_cast<int>(profile.corners.size()), profile.points.data(),
                        profile.corners.data());
  modra::MapRevolutionDefault(scene, g);
  return 0;
}
