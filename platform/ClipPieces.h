// The pieces of a clip region cut to a device, and which of them a straight line may reach.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <vector>

namespace platform {

class ClipPieces {
public:
  // The region's pieces within the device; an empty region stands for the whole device.
  void set(const QRegion &region, const QRect &device);
  void clear();
  bool empty() const { return pieces_.empty(); }

  // The pieces a pixel of the one-pixel line from a to b may lie in, each once: among a few
  // pieces, those the line passes near; among many, those listed in the cells of a coarse grid
  // that the line crosses. A pixel of the line lies within half a pixel of the exact line, so a
  // margin of a pixel around it loses none.
  void nearLine(QPoint a, QPoint b, std::vector<const QRect *> &out);
  // Whether the rectangle meets a piece.
  bool meets(const QRect &r);

private:
  void buildCells();

  // A region comes in bands of rows, each band's pieces split at every row where any band
  // starts: a piece of the same columns in the band below is joined to the one above, so that
  // a strip along an edge is one piece however many bands the rest of the region has.
  std::vector<QRect> pieces_;

  static constexpr int cell = 64;
  bool cellsBuilt_ = false;
  int columns_ = 0, rows_ = 0;
  std::vector<std::uint32_t> cellStart_, cellPieces_; // the pieces meeting each cell
  std::vector<std::uint32_t> seen_;                   // the last walk each piece was listed by
  std::uint32_t walk_ = 0;
};

} // namespace platform
