#include "images/texture_table.h"

namespace modra {

TextureTable::TextureTable() : searchPath(SplitTexturePath(kDefaultTexturePath)) {}

std::vector<std::string> SplitTexturePath(std::string_view path) {
  constexpr size_t kMaxDirectories = 31, kMaxLength = 199;
  std::vector<std::string> dirs;
  while (dirs.size() < kMaxDirectories) {
    size_t end = path.find(';');
    std::string_view dir = path.substr(0, end);
    if (dir.empty()) break;
    dirs.emplace_back(dir.substr(0, kMaxLength));
    if (end == std::string_view::npos) break;
    path.remove_prefix(end + 1);
  }
  return dirs;
}

void SetTexturePath(TextureTable& table, std::string_view path) {
  table.searchPath = SplitTexturePath(path);
}

std::string JoinTexturePath(const TextureTable& table) {
  std::string joined;
  for (const std::string& dir : table.searchPath) {
    if (!joined.empty()) joined += ';';
    joined += dir;
  }
  return joined;
}

int CurrentTextureCount(const TextureTable& table) { return static_cast<int>(table.entries.size()); }

int FindTexture(const TextureTable& table, std::string_view name) {
  for (size_t i = 0; i < table.entries.size(); ++i)
    if (table.entries[i].name == name) return static_cast<int>(i);
  return -1;
}

std::string_view BaseName(std::string_view path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace modra
