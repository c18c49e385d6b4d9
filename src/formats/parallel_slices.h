// Work of one import step spread over the machine's cores: the slices of
// a large file or mesh are handed out in order to a few threads, and the
// calling thread works too. Small inputs stay on the calling thread, where
// starting a thread would cost more than it saves.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace modra {

// The threads worth starting for `work` units when each should have at
// least `least` of them: one per hardware thread, at most eight.
inline unsigned ThreadsFor(size_t work, size_t least) {
  const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  return static_cast<unsigned>(std::clamp<size_t>(work / std::max<size_t>(least, 1), 1, cores));
}

// Calls slice(i) once for every i in [0, count), on up to `threads`
// threads; each thread takes the lowest slice nobody has taken yet. slice
// must not throw: it keeps its own failures. Returns when all are done.
template <class F>
void RunSlices(size_t count, unsigned threads, F&& slice) {
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1))
      slice(i);
  };
  std::vector<std::thread> helpers;
  const size_t extra =
      std::min<size_t>(threads, count) > 1 ? std::min<size_t>(threads, count) - 1 : 0;
  for (size_t t = 0; t < extra; ++t) {
    try {
      helpers.emplace_back(work);
    } catch (...) {
      break;  // no thread to be had: the calling thread does the rest
    }
  }
  work();
  for (std::thread& t : helpers)
    t.join();
}

}  // namespace modra
