// Pieces the painting files share: the test for a view that can be drawn at all, and the grid
// drawn onto a canvas the caller already holds on the back buffer.
#pragma once

#include "canvas/DrawingModel.h"
#include "platform/GdiCanvas.h"

#include <cmath>

class TTarvikCanvas;

namespace platform {

// A view whose edges or spans are not finite has no pixels to map shapes or grid lines to; such
// a view paints the background and the overlays only.
inline bool finiteView(const DrawingModel &m) {
  return std::isfinite(m.WorldLeft) && std::isfinite(m.WorldRight) && std::isfinite(m.WorldTop) &&
         std::isfinite(m.WorldBottom) && std::isfinite(m.WorldRight - m.WorldLeft) &&
         std::isfinite(m.WorldTop - m.WorldBottom);
}

// DrawGrid onto the given canvas (the back buffer's).
void drawGridOn(TTarvikCanvas &canvas, GdiCanvas &g);

} // namespace platform
