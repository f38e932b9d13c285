// The sound velocity graph editor's logic without its window: the averaged rows as points, the
// view limits and pixel transforms, hit test, lasso, wheel zoom, the grid's rows, and the
// write-back that keeps the averaged rows indexed by depth.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One averaged row.
struct TSVPPoint {
  std::int32_t Depth = 0; // whole metres
  double Velocity = 0;    // mean sound velocity, m/s
  std::int32_t Hits = 0;  // samples behind the mean
  bool Selected = false;  // chosen by the lasso or a grid click
};

namespace svpgraph {

using Points = std::vector<TSVPPoint>;
using LassoPath = std::vector<std::pair<int, int>>;
// A data row of the grid: depth, velocity, hits as the cells show them.
using GridRow = std::array<QString, 3>;

// The plot area and its limits. W and H are the paint box's client size.
struct SvpView {
  double SvMin = 1450, SvMax = 1550;   // m/s at the left and right of the plot area
  double DepthMin = 0, DepthMax = 100; // m at the top and bottom (depth grows downwards)
  int MarginLeft = 60, MarginRight = 20, MarginTop = 20, MarginBottom = 40;
  int W = 0, H = 0;

  int SvToX(double v) const;
  int DepthToY(double d) const;
  double XToSv(int x) const;
  double YToDepth(int y) const;

  // The limits around the points (velocity with a 5 % margin of a span of at least 10 m/s, depth
  // without margin); nothing happens without points.
  void FitView(const Points &points);
  // Zooms about the pixel under the mouse: in (factor 0.9) for a positive wheel step, out (1.1)
  // otherwise; a span never shrinks below 5 nor grows beyond MaxSpan.
  void Wheel(int x, int y, int delta);

  // Zooming out without end would make the grid's lines countless and, at last, the limits
  // infinite; a hundred kilometres (or km/s) is far beyond any cast.
  static constexpr double MaxSpan = 100000;
};

// The averaged rows as points: "%d,%lf,%d", hits 1 without a third value, rows giving fewer
// than two values skipped.
Points LoadAveragedRows(const std::vector<std::string> &rows);
// The points as averaged rows indexed by depth: row k holds depth k, metres without a point
// stay empty rows, points of one depth are merged (their hits-weighted mean, hits summed), and
// depths below 0 or beyond the deepest MaxDepth are left out. Velocity with 2 decimals.
std::vector<std::string> WriteBackPoints(const Points &points);

// The first point within 8 pixels in x and in y, or -1.
int HitTestPoint(const Points &points, const SvpView &view, int x, int y);
// Even-odd rule in integers; false with fewer than 3 vertices.
bool PointInLasso(const LassoPath &path, int x, int y);
// Selects exactly the points inside the lasso; returns how many are selected.
int SelectInLasso(Points &points, const SvpView &view, const LassoPath &path);

// The grid's data rows for the points, and the points of the grid's rows (cells that do not
// convert skip their row; a bad hits cell counts as 1).
std::vector<GridRow> FillGrid(const Points &points);
Points ReadGrid(const std::vector<GridRow> &rows);
// The row "Add Row" appends: the last point's depth + 1 and velocity, hits 0.
GridRow AddRowCells(const Points &points);

} // namespace svpgraph
