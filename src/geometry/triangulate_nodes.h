// The first steps of a triangulation run: the polygon's plane and its
// projection to 2D, one node per input vertex linked into a ring per
// contour, the contour records and eps, and the sweep order.
#pragma once

#include "geometry/triangulate_context.h"

namespace modra::triangulation {

// Fills the nodes, rings and contours from c.vertices (c.vertexCount
// vertices of c.stride floats, contours ending at contourEnds). The plane
// normal comes from the first three vertices; when they are (nearly) in
// line, from Newell's sum over the first contour instead. The projection
// drops the coordinate of the normal's largest component. A contour of
// fewer than 3 points encloses nothing and is dropped. Returns kFailed
// when a coordinate is not finite, no plane can be found or every contour
// is dropped; the nodes are built all the same, for the dump.
int BuildNodes(Context& c, const int* contourEnds);

// Takes contour k out of the run: its nodes are marked removed.
void DropContour(Context& c, int k);

// c.order: every node, larger v first, then smaller u, then input order;
// each node's rank is its place in it.
void SortNodes(Context& c);

}  // namespace modra::triangulation
