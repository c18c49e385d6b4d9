#include "browser/browse_selection.h"

namespace modra {

BrowseClick ClickBrowseItem(std::vector<BrowseItem>& items, int index, bool shift,
                            const BrowseOptions& options) {
  if (index < 0 || static_cast<size_t>(index) >= items.size()) return BrowseClick::kNothing;
  if (!options.multiSelect) SelectNoBrowseItems(items);
  BrowseItem& item = items[static_cast<size_t>(index)];
  if (OpensOnClick(item)) return BrowseClick::kOpen;
  item.selected = !item.selected;
  if (options.multiSelect && shift) {
    for (size_t i = static_cast<size_t>(index); i-- > 0;) {
      if (items[i].selected || OpensOnClick(items[i])) break;
      items[i].selected = true;
    }
  }
  return options.pickCloses ? BrowseClick::kClose : BrowseClick::kToggled;
}

void SelectAllBrowseFiles(std::vector<BrowseItem>& items, const BrowseOptions& options) {
  if (!options.multiSelect) return;
  for (BrowseItem& item : items)
    if (!OpensOnClick(item)) item.selected = true;
}

void SelectNoBrowseItems(std::vector<BrowseItem>& items) {
  for (BrowseItem& item : items)
    item.selected = false;
}

int SelectedBrowseCount(const std::vector<BrowseItem>& items) {
  int count = 0;
  for (const BrowseItem& item : items)
    count += item.selected && !OpensOnClick(item);
  return count;
}

std::optional<std::string> FirstSelectedBrowseFile(const std::vector<BrowseItem>& items,
                                                   size_t& cursor) {
  cursor = 0;
  return NextSelectedBrowseFile(items, cursor);
}

std::optional<std::string> NextSelectedBrowseFile(const std::vector<BrowseItem>& items,
                                                  size_t& cursor) {
  for (; cursor < items.size(); ++cursor) {
    if (items[cursor].selected && !OpensOnClick(items[cursor])) return items[cursor++].path;
  }
  return std::nullopt;
}

}  // namespace modra
