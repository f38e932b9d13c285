#include "navigator/soundvelocity/SvpGraphModel.h"

#include "navigator/acquisition/FormattedScan.h"
#include "navigator/soundvelocity/SvpProcessing.h"
#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>

namespace svpgraph {

namespace {

// Far enough outside any screen to be off it, near enough that a point's box around it (x + 5)
// stays an int.
constexpr double PixelLimit = 1000000;

// MarginLeft + trunc(fraction x extent), the sum kept in double and clamped so that a limit far
// away (a velocity of 1e300 typed into the grid) gives a pixel off the box, not an overflow.
int toPixel(int margin, double fraction, int extent) {
  const double pixel = margin + std::trunc(fraction * extent);
  return platform::truncToInt(std::isnan(pixel) ? 0 : std::clamp(pixel, -PixelLimit, PixelLimit));
}

// The ratio of the mouse within the old span; the middle when the span is zero, where the
// mouse's position says nothing (0 / 0).
double ratioIn(double value, double min, double span) {
  if (!(span > 0))
    return 0.5;
  return (value - min) / span;
}

double zoomedSpan(double span, double factor) {
  return std::clamp(span * factor, 5.0, SvpView::MaxSpan);
}

std::string fixed2(double v) { return platform::FloatToStrF(v, platform::ffFixed, 15, 2); }

} // namespace

int SvpView::SvToX(double v) const {
  if (SvMax == SvMin)
    return MarginLeft;
  return toPixel(MarginLeft, (v - SvMin) / (SvMax - SvMin), W - MarginLeft - MarginRight);
}

int SvpView::DepthToY(double d) const {
  if (DepthMax == DepthMin)
    return MarginTop;
  return toPixel(MarginTop, (d - DepthMin) / (DepthMax - DepthMin), H - MarginTop - MarginBottom);
}

double SvpView::XToSv(int x) const {
  const int extent = W - MarginLeft - MarginRight;
  if (extent == 0)
    return SvMin;
  return SvMin + (x - MarginLeft) * (SvMax - SvMin) / extent;
}

double SvpView::YToDepth(int y) const {
  const int extent = H - MarginTop - MarginBottom;
  if (extent == 0)
    return DepthMin;
  return DepthMin + (y - MarginTop) * (DepthMax - DepthMin) / extent;
}

void SvpView::FitView(const Points &points) {
  if (points.empty())
    return;
  SvMin = 1600;
  SvMax = 1300;
  DepthMin = 10000;
  DepthMax = 0;
  for (const TSVPPoint &p : points) {
    SvMin = std::min(SvMin, p.Velocity);
    SvMax = std::max(SvMax, p.Velocity);
    DepthMin = std::min<double>(DepthMin, p.Depth);
    DepthMax = std::max<double>(DepthMax, p.Depth);
  }
  double span = SvMax - SvMin;
  if (span < 10)
    span = 10;
  SvMin -= 0.05 * span;
  SvMax += 0.05 * span;
}

void SvpView::Wheel(int x, int y, int delta) {
  const double vm = XToSv(x);
  const double dm = YToDepth(y);
  const double factor = delta > 0 ? 0.9 : 1.1;
  const double svSpan = SvMax - SvMin;
  const double depthSpan = DepthMax - DepthMin;
  const double newSv = zoomedSpan(svSpan, factor);
  const double newDepth = zoomedSpan(depthSpan, factor);
  const double rv = ratioIn(vm, SvMin, svSpan);
  const double rd = ratioIn(dm, DepthMin, depthSpan);
  SvMin = vm - rv * newSv;
  SvMax = vm + (1 - rv) * newSv;
  DepthMin = dm - rd * newDepth;
  DepthMax = dm + (1 - rd) * newDepth;
}

Points LoadAveragedRows(const std::vector<std::string> &rows) {
  Points points;
  for (const std::string &row : rows) {
    const auto v = formattedscan::scan(row, "%d,%lf,%d");
    if (v.size() < 2)
      continue;
    TSVPPoint p;
    p.Depth = std::get<std::int32_t>(v[0]);
    p.Velocity = std::get<double>(v[1]);
    p.Hits = v.size() > 2 ? std::get<std::int32_t>(v[2]) : 1;
    points.push_back(p);
  }
  return points;
}

std::vector<std::string> WriteBackPoints(const Points &points) {
  struct Merged {
    double weighted = 0; // sum of hits x velocity
    double plain = 0;    // sum of velocities
    long long hits = 0;
    int count = 0;
  };
  std::map<int, Merged> byDepth;
  for (const TSVPPoint &p : points) {
    if (p.Depth < 0 || p.Depth > svp::MaxDepthLimit)
      continue;
    Merged &m = byDepth[p.Depth];
    const long long hits = std::max<std::int32_t>(p.Hits, 0);
    m.weighted += static_cast<double>(hits) * p.Velocity;
    m.plain += p.Velocity;
    m.hits += hits;
    ++m.count;
  }
  std::vector<std::string> rows;
  if (byDepth.empty())
    return rows;
  rows.resize(static_cast<std::size_t>(byDepth.rbegin()->first) + 1);
  for (const auto &[depth, m] : byDepth) {
    const double velocity =
        m.hits > 0 ? m.weighted / static_cast<double>(m.hits) : m.plain / m.count;
    const long long hits = std::min<long long>(m.hits, std::numeric_limits<std::int32_t>::max());
    rows[static_cast<std::size_t>(depth)] =
        std::to_string(depth) + "," + fixed2(velocity) + "," + std::to_string(hits);
  }
  return rows;
}

int HitTestPoint(const Points &points, const SvpView &view, int x, int y) {
  for (std::size_t i = 0; i < points.size(); ++i) {
    const long long dx = static_cast<long long>(x) - view.SvToX(points[i].Velocity);
    const long long dy = static_cast<long long>(y) - view.DepthToY(points[i].Depth);
    if (std::llabs(dx) < 8 && std::llabs(dy) < 8)
      return static_cast<int>(i);
  }
  return -1;
}

bool PointInLasso(const LassoPath &path, int x, int y) {
  if (path.size() < 3)
    return false;
  bool inside = false;
  for (std::size_t i = 0, j = path.size() - 1; i < path.size(); j = i++) {
    const long long xi = path[i].first, yi = path[i].second;
    const long long xj = path[j].first, yj = path[j].second;
    if ((yi > y) != (yj > y)) {
      const long long xc = xi + (y - yi) * (xj - xi) / (yj - yi);
      if (xc > x)
        inside = !inside;
    }
  }
  return inside;
}

int SelectInLasso(Points &points, const SvpView &view, const LassoPath &path) {
  int n = 0;
  for (TSVPPoint &p : points) {
    p.Selected = PointInLasso(path, view.SvToX(p.Velocity), view.DepthToY(p.Depth));
    n += p.Selected ? 1 : 0;
  }
  return n;
}

std::vector<GridRow> FillGrid(const Points &points) {
  std::vector<GridRow> rows;
  rows.reserve(points.size());
  for (const TSVPPoint &p : points)
    rows.push_back({QString::number(p.Depth), QString::fromStdString(fixed2(p.Velocity)),
                    QString::number(p.Hits)});
  return rows;
}

Points ReadGrid(const std::vector<GridRow> &rows) {
  Points points;
  for (const GridRow &row : rows) {
    std::int32_t depth = 0;
    double velocity = 0;
    if (!platform::TryStrToInt(row[0].toStdString(), depth) ||
        !platform::TryStrToFloat(row[1].toStdString(), velocity) || !std::isfinite(velocity))
      continue;
    TSVPPoint p;
    p.Depth = depth;
    p.Velocity = velocity;
    p.Hits = platform::StrToIntDef(row[2], 1);
    points.push_back(p);
  }
  return points;
}

GridRow AddRowCells(const Points &points) {
  if (points.empty())
    return {QStringLiteral("0"), QStringLiteral("1500.00"), QStringLiteral("0")};
  const TSVPPoint &last = points.back();
  const long long depth = static_cast<long long>(last.Depth) + 1;
  return {QString::number(depth), QString::fromStdString(fixed2(last.Velocity)),
          QStringLiteral("0")};
}

} // namespace svpgraph
