// Planar polygons with holes into triangles.
//
// The polygon is read by the even-odd rule: what lies inside an odd number
// of contours is covered. For an outer contour with h holes (n points in
// all, points repeated back to back counting once) that is the polygon
// with holes, and
// - contours that neither touch nor cross give n + 2h - 2 triangles that
//   tile it: none overlaps another, their areas add up to its area;
// - contours that touch at single points (a hole touching the outer
//   contour or another hole, at a corner or on an edge; an outer contour
//   touching itself) are tiled too, by n + 2h - 2 triangles of which a few
//   have no area where they touch; only where touching contours cut a
//   piece off the rest (two holes meeting at two points) does each such
//   piece take 2 triangles fewer;
// - contours that cross (a ring folding over itself a little, a hole
//   poking out) get a cover of about the polygon's area, out by no more
//   than the few triangles about each crossing, never nothing.
// Contours that nest otherwise (a "hole" beside the outer contour, an
// island in a hole) are covered as the rule says, each outer one with its
// own holes. There are never more than n + 2c - 2 triangles for c
// contours, every corner is an input vertex, and the triangles wind as
// the contour of largest area does, as seen in the projection plane.
//
// Refused (-1, nothing emitted): no contour; contour ends that do not
// rise strictly or leave the first contour fewer than 3 points; a
// coordinate that is not finite; points that give no plane; two points
// back to back that project to one point but differ in space; and a
// polygon that encloses nothing (all in line, holes cancelling it).
// Contours of fewer than 3 distinct points or of no area are left out.
//
// The plane is the one through the first three points (or, when they are
// in line, the first contour with area); the projection drops the
// coordinate of its normal's largest component. A polygon that passes the
// checks (repeated points merged, no two edges meeting but at their shared
// corner, within 1e-7 of the smallest contour extent) goes through a
// top-to-bottom sweep into trapezoids and monotone pieces, clipped into
// triangles, which is fast. Anything the checks or the sweep refuse goes
// through the robust path (triangulate_cover.h): crossings undone, holes
// joined by cuts, ears clipped with exact turn tests.
//
// Diagnostics go to standard error (or the spool file) only when the
// settings handed to the triangulator ask for them (triangulate_settings.h:
// read from the QX_DEBUG_... variables where the program starts):
// showFailures prints the checks' and the sweep's messages and dumps every
// polygon they refuse (on runs numbered N, 2N, ... with dumpEvery = N),
// whether the robust path then covers it or not; dumpPoints3d lists the
// 3D points too; hex prints coordinates in hexadecimal; showTriangles
// lists the triangles of each success; hintsSimple skips the checks and
// the robust path, and a polygon the sweep cannot handle then comes back
// as a fan over the input order.
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
  // contourEnds[i] is the index of the last vertex of contour i, in any
  // order of outer contours and holes. Returns 0 and calls `emit` once per
  // triangle, or -1 (and calls nothing) when the polygon is refused, as
  // above. Also -1: extraFloats outside 0..65536, more than 2^26 vertices,
  // and a call made from inside `emit` of the same triangulator.
  int Run(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
          const TriangleSink& emit);

 private:
  TriangulatorState* state_;
};

// Triangulates with a triangulator of its own, without diagnostics.
int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit);

}  // namespace modra
