#include "formats/wavefront_materials.h"

namespace modra {

// Placeholder until the material table lands: the ten built-in colours.
WavefrontMaterialTable::WavefrontMaterialTable() {
  const struct {
    const char* name;
    Vec3 diffuse;
  } kBuiltIn[] = {{"white", {1, 1, 1}},
                  {"black", {0, 0, 0}},
                  {"red", {1, 0, 0}},
                  {"blue", {0, 0, 1}},
                  {"green", {0, 1, 0}},
                  {"bluegrey", {0.3f, 0.3f, 0.8f}},
                  {"dkgrey", {0.4f, 0.4f, 0.4f}},
                  {"dullred", {0.8f, 0, 0}},
                  {"hair", {0.5f, 0.2f, 0.2f}},
                  {"skin", {0.9f, 0.6f, 0.6f}}};
  for (const auto& m : kBuiltIn)
    entries.push_back({m.name, m.diffuse, {0.5f, 0.5f, 0.5f}, 15});
}

}  // namespace modra
