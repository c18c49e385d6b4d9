#include "formats/gltf_reader.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "anim/curves.h"
#include "formats/gltf_picture_views.h"
#include "images/texture_table.h"
#include "io/file_bytes.h"
#include "io/huge_pages.h"
#include "io/mapped_file.h"
#include "scene/bounds.h"
#include "scene/group_fields.h"
#include "scene/matrix.h"

namespace modra {
namespace {

// Elements one accessor may hold: far beyond any model the editor can show,
// yet a corrupt count cannot ask for gigabytes.
constexpr size_t kMaxElements = size_t{1} << 26;
// Elements of an accessor without a view: all zeros, so nothing in the
// file's size bounds them.
constexpr size_t kMaxZeroElements = size_t{1} << 20;
// Corners and groups of the whole model: a mesh may be placed by any
// number of nodes, so small files can ask for very many.
constexpr size_t kMaxCorners = size_t{1} << 24;
constexpr size_t kMaxGroups = size_t{1} << 20;
// Levels of nodes: the scene's walks recurse through the hierarchy.
constexpr int kMaxDepth = 1000;

constexpr int kOk = 0;
constexpr int kCannotOpen = -1;
constexpr int kBadFile = -2;
constexpr int kNoMemory = -3;

// A group to be made, with its parent's place in the plan (-1: top level).
struct Planned {
  DisplayGroup group;
  int parent = -1;
  int node = -1;  // the glTF node it stands for; -1 for a primitive's group
  Mat4 world = kIdentity;
  std::string texture;  // an image file for the base colour, when any
  int image = -1;       // else the file's own picture for it, when any
};

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

double Component(const uint8_t* p, int type, bool normalized) {
  switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE: {
      const double v = static_cast<int8_t>(p[0]);
      return normalized ? std::max(v / 127.0, -1.0) : v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return normalized ? p[0] / 255.0 : p[0];
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
      const double v = static_cast<int16_t>(Le16(p));
      return normalized ? std::max(v / 32767.0, -1.0) : v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return normalized ? Le16(p) / 65535.0 : Le16(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
      return normalized ? Le32(p) / 4294967295.0 : Le32(p);
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return std::bit_cast<float>(Le32(p));
    default:
      return 0;
  }
}

int ComponentSize(int type) {
  switch (type) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
      return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
      return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
      return 4;
    default:
      return 0;
  }
}

int Width(int type) {
  switch (type) {
    case TINYGLTF_TYPE_SCALAR:
      return 1;
    case TINYGLTF_TYPE_VEC2:
      return 2;
    case TINYGLTF_TYPE_VEC3:
      return 3;
    case TINYGLTF_TYPE_VEC4:
      return 4;
    default:
      return 0;
  }
}

// Nothing that is not a finite number reaches a group or a key.
float Finite(double v) {
  const float f = static_cast<float>(v);
  return std::isfinite(f) ? f : 0.0f;
}
void MakeFinite(Vec3& v) {
  for (float& x : v)
    x = Finite(x);
}

template <class T>
bool InRange(const std::vector<T>& v, int index) {
  return index >= 0 && static_cast<size_t>(index) < v.size();
}

// Where an accessor's elements lie, once every byte of them is known to
// be inside its buffer. data is null for an accessor without a view,
// whose elements are all zero.
struct Elements {
  const uint8_t* data = nullptr;
  size_t count = 0;
  size_t stride = 0;
  int componentType = 0;
  int width = 0;
  bool normalized = false;
};

bool Locate(const tinygltf::Model& model, int index, Elements& out) {
  if (!InRange(model.accessors, index)) return false;
  const tinygltf::Accessor& a = model.accessors[index];
  const int size = ComponentSize(a.componentType), width = Width(a.type);
  if (size == 0 || width == 0 || a.count > kMaxElements) return false;
  out = {nullptr, a.count, 0, a.componentType, width, a.normalized};
  if (a.bufferView < 0) return a.count <= kMaxZeroElements;
  if (!InRange(model.bufferViews, a.bufferView)) return false;
  const tinygltf::BufferView& view = model.bufferViews[a.bufferView];
  if (!InRange(model.buffers, view.buffer)) return false;
  const std::vector<unsigned char>& buffer = model.buffers[view.buffer].data;
  if (view.byteLength > buffer.size() || view.byteOffset > buffer.size() - view.byteLength)
    return false;
  const size_t element = static_cast<size_t>(size) * width;
  const size_t stride = view.byteStride ? view.byteStride : element;
  if (stride < element || stride > 252) return false;
  if (a.count > 0) {
    if (a.byteOffset > view.byteLength || view.byteLength - a.byteOffset < element) return false;
    if ((a.count - 1) > (view.byteLength - a.byteOffset - element) / stride) return false;
  }
  out.data = buffer.data() + view.byteOffset + a.byteOffset;
  out.stride = stride;
  return true;
}

// A packed run of elements inside a buffer view: the sparse indices and
// values. null when it does not lie wholly inside its buffer.
const uint8_t* PackedRun(const tinygltf::Model& model, int viewIndex, int offset, size_t count,
                         size_t element) {
  if (!InRange(model.bufferViews, viewIndex) || offset < 0) return nullptr;
  const tinygltf::BufferView& view = model.bufferViews[viewIndex];
  if (!InRange(model.buffers, view.buffer)) return nullptr;
  const std::vector<unsigned char>& buffer = model.buffers[view.buffer].data;
  if (view.byteLength > buffer.size() || view.byteOffset > buffer.size() - view.byteLength)
    return nullptr;
  const auto start = static_cast<size_t>(offset);
  if (start > view.byteLength || (view.byteLength - start) / element < count) return nullptr;
  return buffer.data() + view.byteOffset + start;
}

// The elements a sparse accessor replaces: for each, its place and where
// its value lies (elements of the accessor's own type, packed). false when
// they do not hold: a place past the accessor's elements or not after the
// one before, or indices or values outside their buffer.
bool SparseEntries(const tinygltf::Model& model, const tinygltf::Accessor& a,
                   std::vector<std::pair<size_t, const uint8_t*>>& out) {
  out.clear();
  if (!a.sparse.isSparse) return true;
  const auto& sp = a.sparse;
  const int indexType = sp.indices.componentType;
  if (indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
      indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
      indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
    return false;
  if (sp.count < 1 || static_cast<size_t>(sp.count) > a.count) return false;
  const auto count = static_cast<size_t>(sp.count);
  const size_t indexSize = static_cast<size_t>(ComponentSize(indexType));
  const size_t element = static_cast<size_t>(ComponentSize(a.componentType)) * Width(a.type);
  const uint8_t* indices =
      PackedRun(model, sp.indices.bufferView, sp.indices.byteOffset, count, indexSize);
  const uint8_t* values =
      PackedRun(model, sp.values.bufferView, sp.values.byteOffset, count, element);
  if (!indices || !values) return false;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const auto at = static_cast<size_t>(Component(indices + i * indexSize, indexType, false));
    if (at >= a.count || (i > 0 && at <= out.back().first)) return false;
    out.emplace_back(at, values + i * element);
  }
  return true;
}

// The accessor's elements as `width` floats each; false when it cannot be
// read or holds elements of another width.
bool ReadFloats(const tinygltf::Model& model, int index, int width, std::vector<float>& out) {
  Elements e;
  if (!Locate(model, index, e) || e.width != width) return false;
  std::vector<std::pair<size_t, const uint8_t*>> sparse;
  if (!SparseEntries(model, model.accessors[index], sparse)) return false;
  const int size = ComponentSize(e.componentType);
  auto element = [&](const uint8_t* at, float* to) {
    for (int k = 0; k < width; ++k) {
      const double v = Component(at + k * size, e.componentType, e.normalized);
      to[k] = std::isfinite(v) ? static_cast<float>(v) : 0.0f;
    }
  };
  out.resize(e.count * width);
  if (!e.data) {
    std::fill(out.begin(), out.end(), 0.0f);
  } else if (e.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT &&
             e.stride == sizeof(float) * width && std::endian::native == std::endian::little) {
    // packed floats, as nearly every file holds them: one copy, then
    // anything that is not a number made zero
    std::memcpy(out.data(), e.data, out.size() * sizeof(float));
    for (float& v : out)
      if (!std::isfinite(v)) v = 0.0f;
  } else {
    for (size_t i = 0; i < e.count; ++i)
      element(e.data + i * e.stride, &out[i * width]);
  }
  for (const auto& [at, value] : sparse)
    element(value, &out[at * width]);
  return true;
}

// The same, read in place when the buffer holds them as packed finite
// floats on their own alignment (as a .glb that was written for drawing
// does), so that a large mesh is not copied on its way into the groups;
// else read into `storage`.
bool ReadFloatsInPlace(const tinygltf::Model& model, int index, int width,
                       std::vector<float>& storage, std::span<const float>& out) {
  Elements e;
  if (std::endian::native == std::endian::little && Locate(model, index, e) && e.width == width &&
      e.data && e.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT &&
      e.stride == sizeof(float) * width && !model.accessors[index].sparse.isSparse &&
      reinterpret_cast<uintptr_t>(e.data) % alignof(float) == 0) {
    const std::span<const float> floats(reinterpret_cast<const float*>(e.data), e.count * width);
    if (std::all_of(floats.begin(), floats.end(), [](float v) { return std::isfinite(v); })) {
      out = floats;
      return true;
    }
  }
  if (!ReadFloats(model, index, width, storage)) return false;
  out = storage;
  return true;
}

// Index lists: unsigned whole numbers, each below `vertexCount`.
bool ReadIndices(const tinygltf::Model& model, int index, size_t vertexCount,
                 std::vector<uint32_t>& out) {
  Elements e;
  if (!Locate(model, index, e) || e.width != 1) return false;
  if (e.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
      e.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
      e.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
    return false;
  std::vector<std::pair<size_t, const uint8_t*>> sparse;
  if (!SparseEntries(model, model.accessors[index], sparse)) return false;
  out.assign(e.count, 0);
  auto value = [&](const uint8_t* at) {
    return static_cast<uint32_t>(Component(at, e.componentType, false));
  };
  if (e.data)
    for (size_t i = 0; i < e.count; ++i)
      out[i] = value(e.data + i * e.stride);
  for (const auto& [at, v] : sparse)
    out[at] = value(v);
  return std::all_of(out.begin(), out.end(), [&](uint32_t v) { return v < vertexCount; });
}

// The corners of the primitive's triangles, in the file's order.
bool Triangles(int mode, const std::vector<uint32_t>& idx, std::vector<uint32_t>& out) {
  const size_t n = idx.size();
  switch (mode) {
    case TINYGLTF_MODE_TRIANGLES:
      out.assign(idx.begin(), idx.begin() + static_cast<std::ptrdiff_t>(n - n % 3));
      return true;
    case TINYGLTF_MODE_TRIANGLE_STRIP:
      for (size_t i = 0; i + 2 < n; ++i) {
        const size_t odd = i % 2;
        out.insert(out.end(), {idx[i], idx[i + 1 + odd], idx[i + 2 - odd]});
      }
      return true;
    case TINYGLTF_MODE_TRIANGLE_FAN:
      for (size_t i = 1; i + 1 < n; ++i)
        out.insert(out.end(), {idx[i], idx[i + 1], idx[0]});
      return true;
    case TINYGLTF_MODE_POINTS:
    case TINYGLTF_MODE_LINE:
    case TINYGLTF_MODE_LINE_LOOP:
    case TINYGLTF_MODE_LINE_STRIP:
      return true;
    default:
      return false;
  }
}

Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec3 Normalized(const Vec3& v) {
  const float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (!(len > 0) || !std::isfinite(len)) return {0, 0, 1};
  return {v[0] / len, v[1] / len, v[2] / len};
}

// Colour and texture of a primitive's material, when it has one.
struct Look {
  float color[4] = {1, 1, 1, 1};
  std::string texture;  // a file beside the model
  int image = -1;       // or a picture inside it
  int texCoord = 0;
};

Look MaterialLook(const tinygltf::Model& model, int material) {
  Look look;
  if (!InRange(model.materials, material)) return look;
  const tinygltf::PbrMetallicRoughness& pbr = model.materials[material].pbrMetallicRoughness;
  if (pbr.baseColorFactor.size() == 4)
    for (int i = 0; i < 4; ++i) {
      const double v = pbr.baseColorFactor[i];
      look.color[i] = std::isfinite(v) ? static_cast<float>(std::clamp(v, 0.0, 1.0)) : 1.0f;
    }
  const int t = pbr.baseColorTexture.index;
  if (InRange(model.textures, t) && InRange(model.images, model.textures[t].source)) {
    // tinygltf keeps the name of a picture in a file of its own; one in a
    // data URI or a buffer view has none
    const int source = model.textures[t].source;
    const std::string& uri = model.images[source].uri;
    if (uri.empty())
      look.image = source;
    else
      look.texture = uri;
    look.texCoord = pbr.baseColorTexture.texCoord;
  }
  return look;
}

int Attribute(const tinygltf::Primitive& p, const char* name) {
  auto it = p.attributes.find(name);
  return it == p.attributes.end() ? -1 : it->second;
}

// One primitive as a group's triangles; kOk, or kBadFile for an accessor
// or index that does not hold, kNoMemory past the model's corner budget
// (`corners` counts them).
int BuildPrimitive(const tinygltf::Model& model, const tinygltf::Primitive& prim, Planned& out,
                   size_t& corners) {
  DisplayGroup& group = out.group;
  const Look look = MaterialLook(model, prim.material);
  group.color = {look.color[0], look.color[1], look.color[2]};
  group.alpha = look.color[3];

  std::vector<float> positionStore, normalStore, colors, texCoords;
  std::span<const float> positions, normals;
  const int position = Attribute(prim, "POSITION");
  if (position < 0) return kOk;  // nothing to place
  if (!ReadFloatsInPlace(model, position, 3, positionStore, positions)) return kBadFile;
  const size_t vertexCount = positions.size() / 3;
  const int normal = Attribute(prim, "NORMAL");
  if (normal >= 0 && (!ReadFloatsInPlace(model, normal, 3, normalStore, normals) ||
                      normals.size() != positions.size()))
    return kBadFile;
  const int color = Attribute(prim, "COLOR_0");
  int colorWidth = 0;
  if (color >= 0) {
    colorWidth = InRange(model.accessors, color) ? Width(model.accessors[color].type) : 0;
    if ((colorWidth != 3 && colorWidth != 4) || !ReadFloats(model, color, colorWidth, colors) ||
        colors.size() != vertexCount * colorWidth)
      return kBadFile;
  }
  if (!look.texture.empty() || look.image >= 0) {
    const int uv = Attribute(prim, ("TEXCOORD_" + std::to_string(look.texCoord)).c_str());
    if (uv >= 0) {
      if (!ReadFloats(model, uv, 2, texCoords) || texCoords.size() != vertexCount * 2)
        return kBadFile;
      out.texture = look.texture;
      out.image = look.image;
    }
  }

  // Corner t of the triangles is vertex list[t]; a plain triangle list
  // without indices, the commonest large mesh, needs no list.
  std::vector<uint32_t> indices, list;
  const int mode = prim.mode < 0 ? TINYGLTF_MODE_TRIANGLES : prim.mode;
  const bool inOrder = prim.indices < 0 && mode == TINYGLTF_MODE_TRIANGLES;
  if (prim.indices >= 0) {
    if (!ReadIndices(model, prim.indices, vertexCount, indices)) return kBadFile;
  } else if (!inOrder) {
    indices.resize(vertexCount);
    for (size_t i = 0; i < vertexCount; ++i)
      indices[i] = static_cast<uint32_t>(i);
  }
  if (!inOrder && !Triangles(mode, indices, list)) return kBadFile;
  const size_t cornerCount = inOrder ? vertexCount - vertexCount % 3 : list.size();
  if (cornerCount == 0) return kOk;
  corners += cornerCount;
  if (corners > kMaxCorners) return kNoMemory;
  auto vertexOf = [&](size_t t) { return inOrder ? static_cast<uint32_t>(t) : list[t]; };

  if (!colors.empty()) group.flags |= VertexColors;
  if (!texCoords.empty()) group.flags |= TexCoords | Textured;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  DisplayPrimitive& dp = group.primitives.emplace_back();
  dp.type = kTriangles;
  dp.vertexCount = static_cast<int32_t>(cornerCount);
  std::vector<float>& v = dp.vertices.Mutable();
  ResizeForFill(v, cornerCount * stride);
  float* to = v.data();
  auto at = [&](uint32_t i) {
    return Vec3{positions[i * 3], positions[i * 3 + 1], -positions[i * 3 + 2]};
  };
  for (size_t t = 0; t < cornerCount; t += 3) {
    Vec3 flat{};
    if (normals.empty()) {
      const Vec3 p0 = at(vertexOf(t)), p1 = at(vertexOf(t + 1)), p2 = at(vertexOf(t + 2));
      // z is negated, so the file's counter-clockwise face turns the other way.
      flat = Normalized(Cross({p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]},
                              {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]}));
    }
    for (size_t k = 0; k < 3; ++k) {
      const uint32_t i = vertexOf(t + k);
      const Vec3 p = at(i);
      to = std::copy(p.begin(), p.end(), to);
      if (!colors.empty())
        for (int c = 0; c < 3; ++c)
          *to++ = std::clamp(colors[i * colorWidth + c], 0.0f, 1.0f) * look.color[c];
      const Vec3 n = normals.empty()
                         ? flat
                         : Normalized({normals[i * 3], normals[i * 3 + 1], -normals[i * 3 + 2]});
      to = std::copy(n.begin(), n.end(), to);
      if (!texCoords.empty()) {
        *to++ = texCoords[i * 2];
        *to++ = 1.0f - texCoords[i * 2 + 1];  // pictures are kept bottom row first
      }
    }
  }
  return kOk;
}

// Mirrors a rotation (x, y, z, w) across the xy plane and turns it into the
// scene's angles.
bool AnglesFromQuaternion(const double* q, Vec3& angles) {
  double x = -q[0], y = -q[1], z = q[2], w = q[3];
  const double len = std::sqrt(x * x + y * y + z * z + w * w);
  if (!std::isfinite(len)) return false;
  if (len == 0) {
    angles = {0, 0, 0};
    return true;
  }
  x /= len, y /= len, z /= len, w /= len;
  Mat4 m = kIdentity;
  m[0] = static_cast<float>(1 - 2 * (y * y + z * z));
  m[1] = static_cast<float>(2 * (x * y + z * w));
  m[2] = static_cast<float>(2 * (x * z - y * w));
  m[4] = static_cast<float>(2 * (x * y - z * w));
  m[5] = static_cast<float>(1 - 2 * (x * x + z * z));
  m[6] = static_cast<float>(2 * (y * z + x * w));
  m[8] = static_cast<float>(2 * (x * z + y * w));
  m[9] = static_cast<float>(2 * (y * z - x * w));
  m[10] = static_cast<float>(1 - 2 * (x * x + y * y));
  angles = AnglesFromRotation(m);
  return true;
}

// A node's placement into the group's translation, rotation and scale.
// A matrix is split into those three; a shear it holds is lost.
bool PlaceNode(const tinygltf::Node& node, DisplayGroup& g) {
  if (node.matrix.size() == 16) {
    double m[16];
    for (int i = 0; i < 16; ++i) {
      m[i] = node.matrix[i];
      if (!std::isfinite(m[i])) return false;
      // mirrored on both sides across the xy plane
      if ((i % 4 == 2) != (i / 4 == 2)) m[i] = -m[i];
    }
    g.translation = {static_cast<float>(m[12]), static_cast<float>(m[13]),
                     static_cast<float>(m[14])};
    double s[3];
    for (int c = 0; c < 3; ++c)
      s[c] = std::sqrt(m[c * 4] * m[c * 4] + m[c * 4 + 1] * m[c * 4 + 1] +
                       m[c * 4 + 2] * m[c * 4 + 2]);
    const double det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[4] * (m[1] * m[10] - m[2] * m[9]) +
                       m[8] * (m[1] * m[6] - m[2] * m[5]);
    if (det < 0) s[0] = -s[0];
    g.scale = {static_cast<float>(s[0]), static_cast<float>(s[1]), static_cast<float>(s[2])};
    if (s[0] != 0 && s[1] != 0 && s[2] != 0) {
      Mat4 r = kIdentity;
      for (int c = 0; c < 3; ++c)
        for (int k = 0; k < 3; ++k)
          r[c * 4 + k] = static_cast<float>(m[c * 4 + k] / s[c]);
      g.rotation = AnglesFromRotation(r);
    }
    MakeFinite(g.translation);
    MakeFinite(g.rotation);
    MakeFinite(g.scale);
    return true;
  }
  if (!node.matrix.empty()) return false;
  if (node.translation.size() == 3)
    g.translation = {static_cast<float>(node.translation[0]),
                     static_cast<float>(node.translation[1]),
                     static_cast<float>(-node.translation[2])};
  else if (!node.translation.empty())
    return false;
  if (node.rotation.size() == 4) {
    if (!AnglesFromQuaternion(node.rotation.data(), g.rotation)) return false;
  } else if (!node.rotation.empty()) {
    return false;
  }
  if (node.scale.size() == 3)
    g.scale = {static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]),
               static_cast<float>(node.scale[2])};
  else if (!node.scale.empty())
    return false;
  for (int i = 0; i < 3; ++i)
    if (!std::isfinite(g.translation[i]) || !std::isfinite(g.scale[i])) return false;
  MakeFinite(g.rotation);
  return true;
}

// The default scene's nodes, parents before children, each reached once.
int PlanNodes(const tinygltf::Model& model, std::vector<Planned>& plan) {
  size_t corners = 0;
  std::vector<int> roots;
  if (InRange(model.scenes, model.defaultScene))
    roots = model.scenes[model.defaultScene].nodes;
  else if (!model.scenes.empty())
    roots = model.scenes[0].nodes;
  else  // a file without scenes: every node no other node holds
    for (size_t n = 0; n < model.nodes.size(); ++n)
      roots.push_back(static_cast<int>(n));
  std::vector<char> reached(model.nodes.size(), 0);
  if (model.scenes.empty())
    for (const tinygltf::Node& node : model.nodes)
      for (int c : node.children)
        if (InRange(model.nodes, c)) reached[c] = 2;

  // depth first with an explicit stack: a chain of nodes as long as the
  // file is must not run the program out of stack
  struct Step {
    int node, parent, depth;  // parent: its place in the plan
  };
  std::vector<Step> stack;
  for (auto it = roots.rbegin(); it != roots.rend(); ++it) {
    if (!InRange(model.nodes, *it)) return kBadFile;
    if (reached[*it] == 2) continue;
    stack.push_back({*it, -1, 0});
  }
  while (!stack.empty()) {
    const auto [n, parent, depth] = stack.back();
    stack.pop_back();
    if (depth > kMaxDepth) return kBadFile;
    if (reached[n] == 1) return kBadFile;  // a cycle, or a child of two parents
    reached[n] = 1;
    const tinygltf::Node& node = model.nodes[n];
    // A node that only holds a camera or a light is no part of the model:
    // the scene has its own camera and lights.
    if (node.mesh < 0 && node.children.empty() &&
        (node.camera >= 0 || node.extensions.count("KHR_lights_punctual")))
      continue;
    const int self = static_cast<int>(plan.size());
    if (plan.size() >= kMaxGroups) return kNoMemory;
    Planned& p = plan.emplace_back();
    p.parent = parent;
    p.node = n;
    p.group.name = node.name;
    if (p.group.name.empty() && InRange(model.meshes, node.mesh))
      p.group.name = model.meshes[node.mesh].name;
    if (!PlaceNode(node, p.group)) return kBadFile;
    if (node.mesh >= 0) {
      if (!InRange(model.meshes, node.mesh)) return kBadFile;
      const tinygltf::Mesh& mesh = model.meshes[node.mesh];
      if (mesh.primitives.size() == 1) {
        if (int r = BuildPrimitive(model, mesh.primitives[0], plan[self], corners)) return r;
      } else {
        for (size_t i = 0; i < mesh.primitives.size(); ++i) {
          if (plan.size() >= kMaxGroups) return kNoMemory;
          Planned child;
          child.parent = self;
          child.group.name = mesh.name.empty() ? plan[self].group.name : mesh.name;
          child.group.name += " " + std::to_string(i + 1);
          if (int r = BuildPrimitive(model, mesh.primitives[i], child, corners)) return r;
          plan.push_back(std::move(child));
        }
      }
    }
    for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
      if (!InRange(model.nodes, *it)) return kBadFile;
      if (reached[*it] == 1) return kBadFile;
      stack.push_back({*it, self, depth + 1});
    }
  }
  return kOk;
}

// What SizeAndCentre did, for the animation's values.
struct Sizing {
  double scale = 1;
  Vec3 centre = {0, 0, 0};  // already scaled
};

// One animated value of a node: its times and values as the file has them.
struct Track {
  int plan = 0;  // the planned group it moves
  int kind = kKeyTranslation;
  int interpolation = 0;             // 0 linear, 1 step, 2 cubic spline
  std::vector<float> times, values;  // values: 3 or 4 (rotation) a time; x3 for cubic
};

constexpr int kLinear = 0, kStep = 1, kCubic = 2;
constexpr int kFramesPerSecond = 30;
// Keys an animation may make: tracks times key frames.
constexpr size_t kMaxKeys = size_t{1} << 22;

// The value at time t, as the file's sampler gives it: before the first
// time the first value, after the last the last.
std::array<double, 4> Sample(const Track& t, double time) {
  const int w = t.kind == kKeyRotation ? 4 : 3;
  const size_t n = t.times.size();
  const int per = t.interpolation == kCubic ? 3 : 1;
  auto value = [&](size_t i, int part) {  // part: 0 in-tangent, 1 value, 2 out-tangent
    const size_t at = (i * per + (per == 3 ? part : 0)) * w;
    return std::array<double, 4>{t.values[at], t.values[at + 1], t.values[at + 2],
                                 w == 4 ? t.values[at + 3] : 0.0};
  };
  std::array<double, 4> out;
  if (time <= t.times[0]) {
    out = value(0, 1);
  } else if (time >= t.times[n - 1]) {
    out = value(n - 1, 1);
  } else {
    const size_t i = static_cast<size_t>(std::upper_bound(t.times.begin(), t.times.end(), time) -
                                         t.times.begin() - 1);
    const double dt = double{t.times[i + 1]} - t.times[i];
    const double u = dt > 0 ? (time - t.times[i]) / dt : 0;
    const std::array<double, 4> a = value(i, 1), b = value(i + 1, 1);
    if (t.interpolation == kStep) {
      out = a;
    } else if (t.interpolation == kCubic) {
      const std::array<double, 4> m0 = value(i, 2), m1 = value(i + 1, 0);
      const double u2 = u * u, u3 = u2 * u;
      for (int k = 0; k < 4; ++k)
        out[k] = (2 * u3 - 3 * u2 + 1) * a[k] + (u3 - 2 * u2 + u) * dt * m0[k] +
                 (-2 * u3 + 3 * u2) * b[k] + (u3 - u2) * dt * m1[k];
    } else if (w == 4) {
      // the shorter way round, at an even speed
      double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2] + a[3] * b[3];
      std::array<double, 4> c = b;
      if (dot < 0)
        for (int k = 0; k < 4; ++k)
          c[k] = -c[k], dot = -dot;
      if (dot > 0.9995) {
        for (int k = 0; k < 4; ++k)
          out[k] = a[k] + u * (c[k] - a[k]);
      } else {
        const double theta = std::acos(std::min(dot, 1.0)), sn = std::sin(theta);
        const double wa = std::sin((1 - u) * theta) / sn, wb = std::sin(u * theta) / sn;
        for (int k = 0; k < 4; ++k)
          out[k] = wa * a[k] + wb * c[k];
      }
    } else {
      for (int k = 0; k < 4; ++k)
        out[k] = a[k] + u * (b[k] - a[k]);
    }
  }
  return out;
}

int TrackKind(const std::string& path) {
  return path == "translation" ? kKeyTranslation
         : path == "rotation"  ? kKeyRotation
         : path == "scale"     ? kKeyScale
                               : -1;  // morph weights
}

// The translation, rotation and scale channels of the planned nodes.
// Every animation whose nodes no earlier one moves joins the scene's one
// timeline, as the parts of a model animated one by one do; one that
// moves a node an earlier one moves is another take of the same motion
// and is left out, `leftOut` set. kOk, or kBadFile when a channel or a
// sampler of an animation read does not hold.
int ReadTracks(const tinygltf::Model& model, const std::vector<Planned>& plan,
               std::vector<Track>& tracks, bool& leftOut) {
  leftOut = false;
  if (model.animations.empty()) return kOk;
  std::vector<int> planOf(model.nodes.size(), -1);
  for (size_t i = 0; i < plan.size(); ++i)
    if (plan[i].node >= 0) planOf[plan[i].node] = static_cast<int>(i);
  std::vector<char> moved(plan.size(), 0);  // by an animation read
  for (const tinygltf::Animation& anim : model.animations) {
    bool clash = false;
    for (const tinygltf::AnimationChannel& ch : anim.channels) {
      if (TrackKind(ch.target_path) < 0) continue;
      if (!InRange(model.nodes, ch.target_node) || !InRange(anim.samplers, ch.sampler))
        return kBadFile;
      const int p = planOf[ch.target_node];
      clash |= p >= 0 && moved[p];
    }
    if (clash) {
      leftOut = true;
      continue;
    }
    const size_t first = tracks.size();
    for (const tinygltf::AnimationChannel& ch : anim.channels) {
      Track t;
      t.kind = TrackKind(ch.target_path);
      if (t.kind < 0) continue;
      t.plan = planOf[ch.target_node];
      if (t.plan < 0) continue;  // a node outside the scene shown
      bool repeated = false;
      for (size_t i = first; i < tracks.size(); ++i)
        repeated |= tracks[i].plan == t.plan && tracks[i].kind == t.kind;
      if (repeated) continue;
      const tinygltf::AnimationSampler& sampler = anim.samplers[ch.sampler];
      if (sampler.interpolation == "STEP")
        t.interpolation = kStep;
      else if (sampler.interpolation == "CUBICSPLINE")
        t.interpolation = kCubic;
      else if (!sampler.interpolation.empty() && sampler.interpolation != "LINEAR")
        return kBadFile;
      const int w = t.kind == kKeyRotation ? 4 : 3;
      if (!ReadFloats(model, sampler.input, 1, t.times) || t.times.empty() ||
          !ReadFloats(model, sampler.output, w, t.values) ||
          t.values.size() != t.times.size() * w * (t.interpolation == kCubic ? 3 : 1))
        return kBadFile;
      for (size_t i = 0; i < t.times.size(); ++i)
        if (t.times[i] < 0 || (i > 0 && t.times[i] < t.times[i - 1])) return kBadFile;
      tracks.push_back(std::move(t));
    }
    for (size_t i = first; i < tracks.size(); ++i)
      moved[tracks[i].plan] = 1;
  }
  return kOk;
}

int FrameAt(double seconds) {
  return static_cast<int>(std::min<double>(std::lround(seconds * kFramesPerSecond), kMaxFrame));
}

// The key frames: every time of every track, and every frame a rotation
// or a cubic spline runs through, whose curves the scene's keys cannot
// follow between their own times.
std::vector<int> KeyFrames(const std::vector<Track>& tracks) {
  std::vector<char> used(kFrameCount, 0);
  for (const Track& t : tracks) {
    if (t.interpolation == kCubic || (t.kind == kKeyRotation && t.interpolation == kLinear)) {
      for (int f = FrameAt(t.times.front()); f <= FrameAt(t.times.back()); ++f)
        used[f] = 1;
    }
    for (float time : t.times)
      used[FrameAt(time)] = 1;
  }
  std::vector<int> frames;
  for (int f = 0; f < kFrameCount; ++f)
    if (used[f]) frames.push_back(f);
  return frames;
}

// The track's value at a frame in the scene's terms: mirrored, sized and,
// at the top level, moved; rotations as angles near the previous ones.
Vec3 SceneValue(const Track& t, const std::array<double, 4>& v, const Sizing& sizing, bool top,
                const Vec3* previous) {
  if (t.kind == kKeyScale) return {Finite(v[0]), Finite(v[1]), Finite(v[2])};
  if (t.kind == kKeyTranslation) {
    Vec3 out;
    const double m[3] = {v[0], v[1], -v[2]};
    for (int i = 0; i < 3; ++i)
      out[i] = Finite(m[i] * sizing.scale - (top ? sizing.centre[i] : 0));
    return out;
  }
  Vec3 angles = {0, 0, 0};
  AnglesFromQuaternion(v.data(), angles);
  if (previous)
    for (int i = 0; i < 3; ++i)
      angles[i] += 360.0f * std::round(((*previous)[i] - angles[i]) / 360.0f);
  MakeFinite(angles);
  return angles;
}

// The tracks as keys of the groups in `slots`; the first key frame's
// values become the groups' own.
void StoreTracks(Scene& s, const std::vector<Track>& tracks, const std::vector<int>& frames,
                 const std::vector<Planned>& plan, const std::vector<int>& slots,
                 const Sizing& sizing) {
  KeyStore& a = s.anim;
  for (const Track& t : tracks) {
    const int g = slots[t.plan];
    const bool top = plan[t.plan].parent < 0;
    std::vector<int> keys;
    Vec3 last{};
    for (size_t f = 0; f < frames.size(); ++f) {
      const Vec3 v = SceneValue(t, Sample(t, frames[f] / double{kFramesPerSecond}), sizing, top,
                                f ? &last : nullptr);
      last = v;
      const int k = AddKey(a, frames[f], t.kind);
      if (k < 0) break;  // not after the reserve made for them
      KnfKeyInfo& key = a.keys[k];
      key.owner = g;
      key.mask = t.interpolation == kStep ? kStepMask : 0;
      key.span = f + 1 < frames.size() ? frames[f + 1] - frames[f] : 0;
      key.values.assign(StoredValueCount(t.kind), 0.0f);
      std::copy(v.begin(), v.end(), key.values.begin());
      keys.push_back(k);
      if (f == 0) {
        Vec3& field = t.kind == kKeyTranslation ? s.groups[g].translation
                      : t.kind == kKeyRotation  ? s.groups[g].rotation
                                                : s.groups[g].scale;
        field = v;
      }
    }
    if (t.interpolation == kStep) continue;
    auto at = [&](size_t i, long offset) {
      const long j = static_cast<long>(i) + offset;
      return j < 0 || j >= static_cast<long>(keys.size()) ? -1 : keys[j];
    };
    for (size_t i = 0; i < keys.size(); ++i)
      ComputeCurves(a, 3, at(i, -2), at(i, -1), keys[i], at(i, 1), at(i, 2));
    if (t.interpolation != kLinear || t.kind == kKeyRotation) continue;
    // Straight lines between linear keys, whatever their neighbours.
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
      std::vector<float>& v = a.keys[keys[i]].values;
      const std::vector<float>& next = a.keys[keys[i + 1]].values;
      for (int c = 0; c < 3; ++c) {
        const float p0 = v[c], p3 = next[c];
        v[3 + c] = p0 + (p3 - p0) / 3;
        v[6 + c] = p3 - (p3 - p0) / 3;
        const std::array<float, 4> abcd = SegmentCoefficients(p0, v[3 + c], v[6 + c], p3);
        std::copy(abcd.begin(), abcd.end(), v.begin() + 9 + 4 * c);
      }
    }
  }
  RebuildKeyFrameList(a);
  a.lastFrame = LastKeyFrame(a);
  UpdateNeighbours(a);
}

// Scales the model into -1..1 along its longest side about the origin.
// Scaling every translation and position alike scales the whole model, as
// rotations and scales commute with it; the top level then moves by the
// centre.
Sizing SizeAndCentre(std::vector<Planned>& plan) {
  double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
  bool any = false;
  for (Planned& p : plan) {
    const Mat4 local = GroupMatrixFromFields(p.group);
    p.world = p.parent < 0 ? local : Multiply(plan[p.parent].world, local);
    const int stride = VertexStride(p.group);
    for (const DisplayPrimitive& prim : p.group.primitives)
      for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride) {
        const Vec3 w =
            TransformPoint(p.world, {prim.vertices[v], prim.vertices[v + 1], prim.vertices[v + 2]});
        for (int i = 0; i < 3; ++i)
          if (std::isfinite(w[i])) {
            lo[i] = std::min(lo[i], double{w[i]});
            hi[i] = std::max(hi[i], double{w[i]});
            any = true;
          }
      }
  }
  if (!any) return {};
  const double extent = std::max({hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]});
  const double s = extent > 0 && std::isfinite(extent) ? 2.0 / extent : 1.0;
  for (Planned& p : plan) {
    Vec3& t = p.group.translation;
    for (int i = 0; i < 3; ++i) {
      double v = t[i] * s;
      if (p.parent < 0) v -= (lo[i] + hi[i]) * 0.5 * s;
      t[i] = Finite(v);
    }
    const int stride = VertexStride(p.group);
    for (DisplayPrimitive& prim : p.group.primitives) {
      std::vector<float>& v = prim.vertices.Mutable();
      for (size_t k = 0; k + stride <= v.size(); k += stride)
        for (int i = 0; i < 3; ++i)
          v[k + i] = Finite(v[k + i] * s);
    }
  }
  Sizing sizing;
  sizing.scale = s;
  for (int i = 0; i < 3; ++i)
    sizing.centre[i] = Finite((lo[i] + hi[i]) * 0.5 * s);
  return sizing;
}

// The encoded pictures of data URIs, by image; tinygltf keeps nothing of
// them once they are handed over.
using DataPictures = std::vector<std::vector<uint8_t>>;

bool KeepDataPictures(tinygltf::Image* image, const int index, std::string*, std::string*, int, int,
                      const unsigned char* bytes, int size, void* pictures) {
  // The texture table decodes the files it is given by name, and a
  // buffer view is read where it lies once every view is checked.
  if (!image->uri.empty() || image->bufferView >= 0 || index < 0 || size <= 0) return true;
  auto& kept = *static_cast<DataPictures*>(pictures);
  if (kept.size() <= static_cast<size_t>(index)) kept.resize(static_cast<size_t>(index) + 1);
  kept[static_cast<size_t>(index)].assign(bytes, bytes + size);
  return true;
}

// The encoded bytes of a picture inside the file; empty when it has none
// or its view does not lie inside its buffer.
std::span<const uint8_t> PictureBytes(const tinygltf::Model& model, const DataPictures& pictures,
                                      int index) {
  if (!InRange(model.images, index)) return {};
  const tinygltf::Image& image = model.images[index];
  if (image.bufferView < 0)
    return InRange(pictures, index) ? std::span<const uint8_t>(pictures[index])
                                    : std::span<const uint8_t>();
  if (!InRange(model.bufferViews, image.bufferView)) return {};
  const tinygltf::BufferView& view = model.bufferViews[image.bufferView];
  const uint8_t* at = PackedRun(model, image.bufferView, 0, view.byteLength, 1);
  return at ? std::span<const uint8_t>(at, view.byteLength) : std::span<const uint8_t>();
}

// The picture as a texture table entry named `stem` and its ending (the
// one of that name when the table has it). 0 with the message a missing
// texture file gives, when it cannot be decoded.
int PictureTexture(Document& doc, std::span<const uint8_t> bytes, const std::string& stem) {
  const int index = AddHeldTexture(doc, bytes, stem);
  if (index >= 0) return index;
  doc.shell->Message("Can't load \"" + stem + "\" texture");
  return 0;
}

// Makes the planned groups in the scene; kOk, or kNoMemory with every
// group made taken away again.
int MakeGroups(Document& doc, std::vector<Planned>& plan, const std::string& path, bool append,
               const tinygltf::Model& model, const DataPictures& pictures, std::vector<int>& made) {
  Scene& s = doc.scene;
  std::vector<int> slots;
  slots.reserve(plan.size() + 1);
  auto undo = [&] {
    for (int g : slots)
      ReleaseGroup(s, g);
    return kNoMemory;
  };
  int wrapper = -1;
  if (append) {
    std::string_view stem = BaseName(path);
    stem = stem.substr(0, stem.find('.'));
    DisplayGroup top;
    top.name = stem;
    top.flags = Enabled;
    wrapper = PlaceGroup(s, std::move(top));
    if (wrapper == -1) return undo();
    slots.push_back(wrapper);
  }
  const std::string folder(FolderOf(path));
  for (Planned& p : plan) {
    p.group.flags |= Enabled;
    if (!p.texture.empty() && !path.empty())
      p.group.textureIndex = ResolveSceneTexture(doc, BaseName(p.texture), p.texture, folder);
    // note: a picture inside the file is held by the table, under the
    // file's name and its number there; nothing is written beside a model
    // the user only opened, only beside a scene saved with it
    if (p.image >= 0)
      p.group.textureIndex =
          PictureTexture(doc, PictureBytes(model, pictures, p.image),
                         (path.empty() ? std::string() : std::string(BaseName(path)) + " ") +
                             "image " + std::to_string(p.image));
    const int g = PlaceGroup(s, std::move(p.group));
    if (g == -1) return undo();
    slots.push_back(g);
  }
  // Linking at the front, last first, keeps the file's order.
  const size_t first = append ? 1 : 0;
  for (size_t i = plan.size(); i-- > 0;) {
    const int parent = plan[i].parent >= 0 ? slots[first + plan[i].parent] : wrapper;
    LinkAtFront(s, slots[first + i], parent);
  }
  if (wrapper != -1) LinkAtFront(s, wrapper, -1);
  made.assign(slots.begin() + static_cast<std::ptrdiff_t>(first), slots.end());
  return kOk;
}

bool Exists(const std::string& name, void* folder) {
  return !static_cast<std::string*>(folder)->empty() && !name.empty();
}
std::string SamePath(const std::string& name, void*) {
  return name;  // never expanded: a name in a file is not a shell word
}
bool ReadFile(std::vector<unsigned char>* out, std::string* err, const std::string& name,
              void* folder) {
  if (static_cast<std::string*>(folder)->empty()) return false;
  FileBytes bytes;
  if (ReadWholeFile(name, bytes) != 0) {
    if (err) *err += "cannot read " + name + "\n";
    return false;
  }
  out->assign(bytes.data.get(), bytes.data.get() + bytes.size);
  return true;
}
bool WriteNothing(std::string*, const std::string&, const std::vector<unsigned char>&, void*) {
  return false;
}

}  // namespace

int ReadGltfBytes(Document& doc, std::span<const uint8_t> bytes, const std::string& path,
                  bool append) {
  if (bytes.size() > UINT32_MAX) return kBadFile;
  try {
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    std::string folder = path.empty() ? std::string() : std::string(FolderOf(path));
    DataPictures pictures;
    loader.SetImageLoader(KeepDataPictures, &pictures);
    loader.SetFsCallbacks({Exists, SamePath, ReadFile, WriteNothing, &folder});
    std::string err, warn;
    if (!GltfPictureViewsInside(bytes)) return kBadFile;
    const bool binary = bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0;
    const auto size = static_cast<unsigned>(bytes.size());
    const bool loaded =
        binary
            ? loader.LoadBinaryFromMemory(&model, &err, &warn, bytes.data(), size, folder)
            : loader.LoadASCIIFromString(&model, &err, &warn,
                                         reinterpret_cast<const char*>(bytes.data()), size, folder);
    if (!loaded) return kBadFile;
    std::vector<Planned> plan;
    if (int r = PlanNodes(model, plan)) return r;
    const Sizing sizing = SizeAndCentre(plan);
    std::vector<Track> tracks;
    bool takesLeftOut = false;
    if (int r = ReadTracks(model, plan, tracks, takesLeftOut)) return r;
    const std::vector<int> frames = KeyFrames(tracks);
    if (tracks.size() * frames.size() > kMaxKeys) return kNoMemory;
    // room for every key now, so that nothing can fail once the scene changes
    KeyStore& a = doc.scene.anim;
    a.keys.reserve(a.keys.size() + tracks.size() * frames.size());

    bool deformed = !model.skins.empty();
    for (const tinygltf::Mesh& mesh : model.meshes)
      for (const tinygltf::Primitive& p : mesh.primitives)
        deformed |= !p.targets.empty();

    if (!append) {
      ClearScene(doc.scene);
      ClearKeyFrames(doc.scene.anim);
    }
    std::vector<int> slots;
    if (int r = MakeGroups(doc, plan, path, append, model, pictures, slots)) return r;
    StoreTracks(doc.scene, tracks, frames, plan, slots, sizing);
    for (int g : slots)
      BuildGroupMatrix(doc.scene, g);
    if (deformed)
      doc.shell->Message("Skins and morph targets in " + std::string(BaseName(path)) +
                         " are not imported");
    if (takesLeftOut)
      doc.shell->Message("Animations in " + std::string(BaseName(path)) +
                         " that move what an earlier one moves are not imported");
    return kOk;
  } catch (const std::bad_alloc&) {
    return kNoMemory;
  } catch (const std::exception&) {
    return kBadFile;
  }
}

int ReadGltfModel(Document& doc, const std::string& path, bool append) {
  // Mapped rather than read: tinygltf copies the binary chunk anyway, and
  // a second copy of a large model's file costs as much as the rest.
  MappedFile file;
  if (!file.Open(path)) return kCannotOpen;
  return ReadGltfBytes(doc, file.bytes(), path, append);
}

}  // namespace modra
