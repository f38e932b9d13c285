// Finding the pieces of a clip that a line may reach.
#include "platform/ClipPieces.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Bands a line may meet before its pieces are found through the grid's cells instead.
constexpr std::ptrdiff_t mostBandsWalked = 8;

} // namespace

void ClipPieces::clear() {
  pieces_.clear();
  bands_.assign(1, 0);
  cellsBuilt_ = false;
}

void ClipPieces::set(const QRegion &region, const QRect &device) {
  clear();
  if (region.isEmpty()) {
    if (!device.isEmpty())
      pieces_.push_back(device);
  } else {
    for (const QRect &piece : region) {
      const QRect r = piece.intersected(device);
      if (!r.isEmpty())
        pieces_.push_back(r);
    }
  }
  // Cutting a region's pieces to the device keeps its bands.
  bands_.clear();
  for (std::size_t i = 0; i < pieces_.size(); ++i)
    if (i == 0 || pieces_[i].top() != pieces_[i - 1].top() ||
        pieces_[i].bottom() != pieces_[i - 1].bottom())
      bands_.push_back(i);
  bands_.push_back(pieces_.size());
}

void ClipPieces::buildCells() {
  cellsBuilt_ = true;
  int right = 0, bottom = 0;
  for (const QRect &r : pieces_) {
    right = std::max(right, r.right());
    bottom = std::max(bottom, r.bottom());
  }
  columns_ = right / cell + 1;
  rows_ = bottom / cell + 1;
  const auto cells = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
  cellStart_.assign(cells + 1, 0);
  const auto eachCell = [&](const QRect &r, auto &&f) {
    for (int y = std::max(r.top(), 0) / cell; y <= r.bottom() / cell; ++y)
      for (int x = std::max(r.left(), 0) / cell; x <= r.right() / cell; ++x)
        f(static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) +
          static_cast<std::size_t>(x));
  };
  for (const QRect &r : pieces_)
    eachCell(r, [&](std::size_t c) { ++cellStart_[c + 1]; });
  for (std::size_t c = 0; c < cells; ++c)
    cellStart_[c + 1] += cellStart_[c];
  cellPieces_.assign(cellStart_.back(), 0);
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  for (std::size_t i = 0; i < pieces_.size(); ++i)
    eachCell(pieces_[i],
             [&](std::size_t c) { cellPieces_[next[c]++] = static_cast<std::uint32_t>(i); });
  seen_.assign(pieces_.size(), 0);
  walk_ = 0;
}

void ClipPieces::nearLine(QPoint a, QPoint b, std::vector<const QRect *> &out) {
  out.clear();
  const long long top = std::min<long long>(a.y(), b.y());
  const long long bottom = std::max<long long>(a.y(), b.y());
  const long long left = std::min<long long>(a.x(), b.x());
  const long long right = std::max<long long>(a.x(), b.x());
  const long long dx = static_cast<long long>(b.x()) - a.x();
  const long long dy = static_cast<long long>(b.y()) - a.y();
  const double xPerY = dy != 0 ? static_cast<double>(dx) / static_cast<double>(dy) : 0.0;
  // The columns, a pixel wider on each side, where the exact line runs within rows y0..y1 and
  // a row beyond.
  const auto columnsAt = [&](long long y0, long long y1, double &x0, double &x1) {
    x0 = static_cast<double>(left);
    x1 = static_cast<double>(right);
    if (dy == 0)
      return;
    const double u = static_cast<double>(std::max(y0, top) - 1);
    const double v = static_cast<double>(std::min(y1, bottom) + 1);
    const double p = a.x() + (u - a.y()) * xPerY, q = a.x() + (v - a.y()) * xPerY;
    x0 = std::max(x0, std::min(p, q) - 1.0);
    x1 = std::min(x1, std::max(p, q) + 1.0);
  };
  const auto bandEnd = bands_.end() - 1;
  const auto firstBand = std::partition_point(
      bands_.begin(), bandEnd, [&](std::size_t i) { return pieces_[i].bottom() < top; });
  const auto lastBand = std::partition_point(
      firstBand, bandEnd, [&](std::size_t i) { return pieces_[i].top() <= bottom; });
  if (lastBand - firstBand <= mostBandsWalked) {
    for (auto band = firstBand; band < lastBand; ++band) {
      const auto first = pieces_.begin() + static_cast<std::ptrdiff_t>(band[0]);
      const auto last = pieces_.begin() + static_cast<std::ptrdiff_t>(band[1]);
      double x0 = 0.0, x1 = 0.0;
      columnsAt(first->top(), first->bottom(), x0, x1);
      auto piece =
          std::partition_point(first, last, [&](const QRect &r) { return r.right() < x0; });
      for (; piece != last && piece->left() <= x1; ++piece)
        out.push_back(&*piece);
    }
    return;
  }
  if (!cellsBuilt_)
    buildCells();
  if (++walk_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0);
    walk_ = 1;
  }
  const long long rowFrom = std::max<long long>(top, 0) / cell;
  const long long rowTo = std::min<long long>(bottom / cell, rows_ - 1);
  for (long long row = rowFrom; row <= rowTo; ++row) {
    double x0 = 0.0, x1 = 0.0;
    columnsAt(row * cell, row * cell + cell - 1, x0, x1);
    if (x1 < 0.0 || x0 > static_cast<double>(columns_) * cell)
      continue;
    const long long c0 = std::max<long long>(static_cast<long long>(std::floor(x0)) / cell, 0);
    const long long c1 =
        std::min<long long>(static_cast<long long>(std::floor(x1)) / cell, columns_ - 1);
    for (long long column = c0; column <= c1; ++column) {
      const std::size_t c = static_cast<std::size_t>(row * columns_ + column);
      for (std::uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
        const std::uint32_t i = cellPieces_[k];
        if (seen_[i] == walk_)
          continue;
        seen_[i] = walk_;
        // A cell holds pieces of many rows: only those the line passes near are listed.
        const QRect &piece = pieces_[i];
        double p0 = 0.0, p1 = 0.0;
        columnsAt(piece.top(), piece.bottom(), p0, p1);
        if (p1 >= piece.left() && p0 <= piece.right())
          out.push_back(&piece);
      }
    }
  }
}

} // namespace platform
