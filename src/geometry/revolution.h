// Surfaces of revolution: a closed profile in the XY plane (X the distance
// from the axis) spun about Y by some degrees in some steps, optionally
// climbing and growing per turn, with optional caps on open ends.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/document.h"

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
void MakeRevolution(Scene& s, int g, int32_t flags, float degrees, float deltaY,
                    float radiusScale, int steps, int pointCount, const float* points,
                    const uint8_t* corners);
// New flags and profile; degrees, delta-Y, radius scale, steps and the
// mapping kind are kept.
void UpdateRevolution(Scene& s, int g, int32_t flags, int pointCount, const float* points,
                      const uint8_t* corners);
bool GetRevolutionProfile(const Scene& s, int g, RevolutionProfile& out);

void GenerateRevolution(Scene& s, int g, int rebuild);
int MapRevolutionDefault(Scene& s, int g);

}  // namespace modra
