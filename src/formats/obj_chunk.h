// One run of whole lines of a Wavefront file, read apart from the rest so
// that the runs of a large file can be read at once on several cores. What
// a line means depends on the lines before it (the group, smoothing group
// and material in force, how many positions came before); a run keeps
// those as events and numbers of its own, which the reader then joins up
// in file order (see obj_reader.cpp).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "formats/import_mesh.h"

namespace modra {

// A `g`, `s` or `usemtl` line, in the order the run holds them, with the
// number of faces of the run made before it. `g` gives an event with its
// first name (empty for a bare `g`), `s` and `usemtl` one per token.
struct ObjEvent {
  enum Kind : uint8_t { kGroup, kSmoothing, kMaterial };
  Kind kind = kGroup;
  int32_t key = 0;        // kSmoothing: the smoothing group; -1 for flat
  std::string_view name;  // kGroup, kMaterial: into the file's text
  size_t facesBefore = 0;
};

// The positions and normals read before a run, once they are known.
struct ObjTableBases {
  int64_t vertices = 0;
  int64_t normals = 0;
};

// A face as a run holds it: what the line said, before the run knows
// the part, smoothing group and material it belongs to.
struct ObjFace {
  std::array<int32_t, 4> cornerVertices{};
  uint8_t cornerCount = 3;
  bool hasNormals = false;    // every corner named a normal
  bool fanContinued = false;  // see MeshFace
};

struct ObjChunk {
  std::vector<Vec3> positions;  // z negated, in file order
  std::vector<Vec3> normals;
  std::vector<ObjFace> faces;
  // The normal numbers of faces from normalsFrom on (-1: none); the faces
  // before named none at all.
  std::vector<std::array<int32_t, 4>> cornerNormals;
  size_t normalsFrom = 0;
  // The first face whose every corner names a normal; -1 for none.
  int64_t firstFaceWithNormals = -1;
  std::vector<ObjEvent> events;
  // Lines starting "m", for the `mtllib` names (into the file's text).
  std::vector<std::string_view> libraryLines;
  // Read without knowing the tables before it, a run takes every corner
  // number from 1 on as valid; these are the fewest positions and normals
  // that must come before it for that to be so.
  int64_t verticesNeeded = 0;
  int64_t normalsNeeded = 0;
};

// Reads the lines of `text` (whole lines, the last one perhaps without its
// line break) into `out`. With `bases`, corners are checked against the
// whole file's tables as the one-piece reader checks them; without, see
// verticesNeeded. `libraryLines` collects the lines that may name
// libraries. 0, or -3 when memory runs out.
int ReadObjChunk(ObjChunk& out, std::string_view text, std::optional<ObjTableBases> bases,
                 bool libraryLines);

}  // namespace modra
