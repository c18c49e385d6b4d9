// Scenes and file surgery for the native file tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "anim/anim_util.h"
#include "cli/scene_json.h"
#include "nativefile/export_order.h"

namespace modra::test {

// A private directory for one test's files, removed afterwards.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "modra-test-XXXXXX").string();
    path = mkdtemp(tmpl.data());
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A group with one primitive of `count` vertices in the given layout, every
// float distinct so that a misplaced one shows.
inline int AddLayoutGroup(Scene& s, const std::string& name, uint32_t layoutFlags, int type,
                          int count, float seed) {
  int g = NewGroup(s, name);
  DisplayGroup& group = s.groups[g];
  group.flags = Enabled | layoutFlags;
  DisplayPrimitive prim;
  prim.type = type;
  prim.vertexCount = count;
  const int stride = VertexStride(group);
  for (int i = 0; i < count * stride; ++i)
    prim.vertices.push_back(seed + 0.25f * i);
  group.primitives.push_back(prim);
  return g;
}

// The scene as JSON with group indices replaced by pre-order positions, so
// that scenes whose tables are numbered differently compare equal.
inline nlohmann::ordered_json Normalized(const Document& doc, bool geometry = true) {
  nlohmann::ordered_json j = SceneToJson(doc, geometry);
  std::vector<int> order = LiveGroupsInOrder(doc.scene);
  auto position = [&](int g) -> int {
    for (size_t i = 0; i < order.size(); ++i)
      if (order[i] == g) return static_cast<int>(i);
    return g < 0 ? g : -1000;
  };
  for (auto& g : j["groups"]) {
    g["index"] = position(g["index"].get<int>());
    g["parent"] = position(g["parent"].get<int>());
  }
  for (auto& f : j["keyFrames"])
    for (auto& k : f["keys"])
      k["owner"] = position(k["owner"].get<int>());
  j["camera"]["lookAtGroup"] = position(j["camera"]["lookAtGroup"].get<int>());
  return j;
}

}  // namespace modra::test
