// The computations of the profile: distances, display truncations, the vertical fit, smoothing,
// the nearest-point search and the counts.
#include "editor/Graph.h"

#include "platform/GdiCanvas.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

clGraph::clGraph()
    // The active caption's gradient has no counterpart here; the palette's highlight stands in.
    : dragLineColor(platform::fromQColor(QPalette().color(QPalette::Active, QPalette::Highlight))) {
}

clGraph::~clGraph() = default;

double clGraph::planDistance(const strPoint &a, const strPoint &b) {
  const double dx = b.X - a.X;
  const double dy = b.Y - a.Y;
  return std::sqrt(dx * dx + dy * dy);
}

double clGraph::truncate2(double v) { return v - (100.0 * v - std::floor(100.0 * v)) / 100.0; }

double clGraph::truncate8(double v) { return v - (1e8 * v - std::floor(1e8 * v)) / 1e8; }

namespace {

// The indices of the visible window that exist in the list.
void visibleRange(const clGraph &g, const SoundingList &points, std::size_t &from,
                  std::size_t &to) {
  const long long first = std::max<long long>(g.firstIndex, 0);
  const long long last = std::min<long long>(static_cast<long long>(g.firstIndex) + g.visibleCount,
                                             static_cast<long long>(points.size()));
  from = static_cast<std::size_t>(first);
  to = static_cast<std::size_t>(std::max(first, last));
}

} // namespace

double clGraph::maxHeight(const SoundingList &points) const {
  std::size_t from, to;
  visibleRange(*this, points, from, to);
  double m = -1e35;
  for (std::size_t i = from; i < to; ++i)
    if (points[i].Z >= m)
      m = points[i].Z;
  return m;
}

double clGraph::minHeight(const SoundingList &points) const {
  std::size_t from, to;
  visibleRange(*this, points, from, to);
  double m = 1e35;
  for (std::size_t i = from; i < to; ++i)
    if (points[i].Z <= m)
      m = points[i].Z;
  return m;
}

void clGraph::fitVertical(const SoundingList &points, double &fitTop, double &fitBottom,
                          const ProfileBlocks *blocks) const {
  std::size_t from, to;
  visibleRange(*this, points, from, to);
  if (from >= to)
    return; // nothing visible to fit: the window stays as it is
  if (blocks && !blocks->fits(points))
    blocks = nullptr;
  // maxHeight and minHeight in one pass; whole blocks by their summary.
  constexpr std::size_t B = ProfileBlocks::size;
  double max = -1e35, min = 1e35;
  for (std::size_t i = from; i < to;) {
    if (blocks && i % B == 0 && i + B <= to && i / B < blocks->blocks.size()) {
      const ProfileBlocks::Block &b = blocks->blocks[i / B];
      max = std::max(max, b.maxZ);
      min = std::min(min, b.minZ);
      i += B;
      continue;
    }
    const double z = points[i].Z;
    if (z >= max)
      max = z;
    if (z <= min)
      min = z;
    ++i;
  }
  double t = max + 0.1 * std::fabs(max);
  double b = min - 0.1 * std::fabs(min);
  if (!(t > b)) {
    // Every visible height is 0: a window of no height would divide by zero.
    t = max + 1.0;
    b = min - 1.0;
  }
  fitTop = t;
  fitBottom = b;
}

void clGraph::smoothPoint(SoundingList &points, int i, int n, double limit) const {
  const int count = static_cast<int>(points.size());
  if (i <= 0 || i >= count - 1)
    return;
  if (points[i - 1].deleted)
    return;
  const double d1 = planDistance(points[i - 1], points[i]);
  const double d2 = planDistance(points[i], points[i + 1]);
  if (!(d1 < limit && d2 < limit))
    return;
  double sum = 0.0;
  int taken = 0;
  const long long from = static_cast<long long>(i) - n;
  const long long to = static_cast<long long>(i) + n;
  for (long long o = std::max(from, 1LL); o <= std::min<long long>(to, count - 2); ++o) {
    if (!points[o].deleted) {
      sum += points[o].Z;
      ++taken;
    }
  }
  if (taken == 0)
    return; // no mean to take: the point keeps its height
  points[i].Z = sum / taken;
  points[i].processed = 1;
}

void clGraph::selectNearest(double x, double y, SoundingList &points, int imageWidth) {
  if (points.empty())
    return;
  const strPoint at{x, y, 0.0};
  double best = 1e21;
  std::size_t idx = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double d = planDistance(at, points[i]);
    if (d < best) {
      best = d;
      idx = i;
    }
  }
  const int half = visibleCount / 2;
  const int found = static_cast<int>(idx);
  if (found < half) {
    firstIndex = 0;
    // The first point cannot be brought to the middle by zooming: the zoom stays.
    if (found > 0)
      pixelsPerPoint = double(imageWidth) / (2.0 * found);
  } else {
    firstIndex = found - half;
  }
  points[idx].selected = 1;
}

double clGraph::processedPercent(const SoundingList &points) {
  if (points.empty())
    return 0.0;
  std::size_t count = 0;
  for (const strPoint &p : points)
    count += (p.processed || p.deleted) ? 1 : 0;
  return truncate2(double(count) * 100.0 / double(points.size()));
}

int clGraph::countDeleted(const SoundingList &points) {
  int count = 0;
  for (const strPoint &p : points)
    count += p.deleted ? 1 : 0;
  return count;
}

int clGraph::cursorIndex() const { return platform::truncToInt(firstIndex + cursorOffset); }

int clGraph::cursorIndexClamped(int count) const {
  return std::clamp(cursorIndex(), 0, std::max(count - 1, 0));
}
