// The texture table: every texture the scene can use, loaded from image
// files (or the built-in checkerboard). Group `textureIndex` values index
// it; the uploader gives each entry a texture object of the context that
// draws, whose name OpenGL chooses.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
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
  // The encoded picture (PNG or JPEG) of a texture that came inside another
  // file, a glTF model, and has no file of its own yet: `path` is then the
  // file name it is given beside a scene saved with it.
  std::shared_ptr<const std::vector<uint8_t>> held = nullptr;
};

struct TextureTable {
  std::vector<TextureEntry> entries;    // at most MaxTextures, never removed
  std::vector<std::string> searchPath;  // directories searched for scene textures
  std::string lastPath;                 // where the texture browser opens ("" the current folder)

  TextureTable();
};

// Where the decoded pictures of the table's entries go (RGB, bottom row
// first, rows packed). The editor and the renderer hand them to OpenGL
// (GlTextureUpload); tools that never draw use NoTextureUpload.
class TextureUploader {
 public:
  virtual ~TextureUploader() = default;
  // Gives entry `index` this picture in place of any it had. false when
  // there is no memory to keep it.
  virtual bool Upload(int index, const uint8_t* rgb, int width, int height) = 0;
  // Entry `index` is not kept (the table was full): its picture goes too.
  virtual void Release(int /*index*/) {}
  // Called by drawing with its context current: the texture object of each
  // entry, by index (0 where an entry has none). Empty when nothing draws.
  virtual std::span<const unsigned> DrawingNames() { return {}; }
};

class NoTextureUpload : public TextureUploader {
 public:
  bool Upload(int, const uint8_t*, int, int) override { return true; }
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
// The file ending a held picture's bytes call for: ".png", ".jpg", or ""
// when they start as neither.
std::string_view HeldPictureEnding(std::span<const uint8_t> bytes);
// A PNG or JPEG picture that came without a file of its own, as the entry
// named `stem` plus its ending (the one of that name when the table has
// it), which keeps the bytes. The entry's index, or -1 when they do not
// decode (silently) or the table cannot keep them (after its message).
int AddHeldTexture(Document& doc, std::span<const uint8_t> bytes, std::string_view stem);
// Decodes entry `index`'s picture again, from its held bytes, its file or
// as the checkerboard, and uploads it. 0 or -1.
int ReloadTexture(Document& doc, int index, bool quiet = false);
// Decodes an image file (JPEG, BMP, PNG or binary PPM, by its last three
// characters) and uploads it as entry `index`'s picture. 0 or -1.
int LoadTextureImage(Document& doc, int index, const std::string& path, bool quiet = false);
// The built-in 128 x 128 checkerboard (16-pixel squares, black where bit 4
// of x equals bit 4 of y) as entry `index`'s picture. 0 or -1.
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
