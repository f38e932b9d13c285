// What a map tick over a still view asks the window system to paint: the pixels its changes
// touch (the boat's shapes, a depth label, the current-depth and status boxes), not the whole
// control; and the rest of the control whenever a paint redrew more than it was asked for.
#include "canvas/TarvikCanvas.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QRegion>
#include <gtest/gtest.h>
#include <string>

namespace {

// Keeps the pixels every paint was asked for.
class RecordingCanvas : public TTarvikCanvas {
public:
  using TTarvikCanvas::TTarvikCanvas;
  int paints = 0;
  QRegion painted;

protected:
  void paintEvent(QPaintEvent *e) override {
    ++paints;
    painted += e->region();
    TTarvikCanvas::paintEvent(e);
  }
};

// Lets every pending paint happen; returns the pixels painted meanwhile.
QRegion settle(RecordingCanvas &c) {
  c.painted = QRegion();
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  return c.painted;
}

long long area(const QRegion &r) {
  long long a = 0;
  for (const QRect &piece : r)
    a += static_cast<long long>(piece.width()) * piece.height();
  return a;
}

struct Canvas {
  RecordingCanvas c{nullptr, true};

  Canvas() {
    c.resize(400, 300);
    c.show();
    c.WorldSet(416000, 4541300, 416400, 4541000);
    c.GridVisible = true;
    for (int i = 0; i < 50; ++i)
      c.DrawLine(416000 + i * 8, 4541000, 416400 - i * 8, 4541300, 0);
    c.SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 10, 0x800000);
    c.SetCurrentDepth(12.5, 0, true);
    c.SetCurrentSpeed(4.2, true);
    GGAOverlayText = "RTK Fix | Spd: 4.2 kn";
    c.Refresh();
    EXPECT_TRUE(testsupport::processEventsUntil([&] { return c.paints > 0; }));
    settle(c);
  }
  ~Canvas() { GGAOverlayText.clear(); }
};

} // namespace

TEST(PaintingRepaintArea, AStillViewTickPaintsOnlyWhatItChanged) {
  Canvas k;
  RecordingCanvas &c = k.c;
  // The tick: the same label settings, a boat line, a depth label, new depth, speed and status.
  c.SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 10, 0x800000);
  c.DrawLine(416200, 4541150, 416210, 4541160, 0);
  c.AddDepthLabel(416300, 4541100, 14.2);
  c.SetCurrentDepth(12.7, 0, true);
  c.SetCurrentSpeed(4.4, true);
  GGAOverlayText = "RTK Fix | Spd: 4.4 kn";
  c.RepaintChanges();
  const QRegion painted = settle(c);
  int sx = 0, sy = 0;
  const auto at = [&](double x, double y) {
    c.WorldToScreen(x, y, sx, sy);
    return QPoint(sx, sy);
  };
  EXPECT_TRUE(painted.contains(at(416200, 4541150)));
  EXPECT_TRUE(painted.contains(at(416210, 4541160)));
  EXPECT_TRUE(painted.contains(at(416300, 4541100)));
  EXPECT_TRUE(painted.contains(QPoint(12, c.height() - 14))); // the depth box, bottom left
  EXPECT_TRUE(painted.contains(QPoint(10, 10)));              // the status box, top left
  EXPECT_LT(area(painted), 400 * 300 / 4);
  // What the control shows is what a full redraw shows.
  const QImage shown = c.grab().toImage();
  c.Refresh();
  EXPECT_EQ(shown, c.grab().toImage());
}

TEST(PaintingRepaintArea, SettersGivenWhatTheyHoldPaintNothing) {
  Canvas k;
  RecordingCanvas &c = k.c;
  c.SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 10, 0x800000);
  c.SetCurrentDepth(12.5, 0, true);
  c.SetCurrentSpeed(4.2, true);
  c.AddDepthLabel(416300, 4541100, 14.2);
  settle(c);
  c.AddDepthLabel(416301, 4541101, 14.3); // too close to the last: not added
  EXPECT_EQ(area(settle(c)), 0);
}

// A host that writes a field without a word: the tick asked for a few pixels, the paint redrew
// everything, and the rest of the control is painted next.
TEST(PaintingRepaintArea, APaintThatRedrewWholeShowsAllOfIt) {
  Canvas k;
  RecordingCanvas &c = k.c;
  c.BackColor = 0xE0FFE0;
  c.DrawLine(416200, 4541150, 416210, 4541160, 0);
  c.RepaintChanges();
  const QRegion painted = settle(c);
  EXPECT_EQ(painted.intersected(c.rect()), QRegion(c.rect()));
}

// The boat's lines and rings lie close together: a partial redraw takes the rectangle around
// them at once, but what lies between them comes out as it was, so each tick is one paint.
TEST(PaintingRepaintArea, ABoatTickIsOnePaint) {
  Canvas k;
  RecordingCanvas &c = k.c;
  const int vessel = c.LayerOpen(QStringLiteral("vessel"));
  for (int tick = 0; tick < 8; ++tick) {
    const double x = 416150 + tick * 4, y = 4541120 + tick * 3;
    c.CadClearShapes(vessel);
    c.DrawLine(x, y, x, y + 30, vessel);
    c.DrawLine(x, y + 30, x + 12, y - 15, vessel);
    c.DrawLine(x, y + 30, x - 12, y - 15, vessel);
    c.DrawCircle(x, y, 10, vessel);
    c.DrawCircle(x, y, 25, vessel);
    c.paints = 0;
    c.RepaintChanges();
    settle(c);
    EXPECT_EQ(c.paints, 1) << "tick " << tick;
  }
  const QImage shown = c.grab().toImage();
  c.Refresh();
  EXPECT_EQ(shown, c.grab().toImage());
}
