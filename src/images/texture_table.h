// The texture table: every texture the scene can use, loaded from image
// files (or the built-in checkerboard) into OpenGL texture objects. Group
// `textureIndex` values index it; entry i lives in texture object i + 1.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modra {

struct Document;

inline constexpr int MaxTextures = 100;
inline constexpr char kDefaultTexturePath[] = "./;./textures/;/textures/";

struct TextureEntry {
  std::string name;  // shown to the user and used for lookup
  std::string path;  // the file the image came from ("checker.ppm" for the checkerboard)
};

struct TextureTable {
  std::vector<TextureEntry> entries;    // at most MaxTextures, never removed
  std::vector<std::string> searchPath;  // directories searched for scene textures
  std::string lastPath = "C:/";         // where the texture browser opens

  TextureTable();
};

// Puts decoded RGB pixels (bottom row first, rows packed) into an OpenGL
// texture object. The editor and the renderer upload for real; tools that
// never draw use NoTextureUpload.
class TextureUploader {
 public:
  virtual ~TextureUploader() = default;
  virtual void Upload(unsigned textureObject, const uint8_t* rgb, int width, int height) = 0;
  // Gives back a texture object that was uploaded but is not kept (the
  // table was full).
  virtual void Release(unsigned /*textureObject*/) {}
};

class NoTextureUpload : public TextureUploader {
 public:
  void Upload(unsigned, const uint8_t*, int, int) override {}
};

// Splits a ";"-separated directory list; an empty segment ends it. At most
// 31 directories of at most 199 characters each are kept.
std::vector<std::string> SplitTexturePath(std::string_view path);
void SetTexturePath(TextureTable& table, std::string_view path);
// The directories joined by ";", as the preferences dialog shows them.
std::string JoinTexturePath(const TextureTable& table);

int CurrentTextureCount(const TextureTable& table);
// Index of the first entry named exactly `name`, or -1.
int FindTexture(const TextureTable& table, std::string_view name);

// Loads `path` (or, with an empty path, makes the checkerboard with the path
// "checker.ppm") into the next entry. 0, or -1 after its message; `quiet`
// silences the messages that a search through several directories would
// repeat. The image is loaded before the table's limit is checked, so a
// file error is reported as such; a texture loaded into a full table is
// released again ("Too many textures loaded").
int AddTexture(Document& doc, std::string_view path, std::string_view name, bool quiet = false);
// Decodes an image file (JPEG, BMP or binary PPM, by its last three
// characters) and uploads it as texture object index + 1. 0 or -1.
int LoadTextureImage(Document& doc, int index, const std::string& path, bool quiet = false);
// The built-in 128 x 128 checkerboard (16-pixel squares, black where bit 4
// of x equals bit 4 of y) as texture object index + 1. 0 or -1.
int MakeCheckerTexture(Document& doc, int index);
// The table index for a texture named in a scene file: an entry of that
// name, else the first search directory that holds `fileName`, else the
// scene file's own folder (when given), else 0 with the message "Can't
// load \"%s\" texture". The folder comes last so that the configured
// directories keep their say, yet a scene that ships its images beside it
// opens from any working directory.
int ResolveSceneTexture(Document& doc, std::string_view name, std::string_view fileName,
                        std::string_view sceneFolder = {});

// The part of a path after its last "/" or "\".
std::string_view BaseName(std::string_view path);
// The part of a path before its last "/" or "\" ("/" for a file at the
// root), or "." when it names no folder.
std::string_view FolderOf(std::string_view path);

}  // namespace modra
