// The owning shape and layer lists with their lookup indexes.
#include "canvas/ModelLists.h"

#include <algorithm>
#include <cmath>
#include <limits>

// ---- ShapeList
//
// The index maps a number to the first shape in list order that has it, and counts how many
// shapes share the number. Numbers are unique in practice; when they are not, or when a change
// of order may have changed which one comes first, the entry's `first` is cleared and the
// lookup scans the list, so every answer is the one a scan from the first entry gives.

namespace {

constexpr std::uint64_t kKeyGap = std::uint64_t{1} << 20;
constexpr std::uint64_t kFirstKey = std::uint64_t{1} << 62;

// The key a shape at position i has while nothing below it was moved, taken out or put between.
constexpr std::uint64_t freshKey(std::size_t i) { return kFirstKey + i * kKeyGap; }

} // namespace

ShapeList::ShapeList(int *countMirror) : countMirror_(countMirror) { syncCount(); }

namespace {

// Room for one more entry, growing geometrically so that appends stay amortised constant and
// the append that follows cannot throw.
template <class V> void reserveOneMore(V &v) {
  if (v.size() == v.capacity())
    v.reserve(v.capacity() < 16 ? 16 : v.capacity() * 2);
}

} // namespace

ShapeNumberField &ShapeNumberField::operator=(std::int32_t value) {
  if (list_ && value != value_)
    list_->renumber(*this, value);
  value_ = value;
  return *this;
}

ShapeLayerField &ShapeLayerField::operator=(int value) {
  if (list_ && value != value_)
    list_->relayer(value_, value);
  value_ = value;
  return *this;
}

ShapeList::~ShapeList() {
  for (const Slot &s : slots_)
    delete s.shape;
}

// Numbers change rarely, if ever, once a shape is listed: finding its slot by a scan is enough.
void ShapeList::renumber(const ShapeNumberField &field, std::int32_t number) {
  for (Slot &slot : slots_) {
    if (&slot.shape->ShapeNumber != &field)
      continue;
    indexRemove(slot);
    slot.number = number;
    // Where other holders of the number lie in the list is not known here: an entry that
    // already exists has its lookup fall back to a scan.
    indexAdd(slot, false);
    return;
  }
}

void ShapeList::reserve(std::size_t n) {
  slots_.reserve(n);
  index_.reserve(n);
}

void ShapeList::indexAdd(const Slot &slot, bool appendedAtEnd) {
  auto [it, inserted] = index_.try_emplace(slot.number, Entry{slot.shape, 1});
  if (!inserted) {
    ++it->second.count;
    // Appended after an existing holder of the number: that one stays first.
    if (!appendedAtEnd)
      it->second.first = nullptr;
  }
}

void ShapeList::indexRemove(const Slot &slot) {
  auto it = index_.find(slot.number);
  if (it == index_.end())
    return;
  if (--it->second.count == 0) {
    index_.erase(it);
    return;
  }
  if (it->second.first == slot.shape)
    it->second.first = nullptr;
}

void ShapeList::push_back(std::unique_ptr<TQShape> shape) { insert(size(), std::move(shape)); }

void ShapeList::insert(int pos, std::unique_ptr<TQShape> shape) {
  if (!shape)
    return;
  pos = std::clamp(pos, 0, size());
  reserveOneMore(slots_);
  const std::uint64_t key = keyFor(pos);
  Slot slot{shape.get(), shape->ShapeNumber, key};
  shape->ShapeNumber.list_ = this;
  shape->Layer.list_ = this;
  shape->orderKey_ = key;
  shape->indexCell_ = -1;
  indexAdd(slot, pos == size());
  tallyAdd(slot.shape);
  const auto at = static_cast<std::size_t>(pos);
  denseUpTo_ = std::min(denseUpTo_, at);
  slots_.insert(slots_.begin() + pos, slot);
  if (denseUpTo_ == at && key == freshKey(at))
    ++denseUpTo_;
  if (spatialBuilt_)
    spatial_.add(slot.shape);
  shape.release();
  syncCount();
}

std::unique_ptr<TQShape> ShapeList::take(int pos) {
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  detach(slot);
  denseUpTo_ = std::min(denseUpTo_, static_cast<std::size_t>(pos));
  slots_.erase(slots_.begin() + pos);
  syncCount();
  return std::unique_ptr<TQShape>(slot.shape);
}

void ShapeList::detach(const Slot &slot) {
  indexRemove(slot);
  if (spatialBuilt_)
    spatial_.remove(slot.shape);
  --tallyOf(slot.shape->Layer).count;
  slot.shape->ShapeNumber.list_ = nullptr;
  slot.shape->Layer.list_ = nullptr;
}

// ---- Order keys
//
// Keys leave wide gaps, so that a shape put at either end or between two others nearly always
// finds a free key; when none is left every shape gets a new one, which the spatial index then
// has to take in anew.

void ShapeList::setKey(std::size_t slot, std::uint64_t key) {
  slots_[slot].key = key;
  slots_[slot].shape->orderKey_ = key;
}

void ShapeList::rekey() {
  for (std::size_t i = 0; i < slots_.size(); ++i)
    setKey(i, freshKey(i));
  denseUpTo_ = slots_.size();
  spatialBuilt_ = false;
}

std::uint64_t ShapeList::keyFor(int pos) {
  if (slots_.empty())
    return kFirstKey;
  const auto p = static_cast<std::size_t>(pos);
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (p == slots_.size()) {
      const std::uint64_t last = slots_.back().key;
      if (last <= std::numeric_limits<std::uint64_t>::max() - kKeyGap)
        return last + kKeyGap;
    } else if (p == 0) {
      const std::uint64_t first = slots_.front().key;
      if (first > kKeyGap)
        return first - kKeyGap;
    } else {
      const std::uint64_t below = slots_[p - 1].key;
      const std::uint64_t above = slots_[p].key;
      if (above - below >= 2)
        return below + (above - below) / 2;
    }
    rekey();
  }
  return slots_.back().key + kKeyGap; // not reached: fresh keys leave room everywhere
}

// ---- Layers

ShapeList::LayerTally &ShapeList::tallyOf(int layer) {
  // Shapes come in runs on one layer; entries of the map stay where they are.
  if (!lastTally_ || lastLayer_ != layer) {
    lastTally_ = &tallies_[layer];
    lastLayer_ = layer;
  }
  return *lastTally_;
}

void ShapeList::tallyAdd(const TQShape *shape) {
  LayerTally &t = tallyOf(shape->Layer);
  ++t.count;
  if (t.fgKnown && shape->PenFg != t.fg)
    t.fgKnown = false;
  if (t.widthKnown && shape->PenWidth != t.width)
    t.widthKnown = false;
}

void ShapeList::relayer(int from, int to) {
  --tallyOf(from).count;
  LayerTally &t = tallyOf(to);
  ++t.count;
  // Its pen is not at hand here.
  t.fgKnown = false;
  t.widthKnown = false;
}

int ShapeList::countOnLayer(int layer) const {
  auto it = tallies_.find(layer);
  return it == tallies_.end() ? 0 : it->second.count;
}

int ShapeList::lowestOnLayer(int layer) const {
  int remaining = countOnLayer(layer);
  if (remaining <= 0)
    return size();
  for (int i = size() - 1; i >= 0; --i)
    if (slots_[static_cast<std::size_t>(i)].shape->Layer == layer && --remaining == 0)
      return i;
  return 0;
}

bool ShapeList::layerPenFgIs(int layer, TColor value) const {
  auto it = tallies_.find(layer);
  if (it == tallies_.end() || it->second.count == 0)
    return true;
  return it->second.fgKnown && it->second.fg == value;
}

bool ShapeList::layerPenWidthIs(int layer, int value) const {
  auto it = tallies_.find(layer);
  if (it == tallies_.end() || it->second.count == 0)
    return true;
  return it->second.widthKnown && it->second.width == value;
}

void ShapeList::notePenFg(int layer, TColor value) {
  LayerTally &t = tallyOf(layer);
  t.fgKnown = true;
  t.fg = value;
}

void ShapeList::notePenWidth(int layer, int value) {
  LayerTally &t = tallyOf(layer);
  t.widthKnown = true;
  t.width = value;
}

void ShapeList::penChanged(const TQShape *shape) {
  if (!shape || shape->ShapeNumber.list_ != this)
    return;
  auto it = tallies_.find(shape->Layer);
  if (it == tallies_.end())
    return;
  LayerTally &t = it->second;
  if (t.fgKnown && shape->PenFg != t.fg)
    t.fgKnown = false;
  if (t.widthKnown && shape->PenWidth != t.width)
    t.widthKnown = false;
}

// ---- Geometry

void ShapeList::boundsChanged(TQShape *shape) {
  if (!shape || shape->ShapeNumber.list_ != this || !spatialBuilt_)
    return;
  spatial_.remove(shape);
  spatial_.add(shape);
}

namespace {

// Small drawings are scanned: nothing to build, and a scan of a few hundred shapes is quick.
constexpr int kScanBelow = 256;

} // namespace

void ShapeList::scanNear(double minX, double minY, double maxX, double maxY, std::vector<int> &out,
                         const BoundsFilter &filter) const {
  constexpr std::size_t ahead = 8;
  const std::size_t n = slots_.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + ahead < n)
      __builtin_prefetch(&slots_[i + ahead].shape->MinX);
    const TQShape *s = slots_[i].shape;
    // Written so that bounds that are not numbers are listed rather than missed.
    if (!(s->MaxX < minX || s->MinX > maxX || s->MaxY < minY || s->MinY > maxY) &&
        filter(s->MinX, s->MinY, s->MaxX, s->MaxY))
      out.push_back(static_cast<int>(i));
  }
}

void ShapeList::ensureSpatial() const {
  if (spatialBuilt_ && slots_.size() <= 2 * spatialBuiltFor_ + 4096)
    return;
  // The cell size follows the number of shapes and the extent of most of them: a few shapes
  // far away (a stray point at the origin, a bogus coordinate) do not make the cells coarse.
  // The extent is taken from a sample of corners, between the 2nd and 98th hundredths.
  std::vector<double> xs, ys;
  const std::size_t stride = slots_.size() / 4096 + 1;
  for (std::size_t i = 0; i < slots_.size(); i += stride) {
    const TQShape *s = slots_[i].shape;
    if (std::isfinite(s->MinX) && std::isfinite(s->MinY)) {
      xs.push_back(s->MinX);
      ys.push_back(s->MinY);
    }
  }
  spread_ = Spread{};
  if (!xs.empty()) {
    const auto spread = [](std::vector<double> &v, double &low, double &high) {
      const std::size_t lo = v.size() / 50, hi = v.size() - 1 - v.size() / 50;
      std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(lo), v.end());
      low = v[lo];
      std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(hi), v.end());
      high = v[hi];
    };
    spread(xs, spread_.minX, spread_.maxX);
    spread(ys, spread_.minY, spread_.maxY);
  }
  spatial_.reset(slots_.size(), (spread_.maxX - spread_.minX) / 0.96,
                 (spread_.maxY - spread_.minY) / 0.96);
  const std::size_t n = slots_.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + 8 < n) {
      __builtin_prefetch(&slots_[i + 8].shape->MinX);
      __builtin_prefetch(&slots_[i + 8].shape->orderKey_, 1);
    }
    spatial_.add(slots_[i].shape);
  }
  spatialBuilt_ = true;
  spatialBuiltFor_ = slots_.size();
}

bool ShapeList::coversMuch(double minX, double minY, double maxX, double maxY) const {
  const Spread &a = spread_;
  const double w = a.maxX - a.minX, h = a.maxY - a.minY;
  const double ow = std::min(maxX, a.maxX) - std::max(minX, a.minX);
  const double oh = std::min(maxY, a.maxY) - std::max(minY, a.minY);
  if (!(ow >= 0.0 && oh >= 0.0))
    return false;
  // A drawing along a line has no area: compare lengths then.
  if (!(w > 0.0 && h > 0.0))
    return (w > 0.0 ? ow / w : 0.0) + (h > 0.0 ? oh / h : 0.0) >= 0.25;
  return (ow / w) * (oh / h) >= 0.25;
}

void ShapeList::positionsNear(double minX, double minY, double maxX, double maxY,
                              std::vector<int> &out, const BoundsFilter &filter) const {
  out.clear();
  if (size() < kScanBelow || std::isnan(minX) || std::isnan(minY) || std::isnan(maxX) ||
      std::isnan(maxY))
    return scanNear(minX, minY, maxX, maxY, out, filter);
  ensureSpatial();
  std::vector<std::uint64_t> &keys = scratch_;
  keys.clear();
  // When the rectangle holds a good share of the drawing, a scan in order is cheaper than
  // putting the keys in order.
  if (coversMuch(minX, minY, maxX, maxY))
    return scanNear(minX, minY, maxX, maxY, out, filter);
  if (!spatial_.query(minX, minY, maxX, maxY, slots_.size() / 8, keys, filter)) {
    keys.clear();
    return scanNear(minX, minY, maxX, maxY, out, filter);
  }
  std::sort(keys.begin(), keys.end());
  out.reserve(keys.size());
  // Each key's position: read off the key in the part of the list whose keys are as first
  // given, else searched for from the previous one with steps that double.
  std::size_t pos = 0;
  const std::size_t n = slots_.size();
  const std::uint64_t denseEnd = freshKey(denseUpTo_);
  for (std::uint64_t key : keys) {
    if (key >= kFirstKey && key < denseEnd && (key - kFirstKey) % kKeyGap == 0) {
      pos = static_cast<std::size_t>((key - kFirstKey) / kKeyGap);
      if (pos < n && slots_[pos].key == key)
        out.push_back(static_cast<int>(pos));
      continue;
    }
    pos = std::max(pos, denseUpTo_);
    std::size_t step = 1;
    std::size_t hi = pos;
    while (hi < n && slots_[hi].key < key) {
      pos = hi + 1;
      hi += step;
      step *= 2;
    }
    hi = std::min(hi, n);
    auto it = std::lower_bound(slots_.begin() + static_cast<std::ptrdiff_t>(pos),
                               slots_.begin() + static_cast<std::ptrdiff_t>(hi), key,
                               [](const Slot &a, std::uint64_t k) { return a.key < k; });
    pos = static_cast<std::size_t>(it - slots_.begin());
    if (pos < n && slots_[pos].key == key)
      out.push_back(static_cast<int>(pos));
  }
}

void ShapeList::erase(int pos) { take(pos).reset(); }

void ShapeList::clear() {
  std::vector<Slot> old;
  old.swap(slots_);
  index_.clear();
  tallies_.clear();
  lastTally_ = nullptr;
  denseUpTo_ = 0;
  spatialBuilt_ = false;
  spatial_.reset(0, 0.0, 0.0);
  syncCount();
  for (const Slot &s : old)
    delete s.shape;
}

void ShapeList::moveToEnd(int pos) {
  if (pos < 0 || pos >= size())
    return;
  if (pos != size() - 1) {
    rekeyMoved(static_cast<std::size_t>(pos), keyFor(size()));
    denseUpTo_ = std::min(denseUpTo_, static_cast<std::size_t>(pos));
  }
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  std::rotate(slots_.begin() + pos, slots_.begin() + pos + 1, slots_.end());
  auto it = index_.find(slot.number);
  if (it != index_.end() && it->second.count > 1)
    it->second.first = nullptr;
}

void ShapeList::moveToStart(int pos) {
  if (pos < 0 || pos >= size())
    return;
  if (pos != 0) {
    rekeyMoved(static_cast<std::size_t>(pos), keyFor(0));
    denseUpTo_ = 0;
  }
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  std::rotate(slots_.begin(), slots_.begin() + pos, slots_.begin() + pos + 1);
  // Now at the start, it is the first holder of its number.
  auto it = index_.find(slot.number);
  if (it != index_.end())
    it->second.first = slot.shape;
}

void ShapeList::rekeyMoved(std::size_t slot, std::uint64_t key) {
  TQShape *shape = slots_[slot].shape;
  if (spatialBuilt_)
    spatial_.remove(shape);
  setKey(slot, key);
  if (spatialBuilt_)
    spatial_.add(shape);
}

TQShape *ShapeList::scanFor(std::int32_t number) const {
  for (const Slot &s : slots_)
    if (s.shape->ShapeNumber == number)
      return s.shape;
  return nullptr;
}

TQShape *ShapeList::find(std::int32_t number) const {
  auto it = index_.find(number);
  if (it == index_.end())
    return nullptr;
  TQShape *first = it->second.first;
  if (first && first->ShapeNumber == number)
    return first;
  return scanFor(number);
}

bool ShapeList::containsNumber(std::int32_t number) const { return find(number) != nullptr; }

int ShapeList::indexOfNumber(std::int32_t number) const {
  const TQShape *s = find(number);
  return s ? indexOf(s) : -1;
}

int ShapeList::indexOf(const TQShape *shape) const {
  if (!shape || shape->ShapeNumber.list_ != this)
    return -1;
  auto it = std::lower_bound(slots_.begin(), slots_.end(), shape->orderKey_,
                             [](const Slot &a, std::uint64_t k) { return a.key < k; });
  if (it != slots_.end() && it->shape == shape)
    return static_cast<int>(it - slots_.begin());
  return -1;
}

// ---- LayerList

TQLayer *LayerList::push_back(std::unique_ptr<TQLayer> layer) {
  if (!layer)
    return nullptr;
  TQLayer *p = layer.get();
  reserveOneMore(layers_);
  byIndex_.try_emplace(p->Index, p);
  if (!byName_.contains(p->Name))
    byName_.insert(p->Name, p);
  layers_.push_back(std::move(layer));
  return p;
}

void LayerList::clear() {
  byIndex_.clear();
  byName_.clear();
  layers_.clear();
}

TQLayer *LayerList::findByIndex(int index) const {
  auto it = byIndex_.find(index);
  if (it == byIndex_.end())
    return nullptr;
  if (it->second->Index == index)
    return it->second;
  for (const auto &l : layers_)
    if (l->Index == index)
      return l.get();
  return nullptr;
}

TQLayer *LayerList::findByName(const QString &name) const {
  auto it = byName_.constFind(name);
  if (it == byName_.cend())
    return nullptr;
  if (it.value()->Name == name)
    return it.value();
  for (const auto &l : layers_)
    if (l->Name == name)
      return l.get();
  return nullptr;
}
