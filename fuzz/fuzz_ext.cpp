// Extrusion profile files, and the generator on whatever profile loads.
#include <cstddef>
#include <cstdint>

#include "geometry/ext_file.h"
#include "geometry/extrusion.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modra::QuietShell shell;
  modra::ExtrusionProfile profile;
  modra::ResetProfile(profile);
  if (modra::ReadExtMemory(profile, data, size, "fuzz.ext", shell) != 0) return 0;
  // Small profiles only: the generator's cost is not what is fuzzed here.
  if (profile.corners.size() > 200) return 0;
  modra::Scene scene;
  const int g = modra::NewGroup(scene, "");
  modra::MakeExtrusion(scene, g, profile.flags, profile.depth, profile.bevelSize,
                       static_cast<int>(profile.pointCounts.size()), profile.pointCounts.data(),
                       profile.points.data(), profile.corners.data());
  modra::MapExtrusionDefault(scene, g);
  return 0;
}
