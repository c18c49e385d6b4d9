#include "geometry/triangulate.h"

#include <algorithm>
#include <new>
#include <vector>

#include "geometry/triangulate_check.h"
#include "geometry/triangulate_context.h"
#include "geometry/triangulate_cover.h"
#include "geometry/triangulate_debug.h"
#include "geometry/triangulate_holes.h"
#include "geometry/triangulate_nodes.h"
#include "geometry/triangulate_pieces.h"
#include "geometry/triangulate_splice.h"
#include "geometry/triangulate_sweep.h"

namespace modra {

using namespace triangulation;

class TriangulatorState {
 public:
  explicit TriangulatorState(const DebugSettings& debug) : log(debug) {}

  DebugLog log;
  Context context;
  std::vector<float> emitted;  // the three vertices handed to the sink
  int runCount = 0;
  bool running = false;
};

namespace {

// Far below what memory allows, and small enough that node counts with
// every copy (at most five per vertex) stay inside an int.
constexpr int kMaxVertices = 1 << 26;
constexpr int kMaxExtraFloats = 1 << 16;

// Contour ends must rise strictly, the first contour needing 3 points.
int CountVertices(const int* contourEnds, int contourCount) {
  int last = -1;
  for (int k = 0; k < contourCount; ++k) {
    const int end = contourEnds[k];
    if (end <= last || (k == 0 && end < 2) || end >= kMaxVertices) return -1;
    last = end;
  }
  return last + 1;
}

// Steps 5 to 8: the sweep, the joins, the pieces and their triangles.
int Decompose(Context& c) {
  int status = SweepTrapezoids(c);
  if (status != kOk) return status;
  // every copy comes from a diagonal's end; room for them all up front
  c.nodes.reserve(c.nodes.size() + 2 * c.diagonals.size());
  int rings = 0;
  for (int k = 0; k < c.contourCount; ++k) {
    if (c.contours[k].dropped) continue;
    ContourOrientation(c, k);
    ++rings;
  }
  if (rings > 1) {
    status = JoinHoles(c);
    if (status != kOk) return status;
    // note: a contour no diagonal reached lies outside the outer one or
    // inside a hole; it is not a hole of this polygon, and the robust path
    // reads such nesting by the even-odd rule
    rings = 0;
    for (const Contour& contour : c.contours)
      rings += contour.merged || contour.dropped ? 0 : 1;
    if (rings != 1) return kSweepFailed;
  }
  return CutAndClip(c);
}

// What the run gives when checking was skipped and the sweep failed: a
// fan over the input order.
void Fan(Context& c) {
  c.triangles.clear();
  for (int i = 0; i + 2 < c.vertexCount; ++i)
    c.triangles.insert(c.triangles.end(), {0, i + 1, i + 2});
}

// The failing polygon on the debug stream, when failures are shown and the
// run's number is due; whether it was dumped.
bool Dump(TriangulatorState& s) {
  const DebugSettings& debug = s.log.settings();
  if (!debug.showFailures || s.runCount % debug.dumpEvery != 0) return false;
  s.log.DumpPolygon(s.context);
  return true;
}

}  // namespace

Triangulator::Triangulator(const DebugSettings& debug) : state_(new TriangulatorState(debug)) {}
Triangulator::~Triangulator() {
  delete state_;
}

int Triangulator::Run(const float* vertices, const int* contourEnds, int contourCount,
                      int extraFloats, const TriangleSink& emit) {
  TriangulatorState& s = *state_;
  // note: a sink that runs this same triangulator again would pull the
  // buffers from under the emission loop
  if (s.running) return -1;
  ++s.runCount;
  if (!vertices || !contourEnds || contourCount <= 0 || contourCount > kMaxVertices ||
      extraFloats < 0 || extraFloats > kMaxExtraFloats)
    return -1;
  const int n = CountVertices(contourEnds, contourCount);
  if (n < 3) return -1;

  s.running = true;
  Context& c = s.context;
  const DebugSettings& debug = s.log.settings();
  c.log = &s.log;
  c.vertices = vertices;
  c.stride = 3 + extraFloats;
  c.vertexCount = n;
  c.contourCount = contourCount;
  c.hints = contourCount == 1 ? kHintsOneContour : kHintsHoles;
  c.triangles.clear();
  c.triangleCapacity = static_cast<size_t>(n) + 2 * static_cast<size_t>(contourCount) - 2;
  bool built = false, dumped = false;
  int status;
  try {
    c.nodes.reserve(static_cast<size_t>(n) * 3);
    c.triangles.reserve(c.triangleCapacity * 3);
    s.emitted.resize(static_cast<size_t>(c.stride) * 3);
    status = BuildNodes(c, contourEnds);
    built = true;
    if (status == kOk) SortNodes(c);
    const bool check = !debug.hintsSimple;
    if (status == kOk && check) status = MergeRepeatedPoints(c);
    bool refused = false;
    if (status == kOk && check) refused = CheckCrossings(c) != kOk;
    if (status == kOk && !refused) {
      status = Decompose(c);
      if (status == kSweepFailed && check) refused = true;
      if (status == kSweepFailed && !check) {
        Fan(c);
        status = kOk;
      }
    }
    if (refused) {
      // note: the polygon touches or crosses itself, or its rings nest
      // other than as one outer ring with holes; it is dumped as a failure
      // is, and the robust path covers it
      dumped = Dump(s);
      status = CoverRobustly(c);
    }
  } catch (const std::bad_alloc&) {
    status = kFailed;
  }

  if (status != kOk) {
    if (built && !dumped) Dump(s);
    s.running = false;
    return -1;
  }
  if (debug.showTriangles) s.log.DumpTriangles(c);
  // note: the sink may throw; the triangulator must stay usable after it
  struct Done {
    bool& running;
    ~Done() { running = false; }
  } done{s.running};
  const size_t vertexFloats = static_cast<size_t>(c.stride);
  if (emit) {
    for (size_t t = 0; t + 2 < c.triangles.size(); t += 3) {
      for (int k = 0; k < 3; ++k)
        std::copy_n(c.Vertex(c.triangles[t + k]), vertexFloats,
                    s.emitted.data() + k * vertexFloats);
      emit(s.emitted.data());
    }
  }
  return 0;
}

int Triangulate(const float* vertices, const int* contourEnds, int contourCount, int extraFloats,
                const TriangleSink& emit) {
  Triangulator t;
  return t.Run(vertices, contourEnds, contourCount, extraFloats, emit);
}

}  // namespace modra
