// Painting of the shapes: layer flags, bounds culling, point thinning, the half-pixel rule, the
// contrast colour, the back buffer's reuse, the rubber band and the resize.
#include "PaintingTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace painttest;

namespace {

bool notWhite(TColor c) { return c != clWhite; }

} // namespace

TEST(Painting, ShapesOnHiddenOrMissingLayersAreNotDrawn) {
  auto c = makeCanvas(100, 100, 0, 100, 100, 0);
  const int hidden = c->LayerOpen(QStringLiteral("Hidden"));
  c->FindLayer(hidden)->Visible = false;
  const int shown = c->LayerOpen(QStringLiteral("Shown"));
  const std::int32_t onHidden = c->DrawLine(10, 80, 90, 80, hidden);
  const std::int32_t onShown = c->DrawLine(10, 50, 90, 50, shown);
  // In the range of flags, but no layer has the index; and far beyond the range.
  const std::int32_t onMissing = c->DrawLine(10, 20, 90, 20, shown);
  c->FindShape(onMissing)->Layer = c->NextLayerIndex;
  const std::int32_t beyond = c->DrawLine(10, 10, 90, 10, shown);
  c->FindShape(beyond)->Layer = 1000000;
  ASSERT_GT(onHidden, 0);
  ASSERT_GT(onShown, 0);

  const QImage image = render(*c);
  EXPECT_EQ(pixel(image, 50, 50), clBlack);
  EXPECT_EQ(countPixels(image, QRect(0, 15, 100, 10), notWhite), 0) << "hidden layer drawn";
  EXPECT_EQ(countPixels(image, QRect(0, 75, 100, 10), notWhite), 0) << "missing layer drawn";
  EXPECT_EQ(countPixels(image, QRect(0, 85, 100, 10), notWhite), 0) << "index beyond range";
}

// A default point's square spans x - 4 .. x + 3. Its bounds reach 3 world units either side.
TEST(Painting, ShapeWhoseBoundsTouchTheViewEdgeIsDrawn) {
  struct Case {
    double x;
    bool drawn;
  };
  for (const Case &t : {Case{-3.0, true}, Case{-3.001, false}}) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    c->DrawPoint(t.x, 50.5, 0);
    const QImage image = render(*c);
    EXPECT_EQ(pixel(image, 0, 50) == clBlack, t.drawn) << t.x;
  }
}

TEST(Painting, PointsCloserThanThreePixelsToTheLastDrawnPointAreSkipped) {
  struct Pt {
    double x;
    double y;
    TColor colour;
  };
  struct Case {
    const char *name;
    std::vector<Pt> points;
    QPoint probe;
    TColor expected;
  };
  const std::vector<Case> cases = {
      {"2 pixels apart: the second is skipped",
       {{20.5, 50.5, clBlack}, {22.5, 50.5, clBlue}},
       QPoint(25, 50),
       clWhite},
      {"3 pixels apart in x: both drawn",
       {{20.5, 50.5, clBlack}, {23.5, 50.5, clBlue}},
       QPoint(26, 50),
       clBlue},
      {"2 apart in x but 3 in y: both drawn",
       {{20.5, 50.5, clBlack}, {22.5, 47.5, clBlue}},
       QPoint(24, 54),
       clBlue},
      {"colour and layer do not matter",
       {{20.5, 50.5, clRed}, {21.5, 51.5, clBlue}},
       QPoint(20, 50),
       clRed},
      {"a point again after a far one is drawn",
       {{20.5, 50.5, clBlack}, {80.5, 50.5, clRed}, {20.5, 50.5, clBlue}},
       QPoint(20, 50),
       clBlue},
      {"without the far one it is skipped",
       {{20.5, 50.5, clBlack}, {20.5, 50.5, clBlue}},
       QPoint(20, 50),
       clBlack},
  };
  for (const Case &t : cases) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    const int other = c->LayerOpen(QStringLiteral("Other"));
    int i = 0;
    for (const Pt &p : t.points) {
      const std::int32_t n = c->DrawPoint(p.x, p.y, (i++ % 2) ? other : 0);
      c->SetShapePenFg(n, p.colour);
    }
    const QImage image = render(*c);
    EXPECT_EQ(pixel(image, t.probe.x(), t.probe.y()), t.expected) << t.name;
  }
}

// World 0..1000 on 100 pixels: a pixel is 10 units, half a pixel 5.
TEST(Painting, ShapesBelowHalfAPixelAreSkippedExceptRectangles) {
  struct Case {
    const char *name;
    int type;
    double size;
    bool drawn;
  };
  const Case cases[] = {
      {"line of 0.4 pixel", 3, 4.0, false},
      {"line of 0.6 pixel", 3, 6.0, true},
      {"rectangle of 0.4 pixel", 1, 4.0, true},
      {"ellipse of 0.4 pixel", 20, 4.0, false},
  };
  for (const Case &t : cases) {
    auto c = makeCanvas(100, 100, 0, 1000, 1000, 0);
    std::int32_t n = 0;
    if (t.type == 3)
      n = c->DrawLine(508, 500, 508 + t.size, 500 + t.size, 0);
    else if (t.type == 1)
      n = c->DrawRectangle(508, 500, 508 + t.size, 500 + t.size, 0);
    else
      n = c->DrawTwoPointEllipse(508, 500, 508 + t.size, 500 + t.size, 0);
    if (t.type == 1) {
      // Filled without an outline: the one pixel (50, 49).
      c->SetShapePenWidth(n, 0);
      c->SetShapeBrushStyle(n, bsSolid);
      c->SetShapeBrushFg(n, clBlack);
    } else {
      // A wide pen leaves a blob wherever the shape is drawn at all.
      c->SetShapePenWidth(n, 5);
    }
    const QImage image = render(*c);
    EXPECT_EQ(countPixels(image, QRect(44, 42, 14, 14), notWhite) > 0, t.drawn) << t.name;
  }
}

TEST(Painting, PenColoursThatWouldVanishAreReplacedForTheDrawOnly) {
  auto c = makeCanvas(100, 100, 0, 100, 100, 0);
  const std::int32_t white = c->DrawLine(10, 50.5, 90, 50.5, 0);
  c->SetShapePenFg(white, clWhite);
  const std::int32_t red = c->DrawLine(10, 30.5, 90, 30.5, 0);
  c->SetShapePenFg(red, clRed);
  const QImage image = render(*c);
  EXPECT_EQ(pixel(image, 50, 49), clBlack);
  EXPECT_EQ(pixel(image, 50, 69), clRed);
  EXPECT_EQ(c->GetShapePenFg(white), clWhite);

  // On black, black becomes white.
  c->SetBackColor(clBlack);
  c->SetShapePenFg(white, clBlack);
  const QImage dark = render(*c);
  EXPECT_EQ(pixel(dark, 50, 49), clWhite);
  EXPECT_EQ(pixel(dark, 5, 5), clBlack);
}

TEST(Painting, TheBackBufferIsRedrawnOnlyWhenDirtyOrResized) {
  auto c = makeCanvas(100, 100, 0, 100, 100, 0);
  render(*c);
  EXPECT_FALSE(c->BackBufferDirty);
  const std::int32_t line = c->DrawLine(10, 50.5, 90, 50.5, 0);
  c->FindShape(line)->Visible = false;
  c->Refresh();
  EXPECT_EQ(pixel(render(*c), 50, 49), clWhite);
  c->FindShape(line)->Visible = true; // a change that is not announced
  EXPECT_EQ(pixel(render(*c), 50, 49), clWhite);
  c->Refresh();
  EXPECT_EQ(pixel(render(*c), 50, 49), clBlack);
  EXPECT_FALSE(c->BackBufferDirty);
  EXPECT_EQ(c->BackBuffer.size(), QSize(100, 100));
}

TEST(Painting, NonFiniteViewPaintsBackgroundAndOverlaysOnly) {
  for (double bad : {std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity(), -1e308}) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    c->GridVisible = true;
    c->DrawRectangle(-1e9, 1e9, 1e9, -1e9, 0);
    c->WorldLeft = bad;
    c->WorldRight = 1e308;
    const QImage image = render(*c);
    EXPECT_EQ(countPixels(image, QRect(0, 0, 100, 100), notWhite), 0) << bad;
    c->SetCurrentSpeed(1.0, true);
    EXPECT_GT(countPixels(render(*c), QRect(0, 0, 100, 100), notWhite), 0) << bad;
  }
}

TEST(Painting, EditorTextsKeepTheirDistance) {
  // Boxes of 4 characters are 28 pixels wide; a neighbour must stay 5 pixels clear of them.
  struct Case {
    const char *name;
    double secondX;
    double secondY;
    bool navigation;
    bool interacting;
    bool firstDrawn;
    bool secondDrawn;
  };
  const Case cases[] = {
      {"30 pixels apart on a row", 80, 50, false, false, true, false},
      {"40 pixels apart on a row", 90, 50, false, false, true, true},
      {"16 pixels apart in a column", 50, 34, false, false, true, true},
      {"15 pixels apart in a column", 50, 35, false, false, true, false},
      {"navigation draws both", 80, 50, true, false, true, true},
      {"no texts while the editor pans", 90, 50, false, true, false, false},
      {"the navigation canvas draws texts while moving", 90, 50, true, true, true, true},
  };
  for (const Case &t : cases) {
    // 10 pixels a unit in the navigation canvas keep its texts at size 8 there.
    auto c = t.navigation ? makeCanvas(200, 100, 0, 10, 20, 0, true)
                          : makeCanvas(200, 100, 0, 100, 200, 0);
    const double unit = t.navigation ? 0.1 : 1.0;
    const std::int32_t a = c->TextAdd(0, QStringLiteral("ABCD"), 50 * unit, 50 * unit, 0);
    const std::int32_t b =
        c->TextAdd(0, QStringLiteral("WXYZ"), t.secondX * unit, t.secondY * unit, 0);
    c->SetShapePenFg(a, clRed);
    c->SetShapePenFg(b, clBlue);
    if (t.navigation) {
      static_cast<TQText *>(c->FindShape(a))->Height = 1.0;
      static_cast<TQText *>(c->FindShape(b))->Height = 1.0;
    }
    c->FInteracting = t.interacting;
    const QImage image = render(*c);
    const int reds = countPixels(image, image.rect(), [](TColor p) {
      return GetRValue(p) > GetBValue(p) + 60 && GetRValue(p) > GetGValue(p) + 60;
    });
    const int blues = countPixels(image, image.rect(), [](TColor p) {
      return GetBValue(p) > GetRValue(p) + 60 && GetBValue(p) > GetGValue(p) + 60;
    });
    EXPECT_EQ(reds > 0, t.firstDrawn) << t.name;
    EXPECT_EQ(blues > 0, t.secondDrawn) << t.name;
  }
}

TEST(Painting, TextsLieOverOtherShapesWhateverTheOrder) {
  auto c = makeCanvas(100, 100, 0, 100, 100, 0);
  const std::int32_t text = c->TextAdd(0, QStringLiteral("MMMM"), 10, 60, 0);
  const std::int32_t box = c->DrawRectangle(0, 100, 100, 0, 0);
  c->SetShapePenWidth(box, 0);
  c->SetShapeBrushStyle(box, bsSolid);
  c->SetShapeBrushFg(box, clYellow);
  c->SetShapePenFg(text, clBlue);
  const QImage image = render(*c);
  EXPECT_GT(countPixels(image, QRect(10, 40, 40, 16),
                        [](TColor p) { return GetBValue(p) > GetRValue(p) + 60; }),
            0);
  EXPECT_EQ(pixel(image, 90, 90), clYellow);
}

// Navigation texts are sized by the zoom: trunc(pixels per unit x Height x 0.8) points, or an
// outline box below 4. The editor writes every text at 10 points.
TEST(Painting, NavigationTextSizeFollowsTheZoom) {
  struct Case {
    const char *name;
    bool navigation;
    double pixelsPerUnit;
    double height;
    int points; // 0: the outline box
  };
  const Case cases[] = {
      {"4 pixels a unit, height 1: box", true, 4.0, 1.0, 0},
      {"5 pixels a unit, height 1: 4 points", true, 5.0, 1.0, 4},
      {"2 pixels a unit, height 10: 16 points", true, 2.0, 10.0, 16},
      {"0.2 pixels a unit, height 10: box", true, 0.2, 10.0, 0},
      {"the editor: 10 points", false, 2.0, 10.0, 10},
  };
  for (const Case &t : cases) {
    const double span = 100.0 / t.pixelsPerUnit;
    auto c = makeCanvas(100, 100, 0, span, span, 0, t.navigation);
    const double x = 20.0 / t.pixelsPerUnit;
    const double y = span - 60.0 / t.pixelsPerUnit; // anchor pixel (20, 60)
    const std::int32_t n = c->TextAdd(0, QStringLiteral("ABCD"), x, y, 0);
    static_cast<TQText *>(c->FindShape(n))->Height = t.height;
    const QImage image = render(*c);
    QImage expected = plain(100, 100, clWhite);
    if (t.points > 0) {
      expected = withText(expected, {QStringLiteral("Arial"), t.points, false, clBlack}, 20, 60,
                          QStringLiteral("ABCD"));
    } else {
      // Outline of n x Height x 0.6 by Height x 0.8 units, kept within 4..100 by 2..20 pixels,
      // with the anchor at its lower left corner.
      const int bw = std::clamp(static_cast<int>(t.pixelsPerUnit * 4 * t.height * 0.6), 4, 100);
      const int bh = std::clamp(static_cast<int>(t.pixelsPerUnit * t.height * 0.8), 2, 20);
      platform::GdiCanvas g(expected);
      g.Brush.Style = bsClear;
      g.Rectangle(20, 60 - bh, 20 + bw, 60);
    }
    EXPECT_EQ(firstDifference(image, expected, image.rect()), QPoint(-1, -1)) << t.name;
  }
}

TEST(Painting, NavigationBoxOfAHeightOneTextAtFourPixelsPerUnitIsThreeHigh) {
  auto c = makeCanvas(100, 100, 0, 25, 25, 0, true);
  const std::int32_t n = c->TextAdd(0, QStringLiteral("ABCD"), 5, 10, 0); // pixel (20, 60)
  static_cast<TQText *>(c->FindShape(n))->Height = 1.0;
  const QImage image = render(*c);
  // Box from (20, 57) to (29, 60): outline over columns 20..28 and rows 57..59.
  EXPECT_EQ(pixel(image, 20, 57), clBlack);
  EXPECT_EQ(pixel(image, 28, 59), clBlack);
  EXPECT_EQ(pixel(image, 20, 56), clWhite);
  EXPECT_EQ(pixel(image, 20, 60), clWhite);
  EXPECT_EQ(pixel(image, 24, 58), clWhite);
  EXPECT_EQ(pixel(image, 29, 58), clWhite);
}

TEST(Painting, RubberBandIsDrawnInXorOverTheCopy) {
  struct Case {
    int mode;
    QPoint on;  // a pixel of the figure
    QPoint off; // a pixel that stays
  };
  // Start (20, 20), mouse at (60, 50) in pixels.
  const Case cases[] = {
      {1, QPoint(40, 20), QPoint(40, 35)},  {4, QPoint(20, 35), QPoint(40, 35)},
      {-3, QPoint(59, 35), QPoint(40, 35)}, {-1, QPoint(40, 49), QPoint(40, 35)},
      {3, QPoint(40, 35), QPoint(40, 20)},  {19, QPoint(69, 20), QPoint(20, 20)},
      {2, QPoint(-1, -1), QPoint(40, 20)},
  };
  for (const Case &t : cases) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    c->DrawMode = t.mode;
    c->RubberStartX = 20.5;
    c->RubberStartY = 79.5;
    c->RubberCurrentX = 60.5;
    c->RubberCurrentY = 49.5;
    c->DrawingInProgress = true;
    c->RubberBandActive = false;
    EXPECT_EQ(countPixels(render(*c), QRect(0, 0, 100, 100), notWhite), 0) << t.mode;
    c->RubberBandActive = true;
    const QImage image = render(*c);
    if (t.on.x() >= 0)
      EXPECT_EQ(pixel(image, t.on.x(), t.on.y()), clBlack) << t.mode; // white XOR white
    else
      EXPECT_EQ(countPixels(image, image.rect(), notWhite), 0) << t.mode;
    EXPECT_EQ(pixel(image, t.off.x(), t.off.y()), clWhite) << t.mode;
    // Only the control's picture changes, never the back buffer.
    EXPECT_EQ(countPixels(c->BackBuffer, c->BackBuffer.rect(), notWhite), 0) << t.mode;
  }
}

TEST(Painting, RubberBandOfAPolylineRunsThroughItsPointsToTheMouse) {
  for (int mode : {5, 6}) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    c->DrawMode = mode;
    c->PolylineUnderConstruction = std::make_unique<TQPolyline>(mode, mode == 6, 0);
    c->PolylineUnderConstruction->AddPoint(10.5, 89.5); // pixel (10, 10)
    c->PolylineUnderConstruction->AddPoint(50.5, 89.5); // pixel (50, 10)
    c->RubberCurrentX = 50.5;
    c->RubberCurrentY = 49.5; // pixel (50, 50)
    c->RubberBandActive = c->DrawingInProgress = true;
    const QImage image = render(*c);
    EXPECT_EQ(pixel(image, 30, 10), clBlack) << mode;
    EXPECT_EQ(pixel(image, 50, 30), clBlack) << mode;
    // The closing line of a polygon runs from the mouse back to the first point.
    EXPECT_EQ(pixel(image, 30, 30) == clBlack, mode == 6) << mode;
  }
}

TEST(Painting, ResizeKeepsTheWindowAtTheClientsAspect) {
  struct Case {
    int width;
    int height;
    double left, right, bottom, top;
  };
  const Case cases[] = {
      {800, 300, -2500.0 / 3, 5500.0 / 3, 0, 1000},
      {300, 800, 0, 1000, -2500.0 / 3, 5500.0 / 3},
  };
  for (const Case &t : cases) {
    auto c = makeCanvas(100, 100, 0, 1000, 1000, 0);
    int resized = 0;
    c->OnResize = [&](QObject *sender) {
      EXPECT_EQ(sender, c.get());
      ++resized;
    };
    render(*c);
    c->resize(t.width, t.height);
    render(*c);
    EXPECT_NEAR(c->WorldLeft, t.left, 1e-9);
    EXPECT_NEAR(c->WorldRight, t.right, 1e-9);
    EXPECT_NEAR(c->WorldBottom, t.bottom, 1e-9);
    EXPECT_NEAR(c->WorldTop, t.top, 1e-9);
    EXPECT_GT(resized, 0);
    EXPECT_EQ(c->BackBuffer.size(), QSize(t.width, t.height));
  }
  // A client without width keeps the window, yet the back buffer is marked for redrawing.
  auto c = makeCanvas(100, 100, 0, 1000, 1000, 0);
  render(*c);
  ASSERT_FALSE(c->BackBufferDirty);
  c->resize(0, 300);
  EXPECT_EQ(c->WorldLeft, 0.0);
  EXPECT_EQ(c->WorldRight, 1000.0);
  EXPECT_EQ(c->WorldBottom, 0.0);
  EXPECT_EQ(c->WorldTop, 1000.0);
  EXPECT_TRUE(c->BackBufferDirty);
}

TEST(Painting, AtMostHalfAMillionShapesAreDrawnInOneRedraw) {
  // Fillers drawn black over one row; after them a red line and a blue text, which the cap
  // leaves out unless fillers are hidden (hidden shapes are not drawn and not counted).
  auto c = makeCanvas(10, 10, 0, 10, 10, 0);
  for (int i = 0; i < 500000; ++i)
    c->DrawLine(0, 5.5, 10, 5.5, 0);
  const std::int32_t line = c->DrawLine(0, 2.5, 10, 2.5, 0);
  c->SetShapePenFg(line, clRed);
  const std::int32_t text = c->TextAdd(0, QStringLiteral("M"), 0, 10, 0);
  c->SetShapePenFg(text, clBlue);
  const auto bluish = [](TColor p) { return GetBValue(p) > GetRValue(p) + 60; };
  struct Case {
    int hidden;
    bool lineDrawn;
    bool textDrawn;
  };
  for (const Case &t : {Case{0, false, false}, Case{1, true, false}, Case{2, true, true}}) {
    for (int i = 0; i < t.hidden; ++i)
      c->Shapes[i]->Visible = false;
    c->Refresh();
    const QImage image = render(*c);
    EXPECT_EQ(pixel(image, 5, 4), clBlack) << t.hidden;
    EXPECT_EQ(pixel(image, 5, 7) == clRed, t.lineDrawn) << t.hidden;
    EXPECT_EQ(countPixels(image, image.rect(), bluish) > 0, t.textDrawn) << t.hidden;
  }
}
