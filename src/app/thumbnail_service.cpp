#include "app/thumbnail_service.h"

#include <QMetaObject>

#include "browser/cache_location.h"
#include "browser/thumbnail.h"
#include "browser/thumbnail_cache.h"
#include "browser/work_queue.h"
#include "document/shell.h"

namespace modra {
namespace {

// Messages from the workers reach the user on the window's thread.
class QueuedShell : public Shell {
 public:
  QueuedShell(QObject* owner, Shell& shell) : owner_(owner), shell_(shell) {}
  // A message posted to the owner is dropped with it if it goes first.
  void Message(std::string_view text) override {
    Shell* shell = &shell_;
    QMetaObject::invokeMethod(
        owner_, [shell, text = std::string(text)] { shell->Message(text); }, Qt::QueuedConnection);
  }
  bool Ask(std::string_view) override { return false; }

 private:
  QObject* owner_;
  Shell& shell_;
};

QImage ToImage(const Thumbnail& t) {
  if (t.width <= 0 || t.height <= 0 ||
      t.rgb.size() < static_cast<size_t>(t.width) * static_cast<size_t>(t.height) * 3)
    return {};
  return QImage(t.rgb.data(), t.width, t.height, t.width * 3, QImage::Format_RGB888).copy();
}

}  // namespace

struct ThumbnailService::Impl {
  Impl(QObject* owner, Shell& shell, const std::string& path, unsigned threads)
      : workerShell(owner, shell),
        queue(
            [this](const std::string& p) {
              Thumbnail t;
              if (!open || !GetThumbnail(cache, p, t, workerShell)) t = {};
              return t;
            },
            threads) {
    open = OpenThumbnailCache(cache, path.empty() ? DefaultThumbnailCachePath() : path, shell) == 0;
  }
  ~Impl() { CloseThumbnailCache(cache); }

  ThumbnailCache cache;
  bool open = false;
  QueuedShell workerShell;
  // Last, so that its workers stop before the cache they use goes.
  WorkQueue<std::string, Thumbnail> queue;
};

ThumbnailService::ThumbnailService(Shell& shell, const std::string& cachePath, unsigned threads,
                                   QObject* parent)
    : ThumbnailProvider(parent), impl_(std::make_unique<Impl>(this, shell, cachePath, threads)) {
  // Called on a worker; the workers stop before this object goes.
  impl_->queue.SetOnResult([this] {
    QMetaObject::invokeMethod(
        this, [this] { deliver(); }, Qt::QueuedConnection);
  });
}

ThumbnailService::~ThumbnailService() = default;

void ThumbnailService::want(const std::vector<std::string>& paths) {
  impl_->queue.Want(paths);
}

void ThumbnailService::reset() {
  impl_->queue.Reset();
}

void ThumbnailService::deliver() {
  for (auto& [path, thumbnail] : impl_->queue.Take())
    emit ready(QString::fromStdString(path), ToImage(thumbnail));
}

}  // namespace modra
