// Builds Modra's five built-in 3D text fonts from outline fonts of Debian
// packages: each glyph '!'..'~' is flattened into polygons, split into
// parts (an outer contour with the holes inside it), turned clockwise, cleaned
// and checked, then written as flat C++ tables for src/geometry/fonts/.
//
//   fontgen OUT_DIR [--preview DIR]      the five fonts of the table below
//   fontgen --try FONT PNG [CAP [TOL]]   statistics and a picture of any font
//
// Units: the cap height ('H') becomes kFonts[i].capHeight, the baseline is
// y = 0. A glyph's advance is held to 0.4..0.65: a wider glyph is narrowed
// by the ratio, a narrower one gets 0.4 with its ink centred. Points lie on
// a 1e-5 grid, so every check below runs on exactly the values the program
// reads. README.md beside this file lists every repair a glyph may get.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct SourceFont {
  const char* stem;     // output file stem: <stem>_outlines.cpp
  const char* table;    // name of the table in the program
  const char* label;    // what the program calls the font
  const char* path;     // the font file
  const char* package;  // the Debian package that ships it
  double capHeight;     // height of 'H' after normalising
  double tolerance;     // flattening: control point distance from the chord
};

// note: cap heights differ so that each face's typical advances land inside
// 0.4..0.65 with little narrowing; the very wide display face gets the
// lowest, which keeps its letters square. Tolerances keep the rounder faces
// near 3000 points.
constexpr SourceFont kFonts[] = {
    {"sans", "kSansOutlines", "Arial",
     "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", "fonts-liberation2", 0.65,
     0.0035},
    {"comic", "kComicOutlines", "Comic Sans",
     "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf", "fonts-comic-neue", 0.7, 0.006},
    {"slab", "kSlabOutlines", "Serifa",
     "/usr/share/fonts/opentype/roboto/slab/RobotoSlab-Regular.otf", "fonts-roboto-slab", 0.65,
     0.0035},
    {"gothic", "kGothicOutlines", "Handel Gothic",
     "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf", "fonts-league-spartan",
     0.65, 0.0035},
    {"display", "kDisplayOutlines", "Orbit",
     "/usr/share/fonts/opentype/ferrite-core/FerriteCoreDX-Regular.otf", "fonts-ferrite-core", 0.6,
     0.0035},
};

constexpr int kFirstCode = 33;
constexpr int kLastCode = 126;
constexpr double kMinAdvance = 0.4;
constexpr double kMaxAdvance = 0.65;
constexpr double kGrid = 1e5;             // grid steps per unit
constexpr int kMinEdge = 30;              // grid steps; shorter edges are merged away
constexpr double kClearance = 1e-4;       // least distance between edges that do not meet
constexpr double kBevelClearance = 2e-5;  // the same between the edges of the bevel rings
constexpr double kNeckPush = 0.001;       // a step of thickening a stroke too thin for the bevel
constexpr double kCornerTurn = 20.0;      // degrees: a sharper turn at a curve joint is a corner
constexpr double kSpikeAngle = 1.0;       // degrees: a narrower angle counts as touching itself
constexpr double kBevel = 0.014;          // the front bevel 3D text is made with
constexpr double kSharpAngle = 45.0;      // degrees: a narrower notch is chamfered
constexpr double kChamfer = 0.008;        // how far a chamfer reaches along each edge
constexpr double kPi = 3.14159265358979323846;

struct P {
  double x, y;
};
P operator-(P a, P b) {
  return {a.x - b.x, a.y - b.y};
}
P operator+(P a, P b) {
  return {a.x + b.x, a.y + b.y};
}
P operator*(double s, P a) {
  return {s * a.x, s * a.y};
}
double Cross(P a, P b) {
  return a.x * b.y - a.y * b.x;
}
double Dot(P a, P b) {
  return a.x * b.x + a.y * b.y;
}
double Len(P a) {
  return std::hypot(a.x, a.y);
}

// --- outline decomposition -------------------------------------------------

struct Segment {
  int order;  // 1 line, 2 quadratic, 3 cubic
  P p0, c1, c2, p1;
};

struct Affine {
  double sx, sy, dx;
  P operator()(const FT_Vector* v) const { return {v->x * sx + dx, v->y * sy}; }
};

struct Decomposer {
  Affine map;
  P at{0, 0};
  std::vector<std::vector<Segment>> contours;
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  d->contours.emplace_back();
  d->at = d->map(to);
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  P p = d->map(to);
  d->contours.back().push_back({1, d->at, d->at, p, p});
  d->at = p;
  return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  P p = d->map(to);
  P q = d->map(c);
  d->contours.back().push_back({2, d->at, q, q, p});
  d->at = p;
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  P p = d->map(to);
  d->contours.back().push_back({3, d->at, d->map(c1), d->map(c2), p});
  d->at = p;
  return 0;
}

// Direction leaving p0 and arriving at p1; control points that coincide
// with an end point fall back to the next one.
P TangentOut(const Segment& s) {
  P cands[3] = {s.c1, s.c2, s.p1};
  for (int i = (s.order == 1 ? 2 : 0); i < 3; ++i)
    if (Len(cands[i] - s.p0) > 1e-12) return cands[i] - s.p0;
  return {0, 0};
}
P TangentIn(const Segment& s) {
  P cands[3] = {s.c2, s.c1, s.p0};
  for (int i = (s.order == 1 ? 2 : 0); i < 3; ++i)
    if (Len(s.p1 - cands[i]) > 1e-12) return s.p1 - cands[i];
  return {0, 0};
}

double TurnDegrees(P in, P out) {
  if (Len(in) == 0 || Len(out) == 0) return 180;
  return std::fabs(std::atan2(Cross(in, out), Dot(in, out))) * 180.0 / kPi;
}

double DistToSegment(P p, P a, P b) {
  P ab = b - a;
  double l2 = Dot(ab, ab);
  double t = l2 > 0 ? std::clamp(Dot(p - a, ab) / l2, 0.0, 1.0) : 0.0;
  return Len(p - (a + t * ab));
}

// --- flattening ---------------------------------------------------------------

struct Vertex {
  P p;
  bool corner;
};

void FlattenCubic(P p0, P c1, P c2, P p1, double tol, int depth, std::vector<Vertex>& out) {
  double dev = std::max(DistToSegment(c1, p0, p1), DistToSegment(c2, p0, p1));
  if (dev <= tol || depth >= 12) {
    out.push_back({p1, false});
    return;
  }
  P a = 0.5 * (p0 + c1), b = 0.5 * (c1 + c2), c = 0.5 * (c2 + p1);
  P ab = 0.5 * (a + b), bc = 0.5 * (b + c), m = 0.5 * (ab + bc);
  FlattenCubic(p0, a, ab, m, tol, depth + 1, out);
  FlattenCubic(m, bc, c, p1, tol, depth + 1, out);
}

// One closed polygon per contour; a vertex is a corner when it is an
// outline point where two straight segments meet at an angle, or where the
// outline's direction jumps by more than kCornerTurn.
std::vector<Vertex> FlattenContour(const std::vector<Segment>& segs, double tol) {
  std::vector<Vertex> out;
  const size_t n = segs.size();
  for (size_t k = 0; k < n; ++k) {
    const Segment& prev = segs[(k + n - 1) % n];
    const Segment& s = segs[k];
    double turn = TurnDegrees(TangentIn(prev), TangentOut(s));
    bool corner = (prev.order == 1 && s.order == 1) ? turn > 0.01 : turn > kCornerTurn;
    out.push_back({s.p0, corner});
    if (s.order == 1) continue;
    P c1 = s.c1, c2 = s.c2;
    if (s.order == 2) {
      c1 = s.p0 + (2.0 / 3.0) * (s.c1 - s.p0);
      c2 = s.p1 + (2.0 / 3.0) * (s.c1 - s.p1);
    }
    FlattenCubic(s.p0, c1, c2, s.p1, tol, 0, out);
    out.pop_back();  // the next segment's start
  }
  return out;
}

// --- grid polygons --------------------------------------------------------------

struct Q {
  int64_t x, y;
  bool operator==(const Q&) const = default;
};
int64_t Orient(Q a, Q b, Q c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}
P ToP(Q q) {
  return {q.x / kGrid, q.y / kGrid};
}

struct Contour {
  std::vector<Q> pts;
  std::vector<uint8_t> corner;
  int64_t area2 = 0;  // twice the signed area, in grid steps
  int64_t minX = 0, minY = 0;
};

int64_t Area2(const std::vector<Q>& pts) {
  int64_t a = 0;
  for (size_t i = 0, n = pts.size(); i < n; ++i) {
    const Q& p = pts[i];
    const Q& q = pts[(i + 1) % n];
    a += p.x * q.y - q.x * p.y;
  }
  return a;
}

void Erase(Contour& c, size_t i) {
  c.pts.erase(c.pts.begin() + i);
  c.corner.erase(c.corner.begin() + i);
}

// Duplicate, collinear and spike points go, and edges shorter than kMinEdge
// are merged into a neighbour (keeping the corner end).
void Clean(Contour& c) {
  bool changed = true;
  while (changed && c.pts.size() >= 3) {
    changed = false;
    for (size_t i = 0; i < c.pts.size() && c.pts.size() >= 3; ++i) {
      size_t n = c.pts.size();
      Q a = c.pts[(i + n - 1) % n], b = c.pts[i], cc = c.pts[(i + 1) % n];
      if (b == cc || Orient(a, b, cc) == 0) {
        Erase(c, i);
        changed = true;
        break;
      }
      double len = std::hypot(double(cc.x - b.x), double(cc.y - b.y));
      if (len < kMinEdge) {
        size_t j = (i + 1) % n;
        // keep a corner; otherwise drop the later point
        Erase(c, c.corner[j] && !c.corner[i] ? i : j);
        changed = true;
        break;
      }
    }
  }
}

// Even-odd test; 0 outside, 1 inside, -1 on the boundary.
int Inside(Q p, const std::vector<Q>& poly) {
  bool in = false;
  for (size_t i = 0, n = poly.size(); i < n; ++i) {
    Q a = poly[i], b = poly[(i + 1) % n];
    if (Orient(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
        std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y))
      return -1;
    if ((a.y > p.y) != (b.y > p.y)) {
      // crossing to the right of p?
      int64_t o = Orient(a, b, p);
      if ((b.y > a.y) ? o > 0 : o < 0) in = !in;
    }
  }
  return in ? 1 : 0;
}

// --- checks ---------------------------------------------------------------------

bool SegmentsCross(P a, P b, P c, P d) {
  auto o = [](P p, P q, P r) { return Cross(q - p, r - p); };
  double d1 = o(c, d, a), d2 = o(c, d, b), d3 = o(a, b, c), d4 = o(a, b, d);
  return ((d1 > 0) != (d2 > 0)) && ((d3 > 0) != (d4 > 0)) && d1 != 0 && d2 != 0 && d3 != 0 &&
         d4 != 0;
}

double SegmentDistance(P a, P b, P c, P d) {
  if (SegmentsCross(a, b, c, d)) return 0;
  return std::min(std::min(DistToSegment(a, c, d), DistToSegment(b, c, d)),
                  std::min(DistToSegment(c, a, b), DistToSegment(d, a, b)));
}

// Where two edges of a set of rings come too close: a folded corner (vertex
// idxA of ringA) or two edges (idxA of ringA, idxB of ringB).
struct Touch {
  int ringA = -1, idxA = -1, ringB = -1, idxB = -1;
  std::string why;
};

// True when two edges come closer than `clearance`; edges that meet at a
// vertex must not fold onto each other.
bool FindTouch(const std::vector<std::vector<P>>& rings, double clearance, Touch& t) {
  struct E {
    P a, b;
    int ring, idx, n;
  };
  std::vector<E> edges;
  for (int r = 0; r < int(rings.size()); ++r) {
    int n = int(rings[r].size());
    for (int i = 0; i < n; ++i)
      edges.push_back({rings[r][i], rings[r][(i + 1) % n], r, i, n});
  }
  for (size_t i = 0; i < edges.size(); ++i) {
    for (size_t j = i + 1; j < edges.size(); ++j) {
      const E& e = edges[i];
      const E& f = edges[j];
      bool sameRing = e.ring == f.ring;
      bool next = sameRing && (e.idx + 1) % e.n == f.idx;
      bool prev = sameRing && (f.idx + 1) % f.n == e.idx;
      if (next || prev) {
        // meeting at a vertex: the angle between them must stay open
        P v = next ? e.b : e.a;
        P p = next ? e.a : e.b;  // far end of e
        P q = next ? f.b : f.a;  // far end of f
        double ang = std::fabs(std::atan2(Cross(p - v, q - v), Dot(p - v, q - v))) * 180 / kPi;
        if (ang < kSpikeAngle) {
          t = {e.ring, next ? f.idx : e.idx, -1, -1, "folded corner"};
          return true;
        }
        continue;
      }
      if (SegmentDistance(e.a, e.b, f.a, f.b) < clearance) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "edges %d/%d and %d/%d meet near (%.4f, %.4f)", e.ring,
                      e.idx, f.ring, f.idx, e.a.x, e.a.y);
        t = {e.ring, e.idx, f.ring, f.idx, buf};
        return true;
      }
    }
  }
  return false;
}

bool RingsAreSimple(const std::vector<std::vector<P>>& rings, double clearance, std::string* why) {
  Touch t;
  if (!FindTouch(rings, clearance, t)) return true;
  if (why) *why = t.why;
  return false;
}

// The -Z cap of a front-bevelled extrusion: each point moved inwards by the
// miter distance along its smooth normal, as the extrusion generator does.
std::vector<P> BevelRing(const std::vector<P>& ring, bool hole) {
  const size_t n = ring.size();
  std::vector<P> normals(n);
  for (size_t i = 0; i < n; ++i) {
    P d = ring[(i + 1) % n] - ring[i];
    P e = hole ? P{d.y, -d.x} : P{-d.y, d.x};
    double l = Len(e);
    normals[i] = l > 0 ? (1 / l) * e : e;
  }
  std::vector<P> out(n);
  for (size_t i = 0; i < n; ++i) {
    P din = ring[i] - ring[(i + n - 1) % n];
    P dout = ring[(i + 1) % n] - ring[i];
    double ain = Len(din) > 0 ? std::atan2(din.y, din.x) : 0;
    double aout = Len(dout) > 0 ? std::atan2(dout.y, dout.x) : 0;
    double s = std::fabs(std::sin(((kPi - ain) + aout) / 2));
    double m = s > 0 ? kBevel / s : 0;
    P nm = 0.5 * (normals[(i + n - 1) % n] + normals[i]);
    double l = Len(nm);
    if (l > 0) nm = (1 / l) * nm;
    out[i] = ring[i] - m * nm;
  }
  return out;
}

double RingArea(const std::vector<P>& r) {
  double a = 0;
  for (size_t i = 0; i < r.size(); ++i)
    a += Cross(r[i], r[(i + 1) % r.size()]);
  return a / 2;
}

// The bevel moves each point inwards by bevel / sin(angle / 2). At a narrow
// notch that runs far into the solid, even out of the glyph: cutting the
// notch's tip with a short chamfer keeps the move near the bevel size.
// Contours are clockwise; the solid is right of a contour's direction for
// the outer one and left of it for holes.
void Chamfer(Contour& c, bool hole) {
  Contour out;
  const size_t n = c.pts.size();
  for (size_t i = 0; i < n; ++i) {
    P v = ToP(c.pts[i]);
    P a = ToP(c.pts[(i + n - 1) % n]) - v;
    P b = ToP(c.pts[(i + 1) % n]) - v;
    double ang = std::fabs(std::atan2(Cross(a, b), Dot(a, b))) * 180 / kPi;
    bool notch = hole ? Cross(-1 * a, b) < 0 : Cross(-1 * a, b) > 0;
    if (ang >= kSharpAngle || !notch) {
      out.pts.push_back(c.pts[i]);
      out.corner.push_back(c.corner[i]);
      continue;
    }
    double d = std::min({kChamfer, 0.4 * Len(a), 0.4 * Len(b)});
    for (P e : {a, b}) {
      P q = v + (d / Len(e)) * e;
      out.pts.push_back({std::llround(q.x * kGrid), std::llround(q.y * kGrid)});
      out.corner.push_back(1);
    }
  }
  c = std::move(out);
}

// Along a tight outward bend an edge shorter than the bevel turns over in
// the inset ring (its inset runs backwards); its two ends are merged into
// their midpoint until no inset edge runs backwards.
void RepairBevel(Contour& c, bool hole) {
  for (int guard = 0; guard < 1000 && c.pts.size() > 3; ++guard) {
    std::vector<P> ring;
    for (const Q& q : c.pts)
      ring.push_back(ToP(q));
    std::vector<P> inset = BevelRing(ring, hole);
    const size_t n = ring.size();
    size_t bad = n;
    for (size_t i = 0; i < n && bad == n; ++i) {
      size_t j = (i + 1) % n;
      if (Dot(inset[j] - inset[i], ring[j] - ring[i]) <= 0) bad = i;
    }
    if (bad == n) return;
    size_t j = (bad + 1) % n;
    Q m{(c.pts[bad].x + c.pts[j].x) / 2, (c.pts[bad].y + c.pts[j].y) / 2};
    c.pts[bad] = m;
    c.corner[bad] = c.corner[bad] | c.corner[j];
    Erase(c, j);
    Clean(c);
  }
}

std::vector<std::vector<P>> Rings(const std::vector<Contour>& contours) {
  std::vector<std::vector<P>> rings;
  for (const Contour& c : contours) {
    rings.emplace_back();
    for (const Q& q : c.pts)
      rings.back().push_back(ToP(q));
  }
  return rings;
}

// Where a stroke is thinner than two bevels (or a notch's bevel reaches a
// nearby hole) the bevel rings of the part run into each other. The points
// of the edges involved are pushed out of the solid a little at a time,
// which thickens the stroke just there, until the rings stand clear.
int RepairNecks(std::vector<Contour>& contours) {
  const int count = int(contours.size());
  int steps = 0;
  for (; steps < 400; ++steps) {
    std::vector<std::vector<P>> rings = Rings(contours);
    for (int k = 0; k < count; ++k)
      rings.push_back(BevelRing(rings[k], k > 0));
    Touch t;
    if (!FindTouch(rings, kBevelClearance, t)) break;
    std::vector<std::pair<int, int>> moved;  // contour, point
    for (auto [ring, idx] : {std::pair{t.ringA, t.idxA}, std::pair{t.ringB, t.idxB}}) {
      if (ring < 0) continue;
      const int k = ring % count;
      const int n = int(contours[k].pts.size());
      moved.push_back({k, idx});
      if (t.ringB >= 0) moved.push_back({k, (idx + 1) % n});
    }
    for (auto [k, i] : moved) {
      const std::vector<P>& ring = rings[k];
      const int n = int(ring.size());
      P din = ring[i] - ring[(i + n - 1) % n];
      P dout = ring[(i + 1) % n] - ring[i];
      auto outward = [&](P d) {
        P e = k > 0 ? P{d.y, -d.x} : P{-d.y, d.x};
        return Len(e) > 0 ? (1 / Len(e)) * e : e;
      };
      P nm = outward(din) + outward(dout);
      if (Len(nm) == 0) continue;
      P p = ring[i] + (kNeckPush / Len(nm)) * nm;
      contours[k].pts[i] = {std::llround(p.x * kGrid), std::llround(p.y * kGrid)};
    }
  }
  return steps;
}

// --- glyphs -------------------------------------------------------------------

struct Part {
  std::vector<Contour> contours;  // outer first, then holes
};

struct Glyph {
  std::vector<Part> parts;
  double advance = 0;
  bool bevelClean = true;
  std::string bevelWhy;
  int neckSteps = 0;
};

struct Stats {
  int points = 0, contours = 0, parts = 0, refined = 0, neckSteps = 0, failed = 0;
};

// Flattens, cleans, nests and orients one glyph at tolerance `tol`; false
// with a reason when the result is not a set of simple, separate rings.
bool BuildGlyph(FT_Face face, int code, double scale, double tol, Glyph& out, std::string& why) {
  out = Glyph{};
  if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP)) {
    why = "cannot load";
    return false;
  }
  double natural = face->glyph->metrics.horiAdvance * scale;
  Affine map{scale, scale, 0};
  out.advance = natural;
  if (natural > kMaxAdvance) {
    map.sx = scale * kMaxAdvance / natural;
    out.advance = kMaxAdvance;
  } else if (natural < kMinAdvance) {
    // centred on its ink, so that a hook hanging out of a narrow glyph
    // stays off its neighbours
    FT_BBox ink;
    FT_Outline_Get_BBox(&face->glyph->outline, &ink);
    map.dx = kMinAdvance / 2 - (ink.xMin + ink.xMax) * scale / 2;
    out.advance = kMinAdvance;
  }
  out.advance = std::round(out.advance * kGrid) / kGrid;

  Decomposer dec{map, {0, 0}, {}};
  FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &dec)) {
    why = "cannot decompose";
    return false;
  }

  std::vector<Contour> all;
  for (auto& segs : dec.contours) {
    std::erase_if(segs, [](const Segment& s) { return s.order == 1 && Len(s.p1 - s.p0) < 1e-12; });
    if (segs.empty()) continue;
    Contour c;
    for (const Vertex& v : FlattenContour(segs, tol)) {
      c.pts.push_back({std::llround(v.p.x * kGrid), std::llround(v.p.y * kGrid)});
      c.corner.push_back(v.corner ? 1 : 0);
    }
    Clean(c);
    if (c.pts.size() < 3) continue;
    c.area2 = Area2(c.pts);
    if (c.area2 == 0) continue;
    c.minX = c.pts[0].x;
    c.minY = c.pts[0].y;
    for (const Q& q : c.pts) {
      c.minX = std::min(c.minX, q.x);
      c.minY = std::min(c.minY, q.y);
    }
    all.push_back(std::move(c));
  }

  // nesting: how many contours hold each one decides outer or hole
  const int n = int(all.size());
  std::vector<int> depth(n, 0), parent(n, -1);
  std::vector<std::vector<bool>> holds(n, std::vector<bool>(n, false));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      if (i == j) continue;
      int in = 0, outside = 0;
      for (const Q& q : all[i].pts) {
        int r = Inside(q, all[j].pts);
        if (r == 1) ++in;
        if (r == 0) ++outside;
      }
      if (in && outside) {
        why = "overlapping contours";
        return false;
      }
      if (in) {
        holds[j][i] = true;
        ++depth[i];
      }
    }
  }
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      if (holds[j][i] && depth[j] == depth[i] - 1) parent[i] = j;

  std::vector<int> outers;
  for (int i = 0; i < n; ++i)
    if (depth[i] % 2 == 0) outers.push_back(i);
  auto byPlace = [&](int a, int b) {
    return std::tie(all[a].minX, all[a].minY) < std::tie(all[b].minX, all[b].minY);
  };
  std::sort(outers.begin(), outers.end(), byPlace);

  out.parts.clear();
  for (int o : outers) {
    std::vector<int> holes;
    for (int i = 0; i < n; ++i)
      if (depth[i] % 2 == 1 && parent[i] == o) holes.push_back(i);
    std::sort(holes.begin(), holes.end(), byPlace);
    Part part;
    part.contours.push_back(all[o]);
    for (int h : holes)
      part.contours.push_back(all[h]);
    // clockwise seen from +Z, holes too; the start point stays first
    for (Contour& c : part.contours) {
      if (c.area2 > 0) {
        std::reverse(c.pts.begin() + 1, c.pts.end());
        std::reverse(c.corner.begin() + 1, c.corner.end());
        c.area2 = -c.area2;
      }
    }
    for (size_t k = 0; k < part.contours.size(); ++k) {
      Contour& c = part.contours[k];
      Chamfer(c, k > 0);
      Clean(c);
      RepairBevel(c, k > 0);
      if (c.pts.size() < 3 || Area2(c.pts) >= 0) {
        why = "contour collapsed";
        return false;
      }
    }
    out.neckSteps += RepairNecks(part.contours);
    out.parts.push_back(std::move(part));
  }

  out.bevelClean = true;
  for (const Part& part : out.parts) {
    std::vector<std::vector<P>> rings, bevel;
    for (size_t k = 0; k < part.contours.size(); ++k) {
      std::vector<P> ring;
      for (const Q& q : part.contours[k].pts)
        ring.push_back(ToP(q));
      bevel.push_back(BevelRing(ring, k > 0));
      if (RingArea(bevel.back()) >= 0) {
        out.bevelClean = false;
        out.bevelWhy = "bevel ring turned over";
      }
      rings.push_back(std::move(ring));
    }
    if (!RingsAreSimple(rings, kClearance, &why)) return false;
    // the bevel's inner ring must stay simple and inside the part
    std::vector<std::vector<P>> both = rings;
    both.insert(both.end(), bevel.begin(), bevel.end());
    if (!RingsAreSimple(both, kBevelClearance, &out.bevelWhy)) out.bevelClean = false;
    std::vector<std::vector<Q>> grid;
    for (const Contour& c : part.contours)
      grid.push_back(c.pts);
    for (const auto& ring : bevel)
      for (P p : ring) {
        Q q{std::llround(p.x * kGrid), std::llround(p.y * kGrid)};
        int crossings = 0;
        for (const auto& g : grid)
          crossings += Inside(q, g) == 1;
        if (crossings % 2 == 0) {
          out.bevelClean = false;
          char buf[96];
          std::snprintf(buf, sizeof buf, "bevel point (%.4f, %.4f) outside", p.x, p.y);
          out.bevelWhy = buf;
          if (std::getenv("FONTGEN_DEBUG"))
            for (size_t k = 0; k < part.contours.size(); ++k)
              for (size_t i = 0; i < part.contours[k].pts.size(); ++i) {
                P o = ToP(part.contours[k].pts[i]);
                if (Len(o - p) < 0.06)
                  std::fprintf(stderr, "  c%zu p%zu (%.5f, %.5f) corner %d -> (%.5f, %.5f)\n", k, i,
                               o.x, o.y, part.contours[k].corner[i], bevel[k][i].x, bevel[k][i].y);
              }
        }
      }
  }
  return true;
}

// The glyph at the coarsest tolerance that passes every check, bevel
// included; false (with the reason on stderr) when none does.
bool MakeGlyph(FT_Face face, int code, double scale, double tolerance, Glyph& g, Stats& st) {
  std::string why;
  double tol = tolerance;
  for (int attempt = 0; attempt < 5; ++attempt, tol /= 2) {
    if (!BuildGlyph(face, code, scale, tol, g, why)) continue;
    if (!g.bevelClean) {
      why = g.bevelWhy;
      continue;
    }
    if (attempt) ++st.refined;
    st.neckSteps += g.neckSteps;
    if (g.neckSteps && std::getenv("FONTGEN_DEBUG"))
      std::fprintf(stderr, "glyph '%c': %d thickening steps\n", code, g.neckSteps);
    for (const Part& p : g.parts) {
      ++st.parts;
      for (const Contour& c : p.contours) {
        ++st.contours;
        st.points += int(c.pts.size());
      }
    }
    return true;
  }
  ++st.failed;
  std::fprintf(stderr, "glyph '%c': %s\n", code, why.c_str());
  return false;
}

// --- output ---------------------------------------------------------------------

std::string Num(int64_t gridValue) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.5f", gridValue / kGrid);
  std::string s = buf;
  while (s.back() == '0')
    s.pop_back();
  if (s.back() == '.') s += '0';
  if (s == "-0.0") s = "0.0";
  return s + "f";
}

// Appends items to `out` as lines of at most 100 columns.
void WriteList(std::string& out, const std::vector<std::string>& items) {
  std::string line = "   ";
  for (const std::string& it : items) {
    if (line.size() + it.size() + 2 > 100) {
      out += line + "\n";
      line = "   ";
    }
    line += " " + it + ",";
  }
  if (line.size() > 3) out += line + "\n";
}

std::string PackageVersion(const char* package) {
  std::string cmd = std::string("dpkg-query -W -f='${Version}' ") + package + " 2>/dev/null";
  std::string v;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[128];
    while (std::fgets(buf, sizeof buf, p))
      v += buf;
    pclose(p);
  }
  return v.empty() ? "unknown" : v;
}

std::string FontFullName(FT_Face face) {
  std::string s = face->family_name ? face->family_name : "?";
  if (face->style_name) s += std::string(" ") + face->style_name;
  return s;
}

bool WriteTable(const std::string& dir, const SourceFont& f, FT_Face face,
                const std::vector<Glyph>& glyphs) {
  std::string out;
  out += "// Outlines of the built-in font \"" + std::string(f.label) + "\", flattened from " +
         FontFullName(face) + "\n// (Debian package " + f.package + " " +
         PackageVersion(f.package) +
         ");\n// licence and copyright in NOTICE beside this file.\n"
         "// Generated by tools/fontgen: do not edit, run it again.\n"
         "// clang-format off\n"
         "#include \"geometry/fonts/font_outlines.h\"\n\nnamespace modra {\nnamespace {\n\n";
  std::vector<std::string> recs, parts, counts, pts, corners;
  int firstPart = 0, firstContour = 0, firstPoint = 0;
  for (const Glyph& g : glyphs) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "{%d, %d, %d, %d, %s}", int(g.parts.size()), firstPart,
                  firstContour, firstPoint, Num(std::llround(g.advance * kGrid)).c_str());
    recs.push_back(buf);
    for (const Part& p : g.parts) {
      parts.push_back(std::to_string(p.contours.size()));
      ++firstPart;
      for (const Contour& c : p.contours) {
        counts.push_back(std::to_string(c.pts.size()));
        ++firstContour;
        for (size_t i = 0; i < c.pts.size(); ++i) {
          pts.push_back(Num(c.pts[i].x) + ", " + Num(c.pts[i].y));
          corners.push_back(std::to_string(c.corner[i]));
          ++firstPoint;
        }
      }
    }
  }
  out += "// part count, first part, first contour, first point, advance; '!' to '~'\n";
  out += "constexpr GlyphRecord kGlyphs[kGlyphCount] = {\n";
  for (size_t i = 0; i < recs.size(); ++i) {
    out += "    " + recs[i] + ",  // ";
    out += (kFirstCode + int(i)) == '\\' ? std::string("backslash")
                                         : std::string(1, char(kFirstCode + i));
    out += "\n";
  }
  out += "};\n\nconstexpr int32_t kContoursPerPart[] = {\n";
  WriteList(out, parts);
  out += "};\n\nconstexpr int32_t kPointCounts[] = {\n";
  WriteList(out, counts);
  out += "};\n\nconstexpr float kPoints[] = {\n";
  WriteList(out, pts);
  out += "};\n\nconstexpr uint8_t kCorners[] = {\n";
  WriteList(out, corners);
  char tail[256];
  std::snprintf(tail, sizeof tail,
                "};\n\n}  // namespace\n\nextern const FontOutlines %s = {\n    kGlyphs, "
                "kContoursPerPart, kPointCounts, kPoints, kCorners, %d, %d, %d};\n\n}  // "
                "namespace modra\n",
                f.table, firstPart, firstContour, firstPoint);
  out += tail;

  std::string path = dir + "/" + f.stem + "_outlines.cpp";
  FILE* fp = std::fopen(path.c_str(), "w");
  if (!fp) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  bool ok = std::fwrite(out.data(), 1, out.size(), fp) == out.size();
  ok = std::fclose(fp) == 0 && ok;
  return ok;
}

// --- preview --------------------------------------------------------------------

struct Image {
  int w, h;
  std::vector<uint8_t> rgb;
  void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
    p[0] = r;
    p[1] = g;
    p[2] = b;
  }
  void Line(double x0, double y0, double x1, double y1, uint8_t r, uint8_t g, uint8_t b) {
    int steps = int(std::max(std::fabs(x1 - x0), std::fabs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; ++i) {
      double t = double(i) / steps;
      Set(int(std::lround(x0 + t * (x1 - x0))), int(std::lround(y0 + t * (y1 - y0))), r, g, b);
    }
  }
};

bool WritePng(const std::string& path, const Image& img) {
  FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(fp);
    return false;
  }
  png_init_io(png, fp);
  png_set_IHDR(png, info, img.w, img.h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < img.h; ++y)
    png_write_row(png, &img.rgb[size_t(y) * img.w * 3]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(fp) == 0;
}

// Every glyph filled (even-odd over all its rings), with its outline, corner
// points in red, the bevel inset in green and the advance in blue.
bool Preview(const std::string& path, const std::vector<Glyph>& all, const char* only = nullptr) {
  std::vector<Glyph> glyphs;
  for (size_t i = 0; i < all.size(); ++i)
    if (!only || std::strchr(only, char(kFirstCode + i))) glyphs.push_back(all[i]);
  const double zoom = only ? 4 : 1;
  const int cell = int(110 * zoom), cols = only ? 4 : 10;
  const int rows = (int(glyphs.size()) + cols - 1) / cols;
  const double unit = 100 * zoom, baseline = 80 * zoom;
  Image img{cols * cell, rows * cell,
            std::vector<uint8_t>(size_t(cols * cell) * rows * cell * 3, 255)};
  for (size_t gi = 0; gi < glyphs.size(); ++gi) {
    const Glyph& g = glyphs[gi];
    double ox = (gi % cols) * cell + 5, oy = (gi / cols) * cell + baseline;
    auto X = [&](double x) { return ox + x * unit; };
    auto Y = [&](double y) { return oy - y * unit; };
    std::vector<std::pair<P, P>> edges;
    for (const Part& p : g.parts)
      for (const Contour& c : p.contours)
        for (size_t i = 0; i < c.pts.size(); ++i) {
          P a = ToP(c.pts[i]), b = ToP(c.pts[(i + 1) % c.pts.size()]);
          edges.push_back({{X(a.x), Y(a.y)}, {X(b.x), Y(b.y)}});
        }
    for (int py = int(oy - baseline); py < int(oy - baseline) + cell; ++py) {
      std::vector<double> xs;
      double sy = py + 0.5;
      for (auto& e : edges)
        if ((e.first.y > sy) != (e.second.y > sy))
          xs.push_back(e.first.x +
                       (sy - e.first.y) * (e.second.x - e.first.x) / (e.second.y - e.first.y));
      std::sort(xs.begin(), xs.end());
      for (size_t k = 0; k + 1 < xs.size(); k += 2)
        for (int px = int(std::ceil(xs[k] - 0.5)); px < int(std::ceil(xs[k + 1] - 0.5)); ++px)
          img.Set(px, py, 200, 200, 200);
    }
    img.Line(X(0), Y(0), X(g.advance), Y(0), 120, 160, 255);
    img.Line(X(g.advance), Y(-0.2), X(g.advance), Y(0.8), 120, 160, 255);
    for (const Part& p : g.parts) {
      for (size_t k = 0; k < p.contours.size(); ++k) {
        const Contour& c = p.contours[k];
        std::vector<P> ring;
        for (const Q& q : c.pts)
          ring.push_back(ToP(q));
        std::vector<P> bevel = BevelRing(ring, k > 0);
        for (size_t i = 0; i < ring.size(); ++i) {
          P a = ring[i], b = ring[(i + 1) % ring.size()];
          P u = bevel[i], v = bevel[(i + 1) % ring.size()];
          img.Line(X(u.x), Y(u.y), X(v.x), Y(v.y), 60, 170, 60);
          img.Line(X(a.x), Y(a.y), X(b.x), Y(b.y), 0, 0, 0);
        }
        for (size_t i = 0; i < ring.size(); ++i) {
          uint8_t r = c.corner[i] ? 230 : 0, b = c.corner[i] ? 0 : 200;
          for (int d = -1; d <= 1; ++d) {
            img.Set(int(X(ring[i].x)) + d, int(Y(ring[i].y)), r, 0, b);
            img.Set(int(X(ring[i].x)), int(Y(ring[i].y)) + d, r, 0, b);
          }
        }
      }
    }
  }
  return WritePng(path, img);
}

// --- driver ---------------------------------------------------------------------

// The font's glyphs normalised to a cap height; false when a glyph fails.
bool BuildFont(FT_Library lib, const char* path, double capHeight, double tolerance, FT_Face& face,
               std::vector<Glyph>& glyphs, Stats& st) {
  if (FT_New_Face(lib, path, 0, &face)) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return false;
  }
  if (FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING)) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  double scale = capHeight / double(box.yMax);
  glyphs.assign(kLastCode - kFirstCode + 1, Glyph{});
  bool ok = true;
  for (int code = kFirstCode; code <= kLastCode; ++code)
    ok = MakeGlyph(face, code, scale, tolerance, glyphs[code - kFirstCode], st) && ok;
  int narrowed = 0, widened = 0;
  double worst = 1;
  for (int code = kFirstCode; code <= kLastCode; ++code) {
    FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
    double natural = face->glyph->metrics.horiAdvance * scale;
    narrowed += natural > kMaxAdvance;
    worst = std::max(worst, natural / kMaxAdvance);
    widened += natural < kMinAdvance;
  }
  std::printf(
      "%-28s points %4d  contours %3d  parts %3d  refined %d  narrowed %d  centred %d  "
      "narrowest %.2f  thickened %d  failed %d\n",
      FontFullName(face).c_str(), st.points, st.contours, st.parts, st.refined, narrowed, widened,
      1 / worst, st.neckSteps, st.failed);
  return ok;
}

int Usage() {
  std::fprintf(stderr,
               "usage: fontgen OUT_DIR [--preview DIR]\n"
               "       fontgen --try FONT_FILE PNG [CAP_HEIGHT [TOLERANCE]]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  FT_Library lib;
  if (FT_Init_FreeType(&lib)) return 1;

  if (std::strcmp(argv[1], "--try") == 0) {
    if (argc < 4) return Usage();
    double cap = argc > 4 ? std::atof(argv[4]) : 0.65;
    double tol = argc > 5 ? std::atof(argv[5]) : 0.0035;
    FT_Face face = nullptr;
    std::vector<Glyph> glyphs;
    Stats st;
    bool ok = BuildFont(lib, argv[2], cap, tol, face, glyphs, st);
    if (face) Preview(argv[3], glyphs, std::getenv("FONTGEN_ONLY"));
    return ok ? 0 : 1;
  }

  std::string outDir = argv[1];
  std::string previewDir;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
      previewDir = argv[++i];
    else
      return Usage();
  }
  bool ok = true;
  for (const SourceFont& f : kFonts) {
    FT_Face face = nullptr;
    std::vector<Glyph> glyphs;
    Stats st;
    if (!BuildFont(lib, f.path, f.capHeight, f.tolerance, face, glyphs, st)) {
      ok = false;
      continue;
    }
    ok = WriteTable(outDir, f, face, glyphs) && ok;
    if (!previewDir.empty()) Preview(previewDir + "/" + f.stem + ".png", glyphs);
    FT_Done_Face(face);
  }
  FT_Done_FreeType(lib);
  return ok ? 0 : 1;
}
