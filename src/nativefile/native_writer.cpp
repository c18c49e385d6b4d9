#include "nativefile/native_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "anim/playback.h"
#include "images/held_picture_file.h"
#include "io/output_file.h"
#include "nativefile/export_order.h"
#include "nativefile/native_format.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

static_assert(std::endian::native == std::endian::little,
              "native files are written in the writer's own byte order: little-endian here");

// A record head under construction; every field at its byte offset.
class Head {
 public:
  Head() {
    bytes_.fill(0);
    Floats(kHeadMatrix, kIdentity.data(), 16);
    const float scale[3] = {1, 1, 1};
    Floats(kHeadScale, scale, 3);
    Floats(kHeadTextureTransform + 6 * 4, scale, 3);
  }
  void Int(int at, int32_t v) { std::memcpy(&bytes_[at], &v, 4); }
  void Floats(int at, const float* v, int n) { std::memcpy(&bytes_[at], v, 4 * n); }
  void Name(const std::string& name) {
    size_t n = std::min<size_t>(name.size(), kNameBytes - 1);
    std::memcpy(&bytes_[kHeadName], name.data(), n);
  }
  const uint8_t* data() const { return bytes_.data(); }

 private:
  std::array<uint8_t, kHeadSizeV3> bytes_;
};

// A stored primitive as the file holds it: no more than 2^24 - 1 vertices
// per primitive word, so longer primitives go out in several pieces.
struct FilePiece {
  size_t primitive;
  int32_t type;
  size_t first, count;
};

std::vector<FilePiece> FilePieces(const DisplayGroup& g) {
  const size_t stride = VertexStride(g);
  std::vector<FilePiece> pieces;
  for (size_t i = 0; i < g.primitives.size(); ++i) {
    const DisplayPrimitive& prim = g.primitives[i];
    size_t count =
        std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)), prim.vertices.size() / stride);
    for (auto [first, n] : FileRanges(prim.type, count))
      pieces.push_back({i, prim.type, first, n});
  }
  return pieces;
}

// The parameter block as written: a variable-size block always carries at
// least its own size word, so that a reader can step over it.
std::vector<uint8_t> ParamBlock(const DisplayGroup& g) {
  std::vector<uint8_t> block = g.generatorParams;
  const bool variable = g.kind == kKindRevolution || g.kind == kKindExtrusion;
  size_t size = variable ? std::max<size_t>(4, block.size()) : GeneratorParamSize(g);
  block.resize(size, 0);
  if (variable) {
    int32_t word = static_cast<int32_t>(size);
    std::memcpy(block.data(), &word, 4);
  }
  return block;
}

class NativeWriter {
 public:
  // `pictureFiles`: the file names that held pictures were given, by
  // texture index.
  NativeWriter(Document& doc, OutputFile& out, const std::map<int, std::string>& pictureFiles)
      : doc_(doc), s_(doc.scene), out_(out), pictureFiles_(pictureFiles) {}

  bool Write() {
    used_ = CollectUsedTextures(s_);
    RebuildKeyFrameList(s_.anim);
    const bool hasTextures = !used_.empty();
    const bool hasAnimation = !s_.anim.keyFrameList.empty();
    headers_ = 1 + hasTextures + hasAnimation;
    groups_ = LiveGroupsInOrder(s_);
    NumberLiveGroups(s_, headers_);
    const int32_t recordCount = headers_ + static_cast<int32_t>(groups_.size());

    out_.Write(kNativeMagicLine);
    Int(kNativeVersion);
    Int(recordCount);
    int record = 0;
    if (hasTextures) TextureNames(++record);
    Scene(++record);
    if (hasAnimation) Animation(++record);
    for (int g : groups_)
      Group(g);
    return out_.ok();
  }

 private:
  void Int(int32_t v) { out_.Write(&v, 4); }
  void Float(float v) { out_.Write(&v, 4); }
  void Floats(const float* v, size_t n) { out_.Write(v, 4 * n); }

  // The record after header `number` (1-based): the next header, or the
  // first group; -1 when the file ends here.
  int32_t AfterHeader(int number) const {
    return number < headers_ || !groups_.empty() ? number : -1;
  }

  void HeaderHead(int32_t type, int32_t count, int32_t payload, int number, int32_t section) {
    Head head;
    head.Int(kHeadCount, count);
    head.Int(kHeadRecordType, type);
    head.Int(kHeadPayloadSize, payload);
    head.Int(kHeadMagic, static_cast<int32_t>(kRecordMagic));
    head.Int(kHeadNext, AfterHeader(number));
    head.Int(kHeadChild, -1);
    head.Int(kHeadTextureNumber, section);
    out_.Write(head.data(), kHeadSizeV3);
  }

  std::string TextureName(int index) const {
    if (index < 0 || index >= CurrentTextureCount(doc_.textures)) return {};
    return doc_.textures.entries[index].name;
  }
  std::string TextureFile(int index) const {
    if (index < 0 || index >= CurrentTextureCount(doc_.textures)) return {};
    if (const auto held = pictureFiles_.find(index); held != pictureFiles_.end())
      return held->second;
    return std::string(BaseName(doc_.textures.entries[index].path));
  }

  void String(const std::string& text) {
    Int(static_cast<int32_t>(text.size() + 1));
    out_.Write(text.c_str(), text.size() + 1);
  }

  void TextureNames(int number) {
    int32_t payload = 0;
    for (int t : used_)
      payload += static_cast<int32_t>(TextureName(t).size() + 5 + TextureFile(t).size() + 5);
    HeaderHead(kRecordTextureNames, static_cast<int32_t>(used_.size()), payload, number, 0);
    for (int t : used_) {
      String(TextureName(t));
      String(TextureFile(t));
    }
  }

  void Scene(int number) {
    HeaderHead(kRecordScene, 1, kScenePayloadV3, number, 3);
    const KnfCameraView& cam = s_.camera;
    Int(cam.mode);
    Int(IsNumbered(s_, cam.lookAtGroup) ? s_.groups[cam.lookAtGroup].exportId : 0);
    for (const Vec3* v :
         {&cam.viewParams, &cam.rotation, &cam.position, &cam.vectorA, &cam.vectorB})
      Floats(v->data(), 3);
    for (const KnfLight& l : s_.lights) {
      Int(l.type);
      Floats(l.color.data(), 3);
      Floats(l.position.data(), 3);
      Floats(l.direction.data(), 3);
      for (float f : {l.c1, l.c2, l.c3, l.cutoff, l.spotPower})
        Float(f);
    }
    Floats(s_.global.background.data(), 3);
  }

  // Keys whose owner is not in the file (gone, or on the clipboard) are not
  // written: nothing could read them back to the right group.
  bool Writable(const KnfKeyInfo& key) const {
    if (ValueCount(key.kind) <= 0) return false;
    return key.owner < 0 || IsNumbered(s_, key.owner);
  }

  void Animation(int number) {
    const KeyStore& a = s_.anim;
    int32_t payload = 0;
    for (int f : a.keyFrameList) {
      payload += 8;
      ForEachKeyInFrame(a, f, [&](int k) {
        const KnfKeyInfo& key = a.keys[k];
        if (Writable(key)) payload += 16 + 4 * FileValueCount(key.kind);
      });
    }
    HeaderHead(kRecordAnimation, static_cast<int32_t>(a.keyFrameList.size()), payload, number, 3);
    for (int f : a.keyFrameList) {
      int32_t count = 0;
      ForEachKeyInFrame(a, f, [&](int k) { count += Writable(a.keys[k]); });
      Int(f);
      Int(count);
      ForEachKeyInFrame(a, f, [&](int k) {
        const KnfKeyInfo& key = a.keys[k];
        if (Writable(key)) Key(key);
      });
    }
  }

  static int FileValueCount(int kind) {
    return kind == kKeyCamera ? kCameraFileWords : ValueCount(kind);
  }

  void Key(const KnfKeyInfo& key) {
    Int(key.owner >= 0 ? s_.groups[key.owner].exportId : key.owner);
    Int(key.kind);
    Int(static_cast<int32_t>(key.mask));
    const int n = FileValueCount(key.kind);
    std::vector<float> values(key.values.begin(),
                              key.values.begin() + std::min<size_t>(n, key.values.size()));
    values.resize(n, 0.0f);
    if (key.kind == kKeyCamera) {
      int32_t lookAt = 0;
      if ((key.mask & 3) == kCameraLookAt) {
        int group = std::bit_cast<int32_t>(values[kCameraLookAtWord]);
        lookAt = IsNumbered(s_, group) ? s_.groups[group].exportId : 0;
      }
      values[kCameraLookAtWord] = std::bit_cast<float>(lookAt);
    }
    Floats(values.data(), values.size());
    // The word after the values carries the key's span, so that a value
    // held until the next key frame stays held after loading.
    Int(key.span);
  }

  void Group(int g) {
    const DisplayGroup& group = s_.groups[g];
    const int layout = LayoutNumber(group.flags);
    const size_t stride = VertexStride(group);
    const std::vector<FilePiece> pieces = FilePieces(group);
    const std::vector<uint8_t> params = ParamBlock(group);
    size_t vertices = 0;
    for (const FilePiece& p : pieces)
      vertices += p.count;

    Head head;
    head.Int(kHeadCount, static_cast<int32_t>(pieces.size()));
    head.Int(kHeadVertexCount, static_cast<int32_t>(vertices));
    head.Floats(kHeadColor, group.color.data(), 3);
    head.Floats(kHeadAlpha, &group.alpha, 1);
    head.Floats(kHeadSpecular, group.specular.data(), 3);
    head.Floats(kHeadShininess, &group.shininess, 1);
    head.Int(kHeadRecordType, layout);
    head.Int(kHeadKind, group.kind);
    head.Int(kHeadPayloadSize,
             static_cast<int32_t>(params.size() + vertices * stride * 4 + 4 * pieces.size()));
    head.Int(kHeadMagic, static_cast<int32_t>(kRecordMagic));
    head.Name(group.name);
    head.Int(kHeadFileFlags, ((group.flags & Textured) ? kFileTextured : 0) |
                                 ((group.flags & Enabled) ? 0 : kFileDisabled));
    head.Floats(kHeadMatrix, group.matrix.data(), 16);
    int at = kHeadTransform;
    for (const Vec3* v : {&group.center, &group.centerRotation, &group.rotation, &group.translation,
                          &group.scale}) {
      head.Floats(at, v->data(), 3);
      at += 12;
    }
    head.Floats(kHeadTextureTransform, group.textureTransform.data(), 9);
    head.Int(kHeadNext, NextLiveExportId(s_, g));
    head.Int(kHeadChild, FirstChildExportId(s_, g));
    head.Int(kHeadTextureNumber, TextureNumber(used_, group));
    out_.Write(head.data(), kHeadSizeV3);

    for (const FilePiece& p : pieces) {
      Int(static_cast<int32_t>((static_cast<uint32_t>(p.type) << 24) | p.count));
      Floats(group.primitives[p.primitive].vertices.data() + p.first * stride, p.count * stride);
    }
    out_.Write(params.data(), params.size());
  }

  Document& doc_;
  modra::Scene& s_;
  OutputFile& out_;
  const std::map<int, std::string>& pictureFiles_;
  std::vector<int> used_;
  std::vector<int> groups_;
  int headers_ = 0;
};

}  // namespace

std::vector<std::pair<size_t, size_t>> FileRanges(int32_t type, size_t count) {
  std::vector<std::pair<size_t, size_t>> ranges;
  const bool strip = type == kTriangleStrip || type == kQuadStrip;
  size_t first = 0;
  while (count > kMaxFileVertexCount) {
    // Triangles and quads split between whole faces; strips go on from
    // their last two vertices, at an even count to keep their winding.
    size_t take = kMaxFileVertexCount;
    if (type == kTriangles) take -= take % 3;
    if (type == kQuads) take -= take % 4;
    if (strip) take -= take % 2;
    ranges.emplace_back(first, take);
    const size_t advance = strip ? take - 2 : take;
    first += advance;
    count -= advance;
  }
  ranges.emplace_back(first, count);
  return ranges;
}

int WriteNativeFile(Document& doc, const std::string& path) {
  OutputFile out;
  if (!out.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + out.reason());
    return -1;
  }
  // The pictures first: a scene that names a file it lacks loses the
  // texture when it is opened again.
  std::map<int, std::string> pictureFiles;
  for (int t : CollectUsedTextures(doc.scene)) {
    if (t < 0 || t >= CurrentTextureCount(doc.textures)) continue;
    const TextureEntry& entry = doc.textures.entries[static_cast<size_t>(t)];
    if (!entry.held) continue;
    std::string error;
    std::string name = WriteHeldPicture(entry, FolderOf(path), error);
    if (name.empty()) {
      doc.shell->Message("Can't write output file: " + error);
      return -1;
    }
    pictureFiles.emplace(t, std::move(name));
  }
  GoToFrame0(doc);
  NativeWriter writer(doc, out, pictureFiles);
  if (!writer.Write() || !out.Commit()) {
    doc.shell->Message("Can't write output file: " + out.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
