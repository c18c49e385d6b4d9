// The work areas of one triangulation run: the records every step of the
// sweep reads and writes. A `Context` belongs to one triangulator and is
// reused from run to run, so its buffers are allocated once and grow only
// for a larger polygon.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "geometry/triangulate_debug.h"
#include "geometry/triangulate_sweepline.h"

namespace modra::triangulation {

inline constexpr int kMaxDiagonals = 2;    // per node, in each direction
inline constexpr int kMaxDupVertices = 3;  // copies a node records when holes are joined

// What a step reports: success, a plain failure (-1), or a sweep failure
// (-2) that the fan fallback may still rescue when checking was skipped.
inline constexpr int kOk = 0;
inline constexpr int kFailed = -1;
inline constexpr int kSweepFailed = -2;

// Hint flags.
inline constexpr int kHintsOneContour = 0x101000;
inline constexpr int kHintsHoles = 0x111000;
inline constexpr int kHintHasHoles = 0x10000;

enum NodeType : int8_t { kRemoved = -1, kUnset = 0, kRegular = 1, kStartSplit = 2, kEndMerge = 3 };

// One vertex of a ring. Copies made when rings are joined or cut share the
// original's input vertex, position and sweep rank.
struct Node {
  double u, v;
  int index;    // input vertex
  int contour;  // after joining: the contour whose ring holds it
  int rank;     // position in the sweep order
  int prev, next;
  int out[kMaxDiagonals];  // diagonals up to nodes earlier in the sweep
  int in[kMaxDiagonals];   // diagonals down to nodes later in the sweep
  int8_t type;
  uint8_t outCount, inCount;
  uint8_t dupCount;  // copies made of it when holes were joined
  bool visited;
  bool edgeToPrev, edgeToNext;  // edge already made by the crossing check
  bool lastOfContour;
};

struct Contour {
  int count;  // live points (copies included once joined)
  double umin, umax, vmin, vmax;
  int top;          // first node of the contour in sweep order
  int orientation;  // -2 not yet known, else -1, 0, 1
  bool merged;      // its ring now belongs to another contour
  bool dropped;     // fewer than 3 distinct points: it encloses nothing
  int first, last;  // its input vertices
};

// An active edge of the crossing check, from node a (earlier in the
// sweep) to node b, with their points at hand. Its line and widened box
// are derived when needed.
struct Edge {
  double ua, va, ub, vb;
  int a, b;
  int handle;  // on the sweep line, -1 when not active
};

// A trapezoid's side: its upper point and the step down to its lower one,
// so that side tests need no node.
struct Side {
  double u, v, du, dv;
};

// The part of the polygon between two edges below the sweep line, down to
// the next node that touches either edge.
struct Trapezoid {
  Side left, right;
  int leftUpper, leftLower;
  int rightUpper, rightLower;
  int top;     // the last node that touched it
  int handle;  // on the sweep line
};

// A cut between two nodes of the polygon; `upper` comes first in the sweep.
struct Diagonal {
  int lower, upper;
  bool alive;
};

// One corner of a ring on the robust path (triangulate_cover.h). Copies
// made when holes are joined share the original's node and position.
struct RingNode {
  double u, v;
  int node;  // the node it stands for, which leads to the input vertex
  int prev, next;
  int cellNext;  // the next corner in its grid cell, -1 at the end
  int piece;     // which of the rings split off while clipping holds it
  int origin;    // the ring it was read into
  bool alive;
};

// A ring of the robust path, turned to run counter-clockwise at even
// nesting depth and clockwise at odd depth.
struct RingInfo {
  int start;    // one of its corners
  int count;    // its corners
  double area;  // signed, after turning
  double umin, umax, vmin, vmax;
  int parent;  // the smallest ring around it, -1 when none
  int depth;
  bool turned;  // it ran the other way as given
};

struct Context {
  // input
  const float* vertices = nullptr;
  int stride = 3;
  int vertexCount = 0;
  int contourCount = 0;
  int hints = 0;
  float normal[3] = {0, 0, 0};
  int dropAxis = 2;  // the coordinate the projection leaves out
  double eps = 0;

  std::vector<Node> nodes;
  std::vector<Contour> contours;
  std::vector<int> order;          // live nodes in sweep order
  std::vector<Edge> edges;         // edge i runs from node i to its ring successor
  std::vector<int> endedEdges;     // ended but still on the sweep line, highest first
  std::vector<int> edgeTrapezoid;  // per edge: the trapezoid it bounds, or -1
  std::vector<Trapezoid> trapezoids;
  std::vector<int> freeTrapezoids;
  std::vector<Diagonal> diagonals;
  std::vector<int> triangles;  // three nodes per triangle
  size_t triangleCapacity = 0;
  std::vector<int> piece;  // nodes of the monotone piece being clipped
  struct SortKey {
    uint64_t key;  // sweep order as one unsigned number
    int node;
  };
  std::vector<SortKey> sortKeys, sortSpare;
  SweepLine line;
  // the robust path
  std::vector<RingNode> ring;
  std::vector<RingInfo> rings;
  std::vector<int> ringOrder, holes, cells;
  std::vector<std::pair<int, int>> holeOrder;  // hole, its rightmost corner
  std::vector<std::pair<double, int>> spans;   // edges by their least u
  std::vector<int> places;                     // corners' places along their ring
  std::vector<int> members;                    // the rings of one polygon
  std::vector<std::array<int, 4>> crossings;   // pairs of edges, each as its two corners

  DebugLog* log = nullptr;

  const float* Vertex(int node) const {
    return vertices + static_cast<size_t>(nodes[node].index) * stride;
  }
};

// Sign of the turn a -> b -> c: 1 left (counter-clockwise), -1 right, 0 straight.
inline int Orient(double au, double av, double bu, double bv, double cu, double cv) {
  const double d = (bu - au) * (cv - av) - (bv - av) * (cu - au);
  return (d > 0) - (d < 0);
}
inline int Orient(const Node& a, const Node& b, const Node& c) {
  return Orient(a.u, a.v, b.u, b.v, c.u, c.v);
}
// The same turn from a side's upper point, along the side, to p.
inline int Orient(const Side& s, const Node& p) {
  const double d = s.du * (p.v - s.v) - s.dv * (p.u - s.u);
  return (d > 0) - (d < 0);
}

// Sweep order: larger v first, then smaller u (ties between copies of one
// point keep their input order through the rank).
inline bool Before(const Node& a, const Node& b) {
  return a.rank < b.rank;
}

// Makes b follow a in their ring (nodes or ring corners alike).
template <class Item>
void Link(std::vector<Item>& items, int a, int b) {
  items[a].next = b;
  items[b].prev = a;
}

inline bool RingNeighbours(const Context& c, int a, int b) {
  return c.nodes[a].next == b || c.nodes[a].prev == b;
}

}  // namespace modra::triangulation
