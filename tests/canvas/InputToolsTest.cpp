// The drawing tools and picking of the canvas, driven by real Qt mouse events: the shapes each
// tool makes, the events it fires with their arguments, and handlers that change the canvas.
#include "InputTestSupport.h"
#include "platform/Abort.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace inputtest;

namespace {

struct ExpectedShape {
  int type;
  double minX, minY, maxX, maxY;
};

struct ToolCase {
  const char *name;
  int mode;
  std::vector<QPoint> clicks; // left clicks, then a right press at (60, 60): world (60, 240)
  std::vector<ExpectedShape> shapes;
  std::vector<std::string> log;
};

TEST(InputTools, EachToolMakesItsShapesAndFiresItsEvents) {
  const std::vector<ToolCase> cases = {
      {"rectangle",
       1,
       {{10, 20}, {50, 80}},
       {{1, 10, 220, 50, 280}},
       {"down 1 0 1 10 280", "begin 1 10 280", "down 1 0 1 50 220", "end 1 60 240"}},
      {"line chain",
       3,
       {{10, 20}, {50, 80}, {90, 20}},
       {{3, 10, 220, 50, 280}, {3, 50, 220, 90, 280}},
       {"down 1 0 3 10 280", "begin 3 10 280", "down 1 0 3 50 220", "down 1 0 3 90 280",
        "end 3 60 240"}},
      {"ellipse",
       4,
       {{10, 20}, {50, 80}},
       {{20, 10, 220, 50, 280}},
       {"down 1 0 4 10 280", "begin 4 10 280", "down 1 0 4 50 220", "end 4 60 240"}},
      {"polyline",
       5,
       {{10, 20}, {50, 80}, {90, 20}},
       {{5, 10, 220, 90, 280}},
       {"down 1 0 5 10 280", "begin 5 10 280", "down 1 0 5 50 220", "down 1 0 5 90 280",
        "end 5 60 240"}},
      {"polygon",
       6,
       {{10, 20}, {50, 80}, {90, 20}},
       {{6, 10, 220, 90, 280}},
       {"down 1 0 6 10 280", "begin 6 10 280", "down 1 0 6 50 220", "down 1 0 6 90 280",
        "end 6 60 240"}},
      {"spline",
       8,
       {{10, 20}, {50, 80}, {90, 20}},
       {{8, 10, 220, 90, 280}},
       {"down 1 0 8 10 280", "begin 8 10 280", "down 1 0 8 50 220", "down 1 0 8 90 280",
        "end 8 60 240"}},
      // The third press finishes the arc without an event; the right press still ends the tool.
      {"three-point arc",
       10,
       {{10, 20}, {50, 80}, {90, 20}},
       {{10, 10, 220, 90, 280}},
       {"down 1 0 10 10 280", "begin 10 10 280", "down 1 0 10 50 220", "down 1 0 10 90 280",
        "end 10 60 240"}},
      // The point leaves the tool at once, so the right press finds nothing engaged.
      {"point",
       17,
       {{10, 20}},
       {{17, 7, 277, 13, 283}},
       {"down 1 0 17 10 280", "end 17 10 280", "down 2 0 0 60 240"}},
      {"circle",
       19,
       {{100, 100}, {103, 104}},
       {{19, 95, 195, 105, 205}},
       {"down 1 0 19 100 200", "begin 19 100 200", "down 1 0 19 103 196", "end 19 60 240"}},
  };
  for (const ToolCase &tc : cases) {
    SCOPED_TRACE(tc.name);
    auto c = makeCanvas();
    Recorder rec(*c);
    c->DrawMode = tc.mode;
    for (QPoint p : tc.clicks) {
      click(*c, p);
      // A tool that is engaged shows the cross; the point tool never engages.
      EXPECT_EQ(screenCursor(), tc.mode == 17 ? -1 : static_cast<int>(Qt::CrossCursor));
    }
    click(*c, {60, 60}, Qt::RightButton);
    EXPECT_EQ(screenCursor(), -1);

    EXPECT_EQ(rec.log, tc.log);
    ASSERT_EQ(c->ShapeCount, static_cast<int>(tc.shapes.size()));
    for (std::size_t i = 0; i < tc.shapes.size(); ++i) {
      const TQShape *s = c->Shapes[static_cast<int>(i)];
      const ExpectedShape &e = tc.shapes[i];
      EXPECT_EQ(s->ShapeType, e.type);
      EXPECT_EQ(s->Layer, 0);
      EXPECT_DOUBLE_EQ(s->MinX, e.minX);
      EXPECT_DOUBLE_EQ(s->MinY, e.minY);
      EXPECT_DOUBLE_EQ(s->MaxX, e.maxX);
      EXPECT_DOUBLE_EQ(s->MaxY, e.maxY);
    }
    EXPECT_EQ(c->DrawMode, 0);
    EXPECT_FALSE(c->RubberBandActive);
    EXPECT_FALSE(c->DrawingInProgress);
    EXPECT_EQ(c->PolylineUnderConstruction, nullptr);
  }
}

TEST(InputTools, PolylineTakesARepeatedPointOnceAndDropsAOnePointLine) {
  auto c = makeCanvas();
  c->DrawMode = 5;
  const QPoint a(10, 20), b(50, 80);
  click(*c, a);
  click(*c, a);
  click(*c, b);
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 1);
  const auto *pl = dynamic_cast<const TQPolyline *>(c->Shapes[0]);
  ASSERT_NE(pl, nullptr);
  ASSERT_EQ(pl->Points.size(), 2u);
  EXPECT_EQ(pl->Points[0].X, 10.0f);
  EXPECT_EQ(pl->Points[0].Y, 280.0f);
  EXPECT_EQ(pl->Points[1].X, 50.0f);
  EXPECT_EQ(pl->Points[1].Y, 220.0f);
  EXPECT_FALSE(pl->Closed);

  // One point only: the polyline goes, its number stays used, OnDrawEnd still fires.
  Recorder rec(*c);
  const std::int32_t next = c->NextShapeNumber;
  c->DrawMode = 5;
  click(*c, {120, 20}); // consumed by the disengaging right press before
  click(*c, {120, 20});
  click(*c, {60, 60}, Qt::RightButton);
  EXPECT_EQ(c->ShapeCount, 1);
  EXPECT_EQ(c->NextShapeNumber, next + 1);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"down 1 0 5 120 280", "down 1 0 5 120 280",
                                               "begin 5 120 280", "end 5 60 240"}));
}

TEST(InputTools, ArcStoppedAfterTwoPointsKeepsATwoPointArcPolyline) {
  auto c = makeCanvas();
  c->DrawMode = 10;
  click(*c, {10, 20});
  click(*c, {50, 80});
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 1);
  EXPECT_EQ(c->Shapes[0]->ShapeType, 10);
  EXPECT_EQ(dynamic_cast<const TQPolyline *>(c->Shapes[0])->Points.size(), 2u);
}

TEST(InputTools, DegenerateRectangleIsMadeButNotTheEllipseOrTheCircle) {
  struct Case {
    int mode;
    QPoint second;
    int shapes;
  };
  const Case cases[] = {
      {1, {10, 15}, 1},                    // same x: a rectangle all the same
      {1, {10, 20}, 0},                    // both corners equal
      {4, {10, 15}, 0},                    // an ellipse needs both sizes
      {4, {12, 15}, 1}, {19, {10, 20}, 0}, // radius 0
  };
  for (const Case &tc : cases) {
    SCOPED_TRACE(tc.mode);
    auto c = makeCanvas();
    c->DrawMode = tc.mode;
    click(*c, {10, 20});
    click(*c, tc.second);
    EXPECT_EQ(c->ShapeCount, tc.shapes);
    // Made or not, the tool waits for the next shape.
    EXPECT_TRUE(c->RubberBandActive);
    EXPECT_FALSE(c->DrawingInProgress);
    EXPECT_EQ(c->DrawMode, tc.mode);
  }
}

TEST(InputTools, KeepDrawModeDecidesWhetherTheToolStays) {
  auto c = makeCanvas();
  c->DrawMode = 17;
  click(*c, {10, 20});
  EXPECT_EQ(c->DrawMode, 0);
  c->DrawMode = 1;
  for (int i = 0; i < 2; ++i) {
    click(*c, {10 + 100 * i, 20});
    click(*c, {50 + 100 * i, 80});
  }
  EXPECT_EQ(c->ShapeCount, 3);
  EXPECT_EQ(c->DrawMode, 1);
  click(*c, {60, 60}, Qt::RightButton);
  EXPECT_EQ(c->DrawMode, 0);

  auto k = makeCanvas();
  k->KeepDrawMode = true;
  k->DrawMode = 17;
  click(*k, {10, 20});
  click(*k, {30, 20});
  EXPECT_EQ(k->ShapeCount, 2);
  k->DrawMode = 5;
  click(*k, {10, 20});
  click(*k, {50, 20});
  click(*k, {60, 60}, Qt::RightButton);
  EXPECT_EQ(k->DrawMode, 5);
  EXPECT_EQ(k->ShapeCount, 3);
}

TEST(InputTools, RightPressesReportOrDisengageAndTheNextLeftPressIsConsumed) {
  auto c = makeCanvas();
  Recorder rec(*c);
  click(*c, {60, 60}, Qt::RightButton);
  EXPECT_EQ(rec.log, std::vector<std::string>{"down 2 0 0 60 240"});
  EXPECT_DOUBLE_EQ(c->LastPressX, 60);
  EXPECT_DOUBLE_EQ(c->LastPressY, 240);

  rec.log.clear();
  c->DrawMode = 3;
  click(*c, {10, 20});
  click(*c, {70, 70}, Qt::RightButton);
  EXPECT_TRUE(c->SkipNextLeftPress);
  EXPECT_DOUBLE_EQ(c->LastPressX, 70);
  c->DrawMode = 3;
  click(*c, {30, 40});
  EXPECT_FALSE(c->SkipNextLeftPress);
  EXPECT_FALSE(c->RubberBandActive);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"down 1 0 3 10 280", "begin 3 10 280",
                                               "end 3 70 230", "down 1 0 3 30 260"}));
  EXPECT_EQ(c->ShapeCount, 0);
}

TEST(InputTools, DoubleClickFinishesAPolylineAtItsFirstPress) {
  auto c = makeCanvas();
  Recorder rec(*c);
  std::vector<std::string> host;
  c->OnMouseDown = [&](QObject *, int b, int, int, int) {
    host.push_back("mousedown " + std::to_string(b));
  };
  c->OnMouseUp = [&](QObject *, int b, int, int, int) {
    host.push_back("mouseup " + std::to_string(b));
  };
  c->OnClick = [&](QObject *) { host.push_back("click"); };
  c->OnDblClick = [&](QObject *) {
    host.push_back("dblclick");
    rec.log.push_back("dblclick");
  };
  c->DrawMode = 5;
  click(*c, {10, 20});
  click(*c, {50, 80});
  click(*c, {90, 20});
  doubleClick(*c, {90, 20});

  ASSERT_EQ(c->ShapeCount, 1);
  EXPECT_EQ(dynamic_cast<const TQPolyline *>(c->Shapes[0])->Points.size(), 3u);
  EXPECT_EQ(c->DrawMode, 0);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"down 1 0 5 10 280", "begin 5 10 280",
                                               "down 1 0 5 50 220", "down 1 0 5 90 280", "dblclick",
                                               "end 5 90 280", "down 1 0 0 90 280"}));
  EXPECT_FALSE(c->SkipNextLeftPress);
  // Each left click is reported before its release; the press of the double click is none.
  const std::vector<std::string> one = {"mousedown 0", "click", "mouseup 0"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i)
    expected.insert(expected.end(), one.begin(), one.end());
  expected.insert(expected.end(), {"dblclick", "mousedown 0", "mouseup 0"});
  EXPECT_EQ(host, expected);
}

TEST(InputTools, PickingWithinToleranceAndWithCtrl) {
  auto c = makeCanvas(); // one world unit a pixel: the pick tolerance is 5 units
  Recorder rec(*c);
  const std::int32_t line = c->DrawLine(100, 150, 300, 150, 0);
  const std::int32_t other = c->DrawPoint(50, 50, 0);

  click(*c, {200, 146}); // 4 units above the line
  EXPECT_EQ(c->SelectedShapes, std::vector<std::int32_t>{line});
  EXPECT_TRUE(c->FindShape(line)->Selected);
  EXPECT_EQ(rec.log.back(), "selected 3 " + std::to_string(line));

  click(*c, {50, 250}); // the point alone replaces the line
  EXPECT_EQ(c->SelectedShapes, std::vector<std::int32_t>{other});
  EXPECT_FALSE(c->FindShape(line)->Selected);

  click(*c, {200, 146}, Qt::LeftButton, Qt::ControlModifier);
  click(*c, {200, 146}, Qt::LeftButton, Qt::ControlModifier);
  EXPECT_EQ(c->SelectedShapes, (std::vector<std::int32_t>{other, line, line}));
  EXPECT_EQ(rec.log.back(), "selected 3 " + std::to_string(line));

  click(*c, {200, 100}, Qt::LeftButton, Qt::ControlModifier); // miss with Ctrl: kept
  EXPECT_EQ(c->SelectedShapes.size(), 3u);
  rec.log.clear();
  click(*c, {200, 144}); // 6 units away: a miss clears
  EXPECT_TRUE(c->SelectedShapes.empty());
  EXPECT_FALSE(c->FindShape(line)->Selected);
  EXPECT_FALSE(c->FindShape(other)->Selected);
  EXPECT_EQ(rec.log, std::vector<std::string>{"down 1 0 0 200 156"});
}

TEST(InputTools, EngagedToolNeverPicks) {
  auto c = makeCanvas();
  c->DrawLine(100, 150, 300, 150, 0);
  c->DrawMode = 1;
  click(*c, {10, 20});
  click(*c, {50, 80});
  c->DrawMode = 0; // without ClearDrawingState the tool stays engaged
  click(*c, {200, 150});
  EXPECT_TRUE(c->SelectedShapes.empty());
}

TEST(InputTools, InteractivePolylinesTakeTheLayersPenAndForPolygonsItsBrush) {
  auto c = makeCanvas();
  const int layer = c->LayerOpen("Route");
  c->SetLayerPenFg(layer, 0x0000FF);
  c->SetLayerPenWidth(layer, 3);
  c->SetLayerPenStyle(layer, 2);
  c->SetLayerBrushFg(layer, 0x00FF00);
  c->SetLayerBrushStyle(layer, bsSolid);
  c->CurrentLayer = layer;
  struct Case {
    int mode, layer;
    TColor pen;
    int width;
    TColor brush;
    TBrushStyle style;
  };
  const Case cases[] = {
      {5, layer, 0x0000FF, 3, 0xFFFFFF, bsClear},
      {6, layer, 0x0000FF, 3, 0x00FF00, bsSolid},
      {6, 42, 0, 1, 0xFFFFFF, bsClear}, // no such layer: its index and a black pen
  };
  for (const Case &tc : cases) {
    SCOPED_TRACE(tc.mode);
    c->CurrentLayer = tc.layer;
    c->DrawMode = tc.mode;
    click(*c, {10, 20});
    click(*c, {50, 80});
    click(*c, {60, 60}, Qt::RightButton);
    const TQShape *s = c->Shapes.back();
    EXPECT_EQ(s->Layer, tc.layer);
    EXPECT_EQ(s->PenFg, tc.pen);
    EXPECT_EQ(s->PenWidth, tc.width);
    EXPECT_EQ(s->PenStyle, 0);
    EXPECT_EQ(s->BrushFg, tc.brush);
    EXPECT_EQ(s->BrushStyle, tc.style);
    EXPECT_EQ(dynamic_cast<const TQPolyline *>(s)->Closed, tc.mode == 6);
    click(*c, {1, 1}); // consume the skipped press
  }
  // The other tools make their shapes through the Draw operations, which put a shape of an
  // unknown layer on "Default".
  c->CurrentLayer = 42;
  c->DrawMode = 1;
  click(*c, {10, 20});
  click(*c, {50, 80});
  EXPECT_EQ(c->Shapes.back()->ShapeType, 1);
  EXPECT_EQ(c->Shapes.back()->Layer, 0);
}

// What the navigation program's drawing handlers do: the first point moves CurrentLayer to the
// user layer, the end turns KeepDrawMode off and, after a selection polygon, abandons the drawing.
TEST(InputTools, HandlersChangingLayerAndModeAtTheStartAndTheEndOfADrawing) {
  auto c = makeCanvas();
  const int user = c->LayerOpen("tarvik_usershape");
  const int selection = c->LayerOpen("Tarvik_SelectPoly");
  c->OnDrawBegin = [&](QObject *, short, double, double) { c->CurrentLayer = user; };
  std::size_t polygonPoints = 0;
  c->OnDrawEnd = [&](QObject *, short type, double, double) {
    c->KeepDrawMode = false;
    if (type == 6) {
      polygonPoints = c->GetLastPolylinePoints().size();
      c->DrawMode = 0;
      c->ClearDrawingState();
    }
  };
  std::vector<std::int32_t> picked;
  c->OnShapeNumberSelected = [&](QObject *, short, std::int32_t n) { picked.push_back(n); };

  // The second corner is placed after the layer changed; the right press leaves the tool, as
  // the handler cleared KeepDrawMode first.
  c->CurrentLayer = 0;
  c->KeepDrawMode = true;
  c->DrawMode = 1;
  click(*c, {10, 20});
  click(*c, {50, 80});
  ASSERT_EQ(c->ShapeCount, 1);
  EXPECT_EQ(c->Shapes[0]->Layer, user);
  click(*c, {60, 60}, Qt::RightButton);
  EXPECT_EQ(c->DrawMode, 0);
  EXPECT_TRUE(c->SkipNextLeftPress);
  click(*c, {30, 20}); // consumed: nothing picked
  EXPECT_TRUE(picked.empty());

  // A polygon keeps the layer of its first point; after the handler abandoned the drawing the
  // next left press is no longer consumed and picks.
  c->CurrentLayer = selection;
  c->DrawMode = 6;
  click(*c, {200, 100});
  click(*c, {300, 100});
  click(*c, {250, 200});
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 2);
  EXPECT_EQ(c->Shapes[1]->Layer, selection);
  EXPECT_EQ(polygonPoints, 3u);
  EXPECT_FALSE(c->SkipNextLeftPress);
  EXPECT_EQ(c->DrawMode, 0);
  click(*c, {30, 20}); // on the rectangle's top edge
  EXPECT_EQ(picked, std::vector<std::int32_t>{c->Shapes[0]->ShapeNumber});
}

TEST(InputTools, OnDrawEndFindsTheNewPolylineOnTopAndMayDeleteIt) {
  auto c = makeCanvas();
  TPointPairVector seen;
  c->OnDrawEnd = [&](QObject *, short, double, double) {
    seen = c->GetLastPolylinePoints();
    c->ShapeDelete(c->Shapes.back()->ShapeNumber);
  };
  c->DrawMode = 5;
  click(*c, {10, 20});
  click(*c, {50, 80});
  click(*c, {60, 60}, Qt::RightButton);
  EXPECT_EQ(seen, (TPointPairVector{{10, 280}, {50, 220}}));
  EXPECT_EQ(c->ShapeCount, 0);
  EXPECT_EQ(c->DrawMode, 0);
}

TEST(InputTools, HandlersMayChangeTheCanvasInTheMiddleOfAPress) {
  // Abandoning the drawing from OnWorldMouseDown: the press starts a new polyline instead.
  auto c = makeCanvas();
  Recorder rec(*c);
  auto recordDown = c->OnWorldMouseDown;
  int downs = 0;
  c->OnWorldMouseDown = [&](QObject *s, short b, short sh, short a, double x, double y) {
    recordDown(s, b, sh, a, x, y);
    if (++downs == 3)
      c->ClearDrawingState();
  };
  c->DrawMode = 5;
  click(*c, {10, 20});
  click(*c, {50, 80});
  click(*c, {90, 20});
  ASSERT_NE(c->PolylineUnderConstruction, nullptr);
  EXPECT_EQ(c->PolylineUnderConstruction->Points.size(), 1u);
  EXPECT_EQ(rec.log.back(), "begin 5 90 280");

  // Deleting the picked shape from OnShapeNumberSelected, and an event that unbinds itself.
  auto d = makeCanvas();
  d->DrawLine(100, 150, 300, 150, 0);
  d->OnShapeNumberSelected = [&](QObject *, short, std::int32_t) {
    d->ShapeSelectDelete();
    d->OnShapeNumberSelected = nullptr;
  };
  click(*d, {200, 150});
  EXPECT_EQ(d->ShapeCount, 0);
  EXPECT_TRUE(d->SelectedShapes.empty());
  EXPECT_FALSE(d->OnShapeNumberSelected);
}

TEST(InputTools, ASwitchOfToolInTheMiddleOfAPolylineKeepsItUntilTheToolIsLeft) {
  auto c = makeCanvas();
  Recorder rec(*c);
  c->DrawMode = 5;
  click(*c, {10, 20});
  click(*c, {50, 80});
  c->DrawMode = 4; // the host's ellipse button: the next press ends an ellipse at the last point
  click(*c, {90, 40});
  ASSERT_EQ(c->ShapeCount, 1);
  EXPECT_EQ(c->Shapes[0]->ShapeType, 20);
  EXPECT_DOUBLE_EQ(c->Shapes[0]->MinX, 50);
  EXPECT_DOUBLE_EQ(c->Shapes[0]->MaxY, 260);
  ASSERT_NE(c->PolylineUnderConstruction, nullptr);
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 2);
  EXPECT_EQ(c->Shapes[1]->ShapeType, 5);
  EXPECT_EQ(dynamic_cast<const TQPolyline *>(c->Shapes[1])->Points.size(), 2u);
  EXPECT_EQ(rec.log.back(), "end 4 60 240");
}

TEST(InputTools, APolylineFinishedAfterTheDrawingWasClearedKeepsNumbersUnique) {
  auto c = makeCanvas();
  c->DrawMode = 5;
  click(*c, {10, 20}); // the polyline takes number 1
  c->CadClearShapes(-1);
  const std::int32_t line = c->DrawLine(0, 0, 10, 10, 0); // numbering restarted: 1 again
  click(*c, {50, 80});
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 2);
  EXPECT_EQ(c->Shapes[0]->ShapeNumber, line);
  EXPECT_NE(c->Shapes[1]->ShapeNumber, line);
  EXPECT_EQ(c->FindShape(c->Shapes[1]->ShapeNumber), c->Shapes[1]);
}

TEST(InputTools, AnExceptionOfAHandlerIsShownAndStaysOutOfQt) {
  QStringList shown;
  auto previous = platform::setExceptionDisplay([&](const QString &t) { shown << t; });
  auto c = makeCanvas();
  c->OnWorldMouseDown = [](QObject *, short, short, short, double, double) {
    throw std::runtime_error("host failed");
  };
  c->DrawMode = 1;
  click(*c, {10, 20});
  platform::setExceptionDisplay(previous);
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].startsWith("host failed"));
  EXPECT_FALSE(c->RubberBandActive); // the press ended with the exception
}

} // namespace
