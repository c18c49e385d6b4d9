#include "formats/stl_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "formats/primitive_triangles.h"
#include "io/output_file.h"
#include "scene/matrix.h"

namespace modra {
namespace {

constexpr char kHeaderText[] = "Binary STL written by modra";

// The groups drawn, with their world matrices, in pre-order; a disabled
// group hides its whole subtree, as in the view.
template <class Visit>
void ForEachShownGroup(const Scene& s, Visit&& visit) {
  const std::vector<int32_t> parents = ParentTable(s);
  std::vector<Mat4> world(s.groups.size(), kIdentity);
  std::vector<char> shown(s.groups.size(), 0);
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (!IsLiveGroup(s, g)) return;
    const int parent = parents[g];
    const bool parentShown = parent < 0 || shown[parent];
    shown[g] = parentShown && (s.groups[g].flags & Enabled);
    if (!shown[g]) return;
    world[g] = parent >= 0 ? Multiply(world[parent], s.groups[g].matrix) : s.groups[g].matrix;
    visit(g, world[g]);
  });
}

bool Mirrors(const Mat4& m) {
  auto a = [&](int r, int c) { return m[c * 4 + r]; };
  const float det = a(0, 0) * (a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1)) -
                    a(0, 1) * (a(1, 0) * a(2, 2) - a(1, 2) * a(2, 0)) +
                    a(0, 2) * (a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0));
  return det < 0;
}

size_t UsableVertices(const DisplayGroup& group, const DisplayPrimitive& prim) {
  const size_t stride = static_cast<size_t>(VertexStride(group));
  const size_t count = prim.vertexCount > 0 ? static_cast<size_t>(prim.vertexCount) : 0;
  return std::min(count, prim.vertices.size() / stride);
}

class FacetOut {
 public:
  explicit FacetOut(OutputFile& out) : out_(out) {}

  void Facet(const Vec3& a, const Vec3& b, const Vec3& c) {
    const double u[3] = {double(b[0]) - a[0], double(b[1]) - a[1], double(b[2]) - a[2]};
    const double v[3] = {double(c[0]) - a[0], double(c[1]) - a[1], double(c[2]) - a[2]};
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    for (double& x : n)
      x = len > 0 && std::isfinite(len) ? x / len : 0;
    size_t at = 0;
    for (double x : n)
      Put(at, static_cast<float>(x));
    for (const Vec3* p : {&a, &b, &c})
      for (float x : *p)
        Put(at, x);
    record_[48] = record_[49] = 0;
    out_.Write(record_.data(), record_.size());
  }

 private:
  void Put(size_t& at, float value) {
    const uint32_t bits = std::bit_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
      record_[at++] = static_cast<uint8_t>(bits >> (8 * i));
  }

  OutputFile& out_;
  std::array<uint8_t, 50> record_{};
};

}  // namespace

uint64_t StlTriangleCount(const Scene& s) {
  uint64_t count = 0;
  ForEachShownGroup(s, [&](int g, const Mat4&) {
    const DisplayGroup& group = s.groups[g];
    for (const DisplayPrimitive& prim : group.primitives)
      ForEachTriangle(prim.type, UsableVertices(group, prim),
                      [&](size_t, size_t, size_t) { ++count; });
  });
  return count;
}

int WriteStlFile(Document& doc, const std::string& path) {
  const Scene& s = doc.scene;
  const uint64_t count = StlTriangleCount(s);
  OutputFile out;
  if (!out.Open(path)) {
    doc.shell->Message("Can't open " + path + " for write: " + out.reason());
    return -1;
  }
  if (count > UINT32_MAX) {
    doc.shell->Message("Can't write output file: " + path + ": too many triangles for STL");
    return -1;
  }
  std::array<uint8_t, 84> header{};
  std::memcpy(header.data(), kHeaderText, sizeof kHeaderText - 1);
  for (int i = 0; i < 4; ++i)
    header[80 + i] = static_cast<uint8_t>(count >> (8 * i));
  out.Write(header.data(), header.size());

  FacetOut facets(out);
  ForEachShownGroup(s, [&](int g, const Mat4& world) {
    const DisplayGroup& group = s.groups[g];
    const size_t stride = static_cast<size_t>(VertexStride(group));
    const bool mirrors = Mirrors(world);
    for (const DisplayPrimitive& prim : group.primitives) {
      const float* data = prim.vertices.data();
      auto corner = [&](size_t v) {
        const float* f = data + v * stride;
        const Vec3 p = TransformPoint(world, {f[0], f[1], f[2]});
        return Vec3{p[0], p[1], -p[2]};
      };
      ForEachTriangle(prim.type, UsableVertices(group, prim), [&](size_t a, size_t b, size_t c) {
        if (mirrors)
          facets.Facet(corner(c), corner(b), corner(a));
        else
          facets.Facet(corner(a), corner(b), corner(c));
      });
    }
  });
  if (!out.Commit()) {
    doc.shell->Message("Can't write output file: " + out.error());
    return -1;
  }
  return 0;
}

}  // namespace modra
