#include "navigator/runlines/RunlineModel.h"

#include "platform/Convert.h"

#include <cmath>

namespace runline {

namespace {

// Read as every other edit of the program is read, with the program's decimal separator.
double ValueOr(const QString &text, double fallback) {
  double v = 0.0;
  if (!platform::TryStrToFloat(text.toStdString(), v) || !std::isfinite(v) || v <= 0.0)
    return fallback;
  return v;
}

// Lines on one segment: t = 0, S, 2S, ... while t <= d. Worked out in floating point, so a huge
// ratio saturates instead of overflowing an integer.
double CrossLinesOnSegment(double d, double S) {
  if (d < MinSegment)
    return 0.0;
  return std::floor(d / S) + 1.0;
}

} // namespace

Params ParamsFromTexts(const QString &spacing, const QString &length, bool perpendicular) {
  Params p;
  p.Spacing = ValueOr(spacing, 10.0);
  p.Length = ValueOr(length, 100.0);
  p.Perpendicular = perpendicular;
  return p;
}

std::pair<double, double> LeftNormal(const std::pair<double, double> &P,
                                     const std::pair<double, double> &Q) {
  const double dx = Q.first - P.first;
  const double dy = Q.second - P.second;
  const double d = std::hypot(dx, dy);
  if (!(d > MinSegment))
    return {0.0, 0.0};
  return {-dy / d, dx / d};
}

long long CountLines(const TPointPairVector &route, const Params &p) {
  if (route.size() < 2)
    return 0;
  double total = 0.0;
  if (p.Perpendicular) {
    for (std::size_t i = 0; i + 1 < route.size(); ++i) {
      const double d =
          std::hypot(route[i + 1].first - route[i].first, route[i + 1].second - route[i].second);
      total += CrossLinesOnSegment(d, p.Spacing);
      if (total > double(MaxLines) * 2)
        break;
    }
  } else {
    total = 2.0 * std::trunc(p.Length / p.Spacing);
  }
  if (!std::isfinite(total) || total > 9.0e18)
    return (long long)(9.0e18);
  return (long long)total;
}

Result Generate(const TPointPairVector &route, const Params &given) {
  Params p = given;
  if (!(p.Spacing > 0.0) || !std::isfinite(p.Spacing))
    p.Spacing = 10.0;
  if (!(p.Length > 0.0) || !std::isfinite(p.Length))
    p.Length = 100.0;
  Result r;
  if (route.size() < 2)
    return r;
  r.Polylines.push_back(route);
  r.Requested = CountLines(route, p);
  if (r.Requested > MaxLines) {
    r.Refused = true;
    return r;
  }
  const double S = p.Spacing;
  const double L = p.Length;
  if (p.Perpendicular) {
    for (std::size_t i = 0; i + 1 < route.size(); ++i) {
      const auto &P = route[i];
      const auto &Q = route[i + 1];
      const double dx = Q.first - P.first;
      const double dy = Q.second - P.second;
      const double d = std::hypot(dx, dy);
      if (d < MinSegment)
        continue;
      const double nx = -dy / d;
      const double ny = dx / d;
      // Stepping by index rather than adding S keeps the last line from drifting past d.
      const long long n = (long long)CrossLinesOnSegment(d, S);
      for (long long k = 0; k < n; ++k) {
        const double t = double(k) * S;
        const double cx = P.first + t * dx / d;
        const double cy = P.second + t * dy / d;
        r.Polylines.push_back({{cx + L * nx, cy + L * ny}, {cx - L * nx, cy - L * ny}});
      }
    }
  } else {
    const std::size_t n = route.size();
    std::vector<std::pair<double, double>> normals(n);
    normals[0] = LeftNormal(route[0], route[1]);
    normals[n - 1] = LeftNormal(route[n - 2], route[n - 1]);
    for (std::size_t i = 1; i + 1 < n; ++i) {
      const auto a = LeftNormal(route[i - 1], route[i]);
      const auto b = LeftNormal(route[i], route[i + 1]);
      double mx = (a.first + b.first) / 2.0;
      double my = (a.second + b.second) / 2.0;
      const double m = std::hypot(mx, my);
      if (m > MinSegment) {
        mx /= m;
        my /= m;
      }
      normals[i] = {mx, my};
    }
    const long long K = (long long)std::trunc(L / S);
    for (long long k = 1; k <= K; ++k) {
      const double o = double(k) * S;
      TPointPairVector left, right;
      left.reserve(n);
      right.reserve(n);
      for (std::size_t i = 0; i < n; ++i) {
        left.push_back(
            {route[i].first + o * normals[i].first, route[i].second + o * normals[i].second});
        right.push_back(
            {route[i].first - o * normals[i].first, route[i].second - o * normals[i].second});
      }
      r.Polylines.push_back(std::move(left));
      r.Polylines.push_back(std::move(right));
    }
  }
  return r;
}

} // namespace runline
