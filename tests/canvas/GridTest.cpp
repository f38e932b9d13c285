// The world grid: its step, the modes under and over the shapes, fixed spacings, the labels and
// the origin axes, and the bounds that keep absurd steps from hanging a paint.
#include "PaintingTestSupport.h"
#include "platform/Convert.h"

#include <gtest/gtest.h>

using namespace painttest;

namespace {

constexpr TColor gridColour = clLime;

// Grid pixels in one column (or row) of the image, between two rows (or columns).
int gridInColumn(const QImage &image, int x, int from, int to) {
  return countColour(image, QRect(x, from, 1, to - from), gridColour);
}
int gridInRow(const QImage &image, int y, int from, int to) {
  return countColour(image, QRect(from, y, to - from, 1), gridColour);
}

std::unique_ptr<TTarvikCanvas> gridCanvas(int size, double left, double top, double right,
                                          double bottom) {
  auto c = makeCanvas(size, size, left, top, right, bottom);
  c->GridVisible = true;
  c->GridColor = gridColour;
  return c;
}

} // namespace

TEST(Grid, NiceGridStepPicksOneTwoOrFiveTimesAPowerOfTen) {
  struct Case {
    double span;
    int divisions;
    double step;
  };
  const Case cases[] = {{1000, 8, 100}, {300, 8, 50}, {60, 8, 10}, {59.9, 8, 5},
                        {0.5, 8, 0.05}, {0, 8, 1},    {-5, 8, 1},  {100, 0, 1},
                        {100, -3, 1},   {11.9, 8, 1}, {12, 8, 2},  {1e9, 8, 1e8}};
  for (const Case &t : cases)
    EXPECT_DOUBLE_EQ(NiceGridStep(t.span, t.divisions), t.step) << t.span << " " << t.divisions;
}

// World 0..100 on 100 pixels: the automatic step is 10, so lines lie on every tenth column and
// row. A filled blue square covers 30..70.
TEST(Grid, ModeSetsTheGridUnderOrOverTheShapesOrHidesIt) {
  struct Case {
    int mode;
    bool gridOutside;
    bool gridOverSquare;
  };
  for (const Case &t :
       {Case{0, true, false}, Case{1, true, true}, Case{2, false, false}, Case{-1, false, false}}) {
    auto c = gridCanvas(100, 0, 100, 100, 0);
    c->GridMode = t.mode;
    const std::int32_t n = c->DrawRectangle(30, 70, 70, 30, 0);
    c->SetShapePenWidth(n, 0);
    c->SetShapeBrushStyle(n, bsSolid);
    c->SetShapeBrushFg(n, clBlue);
    const QImage image = render(*c);
    EXPECT_EQ(gridInColumn(image, 50, 5, 25) > 0, t.gridOutside) << t.mode;
    EXPECT_EQ(gridInColumn(image, 50, 35, 65) > 0, t.gridOverSquare) << t.mode;
    EXPECT_EQ(pixel(image, 45, 45), clBlue) << t.mode;
  }
}

TEST(Grid, IsDrawnOnlyWhenVisible) {
  auto c = gridCanvas(100, 0, 100, 100, 0);
  c->GridVisible = false;
  EXPECT_EQ(countColour(render(*c), QRect(0, 0, 100, 100), gridColour), 0);
}

TEST(Grid, FixedSpacingsAreUsedOnlyWhenBothArePositive) {
  struct Case {
    const char *name;
    bool autoScale;
    double sx, sy;
    int column;    // a column that must hold a vertical line
    int notColumn; // one that must not
    int row;
    int notRow;
  };
  const Case cases[] = {
      {"fixed 20 by 25", false, 20, 25, 40, 30, 75, 70},
      {"x spacing 0: automatic in both", false, 0, 25, 30, 25, 70, 75},
      {"y spacing negative: automatic in both", false, 20, -1, 30, 25, 70, 75},
      {"automatic scale ignores the spacings", true, 20, 25, 30, 25, 70, 75},
  };
  for (const Case &t : cases) {
    auto c = gridCanvas(100, 0, 100, 100, 0);
    c->GridAutoScale = t.autoScale;
    c->GridSpacingX = t.sx;
    c->GridSpacingY = t.sy;
    const QImage image = render(*c);
    // Away from the labels along the left and bottom edges.
    // Between rows 31 and 39 and columns 31 and 39 no line of the other direction crosses.
    EXPECT_GT(gridInColumn(image, t.column, 31, 40), 0) << t.name;
    EXPECT_EQ(gridInColumn(image, t.notColumn, 31, 40), 0) << t.name;
    EXPECT_GT(gridInRow(image, t.row, 31, 40), 0) << t.name;
    EXPECT_EQ(gridInRow(image, t.notRow, 31, 40), 0) << t.name;
  }
}

TEST(Grid, LinesAreDottedInTheGridColour) {
  auto c = gridCanvas(100, 0, 100, 100, 0);
  const QImage image = render(*c);
  const int on = gridInColumn(image, 50, 20, 80);
  EXPECT_GT(on, 20);
  EXPECT_LT(on, 40);
}

TEST(Grid, RedAxesCrossAtTheOriginOnlyWhenItIsInsideTheView) {
  struct Case {
    double left, top, right, bottom;
    bool cross;
  };
  for (const Case &t : {Case{-100, 100, 100, -100, true}, Case{0, 100, 100, 0, false},
                        Case{-100, 100, 100, 0, false}}) {
    auto c = gridCanvas(100, t.left, t.top, t.right, t.bottom);
    const QImage image = render(*c);
    const int reds = countColour(image, image.rect(), clRed);
    if (!t.cross) {
      EXPECT_EQ(reds, 0) << t.left << " " << t.bottom;
      continue;
    }
    // The whole row 50 and the whole column 50, over the labels too.
    EXPECT_EQ(countColour(image, QRect(0, 50, 100, 1), clRed), 100);
    EXPECT_EQ(countColour(image, QRect(50, 0, 1, 100), clRed), 100);
    EXPECT_EQ(reds, 199);
  }
}

// Labels sit in white boxes: x labels along the bottom, y labels along the left edge, in
// "0.#" for steps of 1 and more and "0.###" below.
TEST(Grid, LabelsShowTheCoordinatesInTheirBoxes) {
  struct Case {
    double span;  // world 0..span on 400 x 400 pixels
    double step;  // the automatic step for it
    int k;        // the label of the k-th line from the origin
    QString text; // its text in x and in y
  };
  const Case cases[] = {
      {800, 100, 2, QStringLiteral("200")},
      {0.5, 0.05, 3, QStringLiteral("0.15")},
      {0.05, 0.005, 3, QStringLiteral("0.015")},
  };
  const FontSpec tahoma{QStringLiteral("Tahoma"), 8, false, clBlack};
  for (const Case &t : cases) {
    auto c = gridCanvas(400, 0, t.span, t.span, 0);
    c->SetBackColor(clGray);
    const QImage image = render(*c);
    double v = 0.0; // the lines are laid out by adding the step
    for (int i = 0; i < t.k; ++i)
      v += t.step;
    int sx = 0, sy = 0;
    c->WorldToScreen(v, v, sx, sy);
    const QSize size = textSize(tahoma, t.text);

    const int half = size.width() / 2;
    const QRect xBox(sx - half - 2, 400 - size.height() - 4, 2 * half + 4, size.height() + 2);
    const QImage xExpected =
        withText(plain(400, 400, clWhite), tahoma, sx - half, 400 - size.height() - 3, t.text);
    EXPECT_EQ(firstDifference(image, xExpected, xBox), QPoint(-1, -1)) << t.text.toStdString();
    EXPECT_EQ(pixel(image, xBox.left() - 1, xBox.top() + 2), clGray);
    EXPECT_EQ(pixel(image, xBox.left(), xBox.top()), clWhite);

    const int yHalf = size.height() / 2;
    const QRect yBox(2, sy - yHalf - 1, size.width() + 4, 2 * yHalf + 2);
    const QImage yExpected = withText(plain(400, 400, clWhite), tahoma, 4, sy - yHalf, t.text);
    EXPECT_EQ(firstDifference(image, yExpected, yBox), QPoint(-1, -1)) << t.text.toStdString();
    EXPECT_EQ(pixel(image, yBox.right() + 1, yBox.top() + 2), clGray);
    EXPECT_EQ(pixel(image, yBox.left(), yBox.bottom()), clWhite);
  }
}

// A y step below 1 writes its labels with three decimals even when the x step is whole.
TEST(Grid, EachDirectionFormatsItsLabelsByItsOwnStep) {
  auto c = gridCanvas(400, 0, 10, 10, 0);
  c->GridAutoScale = false;
  c->GridSpacingX = 2.0;
  c->GridSpacingY = 0.75;
  c->SetBackColor(clGray);
  const QImage image = render(*c);
  const FontSpec tahoma{QStringLiteral("Tahoma"), 8, false, clBlack};
  const QString text = QStringLiteral("2.25"); // "0.#" would make it "2.3"
  const QSize size = textSize(tahoma, text);
  const int sy = 310; // the row of y = 2.25
  const int half = size.height() / 2;
  const QRect box(2, sy - half - 1, size.width() + 4, 2 * half + 2);
  const QImage expected = withText(plain(400, 400, clWhite), tahoma, 4, sy - half, text);
  EXPECT_EQ(firstDifference(image, expected, box), QPoint(-1, -1));
}

TEST(Grid, LabelsKeepClearOfTheCorners) {
  // World 0..100 on 100 pixels: the x label of 0 (column 0) and of 60 and up (past
  // width - 50) are left out, as are y labels at rows 14 and above or past height - 20.
  auto c = gridCanvas(100, 0, 100, 100, 0);
  c->SetBackColor(clGray);
  const QImage image = render(*c);
  EXPECT_GT(countColour(image, QRect(5, 85, 50, 15), clWhite), 0);
  EXPECT_EQ(countColour(image, QRect(62, 85, 38, 15), clWhite), 0);
  EXPECT_EQ(countColour(image, QRect(0, 0, 30, 9), clWhite), 0);
  EXPECT_GT(countColour(image, QRect(0, 15, 30, 60), clWhite), 0);
}

// These would otherwise lay out millions of lines, or never get past the first one.
TEST(Grid, AbsurdStepsDoNotHangThePaint) {
  struct Case {
    const char *name;
    double left, right;
    bool autoScale;
    double spacing;
  };
  const Case cases[] = {
      {"a micrometre step over a kilometre", 0, 1000, false, 1e-6},
      {"a step below the precision of the coordinates", 1e20, 1e20 + 32768, false, 1.0},
      {"an automatic step below that precision", 1e20, 1e20 + 32768, true, 100},
      {"a tiny view", 0, 1e-310, true, 100},
  };
  for (const Case &t : cases) {
    auto c = gridCanvas(100, t.left, 100, t.right, 0);
    c->GridAutoScale = t.autoScale;
    c->GridSpacingX = c->GridSpacingY = t.spacing;
    const QImage image = render(*c);
    // Whatever the step, at most one line per pixel: never a grey smear over the view.
    EXPECT_LT(countColour(image, image.rect(), gridColour), 100 * 100 / 2) << t.name;
  }
}

TEST(Grid, AFixedStepTooFineToSeeFallsBackToTheAutomaticOne) {
  auto c = gridCanvas(100, 0, 100, 100, 0);
  c->GridAutoScale = false;
  c->GridSpacingX = c->GridSpacingY = 0.5; // 200 lines on 100 pixels
  const QImage image = render(*c);
  EXPECT_GT(gridInColumn(image, 50, 21, 30), 0);
  EXPECT_EQ(countColour(image, QRect(41, 21, 9, 9), gridColour), 0);
  // 1 unit still fits one line per pixel.
  c->GridSpacingX = c->GridSpacingY = 1.0;
  c->Refresh();
  EXPECT_GT(countColour(render(*c), QRect(41, 21, 9, 9), gridColour), 0);
}

// The automatic step comes from the view's width for both directions. Only a view far taller
// than the window's shape, where that step would lay more lines than the window has rows, takes
// its y step from its height instead, so the grid still spans the whole view.
TEST(Grid, TheAutomaticStepComesFromTheWidthUnlessTheViewIsFarTallerThanTheWindow) {
  // A tall window showing a view of its own shape: 10 (from 100 wide) both ways, not 50.
  auto tall = makeCanvas(100, 400, 0, 400, 100, 0);
  tall->GridVisible = true;
  tall->GridColor = gridColour;
  tall->WorldSet(0, 400, 100, 0);
  ASSERT_DOUBLE_EQ(tall->WorldTop - tall->WorldBottom, 400);
  const QImage image = render(*tall);
  EXPECT_GT(gridInRow(image, 400 - 30, 31, 40), 0);
  EXPECT_GT(gridInRow(image, 400 - 70, 31, 40), 0);
  EXPECT_EQ(gridInRow(image, 400 - 35, 31, 40), 0);

  // A view 1000 times taller than the window's shape: a step of 10 would give 10,000 rows of
  // lines on 100 pixels; the height's step (10,000) spreads them over the whole view.
  auto flat = gridCanvas(100, 0, 100, 100, 0);
  (void)render(*flat); // the window's first resize has fitted the view to its shape
  flat->WorldTop = 100000;
  flat->BackBufferDirty = true;
  const QImage squeezed = render(*flat);
  int rowsWithLines = 0;
  for (int y = 15; y < 80; ++y) // right of the labels, between two vertical lines
    rowsWithLines += gridInRow(squeezed, y, 61, 70) > 0;
  EXPECT_GE(rowsWithLines, 5);
  EXPECT_LE(rowsWithLines, 8);
}
