#include "geometry/revolution.h"

#include <iterator>
#include <new>

#include "geometry/create_group.h"
#include "geometry/regenerate.h"
#include "geometry/revolution_block.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

// A cup on a stem, clockwise; the editor's "New" profile ends at the axis.
constexpr float kCupProfile[] = {0.0005f, 0.25f,  0.24f, 0.375f,  0.5f,  0.75f, 0.375f, 0.5f,
                                 0.1f,    0.225f, 0.1f,  -0.225f, 0.45f, -0.3f, 0.05f,  -0.25f};
constexpr uint8_t kCupCorners[] = {1, 0, 1, 0, 1, 1, 1, 1};
constexpr int kCupPointCount = static_cast<int>(std::size(kCupCorners));

void InstallBlock(Scene& s, int g, const RevolutionSweep& sweep, int pointCount,
                  const float* points, const uint8_t* corners, float mappingKind) {
  DisplayGroup& group = s.groups[g];
  group.primitives.clear();
  group.generatorParams.clear();
  group.name.clear();
  group.kind = kKindRevolution;
  try {
    group.generatorParams = BuildRevolutionBlock(sweep, pointCount, points, corners, mappingKind);
  } catch (const std::bad_alloc&) {
    group.generatorParams.clear();
    return;
  }
  RegenerateGroup(s, g, 1);
}

bool ReadBlock(const Scene& s, int g, RevolutionBlock& block) {
  return IsLiveGroup(s, g) && s.groups[g].kind == kKindRevolution &&
         ReadRevolutionBlock(s.groups[g].generatorParams, block);
}

}  // namespace

void ResetRevolution(RevolutionProfile& profile) {
  profile.flags = 0;
  profile.points.assign(std::begin(kCupProfile), std::end(kCupProfile));
  profile.points[2 * kCupPointCount - 2] = 0.0005f;
  profile.corners.assign(std::begin(kCupCorners), std::end(kCupCorners));
  profile.selected.assign(kCupPointCount, 0);
  profile.current = -1;
}

int CreateRevolution(Document& doc) {
  RevolutionProfile cup;
  cup.points.assign(kCupProfile, kCupProfile + 2 * kCupPointCount);
  cup.corners.assign(kCupCorners, kCupCorners + kCupPointCount);
  return CreateRevolutionFrom(doc, cup);
}

int CreateRevolutionFrom(Document& doc, const RevolutionProfile& profile) {
  return CreateGeneratedGroup(
      doc, "Surface of Revolution", Enabled | highlighted, [&](Scene& s, int g) {
        MakeRevolution(s, g, 0, 360.0f, 0.0f, 1.0f, 30, static_cast<int>(profile.corners.size()),
                       profile.points.data(), profile.corners.data());
        SetColor(s, g, 1.0f, 0.9f, 0.8f);
      });
}

void MakeRevolution(Scene& s, int g, int32_t flags, float degrees, float deltaY, float radiusScale,
                    int steps, int pointCount, const float* points, const uint8_t* corners) {
  const RevolutionSweep sweep{flags, degrees, deltaY, radiusScale, static_cast<float>(steps)};
  InstallBlock(s, g, sweep, pointCount, points, corners, 0.0f);
}

void UpdateRevolution(Scene& s, int g, int32_t flags, int pointCount, const float* points,
                      const uint8_t* corners) {
  // A group without a readable block takes a new surface's sweep.
  RevolutionSweep sweep;
  float mapping = 0.0f;
  RevolutionBlock block;
  if (ReadBlock(s, g, block)) {
    sweep = block.sweep;
    mapping = BlockFloat(block.data, revolution_word::kMapping);
  }
  sweep.flags = flags;
  InstallBlock(s, g, sweep, pointCount, points, corners, mapping);
}

bool GetRevolutionProfile(const Scene& s, int g, RevolutionProfile& out) {
  RevolutionBlock block;
  if (!ReadBlock(s, g, block)) return false;
  RevolutionProfile p;
  p.flags = block.sweep.flags;
  p.points.resize(2 * static_cast<size_t>(block.pointCount));
  p.corners.resize(block.pointCount);
  for (int i = 0; i < block.pointCount; ++i) {
    p.points[2 * i] = block.X(i);
    p.points[2 * i + 1] = block.Y(i);
    p.corners[i] = block.Corner(i) ? 1 : 0;
  }
  p.selected.assign(block.pointCount, 0);
  p.current = -1;
  out = std::move(p);
  return true;
}

bool GetRevolutionParams(const Scene& s, int g, RevolutionParams& out) {
  RevolutionBlock block;
  if (!ReadBlock(s, g, block)) return false;
  // What the generator builds, not what was stored: the editor shows the
  // surface the user sees.
  out.degrees = static_cast<float>(block.Degrees());
  out.steps = block.Steps();
  out.deltaY = static_cast<float>(block.DeltaY());
  out.radiusScale = static_cast<float>(block.RadiusScale());
  return true;
}

bool SetRevolutionParams(Scene& s, int g, const RevolutionParams& params) {
  RevolutionBlock block;
  if (!ReadBlock(s, g, block)) return false;
  using namespace revolution_word;
  uint8_t* b = s.groups[g].generatorParams.data();
  SetBlockFloat(b, kDegrees, params.degrees);
  SetBlockFloat(b, kSteps, static_cast<float>(params.steps));
  SetBlockFloat(b, kDeltaY, params.deltaY);
  SetBlockFloat(b, kRadiusScale, params.radiusScale);
  return true;
}

}  // namespace modra
