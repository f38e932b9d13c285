#include "editor/PlanSoundings.h"

#include "canvas/PaintTextBoxes.h"
#include "canvas/Shapes.h"
#include "canvas/WorldView.h"
#include "editor/DirectLines.h"
#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QPainter>
#include <QPoint>
#include <QRegion>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

// The walk over every sounding calls these small steps a million times: no call for each.
#if defined(__GNUC__)
#define TARVIK_INLINE __attribute__((always_inline))
#else
#define TARVIK_INLINE
#endif

namespace {

// About this many soundings share a cell on average; a side has at most maxCells cells.
constexpr double soundingsPerCell = 8.0;
constexpr int maxCells = 2048;
// Past this share of the list near the view, the whole list is walked in order instead.
constexpr double walkShare = 1.0 / 3.0;

// Anchors this far outside the client, in pixels, may still put a label's pixels into it.
constexpr int labelReachX = 120;
constexpr int labelReachY = 30;

// The label box of the thinning: 7 pixels a character wide, 14 high, centred on the anchor,
// refused within 5 pixels sideways and 2 up and down of a box drawn before. The shortest
// label ("0.00") is 4 characters, so any anchor within these distances of a drawn box is
// refused whatever its text.
constexpr int boxHalfHeight = 7;
constexpr int shortestHalfWidth = 7 * 4 / 2;
constexpr int refusedX = 5 + shortestHalfWidth - 1;
constexpr int refusedY = 2 + boxHalfHeight - 1;

// No label of the height is shorter than this: its whole digits, the point and two decimals,
// and the minus sign of a height that rounds below zero. Rounding only lengthens it; heights of
// a million and more are not estimated.
int shortestLabel(double z) {
  double a = std::fabs(z);
  if (!(a < 1e6))
    return 4;
  const int sign = z <= -0.005 ? 1 : 0;
  if (a < 10)
    return 4 + sign;
  if (a < 100)
    return 5 + sign;
  int digits = 3;
  for (a /= 1000; a >= 1; a /= 10)
    ++digits;
  return digits + 3 + sign;
}

int cellsFor(double span, double side) {
  if (!(span > 0) || !(side > 0))
    return 1;
  return static_cast<int>(std::clamp(std::ceil(span / side), 1.0, double(maxCells)));
}

// Consecutive track segments of one colour go down as one polyline; a vertex in the pixel of
// the one before adds nothing. Into an image of this drawing's own, one-pixel segments are
// written straight into it instead, with the same pixels.
class TrackRun {
public:
  TrackRun(platform::GdiCanvas &g, int width, bool direct, const QRect *clip)
      : g_(g), width_(width), lines_(prepare(g, width), direct ? clip : nullptr),
        direct_(direct && directAllowed(width)) {}
  ~TrackRun() { flush(); }

  TARVIK_INLINE void segment(std::size_t j, QPoint a, QPoint b, TColor colour) {
    if (direct_) {
      if (colour != directColour_ || !directColourSet_) {
        lines_.setColour(colour);
        directColour_ = colour;
        directColourSet_ = true;
      }
      lines_.line(a.x(), a.y(), b.x(), b.y());
      return;
    }
    if (!points_.empty() && last_ + 1 == j && colour == colour_) {
      if (b != points_.back())
        points_.push_back(b);
    } else {
      flush();
      colour_ = colour;
      points_.push_back(a);
      if (b != a)
        points_.push_back(b);
    }
    last_ = j;
  }

  void flush() {
    if (points_.size() >= 2) {
      g_.Pen.Color = colour_;
      g_.Pen.Width = width_;
      g_.Pen.Style = psSolid;
      g_.Polyline(points_);
    }
    points_.clear();
  }

private:
  static bool directAllowed(int width) { return width >= 0 && width <= 1; }
  // The pen the direct lines take (the canvas's, for any line they hand back to it).
  static platform::GdiCanvas &prepare(platform::GdiCanvas &g, int width) {
    g.Pen.Width = width;
    g.Pen.Style = psSolid;
    g.Pen.Mode = pmCopy;
    return g;
  }

  platform::GdiCanvas &g_;
  int width_;
  DirectLines lines_;
  bool direct_;
  bool directColourSet_ = false;
  TColor directColour_ = 0;
  std::vector<QPoint> points_;
  std::size_t last_ = 0;
  TColor colour_ = 0;

public:
  bool direct() const { return direct_; }
};

// A label is drawn only where it reads whole: it is left out where the track already fills at
// least half of the cell of any one of its characters (the box its text takes, 7 pixels a
// character wide and 15 high, placed by the alignment as the text is drawn). A line crossing
// the text leaves every character readable; a block of track under its sign or its leading
// digits would turn "-10.55" into "55" or a depth into a height, however little of the rest
// it covers.
bool trackHides(const QImage &track, QPoint anchor, qsizetype characters, int alignH, int alignV) {
  constexpr int cellWidth = 7, h = 15;
  const int count = static_cast<int>(std::min<qsizetype>(characters, 255));
  const int w = count * cellWidth;
  const int ox = alignH == 1 ? -(w / 2) : alignH == 2 ? -w : 0;
  const int oy = alignV == 1 ? -(h / 2) : alignV == 2 ? -h : 0;
  for (int c = 0; c < count; ++c) {
    const QRect cell = QRect(anchor.x() + ox + c * cellWidth, anchor.y() + oy, cellWidth, h)
                           .intersected(track.rect());
    if (cell.isEmpty())
      continue;
    int inked = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      const QRgb *row = reinterpret_cast<const QRgb *>(track.constScanLine(y));
      for (int x = cell.left(); x <= cell.right(); ++x)
        inked += qAlpha(row[x]) != 0;
    }
    if (2 * inked >= cell.width() * cell.height())
      return true;
  }
  return false;
}

} // namespace

void PlanSoundings::show(const SoundingList *points) {
  points_ = points;
  ++revision_;
  // A new list is a new picture: nothing drawn for the last one may be kept or compared.
  pictureValid_ = false;
  shownZ_.clear();
  shownDeleted_.clear();
  shownLabels_.clear();
  changed_.markAll();
  order_.clear();
  cellStart_.clear();
  longSegments_.clear();
  any_ = false;
  cellsX_ = cellsY_ = 0;
  indexed_ = points ? points->size() : 0;
  if (!points)
    return;
  const std::size_t n = points->size();
  std::size_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (!placed(i))
      continue;
    const strPoint &p = (*points)[i];
    if (count == 0) {
      minX_ = maxX_ = p.X;
      minY_ = maxY_ = p.Y;
    } else {
      minX_ = std::min(minX_, p.X);
      maxX_ = std::max(maxX_, p.X);
      minY_ = std::min(minY_, p.Y);
      maxY_ = std::max(maxY_, p.Y);
    }
    ++count;
  }
  if (count == 0)
    return;
  any_ = true;
  const double w = maxX_ - minX_, h = maxY_ - minY_;
  const double cells = std::max(1.0, double(count) / soundingsPerCell);
  double side = 0;
  if (w > 0 && h > 0)
    side = std::sqrt(w * h / cells);
  else if (w > 0)
    side = w / cells;
  else if (h > 0)
    side = h / cells;
  cellsX_ = cellsFor(w, side);
  cellsY_ = cellsFor(h, side);
  cellW_ = w > 0 ? w / cellsX_ : 1.0;
  cellH_ = h > 0 ? h / cellsY_ : 1.0;

  // Counting sort by cell: within a cell the soundings stay in list order.
  const std::size_t total = static_cast<std::size_t>(cellsX_) * cellsY_;
  cellStart_.assign(total + 1, 0);
  auto cellOf = [&](std::size_t i) {
    const strPoint &p = (*points)[i];
    return static_cast<std::size_t>(cellY(p.Y)) * cellsX_ + cellX(p.X);
  };
  for (std::size_t i = 0; i < n; ++i)
    if (placed(i))
      ++cellStart_[cellOf(i) + 1];
  for (std::size_t c = 0; c < total; ++c)
    cellStart_[c + 1] += cellStart_[c];
  order_.resize(count);
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < n; ++i)
    if (placed(i))
      order_[next[cellOf(i)]++] = static_cast<std::uint32_t>(i);

  // The bounds of each run of runLength soundings, for zoomed-out drawings.
  runBoxes_.assign(n / runLength, RunBox{});
  for (std::size_t r = 0; r < runBoxes_.size(); ++r) {
    RunBox &b = runBoxes_[r];
    const strPoint &first = (*points)[r * runLength];
    b.minX = b.maxX = first.X;
    b.minY = b.maxY = first.Y;
    for (std::size_t i = r * runLength; i < (r + 1) * runLength; ++i) {
      const strPoint &p = (*points)[i];
      b.placed = b.placed && placed(i);
      b.minX = std::min(b.minX, p.X);
      b.maxX = std::max(b.maxX, p.X);
      b.minY = std::min(b.minY, p.Y);
      b.maxY = std::max(b.maxY, p.Y);
    }
  }
  runDeletedChanged_.markAll();

  for (std::size_t i = 0; i + 1 < n; ++i) {
    if (!placed(i) || !placed(i + 1))
      continue;
    const strPoint &a = (*points)[i], &b = (*points)[i + 1];
    if (std::abs(cellX(a.X) - cellX(b.X)) > 1 || std::abs(cellY(a.Y) - cellY(b.Y)) > 1)
      longSegments_.push_back(static_cast<std::uint32_t>(i));
  }
}

bool PlanSoundings::extent(double &minX, double &minY, double &maxX, double &maxY) const {
  if (!any_)
    return false;
  minX = minX_;
  minY = minY_;
  maxX = maxX_;
  maxY = maxY_;
  return true;
}

int PlanSoundings::cellX(double x) const {
  const double c = std::floor((x - minX_) / cellW_);
  return static_cast<int>(std::clamp(c, 0.0, double(cellsX_ - 1)));
}

int PlanSoundings::cellY(double y) const {
  const double c = std::floor((y - minY_) / cellH_);
  return static_cast<int>(std::clamp(c, 0.0, double(cellsY_ - 1)));
}

bool PlanSoundings::near(double minX, double minY, double maxX, double maxY,
                         std::vector<std::uint32_t> &out) {
  out.clear();
  if (!(minX <= maxX) || !(minY <= maxY))
    return false;
  if (maxX < minX_ - cellW_ || minX > maxX_ + cellW_ || maxY < minY_ - cellH_ ||
      minY > maxY_ + cellH_) {
    marks_.assign((indexed_ + 63) / 64, 0);
    return true; // nothing near
  }
  const int x0 = std::max(cellX(minX) - 1, 0), x1 = std::min(cellX(maxX) + 1, cellsX_ - 1);
  const int y0 = std::max(cellY(minY) - 1, 0), y1 = std::min(cellY(maxY) + 1, cellsY_ - 1);
  // The cells of one row lie together in the order.
  auto rowFrom = [&](int y) { return cellStart_[static_cast<std::size_t>(y) * cellsX_ + x0]; };
  auto rowTo = [&](int y) { return cellStart_[static_cast<std::size_t>(y) * cellsX_ + x1 + 1]; };
  std::size_t count = 0;
  for (int y = y0; y <= y1; ++y)
    count += rowTo(y) - rowFrom(y);
  if (double(count) > walkShare * double(order_.size()))
    return false;
  // A bit a sounding puts them back in list order at the cost of one pass over the bits.
  marks_.assign((indexed_ + 63) / 64, 0);
  for (int y = y0; y <= y1; ++y)
    for (std::uint32_t k = rowFrom(y); k < rowTo(y); ++k)
      marks_[order_[k] >> 6] |= std::uint64_t(1) << (order_[k] & 63);
  out.reserve(count);
  for (std::size_t w = 0; w < marks_.size(); ++w)
    for (std::uint64_t bits = marks_[w]; bits != 0; bits &= bits - 1)
      out.push_back(static_cast<std::uint32_t>(w * 64 + std::countr_zero(bits)));
  return true;
}

void PlanSoundings::drawWithin(platform::GdiCanvas &g, const View &v, const Style &s,
                               const QRect *only, const QImage *track) {
  if (!only) {
    ++drawings_;
    labelsDrawn_ = 0;
    shownLabels_.clear();
  }
  lastLookedAt_ = 0;
  if (!points_ || v.width <= 0 || v.height <= 0)
    return;
  if (points_->size() != indexed_)
    show(points_); // a list of another length: its positions are indexed again
  if (!any_)
    return;
  const SoundingList &pts = *points_;
  const std::size_t n = pts.size();
  const canvas::ViewMapping m(v.left, v.right, v.top, v.bottom, v.width, v.height);
  // The world rectangle drawn: the view, or the part of it under `only`.
  double vx0 = std::min(v.left, v.right), vx1 = std::max(v.left, v.right);
  double vy0 = std::min(v.bottom, v.top), vy1 = std::max(v.bottom, v.top);
  if (only) {
    const double ax = v.left + only->left() / m.scaleX,
                 bx = v.left + (only->right() + 1) / m.scaleX;
    const double ay = v.top - only->top() / m.scaleY, by = v.top - (only->bottom() + 1) / m.scaleY;
    vx0 = std::min(ax, bx);
    vx1 = std::max(ax, bx);
    vy0 = std::min(ay, by);
    vy1 = std::max(ay, by);
  }
  const double perPixelX = 1.0 / std::fabs(m.scaleX), perPixelY = 1.0 / std::fabs(m.scaleY);

  // One look-up serves the track and the labels reaching in from outside.
  const bool indexed = near(vx0 - labelReachX * perPixelX, vy0 - labelReachY * perPixelY,
                            vx1 + labelReachX * perPixelX, vy1 + labelReachY * perPixelY, found_);
  lastLookedAt_ = indexed ? found_.size() : n;

  // The track: segment (j, j + 1) joins two placed soundings; it takes the deleted colour when
  // either end is deleted. Segments away from the view are left out, unless all lies in it.
  TrackRun run(g, s.trackWidth, track != nullptr, only);
  const double padX = 2 * perPixelX, padY = 2 * perPixelY;
  const bool allInView = minX_ >= vx0 && maxX_ <= vx1 && minY_ >= vy0 && maxY_ <= vy1;
  auto pixelOf = [&](std::size_t i)
                     TARVIK_INLINE { return QPoint(m.toX(pts[i].X), m.toY(pts[i].Y)); };
  auto segment = [&](std::size_t j, QPoint a, QPoint b) TARVIK_INLINE {
    const strPoint &p = pts[j], &q = pts[j + 1];
    if (!allInView && (std::max(p.X, q.X) < vx0 - padX || std::min(p.X, q.X) > vx1 + padX ||
                       std::max(p.Y, q.Y) < vy0 - padY || std::min(p.Y, q.Y) > vy1 + padY))
      return;
    run.segment(j, a, b, p.deleted || q.deleted ? s.deleted : s.track);
  };

  // The labels, in list order, each where no label before it stands too close; drawn after
  // the whole track so that no line crosses them.
  const int gw = v.width + 2 * labelReachX + 1, gh = v.height + 2 * labelReachY + 1;
  std::vector<std::uint8_t> refused;
  if (s.labels && !only)
    refused.assign(static_cast<std::size_t>(gw) * gh, 0);
  canvas::ClaimedTextBoxes boxes;
  struct Label {
    std::uint32_t index;
    QString text;
  };
  std::vector<Label> labels;
  auto claim = [&](std::size_t i, QPoint at) TARVIK_INLINE {
    const int ax = at.x(), ay = at.y();
    if (ax < -labelReachX || ax > v.width + labelReachX || ay < -labelReachY ||
        ay > v.height + labelReachY)
      return;
    // Refused at this pixel are the labels of this many characters or more (0: none yet).
    std::uint8_t &refusedFrom =
        refused[static_cast<std::size_t>(ay + labelReachY) * gw + (ax + labelReachX)];
    if (refusedFrom == 1 || (refusedFrom != 0 && shortestLabel(pts[i].Z) >= refusedFrom))
      return;
    QString text = QString::fromStdString(platform::FloatToStrF(pts[i].Z, platform::ffFixed, 6, 2));
    const int length = static_cast<int>(std::min<qsizetype>(text.size(), 255));
    if (refusedFrom != 0 && length >= refusedFrom)
      return;
    const std::int64_t half = 7 * static_cast<std::int64_t>(text.size()) / 2;
    const canvas::TextBox box{ax - half, ay - boxHalfHeight, ax + half, ay + boxHalfHeight};
    if (!boxes.tryClaim(box)) {
      // A longer label at the same anchor has a wider box, refused as well.
      refusedFrom = static_cast<std::uint8_t>(length);
      return;
    }
    const std::int64_t rx0 = std::max<std::int64_t>(box.left - refusedX + labelReachX, 0);
    const std::int64_t rx1 = std::min<std::int64_t>(box.right + refusedX + labelReachX, gw - 1);
    const std::int64_t ry0 = std::max<std::int64_t>(box.top - refusedY + labelReachY, 0);
    const std::int64_t ry1 = std::min<std::int64_t>(box.bottom + refusedY + labelReachY, gh - 1);
    for (std::int64_t y = ry0; y <= ry1 && rx0 <= rx1; ++y)
      std::memset(&refused[static_cast<std::size_t>(y) * gw + rx0], 1, // every length
                  static_cast<std::size_t>(rx1 - rx0 + 1));
    labels.push_back(Label{static_cast<std::uint32_t>(i), std::move(text)});
  };

  // Each sounding's pixel is taken once and handed on to the segment after it.
  std::size_t last = ~std::size_t(0);
  QPoint lastPixel;
  auto visit = [&](std::size_t i) TARVIK_INLINE {
    if (!placed(i))
      return;
    const QPoint at = pixelOf(i);
    if (i > 0 && last == i - 1)
      segment(i - 1, lastPixel, at);
    else if (i > 0 && placed(i - 1))
      segment(i - 1, pixelOf(i - 1), at);
    if (s.labels && !only)
      claim(i, at);
    last = i;
    lastPixel = at;
  };
  if (indexed) {
    // Every segment with an end near the view, and those longer than a cell, in list order
    // as a walk over all of them draws them (where two cross, the later one shows).
    auto isFound = [&](std::size_t i) { return (marks_[i >> 6] >> (i & 63)) & 1; };
    std::size_t l = 0;
    auto longBefore = [&](std::size_t end) {
      for (; l < longSegments_.size() && longSegments_[l] < end; ++l) {
        const std::size_t j = longSegments_[l];
        if (!isFound(j) && !isFound(j + 1))
          segment(j, pixelOf(j), pixelOf(j + 1));
      }
    };
    for (std::size_t k = 0; k < found_.size(); ++k) {
      const std::size_t i = found_[k];
      longBefore(i > 0 ? i - 1 : 0);
      visit(i);
      const bool nextFound = k + 1 < found_.size() && found_[k + 1] == i + 1;
      if (!nextFound && i + 1 < n && placed(i) && placed(i + 1))
        segment(i, lastPixel, pixelOf(i + 1));
    }
    longBefore(n);
  } else {
    // A run of soundings that all fall on one pixel, placed, live and near the view, is taken
    // whole: its segments have no length and its labels, all at one anchor, are refused at once
    // when a label stands there. Only where segments are written straight into the image.
    const bool runs = run.direct() && runBoxes_.size() == n / runLength;
    if (runs)
      refreshRunDeleted();
    const std::uint8_t *refusedAt = nullptr;
    for (std::size_t i = 0; i < n;) {
      if (runs && i % runLength == 0 && i / runLength < runBoxes_.size() &&
          !runDeleted_[i / runLength]) {
        const RunBox &b = runBoxes_[i / runLength];
        const QPoint at = pixelOf(i);
        if (b.placed && m.toX(b.minX) == at.x() && m.toX(b.maxX) == at.x() &&
            m.toY(b.minY) == at.y() && m.toY(b.maxY) == at.y() &&
            (allInView || (b.minX >= vx0 - padX && b.maxX <= vx1 + padX && b.minY >= vy0 - padY &&
                           b.maxY <= vy1 + padY))) {
          visit(i);
          if (s.labels && !only) {
            const int ax = at.x(), ay = at.y();
            const bool inReach = ax >= -labelReachX && ax <= v.width + labelReachX &&
                                 ay >= -labelReachY && ay <= v.height + labelReachY;
            refusedAt =
                inReach
                    ? &refused[static_cast<std::size_t>(ay + labelReachY) * gw + (ax + labelReachX)]
                    : nullptr;
            if (refusedAt && *refusedAt != 1)
              for (std::size_t k = i + 1; k < i + runLength; ++k)
                claim(k, at);
          }
          last = i + runLength - 1;
          lastPixel = at;
          i += runLength;
          continue;
        }
      }
      visit(i);
      ++i;
    }
  }
  run.flush();

  if (only && s.labels) {
    // The labels chosen before that reach into the rectangle, as they read now.
    const QRect reach = only->adjusted(-labelReachX, -labelReachY, labelReachX, labelReachY);
    for (std::uint32_t i : shownLabels_)
      if (i < n && reach.contains(pixelOf(i)))
        labels.push_back(Label{
            i, QString::fromStdString(platform::FloatToStrF(pts[i].Z, platform::ffFixed, 6, 2))});
  } else {
    if (track) {
      // Claimed in list order as the track was drawn; now that all of it is there, those with
      // a character on a block of it go.
      std::erase_if(labels, [&](const Label &l) {
        return trackHides(*track, pixelOf(l.index), l.text.size(), s.alignH, s.alignV);
      });
    }
    for (const Label &l : labels)
      shownLabels_.push_back(l.index);
    labelsDrawn_ = static_cast<int>(labels.size());
  }

  TQText label;
  label.FontName = s.fontName;
  label.Bold = s.bold;
  label.Italic = s.italic;
  label.AlignH = s.alignH;
  label.AlignV = s.alignV;
  for (Label &l : labels) {
    const strPoint &p = pts[l.index];
    label.X = p.X;
    label.Y = p.Y;
    label.DisplayText = std::move(l.text);
    label.PenFg = p.deleted ? s.deleted : s.label;
    label.Draw(g, v.left, v.right, v.top, v.bottom, v.width, v.height, false);
  }
}

bool PlanSoundings::redrawChanged(const View &v, const Style &s) {
  if (!points_ || points_->size() != indexed_ || shownZ_.size() != indexed_ ||
      shownDeleted_.size() != indexed_ || !any_)
    return false;
  const SoundingList &pts = *points_;
  const std::size_t n = pts.size();
  // An edit changes a few soundings; past this many the whole picture is drawn again.
  constexpr std::size_t fewChanges = 64;
  std::vector<std::size_t> changed;
  const std::size_t from = changed_.begin(n), to = changed_.end(n);
  for (std::size_t i = from; i < to; ++i)
    if (pts[i].Z != shownZ_[i] || pts[i].deleted != shownDeleted_[i]) {
      if (changed.size() == fewChanges)
        return false;
      changed.push_back(i);
    }
  const canvas::ViewMapping m(v.left, v.right, v.top, v.bottom, v.width, v.height);
  auto label = [&](double z) { return platform::FloatToStrF(z, platform::ffFixed, 6, 2); };
  QRect dirty;
  const int pad = std::abs(s.trackWidth) + 3;
  for (std::size_t i : changed) {
    // A label of another length would change which labels can be read.
    if (pts[i].Z != shownZ_[i] && label(pts[i].Z).size() != label(shownZ_[i]).size())
      return false;
    if (!placed(i))
      continue;
    const QPoint at(m.toX(pts[i].X), m.toY(pts[i].Y));
    dirty |= QRect(at.x() - 110, at.y() - 40, 220, 80);
    for (std::size_t j : {i - 1, i + 1})
      if (j < n && placed(j)) {
        const QPoint end(m.toX(pts[j].X), m.toY(pts[j].Y));
        dirty |= QRect(at, end).normalized().adjusted(-pad, -pad, pad, pad);
      }
  }
  dirty &= picture_.rect();
  if (!dirty.isEmpty()) {
    {
      QPainter clear(&picture_);
      clear.setCompositionMode(QPainter::CompositionMode_Source);
      clear.fillRect(dirty, Qt::transparent);
    }
    platform::GdiCanvas g(picture_);
    g.SetClipRegion(QRegion(dirty));
    drawWithin(g, v, s, &dirty, &picture_);
  }
  for (std::size_t i : changed) {
    shownZ_[i] = pts[i].Z;
    shownDeleted_[i] = pts[i].deleted;
  }
  return true;
}

void PlanSoundings::paint(platform::GdiCanvas &g, const QRect &area, const View &v,
                          const Style &s) {
  if (!points_ || v.width <= 0 || v.height <= 0 || area.isEmpty())
    return;
  const bool same = pictureValid_ && pictureView_ == v && pictureStyle_ == s;
  if (same && pictureRevision_ != revision_ && redrawChanged(v, s)) {
    pictureRevision_ = shownRevision_ = revision_;
    changed_.clear();
  }
  if (!same || pictureRevision_ != revision_) {
    pictureValid_ = false;
    if (!drawPicture(picture_, v, s))
      return;
    // What it shows, for the edits to come (unchanged when only the view or the style did):
    // taken again where the soundings changed since it was last taken.
    const SoundingList &pts = *points_;
    if (shownRevision_ != revision_ || shownZ_.size() != pts.size()) {
      const bool whole = shownZ_.size() != pts.size() || shownDeleted_.size() != pts.size();
      shownZ_.resize(pts.size());
      shownDeleted_.resize(pts.size());
      const std::size_t from = whole ? 0 : changed_.begin(pts.size());
      const std::size_t to = whole ? pts.size() : changed_.end(pts.size());
      for (std::size_t i = from; i < to; ++i) {
        shownZ_[i] = pts[i].Z;
        shownDeleted_[i] = pts[i].deleted;
      }
      shownRevision_ = revision_;
    }
    changed_.clear();
    pictureValid_ = true;
    pictureView_ = v;
    pictureStyle_ = s;
    pictureRevision_ = revision_;
  }
  const QRect r = area.intersected(picture_.rect());
  if (r.isEmpty())
    return;
  const QImage part(picture_.constScanLine(r.y()) + static_cast<std::size_t>(r.x()) * 4, r.width(),
                    r.height(), picture_.bytesPerLine(), picture_.format());
  g.Draw(r.x(), r.y(), part);
}

void PlanSoundings::refreshRunDeleted() {
  const SoundingList &pts = *points_;
  const std::size_t runs = runBoxes_.size();
  std::size_t from = 0, to = runs;
  if (!runDeletedChanged_.all && runDeleted_.size() == runs) {
    from = std::min(runDeletedChanged_.begin(pts.size()) / runLength, runs);
    to = std::min((runDeletedChanged_.end(pts.size()) + runLength - 1) / runLength, runs);
  } else {
    runDeleted_.assign(runs, 0);
  }
  for (std::size_t r = from; r < to; ++r) {
    std::uint8_t any = 0;
    for (std::size_t i = r * runLength; i < (r + 1) * runLength; ++i)
      any |= pts[i].deleted;
    runDeleted_[r] = any != 0;
  }
  runDeletedChanged_.clear();
}

bool PlanSoundings::drawPicture(QImage &image, const View &v, const Style &s) {
  if (image.width() != v.width || image.height() != v.height ||
      image.format() != QImage::Format_ARGB32_Premultiplied)
    image = QImage(v.width, v.height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull())
    return false;
  image.fill(Qt::transparent);
  platform::GdiCanvas g(image);
  drawWithin(g, v, s, nullptr, &image);
  return true;
}

void PlanSoundings::draw(platform::GdiCanvas &canvas, const View &view, const Style &style) {
  // Drawn as a picture is, then put down: the same pixels, and the same labels left out.
  QImage image;
  if (view.width <= 0 || view.height <= 0 || !drawPicture(image, view, style)) {
    drawWithin(canvas, view, style, nullptr, nullptr);
    return;
  }
  canvas.Draw(0, 0, image);
}

void PlanSoundings::changed(std::size_t from, std::size_t to) {
  ++revision_;
  runDeletedChanged_.widen(from, to);
  changed_.widen(from, to);
}
