#include "browser/browse_layout.h"

#include <algorithm>
#include <cstdint>

namespace modra {
namespace {

void FollowLabel(BrowseLayout& l) {
  if (l.cellHeight < 80) {
    l.labelHeight = 10;
    l.labelPoints = 5;
  } else if (l.cellHeight < 100) {
    l.labelHeight = 15;
    l.labelPoints = 7.5f;
  } else {
    l.labelHeight = 20;
    l.labelPoints = 10;
  }
}

int StepX(const BrowseLayout& l) {
  return l.cellWidth + l.spacing;
}
int StepY(const BrowseLayout& l) {
  return l.cellHeight + l.spacing;
}

}  // namespace

bool ZoomBrowseIn(BrowseLayout& l) {
  if (l.cellWidth >= 300 || l.cellHeight >= 300) return false;
  l.cellWidth = l.cellWidth * 3 / 2;
  l.cellHeight = l.cellHeight * 3 / 2;
  FollowLabel(l);
  return true;
}

bool ZoomBrowseOut(BrowseLayout& l) {
  if (l.cellWidth < 41 || l.cellHeight < 41) return false;
  l.cellWidth = l.cellWidth * 2 / 3;
  l.cellHeight = l.cellHeight * 2 / 3;
  FollowLabel(l);
  return true;
}

void FitBrowseColumns(BrowseLayout& l, int width, size_t count) {
  l.columns = std::max(1, (width - 2 * l.spacing) / StepX(l));
  l.rows =
      static_cast<int>(std::min<size_t>(count / static_cast<size_t>(l.columns) + 1, INT32_MAX));
}

CellRect BrowseCell(const BrowseLayout& l, size_t i) {
  const size_t columns = static_cast<size_t>(std::max(1, l.columns));
  return {l.spacing + static_cast<int>(i % columns) * StepX(l),
          l.spacing + static_cast<int>(i / columns) * StepY(l), l.cellWidth, l.cellHeight};
}

int BrowseGridWidth(const BrowseLayout& l) {
  return l.spacing + std::max(1, l.columns) * StepX(l);
}

int BrowseGridHeight(const BrowseLayout& l) {
  return l.spacing + std::max(0, l.rows) * StepY(l);
}

int BrowseScrollOffset(int position, int content, int extent) {
  const int64_t beyond = std::max(0, content - extent);
  const int64_t p = std::clamp(position, 0, kBrowseScrollRange);
  return static_cast<int>(beyond * p / kBrowseScrollRange);
}

int BrowseCellAt(const BrowseLayout& l, size_t count, int x, int y) {
  x -= l.spacing;
  y -= l.spacing;
  if (x < 0 || y < 0) return -1;
  const int column = x / StepX(l), row = y / StepY(l);
  if (column >= std::max(1, l.columns)) return -1;
  if (x % StepX(l) >= l.cellWidth || y % StepY(l) >= l.cellHeight) return -1;
  const size_t i = static_cast<size_t>(row) * static_cast<size_t>(std::max(1, l.columns)) +
                   static_cast<size_t>(column);
  return i < count ? static_cast<int>(i) : -1;
}

ItemRange BrowseItemsIn(const BrowseLayout& l, size_t count, int y0, int y1) {
  const size_t columns = static_cast<size_t>(std::max(1, l.columns));
  const int top = std::max(0, y0 - l.spacing) / StepY(l);
  const int bottom = std::max(0, y1 - l.spacing) / StepY(l) + 1;
  const size_t first = std::min(count, static_cast<size_t>(top) * columns);
  const size_t last = std::min(count, static_cast<size_t>(bottom) * columns);
  return {first, std::max(first, last)};
}

std::vector<size_t> BrowseWantedItems(const BrowseLayout& l, size_t count, int top, int page) {
  page = std::max(1, page);
  const ItemRange ranges[] = {BrowseItemsIn(l, count, top, top + page),
                              BrowseItemsIn(l, count, top + page, top + 4 * page),
                              BrowseItemsIn(l, count, top - page, top)};
  std::vector<size_t> wanted;
  std::vector<bool> seen(count, false);
  for (const ItemRange& r : ranges)
    for (size_t i = r.first; i < r.last; ++i)
      if (!seen[i]) {
        seen[i] = true;
        wanted.push_back(i);
      }
  return wanted;
}

CellRect BrowsePictureRect(const BrowseLayout& l, const CellRect& cell, int w, int h) {
  const int room = std::max(1, cell.height - l.labelHeight);
  if (w <= 0 || h <= 0) return {cell.x, cell.y, 0, 0};
  // The larger of the two shrink factors decides, so the whole picture fits.
  int dw = cell.width, dh = static_cast<int>(static_cast<int64_t>(h) * cell.width / w);
  if (dh > room) {
    dh = room;
    dw = static_cast<int>(static_cast<int64_t>(w) * room / h);
  }
  dw = std::max(1, dw);
  dh = std::max(1, dh);
  return {cell.x + (cell.width - dw) / 2, cell.y + (room - dh) / 2, dw, dh};
}

}  // namespace modra
