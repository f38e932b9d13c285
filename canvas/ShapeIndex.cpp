// The hashed-grid index of shape bounds.
#include "canvas/ShapeIndex.h"

#include "canvas/Shapes.h"

#include <algorithm>
#include <cmath>

namespace {

// Beyond this a coordinate does not fit a single-precision entry: such shapes go to the list
// every query checks.
constexpr double kLargestCoordinate = 1e30;
// Cell numbers stay well inside the integers a double holds exactly.
constexpr double kLargestCellNumber = 4503599627370496.0; // 2^52

float roundedDown(double v) {
  float f = static_cast<float>(v);
  if (static_cast<double>(f) > v)
    f = std::nextafter(f, -HUGE_VALF);
  return f;
}

float roundedUp(double v) {
  float f = static_cast<float>(v);
  if (static_cast<double>(f) < v)
    f = std::nextafter(f, HUGE_VALF);
  return f;
}

bool fitsEntry(double v) { return v >= -kLargestCoordinate && v <= kLargestCoordinate; }

} // namespace

std::size_t ShapeIndex::CellKeyHash::operator()(const CellKey &k) const noexcept {
  std::uint64_t h = static_cast<std::uint64_t>(k.ix) * 0x9E3779B97F4A7C15ULL;
  h ^= static_cast<std::uint64_t>(k.iy) + 0x7F4A7C159E3779B9ULL + (h << 6) + (h >> 2);
  h ^= static_cast<std::uint64_t>(k.level) * 0xBF58476D1CE4E5B9ULL;
  h ^= h >> 31;
  h *= 0x94D049BB133111EBULL;
  h ^= h >> 29;
  return static_cast<std::size_t>(h);
}

void ShapeIndex::reset(std::size_t count, double width, double height) {
  lastCellId_ = -1;
  cells_.clear();
  cellOf_.clear();
  for (Level &l : levels_)
    l = Level{};
  loose_.clear();
  // About 32 shapes to a cell of the lowest level when they are spread evenly; a power of
  // two, so that dividing by a cell size is exact.
  const double n = static_cast<double>(count > 0 ? count : 1);
  double base = 1.0;
  if (width > 0.0 && height > 0.0 && std::isfinite(width * height))
    base = std::sqrt(width * height * 32.0 / n);
  else if (width > 0.0 && std::isfinite(width))
    base = width * 32.0 / n;
  else if (height > 0.0 && std::isfinite(height))
    base = height * 32.0 / n;
  if (!(base > 0.0) || !std::isfinite(base))
    base = 1.0;
  base_ = std::ldexp(1.0, std::clamp(std::ilogb(base), -60, 60));
  cellOf_.reserve(count / 4);
}

void ShapeIndex::add(TQShape *shape) {
  const double minX = shape->MinX, minY = shape->MinY, maxX = shape->MaxX, maxY = shape->MaxY;
  const auto loose = [&] {
    shape->indexCell_ = kLoose;
    shape->indexEntry_ = static_cast<std::int32_t>(loose_.size());
    loose_.push_back(LooseEntry{shape->orderKey_, shape, minX, minY, maxX, maxY});
  };
  if (!(fitsEntry(minX) && fitsEntry(minY) && fitsEntry(maxX) && fitsEntry(maxY)))
    return loose();
  const double extent = std::max(maxX - minX, maxY - minY);
  // The smallest level whose cells are wider than the shape; reversed bounds count as a point.
  int level = 0;
  double size = base_;
  while (level < kLevels && !(extent < size)) {
    ++level;
    size *= 2.0;
  }
  if (level == kLevels)
    return loose();
  const double fx = std::floor(minX / size);
  const double fy = std::floor(minY / size);
  if (!(std::fabs(fx) < kLargestCellNumber && std::fabs(fy) < kLargestCellNumber))
    return loose();
  const CellKey ck{static_cast<std::int64_t>(fx), static_cast<std::int64_t>(fy), level};
  // Shapes drawn one after another (a track) mostly share a cell: the last one is tried first.
  if (!(lastCellId_ >= 0 && lastCell_ == ck)) {
    auto [it, inserted] = cellOf_.try_emplace(ck, static_cast<std::int32_t>(cells_.size()));
    if (inserted) {
      cells_.push_back(Cell{ck.ix, ck.iy, level, {}});
      levels_[level].cells.push_back(it->second);
    }
    lastCell_ = ck;
    lastCellId_ = it->second;
  }
  Cell &cell = cells_[static_cast<std::size_t>(lastCellId_)];
  shape->indexCell_ = lastCellId_;
  shape->indexEntry_ = static_cast<std::int32_t>(cell.entries.size());
  cell.entries.push_back(Entry{shape->orderKey_, shape, roundedDown(minX), roundedDown(minY),
                               roundedUp(maxX), roundedUp(maxY)});
  ++levels_[level].entries;
}

// Takes entry i out by moving the last entry into its place, and tells that entry's shape.
template <class E> void ShapeIndex::takeOut(std::vector<E> &entries, std::size_t i) {
  if (i + 1 != entries.size()) {
    entries[i] = entries.back();
    entries[i].shape->indexEntry_ = static_cast<std::int32_t>(i);
  }
  entries.pop_back();
}

void ShapeIndex::remove(TQShape *shape) {
  const std::int32_t where = shape->indexCell_;
  const auto i = static_cast<std::size_t>(shape->indexEntry_);
  shape->indexCell_ = -1;
  if (where == kLoose) {
    if (i < loose_.size() && loose_[i].shape == shape)
      takeOut(loose_, i);
    return;
  }
  if (where < 0 || static_cast<std::size_t>(where) >= cells_.size())
    return;
  Cell &cell = cells_[static_cast<std::size_t>(where)];
  if (i < cell.entries.size() && cell.entries[i].shape == shape) {
    takeOut(cell.entries, i);
    --levels_[cell.level].entries;
  }
}

void ShapeIndex::collect(const Cell &cell, double minX, double minY, double maxX, double maxY,
                         std::vector<std::uint64_t> &keys, const BoundsFilter &filter) {
  for (const Entry &e : cell.entries)
    if (!(e.maxX < minX || e.minX > maxX || e.maxY < minY || e.minY > maxY) &&
        filter(e.minX, e.minY, e.maxX, e.maxY))
      keys.push_back(e.key);
}

void ShapeIndex::queryLevel(int level, double minX, double minY, double maxX, double maxY,
                            std::vector<std::uint64_t> &keys, const BoundsFilter &filter) const {
  const Level &l = levels_[level];
  const double size = std::ldexp(base_, level);
  // A shape reaches at most one cell beyond its own cell to the upper right.
  const double x0 = std::floor(minX / size) - 1.0;
  const double y0 = std::floor(minY / size) - 1.0;
  const double x1 = std::floor(maxX / size);
  const double y1 = std::floor(maxY / size);
  const double visits = (x1 - x0 + 1.0) * (y1 - y0 + 1.0);
  const bool addressable = std::fabs(x0) < kLargestCellNumber &&
                           std::fabs(x1) < kLargestCellNumber &&
                           std::fabs(y0) < kLargestCellNumber && std::fabs(y1) < kLargestCellNumber;
  // The shapes of a cell have their bounds within it and the next cell up and to the right.
  const auto wanted = [&](double cx, double cy) {
    return !filter || filter(cx * size, cy * size, (cx + 2.0) * size, (cy + 2.0) * size);
  };
  if (!addressable || !(visits <= static_cast<double>(l.cells.size()))) {
    // Fewer cells exist than the rectangle spans: test each of them.
    for (std::int32_t id : l.cells) {
      const Cell &c = cells_[static_cast<std::size_t>(id)];
      const double cx = static_cast<double>(c.ix), cy = static_cast<double>(c.iy);
      if (cx >= x0 && cx <= x1 && cy >= y0 && cy <= y1 && wanted(cx, cy))
        collect(c, minX, minY, maxX, maxY, keys, filter);
    }
    return;
  }
  if (x1 < x0 || y1 < y0)
    return;
  const auto ix0 = static_cast<std::int64_t>(x0), ix1 = static_cast<std::int64_t>(x1);
  const auto iy0 = static_cast<std::int64_t>(y0), iy1 = static_cast<std::int64_t>(y1);
  for (std::int64_t iy = iy0; iy <= iy1; ++iy)
    for (std::int64_t ix = ix0; ix <= ix1; ++ix) {
      if (!wanted(static_cast<double>(ix), static_cast<double>(iy)))
        continue;
      auto it = cellOf_.find(CellKey{ix, iy, level});
      if (it != cellOf_.end())
        collect(cells_[static_cast<std::size_t>(it->second)], minX, minY, maxX, maxY, keys, filter);
    }
}

bool ShapeIndex::query(double minX, double minY, double maxX, double maxY, std::size_t limit,
                       std::vector<std::uint64_t> &keys, const BoundsFilter &filter) const {
  for (const LooseEntry &e : loose_)
    // Written so that bounds that are not numbers are listed rather than missed.
    if (!(e.maxX < minX || e.minX > maxX || e.maxY < minY || e.minY > maxY) &&
        filter(e.minX, e.minY, e.maxX, e.maxY))
      keys.push_back(e.key);
  for (int level = 0; level < kLevels; ++level) {
    if (levels_[level].entries == 0)
      continue;
    queryLevel(level, minX, minY, maxX, maxY, keys, filter);
    if (keys.size() > limit)
      return false;
  }
  return keys.size() <= limit;
}
