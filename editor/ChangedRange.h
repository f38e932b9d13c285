// Which soundings changed since something was last brought up to date: all of them, or those of
// one index range [from, to) (none while it is empty). Every part that keeps something made
// from the sounding list (the profile's block summary, the plan's picture, the undo history's
// newest state) notes the changes in one of these and looks again only at what it names.
#pragma once

#include <algorithm>
#include <cstddef>

struct ChangedRange {
  bool all = false;
  std::size_t from = 0;
  std::size_t to = 0;

  static ChangedRange whole() { return ChangedRange{true, 0, 0}; }

  // Every sounding changed (or which ones is not known).
  void markAll() {
    all = true;
    from = to = 0;
  }
  // The soundings from `from` up to (not including) `to` changed as well; an empty range
  // changes nothing.
  void widen(std::size_t first, std::size_t end) {
    if (all || first >= end)
      return;
    if (from >= to) {
      from = first;
      to = end;
      return;
    }
    from = std::min(from, first);
    to = std::max(to, end);
  }
  void widen(const ChangedRange &other) {
    if (other.all)
      markAll();
    else
      widen(other.from, other.to);
  }
  // Up to date again: nothing changed.
  void clear() { *this = ChangedRange(); }

  bool none() const { return !all && from >= to; }
  // The range within a list of n soundings.
  std::size_t begin(std::size_t n) const { return all ? 0 : std::min(from, n); }
  std::size_t end(std::size_t n) const { return all ? n : std::max(begin(n), std::min(to, n)); }
};
