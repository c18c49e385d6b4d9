#include "nativefile/native_reader.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string_view>
#include <vector>

#include "anim/curves.h"
#include "anim/keying.h"
#include "io/byte_reader.h"
#include "io/file_bytes.h"
#include "io/finite_values.h"
#include "io/huge_pages.h"
#include "nativefile/native_format.h"
#include "scene/bounds.h"
#include "scene/camera_lights.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

constexpr int kMaxMappedTextures = 100;

// What a file holds, read into a scene of its own so that nothing of the
// document changes until the whole file has been read.
struct LoadedFile {
  Scene scene;                                                // group index = record number
  std::vector<int32_t> textureNumber;                         // per record
  std::vector<std::pair<std::string, std::string>> textures;  // name, image file
  bool hasSettings = false;  // camera, lights and background were read
};

enum class Outcome { kLoaded, kRefusedQuietly, kBadHeader, kBad };

class NativeParser {
 public:
  NativeParser(Document& doc, std::span<const uint8_t> bytes, const std::string& path, bool append,
               LoadedFile& out)
      : doc_(doc), r_(bytes), path_(path), append_(append), out_(out) {}

  Outcome Parse() {
    if (r_.size() < kNativeMagicLine.size() ||
        std::memcmp(r_.Take(kNativeMagicLine.size()), kNativeMagicLine.data(),
                    kNativeMagicLine.size()) != 0)
      return Outcome::kBadHeader;
    int32_t version = r_.I32();
    int32_t count = r_.I32();
    if (!r_.ok()) return Outcome::kBadHeader;
    if (version < 1 || version > 3) {
      version = static_cast<int32_t>(__builtin_bswap32(static_cast<uint32_t>(version)));
      count = static_cast<int32_t>(__builtin_bswap32(static_cast<uint32_t>(count)));
      if (version < 1 || version > 3) return Outcome::kRefusedQuietly;
      r_.swap = true;
    }
    version_ = version;
    headSize_ = version == 1 ? kHeadSizeV1 : version == 2 ? kHeadSizeV2 : kHeadSizeV3;
    // Every record needs at least its head.
    if (count < 0 || static_cast<size_t>(count) > r_.remaining() / headSize_) return Outcome::kBad;
    count_ = count;

    Scene& s = out_.scene;
    s.groups.resize(count);
    for (DisplayGroup& g : s.groups)
      g.name = path_;
    out_.textureNumber.assign(count, 0);
    s.rootHead = count > 0 ? 0 : -1;
    for (int record = 0; record < count; ++record)
      if (!(version == 1 ? OldRecord(record) : Record(record))) return Outcome::kBad;
    for (DisplayGroup& g : s.groups)
      ReplaceNonFiniteValues(g);
    if (!IsTree()) return Outcome::kBad;
    if (!out_.scene.anim.keyFrameList.empty()) JoinKeys();
    return Outcome::kLoaded;
  }

 private:
  // Offsets are those of a version-3 head (native_format.h).
  int At(int v3Offset) const {
    return version_ == 2 && v3Offset >= kHeadRecordType ? v3Offset - kHeadV2Shift : v3Offset;
  }
  int32_t HeadInt(int v3Offset) {
    head_.Seek(At(v3Offset));
    return head_.I32();
  }
  void HeadFloats(int v3Offset, float* out, int n) {
    head_.Seek(At(v3Offset));
    head_.Words(out, n);
  }
  Vec3 HeadVec(int v3Offset) {
    Vec3 v{};
    HeadFloats(v3Offset, v.data(), 3);
    return v;
  }

  // A damaged file, or one saved while a value was not a number, brings no
  // such value into the scene: each one becomes 0. The light, camera and
  // key values read below are made finite the same way.
  static void ReplaceNonFiniteValues(DisplayGroup& g) {
    for (DisplayPrimitive& prim : g.primitives)
      ReplaceNonFinite(prim.vertices.Mutable());
    for (Vec3* v : {&g.color, &g.specular, &g.center, &g.centerRotation, &g.rotation,
                    &g.translation, &g.scale})
      ReplaceNonFinite(*v);
    ReplaceNonFinite({&g.alpha, 1});
    ReplaceNonFinite({&g.shininess, 1});
    ReplaceNonFinite(g.matrix);
    ReplaceNonFinite(g.textureTransform);
  }

  // A record number in a link field: -1 or a record of this file.
  bool Link(int32_t value, int32_t& out) {
    if (value < -1 || value >= count_) return false;
    out = value;
    return true;
  }

  bool Record(int record) {
    const uint8_t* head = r_.Take(headSize_);
    if (!head) return false;
    head_ = ByteReader(head, headSize_);
    head_.swap = r_.swap;
    if (static_cast<uint32_t>(HeadInt(kHeadMagic)) != kRecordMagic) return false;
    const int32_t type = HeadInt(kHeadRecordType);
    const int32_t payload = HeadInt(kHeadPayloadSize);
    if (payload < 0 || static_cast<size_t>(payload) > r_.remaining()) return false;
    ByteReader p(r_.Take(payload), payload);
    p.swap = r_.swap;

    DisplayGroup& g = out_.scene.groups[record];
    if (!Link(HeadInt(kHeadNext), g.next) || !Link(HeadInt(kHeadChild), g.child)) return false;
    if (type >= 0 && type <= 3) return Group(record, type, p);
    if (type == kRecordTextureNames) return TextureNames(record, p);
    if (type == kRecordAnimation) return Animation(record, p);
    if (type == kRecordScene) return Settings(record, p);
    Body(record);
    if (!(static_cast<uint32_t>(HeadInt(kHeadFileFlags)) & kFileKeepUnknown)) g.flags = Deleted;
    return true;
  }

  // The fields of a group record's head that any record can carry.
  void Body(int record) {
    Scene& s = out_.scene;
    DisplayGroup& g = s.groups[record];
    char name[kNameBytes + 1] = {};
    head_.Seek(At(kHeadName));
    head_.Bytes(name, kNameBytes);
    name[kNameBytes - 1] = '\0';  // at most 79 characters, terminated or not
    g.name = name;
    const uint32_t fileFlags = static_cast<uint32_t>(HeadInt(kHeadFileFlags));
    g.flags =
        ((fileFlags & kFileTextured) ? Textured : 0) | ((fileFlags & kFileDisabled) ? 0 : Enabled);
    Vec3 color = HeadVec(kHeadColor);
    SetColor(s, record, color[0], color[1], color[2]);
    HeadFloats(kHeadAlpha, &g.alpha, 1);
    if (version_ == 2) {
      float level = 0, shininess = 0;
      HeadFloats(kHeadSpecular, &level, 1);
      HeadFloats(kHeadShininessV2, &shininess, 1);
      if (!(level >= 0 && level <= 1 && shininess >= 1 && shininess <= 128)) {
        level = 0.5f;
        shininess = 15;
      }
      g.specular = {level, level, level};
      g.shininess = shininess;
    } else {
      Vec3 specular = HeadVec(kHeadSpecular);
      float shininess = 0;
      HeadFloats(kHeadShininess, &shininess, 1);
      SetSpecular(s, record, specular[0], specular[1], specular[2]);
      SetShininess(s, record, shininess);
    }
    HeadFloats(kHeadMatrix, g.matrix.data(), 16);
    int at = kHeadTransform;
    for (Vec3* v : {&g.center, &g.centerRotation, &g.rotation, &g.translation, &g.scale}) {
      *v = HeadVec(at);
      at += 12;
    }
    HeadFloats(kHeadTextureTransform, g.textureTransform.data(), 9);
    out_.textureNumber[record] = HeadInt(kHeadTextureNumber);
  }

  bool Group(int record, int32_t layout, ByteReader& p) {
    Body(record);
    DisplayGroup& g = out_.scene.groups[record];
    g.flags |= LayoutFlags(layout);
    const int32_t primitives = HeadInt(kHeadCount);
    if (primitives < 0 || static_cast<size_t>(primitives) > p.remaining() / 4) return false;
    if (!Primitives(g, primitives, p, false)) return false;

    g.kind = HeadInt(kHeadKind);
    size_t size = GeneratorParamSize(g);
    if (g.kind == kKindRevolution || g.kind == kKindExtrusion) {
      size_t start = p.pos();
      int32_t own = p.I32();
      if (!p.ok() || own < 4) return false;
      p.Seek(start);
      size = static_cast<size_t>(own);
    }
    if (size > p.remaining()) return false;
    g.generatorParams.resize(size);
    p.Words(g.generatorParams.data(), size / 4);
    p.Bytes(g.generatorParams.data() + size / 4 * 4, size % 4);
    // Bytes the head counts beyond these are passed over.
    return p.ok();
  }

  bool Primitives(DisplayGroup& g, int32_t count, ByteReader& p, bool oldStyle) {
    const size_t stride = VertexStride(g);
    g.primitives.resize(count);
    for (DisplayPrimitive& prim : g.primitives) {
      uint32_t word = p.U32();
      uint32_t vertices = oldStyle ? word : word & kMaxFileVertexCount;
      prim.type =
          oldStyle ? (vertices == 3 ? kTriangles : kQuads) : static_cast<int32_t>(word >> 24);
      if (!p.ok() || prim.type > kQuadStrip) return false;
      if (vertices > p.remaining() / (4 * stride)) return false;
      prim.vertexCount = static_cast<int32_t>(vertices);
      std::vector<float>& floats = prim.vertices.Mutable();
      ResizeForFill(floats, vertices * stride);
      if (!p.Words(floats.data(), vertices * stride)) return false;
    }
    return true;
  }

  // Version 1: a short head, no links, no sizes; every record a group of
  // its own vertex layout, chained after the one before.
  bool OldRecord(int record) {
    const uint8_t* head = r_.Take(kHeadSizeV1);
    if (!head) return false;
    head_ = ByteReader(head, kHeadSizeV1);
    head_.swap = r_.swap;
    Scene& s = out_.scene;
    DisplayGroup& g = s.groups[record];
    const int32_t primitives = HeadInt(kHeadCount);
    const int32_t layout = HeadInt(kHeadLayoutV1);
    if (layout < 0 || layout > 3) return false;
    if (primitives < 0 || static_cast<size_t>(primitives) > r_.remaining() / 4) return false;
    g.flags = Enabled | LayoutFlags(layout);
    Vec3 color = HeadVec(kHeadColor);
    SetColor(s, record, color[0], color[1], color[2]);
    HeadFloats(kHeadAlpha, &g.alpha, 1);
    g.next = record + 1 < count_ ? record + 1 : -1;
    return Primitives(g, primitives, r_, true);
  }

  static bool String(ByteReader& p, std::string& out) {
    int32_t length = p.I32();
    if (!p.ok() || length < 1 || static_cast<size_t>(length) > p.remaining()) return false;
    const char* text = reinterpret_cast<const char*>(p.Take(length));
    out.assign(text, strnlen(text, static_cast<size_t>(length)));
    return true;
  }

  void Header(int record) { out_.scene.groups[record].flags = Deleted; }

  bool TextureNames(int record, ByteReader& p) {
    Header(record);
    const int32_t count = HeadInt(kHeadCount);
    if (count < 0 || static_cast<size_t>(count) > p.remaining() / 10) return false;
    for (int32_t i = 0; i < count; ++i) {
      std::string name, file;
      if (!String(p, name) || !String(p, file)) return false;
      // The file names an image, never where to look for it: a directory in
      // it would let a scene file reach outside the texture directories.
      file = std::string(BaseName(file));
      if (i < kMaxMappedTextures) out_.textures.emplace_back(std::move(name), std::move(file));
    }
    return true;
  }

  void NotSupported(const char* format, int32_t section) {
    char text[80];
    std::snprintf(text, sizeof text, format, section);
    doc_.shell->Message(text);
  }

  bool Settings(int record, ByteReader& p) {
    Header(record);
    const int32_t section = HeadInt(kHeadTextureNumber);
    if (append_) return true;
    if (section != 2 && section != 3) {
      NotSupported("scene version %d in file not supported", section);
      return true;
    }
    Scene& s = out_.scene;
    KnfCameraView& cam = s.camera;
    cam.mode = p.I32();
    cam.lookAtGroup = p.I32();
    for (Vec3* v : {&cam.viewParams, &cam.rotation, &cam.position, &cam.vectorA, &cam.vectorB})
      p.Words(v->data(), 3);
    for (KnfLight& l : s.lights) {
      l.type = p.I32();
      p.Words(l.color.data(), 3);
      p.Words(l.position.data(), 3);
      p.Words(l.direction.data(), 3);
      for (float* f : {&l.c1, &l.c2, &l.c3, &l.cutoff, &l.spotPower})
        *f = p.F32();
    }
    if (section == 3)
      p.Words(s.global.background.data(), 3);
    else
      s.global.background = {0.1f, 0.1f, 0.4f};
    if (!p.ok()) return false;
    for (Vec3* v : {&cam.viewParams, &cam.rotation, &cam.position, &cam.vectorA, &cam.vectorB,
                    &s.global.background})
      ReplaceNonFinite(*v);
    for (KnfLight& l : s.lights) {
      for (Vec3* v : {&l.color, &l.position, &l.direction})
        ReplaceNonFinite(*v);
      for (float* f : {&l.c1, &l.c2, &l.c3, &l.cutoff, &l.spotPower})
        *f = FiniteOr(*f, 0);
    }
    for (int l = 0; l < kLightCount; ++l)
      UpdateLightDirection(s, l, 1);
    out_.hasSettings = true;
    return true;
  }

  bool Animation(int record, ByteReader& p) {
    Header(record);
    const int32_t section = HeadInt(kHeadTextureNumber);
    if (append_) return true;
    if (section != 3) {
      NotSupported("animation version %d in file not supported", section);
      return true;
    }
    KeyStore& a = out_.scene.anim;
    const int32_t frames = HeadInt(kHeadCount);
    if (frames < 0 || static_cast<size_t>(frames) > p.remaining() / 8) return false;
    for (int32_t i = 0; i < frames; ++i) {
      const int32_t frame = p.I32();
      const int32_t infos = p.I32();
      // A frame stands in a file once.
      if (!p.ok() || !IsValidFrame(frame) || a.frameKeys[frame] != -1) return false;
      if (infos < 0 || static_cast<size_t>(infos) > p.remaining() / 16) return false;
      for (int32_t n = 0; n < infos; ++n)
        if (!KeyInfo(frame, p)) return false;
      // Keys were pushed at the front: turn them back into file order.
      ReverseFrameKeys(a, frame);
    }
    RebuildKeyFrameList(a);
    return true;
  }

  bool KeyInfo(int frame, ByteReader& p) {
    KeyStore& a = out_.scene.anim;
    int32_t owner = p.I32();
    const int32_t kind = p.I32();
    const uint32_t mask = p.U32();
    if (!p.ok() || owner >= count_) return false;
    const int n = ValueCount(kind);
    if (n > 0) {
      const int words = kind == kKeyCamera ? kCameraFileWords : n;
      int k = AddKey(a, frame, kind);
      if (k == -1) {
        doc_.shell->Message("Can't get memory for keyframe info");
        return false;
      }
      KnfKeyInfo& key = a.keys[k];
      key.owner = owner;
      key.mask = mask;
      if (!p.Words(key.values.data(), words)) return false;
      // Light types and enabled flags are whole numbers in a float's bits;
      // the curves are made from the n values alone.
      if (kind != kKeyLightType && kind != kKeyEnabled)
        ReplaceNonFinite({key.values.data(), static_cast<size_t>(n)});
      if (kind == kKeyCamera) {
        if ((mask & 3) == kCameraLookAt) {
          int32_t target = std::bit_cast<int32_t>(key.values[kCameraLookAtWord]);
          if (target < 0 || target >= count_) return false;
        }
        key.values[kCameraPathCountWord] = 0;
      }
      key.span = p.I32();
    } else {
      p.I32();
    }
    return p.ok();
  }

  // Every record is reached at most once from record 0: no loops, no
  // group with two parents. Records that nothing reaches hold no group of
  // the scene: they become empty slots, as header records are.
  bool IsTree() {
    Scene& s = out_.scene;
    std::vector<char> seen(s.groups.size(), 0);
    std::vector<int32_t> pending;
    if (s.rootHead != -1) pending.push_back(s.rootHead);
    while (!pending.empty()) {
      int g = pending.back();
      pending.pop_back();
      for (; g != -1; g = s.groups[g].next) {
        if (seen[g]) return false;
        seen[g] = 1;
        if (s.groups[g].child != -1) pending.push_back(s.groups[g].child);
      }
    }
    for (size_t g = 0; g < s.groups.size(); ++g)
      if (!seen[g]) s.groups[g].flags = Deleted;
    return true;
  }

  // The file keeps key values only: spans and curves follow from the
  // order of the key frames, as they did when the keys were made. A key
  // keeps a stored span of 0 (its value holds until the next key frame).
  // Keys are gathered per owner and kind once, so this stays linear in
  // the number of keys however many share a frame.
  void JoinKeys() {
    KeyStore& a = out_.scene.anim;
    const auto& list = a.keyFrameList;
    struct Placed {
      int frameIndex, key;
    };
    std::map<std::pair<int32_t, int32_t>, std::vector<Placed>> tracks;
    for (size_t i = 0; i < list.size(); ++i)
      ForEachKeyInFrame(a, list[i], [&](int k) {
        std::vector<Placed>& track = tracks[{a.keys[k].owner, a.keys[k].kind}];
        // A second key of the same owner and kind in one frame is never found.
        if (track.empty() || track.back().frameIndex != static_cast<int>(i))
          track.push_back({static_cast<int>(i), k});
      });
    for (auto& entry : tracks) {
      std::vector<Placed>& track = entry.second;
      // The key of this track at frame index f, or -1.
      auto at = [&](size_t pos, int offset) -> int {
        long j = static_cast<long>(pos) + offset;
        if (j < 0 || j >= static_cast<long>(track.size())) return -1;
        return track[j].frameIndex == track[pos].frameIndex + offset ? track[j].key : -1;
      };
      for (size_t pos = 0; pos < track.size(); ++pos) {
        KnfKeyInfo& key = a.keys[track[pos].key];
        const int next = at(pos, 1);
        if (key.span != 0)
          key.span = next == -1 ? 0 : list[track[pos].frameIndex + 1] - list[track[pos].frameIndex];
      }
      const int n = ValueCount(entry.first.second);
      for (size_t pos = 0; pos < track.size(); ++pos) {
        if (IsStepKey(a.keys[track[pos].key]) || n <= 0) continue;
        ComputeCurves(a, n, at(pos, -2), at(pos, -1), track[pos].key, at(pos, 1), at(pos, 2));
      }
    }
  }

  Document& doc_;
  ByteReader r_;
  ByteReader head_{nullptr, 0};
  const std::string& path_;
  bool append_;
  LoadedFile& out_;
  int version_ = 3;
  int headSize_ = kHeadSizeV3;
  int32_t count_ = 0;
};

// Table indices for the file's texture numbers; images that ship beside
// the scene file are found from any working directory.
std::vector<int> ResolveTextures(Document& doc, const LoadedFile& file, const std::string& path) {
  std::vector<int> index;
  for (const auto& [name, image] : file.textures)
    index.push_back(ResolveSceneTexture(doc, name, image, FolderOf(path)));
  return index;
}

// Only textured groups have a texture; the others keep the initial 0.
int TextureIndexFor(const std::vector<int>& resolved, const DisplayGroup& g, int32_t number) {
  if (!(g.flags & Textured)) return 0;
  return number >= 0 && static_cast<size_t>(number) < resolved.size() ? resolved[number] : 0;
}

void Finish(Scene& s) {
  RebuildCameraPath(s);
  UpdateCameraTarget(s);
  RebuildLookAtPaths(s);
}

void Replace(Document& doc, LoadedFile& file, const std::string& path) {
  Scene& s = doc.scene;
  Scene& in = file.scene;
  std::vector<int> resolved = ResolveTextures(doc, file, path);
  for (size_t g = 0; g < in.groups.size(); ++g)
    in.groups[g].textureIndex = TextureIndexFor(resolved, in.groups[g], file.textureNumber[g]);

  ClearScene(s);
  s.groups = std::move(in.groups);
  s.rootHead = in.rootHead;
  for (size_t g = 0; g < s.groups.size(); ++g)
    if (!(s.groups[g].flags & Deleted)) ComputeBoundingBox(s, static_cast<int>(g));
  if (file.hasSettings) {
    std::copy(std::begin(in.lights), std::end(in.lights), std::begin(s.lights));
    s.global = in.global;
    s.camera = in.camera;
    int look = s.camera.lookAtGroup;
    s.camera.lookAtGroup = IsLiveGroup(s, look) ? look : -1;
    s.camera.lookAtPath.clear();
  }
  // The old animation named groups that are gone: the file's (or none) replaces it.
  KeyStore& a = s.anim;
  const bool redraw = a.redrawEnabled;
  a = std::move(in.anim);
  a.redrawEnabled = redraw;
  a.currentFrame = 0;
  a.lastFrame = LastKeyFrame(a);
  UpdateNeighbours(a);
  Finish(s);
}

bool Append(Document& doc, LoadedFile& file, const std::string& path) {
  Scene& s = doc.scene;
  Scene& in = file.scene;
  const int32_t base = static_cast<int32_t>(s.groups.size());
  std::string_view stem = BaseName(path);
  stem = stem.substr(0, stem.find('.'));
  try {
    s.groups.reserve(s.groups.size() + in.groups.size() + 1);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::vector<int> resolved = ResolveTextures(doc, file, path);
  for (size_t g = 0; g < in.groups.size(); ++g) {
    DisplayGroup& group = in.groups[g];
    group.textureIndex = TextureIndexFor(resolved, group, file.textureNumber[g]);
    if (group.next != -1) group.next += base;
    if (group.child != -1) group.child += base;
    s.groups.push_back(std::move(group));
    if (!(s.groups.back().flags & Deleted)) ComputeBoundingBox(s, base + static_cast<int>(g));
  }
  // The new group comes from a free slot or the room reserved above.
  int wrapper = NewGroup(s, stem);
  if (wrapper == -1) {
    s.groups.resize(base);
    return false;
  }
  s.groups[wrapper].child = in.rootHead == -1 ? -1 : in.rootHead + base;
  s.groups[wrapper].flags = Enabled;
  Finish(s);
  return true;
}

}  // namespace

int ReadNativeBytes(Document& doc, std::span<const uint8_t> bytes, const std::string& path,
                    bool append) {
  LoadedFile file;
  Outcome outcome;
  try {
    outcome = NativeParser(doc, bytes, path, append, file).Parse();
    if (outcome == Outcome::kLoaded) {
      if (append) return Append(doc, file, path) ? 0 : -2;
      Replace(doc, file, path);
      return 0;
    }
  } catch (const std::bad_alloc&) {
    outcome = Outcome::kBad;
  }
  switch (outcome) {
    case Outcome::kRefusedQuietly:
      return 0;
    case Outcome::kBadHeader:
      return -2;
    case Outcome::kBad:
      if (!append) {
        ClearScene(doc.scene);
        ClearKeyFrames(doc.scene.anim);
      }
      return -2;
    case Outcome::kLoaded:
      break;
  }
  return -2;
}

int ReadNativeFile(Document& doc, const std::string& path, bool append) {
  FileBytes bytes;
  // A file that cannot be held or ended early is one that cannot be decoded.
  if (int failed = ReadWholeFile(path, bytes, {.cannotOpen = -1, .shortRead = -2, .tooLarge = -2}))
    return failed;
  return ReadNativeBytes(doc, bytes.span(), path, append);
}

}  // namespace modra
