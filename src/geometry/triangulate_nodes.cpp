#include "geometry/triangulate_nodes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

namespace modra::triangulation {
namespace {

struct Vec {
  double x, y, z;
};

Vec Point(const Context& c, int i) {
  const float* p = c.vertices + static_cast<size_t>(i) * c.stride;
  return {p[0], p[1], p[2]};
}

Vec Cross(const Vec& a, const Vec& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vec& a, const Vec& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Newell's method: the area-weighted normal of the ring, sound whatever
// three of its points happen to be in line.
Vec NewellNormal(const Context& c, int first, int last) {
  Vec n{0, 0, 0};
  for (int i = first; i <= last; ++i) {
    const Vec a = Point(c, i), b = Point(c, i == last ? first : i + 1);
    n.x += (a.y - b.y) * (a.z + b.z);
    n.y += (a.z - b.z) * (a.x + b.x);
    n.z += (a.x - b.x) * (a.y + b.y);
  }
  return n;
}

// The plane normal, normalised into c.normal, and the dropped axis.
bool ChoosePlane(Context& c, const int* contourEnds) {
  const Vec p0 = Point(c, 0), p1 = Point(c, 1), p2 = Point(c, 2);
  const Vec a{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
  const Vec b{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
  Vec n = Cross(a, b);
  // note: with the first three points (nearly) in line the cross product is
  // rounding noise and would pick an arbitrary projection; and a first
  // contour without area leaves the others to say where the plane lies
  if (!(Dot(n, n) > 1e-14 * Dot(a, a) * Dot(b, b))) n = NewellNormal(c, 0, contourEnds[0]);
  for (int k = 1, first = contourEnds[0] + 1; k < c.contourCount && !(Dot(n, n) > 0); ++k) {
    const Vec more = NewellNormal(c, first, contourEnds[k]);
    n = {n.x + more.x, n.y + more.y, n.z + more.z};
    first = contourEnds[k] + 1;
  }
  const double length = std::sqrt(Dot(n, n));
  if (!(length > 0) || !std::isfinite(length)) {
    c.dropAxis = 2;
    return false;
  }
  c.normal[0] = static_cast<float>(n.x / length);
  c.normal[1] = static_cast<float>(n.y / length);
  c.normal[2] = static_cast<float>(n.z / length);
  const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
  if (az >= std::max(ax, ay)) {
    c.dropAxis = 2;
  } else if (ay >= ax) {
    c.dropAxis = 1;
  } else {
    c.dropAxis = 0;
  }
  return true;
}

// A float's bits turned so that unsigned order is the float order
// (-0 counts as 0; the coordinates are finite floats widened to double).
uint64_t OrderBits(double value) {
  const uint32_t bits = std::bit_cast<uint32_t>(static_cast<float>(value) + 0.0f);
  return (bits & 0x80000000u) ? ~bits : bits | 0x80000000u;
}

// Least significant byte first, each pass stable; passes whose byte is the
// same in every key are skipped.
void RadixSort(std::vector<Context::SortKey>& keys, std::vector<Context::SortKey>& spare) {
  spare.resize(keys.size());
  for (int shift = 0; shift < 64; shift += 8) {
    size_t count[257] = {};
    for (const auto& k : keys)
      ++count[((k.key >> shift) & 0xff) + 1];
    if (count[((keys[0].key >> shift) & 0xff) + 1] == keys.size()) continue;
    for (int b = 0; b < 256; ++b)
      count[b + 1] += count[b];
    for (const auto& k : keys)
      spare[count[(k.key >> shift) & 0xff]++] = k;
    keys.swap(spare);
  }
}

}  // namespace

int BuildNodes(Context& c, const int* contourEnds) {
  const int n = c.vertexCount;
  bool finite = true;
  for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
    const float* p = c.vertices + i * c.stride;
    finite = finite && std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
  }
  const bool plane = finite && ChoosePlane(c, contourEnds);
  const int iu = c.dropAxis == 0 ? 1 : 0;
  const int iv = c.dropAxis == 2 ? 1 : 2;

  c.nodes.resize(static_cast<size_t>(n));
  c.contours.resize(static_cast<size_t>(c.contourCount));
  c.eps = 1e38;
  int first = 0;
  for (int k = 0; k < c.contourCount; ++k) {
    const int last = contourEnds[k];
    Contour& contour = c.contours[k];
    contour = {
        last - first + 1, 1e300, -1e300, 1e300, -1e300, first, -2, false, false, first, last};
    for (int i = first; i <= last; ++i) {
      const float* p = c.vertices + static_cast<size_t>(i) * c.stride;
      Node& node = c.nodes[i];
      node = {};
      node.u = p[iu];
      node.v = p[iv];
      node.index = i;
      node.contour = k;
      node.prev = i == first ? last : i - 1;
      node.next = i == last ? first : i + 1;
      node.lastOfContour = i == last;
      contour.umin = std::min(contour.umin, node.u);
      contour.umax = std::max(contour.umax, node.u);
      contour.vmin = std::min(contour.vmin, node.v);
      contour.vmax = std::max(contour.vmax, node.v);
      const Node& top = c.nodes[contour.top];
      if (node.v > top.v || (node.v == top.v && node.u < top.u)) contour.top = i;
    }
    if (contour.count < 3) {
      DropContour(c, k);
    } else {
      const double width = contour.umax - contour.umin, height = contour.vmax - contour.vmin;
      if (width > 0) c.eps = std::min(c.eps, width);
      if (height > 0) c.eps = std::min(c.eps, height);
    }
    first = last + 1;
  }
  c.eps *= 1e-7;
  bool anyLeft = false;
  for (const Contour& contour : c.contours)
    anyLeft = anyLeft || !contour.dropped;
  return finite && plane && anyLeft ? kOk : kFailed;
}

void DropContour(Context& c, int k) {
  Contour& contour = c.contours[k];
  contour.dropped = true;
  contour.count = 0;
  for (int i = contour.first; i <= contour.last; ++i) {
    c.nodes[i].type = kRemoved;
    c.nodes[i].prev = c.nodes[i].next = -1;
  }
}

void SortNodes(Context& c) {
  const int n = static_cast<int>(c.nodes.size());
  c.sortKeys.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    c.sortKeys[i] = {(~OrderBits(c.nodes[i].v) << 32) | OrderBits(c.nodes[i].u), i};
  // note: keys ascend in sweep order and ties keep the input order, so a
  // stable sort gives the same order as comparing v, u and index
  if (n < 512) {
    std::sort(c.sortKeys.begin(), c.sortKeys.end(), [](const auto& a, const auto& b) {
      return a.key != b.key ? a.key < b.key : a.node < b.node;
    });
  } else {
    RadixSort(c.sortKeys, c.sortSpare);
  }
  c.order.resize(static_cast<size_t>(n));
  for (int r = 0; r < n; ++r) {
    c.order[r] = c.sortKeys[r].node;
    c.nodes[c.sortKeys[r].node].rank = r;
  }
}

}  // namespace modra::triangulation
