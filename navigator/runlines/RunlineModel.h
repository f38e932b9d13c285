// Survey lines planned from a route: cross lines at a fixed spacing, or lines parallel to the
// route on both sides. Plain geometry, no widgets, so the window only draws what this returns.
#pragma once

#include "canvas/Shapes.h"

#include <QString>

#include <vector>

namespace runline {

// More lines than this is almost certainly a typing slip (a spacing of 0.001 on a long route)
// and would bury the canvas; the generator refuses instead of drawing them.
inline constexpr long long MaxLines = 10000;

// Segments this short or shorter have no direction and are passed over.
inline constexpr double MinSegment = 0.001;

struct Params {
  double Spacing = 10.0;
  double Length = 100.0;
  bool Perpendicular = true;
  bool operator==(const Params &) const = default;
};

// The spacing and length as the edits hold them: text that is not a number, zero or a negative
// value falls back to 10 and 100.
Params ParamsFromTexts(const QString &spacing, const QString &length, bool perpendicular);

struct Result {
  bool Refused = false;    // too many lines: nothing but the route copy is drawn
  long long Requested = 0; // the number of lines the parameters would give
  // The polylines to draw, in order: the route copy first, then the lines.
  std::vector<TPointPairVector> Polylines;
};

// The number of lines Generate would draw for these points (not counting the route copy).
long long CountLines(const TPointPairVector &route, const Params &p);

// Fewer than 2 route points gives an empty result.
Result Generate(const TPointPairVector &route, const Params &p);

// The unit left normal of the direction P->Q; (0, 0) when the segment is MinSegment or shorter.
std::pair<double, double> LeftNormal(const std::pair<double, double> &P,
                                     const std::pair<double, double> &Q);

} // namespace runline
