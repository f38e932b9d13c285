// Shapes drawn into small images, checked pixel by pixel. The view maps world units one to one
// onto pixels, with y upwards: pixel (px, py) shows the world point (px, H - py).
#include "PaintingTestSupport.h"
#include "canvas/Shapes.h"

#include <QImage>
#include <gtest/gtest.h>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr int W = 40;
constexpr int H = 40;
constexpr TColor background = 0xFFFFFF;

using painttest::pixel;

QImage blank(TColor colour = background) { return painttest::plain(W, H, colour); }

QImage drawn(TQShape &s, TColor back = background, bool nav = false, double scale = 1.0) {
  QImage img = blank(back);
  platform::GdiCanvas c(img);
  s.Draw(c, 0, W / scale, H / scale, 0, W, H, nav);
  return img;
}

using Pixels = std::set<std::pair<int, int>>;

Pixels pixelsOf(const QImage &img, TColor back = background) {
  Pixels out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (pixel(img, x, y) != back)
        out.insert({x, y});
  return out;
}

Pixels block(int l, int t, int r, int b) { // inclusive
  Pixels out;
  for (int y = t; y <= b; ++y)
    for (int x = l; x <= r; ++x)
      out.insert({x, y});
  return out;
}

struct PointCase {
  int pixelSize, penWidth;
  Pixels expected;
};

class PointSizes : public ::testing::TestWithParam<PointCase> {};

TEST_P(PointSizes, CoverTheirPixels) {
  TQPoint p(20, 20, 0, 0); // pixel (20, 20)
  p.PixelSize = GetParam().pixelSize;
  p.PenWidth = GetParam().penWidth;
  p.PenFg = 0x0000FF;
  p.Selected = true; // a point has no selection look
  const QImage img = drawn(p);
  const Pixels got = pixelsOf(img);
  EXPECT_EQ(got, GetParam().expected);
  for (auto [x, y] : got)
    EXPECT_EQ(pixel(img, x, y), 0x0000FFu);
}

INSTANTIATE_TEST_SUITE_P(Cases, PointSizes,
                         ::testing::Values(PointCase{0, 1, block(20, 20, 20, 20)},
                                           PointCase{-5, 0, block(20, 20, 20, 20)},
                                           PointCase{1, 1, block(20, 20, 21, 21)},
                                           PointCase{2, 1, block(17, 17, 22, 22)},
                                           PointCase{3, 1, block(16, 16, 23, 23)}));

TEST(ShapeDraw, LargePointIsAFilledCircle) {
  TQPoint p(20, 20, 0, 0);
  p.PixelSize = 5; // radius 6
  const QImage img = drawn(p);
  EXPECT_EQ(pixel(img, 20, 20), 0u);
  EXPECT_EQ(pixel(img, 25, 20), 0u);
  EXPECT_EQ(pixel(img, 20, 15), 0u);
  EXPECT_EQ(pixel(img, 27, 20), background);
  EXPECT_EQ(pixel(img, 25, 25), background);
  EXPECT_EQ(pixel(img, 13, 20), background);
}

TEST(ShapeDraw, SelectedLineIsRedAndThreePixelsWide) {
  TQLine l(5, 20, 35, 20, 0); // row 20
  l.PenFg = 0x00FF00;
  const Pixels plain = pixelsOf(drawn(l));
  EXPECT_EQ(plain, block(5, 20, 34, 20)); // the last pixel is left out
  l.Selected = true;
  const QImage img = drawn(l);
  for (int y = 19; y <= 21; ++y)
    EXPECT_EQ(pixel(img, 20, y), 0x0000FFu) << y;
  EXPECT_EQ(pixel(img, 20, 18), background);
  EXPECT_EQ(pixel(img, 20, 22), background);
}

TEST(ShapeDraw, HiddenShapesDrawNothing) {
  TQLine l(5, 20, 35, 20, 0);
  l.Visible = false;
  TQPoint p(5, 5, 0, 0);
  p.Visible = false;
  EXPECT_TRUE(pixelsOf(drawn(l)).empty());
  EXPECT_TRUE(pixelsOf(drawn(p)).empty());
}

TEST(ShapeDraw, BorderlessRectangleIsAFilledBoxUntilSelected) {
  TQRectangle r(10, 30, 30, 10, 0, 0); // pixels 10..30 x 10..30
  r.PenWidth = 0;
  r.BrushStyle = bsSolid;
  r.BrushFg = 0xFFFFFF;
  const TColor grey = 0x808080;
  const QImage img = drawn(r, grey);
  EXPECT_EQ(pixelsOf(img, grey), block(10, 10, 29, 29));
  for (auto [x, y] : block(10, 10, 29, 29))
    ASSERT_EQ(pixel(img, x, y), 0xFFFFFFu);
  r.Selected = true;
  // A red outline two pixels wide on the left edge (which side of the edge its second pixel
  // takes is the pen's rule), the inside still white.
  const QImage sel = drawn(r, grey);
  std::vector<int> red;
  for (int x = 0; x < 20; ++x)
    if (pixel(sel, x, 20) == 0x0000FFu)
      red.push_back(x);
  ASSERT_EQ(red.size(), 2u);
  EXPECT_EQ(red[1], red[0] + 1);
  EXPECT_TRUE(red[0] == 10 || red[1] == 10) << red[0];
  for (int x = red[1] + 1; x < 20; ++x)
    EXPECT_EQ(pixel(sel, x, 20), 0xFFFFFFu) << x;
  EXPECT_EQ(pixel(sel, 20, 15), 0xFFFFFFu);
}

TEST(ShapeDraw, ClearBrushRectangleIsOutlineOnly) {
  TQRectangle r(10, 30, 30, 10, 0, 0);
  const QImage img = drawn(r);
  EXPECT_EQ(pixel(img, 10, 20), 0u);
  EXPECT_EQ(pixel(img, 20, 10), 0u);
  EXPECT_EQ(pixel(img, 20, 20), background);
}

TEST(ShapeDraw, CircleRadiusFollowsTheViewScale) {
  TQCircle c(10, 10, 4, 0);
  c.PenFg = 0xFF0000;
  const QImage img = drawn(c, background, false, 2.0); // 2 px per unit: centre (20, 20), r 8
  EXPECT_EQ(pixel(img, 12, 20), 0xFF0000u);
  EXPECT_EQ(pixel(img, 20, 12), 0xFF0000u);
  EXPECT_EQ(pixel(img, 20, 20), background);
  EXPECT_EQ(pixel(img, 10, 20), background);
}

TEST(ShapeDraw, ArcIsTwoSegments) {
  TQArc a(5, 35, 20, 20, 35, 35, 0); // a V through pixel (20, 20)
  const QImage img = drawn(a);
  EXPECT_EQ(pixel(img, 5, 5), 0u);
  EXPECT_EQ(pixel(img, 20, 20), 0u);
  EXPECT_EQ(pixel(img, 12, 12), 0u);
  EXPECT_EQ(pixel(img, 20, 10), background);
}

TQPolyline polyline(int type, bool closed, std::initializer_list<std::pair<double, double>> pts) {
  TQPolyline p(type, closed, 0);
  for (auto [x, y] : pts)
    p.AddPoint(x, y);
  return p;
}

TEST(ShapeDraw, TwoPointSplineIsAStraightSegment) {
  TQPolyline s = polyline(8, false, {{5, 20}, {35, 20}});
  const Pixels px = pixelsOf(drawn(s));
  ASSERT_GE(px.size(), 29u);
  for (auto [x, y] : px)
    EXPECT_EQ(y, 20) << x;
}

TEST(ShapeDraw, SplinePassesThroughItsPoints) {
  TQPolyline s = polyline(8, false, {{5, 20}, {20, 35}, {35, 20}});
  const QImage img = drawn(s);
  EXPECT_EQ(pixel(img, 20, 5), 0u);
  EXPECT_EQ(pixel(img, 5, 20), 0u);
}

TEST(ShapeDraw, FourPointArcPolylineIsAnOpenPolyline) {
  auto pts = {std::pair<double, double>{5, 5}, {15, 30}, {25, 5}, {35, 30}};
  TQPolyline arc(10, false, 0), open(5, false, 0);
  for (auto [x, y] : pts) {
    arc.AddPoint(x, y);
    open.AddPoint(x, y);
  }
  EXPECT_EQ(drawn(arc), drawn(open));
}

TEST(ShapeDraw, ThreePointArcPolylineBendsTowardsTheMiddlePoint) {
  TQPolyline a = polyline(10, false, {{5, 20}, {20, 35}, {35, 20}});
  const QImage img = drawn(a);
  bool nearStart = false; // starts at the first point, to the pixel
  for (auto [x, y] : block(4, 19, 6, 21))
    nearStart = nearStart || pixel(img, x, y) == 0u;
  EXPECT_TRUE(nearStart);
  EXPECT_EQ(pixel(img, 20, 5), background); // not through the middle point
  bool bent = false;
  for (int y = 6; y < 20; ++y)
    bent = bent || pixel(img, 20, y) == 0u;
  EXPECT_TRUE(bent);
}

TEST(ShapeDraw, ClosedPolygonIsFilledAndShortOnesDrawNothing) {
  TQPolyline poly = polyline(6, true, {{5, 5}, {35, 5}, {35, 35}, {5, 35}});
  poly.BrushStyle = bsSolid;
  poly.BrushFg = 0x00FF00;
  const QImage img = drawn(poly);
  EXPECT_EQ(pixel(img, 20, 20), 0x00FF00u);
  EXPECT_EQ(pixel(img, 5, 20), 0u);
  TQPolyline one = polyline(5, false, {{5, 5}});
  EXPECT_TRUE(pixelsOf(drawn(one)).empty());
  // Two points of a closed polyline are a segment, not a polygon.
  TQPolyline two = polyline(6, true, {{5, 20}, {35, 20}});
  EXPECT_EQ(pixelsOf(drawn(two)), block(5, 20, 34, 20));
}

TEST(ShapeDraw, TextFarLeftOfTheClientIsSkipped) {
  const QString longText(120, QLatin1Char('W'));
  TQText near(-500, 25, longText, 0, 0); // anchor pixel (-500, 15)
  TQText far(-501, 25, longText, 0, 0);
  EXPECT_FALSE(pixelsOf(drawn(near)).empty());
  EXPECT_TRUE(pixelsOf(drawn(far)).empty());
  TQText empty(10, 20, QString(), 0, 0);
  EXPECT_TRUE(pixelsOf(drawn(empty)).empty());
}

int darkest(const QImage &img) {
  int d = 255;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const TColor c = pixel(img, x, y);
      d = std::min({d, int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))});
    }
  return d;
}

TEST(ShapeDraw, BrightTextIsDrawnBlackMidGreyKeepsItsColour) {
  TQText white(2, 30, QStringLiteral("WWW"), 0, 0);
  white.PenFg = 0xFFFFFF;
  EXPECT_LT(darkest(drawn(white)), 0x40);
  TQText grey(2, 30, QStringLiteral("WWW"), 0, 0);
  grey.PenFg = 0x808080;
  const QImage img = drawn(grey);
  EXPECT_GE(darkest(img), 0x78);
  EXPECT_LT(darkest(img), 0xC0);
}

TEST(ShapeDraw, TextAlignmentMovesTheCell) {
  TQText left(20, 20, QStringLiteral("WW"), 0, 0);
  TQText right(20, 20, QStringLiteral("WW"), 0, 0);
  right.AlignH = 2;
  right.AlignV = 2;
  for (auto [x, y] : pixelsOf(drawn(left)))
    EXPECT_TRUE(x >= 20 && y >= 20) << x << "," << y;
  for (auto [x, y] : pixelsOf(drawn(right)))
    EXPECT_TRUE(x < 20 && y < 20) << x << "," << y;
}

TEST(ShapeDraw, NavigationTextTooSmallIsAnOutlineBox) {
  // 4 px per unit, height 1: 3.2 px of text is too small; a box 12 x 3 stands in.
  TQText t(2, 5, QStringLiteral("abcde"), 0, 0);
  t.Height = 1;
  t.PenFg = 0x0000FF;
  const QImage img = drawn(t, background, true, 4.0); // anchor pixel (8, 20)
  Pixels box;
  for (int x = 8; x <= 19; ++x) {
    box.insert({x, 17});
    box.insert({x, 19});
  }
  box.insert({8, 18});
  box.insert({19, 18});
  EXPECT_EQ(pixelsOf(img), box);
  // At 5 px per unit the text itself is written.
  const QImage big = drawn(t, background, true, 5.0);
  EXPECT_NE(pixelsOf(big), Pixels{});
  EXPECT_FALSE(pixelsOf(drawn(t, background, false, 4.0)).empty());
}

TEST(ShapeDraw, DegenerateAndHugeViewsStayInRange) {
  // Empty and non-finite spans, and coordinates far beyond any pixel: no crash, no UB.
  TQLine l(-1e300, 5, 1e300, 5, 0);
  TQCircle c(0, 0, 1e200, 0);
  TQPolyline p = polyline(8, false, {{-1e30, 0}, {0, 0}, {1e30, 1e30}});
  for (TQShape *s : std::initializer_list<TQShape *>{&l, &c, &p}) {
    QImage img = blank();
    platform::GdiCanvas gc(img);
    s->Draw(gc, 5, 5, 5, 5, W, H, false);
    s->Draw(gc, 0, std::numeric_limits<double>::infinity(), 1, 0, W, H, false);
    s->Draw(gc, 0, 1e-300, 1e-300, 0, W, H, false);
    s->Draw(gc, 0, W, H, 0, 0, 0, false);
  }
  TQText t(5, 5, QStringLiteral("x"), 0, 0);
  t.Angle = 1e300;
  t.Height = 1e300;
  QImage img = blank();
  platform::GdiCanvas gc(img);
  t.Draw(gc, 0, W, H, 0, W, H, true);
  t.Draw(gc, 0, W, H, 0, W, H, false);
}

} // namespace
