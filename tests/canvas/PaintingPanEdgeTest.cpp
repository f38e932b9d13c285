// Following a boat over a survey: every pan brings soundings, their depth texts and depth labels
// across the edges of the view. The picture after each pan is judged by the pixels of a canvas
// built the same way whose back buffer is redrawn whole at every paint, and in the navigation
// program the pans are scrolls: what crosses the edges is drawn in the uncovered strips, not by
// a full redraw.
#include "PaintingTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace painttest;

namespace {

constexpr int W = 200;
constexpr int H = 150;
constexpr double unit = 2.0; // world units per pixel
// UTM coordinates of a survey, the view's corner off whole pixels by a part of one.
constexpr double left0 = 416020.3;
constexpr double top0 = 4541000.7;

struct Layers {
  int soundings = 0;
  int texts = 0;
  int names = 0;
  int vessel = 0;
};

// Survey lines across the area the boat follows and beyond its edges, soundings 0.8 to 3.2
// pixels apart along them and up to 5 across (thinning leaves some out), a depth text and a line
// name over it at every ninth and a depth label at every fifth; a cross line, drawn later, lies
// over the first ones.
Layers populate(TTarvikCanvas &c, bool labels) {
  Layers l;
  l.soundings = c.LayerOpen(QStringLiteral("soundings"));
  l.texts = c.LayerOpen(QStringLiteral("depths"));
  l.names = c.LayerOpen(QStringLiteral("names"));
  l.vessel = c.LayerOpen(QStringLiteral("vessel"));
  c.SetLayerPenFg(l.soundings, 0x004080);
  c.SetLayerPenFg(l.texts, 0x202020);
  c.SetLayerPenFg(l.names, 0x00A000);
  if (labels)
    c.SetDepthLabelSettings(true, 3.0, QStringLiteral("Arial"), 8, 0x800000);
  for (int line = 0; line < 9; ++line) {
    const double y = top0 - 20 - line * 37.3;
    double x = left0 - 120 + line * 3.1;
    for (int i = 0; i < 200; ++i) {
      x += unit * (0.8 + (i % 5) * 0.6);
      const double yy = y + (i % 7) * 0.8 * unit;
      c.DrawPoint(x, yy, l.soundings);
      const double depth = 8.0 + line * 0.7 + (i % 40) * 0.05;
      if (i % 9 == 0) {
        c.TextAdd(l.texts, QString::number(depth, 'f', 1), x, yy, 0);
        // A line name over it, later in the drawing order, in another colour and reaching
        // further right: it comes into a view moving left before the depth does.
        c.TextAdd(l.names, QStringLiteral("L%1 %2").arg(line).arg(i), x - 3 * unit, yy - unit, 0);
      }
      if (labels && i % 5 == 0)
        c.AddDepthLabel(x, yy + 3, depth);
    }
  }
  for (int i = 0; i < 200; ++i)
    c.DrawPoint(left0 + 90 + (i % 3) * 0.7, top0 + 60 - i * 2.1, l.soundings);
  return l;
}

void drawVessel(TTarvikCanvas &c, int layer, double x, double y) {
  c.CadClearShapes(layer);
  c.SetLayerPenFg(layer, 0x0000C0);
  c.SetLayerPenWidth(layer, 2);
  c.DrawLine(x, y - 8, x, y + 16, layer);
  c.DrawLine(x, y + 16, x + 6, y - 8, layer);
  c.DrawLine(x, y + 16, x - 6, y - 8, layer);
  c.DrawCircle(x, y, 6, layer);
}

std::unique_ptr<TTarvikCanvas> build(bool navigation, bool labels, Layers &l) {
  auto c = makeCanvas(W, H, left0, top0, left0 + W * unit, top0 - H * unit, navigation);
  c->GridVisible = true;
  c->GridMode = 0;
  c->GridAutoScale = false;
  c->GridSpacingX = c->GridSpacingY = 100.0;
  c->GridColor = 0x808080;
  l = populate(*c, labels);
  return c;
}

// Pixels the view moves right and down at each tick of the boat: along a line, across the
// survey lines, a turn, and back over the way it came.
const int pans[][2] = {{1, 0},  {2, 0},  {1, 1},   {3, 0},  {1, 0},   {0, 2},   {2, 1},  {1, 0},
                       {0, 1},  {4, 3},  {1, 0},   {2, 0},  {0, 3},   {1, 2},   {-1, 0}, {-3, -1},
                       {-2, 0}, {-1, 0}, {-4, -2}, {0, -1}, {-1, -3}, {-2, -1}, {5, 0},  {7, 2},
                       {1, 0},  {0, -5}, {-6, 0},  {2, 2},  {1, 1},   {1, 0}};

} // namespace

TEST(PaintingPanEdge, FollowingABoatShowsWhatAFullRepaintShowsWithoutRedrawingWhole) {
  for (bool navigation : {true, false}) {
    for (bool labels : {false, true}) {
      const std::string variant =
          std::string(navigation ? "navigation" : "editor") + (labels ? ", labels" : "");
      Layers lc, lf;
      auto cached = build(navigation, labels, lc);
      auto full = build(navigation, labels, lf);
      // The boat's layer takes its colour and width at the first tick, which redraws whole.
      for (TTarvikCanvas *c : {cached.get(), full.get()})
        drawVessel(*c, c == cached.get() ? lc.vessel : lf.vessel,
                   (c->WorldLeft + c->WorldRight) / 2, (c->WorldTop + c->WorldBottom) / 2);
      render(*cached);
      const std::uint64_t before = cached->fullRedrawCount();
      int tick = 0;
      for (const auto &pan : pans) {
        for (TTarvikCanvas *c : {cached.get(), full.get()}) {
          c->WorldPan(pan[0] * unit, -pan[1] * unit);
          drawVessel(*c, c == cached.get() ? lc.vessel : lf.vessel,
                     (c->WorldLeft + c->WorldRight) / 2, (c->WorldTop + c->WorldBottom) / 2);
        }
        const QImage shown = render(*cached);
        full->Refresh();
        const QImage expected = render(*full);
        ASSERT_EQ(shown.size(), expected.size());
        EXPECT_EQ(firstDifference(shown, expected, shown.rect()), QPoint(-1, -1))
            << variant << ", tick " << tick << " (" << pan[0] << ", " << pan[1]
            << "): first differing pixel";
        if (HasFailure())
          return;
        ++tick;
      }
      // The editor's texts give way to each other across the whole view: its pans that carry a
      // text across an edge are full redraws. The navigation program's are scrolls; one full
      // redraw may keep the image below the boat.
      if (navigation) {
        EXPECT_LE(cached->fullRedrawCount() - before, 1u) << variant;
      }
    }
  }
}
