#include "tools/ScatteredDrawing.h"

#include "canvas/DrawingModel.h"

#include <QString>
#include <random>

void sim::addScatteredDrawing(DrawingModel &drawing, const ScatteredDrawing &d) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> pos(-d.size / 2, d.size / 2);
  std::uniform_real_distribution<double> step(-5.0, 5.0);
  std::uniform_int_distribution<int> kind(0, 99);
  const double e0 = d.centreEasting, n0 = d.centreNorthing;
  double x = e0 + pos(rng), y = n0 + pos(rng);
  for (int i = 0; i < d.shapes; ++i) {
    const int k = kind(rng);
    if (k < 70) {
      if (k == 0) {
        x = e0 + pos(rng);
        y = n0 + pos(rng);
      }
      const double nx = x + step(rng), ny = y + step(rng);
      drawing.DrawLine(x, y, nx, ny, d.trackLayer);
      x = nx;
      y = ny;
    } else if (k < 90) {
      drawing.DrawPoint(e0 + pos(rng), n0 + pos(rng), d.markLayer);
    } else if (k < 95) {
      drawing.TextAdd(d.markLayer, QStringLiteral("12.3"), e0 + pos(rng), n0 + pos(rng), 0);
    } else {
      drawing.DrawCircle(e0 + pos(rng), n0 + pos(rng), 20.0, d.markLayer);
    }
  }
}
