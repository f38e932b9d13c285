// The world window of the drawing model: conversions, set, pan, zoom, fit, background and the
// contrast rule.
#include "canvas/WorldView.h"
#include "canvas/DrawingModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void DrawingModel::WorldToScreen(double x, double y, int &sx, int &sy) const {
  const canvas::ViewMapping m(WorldLeft, WorldRight, WorldTop, WorldBottom, clientWidth(),
                              clientHeight());
  sx = m.toX(x);
  sy = m.toY(y);
}

void DrawingModel::ScreenToWorld(int px, int py, double &wx, double &wy) const {
  const int w = clientWidth() > 0 ? clientWidth() : 1;
  const int h = clientHeight() > 0 ? clientHeight() : 1;
  wx = WorldLeft + px * ((WorldRight - WorldLeft) / w);
  wy = WorldTop - py * ((WorldTop - WorldBottom) / h);
}

double DrawingModel::GetWorldWidth() const { return WorldRight - WorldLeft; }

double DrawingModel::GetWorldHeight() const { return WorldTop - WorldBottom; }

int DrawingModel::WorldToAbsX(double x) const {
  int sx = 0;
  int sy = 0;
  WorldToScreen(x, 0.0, sx, sy);
  return sx;
}

int DrawingModel::WorldToAbsY(double y) const {
  int sx = 0;
  int sy = 0;
  WorldToScreen(0.0, y, sx, sy);
  return sy;
}

void DrawingModel::WorldSet(double left, double top, double right, double bottom) {
  WorldLeft = left;
  WorldTop = top;
  WorldRight = right;
  WorldBottom = bottom;
  BackBufferDirty = true;
  invalidateView();
}

void DrawingModel::WorldPan(double dx, double dy) {
  WorldLeft += dx;
  WorldRight += dx;
  WorldBottom += dy;
  WorldTop += dy;
  BackBufferDirty = true;
  noteViewPan();
  invalidateView();
}

namespace {

// Width over height of the client, each below 1 counting as 1, so the ratio is finite and
// positive.
double clientAspect(int w, int h) {
  return static_cast<double>(w > 0 ? w : 1) / static_cast<double>(h > 0 ? h : 1);
}

// A window extent to divide by: not positive, or not finite, counts as 1.
double positiveExtent(double v) { return (v > 0.0 && std::isfinite(v)) ? v : 1.0; }

} // namespace

void DrawingModel::WorldZoom(int, double factor, double x, double y) {
  double s = 1.0 - factor;
  if (!(s > 0.0))
    s = 0.1; // also a NaN factor
  else if (s > 10.0)
    s = 10.0;
  const double ww = positiveExtent(WorldRight - WorldLeft);
  const double wh = positiveExtent(WorldTop - WorldBottom);
  const double aspect = clientAspect(clientWidth(), clientHeight());
  const double newW = ww * s;
  const double newH = newW / aspect;
  const double fx = (x - WorldLeft) / ww;
  const double fy = (y - WorldBottom) / wh;
  WorldSet(x - newW * fx, y + (1.0 - fy) * newH, x + (1.0 - fx) * newW, y - newH * fy);
}

void DrawingModel::WorldExtents() {
  auto defaultWindow = [this] { WorldSet(0.0, 1000.0, 1000.0, 0.0); };
  if (Shapes.empty()) {
    defaultWindow();
    return;
  }
  double minX = 1e30;
  double minY = 1e30;
  double maxX = -1e30;
  double maxY = -1e30;
  int n = 0;
  for (const TQShape *s : Shapes) {
    if (!s->Visible)
      continue;
    // Written as "inside" tests so that a NaN bound fails them and the shape is left out.
    const bool sane = s->MinX >= -1e15 && s->MaxX <= 1e15 && s->MinY >= -1e15 && s->MaxY <= 1e15 &&
                      s->MinX <= s->MaxX && s->MinY <= s->MaxY;
    if (!sane)
      continue;
    minX = std::min(minX, s->MinX);
    minY = std::min(minY, s->MinY);
    maxX = std::max(maxX, s->MaxX);
    maxY = std::max(maxY, s->MaxY);
    ++n;
  }
  if (n == 0 || minX >= maxX || minY >= maxY) {
    defaultWindow();
    return;
  }
  const double mx = (maxX - minX) * 0.05;
  const double my = (maxY - minY) * 0.05;
  minX -= mx;
  maxX += mx;
  minY -= my;
  maxY += my;
  double w = maxX - minX;
  double h = maxY - minY;
  const double aspect = clientAspect(clientWidth(), clientHeight());
  const double r = w / (h > 0.0 ? h : 1.0);
  if (r > aspect) {
    h = w / aspect;
    const double cy = (minY + maxY) / 2.0;
    minY = cy - h / 2.0;
    maxY = cy + h / 2.0;
  } else {
    w = h * aspect;
    const double cx = (minX + maxX) / 2.0;
    minX = cx - w / 2.0;
    maxX = cx + w / 2.0;
  }
  WorldSet(minX, maxY, maxX, minY);
}

void DrawingModel::SetBackColor(TColor colour) {
  if (colour == BackColor)
    return;
  BackColor = colour;
  BackBufferDirty = true;
  invalidateView();
}

TColor DrawingModel::GetContrastColor(TColor colour) const {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  const int br = GetRValue(BackColor), bg = GetGValue(BackColor), bb = GetBValue(BackColor);
  const int lc = (299 * r + 587 * g + 114 * b) / 1000;
  const int lb = (299 * br + 587 * bg + 114 * bb) / 1000;
  if (lc < 50 && lb < 50)
    return 0xFFFFFF;
  if (lc > 200 && lb > 200)
    return 0;
  const int d = std::abs(r - br) + std::abs(g - bg) + std::abs(b - bb);
  if (d < 60)
    return lb > 128 ? 0 : 0xFFFFFF;
  return colour;
}
