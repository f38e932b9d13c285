// Shape geometry: bounds, hit tests with their tolerance, transforms and polyline points.
#include "canvas/Shapes.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

struct HitCase {
  const char *what;
  std::function<std::unique_ptr<TQShape>()> make;
  double x, y, t;
  bool hit;
};

class HitTable : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTable, HitTest) {
  const HitCase &c = GetParam();
  EXPECT_EQ(c.make()->HitTest(c.x, c.y, c.t), c.hit) << c.what;
}

std::unique_ptr<TQShape> square(bool closed) {
  auto p = std::make_unique<TQPolyline>(closed ? 6 : 5, closed, 0);
  p->AddPoint(0, 0);
  p->AddPoint(10, 0);
  p->AddPoint(10, 10);
  p->AddPoint(0, 10);
  return p;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HitTable,
    ::testing::Values(
        HitCase{"point at tolerance", [] { return std::make_unique<TQPoint>(0, 0, 0, 0); }, 3, 4, 5,
                true},
        HitCase{"point beyond", [] { return std::make_unique<TQPoint>(0, 0, 0, 0); }, 3, 4.01, 5,
                false},
        HitCase{"line middle", [] { return std::make_unique<TQLine>(0, 0, 10, 0, 0); }, 5, 2, 2,
                true},
        HitCase{"line past end uses end point",
                [] { return std::make_unique<TQLine>(0, 0, 10, 0, 0); }, 13, 4, 5, true},
        HitCase{"line past end too far", [] { return std::make_unique<TQLine>(0, 0, 10, 0, 0); },
                13, 4.1, 5, false},
        HitCase{"zero-length line", [] { return std::make_unique<TQLine>(2, 2, 2, 2, 0); }, 2, 3, 1,
                true},
        HitCase{"circle ring", [] { return std::make_unique<TQCircle>(0, 0, 10, 0); }, 0, 11, 1,
                true},
        HitCase{"circle inside", [] { return std::make_unique<TQCircle>(0, 0, 10, 0); }, 0, 0, 1,
                false},
        HitCase{"rectangle inside counts",
                [] { return std::make_unique<TQRectangle>(10, 10, 0, 0, 0, 0); }, 5, 5, 0, true},
        HitCase{"rectangle widened",
                [] { return std::make_unique<TQRectangle>(0, 0, 10, 10, 0, 0); }, -1, 11, 1, true},
        HitCase{"rectangle outside",
                [] { return std::make_unique<TQRectangle>(0, 0, 10, 10, 0, 0); }, -1.1, 5, 1,
                false},
        HitCase{"ellipse outline", [] { return std::make_unique<TQEllipse>(0, 0, 20, 10, 0); }, 20,
                5, 0.1, true},
        HitCase{"ellipse centre", [] { return std::make_unique<TQEllipse>(0, 0, 20, 10, 0); }, 10,
                5, 0.1, false},
        HitCase{"flat ellipse never", [] { return std::make_unique<TQEllipse>(0, 5, 20, 5, 0); },
                10, 5, 100, false},
        HitCase{"arc box widened", [] { return std::make_unique<TQArc>(0, 0, 5, 5, 10, 0, 0); },
                10.5, 5.5, 0.5, true},
        HitCase{"text box", [] { return std::make_unique<TQText>(0, 0, "abc", 0, 0); }, 30, -10, 0,
                true},
        HitCase{"text box missed", [] { return std::make_unique<TQText>(0, 0, "abc", 0, 0); }, 30.1,
                0, 0, false},
        HitCase{"polyline edge", [] { return square(false); }, 10, 5, 0.5, true},
        HitCase{"open polyline has no closing edge", [] { return square(false); }, 0, 5, 0.5,
                false},
        HitCase{"closed polygon's closing edge is not tested", [] { return square(true); }, 0, 5,
                0.5, false},
        HitCase{"zero-length segment never hits",
                [] {
                  auto p = std::make_unique<TQPolyline>(5, false, 0);
                  p->AddPoint(1, 1);
                  p->AddPoint(1, 1);
                  return p;
                },
                1, 1, 10, false},
        HitCase{"one-point polyline never hits",
                [] {
                  auto p = std::make_unique<TQPolyline>(5, false, 0);
                  p->AddPoint(1, 1);
                  return p;
                },
                1, 1, 10, false},
        HitCase{"NaN tolerance hits nothing",
                [] { return std::make_unique<TQLine>(0, 0, 10, 0, 0); }, 5, 0,
                std::numeric_limits<double>::quiet_NaN(), false}));

TEST(ShapeBounds, PerKind) {
  TQPoint p(100, 100, 0, 0);
  EXPECT_EQ(p.MinX, 97);
  EXPECT_EQ(p.MaxY, 103);
  p.PixelSize = 1;
  p.UpdateBounds();
  EXPECT_EQ(p.MinX, 99);
  TQText t(0, 0, QStringLiteral("abc"), 0, 0);
  t.AlignH = 2;
  t.Angle = 45;
  t.Height = 99;
  t.UpdateBounds();
  EXPECT_EQ(t.MinX, 0);
  EXPECT_EQ(t.MaxX, 30);
  EXPECT_EQ(t.MinY, -10);
  EXPECT_EQ(t.MaxY, 10);
  TQPolyline empty;
  empty.MinX = 4;
  empty.UpdateBounds();
  EXPECT_EQ(empty.MinX, 4);
}

TEST(ShapeTransforms, RectangleEllipseAndTextRotation) {
  TQRectangle r(0, 0, 10, 5, 0, 0);
  r.Rotate(90, 0, 0);
  EXPECT_EQ(r.X2, 10);
  EXPECT_EQ(r.Y2, 5);
  EXPECT_EQ(r.MaxX, 10);
  TQEllipse e(0, 0, 10, 5, 0);
  e.Rotate(90, 3, 3);
  EXPECT_EQ(e.X2, 10);
  TQText t(4, 5, QStringLiteral("x"), 0, 0);
  t.Rotate(90, 100, 100);
  EXPECT_EQ(t.Angle, 90);
  EXPECT_EQ(t.X, 4);
  EXPECT_EQ(t.Y, 5);
  t.Scale(2, 2, 0, 0);
  EXPECT_EQ(t.X, 8);
  EXPECT_EQ(t.Height, 10);
}

TEST(ShapeTransforms, CircleScalesRadiusByTheMeanFactor) {
  TQCircle c(1, 1, 2, 0);
  c.Scale(2, 4, 0, 0);
  EXPECT_EQ(c.X, 2);
  EXPECT_EQ(c.Y, 4);
  EXPECT_EQ(c.Radius, 6);
  EXPECT_EQ(c.MaxX, 8);
  c.Rotate(180, 0, 0);
  EXPECT_NEAR(c.X, -2, 1e-12);
  EXPECT_EQ(c.Radius, 6);
}

TEST(ShapeTransforms, EveryPointOfArcAndPolylineMoves) {
  TQArc a(0, 0, 1, 1, 2, 0, 0);
  a.Translate(10, 20);
  EXPECT_EQ(a.X3, 12);
  EXPECT_EQ(a.MinY, 20);
  a.Scale(2, 2, 10, 20);
  EXPECT_EQ(a.X3, 14);
  EXPECT_EQ(a.MaxY, 22);
  TQPolyline p(5, false, 0);
  p.AddPoint(500000, 0);
  p.AddPoint(0, 0);
  p.Translate(0.3, 0);
  // The result is stored as a float again.
  EXPECT_EQ(p.GetX(0), 500000.3125);
  p.Rotate(90, 0, 0);
  EXPECT_NEAR(p.GetY(1), static_cast<double>(0.3f), 1e-6);
  EXPECT_EQ(p.MaxY, p.GetY(0));
}

TEST(PolylinePoints, GetAndSetGuardTheirIndex) {
  TQPolyline p;
  p.AddPoint(1, 2);
  p.AddPoint(3, 4);
  EXPECT_EQ(p.GetX(-1), 0);
  EXPECT_EQ(p.GetX(2), 0);
  EXPECT_EQ(p.GetY(1), 4);
  p.SetPoint(2, 9, 9);
  EXPECT_EQ(p.Points.size(), 2u);
  EXPECT_EQ(p.MaxX, 3);
  p.SetPoint(1, 9, -9);
  EXPECT_EQ(p.MaxX, 9);
  EXPECT_EQ(p.MinY, -9);
  EXPECT_EQ(p.MaxY, 2);
}

TEST(PolylinePoints, StoredAsFloats) {
  TQPolyline p;
  p.AddPoint(500000.25, 4500000.3);
  EXPECT_EQ(p.GetX(0), 500000.25);
  EXPECT_EQ(p.GetY(0), 4500000.5);
  p.AddPoint(std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(std::isinf(p.GetX(1)));
  EXPECT_TRUE(std::isnan(p.GetY(1)));
}

TEST(Blocks, BlockOwnsItsShapes) {
  // Run under the leak checker: a block frees what it holds.
  auto b = std::make_unique<TQBlock>();
  b->Shapes.push_back(std::make_unique<TQText>(0, 0, QStringLiteral("t"), 0, 0));
  b->Shapes.push_back(std::make_unique<TQPolyline>(5, false, 0));
  EXPECT_EQ(b->BaseX, 0);
}

} // namespace
