// The visual browser's grid: cell sizes and their zoom steps, how many
// columns fit, where each cell lies, which cell a click lands on, and how
// the scroll bars' 0..10000 become a place in the grid.
#pragma once

#include <cstddef>
#include <vector>

namespace modra {

struct BrowseLayout {
  int cellWidth = 115;
  int cellHeight = 100;  // the picture and its label
  int labelHeight = 20;
  float labelPoints = 10;
  int spacing = 10;  // between cells and at the border
  int columns = 7;
  int rows = 4;
};

inline constexpr int kBrowseScrollRange = 10000;
inline constexpr int kBrowseScrollLine = 10;
inline constexpr int kBrowseScrollPage = 100;

// "Zoom +" (while both sides are below 300) makes cells 3/2 as large,
// "Zoom -" (while both are at least 41) 2/3 as large; the label follows
// the cell height. False when the limit left the cells as they were.
bool ZoomBrowseIn(BrowseLayout& layout);
bool ZoomBrowseOut(BrowseLayout& layout);

// Columns for a grid `width` pixels wide (at least 1) and the rows that
// `count` items need.
void FitBrowseColumns(BrowseLayout& layout, int width, size_t count);

struct CellRect {
  int x, y, width, height;
};
// Cell i in grid coordinates (0, 0 at the grid's top left corner, before
// scrolling), its label included.
CellRect BrowseCell(const BrowseLayout& layout, size_t i);
// The grid's whole size.
int BrowseGridWidth(const BrowseLayout& layout);
int BrowseGridHeight(const BrowseLayout& layout);

// The grid's offset for a scroll bar at `position` (0..10000) when
// `extent` pixels of `content` are in view.
int BrowseScrollOffset(int position, int content, int extent);

// The item under grid point (x, y) of `count` items, or -1 for the space
// between cells and beyond the last.
int BrowseCellAt(const BrowseLayout& layout, size_t count, int x, int y);

// The items whose cells meet rows of the grid from y0 to y1 (grid
// coordinates): [first, last), clamped to `count`.
struct ItemRange {
  size_t first, last;
};
ItemRange BrowseItemsIn(const BrowseLayout& layout, size_t count, int y0, int y1);

// The items whose thumbnails are wanted when the grid is scrolled to `top`
// with `page` pixels in view, most wanted first: those in view, then three
// pages on and one back, as a reader scrolls.
std::vector<size_t> BrowseWantedItems(const BrowseLayout& layout, size_t count, int top, int page);

// Where a w x h picture is drawn in a cell: as large as the space above
// the label allows, its shape kept, centred.
CellRect BrowsePictureRect(const BrowseLayout& layout, const CellRect& cell, int w, int h);

}  // namespace modra
