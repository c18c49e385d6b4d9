#include "app/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace modra {

namespace {

const QString kLightDisplay = QStringLiteral("General/EnableLightDisplay");
const QString kCameraDisplay = QStringLiteral("General/EnableCameraDisplay");
const QString kSolidAxis = QStringLiteral("General/SolidAxisDisplay");
const QString kTexturePath = QStringLiteral("Texture/Path");
const QString kTextureLastPath = QStringLiteral("Texture/LastPath");
const QString kRecentFiles = QStringLiteral("Recent File List/Files");
const QString kGeometry = QStringLiteral("MainWindow/Geometry");
const QString kState = QStringLiteral("MainWindow/State");
const QString kSplitter = QStringLiteral("MainWindow/Splitter");

}  // namespace

glue::Settings Preferences::settings() {
  const QSettings store;
  const glue::Settings defaults;
  glue::Settings s;
  s.lightDisplay = store.value(kLightDisplay, defaults.lightDisplay ? 1 : 0).toInt() != 0;
  s.cameraDisplay = store.value(kCameraDisplay, defaults.cameraDisplay ? 1 : 0).toInt() != 0;
  s.solidAxis = store.value(kSolidAxis, defaults.solidAxis ? 1 : 0).toInt() != 0;
  s.texturePath =
      store.value(kTexturePath, QString::fromStdString(defaults.texturePath)).toString().toStdString();
  s.textureLastPath = store.value(kTextureLastPath, QString::fromStdString(defaults.textureLastPath))
                          .toString()
                          .toStdString();
  return s;
}

void Preferences::setSettings(const glue::Settings& s) {
  QSettings store;
  store.setValue(kLightDisplay, s.lightDisplay ? 1 : 0);
  store.setValue(kCameraDisplay, s.cameraDisplay ? 1 : 0);
  store.setValue(kSolidAxis, s.solidAxis ? 1 : 0);
  store.setValue(kTexturePath, QString::fromStdString(s.texturePath));
  store.setValue(kTextureLastPath, QString::fromStdString(s.textureLastPath));
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
