// Planar polygons with holes into triangles: a top-to-bottom sweep cuts the
// polygon into trapezoids, records diagonals that split it into monotone
// pieces (joining the holes to the outer contour on the way), and clips
// the pieces into triangles.
//
// A simple polygon of n points with h holes gives n + 2h - 2 triangles
// (points repeated back to back count once). The triangles keep the
// winding of the outer contour as seen in the projection plane, that is,
// their normals point the way the outer contour's does; the contour that
// reaches furthest in the sweep is taken as the outer one, whatever its
// place in the input.
//
// Before the sweep the polygon is checked: repeated points are merged,
// and edges that cross or touch anywhere but at their shared corner
// (within a tolerance of 1e-7 of the smallest contour extent) refuse the
// polygon, as do non-finite coordinates and contours left with fewer than
// 3 points.
//
// Diagnostics go to standard error (or the spool file) only when the
// settings handed to the triangulator ask for them (triangulate_settings.h:
// read from the QX_DEBUG_... variables where the program starts):
// showFailures (failure messages and a dump of each failing polygon, on
// runs numbered N, 2N, ... with dumpEvery = N), dumpPoints3d (dumps list
// the 3D points too), hex (coordinates in hexadecimal), showTriangles
// (list the triangles of each success) and hintsSimple (skip the checks; a
// polygon the sweep cannot handle then comes back as a fan over the input
// order).
#pragma once

#include <functional>

#include "geometry/triangulate_settings.h"

namespace modra {

// Receives one triangle: three consecutive vertices of 3 + extraFloats
// floats each, copied from the input. The buffer is reused: copy what you keep.
using TriangleSink = std::function<void(const float* triangle)>;

class TriangulatorState;

// One triangulator: its work areas, tolerance, debug stream and run count
// are its own, so separate triangulators never share anything (any number
// may be in use at once, one per thread), and one reused for many polygons
// allocates once.
class Triangulator {
 public:
  explicit Triangulator(const triangulation::DebugSettings& debug = {});
  ~Triangulator();
  Triangulator(const Triangulator&) = delete;
  Triangulator& operator=(const Triangulator&) = delete;

  // `vertices` holds every contour, one after another, 3 + extraFloats
  // floats a vertex (x, y, z, then floats carried along untouched);
  // contourEnds[i] is the index of the last vertex of contour i. Contour 0
  // is the outer one. Returns 0 and calls `emit` once per triangle, or -1
  // (and calls nothing) when the polygon cannot be triangulated. Also -1:
  // no contour, contour ends that do not rise strictly or leave the first
  // contour fewer than 3 points, extraFloats outside 0..65536, more than
  // 2^26 vertices, and a call made from inside `emit` of the same
  // triangulator.
  int Run(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
          const TriangleSink& emit);

 private:
  TriangulatorState* state_;
};

// Triangulates with a triangulator of its own, without diagnostics.
int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit);

}  // namespace modra
