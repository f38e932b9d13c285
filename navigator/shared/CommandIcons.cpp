#include "navigator/shared/CommandIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>
#include <cmath>

namespace navicons {

namespace {

void magnifier(QPainter &p, const char *sign) {
  p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
  p.drawLine(QPointF(12, 12), QPointF(18, 18));
  p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
  if (sign[0] == '+')
    p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
}

} // namespace

QIcon icon(std::string_view name) {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(0x20, 0x30, 0x50);
  const QColor accent(0x1e, 0x78, 0xd2);
  p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  if (name == "point") {
    p.setBrush(accent);
    p.drawEllipse(QPointF(10, 10), 3, 3);
  } else if (name == "linechain") {
    p.drawPolyline(QPolygonF({{2, 16}, {8, 6}, {12, 13}, {18, 4}}));
  } else if (name == "rectangle") {
    p.drawRect(QRectF(3, 5, 14, 10));
  } else if (name == "polyline") {
    p.drawPolyline(QPolygonF({{2, 12}, {6, 4}, {11, 16}, {18, 9}}));
    p.setBrush(accent);
    for (QPointF v : {QPointF(2, 12), QPointF(6, 4), QPointF(11, 16), QPointF(18, 9)})
      p.drawEllipse(v, 1.3, 1.3);
  } else if (name == "ellipse") {
    p.drawEllipse(QRectF(2, 5, 16, 10));
  } else if (name == "polygon") {
    p.setBrush(QColor(0x1e, 0x78, 0xd2, 70));
    p.drawPolygon(QPolygonF({{3, 15}, {6, 4}, {16, 3}, {17, 13}, {10, 17}}));
  } else if (name == "spline") {
    QPainterPath path(QPointF(2, 15));
    path.cubicTo(QPointF(6, 0), QPointF(13, 20), QPointF(18, 5));
    p.drawPath(path);
  } else if (name == "arc") {
    p.drawArc(QRectF(3, 4, 14, 14), 20 * 16, 140 * 16);
    p.setBrush(accent);
    for (QPointF v : {QPointF(16.6, 8.6), QPointF(10, 4), QPointF(3.4, 8.6)})
      p.drawEllipse(v, 1.3, 1.3);
  } else if (name == "circle") {
    p.drawEllipse(QPointF(10, 10), 7, 7);
    p.drawPoint(QPointF(10, 10));
  } else if (name == "zoomin" || name == "zoomout") {
    magnifier(p, name == "zoomin" ? "+" : "-");
  } else if (name == "extents") {
    p.drawRect(QRectF(6, 6, 8, 8));
    for (auto [x, y, dx, dy] : {std::array{2, 2, 1, 1}, std::array{18, 2, -1, 1},
                                std::array{2, 18, 1, -1}, std::array{18, 18, -1, -1}}) {
      p.drawLine(QPointF(x, y), QPointF(x + 3 * dx, y));
      p.drawLine(QPointF(x, y), QPointF(x, y + 3 * dy));
    }
  } else if (name == "zoomwindow") {
    p.setPen(QPen(ink, 1.2, Qt::DashLine));
    p.drawRect(QRectF(2.5, 4.5, 15, 11));
    p.setPen(QPen(ink, 1.6));
    p.drawEllipse(QRectF(7, 7, 6, 6));
  } else if (name == "zoomdynamic") {
    magnifier(p, "+");
    p.drawLine(QPointF(15, 2), QPointF(15, 7));
    p.drawLine(QPointF(13, 4), QPointF(15, 2));
    p.drawLine(QPointF(17, 4), QPointF(15, 2));
  } else if (name == "pan") {
    p.drawLine(QPointF(10, 2), QPointF(10, 18));
    p.drawLine(QPointF(2, 10), QPointF(18, 10));
    for (auto [a, b, c] : {std::array<QPointF, 3>{QPointF(7, 5), QPointF(10, 2), QPointF(13, 5)},
                           {QPointF(7, 15), QPointF(10, 18), QPointF(13, 15)},
                           {QPointF(5, 7), QPointF(2, 10), QPointF(5, 13)},
                           {QPointF(15, 7), QPointF(18, 10), QPointF(15, 13)}})
      p.drawPolyline(QPolygonF({a, b, c}));
  } else if (name == "select") {
    p.setBrush(Qt::white);
    p.drawPolygon(
        QPolygonF({{5, 2}, {5, 16}, {8.5, 12.5}, {11, 18}, {13, 17}, {10.5, 11.5}, {15, 11.5}}));
  } else if (name == "exit") {
    p.setPen(QPen(QColor(0xc0, 0x20, 0x20), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3, 4, 14, 14), 120 * 16, 300 * 16);
    p.drawLine(QPointF(10, 2), QPointF(10, 10));
  } else if (name == "restart") {
    p.setPen(QPen(QColor(0x10, 0x80, 0x30), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3, 3, 14, 14), 60 * 16, 280 * 16);
    p.drawPolyline(QPolygonF({{9, 1.5}, {14, 3.5}, {11, 7.5}}));
  } else if (name == "compact") {
    p.drawRect(QRectF(2.5, 3.5, 15, 13));
    p.setBrush(accent);
    p.drawRect(QRectF(2.5, 3.5, 15, 3));
  } else if (name == "folder" || name == "open") {
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawPolygon(QPolygonF({{2, 5}, {8, 5}, {10, 7}, {18, 7}, {18, 16}, {2, 16}}));
  } else if (name == "save") {
    p.setBrush(QColor(0x40, 0x70, 0xc0));
    p.drawRect(QRectF(3, 3, 14, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 8, 5));
  } else if (name == "offsets") {
    p.drawLine(QPointF(3, 16), QPointF(17, 16));
    p.drawLine(QPointF(10, 3), QPointF(10, 16));
    p.drawLine(QPointF(7, 6), QPointF(10, 3));
    p.drawLine(QPointF(13, 6), QPointF(10, 3));
  } else {
    return {};
  }
  p.end();
  return QIcon(pixmap);
}

} // namespace navicons
