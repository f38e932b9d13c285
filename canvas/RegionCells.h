// The cells of a coarse grid over the client that lie within reach of a region: a quick test of
// whether a shape's pixels may meet a partial redraw's damage.
#pragma once

#include "canvas/WorldView.h"

#include <QRect>
#include <QRegion>
#include <vector>

namespace canvas {

class RegionCells {
public:
  // The cells within `pad` pixels of the region's pieces in a w x h client.
  RegionCells(const QRegion &region, int w, int h, long long pad);

  // Whether pixels within the pad of the rectangle (pixels) may meet the region.
  bool meets(const QRect &r) const;
  // Whether pixels within the pad of the world bounds, drawn by the mapping, may meet the
  // region. Bounds that are not numbers may.
  bool meetsBounds(const ViewMapping &m, double minX, double minY, double maxX, double maxY) const;
  // Whether pixels within the pad of the straight piece from a to b (pixels) may meet the
  // region: the cells along the piece are looked at, so a long line across the view costs the
  // cells it crosses rather than those of the box around it.
  bool meetsPiece(double ax, double ay, double bx, double by) const;

private:
  bool anyIn(long long x0, long long y0, long long x1, long long y1) const;

  static constexpr int cell = 16;
  // Pixels beyond the pad that a shape's pixels may lie from the coordinates tested: a pixel
  // number is truncated from its coordinate, a line's pixel lies within half a pixel of it.
  static constexpr int margin = 3;
  int w_, h_, columns_, rows_;
  double pad_;
  std::vector<unsigned char> reach_;
};

} // namespace canvas
