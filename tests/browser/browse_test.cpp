// The visual browser without its window: what a folder lists and in which
// order, the places to start from, the grid's zoom steps and hit test, and
// what clicks do to the selection.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "browser/browse_items.h"
#include "browser/browse_layout.h"
#include "browser/browse_selection.h"

namespace modra {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
  fs::path path;
  TempFolder() {
    path = fs::temp_directory_path() /
           ("modra_browse_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() { fs::remove_all(path); }
  void File(const std::string& name) const { std::ofstream(path / name) << "x"; }
  void Folder(const std::string& name) const { fs::create_directories(path / name); }
};

std::vector<std::string> Names(const std::vector<BrowseItem>& items) {
  std::vector<std::string> names;
  for (const BrowseItem& i : items)
    names.push_back(i.name);
  return names;
}

TEST(BrowseItems, AFolderListsTheWayUpAndItsFoldersBeforeItsFilesEachByPath) {
  TempFolder t;
  t.Folder("b");
  t.Folder("a");
  t.File("z.jpg");
  t.File("B.ppm");  // capitals sort before small letters, byte by byte
  t.File(".hidden.jpg");
  t.Folder(".cache");
  const BrowseListing l = ListBrowseFolder(t.path.string() + "/");
  ASSERT_TRUE(l.ok);
  EXPECT_EQ(Names(l.items),
            (std::vector<std::string>{kParentItemName, "a", "b", "B.ppm", "z.jpg"}));
  EXPECT_EQ(l.items[0].kind, BrowseKind::kParent);
  EXPECT_EQ(l.items[0].path, t.path.parent_path().string());
  EXPECT_EQ(l.items[1].kind, BrowseKind::kDirectory);
  EXPECT_EQ(l.items[4].kind, BrowseKind::kFile);
  EXPECT_EQ(l.items[4].path, (t.path / "z.jpg").string());

  EXPECT_FALSE(ListBrowseFolder((t.path / "missing").string()).ok);
  EXPECT_FALSE(ListBrowseFolder("").ok);  // the places are shown instead
  EXPECT_EQ(ParentFolder("/"), "");
  EXPECT_EQ(ParentFolder("/usr"), "/");
  EXPECT_EQ(ParentFolder("/usr/share/"), "/usr");
  EXPECT_EQ(NormalFolder("/usr/./share/../lib/"), "/usr/lib");
  EXPECT_EQ(NormalFolder(""), "");
}

TEST(BrowseItems, AHugeFolderShowsItsFirstThousandItems) {
  TempFolder t;
  t.Folder("sub");
  for (int i = 0; i < 1003; ++i)
    t.File("p" + std::to_string(10000 + i) + ".jpg");
  const BrowseListing l = ListBrowseFolder(t.path.string());
  ASSERT_TRUE(l.ok);
  ASSERT_EQ(l.items.size(), kMostBrowseItems);
  EXPECT_EQ(l.items[1].name, "sub");
  EXPECT_EQ(l.items.back().name, "p10997.jpg");  // sorted before cut
}

TEST(BrowseItems, PlacesAreTheRootHomeDocumentAndTextureFoldersOnceEach) {
  TempFolder t;
  t.Folder("textures");
  BrowsePlaces p;
  p.home = t.path.string() + "/";
  p.documentFolder = t.path.string();  // the same as home: shown once
  p.textureFolders = {(t.path / "textures").string(), (t.path / "nowhere").string()};
  const std::vector<BrowseItem> items = PlaceItems(p);
  EXPECT_EQ(Names(items), (std::vector<std::string>{"/", "Home", "textures"}));
  for (const BrowseItem& i : items)
    EXPECT_EQ(i.kind, BrowseKind::kLocation);
  EXPECT_EQ(items[1].path, t.path.string());
}

TEST(BrowseLayout, ZoomStepsAndTheirLimits) {
  BrowseLayout l;
  ASSERT_TRUE(ZoomBrowseIn(l));
  ASSERT_TRUE(ZoomBrowseIn(l));
  EXPECT_EQ(l.cellWidth, 258);
  EXPECT_EQ(l.cellHeight, 225);
  ASSERT_TRUE(ZoomBrowseIn(l));
  EXPECT_EQ(l.cellWidth, 387);
  EXPECT_EQ(l.cellHeight, 337);
  EXPECT_FALSE(ZoomBrowseIn(l));
  EXPECT_EQ(l.cellWidth, 387);

  BrowseLayout s;
  ASSERT_TRUE(ZoomBrowseOut(s));  // 76 x 66: the smallest label
  EXPECT_EQ(s.labelHeight, 10);
  EXPECT_FLOAT_EQ(s.labelPoints, 5);
  ASSERT_TRUE(ZoomBrowseIn(s));  // 114 x 99
  EXPECT_EQ(s.labelHeight, 15);
  EXPECT_FLOAT_EQ(s.labelPoints, 7.5f);
  while (ZoomBrowseOut(s)) {
  }
  EXPECT_TRUE(s.cellWidth < 41 || s.cellHeight < 41);
  EXPECT_GT(s.cellHeight, 0);
}

TEST(BrowseLayout, ColumnsFitTheWidthAndClicksFindTheirCell) {
  BrowseLayout l;
  FitBrowseColumns(l, 800, 13);
  EXPECT_EQ(l.columns, 6);  // (800 - 20) / 125
  EXPECT_EQ(l.rows, 3);
  FitBrowseColumns(l, 50, 3);  // narrower than a cell: still one column
  EXPECT_EQ(l.columns, 1);
  FitBrowseColumns(l, 800, 13);
  for (size_t i : {size_t{0}, size_t{5}, size_t{6}, size_t{12}}) {
    const CellRect c = BrowseCell(l, i);
    EXPECT_EQ(BrowseCellAt(l, 13, c.x, c.y), static_cast<int>(i));
    EXPECT_EQ(BrowseCellAt(l, 13, c.x + c.width - 1, c.y + c.height - 1), static_cast<int>(i));
    EXPECT_EQ(BrowseCellAt(l, 13, c.x + c.width, c.y), -1);  // the gap
  }
  const CellRect beyond = BrowseCell(l, 13);
  EXPECT_EQ(BrowseCellAt(l, 13, beyond.x, beyond.y), -1);
  EXPECT_EQ(BrowseCellAt(l, 13, 5, 5), -1);  // the border

  // The second row alone is in view: its items and none of the others.
  const CellRect row2 = BrowseCell(l, 6);
  const ItemRange r = BrowseItemsIn(l, 13, row2.y, row2.y + row2.height - 1);
  EXPECT_EQ(r.first, 6u);
  EXPECT_EQ(r.last, 12u);
  // In view first, then the rows below, then the row above, each once.
  const std::vector<size_t> wanted = BrowseWantedItems(l, 13, row2.y, row2.height);
  ASSERT_EQ(wanted.size(), 13u);
  EXPECT_EQ(wanted.front(), 6u);
  EXPECT_EQ(wanted[6], 12u);
  EXPECT_EQ(wanted.back(), 5u);
  EXPECT_EQ(BrowseScrollOffset(0, 1000, 400), 0);
  EXPECT_EQ(BrowseScrollOffset(kBrowseScrollRange, 1000, 400), 600);
  EXPECT_EQ(BrowseScrollOffset(5000, 300, 400), 0);  // all of it in view
}

TEST(BrowseLayout, PicturesKeepTheirShapeInTheirCell) {
  const BrowseLayout l;
  const CellRect cell{10, 10, 115, 100};
  const CellRect wide = BrowsePictureRect(l, cell, 150, 75);
  EXPECT_EQ(wide.width, 115);
  EXPECT_EQ(wide.height, 57);
  const CellRect tall = BrowsePictureRect(l, cell, 75, 150);
  EXPECT_EQ(tall.height, 80);  // the label's 20 stay free
  EXPECT_EQ(tall.width, 40);
  EXPECT_GE(tall.x, cell.x);
  EXPECT_LE(tall.x + tall.width, cell.x + cell.width);
}

std::vector<BrowseItem> Items() {
  return {{kParentItemName, "/", BrowseKind::kParent, false},
          {"d", "/x/d", BrowseKind::kDirectory, false},
          {"a.jpg", "/x/a.jpg", BrowseKind::kFile, false},
          {"b.jpg", "/x/b.jpg", BrowseKind::kFile, false},
          {"c.jpg", "/x/c.jpg", BrowseKind::kFile, false},
          {"e.jpg", "/x/e.jpg", BrowseKind::kFile, false}};
}

TEST(BrowseSelection, OneFileAtATimeUnlessSeveralAreAllowed) {
  std::vector<BrowseItem> items = Items();
  const BrowseOptions single;
  EXPECT_EQ(ClickBrowseItem(items, 2, false, single), BrowseClick::kToggled);
  EXPECT_EQ(ClickBrowseItem(items, 4, true, single), BrowseClick::kToggled);
  EXPECT_EQ(SelectedBrowseCount(items), 1);
  EXPECT_TRUE(items[4].selected);
  EXPECT_EQ(ClickBrowseItem(items, 1, false, single), BrowseClick::kOpen);
  EXPECT_EQ(SelectedBrowseCount(items), 0);
  EXPECT_EQ(ClickBrowseItem(items, 6, false, single), BrowseClick::kNothing);
  SelectAllBrowseFiles(items, single);
  EXPECT_EQ(SelectedBrowseCount(items), 0);

  BrowseOptions picking;
  picking.pickCloses = true;
  EXPECT_EQ(ClickBrowseItem(items, 3, false, picking), BrowseClick::kClose);
  size_t cursor = 0;
  EXPECT_EQ(FirstSelectedBrowseFile(items, cursor), "/x/b.jpg");
  EXPECT_EQ(NextSelectedBrowseFile(items, cursor), std::nullopt);
}

TEST(BrowseSelection, ShiftSelectsTheRunBackToTheLastSelectedOrOpeningItem) {
  std::vector<BrowseItem> items = Items();
  BrowseOptions multi;
  multi.multiSelect = true;
  ClickBrowseItem(items, 5, true, multi);  // back to the folder: a, b, c and e
  EXPECT_EQ(SelectedBrowseCount(items), 4);
  ClickBrowseItem(items, 3, false, multi);  // b off
  ClickBrowseItem(items, 4, false, multi);  // c off
  ClickBrowseItem(items, 4, true, multi);   // c and b, stopping at a
  EXPECT_TRUE(items[2].selected && items[3].selected && items[4].selected);
  size_t cursor = 0;
  std::vector<std::string> read;
  for (auto p = FirstSelectedBrowseFile(items, cursor); p;
       p = NextSelectedBrowseFile(items, cursor))
    read.push_back(*p);
  EXPECT_EQ(read, (std::vector<std::string>{"/x/a.jpg", "/x/b.jpg", "/x/c.jpg", "/x/e.jpg"}));
  SelectNoBrowseItems(items);
  EXPECT_EQ(SelectedBrowseCount(items), 0);
  SelectAllBrowseFiles(items, multi);
  EXPECT_EQ(SelectedBrowseCount(items), 4);
  EXPECT_FALSE(items[1].selected);
}

}  // namespace
}  // namespace modra
