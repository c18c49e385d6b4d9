#include "images/texture_table.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "document/document.h"
#include "images/bmp.h"
#include "images/jpeg.h"
#include "images/png_decode.h"
#include "images/ppm.h"
#include "io/file_bytes.h"

namespace modra {

TextureTable::TextureTable() : searchPath(SplitTexturePath(kDefaultTexturePath)) {}

std::vector<std::string> SplitTexturePath(std::string_view path) {
  constexpr size_t kMaxDirectories = 31, kMaxLength = 199;
  std::vector<std::string> dirs;
  while (dirs.size() < kMaxDirectories) {
    size_t end = path.find(';');
    std::string_view dir = path.substr(0, end);
    if (dir.empty()) break;
    dirs.emplace_back(dir.substr(0, kMaxLength));
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return dirs;
}

void SetTexturePath(TextureTable& table, std::string_view path) {
  table.searchPath = SplitTexturePath(path);
}

std::string JoinTexturePath(const TextureTable& table) {
  std::string joined;
  for (const std::string& dir : table.searchPath) {
    if (!joined.empty()) joined += ';';
    joined += dir;
  }
  return joined;
}

int CurrentTextureCount(const TextureTable& table) {
  return static_cast<int>(table.entries.size());
}

int FindTexture(const TextureTable& table, std::string_view name) {
  for (size_t i = 0; i < table.entries.size(); ++i)
    if (table.entries[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string_view BaseName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view FolderOf(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

namespace {

constexpr int kCheckerSize = 128;
constexpr char kCheckerPath[] = "checker.ppm";

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Messages that a search through several directories would repeat for
// every directory that lacks the file.
struct Messages {
  Document& doc;
  bool quiet;
  void Say(const std::string& text) const { doc.shell->Message(text); }
  void SayUnlessQuiet(const std::string& text) const {
    if (!quiet) Say(text);
  }
};

int Upload(Document& doc, int index, const uint8_t* rgb, int width, int height) {
  assert(doc.uploader);
  if (doc.uploader->Upload(index, rgb, width, height)) return 0;
  doc.shell->Message("Unable to allocate memory");
  return -1;
}

std::string CannotOpen(const std::string& path) {
  return WithUnreadableReason("Can't open " + Quoted(path) + " for read", path);
}

// Decodes with a JPEG or BMP decoder, bottom row first as OpenGL wants it,
// and uploads the picture as entry `index`; a picture that does not decode
// is told as `failure`.
template <class Decoder, class Decode>
int DecodeAndUpload(const Messages& m, int index, const std::string& failure, Decode decode) {
  Decoder decoder;
  decoder.SetBottomUp();
  const uint8_t* rgb = decode(decoder);
  if (!rgb) {
    m.Say(failure);
    return -1;
  }
  return Upload(m.doc, index, rgb, decoder.Width(), decoder.Height());
}

int LoadJpeg(const Messages& m, int index, const std::string& path) {
  FileBytes file;
  if (const int failed = ReadWholeFile(path, file)) {
    m.SayUnlessQuiet(failed == kFileCannotOpen ? CannotOpen(path)
                     : failed == kFileTooLarge
                         ? "Can't get " + std::to_string(file.size) + " bytes of memory\n"
                         : "Can't read entire file\n");
    return -1;
  }
  return DecodeAndUpload<JpegImage>(
      m, index, "Can't convert all of " + Quoted(path),
      [&](JpegImage& jpeg) { return jpeg.DecodeMemory(file.data.get(), file.size); });
}

int LoadBmp(const Messages& m, int index, const std::string& path) {
  return DecodeAndUpload<BmpImage>(m, index, "Can't decode " + Quoted(path),
                                   [&](BmpImage& bmp) { return bmp.Read(path); });
}

// Reads a PPM or PNG texture file whole, telling why it could not.
bool ReadPictureFile(const Messages& m, const std::string& path, FileBytes& file) {
  const int failed = ReadWholeFile(path, file);
  if (failed == kFileCannotOpen)
    m.SayUnlessQuiet(CannotOpen(path));
  else if (failed)
    m.Say(failed == kFileTooLarge ? "Unable to allocate memory"
                                  : "Can't read all of " + Quoted(path));
  return failed == 0;
}

int LoadPpm(const Messages& m, int index, const std::string& path) {
  FileBytes file;
  if (!ReadPictureFile(m, path, file)) return -1;
  PpmHeader header;
  switch (ParsePpmHeader(file.data.get(), file.size, &header)) {
    case PpmStatus::kOk:
      break;
    case PpmStatus::kShortHeader:
      m.Say("Can't read all of input file");
      return -1;
    case PpmStatus::kWrongType:
    case PpmStatus::kBadHeader:
      m.Say(Quoted(path) + " is the wrong file type");
      return -1;
  }
  // Compared before allocating: a header may claim any size.
  const size_t stride = static_cast<size_t>(header.width) * 3;
  const size_t height = static_cast<size_t>(header.height);
  if ((file.size - header.dataOffset) / stride < height) {
    m.Say("Can't read all of " + Quoted(path));
    return -1;
  }
  std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[stride * height]);
  if (!rgb) {
    m.Say("Unable to allocate memory");
    return -1;
  }
  // The file's first row is the picture's top; OpenGL wants the bottom row
  // first.
  const uint8_t* in = file.data.get() + header.dataOffset;
  for (size_t y = 0; y < height; ++y)
    std::memcpy(rgb.get() + (height - 1 - y) * stride, in + y * stride, stride);
  return Upload(m.doc, index, rgb.get(), header.width, header.height);
}

int LoadPng(const Messages& m, int index, const std::string& path) {
  FileBytes file;
  if (!ReadPictureFile(m, path, file)) return -1;
  std::vector<uint8_t> rgb;
  int width = 0, height = 0;
  if (!DecodePngBottomUp({file.data.get(), file.size}, JpegImage::kDefaultMaxPixels, rgb, width,
                         height)) {
    m.Say("Can't decode " + Quoted(path));
    return -1;
  }
  return Upload(m.doc, index, rgb.data(), width, height);
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

}  // namespace

int LoadTextureImage(Document& doc, int index, const std::string& path, bool quiet) {
  const Messages m{doc, quiet};
  // Exactly these spellings: "x.Jpg" is read as a PPM.
  if (EndsWith(path, "jpg") || EndsWith(path, "JPG")) return LoadJpeg(m, index, path);
  if (EndsWith(path, "bmp") || EndsWith(path, "BMP")) return LoadBmp(m, index, path);
  if (EndsWith(path, "png") || EndsWith(path, "PNG")) return LoadPng(m, index, path);
  return LoadPpm(m, index, path);
}

int MakeCheckerTexture(Document& doc, int index) {
  std::unique_ptr<uint8_t[]> rgb(new (std::nothrow) uint8_t[kCheckerSize * kCheckerSize * 3]);
  if (!rgb) {
    doc.shell->Message("Unable to allocate memory");
    return -1;
  }
  uint8_t* out = rgb.get();
  for (int y = 0; y < kCheckerSize; ++y) {
    for (int x = 0; x < kCheckerSize; ++x, out += 3) {
      const uint8_t level = ((x ^ y) & 16) ? 255 : 0;
      out[0] = out[1] = out[2] = level;
    }
  }
  return Upload(doc, index, rgb.get(), kCheckerSize, kCheckerSize);
}

namespace {

// Keeps the picture just uploaded as entry `index` in the table.
int KeepEntry(Document& doc, int index, std::string_view name, std::string_view path) {
  if (index >= MaxTextures) {
    doc.uploader->Release(index);
    doc.shell->Message("Too many textures loaded");
    return -1;
  }
  try {
    doc.textures.entries.push_back({std::string(name), std::string(path)});
  } catch (const std::bad_alloc&) {
    doc.uploader->Release(index);
    doc.shell->Message("Not enough memory");
    return -1;
  }
  return 0;
}

}  // namespace

int AddTexture(Document& doc, std::string_view path, std::string_view name, bool quiet) {
  const int index = CurrentTextureCount(doc.textures);
  const int loaded = path.empty() ? MakeCheckerTexture(doc, index)
                                  : LoadTextureImage(doc, index, std::string(path), quiet);
  if (loaded != 0) return -1;
  return KeepEntry(doc, index, name, path.empty() ? kCheckerPath : path);
}

std::string_view HeldPictureEnding(std::span<const uint8_t> bytes) {
  constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  constexpr uint8_t kJpeg[] = {0xFF, 0xD8, 0xFF};
  auto startsWith = [&](std::span<const uint8_t> head) {
    return bytes.size() >= head.size() && std::equal(head.begin(), head.end(), bytes.begin());
  };
  if (startsWith(kPng)) return ".png";
  if (startsWith(kJpeg)) return ".jpg";
  return {};
}

namespace {

// Uploads a held picture as entry `index`; -1, silently, when it does not
// decode.
int UploadHeld(Document& doc, int index, std::span<const uint8_t> bytes) {
  const std::string_view ending = HeldPictureEnding(bytes);
  if (ending == ".png") {
    std::vector<uint8_t> rgb;
    int width = 0, height = 0;
    if (!DecodePngBottomUp(bytes, JpegImage::kDefaultMaxPixels, rgb, width, height)) return -1;
    return Upload(doc, index, rgb.data(), width, height);
  }
  if (ending == ".jpg") {
    JpegImage jpeg;
    jpeg.printMessages = false;
    jpeg.SetBottomUp();
    const uint8_t* rgb = jpeg.DecodeMemory(bytes.data(), bytes.size());
    return rgb ? Upload(doc, index, rgb, jpeg.Width(), jpeg.Height()) : -1;
  }
  return -1;
}

}  // namespace

int AddHeldTexture(Document& doc, std::span<const uint8_t> bytes, std::string_view stem) {
  const std::string name = std::string(stem) + std::string(HeldPictureEnding(bytes));
  if (const int found = FindTexture(doc.textures, name); found >= 0) return found;
  const int index = CurrentTextureCount(doc.textures);
  if (UploadHeld(doc, index, bytes) != 0) return -1;
  std::shared_ptr<const std::vector<uint8_t>> held;
  try {
    held = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
  } catch (const std::bad_alloc&) {
    doc.uploader->Release(index);
    doc.shell->Message("Not enough memory");
    return -1;
  }
  if (KeepEntry(doc, index, name, name) != 0) return -1;
  doc.textures.entries.back().held = std::move(held);
  return index;
}

int ReloadTexture(Document& doc, int index, bool quiet) {
  if (index < 0 || index >= CurrentTextureCount(doc.textures)) return -1;
  const TextureEntry entry = doc.textures.entries[static_cast<size_t>(index)];
  if (entry.held) return UploadHeld(doc, index, *entry.held);
  if (entry.path == kCheckerPath) return MakeCheckerTexture(doc, index);
  return LoadTextureImage(doc, index, entry.path, quiet);
}

int ResolveSceneTexture(Document& doc, std::string_view name, std::string_view fileName,
                        std::string_view sceneFolder) {
  const int found = FindTexture(doc.textures, name);
  if (found >= 0) return found;
  std::vector<std::string> dirs = doc.textures.searchPath;
  if (!sceneFolder.empty()) dirs.emplace_back(sceneFolder);
  for (const std::string& dir : dirs) {
    const std::string path = dir + "/" + std::string(fileName);
    if (AddTexture(doc, path, name, true) == 0) return CurrentTextureCount(doc.textures) - 1;
  }
  doc.shell->Message("Can't load " + Quoted(name) + " texture");
  return 0;
}

}  // namespace modra
