#include "formats/cob_reader.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string_view>

#include "formats/cob_builder.h"
#include "formats/cob_chunks.h"
#include "io/file_bytes.h"

namespace modra {
namespace {

constexpr std::string_view kMagic = "Caligari V00.01";
// The first line is read as at most this many characters.
constexpr size_t kMaxHeaderLine = 255;

int ReadCob(ImportMesh& mesh, std::span<const uint8_t> bytes,
            const triangulation::DebugSettings& debug) {
  CobBuilder builder(mesh, debug);
  if (builder.status() != kCobOk) return kCobNoMemory;

  // "Caligari V00.01", 'A' or 'B', then the byte order: "LH" for low byte
  // first. The chunks start on the next line, or right after the first
  // kMaxHeaderLine characters of a longer one.
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()),
                              std::min(bytes.size(), kMaxHeaderLine));
  const size_t end = text.find('\n');
  const std::string_view header = text.substr(0, end);
  const size_t chunks = end == std::string_view::npos ? text.size() : end + 1;
  if (!header.starts_with(kMagic) || header.size() < kMagic.size() + 1) return kCobBadFile;
  int result;
  switch (header[kMagic.size()]) {
    case 'A':
      result = ReadCobAsciiChunks(builder, bytes, chunks);
      break;
    case 'B':
      result =
          ReadCobBinaryChunks(builder, bytes, chunks, header.substr(kMagic.size() + 1, 2) != "LH");
      break;
    default:
      return kCobBadFile;
  }
  return result == kCobOk ? builder.Finish() : result;
}

}  // namespace

int ReadCobBytes(Document& doc, std::span<const uint8_t> bytes) {
  int result;
  try {
    result = ReadCob(doc.importMesh, bytes, doc.scene.triangulatorDebug);
  } catch (const std::bad_alloc&) {
    result = kCobNoMemory;
  } catch (const std::length_error&) {
    result = kCobNoMemory;
  }
  // A refused file leaves nothing half-built behind.
  if (result != kCobOk) ResetImportMesh(doc.importMesh);
  return result;
}

int ReadCobModel(Document& doc, const std::string& path) {
  FileBytes file;
  if (int failed = ReadWholeFile(path, file, {.shortRead = kCobBadFile, .tooLarge = kCobNoMemory}))
    return failed;
  return ReadCobBytes(doc, file.span());
}

}  // namespace modra
