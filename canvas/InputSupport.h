// Pieces the canvas's input handlers share: firing an event safely, the screen cursor, and the
// steps of engaging, disengaging and finishing the interactive tools.
#pragma once

#include "canvas/Shapes.h"

#include <cstdint>
#include <memory>
#include <utility>

class TTarvikCanvas;

namespace canvas {

// Screen cursors of the class library.
constexpr int crDefault = 0;
constexpr int crCross = -3;
constexpr int crSizeAll = -22;

// Virtual-key codes the canvas acts on.
constexpr std::uint16_t vkEscape = 27;
constexpr std::uint16_t vkDelete = 46;

// Fires an event when it is set. The handler runs from a copy, so it may reassign or clear the
// event while it runs.
template <class Event, class... Args> void fire(const Event &event, Args &&...args) {
  if (event) {
    Event handler = event;
    handler(std::forward<Args>(args)...);
  }
}

// Sets the cursor of the whole application (an override cursor); crDefault removes it.
void setScreenCursor(int cursor);

// Moves a finished interactive polyline to the top of the drawing, bounds brought up to date.
void appendFinishedPolyline(TTarvikCanvas &c, std::unique_ptr<TQPolyline> polyline);

// A right press or a double click while a tool is engaged: keeps a polyline of two points or
// more, drops a shorter one, fires OnDrawEnd at (wx, wy) and leaves the tool unless
// KeepDrawMode; the cursor goes back to the default and the control repaints. The next left
// press is consumed.
void disengageTool(TTarvikCanvas &c, double wx, double wy);

// Starts a pan drag anchored at the client pixel (x, y), world point (wx, wy).
void startPan(TTarvikCanvas &c, int x, int y, double wx, double wy);

// The left press of the current DrawMode at client pixel (x, y), world point (wx, wy)
// (InputTools.cpp).
void leftPressAction(TTarvikCanvas &c, int x, int y, double wx, double wy);

} // namespace canvas
