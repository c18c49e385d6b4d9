#include "geometry/extrusion.h"

#include <iterator>
#include <new>

#include "geometry/create_group.h"
#include "geometry/extrusion_block.h"
#include "geometry/regenerate.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

// The profile of a new extrusion: one clockwise contour.
constexpr float kDefaultProfile[] = {
    0.608491f,  -0.323529f, 0.622642f,  -0.42437f,  0.613208f,  -0.52521f,  0.556604f, -0.592437f,
    0.466981f,  -0.621849f, 0.34434f,   -0.609244f, 0.240566f,  -0.542017f, 0.160377f, -0.44958f,
    -0.179245f, 0.319328f,  -0.221698f, 0.470588f,  -0.226415f, 0.588235f,  -0.20283f, 0.684874f,
    -0.146226f, 0.794118f,  -0.070755f, 0.857143f,  0.018868f,  0.878151f,  0.127358f, 0.869748f,
    0.20283f,   0.836134f,  0.268868f,  0.760504f,  0.29717f,   0.672269f,  0.29717f,  0.605042f,
    0.264151f,  0.533613f,  0.212264f,  0.478992f,  0.216981f,  0.39916f,   0.245283f, 0.331933f,
};
constexpr int kDefaultPointCount = static_cast<int>(std::size(kDefaultProfile) / 2);

// Installs a new block on g and rebuilds; a block that cannot be made
// leaves the group without one (and so without geometry).
void InstallBlock(Scene& s, int g, int32_t flags, float depth, float bevelSize, int contourCount,
                  const int32_t* pointCounts, const float* points, const uint8_t* corners,
                  float mappingKind) {
  DisplayGroup& group = s.groups[g];
  group.primitives.clear();
  group.generatorParams.clear();
  group.name.clear();
  group.kind = kKindExtrusion;
  try {
    group.generatorParams = BuildExtrusionBlock(flags, depth, bevelSize, contourCount, pointCounts,
                                                points, corners, mappingKind);
  } catch (const std::bad_alloc&) {
    group.generatorParams.clear();
    return;
  }
  RegenerateGroup(s, g, 1);
}

}  // namespace

void ResetProfile(ExtrusionProfile& profile) {
  profile.flags = 0;
  profile.pointCounts.assign(1, kDefaultPointCount);
  profile.points.assign(std::begin(kDefaultProfile), std::end(kDefaultProfile));
  profile.corners.assign(kDefaultPointCount, 0);
  profile.selected.assign(kDefaultPointCount, 0);
}

int CreateExtrusion(Document& doc) {
  ExtrusionProfile profile;
  ResetProfile(profile);
  profile.flags = kBevelFront | kBevelBack;
  profile.depth = 0.47f;
  profile.bevelSize = 0.02f;
  return CreateExtrusionFrom(doc, profile);
}

int CreateExtrusionFrom(Document& doc, const ExtrusionProfile& profile) {
  return CreateGeneratedGroup(doc, "Extrusion", Enabled | highlighted, [&](Scene& s, int g) {
    MakeExtrusion(s, g, profile.flags, profile.depth, profile.bevelSize,
                  static_cast<int>(profile.pointCounts.size()), profile.pointCounts.data(),
                  profile.points.data(), profile.corners.data());
    SetColor(s, g, 1.0f, 0.9f, 0.8f);
  });
}

void MakeExtrusion(Scene& s, int g, int32_t flags, float depth, float bevelSize, int contourCount,
                   const int32_t* pointCounts, const float* points, const uint8_t* corners) {
  InstallBlock(s, g, flags, depth, bevelSize, contourCount, pointCounts, points, corners, 0.0f);
}

void UpdateExtrusion(Scene& s, int g, int32_t flags, float depth, float bevelSize, int contourCount,
                     const int32_t* pointCounts, const float* points, const uint8_t* corners) {
  const DisplayGroup& group = s.groups[g];
  float mapping = 0.0f;
  if (group.kind == kKindExtrusion && group.generatorParams.size() >= 8)
    mapping = BlockFloat(group.generatorParams.data(), extrusion_word::kMapping);
  InstallBlock(s, g, flags, depth, bevelSize, contourCount, pointCounts, points, corners, mapping);
}

bool GetExtrusionProfile(const Scene& s, int g, ExtrusionProfile& out) {
  if (!IsLiveGroup(s, g) || s.groups[g].kind != kKindExtrusion) return false;
  ExtrusionBlock block;
  if (!ReadExtrusionBlock(s.groups[g].generatorParams, block)) return false;
  ExtrusionProfile p;
  p.flags = block.flags;
  p.depth = block.depth;
  p.bevelSize = block.bevelSize;
  p.pointCounts.resize(block.contourCount);
  for (int c = 0; c < block.contourCount; ++c)
    p.pointCounts[c] = block.Count(c);
  p.points.resize(2 * static_cast<size_t>(block.pointCount));
  p.corners.resize(block.pointCount);
  for (int i = 0; i < block.pointCount; ++i) {
    p.points[2 * i] = block.X(i);
    p.points[2 * i + 1] = block.Y(i);
    p.corners[i] = block.Corner(i) ? 1 : 0;
  }
  p.selected.assign(block.pointCount, 0);
  out = std::move(p);
  return true;
}

}  // namespace modra
