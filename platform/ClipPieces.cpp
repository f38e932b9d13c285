// Finding the pieces of a clip that a line may reach.
#include "platform/ClipPieces.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Pieces a line is tested against one by one before the grid's cells are used.
constexpr std::size_t fewPieces = 8;

} // namespace

void ClipPieces::clear() {
  pieces_.clear();
  cellsBuilt_ = false;
}

void ClipPieces::set(const QRegion &region, const QRect &device) {
  clear();
  if (region.isEmpty()) {
    if (!device.isEmpty())
      pieces_.push_back(device);
    return;
  }
  // The pieces of the band above still open to be joined, in the order of their columns.
  std::vector<std::size_t> open, next;
  int bandTop = 0;
  std::size_t o = 0;
  for (const QRect &piece : region) {
    const QRect r = piece.intersected(device);
    if (r.isEmpty())
      continue;
    if (next.empty() || r.top() != bandTop) {
      // A new band: the band before it is what the next band may join.
      if (!next.empty())
        open.swap(next);
      next.clear();
      bandTop = r.top();
      o = 0;
    }
    while (o < open.size() && pieces_[open[o]].left() < r.left())
      ++o;
    if (o < open.size()) {
      QRect &above = pieces_[open[o]];
      if (above.left() == r.left() && above.right() == r.right() && above.bottom() + 1 == r.top()) {
        above.setBottom(r.bottom());
        next.push_back(open[o]);
        continue;
      }
    }
    next.push_back(pieces_.size());
    pieces_.push_back(r);
  }
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

bool ClipPieces::meets(const QRect &r) {
  if (r.isEmpty())
    return false;
  if (pieces_.size() <= fewPieces)
    return std::any_of(pieces_.begin(), pieces_.end(),
                       [&](const QRect &piece) { return piece.intersects(r); });
  if (!cellsBuilt_)
    buildCells();
  if (r.right() < 0 || r.bottom() < 0)
    return false;
  const int c0 = std::max(r.left(), 0) / cell, c1 = std::min(r.right() / cell, columns_ - 1);
  const int r0 = std::max(r.top(), 0) / cell, r1 = std::min(r.bottom() / cell, rows_ - 1);
  for (int row = r0; row <= r1; ++row)
    for (int column = c0; column <= c1; ++column) {
      const std::size_t c = static_cast<std::size_t>(row) * columns_ + column;
      for (std::uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k)
        if (pieces_[cellPieces_[k]].intersects(r))
          return true;
    }
  return false;
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
  const auto near = [&](const QRect &piece) {
    if (piece.bottom() < top || piece.top() > bottom)
      return false;
    double x0 = 0.0, x1 = 0.0;
    columnsAt(piece.top(), piece.bottom(), x0, x1);
    return x1 >= piece.left() && x0 <= piece.right();
  };
  if (pieces_.size() <= fewPieces) {
    for (const QRect &piece : pieces_)
      if (near(piece))
        out.push_back(&piece);
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
        if (near(pieces_[i]))
          out.push_back(&pieces_[i]);
      }
    }
  }
}

} // namespace platform
