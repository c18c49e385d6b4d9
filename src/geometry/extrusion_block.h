// The parameter block of an extrusion group, 32-bit words in order:
//   0 size in bytes (int)          4 bevel size (float)
//   1 texture mapping kind (float) 5 triangles in the +Z cap (float)
//   2 bevel flags (int)            6 contour count (float)
//   3 depth (float)                7 reserved, 0
//   8 .. 8+C-1           point count of each contour (int)
//   8+C .. 8+C+2T-1      x, y of every point, contour after contour
//   8+C+2T ..            corner bits, T/32 + 1 words
// with C contours and T points in all.
//
// A block may come from a file, so nothing in it is trusted: the view below
// is only made for a block whose counts fit inside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/block_words.h"

namespace modra {

namespace extrusion_word {
inline constexpr size_t kSize = 0, kMapping = 1, kFlags = 2, kDepth = 3, kBevel = 4,
                        kCapTriangles = 5, kContours = 6, kCounts = 8;
}  // namespace extrusion_word

// 4 * (8 + contours + 2 * points + points/32 + 1): the block's size in bytes.
size_t ExtrusionBlockSize(size_t contourCount, size_t pointCount);

// A new block (mapping kind and cap count as given). Throws std::bad_alloc.
std::vector<uint8_t> BuildExtrusionBlock(int32_t flags, float depth, float bevelSize,
                                         int contourCount, const int32_t* pointCounts,
                                         const float* points, const uint8_t* corners,
                                         float mappingKind);

// A checked reading of a block. Valid only while the block is unchanged.
struct ExtrusionBlock {
  const uint8_t* data = nullptr;
  int32_t flags = 0;
  float depth = 0, bevelSize = 0;
  int contourCount = 0;
  int pointCount = 0;  // all contours

  int Count(int c) const { return BlockInt(data, extrusion_word::kCounts + c); }
  float X(int i) const { return BlockFloat(data, PointWord() + 2 * i); }
  float Y(int i) const { return BlockFloat(data, PointWord() + 2 * i + 1); }
  bool Corner(int i) const { return CornerBit(data, PointWord() + 2 * pointCount, i); }
  size_t PointWord() const { return extrusion_word::kCounts + contourCount; }
};

// Reads the block's counts: at least one contour, every contour at least
// one point, at most kMaxProfilePoints points, and all of it inside both
// the bytes held and the size the block gives itself. false otherwise.
bool ReadExtrusionBlock(const std::vector<uint8_t>& block, ExtrusionBlock& out);

}  // namespace modra
