// What the mouse and the keys do on the canvas: the press, move, release, double-click, key and
// wheel handlers with picking, pan, drag zoom and the engaging and disengaging of the tools. The
// left press of each tool is in InputTools.cpp.
//
// Every event a handler fires may change the canvas (delete shapes, clear the drawing state,
// change DrawMode), so the fields are read again after each one.
#include "canvas/InputSupport.h"
#include "canvas/TarvikCanvas.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPoint>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace canvas {

void setScreenCursor(int cursor) {
  if (cursor == crDefault) {
    // The default screen cursor is no override at all, whatever was stacked before.
    while (QGuiApplication::overrideCursor())
      QGuiApplication::restoreOverrideCursor();
    return;
  }
  const QCursor shape(cursor == crSizeAll ? Qt::SizeAllCursor : Qt::CrossCursor);
  if (QGuiApplication::overrideCursor())
    QGuiApplication::changeOverrideCursor(shape);
  else
    QGuiApplication::setOverrideCursor(shape);
}

void appendFinishedPolyline(TTarvikCanvas &c, std::unique_ptr<TQPolyline> polyline) {
  polyline->UpdateBounds();
  // The number was taken at the first point; should the drawing have been cleared and
  // renumbered meanwhile, a shape made since may hold it, and numbers stay unique.
  if (c.Shapes.containsNumber(polyline->ShapeNumber))
    polyline->ShapeNumber = c.takeShapeNumber();
  c.appendNumberedShape(std::move(polyline));
}

void disengageTool(TTarvikCanvas &c, double wx, double wy) {
  std::unique_ptr<TQPolyline> polyline = std::move(c.PolylineUnderConstruction);
  if (polyline && polyline->Points.size() >= 2)
    appendFinishedPolyline(c, std::move(polyline));
  polyline.reset();
  c.DrawingInProgress = false;
  c.RubberBandActive = false;
  c.SkipNextLeftPress = true;
  fire(c.OnDrawEnd, &c, static_cast<short>(c.DrawMode), wx, wy);
  if (!c.KeepDrawMode)
    c.DrawMode = 0;
  setScreenCursor(crDefault);
  c.QWidget::update();
}

void startPan(TTarvikCanvas &c, int x, int y, double wx, double wy) {
  c.Panning = true;
  c.DragAnchorX = x;
  c.DragAnchorY = y;
  c.RubberCurrentX = wx;
  c.RubberCurrentY = wy;
  setScreenCursor(crSizeAll);
}

} // namespace canvas

using namespace canvas;
using namespace platform;

namespace {

constexpr int leftButton = 0;
constexpr int rightButton = 1;
constexpr int middleButton = 2;

short buttonCode(int button) {
  switch (button) {
  case leftButton:
    return 1;
  case rightButton:
    return 2;
  case middleButton:
    return 4;
  default:
    return 0;
  }
}

// Only the Shift, Ctrl and Alt bits reach the events.
short shiftCode(int shift) { return static_cast<short>(shift & 7); }

// A left press in selection mode: the topmost shape within the pick tolerance joins the selection
// (alone unless Ctrl is held); a miss clears it unless Ctrl is held.
void pick(TTarvikCanvas &c, double wx, double wy, int shift) {
  const bool ctrl = (shift & 2) != 0;
  const std::int32_t n = c.GetShapeAt(wx, wy);
  auto clearAll = [&c] {
    for (TQShape *s : c.Shapes)
      s->Selected = false;
    c.SelectedShapes.clear();
  };
  if (n >= 0) {
    if (TQShape *s = c.FindShape(n)) {
      if (!ctrl)
        clearAll();
      s->Selected = true;
      s->Listed = true;
      c.SelectedShapes.push_back(n);
      fire(c.OnShapeNumberSelected, &c, static_cast<short>(s->ShapeType), n);
    }
  } else if (!ctrl) {
    clearAll();
  }
  c.Refresh();
}

} // namespace

void TTarvikCanvas::MouseDown(int Button, int Shift, int X, int Y) {
  fire(OnMouseDown, this, Button, Shift, X, Y);
  if (!NavigationVariant)
    FLastButton = static_cast<std::uint8_t>(Button);
  double wx = 0.0;
  double wy = 0.0;
  ScreenToWorld(X, Y, wx, wy);

  if (Button == rightButton && (DrawingInProgress || RubberBandActive)) {
    disengageTool(*this, wx, wy);
    LastPressX = wx;
    LastPressY = wy;
    return;
  }

  fire(OnWorldMouseDown, this, buttonCode(Button), shiftCode(Shift), static_cast<short>(DrawMode),
       wx, wy);

  if (Button == leftButton) {
    if (SkipNextLeftPress) {
      SkipNextLeftPress = false;
    } else {
      if (!RubberBandActive && !DrawingInProgress && (DrawMode == 0 || DrawMode == -1))
        pick(*this, wx, wy, Shift);
      // After a pick too: the selection handler may have chosen a tool for this very press.
      leftPressAction(*this, X, Y, wx, wy);
    }
  } else if (Button == middleButton) {
    startPan(*this, X, Y, wx, wy);
  }
  LastPressX = wx;
  LastPressY = wy;
}

void TTarvikCanvas::MouseMove(int Shift, int X, int Y) {
  fire(OnMouseMove, this, Shift, X, Y);
  double wx = 0.0;
  double wy = 0.0;
  ScreenToWorld(X, Y, wx, wy);
  const double dx = wx - LastPressX;
  const double dy = wy - LastPressY;
  const double magnitude = std::sqrt(dx * dx + dy * dy);
  const double angle =
      (dx == 0.0 && dy == 0.0) ? 0.0 : std::atan2(dy, dx) * 180.0 / std::numbers::pi;
  fire(OnWorldMouseMove, this, shiftCode(Shift), wx, wy, magnitude, angle);

  // The steps below keep the point the handler was given, even when the handler moved the view:
  // the rubber band ends where the host was told the mouse is.
  if (Panning) {
    const int deadZone = NavigationVariant ? 3 : 5;
    if (std::abs(X - DragAnchorX) >= deadZone || std::abs(Y - DragAnchorY) >= deadZone) {
      double ax = 0.0;
      double ay = 0.0;
      ScreenToWorld(DragAnchorX, DragAnchorY, ax, ay);
      if (!NavigationVariant)
        FInteracting = true;
      WorldPan(ax - wx, ay - wy);
      DragAnchorX = X;
      DragAnchorY = Y;
    }
  } else if (DragZooming) {
    const int deadZone = NavigationVariant ? 4 : 6;
    const int d = DragAnchorY - Y;
    if (std::abs(d) >= deadZone) {
      if (!NavigationVariant)
        FInteracting = true;
      WorldZoom(0, d * 0.01, (WorldLeft + WorldRight) / 2.0, (WorldTop + WorldBottom) / 2.0);
      DragAnchorX = X;
      DragAnchorY = Y;
    }
  } else if (RubberBandActive) {
    RubberCurrentX = wx;
    RubberCurrentY = wy;
    QWidget::update(); // the band is drawn over the back buffer, which stays as it is
  }
  LastMouseX = X;
  LastMouseY = Y;
}

void TTarvikCanvas::MouseUp(int Button, int Shift, int X, int Y) {
  fire(OnMouseUp, this, Button, Shift, X, Y);
  auto endDrag = [this] {
    if (!NavigationVariant) {
      // The drag left texts out; draw the view once more with them.
      FInteracting = false;
      Refresh();
    }
  };
  if (Button == middleButton || Button == leftButton) {
    if (Panning) {
      Panning = false;
      setScreenCursor(crDefault);
      endDrag();
    } else if (Button == leftButton && DragZooming) {
      DragZooming = false;
      endDrag();
    }
  }
}

void TTarvikCanvas::DblClick() {
  fire(OnDblClick, this);
  if (!NavigationVariant && FLastButton == middleButton) {
    WorldExtents();
    return;
  }
  double wx = 0.0;
  double wy = 0.0;
  ScreenToWorld(LastMouseX, LastMouseY, wx, wy);
  if (RubberBandActive || DrawingInProgress) {
    disengageTool(*this, wx, wy);
  } else {
    WorldPan(wx - (WorldLeft + WorldRight) / 2.0, wy - (WorldTop + WorldBottom) / 2.0);
  }
}

void TTarvikCanvas::KeyDown(std::uint16_t &Key, int Shift) {
  try {
    fire(OnKeyDown, this, Key, Shift);
    if (DeleteKeyEnabled && Key == vkDelete)
      ShapeSelectDelete();
    if (Key == vkEscape && (DrawingInProgress || RubberBandActive)) {
      PolylineUnderConstruction.reset();
      DrawingInProgress = false;
      RubberBandActive = false;
      setScreenCursor(crDefault);
      QWidget::update();
    }
  } catch (...) {
    // A key must never break the control; whatever went wrong is dropped with the key.
  }
}

int TTarvikCanvas::WMMouseWheel(int WheelDelta, int ScreenX, int ScreenY) {
  const QPoint client = mapFromGlobal(QPoint(ScreenX, ScreenY));
  double wx = 0.0;
  double wy = 0.0;
  ScreenToWorld(client.x(), client.y(), wx, wy);
  WorldZoom(0, WheelDelta > 0 ? 0.1 : -0.1, wx, wy);
  return 1;
}
