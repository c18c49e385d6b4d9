#include "geometry/revolution_block.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "geometry/extrusion.h"

namespace modra {

size_t RevolutionBlockSize(size_t pointCount) {
  return 4 * (pointCount / 32 + 2 * pointCount + 10);
}

std::vector<uint8_t> BuildRevolutionBlock(const RevolutionSweep& sweep, int pointCount,
                                          const float* points, const uint8_t* corners,
                                          float mappingKind) {
  using namespace revolution_word;
  const size_t n = static_cast<size_t>(std::max(pointCount, 0));
  const size_t size = RevolutionBlockSize(n);
  std::vector<uint8_t> block(size, 0);
  uint8_t* b = block.data();
  SetBlockInt(b, kSize, static_cast<int32_t>(size));
  SetBlockFloat(b, kMapping, mappingKind);
  SetBlockInt(b, kFlags, sweep.flags);
  SetBlockFloat(b, kDegrees, sweep.degrees);
  SetBlockFloat(b, kDeltaY, sweep.deltaY);
  SetBlockFloat(b, kRadiusScale, sweep.radiusScale);
  SetBlockFloat(b, kSteps, sweep.steps);
  SetBlockFloat(b, kPointCount, static_cast<float>(n));
  SetBlockFloat(b, kStartCap, 0.0f);
  if (n > 0) std::memcpy(b + 4 * kPoints, points, 8 * n);
  PackCornerBits(b, kPoints + 2 * n, corners, n);
  return block;
}

int RevolutionBlock::Steps() const {
  const float s = sweep.steps;
  if (!(s >= kMinRevolutionSteps)) return kMinRevolutionSteps;  // also NaN
  if (s >= kMaxRevolutionSteps) return kMaxRevolutionSteps;
  return static_cast<int>(s);
}

double RevolutionBlock::Degrees() const {
  return std::isfinite(sweep.degrees) ? sweep.degrees : 0.0;
}

double RevolutionBlock::DeltaY() const {
  return std::isfinite(sweep.deltaY) ? sweep.deltaY : 0.0;
}

double RevolutionBlock::RadiusScale() const {
  return std::isfinite(sweep.radiusScale) ? sweep.radiusScale : 1.0;
}

bool ReadRevolutionBlock(const std::vector<uint8_t>& block, RevolutionBlock& out) {
  using namespace revolution_word;
  if (block.size() < RevolutionBlockSize(0)) return false;
  const uint8_t* b = block.data();
  const int32_t claimed = BlockInt(b, kSize);
  if (claimed < 0) return false;
  const size_t bytes = std::min(block.size(), static_cast<size_t>(claimed));
  const int64_t n = BlockCount(BlockFloat(b, kPointCount), kMaxProfilePoints);
  if (n < 0 || RevolutionBlockSize(static_cast<size_t>(n)) > bytes) return false;
  out.data = b;
  out.sweep.flags = BlockInt(b, kFlags);
  out.sweep.degrees = BlockFloat(b, kDegrees);
  out.sweep.deltaY = BlockFloat(b, kDeltaY);
  out.sweep.radiusScale = BlockFloat(b, kRadiusScale);
  out.sweep.steps = BlockFloat(b, kSteps);
  out.pointCount = static_cast<int>(n);
  return true;
}

}  // namespace modra
