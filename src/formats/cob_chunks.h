// The chunk loops of the two .cob forms. Each reads from just after the
// file's first line up to the end chunk, handing what it finds to the
// builder, and returns kCobOk when it met the end chunk, kCobBadFile for a
// file that ends early, lies about its sizes or indices, or has a line
// that is not what its place demands, kCobNoMemory when the builder could
// not grow (or throws std::bad_alloc from its tables).
//
// Polygon ("PolH") and material ("Mat1") chunks count only with major
// version 0; every other chunk is skipped by its size. After a polygon
// chunk reading goes on exactly its size after its header (in the ASCII
// form: size - 1, measured from the end of the header line), forwards or
// backwards, but never back before that point, so that a file cannot
// make the loop read the same chunk again.
//
// Going back still lets one chunk's body hold the next chunk, whose body
// holds the next, and so on, each read to the far end: time that grows
// with the square of the file's size. A file whose chunk bodies add up to
// more than CobReadBudget of its size is therefore refused as bad; written
// files read each byte about once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "formats/cob_builder.h"

namespace modra {

inline size_t CobReadBudget(size_t fileSize) {
  return 16 * fileSize + (size_t{1} << 20);
}

int ReadCobAsciiChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start);

// `bigEndian`: the header's byte order mark was not "LH"; every 16- and
// 32-bit value and every float is then stored high byte first.
int ReadCobBinaryChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start,
                        bool bigEndian);

}  // namespace modra
