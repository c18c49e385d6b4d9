#include "nativefile/source_writer.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "anim/playback.h"
#include "io/output_file.h"
#include "io/text_out.h"
#include "nativefile/export_order.h"
#include "nativefile/knf/knf.h"
#include "nativefile/native_format.h"

namespace modra {
namespace {

// The longest texts the exported char arrays hold, without their NUL.
constexpr size_t kGroupNameChars = KNF_GROUP_NAME - 1;
constexpr size_t kTexNameChars = MAX_TEX_NAME - 1;

// The group flags a display program knows; editor state (selection,
// highlight, box drawing) stays out of the file.
constexpr uint32_t kExportedFlags = Enabled | Textured | VertexColors | TexCoords;

// A C string literal holding `text` cut at its first NUL and at `limit`
// bytes. Quotes, backslashes and control characters are escaped so that
// any name compiles to exactly its own bytes.
void CString(TextOut& out, std::string_view text, size_t limit) {
  text = text.substr(0, std::min({text.find('\0'), limit, text.size()}));
  out.Char('"');
  char previous = 0;
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.Char('\\');
      out.Char(c);
    } else if (c == '?' && previous == '?') {
      out.Text("\\?");  // no trigraph for C compilers that still read them
    } else if (u < 0x20 || u == 0x7f) {
      const char octal[] = {'\\', static_cast<char>('0' + (u >> 6)),
                            static_cast<char>('0' + ((u >> 3) & 7)),
                            static_cast<char>('0' + (u & 7))};
      out.Text(std::string_view(octal, 4));
    } else {
      out.Char(c);
    }
    previous = c;
  }
  out.Char('"');
}

// "%ff" (or "%.4ff") for each value, joined by ",".
void Floats(TextOut& out, const float* v, size_t n, int precision = 6) {
  if (precision == 6) {
    out.FixedList(v, n, "f");
    return;
  }
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) out.Char(',');
    out.Fixed(v[i], precision);
    out.Char('f');
  }
}
void Floats(TextOut& out, const Vec3& v) {
  Floats(out, v.data(), 3);
}

// One row of the key-info array.
struct KeyRow {
  int key;
  int next;  // row of the next key of the same key frame, -1 for the last
};
struct FrameRow {
  int frame;
  int firstRow;
};

class SourceWriter {
 public:
  SourceWriter(Document& doc, std::string prefix, TextOut& out)
      : doc_(doc), s_(doc.scene), p_(std::move(prefix)), out_(out) {}

  void Write() {
    used_ = CollectUsedTextures(s_);
    NumberLiveGroups(s_, 0);
    groups_ = LiveGroupsInOrder(s_);
    Header();
    TextureNames();
    Camera();
    Lights();
    Background();
    Keys();
    VertexArrays();
    PrimitiveArrays();
    DisplayGroups();
    InternalInfo();
  }

 private:
  // The prefix followed by a name part: "robot" + "_dp" + 3.
  void Name(std::string_view part, long long number = -1) {
    out_.Text(p_);
    out_.Text(part);
    if (number >= 0) out_.Int(number);
  }

  int ExportNumber(int g) const { return IsNumbered(s_, g) ? s_.groups[g].exportId : 0; }

  void Header() { out_.Text(kSourcePreamble); }

  void TextureNames() {
    out_.Text("char ");
    Name("_tex_names");
    out_.Text("[][MAX_TEX_NAME]={\n");
    const std::vector<TextureEntry>& entries = doc_.textures.entries;
    for (size_t i = 0; i < used_.size(); ++i) {
      const int t = used_[i];
      const bool known = t >= 0 && static_cast<size_t>(t) < entries.size();
      out_.Char(i == 0 ? ' ' : ',');
      CString(out_, known ? std::string_view(entries[t].name) : std::string_view(), kTexNameChars);
      out_.Text("\n,");
      CString(out_, known ? BaseName(entries[t].path) : std::string_view(), kTexNameChars);
      out_.Char('\n');
    }
    out_.Char(used_.empty() ? ' ' : ',');
    out_.Text("\"\",\"\"};\n\n");
  }

  void Camera() {
    const KnfCameraView& cam = s_.camera;
    out_.Text("KnfCameraView ");
    Name("_camera_view");
    out_.Text("={\n     ");
    out_.Int(cam.mode);
    out_.Char(',');
    out_.Int(ExportNumber(cam.lookAtGroup));
    out_.Char(',');
    Floats(out_, cam.viewParams);
    for (const Vec3* v : {&cam.rotation, &cam.position, &cam.vectorA, &cam.vectorB}) {
      out_.Text("\n     ,");
      Floats(out_, *v);
    }
    out_.Text("\n};\n\n");
  }

  void Lights() {
    out_.Text("KnfLight ");
    Name("_light");
    out_.Text("[]={\n");
    for (int i = 0; i < kLightCount; ++i) {
      const KnfLight& l = s_.lights[i];
      out_.Text("     ");
      out_.Char(i == 0 ? ' ' : ',');
      out_.Char('{');
      out_.Int(l.type);
      out_.Char(',');
      Floats(out_, l.color);
      const float attenuation[] = {l.c1, l.c2, l.c3};
      for (const float* v : {l.position.data(), l.direction.data(), attenuation}) {
        out_.Text("\n       ,");
        Floats(out_, v, 3);
      }
      const float cone[] = {l.cutoff, l.spotPower};
      out_.Text("\n       ,");
      Floats(out_, cone, 2);
      out_.Text("}\n");
    }
    out_.Text("};\n\n");
  }

  void Background() {
    out_.Text("KnfGlobalScene ");
    Name("_global_scene");
    out_.Text("[]={\n     {");
    Floats(out_, s_.global.background);
    out_.Text("}\n};\n\n");
  }

  // Keys whose owner group is gone could only point a display program at
  // the wrong group; they are left out.
  bool Writable(const KnfKeyInfo& key) const {
    if (ValueCount(key.kind) <= 0) return false;
    return key.owner < 0 || IsNumbered(s_, key.owner);
  }

  void CollectKeyRows() {
    const KeyStore& a = s_.anim;
    for (int frame = 0; frame <= kMaxFrame; ++frame) {
      if (a.frameKeys[frame] == -1) continue;
      const int first = static_cast<int>(rows_.size());
      ForEachKeyInFrame(a, frame, [&](int k) {
        if (!Writable(a.keys[k])) return;
        if (static_cast<int>(rows_.size()) > first)
          rows_.back().next = static_cast<int>(rows_.size());
        rows_.push_back({k, -1});
      });
      if (static_cast<int>(rows_.size()) > first) frames_.push_back({frame, first});
    }
  }

  // The words a key carries: its values, and for the camera the look-at
  // group after the 42 curve floats, as export numbers.
  std::vector<uint32_t> KeyWords(const KnfKeyInfo& key) const {
    const size_t n = key.kind == kKeyCamera ? kCameraFileWords : ValueCount(key.kind);
    std::vector<uint32_t> words(n, 0);
    for (size_t i = 0; i < n && i < key.values.size(); ++i)
      words[i] = std::bit_cast<uint32_t>(key.values[i]);
    if (key.kind == kKeyCamera && (key.mask & 3) == kCameraLookAt)
      words[kCameraLookAtWord] =
          static_cast<uint32_t>(ExportNumber(std::bit_cast<int32_t>(words[kCameraLookAtWord])));
    return words;
  }

  void Keys() {
    CollectKeyRows();
    const KeyStore& a = s_.anim;
    for (const KeyRow& row : rows_) {
      out_.Text("unsigned long ");
      Name("_key_info_data", row.key);
      out_.Text("[]={");
      // Six values per line: the column count starts past the wrap point
      // so that the first value begins a line of its own.
      int column = 100;
      const std::vector<uint32_t> words = KeyWords(a.keys[row.key]);
      for (size_t i = 0; i < words.size(); ++i) {
        if (column > 65) {
          out_.Text("\n    ");
          column = 4;
        }
        out_.Text(i == 0 ? " 0x" : ",0x");
        out_.Hex8(words[i]);
        column += 11;
      }
      out_.Text("};\n");
    }
    out_.Char('\n');

    out_.Text("KnfKeyInfo ");
    Name("_key_info");
    out_.Text("[]={\n");
    for (size_t r = 0; r < rows_.size(); ++r) {
      const KnfKeyInfo& key = a.keys[rows_[r].key];
      out_.Text("    ");
      out_.Char(r == 0 ? ' ' : ',');
      out_.Char('{');
      out_.Int(key.owner >= 0 ? s_.groups[key.owner].exportId : key.owner);
      out_.Char(',');
      out_.Int(key.kind);
      out_.Text(",0x");
      out_.Hex8(key.mask);
      out_.Char(',');
      out_.Int(key.span);
      out_.Text(",(float*)");
      Name("_key_info_data", rows_[r].key);
      out_.Char(',');
      out_.Int(rows_[r].next);
      out_.Text("}\n");
    }
    out_.Text("    ");
    out_.Char(rows_.empty() ? ' ' : ',');
    out_.Text("{-1,-1,0x00000000,0,(float*)0,-1}\n};\n\n");

    out_.Text("KnfKeyFrame ");
    Name("_key_frame");
    out_.Text("[]={\n");
    for (const FrameRow& f : frames_) {
      out_.Text("    ");
      out_.Char(f.firstRow == 0 ? ' ' : ',');
      out_.Char('{');
      out_.Int(f.frame);
      out_.Char(',');
      out_.Int(f.firstRow);
      out_.Text("}\n");
    }
    out_.Text("    ");
    out_.Char(rows_.empty() ? ' ' : ',');
    out_.Text("{-1,-1}\n};\n\n");
  }

  // Vertices a primitive really holds, whatever its count claims.
  static size_t VertexCount(const DisplayPrimitive& prim, size_t stride) {
    return std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)),
                    prim.vertices.size() / stride);
  }

  void VertexArrays() {
    for (int g : groups_) {
      const DisplayGroup& group = s_.groups[g];
      const size_t stride = VertexStride(group);
      for (size_t i = 0; i < group.primitives.size(); ++i) {
        const DisplayPrimitive& prim = group.primitives[i];
        out_.Text("static float ");
        Name("_pts", g);
        out_.Char('_');
        out_.Int(static_cast<long long>(i));
        out_.Text("[]={\n");
        const size_t count = VertexCount(prim, stride);
        const float* v = prim.vertices.data();
        for (size_t k = 0; k < count; ++k, v += stride) {
          out_.Char(k == 0 ? ' ' : ',');
          Floats(out_, v, stride);
          out_.Char('\n');
        }
        out_.Text("};\n\n");
      }
    }
  }

  void PrimitiveArrays() {
    for (int g : groups_) {
      const DisplayGroup& group = s_.groups[g];
      const size_t stride = VertexStride(group);
      out_.Text("static KnfDisplayPrimitive ");
      Name("_dp", g);
      out_.Text("[]={\n");
      if (group.primitives.empty()) out_.Text(" {0,0,(float *)0}\n");
      for (size_t i = 0; i < group.primitives.size(); ++i) {
        const DisplayPrimitive& prim = group.primitives[i];
        out_.Char(i == 0 ? ' ' : ',');
        out_.Char('{');
        out_.Int(prim.type);
        out_.Char(',');
        out_.Int(static_cast<long long>(VertexCount(prim, stride)));
        out_.Char(',');
        Name("_pts", g);
        out_.Char('_');
        out_.Int(static_cast<long long>(i));
        out_.Text("}\n");
      }
      out_.Text("};\n\n");
    }
  }

  void DisplayGroups() {
    out_.Text("KnfDisplayGroup ");
    Name("_display_group");
    out_.Text("[]={\n");
    bool first = true;
    for (int g : groups_) {
      const DisplayGroup& group = s_.groups[g];
      out_.Char(first ? ' ' : ',');
      first = false;
      out_.Char('{');
      CString(out_, group.name, kGroupNameChars);
      out_.Text("\n,0x");
      out_.Hex(group.flags & kExportedFlags);
      out_.Char(',');
      Floats(out_, group.bboxMin);
      out_.Text(", ");
      Floats(out_, group.bboxMax);
      out_.Text("\n,");
      Floats(out_, group.color);
      out_.Char(',');
      Floats(out_, &group.alpha, 1);
      out_.Char(',');
      const float material[] = {group.specular[0], group.specular[1], group.specular[2],
                                group.shininess};
      Floats(out_, material, 4, 4);
      out_.Text("\n,");
      out_.Int(group.primitiveCount());
      out_.Char(',');
      Name("_dp", g);
      out_.Char('\n');
      for (int row = 0; row < 4; ++row) {
        out_.Text("    ,");
        Floats(out_, group.matrix.data() + 4 * row, 4);
        out_.Char('\n');
      }
      for (const Vec3* v : {&group.center, &group.centerRotation, &group.rotation,
                            &group.translation, &group.scale}) {
        out_.Text("    ,");
        Floats(out_, *v);
        out_.Char('\n');
      }
      out_.Char(',');
      out_.Int(NextLiveExportId(s_, g));
      out_.Char(',');
      out_.Int(FirstChildExportId(s_, g));
      out_.Char(',');
      out_.Int(TextureNumber(used_, group));
      out_.Text("}\n");
    }
    out_.Text("};\n\n");
  }

  void InternalInfo() {
    out_.Text("KnfInternalInfo ");
    Name("_internal_info");
    out_.Text(" = {\n     ");
    Name("_display_group");
    out_.Text("\n    ,");
    Name("_tex_names");
    out_.Text("\n    ,&");
    Name("_camera_view");
    out_.Text("\n    ,");
    Name("_light");
    out_.Text("\n    ,");
    Name("_key_info");
    out_.Text("\n    ,");
    Name("_key_frame");
    out_.Text("\n    ,");
    Name("_global_scene");
    out_.Text("\n};\n");
  }

  Document& doc_;
  Scene& s_;
  const std::string p_;
  TextOut& out_;
  std::vector<int> used_;
  std::vector<int> groups_;
  std::vector<KeyRow> rows_;
  std::vector<FrameRow> frames_;
};

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

std::string SourcePrefix(std::string_view path) {
  std::string_view base = BaseName(path);
  std::string prefix(base.substr(0, base.find('.')));
  for (char& c : prefix)
    if (!IsNameChar(c)) c = '_';
  if (prefix.empty() || (prefix[0] >= '0' && prefix[0] <= '9')) prefix.insert(0, 1, '_');
  return prefix;
}

int WriteSourceFile(Document& doc, const std::string& path) {
  OutputFile file;
  if (!file.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + file.reason());
    return -1;
  }
  GoToFrame0(doc);
  TextOut out(file);
  SourceWriter(doc, SourcePrefix(path), out).Write();
  if (!out.Flush() || !file.Commit()) {
    doc.shell->Message("Can't write output file: " + file.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
