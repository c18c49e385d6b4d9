// Texture coordinates for a whole group: planar, cylindrical, spherical, or
// the default mapping made for the shape of a generated group.
#pragma once

#include "scene/scene.h"

namespace modra {

enum MappingKind : int {
  kNoMapping = 0,
  kPlanarMapping = 1,
  kCylindricalMapping = 2,
  kSphericalMapping = 3,
  kDefaultMapping = 4,
};

// Gives every vertex two more floats (u, v) unless it has them; 0, or -1
// when memory runs out (the group is then left without primitives).
int AddTextureCoordinates(Scene& s, int g);

// Each adds coordinates if needed, computes them and records the mapping
// kind in a generated group's block. 0, or -1 when coordinates could not
// be added.
int MapPlanar(Scene& s, int g);
int MapCylindrical(Scene& s, int g);
int MapSpherical(Scene& s, int g);
// The shape's own mapping for generated groups, spherical for others.
int MapDefault(Scene& s, int g);
// After a rebuild: runs the recorded mapping again when the group has
// texture coordinates.
void ReapplyTextureMapping(Scene& s, int g);

}  // namespace modra
