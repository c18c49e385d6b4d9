#include "formats/dxf_reader.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "formats/dxf_blocks.h"
#include "formats/dxf_groups.h"
#include "formats/import_mesh.h"
#include "io/file_bytes.h"
#include "io/huge_pages.h"

namespace modra {
namespace {

constexpr size_t kMaxPolylineVertices = 10000;
constexpr int32_t kPolygonMeshFlag = 16;
constexpr int32_t kPolyfaceMeshFlag = 64;
// Of a VERTEX: 128 alone marks a polyface face record.
constexpr int32_t kFaceRecordFlag = 128;
constexpr int32_t kMeshVertexFlag = 64;
// A placement costs this much of the block text budget even for an empty
// block, so that big arrays of nothing end too.
constexpr size_t kPlacementCost = 256;
// After this many faces the tables are sized for the whole file at once.
constexpr size_t kFacesBeforeEstimate = 4096;
// No face takes fewer bytes of a real file than this; a file that makes
// faces faster repeats a polygon mesh, and its tables just grow.
constexpr size_t kFewestBytesPerFace = 32;

// What all the text read for one file shares: the mesh, the blocks and
// the budgets of the placements.
struct DxfFile {
  DxfFile(ImportMesh& mesh, std::span<const uint8_t> bytes, const DxfLimits& l)
      : m(mesh), fileSize(bytes.size()), limits(l) {}

  ImportMesh& m;
  size_t fileSize;
  DxfLimits limits;
  std::vector<dxf::BlockDefinition> blocks;
  // The blocks being placed, innermost last: a block may not place itself.
  std::vector<const dxf::BlockDefinition*> placing;
  size_t placedFaces = 0, placedText = 0;
};

// One run of entities: the file's own, or a block's body for one placement.
struct DxfReader {
  DxfReader(DxfFile& file, std::span<const uint8_t> bytes)
      : f(file), m(file.m), groups(bytes), maxVertices(file.limits.maxVertices) {}

  DxfFile& f;
  ImportMesh& m;
  dxf::GroupReader groups;
  size_t maxVertices;
  // Where this run's points go; the file's own points stay as they are.
  bool placed = false;
  dxf::Placement placement;
  // The last POLYLINE's header and the vertices read since it, in DXF axes;
  // for a polyface mesh the points, and its face records beside.
  bool polylineRead = false;
  int32_t flags = 0, meshM = 1, meshN = 1;
  std::vector<Vec3> polyline;
  std::vector<std::array<int32_t, 4>> polyfaces;
};

// The default object and the one flat part every face goes to. 0 or -2.
int StartMesh(ImportMesh& m) {
  ResetImportMesh(m);
  try {
    m.objects.emplace_back();  // white, specular 0.5, shininess 15
  } catch (const std::bad_alloc&) {
    return -2;
  }
  // "None" is renamed by the second AddPart, as every reader starts with it.
  if (AddPart(m, "None") != 0 || AddPart(m, "") != 0 || AddSmoothEntry(m, 0, -1) != 0) return -2;
  return 0;
}

template <class T>
void ReserveAndAdvise(std::vector<T>& v, size_t n) {
  if (n <= v.capacity()) return;
  v.reserve(n);
  AdviseHugePages(v.data() + v.size(), (n - v.size()) * sizeof(T));
}

// Sizes the tables for the faces that the rest of the file will likely
// make, judged by the bytes each face has taken so far: growing them by
// doubling would copy and fault in each table several times over.
void ReserveForTheRest(DxfReader& r) {
  ImportMesh& m = r.m;
  // note: only the file's own run sizes them: how far a block's body has
  // been read says nothing of the rest of the file.
  const size_t faces = m.faces.size(), remaining = r.groups.Remaining();
  const size_t bytesPerFace = (r.f.fileSize - remaining) / faces;
  if (bytesPerFace < kFewestBytesPerFace) return;
  const size_t expected = faces + remaining / bytesPerFace + remaining / bytesPerFace / 16;
  const size_t vertices = expected * m.meshVertices.size() / faces;
  if (vertices > r.maxVertices) return;
  try {
    ReserveAndAdvise(m.faces, expected);
    ReserveAndAdvise(m.parts[0].entries[0].faces, expected);
    ReserveAndAdvise(m.meshVertices, vertices);
  } catch (const std::bad_alloc&) {
    // Growing as needed may still fit.
  } catch (const std::length_error&) {
  }
}

// One face whose corners (DXF axes) get new vertices. 0 or -3.
int AddFace(DxfReader& r, const Vec3* corners, int count) {
  ImportMesh& m = r.m;
  if (m.meshVertices.size() + count > r.maxVertices) return -3;
  if (r.placed && ++r.f.placedFaces > r.f.limits.maxPlacedFaces) return -3;
  if (m.faces.size() == kFacesBeforeEstimate && !r.placed) ReserveForTheRest(r);
  MeshFace face;
  face.cornerCount = static_cast<uint8_t>(count);
  face.creaseCos = 1.0f;
  face.objectIndex = 0;
  face.colorObject = -1;
  face.partIndex = 0;
  face.entryIndex = 0;
  for (int k = 0; k < count; ++k) {
    face.cornerVertices[k] = static_cast<int32_t>(m.meshVertices.size());
    const Vec3 c = r.placed ? dxf::Apply(r.placement, corners[k]) : corners[k];
    m.meshVertices.push_back({c[0], c[2], c[1]});
  }
  m.faces.push_back(face);
  return AddFaceToEntry(m, 0, 0, static_cast<int>(m.faces.size()) - 1) == 0 ? 0 : -3;
}

// Reads the groups of an entity up to the code 0 that starts the next one,
// which is given back. visit(group) sees the others. 0, or `atEnd` when the
// file ends first.
template <class Visit>
int ReadEntity(DxfReader& r, int atEnd, Visit&& visit) {
  dxf::Group g;
  for (;;) {
    if (!r.groups.Next(g)) return atEnd;
    if (g.code == 0) {
      r.groups.PushBack(g);
      return 0;
    }
    visit(g);
  }
}

int ReadFace(DxfReader& r) {
  Vec3 corners[4] = {};  // a coordinate the file leaves out is 0
  bool fourth = false;
  int result = ReadEntity(r, -2, [&](const dxf::Group& g) {
    // 10..13 x, 20..23 y, 30..33 z of corners 1..4.
    const int axis = g.code / 10 - 1, corner = g.code % 10;
    if (g.code < 10 || axis > 2 || corner > 3) return;
    corners[corner][axis] = g.Float();
    if (corner == 3) fourth = true;
  });
  if (result != 0) return result;
  return AddFace(r, corners, fourth ? 4 : 3);
}

int ReadPolyline(DxfReader& r) {
  r.flags = 0;
  r.meshM = 1;
  r.meshN = 1;
  int result = ReadEntity(r, -1, [&](const dxf::Group& g) {
    if (g.code == 70) r.flags = g.Int();
    if (g.code == 71) r.meshM = g.Int();
    if (g.code == 72) r.meshN = g.Int();
  });
  if (result != 0) return result;
  r.polyline.clear();
  r.polyfaces.clear();
  r.polylineRead = true;
  return 0;
}

int ReadVertex(DxfReader& r) {
  Vec3 v = {0, 0, 0};
  int32_t flags = 0;
  std::array<int32_t, 4> corners = {0, 0, 0, 0};
  int result = ReadEntity(r, -2, [&](const dxf::Group& g) {
    if (g.code == 10) v[0] = g.Float();
    if (g.code == 20) v[1] = g.Float();
    if (g.code == 30 || g.code == 38) v[2] = g.Float();  // 38: the elevation
    if (g.code == 70) flags = g.Int();
    if (g.code >= 71 && g.code <= 74) corners[g.code - 71] = g.Int();
  });
  if (result != 0) return result;
  if (r.polyline.size() + r.polyfaces.size() >= kMaxPolylineVertices) return -3;
  const bool polyface = r.polylineRead && (r.flags & kPolyfaceMeshFlag);
  if (polyface && (flags & kFaceRecordFlag) && !(flags & kMeshVertexFlag))
    r.polyfaces.push_back(corners);
  else
    r.polyline.push_back(v);
  return 0;
}

// The quadrilaterals of the last polygon mesh.
int MakeGridFaces(DxfReader& r) {
  const int64_t rows = r.meshM, columns = r.meshN;
  // note: a mesh that names more vertices than it has makes nothing, rather
  // than reading past the list; this also bounds i x N + j.
  if (rows < 2 || columns < 2 || rows * columns > static_cast<int64_t>(r.polyline.size())) return 0;
  const std::vector<Vec3>& v = r.polyline;
  for (int64_t i = 0; i + 1 < rows; ++i)
    for (int64_t j = 0; j + 1 < columns; ++j) {
      const int64_t k = i * columns + j;
      const Vec3 corners[4] = {v[k], v[k + 1], v[k + columns + 1], v[k + columns]};
      if (int result = AddFace(r, corners, 4); result != 0) return result;
    }
  return 0;
}

// The faces of the last polyface mesh. A record names its points from 1 on;
// a negative number only hides the edge that starts there.
int MakePolyfaceFaces(DxfReader& r) {
  const int64_t points = static_cast<int64_t>(r.polyline.size());
  for (const std::array<int32_t, 4>& record : r.polyfaces) {
    Vec3 corners[4];
    int count = 0;
    bool bad = false;
    for (int k = 0; k < 4; ++k) {
      const int64_t index = std::abs(static_cast<int64_t>(record[k]));
      if (index == 0) {
        // Only the fourth may be left unused.
        bad |= k < 3;
        continue;
      }
      if (index > points) bad = true;
      if (!bad) corners[count++] = r.polyline[index - 1];
    }
    if (bad) continue;
    if (int result = AddFace(r, corners, count); result != 0) return result;
  }
  return 0;
}

int MakeMeshFaces(DxfReader& r) {
  if (!r.polylineRead) return 0;
  if (r.flags & kPolyfaceMeshFlag) return MakePolyfaceFaces(r);
  if (r.flags & kPolygonMeshFlag) return MakeGridFaces(r);
  return 0;
}

int ReadRun(DxfReader& r);

// The faces of one INSERT: its block's body read again for each array cell.
int ReadInsert(DxfReader& r) {
  dxf::Insert insert;
  int result = ReadEntity(r, -2, [&](const dxf::Group& g) { dxf::ReadInsertGroup(insert, g); });
  if (result != 0) return result;
  // note: an INSERT without a name does not place a BLOCK without one.
  const dxf::BlockDefinition* block =
      insert.name.empty() ? nullptr : dxf::FindBlock(r.f.blocks, insert.name);
  if (!block) return 0;
  DxfFile& f = r.f;
  if (std::find(f.placing.begin(), f.placing.end(), block) != f.placing.end() ||
      f.placing.size() >= kDxfMaxBlockDepth)
    return -2;
  const int32_t columns = std::max(insert.columns, 1), rows = std::max(insert.rows, 1);
  f.placing.push_back(block);
  for (int32_t row = 0; row < rows && result == 0; ++row)
    for (int32_t column = 0; column < columns && result == 0; ++column) {
      const size_t cost = std::max(block->body.size(), kPlacementCost);
      if (cost > f.limits.maxPlacedText - std::min(f.placedText, f.limits.maxPlacedText)) {
        result = -3;
        break;
      }
      f.placedText += cost;
      DxfReader body(f, block->body);
      body.placed = true;
      const dxf::Placement here = dxf::PlaceInsert(insert, block->base, column, row);
      body.placement = r.placed ? dxf::Compose(r.placement, here) : here;
      result = ReadRun(body);
    }
  f.placing.pop_back();
  return result;
}

// A block's definition is read only where an INSERT places it.
int SkipBlock(DxfReader& r) {
  dxf::Group g;
  while (r.groups.Next(g))
    if (g.code == 0 && g.Text() == "ENDBLK") return 0;
  return -2;
}

// The entities of a run, up to its end.
int ReadRun(DxfReader& r) {
  dxf::Group g;
  while (r.groups.Next(g)) {
    if (g.code != 0) continue;
    const std::string_view name = g.Text();
    int result = 0;
    if (name == "3DFACE")
      result = ReadFace(r);
    else if (name == "POLYLINE")
      result = ReadPolyline(r);
    else if (name == "VERTEX")
      result = ReadVertex(r);
    else if (name == "SEQEND")
      result = MakeMeshFaces(r);
    else if (name == "CIRCLE")
      result = ReadEntity(r, -2, [](const dxf::Group&) {});
    else if (name == "INSERT")
      result = ReadInsert(r);
    else if (name == "BLOCK")
      result = SkipBlock(r);
    if (result != 0) return result;
  }
  return 0;
}

int ReadEntities(DxfReader& r) {
  dxf::Group g;
  bool more = r.groups.Next(g);
  // Comments may come before the first section.
  while (more && g.code == 999)
    more = r.groups.Next(g);
  if (!more) return 0;  // no group at all: an empty model
  if (g.code != 0 || !g.Text().starts_with("SECTION")) return -2;
  return ReadRun(r);
}

// Everything but the normal pass. 0 or the reader's failure code.
int ReadGroups(ImportMesh& m, std::span<const uint8_t> bytes, const DxfLimits& limits) {
  if (int result = StartMesh(m); result != 0) return result;
  try {
    DxfFile file(m, bytes, limits);
    file.blocks = dxf::FindBlocks(bytes);
    DxfReader r(file, bytes);
    return ReadEntities(r);
  } catch (const std::bad_alloc&) {
    return -3;
  } catch (const std::length_error&) {
    return -3;
  }
}

}  // namespace

int ReadDxfBytes(Document& doc, std::span<const uint8_t> bytes, size_t maxVertices) {
  return ReadDxfBytes(doc, bytes, DxfLimits{.maxVertices = maxVertices});
}

int ReadDxfBytes(Document& doc, std::span<const uint8_t> bytes, const DxfLimits& limits) {
  if (int result = ReadGroups(doc.importMesh, bytes, limits); result != 0) return result;
  return ComputeVertexNormals(doc.importMesh, -1.0f) == 0 ? 0 : -3;
}

int ReadDxfModel(Document& doc, const std::string& path) {
  FileBytes file;
  if (int failed = ReadWholeFile(path, file, {.shortRead = -1})) return failed;
  if (int result = ReadGroups(doc.importMesh, file.span(), DxfLimits{}); result != 0) return result;
  // The text is done with: the normal pass's tables need not sit beside it.
  file = {};
  return ComputeVertexNormals(doc.importMesh, -1.0f) == 0 ? 0 : -3;
}

}  // namespace modra
