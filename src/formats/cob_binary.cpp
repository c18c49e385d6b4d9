// The binary form: 20-byte chunk headers (type, major and minor version,
// id, parent id, size) and packed bodies.
#include <cstring>
#include <string>
#include <vector>

#include "formats/cob_chunks.h"
#include "io/byte_reader.h"

namespace modra {
namespace {

constexpr size_t kMaxNameLength = 2000;
constexpr size_t kMaterialBytes = 37;

struct ChunkHeader {
  char type[4] = {};
  int32_t major = 0, minor = 0, id = 0, parent = 0, size = 0;
  bool Is(const char* name) const { return std::memcmp(type, name, 4) == 0; }
};

class BinaryChunks {
 public:
  BinaryChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start, bool bigEndian)
      : b_(builder), in_(bytes), budget_(CobReadBudget(bytes.size())) {
    in_.swap = bigEndian;
    in_.Seek(start);
  }

  int Run() {
    for (;;) {
      ChunkHeader h;
      if (!in_.Bytes(h.type, 4)) return kCobBadFile;
      h.major = in_.U16();
      h.minor = in_.U16();
      h.id = in_.I32();
      h.parent = in_.I32();
      h.size = in_.I32();
      if (!in_.ok()) return kCobBadFile;
      if (h.Is("END ")) return kCobOk;
      const size_t body = in_.pos();
      if (h.size < 0 || static_cast<size_t>(h.size) > in_.size() - body) return kCobBadFile;
      int r = kCobOk;
      if (h.major == 0 && h.Is("PolH"))
        r = ReadPolygon(h.id);
      else if (h.major == 0 && h.Is("Mat1"))
        r = ReadMaterial(h.parent, h.size);
      if (r != kCobOk) return r;
      read_ += in_.pos() - body;
      if (read_ > budget_) return kCobBadFile;
      // Whatever the body read, the next chunk starts where the size says.
      in_.Seek(body + static_cast<size_t>(h.size));
    }
  }

 private:
  // A count of items of `itemBytes` each that the rest of the file can hold.
  bool Count(int32_t& count, size_t itemBytes) {
    count = in_.I32();
    return in_.ok() && count >= 0 && static_cast<size_t>(count) <= in_.remaining() / itemBytes;
  }

  int ReadPolygon(int32_t id) {
    in_.U16();  // how many objects of this name came before
    const size_t nameLength = in_.U16();
    if (nameLength > kMaxNameLength) return kCobBadFile;
    const uint8_t* name = in_.Take(nameLength);
    if (!in_.ok()) return kCobBadFile;
    std::string_view text(reinterpret_cast<const char*>(name), nameLength);
    if (b_.BeginPolygon(text.substr(0, text.find('\0')), id) != kCobOk) return kCobNoMemory;
    in_.Skip(48);  // the local axes; the transform below says it all
    float rows[12];
    for (float& f : rows)
      f = in_.F32();
    if (!in_.ok()) return kCobBadFile;
    b_.SetTransform(rows);

    int32_t count = 0;
    if (!Count(count, 12)) return kCobBadFile;
    b_.ReserveVertices(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      const float x = in_.F32(), y = in_.F32(), z = in_.F32();
      b_.AddVertex(x, y, z);
    }
    if (!Count(count, 8)) return kCobBadFile;
    b_.ReserveTexVertices(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
      const float u = in_.F32(), v = in_.F32();
      b_.AddTexVertex(u, v);
    }
    // A face takes at least a flags byte and a corner count.
    if (!Count(count, 3)) return kCobBadFile;
    for (int32_t i = 0; i < count; ++i)
      if (int r = ReadFace(); r != kCobOk) return r;
    return kCobOk;
  }

  int ReadFace() {
    const uint8_t flags = in_.U8();
    const size_t n = in_.U16();
    if (flags & 8) {  // a hole
      in_.Skip(n * 8);
      return in_.ok() ? kCobOk : kCobBadFile;
    }
    const int32_t material = in_.U16();
    if (!in_.ok() || n > in_.remaining() / 8) return kCobBadFile;
    corners_.resize(n);
    for (CobCorner& c : corners_) {
      c.position = in_.I32();
      c.texture = in_.I32();
    }
    return b_.AddFace(corners_, material);
  }

  int ReadMaterial(int32_t parent, int32_t size) {
    if (static_cast<size_t>(size) < kMaterialBytes) return kCobBadFile;
    MeshObject o;
    o.owner = parent;
    o.number = in_.U16();
    in_.U8();  // shader
    const uint8_t facet = in_.U8();
    const uint8_t angle = in_.U8();
    float rgb[3];
    for (float& c : rgb)
      c = in_.F32();
    in_.F32();  // alpha: this form draws every material opaque
    const float ka = in_.F32();
    if (!in_.ok()) return kCobBadFile;
    o.color = {CobColor(rgb[0], ka), CobColor(rgb[1], ka), CobColor(rgb[2], ka)};
    o.alpha = 1.0f;
    o.specularLevel = 0.5f;
    o.shininess = 15.0f;
    o.ambient = ka;
    o.crease = facet == 'f'   ? 1.0f
               : facet == 's' ? kNoCreaseTest
                              : CobAutoCrease(static_cast<float>(angle));
    b_.AddMaterial(o);
    return kCobOk;
  }

  CobBuilder& b_;
  ByteReader in_;
  std::vector<CobCorner> corners_;
  size_t read_ = 0;  // bytes the chunk bodies took
  const size_t budget_;
};

}  // namespace

int ReadCobBinaryChunks(CobBuilder& builder, std::span<const uint8_t> bytes, size_t start,
                        bool bigEndian) {
  return BinaryChunks(builder, bytes, start, bigEndian).Run();
}

}  // namespace modra
