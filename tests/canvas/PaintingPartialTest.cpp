// A paint after small changes redraws only where they lie, and the depth labels come from an
// image kept between paints: after every step of a sequence the control must show exactly the
// pixels of a canvas built the same way whose back buffer is redrawn whole at every paint.
#include "PaintingTestSupport.h"

#include <QRegion>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace painttest;

namespace {

constexpr int W = 240;
constexpr int H = 180;

// Layers of the fixture, the same in both canvases.
struct Drawing {
  int base = 0;
  int vessel = 0;
  int track = 0;
  int dots = 0;
};

// A drawing with every shape kind, wide pens, a selected shape, a spline swinging past its
// points, points close enough to be thinned and texts.
Drawing populate(TTarvikCanvas &c) {
  Drawing d;
  d.base = c.LayerOpen(QStringLiteral("base"));
  d.vessel = c.LayerOpen(QStringLiteral("vessel"));
  d.track = c.LayerOpen(QStringLiteral("track"));
  d.dots = c.LayerOpen(QStringLiteral("dots"));
  for (int i = 0; i < 12; ++i) {
    c.DrawLine(10 + i * 17, 20, 30 + i * 15, 160, d.base);
    c.DrawCircle(30 + i * 16, 90, 6 + i, d.base);
  }
  const std::int32_t wide = c.DrawLine(20, 140, 220, 40, d.base);
  c.SetShapePenWidth(wide, 7);
  c.SetShapePenFg(wide, 0x00A000);
  const std::int32_t box = c.DrawRectangle(60, 60, 120, 120, d.base);
  c.SetShapeBrushStyle(box, bsSolid);
  c.SetShapeBrushFg(box, 0xE0E0FF);
  c.DrawTwoPointEllipse(130, 50, 200, 100, d.base);
  c.DrawThreePointArc(20, 30, 60, 70, 100, 30, d.base);
  c.DrawPolyline({{150, 150}, {170, 120}, {200, 160}, {230, 110}}, d.base, false);
  const std::int32_t spline =
      c.DrawPolyline({{40, 40}, {80, 45}, {85, 80}, {50, 100}}, d.base, false);
  if (TQShape *s = c.FindShape(spline))
    s->ShapeType = 8;
  c.DrawPolyline({{100, 130}, {140, 150}, {120, 170}}, d.base, true);
  for (int i = 0; i < 40; ++i)
    c.DrawPoint(15 + (i % 10) * 21 + (i / 10) * 0.7, 30 + (i / 10) * 35 + (i % 3) * 0.5, d.dots);
  c.ShapeSelect(c.DrawLine(100, 10, 200, 30, d.base), false);
  c.TextAdd(d.base, QStringLiteral("Harbour"), 110, 95, 0);
  c.TextAdd(d.base, QStringLiteral("Buoy 7"), 40, 60, 0);
  c.TextAdd(d.base, QStringLiteral("Pier"), 150, 75, 0);
  return d;
}

// The navigation program's boat: five lines and two circles, redrawn at each tick.
void drawVessel(TTarvikCanvas &c, const Drawing &d, double x, double y, TColor colour, int width) {
  c.CadClearShapes(d.vessel);
  c.SetLayerPenFg(d.vessel, colour);
  c.SetLayerPenWidth(d.vessel, width);
  c.DrawLine(x, y, x, y + 12, d.vessel);
  c.DrawLine(x, y, x + 5, y - 6, d.vessel);
  c.DrawLine(x, y, x - 5, y - 6, d.vessel);
  c.DrawLine(x, y + 12, x + 5, y - 6, d.vessel);
  c.DrawLine(x, y + 12, x - 5, y - 6, d.vessel);
  c.DrawCircle(x, y, 4, d.vessel);
  c.DrawCircle(x, y, 8, d.vessel);
}

using Step = std::function<void(TTarvikCanvas &, const Drawing &)>;

struct NamedStep {
  std::string name;
  Step apply;
};

// A sequence a survey goes through: the boat moving, tracks growing as lines and as dots
// (thinned and not), restyles, hidden layers, texts, pans, zooms and resizes in between, and
// depth labels coming in.
std::vector<NamedStep> surveySteps() {
  std::vector<NamedStep> steps;
  for (int i = 0; i < 4; ++i)
    steps.push_back({"vessel " + std::to_string(i), [i](TTarvikCanvas &c, const Drawing &d) {
                       drawVessel(c, d, 60 + i * 9, 70 + i * 4, 0x0000C0, 1 + i % 2);
                     }});
  steps.push_back({"track line", [](TTarvikCanvas &c, const Drawing &d) {
                     drawVessel(c, d, 100, 86, 0x0000C0, 2);
                     c.DrawLine(87, 82, 100, 86, d.track);
                     c.SetLayerPenFg(d.track, 0x008080);
                     c.SetLayerPenWidth(d.track, 3);
                   }});
  steps.push_back({"track dots", [](TTarvikCanvas &c, const Drawing &d) {
                     // The second lies within three pixels of the first and is thinned.
                     c.DrawPoint(150.2, 140.3, d.track);
                     c.DrawPoint(151.1, 141.2, d.track);
                     c.DrawPoint(157.0, 141.0, d.track);
                     c.SetLayerPenFg(d.track, 0x800080);
                   }});
  steps.push_back({"dot on a base point", [](TTarvikCanvas &c, const Drawing &d) {
                     c.DrawPoint(15.3, 30.2, d.track);
                     drawVessel(c, d, 104, 90, 0x0000C0, 2);
                   }});
  steps.push_back({"restyle a dotted track", [](TTarvikCanvas &c, const Drawing &d) {
                     c.SetLayerPenWidth(d.track, 1);
                     c.SetLayerPenFg(d.track, 0x00FF00);
                   }});
  steps.push_back({"restyle the base", [](TTarvikCanvas &c, const Drawing &d) {
                     c.SetLayerPenFg(d.base, 0x4040FF);
                     drawVessel(c, d, 110, 92, 0x00C000, 1);
                   }});
  steps.push_back({"hide dots", [](TTarvikCanvas &c, const Drawing &d) {
                     c.FindLayer(d.dots)->Visible = false; // set as the hosts set it
                     drawVessel(c, d, 112, 94, 0x00C000, 1);
                   }});
  steps.push_back({"show dots", [](TTarvikCanvas &c, const Drawing &d) {
                     c.FindLayer(d.dots)->Visible = true;
                     c.Refresh();
                     drawVessel(c, d, 114, 96, 0x00C000, 1);
                   }});
  steps.push_back({"text added", [](TTarvikCanvas &c, const Drawing &d) {
                     c.TextAdd(d.track, QStringLiteral("Fix 12"), 115, 98, 0);
                     drawVessel(c, d, 116, 98, 0x00C000, 1);
                   }});
  steps.push_back({"vessel under a text", [](TTarvikCanvas &c, const Drawing &d) {
                     drawVessel(c, d, 112, 96, 0x00C000, 4);
                   }});
  steps.push_back({"labels", [](TTarvikCanvas &c, const Drawing &d) {
                     c.AddDepthLabel(118, 99, 12.5);
                     c.AddDepthLabel(30, 150, 7.25);
                     drawVessel(c, d, 118, 99, 0x00C000, 1);
                   }});
  steps.push_back({"pan", [](TTarvikCanvas &c, const Drawing &d) {
                     c.WorldPan(7.5, -3.25);
                     drawVessel(c, d, 120, 100, 0x00C000, 1);
                   }});
  steps.push_back({"after pan", [](TTarvikCanvas &c, const Drawing &d) {
                     drawVessel(c, d, 122, 101, 0x0000C0, 2);
                     c.DrawLine(118, 99, 122, 101, d.track);
                     c.AddDepthLabel(122, 101, 13.0);
                   }});
  steps.push_back({"view and grid written directly", [](TTarvikCanvas &c, const Drawing &) {
                     c.WorldLeft += 4.0;
                     c.WorldRight += 4.0;
                     c.GridVisible = !c.GridVisible;
                   }});
  steps.push_back({"grid written back", [](TTarvikCanvas &c, const Drawing &d) {
                     c.GridVisible = !c.GridVisible;
                     drawVessel(c, d, 123, 101, 0x0000C0, 2);
                   }});
  steps.push_back({"zoom in", [](TTarvikCanvas &c, const Drawing &d) {
                     c.WorldZoom(0, 0.5, 120, 100); // twice as close
                     drawVessel(c, d, 124, 102, 0x0000C0, 2);
                   }});
  steps.push_back({"after zoom", [](TTarvikCanvas &c, const Drawing &d) {
                     drawVessel(c, d, 126, 103, 0x0000C0, 2);
                     c.DrawPoint(126, 103, d.track);
                   }});
  steps.push_back({"zoom out", [](TTarvikCanvas &c, const Drawing &d) {
                     c.WorldZoom(0, -0.5, 120, 100); // 1.5 times as far
                     drawVessel(c, d, 128, 104, 0x0000C0, 2);
                   }});
  steps.push_back({"resize", [](TTarvikCanvas &c, const Drawing &d) {
                     c.resize(W + 30, H - 20);
                     drawVessel(c, d, 130, 105, 0x0000C0, 2);
                   }});
  steps.push_back({"after resize", [](TTarvikCanvas &c, const Drawing &d) {
                     drawVessel(c, d, 132, 106, 0x0000C0, 1);
                     c.DrawLine(126, 103, 132, 106, d.track);
                     c.AddDepthLabel(132, 106, 14.5);
                   }});
  steps.push_back({"clear the track", [](TTarvikCanvas &c, const Drawing &d) {
                     c.CadClearShapes(d.track);
                     drawVessel(c, d, 134, 107, 0x0000C0, 1);
                   }});
  steps.push_back(
      {"vessel gone", [](TTarvikCanvas &c, const Drawing &d) { c.CadClearShapes(d.vessel); }});
  return steps;
}

struct Variant {
  bool navigation;
  bool grid;
  int gridMode;
  bool labels;
};

std::string describe(const Variant &s) {
  return std::string(s.navigation ? "navigation" : "editor") +
         (s.grid ? " grid mode " + std::to_string(s.gridMode) : " no grid") +
         (s.labels ? " labels" : "");
}

std::unique_ptr<TTarvikCanvas> build(const Variant &s, Drawing &d) {
  auto c = makeCanvas(W, H, 0, 180, 240, 0, s.navigation);
  c->GridVisible = s.grid;
  c->GridMode = s.gridMode;
  c->GridAutoScale = false;
  c->GridSpacingX = c->GridSpacingY = 50.0;
  c->GridColor = 0x808080;
  d = populate(*c);
  if (s.labels) {
    c->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 9, 0x800000);
    for (int i = 0; i < 60; ++i)
      c->AddDepthLabel(8 + (i % 10) * 23.5, 12 + (i / 10) * 29.0, 3.0 + i * 0.7);
  }
  return c;
}

// What a literal repaint shows: the whole back buffer redrawn, the labels drawn anew.
} // namespace

TEST(PaintingPartial, EveryStepShowsTheSamePixelsAsAFullRepaint) {
  std::vector<Variant> setups;
  for (bool navigation : {true, false})
    for (int grid : {-1, 0, 1})
      for (bool labels : {false, true})
        setups.push_back(Variant{navigation, grid >= 0, std::max(grid, 0), labels});
  const std::vector<NamedStep> steps = surveySteps();
  for (const Variant &s : setups) {
    Drawing dc, df;
    auto cached = build(s, dc);
    auto full = build(s, df);
    expectSame(render(*cached), fullRepaint(*full), describe(s) + ", start");
    for (const NamedStep &step : steps) {
      step.apply(*cached, dc);
      step.apply(*full, df);
      expectSame(render(*cached), fullRepaint(*full), describe(s) + ", " + step.name);
      // A second paint with nothing changed shows the same again.
      expectSame(render(*cached), render(*full), describe(s) + ", " + step.name + " again");
    }
  }
}

// The boat moving over a still view redraws only around it: a change nobody announced
// elsewhere stays unseen until a full repaint, while the boat's new place shows.
TEST(PaintingPartial, AMovingBoatRedrawsOnlyAroundIt) {
  auto c = makeCanvas(W, H, 0, 180, 240, 0, true);
  Drawing d;
  d.vessel = c->LayerOpen(QStringLiteral("vessel"));
  drawVessel(*c, d, 60, 70, 0x0000C0, 1);
  const std::int32_t far = c->DrawLine(200, 170, 230, 170, 0);
  render(*c);
  c->FindShape(far)->Visible = false; // not announced
  drawVessel(*c, d, 62, 72, 0x0000C0, 1);
  const QImage partial = render(*c);
  EXPECT_NE(countColour(partial, QRect(200, 8, 30, 5), clBlack), 0) << "whole buffer redrawn";
  EXPECT_NE(countColour(partial, QRect(55, 98, 15, 20), 0x0000C0), 0) << "boat not drawn";
  EXPECT_EQ(countColour(partial, QRect(52, 100, 2, 20), 0x0000C0), 0) << "old boat left";
  const QImage whole = fullRepaint(*c);
  EXPECT_EQ(countColour(whole, QRect(200, 8, 30, 5), clBlack), 0);
}

// Thousands of changed shapes (a whole track layer restyled) redraw the back buffer whole,
// with the same result.
TEST(PaintingPartial, ManyChangesRedrawTheWhole) {
  Drawing dc, df;
  auto cached = build(Variant{true, true, 0, true}, dc);
  auto full = build(Variant{true, true, 0, true}, df);
  for (TTarvikCanvas *c : {cached.get(), full.get()})
    for (int i = 0; i < 600; ++i)
      c->DrawLine(5 + (i % 40) * 5.7, 5 + (i / 40) * 11.3, 9 + (i % 40) * 5.7, 8 + (i / 40) * 11.3,
                  dc.track);
  render(*cached);
  fullRepaint(*full);
  for (TTarvikCanvas *c : {cached.get(), full.get()})
    c->SetLayerPenFg(dc.track, 0x0080FF);
  expectSame(render(*cached), fullRepaint(*full), "track restyle");
}

// While the distance measure shows, the labels are drawn over it as they stand; once it ends
// the kept image comes back without its traces.
TEST(PaintingPartial, LabelsOverTheDistanceMeasureStayExact) {
  Drawing dc, df;
  auto cached = build(Variant{true, false, 0, true}, dc);
  auto full = build(Variant{true, false, 0, true}, df);
  for (int round = 0; round < 3; ++round) {
    for (TTarvikCanvas *c : {cached.get(), full.get()}) {
      drawVessel(*c, dc, 50 + round * 10, 60, 0x0000C0, 1);
      if (round == 1) {
        c->StartDistanceMeasure(40, 40);
        c->UpdateDistanceMeasure(120, 100, 100.0, 53.1);
      } else if (round == 2) {
        c->EndDistanceMeasure();
      }
    }
    expectSame(render(*cached), fullRepaint(*full), "round " + std::to_string(round));
  }
}

// Near the cap on draws per redraw, shapes put on top are drawn only as far as a full redraw
// would draw them.
TEST(PaintingPartial, ShapesBeyondTheDrawCapStayUndrawn) {
  struct Case {
    int fillers;
    int added;
  };
  for (const Case &t : {Case{500000, 2}, Case{499995, 10}}) {
    auto c = makeCanvas(20, 20, 0, 20, 20, 0, true);
    for (int i = 0; i < t.fillers; ++i)
      c->DrawLine(0, 10.5, 20, 10.5, 0);
    const int top = c->LayerOpen(QStringLiteral("top"));
    c->SetLayerPenFg(top, clRed);
    render(*c);
    for (int i = 0; i < t.added; ++i)
      c->DrawLine(0, 1.5 + i, 20, 1.5 + i, top);
    ASSERT_FALSE(c->BackBufferDirty);
    const QImage shown = render(*c);
    const QImage full = fullRepaint(*c);
    EXPECT_EQ(firstDifference(shown, full, full.rect()), QPoint(-1, -1)) << t.fillers;
    EXPECT_EQ(countColour(full, QRect(0, 0, 20, 20), clRed) > 0, t.fillers < 500000);
  }
}

// Over a still view the boat is drawn over a kept image of everything below it; shapes put on
// top since, restyles of older shapes (which spoil the image) and thinned dots all keep the
// pixels of a full repaint, tick after tick.
TEST(PaintingPartial, ManyTicksOverAStillViewShowWhatAFullRepaintShows) {
  for (bool labels : {false, true}) {
    Drawing dc, df;
    auto cached = build(Variant{true, true, 0, labels}, dc);
    auto full = build(Variant{true, true, 0, labels}, df);
    for (int tick = 0; tick < 40; ++tick) {
      for (TTarvikCanvas *c : {cached.get(), full.get()}) {
        const double x = 40 + tick * 3.5, y = 50 + tick * 2.25;
        drawVessel(*c, dc, x, y, tick % 10 < 5 ? 0x0000C0 : 0xC00000, 1 + tick % 3);
        if (tick % 4 == 3)
          c->DrawLine(x - 3.5, y - 2.25, x, y, dc.track);
        if (tick % 7 == 6) {
          c->DrawPoint(x + 0.3, y - 5, dc.dots);
          c->DrawPoint(x + 0.9, y - 5.4, dc.dots); // thinned
        }
        if (tick == 17)
          c->SetLayerPenFg(dc.track, 0x00A0A0);
        if (tick == 23)
          c->SetShapePenWidth(c->Shapes[3]->ShapeNumber, 4); // an old shape: a full redraw
        if (tick == 29)
          c->SetLayerPenWidth(dc.dots, 2); // old dots restyled in place
        if (labels && tick % 5 == 0)
          c->AddDepthLabel(x, y, 4.0 + tick * 0.1);
      }
      expectSame(render(*cached), fullRepaint(*full), "tick " + std::to_string(tick));
    }
  }
}

// The boat redrawn at every tick over a still view: each tick's shapes take the place, and often
// the very addresses, of the last tick's. Once the kept image below them is made it serves every
// tick after; a shape found at a freed shape's address is the new shape, not a change below.
TEST(PaintingPartial, ABoatRedrawnTickAfterTickKeepsTheImageBelowIt) {
  Drawing d;
  auto c = build(Variant{true, true, 0, true}, d);
  const auto tick = [&](int i) {
    drawVessel(*c, d, 40 + (i % 50) * 2.5, 50 + (i % 50) * 1.5, 0x0000C0, 1);
    render(*c);
  };
  for (int i = 0; i < 20; ++i)
    tick(i);
  const std::uint64_t settled = c->fullRedrawCount();
  for (int i = 20; i < 400; ++i)
    tick(i);
  EXPECT_EQ(c->fullRedrawCount(), settled);
  const QImage shown = render(*c);
  expectSame(shown, fullRepaint(*c), "after 400 ticks");
}
