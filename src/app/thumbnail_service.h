// Thumbnails for the visual browser, made on worker threads from the
// process's one thumbnail cache. The window says which pictures it wants
// most (those in view, then those a few pages on) and gets each one
// through `ready` on its own thread as it is done; it never waits.
#pragma once

#include <QImage>
#include <QObject>
#include <memory>
#include <string>
#include <vector>

namespace modra {

class Shell;

class ThumbnailProvider : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  // The pictures wanted now, most wanted first; work on others that has
  // not started is dropped.
  virtual void want(const std::vector<std::string>& paths) = 0;
  // A new folder: nothing asked for before is delivered any more.
  virtual void reset() = 0;

 signals:
  // A thumbnail is done; a null picture when the file gives none.
  void ready(const QString& path, const QImage& picture);
};

// The cache at its usual place (or `cachePath`), opened now; a damaged one
// is reported through `shell` and made again.
class ThumbnailService : public ThumbnailProvider {
  Q_OBJECT
 public:
  ThumbnailService(Shell& shell, const std::string& cachePath = {}, unsigned threads = 0,
                   QObject* parent = nullptr);
  ~ThumbnailService() override;

  void want(const std::vector<std::string>& paths) override;
  void reset() override;

 private:
  void deliver();

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace modra
