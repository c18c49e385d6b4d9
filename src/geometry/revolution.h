// Surfaces of revolution: a closed profile in the XY plane (X the distance
// from the axis) spun about Y by some degrees in some steps, optionally
// climbing and growing per turn, with optional caps on open ends.
#pragma once

#include <cstdint>
#include <vector>

#include "document/document.h"

namespace modra {

inline constexpr int32_t kCapEnds = 0x1;

// The profile the surface editor works on.
struct RevolutionProfile {
  int32_t flags = 0;
  std::vector<float> points;      // x, y per point; the loop closes by itself
  std::vector<uint8_t> corners;   // per point
  std::vector<uint8_t> selected;  // per point
  int current = -1;               // the editor's current point
};

// The editor's "New" profile.
void ResetRevolution(RevolutionProfile& profile);

// A new surface of revolution of the default profile (360 degrees, 30
// steps), named "Surface of Revolution"; its index, or -1.
int CreateRevolution(Document& doc);
// The same with a given profile (one read from a file); its flags are not
// used, as a new surface has no caps.
int CreateRevolutionFrom(Document& doc, const RevolutionProfile& profile);
void MakeRevolution(Scene& s, int g, int32_t flags, float degrees, float deltaY, float radiusScale,
                    int steps, int pointCount, const float* points, const uint8_t* corners);
// New flags and profile; degrees, delta-Y, radius scale, steps and the
// mapping kind are kept.
void UpdateRevolution(Scene& s, int g, int32_t flags, int pointCount, const float* points,
                      const uint8_t* corners);
bool GetRevolutionProfile(const Scene& s, int g, RevolutionProfile& out);

// The sweep settings the surface editor changes live.
struct RevolutionParams {
  float degrees = 360.0f;
  int steps = 30;
  float deltaY = 0.0f;
  float radiusScale = 1.0f;
};
// Read from / written into the group's block; false (and nothing done) when
// g holds no readable surface-of-revolution block. Setting does not rebuild.
bool GetRevolutionParams(const Scene& s, int g, RevolutionParams& out);
bool SetRevolutionParams(Scene& s, int g, const RevolutionParams& params);

// The generator: one strip of 2 * steps vertices per profile segment, then
// (cap flag) the start and end caps as triangles, the start cap's count
// written into the block. Rebuild 0 overwrites positions and normals in
// place when the counts allow it; caps always rebuild. A block that does
// not hold what it claims builds nothing. Steps below 2 (no angle between
// rings) count as 2 and steps above 2000 as 2000; degrees, delta-Y and
// radius scale that are not numbers count as 0, 0 and 1.
void GenerateRevolution(Scene& s, int g, int rebuild);
// The surface's own texture mapping (u around the sweep, v down the
// profile by length, caps flat). 0, or -1 when the block or the geometry
// do not match or coordinates cannot be added.
int MapRevolutionDefault(Scene& s, int g);

}  // namespace modra
