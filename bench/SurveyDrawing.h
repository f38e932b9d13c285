// A survey-like drawing for the benchmarks: six kinds of shape in turn, as a survey drawing holds
// them (track lines, sounding points, marks, height labels, run lines and boxes), spread over a
// projected grid of about 10 x 10 km.
#pragma once

#include "canvas/DrawingModel.h"

#include <QString>

namespace bench {

struct MixedShapesOptions {
  // Added to every coordinate, so that written reals carry all their decimals.
  double fraction = 0.0;
  // Gives the track lines a pen colour of their own (a field the drawing file writes).
  bool colourLines = false;
};

inline void addMixedShapes(DrawingModel &m, int count, MixedShapesOptions options = {}) {
  const int layer = m.LayerOpen(QStringLiteral("Survey"));
  const int font = m.FontOpen(QStringLiteral("Arial,10"), 0);
  const QString label = QStringLiteral("12.34");
  for (int i = 0; i < count; ++i) {
    const double x = 500000.0 + (i % 1000) * 10.0 + options.fraction;
    const double y = 4500000.0 + (i / 1000) * 10.0 + options.fraction;
    switch (i % 6) {
    case 0: {
      const auto line = m.DrawLine(x, y, x + 8, y + 3, layer);
      if (options.colourLines)
        m.SetShapePenFg(line, 255);
      break;
    }
    case 1:
      m.DrawPoint(x, y, layer);
      break;
    case 2:
      m.DrawCircle(x, y, 2.5, layer);
      break;
    case 3:
      m.TextAdd(layer, label, x, y, font);
      break;
    case 4:
      m.DrawPolyline({{x, y}, {x + 3, y + 1}, {x + 6, y}, {x + 9, y + 2}}, layer, false);
      break;
    default:
      m.DrawRectangle(x, y, x + 4, y + 4, layer);
      break;
    }
  }
}

} // namespace bench
