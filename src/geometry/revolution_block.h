// The parameter block of a surface-of-revolution group, 32-bit words:
//   0 size in bytes (int)          5 radius scale per revolution (float)
//   1 texture mapping kind (float) 6 number of steps (float)
//   2 flags (int, bit 0 caps)      7 point count (float)
//   3 degrees to rotate (float)    8 triangles in the start cap (float)
//   4 delta-Y per revolution       9 .. 9+2N-1  x, y per point
//   9+2N ..  corner bits, N/32 + 1 words
//
// A block may come from a file, so nothing in it is trusted: the view below
// is only made for a block whose counts fit inside its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/block_words.h"

namespace modra {

namespace revolution_word {
inline constexpr size_t kSize = 0, kMapping = 1, kFlags = 2, kDegrees = 3, kDeltaY = 4,
                        kRadiusScale = 5, kSteps = 6, kPointCount = 7, kStartCap = 8, kPoints = 9;
}  // namespace revolution_word

// Steps the generator works with: a stored value below 2 has no angle step
// and one above the editor's limit is no value the program makes.
inline constexpr int kMinRevolutionSteps = 2;
inline constexpr int kMaxRevolutionSteps = 2000;

// 4 * (points/32 + 2 * points + 10): the block's size in bytes.
size_t RevolutionBlockSize(size_t pointCount);

struct RevolutionSweep {
  int32_t flags = 0;
  float degrees = 360.0f;
  float deltaY = 0.0f;
  float radiusScale = 1.0f;
  float steps = 30.0f;
};

// A new block (start-cap count 0). Throws std::bad_alloc.
std::vector<uint8_t> BuildRevolutionBlock(const RevolutionSweep& sweep, int pointCount,
                                          const float* points, const uint8_t* corners,
                                          float mappingKind);

// A checked reading of a block. Valid only while the block is unchanged.
struct RevolutionBlock {
  const uint8_t* data = nullptr;
  RevolutionSweep sweep;
  int pointCount = 0;

  float X(int i) const { return BlockFloat(data, revolution_word::kPoints + 2 * i); }
  float Y(int i) const { return BlockFloat(data, revolution_word::kPoints + 2 * i + 1); }
  bool Corner(int i) const {
    return CornerBit(data, revolution_word::kPoints + 2 * static_cast<size_t>(pointCount), i);
  }
  // The sweep the generator builds: the stored steps held to
  // kMinRevolutionSteps..kMaxRevolutionSteps; degrees, delta-Y and radius
  // scale that are not numbers as 0, 0 and 1, since they would turn every
  // vertex into one.
  int Steps() const;
  double Degrees() const;
  double DeltaY() const;
  double RadiusScale() const;
};

// Reads the block's count: at most kMaxProfilePoints points, all inside
// both the bytes held and the size the block gives itself. false otherwise.
bool ReadRevolutionBlock(const std::vector<uint8_t>& block, RevolutionBlock& out);

}  // namespace modra
