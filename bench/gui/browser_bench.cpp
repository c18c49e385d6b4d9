// The visual browser on a folder of 500 JPEG pictures of 1024 x 768:
//   - how soon the grid shows after the folder is opened (no thumbnail
//     waited for);
//   - how long the thumbnails of all 500 take on the worker threads,
//     beside 500 x (one decode + one encode) / cores measured here;
//   - with the cache warm, how soon every cell in view has its picture;
//   - the longest the window's event loop went without turning while
//     thumbnails were made (a 5 ms timer's longest gap).
//   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
//   -DMODRA_BENCH=ON && cmake --build build/release --target browser_bench &&
//   xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb
//   build/release/bench/gui/browser_bench
#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <thread>

#include "app/application.h"
#include "app/browse_window.h"
#include "app/thumbnail_service.h"
#include "cli/stderr_shell.h"
#include "images/jpeg.h"

namespace {

constexpr int kPictures = 500, kWidth = 1024, kHeight = 768;

// Runs the event loop until `done` or `ms` pass; the longest gap between
// turns of a 5 ms timer meanwhile.
template <class Done>
qint64 RunUntil(Done done, qint64 ms) {
  QElapsedTimer clock, tick;
  clock.start();
  tick.start();
  qint64 longest = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] { longest = std::max(longest, tick.restart()); });
  timer.start();
  while (!done() && clock.elapsed() < ms)
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  return longest;
}

}  // namespace

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  modra::configureApplication();
  QApplication app(argc, argv);
  QTemporaryDir folder, cache;
  const std::string cachePath = cache.filePath(QStringLiteral("ThumbNails.bin")).toStdString();

  // Smooth gradients with a little texture compress as photographs do.
  std::vector<uint8_t> rgb(static_cast<size_t>(kWidth) * kHeight * 3);
  double encodeMs = 0, decodeMs = 0;
  for (int i = 0; i < kPictures; ++i) {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        uint8_t* p = &rgb[(static_cast<size_t>(y) * kWidth + x) * 3];
        p[0] = static_cast<uint8_t>(x / 4 + i);
        p[1] = static_cast<uint8_t>(y / 3 + ((x * 7 + y * 13) & 15));
        p[2] = static_cast<uint8_t>((x + y) / 7 + 3 * i);
      }
    const std::string name =
        folder.filePath(QStringLiteral("photo%1.jpg").arg(1000 + i)).toStdString();
    modra::JpegImage jpeg;
    QElapsedTimer t;
    t.start();
    if (jpeg.EncodeFile(name, rgb.data(), kWidth, kHeight) != 0) {
      std::fprintf(stderr, "browser_bench: can't write %s\n", name.c_str());
      return 1;
    }
    if (i < 10) encodeMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
    if (i < 10) {
      modra::JpegImage back;
      t.restart();
      back.DecodeFile(name);
      decodeMs += static_cast<double>(t.nsecsElapsed()) / 1e6;
    }
  }
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const double one = (encodeMs + decodeMs) / 10;

  modra::StderrShell shell(std::cerr);
  for (int pass = 0; pass < 2; ++pass) {
    modra::ThumbnailService thumbnails(shell, cachePath);
    auto* browser = new modra::CBrowse(thumbnails, shell, {});
    browser->resize(900, 700);
    browser->show();
    RunUntil([] { return false; }, 200);  // the window settles first
    QElapsedTimer clock;
    clock.start();
    browser->SetDirectory(folder.path().toStdString());
    browser->grid()->repaint();
    const qint64 shown = clock.elapsed();
    // Every cell in view filled, then (first pass) every picture made by
    // scrolling down page after page as a reader would.
    const auto inView = [browser] {
      for (size_t i = 0; i < browser->items().size(); ++i) {
        const QPoint c = browser->cellCenter(i);
        if (c.y() > browser->grid()->height()) break;
        if (!browser->pictureArrived(i)) return false;
      }
      return true;
    };
    qint64 stall = RunUntil(inView, 60000);
    const qint64 visible = clock.elapsed();
    if (pass == 0) {
      QScrollBar* bar = browser->verticalBar();
      for (int page = 1; page <= 10; ++page) {
        bar->setValue(modra::kBrowseScrollRange * page / 10);
        stall = std::max(stall, RunUntil(inView, 60000));
      }
      const auto all = [browser] {
        for (size_t i = 0; i < browser->items().size(); ++i)
          if (!browser->pictureArrived(i)) return false;
        return true;
      };
      stall = std::max(stall, RunUntil(all, 120000));
      std::printf(
          "cold cache: grid shown in %lld ms; cells in view filled in %lld ms; all %d made in "
          "%lld ms (one decode + encode %.1f ms, x %d / %u cores = %.0f ms); longest event-loop "
          "gap %lld ms\n",
          static_cast<long long>(shown), static_cast<long long>(visible), kPictures,
          static_cast<long long>(clock.elapsed()), one, kPictures, cores, one * kPictures / cores,
          static_cast<long long>(stall));
    } else {
      std::printf(
          "warm cache: grid shown in %lld ms; cells in view filled in %lld ms; longest "
          "event-loop gap %lld ms\n",
          static_cast<long long>(shown), static_cast<long long>(visible),
          static_cast<long long>(stall));
    }
    browser->SetCallBack([](int) {});
    delete browser;
  }
  return 0;
}
