// The nine built-in primitives: rectangle, block, cone, rounded cone, tube,
// cylinder, torus and the two spheres. Each is a group whose parameter
// block holds its sizes and resolutions; its geometry is only ever
// regenerated from that block, never edited vertex by vertex. Every
// primitive is centred on its group's origin with its length along Y.
#pragma once

#include <cstdint>

#include "document/document.h"

namespace modra {

// A new group at the front of the top level with the primitive's default
// sizes and resolutions, its name ("Rectangle", "Block", "Cone", "Rounded
// Cone", "Tube", "Cylinder", "Torus"; both spheres "Sphere"), flags 0x43
// (enabled, selected, highlighted), made the current group, the document
// marked modified. Returns its index, or -1 when no group can be made.
// The caller clears the other groups' selection first if it wants to.
int CreateRectangle(Document& doc);
int CreateBlock(Document& doc);
int CreateCone(Document& doc);
int CreateRoundedCone(Document& doc);
int CreateTube(Document& doc);
int CreateCylinder(Document& doc);
int CreateTorus(Document& doc);
int CreateSphere1(Document& doc);
int CreateSphere2(Document& doc);

// Turn group g into a primitive: its geometry, block and name are
// released (the caller names it), the kind set, a new block filled with
// the values in field order and mapping kind 0, and the geometry rebuilt.
// When the block cannot be allocated the group is left without geometry.
void MakeRectangle(Scene& s, int g, float width, float height, float sideResolution);
void MakeBlock(Scene& s, int g, float width, float height, float depth, float sideResolution);
void MakeCone(Scene& s, int g, float bottomRadius, float length, float topRadius,
              float radiusResolution, float lengthResolution, float topCapResolution,
              float bottomCapResolution);
void MakeRoundedCone(Scene& s, int g, float bottomRadius, float length, float topRadius,
                     float radiusResolution, float lengthResolution, float topCapResolution,
                     float bottomCapResolution);
void MakeTube(Scene& s, int g, float radius, float length, float radiusResolution,
              float lengthResolution);
void MakeCylinder(Scene& s, int g, float radius, float length, float radiusResolution,
                  float lengthResolution, float endCapResolution);
void MakeTorus(Scene& s, int g, float majorRadius, float minorRadius, float majorResolution,
               float minorResolution);
void MakeSphere1(Scene& s, int g, float radius, float yAxisResolution, float xAxisResolution);
void MakeSphere2(Scene& s, int g, float radius, float quality);

// True for the nine kinds above.
bool IsPrimitiveKind(int32_t kind);

// Recomputes a primitive group's positions and normals from its block:
// in place when rebuild is 0 and the arrays still fit (texture coordinates
// kept), otherwise with new arrays, after which the recorded texture
// mapping is applied again. Resolutions are clamped into their ranges.
// A cone or cylinder whose block asks for no cap, fewer than 2 ring points
// or no length segment keeps its old geometry. When memory runs out the
// group is left without primitives. Does not touch the bounding box.
void GeneratePrimitive(Scene& s, int g, int rebuild);

}  // namespace modra
