#include "formats/import_mesh.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>
#include <stdexcept>

#include "document/document.h"
#include "formats/parallel_slices.h"
#include "io/finite_values.h"
#include "io/huge_pages.h"
#include "scene/group_fields.h"

namespace modra {
namespace {

float Dot(const Vec3& a, const Vec3& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
// Divided by its length, unless that is 0.
Vec3 Unit(const Vec3& v) {
  float len = std::sqrt(Dot(v, v));
  return len == 0 ? v : Vec3{v[0] / len, v[1] / len, v[2] / len};
}

bool ValidVertex(const ImportMesh& m, int32_t v) {
  return v >= 0 && static_cast<size_t>(v) < m.meshVertices.size();
}

using DVec3 = std::array<double, 3>;

DVec3 UnitD(DVec3 v) {
  const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  return len == 0 ? v : DVec3{v[0] / len, v[1] / len, v[2] / len};
}

// b x a for sign -1, of the unit edges from p0. In double: the difference
// and the squares of coordinates near float's limits overflow a float, and
// an infinite edge would make the normal NaN.
Vec3 FaceNormal(const Vec3& p0, const Vec3& p1, const Vec3& p2, float sign) {
  const DVec3 a = UnitD({double(p1[0]) - p0[0], double(p1[1]) - p0[1], double(p1[2]) - p0[2]});
  const DVec3 b = UnitD({double(p2[0]) - p0[0], double(p2[1]) - p0[1], double(p2[2]) - p0[2]});
  const DVec3 n = UnitD({(a[1] * b[2] - a[2] * b[1]) * sign, (a[2] * b[0] - a[0] * b[2]) * sign,
                         (a[0] * b[1] - a[1] * b[0]) * sign});
  return {static_cast<float>(n[0]), static_cast<float>(n[1]), static_cast<float>(n[2])};
}

// Every number a reader staged, made finite before anything is computed
// from it: a coordinate goes to the origin, a texture coordinate to 0 and a
// material value to the value a new object starts with. A face whose file
// normals are not all finite gets its normals made, as a face without any.
void ReplaceNonFiniteValues(ImportMesh& m) {
  for (Vec3& p : m.meshVertices)
    ReplaceNonFinite(p);
  for (std::array<float, 2>& st : m.meshTexCoords)
    ReplaceNonFinite(st);
  ReplaceNonFinite(m.defaultTexCoord);
  // Only a normal that is not finite takes a face's normals away.
  const bool allNormalsFinite = std::all_of(m.meshNormals.begin(), m.meshNormals.end(),
                                            [](const Vec3& n) { return AllFinite(n); });
  if (!allNormalsFinite && m.cornerNormals.size() == m.faces.size())
    for (size_t f = 0; f < m.faces.size(); ++f) {
      MeshFace& face = m.faces[f];
      for (int k = 0; face.hasNormals && k < face.cornerCount; ++k) {
        const int32_t n = m.cornerNormals[f][k];
        if (n >= 0 && static_cast<size_t>(n) < m.meshNormals.size() && !AllFinite(m.meshNormals[n]))
          face.hasNormals = false;
      }
    }
  const MeshObject fresh;
  for (MeshObject& o : m.objects) {
    for (int i = 0; i < 3; ++i)
      o.color[i] = FiniteOr(o.color[i], fresh.color[i]);
    o.alpha = FiniteOr(o.alpha, fresh.alpha);
    o.specularLevel = FiniteOr(o.specularLevel, fresh.specularLevel);
    o.shininess = FiniteOr(o.shininess, fresh.shininess);
  }
}

// Each (vertex, face) link in the order the reader made it.
template <class F>
void ForEachLink(const ImportMesh& m, F&& link) {
  if (!m.linksFollowFaces) {
    for (auto [v, f] : m.vertexFaceLinks)
      link(v, f);
    return;
  }
  for (size_t f = 0; f < m.faces.size(); ++f) {
    const MeshFace& face = m.faces[f];
    const int first = face.fanContinued ? face.cornerCount - 1 : 0;
    for (int k = first; k < face.cornerCount; ++k)
      link(face.cornerVertices[k], static_cast<int32_t>(f));
  }
}

// Per-vertex face lists, in the order the reader linked them.
void LinkVerticesToFaces(ImportMesh& m) {
  const size_t vertices = m.meshVertices.size();
  ResizeForFill(m.vertexFaceStart, vertices + 1);
  auto valid = [&](int32_t v, int32_t f) {
    return v >= 0 && static_cast<size_t>(v) < vertices && f >= 0 &&
           static_cast<size_t>(f) < m.faces.size();
  };
  ForEachLink(m, [&](int32_t v, int32_t f) {
    if (valid(v, f)) ++m.vertexFaceStart[v + 1];
  });
  for (size_t v = 0; v < vertices; ++v)
    m.vertexFaceStart[v + 1] += m.vertexFaceStart[v];
  ResizeForFill(m.vertexFaceList, static_cast<size_t>(m.vertexFaceStart[vertices]));
  std::vector<int32_t> fill(m.vertexFaceStart.begin(), m.vertexFaceStart.end() - 1);
  ForEachLink(m, [&](int32_t v, int32_t f) {
    if (valid(v, f)) m.vertexFaceList[fill[v]++] = f;
  });
}

// Faces a thread takes at a time.
constexpr size_t kSliceFaces = size_t{1} << 14;
size_t Slices(size_t faces) {
  return (faces + kSliceFaces - 1) / kSliceFaces;
}

template <class F>
int Guarded(F&& f) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    return -1;
  } catch (const std::length_error&) {
    return -1;
  }
}

Vec3 FaceColor(const ImportMesh& m, const MeshFace& f) {
  if (f.colorObject >= 0 && static_cast<size_t>(f.colorObject) < m.objects.size())
    return m.objects[f.colorObject].color;
  return kUncoloredPartColor;
}

}  // namespace

void ResetImportMesh(ImportMesh& m) {
  m = ImportMesh{};
}

int AddPart(ImportMesh& m, std::string_view name) {
  return Guarded([&] {
    if (!m.parts.empty()) {
      MeshPart& last = m.parts.back();
      if (last.entries.size() == 1 && last.entries[0].faces.empty()) {
        last.name = name;
        return 0;
      }
    }
    MeshPart part;
    part.name = name;
    // A new part starts with one empty entry, so that faces can go to
    // entry 0 at once and a part that never got any can be renamed.
    part.entries.push_back({0, {}});
    m.parts.push_back(std::move(part));
    return 0;
  });
}

int FindOrAddPart(ImportMesh& m, std::string_view name) {
  for (size_t i = 0; i < m.parts.size(); ++i)
    if (m.parts[i].name == name) return static_cast<int>(i);
  if (AddPart(m, name) != 0) return -1;
  return static_cast<int>(m.parts.size()) - 1;
}

int AddSmoothEntry(ImportMesh& m, int part, int32_t key) {
  if (part < 0 || static_cast<size_t>(part) >= m.parts.size()) return -1;
  return Guarded([&] {
    std::vector<SmoothEntry>& entries = m.parts[part].entries;
    if (!entries.empty() && entries.back().faces.empty())
      entries.back().key = key;
    else
      entries.push_back({key, {}});
    return 0;
  });
}

int FindOrAddSmoothEntry(ImportMesh& m, int part, int32_t key) {
  if (part < 0 || static_cast<size_t>(part) >= m.parts.size()) return -1;
  const std::vector<SmoothEntry>& entries = m.parts[part].entries;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].key == key) return static_cast<int>(i);
  if (AddSmoothEntry(m, part, key) != 0) return -1;
  return static_cast<int>(m.parts[part].entries.size()) - 1;
}

int AddFaceToEntry(ImportMesh& m, int part, int entry, int face) {
  if (part < 0 || static_cast<size_t>(part) >= m.parts.size()) return -1;
  std::vector<SmoothEntry>& entries = m.parts[part].entries;
  if (entry < 0 || static_cast<size_t>(entry) >= entries.size()) return -1;
  return Guarded([&] {
    entries[entry].faces.push_back(face);
    return 0;
  });
}

int AddVertexFace(ImportMesh& m, int face, int vertex) {
  return Guarded([&] {
    m.vertexFaceLinks.emplace_back(vertex, face);
    return 0;
  });
}

int ComputeVertexNormals(ImportMesh& m, float sign) {
  return Guarded([&] {
    ReplaceNonFiniteValues(m);
    m.faceNormals.clear();
    m.vertexFaceStart.clear();
    m.vertexFaceList.clear();
    // A corner whose normal came from the file never asks for the others.
    const bool made = std::any_of(m.faces.begin(), m.faces.end(),
                                  [](const MeshFace& f) { return !f.hasNormals; });
    if (made) {
      // Large tables filled at once: in huge pages, which fault in far faster.
      ResizeForFill(m.faceNormals, m.faces.size());
      RunSlices(Slices(m.faces.size()), ThreadsFor(m.faces.size(), kSliceFaces), [&](size_t i) {
        const size_t end = std::min(m.faces.size(), (i + 1) * kSliceFaces);
        for (size_t f = i * kSliceFaces; f < end; ++f) {
          const auto& c = m.faces[f].cornerVertices;
          if (!ValidVertex(m, c[0]) || !ValidVertex(m, c[1]) || !ValidVertex(m, c[2])) continue;
          m.faceNormals[f] =
              FaceNormal(m.meshVertices[c[0]], m.meshVertices[c[1]], m.meshVertices[c[2]], sign);
        }
      });
      LinkVerticesToFaces(m);
    }
    m.vertexFaceLinks.clear();
    m.vertexFaceLinks.shrink_to_fit();
    return 0;
  });
}

Vec3 CornerNormal(const ImportMesh& m, int face, int corner) {
  const MeshFace& f = m.faces[face];
  if (f.hasNormals) {
    if (m.cornerNormals.size() == m.faces.size()) {
      int32_t n = m.cornerNormals[face][corner];
      if (n >= 0 && static_cast<size_t>(n) < m.meshNormals.size()) return m.meshNormals[n];
    }
    return {0, 0, 0};
  }
  if (m.faceNormals.size() != m.faces.size()) return {0, 0, 0};
  const Vec3& own = m.faceNormals[face];
  if (f.partIndex < 0 || static_cast<size_t>(f.partIndex) >= m.parts.size()) return own;
  const MeshPart& part = m.parts[f.partIndex];
  if (f.entryIndex < 0 || static_cast<size_t>(f.entryIndex) >= part.entries.size()) return own;
  if (part.entries[f.entryIndex].key == -1) return own;
  const int32_t v = f.cornerVertices[corner];
  if (v < 0 || static_cast<size_t>(v) + 1 >= m.vertexFaceStart.size()) return own;
  Vec3 sum = own;
  int count = 1;
  for (int32_t i = m.vertexFaceStart[v]; i < m.vertexFaceStart[v + 1]; ++i) {
    const int32_t g = m.vertexFaceList[i];
    if (g == face) continue;
    const MeshFace& other = m.faces[g];
    if (other.partIndex != f.partIndex || other.entryIndex != f.entryIndex) continue;
    const Vec3& n = m.faceNormals[g];
    if (f.creaseCos != kNoCreaseTest && !(Dot(own, n) > f.creaseCos)) continue;
    sum = {sum[0] + n[0], sum[1] + n[1], sum[2] + n[2]};
    ++count;
  }
  return Unit({sum[0] / count, sum[1] / count, sum[2] / count});
}

void NormalizeMeshSize(ImportMesh& m) {
  std::vector<char> used(m.meshVertices.size(), 0);
  int32_t first = -1;
  for (const MeshFace& f : m.faces)
    for (int k = 0; k < f.cornerCount; ++k) {
      int32_t v = f.cornerVertices[k];
      if (!ValidVertex(m, v)) continue;
      used[v] = 1;
      if (first < 0) first = v;
    }
  if (first < 0) return;  // no corner at all
  // The extent of the corners is that of the positions they use, once
  // each. note: only the sign of a zero depends on the order the corners
  // come in, and only a side of zeros alone keeps it: the first corner's.
  Vec3 lo = {3e35f, 3e35f, 3e35f}, hi = {-3e35f, -3e35f, -3e35f};
  for (size_t v = 0; v < used.size(); ++v)
    if (used[v])
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], m.meshVertices[v][i]);
        hi[i] = std::max(hi[i], m.meshVertices[v][i]);
      }
  for (int i = 0; i < 3; ++i)
    if (lo[i] == 0 && hi[i] == 0) lo[i] = hi[i] = m.meshVertices[first][i];
  // In double: the extent and centre of a model near float's limits would
  // overflow a float.
  const DVec3 extent = {double(hi[0]) - lo[0], double(hi[1]) - lo[1], double(hi[2]) - lo[2]};
  int axis = extent[1] >= extent[0] ? 1 : 0;
  if (extent[2] > extent[axis]) axis = 2;
  // A model without extent (one point) is only centred.
  const double s = extent[axis] > 0 ? 2.0 / extent[axis] : 1.0;
  const DVec3 c = {(double(lo[0]) + hi[0]) * 0.5, (double(lo[1]) + hi[1]) * 0.5,
                   (double(lo[2]) + hi[2]) * 0.5};
  for (size_t v = 0; v < m.meshVertices.size(); ++v)
    if (used[v])
      for (int i = 0; i < 3; ++i)
        m.meshVertices[v][i] = static_cast<float>((m.meshVertices[v][i] - c[i]) * s);
}

void AssignObjectsToParts(ImportMesh& m) {
  for (MeshPart& part : m.parts) {
    int32_t object = 0;
    bool first = true, same = true;
    if (!part.entries.empty() && !part.entries[0].faces.empty()) {
      for (const SmoothEntry& e : part.entries)
        for (int32_t f : e.faces) {
          int32_t o = m.faces[f].objectIndex;
          if (first) {
            object = o;
            first = false;
          } else if (o != object) {
            same = false;
          }
        }
    }
    // A material number that names no object leaves the part its own values.
    if (!same || object < 0 || static_cast<size_t>(object) >= m.objects.size()) continue;
    const MeshObject& o = m.objects[object];
    part.objectName = o.name;
    part.colorSource = o.number;
    part.color[0] = o.color[0];
    part.color[1] = o.color[1];
    part.color[2] = o.color[2];
    part.color[3] = o.alpha;
    part.specularLevel = o.specularLevel;
    part.shininess = o.shininess;
  }
}

namespace {

// A part's faces in drawing order (its entries one after the other), cut
// into slices that threads fill apart: each slice first finds the runs of
// one corner count it holds and the extent of its positions, then writes
// its corners where the runs before it end.
class PartFiller {
 public:
  PartFiller(DisplayGroup& group, const ImportMesh& m, const MeshPart& part, bool centre)
      : group_(group), m_(m), part_(part), centre_(centre) {
    starts_.push_back(0);
    for (const SmoothEntry& e : part.entries)
      starts_.push_back(starts_.back() + e.faces.size());
    slices_.resize((starts_.back() + kSliceFaces - 1) / kSliceFaces);
    stride_ = static_cast<size_t>(VertexStride(group));
    colors_ = group.flags & VertexColors;
    texCoords_ = group.flags & TexCoords;
    tableCoords_ = m.cornerTexCoords.size() == m.faces.size();
    fileNormals_ = m.cornerNormals.size() == m.faces.size();
  }

  // The steps, in this order; those taking an index may run on several
  // threads at once, each index once.
  size_t slices() const { return slices_.size(); }
  bool Survey(size_t i);  // false when memory runs out
  void Layout();
  size_t primitives() const { return group_.primitives.size(); }
  bool Allocate(size_t p);  // false when memory runs out
  void Write(size_t i);
  void Place();

 private:
  struct Slice {
    std::vector<std::pair<int32_t, size_t>> runs;  // (primitive type, corners)
    Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
    bool any = false;
    size_t prim = 0, offset = 0;  // where its first corner goes
    Vec3 boxLo = {1e30f, 1e30f, 1e30f}, boxHi = {-1e30f, -1e30f, -1e30f};
  };

  // The smaller and larger of what came before and what follows, as one
  // walk in order would keep them: an equal value never replaces one
  // kept, which decides between 0 and -0.
  static void Widen(Vec3& lo, Vec3& hi, const Vec3& nextLo, const Vec3& nextHi) {
    for (int i = 0; i < 3; ++i) {
      lo[i] = std::min(lo[i], nextLo[i]);
      hi[i] = std::max(hi[i], nextHi[i]);
    }
  }

  template <class F>
  void ForEachFace(size_t slice, F&& f) const {
    const size_t begin = slice * kSliceFaces, end = std::min(starts_.back(), begin + kSliceFaces);
    size_t e = static_cast<size_t>(std::upper_bound(starts_.begin(), starts_.end(), begin) -
                                   starts_.begin()) -
               1;
    for (size_t i = begin; i < end; ++e) {
      const std::vector<int32_t>& faces = part_.entries[e].faces;
      for (const size_t stop = std::min(end, starts_[e + 1]); i < stop; ++i)
        f(faces[i - starts_[e]]);
    }
  }

  // CornerNormal, with the file's normals found without a call.
  Vec3 FileNormal(const MeshFace& f, int32_t fi, int k) const {
    if (f.hasNormals && fileNormals_) {
      const int32_t n = m_.cornerNormals[fi][k];
      if (n >= 0 && static_cast<size_t>(n) < m_.meshNormals.size()) return m_.meshNormals[n];
    }
    return CornerNormal(m_, fi, k);
  }

  Vec3 Position(int32_t v) const { return ValidVertex(m_, v) ? m_.meshVertices[v] : Vec3{0, 0, 0}; }

  void SurveySlice(size_t i) {
    Slice& slice = slices_[i];
    ForEachFace(i, [&](int32_t fi) {
      const MeshFace& f = m_.faces[fi];
      const int32_t type = f.cornerCount == 3 ? kTriangles : kQuads;
      if (slice.runs.empty() || slice.runs.back().first != type) slice.runs.emplace_back(type, 0);
      slice.runs.back().second += f.cornerCount;
      slice.any = true;
      if (!centre_) return;
      for (int k = 0; k < f.cornerCount; ++k) {
        const Vec3 p = Position(f.cornerVertices[k]);
        Widen(slice.lo, slice.hi, p, p);
      }
    });
  }

  void WriteSlice(size_t i) {
    const Vec3& c = placedCentre_;
    Slice& slice = slices_[i];
    if (slice.runs.empty()) return;
    std::vector<DisplayPrimitive>& prims = group_.primitives;
    size_t prim = slice.prim;
    float* out = out_[prim] + slice.offset;
    ForEachFace(i, [&](int32_t fi) {
      const MeshFace& f = m_.faces[fi];
      const int32_t type = f.cornerCount == 3 ? kTriangles : kQuads;
      if (prims[prim].type != type) out = out_[++prim];
      const Vec3 rgb = FaceColor(m_, f);
      for (int k = 0; k < f.cornerCount; ++k) {
        const Vec3 p = Position(f.cornerVertices[k]);
        const Vec3 q = {p[0] - c[0], p[1] - c[1], p[2] - c[2]};
        Widen(slice.boxLo, slice.boxHi, q, q);
        out = std::copy(q.begin(), q.end(), out);
        if (colors_) out = std::copy(rgb.begin(), rgb.end(), out);
        const Vec3 n = FileNormal(f, fi, k);
        out = std::copy(n.begin(), n.end(), out);
        if (texCoords_) {
          std::array<float, 2> st = m_.defaultTexCoord;
          if (tableCoords_) {
            int32_t t = m_.cornerTexCoords[fi][k];
            if (t >= 0 && static_cast<size_t>(t) < m_.meshTexCoords.size())
              st = m_.meshTexCoords[t];
          }
          out = std::copy(st.begin(), st.end(), out);
        }
      }
    });
  }

  DisplayGroup& group_;
  const ImportMesh& m_;
  const MeshPart& part_;
  bool centre_;
  std::vector<size_t> starts_;  // of each entry's faces, and the end
  std::vector<Slice> slices_;
  std::vector<float*> out_;        // each primitive's floats
  std::vector<size_t> corners_;    // each primitive's corners
  Vec3 placedCentre_ = {0, 0, 0};  // what Place puts in the translation
  size_t stride_ = 0;
  bool colors_ = false, texCoords_ = false, tableCoords_ = false, fileNormals_ = false;
};

bool PartFiller::Survey(size_t i) {
  try {
    SurveySlice(i);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// Corners of one corner count in a row share a primitive: drawn the same
// as one primitive a face, at a fraction of the memory.
void PartFiller::Layout() {
  std::vector<DisplayPrimitive>& prims = group_.primitives;
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  bool any = false;
  for (Slice& slice : slices_) {
    for (size_t r = 0; r < slice.runs.size(); ++r) {
      const auto [type, count] = slice.runs[r];
      if (prims.empty() || prims.back().type != type) {
        prims.emplace_back();
        prims.back().type = type;
        corners_.push_back(0);
      }
      if (r == 0) {
        slice.prim = prims.size() - 1;
        slice.offset = corners_.back() * stride_;
      }
      corners_.back() += count;
    }
    Widen(lo, hi, slice.lo, slice.hi);
    any = any || slice.any;
  }
  out_.assign(prims.size(), nullptr);
  // CenterGroupGeometry's centre, of the positions as they are drawn.
  if (centre_ && any)
    placedCentre_ = {(lo[0] + hi[0]) * 0.5f, (lo[1] + hi[1]) * 0.5f, (lo[2] + hi[2]) * 0.5f};
}

bool PartFiller::Allocate(size_t p) {
  DisplayPrimitive& prim = group_.primitives[p];
  try {
    std::vector<float>& out = prim.vertices.Mutable();
    const size_t floats = corners_[p] * stride_;
    out.reserve(floats);
    AdviseHugePages(out.data(), floats * sizeof(float));
    out.resize(floats);
    prim.vertexCount = static_cast<int32_t>(corners_[p]);
    out_[p] = out.data();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
}

void PartFiller::Write(size_t i) {
  WriteSlice(i);
}

void PartFiller::Place() {
  if (!centre_) return;
  // ComputeBoundingBox's box, of what was written.
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  for (const Slice& slice : slices_)
    Widen(lo, hi, slice.boxLo, slice.boxHi);
  if (group_.primitives.empty()) lo = hi = {0, 0, 0};
  group_.translation = placedCentre_;
  group_.bboxMin = lo;
  group_.bboxMax = hi;
}

// Fills the groups made for the parts, all parts' slices handed out to
// the threads together.
int FillGroups(Scene& s, const ImportMesh& m, const std::vector<int>& groups, bool centre) {
  std::vector<PartFiller> fillers;
  fillers.reserve(groups.size());
  for (size_t p = 0; p < groups.size(); ++p)
    fillers.emplace_back(s.groups[groups[p]], m, m.parts[p], centre);
  std::vector<std::pair<size_t, size_t>> slices;
  for (size_t p = 0; p < fillers.size(); ++p)
    for (size_t i = 0; i < fillers[p].slices(); ++i)
      slices.emplace_back(p, i);
  const unsigned threads = ThreadsFor(m.faces.size(), kSliceFaces);
  std::atomic<bool> failed{false};
  RunSlices(slices.size(), threads, [&](size_t i) {
    if (!fillers[slices[i].first].Survey(slices[i].second)) failed = true;
  });
  if (failed) return -1;
  std::vector<std::pair<size_t, size_t>> prims;
  for (size_t p = 0; p < fillers.size(); ++p) {
    fillers[p].Layout();
    for (size_t q = 0; q < fillers[p].primitives(); ++q)
      prims.emplace_back(p, q);
  }
  // The new arrays are first touched here, on every core at once.
  RunSlices(prims.size(), threads, [&](size_t i) {
    if (!fillers[prims[i].first].Allocate(prims[i].second)) failed = true;
  });
  if (failed) return -1;
  RunSlices(slices.size(), threads,
            [&](size_t i) { fillers[slices[i].first].Write(slices[i].second); });
  for (size_t p = 0; p < fillers.size(); ++p) {
    fillers[p].Place();
    if (centre) BuildGroupMatrix(s, groups[p]);
  }
  return 0;
}

int BuildGroups(Scene& s, const ImportMesh& m, const std::string& fileName, bool append,
                bool whiteUncoloredParts, int oldRoot, bool centre) {
  int firstMade = -1;
  std::vector<int> made;  // each part's group
  for (const MeshPart& part : m.parts) {
    int g = NewGroup(s, part.name);
    if (g == -1) return -1;
    if (firstMade == -1) firstMade = g;
    DisplayGroup& group = s.groups[g];
    group.flags = part.flags | NeedsCentering;
    float color[4] = {part.color[0], part.color[1], part.color[2], part.color[3]};
    if (part.colorSource == -1) {
      if (whiteUncoloredParts)
        color[0] = color[1] = color[2] = color[3] = 1;
      else
        group.flags |= VertexColors;
    }
    SetColor(s, g, color[0], color[1], color[2]);
    group.alpha = color[3];
    if (part.colorSource == -1) {
      group.specular = {0.5f, 0.5f, 0.5f};
      group.shininess = 15;
    } else {
      group.specular = {part.specularLevel, part.specularLevel, part.specularLevel};
      SetShininess(s, g, part.shininess);
    }
    group.matrix = part.matrix;
    group.center = part.center;
    group.centerRotation = part.centerRotation;
    group.rotation = part.rotation;
    group.translation = part.translation;
    group.scale = part.scale;
    group.textureTransform = {0, 0, 0, 0, 0, 0, 1, 1, 1};
    group.textureIndex = part.textureIndex;
    made.push_back(g);
  }
  if (FillGroups(s, m, made, centre) != 0) return -1;

  if (append && firstMade != -1) {
    const int newest = s.rootHead;
    std::string_view stem = fileName;
    size_t slash = stem.find_last_of("/\\");
    if (slash != std::string_view::npos) stem.remove_prefix(slash + 1);
    stem = stem.substr(0, stem.find('.'));
    int wrapper = NewGroup(s, stem);
    if (wrapper == -1) return -1;
    s.groups[wrapper].child = newest;
    s.groups[wrapper].next = oldRoot;
    s.groups[firstMade].next = -1;
  }
  return 0;
}

}  // namespace

namespace {

int Build(Document& doc, const ImportMesh& m, const std::string& fileName, bool append,
          bool whiteUncoloredParts, bool centre) {
  Scene& s = doc.scene;
  if (!append) ClearScene(s);
  const int oldRoot = s.rootHead;
  if (append && m.parts.empty()) return 0;  // nothing came in: no empty file group either
  if (BuildGroups(s, m, fileName, append, whiteUncoloredParts, oldRoot, centre) == 0) return 0;
  // Half a model is worse than none: every group made so far sits ahead of
  // the old top level, so cutting the list there takes them all away.
  std::vector<int> made;
  for (int g = s.rootHead; g != oldRoot && g != -1; g = s.groups[g].next)
    made.push_back(g);
  s.rootHead = oldRoot;
  for (int g : made)
    ReleaseGroup(s, g);
  return -1;
}

}  // namespace

int BuildGroupsFromMesh(Document& doc, const ImportMesh& m, const std::string& fileName,
                        bool append, bool whiteUncoloredParts) {
  return Build(doc, m, fileName, append, whiteUncoloredParts, false);
}

int BuildPlacedGroupsFromMesh(Document& doc, const ImportMesh& m, const std::string& fileName,
                              bool append, bool whiteUncoloredParts) {
  return Build(doc, m, fileName, append, whiteUncoloredParts, true);
}

void CenterGroupGeometry(Scene& s, int g) {
  DisplayGroup& group = s.groups[g];
  if (!(group.flags & NeedsCentering)) return;
  const size_t stride = VertexStride(group);
  Vec3 lo = {1e30f, 1e30f, 1e30f}, hi = {-1e30f, -1e30f, -1e30f};
  bool any = false;
  for (const DisplayPrimitive& prim : group.primitives)
    for (size_t v = 0; v + stride <= prim.vertices.size(); v += stride) {
      any = true;
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], prim.vertices[v + i]);
        hi[i] = std::max(hi[i], prim.vertices[v + i]);
      }
    }
  Vec3 c = {0, 0, 0};
  if (any) c = {(lo[0] + hi[0]) * 0.5f, (lo[1] + hi[1]) * 0.5f, (lo[2] + hi[2]) * 0.5f};
  for (DisplayPrimitive& prim : group.primitives) {
    std::vector<float>& vertices = prim.vertices.Mutable();
    for (size_t v = 0; v + stride <= vertices.size(); v += stride)
      for (int i = 0; i < 3; ++i)
        vertices[v + i] -= c[i];
  }
  group.translation = c;
  BuildGroupMatrix(s, g);
}

}  // namespace modra
