// Scenes and file surgery for the native file tests.
#pragma once

#include <vector>

#include "anim/anim_util.h"
#include "cli/scene_json.h"
#include "nativefile/export_order.h"

namespace modra::test {

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
