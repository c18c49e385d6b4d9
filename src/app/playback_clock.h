// The pace of playback: the animation advances at the rate of the rendered
// movies, not at the rate the machine happens to draw. Each tick works out
// from a monotonic clock how many frames are due, so a late tick skips
// frames instead of slowing the whole animation. Modal dialogs pause it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

namespace modra {

class PlaybackClock : public QObject {
  Q_OBJECT
 public:
  static constexpr int kFramesPerSecond = 30;

  // Milliseconds on a clock that never goes back. A test drives its own;
  // without one, a QElapsedTimer started with the clock.
  using TimeSource = std::function<qint64()>;

  explicit PlaybackClock(QObject* parent = nullptr, TimeSource now = {});

  void start();
  void stop();
  bool running() const { return running_; }
  // Frames advanced since the last start.
  long long framesAdvanced() const { return advanced_; }

  // Nested pauses hold the clock until the last one ends; the time spent
  // paused never turns into frames.
  void pause();
  void resume();
  bool paused() const { return pauses_ > 0; }

  class Pause {
   public:
    explicit Pause(PlaybackClock* clock) : clock_(clock) {
      if (clock_) clock_->pause();
    }
    ~Pause() {
      if (clock_) clock_->resume();
    }
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

   private:
    PlaybackClock* clock_;
  };

 signals:
  // `count` frames are due now (at least 1).
  void advance(int count);

 private:
  void tick();
  void restartClock();

  QTimer timer_;
  QElapsedTimer sinceConstruction_;
  TimeSource now_;
  qint64 startedAt_ = 0;  // now_() when the clock last restarted
  long long base_ = 0;    // frames advanced when the clock last restarted
  long long advanced_ = 0;
  int pauses_ = 0;
  bool running_ = false;
};

}  // namespace modra
