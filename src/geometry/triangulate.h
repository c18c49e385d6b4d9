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
// Diagnostics go to standard error (or the file named by
// QX_DEBUG_DECOMP_SPOOL_FILE) only when the environment asks for them:
// QX_DEBUG_SHOW_DECOMP_FAILURES (failure messages and a dump of each
// failing polygon), QX_DEBUG_DECOMP_COUNT=N (dump only runs numbered N,
// 2N, ...), QX_DEBUG_DECOMP_SHOW_MC (dumps list the 3D points too),
// QX_DEBUG_DECOMP_PRINT_HEX_FORMAT (coordinates in hexadecimal),
// QX_DEBUG_SHOW_DECOMP_TRIANGLES (list the triangles of each success) and
// QX_DEBUG_SET_HINTS_SIMPLE (skip the checks; a polygon the sweep cannot
// handle then comes back as a fan over the input order). A triangulator
// reads them when it is made.
#pragma once

#include <functional>

namespace modra {

// Receives one triangle: three consecutive vertices of 3 + extraFloats
// floats each, copied from the input. The buffer is reused: copy what you keep.
using TriangleSink = std::function<void(const float* triangle)>;

class TriangulatorState;

// One triangulator: its work areas, tolerance, debug settings and run
// count are its own, so separate triangulators never share anything (any
// number may be in use at once, one per thread), and one reused for many
// polygons allocates once.
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

// Triangulates with a triangulator of its own.
int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit);

}  // namespace modra
