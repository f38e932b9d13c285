// The editor's thinning of crowded texts within one paint: the boxes that drawn texts claimed,
// and the test whether a new text's box comes too close to one of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace canvas {

// A text's box in pixels; wide enough for any text length without overflow.
struct TextBox {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
};

// Boxes claimed so far. A new box is refused when it overlaps a claimed one with a margin of
// 5 pixels sideways and 2 up and down. The claimed boxes sit in a uniform grid of cells, so a
// query looks only at the boxes near it: the answer is the same as comparing with every box.
class ClaimedTextBoxes {
public:
  ClaimedTextBoxes();

  // True when the box comes within the margins of a claimed box.
  bool overlaps(const TextBox &box) const;
  // Claims the box unless it overlaps; true when it was claimed.
  bool tryClaim(const TextBox &box);
  std::size_t size() const { return boxes_.size(); }

private:
  static bool near(const TextBox &claimed, const TextBox &box);
  void claim(const TextBox &box);

  std::vector<TextBox> boxes_;
  // Cell key -> indexes of the boxes whose margins reach into the cell.
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> cells_;
  // Boxes too wide for the cells (very long texts), compared one by one.
  std::vector<std::uint32_t> wide_;
};

} // namespace canvas
