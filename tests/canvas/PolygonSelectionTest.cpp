// Reading back the route and selection polygon, the point-in-polygon rule and the selections
// by polygon and by layer.
#include "CountingModel.h"
#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<std::int32_t>;
using Polygon = std::vector<TPointF>;

using testsupport::CountingModel;
using testsupport::flagged;

const Polygon square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};

std::int32_t polyline(DrawingModel &m, const TPointPairVector &points, int layer,
                      bool closed = false) {
  return m.DrawPolyline(points, layer, closed);
}

} // namespace

TEST(PointInPolygon, SquareInsideOutsideAndEdges) {
  struct Case {
    double x, y;
    bool inside;
    const char *what;
  };
  const std::vector<Case> cases = {
      {5, 5, true, "centre"},
      {15, 5, false, "right of it"},
      {-1, 5, false, "left of it"},
      {5, -1, false, "below it"},
      {5, 11, false, "above it"},
      {0, 5, true, "left edge"},
      {5, 0, true, "bottom edge"},
      {10, 5, false, "right edge"},
      {5, 10, false, "top edge"},
      {0, 0, true, "bottom left corner"},
      {10, 10, false, "top right corner"},
      {9.999999, 9.999999, true, "just inside the top right corner"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(DrawingModel::PointInPolygon(c.x, c.y, square), c.inside);
  }
}

TEST(PointInPolygon, EvenOddAndDegenerateInputs) {
  // A square with a square hole drawn as one ring through a slit: the hole is outside.
  const Polygon ring = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0},
                        {3, 3}, {3, 7},  {7, 7},   {7, 3},  {3, 3}};
  EXPECT_TRUE(DrawingModel::PointInPolygon(1, 5, ring));
  EXPECT_FALSE(DrawingModel::PointInPolygon(5, 5, ring));
  // A bow tie crosses itself: both lobes are inside, the crossing's surroundings are not.
  const Polygon bowTie = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
  EXPECT_TRUE(DrawingModel::PointInPolygon(1, 5, bowTie));
  EXPECT_TRUE(DrawingModel::PointInPolygon(9, 5, bowTie));
  EXPECT_FALSE(DrawingModel::PointInPolygon(5, 1, bowTie));
  EXPECT_FALSE(DrawingModel::PointInPolygon(0, 0, {}));
  EXPECT_FALSE(DrawingModel::PointInPolygon(5, 5, {{5, 5}}));
}

TEST(PointInPolygon, VerticesAreTheStoredFloats) {
  // 0.1f is 0.100000001490116...: a point just right of 0.1 is still left of the right edge.
  const Polygon thin = {{0, 0}, {0.1f, 0}, {0.1f, 1}, {0, 1}};
  EXPECT_TRUE(DrawingModel::PointInPolygon(0.1000000010, 0.5, thin));
  EXPECT_FALSE(DrawingModel::PointInPolygon(0.1000000020, 0.5, thin));
}

TEST(PolygonSelection, LastPolylineOfTheRouteOrSelectionLayers) {
  struct Case {
    std::string name;
    std::function<void(DrawingModel &)> build;
    TPointPairVector expected;
  };
  const auto layer = [](DrawingModel &m, const char *name) {
    return m.LayerOpen(QString::fromLatin1(name));
  };
  const std::vector<Case> cases = {
      {"the later of two routes",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         polyline(m, {{1, 1}, {2, 2}}, r);
         polyline(m, {{3, 3}, {4, 4}, {5, 5}}, r);
       },
       {{3, 3}, {4, 4}, {5, 5}}},
      {"a one-point polyline is skipped",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         polyline(m, {{1, 1}, {2, 2}}, r);
         auto single = std::make_unique<TQPolyline>(5, false, r);
         single->AddPoint(9, 9);
         m.appendShape(std::move(single));
       },
       {{1, 1}, {2, 2}}},
      {"a polygon on the selection layer",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         const int s = layer(m, "Tarvik_SelectPoly");
         polyline(m, {{1, 1}, {2, 2}}, r);
         polyline(m, {{0, 0}, {10, 0}, {10, 10}}, s, true);
       },
       {{0, 0}, {10, 0}, {10, 10}}},
      {"an arc never qualifies",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         polyline(m, {{1, 1}, {2, 2}}, r);
         m.DrawThreePointArc(0, 0, 5, 5, 10, 0, r);
       },
       {{1, 1}, {2, 2}}},
      {"a polyline of another layer does not qualify",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         const int other = layer(m, "Tracks");
         polyline(m, {{1, 1}, {2, 2}}, r);
         polyline(m, {{7, 7}, {8, 8}}, other);
       },
       {{1, 1}, {2, 2}}},
      {"only another layer's polyline",
       [&](DrawingModel &m) {
         layer(m, "Tarvik_SelectPoly");
         polyline(m, {{7, 7}, {8, 8}}, layer(m, "Tracks"));
       },
       {}},
      {"neither layer exists: the topmost polyline of any layer",
       [&](DrawingModel &m) {
         polyline(m, {{1, 1}, {2, 2}}, 0);
         polyline(m, {{7, 7}, {8, 8}}, layer(m, "Tracks"));
         m.DrawLine(0, 0, 1, 1, 0);
       },
       {{7, 7}, {8, 8}}},
      {"hidden shapes and layers count",
       [&](DrawingModel &m) {
         const int r = layer(m, "Tarvik_Route");
         polyline(m, {{1, 1}, {2, 2}}, r);
         m.Shapes.back()->Visible = false;
         m.FindLayer(r)->Visible = false;
       },
       {{1, 1}, {2, 2}}},
      {"points come back as the stored floats",
       [&](DrawingModel &m) {
         polyline(m, {{500000.3, 4500000.7}, {0.1, -2}}, 0);
       },
       {{500000.3125, 4500000.5}, {static_cast<double>(0.1f), -2}}},
      {"an empty drawing", [](DrawingModel &) {}, {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    DrawingModel m;
    c.build(m);
    EXPECT_EQ(m.GetLastPolylinePoints(), c.expected);
  }
}

TEST(PolygonSelection, EachShapeKindByItsOwnTestPoints) {
  struct Case {
    std::string name;
    std::function<std::int32_t(DrawingModel &)> draw;
    bool byCentres;  // SelectShapesInPolygon
    bool byAnyPoint; // SelectAllShapesInPolygon
  };
  // The polygon is the square (0, 0) - (10, 10).
  const std::vector<Case> cases = {
      {"rectangle with one corner inside",
       [](DrawingModel &m) { return m.DrawRectangle(8, 8, 20, 20, 0); }, false, true},
      {"rectangle around the square",
       [](DrawingModel &m) { return m.DrawRectangle(-5, -5, 15, 15, 0); }, true, true},
      {"rectangle outside", [](DrawingModel &m) { return m.DrawRectangle(20, 20, 30, 30, 0); },
       false, false},
      {"line with its end inside", [](DrawingModel &m) { return m.DrawLine(50, 50, 5, 5, 0); },
       true, true},
      {"line crossing with both ends outside",
       [](DrawingModel &m) { return m.DrawLine(-5, 5, 20, 5, 0); }, false, false},
      {"point inside", [](DrawingModel &m) { return m.DrawPoint(5, 5, 0); }, true, true},
      {"point outside", [](DrawingModel &m) { return m.DrawPoint(10, 5, 0); }, false, false},
      {"large circle centred inside", [](DrawingModel &m) { return m.DrawCircle(5, 5, 100, 0); },
       true, true},
      {"circle overlapping from outside", [](DrawingModel &m) { return m.DrawCircle(15, 5, 8, 0); },
       false, false},
      {"ellipse centred inside",
       [](DrawingModel &m) { return m.DrawTwoPointEllipse(2, 2, 8, 8, 0); }, true, true},
      {"text anchored inside, its box's centre outside",
       [](DrawingModel &m) { return m.TextAdd(0, QStringLiteral("abc"), 5, 5, 0); }, false, true},
      {"arc starting inside",
       [](DrawingModel &m) { return m.DrawThreePointArc(5, 5, 60, 60, 50, 50, 0); }, false, true},
      {"arc whose end point only is inside",
       [](DrawingModel &m) { return m.DrawThreePointArc(-50, 5, 60, 60, 5, 5, 0); }, false, true},
      {"polyline whose second point is inside",
       [](DrawingModel &m) {
         return m.DrawPolyline({{-5, -5}, {5, 5}, {20, 20}}, 0, false);
       },
       true, true},
      {"polyline around the square",
       [](DrawingModel &m) {
         return m.DrawPolyline({{-1, -1}, {11, -1}, {11, 11}, {-1, 11}}, 0, true);
       },
       false, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    DrawingModel m;
    const std::int32_t n = c.draw(m);
    m.SelectShapesInPolygon(square, {0});
    EXPECT_EQ(flagged(m), c.byCentres ? Numbers{n} : Numbers{});
    EXPECT_EQ(m.SelectedShapes, flagged(m));
    m.SelectAllShapesInPolygon(square);
    EXPECT_EQ(flagged(m), c.byAnyPoint ? Numbers{n} : Numbers{});
    EXPECT_EQ(m.SelectedShapes, flagged(m));
  }
}

TEST(PolygonSelection, LayersHiddenShapesAndTheSelectionPolygonItself) {
  CountingModel m;
  const int tracks = m.LayerOpen(QStringLiteral("Tracks"));
  const int poly = m.LayerOpen(QStringLiteral("Tarvik_SelectPoly"));
  const int hiddenLayer = m.LayerOpen(QStringLiteral("Hidden"));
  const std::int32_t a = m.DrawPoint(1, 1, 0);
  const std::int32_t b = m.DrawPoint(2, 2, tracks);
  const std::int32_t ownPolygon = m.DrawPolyline({{0, 0}, {10, 0}, {10, 10}}, poly, true);
  const std::int32_t hiddenShape = m.DrawPoint(3, 3, 0);
  m.FindShape(hiddenShape)->Visible = false;
  const std::int32_t onHiddenLayer = m.DrawPoint(4, 4, hiddenLayer);
  m.FindLayer(hiddenLayer)->Visible = false;
  m.DrawPoint(50, 50, 0);

  m.SelectAllShapesInPolygon(square);
  EXPECT_EQ(flagged(m), (Numbers{a, b, hiddenShape, onHiddenLayer}));

  m.SelectShapesInPolygon(square, {tracks, poly});
  EXPECT_EQ(flagged(m), (Numbers{b, ownPolygon}));
  EXPECT_EQ(m.SelectedShapes, (Numbers{b, ownPolygon}));

  m.SelectShapesOnLayers({hiddenLayer, 0});
  EXPECT_EQ(flagged(m), (Numbers{a, hiddenShape, onHiddenLayer, 6}));

  // A long layer list answers as a short one does.
  std::vector<std::int32_t> many;
  for (int i = 100; i < 200; ++i)
    many.push_back(i);
  many.push_back(tracks);
  m.SelectShapesInPolygon(square, many);
  EXPECT_EQ(flagged(m), (Numbers{b}));
}

TEST(PolygonSelection, RefusedArgumentsClearTheSelectionWithoutARepaint) {
  struct Case {
    std::string name;
    std::function<void(DrawingModel &)> op;
    bool repaint;
  };
  const std::vector<Case> cases = {
      {"two vertices, by layers",
       [](DrawingModel &m) {
         m.SelectShapesInPolygon({{0, 0}, {10, 10}}, {0});
       },
       false},
      {"no layers", [](DrawingModel &m) { m.SelectShapesInPolygon(square, {}); }, false},
      {"two vertices",
       [](DrawingModel &m) {
         m.SelectAllShapesInPolygon({{0, 0}, {10, 10}});
       },
       false},
      {"nothing inside, by layers",
       [](DrawingModel &m) {
         m.SelectShapesInPolygon({{90, 90}, {95, 90}, {95, 95}}, {0});
       },
       true},
      {"nothing inside",
       [](DrawingModel &m) {
         m.SelectAllShapesInPolygon({{90, 90}, {95, 90}, {95, 95}});
       },
       true},
      {"on no layer", [](DrawingModel &m) { m.SelectShapesOnLayers({}); }, true},
      {"clear selection", [](DrawingModel &m) { m.ClearSelection(); }, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    CountingModel m;
    m.DrawPoint(5, 5, 0);
    m.DrawPoint(6, 6, 0);
    m.CadSelectShapes();
    m.BackBufferDirty = false;

    c.op(m);

    EXPECT_TRUE(flagged(m).empty());
    EXPECT_TRUE(m.SelectedShapes.empty());
    EXPECT_EQ(m.BackBufferDirty, c.repaint);
    EXPECT_EQ(m.invalidations, c.repaint ? 1 : 0);
  }
}

namespace {

// A model whose repaint request fails, with a standard exception or with anything else.
template <class E> class FailingRepaintModel : public DrawingModel {
protected:
  void invalidateView() override { throw E(); }
};

struct NotAStandardException {};

template <class E> void selectionsSwallowAFailingRepaint() {
  FailingRepaintModel<E> m;
  const std::int32_t inside = m.DrawPoint(5, 5, 0);
  m.DrawPoint(50, 5, 0);
  EXPECT_NO_THROW(m.SelectAllShapesInPolygon(square));
  EXPECT_EQ(m.SelectedShapes, (Numbers{inside}));
  EXPECT_NO_THROW(m.SelectShapesInPolygon(square, {0}));
  EXPECT_EQ(flagged(m), (Numbers{inside}));
}

} // namespace

TEST(PolygonSelection, AnExceptionIsSwallowedAndTheSelectionKept) {
  selectionsSwallowAFailingRepaint<std::bad_alloc>();
  selectionsSwallowAFailingRepaint<NotAStandardException>();
}

TEST(PolygonSelection, RepeatedSelectionsStartAfresh) {
  DrawingModel m;
  const std::int32_t inside = m.DrawPoint(5, 5, 0);
  m.DrawPoint(50, 5, 0);
  m.SelectAllShapesInPolygon(square);
  m.SelectAllShapesInPolygon(square);
  m.SelectShapesInPolygon(square, {0, 0});
  EXPECT_EQ(m.SelectedShapes, (Numbers{inside}));
  m.SelectShapesOnLayers({0});
  m.SelectShapesOnLayers({0});
  EXPECT_EQ(m.SelectedShapes.size(), 2u);
}

TEST(PolygonSelection, CountGoesByFlagsAfterADoublePickWithCtrl) {
  DrawingModel m;
  const std::int32_t a = m.DrawPoint(1, 1, 0);
  const std::int32_t b = m.DrawPoint(2, 2, 0);
  const std::int32_t c = m.DrawPoint(3, 3, 0);
  m.DrawPoint(4, 4, 0);
  m.ShapeSelect(a, false);
  m.ShapeSelect(b, true);
  m.ShapeSelect(c, true);
  m.ShapeSelect(b, true); // what a second Ctrl pick of b does to the selection
  EXPECT_EQ(m.SelectedShapes.size(), 4u);
  EXPECT_EQ(m.SelectedShapeCount(), 3);

  m.SelectedShapes.push_back(99);
  EXPECT_EQ(m.SelectedShapeCount(), 3);
  m.FindShape(a)->Selected = false;
  EXPECT_EQ(m.SelectedShapeCount(), 2);

  m.DeleteSelectedShapes(); // a listed shape whose flag was cleared stays
  EXPECT_NE(m.FindShape(a), nullptr);
  EXPECT_EQ(m.FindShape(b), nullptr);
  EXPECT_EQ(m.SelectedShapeCount(), 0);
  EXPECT_EQ(m.ShapeCount, 2);
}

TEST(PolygonSelection, CountAfterCtrlPickingASelectedShapeAgainWithTheMouse) {
  TTarvikCanvas c(nullptr); // 400 x 300 over 0..1000: 2.5 units a pixel across, 3.33 down
  const std::int32_t a = c.DrawPoint(100, 900, 0); // pixel (40, 30)
  const std::int32_t b = c.DrawPoint(500, 500, 0); // pixel (200, 150)
  const std::int32_t d = c.DrawPoint(900, 100, 0); // pixel (360, 270)
  c.DrawPoint(500, 900, 0);                        // never picked
  const int left = 0, ctrl = 2;
  auto click = [&](int shift, int x, int y) {
    c.MouseDown(left, shift, x, y);
    c.MouseUp(left, shift, x, y);
  };
  click(0, 40, 30);
  click(ctrl, 200, 150);
  click(ctrl, 360, 270);
  click(ctrl, 200, 150); // b again: listed twice, flagged once
  click(ctrl, 100, 100); // a Ctrl click on empty space keeps the selection
  EXPECT_EQ(c.SelectedShapes, (Numbers{a, b, d, b}));
  EXPECT_EQ(flagged(c), (Numbers{a, b, d}));
  EXPECT_EQ(c.SelectedShapeCount(), 3);
}
