// The left press of each interactive tool of DrawMode: the first press engages the tool, the
// following ones place points, finish shapes or zoom to the window drawn.
#include "canvas/InputSupport.h"
#include "canvas/TarvikCanvas.h"

#include <algorithm>
#include <cmath>

namespace {

using canvas::fire;

// The first point of a shape or a zoom window is placed.
void engage(TTarvikCanvas &c, double wx, double wy) {
  c.DrawingInProgress = true;
  c.RubberBandActive = true;
  c.RubberStartX = wx;
  c.RubberStartY = wy;
  c.RubberCurrentX = wx;
  c.RubberCurrentY = wy;
  canvas::setScreenCursor(canvas::crCross);
}

void engageAndAnnounce(TTarvikCanvas &c, double wx, double wy) {
  engage(c, wx, wy);
  fire(c.OnDrawBegin, &c, static_cast<short>(c.DrawMode), wx, wy);
}

// A shape of two corners is done (made or not): the tool stays engaged for the next one.
void endTwoPointShape(TTarvikCanvas &c) {
  c.DrawingInProgress = false;
  c.RubberStartX = 0.0;
  c.RubberStartY = 0.0;
  c.RubberCurrentX = 0.0;
  c.RubberCurrentY = 0.0;
}

// Modes 5, 6, 8 and 10: the polyline under construction gets its first point. It takes its
// shape number now, so the number is used up even if the polyline is dropped later.
void startPolyline(TTarvikCanvas &c, double wx, double wy) {
  const int mode = c.DrawMode;
  engage(c, wx, wy);
  auto p = std::make_unique<TQPolyline>(mode, mode == 6, c.CurrentLayer);
  p->ShapeNumber = c.takeShapeNumber();
  p->PenFg = 0;
  p->PenWidth = 1;
  p->PenStyle = 0;
  p->BrushFg = 0xFFFFFF;
  p->BrushBg = 0xFFFFFF;
  p->BrushStyle = bsClear;
  p->BrushMode = 0;
  if (const TQLayer *layer = c.FindLayer(c.CurrentLayer)) {
    p->PenFg = layer->PenFg;
    p->PenWidth = layer->PenWidth;
    if (mode == 6) {
      p->BrushFg = layer->BrushFg;
      p->BrushStyle = layer->BrushStyle;
    }
  }
  p->AddPoint(wx, wy);
  c.PolylineUnderConstruction = std::move(p);
  fire(c.OnDrawBegin, &c, static_cast<short>(c.DrawMode), wx, wy);
}

bool atRubberStart(const TTarvikCanvas &c, double wx, double wy) {
  return wx == c.RubberStartX && wy == c.RubberStartY;
}

// Modes 5, 6 and 8 after the first point.
void addPolylinePoint(TTarvikCanvas &c, double wx, double wy) {
  if (atRubberStart(c, wx, wy))
    return;
  if (c.PolylineUnderConstruction)
    c.PolylineUnderConstruction->AddPoint(wx, wy);
  c.RubberStartX = wx;
  c.RubberStartY = wy;
  c.Refresh();
}

// Mode 10 after the first point: the second point is the middle, the third finishes the arc.
void addArcPoint(TTarvikCanvas &c, double wx, double wy) {
  TQPolyline *p = c.PolylineUnderConstruction.get();
  if (!p)
    return;
  p->AddPoint(wx, wy);
  if (p->Points.size() < 3) {
    c.RubberStartX = wx;
    c.RubberStartY = wy;
    c.QWidget::update();
    return;
  }
  canvas::appendFinishedPolyline(c, std::move(c.PolylineUnderConstruction));
  c.PolylineUnderConstruction.reset();
  c.DrawingInProgress = false;
  c.RubberStartX = 0.0;
  c.RubberStartY = 0.0;
  c.Refresh();
}

// The second press of the zoom window: the window drawn, widened to the control's shape about
// its centre, becomes the view. A window too thin in either direction is ignored.
void zoomToWindow(TTarvikCanvas &c, double wx, double wy) {
  const double x1 = std::min(c.RubberStartX, wx);
  const double x2 = std::max(c.RubberStartX, wx);
  const double y1 = std::min(c.RubberStartY, wy);
  const double y2 = std::max(c.RubberStartY, wy);
  if (x2 - x1 > 0.001 && y2 - y1 > 0.001) {
    const double cx = (x1 + x2) / 2.0;
    const double cy = (y1 + y2) / 2.0;
    double w = x2 - x1;
    double h = y2 - y1;
    // A control with no width or height counts as one pixel, so the window stays finite.
    const double a = static_cast<double>(std::max(c.width(), 1)) / std::max(c.height(), 1);
    if (w / h > a)
      h = w / a;
    else
      w = h * a;
    c.WorldLeft = cx - w / 2.0;
    c.WorldRight = cx + w / 2.0;
    c.WorldBottom = cy - h / 2.0;
    c.WorldTop = cy + h / 2.0;
    c.BackBufferDirty = true;
  }
  c.DrawingInProgress = false;
  c.RubberBandActive = false;
  canvas::setScreenCursor(canvas::crDefault);
  if (!c.KeepDrawMode)
    c.DrawMode = 0;
  c.QWidget::update();
}

} // namespace

namespace canvas {

void leftPressAction(TTarvikCanvas &c, int x, int y, double wx, double wy) {
  const bool placing = c.DrawingInProgress;
  switch (c.DrawMode) {
  case 1: // rectangle
    if (!placing) {
      engageAndAnnounce(c, wx, wy);
    } else {
      if (!atRubberStart(c, wx, wy)) {
        c.DrawRectangle(c.RubberStartX, c.RubberStartY, wx, wy, c.CurrentLayer);
        c.Refresh();
      }
      endTwoPointShape(c);
    }
    break;
  case 3: // line chain
    if (!placing) {
      engageAndAnnounce(c, wx, wy);
    } else if (!atRubberStart(c, wx, wy)) {
      c.DrawLine(c.RubberStartX, c.RubberStartY, wx, wy, c.CurrentLayer);
      c.RubberStartX = wx;
      c.RubberStartY = wy;
      c.Refresh();
    }
    break;
  case 4: // ellipse
    if (!placing) {
      engageAndAnnounce(c, wx, wy);
    } else {
      if (wx != c.RubberStartX && wy != c.RubberStartY) {
        c.DrawTwoPointEllipse(c.RubberStartX, c.RubberStartY, wx, wy, c.CurrentLayer);
        c.Refresh();
      }
      endTwoPointShape(c);
    }
    break;
  case 5: // polyline
  case 6: // polygon
  case 8: // spline
    if (!placing)
      startPolyline(c, wx, wy);
    else
      addPolylinePoint(c, wx, wy);
    break;
  case 10: // three-point arc
    if (!placing)
      startPolyline(c, wx, wy);
    else
      addArcPoint(c, wx, wy);
    break;
  case 17: // point
    c.DrawPoint(wx, wy, c.CurrentLayer);
    fire(c.OnDrawEnd, &c, static_cast<short>(17), wx, wy);
    if (!c.KeepDrawMode)
      c.DrawMode = 0;
    c.QWidget::update();
    break;
  case 19: // circle
    if (!placing) {
      engageAndAnnounce(c, wx, wy);
    } else {
      const double r = std::sqrt((wx - c.RubberStartX) * (wx - c.RubberStartX) +
                                 (wy - c.RubberStartY) * (wy - c.RubberStartY));
      if (r > 0.0) {
        c.DrawCircle(c.RubberStartX, c.RubberStartY, r, c.CurrentLayer);
        c.Refresh();
      }
      endTwoPointShape(c);
    }
    break;
  case -2: // pan
    startPan(c, x, y, wx, wy);
    break;
  case -3: // zoom window
    if (!placing)
      engage(c, wx, wy);
    else
      zoomToWindow(c, wx, wy);
    break;
  case -4: // drag zoom
    c.DragZooming = true;
    c.DragAnchorX = x;
    c.DragAnchorY = y;
    break;
  default: // selection and the codes without a tool
    break;
  }
}

} // namespace canvas
