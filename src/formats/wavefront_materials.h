// The Wavefront material table: colours that `usemtl` names in OBJ files
// take. It holds ten built-in colours from start-up; "Load Wavefront
// Material" replaces them with a .mtl library's. New, Open and Append
// keep it.
#pragma once

#include <string>
#include <vector>

#include "scene/display_group.h"

namespace modra {

struct WavefrontMaterial {
  std::string name;  // at most 79 characters
  Vec3 diffuse = {1, 1, 1};
  Vec3 specular = {0.5f, 0.5f, 0.5f};
  float shininess = 15;
};

struct WavefrontMaterialTable {
  std::vector<WavefrontMaterial> entries;
  WavefrontMaterialTable();  // the built-in colours
};

}  // namespace modra
