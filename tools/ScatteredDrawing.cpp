#include "tools/ScatteredDrawing.h"

#include "canvas/DrawingModel.h"
#include "canvas/Shapes.h"

#include <QString>
#include <cmath>
#include <random>
#include <vector>

namespace {

// Track lines of up to 5 m a side, each from the end of the last, now and then starting again
// somewhere else in the area.
struct TrackWalk {
  DrawingModel &drawing;
  const sim::ScatteredDrawing &d;
  std::mt19937 &rng;
  std::uniform_real_distribution<double> &pos;
  double x = d.centreEasting + pos(rng);
  double y = d.centreNorthing + pos(rng);
  std::uniform_real_distribution<double> step{-5.0, 5.0};

  void next(bool elsewhere) {
    if (elsewhere) {
      x = d.centreEasting + pos(rng);
      y = d.centreNorthing + pos(rng);
    }
    const double nx = x + step(rng), ny = y + step(rng);
    drawing.DrawLine(x, y, nx, ny, d.trackLayer);
    x = nx;
    y = ny;
  }
};

void addChartDrawing(DrawingModel &drawing, const sim::ScatteredDrawing &d) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> pos(-d.size / 2, d.size / 2);
  std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::uniform_int_distribution<int> kind(0, 99);
  const double e0 = d.centreEasting, n0 = d.centreNorthing;
  TrackWalk track{drawing, d, rng, pos};
  const auto line = [&](double length) {
    const double cx = e0 + pos(rng), cy = n0 + pos(rng), a = angle(rng);
    const double dx = std::cos(a) * length / 2, dy = std::sin(a) * length / 2;
    drawing.DrawLine(cx - dx, cy - dy, cx + dx, cy + dy, d.trackLayer);
  };
  for (int i = 0; i < d.shapes; ++i) {
    const int k = kind(rng);
    if (k < 40) {
      track.next(k == 0);
    } else if (k < 48) {
      line(400.0);
    } else if (k < 50) {
      line(6000.0);
    } else if (k < 58) {
      const double cx = e0 + pos(rng), cy = n0 + pos(rng);
      drawing.DrawRectangle(cx, cy, cx + 5 + 45 * unit(rng), cy + 5 + 45 * unit(rng), d.markLayer);
    } else if (k < 66) {
      double px = e0 + pos(rng), py = n0 + pos(rng);
      const double a = angle(rng), length = 20 + 180 * unit(rng);
      TPointPairVector points;
      for (int p = 0; p < 5; ++p) {
        points.push_back({px, py});
        px += std::cos(a + p * 0.4) * length / 4;
        py += std::sin(a + p * 0.4) * length / 4;
      }
      drawing.DrawPolyline(points, d.trackLayer, false);
    } else if (k < 86) {
      drawing.DrawPoint(e0 + pos(rng), n0 + pos(rng), d.markLayer);
    } else if (k < 91) {
      drawing.TextAdd(d.markLayer, QStringLiteral("12.3"), e0 + pos(rng), n0 + pos(rng), 0);
    } else {
      drawing.DrawCircle(e0 + pos(rng), n0 + pos(rng), 20.0, d.markLayer);
    }
  }
}

} // namespace

void sim::addScatteredDrawing(DrawingModel &drawing, const ScatteredDrawing &d) {
  if (d.longLines) {
    addChartDrawing(drawing, d);
    return;
  }
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> pos(-d.size / 2, d.size / 2);
  std::uniform_int_distribution<int> kind(0, 99);
  const double e0 = d.centreEasting, n0 = d.centreNorthing;
  TrackWalk track{drawing, d, rng, pos};
  for (int i = 0; i < d.shapes; ++i) {
    const int k = kind(rng);
    if (k < 70) {
      track.next(k == 0);
    } else if (k < 90) {
      drawing.DrawPoint(e0 + pos(rng), n0 + pos(rng), d.markLayer);
    } else if (k < 95) {
      drawing.TextAdd(d.markLayer, QStringLiteral("12.3"), e0 + pos(rng), n0 + pos(rng), 0);
    } else {
      drawing.DrawCircle(e0 + pos(rng), n0 + pos(rng), 20.0, d.markLayer);
    }
  }
}
