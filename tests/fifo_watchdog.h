// Runs code that is given a FIFO and must refuse it at once, so that a
// fault (an open that waits for a writer) fails the test instead of
// hanging the suite: when the code is still running after a generous
// while, the watchdog opens the FIFO for writing, which lets the waiting
// open return, and reports the hang.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

namespace modra::test {

inline void MakeFifo(const std::string& path) {
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

template <class Run>
auto WithFifoWatchdog(const std::string& fifo, Run run) {
  auto done = std::async(std::launch::async, run);
  // Stops a hang only; no pass or fail is decided by time.
  while (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
    ADD_FAILURE() << "blocked on the FIFO " << fifo;
    const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  }
  return done.get();
}

}  // namespace modra::test
