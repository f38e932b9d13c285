// A spatial index of the bounds of a shape list's shapes, so that finding the shapes near a view
// costs about the number of shapes near it, not the size of the drawing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class TQShape;

// A further test of a shape's bounds that a look-up applies before it lists the shape: false
// only when the shape is surely not wanted. A box it does not want holds nothing it wants, so a
// look-up skips a cell whose shapes' bounds all lie in such a box. With no test every shape
// found is listed.
struct BoundsFilter {
  bool (*wants)(const void *context, double minX, double minY, double maxX, double maxY) = nullptr;
  const void *context = nullptr;
  bool operator()(double minX, double minY, double maxX, double maxY) const {
    return !wants || wants(context, minX, minY, maxX, maxY);
  }
  explicit operator bool() const { return wants != nullptr; }
};

// A hierarchy of hashed grids: level L has square cells of base * 2^L world units, and a shape
// lies in the one cell of the smallest level whose cells are wider than its bounds, the cell
// holding its lower-left corner; so a shape reaches at most one cell beyond its own in each
// direction, and a query looks one cell further to the lower left. Shapes too large for the top
// level, far beyond any cell, or with bounds that are not numbers, lie in a short list that
// every query checks. Entries carry the shape's order key and its bounds rounded outwards to
// single precision, so a query never misses a shape and reads no shape.
//
// The index is told of every change by its owner (ShapeList), which gives each shape its key;
// it records in the shape itself where the shape's entry lies, so that taking a shape out costs
// the same however many shapes share its cell.
class ShapeIndex {
public:
  ShapeIndex() = default;
  ShapeIndex(const ShapeIndex &) = delete;
  ShapeIndex &operator=(const ShapeIndex &) = delete;

  // Forgets every shape and picks the cell size for a drawing of `count` shapes spread over the
  // given extent (any extent that is not a positive number gives cells of one unit).
  void reset(std::size_t count, double width, double height);
  // Files a shape under its current bounds and key.
  void add(TQShape *shape);
  // Takes a filed shape out; its bounds may have changed since it was filed, its key not.
  void remove(TQShape *shape);
  // Appends to keys the keys of every filed shape whose bounds may meet the rectangle, in no
  // particular order, that `filter` wants. Gives up, returning false, once more than `limit`
  // are found. No rectangle coordinate may be NaN.
  bool query(double minX, double minY, double maxX, double maxY, std::size_t limit,
             std::vector<std::uint64_t> &keys, const BoundsFilter &filter = {}) const;

private:
  static constexpr int kLevels = 40;
  static constexpr std::int32_t kLoose = -2;

  struct Entry {
    std::uint64_t key;
    TQShape *shape;
    float minX, minY, maxX, maxY;
  };
  struct LooseEntry {
    std::uint64_t key;
    TQShape *shape;
    double minX, minY, maxX, maxY;
  };
  struct Cell {
    std::int64_t ix, iy;
    int level;
    std::vector<Entry> entries; // in no order
  };
  struct CellKey {
    std::int64_t ix, iy;
    int level;
    bool operator==(const CellKey &o) const { return ix == o.ix && iy == o.iy && level == o.level; }
  };
  struct CellKeyHash {
    std::size_t operator()(const CellKey &k) const noexcept;
  };
  struct Level {
    std::size_t entries = 0;
    std::vector<std::int32_t> cells;
  };

  template <class E> static void takeOut(std::vector<E> &entries, std::size_t i);
  void queryLevel(int level, double minX, double minY, double maxX, double maxY,
                  std::vector<std::uint64_t> &keys, const BoundsFilter &filter) const;
  static void collect(const Cell &cell, double minX, double minY, double maxX, double maxY,
                      std::vector<std::uint64_t> &keys, const BoundsFilter &filter);

  double base_ = 1.0;
  std::vector<Cell> cells_;
  std::unordered_map<CellKey, std::int32_t, CellKeyHash> cellOf_;
  Level levels_[kLevels];
  std::vector<LooseEntry> loose_;
  CellKey lastCell_{0, 0, 0};
  std::int32_t lastCellId_ = -1;
};
