// What every reader must survive: a file cut short anywhere and a file
// with bytes changed at random. Each variant is a buffer of exactly its
// own size, so that the sanitizer catches any read past its end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>
#include <type_traits>
#include <vector>

namespace modra::test {

// The lengths to cut a file of `size` bytes to: every one for a small
// file; for a large one every length up to `dense` and `samples` more
// spread evenly over the rest.
inline std::vector<size_t> CutLengths(size_t size, size_t dense = 2048, size_t samples = 1000) {
  std::vector<size_t> lengths;
  for (size_t n = 0; n < std::min(size, dense); ++n)
    lengths.push_back(n);
  for (size_t i = 0; size > dense && i < samples; ++i)
    lengths.push_back(dense + (size - dense) * i / samples);
  return lengths;
}

// Calls check(prefix, length) for every cut of `whole` that CutLengths gives.
template <class Buffer, class Check>
void ForEachCut(const Buffer& whole, Check check, size_t dense = 2048, size_t samples = 1000) {
  for (size_t n : CutLengths(whole.size(), dense, samples)) {
    SCOPED_TRACE(::testing::Message() << "cut to " << n << " bytes");
    check(Buffer(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n)), n);
  }
}

// Calls check(damaged) `rounds` times, each time on a copy of `whole` with
// one to `maxChanges` bytes replaced: by any byte, or half the time by one
// of `telling` (the characters a text reader acts on, which keep a text
// file readable further in).
template <class Buffer, class Check>
void ForEachDamage(const Buffer& whole, int rounds, Check check, std::string_view telling = {},
                   int maxChanges = 4, uint32_t seed = 1) {
  std::mt19937 random(seed);
  for (int round = 0; round < rounds && !whole.empty(); ++round) {
    Buffer damaged = whole;
    for (int i = 1 + static_cast<int>(random() % maxChanges); i > 0; --i) {
      auto& at = damaged[random() % damaged.size()];
      const bool text = !telling.empty() && random() % 2;
      at = static_cast<std::remove_reference_t<decltype(at)>>(
          text ? telling[random() % telling.size()] : static_cast<char>(random()));
    }
    SCOPED_TRACE(::testing::Message() << "damage round " << round);
    check(damaged);
  }
}

}  // namespace modra::test
