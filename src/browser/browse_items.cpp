#include "browser/browse_items.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace modra {
namespace {

namespace fs = std::filesystem;

bool ByPath(const BrowseItem& a, const BrowseItem& b) {
  return a.path < b.path;
}

// A folder's path without the trailing "/" (the root stays "/").
std::string Trimmed(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

}  // namespace

std::string NormalFolder(const std::string& folder) {
  if (folder.empty()) return {};
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  return Trimmed((error ? fs::path(folder) : absolute).lexically_normal().string());
}

std::string ParentFolder(const std::string& folder) {
  const std::string path = Trimmed(folder);
  if (path.empty() || path == "/") return {};
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

BrowseListing ListBrowseFolder(const std::string& folder) {
  BrowseListing listing;
  const std::string path = NormalFolder(folder);
  if (path.empty()) return listing;
  std::error_code error;
  fs::directory_iterator it(path, error);
  if (error) return listing;

  std::vector<BrowseItem> folders, files;
  folders.push_back({kParentItemName, ParentFolder(path), BrowseKind::kParent, false});
  // A listing that stops half way (a folder removed while read) keeps
  // what it found.
  for (; it != fs::directory_iterator(); it.increment(error)) {
    if (error) break;
    const std::string name = it->path().filename().string();
    if (name.empty() || name.front() == '.') continue;
    std::error_code kindError;
    const bool directory = it->is_directory(kindError);
    BrowseItem item{name, it->path().string(),
                    directory ? BrowseKind::kDirectory : BrowseKind::kFile, false};
    (directory ? folders : files).push_back(std::move(item));
  }
  std::sort(folders.begin(), folders.end(), ByPath);
  std::sort(files.begin(), files.end(), ByPath);
  listing.ok = true;
  listing.items = std::move(folders);
  for (BrowseItem& f : files) {
    if (listing.items.size() >= kMostBrowseItems) break;
    listing.items.push_back(std::move(f));
  }
  if (listing.items.size() > kMostBrowseItems) listing.items.resize(kMostBrowseItems);
  return listing;
}

std::vector<BrowseItem> PlaceItems(const BrowsePlaces& places) {
  std::vector<BrowseItem> items;
  const auto add = [&items](std::string name, const std::string& folder) {
    const std::string path = Trimmed(folder);
    if (name.empty()) name = fs::path(path).filename().string();
    if (!IsFolder(path)) return;
    for (const BrowseItem& i : items)
      if (i.path == path) return;
    items.push_back({name, path, BrowseKind::kLocation, false});
  };
  add("/", "/");
  add("Home", places.home);
  add({}, NormalFolder(places.documentFolder));
  for (const std::string& folder : places.textureFolders)
    add({}, NormalFolder(folder));
  return items;
}

}  // namespace modra
