// Extrusions: a flat profile (an outer contour and holes, all clockwise in
// the XY plane) pushed along Z, with optional bevels and per-point corner
// flags. The whole profile lives in the group's parameter block, so the
// group can be regenerated and edited again at any time.
#pragma once

#include <cstdint>
#include <vector>

#include "document/document.h"

namespace modra {

inline constexpr int kMaxProfilePoints = 10000;

// Bevel flags.
inline constexpr int32_t kBevelFront = 0x1;  // the -Z end
inline constexpr int32_t kBevelBack = 0x2;   // the +Z end

// The profile the extrusion editor works on.
struct ExtrusionProfile {
  int32_t flags = 0;
  float depth = 0.47f;
  float bevelSize = 0.02f;
  std::vector<int32_t> pointCounts;  // contour 0 is the outer one
  std::vector<float> points;         // x, y per point, contour after contour
  std::vector<uint8_t> corners;      // per point: non-zero for a sharp edge
  std::vector<uint8_t> selected;     // per point: the editor's selection
};

// The 24-point profile of a new extrusion (flags 0, depth and bevel size
// left as given).
void ResetProfile(ExtrusionProfile& profile);

// A new extrusion of the default profile, named "Extrusion"; its index, or
// -1 when no group can be made.
int CreateExtrusion(Document& doc);
// The same with a given profile, flags, depth and bevel size (a profile
// read from a file).
int CreateExtrusionFrom(Document& doc, const ExtrusionProfile& profile);
// Replaces the group's geometry and block by an extrusion of this profile
// (mapping kind 0) and builds it.
void MakeExtrusion(Scene& s, int g, int32_t flags, float depth, float bevelSize, int contourCount,
                   const int32_t* pointCounts, const float* points, const uint8_t* corners);
// The same, keeping the group's mapping kind.
void UpdateExtrusion(Scene& s, int g, int32_t flags, float depth, float bevelSize, int contourCount,
                     const int32_t* pointCounts, const float* points, const uint8_t* corners);
// The group's profile back into an editing model (selection cleared).
bool GetExtrusionProfile(const Scene& s, int g, ExtrusionProfile& out);

// The generator (it always rebuilds): one strip per contour for the walls,
// then for the front bevel and the back bevel when they are on, then the
// +Z cap's and the -Z cap's triangles (left out when the profile cannot be
// triangulated), the +Z count written into the block. A block that does
// not hold what it claims builds nothing; a depth or bevel size that is
// not a number counts as 0.
void GenerateExtrusion(Scene& s, int g);
// The extrusion's own texture mapping (u along each contour, v down the
// depth, caps flat). 0, or -1 when the block or the geometry do not match
// or coordinates cannot be added.
int MapExtrusionDefault(Scene& s, int g);

}  // namespace modra
