// Pan, zoom window, drag zoom and wheel zoom of the canvas in both variants, the mouse-move
// report, double clicks on the view, the Delete and Escape keys and the screen cursor, driven by
// real Qt events.
#include "InputTestSupport.h"
#include "canvas/InputKeys.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace inputtest;

namespace {

TEST(InputView, ZoomWindowOnTheDefaultView) {
  auto c = makeCanvas(false, false);
  Recorder rec(*c);
  c->DrawMode = -3;
  click(*c, {1, 300}); // world (2.5, 0)
  EXPECT_EQ(screenCursor(), Qt::CrossCursor);
  c->WorldSet(0, 1000, 1000, 0);
  click(*c, {2, 300}); // a window 2.5 wide but 0 high: ignored
  EXPECT_DOUBLE_EQ(c->WorldRight, 1000);
  EXPECT_EQ(c->DrawMode, 0);
  EXPECT_EQ(screenCursor(), -1);

  c->DrawMode = -3;
  press(*c, {40, 270}); // world (100, 100)
  release(*c, {40, 270});
  QTest::mousePress(c.get(), Qt::LeftButton, {}, {0, 300}); // world (0, 0)
  release(*c, {0, 300});
  EXPECT_NEAR(c->WorldLeft, -16.6667, 1e-4);
  EXPECT_NEAR(c->WorldRight, 116.6667, 1e-4);
  EXPECT_DOUBLE_EQ(c->WorldBottom, 0);
  EXPECT_DOUBLE_EQ(c->WorldTop, 100);
  EXPECT_TRUE(c->BackBufferDirty);
  EXPECT_FALSE(c->RubberBandActive);
  EXPECT_EQ(c->DrawMode, 0);
  // No draw events for the zoom window.
  for (const std::string &line : rec.log)
    EXPECT_EQ(line.rfind("down ", 0), 0u) << line;

  // With KeepDrawMode the tool stays for the next window.
  c->KeepDrawMode = true;
  c->DrawMode = -3;
  click(*c, {100, 100});
  click(*c, {300, 200});
  EXPECT_EQ(c->DrawMode, -3);
  EXPECT_FALSE(c->RubberBandActive);
  EXPECT_EQ(screenCursor(), -1);
}

struct DragCase {
  const char *name;
  bool navigation;
  int mode;           // -2 pan with the left button, else a middle-button pan
  QPoint move;        // from the press at (200, 150)
  double dLeft, dTop; // expected change of the view
};

TEST(InputView, PanTakesAStepOnlyOutsideTheDeadZone) {
  const DragCase cases[] = {
      {"editor 4 px", false, 0, {4, 4}, 0, 0},
      {"editor 5 px", false, 0, {5, 0}, -5, 0},
      {"editor 5 px down", false, 0, {0, 5}, 0, 5},
      {"editor left in pan mode", false, -2, {-6, 0}, 6, 0},
      {"navigation 2 px", true, 0, {2, -2}, 0, 0},
      {"navigation 3 px", true, 0, {3, 0}, -3, 0},
      {"navigation 3 px up", true, -2, {0, -3}, 0, -3},
  };
  for (const DragCase &tc : cases) {
    SCOPED_TRACE(tc.name);
    auto c = makeCanvas(tc.navigation);
    const Qt::MouseButton button = tc.mode == -2 ? Qt::LeftButton : Qt::MiddleButton;
    c->DrawMode = tc.mode;
    const QPoint start(200, 150);
    press(*c, start, button);
    EXPECT_TRUE(c->Panning);
    EXPECT_EQ(screenCursor(), Qt::SizeAllCursor);
    moveTo(*c, start + tc.move, button);
    EXPECT_DOUBLE_EQ(c->WorldLeft, tc.dLeft);
    EXPECT_DOUBLE_EQ(c->WorldTop, 300 + tc.dTop);
    EXPECT_DOUBLE_EQ(c->WorldRight - c->WorldLeft, 400);
    const bool stepped = tc.dLeft != 0 || tc.dTop != 0;
    EXPECT_EQ(c->FInteracting, stepped && !tc.navigation);
    (void)c->grab(); // a paint clears the dirty flag
    release(*c, start + tc.move, button);
    EXPECT_FALSE(c->Panning);
    EXPECT_FALSE(c->FInteracting);
    EXPECT_EQ(screenCursor(), -1);
    // Only the editor redraws once more, with the texts the drag left out.
    EXPECT_EQ(c->BackBufferDirty, !tc.navigation);
  }
}

TEST(InputView, SlowPanMovesAddUpFromTheAnchor) {
  auto c = makeCanvas();
  Recorder rec(*c, true);
  press(*c, {200, 150}, Qt::MiddleButton);
  for (int x = 201; x <= 204; ++x)
    moveTo(*c, {x, 150}, Qt::MiddleButton);
  EXPECT_DOUBLE_EQ(c->WorldLeft, 0);
  moveTo(*c, {205, 150}, Qt::MiddleButton);
  EXPECT_DOUBLE_EQ(c->WorldLeft, -5);
  // The move reports the point of the view before its own step.
  EXPECT_EQ(rec.log.back(), "move 0 205 150 5 0");
  moveTo(*c, {209, 150}, Qt::MiddleButton); // 4 from the new anchor
  EXPECT_DOUBLE_EQ(c->WorldLeft, -5);
  EXPECT_EQ(rec.log.back(), "move 0 204 150 4 0");
  release(*c, {209, 150}, Qt::MiddleButton);
}

TEST(InputView, DragZoomStepsOnVerticalMovesOutsideTheDeadZone) {
  struct Case {
    const char *name;
    bool navigation;
    QPoint move;
    double width; // view width after the move, from 400
  };
  const Case cases[] = {
      {"editor 5 up", false, {0, -5}, 400},    {"editor 6 up", false, {0, -6}, 376},
      {"editor 6 down", false, {0, 6}, 424},   {"editor sideways", false, {30, 0}, 400},
      {"navigation 3 up", true, {0, -3}, 400}, {"navigation 4 up", true, {0, -4}, 384},
  };
  for (const Case &tc : cases) {
    SCOPED_TRACE(tc.name);
    auto c = makeCanvas(tc.navigation);
    c->DrawMode = -4;
    press(*c, {200, 150});
    EXPECT_TRUE(c->DragZooming);
    EXPECT_EQ(screenCursor(), -1);
    moveTo(*c, QPoint(200, 150) + tc.move, Qt::LeftButton);
    EXPECT_NEAR(c->WorldRight - c->WorldLeft, tc.width, 1e-9);
    // About the centre of the view.
    EXPECT_NEAR((c->WorldLeft + c->WorldRight) / 2, 200, 1e-9);
    EXPECT_NEAR((c->WorldTop + c->WorldBottom) / 2, 150, 1e-9);
    EXPECT_EQ(c->FInteracting, !tc.navigation && tc.width != 400);
    (void)c->grab(); // a paint clears the dirty flag
    release(*c, QPoint(200, 150) + tc.move);
    EXPECT_FALSE(c->DragZooming);
    EXPECT_FALSE(c->FInteracting);
    EXPECT_EQ(c->BackBufferDirty, !tc.navigation);
  }
}

TEST(InputView, WheelZoomsOneNotchPerEventAboutTheCursor) {
  struct Case {
    const char *name;
    QPoint delta;
    Qt::KeyboardModifiers modifiers;
    bool taken;
    double width;
  };
  const Case cases[] = {
      {"away from the user", {0, 120}, {}, true, 360},
      {"towards the user", {0, -120}, {}, true, 440},
      {"a fast turn is one notch", {0, 480}, {}, true, 360},
      {"a touchpad's fine step too", {0, 3}, {}, true, 360},
      {"no vertical turn", {0, 0}, {}, false, 400},
      {"horizontal scrolling", {120, 0}, {}, false, 400},
      // Qt turns the wheel with Alt held into a horizontal one.
      {"the wheel with Alt held", {-120, 0}, Qt::AltModifier, true, 440},
      {"with Alt and Ctrl held", {0, 120}, Qt::AltModifier | Qt::ControlModifier, true, 360},
  };
  for (const Case &tc : cases) {
    SCOPED_TRACE(tc.name);
    auto c = makeCanvas();
    const QPoint p(100, 100); // world (100, 200)
    EXPECT_EQ(wheel(*c, p, tc.delta, tc.modifiers), tc.taken);
    EXPECT_NEAR(c->WorldRight - c->WorldLeft, tc.width, 1e-9);
    double wx = 0, wy = 0;
    c->ScreenToWorld(p.x(), p.y(), wx, wy);
    EXPECT_NEAR(wx, 100, 1e-9);
    EXPECT_NEAR(wy, 200, 1e-9);
    EXPECT_FALSE(c->FInteracting);
  }
  // The handler itself zooms out for a delta of 0.
  auto c = makeCanvas();
  const QPoint g = c->mapToGlobal(QPoint(100, 100));
  EXPECT_EQ(c->WMMouseWheel(0, g.x(), g.y()), 1);
  EXPECT_NEAR(c->WorldRight - c->WorldLeft, 440, 1e-9);
}

TEST(InputView, MouseMoveReportsDistanceAndDirectionFromTheLastPress) {
  auto c = makeCanvas();
  Recorder rec(*c, true);
  click(*c, {100, 100}, Qt::RightButton); // world (100, 200)
  rec.log.clear();
  moveTo(*c, {100, 100});
  moveTo(*c, {100, 150});
  moveTo(*c, {130, 60}, {}, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(rec.log, (std::vector<std::string>{"move 0 100 200 0 0", "move 0 100 150 50 -90",
                                               "move 3 130 240 50 53.1301"}));
  EXPECT_EQ(c->LastMouseX, 130);
  EXPECT_EQ(c->LastMouseY, 60);
}

TEST(InputView, RubberBandFollowsTheMouseWithoutARedrawOfTheShapes) {
  auto c = makeCanvas();
  c->DrawMode = 1;
  click(*c, {10, 20});
  (void)c->grab();
  ASSERT_FALSE(c->BackBufferDirty);
  moveTo(*c, {50, 80});
  EXPECT_DOUBLE_EQ(c->RubberCurrentX, 50);
  EXPECT_DOUBLE_EQ(c->RubberCurrentY, 220);
  EXPECT_FALSE(c->BackBufferDirty);
}

// A move's world point is taken once, before OnWorldMouseMove runs; a handler that moves the
// view changes neither the rubber band's end nor the point the pan step starts from.
TEST(InputView, AMoveKeepsItsWorldPointWhenTheHandlerMovesTheView) {
  struct Case {
    const char *name;
    int mode;         // 1 rectangle (a click engages the band), -2 pan (a press drags)
    int moveX;        // the move's pixel column, on row 150
    double rubberX;   // where the band ends
    double worldLeft; // the view after the handler's shift of 100 and the move's own step
  };
  const Case cases[] = {
      // The band ends at the reported point, not at the pixel in the moved view (150).
      {"rubber band", 1, 50, 50, 100},
      // The anchor pixel 200 is world 300 in the moved view; the step is 300 - 205.
      {"pan step", -2, 205, 200, 100 + 95},
  };
  for (const Case &tc : cases) {
    SCOPED_TRACE(tc.name);
    auto c = makeCanvas();
    c->DrawMode = tc.mode;
    press(*c, {200, 150});
    Qt::MouseButtons held = Qt::LeftButton;
    if (tc.mode == 1) {
      release(*c, {200, 150});
      held = Qt::NoButton;
    }
    std::vector<double> reported;
    c->OnWorldMouseMove = [&](QObject *, short, double x, double, double, double) {
      reported.push_back(x);
      c->WorldPan(100, 0);
    };
    moveTo(*c, {tc.moveX, 150}, held);
    EXPECT_EQ(reported, std::vector<double>{double(tc.moveX)});
    EXPECT_DOUBLE_EQ(c->RubberCurrentX, tc.rubberX);
    EXPECT_DOUBLE_EQ(c->WorldLeft, tc.worldLeft);
  }
}

TEST(InputView, MiddleDragPansInTheMiddleOfAPolyline) {
  auto c = makeCanvas();
  c->DrawMode = 5;
  click(*c, {10, 20}); // world (10, 280)
  press(*c, {200, 150}, Qt::MiddleButton);
  moveTo(*c, {190, 150}, Qt::MiddleButton); // the view moves 10 to the right
  release(*c, {190, 150}, Qt::MiddleButton);
  EXPECT_DOUBLE_EQ(c->WorldLeft, 10);
  EXPECT_TRUE(c->DrawingInProgress);
  click(*c, {40, 20}); // world (50, 280)
  click(*c, {60, 60}, Qt::RightButton);
  ASSERT_EQ(c->ShapeCount, 1);
  const auto *pl = dynamic_cast<const TQPolyline *>(c->Shapes[0]);
  ASSERT_EQ(pl->Points.size(), 2u);
  EXPECT_EQ(pl->Points[1].X, 50.0f);
}

TEST(InputView, DoubleClickWithoutAToolCentresTheView) {
  auto c = makeCanvas();
  c->OnWorldMouseDown = [](QObject *, short, short, short, double, double) {};
  click(*c, {100, 100});
  doubleClick(*c, {100, 100}); // world (100, 200)
  EXPECT_DOUBLE_EQ((c->WorldLeft + c->WorldRight) / 2, 100);
  EXPECT_DOUBLE_EQ((c->WorldTop + c->WorldBottom) / 2, 200);
  EXPECT_DOUBLE_EQ(c->WorldRight - c->WorldLeft, 400);
}

TEST(InputView, DoubleClickAfterAMiddlePressFitsOnlyTheEditorsView) {
  for (bool navigation : {false, true}) {
    SCOPED_TRACE(navigation);
    auto c = makeCanvas(navigation);
    c->DrawRectangle(1000, 1000, 1100, 1100, 0);
    click(*c, {200, 150}, Qt::MiddleButton);
    moveTo(*c, {100, 100});
    c->DblClick();
    if (navigation) {
      EXPECT_DOUBLE_EQ(c->WorldLeft, -100); // centred on (100, 200)
    } else {
      EXPECT_LT(c->WorldLeft, 1000); // fitted to the rectangle
      EXPECT_GT(c->WorldLeft, 900);
    }
  }
  // Qt's middle double click is a press, as on the original platform: it starts a pan.
  auto c = makeCanvas();
  QTest::mouseDClick(c.get(), Qt::MiddleButton, {}, {200, 150});
  EXPECT_TRUE(c->Panning);
  EXPECT_DOUBLE_EQ(c->WorldLeft, 0);
  release(*c, {200, 150}, Qt::MiddleButton);
}

TEST(InputView, EscapeAbandonsTheDrawingSilently) {
  auto c = makeCanvas();
  Recorder rec(*c);
  c->DrawMode = 5;
  click(*c, {10, 20});
  click(*c, {50, 80});
  rec.log.clear();
  QTest::keyClick(c.get(), Qt::Key_Escape);
  EXPECT_EQ(c->PolylineUnderConstruction, nullptr);
  EXPECT_FALSE(c->DrawingInProgress);
  EXPECT_FALSE(c->RubberBandActive);
  EXPECT_FALSE(c->SkipNextLeftPress);
  EXPECT_EQ(c->DrawMode, 5);
  EXPECT_EQ(c->ShapeCount, 0);
  EXPECT_EQ(screenCursor(), -1);
  EXPECT_TRUE(rec.log.empty());
  click(*c, {90, 20});
  EXPECT_EQ(rec.log, (std::vector<std::string>{"down 1 0 5 90 280", "begin 5 90 280"}));

  // A finished rectangle leaves only the band engaged; Escape ends that too.
  auto r = makeCanvas();
  r->DrawMode = 1;
  click(*r, {10, 20});
  click(*r, {50, 80});
  ASSERT_TRUE(r->RubberBandActive);
  QTest::keyClick(r.get(), Qt::Key_Escape);
  EXPECT_FALSE(r->RubberBandActive);
  EXPECT_EQ(r->DrawMode, 1);
  EXPECT_EQ(r->ShapeCount, 1);
}

TEST(InputView, DeleteKeyDeletesTheSelectionOnlyWhenEnabled) {
  auto c = makeCanvas();
  c->DrawLine(100, 150, 300, 150, 0);
  c->DrawPoint(50, 50, 0);
  click(*c, {200, 150});
  ASSERT_EQ(c->SelectedShapes.size(), 1u);
  QTest::keyClick(c.get(), Qt::Key_Delete);
  EXPECT_EQ(c->ShapeCount, 2);

  c->DeleteKeyEnabled = true;
  std::vector<int> keys;
  c->OnKeyDown = [&](QObject *, std::uint16_t &key, int shift) {
    keys.push_back(key * 10 + shift);
    if (shift == 2)
      key = 0; // the host takes Ctrl+Delete for itself
  };
  QTest::keyClick(c.get(), Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(c->ShapeCount, 2);
  QTest::keyClick(c.get(), Qt::Key_Delete);
  EXPECT_EQ(c->ShapeCount, 1);
  EXPECT_TRUE(c->SelectedShapes.empty());
  EXPECT_EQ(keys, (std::vector<int>{172, 462, 460})); // Ctrl itself, Ctrl+Delete, Delete
}

TEST(InputView, ExceptionsInTheKeyHandlerAreDropped) {
  auto c = makeCanvas();
  c->OnKeyDown = [](QObject *, std::uint16_t &, int) { throw std::runtime_error("key"); };
  c->DrawMode = 5;
  click(*c, {10, 20});
  QTest::keyClick(c.get(), Qt::Key_Escape);
  EXPECT_TRUE(c->DrawingInProgress); // the host's handler failed before the canvas acted
}

TEST(InputView, ButtonAndShiftCodesOfThePress) {
  struct Case {
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    const char *expected;
  };
  const Case cases[] = {
      {Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier, "down 1 3 0 100 200"},
      {Qt::RightButton, Qt::AltModifier, "down 2 4 0 100 200"},
      {Qt::MiddleButton, Qt::KeypadModifier, "down 4 0 0 100 200"},
  };
  for (const Case &tc : cases) {
    auto c = makeCanvas();
    Recorder rec(*c);
    click(*c, {100, 100}, tc.button, tc.modifiers);
    EXPECT_EQ(rec.log, std::vector<std::string>{tc.expected});
  }
}

TEST(InputView, KeysReachTheHostAsVirtualKeyCodes) {
  struct Case {
    int key;
    Qt::KeyboardModifiers modifiers;
    int vk;
  };
  const Case cases[] = {
      {Qt::Key_Escape, {}, 27},  {Qt::Key_Delete, {}, 46},
      {Qt::Key_A, {}, 65},       {Qt::Key_Z, Qt::ShiftModifier, 90},
      {Qt::Key_5, {}, 53},       {Qt::Key_5, Qt::KeypadModifier, 101},
      {Qt::Key_F1, {}, 112},     {Qt::Key_F12, {}, 123},
      {Qt::Key_Left, {}, 37},    {Qt::Key_Down, {}, 40},
      {Qt::Key_Return, {}, 13},  {Qt::Key_Space, {}, 32},
      {Qt::Key_Control, {}, 17}, {Qt::Key_Plus, Qt::KeypadModifier, 107},
      {Qt::Key_Minus, {}, 189},  {Qt::Key_Exclam, Qt::ShiftModifier, 49},
      {Qt::Key_Print, {}, 44},   {Qt::Key_Printer, {}, 42},
      {Qt::Key_unknown, {}, 0},
  };
  for (const Case &tc : cases)
    EXPECT_EQ(canvas::virtualKeyOf(tc.key, tc.modifiers), tc.vk) << tc.key;

  auto c = makeCanvas();
  std::vector<std::string> keys;
  c->OnKeyDown = [&](QObject *, std::uint16_t &k, int s) {
    keys.push_back("down " + std::to_string(k) + " " + std::to_string(s));
  };
  c->OnKeyUp = [&](QObject *, std::uint16_t &k, int s) {
    keys.push_back("up " + std::to_string(k) + " " + std::to_string(s));
  };
  // A modifier key counts as held while it is down, as Windows reports it.
  QTest::keyClick(c.get(), Qt::Key_G, Qt::AltModifier);
  EXPECT_EQ(keys, (std::vector<std::string>{"down 18 4", "down 71 4", "up 71 4", "up 18 0"}));
}

} // namespace
