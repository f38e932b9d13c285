// Pieces the painting files share: the test for a view that can be drawn at all, the view a
// picture was made for, and the grid drawn onto a canvas the caller already holds on the back
// buffer.
#pragma once

#include "canvas/DrawingModel.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QRegion>
#include <cmath>
#include <cstddef>
#include <vector>

class TTarvikCanvas;

namespace canvas {

// A view whose edges or spans are not finite has no pixels to map shapes or grid lines to; such
// a view paints the background and the overlays only.
inline bool finiteView(const DrawingModel &m) {
  return std::isfinite(m.WorldLeft) && std::isfinite(m.WorldRight) && std::isfinite(m.WorldTop) &&
         std::isfinite(m.WorldBottom) && std::isfinite(m.WorldRight - m.WorldLeft) &&
         std::isfinite(m.WorldTop - m.WorldBottom);
}

// The world window and the client size in pixels that a picture was made for.
struct ViewFrame {
  double left = 0.0;
  double right = 0.0;
  double top = 0.0;
  double bottom = 0.0;
  int width = 0;
  int height = 0;

  bool operator==(const ViewFrame &) const = default;
};

// Copies the pixels of `from` within the region into `to`, row by row; both are 32-bit images of
// one size (anything else copies nothing).
void copyPixels(QImage &to, const QImage &from, const QRegion &where);

// The region's pieces gathered into groups lying close together, as the rectangles around each
// group. When there would be more than `most` groups, the region cut by a grid of tiles (the
// rectangle around its pixels in each), or the one rectangle around it when those cover most
// of it.
std::vector<QRect> nearbyGroups(const QRegion &region, std::size_t most);

// DrawGrid onto the given canvas (the back buffer's). With a region (the canvas clipped to it),
// only the lines, labels and axes that may put pixels there are drawn, with the pixels a full
// drawing puts there; the canvas is left clipped to the region.
void drawGridOn(TTarvikCanvas &canvas, platform::GdiCanvas &g, const QRegion *within = nullptr);

// Where the grid drawn for `to` differs from the grid drawn for `from` moved by (kx, ky) pixels:
// lines whose dots no longer fall alike, lines and labels that came or went, and the labels held
// to the client's edges. False when the two grids differ beyond that (another step, too many
// lines, the origin axes): the whole picture must be drawn again.
bool gridScrollDamage(TTarvikCanvas &canvas, const ViewFrame &from, const ViewFrame &to, int kx,
                      int ky, QRegion &damage);

} // namespace canvas
