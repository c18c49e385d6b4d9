#include "formats/cob_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>

namespace modra {
namespace {

constexpr float kIdentityRows[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};

// Vertex numbers are int32 in the faces.
constexpr size_t kMaxTableSize = static_cast<size_t>(std::numeric_limits<int32_t>::max());

uint64_t MaterialKey(int32_t owner, int32_t number) {
  return (uint64_t{static_cast<uint32_t>(owner)} << 32) | static_cast<uint32_t>(number);
}

}  // namespace

float CobAutoCrease(float degrees) {
  return static_cast<float>(std::cos(degrees * 0.0174533));
}

float CobColor(float diffuse, float ambient) {
  const float c = diffuse + ambient;
  return c >= 1.0f ? 1.0f : c;
}

CobBuilder::CobBuilder(ImportMesh& mesh, const triangulation::DebugSettings& debug)
    : m_(mesh), triangulator_(debug) {
  ResetImportMesh(m_);
  try {
    // The default object sits in slot 0 until the first material replaces it.
    m_.objects.emplace_back();
  } catch (const std::bad_alloc&) {
    status_ = kCobNoMemory;
    return;
  }
  if (AddPart(m_, "None") != 0) status_ = kCobNoMemory;
}

int CobBuilder::BeginPolygon(std::string_view name, int32_t chunkId) {
  if (AddPart(m_, name) != 0) return kCobNoMemory;
  part_ = static_cast<int>(m_.parts.size()) - 1;
  if (AddSmoothEntry(m_, part_, 1) != 0) return kCobNoMemory;
  // A part renamed for this chunk keeps nothing of the chunk before.
  m_.parts[part_].flags &= ~TexCoords;
  chunkId_ = chunkId;
  std::copy(std::begin(kIdentityRows), std::end(kIdentityRows), transform_);
  vertexBase_ = m_.meshVertices.size();
  texBase_ = m_.meshTexCoords.size();
  previous_.clear();
  return kCobOk;
}

void CobBuilder::SetTransform(const float rows[12]) {
  std::copy(rows, rows + 12, transform_);
}

void CobBuilder::ReserveVertices(size_t count) {
  m_.meshVertices.reserve(m_.meshVertices.size() + std::min(count, kMaxTableSize));
}

void CobBuilder::ReserveTexVertices(size_t count) {
  m_.meshTexCoords.reserve(m_.meshTexCoords.size() + std::min(count, kMaxTableSize));
}

void CobBuilder::AddVertex(float x, float y, float z) {
  if (m_.meshVertices.size() >= kMaxTableSize) throw std::bad_alloc();
  const float* r = transform_;
  const float wx = r[0] * x + r[1] * y + r[2] * z + r[3];
  const float wy = r[4] * x + r[5] * y + r[6] * z + r[7];
  const float wz = r[8] * x + r[9] * y + r[10] * z + r[11];
  // The file's z is up; ours is y, and our z points the other way.
  m_.meshVertices.push_back({-wx, wz, -wy});
}

void CobBuilder::AddTexVertex(float u, float v) {
  if (m_.meshTexCoords.size() >= kMaxTableSize) throw std::bad_alloc();
  m_.meshTexCoords.push_back({u, v});
  m_.parts[part_].flags |= TexCoords;
}

int CobBuilder::AddFace(std::span<const CobCorner> corners, int32_t material) {
  const size_t n = corners.size();
  if (n < 3) return kCobOk;  // a point or a line: nothing to fill
  if (n > static_cast<size_t>(kCobMaxCorners)) return kCobBadFile;
  const size_t chunkVertices = m_.meshVertices.size() - vertexBase_;
  const size_t chunkTexVertices = m_.meshTexCoords.size() - texBase_;
  positions_.resize(n);
  textures_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const CobCorner& c = corners[n - 1 - i];
    if (c.position < 0 || static_cast<size_t>(c.position) >= chunkVertices) return kCobBadFile;
    positions_[i] = static_cast<int32_t>(vertexBase_ + c.position);
    // Without texture vertices the part draws no texture: the index is moot.
    if (chunkTexVertices == 0) {
      textures_[i] = -1;
    } else {
      if (c.texture < 0 || static_cast<size_t>(c.texture) >= chunkTexVertices) return kCobBadFile;
      textures_[i] = static_cast<int32_t>(texBase_ + c.texture);
    }
  }

  // Two-sided polygons are written twice, the second time from the back.
  if (previous_.size() == n && std::equal(positions_.begin(), positions_.end(), previous_.rbegin()))
    return kCobOk;
  previous_ = positions_;

  // Every corner is linked to the first face the polygon makes.
  const int face = static_cast<int>(m_.faces.size());
  for (int32_t v : positions_)
    if (AddVertexFace(m_, face, v) != 0) return kCobNoMemory;
  if (n <= 4) {
    static constexpr int kInOrder[4] = {0, 1, 2, 3};
    return MakeFace(static_cast<int>(n), kInOrder, material);
  }
  return AddPolygon(material);
}

int CobBuilder::MakeFace(int cornerCount, const int* corners, int32_t material) {
  MeshFace f;
  f.cornerCount = static_cast<uint8_t>(cornerCount);
  f.creaseCos = 1.0f;
  f.owner = chunkId_;
  f.objectIndex = material;  // a material number until Finish matches it
  f.colorObject = -1;
  f.partIndex = part_;
  f.entryIndex = 0;
  std::array<int32_t, 4> tex = {-1, -1, -1, -1};
  for (int k = 0; k < cornerCount; ++k) {
    f.cornerVertices[k] = positions_[corners[k]];
    tex[k] = textures_[corners[k]];
  }
  const int face = static_cast<int>(m_.faces.size());
  m_.faces.push_back(f);
  m_.cornerTexCoords.push_back(tex);
  return AddFaceToEntry(m_, part_, 0, face) == 0 ? kCobOk : kCobNoMemory;
}

int CobBuilder::AddPolygon(int32_t material) {
  const size_t n = positions_.size();
  // x, y, z, u, v and the corner's place in the list, which leads back to
  // both its vertex and its texture numbers.
  polygon_.resize(n * 6);
  for (size_t i = 0; i < n; ++i) {
    float* out = &polygon_[i * 6];
    const Vec3& p = m_.meshVertices[positions_[i]];
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    const std::array<float, 2> st =
        textures_[i] >= 0 ? m_.meshTexCoords[textures_[i]] : std::array<float, 2>{0, 0};
    out[3] = st[0];
    out[4] = st[1];
    out[5] = static_cast<float>(i);
  }
  triangles_.clear();
  bool outOfMemory = false;
  const int contourEnd = static_cast<int>(n) - 1;
  // The sink must not throw through the triangulator.
  const int result = triangulator_.Run(polygon_.data(), &contourEnd, 1, 3, [&](const float* t) {
    try {
      triangles_.insert(triangles_.end(), t, t + 18);
    } catch (const std::bad_alloc&) {
      outOfMemory = true;
    }
  });
  if (outOfMemory) return kCobNoMemory;

  bool fan = result != 0 || triangles_.empty();
  for (size_t k = 5; !fan && k < triangles_.size(); k += 6)
    fan = !(triangles_[k] >= 0 && triangles_[k] < static_cast<float>(n));
  if (fan) {
    for (size_t i = 1; i + 1 < n; ++i) {
      const int corners[3] = {0, static_cast<int>(i), static_cast<int>(i + 1)};
      if (int r = MakeFace(3, corners, material); r != kCobOk) return r;
    }
    return kCobOk;
  }
  for (size_t t = 0; t < triangles_.size(); t += 18) {
    const int corners[3] = {static_cast<int>(triangles_[t + 5]),
                            static_cast<int>(triangles_[t + 11]),
                            static_cast<int>(triangles_[t + 17])};
    if (int r = MakeFace(3, corners, material); r != kCobOk) return r;
  }
  return kCobOk;
}

void CobBuilder::AddMaterial(const MeshObject& material) {
  if (materialCount_ == 0)
    m_.objects[0] = material;
  else
    m_.objects.push_back(material);
  ++materialCount_;
}

int CobBuilder::Finish() {
  std::unordered_map<uint64_t, int32_t> byOwner;
  byOwner.reserve(static_cast<size_t>(materialCount_));
  for (int32_t i = 0; i < materialCount_; ++i)
    byOwner.emplace(MaterialKey(m_.objects[i].owner, m_.objects[i].number), i);  // first one wins

  // Faces without a material are white and faceted, and so is the object
  // they point at: otherwise a material number that happens to be the
  // index of some other chunk's object would colour their part.
  int32_t white = -1;
  for (MeshFace& f : m_.faces) {
    auto it = byOwner.find(MaterialKey(f.owner, f.objectIndex));
    if (it != byOwner.end()) {
      f.objectIndex = f.colorObject = it->second;
      f.creaseCos = m_.objects[it->second].crease;
      continue;
    }
    if (white == -1) {
      if (materialCount_ == 0) {
        white = 0;  // still the default object
      } else {
        white = static_cast<int32_t>(m_.objects.size());
        m_.objects.emplace_back();
      }
    }
    f.objectIndex = white;
    f.colorObject = -1;
    f.creaseCos = 1.0f;
  }
  return ComputeVertexNormals(m_, -1.0f) == 0 ? kCobOk : kCobNoMemory;
}

}  // namespace modra
