#include "app/tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace modra {

namespace {

constexpr int kSize = 24;
const QColor kInk(40, 40, 48);
const QColor kPaper(250, 250, 245);
const QColor kAccent(40, 90, 170);

void Page(QPainter& p, QRectF r) {
  QPainterPath path;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - 5, r.top());
  path.lineTo(r.right(), r.top() + 5);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(r.right() - 5, r.top()), QPointF(r.right() - 5, r.top() + 5));
  p.drawLine(QPointF(r.right() - 5, r.top() + 5), QPointF(r.right(), r.top() + 5));
}

void Lines(QPainter& p, QRectF r) {
  for (qreal y = r.top() + 8; y < r.bottom() - 2; y += 3)
    p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
}

void Draw(QPainter& p, ToolIcon which) {
  p.setPen(QPen(kInk, 1.2));
  switch (which) {
    case ToolIcon::kNew:
      Page(p, {5, 2, 14, 19});
      break;
    case ToolIcon::kOpen: {
      p.setBrush(QColor(230, 190, 90));
      p.drawRect(QRectF(2, 6, 18, 14));
      p.setBrush(QColor(245, 215, 120));
      QPolygonF flap({{5, 10}, {22, 10}, {19, 20}, {2, 20}});
      p.drawPolygon(flap);
      break;
    }
    case ToolIcon::kSave:
      p.setBrush(kAccent);
      p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
      p.setBrush(kPaper);
      p.drawRect(QRectF(7, 3, 10, 7));
      p.drawRect(QRectF(6, 13, 12, 8));
      break;
    case ToolIcon::kCut:
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(3, 14, 6, 6));
      p.drawEllipse(QRectF(15, 14, 6, 6));
      p.setPen(QPen(kInk, 1.8));
      p.drawLine(QPointF(8, 15), QPointF(17, 3));
      p.drawLine(QPointF(16, 15), QPointF(7, 3));
      break;
    case ToolIcon::kCopy:
      Page(p, {3, 2, 12, 15});
      Page(p, {9, 7, 12, 15});
      Lines(p, {9, 7, 12, 15});
      break;
    case ToolIcon::kPaste:
      p.setBrush(QColor(190, 140, 80));
      p.drawRoundedRect(QRectF(3, 4, 16, 18), 2, 2);
      p.setBrush(QColor(160, 160, 170));
      p.drawRect(QRectF(7, 2, 8, 4));
      Page(p, {10, 9, 11, 13});
      break;
    case ToolIcon::kResetView: {
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(kAccent, 2));
      p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 300 * 16);
      p.setBrush(kAccent);
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({{17, 2}, {22, 9}, {14, 9}}));
      break;
    }
    case ToolIcon::kHelp: {
      p.setBrush(kAccent);
      p.drawEllipse(QRectF(2, 2, 20, 20));
      QFont font = p.font();
      font.setBold(true);
      font.setPixelSize(15);
      p.setFont(font);
      p.setPen(Qt::white);
      p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
      break;
    }
  }
}

QPixmap Paint(int size, const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pixmap;
}

// A cube in three shades: the program's mark.
void Cube(QPainter& p, qreal s) {
  const QPointF top(s / 2, s * 0.08), left(s * 0.1, s * 0.3), right(s * 0.9, s * 0.3),
      centre(s / 2, s * 0.52), bottomLeft(s * 0.1, s * 0.74), bottomRight(s * 0.9, s * 0.74),
      bottom(s / 2, s * 0.96);
  p.setPen(QPen(kInk, s / 40));
  p.setBrush(QColor(120, 170, 235));
  p.drawPolygon(QPolygonF({top, right, centre, left}));
  p.setBrush(QColor(60, 110, 190));
  p.drawPolygon(QPolygonF({left, centre, bottom, bottomLeft}));
  p.setBrush(QColor(35, 70, 140));
  p.drawPolygon(QPolygonF({centre, right, bottomRight, bottom}));
}

}  // namespace

QIcon MakeToolIcon(ToolIcon which) {
  QIcon icon;
  for (int scale : {1, 2}) {
    icon.addPixmap(Paint(kSize * scale, [&](QPainter& p) {
      p.scale(scale, scale);
      Draw(p, which);
    }));
  }
  return icon;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64})
    icon.addPixmap(Paint(size, [&](QPainter& p) { Cube(p, size); }));
  return icon;
}

QPixmap AboutPicture() {
  QPixmap picture(240, 120);
  picture.fill(QColor(25, 25, 100));
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(16, 12);
  Cube(p, 96);
  QFont font = p.font();
  font.setPixelSize(30);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(100, 0, 124, 96), Qt::AlignCenter, QStringLiteral("Modra"));
  return picture;
}

}  // namespace modra
