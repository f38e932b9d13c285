// A view moved by whole pixels scrolls what was drawn and draws only what the move uncovered or
// changed: after every pan the control must show exactly the pixels of a canvas built the same
// way whose back buffer is redrawn whole at every paint.
#include "PaintingTestSupport.h"
#include "canvas/PaintSupport.h"

#include <QRegion>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace painttest;

namespace {

constexpr int W = 240;
constexpr int H = 180;
// World units per pixel; a view whose pixels are not square has `tallUnit` vertically.
constexpr double unit = 2.5;
constexpr double tallUnit = 1.5;

struct Layers {
  int base = 0;
  int vessel = 0;
  int dots = 0;
};

// Shapes inside the view and well beyond every edge, so that pans bring them in and take them
// out: long lines across the whole view, wide pens and circles on the edges, a spline, a
// filled polygon, points and texts.
Layers populate(TTarvikCanvas &c) {
  Layers l;
  l.base = c.LayerOpen(QStringLiteral("base"));
  l.vessel = c.LayerOpen(QStringLiteral("vessel"));
  l.dots = c.LayerOpen(QStringLiteral("dots"));
  for (int i = 0; i < 16; ++i) {
    c.DrawLine(-200 + i * 61.3, -150 + i * 7.1, 90 + i * 47.9, 620 - i * 13.7, l.base);
    c.DrawCircle(-40 + i * 47.3, 20 + (i % 4) * 130.9, 11 + i * 1.7, l.base);
  }
  for (int i = 0; i < 30; ++i)
    c.DrawLine(-80 + i * 26.1, 300 + (i % 7) * 9.3, -60 + i * 26.7, 310 + (i % 5) * 11.1, l.base);
  const std::int32_t wide = c.DrawLine(-30, 200, 680, 260, l.base);
  c.SetShapePenWidth(wide, 5);
  c.SetShapePenFg(wide, 0x00A000);
  const std::int32_t edge = c.DrawCircle(2, 230, 20, l.base);
  c.SetShapePenWidth(edge, 3);
  const std::int32_t box = c.DrawRectangle(150, 150, 260, 240, l.base);
  c.SetShapeBrushStyle(box, bsSolid);
  c.SetShapeBrushFg(box, 0xE0E0FF);
  c.DrawTwoPointEllipse(400, 60, 560, 160, l.base);
  c.DrawThreePointArc(-20, 380, 80, 420, 180, 380, l.base);
  const std::int32_t spline =
      c.DrawPolyline({{500, 300}, {580, 320}, {640, 420}, {560, 470}}, l.base, false);
  if (TQShape *s = c.FindShape(spline))
    s->ShapeType = 8;
  c.DrawPolyline({{250, 330}, {330, 370}, {290, 420}}, l.base, true);
  c.ShapeSelect(c.DrawLine(260, 30, 460, 80, l.base), false);
  for (int i = 0; i < 24; ++i)
    c.DrawPoint(230 + (i % 6) * 17.3 + (i / 6) * 0.9, 190 + (i / 6) * 21.7, l.dots);
  c.TextAdd(l.base, QStringLiteral("Harbour"), 300, 250, 0);
  c.TextAdd(l.base, QStringLiteral("Buoy 7"), 120, 380, 0);
  // Wide pens across the right and the bottom edge set how far shapes reach; more as wide wait
  // beyond those edges for the pans to bring them in (their pens reach into the view before
  // their bounds do), and a circle with a pen wider than any drawn arrives late.
  const auto widePen = [&](std::int32_t shape, int width) {
    c.SetShapePenWidth(shape, width);
    c.SetShapePenFg(shape, 0x806000);
  };
  widePen(c.DrawLine(640, 300, 790, 320, l.base), 6);
  widePen(c.DrawLine(420, 30, 470, 130, l.base), 4);
  for (int i = 0; i < 8; ++i) {
    widePen(c.DrawLine(703 + i * 9.7, 130 + i * 47, 706 + i * 9.7, 150 + i * 47, l.base), 6);
    widePen(c.DrawCircle(140 + i * 71, 97 - i * 7.3, 3, l.base), 5);
  }
  widePen(c.DrawCircle(785, 360, 10, l.base), 60);
  widePen(c.DrawCircle(400, 45, 5, l.base), 60);
  return l;
}

void drawVessel(TTarvikCanvas &c, const Layers &l, double x, double y) {
  c.CadClearShapes(l.vessel);
  c.SetLayerPenFg(l.vessel, 0x0000C0);
  c.SetLayerPenWidth(l.vessel, 2);
  c.DrawLine(x, y, x, y + 30, l.vessel);
  c.DrawLine(x, y + 30, x + 12, y - 15, l.vessel);
  c.DrawLine(x, y + 30, x - 12, y - 15, l.vessel);
  c.DrawCircle(x, y, 10, l.vessel);
}

struct Variant {
  bool navigation;
  bool grid;
  int gridMode;
  bool labels;
  double unitY = unit;
};

std::string describe(const Variant &s) {
  return std::string(s.navigation ? "navigation" : "editor") +
         (s.grid ? " grid mode " + std::to_string(s.gridMode) : " no grid") +
         (s.labels ? " labels" : "") + (s.unitY != unit ? " pixels not square" : "");
}

std::unique_ptr<TTarvikCanvas> build(const Variant &s, Layers &l) {
  auto c = makeCanvas(W, H, 100, 100 + H * s.unitY, 100 + W * unit, 100, s.navigation);
  c->GridVisible = s.grid;
  c->GridMode = s.gridMode;
  c->GridColor = 0x808080;
  l = populate(*c);
  if (s.labels) {
    c->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 9, 0x800000);
    for (int i = 0; i < 90; ++i)
      c->AddDepthLabel(-50 + (i % 15) * 51.3, -40 + (i / 15) * 97.9, 3.0 + i * 0.7);
  }
  return c;
}

struct Pan {
  int px;
  int py; // pixels the view moves right and up
  bool vesselMoves;
};

// Single pixels and strips, both ways along both axes and slanted, past the dot period of the
// grid and not, with the boat moving between some of them.
const Pan pans[] = {
    {1, 0, true},   {0, 1, true},     {-1, 0, false}, {0, -1, true},  {3, 2, true},
    {-7, 5, false}, {6, -6, true},    {12, 0, true},  {0, -12, true}, {-25, -17, true},
    {40, 31, true}, {-2, 9, false},   {5, 5, true},   {-60, 0, true}, {0, 45, true},
    {1, 1, true},   {-90, -70, true}, {17, -3, true}, {-4, 22, true}, {2, -1, false},
};

// Pans both canvases the same world step `steps` times and compares the scrolled picture with a
// full repaint after each: false at the first difference.
bool panAlikeAndCompare(TTarvikCanvas &cached, TTarvikCanvas &full, double dx, double dy, int steps,
                        const std::string &name) {
  for (int step = 0; step < steps; ++step) {
    for (TTarvikCanvas *c : {&cached, &full})
      c->WorldPan(dx, dy);
    expectSame(render(cached), fullRepaint(full), name + ", pan " + std::to_string(step));
    if (::testing::Test::HasFailure())
      return false;
  }
  return true;
}

} // namespace

TEST(PaintingScroll, EveryPanShowsTheSamePixelsAsAFullRepaint) {
  std::vector<Variant> setups;
  for (bool navigation : {true, false})
    for (int grid : {-1, 0, 1})
      for (bool labels : {false, true})
        setups.push_back(Variant{navigation, grid >= 0, std::max(grid, 0), labels});
  for (bool navigation : {true, false})
    setups.push_back(Variant{navigation, true, 0, true, tallUnit});
  for (const Variant &s : setups) {
    Layers lc, lf;
    auto cached = build(s, lc);
    auto full = build(s, lf);
    double bx = 300, by = 280;
    drawVessel(*cached, lc, bx, by);
    drawVessel(*full, lf, bx, by);
    expectSame(render(*cached), fullRepaint(*full), describe(s) + ", start");
    int step = 0;
    for (const Pan &p : pans) {
      const std::string what = describe(s) + ", pan " + std::to_string(step++) + " (" +
                               std::to_string(p.px) + ", " + std::to_string(p.py) + ")";
      for (TTarvikCanvas *c : {cached.get(), full.get()}) {
        c->WorldPan(p.px * unit, p.py * s.unitY);
        if (p.vesselMoves)
          drawVessel(*c, c == cached.get() ? lc : lf, bx + p.px * unit, by + p.py * s.unitY);
      }
      if (p.vesselMoves) {
        bx += p.px * unit;
        by += p.py * s.unitY;
      }
      expectSame(render(*cached), fullRepaint(*full), what);
      if (HasFailure())
        return;
    }
  }
}

// The topmost shapes are drawn over the image of what lies below them, by every kind of
// paint: a hatched fill and a wide pen among them that a pan brings in must not be scrolled
// with the picture afterwards (a hatch is held to the client's corner) nor cut at the band.
TEST(PaintingScroll, TopmostShapesArrivingByAPanStayWhole) {
  for (const double unitY : {unit, tallUnit}) {
    const Variant s{true, true, 0, false, unitY};
    Layers lc, lf;
    auto cached = build(s, lc);
    auto full = build(s, lf);
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      const Layers &l = c == cached.get() ? lc : lf;
      const std::int32_t fill = c->DrawRectangle(712, 200, 760, 260, l.vessel);
      c->SetShapeBrushStyle(fill, bsDiagCross);
      c->SetShapeBrushFg(fill, 0x00A0A0);
      const std::int32_t ring = c->DrawCircle(300, 92, 4, l.vessel);
      c->SetShapePenWidth(ring, 24);
    }
    expectSame(render(*cached), fullRepaint(*full), describe(s) + ", start");
    // Put on top inside the view, drawn by a partial redraw.
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      const Layers &l = c == cached.get() ? lc : lf;
      const std::int32_t inside = c->DrawRectangle(420, 300, 470, 340, l.vessel);
      c->SetShapeBrushStyle(inside, bsBDiagonal);
      c->SetShapeBrushFg(inside, 0xA000A0);
    }
    expectSame(render(*cached), fullRepaint(*full), describe(s) + ", a hatch put on top");
    for (int step = 0; step < 20; ++step) {
      const double px = step < 10 ? 3 : -2, py = step % 2 == 0 ? -2 : 1;
      for (TTarvikCanvas *c : {cached.get(), full.get()})
        c->WorldPan(px * unit, py * unitY);
      expectSame(render(*cached), fullRepaint(*full),
                 describe(s) + ", pan " + std::to_string(step));
      if (HasFailure())
        return;
    }
  }
}

// Shapes that come in one pixel at a time at the right or the bottom edge: a pen wider than any
// drawn reaches further into the view than the bands along the edges, and a hatch put on top
// inside the view is held to the client's corner; neither may be scrolled as it stands.
TEST(PaintingScroll, WidePensAndHatchesStayWholeOverSmallPans) {
  struct Case {
    const char *name;
    int px, py;      // the pan, pixels right and up
    bool hatchOnTop; // else a circle with a 40-pixel pen waits beyond the edge
  };
  const Case cases[] = {
      {"a wide pen at the right edge", 1, 0, false},
      {"a wide pen at the bottom edge", 0, -1, false},
      {"a hatch put on top, panned along x", 1, 0, true},
      {"a hatch put on top, panned along y", 0, 1, true},
  };
  for (const Case &k : cases) {
    auto cached = makeCanvas(W, H, 0, H * unit, W * unit, 0, true);
    auto full = makeCanvas(W, H, 0, H * unit, W * unit, 0, true);
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      for (int i = 0; i < 8; ++i)
        c->DrawLine(20 + i * 70, 30, 50 + i * 60, 420, 0);
      if (!k.hatchOnTop) // just beyond the edge the pan moves towards
        c->SetShapePenWidth(
            c->DrawCircle(k.px != 0 ? W * unit + 6 : 300, k.px != 0 ? 200 : -6, 4, 0), 40);
    }
    render(*cached);
    if (k.hatchOnTop)
      for (TTarvikCanvas *c : {cached.get(), full.get()}) {
        const std::int32_t box = c->DrawRectangle(200, 150, 330, 260, 0);
        c->SetShapeBrushStyle(box, bsFDiagonal);
        c->SetShapeBrushFg(box, 0x008080);
      }
    if (!panAlikeAndCompare(*cached, *full, k.px * unit, k.py * unit, 6, k.name))
      return;
  }
}

// A pan costs what enters the view: a one-pixel pan over long lines across the left and the
// top edge scrolls the picture, while a pan whose bands would cover most of the view draws it
// whole once.
TEST(PaintingScroll, APanRedrawsWholeOnlyWhenMostOfTheViewMustBeDrawn) {
  struct Case {
    const char *name;
    int pen;
    bool wholeRedraw;
  };
  const Case cases[] = {
      {"thin lines across every edge", 1, false},
      {"a pen so wide that its bands cover most of the view", 60, true},
  };
  for (const Case &k : cases) {
    auto cached = makeCanvas(W, H, 0, H * tallUnit, W * unit, 0, true);
    auto full = makeCanvas(W, H, 0, H * tallUnit, W * unit, 0, true);
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      for (int i = 0; i < 12; ++i) {
        c->DrawLine(-5000 + i * 37.1, -3000, 6000 - i * 91.3, 4000 + i * 13.3, 0);
        c->DrawLine(-4000, 100 + i * 23.9, 5000, 160 + i * 11.7, 0);
      }
      c->TextAdd(0, QStringLiteral("Pier"), 300, 120, 0);
      c->SetShapePenWidth(c->DrawCircle(250, 130, 20, 0), k.pen);
    }
    render(*cached);
    const std::uint64_t before = cached->fullRedrawCount();
    for (const auto &[px, py] : {std::pair{1, 0}, {0, 1}, {-1, 0}, {0, -1}}) {
      for (TTarvikCanvas *c : {cached.get(), full.get()})
        c->WorldPan(px * unit, py * tallUnit);
      expectSame(render(*cached), fullRepaint(*full), k.name);
    }
    EXPECT_EQ(cached->fullRedrawCount() - before, k.wholeRedraw ? 4u : 0u) << k.name;
  }
}

// Two pans in one turn of the event loop, a shape changed between them and a point that comes
// into view: each paint still shows what a full repaint shows.
TEST(PaintingScroll, PansChangesAndArrivingPointsBetweenPaints) {
  const Variant s{true, true, 0, true};
  Layers lc, lf;
  auto cached = build(s, lc);
  auto full = build(s, lf);
  render(*cached);
  for (int round = 0; round < 6; ++round) {
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      const Layers &l = c == cached.get() ? lc : lf;
      c->WorldPan(3 * unit, -2 * unit);
      drawVessel(*c, l, 320 + round * 10, 290 - round * 5);
      c->DrawLine(310 + round * 10, 290, 320 + round * 10, 285 - round * 5, l.base);
      c->WorldPan(-1 * unit, 4 * unit);
      if (round == 3)
        c->DrawPoint(100 + round * 3 * unit - 2, 300, l.dots); // just off the left edge
      if (round == 4)
        c->AddDepthLabel(330, 300, 9.5);
    }
    expectSame(render(*cached), fullRepaint(*full), "round " + std::to_string(round));
  }
}

// The scroll keeps what was drawn: a change nobody announced stays unseen after a pan by whole
// pixels (the shape moves with the view in its old colour), and shows after a pan by part of a
// pixel, which draws everything anew.
TEST(PaintingScroll, AWholePixelPanMovesWhatWasDrawn) {
  auto c = makeCanvas(W, H, 0, H, W, 0, true);
  const std::int32_t bar = c->DrawRectangle(100, 80, 140, 100, 0);
  c->SetShapeBrushStyle(bar, bsSolid);
  c->SetShapeBrushFg(bar, 0x00C000);
  c->SetShapePenWidth(bar, 0);
  render(*c);
  c->FindShape(bar)->BrushFg = 0xC00000; // not announced
  c->WorldPan(10, -5);                   // the drawing moves 10 left and 5 up
  const QImage scrolled = render(*c);
  EXPECT_EQ(pixel(scrolled, 110, 80), 0x00C000u);
  EXPECT_EQ(countColour(scrolled, QRect(90, 75, 40, 20), 0x00C000), 40 * 20);
  c->WorldPan(0.5, 0);
  const QImage redrawn = render(*c);
  EXPECT_EQ(countColour(redrawn, QRect(0, 0, W, H), 0x00C000), 0);
  EXPECT_NE(countColour(redrawn, QRect(0, 0, W, H), 0xC00000), 0);
}

// What a scroll redraws is looked up by groups of pieces lying together: the bands along
// opposite edges stay apart (one look-up around both would take in the whole view), pieces
// that touch or nearly touch go together, a strip along a slanted line stays in pieces near
// it, and past the limit the region is cut by tiles, or is one rectangle when it covers most
// of the rectangle around it.
TEST(PaintingScroll, DamageIsLookedUpByGroupsOfPiecesLyingTogether) {
  std::vector<QRect> slanted;
  for (int i = 0; i < 20; ++i)
    slanted.push_back(QRect(i * 12, i * 12, 12, 12));
  struct Case {
    const char *name;
    std::vector<QRect> pieces;
    std::size_t most;
    std::vector<QRect> groups;
  };
  const std::vector<Case> cases = {
      {"bands along the top and the bottom",
       {QRect(0, 0, 1280, 13), QRect(0, 787, 1280, 13)},
       64,
       {QRect(0, 0, 1280, 13), QRect(0, 787, 1280, 13)}},
      {"two text boxes a few pixels apart",
       {QRect(600, 0, 40, 13), QRect(610, 20, 40, 12)},
       64,
       {QRect(600, 0, 50, 32)}},
      {"a text box below a band stays apart (the rectangle around both is mostly neither)",
       {QRect(0, 0, 1280, 13), QRect(600, 20, 40, 12)},
       64,
       {QRect(0, 0, 1280, 13), QRect(600, 20, 40, 12)}},
      {"bands along the left and the right",
       {QRect(0, 0, 14, 800), QRect(1266, 0, 14, 800)},
       64,
       {QRect(0, 0, 14, 800), QRect(1266, 0, 14, 800)}},
      {"a strip along a slanted line",
       slanted,
       64,
       {QRect(0, 0, 60, 60), QRect(60, 60, 60, 60), QRect(120, 120, 60, 60),
        QRect(180, 180, 60, 60)}},
      {"more groups than allowed, far apart",
       {QRect(0, 0, 5, 5), QRect(500, 500, 5, 5), QRect(1000, 0, 5, 5)},
       2,
       {QRect(0, 0, 5, 5), QRect(1000, 0, 5, 5), QRect(500, 500, 5, 5)}},
      {"more groups than allowed, covering most of the rectangle around them",
       {QRect(0, 0, 200, 100), QRect(0, 250, 200, 100)},
       1,
       {QRect(0, 0, 200, 350)}},
  };
  for (const Case &c : cases) {
    QRegion region;
    for (const QRect &r : c.pieces)
      region += r;
    std::vector<QRect> groups = canvas::nearbyGroups(region, c.most);
    const auto order = [](const QRect &a, const QRect &b) {
      return std::pair(a.top(), a.left()) < std::pair(b.top(), b.left());
    };
    std::sort(groups.begin(), groups.end(), order);
    EXPECT_EQ(groups, c.groups) << c.name;
  }
}

// Grid coordinates a whole number of pixels from the view's corner lie right on a pixel edge;
// the sums that move the view's edges by whole pixels are rounded, so such a point, line end or
// circle centre may be truncated a pixel off the pan anywhere in the view, far from its edges.
// Each must then be drawn where a full redraw puts it, also with no line across the edges to
// redraw it by chance.
TEST(PaintingScroll, ShapesOnPixelEdgesLandWhereAFullRepaintPutsThem) {
  constexpr double east = 527720.0, north = 6673790.0, px = 1.4; // metres a pixel
  struct Case {
    const char *name;
    int dx, dy; // pixels the view moves right and up at each pan
  };
  const Case cases[] = {{"along x", 1, 0}, {"along y", 0, -1}, {"slanted", 2, 1}};
  for (const Case &k : cases) {
    const auto make = [&] {
      return makeCanvas(W, H, east - 224, north + 168, east - 224 + W * px, north + 168 - H * px,
                        true);
    };
    auto cached = make(), full = make();
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      // Whole multiples of a pixel from the corner, in the middle of the view.
      for (int i = 0; i < 6; ++i) {
        const double x = east - 224 + (40 + i * 30) * px, y = north + 168 - (30 + i * 20) * px;
        c->SetShapePenWidth(c->DrawPoint(x, y, 0), 3);
        c->DrawLine(x + 7 * px, y, x + 7 * px, y - 10 * px, 0);
        c->DrawCircle(x - 8 * px, y - 8 * px, 3 * px, 0);
      }
    }
    render(*cached);
    if (!panAlikeAndCompare(*cached, *full, k.dx * px, k.dy * px, 40, k.name))
      return;
  }
}

// A line whose end lies within a few pixels of the first column or row moves by other than the
// pan when that end crosses it (pixels are truncated toward zero): its pixels change along its
// whole length, with a thin pen or a wide one, and what is drawn anew must hold the old pixels
// and the new, in views whose pixels are square and not.
TEST(PaintingScroll, LinesWhoseEndCrossesTheFirstColumnOrRowAreDrawnAnew) {
  struct Case {
    const char *name;
    double unitY;
    int px, py; // pixels the view moves right and up at each pan
  };
  const Case cases[] = {{"along x", unit, 1, 0},
                        {"along y", unit, 0, 1},
                        {"along x, pixels not square", tallUnit, 1, 0},
                        {"along y, pixels not square", tallUnit, 0, 1}};
  for (const Case &k : cases) {
    const double left = 100, top = 100 + H * k.unitY;
    auto cached = makeCanvas(W, H, left, top, left + W * unit, 100, true);
    auto full = makeCanvas(W, H, left, top, left + W * unit, 100, true);
    for (TTarvikCanvas *c : {cached.get(), full.get()})
      for (int i = 0; i < 6; ++i) {
        const int pen = i % 3 == 0 ? 1 : i % 3 == 1 ? 4 : 9;
        const double f = 0.3 + 0.45 * i; // pixels from the first column or row
        c->SetShapePenWidth(c->DrawLine(left + f * unit, top - (20 + 25 * i) * k.unitY,
                                        left + (W + 30) * unit, top - (H - 10 - 20 * i) * k.unitY,
                                        0),
                            pen);
        c->SetShapePenWidth(c->DrawLine(left + (30 + 35 * i) * unit, top - f * k.unitY,
                                        left + (W - 20 - 30 * i) * unit, top - (H + 40) * k.unitY,
                                        0),
                            pen);
      }
    render(*cached);
    for (int sign : {-1, 1, 1, -1})
      if (!panAlikeAndCompare(*cached, *full, sign * k.px * unit, sign * k.py * k.unitY, 4, k.name))
        return;
  }
}

// A hatched fill put on top of the drawing is drawn by a partial redraw over the image of what
// lies below the topmost shapes. Its hatch is held to the client's corner, so the pans that
// follow may not scroll it: whatever draws it must note that, the partial redraw included.
TEST(PaintingScroll, AHatchPutOnTopIsNotScrolledByThePansAfterIt) {
  struct Case {
    const char *name;
    double x; // the fill's left edge: inside the view, or beyond its right edge
    int px, py;
  };
  const Case cases[] = {
      {"inside the view, pans along x", 120, 1, 0},
      {"inside the view, pans along y", 120, 0, -1},
      {"inside the view, slanted pans", 120, 2, 1},
      {"beyond the right edge, brought in by the pans", W * unit + 2, 3, 0},
  };
  for (const Case &k : cases) {
    auto cached = makeCanvas(W, H, 0, H * unit, W * unit, 0, true);
    auto full = makeCanvas(W, H, 0, H * unit, W * unit, 0, true);
    int top[2] = {0, 0};
    for (int n = 0; n < 2; ++n) {
      TTarvikCanvas &c = n == 0 ? *cached : *full;
      for (int i = 0; i < 40; ++i)
        c.DrawLine(10 + i * 13.1, 20 + (i % 7) * 50, 30 + i * 12.3, 60 + (i % 5) * 60, 0);
      top[n] = c.LayerOpen(QStringLiteral("marks"));
      c.SetLayerBrushStyle(top[n], bsDiagCross);
      c.SetLayerBrushFg(top[n], 0x00A0A0);
    }
    render(*cached);
    // New shapes take the layer's brush: nothing but the shape itself is announced.
    for (int n = 0; n < 2; ++n)
      (n == 0 ? *cached : *full).DrawRectangle(k.x, 150, k.x + 70, 260, top[n]);
    expectSame(render(*cached), fullRepaint(*full), std::string(k.name) + ", put on top");
    if (!panAlikeAndCompare(*cached, *full, k.px * unit, k.py * unit, 8, k.name))
      return;
  }
}
