// The generators behind GeneratePrimitive, one per kind, and the Make
// helper they share. Each reads its group's block (clamped) and writes
// positions and normals; what happened to the arrays is returned so that
// the caller knows whether the texture mapping must be applied again.
#pragma once

#include <initializer_list>

#include "geometry/primitive_mesh.h"

namespace modra {

Prepared GenerateRectangle(Scene& s, int g, int rebuild);
Prepared GenerateBlock(Scene& s, int g, int rebuild);
Prepared GenerateCone(Scene& s, int g, int rebuild);
Prepared GenerateRoundedCone(Scene& s, int g, int rebuild);
Prepared GenerateTube(Scene& s, int g, int rebuild);
Prepared GenerateCylinder(Scene& s, int g, int rebuild);
Prepared GenerateTorus(Scene& s, int g, int rebuild);
Prepared GenerateSphere(Scene& s, int g, int rebuild);
Prepared GenerateSphere2(Scene& s, int g, int rebuild);

// Releases g's geometry, block and name, sets the kind, stores `values`
// and mapping kind 0 in a new block and rebuilds the group.
void MakePrimitive(Scene& s, int g, int32_t kind, std::initializer_list<float> values);

}  // namespace modra
