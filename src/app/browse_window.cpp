#include "app/browse_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include "app/thumbnail_service.h"
#include "document/shell.h"

namespace modra {

// The grid itself: it paints and reports clicks; the window holds the rest.
class BrowseGrid : public QWidget {
 public:
  explicit BrowseGrid(CBrowse* browser) : QWidget(browser), browser_(browser) {
    setObjectName(QStringLiteral("CBrowse_Grid"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    browser_->paintGrid(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint() + browser_->offset();
    browser_->clicked(BrowseCellAt(browser_->layout_, browser_->items_.size(), at.x(), at.y()),
                      event->modifiers() & Qt::ShiftModifier);
  }
  void wheelEvent(QWheelEvent* event) override { QApplication::sendEvent(browser_->vBar_, event); }

 private:
  CBrowse* browser_;
};

namespace {

constexpr int kButtonWidth = 110, kButtonHeight = 30, kBarHeight = 50;

const QColor kGridBackground(255, 255, 255);
const QColor kPlaceholder(224, 224, 224);

}  // namespace

CBrowse::CBrowse(ThumbnailProvider& thumbnails, Shell& shell, BrowsePlaces places, QWidget* parent)
    : QWidget(parent, Qt::Window),
      thumbnails_(thumbnails),
      shell_(shell),
      places_(std::move(places)),
      icons_(LoadBrowseIcons()) {
  setObjectName(QStringLiteral("CBrowse"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("Visual Browser"));
  createGui();
  connect(&thumbnails_, &ThumbnailProvider::ready, this, &CBrowse::arrived);
  // Room for the layout's first columns and rows.
  resize(BrowseGridWidth(layout_) + layout_.spacing + vBar_->sizeHint().width(),
         kBarHeight + BrowseGridHeight(layout_));
  open({});
}

CBrowse::~CBrowse() {
  // What this window asked for is nobody's any more.
  thumbnails_.reset();
}

void CBrowse::createGui() {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(0, kBarHeight, 0, 0);
  layout->setSpacing(0);
  const struct {
    const char* name;
    const char* text;
  } buttons[] = {{"OK", "OK"},          {"Cancel", "Cancel"},        {"ZoomIn", "Zoom +"},
                 {"ZoomOut", "Zoom -"}, {"SelectAll", "Select All"}, {"SelectNone", "Select None"},
                 {"Up", "Up"}};
  int x = 10;
  std::vector<QPushButton*> made;
  for (const auto& b : buttons) {
    auto* button = new QPushButton(QString::fromLatin1(b.text), this);
    button->setObjectName(QStringLiteral("CBrowse_") + QLatin1String(b.name));
    button->setGeometry(x, 10, kButtonWidth, kButtonHeight);
    button->setAutoDefault(false);
    x += kButtonWidth + 10;
    made.push_back(button);
  }
  connect(made[0], &QPushButton::clicked, this, [this] { finish(true); });
  connect(made[1], &QPushButton::clicked, this, [this] { finish(false); });
  connect(made[2], &QPushButton::clicked, this, [this] { zoom(true); });
  connect(made[3], &QPushButton::clicked, this, [this] { zoom(false); });
  selectAll_ = made[4];
  connect(made[4], &QPushButton::clicked, this, [this] {
    SelectAllBrowseFiles(items_, options_);
    grid_->update();
  });
  connect(made[5], &QPushButton::clicked, this, [this] {
    SelectNoBrowseItems(items_);
    grid_->update();
  });
  connect(made[6], &QPushButton::clicked, this, [this] { open(ParentFolder(folder_)); });
  selectAll_->setEnabled(options_.multiSelect);

  grid_ = new BrowseGrid(this);
  vBar_ = new QScrollBar(Qt::Vertical, this);
  hBar_ = new QScrollBar(Qt::Horizontal, this);
  vBar_->setObjectName(QStringLiteral("CBrowse_VScroll"));
  hBar_->setObjectName(QStringLiteral("CBrowse_HScroll"));
  for (QScrollBar* bar : {vBar_, hBar_}) {
    bar->setRange(0, kBrowseScrollRange);
    bar->setSingleStep(kBrowseScrollLine);
    bar->setPageStep(kBrowseScrollPage);
    connect(bar, &QScrollBar::valueChanged, this, &CBrowse::scrolled);
  }
  layout->addWidget(grid_, 0, 0);
  layout->addWidget(vBar_, 0, 1);
  layout->addWidget(hBar_, 1, 0);
}

void CBrowse::SetCallBack(std::function<void(int)> handler) {
  callback_ = std::move(handler);
}

void CBrowse::SetDirectory(const std::string& folder) {
  open(folder);
}

void CBrowse::SetMultiSelect(bool on) {
  options_.multiSelect = on;
  selectAll_->setEnabled(on);
}

void CBrowse::SetPickCloses(bool on) {
  options_.pickCloses = on;
}

std::optional<std::string> CBrowse::GetFirstSelected() {
  return FirstSelectedBrowseFile(items_, cursor_);
}

std::optional<std::string> CBrowse::GetNextSelected() {
  return NextSelectedBrowseFile(items_, cursor_);
}

void CBrowse::open(const std::string& folder) {
  thumbnails_.reset();
  pictures_.clear();
  BrowseListing listing = ListBrowseFolder(folder);
  if (!listing.ok && !folder.empty()) shell_.Message("Can't load directory \"" + folder + "\"");
  if (listing.ok) {
    folder_ = NormalFolder(folder);
    items_ = std::move(listing.items);
    setWindowTitle(QString::fromStdString(folder_));
  } else {
    folder_.clear();
    items_ = PlaceItems(places_);
    setWindowTitle(QStringLiteral("Visual Browser"));
  }
  {
    const QSignalBlocker v(vBar_), h(hBar_);
    vBar_->setValue(0);
    hBar_->setValue(0);
  }
  fitGrid();
}

void CBrowse::finish(bool ok) {
  if (finished_) return;
  finished_ = true;
  if (!callback_) {
    shell_.Message("Need to call CBrowse::SetCallBack() to register handler for close");
  } else {
    const int count = SelectedBrowseCount(items_);
    callback_(ok ? (options_.multiSelect ? count : std::min(count, 1)) : 0);
  }
  close();
}

void CBrowse::closeEvent(QCloseEvent* event) {
  // The close box is Cancel.
  if (!finished_) finish(false);
  event->accept();
}

void CBrowse::zoom(bool in) {
  if (!(in ? ZoomBrowseIn(layout_) : ZoomBrowseOut(layout_))) return;
  {
    const QSignalBlocker v(vBar_), h(hBar_);
    vBar_->setValue(0);
    hBar_->setValue(0);
  }
  fitGrid();
}

void CBrowse::clicked(int index, bool shift) {
  switch (ClickBrowseItem(items_, index, shift, options_)) {
    case BrowseClick::kNothing:
      return;
    case BrowseClick::kOpen:
      open(items_[static_cast<size_t>(index)].path);
      return;
    case BrowseClick::kToggled:
      grid_->update();
      return;
    case BrowseClick::kClose:
      finish(true);
      return;
  }
}

void CBrowse::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  fitGrid();
}

void CBrowse::fitGrid() {
  FitBrowseColumns(layout_, grid_->width(), items_.size());
  hBar_->setVisible(BrowseGridWidth(layout_) > grid_->width());
  vBar_->setEnabled(BrowseGridHeight(layout_) > grid_->height());
  wantVisible();
  grid_->update();
}

void CBrowse::scrolled() {
  wantVisible();
  grid_->update();
}

QPoint CBrowse::offset() const {
  return {BrowseScrollOffset(hBar_->value(), BrowseGridWidth(layout_), grid_->width()),
          BrowseScrollOffset(vBar_->value(), BrowseGridHeight(layout_), grid_->height())};
}

QPoint CBrowse::cellCenter(size_t i) const {
  const CellRect c = BrowseCell(layout_, i);
  return QPoint(c.x + c.width / 2, c.y + c.height / 2) - offset();
}

bool CBrowse::pictureArrived(size_t i) const {
  if (i >= items_.size()) return false;
  return items_[i].kind != BrowseKind::kFile || pictures_.count(items_[i].path) != 0;
}

void CBrowse::wantVisible() {
  std::vector<std::string> wanted;
  for (size_t i : BrowseWantedItems(layout_, items_.size(), offset().y(), grid_->height()))
    if (items_[i].kind == BrowseKind::kFile && !pictures_.count(items_[i].path))
      wanted.push_back(items_[i].path);
  thumbnails_.want(wanted);
}

void CBrowse::arrived(const QString& path, const QImage& picture) {
  const std::string p = path.toStdString();
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].path != p) continue;
    pictures_[p] = picture;
    const CellRect c = BrowseCell(layout_, i);
    grid_->update(QRect(c.x, c.y, c.width, c.height).translated(-offset()));
    return;
  }
}

void CBrowse::paintGrid(QPainter& painter, const QRect& dirty) {
  painter.fillRect(dirty, kGridBackground);
  const QPoint shift = offset();
  const QRect area = dirty.translated(shift);
  const ItemRange r = BrowseItemsIn(layout_, items_.size(), area.top(), area.bottom());
  QFont font = painter.font();
  font.setPointSizeF(layout_.labelPoints);
  painter.setFont(font);
  const QFontMetrics metrics(font);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  for (size_t i = r.first; i < r.last; ++i) {
    const BrowseItem& item = items_[i];
    const CellRect c = BrowseCell(layout_, i);
    const QRect cell = QRect(c.x, c.y, c.width, c.height).translated(-shift);
    if (!cell.intersects(dirty)) continue;
    const QImage* picture = IconFor(icons_, item.kind);
    if (!picture) {
      const auto found = pictures_.find(item.path);
      if (found != pictures_.end()) {
        picture = found->second.isNull() ? nullptr : &found->second;
      } else {
        // Not made yet: where it will be.
        const CellRect box = BrowsePictureRect(layout_, c, 4, 3);
        painter.fillRect(QRect(box.x, box.y, box.width, box.height).translated(-shift),
                         kPlaceholder);
      }
    }
    if (picture) {
      const CellRect p = BrowsePictureRect(layout_, c, picture->width(), picture->height());
      painter.drawImage(QRect(p.x, p.y, p.width, p.height).translated(-shift), *picture);
    }
    const QRect label(cell.left(), cell.bottom() - layout_.labelHeight + 1, cell.width(),
                      layout_.labelHeight);
    painter.setPen(Qt::black);
    painter.drawText(
        label, Qt::AlignCenter,
        metrics.elidedText(QString::fromStdString(item.name), Qt::ElideMiddle, cell.width()));
    if (item.selected) {
      painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter.fillRect(cell, Qt::white);
      painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
  }
}

}  // namespace modra
