// The owning shape and layer lists with their lookup indexes.
#include "canvas/ModelLists.h"

#include <algorithm>

// ---- ShapeList
//
// The index maps a number to the first shape in list order that has it, and counts how many
// shapes share the number. Numbers are unique in practice; when they are not, or when a change
// of order may have changed which one comes first, the entry's `first` is cleared and the
// lookup scans the list, so every answer is the one a scan from the first entry gives.

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
  Slot slot{shape.get(), shape->ShapeNumber};
  shape->ShapeNumber.list_ = this;
  indexAdd(slot, pos == size());
  slots_.insert(slots_.begin() + pos, slot);
  shape.release();
  syncCount();
}

std::unique_ptr<TQShape> ShapeList::take(int pos) {
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  indexRemove(slot);
  slots_.erase(slots_.begin() + pos);
  slot.shape->ShapeNumber.list_ = nullptr;
  syncCount();
  return std::unique_ptr<TQShape>(slot.shape);
}

void ShapeList::erase(int pos) { take(pos).reset(); }

void ShapeList::clear() {
  std::vector<Slot> old;
  old.swap(slots_);
  index_.clear();
  syncCount();
  for (const Slot &s : old)
    delete s.shape;
}

void ShapeList::moveToEnd(int pos) {
  if (pos < 0 || pos >= size())
    return;
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  std::rotate(slots_.begin() + pos, slots_.begin() + pos + 1, slots_.end());
  auto it = index_.find(slot.number);
  if (it != index_.end() && it->second.count > 1)
    it->second.first = nullptr;
}

void ShapeList::moveToStart(int pos) {
  if (pos < 0 || pos >= size())
    return;
  const Slot slot = slots_[static_cast<std::size_t>(pos)];
  std::rotate(slots_.begin(), slots_.begin() + pos, slots_.begin() + pos + 1);
  // Now at the start, it is the first holder of its number.
  auto it = index_.find(slot.number);
  if (it != index_.end())
    it->second.first = slot.shape;
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
  for (std::size_t i = 0; i < slots_.size(); ++i)
    if (slots_[i].shape == shape)
      return static_cast<int>(i);
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
