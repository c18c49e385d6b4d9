// The preferences that outlive a run: three display switches and the
// texture folders, kept per user under "Section/Key" names. The GUI keeps
// them with QSettings behind SettingsStore; the command line and tests use
// MemorySettingsStore.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "document/document.h"

namespace modra {

inline constexpr char kLightDisplayKey[] = "General/EnableLightDisplay";
inline constexpr char kCameraDisplayKey[] = "General/EnableCameraDisplay";
inline constexpr char kSolidAxisKey[] = "General/SolidAxisDisplay";
inline constexpr char kTexturePathKey[] = "Texture/Path";
inline constexpr char kLastPathKey[] = "Texture/LastPath";
inline constexpr char kUndoMemoryKey[] = "Edit/UndoMemory";

// The undo history's bounds in megabytes: the default, and what the
// preferences take (a stored value outside is held to them).
inline constexpr int kDefaultUndoMegabytes = 256;
inline constexpr int kMinUndoMegabytes = 1;
inline constexpr int kMaxUndoMegabytes = 65536;

struct Settings {
  bool lightDisplay = true;      // draw the light models
  bool cameraDisplay = true;     // draw the camera model
  bool solidAxisDisplay = true;  // draw the current group's axes solid
  // The texture search folders as the user typed them, ";" between them.
  std::string texturePath = kDefaultTexturePath;
  // Where the texture browser opens; "" is the current folder.
  std::string lastPath;
  // "Import without RGB/vertex": parts without colours come in white.
  // Lives for one run only; never stored.
  bool whiteUncoloredParts = false;
  // How much memory the undo history may hold; the oldest steps go first.
  int undoMegabytes = kDefaultUndoMegabytes;
};

// Values by "Section/Key". A getter returns `fallback` for a value that is
// not stored (or not of that type).
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual int GetInt(std::string_view key, int fallback) const = 0;
  virtual std::string GetString(std::string_view key, std::string_view fallback) const = 0;
  virtual void SetInt(std::string_view key, int value) = 0;
  virtual void SetString(std::string_view key, std::string_view value) = 0;
};

// Keeps the values in memory for as long as it lives.
class MemorySettingsStore : public SettingsStore {
 public:
  int GetInt(std::string_view key, int fallback) const override;
  std::string GetString(std::string_view key, std::string_view fallback) const override;
  void SetInt(std::string_view key, int value) override;
  void SetString(std::string_view key, std::string_view value) override;

  std::map<std::string, int, std::less<>> ints;
  std::map<std::string, std::string, std::less<>> strings;
};

// The stored settings, with the defaults for what is not stored. LastPath
// defaults to `homeFolder` (the user's home; "" for the current folder).
// A switch is on for any value but 0.
Settings LoadSettings(const SettingsStore& store, std::string_view homeFolder = {});
// What the preferences dialog's OK stores: the three switches (1 or 0),
// the texture path exactly as typed and the undo memory. LastPath has its own moment
// (RememberTextureFolder); the import switch is never stored.
void SaveSettings(SettingsStore& store, const Settings& settings);

// Gives the document the settings: the display switches, the texture
// search folders (the path split at ";"), the browser's folder and the
// import switch. Asks for a redraw, since the switches change the picture.
void ApplySettings(Document& doc, const Settings& settings);

// After a texture the user chose was loaded from `loadedPath`: its folder
// (the path up to its last "/" or "\"; "." for a bare file name) becomes
// the folder the texture browser opens, in `settings`, in the document
// and in the store.
void RememberTextureFolder(Document& doc, Settings& settings, SettingsStore& store,
                           std::string_view loadedPath);

}  // namespace modra
