// Everything the editor keeps between runs, in the default QSettings of
// the organisation and application names that configureApplication sets.
// All keys are here.
#pragma once

#include <QByteArray>
#include <QStringList>

#include "document/settings.h"

namespace modra {

class Preferences {
 public:
  static constexpr int kRecentFileCount = 4;

  // The core's settings record, read from and written to QSettings.
  static Settings settings();
  static void setSettings(const Settings& settings);
  // A texture the user chose was loaded from `loadedPath`: the texture
  // browser opens in its folder from now on, in this run and the next.
  static void rememberTextureFolder(Document& doc, const QString& loadedPath);

  // Most recent first, at most kRecentFileCount.
  static QStringList recentFiles();
  static void addRecentFile(const QString& path);

  static QByteArray windowGeometry();
  static QByteArray windowState();
  static QByteArray splitterState();
  static void setWindowLayout(const QByteArray& geometry, const QByteArray& state,
                              const QByteArray& splitter);
};

}  // namespace modra
