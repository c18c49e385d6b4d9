#include "app/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace modra {

namespace {

const QString kRecentFiles = QStringLiteral("Recent File List/Files");
const QString kGeometry = QStringLiteral("MainWindow/Geometry");
const QString kState = QStringLiteral("MainWindow/State");
const QString kSplitter = QStringLiteral("MainWindow/Splitter");

}  // namespace

// The core's settings through QSettings, keys as the core names them.
class QSettingsStore : public SettingsStore {
 public:
  int GetInt(std::string_view key, int fallback) const override {
    return store_.value(Key(key), fallback).toInt();
  }
  std::string GetString(std::string_view key, std::string_view fallback) const override {
    return store_.value(Key(key), QString::fromStdString(std::string(fallback)))
        .toString()
        .toStdString();
  }
  void SetInt(std::string_view key, int value) override { store_.setValue(Key(key), value); }
  void SetString(std::string_view key, std::string_view value) override {
    store_.setValue(Key(key), QString::fromStdString(std::string(value)));
  }

 private:
  static QString Key(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
  }
  QSettings store_;
};

Settings Preferences::settings() {
  const QSettingsStore store;
  return LoadSettings(store, QDir::homePath().toStdString());
}

void Preferences::setSettings(const Settings& s) {
  QSettingsStore store;
  SaveSettings(store, s);
}

void Preferences::rememberTextureFolder(Document& doc, const QString& loadedPath) {
  QSettingsStore store;
  Settings s = LoadSettings(store, QDir::homePath().toStdString());
  RememberTextureFolder(doc, s, store, loadedPath.toStdString());
}

QStringList Preferences::recentFiles() {
  QStringList files = QSettings().value(kRecentFiles).toStringList();
  while (files.size() > kRecentFileCount)
    files.removeLast();
  return files;
}

void Preferences::addRecentFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList files = recentFiles();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kRecentFileCount)
    files.removeLast();
  QSettings().setValue(kRecentFiles, files);
}

QByteArray Preferences::windowGeometry() {
  return QSettings().value(kGeometry).toByteArray();
}

QByteArray Preferences::windowState() {
  return QSettings().value(kState).toByteArray();
}

QByteArray Preferences::splitterState() {
  return QSettings().value(kSplitter).toByteArray();
}

void Preferences::setWindowLayout(const QByteArray& geometry, const QByteArray& state,
                                  const QByteArray& splitter) {
  QSettings store;
  store.setValue(kGeometry, geometry);
  store.setValue(kState, state);
  store.setValue(kSplitter, splitter);
}

}  // namespace modra
