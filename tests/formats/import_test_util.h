// Shared by the Wavefront tests: files in place, private temporary files,
// and what an import left in the scene.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "formats/obj_reader.h"
#include "test_util.h"

namespace modra::test {

inline std::string ModelPath(const std::string& name) {
  return std::string(MODRA_TESTDATA_DIR) + "/models/" + name;
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteText(const std::string& path, std::string_view text) {
  std::ofstream(path, std::ios::binary)
      .write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A private directory for one test's files, removed afterwards.
struct ObjTempDir {
  std::filesystem::path path;
  ObjTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "modra-obj-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~ObjTempDir() { std::filesystem::remove_all(path); }
  ObjTempDir(const ObjTempDir&) = delete;
  ObjTempDir& operator=(const ObjTempDir&) = delete;
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// Top-level groups by name; -1 when none has it.
inline int FindGroup(const Scene& s, const std::string& name) {
  int found = -1;
  ForEachGroup(s, s.rootHead, [&](int g) {
    if (found == -1 && IsLiveGroup(s, g) && s.groups[g].name == name) found = g;
  });
  return found;
}

// Faces of a group as drawn: a primitive of type 0 holds vertexCount / 3
// triangles, one of type 1 vertexCount / 4 quadrilaterals.
struct FaceCounts {
  int triangles = 0;
  int quads = 0;
  int vertices = 0;
};
inline FaceCounts CountFaces(const DisplayGroup& group) {
  FaceCounts c;
  for (const DisplayPrimitive& p : group.primitives) {
    if (p.type == kTriangles) c.triangles += p.vertexCount / 3;
    if (p.type == kQuads) c.quads += p.vertexCount / 4;
    c.vertices += p.vertexCount;
  }
  return c;
}

// The positions of group g in its own coordinates.
inline std::vector<Vec3> LocalPositions(const DisplayGroup& group) {
  std::vector<Vec3> out;
  const size_t stride = static_cast<size_t>(VertexStride(group));
  for (const DisplayPrimitive& p : group.primitives)
    for (size_t v = 0; v + stride <= p.vertices.size(); v += stride)
      out.push_back({p.vertices[v], p.vertices[v + 1], p.vertices[v + 2]});
  return out;
}

}  // namespace modra::test
