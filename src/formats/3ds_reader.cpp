#include "formats/3ds_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>

#include "formats/import_mesh.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"

namespace modra {
namespace {

enum ChunkId : uint16_t {
  kMain = 0x4D4D,
  kEditor = 0x3D3D,
  kNamedObject = 0x4000,
  kTriangleMesh = 0x4100,
  kVertices = 0x4110,
  kVertexFlags = 0x4111,  // per-vertex flags: u16 count (not always there), u16 each
  kFaces = 0x4120,
  kFaceMaterials = 0x4130,
  kLocalAxes = 0x4160,
  kMaterialBlock = 0xAFFF,
  kMaterialName = 0xA000,
  kAmbientColor = 0xA010,
  kDiffuseColor = 0xA020,
  kSpecularColor = 0xA030,
  kColorFloat = 0x0010,
  kColorBytes = 0x0011,
  kLinearColorBytes = 0x0012,
  kLinearColorFloat = 0x0013,
};

constexpr uint32_t kHeaderSize = 6;
constexpr size_t kVertexRecord = 12;  // X, Y, Z
constexpr size_t kFaceRecord = 8;     // three vertex indices and a flags word
// Far deeper than any modeller nests objects inside meshes; it bounds the
// recursion that a hostile file could otherwise drive through the stack.
constexpr int kMaxNesting = 100;

uint16_t LoadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t LoadU32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t{p[3]} << 24;
}
float LoadF32(const uint8_t* p) {
  return std::bit_cast<float>(LoadU32(p));
}

struct Header {
  uint16_t id = 0;
  uint32_t length = 0;  // header, data and sub-chunks, as the file declares it
  size_t start = 0;     // offset of the header
};

struct Sizes {
  size_t vertices = 0, faces = 0;
};

// The positions and faces the file holds, so that the tables are sized
// once. It walks the chunk tree as written, which the reading loops need
// not follow exactly, so it is an estimate; every count is capped by its
// chunk's bytes, so it never asks for more than the file could fill.
Sizes EstimateSizes(std::span<const uint8_t> bytes) {
  Sizes sizes;
  size_t at = 0;
  while (bytes.size() - at >= kHeaderSize) {
    const uint16_t id = LoadU16(&bytes[at]);
    const uint32_t length = LoadU32(&bytes[at + 2]);
    if (length < kHeaderSize) break;
    const size_t data = at + kHeaderSize;
    const size_t end = static_cast<size_t>(std::min<uint64_t>(at + uint64_t{length}, bytes.size()));
    // Containers are entered: their sub-chunks follow their own header.
    if (id == kMain || id == kEditor || id == kTriangleMesh) {
      at = data;
      continue;
    }
    if (id == kNamedObject) {
      const void* zero = std::memchr(bytes.data() + data, 0, end - data);
      if (!zero) break;
      at = static_cast<size_t>(static_cast<const uint8_t*>(zero) - bytes.data()) + 1;
      continue;
    }
    if ((id == kVertices || id == kFaces) && end - data >= 2) {
      const size_t record = id == kVertices ? kVertexRecord : kFaceRecord;
      const size_t count = std::min<size_t>(LoadU16(&bytes[data]), (end - data - 2) / record);
      (id == kVertices ? sizes.vertices : sizes.faces) += count;
    }
    at = end;
  }
  return sizes;
}

// One file's read. Every block (editor, named object, mesh, material,
// colour) is read by the same loop, which counts the declared lengths of
// its sub-chunks rather than following the file position. A faces chunk
// consumes only its count and records, so the sub-chunks stored after
// them (face material lists, smoothing groups) are read by whichever loop
// reads the next header; the faces of a chunk are the ones a face
// material list read after it names.
class Reader {
 public:
  Reader(ImportMesh& m, std::span<const uint8_t> bytes) : m_(m), bytes_(bytes), in_(bytes) {}

  // 0, -2 or -3.
  int Read() {
    ResetImportMesh(m_);
    m_.defaultTexCoord = {0, 0};
    MeshObject white;
    white.name = "white";
    white.crease = 0.5f;
    m_.objects.push_back(std::move(white));
    if (AddPart(m_, "None") != 0) return -3;
    const Sizes sizes = EstimateSizes(bytes_);
    m_.meshVertices.reserve(sizes.vertices);
    m_.faces.reserve(sizes.faces);
    m_.vertexFaceLinks.reserve(sizes.faces * 3);

    Header main;
    // The main chunk's length is not trusted: the top level runs to the
    // end of the file.
    if (!NextHeader(main) || main.id != kMain) return -2;
    while (in_.remaining() >= kHeaderSize) {
      Header h;
      NextHeader(h);
      if (h.length < kHeaderSize) return -2;
      int result = 0;
      if (h.id == kEditor)
        result = Editor(h);
      else if (h.id == kNamedObject)
        result = NamedObject(h);
      else
        result = Other(h);
      if (result != 0) return result;
    }
    return ComputeVertexNormals(m_, -1.0f) == 0 ? 0 : -3;
  }

 private:
  bool NextHeader(Header& h) {
    h.start = in_.pos();
    h.id = in_.U16();
    h.length = in_.U32();
    return in_.ok();
  }

  // Past the chunk, or to the end of the file when it claims more.
  void Skip(const Header& h) {
    in_.Seek(static_cast<size_t>(std::min<uint64_t>(h.start + uint64_t{h.length}, in_.size())));
  }

  // Runs act(sub-chunk header) -> 0, -2 or -3 until the declared lengths
  // of the sub-chunks, added to `total`, reach the block's length.
  template <class Act>
  int Loop(uint64_t total, const Header& block, Act act) {
    while (total < block.length) {
      Header h;
      if (!NextHeader(h)) return -2;
      // Shorter than its own header: nothing after it can be delimited
      // (and a zero length would never let the loop end).
      if (h.length < kHeaderSize) return -2;
      total += h.length;
      if (int result = act(h); result != 0) return result;
    }
    return 0;
  }

  // A zero-terminated name at the read position; false unless its zero
  // byte comes before the end of the chunk and of the file.
  bool ReadName(const Header& h, std::string_view& name) {
    const size_t from = in_.pos();
    const size_t end =
        static_cast<size_t>(std::min<uint64_t>(h.start + uint64_t{h.length}, in_.size()));
    if (from >= end) return false;
    const uint8_t* p = in_.Take(end - from);
    const void* zero = p ? std::memchr(p, 0, end - from) : nullptr;
    if (!zero) return false;
    const size_t length = static_cast<size_t>(static_cast<const uint8_t*>(zero) - p);
    name = {reinterpret_cast<const char*>(p), length};
    return in_.Seek(from + length + 1);
  }

  // What the top level, editor, object and mesh loops do with a chunk
  // they have no use of their own for. A face material list belongs to
  // the faces chunk read last, wherever the loops meet it: with the usual
  // layout the editor loop meets it, but after the last object of the
  // editor block it is the top level, and it still names that object's
  // faces.
  int Other(const Header& h) {
    if (h.id == kFaceMaterials) return FaceMaterials(h);
    Skip(h);
    return 0;
  }

  int Editor(const Header& block) {
    return Loop(kHeaderSize, block, [&](const Header& h) {
      switch (h.id) {
        case kNamedObject:
          return NamedObject(h);
        case kMaterialBlock:
          return MaterialBlock(h);
        default:
          return Other(h);
      }
    });
  }

  int NamedObject(const Header& block) {
    if (depth_ == kMaxNesting) return -2;
    std::string_view name;
    if (!ReadName(block, name)) return -2;
    if (AddPart(m_, name) != 0) return -3;
    part_ = static_cast<int>(m_.parts.size()) - 1;
    entry_ = 0;
    if (AddSmoothEntry(m_, part_, 1) != 0) return -3;
    ++depth_;
    const int result = Loop(kHeaderSize + name.size() + 1, block, [&](const Header& h) {
      return h.id == kTriangleMesh ? Mesh(h) : Other(h);
    });
    --depth_;
    return result;
  }

  int Mesh(const Header& block) {
    return Loop(kHeaderSize, block, [&](const Header& h) {
      switch (h.id) {
        case kVertices:
          return Vertices();
        case kVertexFlags:
          // Not used, and skipped by its length: some writers leave out
          // its count, and reading one would lose the rest of the mesh.
          Skip(h);
          return 0;
        case kFaces:
          return Faces();
        case kLocalAxes:
          return in_.Skip(12 * 4) ? 0 : -2;
        case kNamedObject:
          return NamedObject(h);
        default:
          return Other(h);
      }
    });
  }

  int Vertices() {
    vertexBase_ += vertexCount_;
    const uint16_t count = in_.U16();
    // Take checks the count against the bytes left before anything grows.
    const uint8_t* p = in_.Take(count * kVertexRecord);
    if (!p) return -2;
    for (uint16_t i = 0; i < count; ++i, p += kVertexRecord)
      m_.meshVertices.push_back({LoadF32(p + 4), LoadF32(p + 8), -LoadF32(p)});
    vertexCount_ = count;
    return 0;
  }

  int Faces() {
    faceBase_ = m_.faces.size();
    const uint16_t count = in_.U16();
    const uint8_t* p = in_.Take(count * kFaceRecord);
    if (!p) return -2;
    MeshFace face;
    face.cornerCount = 3;
    face.creaseCos = 0.5f;
    face.owner = 0;
    face.objectIndex = 0;
    // Plain white corners until a face material list names a material:
    // not object 0's colour, which a material block without a name can change.
    face.colorObject = -1;
    face.partIndex = part_;
    face.entryIndex = entry_;
    const size_t positions = m_.meshVertices.size();
    for (uint16_t i = 0; i < count; ++i, p += kFaceRecord) {
      for (int k = 0; k < 3; ++k) {
        const size_t v = vertexBase_ + LoadU16(p + 2 * k);
        if (v >= positions) return -2;
        face.cornerVertices[k] = static_cast<int32_t>(v);
      }
      const int f = static_cast<int>(m_.faces.size());
      for (int k = 0; k < 3; ++k)
        if (AddVertexFace(m_, f, face.cornerVertices[k]) != 0) return -3;
      if (AddFaceToEntry(m_, part_, entry_, f) != 0) return -3;
      m_.faces.push_back(face);
    }
    return 0;
  }

  // Faces of the latest faces chunk that take a material.
  int FaceMaterials(const Header& block) {
    std::string_view name;
    if (!ReadName(block, name)) return -2;
    int32_t object = 0;  // an unknown material leaves them white
    for (size_t i = 0; i < m_.objects.size(); ++i)
      if (m_.objects[i].name == name) {
        object = static_cast<int32_t>(i);
        break;
      }
    const uint16_t count = in_.U16();
    const uint8_t* p = in_.Take(size_t{count} * 2);
    if (!p) return -2;
    for (uint16_t i = 0; i < count; ++i, p += 2) {
      const size_t f = faceBase_ + LoadU16(p);
      if (f >= m_.faces.size()) return -2;
      m_.faces[f].objectIndex = object;
      m_.faces[f].colorObject = object;
    }
    return 0;
  }

  int MaterialBlock(const Header& block) {
    return Loop(kHeaderSize, block, [&](const Header& h) {
      Vec3 color;
      switch (h.id) {
        case kMaterialName:
          return MaterialName(h);
        case kAmbientColor:
          return Color(h, color);
        case kDiffuseColor:
          if (int result = Color(h, color); result != 0) return result;
          m_.objects.back().color = color;
          return 0;
        case kSpecularColor:
          if (int result = Color(h, color); result != 0) return result;
          m_.objects.back().specularLevel = (color[0] + color[1] + color[2]) * 0.33333334f;
          return 0;
        default:
          Skip(h);
          return 0;
      }
    });
  }

  // The whole of the chunk's data holds the name.
  int MaterialName(const Header& h) {
    const size_t size = h.length - kHeaderSize;
    const uint8_t* p = in_.Take(size);
    const void* zero = p ? std::memchr(p, 0, size) : nullptr;
    if (!zero) return -2;
    MeshObject object;
    object.name.assign(reinterpret_cast<const char*>(p),
                       static_cast<size_t>(static_cast<const uint8_t*>(zero) - p));
    object.crease = 0.5f;
    m_.objects.push_back(std::move(object));
    return 0;
  }

  // The last colour sub-chunk decides; any other kind of sub-chunk makes
  // the colour white.
  int Color(const Header& block, Vec3& color) {
    color = {1, 1, 1};
    return Loop(kHeaderSize, block, [&](const Header& h) {
      switch (h.id) {
        case kColorFloat:
        case kLinearColorFloat: {
          const uint8_t* p = in_.Take(12);
          if (!p) return -2;
          color = {LoadF32(p), LoadF32(p + 4), LoadF32(p + 8)};
          return 0;
        }
        case kColorBytes:
        case kLinearColorBytes: {
          const uint8_t* p = in_.Take(3);
          if (!p) return -2;
          color = {p[0] * 0.003921569f, p[1] * 0.003921569f, p[2] * 0.003921569f};
          return 0;
        }
        default:
          Skip(h);
          color = {1, 1, 1};
          return 0;
      }
    });
  }

  ImportMesh& m_;
  std::span<const uint8_t> bytes_;
  ByteReader in_;
  size_t vertexBase_ = 0;   // positions before the latest vertex chunk
  size_t vertexCount_ = 0;  // positions of the latest vertex chunk
  size_t faceBase_ = 0;     // faces before the latest faces chunk
  int part_ = 0, entry_ = 0;
  int depth_ = 0;  // named objects being read
};

}  // namespace

int Read3dsBytes(Document& doc, std::span<const uint8_t> bytes) {
  int result;
  try {
    result = Reader(doc.importMesh, bytes).Read();
  } catch (const std::bad_alloc&) {
    result = -3;
  } catch (const std::length_error&) {
    result = -3;
  }
  if (result != 0) ResetImportMesh(doc.importMesh);
  return result;
}

int Read3dsModel(Document& doc, const std::string& path) {
  FileBytes file;
  if (int failed = ReadWholeFile(path, file)) {
    ResetImportMesh(doc.importMesh);
    return failed;
  }
  return Read3dsBytes(doc, file.span());
}

}  // namespace modra
