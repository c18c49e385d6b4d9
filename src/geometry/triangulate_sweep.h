// The trapezoid sweep: walking the nodes top-down, it keeps the trapezoids
// the polygon is cut into between its edges, and records a diagonal
// whenever a node reaches a trapezoid whose last node is not its
// neighbour. The diagonals cut the polygon into monotone pieces with one
// chain a single edge (Seidel's trapezoidation, as Fournier and Montuno
// turn it into triangles).
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Fills c.diagonals (in sweep order of their lower node) and each node's
// type and diagonal lists. Returns kSweepFailed when the trapezoids do not
// fit the polygon (it crosses itself).
int SweepTrapezoids(Context& c);

}  // namespace modra::triangulation
