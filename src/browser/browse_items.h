// What the visual browser shows of a folder: one item per grid cell, the
// way up first, then the folders, then the files, each sorted by full
// path; or, in place of a folder, the list of places to start from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace modra {

enum class BrowseKind : uint8_t {
  kParent,     // ".. (Up Directory)"
  kLocation,   // a place to start from (the root, the home folder, ...)
  kDirectory,  // a sub-folder
  kFile,       // any other entry; pictures get a thumbnail
};

struct BrowseItem {
  std::string name;  // the label under the picture
  std::string path;  // what the item stands for; "" for the list of places
  BrowseKind kind = BrowseKind::kFile;
  bool selected = false;
};

// Whether a click opens the item instead of selecting it.
inline bool OpensOnClick(const BrowseItem& item) {
  return item.kind != BrowseKind::kFile;
}

inline constexpr char kParentItemName[] = ".. (Up Directory)";
// A folder shows at most this many items; the rest are left out.
inline constexpr size_t kMostBrowseItems = 1000;

struct BrowseListing {
  bool ok = false;  // the folder could be read
  std::vector<BrowseItem> items;
};

// The items of `folder` (as NormalFolder makes it): the
// parent entry (leading to the list of places from the root), the
// sub-folders sorted with it by full path, then the other entries sorted
// by full path, at most kMostBrowseItems in all. Entries whose names start
// with "." are hidden, as file managers hide them. Not ok (and no items)
// when the folder cannot be read.
BrowseListing ListBrowseFolder(const std::string& folder);

// The places to start from, in order, each once: the file system's root
// ("/"), the home folder ("Home"), the document's folder and the texture
// path's folders (each by its own name), those that exist.
struct BrowsePlaces {
  std::string home;
  std::string documentFolder;
  std::vector<std::string> textureFolders;
};
std::vector<BrowseItem> PlaceItems(const BrowsePlaces& places);

// `folder` as an absolute path without "." or ".." steps or a trailing
// "/" ("" stays "").
std::string NormalFolder(const std::string& folder);
// The folder above `folder`, or "" (the list of places) above the root.
std::string ParentFolder(const std::string& folder);

}  // namespace modra
