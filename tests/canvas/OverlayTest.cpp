// The overlays: their operations, and what each painter shows where, with numbers formatted by
// the class library's rules.
#include "PaintingTestSupport.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

using namespace painttest;

namespace {

// Restores the program-wide overlay values after a test.
class OverlayGlobals : public ::testing::Test {
protected:
  void TearDown() override {
    EventLabelFontSize = 12;
    EventLabelColor = clRed;
    GGAOverlayText.clear();
    GGAFixQuality = 0;
  }
};

using OverlayPaint = OverlayGlobals;

const FontSpec ggaFont{QStringLiteral("Consolas"), 12, true, clBlack};

} // namespace

TEST(Overlay, ProgramWideValuesStartAsTheEditorNeedsThem) {
  EXPECT_EQ(EventLabelFontSize, 12);
  EXPECT_EQ(EventLabelColor, 0x0000FFu);
  EXPECT_TRUE(GGAOverlayText.empty());
  EXPECT_EQ(GGAFixQuality, 0);
  TTarvikCanvas c(nullptr);
  EXPECT_TRUE(c.ShowDepthLabels);
  EXPECT_EQ(c.DepthLabelSpacing, 10.0);
  EXPECT_EQ(c.DepthLabelFontName, QStringLiteral("Arial"));
  EXPECT_EQ(c.DepthLabelFontSize, 12);
  EXPECT_EQ(c.DepthLabelColor, 0u);
}

TEST(Overlay, DepthLabelsKeepTheirSpacing) {
  struct Case {
    double spacing;
    double x;
    std::size_t count;
  };
  for (const Case &t :
       {Case{10, 9.99, 1}, Case{10, 10, 2}, Case{10, -10, 2}, Case{-1, 0, 2}, Case{0, 0, 2}}) {
    TTarvikCanvas c(nullptr);
    c.SetDepthLabelSettings(true, t.spacing, QStringLiteral("Arial"), 12, 0);
    c.AddDepthLabel(0, 0, 1.0);
    c.AddDepthLabel(t.x, 0, 2.0);
    ASSERT_EQ(c.DepthLabels.size(), t.count) << t.spacing << " " << t.x;
    if (t.count == 2) {
      EXPECT_EQ(c.DepthLabels[1].X, t.x);
      EXPECT_EQ(c.DepthLabels[1].Depth, 2.0);
    }
  }
}

TEST(Overlay, PastTenThousandDepthLabelsTheOldestThousandGo) {
  TTarvikCanvas c(nullptr);
  for (int i = 1; i <= 10000; ++i)
    c.AddDepthLabel(i * 20.0, 0, i);
  EXPECT_EQ(c.DepthLabels.size(), 10000u);
  c.AddDepthLabel(10001 * 20.0, 0, 10001);
  ASSERT_EQ(c.DepthLabels.size(), 9001u);
  EXPECT_EQ(c.DepthLabels.front().Depth, 1001.0);
  EXPECT_EQ(c.DepthLabels.back().Depth, 10001.0);
  // The dropped ones no longer hold their place.
  c.AddDepthLabel(20.0, 0, 1.0);
  EXPECT_EQ(c.DepthLabels.size(), 9002u);
  c.ClearDepthLabels();
  EXPECT_TRUE(c.DepthLabels.empty());
}

TEST(Overlay, DistanceMeasureChangesOnlyWhileActive) {
  TTarvikCanvas c(nullptr);
  c.UpdateDistanceMeasure(5, 6, 7, 8);
  EXPECT_FALSE(c.MeasureActive);
  EXPECT_EQ(c.MeasureEndX, 0.0);
  EXPECT_EQ(c.MeasureDistance, 0.0);

  c.StartDistanceMeasure(1, 2);
  c.UpdateDistanceMeasure(5, 6, 7, 8);
  EXPECT_EQ(c.MeasureStartX, 1.0);
  EXPECT_EQ(c.MeasureStartY, 2.0);
  EXPECT_EQ(c.MeasureEndX, 5.0);
  EXPECT_EQ(c.MeasureEndY, 6.0);
  EXPECT_EQ(c.MeasureDistance, 7.0);
  EXPECT_EQ(c.MeasureAngle, 8.0);

  c.EndDistanceMeasure();
  c.UpdateDistanceMeasure(9, 9, 9, 9);
  EXPECT_FALSE(c.MeasureActive);
  EXPECT_EQ(c.MeasureEndX, 5.0);

  // A new measure starts at zero distance and keeps the previous angle.
  c.StartDistanceMeasure(3, 4);
  EXPECT_EQ(c.MeasureEndX, 3.0);
  EXPECT_EQ(c.MeasureEndY, 4.0);
  EXPECT_EQ(c.MeasureDistance, 0.0);
  EXPECT_EQ(c.MeasureAngle, 8.0);
}

TEST(Overlay, TogglesCycleThroughFourCorners) {
  struct Case {
    int from;
    int to;
  };
  for (const Case &t :
       {Case{0, 1}, Case{3, 0}, Case{5, 2}, Case{-3, -2}, Case{-1, 0}, Case{INT_MAX, 0}}) {
    TTarvikCanvas c(nullptr);
    c.DepthSpeedDisplayMode = t.from;
    c.GGAOverlayPosition = t.from;
    c.ToggleDepthSpeedDisplayMode();
    c.ToggleGGAOverlayPosition();
    EXPECT_EQ(c.DepthSpeedDisplayMode, t.to) << t.from;
    EXPECT_EQ(c.GGAOverlayPosition, t.to) << t.from;
  }
  TTarvikCanvas c(nullptr);
  for (int i = 0; i < 4; ++i)
    c.ToggleGGAOverlayPosition();
  EXPECT_EQ(c.GGAOverlayPosition, 0);
}

TEST(Overlay, SettersStoreTheirValues) {
  TTarvikCanvas c(nullptr);
  c.SetDepthLabelSettings(false, 2.5, QStringLiteral("Tahoma"), 0, clBlue);
  EXPECT_FALSE(c.ShowDepthLabels);
  EXPECT_EQ(c.DepthLabelSpacing, 2.5);
  EXPECT_EQ(c.DepthLabelFontName, QStringLiteral("Tahoma"));
  EXPECT_EQ(c.DepthLabelFontSize, 0);
  EXPECT_EQ(c.DepthLabelColor, clBlue);
  c.SetCurrentDepth(1.5, 2.5, true);
  EXPECT_EQ(c.CurrentDepthHF, 1.5);
  EXPECT_EQ(c.CurrentDepthLF, 2.5);
  EXPECT_TRUE(c.ShowCurrentDepth);
  c.SetCurrentSpeed(3.5, true);
  EXPECT_EQ(c.CurrentSpeed, 3.5);
  EXPECT_TRUE(c.ShowCurrentSpeed);
  c.AddEventLabel(1, 2, 3);
  ASSERT_EQ(c.EventLabels.size(), 1u);
  EXPECT_EQ(c.EventLabels[0].EventNumber, 3);
  c.ClearEventLabels();
  EXPECT_TRUE(c.EventLabels.empty());
  // None of them asks for the shapes to be drawn again.
  c.BackBufferDirty = false;
  c.StartDistanceMeasure(0, 0);
  c.AddDepthLabel(0, 0, 1);
  c.ToggleGGAOverlayPosition();
  EXPECT_FALSE(c.BackBufferDirty);
}

// Labels are written centred on their pixels, with one decimal for depths.
TEST_F(OverlayPaint, DepthAndEventLabelsAreCentredOnTheirPoints) {
  auto c = makeCanvas(200, 100, 0, 100, 200, 0);
  c->SetDepthLabelSettings(true, 10, QStringLiteral("Arial"), 14, clBlue);
  c->AddDepthLabel(50, 50, 12.25);  // pixel (50, 50)
  c->AddDepthLabel(150.7, 30.2, 3); // pixel (150, 69)
  c->AddEventLabel(100, 80, 17);    // pixel (100, 20)
  EventLabelFontSize = 24;
  EventLabelColor = clGreen;

  const FontSpec depth{QStringLiteral("Arial"), 14, false, clBlue};
  const FontSpec event{QStringLiteral("Arial"), 24, true, clGreen};
  QImage expected = plain(200, 100, clWhite);
  const auto centred = [&](const FontSpec &f, int x, int y, const QString &text) {
    const QSize s = textSize(f, text);
    expected = withText(expected, f, x - s.width() / 2, y - s.height() / 2, text);
  };
  centred(depth, 50, 50, QStringLiteral("12.3")); // the tie rounds away from zero
  centred(depth, 150, 69, QStringLiteral("3.0"));
  centred(event, 100, 20, QStringLiteral("17"));
  const QImage image = render(*c);
  EXPECT_EQ(firstDifference(image, expected, image.rect()), QPoint(-1, -1));

  // Hidden depth labels leave only the event label.
  c->SetDepthLabelSettings(false, 10, QStringLiteral("Arial"), 14, clBlue);
  EXPECT_EQ(countColour(render(*c), QRect(0, 0, 200, 100), clBlue), 0);
  EXPECT_GT(countColour(render(*c), QRect(0, 0, 200, 100), clGreen), 0);
}

// Depth label texts are laid out once and written many times: in every face and size they
// land on the pixels a plain write of the same text puts down.
TEST_F(OverlayPaint, DepthLabelsLaidOutOnceWriteLikeAPlainText) {
  struct Case {
    const char *face;
    int size;
  };
  for (const Case &t : {Case{"Arial", 8}, Case{"Arial", 9}, Case{"Arial", 12}, Case{"Tahoma", 10},
                        Case{"Courier New", 16}, Case{"Arial", 22}}) {
    SCOPED_TRACE(std::string(t.face) + " " + std::to_string(t.size));
    auto c = makeCanvas(240, 120, 0, 120, 240, 0);
    c->SetDepthLabelSettings(true, 1, QString::fromLatin1(t.face), t.size, 0x804000);
    const FontSpec f{QString::fromLatin1(t.face), t.size, false, 0x804000};
    QImage expected = plain(240, 120, clWhite);
    const double depths[] = {0.05, 7.25, 12.3, 104.9, 3.0, 58.75};
    for (int i = 0; i < 6; ++i) {
      const int x = 40 + (i % 3) * 80, y = 30 + (i / 3) * 60;
      c->AddDepthLabel(x + 0.5, 120 - y - 0.5, depths[i]);
      const QString text =
          platform::fromAnsi(platform::FloatToStrF(depths[i], platform::ffFixed, 6, 1));
      const QSize size = textSize(f, text);
      expected = withText(expected, f, x - size.width() / 2, y - size.height() / 2, text);
    }
    // Twice: the second paint writes the texts kept from the first.
    render(*c);
    c->Refresh();
    const QImage image = render(*c);
    EXPECT_EQ(firstDifference(image, expected, image.rect()), QPoint(-1, -1));
  }
}

TEST_F(OverlayPaint, LabelsFarOutsideTheClientAreSkipped) {
  // A label 51 pixels left of the client would reach into it with a wide text; it is skipped,
  // while one 50 pixels left is drawn. The same holds 50 pixels right of it and 20 pixels above
  // and below it, for depth and event labels alike.
  struct Case {
    bool event;
    double x;
    double y;
    bool drawn;
  };
  const Case cases[] = {
      {false, -50.5, 50, true},  {false, -51.5, 50, false}, {false, 150.5, 50, true},
      {false, 151.5, 50, false}, {false, 50, 120.5, true},  {false, 50, 121.5, false},
      {false, 50, -20.5, true},  {false, 50, -21.5, false}, {true, -50.5, 50, true},
      {true, -51.5, 50, false},  {true, 151.5, 50, false},  {true, 50, 120.5, true},
      {true, 50, 121.5, false},  {true, 50, -20.5, true},   {true, 50, -21.5, false},
  };
  EventLabelFontSize = 72;
  EventLabelColor = clBlack;
  for (const Case &t : cases) {
    auto c = makeCanvas(100, 100, 0, 100, 100, 0);
    c->SetDepthLabelSettings(true, 10, QStringLiteral("Arial"), 72, clBlack);
    if (t.event)
      c->AddEventLabel(t.x, t.y, 123456);
    else
      c->AddDepthLabel(t.x, t.y, 1234.5);
    const QImage image = render(*c);
    EXPECT_EQ(countColour(image, image.rect(), clBlack) > 0, t.drawn)
        << (t.event ? "event " : "depth ") << t.x << " " << t.y;
  }
}

// Each painter draws over the ones before it: rubber band, distance measure, depth labels,
// event labels, current-depth box, GGA box.
TEST_F(OverlayPaint, PaintersDrawInTheirOrder) {
  auto c = makeCanvas(200, 200, 0, 200, 200, 0);
  // A depth label under the GGA box (top left), an event label under the current-depth box
  // (bottom left).
  c->SetDepthLabelSettings(true, 10, QStringLiteral("Arial"), 8, clBlue);
  c->AddDepthLabel(30.5, 179.5, 1.0); // pixel (30, 20)
  c->AddEventLabel(40.5, 14.5, 7);    // pixel (40, 185)
  EventLabelFontSize = 8;
  EventLabelColor = clGreen;
  c->SetCurrentSpeed(1.0, true);
  GGAOverlayText = "XXXXXX";
  // A rubber-band line along row 150, crossed by the measuring line in column 150.
  c->DrawMode = 3;
  c->RubberStartX = 100.5;
  c->RubberStartY = 49.5;
  c->RubberCurrentX = 199.5;
  c->RubberCurrentY = 49.5;
  c->RubberBandActive = c->DrawingInProgress = true;
  c->StartDistanceMeasure(150.5, 139.5); // pixel (150, 60)
  c->UpdateDistanceMeasure(150.5, 39.5, 1, 2);

  const QImage image = render(*c);
  EXPECT_EQ(pixel(image, 120, 150), clBlack); // the rubber band, white XOR white
  EXPECT_EQ(pixel(image, 150, 150), clBlue);  // the measuring line over it
  const QRect topLeft(0, 0, 50, 40);
  const QRect bottomLeft(0, 160, 50, 40);
  EXPECT_EQ(countColour(image, topLeft, clBlue), 0);
  EXPECT_EQ(countColour(image, bottomLeft, clGreen), 0);
  // Without the boxes the labels show.
  c->SetCurrentSpeed(1.0, false);
  GGAOverlayText.clear();
  const QImage bare = render(*c);
  EXPECT_GT(countColour(bare, topLeft, clBlue), 0);
  EXPECT_GT(countColour(bare, bottomLeft, clGreen), 0);

  // Both boxes in the top left corner: the GGA box lies over the current-depth box's frame.
  c->SetCurrentSpeed(1.0, true);
  c->DepthSpeedDisplayMode = 3;
  GGAOverlayText = "X";
  const QImage boxes = render(*c);
  EXPECT_EQ(pixel(boxes, 4, 20), clYellow);
  GGAOverlayText.clear();
  EXPECT_EQ(pixel(render(*c), 4, 20), clBlue);
}

TEST_F(OverlayPaint, CurrentDepthBoxShowsDepthsAndSpeed) {
  struct Case {
    const char *name;
    double hf, lf;
    bool showDepth;
    double speed;
    bool showSpeed;
    QString text; // empty: no box
  };
  const Case cases[] = {
      {"both depths", 12.345, 3.5, true, 0, false, QStringLiteral("HF: 12.35 m  LF: 3.50 m")},
      {"low-frequency depth alone", 0, 3.5, true, 0, false, QStringLiteral("LF: 3.50 m")},
      {"speed alone", 0, 0, false, 4.25, true, QStringLiteral("4.3 kn")},
      {"depth and speed", 2, 0, true, 1.05, true, QStringLiteral("HF: 2.00 m  1.1 kn")},
      {"depths hidden", 2, 3, false, 0, false, QString()},
  };
  const FontSpec font{QStringLiteral("Arial"), 16, true, clNavy};
  for (const Case &t : cases) {
    auto c = makeCanvas(300, 100, 0, 100, 300, 0);
    c->SetBackColor(clGray);
    c->SetDepthLabelSettings(true, 10, QStringLiteral("Arial"), 12, clNavy);
    c->SetCurrentDepth(t.hf, t.lf, t.showDepth);
    c->SetCurrentSpeed(t.speed, t.showSpeed);
    const QImage image = render(*c);
    if (t.text.isEmpty()) {
      EXPECT_EQ(countColour(image, image.rect(), clGray), 300 * 100) << t.name;
      continue;
    }
    const QSize s = textSize(font, t.text);
    const int x = 10;
    const int y = 100 - s.height() - 10;
    const QImage expected = withText(plain(300, 100, clWhite), font, x, y, t.text);
    EXPECT_EQ(firstDifference(image, expected, QRect(QPoint(x, y), s)), QPoint(-1, -1)) << t.name;
  }
}

TEST_F(OverlayPaint, CurrentDepthBoxStandsInTheChosenCorner) {
  struct Case {
    int mode;
    bool right;
    bool top;
  };
  const QString text = QStringLiteral("1.0 kn");
  const QSize s = textSize({QStringLiteral("Arial"), 16, true, clBlack}, text);
  for (const Case &t : {Case{0, false, false}, Case{1, true, false}, Case{2, true, true},
                        Case{3, false, true}, Case{4, false, false}, Case{-1, false, false}}) {
    auto c = makeCanvas(300, 120, 0, 120, 300, 0);
    c->SetBackColor(clGray);
    c->SetCurrentSpeed(1.0, true);
    c->DepthSpeedDisplayMode = t.mode;
    const QImage image = render(*c);
    const int x = t.right ? 300 - s.width() - 10 : 10;
    const int y = t.top ? 10 : 120 - s.height() - 10;
    // The frame covers x - 6 .. x + w + 5 and y - 6 .. y + h + 5; white inside.
    const int midY = y + s.height() / 2;
    EXPECT_EQ(pixel(image, x - 6, midY), clBlack) << t.mode;
    EXPECT_EQ(pixel(image, x - 7, midY), clGray) << t.mode;
    EXPECT_EQ(pixel(image, x - 5, midY), clWhite) << t.mode;
    EXPECT_EQ(pixel(image, x + s.width() + 5, midY), clBlack) << t.mode;
    EXPECT_EQ(pixel(image, x + s.width() + 6, midY), clGray) << t.mode;
    EXPECT_EQ(pixel(image, x + s.width() / 2, y - 6), clBlack) << t.mode;
    EXPECT_EQ(pixel(image, x + s.width() / 2, y + s.height() + 5), clBlack) << t.mode;
  }
}

TEST_F(OverlayPaint, GgaBoxIsColouredByFixQuality) {
  struct Case {
    int quality;
    TColor box;
    TColor ink;
  };
  const Case cases[] = {{1, clRed, clWhite},    {2, clAqua, clBlack},   {4, clLime, clBlack},
                        {7, clLime, clBlack},   {5, clYellow, clBlack}, {0, clYellow, clBlack},
                        {-3, clYellow, clBlack}};
  GGAOverlayText = "RTK Fix | Spd: 1.0 kn";
  const QString text = QString::fromLatin1(GGAOverlayText);
  const QSize s = textSize(ggaFont, text);
  for (const Case &t : cases) {
    auto c = makeCanvas(300, 100, 0, 100, 300, 0);
    GGAFixQuality = t.quality;
    const QImage image = render(*c);
    const int midY = 8 + s.height() / 2;
    EXPECT_EQ(pixel(image, 2, midY), t.box) << t.quality;
    EXPECT_EQ(pixel(image, 1, midY), clWhite) << t.quality;
    EXPECT_EQ(pixel(image, 8 + s.width() + 5, midY), t.box) << t.quality;
    const QImage expected =
        withText(plain(300, 100, t.box), {ggaFont.name, 12, true, t.ink}, 8, 8, text);
    EXPECT_EQ(firstDifference(image, expected, QRect(QPoint(8, 8), s)), QPoint(-1, -1))
        << t.quality;
  }
}

TEST_F(OverlayPaint, GgaBoxAndItsHitTestShareTheCorner) {
  GGAOverlayText = "GPS | SV: 9";
  const QSize s = textSize(ggaFont, QString::fromLatin1(GGAOverlayText));
  const int w = s.width(), h = s.height();
  struct Case {
    int position;
    int x;
    int y;
  };
  const Case cases[] = {{0, 8, 8},
                        {1, 300 - w - 8, 8},
                        {2, 300 - w - 8, 150 - h - 10},
                        {3, 8, 150 - h - 10},
                        {9, 8, 8}};
  for (const Case &t : cases) {
    auto c = makeCanvas(300, 150, 0, 150, 300, 0);
    c->GGAOverlayPosition = t.position;
    // The corners of the box are inside, one pixel beyond them is not.
    EXPECT_TRUE(c->IsPointInGGAOverlay(t.x - 6, t.y - 6)) << t.position;
    EXPECT_TRUE(c->IsPointInGGAOverlay(t.x + w + 6, t.y + h + 6)) << t.position;
    EXPECT_TRUE(c->IsPointInGGAOverlay(t.x - 6, t.y + h + 6)) << t.position;
    EXPECT_TRUE(c->IsPointInGGAOverlay(t.x + w + 6, t.y - 6)) << t.position;
    EXPECT_FALSE(c->IsPointInGGAOverlay(t.x - 7, t.y)) << t.position;
    EXPECT_FALSE(c->IsPointInGGAOverlay(t.x, t.y - 7)) << t.position;
    EXPECT_FALSE(c->IsPointInGGAOverlay(t.x + w + 7, t.y + h)) << t.position;
    EXPECT_FALSE(c->IsPointInGGAOverlay(t.x + w, t.y + h + 7)) << t.position;
    // The painted box is where the hit test looks.
    const QImage image = render(*c);
    EXPECT_EQ(pixel(image, t.x - 3, t.y + h / 2), clYellow) << t.position;
    EXPECT_EQ(pixel(image, t.x - 7, t.y + h / 2), clWhite) << t.position;
  }
  // Bottom right: a double click at the top left misses it.
  auto c = makeCanvas(300, 150, 0, 150, 300, 0);
  c->GGAOverlayPosition = 2;
  EXPECT_FALSE(c->IsPointInGGAOverlay(10, 10));
  EXPECT_TRUE(c->IsPointInGGAOverlay(290, 140 - h / 2));
}

TEST_F(OverlayPaint, EmptyGgaTextHidesTheBox) {
  auto c = makeCanvas(100, 100, 0, 100, 100, 0);
  GGAFixQuality = 1;
  EXPECT_EQ(countColour(render(*c), QRect(0, 0, 100, 100), clWhite), 100 * 100);
  for (int y = 0; y < 100; y += 7)
    for (int x = 0; x < 100; x += 7)
      ASSERT_FALSE(c->IsPointInGGAOverlay(x, y));
}

TEST_F(OverlayPaint, DistanceMeasureShowsCircleLineCrossAndLabel) {
  auto c = makeCanvas(200, 200, 0, 200, 200, 0);
  c->StartDistanceMeasure(40.5, 99.5);                 // pixel (40, 100)
  c->UpdateDistanceMeasure(160.5, 99.5, 2.125, 45.25); // pixel (160, 100)
  const QImage image = render(*c);

  EXPECT_EQ(pixel(image, 40, 97), clRed);   // the dot at the start
  EXPECT_EQ(pixel(image, 50, 100), clBlue); // the line, away from the label
  EXPECT_EQ(pixel(image, 160, 94), clBlue); // the cross at the end
  EXPECT_EQ(pixel(image, 154, 100), clBlue);
  EXPECT_EQ(pixel(image, 40, 140), clWhite); // inside the circle
  // The circle of radius 120 about the start passes near (125, 15).
  EXPECT_GT(countColour(image, QRect(122, 12, 6, 6), clRed), 0);

  // Label: "2.13 m" over "45.3°", centred 30 pixels above the middle of the line.
  const FontSpec bold{QStringLiteral("Tahoma"), 11, true, clBlack};
  const QString t1 = QStringLiteral("2.13 m");
  const QString t2 = QStringLiteral("45.3") + QChar(0x00B0);
  const QSize s1 = textSize(bold, t1);
  const QSize s2 = textSize(bold, t2);
  const int mx = 100;
  const int ly = 70;
  const int wm = std::max(s1.width(), s2.width());
  EXPECT_EQ(pixel(image, mx - wm / 2 - 8, ly + 5), clBlack);
  EXPECT_EQ(pixel(image, mx - wm / 2 - 7, ly + 5), clYellow);
  EXPECT_EQ(pixel(image, mx - wm / 2 - 9, ly + 5), clWhite);
  EXPECT_EQ(pixel(image, mx, ly + 2 * s1.height() + 5), clBlack);
  QImage expected = plain(200, 200, clYellow);
  expected = withText(expected, bold, mx - s1.width() / 2, ly, t1);
  expected = withText(expected, {bold.name, 11, true, clNavy}, mx - s2.width() / 2,
                      ly + s1.height() + 2, t2);
  EXPECT_EQ(firstDifference(image, expected, QRect(QPoint(mx - s1.width() / 2, ly), s1)),
            QPoint(-1, -1));
  EXPECT_EQ(firstDifference(image, expected,
                            QRect(QPoint(mx - s2.width() / 2, ly + s1.height() + 2), s2)),
            QPoint(-1, -1));

  c->EndDistanceMeasure();
  EXPECT_EQ(countColour(render(*c), QRect(0, 0, 200, 200), clWhite), 200 * 200);
}
