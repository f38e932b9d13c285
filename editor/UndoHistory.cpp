#include "editor/UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace {

// Bit for bit, so that 0.0 and -0.0 (which print differently) count as a change.
bool sameBits(const strPoint &a, const strPoint &b) {
  return std::memcmp(&a.X, &b.X, sizeof a.X) == 0 && std::memcmp(&a.Y, &b.Y, sizeof a.Y) == 0 &&
         std::memcmp(&a.Z, &b.Z, sizeof a.Z) == 0 && a.selected == b.selected &&
         a.processed == b.processed && a.deleted == b.deleted;
}

} // namespace

UndoHistory::UndoHistory(std::size_t ceilingBytes) : ceiling_(ceilingBytes) {}

void UndoHistory::clear() {
  hasTop_ = false;
  prepared_ = false;
  top_ = SoundingList();
  deltas_.clear();
  deltaBytes_ = 0;
  position_ = 0;
  dropped_ = 0;
}

void UndoHistory::prepare(const SoundingList &points) {
  clear();
  top_ = points;
  prepared_ = true;
}

void UndoHistory::push(const SoundingList &points) {
  position_ = 0;
  if (!hasTop_ && prepared_ && top_.size() == points.size()) {
    // The copy made at opening becomes the first state: only what changed since is copied.
    for (std::size_t i = 0; i < points.size(); ++i)
      if (!sameBits(top_[i], points[i]))
        top_[i] = points[i];
    prepared_ = false;
    hasTop_ = true;
    return;
  }
  if (!hasTop_ || top_.size() != points.size()) {
    // A list of another length is another file: its states cannot be told apart by soundings.
    const std::size_t dropped = dropped_ + (hasTop_ ? deltas_.size() + 1 : 0);
    clear();
    dropped_ = dropped;
    top_ = points;
    hasTop_ = true;
    return;
  }
  Delta delta;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!sameBits(top_[i], points[i])) {
      delta.push_back({static_cast<std::int32_t>(i), top_[i]});
      top_[i] = points[i];
    }
  }
  delta.shrink_to_fit();
  deltaBytes_ += delta.capacity() * sizeof(Change) + sizeof(Delta);
  deltas_.push_back(std::move(delta));
  enforceCeiling();
}

bool UndoHistory::undo(SoundingList &points, std::size_t *from, std::size_t *to) {
  if (position_ >= count())
    return false;
  const std::size_t target = count() - position_ - 1;
  std::size_t lo = points.size(), hi = 0;
  auto touched = [&](std::size_t i) {
    lo = std::min(lo, i);
    hi = std::max(hi, i + 1);
  };
  if (points.size() != top_.size()) {
    points = top_;
    lo = 0;
    hi = points.size();
  } else {
    for (std::size_t i = 0; i < points.size(); ++i)
      if (!sameBits(points[i], top_[i])) {
        points[i] = top_[i];
        touched(i);
      }
  }
  for (std::size_t j = deltas_.size(); j-- > target;)
    for (const Change &c : deltas_[j]) {
      points[static_cast<std::size_t>(c.index)] = c.value;
      touched(static_cast<std::size_t>(c.index));
    }
  ++position_;
  if (lo >= hi)
    lo = hi = 0;
  if (from)
    *from = lo;
  if (to)
    *to = hi;
  return true;
}

std::size_t UndoHistory::memoryBytes() const {
  return top_.capacity() * sizeof(strPoint) + deltaBytes_;
}

void UndoHistory::enforceCeiling() {
  while (deltaBytes_ > ceiling_ && !deltas_.empty()) {
    deltaBytes_ -= deltas_.front().capacity() * sizeof(Change) + sizeof(Delta);
    deltas_.pop_front();
    ++dropped_;
  }
}
