// A coarse grid of where a region reaches.
#include "canvas/RegionCells.h"

#include "canvas/SegmentClip.h"

#include <algorithm>
#include <cmath>

using canvas::RegionCells;

RegionCells::RegionCells(const QRegion &region, int w, int h, long long pad)
    : w_(std::max(w, 1)), h_(std::max(h, 1)), columns_((w_ + cell - 1) / cell),
      rows_((h_ + cell - 1) / cell), pad_(static_cast<double>(std::max(pad, 0LL))),
      reach_(static_cast<std::size_t>(columns_) * rows_, 0) {
  std::vector<unsigned char> own(reach_.size(), 0);
  for (const QRect &piece : region) {
    const QRect r = piece.intersected(QRect(0, 0, w_, h_));
    if (r.isEmpty())
      continue;
    for (int y = r.top() / cell; y <= r.bottom() / cell; ++y)
      for (int x = r.left() / cell; x <= r.right() / cell; ++x)
        own[static_cast<std::size_t>(y) * columns_ + x] = 1;
  }
  // Pixels d cells apart lie at least (d - 1) cells and a pixel apart: cells within this many
  // of the region's own hold every pixel within the pad of it, and a few pixels more for the
  // truncation of the coordinates the tests below are given.
  const int spread = static_cast<int>(
      std::min<long long>((std::max(pad, 0LL) + margin + 1) / cell + 1, std::max(columns_, rows_)));
  std::vector<unsigned char> across(reach_.size(), 0);
  for (int y = 0; y < rows_; ++y)
    for (int x = 0; x < columns_; ++x)
      if (own[static_cast<std::size_t>(y) * columns_ + x])
        for (int k = std::max(x - spread, 0); k <= std::min(x + spread, columns_ - 1); ++k)
          across[static_cast<std::size_t>(y) * columns_ + k] = 1;
  for (int y = 0; y < rows_; ++y)
    for (int x = 0; x < columns_; ++x)
      if (across[static_cast<std::size_t>(y) * columns_ + x])
        for (int k = std::max(y - spread, 0); k <= std::min(y + spread, rows_ - 1); ++k)
          reach_[static_cast<std::size_t>(k) * columns_ + x] = 1;
}

// Whether a cell within reach lies among the pixels x0..x1, y0..y1, which may stand outside the
// client: a shape beyond the pad of the client reaches nothing, one closer is taken to lie in
// the edge cells, which only brings it nearer the region.
bool RegionCells::anyIn(long long x0, long long y0, long long x1, long long y1) const {
  const long long p = static_cast<long long>(pad_) + margin + 1;
  if (x1 < -p || y1 < -p || x0 >= w_ + p || y0 >= h_ + p || x1 < x0 || y1 < y0)
    return false;
  const long long c0 = std::clamp<long long>(x0, 0, w_ - 1) / cell;
  const long long c1 = std::clamp<long long>(x1, 0, w_ - 1) / cell;
  const long long r0 = std::clamp<long long>(y0, 0, h_ - 1) / cell;
  const long long r1 = std::clamp<long long>(y1, 0, h_ - 1) / cell;
  for (long long y = r0; y <= r1; ++y)
    for (long long x = c0; x <= c1; ++x)
      if (reach_[static_cast<std::size_t>(y * columns_ + x)])
        return true;
  return false;
}

bool RegionCells::meets(const QRect &r) const {
  return !r.isEmpty() && anyIn(r.left(), r.top(), r.right(), r.bottom());
}

bool RegionCells::meetsBounds(const ViewMapping &m, double minX, double minY, double maxX,
                              double maxY) const {
  const double x0 = (minX - m.left) * m.scaleX, x1 = (maxX - m.left) * m.scaleX;
  const double y0 = (m.top - maxY) * m.scaleY, y1 = (m.top - minY) * m.scaleY;
  if (!(std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1)))
    return true;
  const auto at = [](double v) { return static_cast<long long>(std::clamp(v, -1e15, 1e15)); };
  return anyIn(at(std::floor(std::min(x0, x1))), at(std::floor(std::min(y0, y1))),
               at(std::ceil(std::max(x0, x1))), at(std::ceil(std::max(y0, y1))));
}

bool RegionCells::meetsPiece(double ax, double ay, double bx, double by) const {
  if (!(std::isfinite(ax) && std::isfinite(ay) && std::isfinite(bx) && std::isfinite(by)))
    return true;
  // The piece within the client and the pad around it.
  const double p = pad_ + margin + 1.0;
  double t0 = 0.0, t1 = 1.0;
  if (!canvas::clipPiece(ax, ay, bx, by, -p, -p, w_ + p, h_ + p, t0, t1))
    return false;
  const double dx = bx - ax, dy = by - ay;
  const double ux = ax + dx * t0, uy = ay + dy * t0, vx = ax + dx * t1, vy = ay + dy * t1;
  // Row of cells by row of cells, the columns the piece crosses there (its pixels lie within a
  // pixel and a half of it: the spread covers that).
  const double top = std::min(uy, vy), bottom = std::max(uy, vy);
  const double xPerY = dy != 0.0 ? dx / dy : 0.0;
  const long long r0 =
      std::clamp<long long>(static_cast<long long>(std::floor(top)), 0, h_ - 1) / cell;
  const long long r1 =
      std::clamp<long long>(static_cast<long long>(std::ceil(bottom)), 0, h_ - 1) / cell;
  for (long long row = r0; row <= r1; ++row) {
    double x0 = std::min(ux, vx), x1 = std::max(ux, vx);
    if (dy != 0.0) {
      const double ya = std::max(static_cast<double>(row * cell), top);
      const double yb = std::min(static_cast<double>(row * cell + cell), bottom);
      const double xa = ux + (ya - uy) * xPerY, xb = ux + (yb - uy) * xPerY;
      x0 = std::max(x0, std::min(xa, xb));
      x1 = std::min(x1, std::max(xa, xb));
    }
    const long long c0 =
        std::clamp<long long>(static_cast<long long>(std::floor(x0)), 0, w_ - 1) / cell;
    const long long c1 =
        std::clamp<long long>(static_cast<long long>(std::ceil(x1)), 0, w_ - 1) / cell;
    for (long long column = c0; column <= c1; ++column)
      if (reach_[static_cast<std::size_t>(row * columns_ + column)])
        return true;
  }
  return false;
}
