// The passes that draw the profile on its image. Pen, brush and font stay on the canvas from
// pass to pass and from one redraw to the next; each pass sets only what it names.
#include "editor/DirectLines.h"
#include "editor/Graph.h"

#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QString>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

using platform::FloatToStr;
using platform::FloatToStrF;
using platform::GdiCanvas;

namespace {

// The class library turns a clear brush solid when its colour is set.
void setBrushColor(GdiCanvas &c, TColor color) {
  c.Brush.Color = color;
  c.Brush.Style = bsSolid;
}

// "Transparent background" for the texts that ask for it.
void transparent(GdiCanvas &c) { c.Brush.Style = bsClear; }

void line(GdiCanvas &c, int x1, int y1, int x2, int y2) {
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

QString q(const std::string &s) { return QString::fromStdString(s); }

// The pixels one mark puts on the image, found by drawing it through a canvas with the same
// pen and brush on a white and on a black square, so that a stamped copy is pixel for pixel the
// drawn one. Stamping costs a few writes where a drawing call costs microseconds.
class MarkStamp {
public:
  template <class Draw> MarkStamp(const GdiCanvas &like, Draw draw) {
    QImage onWhite = render(like, draw, Qt::white);
    QImage onBlack = render(like, draw, Qt::black);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const QRgb w = onWhite.pixel(x, y), b = onBlack.pixel(x, y);
        if (w != qRgb(255, 255, 255))
          pixels_.push_back({x - centre, y - centre, w});
        else if (b != qRgb(0, 0, 0))
          pixels_.push_back({x - centre, y - centre, b});
      }
  }
  // False when the mark would reach past the image: the caller draws it instead.
  bool stamp(QImage &image, int x, int y) const {
    if (x - reach < 0 || y - reach < 0 || x + reach >= image.width() || y + reach >= image.height())
      return false;
    QRgb *bits = reinterpret_cast<QRgb *>(image.bits());
    const std::ptrdiff_t stride = image.bytesPerLine() / 4;
    for (const Pixel &p : pixels_)
      bits[(y + p.dy) * stride + x + p.dx] = p.color;
    return true;
  }

private:
  static constexpr int size = 24, centre = 12, reach = 10;
  struct Pixel {
    int dx, dy;
    QRgb color;
  };
  template <class Draw> static QImage render(const GdiCanvas &like, Draw draw, Qt::GlobalColor bg) {
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(bg);
    GdiCanvas c(image);
    c.Pen = like.Pen;
    c.Brush = like.Brush;
    draw(c, centre, centre);
    c.end();
    return image;
  }
  std::vector<Pixel> pixels_;
};

} // namespace

void clGraph::updateScales(ProfileImage &image) {
  if (image.H - 20 > 20) {
    const double upp = (top - bottom) / (image.H - 40);
    // A window of no height would make every row a division by zero: keep the last scale.
    if (std::isfinite(upp) && upp != 0.0)
      unitsPerPixel = upp;
  }
  if (pixelsPerPoint > 0)
    visibleCount = platform::truncToInt(image.W / pixelsPerPoint);
}

void clGraph::clearProfile(ProfileImage &image) {
  setBrushColor(image.Canvas, backgroundColor);
  image.Canvas.FillRect(0, 0, image.ClientWidth, image.ClientHeight);
}

void clGraph::drawSelection(ProfileImage &image) {
  GdiCanvas &c = image.Canvas;
  const int xs = pixel((selStart - firstIndex) * pixelsPerPoint);
  if (selecting) {
    c.Pen.Style = psDot;
    const int mx = pixel(image.cursor.mouseX);
    const int my = pixel(image.cursor.mouseY);
    const int y1 = pixel(bandY1);
    line(c, xs, y1, mx, y1);
    line(c, mx, y1, mx, my);
    line(c, mx, my, xs, my);
    line(c, xs, my, xs, y1);
  }
  if (hasSelection) {
    const int xe = pixel((selEnd - firstIndex) * pixelsPerPoint);
    setBrushColor(c, selectionColor);
    c.FillRect(xs, 0, xe, image.H);
  }
}

void clGraph::drawLimitLines(ProfileImage &image) {
  GdiCanvas &c = image.Canvas;
  const int W = image.W, H = image.H;
  topLineY = 20;
  bottomLineY = H - 20;
  c.Font.Color = limitLineColor;
  c.Font.Name = QStringLiteral("Consolas");
  const QString topLabel = q(FloatToStrF(heightAt(topLineY, H), platform::ffFixed, 15, 2));
  const QString bottomLabel = q(FloatToStrF(heightAt(bottomLineY, H), platform::ffFixed, 15, 2));
  const int my = pixel(image.cursor.mouseY);
  // A label starts 40 pixels from the right edge, or further left when it is wider than that
  // (heights near 1e15 have 19 characters), so that it is never cut by the edge.
  const int topX = std::min(W - 40, W - 1 - c.TextWidth(topLabel));
  const int bottomX = std::min(W - 40, W - 1 - c.TextWidth(bottomLabel));
  if (!draggingTop) {
    c.Pen.Color = limitLineColor;
    line(c, 0, 20, W - 50, 20);
    transparent(c);
    c.TextOut(topX, 20 - 6, topLabel);
  } else if (image.cursor.mouseY < H / 2) {
    c.Pen.Color = dragLineColor;
    line(c, 0, my, W - 50, my);
    transparent(c);
    c.TextOut(topX, my - 6, topLabel);
  }
  const int by = pixel(bottomLineY);
  if (!draggingBottom) {
    c.Pen.Color = limitLineColor;
    line(c, 0, by, W - 50, by);
    transparent(c);
    c.TextOut(bottomX, by - 6, bottomLabel);
  } else if (image.cursor.mouseY > H / 2) {
    c.Pen.Color = dragLineColor;
    line(c, 0, my, W - 50, my);
    transparent(c);
    c.TextOut(bottomX, my - 6, bottomLabel);
  }
}

void clGraph::drawPoints(ProfileImage &image) {
  GdiCanvas &c = image.Canvas;
  c.Pen.Width = 1;
  c.Pen.Style = psSolid;
  const int count = static_cast<int>(image.points.size());
  const int n = std::min(visibleCount, count);
  if (!(pixelsPerPoint > 0) || n <= 0)
    return;
  if (pixelsPerPoint < 1.0) {
    drawDensePoints(image, n);
    return;
  }
  const SoundingList &pts = image.points;
  const int H = image.H;
  for (int col = 0; col < n; ++col) {
    const long long li = static_cast<long long>(firstIndex) + col;
    if (li < 0 || li >= count)
      continue;
    const int i = static_cast<int>(li);
    const int x = pixel(col * pixelsPerPoint);
    const int y = pixelRow(pts[i].Z, H);
    if (pts[i].selected) {
      c.Pen.Width = 1;
      c.Pen.Color = selectedColor;
      c.Pen.Style = psSolid;
      setBrushColor(c, selectedColor);
      c.Ellipse(x - 3, y - 3, x + 3, y + 3);
    }
    if (pts[i].deleted && image.showDeleted) {
      c.Pen.Color = clRed;
      c.Pen.Style = psSolid;
      c.Pen.Width = 2;
      line(c, x - 3, y - 3, x + 3, y + 3);
      line(c, x - 3, y + 3, x + 3, y - 3);
    }
    const bool hasNext = i + 1 < count;
    if (hasNext && !pts[i].deleted && !pts[i + 1].deleted) {
      c.Pen.Color = lineColor;
      c.Pen.Width = image.lineThickness;
      line(c, x, y, pixel((col + 1) * pixelsPerPoint), pixelRow(pts[i + 1].Z, H));
    }
    if (i > 0 && hasNext && pts[i - 1].deleted && pts[i + 1].deleted && !pts[i].deleted) {
      c.Pen.Color = lineColor;
      c.Rectangle(x - 1, y - 1, x + 1, y + 1);
    }
  }
}

// Below one pixel a point, thousands of points share a column: their segments inside a column
// make one vertical run, drawn once, and a mark already drawn at a pixel is not drawn again.
// The picture is the same as segment by segment; the cost follows the image, not the points.
void clGraph::drawDensePoints(ProfileImage &image, int n) {
  GdiCanvas &c = image.Canvas;
  const SoundingList &pts = image.points;
  const int count = static_cast<int>(pts.size());
  const int H = image.H;
  const int first = std::max(firstIndex, 0);
  const int colStart = first - firstIndex;
  const int colEnd = std::min(n, count - firstIndex); // one past the last column with a point

  c.Pen.Color = lineColor;
  c.Pen.Width = image.lineThickness;
  DirectLines lines(c);
  int runX = 0, runMin = 0, runMax = 0;
  bool run = false;
  auto flush = [&] {
    if (run)
      lines.line(runX, runMin, runX, runMax + 1);
    run = false;
  };
  auto extend = [&](int x, int y1, int y2) {
    if (run && x != runX)
      flush();
    if (!run) {
      run = true;
      runX = x;
      runMin = runMax = y1;
    }
    runMin = std::min({runMin, y1, y2});
    runMax = std::max({runMax, y1, y2});
  };
  // Each point's column and row are taken once and handed on to the next segment.
  int x = pixel(colStart * pixelsPerPoint);
  int y = colStart < colEnd ? pixelRow(pts[firstIndex + colStart].Z, H) : 0;
  // The columns whose points may carry a mark, found in the same pass: one walk over the points.
  std::vector<int> marked;
  const ProfileBlocks *blocks = image.blocks && image.blocks->fits(pts) ? image.blocks : nullptr;
  constexpr int B = ProfileBlocks::size;
  for (int col = colStart; col < colEnd; ++col) {
    const int i = firstIndex + col;
    if (blocks && i % B == 0 && col + B <= colEnd && i + B < count &&
        static_cast<std::size_t>(i / B) < blocks->blocks.size()) {
      // A block of live points inside one pixel column, with the point after it live as well:
      // its segments add the rows of its lowest and highest heights to the run. No point of it
      // is a lone one; only its selected points are marked.
      const ProfileBlocks::Block &b = blocks->blocks[static_cast<std::size_t>(i / B)];
      if (!b.deleted && !pts[i + B].deleted && pixel((col + B) * pixelsPerPoint) == x) {
        if (b.selected)
          for (int k = 0; k < B; ++k)
            if (pts[i + k].selected)
              marked.push_back(col + k);
        const double after = pts[i + B].Z;
        extend(x, pixelRow(std::max(b.maxZ, after), H), pixelRow(std::min(b.minZ, after), H));
        y = pixelRow(after, H);
        col += B - 1;
        continue;
      }
    }
    const strPoint &p = pts[i];
    if (p.selected || p.deleted ||
        (i > 0 && i + 1 < count && pts[i - 1].deleted && pts[i + 1].deleted))
      marked.push_back(col);
    if (i + 1 >= count)
      break;
    const int x2 = pixel((col + 1) * pixelsPerPoint);
    const int y2 = pixelRow(pts[i + 1].Z, H);
    if (!pts[i].deleted && !pts[i + 1].deleted) {
      if (x == x2) {
        extend(x, y, y2);
      } else {
        flush();
        lines.line(x, y, x2, y2);
      }
    }
    x = x2;
    y = y2;
  }
  flush();

  // Marks: discs of selected points, crosses of deleted ones, dots of lone live points.
  auto setDiscPen = [&](GdiCanvas &k) {
    k.Pen.Width = 1;
    k.Pen.Color = selectedColor;
    k.Pen.Style = psSolid;
    setBrushColor(k, selectedColor);
  };
  auto disc = [](GdiCanvas &k, int x, int y) { k.Ellipse(x - 3, y - 3, x + 3, y + 3); };
  auto setCrossPen = [](GdiCanvas &k) {
    k.Pen.Color = clRed;
    k.Pen.Style = psSolid;
    k.Pen.Width = 2;
  };
  auto cross = [](GdiCanvas &k, int x, int y) {
    line(k, x - 3, y - 3, x + 3, y + 3);
    line(k, x - 3, y + 3, x + 3, y - 3);
  };
  auto setDotPen = [&](GdiCanvas &k) {
    k.Pen.Color = lineColor;
    k.Pen.Width = image.lineThickness;
  };
  auto dot = [](GdiCanvas &k, int x, int y) { k.Rectangle(x - 1, y - 1, x + 1, y + 1); };
  QImage *target = dynamic_cast<QImage *>(c.device());
  if (target && target->format() != QImage::Format_RGB32 &&
      target->format() != QImage::Format_ARGB32)
    target = nullptr;
  std::optional<MarkStamp> discStamp, crossStamp, dotStamp;
  auto mark = [&](std::optional<MarkStamp> &stampOf, auto setPen, auto draw, int x, int y) {
    setPen(c);
    if (target) {
      if (!stampOf)
        stampOf.emplace(c, draw);
      if (stampOf->stamp(*target, x, y))
        return;
    }
    draw(c, x, y);
  };

  std::vector<std::uint8_t> seen(static_cast<std::size_t>(std::max(H, 0)) + 1);
  int seenX = -1;
  auto fresh = [&](int x, int y, std::uint8_t kind) {
    if (y < -8 || y > H + 8)
      return false; // wholly outside the image
    if (x != seenX) {
      std::fill(seen.begin(), seen.end(), 0);
      seenX = x;
    }
    const std::size_t row = static_cast<std::size_t>(std::clamp(y, 0, H));
    if (seen[row] & kind)
      return false;
    seen[row] |= kind;
    return true;
  };
  for (const int col : marked) {
    const int i = firstIndex + col;
    const strPoint &p = pts[i];
    const bool lone =
        i > 0 && i + 1 < count && pts[i - 1].deleted && pts[i + 1].deleted && !p.deleted;
    if (!p.selected && !(p.deleted && image.showDeleted) && !lone)
      continue;
    const int x = pixel(col * pixelsPerPoint);
    const int y = pixelRow(p.Z, H);
    if (p.selected && fresh(x, y, 1))
      mark(discStamp, setDiscPen, disc, x, y);
    if (p.deleted && image.showDeleted && fresh(x, y, 2))
      mark(crossStamp, setCrossPen, cross, x, y);
    if (lone && fresh(x, y, 4))
      mark(dotStamp, setDotPen, dot, x, y);
  }
}

void clGraph::drawRectangle(ProfileImage &image, int x1, int y1, int x2, int y2) {
  GdiCanvas &c = image.Canvas;
  line(c, x1, y1, x2, y1);
  line(c, x2, y1, x2, y2);
  line(c, x2, y2, x1, y2);
  line(c, x1, y2, x1, y1);
}

void clGraph::drawStatus(ProfileImage &image) {
  GdiCanvas &c = image.Canvas;
  const int W = image.W, H = image.H;
  const SoundingList &pts = image.points;
  const int count = static_cast<int>(pts.size());
  c.Font.Color = textColor;
  setBrushColor(c, backgroundColor);
  const int fs = c.Font.Size;

  const bool hasPoint = count > 0;
  const strPoint cur =
      hasPoint ? pts[static_cast<std::size_t>(cursorIndexClamped(count))] : strPoint{};
  const std::array<QString, 8> texts = {
      QStringLiteral("Data status:"),
      QStringLiteral("Processed: ") + q(FloatToStr(image.processedPercent)) + QStringLiteral("%"),
      QString::number(selectedCount) + QStringLiteral(" points selected"),
      QString::number(deletedCount) + QStringLiteral(" points deleted"),
      q(FloatToStr(truncate8(cur.X))),
      q(FloatToStr(truncate8(cur.Y))),
      q(FloatToStr(truncate8(cur.Z))),
      QStringLiteral("Deleted")};
  int L = 0;
  for (const QString &t : texts)
    L = std::max(L, static_cast<int>(t.size()));

  if (H <= 200 || W <= 200)
    return;

  const int left = W - 40 - L * fs;
  if (pixelsPerPoint > 0 && hasPoint) {
    transparent(c);
    QString l1, l2, l3;
    if (geographic == 0) {
      l1 = QStringLiteral("Easting: ") + q(FloatToStr(truncate2(cur.X)));
      l2 = QStringLiteral("Northing: ") + q(FloatToStr(truncate2(cur.Y)));
      l3 = QStringLiteral("Height: ") + q(FloatToStr(truncate2(cur.Z)));
    } else {
      l1 = QStringLiteral("Latitude: ") + q(FloatToStr(truncate8(cur.X)));
      l2 = QStringLiteral("Longitude: ") + q(FloatToStr(truncate8(cur.Y)));
      l3 = QStringLiteral("Height: ") + q(FloatToStr(truncate8(cur.Z)));
    }
    c.TextOut(left, H - 40 - 3 * (fs + 5), l1);
    c.TextOut(left, H - 40 - 2 * (fs + 5), l2);
    c.TextOut(left, H - 40 - (fs + 5), l3);
    drawRectangle(image, W - (L * fs + 5 + 40), H - 40 - 3 * (fs + 5) - 5, W - 40, H - 40 + 5);
  }

  // Rows of the cursor texts follow a fit made in this redraw.
  updateScales(image);

  const int mx = pixel(image.cursor.mouseX);
  const int my = pixel(image.cursor.mouseY);
  if (hasPoint && cur.deleted) {
    transparent(c);
    c.Font.Color = clRed;
    c.TextOut(mx + 10, my - 10 - fs, texts[7]);
  }
  c.Font.Color = textColor;
  c.TextOut(mx + 10, my + 10,
            QStringLiteral("Height: ") +
                q(FloatToStr(truncate2(heightAt(image.cursor.mouseY, H)))));

  if (image.showStatus) {
    for (int k = 1; k <= 4; ++k)
      c.TextOut(left, k * (fs + 5) + 20, texts[static_cast<std::size_t>(k - 1)]);
    drawRectangle(image, W - (L * fs + 5 + 40), fs + 20, W - 40, 5 * (fs + 5) + 5 + 20);
  }
}

bool clGraph::placeCursor(const ProfileImage &image) {
  const int count = static_cast<int>(image.points.size());
  if (!(pixelsPerPoint > 0) || count == 0)
    return false;
  cursorOffset = image.cursor.snappedX / pixelsPerPoint;
  if (!(firstIndex + cursorOffset < count))
    return false;
  if (cursorOffset >= 0) {
    const double lo = std::floor(cursorOffset);
    const double hi = std::ceil(cursorOffset);
    const double m = (lo + hi) / 2;
    cursorOffset = m > cursorOffset ? lo : hi;
  }
  return true;
}

void clGraph::drawCursorMarker(ProfileImage &image) {
  GdiCanvas &c = image.Canvas;
  c.Pen.Color = selectedColor;
  c.Pen.Width = 1;
  if (!placeCursor(image))
    return;
  const int count = static_cast<int>(image.points.size());
  const int half = pixelsPerPoint > 10 ? platform::truncToInt(pixelsPerPoint / 2) : 5;
  const int idx = cursorIndexClamped(count);
  const int y = pixelRow(image.points[static_cast<std::size_t>(idx)].Z, image.H);
  const int sx = pixel(image.cursor.snappedX);
  drawRectangle(image, sx - half, y - half, sx + half, y + half);
}

void clGraph::redraw(ProfileImage &image, bool fitToScreen) {
  redrawBelowCursor(image, fitToScreen);
  redrawCursor(image);
}

void clGraph::redrawBelowCursor(ProfileImage &image, bool fitToScreen) {
  updateScales(image);
  clearProfile(image);
  drawSelection(image);
  if (fitToScreen) {
    fitVertical(image.points, top, bottom, image.blocks);
    // The passes below draw with the window just fitted, not with the one before it.
    updateScales(image);
  }
  drawLimitLines(image);
  drawPoints(image);
}

void clGraph::redrawCursor(ProfileImage &image) {
  // The status box reads the cursor point: the marker's column is taken first, so that the
  // box and the marker show the same point.
  if (markerOn)
    placeCursor(image);
  drawStatus(image);
  if (markerOn)
    drawCursorMarker(image);
}
