#include "app/playback_clock.h"

#include <algorithm>
#include <utility>

namespace modra {

namespace {
// A stall longer than a second (a machine under load) is not caught up
// frame by frame: the animation carries on from where it is.
constexpr long long kMostFramesPerTick = PlaybackClock::kFramesPerSecond;
}  // namespace

PlaybackClock::PlaybackClock(QObject* parent, TimeSource now)
    : QObject(parent), now_(std::move(now)) {
  if (!now_) {
    sinceConstruction_.start();
    now_ = [this] { return sinceConstruction_.elapsed(); };
  }
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(1000 / kFramesPerSecond);
  connect(&timer_, &QTimer::timeout, this, &PlaybackClock::tick);
}

void PlaybackClock::start() {
  running_ = true;
  advanced_ = 0;
  restartClock();
}

void PlaybackClock::stop() {
  running_ = false;
  timer_.stop();
}

void PlaybackClock::pause() {
  ++pauses_;
  timer_.stop();
}

void PlaybackClock::resume() {
  if (pauses_ == 0) return;
  if (--pauses_ == 0 && running_) restartClock();
}

void PlaybackClock::restartClock() {
  base_ = advanced_;
  startedAt_ = now_();
  if (pauses_ == 0) timer_.start();
}

void PlaybackClock::tick() {
  if (!running_ || pauses_ > 0) return;
  const qint64 now = now_();
  const long long due = base_ + (now - startedAt_) * kFramesPerSecond / 1000;
  long long count = due - advanced_;
  if (count <= 0) return;
  if (count > kMostFramesPerTick) {
    count = kMostFramesPerTick;
    // Forget the backlog rather than replaying it on the next ticks.
    base_ = advanced_ + count;
    startedAt_ = now;
  }
  advanced_ += count;
  emit advance(static_cast<int>(count));
}

}  // namespace modra
