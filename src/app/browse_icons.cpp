#include "app/browse_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace modra {
namespace {

constexpr int kSide = 96;

QImage Blank(QColor background) {
  QImage image(kSide, kSide, QImage::Format_RGB32);
  image.fill(background);
  return image;
}

// A red arrow pointing up on grey.
QImage DrawUp() {
  QImage image = Blank(QColor(192, 192, 192));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(220, 0, 0));
  const QPolygonF arrow({{48, 12}, {84, 52}, {62, 52}, {62, 84}, {34, 84}, {34, 52}, {12, 52}});
  p.drawPolygon(arrow);
  return image;
}

// A green square on grey.
QImage DrawPlace() {
  QImage image = Blank(QColor(192, 192, 192));
  QPainter p(&image);
  p.fillRect(24, 24, 48, 48, QColor(0, 176, 0));
  return image;
}

// A yellow folder outlined in black, on white.
QImage DrawFolder() {
  QImage image = Blank(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 2));
  p.setBrush(QColor(255, 220, 60));
  QPainterPath folder;
  folder.moveTo(10, 26);
  folder.lineTo(38, 26);
  folder.lineTo(44, 34);
  folder.lineTo(86, 34);
  folder.lineTo(86, 80);
  folder.lineTo(10, 80);
  folder.closeSubpath();
  p.drawPath(folder);
  return image;
}

QImage FromFolderOr(const QString& folder, const char* name, QImage (*draw)()) {
  QImage image(folder + QLatin1String(name));
  return image.isNull() ? draw() : image;
}

}  // namespace

QString BrowseIconFolder() {
  const QString set = qEnvironmentVariable("MODRA_ICON_DIR");
  return (set.isEmpty() ? QStringLiteral("icons") : set) + QLatin1Char('/');
}

BrowseIcons LoadBrowseIcons(const QString& folder) {
  return {FromFolderOr(folder, "up.png", DrawUp), FromFolderOr(folder, "place.png", DrawPlace),
          FromFolderOr(folder, "folder.png", DrawFolder)};
}

const QImage* IconFor(const BrowseIcons& icons, BrowseKind kind) {
  switch (kind) {
    case BrowseKind::kParent:
      return &icons.up;
    case BrowseKind::kLocation:
      return &icons.place;
    case BrowseKind::kDirectory:
      return &icons.folder;
    case BrowseKind::kFile:
      return nullptr;
  }
  return nullptr;
}

}  // namespace modra
