// The editor's undo history: every edit first pushes the state it is about to change, and the
// undo step walks back through those states without removing any. Memory grows with what the
// edits changed, not with the file: the newest state is held whole, every older one only as the
// soundings in which it differs from the state after it.
#pragma once

#include "editor/Soundings.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class UndoHistory {
public:
  // Older states are dropped, oldest first, while the differences held exceed this many bytes.
  static constexpr std::size_t defaultCeilingBytes = std::size_t(256) << 20;

  explicit UndoHistory(std::size_t ceilingBytes = defaultCeilingBytes);

  // Appends the state `points` holds now and resets the walk (the undo position becomes 0).
  void push(const SoundingList &points);
  // Makes `points` an exact copy of the state (count - position - 1) and steps the position on;
  // false, and nothing changed, when the walk has reached the oldest state held. `from` and
  // `to`, when given, receive the range of the soundings that changed (equal when none did).
  bool undo(SoundingList &points, std::size_t *from = nullptr, std::size_t *to = nullptr);
  // Takes a copy of the soundings of a file just opened, while nothing waits for it, so that
  // the first push after it only compares with that copy. It is no state: nothing to undo.
  void prepare(const SoundingList &points);
  // Forgets every state (another file was opened).
  void clear();

  // Number of states that can still be reached, and how many undo steps were taken since the
  // last push.
  std::size_t count() const { return hasTop_ ? deltas_.size() + 1 : 0; }
  std::size_t position() const { return position_; }
  // Bytes held for undo: the newest state plus the differences.
  std::size_t memoryBytes() const;
  std::size_t differenceBytes() const { return deltaBytes_; }
  std::size_t ceilingBytes() const { return ceiling_; }
  // Oldest states given up to stay under the ceiling since the last clear.
  std::size_t droppedStates() const { return dropped_; }

private:
  struct Change {
    std::int32_t index;
    strPoint value;
  };
  using Delta = std::vector<Change>;

  void enforceCeiling();

  std::size_t ceiling_;
  bool hasTop_ = false;
  bool prepared_ = false;    // top_ holds a copy made by prepare(), not yet a state
  SoundingList top_;         // the newest state, whole
  std::deque<Delta> deltas_; // deltas_[j] turns state j + 1 back into state j
  std::size_t deltaBytes_ = 0;
  std::size_t position_ = 0;
  std::size_t dropped_ = 0;
};
