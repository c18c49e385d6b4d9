// What the ASCII and the binary .cob readers have in common: turning
// polygon chunks, their faces and the material chunks into the staging
// mesh, and matching faces to materials once the file has been read.
//
// Positions are moved into world space by the chunk's transform and
// stored as (-X, Z, -Y). Face and texture indices count from the chunk's
// own first vertex; an index outside the chunk's tables refuses the file.
// Corner lists are reversed, a face that repeats the previous one in
// reverse order (its back side) is dropped, faces of fewer than three
// corners are dropped, and faces of five or more corners are
// triangulated (a fan from the first corner when that fails).
//
// The tables grow as the file asks; running out of memory there throws
// std::bad_alloc, which the readers' entry point turns into -3.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "formats/import_mesh.h"
#include "geometry/triangulate.h"

namespace modra {

// One corner as the file gives it: position and texture index, both
// counted from the chunk's first vertex.
struct CobCorner {
  int32_t position = 0;
  int32_t texture = 0;
};

// Results, as the readers return them.
inline constexpr int kCobOk = 0;
inline constexpr int kCobBadFile = -2;
inline constexpr int kCobNoMemory = -3;

// The most corners one face may have: corner numbers travel through the
// triangulator as floats, which hold whole numbers exactly up to 2^24.
inline constexpr int32_t kCobMaxCorners = 1 << 24;

// A material's crease value for smoothing "automatic" at that angle.
float CobAutoCrease(float degrees);
// A material's colour component: diffuse plus ambient, at most 1.
float CobColor(float diffuse, float ambient);

class CobBuilder {
 public:
  // Empties the mesh, then: the default (white, faceted) object in slot 0
  // and the part "None". Faces are triangulated with these diagnostics.
  explicit CobBuilder(ImportMesh& mesh, const triangulation::DebugSettings& debug = {});

  // kCobOk or kCobNoMemory (from the constructor's work).
  int status() const { return status_; }

  // A polygon chunk: its part (the name replaces that of a part that got
  // no faces), whose faces carry the chunk's id. Ok or NoMemory.
  int BeginPolygon(std::string_view name, int32_t chunkId);
  // The chunk's 3 x 4 transform, row by row; identity until given.
  void SetTransform(const float rows[12]);
  // Room for what the chunk announces; the callers bound the counts by
  // what the rest of the file can hold.
  void ReserveVertices(size_t count);
  void ReserveTexVertices(size_t count);
  void AddVertex(float x, float y, float z);
  // The first one marks the chunk's part as textured.
  void AddTexVertex(float u, float v);
  // One face of the current chunk, its corners in file order, and its
  // material number. Ok, BadFile (an index outside the chunk) or NoMemory.
  int AddFace(std::span<const CobCorner> corners, int32_t material);

  // A material chunk's object; the first one takes over the default's slot.
  void AddMaterial(const MeshObject& material);

  // After the end chunk: faces take their material's colour, object and
  // crease value (white and faceted without one), then the normals.
  // Ok or NoMemory.
  int Finish();

 private:
  // A face of 3 or 4 of the current corners (indices into positions_).
  int MakeFace(int cornerCount, const int* corners, int32_t material);
  int AddPolygon(int32_t material);

  ImportMesh& m_;
  Triangulator triangulator_;
  int status_ = kCobOk;
  int part_ = 0;
  int32_t chunkId_ = 0;
  float transform_[12] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
  size_t vertexBase_ = 0, texBase_ = 0;
  int32_t materialCount_ = 0;

  // The current face, reversed, as absolute vertex and texture numbers
  // (texture -1 when the chunk has none), and the previous face's
  // positions for the back-side test.
  std::vector<int32_t> positions_, textures_, previous_;
  std::vector<float> polygon_, triangles_;
};

}  // namespace modra
