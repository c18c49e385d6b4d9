#include "formats/obj_writer.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <map>
#include <unordered_set>

#include "anim/playback.h"
#include "io/output_file.h"
#include "io/text_out.h"
#include "scene/matrix.h"

namespace modra {
namespace {

// Names go into comment lines, which a line break would end early.
std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\n' || c == '\r') c = ' ';
  return line;
}

// A `g` or `usemtl` name is one token: no white space, never empty.
std::string Token(std::string_view text) {
  std::string token(text);
  for (char& c : token)
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) c = '_';
  return token.empty() ? std::string("group") : token;
}

std::string_view FileName(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The 3x3 cofactor matrix of m's linear part, times the sign of its
// determinant: the inverse-transpose up to a positive factor, and defined
// for a matrix that flattens a direction as well.
struct NormalMatrix {
  float c[9];
  bool mirrors;
};
NormalMatrix NormalMatrixOf(const Mat4& m) {
  // a(r, col) of the column-major matrix.
  auto a = [&](int r, int col) { return m[col * 4 + r]; };
  NormalMatrix n{};
  for (int r = 0; r < 3; ++r)
    for (int col = 0; col < 3; ++col) {
      const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (col + 1) % 3, c2 = (col + 2) % 3;
      n.c[r * 3 + col] = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
    }
  const float det = a(0, 0) * n.c[0] + a(0, 1) * n.c[1] + a(0, 2) * n.c[2];
  n.mirrors = det < 0;
  if (n.mirrors)
    for (float& v : n.c)
      v = -v;
  return n;
}

Vec3 TransformNormal(const NormalMatrix& n, const Vec3& v) {
  Vec3 out;
  for (int r = 0; r < 3; ++r)
    out[r] = n.c[r * 3] * v[0] + n.c[r * 3 + 1] * v[1] + n.c[r * 3 + 2] * v[2];
  const float len = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]);
  if (len > 0 && std::isfinite(len))
    for (float& x : out)
      x /= len;
  return out;
}

class WavefrontWriter {
 public:
  WavefrontWriter(const Scene& s, TextOut& obj, TextOut& mtl) : s_(s), obj_(obj), mtl_(mtl) {}

  void Write(std::string_view libraryName) {
    ForEachGroup(s_, s_.rootHead, [&](int g) {
      if (!IsLiveGroup(s_, g)) return;
      obj_.Text("# Group ");
      obj_.Int(g);
      obj_.Text(":\"");
      obj_.Text(OneLine(s_.groups[g].name));
      obj_.Text("\":\n");
    });
    obj_.Text("# This file created by modra\n");
    obj_.Text("mtllib ");
    obj_.Text(OneLine(libraryName));
    obj_.Char('\n');
    mtl_.Text("# This file created by modra\n");

    // World matrices, parents before children as the walk visits them.
    const std::vector<int32_t> parents = ParentTable(s_);
    std::vector<Mat4> world(s_.groups.size(), kIdentity);
    ForEachGroup(s_, s_.rootHead, [&](int g) {
      if (!IsLiveGroup(s_, g)) return;
      const int parent = parents[g];
      world[g] = parent >= 0 ? Multiply(world[parent], s_.groups[g].matrix) : s_.groups[g].matrix;
      Group(g, world[g]);
    });
  }

 private:
  void Float(float v) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, PrintableFloat(v));
    obj_.Text(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
  }
  void Line(const char* keyword, float a, float b, float c) {
    obj_.Text(keyword);
    Float(a);
    obj_.Char(' ');
    Float(b);
    obj_.Char(' ');
    Float(c);
    obj_.Char('\n');
  }

  void Group(int g, const Mat4& world) {
    const DisplayGroup& group = s_.groups[g];
    std::string name = Token(group.name);
    while (!names_.insert(name).second)
      name += "_" + std::to_string(g);
    obj_.Text("g ");
    obj_.Text(name);
    obj_.Text("\nusemtl ");
    obj_.Text(Material(group));
    obj_.Char('\n');

    const NormalMatrix normals = NormalMatrixOf(world);
    const size_t stride = static_cast<size_t>(VertexStride(group));
    const size_t normalAt = static_cast<size_t>(NormalOffset(group.flags));
    const bool texCoords = group.flags & TexCoords;
    for (const DisplayPrimitive& prim : group.primitives) {
      size_t count = prim.vertexCount > 0 ? static_cast<size_t>(prim.vertexCount) : 0;
      count = std::min(count, prim.vertices.size() / stride);
      for (size_t v = 0; v < count; ++v) {
        const float* f = prim.vertices.data() + v * stride;
        const Vec3 p = TransformPoint(world, {f[0], f[1], f[2]});
        const Vec3 n = TransformNormal(normals, {f[normalAt], f[normalAt + 1], f[normalAt + 2]});
        Line("v ", p[0], p[1], -p[2]);
        Line("vn ", n[0], n[1], -n[2]);
        if (texCoords) {
          obj_.Text("vt ");
          Float(f[stride - 2]);
          obj_.Char(' ');
          Float(f[stride - 1]);
          obj_.Char('\n');
        }
      }
      Faces(prim.type, count, texCoords, normals.mirrors);
      next_ += count;
    }
  }

  // Faces of a primitive whose vertices are numbered next_ + 1 on.
  void Faces(int32_t type, size_t count, bool texCoords, bool mirrors) {
    auto face = [&](std::initializer_list<size_t> corners) {
      obj_.Char('f');
      auto one = [&](size_t c) {
        const long long index = static_cast<long long>(next_ + c + 1);
        obj_.Char(' ');
        obj_.Int(index);
        obj_.Char('/');
        if (texCoords) obj_.Int(index);
        obj_.Char('/');
        obj_.Int(index);
      };
      if (mirrors)
        for (auto c = std::rbegin(corners); c != std::rend(corners); ++c)
          one(*c);
      else
        for (size_t c : corners)
          one(c);
      obj_.Char('\n');
    };
    switch (type) {
      case kTriangles:
        for (size_t k = 0; k + 3 <= count; k += 3)
          face({k, k + 1, k + 2});
        break;
      case kQuads:
        for (size_t k = 0; k + 4 <= count; k += 4)
          face({k, k + 1, k + 2, k + 3});
        break;
      case kTriangleStrip:
        for (size_t k = 0; k + 3 <= count; ++k)
          if (k % 2 == 0)
            face({k, k + 1, k + 2});
          else
            face({k + 1, k, k + 2});
        break;
      case kQuadStrip:
        for (size_t k = 0; k + 4 <= count; k += 2)
          face({k, k + 1, k + 3, k + 2});
        break;
      default:
        break;  // nothing a reader could draw
    }
  }

  // The library's material for the group's colour, written when first used.
  std::string Material(const DisplayGroup& group) {
    // By bits: a NaN from a damaged scene file still names one material.
    MaterialKey key;
    const float values[8] = {group.color[0],    group.color[1],    group.color[2],
                             group.specular[0], group.specular[1], group.specular[2],
                             group.shininess,   group.alpha};
    for (int i = 0; i < 8; ++i)
      key[i] = std::bit_cast<uint32_t>(values[i]);
    auto [it, added] =
        materials_.try_emplace(key, "material" + std::to_string(materials_.size() + 1));
    if (!added) return it->second;
    auto line = [&](const char* keyword, const float* v, int n) {
      mtl_.Text(keyword);
      for (int i = 0; i < n; ++i) {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, PrintableFloat(v[i]));
        mtl_.Char(' ');
        mtl_.Text(std::string_view(buf, static_cast<size_t>(r.ptr - buf)));
      }
      mtl_.Char('\n');
    };
    mtl_.Text("\nnewmtl ");
    mtl_.Text(it->second);
    mtl_.Char('\n');
    line("Kd", group.color.data(), 3);
    line("Ks", group.specular.data(), 3);
    line("d", &group.alpha, 1);
    // Ns last: a material is stored when its Ns line is read.
    line("Ns", &group.shininess, 1);
    return it->second;
  }

  const Scene& s_;
  TextOut& obj_;
  TextOut& mtl_;
  size_t next_ = 0;  // vertices written so far
  std::unordered_set<std::string> names_;
  using MaterialKey = std::array<uint32_t, 8>;
  std::map<MaterialKey, std::string> materials_;
};

}  // namespace

std::string WavefrontLibraryPath(const std::string& objPath) {
  const std::string_view name = FileName(objPath);
  const size_t dot = name.rfind('.');
  std::string base = objPath;
  if (dot != std::string_view::npos && dot > 0) base.resize(objPath.size() - (name.size() - dot));
  std::string library = base + ".mtl";
  return library == objPath ? objPath + ".mtl" : library;
}

int WriteWavefrontFile(Document& doc, const std::string& path) {
  GoToFrame0(doc);
  const std::string libraryPath = WavefrontLibraryPath(path);
  OutputFile obj, mtl;
  if (!obj.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + obj.reason());
    return -1;
  }
  if (!mtl.Open(libraryPath)) {
    doc.shell->Message("Can't open " + libraryPath + " for write: " + mtl.reason());
    return -1;
  }
  TextOut objText(obj), mtlText(mtl);
  WavefrontWriter(doc.scene, objText, mtlText).Write(FileName(libraryPath));
  if (!objText.Flush() || !mtlText.Flush() || !mtl.Commit() || !obj.Commit()) {
    // Name the file that failed: the library or the model.
    const OutputFile& failed = obj.reason().empty() ? mtl : obj;
    doc.shell->Message("Can't write output file: " + failed.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
