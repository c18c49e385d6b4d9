#include "export/gfx_writer.h"

#include <algorithm>

#include "anim/playback.h"
#include "io/output_file.h"
#include "io/text_out.h"
#include "nativefile/export_order.h"
#include "nativefile/native_format.h"

namespace modra {

std::vector<int> CollectSkyloomTextures(const Scene& s) {
  std::vector<int> used;
  ForEachGroup(s, s.rootHead, [&](int g) {
    const DisplayGroup& group = s.groups[g];
    if (!(group.flags & Textured)) return;
    if (std::find(used.begin(), used.end(), group.textureIndex) != used.end()) return;
    if (used.size() < kMaxSkyloomTextures)
      used.push_back(group.textureIndex);
    else
      used.back() = group.textureIndex;
  });
  return used;
}

namespace {

// Names and file names go into comment lines and quoted strings that end
// at the line; a line break inside one would start a record of its own.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return line;
}

bool Decodable(int32_t type) {
  return type == kTriangles || type == kQuads || type == kTriangleStrip;
}

class SkyloomWriter {
 public:
  SkyloomWriter(Document& doc, TextOut& out) : doc_(doc), s_(doc.scene), out_(out) {}

  void Write() {
    used_ = CollectSkyloomTextures(s_);
    for (size_t i = 0; i < used_.size(); ++i)
      TextureRecord(static_cast<int>(i), used_[i]);
    ForEachGroup(s_, s_.rootHead, [&](int g) {
      if (!IsLiveGroup(s_, g)) return;
      Comment(g);
      SurfaceRecord(g);
      OrientRecord(g);
    });
    Hierarchy();
  }

 private:
  void Floats(const Vec3& v) { out_.FixedList(v.data(), 3); }

  void TextureRecord(int number, int texture) {
    const std::vector<TextureEntry>& entries = doc_.textures.entries;
    const bool known = texture >= 0 && static_cast<size_t>(texture) < entries.size();
    out_.Text("skTexture texture");
    out_.Int(number);
    out_.Text("{\n    Scale = {1,-1,1}\n    FileName = \"textures/");
    if (known) out_.Text(OneLine(BaseName(entries[texture].path)));
    out_.Text("\"\n}\n\n");
  }

  void Comment(int g) {
    out_.Text("# Group ");
    out_.Int(g);
    out_.Text(":\"");
    out_.Text(OneLine(s_.groups[g].name));
    out_.Text("\":\n");
  }

  void SurfaceRecord(int g) {
    const DisplayGroup& group = s_.groups[g];
    out_.Text("skSurface surf_group");
    out_.Int(g);
    out_.Text("{\n    Color = {");
    Floats(group.color);
    out_.Text("}\n    SpecColor = {");
    Floats(group.specular);
    out_.Text("}\n    Shininess = ");
    out_.Fixed(group.shininess * 0.0078125f);  // OpenGL's 0..128 to Skyloom's 0..1
    out_.Text("\n}\n\n");
  }

  void OrientRecord(int g) {
    const DisplayGroup& group = s_.groups[g];
    // Skyloom turns the other way round.
    const Vec3 rotate = {-group.rotation[0], -group.rotation[1], -group.rotation[2]};
    out_.Text("skOrient orient_group");
    out_.Int(g);
    out_.Text("{\n    Scale = {");
    Floats(group.scale);
    out_.Text("}\n    Rotate = {");
    Floats(rotate);
    out_.Text("}\n    Pos = {");
    Floats(group.translation);
    out_.Text("}\n#   Center = {");
    Floats(group.center);
    out_.Text("}\n}\n\n");
  }

  // Entries of a Children list are separated by a comma that stands in
  // front of every header but the list's first.
  void Separator() {
    if (pending_.size() > 1 && !firstInList_) out_.Char(',');
    firstInList_ = false;
  }

  // The top-level list, each group with a live child as a node holding its
  // children, every other group as geometry. Walked with an explicit stack
  // (the next group of each open list) so that deep hierarchies cannot
  // exhaust the call stack.
  void Hierarchy() {
    size_t budget = s_.groups.size();
    pending_.assign(1, FirstLive(s_, s_.rootHead));
    while (!pending_.empty()) {
      const int g = pending_.back();
      if (g == -1 || budget == 0) {
        pending_.pop_back();
        if (!pending_.empty()) {
          out_.Text("}\n}\n\n");
          firstInList_ = false;
        }
        continue;
      }
      --budget;
      pending_.back() = FirstLive(s_, s_.groups[g].next);
      Comment(g);
      const int child = FirstLive(s_, s_.groups[g].child);
      if (child == -1) {
        Geometry(g);
        continue;
      }
      Separator();
      out_.Text("skGroup sk_group");
      out_.Int(g);
      out_.Text(" {\n    Orient = orient_group");
      out_.Int(g);
      out_.Text("\n    Children = {\n");
      pending_.push_back(child);
      firstInList_ = true;
    }
  }

  // Vertices a primitive really holds, whatever its count claims.
  size_t VertexCount(const DisplayPrimitive& prim) const {
    return std::min(static_cast<size_t>(std::max(prim.vertexCount, 0)),
                    prim.vertices.size() / stride_);
  }

  // Opens a Data block for primitive k: the group's block when `suffix`
  // is false, a continuation block named after the primitive otherwise.
  void BlockHeader(int g, size_t k, bool suffix) {
    const DisplayPrimitive& prim = s_.groups[g].primitives[k];
    Separator();
    static constexpr const char* kHeads[] = {"skTriangles tris", "skQuads quad", "skMesh mesh"};
    out_.Text(kHeads[prim.type]);
    out_.Int(g);
    if (suffix) {
      out_.Char('_');
      out_.Int(static_cast<long long>(k));
    }
    out_.Text(" {\n");
    if (prim.type == kTriangleStrip) {
      out_.Text("    GraphN = 2\n    GraphM = ");
      out_.Int(static_cast<long long>(VertexCount(prim) / 2));
      out_.Char('\n');
    }
    out_.Text("    HasNormals = True\n    Surface = surf_group");
    out_.Int(g);
    out_.Text("\n    Orient = orient_group");
    out_.Int(g);
    out_.Char('\n');
    const int layout = LayoutNumber(s_.groups[g].flags);
    if (layout & 2) out_.Text("    HasRGB = True\n");
    if (layout & 1) {
      out_.Text("    HasUV = True\n    Texture = texture");
      out_.Int(texture_);
      out_.Char('\n');
    }
    out_.Text("    Data = {\n");
    firstVertex_ = true;
  }

  void Vertex(const DisplayPrimitive& prim, size_t v) {
    out_.Text("    ");
    out_.Char(firstVertex_ ? ' ' : ',');
    firstVertex_ = false;
    out_.FixedList(prim.vertices.data() + v * stride_, stride_);
    out_.Char('\n');
  }

  // Skyloom winds faces the other way: triangles go out as 0, 2, 1 and
  // quads as 0, 3, 2, 1. A strip becomes a 2 x M mesh, its odd vertices
  // one row and its even vertices the other.
  void Vertices(const DisplayPrimitive& prim) {
    const size_t count = VertexCount(prim);
    if (prim.type == kTriangles) {
      for (size_t t = 0; t + 3 <= count; t += 3)
        for (size_t v : {t, t + 2, t + 1})
          Vertex(prim, v);
    } else if (prim.type == kQuads) {
      for (size_t q = 0; q + 4 <= count; q += 4)
        for (size_t v : {q, q + 3, q + 2, q + 1})
          Vertex(prim, v);
    } else {
      // note: only the 2 x GraphM vertices the header announces; an odd
      // strip's last vertex has no place in the mesh.
      const size_t m = count / 2;
      for (size_t i = 0; i < m; ++i)
        Vertex(prim, 2 * i + 1);
      for (size_t i = 0; i < m; ++i)
        Vertex(prim, 2 * i);
    }
  }

  // A leaf group's primitives in Data blocks: a new block wherever the type
  // changes and for every strip after the first primitive. Primitives of
  // other types leave a comment; a group with none that decode writes no
  // block at all, rather than a block without its header.
  void Geometry(int g) {
    const DisplayGroup& group = s_.groups[g];
    stride_ = static_cast<size_t>(VertexStride(group));
    auto it = std::find(used_.begin(), used_.end(), group.textureIndex);
    texture_ = it == used_.end() ? 0 : static_cast<int>(it - used_.begin());
    bool open = false;
    int32_t previous = -1;
    for (size_t k = 0; k < group.primitives.size(); ++k) {
      const DisplayPrimitive& prim = group.primitives[k];
      if (!Decodable(prim.type)) {
        out_.Text("#  Bummer, can't decode this part.\n");
      } else {
        if (!open) {
          BlockHeader(g, k, k > 0);
          open = true;
        } else if (prim.type == kTriangleStrip || prim.type != previous) {
          out_.Text("    }\n}\n");
          BlockHeader(g, k, true);
        }
        Vertices(prim);
      }
      previous = prim.type;
    }
    if (open) out_.Text("}\n}\n\n");
  }

  Document& doc_;
  Scene& s_;
  TextOut& out_;
  std::vector<int> used_;
  std::vector<int> pending_;  // next group of each open list, the top level first
  bool firstInList_ = true;
  bool firstVertex_ = true;
  size_t stride_ = 6;
  int texture_ = 0;
};

}  // namespace

int WriteSkyloomFile(Document& doc, const std::string& path) {
  GoToFrame0(doc);
  OutputFile file;
  if (!file.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + file.reason());
    return -1;
  }
  TextOut out(file);
  SkyloomWriter(doc, out).Write();
  if (!out.Flush() || !file.Commit()) {
    doc.shell->Message("Can't write output file: " + file.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
