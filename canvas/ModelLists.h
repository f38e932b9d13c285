// The owning lists of the drawing model: shapes in drawing order and layers in creation order,
// each with a lookup index that every change of the list keeps current.
#pragma once

#include "canvas/Layers.h"
#include "canvas/ShapeIndex.h"
#include "canvas/Shapes.h"
#include "platform/Color.h"

#include <QHash>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <unordered_map>
#include <vector>

// The drawing's shapes, owned, in drawing order: the last entry is the topmost shape. Looking a
// shape up by number gives the same answer as a scan from the first entry, without the scan.
// Every change goes through the members, or through a shape's ShapeNumber or Layer, which tell
// the list they lie in; so the index, the per-layer counts and the mirrored count (the canvas's
// ShapeCount) always match.
//
// The list also keeps a spatial index of its shapes' bounds (built at the first query) and what
// it knows of each layer's pens. Both rely on one rule: once a shape is in the list, its bounds
// (its geometry) and its pen colour and width change only through the drawing model's
// operations, which tell the list with boundsChanged and penChanged.
class ShapeList {
  struct Slot {
    TQShape *shape;
    std::int32_t number; // the number the shape was indexed under
    std::uint64_t key;   // its order key: keys ascend with the position
  };

public:
  // Iterates the shapes as plain pointers; the list keeps ownership.
  class const_iterator {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = TQShape *;
    using difference_type = std::ptrdiff_t;
    using pointer = TQShape *const *;
    using reference = TQShape *const &;

    const_iterator() = default;
    explicit const_iterator(const Slot *p) : p_(p) {}
    reference operator*() const { return p_->shape; }
    const_iterator &operator++() {
      ++p_;
      return *this;
    }
    const_iterator operator++(int) {
      auto old = *this;
      ++p_;
      return old;
    }
    const_iterator &operator--() {
      --p_;
      return *this;
    }
    const_iterator &operator+=(difference_type n) {
      p_ += n;
      return *this;
    }
    const_iterator operator+(difference_type n) const { return const_iterator(p_ + n); }
    const_iterator operator-(difference_type n) const { return const_iterator(p_ - n); }
    difference_type operator-(const const_iterator &o) const { return p_ - o.p_; }
    reference operator[](difference_type n) const { return p_[n].shape; }
    bool operator==(const const_iterator &o) const { return p_ == o.p_; }
    bool operator!=(const const_iterator &o) const { return p_ != o.p_; }
    bool operator<(const const_iterator &o) const { return p_ < o.p_; }

  private:
    const Slot *p_ = nullptr;
  };

  // countMirror, when given, is kept equal to size() after every change.
  explicit ShapeList(int *countMirror = nullptr);
  ~ShapeList();
  ShapeList(const ShapeList &) = delete;
  ShapeList &operator=(const ShapeList &) = delete;

  int size() const { return static_cast<int>(slots_.size()); }
  bool empty() const { return slots_.empty(); }
  TQShape *operator[](int i) const { return slots_[static_cast<std::size_t>(i)].shape; }
  TQShape *front() const { return slots_.front().shape; }
  TQShape *back() const { return slots_.back().shape; }
  const_iterator begin() const { return const_iterator(slots_.data()); }
  const_iterator end() const { return const_iterator(slots_.data() + slots_.size()); }
  void reserve(std::size_t n);

  // Appends at the top of the drawing order, keeping the shape's number.
  void push_back(std::unique_ptr<TQShape> shape);
  // Inserts before position pos (0 = bottom-most, size() = append).
  void insert(int pos, std::unique_ptr<TQShape> shape);
  // Removes the entry at pos and hands the shape back.
  std::unique_ptr<TQShape> take(int pos);
  // Removes and deletes the entry at pos.
  void erase(int pos);
  // Removes and deletes, in one pass that keeps the order of the rest, every shape from position
  // `from` on for which pred(shape) is true; pred sees each of those shapes once, first to last.
  // Returns how many went.
  template <class Pred> int eraseIf(Pred pred, int from = 0);
  // Deletes every shape.
  void clear();
  // Moves the entry at pos to the end (topmost) or to the start (bottom-most).
  void moveToEnd(int pos);
  void moveToStart(int pos);

  // ---- Layers
  // How many shapes of the list lie on the layer.
  int countOnLayer(int layer) const;
  // The lowest position holding a shape of the layer, or size() when it has none. The walk goes
  // down from the top and stops at the layer's last shape: the layers redrawn at every timer
  // tick hold few shapes, all near the top.
  int lowestOnLayer(int layer) const;
  // True when every shape on the layer is known to have that pen colour (or width): set by
  // notePenFg/notePenWidth after a restyle, lost when a shape of another pen joins the layer or
  // a shape's pen is changed.
  bool layerPenFgIs(int layer, TColor value) const;
  bool layerPenWidthIs(int layer, int value) const;
  void notePenFg(int layer, TColor value);
  void notePenWidth(int layer, int value);
  // A listed shape's pen colour or width was just changed.
  void penChanged(const TQShape *shape);

  // ---- Geometry
  // A listed shape's bounds were just changed.
  void boundsChanged(TQShape *shape);
  // Positions, ascending, of every shape whose bounds meet the rectangle (edges included), and
  // perhaps of a few more nearby. Bounds that are not numbers meet every rectangle, and so does
  // every shape a rectangle with a NaN coordinate. Only shapes whose bounds `filter` wants are
  // listed. Not to be called from two threads at once.
  void positionsNear(double minX, double minY, double maxX, double maxY, std::vector<int> &out,
                     const BoundsFilter &filter = {}) const;

  // The first shape in list order with that number, or null.
  TQShape *find(std::int32_t number) const;
  // True when some shape in the list has that number.
  bool containsNumber(std::int32_t number) const;
  // Position of the first shape with that number, or -1.
  int indexOfNumber(std::int32_t number) const;
  // Position of that shape object, or -1.
  int indexOf(const TQShape *shape) const;

private:
  struct Entry {
    TQShape *first; // null when the first in list order must be found by a scan
    std::uint32_t count;
  };

  struct LayerTally {
    int count = 0;
    bool fgKnown = false;
    bool widthKnown = false;
    TColor fg = 0;
    int width = 0;
  };

  friend class ShapeNumberField;
  friend class ShapeLayerField;
  // Files a shape of the list under its new number.
  void renumber(const ShapeNumberField &field, std::int32_t number);
  // Counts a shape of the list on its new layer.
  void relayer(int from, int to);
  void indexAdd(const Slot &slot, bool appendedAtEnd);
  void indexRemove(const Slot &slot);
  // Undoes everything insert did for the slot's shape but taking it out of slots_.
  void detach(const Slot &slot);
  LayerTally &tallyOf(int layer);
  void tallyAdd(const TQShape *shape);
  // The key a shape inserted before pos gets; may give every shape a new key first.
  std::uint64_t keyFor(int pos);
  void rekey();
  void setKey(std::size_t slot, std::uint64_t key);
  // Gives the shape in that slot a new key, refiling it in the spatial index.
  void rekeyMoved(std::size_t slot, std::uint64_t key);
  void ensureSpatial() const;
  // True when the rectangle covers a good share of where most shapes lie.
  bool coversMuch(double minX, double minY, double maxX, double maxY) const;
  void scanNear(double minX, double minY, double maxX, double maxY, std::vector<int> &out,
                const BoundsFilter &filter) const;
  void syncCount() {
    if (countMirror_)
      *countMirror_ = size();
  }
  TQShape *scanFor(std::int32_t number) const;

  std::vector<Slot> slots_;
  std::unordered_map<std::int32_t, Entry> index_;
  std::unordered_map<int, LayerTally> tallies_;
  LayerTally *lastTally_ = nullptr;
  // The entries below this position still have the keys they were first given, which tell
  // their positions without a search.
  std::size_t denseUpTo_ = 0;
  int lastLayer_ = 0;
  int *countMirror_;
  // The spatial index is built at the first query and again when the list has much outgrown
  // the cell size it was built for; until then the changes need not be filed.
  mutable ShapeIndex spatial_;
  mutable bool spatialBuilt_ = false;
  mutable std::size_t spatialBuiltFor_ = 0;
  mutable std::vector<std::uint64_t> scratch_;
  struct Spread {
    double minX = 0.0, minY = 0.0, maxX = -1.0, maxY = -1.0;
  };
  mutable Spread spread_;
};

template <class Pred> int ShapeList::eraseIf(Pred pred, int from) {
  std::size_t out = std::min(static_cast<std::size_t>(std::max(from, 0)), slots_.size());
  int removed = 0;
  for (std::size_t in = out; in < slots_.size(); ++in) {
    Slot slot = slots_[in];
    if (pred(slot.shape)) {
      denseUpTo_ = std::min(denseUpTo_, in);
      detach(slot);
      delete slot.shape;
      ++removed;
    } else {
      slots_[out++] = slot;
    }
  }
  slots_.resize(out);
  syncCount();
  return removed;
}

// The layers, owned, in order of creation; found by Index or by exact Name as a scan from the
// first entry would find them.
class LayerList {
public:
  using Storage = std::vector<std::unique_ptr<TQLayer>>;

  LayerList() = default;
  LayerList(const LayerList &) = delete;
  LayerList &operator=(const LayerList &) = delete;

  int size() const { return static_cast<int>(layers_.size()); }
  bool empty() const { return layers_.empty(); }
  TQLayer *operator[](int i) const { return layers_[static_cast<std::size_t>(i)].get(); }

  // Iterates the layers as plain pointers.
  class const_iterator {
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TQLayer *;
    using difference_type = std::ptrdiff_t;
    using pointer = TQLayer *const *;
    using reference = TQLayer *;

    const_iterator() = default;
    explicit const_iterator(Storage::const_iterator it) : it_(it) {}
    TQLayer *operator*() const { return it_->get(); }
    const_iterator &operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const const_iterator &o) const { return it_ == o.it_; }
    bool operator!=(const const_iterator &o) const { return it_ != o.it_; }

  private:
    Storage::const_iterator it_;
  };
  const_iterator begin() const { return const_iterator(layers_.begin()); }
  const_iterator end() const { return const_iterator(layers_.end()); }

  // Appends a layer; its Index and Name must not change afterwards.
  TQLayer *push_back(std::unique_ptr<TQLayer> layer);
  // Deletes every layer.
  void clear();

  // The first layer with that Index, or null.
  TQLayer *findByIndex(int index) const;
  // The first layer whose Name equals the text exactly, or null.
  TQLayer *findByName(const QString &name) const;

private:
  Storage layers_;
  std::unordered_map<int, TQLayer *> byIndex_;
  QHash<QString, TQLayer *> byName_;
};
