// "Visual Browser": a folder as a grid of thumbnails to pick pictures from.
// The way up, the places to start from and the sub-folders open on a
// click; files are selected. The owner registers a callback that hears,
// when the window closes, how many files were chosen (0 after Cancel), and
// reads them with GetFirstSelected and GetNextSelected. The rules live in
// the core (browser/); the thumbnails come from a ThumbnailProvider, so the
// window shows a folder at once and fills its cells as they are made.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/browse_icons.h"
#include "browser/browse_items.h"
#include "browser/browse_layout.h"
#include "browser/browse_selection.h"

class QPushButton;
class QScrollBar;

namespace modra {

class Shell;
class ThumbnailProvider;

class CBrowse : public QWidget {
  Q_OBJECT
 public:
  CBrowse(ThumbnailProvider& thumbnails, Shell& shell, BrowsePlaces places,
          QWidget* parent = nullptr);
  ~CBrowse() override;

  // The owner's side.
  void SetCallBack(std::function<void(int selected)> handler);
  void SetDirectory(const std::string& folder);
  void SetMultiSelect(bool on);
  void SetPickCloses(bool on);
  std::optional<std::string> GetFirstSelected();
  std::optional<std::string> GetNextSelected();

  // What the window shows, for tests and the screenshots.
  const std::vector<BrowseItem>& items() const { return items_; }
  const BrowseLayout& layout() const { return layout_; }
  const std::string& folder() const { return folder_; }
  QWidget* grid() const { return grid_; }
  QScrollBar* verticalBar() const { return vBar_; }
  // The middle of item i's cell in the grid widget, as scrolled now.
  QPoint cellCenter(size_t i) const;
  // Whether item i's picture is there: a thumbnail that has come (a file
  // that gives none counts), or an icon.
  bool pictureArrived(size_t i) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  friend class BrowseGrid;
  void createGui();
  // Lists a folder, or the places for "" or a folder that cannot be read.
  void open(const std::string& folder);
  void finish(bool ok);
  void zoom(bool in);
  void clicked(int index, bool shift);
  void fitGrid();
  void scrolled();
  // Asks for the thumbnails in view first, then a few pages on.
  void wantVisible();
  void arrived(const QString& path, const QImage& picture);
  QPoint offset() const;
  void paintGrid(QPainter& painter, const QRect& dirty);

  ThumbnailProvider& thumbnails_;
  Shell& shell_;
  BrowsePlaces places_;
  BrowseIcons icons_;
  std::function<void(int)> callback_;
  BrowseOptions options_;
  BrowseLayout layout_;
  std::string folder_;
  std::vector<BrowseItem> items_;
  // The thumbnails of this folder's files as they come; null: no picture.
  std::unordered_map<std::string, QImage> pictures_;
  size_t cursor_ = 0;
  bool finished_ = false;

  QWidget* grid_ = nullptr;
  QScrollBar* vBar_ = nullptr;
  QScrollBar* hBar_ = nullptr;
  QPushButton* selectAll_ = nullptr;
};

}  // namespace modra
