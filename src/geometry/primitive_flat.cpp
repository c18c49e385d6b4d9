// The rectangle and the block: flat faces, each one quad at resolution 1
// or n triangle strips of 2n + 2 vertices.
#include <array>

#include "geometry/primitive_fields.h"
#include "geometry/primitive_generators.h"
#include "geometry/primitives.h"

namespace modra {
namespace {

// One face of the block. Its strips run in rows along `rowAxis` from the
// + side down, each row a run of vertex pairs along `alongAxis` starting
// on the alongStart side. Quad corners are signs of the half extents on
// the two `quadAxes`. Faces are clockwise seen from where the normal points.
struct Face {
  int fixedAxis;
  float fixedSign;
  int rowAxis;
  int alongAxis;
  float alongStart;
  std::array<float, 3> normal;
  std::array<int, 2> quadAxes;
  std::array<std::array<float, 2>, 4> quad;
};

constexpr int X = 0, Y = 1, Z = 2;

// Back, front, left, right, top, bottom: the order files and mappings rely on.
constexpr std::array<Face, 6> kFaces = {{
    {Z, -1, Y, X, -1, {0, 0, -1}, {X, Y}, {{{-1, 1}, {-1, -1}, {1, -1}, {1, 1}}}},
    {Z, 1, Y, X, 1, {0, 0, 1}, {X, Y}, {{{1, 1}, {1, -1}, {-1, -1}, {-1, 1}}}},
    {X, -1, Y, Z, 1, {-1, 0, 0}, {Y, Z}, {{{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}}},
    {X, 1, Y, Z, -1, {1, 0, 0}, {Y, Z}, {{{1, -1}, {-1, -1}, {-1, 1}, {1, 1}}}},
    {Y, 1, Z, X, -1, {0, 1, 0}, {X, Z}, {{{-1, 1}, {-1, -1}, {1, -1}, {1, 1}}}},
    {Y, -1, Z, X, 1, {0, -1, 0}, {X, Z}, {{{-1, -1}, {-1, 1}, {1, 1}, {1, -1}}}},
}};

void Shapes(int faces, bool quads, int n, std::vector<PrimitiveShape>& shapes) {
  if (quads)
    AppendShapes(shapes, faces, kQuads, 4);
  else
    AppendShapes(shapes, faces * n, kTriangleStrip, 2 * n + 2);
}

// Writes one face from primitive `first` on; half and size per axis.
void WriteFace(VertexWriter& out, int first, const Face& f, bool quads, int n,
               const std::array<float, 3>& half, const std::array<float, 3>& size) {
  const auto& nv = f.normal;
  std::array<float, 3> p{};
  // + 0 turns the -0 of a flat side into 0.
  p[f.fixedAxis] = f.fixedSign * half[f.fixedAxis] + 0.0f;
  if (quads) {
    out.Start(first);
    for (const auto& corner : f.quad) {
      p[f.quadAxes[0]] = corner[0] * half[f.quadAxes[0]];
      p[f.quadAxes[1]] = corner[1] * half[f.quadAxes[1]];
      out.Put(p[0], p[1], p[2], nv[0], nv[1], nv[2]);
    }
    return;
  }
  const float rowStep = size[f.rowAxis] / n;
  const float alongStep = -f.alongStart * size[f.alongAxis] / n;
  const float alongFrom = f.alongStart * half[f.alongAxis];
  for (int i = 0; i < n; ++i) {
    out.Start(first + i);
    const float row = half[f.rowAxis] - i * rowStep;
    for (int j = 0; j <= n; ++j) {
      p[f.alongAxis] = alongFrom + j * alongStep;
      p[f.rowAxis] = row;
      out.Put(p[0], p[1], p[2], nv[0], nv[1], nv[2]);
      p[f.rowAxis] = row - rowStep;
      out.Put(p[0], p[1], p[2], nv[0], nv[1], nv[2]);
    }
  }
}

}  // namespace

Prepared GenerateRectangle(Scene& s, int g, int rebuild) {
  RectangleParams p;
  if (!ReadRectangle(s.groups[g], p)) return Prepared::kUnchanged;
  std::vector<PrimitiveShape> shapes;
  Shapes(1, p.quads, p.side, shapes);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  // The rectangle is the block's back face lying in z = 0.
  VertexWriter out(s.groups[g]);
  WriteFace(out, 0, kFaces[0], p.quads, p.side, {p.width / 2, p.height / 2, 0},
            {p.width, p.height, 0});
  return r;
}

Prepared GenerateBlock(Scene& s, int g, int rebuild) {
  BlockParams p;
  if (!ReadBlock(s.groups[g], p)) return Prepared::kUnchanged;
  std::vector<PrimitiveShape> shapes;
  Shapes(6, p.quads, p.side, shapes);
  Prepared r = PrepareArrays(s, g, shapes, rebuild);
  if (r == Prepared::kFailed) return r;
  VertexWriter out(s.groups[g]);
  const std::array<float, 3> size = {p.width, p.height, p.depth};
  const std::array<float, 3> half = {p.width / 2, p.height / 2, p.depth / 2};
  const int perFace = p.quads ? 1 : p.side;
  for (int f = 0; f < 6; ++f)
    WriteFace(out, f * perFace, kFaces[f], p.quads, p.side, half, size);
  return r;
}

void MakeRectangle(Scene& s, int g, float width, float height, float sideResolution) {
  MakePrimitive(s, g, kKindRectangle, {width, height, sideResolution});
}

void MakeBlock(Scene& s, int g, float width, float height, float depth, float sideResolution) {
  MakePrimitive(s, g, kKindBlock, {width, height, depth, sideResolution});
}

}  // namespace modra
