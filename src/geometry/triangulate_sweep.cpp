#include "geometry/triangulate_sweep.h"

#include <utility>

namespace modra::triangulation {
namespace {

// Ring edges are numbered by the node they leave from.
int EdgeId(const Context& c, int upper, int lower) {
  return c.nodes[upper].next == lower ? upper : lower;
}

Side SideOf(const Context& c, int upper, int lower) {
  const Node& a = c.nodes[upper];
  const Node& b = c.nodes[lower];
  return {a.u, a.v, b.u - a.u, b.v - a.v};
}

void SetLeft(Context& c, Trapezoid& t, int upper, int lower) {
  t.leftUpper = upper;
  t.leftLower = lower;
  t.left = SideOf(c, upper, lower);
}

void SetRight(Context& c, Trapezoid& t, int upper, int lower) {
  t.rightUpper = upper;
  t.rightLower = lower;
  t.right = SideOf(c, upper, lower);
}

int NewTrapezoid(Context& c, int leftUpper, int leftLower, int rightUpper, int rightLower,
                 int top) {
  int t;
  if (!c.freeTrapezoids.empty()) {
    t = c.freeTrapezoids.back();
    c.freeTrapezoids.pop_back();
  } else {
    t = static_cast<int>(c.trapezoids.size());
    c.trapezoids.push_back({});
  }
  Trapezoid& trap = c.trapezoids[t];
  SetLeft(c, trap, leftUpper, leftLower);
  SetRight(c, trap, rightUpper, rightLower);
  trap.top = top;
  trap.handle = -1;
  c.edgeTrapezoid[EdgeId(c, leftUpper, leftLower)] = t;
  c.edgeTrapezoid[EdgeId(c, rightUpper, rightLower)] = t;
  return t;
}

void CloseTrapezoid(Context& c, int t) {
  c.line.Erase(c.trapezoids[t].handle);
  c.trapezoids[t].handle = -1;
  c.freeTrapezoids.push_back(t);
}

void AddDiagonal(Context& c, int lower, int upper) {
  if (upper < 0 || upper == lower || RingNeighbours(c, lower, upper)) return;
  Node& a = c.nodes[lower];
  Node& b = c.nodes[upper];
  if (a.outCount >= kMaxDiagonals) {
    c.log->Failure("Need more than MAX_DIAGONALS outGoingDiagonals!!\n");
    return;
  }
  if (b.inCount >= kMaxDiagonals) {
    c.log->Failure("Need more than MAX_DIAGONALS incoming diagonals!!\n");
    return;
  }
  const int d = static_cast<int>(c.diagonals.size());
  c.diagonals.push_back({lower, upper, true});
  a.out[a.outCount++] = d;
  b.in[b.inCount++] = d;
}

// One neighbour above, one below: the trapezoid whose edge ends here goes
// on with the edge that starts here.
int Regular(Context& c, int x, int above, int below) {
  const int ended = EdgeId(c, above, x);
  const int t = c.edgeTrapezoid[ended];
  Trapezoid* trap = t >= 0 ? &c.trapezoids[t] : nullptr;
  const bool left = trap && trap->leftUpper == above && trap->leftLower == x;
  const bool right = trap && trap->rightUpper == above && trap->rightLower == x;
  if (!left && !right) {
    c.log->Failure("Cant find trapezoid for type one vertex!!!!\n");
    return kSweepFailed;
  }
  AddDiagonal(c, x, trap->top);
  trap->top = x;
  c.edgeTrapezoid[ended] = -1;
  if (left) {
    SetLeft(c, *trap, x, below);
  } else {
    SetRight(c, *trap, x, below);
  }
  c.edgeTrapezoid[EdgeId(c, x, below)] = t;
  return kOk;
}

// Both neighbours below: a new trapezoid between the node's edges, or, when
// the node lies inside a trapezoid, that one split in two around them.
int StartOrSplit(Context& c, int x, int prev, int next) {
  const Node& node = c.nodes[x];
  int left = prev, right = next;
  if (Orient(node, c.nodes[prev], c.nodes[next]) < 0) std::swap(left, right);
  auto where = [&](int t) {
    const Trapezoid& trap = c.trapezoids[t];
    if (Orient(trap.left, node) < 0) return -1;
    if (Orient(trap.right, node) > 0) return 1;
    return 0;
  };
  int parent;
  bool after;
  const int inside = c.line.Locate(where, &parent, &after);
  if (inside < 0) {
    const int t = NewTrapezoid(c, x, left, x, right, x);
    c.trapezoids[t].handle = c.line.InsertAt(parent, after, t);
    return kOk;
  }
  const int t = c.line.Payload(inside);
  AddDiagonal(c, x, c.trapezoids[t].top);
  const Trapezoid old = c.trapezoids[t];
  const int split = NewTrapezoid(c, x, right, old.rightUpper, old.rightLower, x);
  Trapezoid& first = c.trapezoids[t];
  SetRight(c, first, x, left);
  first.top = x;
  c.edgeTrapezoid[EdgeId(c, x, left)] = t;
  c.trapezoids[split].handle = c.line.InsertAfter(inside, split);
  return kOk;
}

// Both neighbours above: the trapezoid(s) whose edges end here close; two
// of them go on as one below the node.
int EndOrMerge(Context& c, int x, int prev, int next) {
  const int e1 = EdgeId(c, prev, x), e2 = EdgeId(c, next, x);
  const int t1 = c.edgeTrapezoid[e1], t2 = c.edgeTrapezoid[e2];
  if (t1 >= 0 && t1 == t2) {
    AddDiagonal(c, x, c.trapezoids[t1].top);
    c.edgeTrapezoid[e1] = c.edgeTrapezoid[e2] = -1;
    CloseTrapezoid(c, t1);
    return kOk;
  }
  int leftOne = -1, rightOne = -1;
  if (t1 >= 0 && t2 >= 0) {
    const Trapezoid& a = c.trapezoids[t1];
    const Trapezoid& b = c.trapezoids[t2];
    if (a.rightLower == x && b.leftLower == x) {
      leftOne = t1;
      rightOne = t2;
    } else if (b.rightLower == x && a.leftLower == x) {
      leftOne = t2;
      rightOne = t1;
    }
  }
  if (leftOne < 0) {
    c.log->Failure("Found wrong number of trapezoids in type 3 search!!\n");
    return kSweepFailed;
  }
  AddDiagonal(c, x, c.trapezoids[leftOne].top);
  AddDiagonal(c, x, c.trapezoids[rightOne].top);
  c.edgeTrapezoid[e1] = c.edgeTrapezoid[e2] = -1;
  Trapezoid& merged = c.trapezoids[leftOne];
  const Trapezoid& closing = c.trapezoids[rightOne];
  merged.right = closing.right;
  merged.rightUpper = closing.rightUpper;
  merged.rightLower = closing.rightLower;
  merged.top = x;
  c.edgeTrapezoid[EdgeId(c, merged.rightUpper, merged.rightLower)] = leftOne;
  CloseTrapezoid(c, rightOne);
  return kOk;
}

}  // namespace

int SweepTrapezoids(Context& c) {
  c.edgeTrapezoid.assign(c.nodes.size(), -1);
  c.trapezoids.clear();
  c.freeTrapezoids.clear();
  c.diagonals.clear();
  c.line.Clear();
  int status = kOk;
  for (size_t r = 0; r < c.order.size() && status == kOk; ++r) {
    const int x = c.order[r];
    Node& node = c.nodes[x];
    if (node.type == kRemoved) continue;
    const int prev = node.prev, next = node.next;
    // note: "below" is later in the sweep order, so a neighbour at the same
    // height counts as below when it lies to the right, as if the polygon
    // were turned a hair clockwise; that settles every horizontal edge
    const bool prevBelow = Before(node, c.nodes[prev]);
    const bool nextBelow = Before(node, c.nodes[next]);
    if (prevBelow && nextBelow) {
      node.type = kStartSplit;
      status = StartOrSplit(c, x, prev, next);
    } else if (!prevBelow && !nextBelow) {
      node.type = kEndMerge;
      status = EndOrMerge(c, x, prev, next);
    } else {
      node.type = kRegular;
      status = prevBelow ? Regular(c, x, next, prev) : Regular(c, x, prev, next);
    }
  }
  c.line.Clear();
  return status;
}

}  // namespace modra::triangulation
