// Planar polygons with holes into triangles: a top-to-bottom sweep cuts the
// polygon into trapezoids, records diagonals that split it into monotone
// pieces (joining the holes to the outer contour on the way), and clips
// the pieces into triangles.
#pragma once

#include <functional>

namespace modra {

// Receives one triangle: three consecutive vertices of 3 + extraFloats
// floats each, copied from the input. The buffer is reused: copy what you keep.
using TriangleSink = std::function<void(const float* triangle)>;

class TriangulatorState;

// One triangulator: its work areas are its own, so separate triangulators
// never share anything, and one reused for many polygons allocates once.
class Triangulator {
 public:
  Triangulator();
  ~Triangulator();
  Triangulator(const Triangulator&) = delete;
  Triangulator& operator=(const Triangulator&) = delete;

  // `vertices` holds every contour, one after another, 3 + extraFloats
  // floats a vertex (x, y, z, then floats carried along untouched);
  // contourEnds[i] is the index of the last vertex of contour i. Contour 0
  // is the outer one. Returns 0 and calls `emit` once per triangle, or -1
  // (and calls nothing) when the polygon cannot be triangulated.
  int Run(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
          const TriangleSink& emit);

 private:
  TriangulatorState* state_;
};

// Triangulates with a triangulator of its own.
int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit);

}  // namespace modra
