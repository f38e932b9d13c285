// World window of the drawing: conversions and their truncation, zoom, fit to the drawing,
// background and contrast colour, and the guards against degenerate and non-finite views.
#include "canvas/WorldView.h"
#include "canvas/DrawingModel.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

struct ToScreenCase {
  double left, right, top, bottom;
  int w, h;
  double x, y;
  int sx, sy;
};

class WorldToScreenTable : public ::testing::TestWithParam<ToScreenCase> {};

TEST_P(WorldToScreenTable, TruncatesTowardZero) {
  const ToScreenCase c = GetParam();
  DrawingModel m;
  m.setClientSize(c.w, c.h);
  m.WorldLeft = c.left;
  m.WorldRight = c.right;
  m.WorldTop = c.top;
  m.WorldBottom = c.bottom;
  int sx = 12345, sy = 12345;
  m.WorldToScreen(c.x, c.y, sx, sy);
  EXPECT_EQ(sx, c.sx);
  EXPECT_EQ(sy, c.sy);
  EXPECT_EQ(m.WorldToAbsX(c.x), c.sx);
  EXPECT_EQ(m.WorldToAbsY(c.y), c.sy);
}

constexpr int lim = canvas::pixelLimit;

INSTANTIATE_TEST_SUITE_P(
    Cases, WorldToScreenTable,
    ::testing::Values(
        // default window on 400 x 300
        ToScreenCase{0, 1000, 1000, 0, 400, 300, 0, 1000, 0, 0},
        ToScreenCase{0, 1000, 1000, 0, 400, 300, 1000, 0, 400, 300},
        ToScreenCase{0, 1000, 1000, 0, 400, 300, 500, 500, 200, 150},
        ToScreenCase{0, 1000, 1000, 0, 400, 300, -1.25, 1000, 0, 0},   // -0.5 -> 0
        ToScreenCase{0, 1000, 1000, 0, 400, 300, -3.75, 1000, -1, 0},  // -1.5 -> -1
        ToScreenCase{0, 1000, 1000, 0, 400, 300, 499.9, 1000, 199, 0}, // 199.96 -> 199
        // a zero span counts as 1: x one unit right of the left edge lands at W
        ToScreenCase{5, 5, 1000, 0, 400, 300, 6, 1000, 400, 0},
        ToScreenCase{0, 1000, 7, 7, 400, 300, 0, 6, 0, 300},
        // a mirrored window is used as it is
        ToScreenCase{1000, 0, 1000, 0, 400, 300, 250, 1000, 300, 0},
        // non-finite spans count as 1; a non-finite point gives 0, never undefined behaviour
        ToScreenCase{0, inf, 1000, 0, 400, 300, 1, 1000, 400, 0},
        ToScreenCase{nan, 1000, 1000, 0, 400, 300, 1, 1000, 0, 0},
        ToScreenCase{0, 1000, 1000, 0, 400, 300, nan, inf, 0, -lim},
        // pixels beyond the int range are clamped, not converted out of range
        ToScreenCase{0, 1000, 1000, 0, 400, 300, 1e300, -1e300, lim, lim},
        ToScreenCase{0, 1e-300, 1000, 0, 400, 300, 1, 1000, lim, 0},
        // a span so small that W / span overflows counts as 1
        ToScreenCase{0, 4e-320, 1000, 0, 400, 300, 2, 1000, 800, 0}));

TEST(WorldView, ScreenToWorldUsesOneForAnEmptyClient) {
  DrawingModel m;
  m.setClientSize(400, 0);
  double wx = 0, wy = 0;
  m.ScreenToWorld(200, 1, wx, wy);
  EXPECT_DOUBLE_EQ(wx, 500.0);
  EXPECT_DOUBLE_EQ(wy, 0.0); // 1000 - 1 * (1000 / 1)
  m.setClientSize(400, 300);
  m.ScreenToWorld(100, 150, wx, wy);
  EXPECT_DOUBLE_EQ(wx, 250.0);
  EXPECT_DOUBLE_EQ(wy, 500.0);
  // The spans are used as they are, even when zero.
  m.WorldRight = m.WorldLeft;
  m.ScreenToWorld(100, 150, wx, wy);
  EXPECT_DOUBLE_EQ(wx, 0.0);
}

TEST(WorldView, WidthHeightSetAndPan) {
  DrawingModel m;
  m.WorldSet(10, 80, 50, 20); // left, top, right, bottom
  EXPECT_EQ(m.WorldLeft, 10);
  EXPECT_EQ(m.WorldTop, 80);
  EXPECT_EQ(m.WorldRight, 50);
  EXPECT_EQ(m.WorldBottom, 20);
  EXPECT_EQ(m.GetWorldWidth(), 40);
  EXPECT_EQ(m.GetWorldHeight(), 60);
  m.BackBufferDirty = false;
  m.WorldPan(5, -10);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.WorldLeft, 15);
  EXPECT_EQ(m.WorldRight, 55);
  EXPECT_EQ(m.WorldTop, 70);
  EXPECT_EQ(m.WorldBottom, 10);
  m.BackBufferDirty = false;
  m.WorldSet(50, 0, 10, 100); // unchecked: mirrored is allowed
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.GetWorldWidth(), -40);
}

struct ZoomCase {
  double factor;
  double left, right, bottom, top;
};

class WorldZoomTable : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(WorldZoomTable, ZoomsAboutThePoint) {
  const ZoomCase c = GetParam();
  DrawingModel m; // 400 x 300, window 0..1000
  m.BackBufferDirty = false;
  m.WorldZoom(0, c.factor, 500, 500);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_NEAR(m.WorldLeft, c.left, 1e-9);
  EXPECT_NEAR(m.WorldRight, c.right, 1e-9);
  EXPECT_NEAR(m.WorldBottom, c.bottom, 1e-9);
  EXPECT_NEAR(m.WorldTop, c.top, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WorldZoomTable,
    ::testing::Values(ZoomCase{0.2, 100, 900, 200, 800},
                      // width 1200, height follows the 4:3 client
                      ZoomCase{-0.2, -100, 1100, 50, 950},
                      // 1 - factor <= 0 counts as 0.1
                      ZoomCase{1.0, 450, 550, 462.5, 537.5}, ZoomCase{2.0, 450, 550, 462.5, 537.5},
                      // above 10 counts as 10
                      ZoomCase{-20.0, -4500, 5500, -3250, 4250},
                      // a NaN factor zooms in like a factor of 1; infinite ones are bounded
                      ZoomCase{nan, 450, 550, 462.5, 537.5},
                      ZoomCase{-inf, -4500, 5500, -3250, 4250}));

TEST(WorldView, ZoomOnDegenerateWindowOrClientStaysFinite) {
  DrawingModel m;
  m.setClientSize(0, 0);
  m.WorldSet(5, 5, 5, 5);
  m.WorldZoom(0, 0.5, 5, 5);
  for (double v : {m.WorldLeft, m.WorldRight, m.WorldTop, m.WorldBottom})
    EXPECT_TRUE(std::isfinite(v));
  EXPECT_NEAR(m.WorldRight - m.WorldLeft, 0.5, 1e-12);
  EXPECT_NEAR(m.WorldTop - m.WorldBottom, 0.5, 1e-12);
}

TEST(WorldView, ExtentsOfEmptyAndFlatDrawingsIsTheDefaultWindow) {
  DrawingModel m;
  m.WorldSet(1, 2, 3, 4);
  m.WorldExtents();
  EXPECT_EQ(m.WorldLeft, 0);
  EXPECT_EQ(m.WorldRight, 1000);
  EXPECT_EQ(m.WorldBottom, 0);
  EXPECT_EQ(m.WorldTop, 1000);
  m.DrawLine(10, 50, 90, 50, 0); // no height
  m.WorldSet(1, 2, 3, 4);
  m.BackBufferDirty = false;
  m.WorldExtents();
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.WorldLeft, 0);
  EXPECT_EQ(m.WorldTop, 1000);
}

TEST(WorldView, ExtentsOfOnePointAddsMarginsAndTheClientAspect) {
  DrawingModel m;
  m.DrawPoint(100, 100, 0); // bounds 97..103
  m.WorldExtents();
  EXPECT_NEAR(m.WorldLeft, 95.6, 1e-9);
  EXPECT_NEAR(m.WorldRight, 104.4, 1e-9);
  EXPECT_NEAR(m.WorldBottom, 96.7, 1e-9);
  EXPECT_NEAR(m.WorldTop, 103.3, 1e-9);
}

TEST(WorldView, ExtentsSkipsHiddenShapesAndWildBoundsButCountsHiddenLayers) {
  DrawingModel m;
  m.setClientSize(100, 100);
  const int hiddenLayer = m.LayerOpen(QStringLiteral("hidden"));
  m.FindLayer(hiddenLayer)->Visible = false;
  m.DrawLine(0, 0, 100, 100, hiddenLayer);                           // counted
  m.FindShape(m.DrawLine(-500, -500, 900, 900, 0))->Visible = false; // hidden: skipped
  m.DrawLine(0, 0, 2e15, 50, 0);                                     // beyond 1e15: skipped
  m.DrawLine(-2e15, 0, 0, 50, 0);                                    // beyond -1e15: skipped
  TQShape *nanShape = m.FindShape(m.DrawLine(0, 0, 10, 10, 0));
  nanShape->MaxY = nan; // a NaN bound is not sensible either
  auto inverted = std::make_unique<TQLine>(0, 0, 1, 1, 0);
  inverted->MinX = 50;
  inverted->MaxX = 40; // bounds with MinX > MaxX: skipped
  m.appendShape(std::move(inverted));
  m.WorldExtents();
  EXPECT_NEAR(m.WorldLeft, -5, 1e-9);
  EXPECT_NEAR(m.WorldRight, 105, 1e-9);
  EXPECT_NEAR(m.WorldBottom, -5, 1e-9);
  EXPECT_NEAR(m.WorldTop, 105, 1e-9);
}

TEST(WorldView, ExtentsOfATallDrawingWidensToTheClient) {
  DrawingModel m; // 400 x 300
  m.DrawLine(0, 0, 10, 100, 0);
  m.WorldExtents();
  // 110 high after margins; 146.67 wide about x = 5
  EXPECT_NEAR(m.WorldBottom, -5, 1e-9);
  EXPECT_NEAR(m.WorldTop, 105, 1e-9);
  EXPECT_NEAR(m.WorldRight - m.WorldLeft, 110.0 * 4 / 3, 1e-9);
  EXPECT_NEAR((m.WorldRight + m.WorldLeft) / 2, 5, 1e-9);
}

TEST(WorldView, SetBackColorMarksDirtyOnlyOnChange) {
  DrawingModel m;
  m.BackBufferDirty = false;
  m.SetBackColor(0xFFFFFF);
  EXPECT_FALSE(m.BackBufferDirty);
  m.SetBackColor(0x000000);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.BackColor, 0u);
}

struct ContrastCase {
  TColor back, colour, expected;
};

class ContrastTable : public ::testing::TestWithParam<ContrastCase> {};

TEST_P(ContrastTable, KeepsShapesVisible) {
  DrawingModel m;
  m.BackColor = GetParam().back;
  EXPECT_EQ(m.GetContrastColor(GetParam().colour), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContrastTable,
    ::testing::Values(ContrastCase{0x000000, 0x000000, 0xFFFFFF}, // black on black
                      ContrastCase{0xFFFFFF, 0x00FFFF, 0x000000}, // yellow on white
                      ContrastCase{0x7F7F7F, 0x808080, 0xFFFFFF}, // close, dark background
                      ContrastCase{0xFFFFFF, 0x0000FF, 0x0000FF}, // red on white stays
                      ContrastCase{0xC8C8C8, 0xBEBEBE, 0x000000}, // close, light background
                      ContrastCase{0x000000, 0xFFFFFF, 0xFFFFFF}, // white on black stays
                      // the top byte is ignored in the comparison but a kept colour keeps it
                      ContrastCase{0xFF000000, 0x000000, 0xFFFFFF},
                      ContrastCase{0xFFFFFF, 0x010000FF, 0x010000FF}));

} // namespace
