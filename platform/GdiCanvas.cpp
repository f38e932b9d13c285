#include "platform/GdiCanvas.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QRegion>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <vector>

namespace platform {

int truncToInt(double value) noexcept {
  if (std::isnan(value))
    return 0;
  if (value >= static_cast<double>(INT_MAX))
    return INT_MAX;
  if (value <= static_cast<double>(INT_MIN))
    return INT_MIN;
  return static_cast<int>(value);
}

int roundToInt(double value) noexcept {
  if (std::isnan(value))
    return 0;
  return truncToInt(value < 0 ? value - 0.5 : value + 0.5);
}

int fontPixelSize(int points) noexcept {
  // GDI picks a default height for 0; 12 points is what its mapper gives the usual faces.
  constexpr long long defaultPoints = 12;
  constexpr long long largest = 10000; // keeps absurd sizes from exhausting the glyph cache
  long long p = points == 0 ? defaultPoints : std::llabs(static_cast<long long>(points));
  long long pixels = (p * 96 * 2 + 72) / (72 * 2); // round(p * 96 / 72); never a tie
  if (pixels < 1)
    pixels = 1;
  return static_cast<int>(pixels > largest ? largest : pixels);
}

QFont makeFont(const QString &name, int points, bool bold, bool italic) {
  QFont font(name);
  font.setPixelSize(fontPixelSize(points));
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

namespace {

// GDI's cosmetic dash patterns, in pixels (on, off, ...).
QList<qreal> dashPattern(TPenStyle style) {
  switch (style) {
  case psDash:
    return {18, 6};
  case psDot:
    return {3, 3};
  case psDashDot:
    return {9, 6, 3, 6};
  case psDashDotDot:
    return {9, 3, 3, 3, 3, 3};
  default:
    return {};
  }
}

Qt::BrushStyle qtBrushStyle(TBrushStyle style) {
  switch (style) {
  case bsSolid:
    return Qt::SolidPattern;
  case bsHorizontal:
    return Qt::HorPattern;
  case bsVertical:
    return Qt::VerPattern;
  case bsFDiagonal:
    return Qt::FDiagPattern; // down to the right in both libraries
  case bsBDiagonal:
    return Qt::BDiagPattern;
  case bsCross:
    return Qt::CrossPattern;
  case bsDiagCross:
    return Qt::DiagCrossPattern;
  case bsClear:
  default:
    return Qt::NoBrush;
  }
}

// Corners of boxes are kept within this many pixels of the origin, far outside any device, so
// that their sizes cannot overflow and Qt's fixed-point rasteriser stays within its range. A box
// keeps its visible part.
constexpr int boxLimit = 1 << 22;

int clampCoord(int v) { return std::clamp(v, -boxLimit, boxLimit); }

// GDI normalises the corners of Rectangle, Ellipse and RoundRect.
struct Box {
  int l, t, r, b;
  Box(int left, int top, int right, int bottom)
      : l(clampCoord(std::min(left, right))), t(clampCoord(std::min(top, bottom))),
        r(clampCoord(std::max(left, right))), b(clampCoord(std::max(top, bottom))) {}
  bool empty() const { return r - l < 1 || b - t < 1; }
  // The figure covers l..r-1 and t..b-1: Qt strokes a QRect of width w over w + 1 pixels.
  QRect outline() const { return QRect(l, t, r - l - 1, b - t - 1); }
  QRectF outlineAt(QPointF shift) const {
    return QRectF(l + shift.x(), t + shift.y(), r - l - 1, b - t - 1);
  }
};

// Wide pens and curves are filled as outlines, which Qt samples at pixel centres (x + 0.5);
// GDI puts a coordinate at the centre of its pixel, so such outlines move by half a pixel.
const QPointF pixelCentre(0.5, 0.5);

// Where a wide pen's outline goes. An odd width has its edges between pixels once moved half a
// pixel. An even width has them on pixel centres, which GDI fills on the top and left edge only
// (width 2 on x covers x-1 and x); Qt takes the other edge, so such an outline moves a sixteenth
// of a pixel less.
QPointF wideShift(int width) {
  return width % 2 == 1 ? pixelCentre : pixelCentre - QPointF(1.0 / 16, 1.0 / 16);
}

// Pixel by pixel, which pixels of a one-pixel line in that style are drawn (GDI counts the
// pattern in pixels along the line); solid is one pixel, always on.
const std::vector<bool> &patternBits(TPenStyle style) {
  static const std::array<std::vector<bool>, 6> table = [] {
    std::array<std::vector<bool>, 6> t;
    for (int st = psSolid; st <= psClear; ++st) {
      const QList<qreal> pattern = dashPattern(static_cast<TPenStyle>(st));
      for (qsizetype k = 0; k < pattern.size(); ++k)
        t[st].insert(t[st].end(), static_cast<std::size_t>(pattern[k]), k % 2 == 0);
      if (t[st].empty())
        t[st].push_back(true);
    }
    return t;
  }();
  return table[static_cast<std::size_t>(std::clamp<int>(style, psSolid, psClear))];
}

// The points moved by a wide pen's shift.
QPolygonF shifted(std::span<const QPoint> points, QPointF shift) {
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const QPoint &p : points)
    polygon << QPointF(p) + shift;
  return polygon;
}

// The cubic pieces of PolyBezier's points as a path, moved by `shift`.
QPainterPath bezierPath(std::span<const QPoint> points, QPointF shift) {
  QPainterPath path(QPointF(points[0]) + shift);
  for (std::size_t i = 1; i + 2 < points.size(); i += 3)
    path.cubicTo(QPointF(points[i]) + shift, QPointF(points[i + 1]) + shift,
                 QPointF(points[i + 2]) + shift);
  return path;
}

// Floor of num / den for den > 0, in the integer type T.
template <class T> T floorDiv(T num, T den) {
  T q = num / den;
  if (num % den != 0 && num < 0)
    --q;
  return q;
}

// The steps i of a line's major axis, within first..last, whose minor coordinate
// minor0 + floor((2 i dMinor + n) / 2n) lies within lo..hi. The minor coordinate moves one way
// along the line, so the steps in range are one run; its ends solve the bounds exactly:
// floor(v) >= m holds when v >= m, and floor(v) <= m when v < m + 1. T holds the products
// 2 n (hi - minor0 + 1).
template <class T>
bool minorRun(long long minor0, long long dMinor, long long n, long long lo, long long hi,
              long long &first, long long &last) {
  const T low = T(lo) - minor0, high = T(hi) - minor0, len = n;
  T from, to;
  if (dMinor > 0) {
    const T e = T(2) * dMinor;
    from = -floorDiv<T>(-(2 * len * low - len), e);
    to = -floorDiv<T>(-(2 * len * (high + 1) - len), e) - 1;
  } else if (dMinor < 0) {
    const T e = T(-2) * dMinor;
    from = floorDiv<T>(len - 2 * len * (high + 1), e) + 1;
    to = floorDiv<T>(len - 2 * len * low, e);
  } else {
    return low <= 0 && high >= 0 && first <= last;
  }
  if (from > first)
    first = static_cast<long long>(std::min<T>(from, T(last) + 1));
  if (to < last)
    last = static_cast<long long>(std::max<T>(to, T(first) - 1));
  return first <= last;
}

// Coordinates and lengths below this keep every product of the line's stepping within 64 bits.
constexpr long long small64 = 1LL << 28;

} // namespace

// One-pixel lines are rasterised here rather than by Qt, whose cosmetic lines leave out the pixel
// with the larger coordinate whatever the direction: GDI always leaves out the end point. A pixel
// lies nearest the exact line (halves towards larger coordinates, the same both ways). Only the
// steps whose pixels lie in a clip rectangle are visited, so a line costs what it puts down
// there, however long it is. A line copied onto a 32-bit image is written straight into the
// pixels of each piece of the clip, its pattern's gaps too under an opaque brush; anything else
// is gathered and drawn by the painter.
// `phase` carries the dash pattern on from segment to segment of a polyline.
void GdiCanvas::rasterLine(QPoint from, QPoint to, long long &phase) {
  const long long dx = static_cast<long long>(to.x()) - from.x();
  const long long dy = static_cast<long long>(to.y()) - from.y();
  const long long n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0)
    return;
  const std::vector<bool> &pattern = patternBits(Pen.Style);
  const long long period = static_cast<long long>(pattern.size());
  const bool direct = writesThinLines();
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const long long major0 = xMajor ? from.x() : from.y();
  const long long minor0 = xMajor ? from.y() : from.x();
  const long long dMinor = xMajor ? dy : dx;
  const int step = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const QRgb colour = toQColor(Pen.Color).rgba();
  // A pattern's gaps take the background colour under an opaque brush, as the painter's
  // points would lay them.
  const bool solid = Pen.Style == psSolid;
  const bool fillsGaps = Brush.Style == bsSolid;
  const QRgb gapColour = toQColor(Brush.Color).rgba();
  const bool small = n < small64 && std::llabs(minor0) < small64 && std::llabs(major0) < small64;
  const auto visit = [&](const QRect &clip) {
    const long long lo = xMajor ? clip.left() : clip.top();
    const long long hi = xMajor ? clip.right() : clip.bottom();
    long long first = std::max(step > 0 ? lo - major0 : major0 - hi, 0LL);
    long long last = std::min(step > 0 ? hi - major0 : major0 - lo, n - 1);
    if (first > last)
      return;
    const long long minorLo = xMajor ? clip.top() : clip.left();
    const long long minorHi = xMajor ? clip.bottom() : clip.right();
    const bool fits = small && std::llabs(minorLo) < small64 && std::llabs(minorHi) < small64;
    if (!(fits ? minorRun<long long>(minor0, dMinor, n, minorLo, minorHi, first, last)
               : minorRun<__int128>(minor0, dMinor, n, minorLo, minorHi, first, last)))
      return;
    // minor = minor0 + q with q = floor(num / den), num = 2 i dMinor + n, den = 2n: q and the
    // remainder r follow i by whole steps, the division made once.
    const long long den = 2 * n;
    long long q = 0, r = 0;
    if (fits) {
      const long long num0 = 2 * first * dMinor + n;
      q = floorDiv<long long>(num0, den);
      r = num0 - q * den;
    } else {
      const __int128 num0 = __int128(2) * first * dMinor + n;
      q = static_cast<long long>(floorDiv<__int128>(num0, den));
      r = static_cast<long long>(num0 - __int128(q) * den);
    }
    const long long stepQ = floorDiv<long long>(2 * dMinor, den);
    const long long stepR = 2 * dMinor - stepQ * den;
    for (long long i = first; i <= last; ++i) {
      const long long minor = minor0 + q;
      q += stepQ;
      r += stepR;
      if (r >= den) {
        r -= den;
        ++q;
      }
      const long long major = major0 + step * i;
      const int x = static_cast<int>(xMajor ? major : minor);
      const int y = static_cast<int>(xMajor ? minor : major);
      QRgb *pixel = direct ? reinterpret_cast<QRgb *>(pixels_ + y * bytesPerLine_) + x : nullptr;
      if (pixel && solid) {
        *pixel = colour;
        continue;
      }
      const bool on = pattern[static_cast<std::size_t>((phase % period + i % period) % period)];
      if (!pixel)
        (on ? linePixels_ : gapPixels_).emplace_back(x, y);
      else if (on)
        *pixel = colour;
      else if (fillsGaps)
        *pixel = gapColour;
    }
  };
  clip_.nearLine(from, to, nearPieces_);
  for (const QRect *piece : nearPieces_)
    visit(*piece);
  phase = (phase + n % period) % period;
}

void GdiCanvas::thinPolyline(std::span<const QPoint> points) {
  long long phase = 0;
  for (std::size_t i = 0; i + 1 < points.size(); ++i)
    rasterLine(points[i], points[i + 1], phase);
  flushLinePixels();
}

void GdiCanvas::flushLinePixels() {
  if (linePixels_.empty() && gapPixels_.empty())
    return;
  painter_->setBrush(Qt::NoBrush);
  QPen pen(toQColor(Pen.Color), 1);
  pen.setCosmetic(true);
  painter_->setPen(pen);
  painter_->drawPoints(linePixels_.data(), static_cast<int>(linePixels_.size()));
  if (Brush.Style == bsSolid && !gapPixels_.empty()) { // opaque background fills the gaps
    pen.setColor(toQColor(Brush.Color));
    painter_->setPen(pen);
    painter_->drawPoints(gapPixels_.data(), static_cast<int>(gapPixels_.size()));
  }
  linePixels_.clear();
  gapPixels_.clear();
}

GdiCanvas::GdiCanvas() = default;

GdiCanvas::GdiCanvas(QPaintDevice &device) { begin(device); }

GdiCanvas::~GdiCanvas() { end(); }

void GdiCanvas::begin(QPaintDevice &device) {
  end();
  device_ = &device;
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&device)) {
    painter_.reset();
    device_ = nullptr;
    return;
  }
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  if (device.devType() == QInternal::Image) {
    // The painter has made the image's pixels its own; thin lines go straight into them.
    auto &image = static_cast<QImage &>(device);
    const QImage::Format f = image.format();
    if (f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
        f == QImage::Format_ARGB32_Premultiplied) {
      pixels_ = image.bits();
      bytesPerLine_ = image.bytesPerLine();
    }
  }
  setClipPieces(QRegion());
}

void GdiCanvas::end() {
  if (painter_ && painter_->isActive())
    painter_->end();
  painter_.reset();
  device_ = nullptr;
  pixels_ = nullptr;
  clip_.clear();
}

void GdiCanvas::setClipPieces(const QRegion &region) {
  clip_.set(region, QRect(0, 0, device_->width(), device_->height()));
}

bool GdiCanvas::isActive() const { return painter_ && painter_->isActive(); }

const QFontMetrics &GdiCanvas::metrics() const {
  const FontKey key{Font.Name, Font.Size, Font.Bold, Font.Italic};
  if (!fontKey_ || !(*fontKey_ == key)) {
    font_ = makeFont(Font.Name, Font.Size, Font.Bold, Font.Italic);
    metrics_.emplace(font_);
    fontKey_ = key;
  }
  return *metrics_;
}

QFont GdiCanvas::qFont() const {
  metrics();
  return font_;
}

void GdiCanvas::applyPen() {
  if (Pen.Style == psClear) {
    painter_->setPen(Qt::NoPen);
    return;
  }
  const QColor color = toQColor(Pen.Color);
  if (Pen.Width <= 1) {
    QPen pen(color, 1);
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap); // leaves out a line's last pixel, as GDI does
    pen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> pattern = dashPattern(Pen.Style);
    if (!pattern.isEmpty())
      pen.setDashPattern(pattern);
    painter_->setPen(pen);
    return;
  }
  // GDI draws wide styled pens solid.
  painter_->setPen(QPen(color, Pen.Width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void GdiCanvas::applyBrush() {
  const Qt::BrushStyle style = qtBrushStyle(Brush.Style);
  painter_->setBrush(style == Qt::NoBrush ? QBrush() : QBrush(toQColor(Brush.Color), style));
  painter_->setBrushOrigin(0, 0);
}

void GdiCanvas::applyMode() {
  painter_->setCompositionMode(Pen.Mode == pmXor ? QPainter::RasterOp_SourceXorDestination
                                                 : QPainter::CompositionMode_SourceOver);
  // A solid brush makes the background opaque in its colour (the gaps of dotted lines and the
  // cells of text); any other brush leaves the background alone.
  if (Brush.Style == bsSolid) {
    painter_->setBackgroundMode(Qt::OpaqueMode);
    painter_->setBackground(QBrush(toQColor(Brush.Color)));
  } else {
    painter_->setBackgroundMode(Qt::TransparentMode);
  }
}

bool GdiCanvas::widePen() const { return Pen.Width > 1 && Pen.Style != psClear; }

void GdiCanvas::applyForShape() {
  applyPen();
  applyBrush();
  applyMode();
}

void GdiCanvas::MoveTo(int x, int y) { penPos_ = QPoint(x, y); }

bool GdiCanvas::writesThinLines() const {
  return pixels_ && Pen.Style != psClear && Pen.Mode == pmCopy;
}

void GdiCanvas::LineTo(int x, int y) {
  const QPoint to(x, y);
  if (isActive()) {
    // A thin line written into the pixels needs nothing of the painter's state.
    if (Pen.Width > 1 || !writesThinLines())
      applyMode();
    if (Pen.Width > 1) {
      applyPen();
      const QPointF shift = wideShift(Pen.Width);
      painter_->drawLine(QPointF(penPos_) + shift, QPointF(to) + shift);
    } else if (Pen.Style != psClear) {
      thinPolyline(std::array{penPos_, to});
    }
  }
  penPos_ = to;
}

void GdiCanvas::Rectangle(int left, int top, int right, int bottom) {
  const Box box(left, top, right, bottom);
  if (!isActive() || box.empty())
    return;
  applyForShape();
  if (widePen())
    painter_->drawRect(box.outlineAt(wideShift(Pen.Width)));
  else
    painter_->drawRect(box.outline());
}

void GdiCanvas::FillRect(int left, int top, int right, int bottom) {
  if (!isActive() || right <= left || bottom <= top || Brush.Style == bsClear)
    return;
  left = clampCoord(left);
  top = clampCoord(top);
  right = clampCoord(right);
  bottom = clampCoord(bottom);
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_->setBrushOrigin(0, 0);
  painter_->fillRect(QRect(left, top, right - left, bottom - top),
                     QBrush(toQColor(Brush.Color), qtBrushStyle(Brush.Style)));
}

void GdiCanvas::Ellipse(int left, int top, int right, int bottom) {
  const Box box(left, top, right, bottom);
  if (!isActive() || box.empty())
    return;
  applyForShape();
  // Qt rasterises curves with pixel centres at +0.5: a thin outline moves half a pixel too.
  painter_->drawEllipse(box.outlineAt(widePen() ? wideShift(Pen.Width) : pixelCentre));
}

void GdiCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                          int cornerHeight) {
  const Box box(left, top, right, bottom);
  if (!isActive() || box.empty())
    return;
  applyForShape();
  const qreal rx = std::min(std::abs(double(cornerWidth)), double(box.r - box.l)) / 2.0;
  const qreal ry = std::min(std::abs(double(cornerHeight)), double(box.b - box.t)) / 2.0;
  if (widePen())
    painter_->drawRoundedRect(box.outlineAt(wideShift(Pen.Width)), rx, ry, Qt::AbsoluteSize);
  else
    painter_->drawRoundedRect(box.outline(), rx, ry, Qt::AbsoluteSize);
}

void GdiCanvas::Polygon(std::span<const QPoint> points) {
  if (!isActive() || points.size() < 2)
    return;
  applyForShape();
  if (widePen()) {
    painter_->drawPolygon(shifted(points, wideShift(Pen.Width)), Qt::OddEvenFill);
    return;
  }
  painter_->drawPolygon(points.data(), static_cast<int>(points.size()), Qt::OddEvenFill);
}

void GdiCanvas::Polyline(std::span<const QPoint> points) {
  if (!isActive() || points.size() < 2)
    return;
  if (Pen.Style == psClear)
    return;
  if (Pen.Width <= 1 && writesThinLines()) {
    thinPolyline(points);
    return;
  }
  applyPen();
  applyMode();
  if (Pen.Width <= 1)
    thinPolyline(points);
  else
    painter_->drawPolyline(shifted(points, wideShift(Pen.Width)));
}

void GdiCanvas::PolyBezier(std::span<const QPoint> points) {
  if (!isActive() || points.size() < 4 || (points.size() - 1) % 3 != 0 || Pen.Style == psClear)
    return;
  applyMode();
  if (Pen.Width <= 1) {
    // Flattened into a polyline through whole pixels, drawn by the line rules, as GDI does.
    std::vector<QPoint> flat;
    for (const QPolygonF &polygon : bezierPath(points, QPointF()).toSubpathPolygons())
      for (const QPointF &p : polygon) {
        const QPoint pixel(roundToInt(p.x()), roundToInt(p.y()));
        if (flat.empty() || flat.back() != pixel)
          flat.push_back(pixel);
      }
    thinPolyline(flat);
    return;
  }
  applyPen();
  painter_->setBrush(Qt::NoBrush);
  painter_->drawPath(bezierPath(points, wideShift(Pen.Width)));
}

TColor GdiCanvas::Pixels(int x, int y) const {
  if (!device_ || device_->devType() != QInternal::Image)
    return clrInvalid;
  const QImage &image = *static_cast<const QImage *>(device_);
  if (!image.valid(x, y))
    return clrInvalid;
  return fromQColor(QColor(image.pixel(x, y)));
}

void GdiCanvas::SetPixels(int x, int y, TColor color) {
  if (!isActive())
    return;
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (x < 0 || y < 0 || x >= device_->width() || y >= device_->height())
    return;
  painter_->fillRect(QRect(x, y, 1, 1), toQColor(color));
}

void GdiCanvas::TextOut(int x, int y, const QString &text) {
  if (!isActive() || text.isEmpty() || clampCoord(x) != x || clampCoord(y) != y)
    return; // no text reaches the device from that far
  const QFontMetrics &fm = metrics();
  painter_->save();
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_->translate(x, y);
  if (Font.Orientation != 0)
    painter_->rotate(-Font.Orientation / 10.0); // Qt turns clockwise on a y-down device
  if (Brush.Style == bsSolid)
    painter_->fillRect(QRect(0, 0, fm.horizontalAdvance(text), fm.height()), toQColor(Brush.Color));
  painter_->setFont(font_);
  painter_->setPen(toQColor(Font.Color));
  painter_->setBackgroundMode(Qt::TransparentMode);
  painter_->drawText(QPoint(0, fm.ascent()), text);
  painter_->restore();
}

void GdiCanvas::TextOut(int x, int y, const QStaticText &text) {
  if (!isActive() || text.text().isEmpty() || clampCoord(x) != x || clampCoord(y) != y)
    return;
  const QFontMetrics &fm = metrics();
  painter_->save();
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_->translate(x, y);
  if (Font.Orientation != 0)
    painter_->rotate(-Font.Orientation / 10.0);
  if (Brush.Style == bsSolid)
    painter_->fillRect(QRect(0, 0, fm.horizontalAdvance(text.text()), fm.height()),
                       toQColor(Brush.Color));
  painter_->setFont(font_);
  painter_->setPen(toQColor(Font.Color));
  painter_->setBackgroundMode(Qt::TransparentMode);
  painter_->drawStaticText(QPointF(0, fm.ascent() - QFontMetricsF(font_).ascent()), text);
  painter_->restore();
}

void GdiCanvas::TextRect(int left, int top, int right, int bottom, int x, int y,
                         const QString &text) {
  if (!isActive() || right <= left || bottom <= top)
    return;
  const QRect clip(QPoint(clampCoord(left), clampCoord(top)),
                   QPoint(clampCoord(right) - 1, clampCoord(bottom) - 1));
  painter_->save();
  painter_->setClipRect(clip, Qt::IntersectClip);
  if (Brush.Style != bsClear) {
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_->fillRect(clip, toQColor(Brush.Color));
  }
  const TBrushStyle brushStyle = Brush.Style;
  Brush.Style = bsClear; // the rectangle is already filled
  TextOut(x, y, text);
  Brush.Style = brushStyle;
  painter_->restore();
}

int GdiCanvas::TextWidth(const QString &text) const { return metrics().horizontalAdvance(text); }

int GdiCanvas::TextHeight(const QString &) const { return metrics().height(); }

QSize GdiCanvas::TextExtent(const QString &text) const {
  return QSize(TextWidth(text), TextHeight(text));
}

void GdiCanvas::Draw(int x, int y, const QImage &image) {
  if (!isActive() || image.isNull() || clampCoord(x) != x || clampCoord(y) != y)
    return;
  painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter_->drawImage(QPoint(x, y), image);
}

void GdiCanvas::SetClipRegion(const QRegion &region) {
  if (!isActive())
    return;
  if (region.isEmpty())
    painter_->setClipping(false);
  else
    painter_->setClipRegion(region);
  setClipPieces(region);
}

} // namespace platform
