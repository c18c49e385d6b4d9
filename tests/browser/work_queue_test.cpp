#include "browser/work_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace modra {
namespace {

using Results = std::vector<std::pair<int, int>>;

std::vector<int> Range(int first, int end) {
  std::vector<int> keys(static_cast<size_t>(end - first));
  std::iota(keys.begin(), keys.end(), first);
  return keys;
}

// What the jobs did, watched from the test thread. Jobs wait at a gate until
// the test opens it, so the test knows which ones are running when it acts.
struct Board {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> started;  // keys in the order their jobs began
  int running = 0;
  int mostRunning = 0;
  int finished = 0;
  int reported = 0;  // calls of the queue's notify
  int released = 0;  // pending keys the queue let go of
  bool open = false;

  // A job's result is its place in `started`, so a result can be told from
  // that of an earlier job of the same key.
  int Make(int key) {
    std::unique_lock lock(mutex);
    const int call = static_cast<int>(started.size());
    started.push_back(key);
    mostRunning = std::max(mostRunning, ++running);
    changed.notify_all();
    changed.wait(lock, [this] { return open; });
    --running;
    ++finished;
    changed.notify_all();
    return call;
  }

  void Count(int Board::*counter) {
    std::lock_guard lock(mutex);
    ++(this->*counter);
    changed.notify_all();
  }

  void Open() {
    std::lock_guard lock(mutex);
    open = true;
    changed.notify_all();
  }

  // The time limit only turns a broken queue into a failure instead of a hang.
  template <class Predicate>
  bool WaitUntil(Predicate done) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return done(*this); });
  }

  std::vector<int> Started() {
    std::lock_guard lock(mutex);
    return started;
  }
};

std::unique_ptr<WorkQueue<int, int>> MakeQueue(Board& board, unsigned threads) {
  auto queue = std::make_unique<WorkQueue<int, int>>(
      [&board](const int& key) { return board.Make(key); }, threads);
  queue->SetOnResult([&board] { board.Count(&Board::reported); });
  return queue;
}

TEST(WorkQueue, EveryWantedKeyArrivesOnceThroughOverlappingWants) {
  Board board;
  auto queue = MakeQueue(board, 3);
  queue->Want(Range(0, 60));
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 3; }));
  // The user scrolls down and back while keys 0..2 run.
  queue->Want(Range(30, 100));
  queue->Want(Range(0, 100));
  EXPECT_EQ(queue->Pending(), 97u);
  board.Open();
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 100; }));

  const Results results = queue->Take();
  queue.reset();
  const std::vector<int> started = board.Started();
  std::map<int, int> seen;
  for (const auto& [key, call] : results) {
    ++seen[key];
    ASSERT_LT(call, static_cast<int>(started.size()));
    EXPECT_EQ(started[static_cast<size_t>(call)], key) << "a result filed under another key";
  }
  EXPECT_EQ(results.size(), 100u);
  EXPECT_EQ(seen.size(), 100u);
  EXPECT_EQ(started.size(), 100u) << "a key was made twice";
}

TEST(WorkQueue, OneThreadMakesTheLatestListInItsOrder) {
  Board board;
  auto queue = MakeQueue(board, 1);
  queue->Want({1, 2, 3, 4});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 1; }));
  queue->Want({9, 3, 8, 8, 2});
  EXPECT_EQ(queue->Pending(), 4u);
  board.Open();
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 5; }));
  EXPECT_EQ(queue->Pending(), 0u);

  EXPECT_EQ(queue->Take(), (Results{{1, 0}, {9, 1}, {3, 2}, {8, 3}, {2, 4}}));
  queue.reset();
  // 4 was dropped before it started.
  EXPECT_EQ(board.Started(), (std::vector<int>{1, 9, 3, 8, 2}));
}

TEST(WorkQueue, KeysRunningOrNotTakenAreNotQueuedAgain) {
  Board board;
  auto queue = MakeQueue(board, 1);
  queue->Want({7});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 1; }));
  queue->Want({7, 1, 1, 2});
  EXPECT_EQ(queue->Pending(), 2u);
  board.Open();
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 3; }));
  queue->Want({2, 7, 1, 3});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 4; }));
  EXPECT_EQ(queue->Take(), (Results{{7, 0}, {1, 1}, {2, 2}, {3, 3}}));
  EXPECT_TRUE(queue->Take().empty());

  // Once taken, the caller holds the result; wanting the key again means
  // making it again.
  queue->Want({7});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 5; }));
  EXPECT_EQ(queue->Take(), (Results{{7, 4}}));
}

TEST(WorkQueue, ResetDropsQueuedKeysAndTheResultsOfRunningJobs) {
  Board board;
  auto queue = MakeQueue(board, 1);
  queue->Want({1, 2, 3});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 1; }));
  queue->Reset();
  EXPECT_EQ(queue->Pending(), 0u);
  // The new folder has a key of the same name, still running for the old one.
  queue->Want({1, 10});
  EXPECT_EQ(queue->Pending(), 2u);
  board.Open();
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 2; }));
  EXPECT_EQ(queue->Take(), (Results{{1, 1}, {10, 2}}));

  // Finished but not taken when the folder changes: gone too.
  queue->Want({4});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 3; }));
  queue->Reset();
  EXPECT_TRUE(queue->Take().empty());
  queue.reset();
  EXPECT_EQ(board.Started(), (std::vector<int>{1, 1, 10, 4}));
}

TEST(WorkQueue, ThreadsRunTheirJobsAtOnce) {
  Board board;
  auto queue = MakeQueue(board, 3);
  queue->Want(Range(0, 6));
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 3; }));
  EXPECT_EQ(queue->Pending(), 3u);
  board.Open();
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 6; }));
  queue.reset();
  EXPECT_EQ(board.mostRunning, 3);
  EXPECT_EQ(board.finished, 6);
}

TEST(WorkQueue, NoThreadCountMeansOnePerHardwareThread) {
  Board board;
  board.Open();
  auto queue = MakeQueue(board, 0);
  queue->Want({5, 6});
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.reported >= 2; }));
  Results results = queue->Take();
  std::sort(results.begin(), results.end());
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[0].first, 5);
  EXPECT_EQ(results[1].first, 6);
}

TEST(WorkQueue, DestructionWaitsForRunningJobsAndMakesNoPendingOnes) {
  using Key = std::shared_ptr<int>;
  Board board;
  auto queue = std::make_unique<WorkQueue<Key, int>>(
      [&board](const Key& key) { return board.Make(*key); }, 2);
  queue->SetOnResult([&board] { board.Count(&Board::reported); });
  // The pending keys say when the queue lets go of them: then it has
  // dropped them, and opening the gate cannot start them.
  auto pending = [&board](int value) {
    return Key(new int(value), [&board](int* p) {
      delete p;
      board.Count(&Board::released);
    });
  };
  std::vector<Key> keys{std::make_shared<int>(0), std::make_shared<int>(1)};
  for (int value = 2; value < 5; ++value)
    keys.push_back(pending(value));
  queue->Want(std::move(keys));
  ASSERT_TRUE(board.WaitUntil([](Board& b) { return b.running == 2; }));

  int finishedAtReturn = -1;
  std::thread destroyer([&] {
    queue.reset();
    std::lock_guard lock(board.mutex);
    finishedAtReturn = board.finished;
  });
  EXPECT_TRUE(board.WaitUntil([](Board& b) { return b.released == 3; }));
  board.Open();
  destroyer.join();

  EXPECT_EQ(finishedAtReturn, 2);
  std::vector<int> started = board.Started();
  std::sort(started.begin(), started.end());
  EXPECT_EQ(started, (std::vector<int>{0, 1}));
  EXPECT_EQ(board.reported, 0);
}

}  // namespace
}  // namespace modra
