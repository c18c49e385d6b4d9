#include "formats/gltf_writer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>

#include <stb_image_write.h>
#include <tiny_gltf.h>

#include "anim/playback.h"
#include "document/file_names.h"
#include "formats/gltf_animation.h"
#include "formats/primitive_triangles.h"
#include "images/texture_table.h"
#include "io/huge_pages.h"
#include "io/output_file.h"
#include "scene/group_fields.h"
#include "scene/matrix.h"
#include "view/view_setting.h"

namespace modra {
namespace {

// Into glTF's axes: z negated.
Vec3 Flip(const Vec3& v) {
  return {v[0], v[1], -v[2]};
}
Vec3 Sub(const Vec3& a, const Vec3& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Vec3 Add(const Vec3& a, const Vec3& b) {
  return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}

// F m F with F = diag(1, 1, -1): the elements of the z row or the z
// column (not both) change sign.
Mat4 FlipMatrix(const Mat4& m) {
  Mat4 out = m;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      if ((r == 2) != (c == 2)) out[c * 4 + r] = -out[c * 4 + r];
  return out;
}

// The unit quaternion (x, y, z, w) of a rotation matrix's linear part.
std::array<double, 4> Quaternion(const Mat4& m) {
  auto a = [&](int r, int c) { return static_cast<double>(m[c * 4 + r]); };
  std::array<double, 4> q;
  const double trace = a(0, 0) + a(1, 1) + a(2, 2);
  if (trace > 0) {
    const double s = std::sqrt(trace + 1) * 2;
    q = {(a(2, 1) - a(1, 2)) / s, (a(0, 2) - a(2, 0)) / s, (a(1, 0) - a(0, 1)) / s, s / 4};
  } else if (a(0, 0) > a(1, 1) && a(0, 0) > a(2, 2)) {
    const double s = std::sqrt(1 + a(0, 0) - a(1, 1) - a(2, 2)) * 2;
    q = {s / 4, (a(0, 1) + a(1, 0)) / s, (a(0, 2) + a(2, 0)) / s, (a(2, 1) - a(1, 2)) / s};
  } else if (a(1, 1) > a(2, 2)) {
    const double s = std::sqrt(1 + a(1, 1) - a(0, 0) - a(2, 2)) * 2;
    q = {(a(0, 1) + a(1, 0)) / s, s / 4, (a(1, 2) + a(2, 1)) / s, (a(0, 2) - a(2, 0)) / s};
  } else {
    const double s = std::sqrt(1 + a(2, 2) - a(0, 0) - a(1, 1)) * 2;
    q = {(a(0, 2) + a(2, 0)) / s, (a(1, 2) + a(2, 1)) / s, s / 4, (a(1, 0) - a(0, 1)) / s};
  }
  const double len = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  if (!(len > 0) || !std::isfinite(len)) return {0, 0, 0, 1};
  for (double& x : q)
    x /= len;
  return q;
}

// The rotation a group's node carries, in glTF's axes.
std::array<double, 4> NodeRotation(const DisplayGroup& group) {
  return Quaternion(
      FlipMatrix(Multiply(RotationMatrix(group.centerRotation), RotationMatrix(group.rotation))));
}

// True when the stored matrix is the one the fields compose, so that the
// node may carry them as translation, rotation and scale.
bool MatrixFromFields(const DisplayGroup& group) {
  const Mat4 m = GroupMatrixFromFields(group);
  for (int i = 0; i < 16; ++i)
    if (!(std::fabs(m[i] - group.matrix[i]) <= 1e-5f * (1 + std::fabs(m[i])))) return false;
  return true;
}

bool HasKeys(const KeyStore& store, int owner, int kind) {
  for (int f : store.keyFrameList)
    if (FindKey(store, f, owner, kind) >= 0) return true;
  return false;
}

bool AllStepKeys(const KeyStore& store, int owner, int kind) {
  for (int f : store.keyFrameList) {
    const int k = FindKey(store, f, owner, kind);
    if (k >= 0 && !IsStepKey(store.keys[static_cast<size_t>(k)])) return false;
  }
  return true;
}

// Keeps the picture a texture load hands over, in place of OpenGL.
class CapturedPicture : public TextureUploader {
 public:
  bool Upload(int, const uint8_t* rgb, int width, int height) override {
    pixels.assign(rgb, rgb + static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    w = width;
    h = height;
    return true;
  }
  std::vector<uint8_t> pixels;
  int w = 0, h = 0;
};

// A texture entry's picture as PNG bytes, decoded again from its held
// bytes or its file (or made, for the checkerboard); empty when it cannot be had.
std::vector<unsigned char> TexturePng(Document& doc, int index) {
  if (index < 0 || static_cast<size_t>(index) >= doc.textures.entries.size()) return {};
  CapturedPicture picture;
  TextureUploader* const drawing = doc.uploader;
  doc.uploader = &picture;
  const int loaded = ReloadTexture(doc, index, true);
  doc.uploader = drawing;
  if (loaded != 0 || picture.w <= 0 || picture.h <= 0) return {};
  // PNG rows run top down, the table's bottom up.
  const size_t rowBytes = static_cast<size_t>(picture.w) * 3;
  std::vector<uint8_t> rows(picture.pixels.size());
  for (size_t y = 0; y < static_cast<size_t>(picture.h); ++y)
    std::copy_n(picture.pixels.data() + (static_cast<size_t>(picture.h) - 1 - y) * rowBytes,
                rowBytes, rows.data() + y * rowBytes);
  std::vector<unsigned char> png;
  stbi_write_png_to_func(
      [](void* context, void* data, int size) {
        auto* bytes = static_cast<unsigned char*>(data);
        static_cast<std::vector<unsigned char>*>(context)->insert(
            static_cast<std::vector<unsigned char>*>(context)->end(), bytes, bytes + size);
      },
      &png, picture.w, picture.h, 3, rows.data(), static_cast<int>(rowBytes));
  return png;
}

class GltfBuilder {
 public:
  // Pictures go into the buffer for a binary file, else into PNG files
  // beside `path`.
  GltfBuilder(Document& doc, const std::string& path, bool binary)
      : doc_(doc), s_(doc.scene), path_(path), binary_(binary) {
    model_.asset.version = "2.0";
    model_.asset.generator = "modra";
    model_.buffers.emplace_back();
    model_.scenes.emplace_back();
    model_.defaultScene = 0;
  }

  // The PNG files a text file refers to, by name beside it.
  std::vector<std::pair<std::string, std::vector<unsigned char>>> pictures;

  tinygltf::Model Build() {
    const std::vector<int32_t> parents = ParentTable(s_);
    std::vector<unsigned char>& data = model_.buffers[0].data;
    data.reserve(MeshBytes() + 64 * s_.groups.size());
    AdviseHugePages(data.data(), data.capacity());
    SampleRotations();
    nodeOf_.assign(s_.groups.size(), -1);
    ForEachGroup(s_, s_.rootHead, [&](int g) {
      if (!IsLiveGroup(s_, g)) return;
      const int parent = parents[g];
      const int node = Node(g, parent);
      if (parent >= 0 && nodeOf_[parent] >= 0)
        model_.nodes[nodeOf_[parent]].children.push_back(node);
      else
        model_.scenes[0].nodes.push_back(node);
    });
    Camera();
    for (int i = 1; i < kLightCount; ++i)
      Light(i);
    Animate(parents);
    if (model_.buffers[0].data.empty()) model_.buffers.clear();
    return std::move(model_);
  }

 private:
  // The frames of the animation and, per rotating group, its node
  // rotation at each of them. The scene is played through every frame and
  // left at frame 0.
  void SampleRotations() {
    KeyStore& a = s_.anim;
    RebuildKeyFrameList(a);
    lastFrame_ = a.keyFrameList.empty() ? 0 : a.keyFrameList.back();
    for (size_t g = 0; g < s_.groups.size(); ++g)
      if (IsLiveGroup(s_, static_cast<int>(g)) &&
          (HasKeys(a, static_cast<int>(g), kKeyRotation) ||
           HasKeys(a, static_cast<int>(g), kKeyCenterRotation)))
        rotations_[static_cast<int>(g)];
    if (rotations_.empty() || lastFrame_ == 0) return;
    ForEachFrameInOrder(doc_, [&](int) {
      for (auto& [g, samples] : rotations_) {
        std::array<double, 4> q = NodeRotation(s_.groups[g]);
        // The shorter way round from the previous sample.
        if (!samples.empty()) {
          const float* p = &samples[samples.size() - 4];
          if (p[0] * q[0] + p[1] * q[1] + p[2] * q[2] + p[3] * q[3] < 0)
            for (double& x : q)
              x = -x;
        }
        for (double x : q)
          samples.push_back(static_cast<float>(x));
      }
    });
    GoToFrame0(doc_);
  }

  int TopNode(tinygltf::Node node) {
    model_.nodes.push_back(std::move(node));
    const int index = static_cast<int>(model_.nodes.size()) - 1;
    model_.scenes[0].nodes.push_back(index);
    return index;
  }

  // The camera stands at its position facing along its turned +z, which
  // in glTF's axes is the node's -z.
  void Camera() {
    const KnfCameraView& cam = s_.camera;
    tinygltf::Camera camera;
    camera.type = "perspective";
    camera.name = "Camera";
    const float fov = doc_.display.views[kViewCamera].fieldOfView;
    camera.perspective.yfov =
        std::clamp(std::isfinite(fov) ? fov : 30.0f, 1.0f, 179.0f) * kDegToRad;
    // The view's clip planes follow the scene's size as it is drawn; a
    // file gets planes that hold any scene of modelling size.
    camera.perspective.znear = 0.01;
    camera.perspective.zfar = 1000;
    model_.cameras.push_back(camera);
    tinygltf::Node node;
    node.name = "Camera";
    node.camera = static_cast<int>(model_.cameras.size()) - 1;
    const Vec3 at = Flip(cam.position);
    node.translation.assign(at.begin(), at.end());
    const std::array<double, 4> q = Quaternion(FlipMatrix(RotationMatrix(cam.rotation)));
    node.rotation.assign(q.begin(), q.end());
    TopNode(std::move(node));
  }

  // Lights go to OpenGL with z negated inside the scene's own z flip, so
  // their stored values are already in glTF's axes; `direction` points
  // towards the light. Attenuation and the spot power are not carried.
  void Light(int index) {
    const KnfLight& l = s_.lights[index];
    const char* type = l.type == kLightDirectional  ? "directional"
                       : l.type == kLightPositional ? "point"
                       : l.type == kLightCone       ? "spot"
                                                    : nullptr;
    if (!type) return;
    tinygltf::Light light;
    light.name = "Light " + std::to_string(index);
    light.type = type;
    for (float c : l.color)
      light.color.push_back(std::isfinite(c) ? std::clamp(c, 0.0f, 1.0f) : 1.0);
    // The drawing lights with 1.5 times the colour.
    light.intensity = 1.5;
    if (l.type == kLightCone) {
      const float cutoff = std::isfinite(l.cutoff) ? std::clamp(l.cutoff, 0.5f, 90.0f) : 90.0f;
      light.spot.innerConeAngle = 0;
      light.spot.outerConeAngle = cutoff * kDegToRad;
    }
    model_.lights.push_back(light);
    tinygltf::Node node;
    node.name = light.name;
    if (l.type != kLightDirectional) {
      for (float x : l.position)
        node.translation.push_back(std::isfinite(x) ? x : 0.0f);
    }
    if (l.type != kLightPositional) {
      const std::array<double, 4> q =
          TowardsMinusZ({-l.direction[0], -l.direction[1], -l.direction[2]});
      node.rotation.assign(q.begin(), q.end());
    }
    tinygltf::Value::Object ext;
    ext["light"] = tinygltf::Value(static_cast<int>(model_.lights.size()) - 1);
    node.extensions["KHR_lights_punctual"] = tinygltf::Value(ext);
    TopNode(std::move(node));
  }

  // The rotation that turns -z to the direction d.
  static std::array<double, 4> TowardsMinusZ(const Vec3& d) {
    double x = d[0], y = d[1], z = d[2];
    const double len = std::sqrt(x * x + y * y + z * z);
    if (!(len > 0) || !std::isfinite(len)) return {0, 0, 0, 1};
    x /= len, y /= len, z /= len;
    // From a = (0, 0, -1): axis a x d, w 1 + a . d, then normalised.
    std::array<double, 4> q = {y, -x, 0, 1 - z};
    if (q[3] < 1e-9) return {0, 1, 0, 0};
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[3] * q[3]);
    for (double& v : q)
      v /= n;
    return q;
  }

  // Appends bytes on a 4-byte boundary as a buffer view.
  int View(const void* bytes, size_t size, int target) {
    std::vector<unsigned char>& data = model_.buffers[0].data;
    while (data.size() % 4)
      data.push_back(0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = size;
    view.target = target;
    const auto* b = static_cast<const unsigned char*>(bytes);
    data.insert(data.end(), b, b + size);
    model_.bufferViews.push_back(view);
    return static_cast<int>(model_.bufferViews.size()) - 1;
  }

  // Float accessor of `components` per element; with bounds when asked.
  int Floats(const std::vector<float>& v, int type, int components, bool bounds, int target) {
    tinygltf::Accessor acc;
    acc.bufferView = View(v.data(), v.size() * sizeof(float), target);
    acc.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    acc.count = v.size() / static_cast<size_t>(components);
    acc.type = type;
    if (bounds) {
      acc.minValues.assign(static_cast<size_t>(components), INFINITY);
      acc.maxValues.assign(static_cast<size_t>(components), -INFINITY);
      for (size_t i = 0; i < v.size(); ++i) {
        const size_t c = i % static_cast<size_t>(components);
        acc.minValues[c] = std::min(acc.minValues[c], static_cast<double>(v[i]));
        acc.maxValues[c] = std::max(acc.maxValues[c], static_cast<double>(v[i]));
      }
    }
    model_.accessors.push_back(acc);
    return static_cast<int>(model_.accessors.size()) - 1;
  }

  // Vertices of a primitive that its floats hold.
  static size_t UsableVertices(const DisplayPrimitive& prim, size_t stride) {
    const size_t count = prim.vertexCount > 0 ? static_cast<size_t>(prim.vertexCount) : 0;
    return std::min(count, prim.vertices.size() / stride);
  }

  // Corners of the group's triangles.
  static size_t Corners(const DisplayGroup& group) {
    const size_t stride = static_cast<size_t>(VertexStride(group));
    size_t corners = 0;
    for (const DisplayPrimitive& prim : group.primitives)
      ForEachTriangle(prim.type, UsableVertices(prim, stride),
                      [&](size_t, size_t, size_t) { corners += 3; });
    return corners;
  }

  // Bytes the meshes of the live groups will take in the buffer.
  size_t MeshBytes() const {
    size_t bytes = 0;
    for (size_t g = 0; g < s_.groups.size(); ++g)
      if (IsLiveGroup(s_, static_cast<int>(g))) {
        const DisplayGroup& group = s_.groups[g];
        const size_t floats =
            6 + ((group.flags & VertexColors) ? 3 : 0) + ((group.flags & TexCoords) ? 2 : 0);
        bytes += Corners(group) * floats * sizeof(float);
      }
    return bytes;
  }

  // A view of `floats` floats at the buffer's end, zero until written.
  int Append(size_t floats, int target) {
    std::vector<unsigned char>& data = model_.buffers[0].data;
    data.resize((data.size() + 3) / 4 * 4);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = floats * sizeof(float);
    view.target = target;
    data.resize(data.size() + view.byteLength);
    model_.bufferViews.push_back(view);
    return static_cast<int>(model_.bufferViews.size()) - 1;
  }
  // Where a view made by Append starts: valid until the buffer grows.
  float* ViewFloats(int view) {
    return reinterpret_cast<float*>(model_.buffers[0].data.data() +
                                    model_.bufferViews[view].byteOffset);
  }

  // A float accessor over a whole view.
  int Accessor(int view, size_t count, int type) {
    tinygltf::Accessor acc;
    acc.bufferView = view;
    acc.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    acc.count = count;
    acc.type = type;
    model_.accessors.push_back(std::move(acc));
    return static_cast<int>(model_.accessors.size()) - 1;
  }

  int Node(int g, int parent) {
    const DisplayGroup& group = s_.groups[g];
    const Vec3 parentCenter = parent >= 0 ? s_.groups[parent].center : Vec3{0, 0, 0};
    tinygltf::Node node;
    node.name = group.name;
    if (MatrixFromFields(group)) {
      const Vec3 t = Sub(TransformPoint(RotationMatrix(group.centerRotation),
                                        Add(group.translation, group.center)),
                         parentCenter);
      const Vec3 ft = Flip(t);
      node.translation.assign(ft.begin(), ft.end());
      const std::array<double, 4> q = NodeRotation(group);
      node.rotation.assign(q.begin(), q.end());
      node.scale.assign(group.scale.begin(), group.scale.end());
      if (std::all_of(node.translation.begin(), node.translation.end(),
                      [](double x) { return x == 0; }))
        node.translation.clear();
      if (q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1) node.rotation.clear();
      if (group.scale == Vec3{1, 1, 1}) node.scale.clear();
      trs_.push_back(g);
    } else {
      const Vec3& c = group.center;
      const Mat4 local = FlipMatrix(Multiply(
          Multiply(TranslationMatrix({-parentCenter[0], -parentCenter[1], -parentCenter[2]}),
                   group.matrix),
          TranslationMatrix(c)));
      if (local != kIdentity) node.matrix.assign(local.begin(), local.end());
    }
    node.mesh = Mesh(group);
    model_.nodes.push_back(std::move(node));
    nodeOf_[g] = static_cast<int>(model_.nodes.size()) - 1;
    return nodeOf_[g];
  }

  // The group's primitives as one triangle list, its centre taken off.
  // note: the corners go straight into the buffer, one view per
  // attribute, so that a large mesh is copied once on its way out.
  int Mesh(const DisplayGroup& group) {
    const size_t stride = static_cast<size_t>(VertexStride(group));
    const size_t normalAt = static_cast<size_t>(NormalOffset(group.flags));
    const bool colors = group.flags & VertexColors;
    const bool texCoords = group.flags & TexCoords;
    const size_t corners = Corners(group);
    if (corners == 0) return -1;
    const int positionView = Append(corners * 3, TINYGLTF_TARGET_ARRAY_BUFFER);
    const int normalView = Append(corners * 3, TINYGLTF_TARGET_ARRAY_BUFFER);
    const int colorView = colors ? Append(corners * 3, TINYGLTF_TARGET_ARRAY_BUFFER) : -1;
    const int uvView = texCoords ? Append(corners * 2, TINYGLTF_TARGET_ARRAY_BUFFER) : -1;
    float* positions = ViewFloats(positionView);
    float* normals = ViewFloats(normalView);
    float* colorValues = colors ? ViewFloats(colorView) : nullptr;
    float* uvs = texCoords ? ViewFloats(uvView) : nullptr;
    double lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
    auto corner = [&](const float* f) {
      const Vec3 p = Flip(Sub({f[0], f[1], f[2]}, group.center));
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], static_cast<double>(p[i]));
        hi[i] = std::max(hi[i], static_cast<double>(p[i]));
      }
      positions = std::copy(p.begin(), p.end(), positions);
      Vec3 n = Flip({f[normalAt], f[normalAt + 1], f[normalAt + 2]});
      const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      // glTF asks for unit normals; one that has no direction gets z.
      if (len > 0 && std::isfinite(len))
        n = {n[0] / len, n[1] / len, n[2] / len};
      else
        n = {0, 0, 1};
      normals = std::copy(n.begin(), n.end(), normals);
      if (colors)
        for (int i = 3; i < 6; ++i)
          *colorValues++ = std::clamp(f[i], 0.0f, 1.0f);
      if (texCoords) {
        // glTF's t runs down the picture, OpenGL's up.
        *uvs++ = f[stride - 2];
        *uvs++ = 1 - f[stride - 1];
      }
    };
    for (const DisplayPrimitive& prim : group.primitives) {
      const float* v = prim.vertices.data();
      auto tri = [&](size_t a, size_t b, size_t c) {
        corner(v + a * stride);
        corner(v + b * stride);
        corner(v + c * stride);
      };
      ForEachTriangle(prim.type, UsableVertices(prim, stride), tri);
    }
    tinygltf::Primitive prim;
    prim.mode = TINYGLTF_MODE_TRIANGLES;
    const int position = Accessor(positionView, corners, TINYGLTF_TYPE_VEC3);
    model_.accessors[position].minValues.assign(lo, lo + 3);
    model_.accessors[position].maxValues.assign(hi, hi + 3);
    prim.attributes["POSITION"] = position;
    prim.attributes["NORMAL"] = Accessor(normalView, corners, TINYGLTF_TYPE_VEC3);
    if (colors) prim.attributes["COLOR_0"] = Accessor(colorView, corners, TINYGLTF_TYPE_VEC3);
    if (texCoords) prim.attributes["TEXCOORD_0"] = Accessor(uvView, corners, TINYGLTF_TYPE_VEC2);
    prim.material = Material(group);
    tinygltf::Mesh mesh;
    mesh.name = group.name;
    mesh.primitives.push_back(std::move(prim));
    model_.meshes.push_back(std::move(mesh));
    return static_cast<int>(model_.meshes.size()) - 1;
  }

  // The glTF texture of a textured group with texture coordinates, made
  // at its first use; -1 for none.
  int Texture(const DisplayGroup& group) {
    if (!(group.flags & Textured) || !(group.flags & TexCoords)) return -1;
    auto [it, added] = textures_.try_emplace(group.textureIndex, -1);
    if (!added) return it->second;
    std::vector<unsigned char> png = TexturePng(doc_, group.textureIndex);
    if (png.empty()) return -1;
    tinygltf::Image image;
    image.mimeType = "image/png";
    if (binary_) {
      image.bufferView = View(png.data(), png.size(), 0);
    } else {
      std::string stem(BaseName(path_));
      stem.resize(stem.size() - std::min<size_t>(stem.size(), 5));  // ".gltf"
      image.uri = stem + "_texture" + std::to_string(group.textureIndex) + ".png";
      pictures.emplace_back(image.uri, std::move(png));
    }
    model_.images.push_back(std::move(image));
    if (model_.samplers.empty()) {
      tinygltf::Sampler sampler;
      sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
      sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
      model_.samplers.push_back(sampler);
    }
    tinygltf::Texture texture;
    texture.source = static_cast<int>(model_.images.size()) - 1;
    texture.sampler = 0;
    model_.textures.push_back(texture);
    it->second = static_cast<int>(model_.textures.size()) - 1;
    return it->second;
  }

  int Material(const DisplayGroup& group) {
    // By bits: a NaN from a damaged scene file still names one material.
    const int texture = Texture(group);
    std::array<uint32_t, 9> key;
    key[8] = static_cast<uint32_t>(texture);
    const float values[8] = {group.color[0],    group.color[1],    group.color[2],
                             group.specular[0], group.specular[1], group.specular[2],
                             group.shininess,   group.alpha};
    for (int i = 0; i < 8; ++i)
      key[i] = std::bit_cast<uint32_t>(values[i]);
    auto [it, added] = materials_.try_emplace(key, static_cast<int>(model_.materials.size()));
    if (!added) return it->second;
    auto unit = [](float x) { return std::isfinite(x) ? std::clamp(x, 0.0f, 1.0f) : 1.0f; };
    tinygltf::Material m;
    m.name = "material" + std::to_string(it->second + 1);
    m.pbrMetallicRoughness.baseColorFactor = {unit(group.color[0]), unit(group.color[1]),
                                              unit(group.color[2]), unit(group.alpha)};
    m.pbrMetallicRoughness.roughnessFactor = GltfRoughness(group.shininess);
    m.pbrMetallicRoughness.metallicFactor = GltfMetalness(group.specular);
    if (unit(group.alpha) < 1) m.alphaMode = "BLEND";
    if (texture >= 0) m.pbrMetallicRoughness.baseColorTexture.index = texture;
    model_.materials.push_back(std::move(m));
    return it->second;
  }

  // One sampler and channel; times are frames.
  void Channel(tinygltf::Animation& anim, int node, const char* path, std::vector<float> times,
               const std::vector<float>& values, int type, int components, const char* how) {
    for (float& t : times)
      t /= kFramesPerSecond;
    tinygltf::AnimationSampler sampler;
    sampler.input = Floats(times, TINYGLTF_TYPE_SCALAR, 1, true, 0);
    sampler.output = Floats(values, type, components, false, 0);
    sampler.interpolation = how;
    anim.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(anim.samplers.size()) - 1;
    channel.target_node = node;
    channel.target_path = path;
    anim.channels.push_back(channel);
  }

  // Translation or scale keys; `map` takes a value into the node's
  // terms, `mapSlope` a derivative (its linear part).
  template <class Map, class MapSlope>
  void KeyChannel(tinygltf::Animation& anim, int g, int kind, const char* path, Map map,
                  MapSlope mapSlope) {
    const std::vector<GltfSplineKey> keys = SplineKeysOf(s_.anim, g, kind);
    if (keys.empty()) return;
    std::vector<float> times, values;
    const bool step = AllStepKeys(s_.anim, g, kind) || keys.size() < 2;
    for (const GltfSplineKey& k : keys) {
      times.push_back(static_cast<float>(k.frame));
      const Vec3 in = mapSlope(k.in), v = map(k.value), out = mapSlope(k.out);
      if (!step) values.insert(values.end(), in.begin(), in.end());
      values.insert(values.end(), v.begin(), v.end());
      if (!step) values.insert(values.end(), out.begin(), out.end());
    }
    Channel(anim, nodeOf_[g], path, std::move(times), values, TINYGLTF_TYPE_VEC3, 3,
            step ? "STEP" : "CUBICSPLINE");
  }

  void Animate(const std::vector<int32_t>& parents) {
    tinygltf::Animation anim;
    anim.name = "animation";
    for (int g : trs_) {
      const DisplayGroup& group = s_.groups[g];
      const Mat4 turn = RotationMatrix(group.centerRotation);
      const Vec3 c = group.center;
      const Vec3 parentCenter = parents[g] >= 0 ? s_.groups[parents[g]].center : Vec3{0, 0, 0};
      KeyChannel(
          anim, g, kKeyTranslation, "translation",
          [&](const Vec3& t) { return Flip(Sub(TransformPoint(turn, Add(t, c)), parentCenter)); },
          [&](const Vec3& d) { return Flip(TransformDirection(turn, d)); });
      KeyChannel(
          anim, g, kKeyScale, "scale", [](const Vec3& v) { return v; },
          [](const Vec3& v) { return v; });
      auto rotation = rotations_.find(g);
      if (rotation != rotations_.end() && !rotation->second.empty()) {
        std::vector<float> times;
        for (int f = 0; f <= lastFrame_; ++f)
          times.push_back(static_cast<float>(f));
        Channel(anim, nodeOf_[g], "rotation", std::move(times), rotation->second,
                TINYGLTF_TYPE_VEC4, 4, "LINEAR");
      }
    }
    if (!anim.channels.empty()) model_.animations.push_back(std::move(anim));
  }

  Document& doc_;
  Scene& s_;
  tinygltf::Model model_;
  std::vector<int> nodeOf_;
  std::vector<int> trs_;
  std::map<int, std::vector<float>> rotations_;
  int lastFrame_ = 0;
  std::map<std::array<uint32_t, 9>, int> materials_;
  std::map<int, int> textures_;  // table index to glTF texture, -1 when unusable
  const std::string& path_;
  bool binary_;
};

// A writer that leaves the pictures' names as they are: the pictures are
// in place already.
void KeepPictureNames(tinygltf::TinyGLTF& gltf) {
  gltf.SetImageWriter([](const std::string*, const std::string*, const tinygltf::Image*, bool,
                         std::string*, void*) { return false; },
                      nullptr);
}

// The model's JSON text, without line breaks.
bool JsonText(const tinygltf::Model& model, std::string& json) {
  std::ostringstream text;
  tinygltf::TinyGLTF gltf;
  KeepPictureNames(gltf);
  if (!gltf.WriteGltfSceneToStream(&model, text, false, false)) return false;
  json = std::move(text).str();
  while (!json.empty() && (json.back() == '\n' || json.back() == ' '))
    json.pop_back();
  return json.size() >= 2 && json.back() == '}';
}

bool WriteText(const tinygltf::Model& model, OutputFile& out) {
  std::ostringstream bytes;
  tinygltf::TinyGLTF gltf;
  KeepPictureNames(gltf);
  return gltf.WriteGltfSceneToStream(&model, bytes, true, false) && out.Write(bytes.view());
}

// A .glb: the JSON chunk, then the buffer as the binary chunk.
// note: tinygltf would copy the buffer and then build the whole file in a
// string stream; here the buffer goes from the model to the file once.
bool WriteGlb(tinygltf::Model& model, OutputFile& out) {
  std::vector<unsigned char> bin;
  if (!model.buffers.empty()) bin = std::move(model.buffers[0].data);
  model.buffers.clear();
  std::string json;
  if (!JsonText(model, json)) return false;
  if (!bin.empty()) {
    json.pop_back();
    json += (json.size() > 1 ? ",\"buffers\":[{\"byteLength\":" : "\"buffers\":[{\"byteLength\":") +
            std::to_string(bin.size()) + "}]}";
  }
  json.resize((json.size() + 3) / 4 * 4, ' ');
  const size_t binChunk = (bin.size() + 3) / 4 * 4;
  const uint64_t total = 12 + 8 + json.size() + (bin.empty() ? 0 : 8 + binChunk);
  if (total > UINT32_MAX) return false;
  auto word = [&](uint64_t v) {
    const unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                static_cast<unsigned char>(v >> 16),
                                static_cast<unsigned char>(v >> 24)};
    return out.Write(b, 4);
  };
  bool ok = out.Write("glTF", 4) && word(2) && word(total) && word(json.size()) &&
            word(0x4E4F534A) && out.Write(json);
  if (!bin.empty()) {
    static const unsigned char kZeros[3] = {};
    ok = ok && word(binChunk) && word(0x004E4942) && out.Write(bin.data(), bin.size()) &&
         out.Write(kZeros, binChunk - bin.size());
  }
  return ok;
}

}  // namespace

float GltfRoughness(float shininess) {
  if (!std::isfinite(shininess)) return 1;
  return std::clamp(1 - shininess / 128, 0.0f, 1.0f);
}

float GltfMetalness(const Vec3& specular) {
  const float mean = (specular[0] + specular[1] + specular[2]) / 3;
  if (!std::isfinite(mean)) return 0;
  return std::clamp((mean - 0.5f) * 2, 0.0f, 1.0f);
}

int WriteGltfFile(Document& doc, const std::string& path) {
  GoToFrame0(doc);
  const bool binary = !EndsWithNoCase(path, ".gltf");
  OutputFile out;
  if (!out.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + out.reason());
    return -1;
  }
  GltfBuilder builder(doc, path, binary);
  tinygltf::Model model = builder.Build();
  // Pictures beside a text file, each written whole or not at all.
  const std::string folder =
      path.find('/') == std::string::npos ? std::string() : std::string(FolderOf(path)) + "/";
  for (const auto& [name, png] : builder.pictures) {
    OutputFile picture;
    const std::string picturePath = folder + name;
    if (!picture.Open(picturePath) || !picture.Write(png.data(), png.size()) || !picture.Commit()) {
      doc.shell->Message("Can't write output file: " + picture.error());
      return -1;
    }
  }
  const bool made = binary ? WriteGlb(model, out) : WriteText(model, out);
  if (!made || !out.Commit()) {
    doc.shell->Message("Can't write output file: " + out.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
