// Scrolls and partial redraws as a survey makes them, each judged by the pixels of a canvas built
// the same way whose back buffer is redrawn whole at every paint: grid coordinates of a real
// survey, a dense cluster of soundings at a view edge, a hatched fill, the grid's dotted lines
// and labels under a moving boat, and the depth labels' font changed between paints.
#include "PaintingTestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace painttest;

namespace {

constexpr int W = 240;
constexpr int H = 180;
// World units per pixel.
constexpr double unit = 2.5;
// A survey in UTM: the view's top left corner, off the grid's lines by a part of a pixel.
constexpr double left0 = 416000.3;
constexpr double top0 = 4541000.7;

struct Drawing {
  int base = 0;
  int vessel = 0;
  int dots = 0;
};

void drawVessel(TTarvikCanvas &c, const Drawing &d, double x, double y) {
  c.CadClearShapes(d.vessel);
  c.SetLayerPenFg(d.vessel, 0x0000C0);
  c.SetLayerPenWidth(d.vessel, 2);
  c.DrawLine(x, y, x, y + 30, d.vessel);
  c.DrawLine(x, y + 30, x + 12, y - 15, d.vessel);
  c.DrawLine(x, y + 30, x - 12, y - 15, d.vessel);
  c.DrawCircle(x, y, 10, d.vessel);
}

// What a survey drawing holds near the view: track lines, soundings (points) at survey
// coordinates, a hatched area, texts; and a dense cluster of soundings just inside the left
// edge, a pixel or two apart, so that thinning decides which of them show.
enum class Feature { Survey, Cluster, Hatch };

Drawing populate(TTarvikCanvas &c, Feature f) {
  Drawing d;
  d.base = c.LayerOpen(QStringLiteral("base"));
  d.vessel = c.LayerOpen(QStringLiteral("vessel"));
  d.dots = c.LayerOpen(QStringLiteral("dots"));
  const double x0 = left0, y0 = top0 - H * unit;
  for (int i = 0; i < 12; ++i)
    c.DrawLine(x0 - 150 + i * 71.3, y0 - 90 + i * 9.1, x0 + 40 + i * 51.7, y0 + 520 - i * 17.3,
               d.base);
  for (int i = 0; i < 40; ++i)
    c.DrawPoint(x0 + 13.7 + (i % 8) * 61.9, y0 + 21.3 + (i / 8) * 97.1, d.dots);
  c.TextAdd(d.base, QStringLiteral("12.4"), x0 + 300, y0 + 250, 0);
  c.TextAdd(d.base, QStringLiteral("Pier"), x0 + 120, y0 + 380, 0);
  if (f == Feature::Cluster) {
    // Soundings 0.4 to 2.8 pixels apart across the left edge and a little beyond it.
    for (int i = 0; i < 120; ++i)
      c.DrawPoint(x0 - 20 + (i % 12) * 1.07 * unit * (1 + (i / 12) % 3),
                  y0 + 60 + (i / 12) * 0.93 * unit + (i % 5) * 0.4 * unit, d.dots);
  }
  if (f == Feature::Hatch) {
    const std::int32_t area = c.DrawPolyline(
        {{x0 + 60, y0 + 80}, {x0 + 330, y0 + 120}, {x0 + 280, y0 + 400}, {x0 + 90, y0 + 350}},
        d.base, true);
    c.SetShapeBrushStyle(area, bsDiagCross);
    c.SetShapeBrushFg(area, 0x008000);
  }
  return d;
}

struct Variant {
  Feature feature;
  bool navigation;
  bool labels;
};

std::string describe(const Variant &v) {
  const char *names[] = {"survey", "cluster at the edge", "hatched fill"};
  return std::string(names[static_cast<int>(v.feature)]) +
         (v.navigation ? ", navigation" : ", editor") + (v.labels ? ", labels" : "");
}

// The stored grid of the navigation program: fixed, 100 m.
void useStoredGrid(TTarvikCanvas &c) {
  c.GridVisible = true;
  c.GridMode = 0;
  c.GridAutoScale = false;
  c.GridSpacingX = c.GridSpacingY = 100.0;
  c.GridColor = 0x808080;
}

std::unique_ptr<TTarvikCanvas> build(const Variant &v, Drawing &d) {
  auto c = makeCanvas(W, H, left0, top0, left0 + W * unit, top0 - H * unit, v.navigation);
  useStoredGrid(*c);
  d = populate(*c, v.feature);
  if (v.labels) {
    c->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 9, 0x800000);
    for (int i = 0; i < 80; ++i)
      c->AddDepthLabel(left0 - 60 + (i % 10) * 77.3, top0 - 500 + (i / 10) * 83.9, 3.0 + i * 0.7);
  }
  return c;
}

struct Move {
  int px;
  int py; // pixels the view moves right and up; 0, 0: the boat moves over a still view
  double bx;
  double by; // where the boat goes, in pixels from the view's top left corner
};

// The view crossing the cluster's edge both ways, by steps shorter and longer than the grid's
// dot period; between them the boat crosses grid lines and the labels along the edges.
const Move moves[] = {
    {0, 0, 120, 90},  {-1, 0, 121, 90}, {-3, 0, 122, 91}, {0, 0, 125, 175}, {0, 0, 4, 120},
    {-5, 2, 60, 60},  {4, -1, 60, 61},  {0, 0, 60, 64},   {-2, 0, 59, 70},  {7, 3, 58, 75},
    {0, 0, 150, 40},  {-9, 0, 150, 41}, {1, 0, 150, 43},  {0, 0, 10, 170},  {6, -7, 10, 172},
    {-12, 5, 90, 90}, {0, 0, 97, 90},   {13, 0, 97, 93},  {0, -2, 98, 96},  {-1, 1, 100, 96},
};

} // namespace

TEST(PaintingSurvey, ScrollsAndPartialRedrawsShowWhatAFullRepaintShows) {
  std::vector<Variant> variants;
  for (Feature f : {Feature::Survey, Feature::Cluster, Feature::Hatch})
    for (bool navigation : {true, false})
      for (bool labels : {false, true})
        variants.push_back(Variant{f, navigation, labels});
  for (const Variant &v : variants) {
    Drawing dc, df;
    auto cached = build(v, dc);
    auto full = build(v, df);
    expectSame(render(*cached), fullRepaint(*full), describe(v) + ", start");
    int step = 0;
    for (const Move &m : moves) {
      const std::string what = describe(v) + ", move " + std::to_string(step++) + " (" +
                               std::to_string(m.px) + ", " + std::to_string(m.py) + ")";
      for (TTarvikCanvas *c : {cached.get(), full.get()}) {
        if (m.px != 0 || m.py != 0)
          c->WorldPan(m.px * unit, m.py * unit);
        drawVessel(*c, c == cached.get() ? dc : df, c->WorldLeft + m.bx * unit,
                   c->WorldTop - m.by * unit);
      }
      expectSame(render(*cached), fullRepaint(*full), what);
      if (HasFailure())
        return;
    }
  }
}

// A still view over the grid: the boat's partial redraws lay the grid's dots and labels down
// exactly as a full redraw, wherever the redrawn rectangle starts along a line.
TEST(PaintingSurvey, PartialRedrawsKeepTheGridsDotsAndLabels) {
  const Variant v{Feature::Survey, true, false};
  Drawing dc, df;
  auto cached = build(v, dc);
  auto full = build(v, df);
  // The grid lines of the view, in pixels: boats centred on them and a little off.
  int first = 0;
  for (int dx = 0; dx < 7; ++dx) {
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      const double x = 416100 + dx * 0.9 * unit, y = top0 - (40 + dx * 19) * unit;
      drawVessel(*c, c == cached.get() ? dc : df, x, y);
      // A short line over a horizontal grid line, starting at another dot phase each time.
      c->DrawLine(left0 + (3 + dx * 31) * unit, 4540800 + 0.3, left0 + (9 + dx * 31) * unit,
                  4540800 + 0.3, c == cached.get() ? dc.base : df.base);
    }
    const std::uint64_t before = cached->fullRedrawCount();
    const QImage shown = render(*cached);
    if (dx > 0)
      first += static_cast<int>(cached->fullRedrawCount() - before);
    expectSame(shown, fullRepaint(*full), "boat " + std::to_string(dx));
  }
  // Those were partial redraws (the first full redraw kept the image below the boat).
  EXPECT_EQ(first, 0);
}

// The depth labels' font size changes between paints: the labels show in the new size, as on a
// canvas that never showed the old one.
TEST(PaintingSurvey, LabelFontSizeChangedBetweenPaints) {
  for (bool navigation : {true, false}) {
    const Variant v{Feature::Survey, navigation, true};
    Drawing dc, df;
    auto cached = build(v, dc);
    render(*cached);
    for (int size : {14, 7, 9}) {
      cached->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), size, 0x800000);
      cached->WorldPan(2 * unit, 0);
      const QImage shown = render(*cached);
      auto fresh = build(v, df);
      fresh->WorldSet(cached->WorldLeft, cached->WorldTop, cached->WorldRight, cached->WorldBottom);
      fresh->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), size, 0x800000);
      expectSame(shown, render(*fresh),
                 std::string(navigation ? "navigation" : "editor") + ", size " +
                     std::to_string(size));
    }
  }
}

// The grid's dots move with the drawing: a pan by a few pixels, along the lines or across them,
// leaves the grid inside the view as the last picture moved by those pixels, so a scroll need
// not redraw every grid line (which at whole-area zoom meant drawing every shape under them).
TEST(PaintingSurvey, APanMovesTheGridsDotsWithTheDrawing) {
  struct Pan {
    int px; // pixels the view moves right
    int py; // and up
  };
  for (const Pan p : {Pan{0, 1}, Pan{1, 0}, Pan{-2, 3}, Pan{5, -4}}) {
    auto c = makeCanvas(W, H, left0, top0, left0 + W * unit, top0 - H * unit, true);
    useStoredGrid(*c);
    const QImage before = render(*c);
    const std::uint64_t redraws = c->fullRedrawCount();
    c->WorldPan(p.px * unit, p.py * unit);
    const QImage after = render(*c);
    const std::string what = std::to_string(p.px) + ", " + std::to_string(p.py);
    EXPECT_EQ(c->fullRedrawCount(), redraws) << what;
    // Away from the edges and the grid's labels along the left and the bottom.
    int differing = 0;
    for (int y = 30; y < H - 40; ++y)
      for (int x = 60; x < W - 30; ++x)
        if (after.pixel(x - p.px, y + p.py) != before.pixel(x, y))
          ++differing;
    EXPECT_EQ(differing, 0) << what;
    expectSame(after, fullRepaint(*c), what);
  }
}
