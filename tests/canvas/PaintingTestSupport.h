// Helpers for the pixel tests of the canvas: a canvas of a given size with its pending resize
// already handled, the picture the control shows, and expected texts drawn by the canvas's rules.
#pragma once

#include "canvas/TarvikCanvas.h"
#include "platform/Color.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QRect>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace painttest {

// A canvas of width x height showing the world (left, top, right, bottom). It is shown (on the
// offscreen platform) before the window is set: Qt delivers the resize on showing, and a hidden
// widget would get one more with every grab.
inline std::unique_ptr<TTarvikCanvas> makeCanvas(int width, int height, double left, double top,
                                                 double right, double bottom,
                                                 bool navigation = false) {
  auto c = std::make_unique<TTarvikCanvas>(nullptr, navigation);
  c->resize(width, height);
  c->show();
  c->WorldSet(left, top, right, bottom);
  return c;
}

// What the control shows after a paint.
inline QImage render(TTarvikCanvas &c) {
  return c.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline TColor pixel(const QImage &image, int x, int y) {
  return platform::fromQColor(QColor(image.pixel(x, y)));
}

// How many pixels of the rectangle satisfy the test.
template <class Test> int countPixels(const QImage &image, const QRect &area, Test test) {
  int n = 0;
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (test(pixel(image, x, y)))
        ++n;
  return n;
}

inline int countColour(const QImage &image, const QRect &area, TColor colour) {
  return countPixels(image, area, [colour](TColor c) { return c == colour; });
}

// An image of the given size in one colour.
inline QImage plain(int width, int height, TColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(platform::toQColor(colour));
  return image;
}

struct FontSpec {
  QString name;
  int size;
  bool bold;
  TColor colour;
};

// The text written with its cell's top-left at (x, y) over the image (a clear brush).
inline QImage withText(QImage image, const FontSpec &f, int x, int y, const QString &text) {
  platform::GdiCanvas g(image);
  g.Font.Name = f.name;
  g.Font.Size = f.size;
  g.Font.Bold = f.bold;
  g.Font.Color = f.colour;
  g.Brush.Style = bsClear;
  g.TextOut(x, y, text);
  g.end();
  return image;
}

inline QSize textSize(const FontSpec &f, const QString &text) {
  platform::GdiCanvas g;
  g.Font.Name = f.name;
  g.Font.Size = f.size;
  g.Font.Bold = f.bold;
  return g.TextExtent(text);
}

// The first position where two images differ inside the area, or (-1, -1).
inline QPoint firstDifference(const QImage &a, const QImage &b, const QRect &area) {
  const QRect r = area.intersected(a.rect()).intersected(b.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y))
        return QPoint(x, y);
  return QPoint(-1, -1);
}

// What the canvas shows after a full redraw: the judge of every cached or partial paint.
inline QImage fullRepaint(TTarvikCanvas &c) {
  c.Refresh();
  return render(c);
}

// A cached paint equals the full redraw pixel for pixel; the first difference is named.
inline void expectSame(const QImage &cached, const QImage &full, const std::string &what) {
  ASSERT_EQ(cached.size(), full.size()) << what;
  const QPoint at = firstDifference(cached, full, cached.rect());
  EXPECT_EQ(at, QPoint(-1, -1)) << what << ": first differing pixel";
}

} // namespace painttest
