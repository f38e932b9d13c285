// Random sequences of model operations with extreme arguments (NaN, infinities, huge values, the
// ends of the int range), run under the sanitizers: no crash, no undefined behaviour, and the
// model's invariants hold after every step.
#include "canvas/DrawingModel.h"

#include <QImage>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>
#include <vector>

namespace {

class Chaos {
public:
  explicit Chaos(unsigned seed) : rng_(seed) {}

  double real() {
    static const double specials[] = {0.0,
                                      -0.0,
                                      1.0,
                                      -1.0,
                                      1e-320,
                                      1e15,
                                      -1e15,
                                      1e300,
                                      -1e300,
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::quiet_NaN()};
    if (rng_() % 3 == 0)
      return specials[rng_() % std::size(specials)];
    return std::uniform_real_distribution<double>(-2000, 2000)(rng_);
  }
  int integer() {
    static const int specials[] = {
        0, 1, -1, 2, 99, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
    if (rng_() % 2 == 0)
      return specials[rng_() % std::size(specials)];
    return static_cast<int>(rng_() % 12) - 2;
  }
  unsigned pick(unsigned n) { return rng_() % n; }

private:
  std::mt19937 rng_;
};

void checkInvariants(const DrawingModel &m) {
  ASSERT_EQ(m.ShapeCount, m.Shapes.size());
  std::set<std::int32_t> numbers;
  for (const TQShape *s : m.Shapes) {
    ASSERT_TRUE(numbers.insert(s->ShapeNumber).second) << "duplicate " << s->ShapeNumber;
    ASSERT_EQ(m.FindShape(s->ShapeNumber), s);
  }
  int flagged = 0;
  for (const TQShape *s : m.Shapes)
    flagged += s->Selected ? 1 : 0;
  ASSERT_EQ(m.SelectedShapeCount(), flagged);
  std::set<int> indexes;
  for (const TQLayer *l : m.Layers)
    ASSERT_TRUE(indexes.insert(l->Index).second);
}

TEST(ModelRobustness, RandomOperationsWithExtremeArguments) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    Chaos r(seed);
    DrawingModel m;
    m.setClientSize(static_cast<int>(r.pick(3)) * 50, static_cast<int>(r.pick(3)) * 40);
    for (int step = 0; step < 300; ++step) {
      const std::int32_t some =
          m.Shapes.empty()
              ? r.integer()
              : m.Shapes[static_cast<int>(r.pick(static_cast<unsigned>(m.Shapes.size())))]
                    ->ShapeNumber;
      switch (r.pick(29)) {
      case 0:
        m.DrawLine(r.real(), r.real(), r.real(), r.real(), r.integer());
        break;
      case 1:
        m.DrawCircle(r.real(), r.real(), r.real(), r.integer());
        break;
      case 2:
        m.DrawRectangle(r.real(), r.real(), r.real(), r.real(), r.integer());
        break;
      case 3:
        m.DrawPoint(r.real(), r.real(), r.integer());
        break;
      case 4:
        m.DrawTwoPointEllipse(r.real(), r.real(), r.real(), r.real(), r.integer());
        break;
      case 5:
        m.DrawThreePointArc(r.real(), r.real(), r.real(), r.real(), r.real(), r.real(),
                            r.integer());
        break;
      case 6:
        m.TextAdd(r.integer(), QStringLiteral("label"), r.real(), r.real(), r.integer());
        break;
      case 7:
        m.DrawPolyline({{r.real(), r.real()}, {r.real(), r.real()}, {r.real(), r.real()}},
                       r.integer(), r.pick(2) == 0);
        break;
      case 8:
        m.WorldZoom(0, r.real(), r.real(), r.real());
        break;
      case 9:
        m.WorldPan(r.real(), r.real());
        break;
      case 10:
        m.WorldExtents();
        break;
      case 11:
        m.WorldSet(r.real(), r.real(), r.real(), r.real());
        break;
      case 12: {
        int sx = 0, sy = 0;
        double wx = 0, wy = 0;
        m.WorldToScreen(r.real(), r.real(), sx, sy);
        m.ScreenToWorld(r.integer(), r.integer(), wx, wy);
        m.GetShapeAt(r.real(), r.real());
        break;
      }
      case 13:
        m.ShapeScale(some, r.real(), r.real(), r.real(), r.real());
        break;
      case 14:
        m.ShapeRotate(some, r.real(), r.real(), r.real());
        break;
      case 15:
        m.ShapeTranslate(some, r.real(), r.real());
        break;
      case 16:
        m.ShapePointInsert(some, r.integer(), r.real(), r.real());
        m.ShapePointDelete(some, r.integer());
        m.ShapePointSet(some, r.integer(), r.real(), r.real());
        break;
      case 17:
        m.LayerOpen(QString::number(r.integer()));
        m.SetLayerPenWidth(r.integer(), r.integer());
        break;
      case 18:
        m.SetShapePenWidth(some, r.integer());
        m.SetShapeBrushStyle(some, r.integer());
        break;
      case 19:
        if (!m.Shapes.empty())
          m.Shapes.erase(static_cast<int>(r.pick(static_cast<unsigned>(m.Shapes.size()))));
        break;
      case 20:
        m.NextShapeNumber = r.pick(4) == 0 ? std::numeric_limits<std::int32_t>::max() - 1 : 1;
        break;
      case 21:
        m.FontOpen(QStringLiteral("Arial,%1,bi").arg(r.integer()), 0);
        break;
      case 22:
        m.ShapeSelect(some, r.pick(2) == 0);
        m.ShapeDeselect(r.pick(3) == 0 ? some : r.integer());
        break;
      case 23:
        m.ShapeToFront(some);
        m.ShapeToBack(r.pick(2) == 0 ? some : r.integer());
        m.ShapeZOrderJump(some, r.integer());
        break;
      case 24:
        m.ShapeDelete(r.pick(4) == 0 ? r.integer() : some);
        break;
      case 25:
        m.CadClearShapes(r.pick(8) == 0 ? -1 : m.GetShapeOnLayer(some));
        break;
      case 26: {
        std::vector<TPointF> polygon(3 + r.pick(3));
        for (TPointF &p : polygon)
          p = {canvas::toStoredFloat(r.real()), canvas::toStoredFloat(r.real())};
        m.SelectAllShapesInPolygon(polygon);
        m.SelectShapesInPolygon(polygon, {r.integer(), m.GetShapeOnLayer(some)});
        m.GetLastPolylinePoints();
        break;
      }
      case 27:
        m.LayerSelectShapes(m.GetShapeOnLayer(some), r.pick(2) == 0);
        m.LayerDeselectShapes(r.integer());
        m.CadSelectShapes();
        m.ShapeSelectMoveDelta(r.real(), r.real());
        break;
      case 28:
        switch (r.pick(3)) {
        case 0:
          m.DeleteSelectedShapes();
          break;
        case 1:
          m.ShapeSelectDelete();
          break;
        default:
          m.CadClearSelectedShapes();
          break;
        }
        break;
      }
      ASSERT_NO_FATAL_FAILURE(checkInvariants(m)) << "seed " << seed << " step " << step;
    }
    // Every shape draws in every view that the sequence left.
    QImage img(64, 48, QImage::Format_RGB32);
    img.fill(Qt::white);
    platform::GdiCanvas c(img);
    for (TQShape *s : m.Shapes) {
      s->Selected = r.pick(2) == 0;
      s->Draw(c, m.WorldLeft, m.WorldRight, m.WorldTop, m.WorldBottom, 64, 48, r.pick(2) == 0);
    }
  }
}

} // namespace
