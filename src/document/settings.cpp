#include "document/settings.h"

#include <algorithm>

#include "images/texture_table.h"

namespace modra {

int MemorySettingsStore::GetInt(std::string_view key, int fallback) const {
  auto it = ints.find(key);
  return it == ints.end() ? fallback : it->second;
}

std::string MemorySettingsStore::GetString(std::string_view key, std::string_view fallback) const {
  auto it = strings.find(key);
  return it == strings.end() ? std::string(fallback) : it->second;
}

void MemorySettingsStore::SetInt(std::string_view key, int value) {
  ints.insert_or_assign(std::string(key), value);
}

void MemorySettingsStore::SetString(std::string_view key, std::string_view value) {
  strings.insert_or_assign(std::string(key), std::string(value));
}

Settings LoadSettings(const SettingsStore& store, std::string_view homeFolder) {
  Settings s;
  s.lightDisplay = store.GetInt(kLightDisplayKey, 1) != 0;
  s.cameraDisplay = store.GetInt(kCameraDisplayKey, 1) != 0;
  s.solidAxisDisplay = store.GetInt(kSolidAxisKey, 1) != 0;
  s.texturePath = store.GetString(kTexturePathKey, kDefaultTexturePath);
  s.lastPath = store.GetString(kLastPathKey, homeFolder);
  s.undoMegabytes = std::clamp(store.GetInt(kUndoMemoryKey, kDefaultUndoMegabytes),
                               kMinUndoMegabytes, kMaxUndoMegabytes);
  return s;
}

void SaveSettings(SettingsStore& store, const Settings& settings) {
  store.SetInt(kLightDisplayKey, settings.lightDisplay ? 1 : 0);
  store.SetInt(kCameraDisplayKey, settings.cameraDisplay ? 1 : 0);
  store.SetInt(kSolidAxisKey, settings.solidAxisDisplay ? 1 : 0);
  store.SetString(kTexturePathKey, settings.texturePath);
  store.SetInt(kUndoMemoryKey, settings.undoMegabytes);
}

void ApplySettings(Document& doc, const Settings& settings) {
  DisplayState& d = doc.display;
  d.lightDisplay = settings.lightDisplay;
  d.cameraDisplay = settings.cameraDisplay;
  d.solidAxisDisplay = settings.solidAxisDisplay;
  SetTexturePath(doc.textures, settings.texturePath);
  doc.textures.lastPath = settings.lastPath;
  doc.whiteUncoloredParts = settings.whiteUncoloredParts;
  NotifyChanged(doc, kDisplayChanged);
  doc.shell->RequestRedraw();
}

void RememberTextureFolder(Document& doc, Settings& settings, SettingsStore& store,
                           std::string_view loadedPath) {
  settings.lastPath = FolderOf(loadedPath);
  doc.textures.lastPath = settings.lastPath;
  store.SetString(kLastPathKey, settings.lastPath);
}

}  // namespace modra
