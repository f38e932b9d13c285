// Cutting a straight piece to a box.
#pragma once

namespace canvas {

// Cuts the piece from a to b to the box [x0, x1] x [y0, y1] (Liang-Barsky): false when it misses
// the box, else the parameters t0 <= t1 along a->b of the part inside.
bool clipPiece(double ax, double ay, double bx, double by, double x0, double y0, double x1,
               double y1, double &t0, double &t1);

} // namespace canvas
