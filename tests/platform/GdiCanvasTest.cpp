// Pixel tests of the GDI rules that GdiCanvas keeps: where lines, rectangles, fills and text land.
#include "platform/GdiCanvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QRegion>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace platform;

namespace {

constexpr TColor background = clWhite;

// A small white RGB32 image with a canvas attached to it.
struct Surface {
  QImage image;
  GdiCanvas canvas;
  explicit Surface(int w = 24, int h = 16) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::white);
    canvas.begin(image);
  }
  TColor at(int x, int y) const { return fromQColor(QColor(image.pixel(x, y))); }
  // The pixels of one row (or column) that are not the background, as a string of 0/1.
  std::string row(int y) const {
    std::string s;
    for (int x = 0; x < image.width(); ++x)
      s += at(x, y) == background ? '0' : '1';
    return s;
  }
  std::string column(int x) const {
    std::string s;
    for (int y = 0; y < image.height(); ++y)
      s += at(x, y) == background ? '0' : '1';
    return s;
  }
  // Bounding box of every pixel that differs from the background.
  QRect inked() const {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (at(x, y) != background)
          box |= QRect(x, y, 1, 1);
    return box;
  }
  int count(TColor c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        n += at(x, y) == c;
    return n;
  }
};

std::string ones(int from, int to, int width) {
  std::string s(width, '0');
  for (int i = from; i <= to; ++i)
    s[i] = '1';
  return s;
}

TEST(GdiCanvasConversion, TruncToIntClampsAndDropsTheFraction) {
  struct Case {
    double in;
    int out;
  } cases[] = {{2.9, 2},
               {-2.9, -2},
               {0.0, 0},
               {1e300, INT_MAX},
               {-1e300, INT_MIN},
               {std::numeric_limits<double>::infinity(), INT_MAX},
               {-std::numeric_limits<double>::infinity(), INT_MIN},
               {std::numeric_limits<double>::quiet_NaN(), 0},
               {2147483647.9, INT_MAX}};
  for (const Case &c : cases)
    EXPECT_EQ(truncToInt(c.in), c.out) << c.in;
}

TEST(GdiCanvasConversion, RoundToIntTakesHalvesAwayFromZero) {
  EXPECT_EQ(roundToInt(2.5), 3);
  EXPECT_EQ(roundToInt(-2.5), -3);
  EXPECT_EQ(roundToInt(2.49), 2);
  EXPECT_EQ(roundToInt(1e20), INT_MAX);
}

TEST(GdiCanvasFont, PointSizeBecomesPixelSizeOfA96DpiScreen) {
  struct Case {
    int points, pixels;
  } cases[] = {{8, 11}, {9, 12}, {10, 13}, {11, 15}, {12, 16}, {16, 21}, {-12, 16}};
  for (const Case &c : cases) {
    EXPECT_EQ(fontPixelSize(c.points), c.pixels) << c.points;
    EXPECT_EQ(makeFont("Arial", c.points).pixelSize(), c.pixels) << c.points;
  }
  EXPECT_GT(fontPixelSize(0), 0); // GDI's default height, never an invalid font
}

TEST(GdiCanvasFont, WindowsFacesResolveToTheirMetricTwins) {
  EXPECT_EQ(QFontInfo(makeFont("Arial", 10)).family(), "Liberation Sans");
  GdiCanvas canvas;
  canvas.Font.Name = "Arial";
  canvas.Font.Size = 10;
  const int plain = canvas.TextWidth("Depth 12.5");
  canvas.Font.Bold = true;
  EXPECT_GT(canvas.TextWidth("Depth 12.5"), plain);
  canvas.Font.Size = 20;
  EXPECT_GT(canvas.TextHeight("Tg"), 2 * fontPixelSize(10) - 4);
}

TEST(GdiCanvasLines, OnePixelLineLeavesOutItsLastPixel) {
  Surface s;
  s.canvas.Pen.Color = clBlack;
  s.canvas.MoveTo(0, 0);
  s.canvas.LineTo(10, 0);
  EXPECT_EQ(s.row(0), ones(0, 9, 24));
  EXPECT_EQ(s.canvas.PenPos(), QPoint(10, 0));

  s.canvas.MoveTo(3, 2);
  s.canvas.LineTo(3, 12);
  EXPECT_EQ(s.column(3).substr(1), ones(2, 11, 16).substr(1));
}

TEST(GdiCanvasLines, EveryDirectionLeavesOutTheEndPixel) {
  const struct {
    QPoint from, to;
  } cases[] = {{{2, 2}, {7, 7}}, {{7, 7}, {2, 2}},  {{2, 7}, {7, 2}}, {{9, 3}, {3, 3}},
               {{3, 9}, {3, 3}}, {{2, 2}, {12, 6}}, {{12, 6}, {2, 2}}};
  for (const auto &c : cases) {
    Surface s;
    s.canvas.MoveTo(c.from.x(), c.from.y());
    s.canvas.LineTo(c.to.x(), c.to.y());
    const int steps = std::max(std::abs(c.to.x() - c.from.x()), std::abs(c.to.y() - c.from.y()));
    EXPECT_EQ(s.count(clBlack), steps) << c.from.x() << "," << c.from.y();
    EXPECT_EQ(s.at(c.from.x(), c.from.y()), clBlack);
    EXPECT_EQ(s.at(c.to.x(), c.to.y()), background);
  }
}

TEST(GdiCanvasLines, PolylineLeavesOutOnlyTheFinalPixel) {
  Surface s;
  const std::vector<QPoint> points{{0, 0}, {5, 0}, {5, 5}};
  s.canvas.Polyline(points);
  EXPECT_EQ(s.row(0), ones(0, 5, 24));
  EXPECT_EQ(s.column(5), ones(0, 4, 16));
}

TEST(GdiCanvasLines, XorClosedPolylineInvertsEveryPixelOnce) {
  Surface s;
  s.canvas.Pen.Mode = pmXor;
  s.canvas.Pen.Color = clWhite;
  const std::vector<QPoint> ring{{2, 2}, {12, 2}, {12, 9}, {2, 9}, {2, 2}};
  s.canvas.Polyline(ring);
  EXPECT_EQ(s.count(clBlack), 2 * (10 + 7)) << "no corner inverted twice or missed";
  EXPECT_EQ(s.inked(), QRect(QPoint(2, 2), QPoint(12, 9)));
}

TEST(GdiCanvasLines, WidePenHasRoundCapsBeyondTheEnds) {
  Surface s(30, 20);
  s.canvas.Pen.Width = 5;
  s.canvas.MoveTo(10, 10);
  s.canvas.LineTo(20, 10);
  const QRect box = s.inked();
  EXPECT_EQ(box, QRect(QPoint(8, 8), QPoint(22, 12))) << "centred on the line, caps included";
  EXPECT_EQ(s.at(8, 8), background); // round, not square: the corners stay empty
  EXPECT_EQ(s.at(22, 12), background);
}

// A wide pen is centred on the outline's pixels, as GDI fills it: an odd width spreads evenly to
// both sides, an even width has its extra pixel above and left (width 2 on x covers x-1 and x).
// A rectangle draws the same pixels as the polygon through its corners, and its edges lie where a
// line between those corners lies.
TEST(GdiCanvasLines, WidePenOutlinesAreCentredOnTheCornerPixels) {
  for (int width : {2, 3, 4, 5}) {
    Surface rect(30, 30), poly(30, 30), line(30, 30);
    for (Surface *s : {&rect, &poly, &line}) {
      s->canvas.Pen.Width = width;
      s->canvas.Brush.Style = bsClear;
    }
    rect.canvas.Rectangle(10, 10, 20, 20);
    const std::vector<QPoint> corners{{10, 10}, {19, 10}, {19, 19}, {10, 19}};
    poly.canvas.Polygon(corners);
    line.canvas.MoveTo(5, 14);
    line.canvas.LineTo(25, 14);
    const int before = width / 2, after = (width - 1) / 2;
    EXPECT_EQ(rect.inked(), QRect(QPoint(10 - before, 10 - before), QPoint(19 + after, 19 + after)))
        << width;
    std::string edges = ones(10 - before, 10 + after, 30);
    for (int y = 19 - before; y <= 19 + after; ++y)
      edges[std::size_t(y)] = '1';
    EXPECT_EQ(rect.column(14), edges) << width;
    EXPECT_EQ(line.column(15), ones(14 - before, 14 + after, 30)) << width;
    if (width % 2 == 1) {
      EXPECT_EQ(rect.image, rect.image.mirrored(true, true)) << width; // about (14.5, 14.5)
    }
    EXPECT_EQ(rect.image, poly.image) << width;
  }
}

TEST(GdiCanvasLines, DotStyleDrawsGdiDots) {
  Surface s(24, 4);
  s.canvas.Pen.Style = psDot;
  s.canvas.MoveTo(0, 1);
  s.canvas.LineTo(24, 1);
  EXPECT_EQ(s.row(1), "111000111000111000111000");
}

TEST(GdiCanvasLines, GapsOfDotsTakeTheSolidBrushColourOnly) {
  Surface opaque(12, 3), transparent(12, 3);
  for (Surface *s : {&opaque, &transparent}) {
    s->canvas.Pen.Style = psDot;
    s->canvas.Brush.Color = clRed;
    s->canvas.MoveTo(0, 1);
  }
  transparent.canvas.Brush.Style = bsClear;
  opaque.canvas.LineTo(12, 1);
  transparent.canvas.LineTo(12, 1);
  EXPECT_EQ(opaque.at(3, 1), clRed);
  EXPECT_EQ(opaque.at(0, 1), clBlack);
  EXPECT_EQ(transparent.at(3, 1), background);
}

TEST(GdiCanvasLines, WideStyledPenDrawsSolid) {
  Surface s(24, 8);
  s.canvas.Pen.Style = psDash;
  s.canvas.Pen.Width = 3;
  s.canvas.MoveTo(2, 4);
  s.canvas.LineTo(22, 4);
  EXPECT_EQ(s.row(4).substr(2, 20), std::string(20, '1'));
}

TEST(GdiCanvasLines, ClearPenDrawsNothing) {
  Surface s;
  s.canvas.Pen.Style = psClear;
  s.canvas.MoveTo(0, 0);
  s.canvas.LineTo(10, 10);
  EXPECT_TRUE(s.inked().isEmpty());
}

TEST(GdiCanvasShapes, RectangleOutlinesUpToButNotIncludingRightAndBottom) {
  Surface s;
  s.canvas.Brush.Color = clRed;
  s.canvas.Rectangle(0, 0, 10, 5);
  EXPECT_EQ(s.inked(), QRect(0, 0, 10, 5));
  EXPECT_EQ(s.at(9, 4), clBlack);
  EXPECT_EQ(s.at(0, 4), clBlack);
  EXPECT_EQ(s.at(5, 2), clRed); // filled with the brush inside the pen
  EXPECT_EQ(s.count(clRed), 8 * 3);
}

TEST(GdiCanvasShapes, RectangleWithoutPenIsOnePixelSmaller) {
  Surface s;
  s.canvas.Pen.Style = psClear;
  s.canvas.Brush.Color = clRed;
  s.canvas.Rectangle(2, 2, 8, 6);
  EXPECT_EQ(s.inked(), QRect(QPoint(2, 2), QPoint(6, 4)));
}

TEST(GdiCanvasShapes, ReversedCornersGiveTheSameRectangle) {
  Surface a, b;
  a.canvas.Rectangle(2, 3, 12, 9);
  b.canvas.Rectangle(12, 9, 2, 3);
  EXPECT_EQ(a.image, b.image);
}

TEST(GdiCanvasShapes, RectangleWithClearBrushKeepsTheInside) {
  Surface s;
  s.canvas.Brush.Style = bsClear;
  s.canvas.Rectangle(2, 2, 12, 8);
  EXPECT_EQ(s.at(6, 5), background);
  EXPECT_EQ(s.inked(), QRect(2, 2, 10, 6));
}

TEST(GdiCanvasShapes, FillRectIsExclusiveAndUsesOnlyTheBrush) {
  Surface s;
  s.canvas.Pen.Color = clBlue;
  s.canvas.Brush.Color = clLime;
  s.canvas.FillRect(2, 3, 7, 6);
  EXPECT_EQ(s.inked(), QRect(2, 3, 5, 3));
  EXPECT_EQ(s.count(clLime), 15);
  s.canvas.FillRect(5, 5, 5, 9); // empty
  EXPECT_EQ(s.count(clLime), 15);
}

TEST(GdiCanvasShapes, EllipseStaysInsideItsBox) {
  Surface s(30, 30);
  s.canvas.Brush.Color = clYellow;
  s.canvas.Ellipse(4, 6, 24, 20);
  EXPECT_EQ(s.inked(), QRect(4, 6, 20, 14));
  EXPECT_EQ(s.at(4, 6), background); // corners of the box stay empty
  EXPECT_EQ(s.at(14, 13), clYellow);
}

TEST(GdiCanvasShapes, RoundRectStaysInsideItsBoxWithRoundedCorners) {
  Surface s(30, 30);
  s.canvas.RoundRect(2, 2, 22, 18, 8, 8);
  EXPECT_EQ(s.inked(), QRect(2, 2, 20, 16));
  EXPECT_EQ(s.at(2, 2), background);
  EXPECT_EQ(s.at(12, 2), clBlack);
}

TEST(GdiCanvasShapes, PolygonFillsOddEven) {
  // A pentagram: its centre is crossed twice, so odd-even leaves it unfilled.
  Surface s(60, 60);
  s.canvas.Pen.Style = psClear;
  s.canvas.Brush.Color = clRed;
  const std::vector<QPoint> star{{30, 2}, {47, 56}, {2, 22}, {58, 22}, {13, 56}};
  s.canvas.Polygon(star);
  EXPECT_EQ(s.at(30, 32), background);
  EXPECT_EQ(s.at(30, 10), clRed); // a point of the star
}

TEST(GdiCanvasShapes, PolyBezierNeedsOnePlusThreeNPoints) {
  Surface s(40, 20);
  const std::vector<QPoint> wrong{{0, 10}, {10, 0}, {20, 0}};
  s.canvas.PolyBezier(wrong);
  EXPECT_TRUE(s.inked().isEmpty());
  const std::vector<QPoint> curve{{3, 15}, {13, 5}, {23, 5}, {33, 15}};
  s.canvas.PolyBezier(curve);
  EXPECT_EQ(s.at(3, 15), clBlack) << "starts on its first point";
  EXPECT_EQ(s.at(33, 15), background) << "leaves out its last, like a polyline";
  EXPECT_EQ(s.at(17, 15), background); // no fill under the curve
  EXPECT_EQ(s.inked().top(), 8);       // three quarters of the way to the control points
  Surface xored(40, 20);
  xored.canvas.Pen.Mode = pmXor;
  xored.canvas.Pen.Color = clWhite;
  xored.canvas.PolyBezier(curve);
  EXPECT_EQ(xored.image, s.image) << "no pixel inverted twice";
  for (int x = 3; x < 33; ++x) // connected: every column between the ends has a pixel
    EXPECT_NE(s.column(x), std::string(20, '0')) << x;
}

// GDI draws a curve's first pixel and leaves out its last, in every direction and across the
// joins of a curve of several pieces.
TEST(GdiCanvasShapes, PolyBezierDrawsItsFirstPixelAndLeavesOutItsLast) {
  const std::vector<std::vector<QPoint>> curves{
      {{3, 15}, {13, 5}, {23, 5}, {33, 15}},
      {{33, 15}, {23, 5}, {13, 5}, {3, 15}},
      {{20, 2}, {30, 8}, {10, 12}, {20, 18}},
      {{2, 10}, {8, 2}, {14, 2}, {18, 10}, {22, 18}, {30, 18}, {36, 10}},
      {{36, 10}, {30, 18}, {22, 18}, {18, 10}, {14, 2}, {8, 2}, {2, 10}},
  };
  for (const auto &curve : curves) {
    Surface s(40, 20);
    s.canvas.PolyBezier(curve);
    EXPECT_EQ(s.at(curve.front().x(), curve.front().y()), clBlack) << curve.front().x();
    EXPECT_EQ(s.at(curve.back().x(), curve.back().y()), background) << curve.front().x();
    if (curve.size() == 7) { // the join of the two pieces is drawn
      EXPECT_EQ(s.at(curve[3].x(), curve[3].y()), clBlack);
    }
  }
}

TEST(GdiCanvasBrush, EachHatchDrawsItsOwnPattern) {
  const TBrushStyle hatches[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                 bsBDiagonal,  bsCross,    bsDiagCross};
  std::vector<QImage> seen;
  for (TBrushStyle hatch : hatches) {
    Surface s(16, 16);
    s.canvas.Brush.Style = hatch;
    s.canvas.Brush.Color = clBlue;
    s.canvas.FillRect(0, 0, 16, 16);
    const int blue = s.count(clBlue);
    EXPECT_GT(blue, 0) << int(hatch);
    EXPECT_EQ(blue + s.count(background), 16 * 16) << "gaps keep the background";
    for (const QImage &other : seen)
      EXPECT_NE(s.image, other) << int(hatch);
    seen.push_back(s.image);
  }
}

TEST(GdiCanvasBrush, HatchDirectionsFollowGdi) {
  Surface horizontal(16, 16), vertical(16, 16), forward(16, 16);
  horizontal.canvas.Brush.Style = bsHorizontal;
  vertical.canvas.Brush.Style = bsVertical;
  forward.canvas.Brush.Style = bsFDiagonal;
  for (Surface *s : {&horizontal, &vertical, &forward}) {
    s->canvas.Brush.Color = clBlack;
    s->canvas.FillRect(0, 0, 16, 16);
  }
  const int hy = horizontal.inked().top();
  EXPECT_EQ(horizontal.row(hy), std::string(16, '1'));
  const int vx = vertical.inked().left();
  EXPECT_EQ(vertical.column(vx), std::string(16, '1'));
  // Forward diagonal: down to the right, so a pixel's lower-right neighbour is inked too.
  for (int x = 0; x < 8; ++x)
    if (forward.at(x, 4) == clBlack) {
      EXPECT_EQ(forward.at(x + 1, 5), clBlack);
      break;
    }
}

TEST(GdiCanvasMode, XorTwiceRestoresThePicture) {
  Surface s;
  s.canvas.Brush.Color = clAqua;
  s.canvas.FillRect(0, 0, 12, 16);
  const QImage before = s.image.copy();
  s.canvas.Pen.Mode = pmXor;
  s.canvas.Pen.Color = clWhite;
  s.canvas.Brush.Style = bsClear;
  s.canvas.Rectangle(3, 3, 20, 12);
  EXPECT_EQ(s.at(3, 3), clRed) << "aqua XOR white is red";
  EXPECT_EQ(s.at(15, 3), clBlack); // white XOR white
  s.canvas.Rectangle(3, 3, 20, 12);
  EXPECT_EQ(s.image, before);
}

TEST(GdiCanvasPixels, SetAndGetOnePixel) {
  Surface s;
  s.canvas.Pen.Mode = pmXor; // SetPixels ignores the pen mode
  s.canvas.SetPixels(4, 5, clNavy);
  EXPECT_EQ(s.canvas.Pixels(4, 5), clNavy);
  EXPECT_EQ(s.inked(), QRect(4, 5, 1, 1));
  EXPECT_EQ(s.canvas.Pixels(-1, 0), clrInvalid);
  EXPECT_EQ(s.canvas.Pixels(24, 0), clrInvalid);
  GdiCanvas unattached;
  EXPECT_EQ(unattached.Pixels(0, 0), clrInvalid);
  unattached.SetPixels(0, 0, clRed); // harmless
}

TEST(GdiCanvasText, TextOutPutsTheCellTopLeftAtThePoint) {
  Surface s(120, 50);
  s.canvas.Font.Name = "Arial";
  s.canvas.Font.Size = 12;
  s.canvas.Brush.Color = clYellow; // solid brush: the cell is filled
  s.canvas.TextOut(10, 20, "Hg");
  const QSize cell = s.canvas.TextExtent("Hg");
  EXPECT_EQ(s.inked(), QRect(QPoint(10, 20), cell));
  EXPECT_EQ(s.at(10, 20), clYellow);
  // The glyphs lie within the cell, the baseline at y + ascent.
  s.image.fill(Qt::white);
  s.canvas.Brush.Style = bsClear;
  s.canvas.TextOut(10, 20, "H");
  const QRect ink = s.inked();
  const int ascent = QFontMetrics(s.canvas.qFont()).ascent();
  EXPECT_EQ(ink.bottom(), 20 + ascent - 1);
  EXPECT_GE(ink.top(), 20);
  EXPECT_GE(ink.left(), 10);
  EXPECT_LE(ink.left(), 13);
}

TEST(GdiCanvasText, FontColourDrawsTheTextAndLeavesThePen) {
  Surface s(60, 30);
  s.canvas.Font.Color = clRed;
  s.canvas.Font.Size = 14;
  s.canvas.Brush.Style = bsClear;
  s.canvas.TextOut(2, 2, "M");
  EXPECT_GT(s.count(clRed), 5);
  EXPECT_EQ(s.canvas.Pen.Color, clBlack);
}

TEST(GdiCanvasText, OrientationTurnsCounterClockwiseAboutTheTopLeft) {
  Surface s(80, 80);
  s.canvas.Font.Name = "Arial";
  s.canvas.Font.Size = 12;
  s.canvas.Font.Orientation = 900; // 90 degrees: the text runs upwards
  s.canvas.Brush.Style = bsClear;
  s.canvas.TextOut(20, 70, "WWWW");
  const QRect ink = s.inked();
  const int width = s.canvas.TextWidth("WWWW");
  EXPECT_GE(ink.top(), 70 - width - 1);
  EXPECT_LE(ink.top(), 70 - width + 4);
  EXPECT_LE(ink.bottom(), 70);
  EXPECT_GE(ink.left(), 20); // the cell lies right of x after the turn
  EXPECT_LE(ink.right(), 20 + s.canvas.TextHeight("W"));
}

TEST(GdiCanvasText, TextRectClipsAndFills) {
  Surface s(80, 30);
  s.canvas.Brush.Color = clLime;
  s.canvas.Font.Size = 14;
  s.canvas.TextRect(5, 5, 25, 15, 5, 0, "WWWWWWWW");
  EXPECT_EQ(s.inked(), QRect(5, 5, 20, 10));
  EXPECT_GT(s.count(clBlack), 0);
}

TEST(GdiCanvasText, MeasuresWithoutADevice) {
  GdiCanvas canvas;
  canvas.Font.Name = "Consolas";
  canvas.Font.Size = 12;
  canvas.Font.Bold = true;
  EXPECT_FALSE(canvas.isActive());
  EXPECT_EQ(canvas.TextWidth("iiii"), canvas.TextWidth("MMMM")) << "a fixed-pitch face";
  EXPECT_EQ(canvas.TextWidth(""), 0);
  canvas.TextOut(0, 0, "nothing to draw on"); // harmless
}

TEST(GdiCanvasDevice, FarCoordinatesKeepTheVisiblePart) {
  Surface s(20, 20);
  s.canvas.MoveTo(0, 2);
  s.canvas.LineTo(INT_MAX, 2);
  EXPECT_EQ(s.row(2), std::string(20, '1'));
  s.canvas.MoveTo(0, 0);
  s.canvas.LineTo(1 << 30, 1 << 30); // the slope survives
  EXPECT_EQ(s.at(15, 15), clBlack);
  EXPECT_EQ(s.at(15, 14), background);
  s.canvas.Brush.Color = clRed;
  s.canvas.Rectangle(INT_MIN, 10, INT_MAX, INT_MAX);
  EXPECT_EQ(s.row(10), std::string(20, '1')) << "the top edge";
  EXPECT_EQ(s.at(5, 15), clRed);
  s.canvas.Ellipse(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  s.canvas.RoundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX);
  s.canvas.FillRect(INT_MIN, INT_MIN, INT_MAX, 1);
  EXPECT_EQ(s.row(0), std::string(20, '1'));
  s.canvas.TextOut(INT_MAX, INT_MIN, "far");
  s.canvas.TextRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0, "far");
  s.canvas.SetPixels(INT_MAX, INT_MIN, clBlue);
  const std::vector<QPoint> far{{INT_MIN, 0}, {INT_MAX, 0}, {INT_MAX, 15}, {INT_MIN, 15}};
  s.canvas.Polygon(far);
  s.canvas.Polyline(far);
  s.canvas.Draw(INT_MAX, INT_MAX, s.image.copy());
  EXPECT_EQ(s.count(clBlue), 0);
}

TEST(GdiCanvasDevice, SettingsSurviveEndAndBegin) {
  QImage first(8, 8, QImage::Format_RGB32), second(8, 8, QImage::Format_RGB32);
  first.fill(Qt::white);
  second.fill(Qt::white);
  GdiCanvas canvas(first);
  canvas.Brush.Color = clRed;
  canvas.MoveTo(1, 1);
  canvas.end();
  canvas.begin(second);
  canvas.FillRect(0, 0, 2, 2);
  canvas.LineTo(1, 6);
  canvas.end();
  EXPECT_EQ(second.pixel(0, 0), QColor(Qt::red).rgb());
  EXPECT_EQ(second.pixel(1, 4), QColor(Qt::black).rgb());
  EXPECT_EQ(first.pixel(0, 0), QColor(Qt::white).rgb());
}

TEST(GdiCanvasDevice, DrawCopiesAnImage) {
  QImage tile(3, 2, QImage::Format_RGB32);
  tile.fill(Qt::blue);
  Surface s;
  s.canvas.Pen.Mode = pmXor;
  s.canvas.Draw(4, 5, tile);
  EXPECT_EQ(s.inked(), QRect(4, 5, 3, 2));
  EXPECT_EQ(s.at(4, 5), RGB(0, 0, 255));
}

} // namespace

// A clip keeps a line's pixels as they are: drawn into a region of several pieces, onto an image
// (whose pixels thin lines are written into) or onto a pixmap (drawn by the painter), every
// line shows inside the region exactly the pixels it shows unclipped, and nothing outside. The
// second region is a pan's damage: small squares along two diagonals, a band at the left edge
// and a block over several cells, in many bands of rows, so that long lines find their pieces
// through the coarse cells.
TEST(GdiCanvasLines, ClippedLinesKeepTheirPixelsWhateverTheDevice) {
  const struct {
    QPoint from, to;
    TPenStyle style;
    TPenMode mode = pmCopy;      // a pixel laid twice under XOR is undone
    TBrushStyle brush = bsClear; // an opaque brush fills a pattern's gaps
  } lines[] = {
      {{-3000, -1050}, {4000, 1450}, psSolid},
      {{4000, 1450}, {-3000, -1050}, psSolid},
      {{30, -5000}, {33, 5000}, psSolid},
      {{-70000, 40}, {90000, 3}, psSolid},
      {{63, 0}, {0, 47}, psSolid},
      {{5, 44}, {58, 2}, psSolid},
      {{10, 10}, {11, 30}, psSolid},
      {{-20, 60}, {80, -12}, psDot},
      {{2, 3}, {60, 41}, psDash},
      {{INT_MIN, 20}, {INT_MAX, 24}, psSolid},
      {{-40, 210}, {330, -15}, psSolid},
      {{0, 0}, {299, 199}, psSolid},
      {{301, 3}, {-2, 197}, psDot},
      {{150, -900}, {151, 900}, psSolid},
      {{-5000, 100}, {5000, 104}, psDash},
      {{-40, 205}, {320, -10}, psSolid, pmXor},
      {{297, 0}, {2, 199}, psSolid, pmXor},
      {{-20, 60}, {80, -12}, psDot, pmCopy, bsSolid},
      {{-40, 205}, {320, -10}, psDash, pmCopy, bsSolid},
  };
  QRegion small;
  for (const QRect &r : {QRect(0, 0, 64, 5), QRect(7, 9, 20, 12), QRect(30, 14, 9, 30),
                         QRect(44, 20, 15, 6), QRect(0, 40, 64, 8)})
    small += r;
  QRegion strips = QRegion(QRect(0, 0, 4, 200)) + QRect(100, 60, 150, 70);
  for (int k = 0; k < 43; ++k) {
    strips += QRect(k * 7, k * 200 / 43, 5, 5);
    strips += QRect(299 - k * 7, k * 200 / 43 + 2, 3, 6);
  }
  const struct {
    QSize size;
    QRegion clip;
  } clips[] = {{{64, 48}, small}, {{300, 200}, strips}};
  ASSERT_GT(strips.rectCount(), 80);
  for (const auto &[size, clip] : clips)
    for (const auto &line : lines) {
      const auto draw = [&](QPaintDevice &device, const QRegion *region) {
        GdiCanvas g(device);
        if (region)
          g.SetClipRegion(*region);
        g.Pen.Color = 0x3060C0;
        g.Pen.Style = line.style;
        g.Pen.Mode = line.mode;
        g.Brush.Style = line.brush;
        g.Brush.Color = 0x40A020;
        g.MoveTo(line.from.x(), line.from.y());
        g.LineTo(line.to.x(), line.to.y());
      };
      QImage whole(size, QImage::Format_RGB32), clipped(size, QImage::Format_RGB32);
      whole.fill(Qt::white);
      clipped.fill(Qt::white);
      QPixmap painted(size);
      painted.fill(Qt::white);
      draw(whole, nullptr);
      draw(clipped, &clip);
      draw(painted, &clip);
      const QImage byPainter = painted.toImage().convertToFormat(QImage::Format_RGB32);
      const std::string what = std::to_string(line.from.x()) + "," + std::to_string(line.from.y()) +
                               " to " + std::to_string(line.to.x()) + "," +
                               std::to_string(line.to.y()) + " on " + std::to_string(size.width());
      for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
          const QRgb expected =
              clip.contains(QPoint(x, y)) ? whole.pixel(x, y) : QColor(Qt::white).rgb();
          ASSERT_EQ(clipped.pixel(x, y), expected) << what << " at " << x << "," << y;
          ASSERT_EQ(byPainter.pixel(x, y), expected)
              << what << " by the painter at " << x << "," << y;
        }
    }
}
