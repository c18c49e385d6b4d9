// What a click on a cell of the visual browser does, Select All and
// Select None, and how the browser's owner reads the selection back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "browser/browse_items.h"

namespace modra {

struct BrowseOptions {
  bool multiSelect = false;  // several files, Shift for a run
  bool pickCloses = false;   // a click on a file closes the browser as OK does
};

enum class BrowseClick : unsigned char {
  kNothing,  // no item there
  kOpen,     // a folder, the way up or a place: open it
  kToggled,  // a file's selection changed
  kClose,    // ... and the browser closes as with OK
};

// A click on item `index`. With multi-select off, every selection is
// cleared first. A file's selection toggles; with multi-select on and
// Shift held, the files before it back to the previous selected or
// opening item are selected too.
BrowseClick ClickBrowseItem(std::vector<BrowseItem>& items, int index, bool shift,
                            const BrowseOptions& options);
// Select All selects every file (only with multi-select on); Select None
// clears every selection.
void SelectAllBrowseFiles(std::vector<BrowseItem>& items, const BrowseOptions& options);
void SelectNoBrowseItems(std::vector<BrowseItem>& items);

// The number of selected files, as the close callback reports it.
int SelectedBrowseCount(const std::vector<BrowseItem>& items);
// The first selected file's path in grid order, then the next one after
// each call of the other; `cursor` remembers the place.
std::optional<std::string> FirstSelectedBrowseFile(const std::vector<BrowseItem>& items,
                                                   size_t& cursor);
std::optional<std::string> NextSelectedBrowseFile(const std::vector<BrowseItem>& items,
                                                  size_t& cursor);

}  // namespace modra
