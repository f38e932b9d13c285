// Creating shapes, numbering them, finding and hit-testing them, and the per-shape attribute,
// transform and point operations.
#include "canvas/DrawingModel.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

TEST(ShapeCreation, NumbersStartAtOneAndAreNeverGivenTwice) {
  DrawingModel m;
  EXPECT_EQ(m.DrawLine(0, 0, 10, 10, 0), 1);
  EXPECT_EQ(m.DrawPoint(0, 0, 0), 2);
  m.Shapes.erase(m.Shapes.indexOfNumber(2));
  EXPECT_EQ(m.DrawCircle(0, 0, 1, 0), 3);
  EXPECT_EQ(m.ShapeCount, 2);
  EXPECT_EQ(m.NextShapeNumber, 4);
  EXPECT_EQ(m.ShapeAdd(1, 2), -1);
  EXPECT_EQ(m.ShapeCount, 2);
}

TEST(ShapeCreation, NumberingGoesRoundWithoutOverflowOrReuse) {
  DrawingModel m;
  m.NextShapeNumber = 1;
  m.DrawPoint(0, 0, 0); // 1 stays in use
  m.NextShapeNumber = std::numeric_limits<std::int32_t>::max();
  EXPECT_EQ(m.DrawPoint(0, 0, 0), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(m.DrawPoint(0, 0, 0), 2); // 1 is skipped: still in use
  EXPECT_EQ(m.NextShapeNumber, 3);
}

TEST(ShapeCreation, EveryKindGetsItsClassTypeLayerAndBounds) {
  DrawingModel m;
  const int l = m.LayerOpen(QStringLiteral("L"));
  struct Case {
    std::int32_t number;
    int type;
    double minX, minY, maxX, maxY;
  };
  const Case cases[] = {
      {m.DrawLine(3, 4, 1, 2, l), 3, 1, 2, 3, 4},
      {m.DrawCircle(10, 20, 5, l), 19, 5, 15, 15, 25},
      {m.DrawRectangle(5, 1, 2, 8, l), 1, 2, 1, 5, 8},
      {m.DrawPoint(100, 100, l), 17, 97, 97, 103, 103},
      {m.DrawTwoPointEllipse(0, 9, 4, 1, l), 20, 0, 1, 4, 9},
      {m.DrawThreePointArc(0, 0, 5, 7, 9, -2, l), 10, 0, -2, 9, 7},
      {m.TextAdd(l, QStringLiteral("abc"), 0, 0, 0), 11, 0, -10, 30, 10},
      {m.DrawPolyline({{1, 5}, {4, 2}, {3, 3}}, l, false), 5, 1, 2, 4, 5},
      {m.DrawPolyline({{0, 0}, {1, 1}}, l, true), 6, 0, 0, 1, 1},
  };
  for (const Case &c : cases) {
    const TQShape *s = m.FindShape(c.number);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ShapeType, c.type);
    EXPECT_EQ(m.GetShapeType(c.number), c.type);
    EXPECT_EQ(s->Layer, l);
    EXPECT_EQ(s->MinX, c.minX) << c.type;
    EXPECT_EQ(s->MinY, c.minY) << c.type;
    EXPECT_EQ(s->MaxX, c.maxX) << c.type;
    EXPECT_EQ(s->MaxY, c.maxY) << c.type;
    EXPECT_TRUE(s->Visible);
    EXPECT_FALSE(s->Selected);
    EXPECT_EQ(s->ZOrder, 0);
  }
  EXPECT_EQ(m.ShapeCount, 9);
  EXPECT_EQ(m.Shapes.back()->ShapeNumber, cases[8].number); // appended on top
  auto *r = dynamic_cast<TQRectangle *>(m.FindShape(cases[2].number));
  EXPECT_EQ(r->Value, 0.0);
  EXPECT_FALSE(r->Rounded);
  EXPECT_EQ(r->CornerRadius, 10.0);
  auto *p = dynamic_cast<TQPoint *>(m.FindShape(cases[3].number));
  EXPECT_EQ(p->Size, 0.0);
  EXPECT_EQ(p->PixelSize, 3);
  EXPECT_TRUE(dynamic_cast<TQPolyline *>(m.FindShape(cases[8].number))->Closed);
}

TEST(ShapeCreation, LayerAttributesCopiedPerKind) {
  DrawingModel m;
  const int l = m.LayerOpen(QStringLiteral("L"));
  TQLayer *layer = m.FindLayer(l);
  layer->PenFg = 0x123456;
  layer->PenWidth = 4;
  layer->PenStyle = 2;
  layer->BrushFg = 0x00FF00;
  layer->BrushStyle = bsSolid;
  struct Case {
    std::int32_t number;
    bool pen, penStyle, brush;
  };
  const Case cases[] = {
      {m.DrawLine(0, 0, 1, 1, l), true, false, false},
      {m.DrawCircle(0, 0, 1, l), true, false, true},
      {m.DrawRectangle(0, 0, 1, 1, l), true, false, true},
      {m.DrawPoint(0, 0, l), true, false, false},
      {m.DrawTwoPointEllipse(0, 0, 1, 1, l), true, false, false},
      {m.DrawThreePointArc(0, 0, 1, 1, 2, 0, l), true, false, false},
      {m.DrawPolyline({{0, 0}, {1, 1}}, l, false), true, true, true},
  };
  for (const Case &c : cases) {
    const TQShape *s = m.FindShape(c.number);
    EXPECT_EQ(s->PenFg, c.pen ? 0x123456u : 0u) << s->ShapeType;
    EXPECT_EQ(s->PenWidth, c.pen ? 4 : 1) << s->ShapeType;
    EXPECT_EQ(s->PenStyle, c.penStyle ? 2 : 0) << s->ShapeType;
    EXPECT_EQ(s->BrushFg, c.brush ? 0x00FF00u : 0xFFFFFFu) << s->ShapeType;
    EXPECT_EQ(s->BrushStyle, c.brush ? bsSolid : bsClear) << s->ShapeType;
  }
  // A text takes only the pen colour.
  const TQShape *t = m.FindShape(m.TextAdd(l, QStringLiteral("t"), 0, 0, 0));
  EXPECT_EQ(t->PenFg, 0x123456u);
  EXPECT_EQ(t->PenWidth, 1);
}

TEST(ShapeCreation, MissingLayerPutsTheShapeOnDefaultAndMakesItCurrent) {
  DrawingModel m;
  m.LayerOpen(QStringLiteral("Other"));
  ASSERT_EQ(m.CurrentLayer, 1);
  const auto n = m.DrawLine(0, 0, 1, 1, 99);
  EXPECT_EQ(m.GetShapeOnLayer(n), 0);
  EXPECT_EQ(m.CurrentLayer, 0);
  // A polyline of one point is refused before any layer is looked at.
  m.LayerOpen(QStringLiteral("Other"));
  EXPECT_EQ(m.DrawPolyline({{1, 1}}, 99, false), -1);
  EXPECT_EQ(m.CurrentLayer, 1);
  EXPECT_EQ(m.DrawPolyline({}, 0, false), -1);
  EXPECT_EQ(m.ShapeCount, 1);
}

TEST(ShapeCreation, MissingDefaultLayerIsOpenedAgain) {
  DrawingModel m;
  m.Layers.clear();
  m.NextLayerIndex = 5;
  const auto n = m.DrawPoint(1, 1, 0);
  EXPECT_EQ(m.GetShapeOnLayer(n), 5);
  EXPECT_EQ(m.FindLayer(5)->Name, QStringLiteral("Default"));
}

TEST(ShapeCreation, PolylinePointsAreStoredAsFloats) {
  DrawingModel m;
  const auto n = m.DrawPolyline({{500000.3, 4500000.3}, {500000.25, 4500000.2}}, 0, false);
  EXPECT_EQ(m.ShapePointGetX(n, 0), 500000.3125);
  EXPECT_EQ(m.ShapePointGetY(n, 0), 4500000.5);
  EXPECT_EQ(m.ShapePointGetX(n, 1), 500000.25);
  EXPECT_EQ(m.ShapePointGetY(n, 1), 4500000.0);
  EXPECT_EQ(m.FindShape(n)->MaxX, 500000.3125);
  // Lines keep doubles.
  const auto l = m.DrawLine(500000.3, 0, 0, 0, 0);
  EXPECT_EQ(dynamic_cast<TQLine *>(m.FindShape(l))->X1, 500000.3);
  // Out-of-float-range coordinates are held at the largest float, not converted undefined.
  const auto big = m.DrawPolyline({{1e300, -1e300}, {0, 0}}, 0, false);
  EXPECT_EQ(m.ShapePointGetX(big, 0), static_cast<double>(std::numeric_limits<float>::max()));
  EXPECT_EQ(m.ShapePointGetY(big, 0), -static_cast<double>(std::numeric_limits<float>::max()));
}

TEST(ShapeCreation, TextTakesFontFromTheTableOrFallsBack) {
  DrawingModel m;
  const int f12 = m.FontOpen(QStringLiteral("Courier,12,B"), 0);
  m.TextAlignH = 2; // only the reset writes these in the programs; new texts copy them
  const auto a = m.TextAdd(0, QStringLiteral("x"), 1, 2, f12);
  const auto b = m.TextAdd(0, QStringLiteral("y"), 1, 2, -1);
  const auto c = m.TextAdd(0, QStringLiteral("z"), 1, 2, static_cast<int>(m.Fonts.size()));
  auto *ta = dynamic_cast<TQText *>(m.FindShape(a));
  EXPECT_EQ(ta->FontName, QStringLiteral("Courier"));
  EXPECT_EQ(ta->Height, 12.0);
  EXPECT_TRUE(ta->Bold);
  EXPECT_EQ(ta->AlignH, 2);
  EXPECT_EQ(ta->DisplayText, QStringLiteral("x"));
  EXPECT_EQ(ta->Text, QStringLiteral("x"));
  EXPECT_EQ(ta->Angle, 0.0);
  for (auto n : {b, c}) {
    auto *t = dynamic_cast<TQText *>(m.FindShape(n));
    EXPECT_EQ(t->FontName, QStringLiteral("Arial"));
    EXPECT_EQ(t->Height, 10.0);
    EXPECT_FALSE(t->Bold);
  }
  EXPECT_EQ(dynamic_cast<TQText *>(m.FindShape(c))->FontIndex, static_cast<int>(m.Fonts.size()));
}

TEST(ShapeCreation, CreationMarksDirtyAndDoesNotRepaint) {
  DrawingModel m;
  m.BackBufferDirty = false;
  m.DrawPoint(0, 0, 0);
  EXPECT_TRUE(m.BackBufferDirty);
}

TEST(ShapeAttributes, MissingShapeAnswersDefaultsAndSettersDoNothing) {
  DrawingModel m;
  m.DrawLine(0, 0, 1, 1, 0);
  m.BackBufferDirty = false;
  const std::int32_t missing = 77;
  EXPECT_EQ(m.GetShapeType(missing), 0);
  EXPECT_EQ(m.GetShapePenWidth(missing), 1);
  EXPECT_EQ(m.GetShapePenFg(missing), 0u);
  EXPECT_EQ(m.GetShapePenStyle(missing), 0);
  EXPECT_EQ(m.GetShapeBrushFg(missing), 0xFFFFFFu);
  EXPECT_EQ(m.GetShapeBrushStyle(missing), bsSolid);
  EXPECT_EQ(m.GetShapeBrushMode(missing), 0);
  EXPECT_EQ(m.GetShapeOnLayer(missing), -1);
  EXPECT_FALSE(m.GetShapeIsSelected(missing));
  EXPECT_TRUE(m.GetShapeText(missing).isEmpty());
  EXPECT_TRUE(m.GetShapeNotes(missing).isEmpty());
  EXPECT_EQ(m.GetShapeZOrder(missing), 0);
  EXPECT_EQ(m.ShapePointCount(missing), 0);
  EXPECT_EQ(m.ShapePointGetX(missing, 0), 0.0);
  m.SetShapePenWidth(missing, 5);
  m.SetShapePenFg(missing, 5);
  m.SetShapePenStyle(missing, 5);
  m.SetShapeBrushFg(missing, 5);
  m.SetShapeBrushStyle(missing, 5);
  m.SetShapeBrushMode(missing, 5);
  m.ShapeToLayer(missing, 5);
  m.SetShapeText(missing, QStringLiteral("t"));
  m.SetShapeNotes(missing, QStringLiteral("n"));
  m.SetShapeZOrder(missing, 5);
  m.ShapeTranslate(missing, 1, 1);
  m.ShapeScale(missing, 0, 0, 2, 2);
  m.ShapeRotate(missing, 90, 0, 0);
  m.ShapeReflect(missing, 0, 0, 0);
  m.ShapePointSet(missing, 0, 1, 1);
  m.ShapePointInsert(missing, 0, 1, 1);
  m.ShapePointDelete(missing, 0);
  EXPECT_FALSE(m.BackBufferDirty);
  EXPECT_EQ(m.FindShape(missing), nullptr);
}

TEST(ShapeAttributes, SettersStoreAndMarkDirtyExceptNotes) {
  DrawingModel m;
  const auto n = m.TextAdd(0, QStringLiteral("shown"), 0, 0, 0);
  auto check = [&](auto set, bool dirty) {
    m.BackBufferDirty = false;
    set();
    EXPECT_EQ(m.BackBufferDirty, dirty);
  };
  check([&] { m.SetShapePenWidth(n, 3); }, true);
  check([&] { m.SetShapePenFg(n, 9); }, true);
  check([&] { m.SetShapePenStyle(n, 2); }, true);
  check([&] { m.SetShapeBrushFg(n, 8); }, true);
  check([&] { m.SetShapeBrushStyle(n, 0x1206); }, true);
  check([&] { m.SetShapeBrushMode(n, 4); }, true);
  check([&] { m.ShapeToLayer(n, 123); }, true);
  check([&] { m.SetShapeText(n, QStringLiteral("free")); }, true);
  check([&] { m.SetShapeNotes(n, QStringLiteral("note")); }, false);
  check([&] { m.SetShapeZOrder(n, -3); }, true);
  EXPECT_EQ(m.GetShapePenWidth(n), 3);
  EXPECT_EQ(m.GetShapePenFg(n), 9u);
  EXPECT_EQ(m.GetShapePenStyle(n), 2);
  EXPECT_EQ(m.GetShapeBrushFg(n), 8u);
  EXPECT_EQ(m.GetShapeBrushStyle(n), static_cast<TBrushStyle>(6)); // low byte only
  EXPECT_EQ(m.GetShapeBrushMode(n), 4);
  EXPECT_EQ(m.GetShapeOnLayer(n), 123);
  EXPECT_EQ(m.GetShapeText(n), QStringLiteral("free"));
  EXPECT_EQ(dynamic_cast<TQText *>(m.FindShape(n))->DisplayText, QStringLiteral("shown"));
  EXPECT_EQ(m.GetShapeNotes(n), QStringLiteral("note"));
  EXPECT_EQ(m.GetShapeZOrder(n), -3);
}

TEST(ShapeAttributes, HitSearchFindsTopmostVisibleWithinFivePixels) {
  DrawingModel m; // 400 px wide over 1000 units: tolerance 12.5
  const int hiddenLayer = m.LayerOpen(QStringLiteral("hidden"));
  m.FindLayer(hiddenLayer)->Visible = false;
  const auto lower = m.DrawLine(0, 500, 1000, 500, 0);
  const auto upper = m.DrawLine(500, 0, 500, 1000, 0);
  const auto onHiddenLayer = m.DrawPoint(100, 100, hiddenLayer);
  const auto hidden = m.DrawPoint(900, 900, 0);
  m.FindShape(hidden)->Visible = false;
  struct Case {
    double x, y;
    std::int32_t expected;
  };
  const Case cases[] = {{500, 500, upper},
                        {200, 512.5, lower},
                        {200, 512.6, -1},
                        {512.5, 200, upper},
                        {100, 100, onHiddenLayer},
                        {900, 900, -1},
                        {100 + 12.5, 100, onHiddenLayer}};
  for (const Case &c : cases) {
    EXPECT_EQ(m.GetShapeAt(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(m.ShapeHitTest(c.x, c.y), c.expected);
  }
  m.setClientSize(0, 0); // an empty client counts as one pixel: tolerance 5000
  EXPECT_EQ(m.GetShapeAt(5400, 500), upper);
}

TEST(ShapeGeometryApi, ReflectScaleRotateTranslate) {
  DrawingModel m;
  auto line = [&](std::int32_t n) { return dynamic_cast<TQLine *>(m.FindShape(n)); };
  const auto a = m.DrawLine(0, 0, 2, 1, 0);
  m.ShapeReflect(a, 0, 5, 0);
  EXPECT_EQ(line(a)->X1, 10);
  EXPECT_EQ(line(a)->Y1, 0);
  EXPECT_EQ(line(a)->X2, 8);
  EXPECT_EQ(line(a)->Y2, 1);
  const auto b = m.DrawLine(0, 0, 2, 1, 0);
  m.ShapeReflect(b, 1, 0, 5);
  EXPECT_EQ(line(b)->Y1, 10);
  EXPECT_EQ(line(b)->Y2, 9);
  EXPECT_EQ(line(b)->X2, 2);
  const auto c = m.DrawLine(1, 1, 2, 2, 0);
  m.BackBufferDirty = false;
  m.ShapeReflect(c, 7, 0, 0); // other axes change nothing but the bounds
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(line(c)->X2, 2);
  m.ShapeScale(c, 0, 0, 2, 3);
  EXPECT_EQ(line(c)->X2, 4);
  EXPECT_EQ(line(c)->Y2, 6);
  EXPECT_EQ(m.FindShape(c)->MaxY, 6);
  m.ShapeTranslate(c, -1, 1);
  EXPECT_EQ(line(c)->X1, 1);
  EXPECT_EQ(line(c)->Y1, 4);
  m.ShapeRotate(c, 90, 0, 0);
  EXPECT_NEAR(line(c)->X1, -4, 1e-12);
  EXPECT_NEAR(line(c)->Y1, 1, 1e-12);
  EXPECT_NEAR(m.FindShape(c)->MinX, -7, 1e-12);
}

TEST(ShapePoints, InsertDeleteSetAndTheirLimits) {
  DrawingModel m;
  const auto n = m.DrawPolyline({{0, 0}, {10, 10}}, 0, false);
  EXPECT_EQ(m.ShapePointCount(n), 2);
  m.BackBufferDirty = false;
  m.ShapePointInsert(n, 3, 5, 5); // beyond the count: nothing
  EXPECT_FALSE(m.BackBufferDirty);
  m.ShapePointInsert(n, -1, 5, 5);
  EXPECT_EQ(m.ShapePointCount(n), 2);
  m.ShapePointInsert(n, 2, 20, -5); // at the count: appends
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.ShapePointGetX(n, 2), 20);
  EXPECT_EQ(m.FindShape(n)->MinY, -5);
  m.ShapePointInsert(n, 0, -3, 0.1);
  EXPECT_EQ(m.ShapePointGetX(n, 0), -3);
  EXPECT_EQ(m.ShapePointGetY(n, 0), static_cast<double>(0.1f));
  EXPECT_EQ(m.FindShape(n)->MinX, -3);
  m.BackBufferDirty = false;
  m.ShapePointSet(n, 9, 1, 1); // out of range: unchanged but still marked dirty
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.ShapePointCount(n), 4);
  m.ShapePointSet(n, 1, 100, 100);
  EXPECT_EQ(m.FindShape(n)->MaxX, 100);
  EXPECT_EQ(m.ShapePointGetX(n, -1), 0);
  EXPECT_EQ(m.ShapePointGetY(n, 4), 0);
  m.BackBufferDirty = false;
  m.ShapePointDelete(n, 4);
  EXPECT_FALSE(m.BackBufferDirty);
  while (m.ShapePointCount(n) > 0)
    m.ShapePointDelete(n, 0);
  // Without points the last bounds stay.
  EXPECT_EQ(m.FindShape(n)->MinX, 20);
  EXPECT_EQ(m.FindShape(n)->MaxX, 20);
}

TEST(ShapePoints, ArcIsNotAPolyline) {
  DrawingModel m;
  const auto n = m.DrawThreePointArc(0, 0, 1, 1, 2, 0, 0);
  m.BackBufferDirty = false;
  EXPECT_EQ(m.ShapePointCount(n), 0);
  EXPECT_EQ(m.ShapePointGetX(n, 0), 0);
  m.ShapePointSet(n, 0, 5, 5);
  m.ShapePointInsert(n, 0, 5, 5);
  m.ShapePointDelete(n, 0);
  EXPECT_FALSE(m.BackBufferDirty);
  EXPECT_EQ(dynamic_cast<TQArc *>(m.FindShape(n))->X1, 0);
}

TEST(ShapeAppend, KeepsInvariantsForImporters) {
  DrawingModel m;
  m.DrawPoint(0, 0, 0);
  auto p = std::make_unique<TQPoint>(5, 5, 2.5, 7);
  p->PixelSize = 1; // the import sets this after construction and keeps the bounds
  p->ShapeNumber = 999;
  m.BackBufferDirty = false;
  const auto n = m.appendShape(std::move(p));
  EXPECT_EQ(n, 2);
  EXPECT_EQ(m.NextShapeNumber, 3);
  EXPECT_EQ(m.ShapeCount, 2);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.FindShape(999), nullptr);
  const TQShape *s = m.FindShape(2);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s, m.Shapes.back());
  EXPECT_EQ(s->Layer, 7);
  EXPECT_EQ(s->MinX, 2); // 5 - 3, from construction
  EXPECT_EQ(m.appendShape(nullptr), -1);
  // A shape numbered in advance keeps its number.
  auto poly = std::make_unique<TQPolyline>(5, false, 0);
  poly->ShapeNumber = m.takeShapeNumber();
  m.DrawPoint(1, 1, 0);
  m.appendNumberedShape(std::move(poly));
  EXPECT_EQ(m.FindShape(3), m.Shapes.back());
  EXPECT_EQ(m.ShapeCount, 4);
}

// A host that renumbers a shape of the drawing finds it under the new number at once, through
// every operation that looks shapes up by number.
TEST(ShapeAttributes, ARenumberedShapeIsFoundUnderItsNewNumber) {
  DrawingModel m;
  const std::int32_t line = m.DrawLine(0, 0, 10, 10, 0);
  const std::int32_t point = m.DrawPoint(5, 5, 0);
  m.FindShape(line)->ShapeNumber = 500;
  EXPECT_EQ(m.FindShape(500), m.Shapes[0]);
  EXPECT_EQ(m.FindShape(line), nullptr);
  m.SetShapePenFg(500, clRed);
  EXPECT_EQ(m.Shapes[0]->PenFg, clRed);
  EXPECT_EQ(m.GetShapeOnLayer(500), 0);
  EXPECT_EQ(m.GetShapeOnLayer(line), -1);
  // A copy of a listed shape lies in no list: numbering it changes nothing in the drawing.
  TQPoint copy = *dynamic_cast<TQPoint *>(m.FindShape(point));
  copy.ShapeNumber = 600;
  EXPECT_EQ(m.FindShape(600), nullptr);
  EXPECT_EQ(m.FindShape(point), m.Shapes[1]);
  m.ShapeDelete(500);
  EXPECT_EQ(m.FindShape(500), nullptr);
  EXPECT_EQ(m.ShapeCount, 1);
}

TEST(Blocks, FindBlockByExactName) {
  DrawingModel m;
  for (const char *name : {"A", "B", "A"}) {
    auto b = std::make_unique<TQBlock>();
    b->Name = QString::fromUtf8(name);
    b->Shapes.push_back(std::make_unique<TQLine>(0, 0, 1, 1, 0));
    m.Blocks.push_back(std::move(b));
  }
  EXPECT_EQ(m.FindBlock(QStringLiteral("A")), m.Blocks[0].get());
  EXPECT_EQ(m.FindBlock(QStringLiteral("B")), m.Blocks[1].get());
  EXPECT_EQ(m.FindBlock(QStringLiteral("a")), nullptr);
}

} // namespace
