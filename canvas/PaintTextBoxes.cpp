// Claimed text boxes on a uniform grid of cells.
#include "canvas/PaintTextBoxes.h"

namespace canvas {

namespace {

// A box is 7 pixels a character wide and 14 high: cells of 64 x 32 hold most boxes in one to
// four cells.
constexpr std::int64_t cellWidth = 64;
constexpr std::int64_t cellHeight = 32;
// A box spreading over more cells than this in x is kept in the list of wide boxes instead.
constexpr std::int64_t maxCellsAcross = 16;

constexpr std::int64_t marginX = 5;
constexpr std::int64_t marginY = 2;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0)))
    --q;
  return q;
}

std::uint64_t cellKey(std::int64_t cx, std::int64_t cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
         static_cast<std::uint32_t>(cy);
}

} // namespace

ClaimedTextBoxes::ClaimedTextBoxes() { boxes_.reserve(500); }

bool ClaimedTextBoxes::near(const TextBox &c, const TextBox &b) {
  return b.left < c.right + marginX && c.left - marginX < b.right && b.top < c.bottom + marginY &&
         c.top - marginY < b.bottom;
}

// Any box near a claimed one shares a pixel with the claimed box widened by the margins (the
// corner (max(left, L - 5), max(top, T - 2)) lies in both), so it is found in one of the cells
// that the widened box was filed under.
bool ClaimedTextBoxes::overlaps(const TextBox &box) const {
  for (std::uint32_t i : wide_)
    if (near(boxes_[i], box))
      return true;
  const std::int64_t cx0 = floorDiv(box.left, cellWidth);
  const std::int64_t cx1 = floorDiv(box.right, cellWidth);
  const std::int64_t cy0 = floorDiv(box.top, cellHeight);
  const std::int64_t cy1 = floorDiv(box.bottom, cellHeight);
  if (cx1 - cx0 > maxCellsAcross || cy1 - cy0 > maxCellsAcross) {
    for (const TextBox &c : boxes_)
      if (near(c, box))
        return true;
    return false;
  }
  for (std::int64_t cy = cy0; cy <= cy1; ++cy)
    for (std::int64_t cx = cx0; cx <= cx1; ++cx) {
      const auto it = cells_.find(cellKey(cx, cy));
      if (it == cells_.end())
        continue;
      for (std::uint32_t i : it->second)
        if (near(boxes_[i], box))
          return true;
    }
  return false;
}

void ClaimedTextBoxes::claim(const TextBox &box) {
  const auto index = static_cast<std::uint32_t>(boxes_.size());
  boxes_.push_back(box);
  const std::int64_t cx0 = floorDiv(box.left - marginX, cellWidth);
  const std::int64_t cx1 = floorDiv(box.right + marginX, cellWidth);
  const std::int64_t cy0 = floorDiv(box.top - marginY, cellHeight);
  const std::int64_t cy1 = floorDiv(box.bottom + marginY, cellHeight);
  if (cx1 - cx0 > maxCellsAcross || cy1 - cy0 > maxCellsAcross) {
    wide_.push_back(index);
    return;
  }
  for (std::int64_t cy = cy0; cy <= cy1; ++cy)
    for (std::int64_t cx = cx0; cx <= cx1; ++cx)
      cells_[cellKey(cx, cy)].push_back(index);
}

bool ClaimedTextBoxes::tryClaim(const TextBox &box) {
  if (overlaps(box))
    return false;
  claim(box);
  return true;
}

} // namespace canvas
