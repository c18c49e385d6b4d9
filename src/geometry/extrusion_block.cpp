#include "geometry/extrusion_block.h"

#include <algorithm>
#include <cstring>

#include "geometry/extrusion.h"

namespace modra {

size_t ExtrusionBlockSize(size_t contourCount, size_t pointCount) {
  return 4 * (8 + contourCount + 2 * pointCount + CornerWordCount(pointCount));
}

std::vector<uint8_t> BuildExtrusionBlock(int32_t flags, float depth, float bevelSize,
                                         int contourCount, const int32_t* pointCounts,
                                         const float* points, const uint8_t* corners,
                                         float mappingKind) {
  using namespace extrusion_word;
  contourCount = std::max(contourCount, 0);  // a negative count would size the block wrongly
  size_t total = 0;
  for (int c = 0; c < contourCount; ++c)
    total += static_cast<size_t>(std::max(pointCounts[c], 0));
  const size_t size = ExtrusionBlockSize(static_cast<size_t>(contourCount), total);
  std::vector<uint8_t> block(size, 0);
  uint8_t* b = block.data();
  SetBlockInt(b, kSize, static_cast<int32_t>(size));
  SetBlockFloat(b, kMapping, mappingKind);
  SetBlockInt(b, kFlags, flags);
  SetBlockFloat(b, kDepth, depth);
  SetBlockFloat(b, kBevel, bevelSize);
  SetBlockFloat(b, kCapTriangles, 0.0f);
  SetBlockFloat(b, kContours, static_cast<float>(contourCount));
  for (int c = 0; c < contourCount; ++c)
    SetBlockInt(b, kCounts + c, std::max(pointCounts[c], 0));
  const size_t pointWord = kCounts + static_cast<size_t>(contourCount);
  if (total > 0) std::memcpy(b + 4 * pointWord, points, 8 * total);
  PackCornerBits(b, pointWord + 2 * total, corners, total);
  return block;
}

bool ReadExtrusionBlock(const std::vector<uint8_t>& block, ExtrusionBlock& out) {
  using namespace extrusion_word;
  if (block.size() < 4 * kCounts) return false;
  const uint8_t* b = block.data();
  // The smaller of what is held and what the block says it holds: a block
  // that claims less is written out (and read back) that short.
  const int32_t claimed = BlockInt(b, kSize);
  if (claimed < 0) return false;
  const size_t words = std::min(block.size(), static_cast<size_t>(claimed)) / 4;
  // Each contour needs its count word, so the words bound the contour count.
  const int64_t contours = BlockCount(BlockFloat(b, kContours), static_cast<int64_t>(words));
  if (contours < 1 || kCounts + static_cast<size_t>(contours) > words) return false;
  int64_t total = 0;
  for (int64_t c = 0; c < contours; ++c) {
    const int32_t n = BlockInt(b, kCounts + static_cast<size_t>(c));
    if (n < 1) return false;
    total += n;
    if (total > kMaxProfilePoints) return false;
  }
  if (ExtrusionBlockSize(static_cast<size_t>(contours), static_cast<size_t>(total)) > 4 * words)
    return false;
  out.data = b;
  out.flags = BlockInt(b, kFlags);
  out.depth = BlockFloat(b, kDepth);
  out.bevelSize = BlockFloat(b, kBevel);
  out.contourCount = static_cast<int>(contours);
  out.pointCount = static_cast<int>(total);
  return true;
}

}  // namespace modra
