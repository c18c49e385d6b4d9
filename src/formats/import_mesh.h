// The staging mesh that every foreign model reader fills: positions,
// normals and texture coordinates, faces of three or four corners,
// objects (materials) and parts (one per group or object named in the
// file) with their smoothing entries. The import then sizes the model,
// turns every part into a display group and centres the new groups.
//
// Faces keep indices, not copies: a corner's position is meshVertices[v],
// its normal (when the file gave one) meshNormals[n], its texture
// coordinates meshTexCoords[t] or the reader's default pair, its colour
// that of the face's colour object. This keeps a million-face model in a
// few tens of megabytes; what the display groups receive is the same.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scene/display_group.h"

namespace modra {

struct Document;
struct Scene;

// The colour of a part that names no material, or one nobody defines.
inline constexpr Vec3 kUncoloredPartColor = {1, 1, 1};

// One material a reader met.
struct MeshObject {
  std::string name;
  int32_t number = 0;  // the reader's own number for it (COB: material number)
  int32_t owner = 0;   // the reader's owner id (COB: the chunk the material belongs to)
  Vec3 color = {1, 1, 1};
  float alpha = 1.0f;
  float specularLevel = 0.5f;
  float shininess = 15.0f;
  float ambient = 0.0f;  // COB: ka
  float crease = 1.0f;   // COB: the crease value its facet setting gives
};

struct SmoothEntry {
  int32_t key = 0;  // the reader's smoothing group; -1 draws the faces flat
  std::vector<int32_t> faces;
};

// One group or object named in the file; becomes one display group.
struct MeshPart {
  std::string name;
  std::string objectName;
  int32_t colorSource = -1;  // object whose material the part took; -1 for none
  float color[4] = {1, 1, 1, 1};
  float specularLevel = 0.5f;
  float shininess = 15.0f;
  uint32_t flags = 0;  // copied into the group's flags
  std::vector<SmoothEntry> entries;
  Mat4 matrix = kIdentity;
  Vec3 center = {0, 0, 0}, centerRotation = {0, 0, 0}, rotation = {0, 0, 0};
  Vec3 translation = {0, 0, 0}, scale = {1, 1, 1};
  int32_t textureIndex = 0;
};

inline constexpr float kNoCreaseTest = 2.0f;  // every neighbour of the entry is averaged

struct MeshFace {
  uint8_t cornerCount = 3;  // 3 or 4
  bool hasNormals = false;  // the corners' normals came from the file
  // A later triangle of a fan: only its last corner links to it (see
  // ImportMesh::linksFollowFaces).
  bool fanContinued = false;
  float creaseCos = kNoCreaseTest;
  int32_t owner = 0;         // the reader's own word (COB: the polygon chunk's id)
  int32_t objectIndex = 0;   // the face's material
  int32_t colorObject = -1;  // whose colour the corners carry; -1 for white
  int32_t partIndex = 0;
  int32_t entryIndex = 0;
  std::array<int32_t, 4> cornerVertices{};
};

struct ImportMesh {
  std::vector<Vec3> meshVertices;
  std::vector<Vec3> meshNormals;
  std::vector<std::array<float, 2>> meshTexCoords;
  std::vector<MeshFace> faces;
  // Per face, only for faces with hasNormals: indices into meshNormals.
  std::vector<std::array<int32_t, 4>> cornerNormals;
  // Per face, only when the reader has texture coordinates: indices into
  // meshTexCoords (-1: the default pair).
  std::vector<std::array<int32_t, 4>> cornerTexCoords;
  std::array<float, 2> defaultTexCoord = {0, 0};
  std::vector<MeshObject> objects;
  std::vector<MeshPart> parts;

  // (vertex, face) links in the order the reader made them; the normal
  // pass turns them into per-vertex face lists.
  std::vector<std::pair<int32_t, int32_t>> vertexFaceLinks;
  // Instead of listing them, the links follow from the faces in order:
  // each corner links to its face, except in a fanContinued face, whose
  // last corner alone does.
  bool linksFollowFaces = false;
  // Filled by ComputeVertexNormals, only when a face has its normals made
  // (a file that gives every corner's normal asks for none of them).
  std::vector<Vec3> faceNormals;
  std::vector<int32_t> vertexFaceStart;  // per vertex + 1: offsets into vertexFaceList
  std::vector<int32_t> vertexFaceList;
};

// Building, as the readers call it. Each returns 0, or -1 when memory runs
// out (the std containers report that by throwing std::bad_alloc, which
// these catch).

// Empties everything: tables, parts, objects, links.
void ResetImportMesh(ImportMesh& m);
// Renames the last part when it has exactly one smoothing entry and that
// entry has no faces; otherwise appends a part.
int AddPart(ImportMesh& m, std::string_view name);
// Index of the first part of that name, else AddPart's new last index; -1.
int FindOrAddPart(ImportMesh& m, std::string_view name);
// Reuses the part's last entry when it has no faces, else appends one.
int AddSmoothEntry(ImportMesh& m, int part, int32_t key);
// Index of the first entry with that key, else AddSmoothEntry's; -1.
int FindOrAddSmoothEntry(ImportMesh& m, int part, int32_t key);
int AddFaceToEntry(ImportMesh& m, int part, int entry, int face);
// The face joins the list of faces that use the vertex.
int AddVertexFace(ImportMesh& m, int face, int vertex);

// Face normals (b x a for sign -1, of the first three corners) and the
// per-vertex face lists. 0 or -1. Every reader ends with it, so it first
// makes every number staged finite: a position, texture coordinate or
// material value that is not goes to the origin, 0 or a new object's
// value, and a face whose file normals are not all finite has its normals
// made. Nothing that is not a finite number reaches a group from here on.
int ComputeVertexNormals(ImportMesh& m, float sign);
// A corner's normal: the file's, the face normal (flat entries), or the
// mean of the face normals of its vertex's faces in the same part and
// entry that pass the face's crease test. Valid after ComputeVertexNormals.
Vec3 CornerNormal(const ImportMesh& m, int face, int corner);

// Finishing, as the import dispatch runs it.

// Centres the referenced positions on the origin and scales them so the
// longest side (y over x when equal; z only when strictly longer) runs
// from -1 to 1. A model without extent is only centred.
void NormalizeMeshSize(ImportMesh& m);
// Parts whose faces all share one material take its colour and words.
void AssignObjectsToParts(ImportMesh& m);
// One display group per part (appended under one group named after the
// file, or replacing the scene). 0, or -1 when a group cannot be made;
// the groups made before are then taken away again. `whiteUncoloredParts` is the preference of that
// name.
int BuildGroupsFromMesh(Document& doc, const ImportMesh& m, const std::string& fileName,
                        bool append, bool whiteUncoloredParts);
// The same, then each group made centred (CenterGroupGeometry) and its
// box computed (ComputeBoundingBox) as it is filled, with the same
// result: the import dispatch's way.
int BuildPlacedGroupsFromMesh(Document& doc, const ImportMesh& m, const std::string& fileName,
                              bool append, bool whiteUncoloredParts);
// Moves a NeedsCentering group's vertices to be centred on its origin and
// puts the centre into its translation.
void CenterGroupGeometry(Scene& s, int g);

}  // namespace modra
