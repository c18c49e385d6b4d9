// A queue of jobs made on worker threads, most wanted first, for a window
// that must never wait on them: the texture browser asks for the
// thumbnails of the cells in view (then a few pages ahead) on every scroll
// step and takes what is finished when a worker says so.
//
// The window thread only ever holds the lock for as long as it takes to
// reorder the queue or hand over results; workers hold it only to pick a
// key and to file a result, never while they make one.
#pragma once

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

namespace modra {

// Key: copyable, compared with == and hashed with Hash (a picture's index
// or path). Result: movable; failures belong in it, since make must not
// throw.
template <class Key, class Result, class Hash = std::hash<Key>>
class WorkQueue {
 public:
  // Runs on a worker thread, on several at once: must be thread-safe.
  using Make = std::function<Result(const Key&)>;

  // threads: 0 for one per hardware thread (at least one).
  WorkQueue(Make make, unsigned threads);
  // Drops what is pending and waits for the running jobs (whose results go
  // unreported): the one call that waits on workers.
  ~WorkQueue();
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  // The keys wanted now, most wanted first; this list replaces the last
  // one. Pending keys not in it are dropped. Keys that are running, or
  // finished and not yet taken, are not queued again; a key already taken
  // is made again if it is wanted again, so the caller keeps its results.
  // Costs O(keys.size() + pending).
  void Want(std::vector<Key> keys);
  // A new generation (a new folder): drops what is pending and the results
  // not yet taken; jobs running now finish unreported.
  void Reset();
  // The results finished since the last call, in the order they finished.
  std::vector<std::pair<Key, Result>> Take();
  // Called on a worker thread after each result is filed (to post an event
  // to the window thread, say). Set it before the first Want.
  void SetOnResult(std::function<void()> notify);
  // Keys queued and not started.
  size_t Pending() const;

 private:
  void Work();

  Make make_;
  std::function<void()> notify_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<Key> queue_;  // least wanted first, so a worker takes from the back
  // note: every key of the current generation that is queued, running, or
  // done and not taken, and nothing else. The value is the Want that last
  // queued it, 0 once it runs; a key that stays in the list on a scroll
  // step keeps its entry instead of being erased and added again.
  std::unordered_map<Key, uint64_t, Hash> known_;
  uint64_t wants_ = 0;
  std::vector<std::pair<Key, Result>> results_;
  uint64_t generation_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

template <class Key, class Result, class Hash>
WorkQueue<Key, Result, Hash>::WorkQueue(Make make, unsigned threads) : make_(std::move(make)) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i)
    threads_.emplace_back([this] { Work(); });
}

template <class Key, class Result, class Hash>
WorkQueue<Key, Result, Hash>::~WorkQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    // Released before the wait, so keys that own something (a decoder, a
    // buffer) let go of it as soon as they are no longer wanted.
    queue_.clear();
    known_.clear();
    results_.clear();
  }
  wake_.notify_all();
  for (std::thread& thread : threads_)
    thread.join();
}

template <class Key, class Result, class Hash>
void WorkQueue<Key, Result, Hash>::Want(std::vector<Key> keys) {
  std::lock_guard lock(mutex_);
  const uint64_t want = ++wants_;
  // Filtered in place, keeping each key's first (most wanted) place; the
  // list's own storage becomes the queue.
  size_t kept = 0;
  for (Key& key : keys) {
    const auto [entry, added] = known_.try_emplace(key, want);
    if (!added) {
      if (entry->second == 0 || entry->second == want) continue;  // running, done or repeated
      entry->second = want;
    }
    if (&keys[kept] != &key) keys[kept] = std::move(key);
    ++kept;
  }
  keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(kept), keys.end());
  std::reverse(keys.begin(), keys.end());
  // Queued before and left out now: dropped.
  for (const Key& key : queue_) {
    const auto entry = known_.find(key);
    assert(entry != known_.end());
    if (entry->second != want) known_.erase(entry);
  }
  queue_.swap(keys);
  if (!queue_.empty()) wake_.notify_all();
}

template <class Key, class Result, class Hash>
void WorkQueue<Key, Result, Hash>::Reset() {
  std::lock_guard lock(mutex_);
  ++generation_;
  queue_.clear();
  known_.clear();
  results_.clear();
}

template <class Key, class Result, class Hash>
std::vector<std::pair<Key, Result>> WorkQueue<Key, Result, Hash>::Take() {
  std::vector<std::pair<Key, Result>> taken;
  std::lock_guard lock(mutex_);
  taken.swap(results_);
  for (const auto& entry : taken)
    known_.erase(entry.first);
  return taken;
}

template <class Key, class Result, class Hash>
void WorkQueue<Key, Result, Hash>::SetOnResult(std::function<void()> notify) {
  std::lock_guard lock(mutex_);
  notify_ = std::move(notify);
}

template <class Key, class Result, class Hash>
size_t WorkQueue<Key, Result, Hash>::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

template <class Key, class Result, class Hash>
void WorkQueue<Key, Result, Hash>::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Key key = std::move(queue_.back());
    queue_.pop_back();
    const auto entry = known_.find(key);
    assert(entry != known_.end());
    entry->second = 0;
    const uint64_t generation = generation_;
    lock.unlock();

    Result result = make_(key);

    lock.lock();
    if (stopping_) return;
    if (generation != generation_) continue;
    results_.emplace_back(std::move(key), std::move(result));
    // note: notify_ is only set before the first Want, and this worker took
    // its key under the lock after that, so reading it unlocked is safe.
    if (notify_) {
      lock.unlock();
      notify_();
      lock.lock();
    }
  }
}

}  // namespace modra
