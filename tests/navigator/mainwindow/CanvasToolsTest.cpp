// The main window's drawing tools, view commands, wheel, distance measure, click readout,
// selection by polygon, delete commands, the pause of the map while a shape is drawn and the
// compact display toggled on the GGA box, driven through the real canvas and real Qt events.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSpontaneKeyEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

// ---- Plane geometry of the readout

TEST(PlanarGeometry, BearingIsClockwiseFromGridNorthWhenNorthingsComeFirst) {
  struct Case {
    const char *name;
    double x, y; // the second point; the first is (0, 0)
    double bearing;
  };
  const Case cases[] = {
      {"north", 0, 1, 0},          {"north-east", 1, 1, pi / 4},
      {"east", 1, 0, pi / 2},      {"south-east", 1, -1, 3 * pi / 4},
      {"south", 0, -1, pi},        {"south-west", -1, -1, 5 * pi / 4},
      {"west", -1, 0, 3 * pi / 2}, {"north-west", -1, 1, 7 * pi / 4},
      {"same point", 0, 0, 0},     {"a step east of north", 1, 1e6, 1e-6},
  };
  for (const Case &c : cases) {
    const double b = PlanarBearing(0, 0, c.y, c.x);
    EXPECT_NEAR(b, c.bearing, 1e-12) << c.name;
    EXPECT_GE(b, 0) << c.name;
    EXPECT_LT(b, 2 * pi) << c.name;
  }
  // The same directions at projected-grid magnitudes.
  EXPECT_NEAR(PlanarBearing(4551234.5, 512345.5, 4551134.5, 512345.5), pi, 1e-12);
  EXPECT_NEAR(PlanarBearing(4551234.5, 512345.5, 4551234.5, 512245.5), 3 * pi / 2, 1e-12);
}

TEST(PlanarGeometry, Distance) {
  struct Case {
    double x1, y1, x2, y2, d;
  };
  const Case cases[] = {
      {0, 0, 3, 4, 5},
      {3, 4, 0, 0, 5},
      {-1, -1, 2, 3, 5},
      {7, 7, 7, 7, 0},
      {512345.25, 4551234.5, 512348.25, 4551238.5, 5},
      // Squares far beyond a double's range: the sum is formed in extended precision.
      {0, 0, 3e200, 4e200, 5e200},
  };
  for (const Case &c : cases)
    EXPECT_DOUBLE_EQ(PlanarDistance(c.x1, c.y1, c.x2, c.y2), c.d) << c.x2 << " " << c.y2;
}

// ---- The main window on a 400 x 300 canvas

class CanvasToolsTest : public NavigatorTest {
protected:
  CanvasToolsTest() {
    createWindows();
    nav = windows->FNav;
    cad = nav->fcad;
    nav->EnsureNavigationLayers(cad);
    // The window is not shown, so no layout changes the canvas's size.
    cad->resize(400, 300);
  }
  ~CanvasToolsTest() override { GGAOverlayText = savedGga_; }

  // One world unit per pixel: the pixel (px, py) is the world point (left + px, top - py).
  void oneToOne(double left = 0, double bottom = 0) {
    cad->WorldSet(left, bottom + 300, left + 400, bottom);
  }
  QPoint pixel(double x, double y) const {
    int sx = 0, sy = 0;
    cad->WorldToScreen(x, y, sx, sy);
    return {sx, sy};
  }
  void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(cad, b, {}, p); }
  void moveTo(QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(cad->mapToGlobal(p)), Qt::NoButton,
                  Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(cad, &e);
  }
  // A wheel notch as the window system delivers it: to the control under the mouse, and on to
  // its parents while none takes it.
  bool wheel(QWidget *target, int angle) {
    const QPoint p = target->rect().center();
    QWheelEvent e(QPointF(p), QPointF(target->mapToGlobal(p)), QPoint(), QPoint(0, angle),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // Delivered the way Qt's test library delivers its mouse events: sendEvent would mark it
    // as coming from the program, and such wheel events go to their receiver only.
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(target, &e);
    return e.isAccepted();
  }
  void escape() {
    std::uint16_t key = 27;
    nav->FormKeyDown(nav, key, 0);
  }
  void deleteKey() {
    std::uint16_t key = 46;
    nav->FormKeyDown(nav, key, 0);
  }
  QString panel(int i) const { return nav->StatusPanels[i]->text(); }
  int shapesOn(int layer) const {
    int n = 0;
    for (const TQShape *s : cad->Shapes)
      n += s->Layer == layer;
    return n;
  }
  std::string eventLog() const {
    return testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Events.log");
  }

  TFNav *nav = nullptr;
  TTarvikCanvas *cad = nullptr;
  testsupport::ScriptedDialogs dialogs;

private:
  std::string savedGga_ = GGAOverlayText;
};

TEST_F(CanvasToolsTest, ShapeToolButtonsOnlyChooseTheTool) {
  const struct {
    const char *button;
    int mode;
  } tools[] = {{"ToolButton7", 17}, {"ToolButton12", 3},  {"ToolButton21", 1},
               {"ToolButton23", 5}, {"ToolButton27", 4},  {"ToolButton28", 6},
               {"ToolButton29", 8}, {"ToolButton30", 10}, {"ToolButton31", 19}};
  // In this order from the top of the tool bar.
  const QList<QAction *> actions = nav->tShape->actions();
  ASSERT_EQ(actions.size(), 9);
  for (int i = 0; i < 9; ++i) {
    auto *b = qobject_cast<QToolButton *>(nav->tShape->widgetForAction(actions[i]));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->objectName().toStdString(), tools[i].button);
    cad->DrawMode = 0;
    b->click();
    EXPECT_EQ(cad->DrawMode, tools[i].mode) << tools[i].button;
    EXPECT_FALSE(cad->KeepDrawMode) << tools[i].button;
  }

  // A tool chosen in the middle of a polyline changes the mode and nothing else.
  oneToOne();
  nav->findChild<QToolButton *>(QStringLiteral("ToolButton23"))->click();
  click({50, 50});
  click({150, 50});
  ASSERT_TRUE(cad->DrawingInProgress);
  nav->findChild<QToolButton *>(QStringLiteral("ToolButton27"))->click();
  EXPECT_EQ(cad->DrawMode, 4);
  EXPECT_TRUE(cad->DrawingInProgress);
  ASSERT_TRUE(cad->PolylineUnderConstruction);
  EXPECT_EQ(cad->PolylineUnderConstruction->Points.size(), 2u);
  cad->ClearDrawingState();

  // A finished shape leaves the canvas back in selection mode, on the user's layer.
  nav->findChild<QToolButton *>(QStringLiteral("ToolButton21"))->click();
  click({10, 10});
  click({60, 40});
  click({60, 40}, Qt::RightButton);
  EXPECT_EQ(cad->DrawMode, 0);
  EXPECT_EQ(shapesOn(nav->State.UserShapeLayer), 1);
}

TEST_F(CanvasToolsTest, ZoomInAndOutAboutTheCentreOfTheView) {
  cad->WorldSet(0, 1000, 1000, 0);
  nav->findChild<QToolButton *>(QStringLiteral("Zoomin"))->click();
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 100);
  EXPECT_DOUBLE_EQ(cad->WorldRight, 900);
  EXPECT_DOUBLE_EQ(cad->WorldBottom, 200);
  EXPECT_DOUBLE_EQ(cad->WorldTop, 800);

  // The menu item does the same as its button.
  nav->findChild<QAction *>(QStringLiteral("Out1"))->trigger();
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 20);
  EXPECT_DOUBLE_EQ(cad->WorldRight, 980);
  EXPECT_DOUBLE_EQ(cad->WorldBottom, 140);
  EXPECT_DOUBLE_EQ(cad->WorldTop, 860);

  // Ctrl+I, Ctrl+O and Ctrl+W belong to the File menu's items, which come first: the zoom items
  // only show them.
  for (const char *name : {"In1", "Out1", "Window1"})
    EXPECT_TRUE(nav->findChild<QAction *>(QString::fromLatin1(name))->shortcut().isEmpty());
  nav->findChild<QAction *>(QStringLiteral("In1"))->trigger();
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 768);
  EXPECT_DOUBLE_EQ((cad->WorldLeft + cad->WorldRight) / 2, 500);

  // The pan button has no command at all.
  cad->DrawMode = 0;
  const double left = cad->WorldLeft;
  nav->findChild<QToolButton *>(QStringLiteral("Zoompan"))->click();
  EXPECT_EQ(cad->DrawMode, 0);
  EXPECT_EQ(cad->WorldLeft, left);

  nav->findChild<QToolButton *>(QStringLiteral("Zoomwindow"))->click();
  EXPECT_EQ(cad->DrawMode, -3);
  nav->findChild<QAction *>(QStringLiteral("Dynamic1"))->trigger();
  EXPECT_EQ(cad->DrawMode, -4);

  cad->DrawRectangle(5000, 6000, 5400, 6300, nav->State.UserShapeLayer);
  nav->findChild<QToolButton *>(QStringLiteral("Zoomextents"))->click();
  EXPECT_LE(cad->WorldLeft, 5000);
  EXPECT_GE(cad->WorldRight, 5400);
  EXPECT_GT(cad->WorldLeft, 4000);
}

TEST_F(CanvasToolsTest, WheelOverTheWindowPansTowardTheMouseAndZooms) {
  // The mouse last moved over the canvas 500 to the right of the view's centre.
  cad->WorldSet(0, 750, 1000, 0);
  nav->fcadWorldMouseMove(cad, 0, 1000, 375, 0, 0);
  EXPECT_TRUE(wheel(nav->tDraw, -120)); // down: toward the user
  // Moved 5 toward the mouse (to 5..1005), then 1100 wide about the mouse point.
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 1100);
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 1000 - 1100 * 0.995);
  EXPECT_DOUBLE_EQ(cad->WorldTop - cad->WorldBottom, 825);
  EXPECT_EQ(cad->DrawMode, -2);

  cad->WorldSet(0, 750, 1000, 0);
  cad->DrawMode = 0;
  EXPECT_TRUE(wheel(nav->sStatusBar, 120)); // up
  // Moved 50 (to 50..1050), then 900 wide about the mouse point.
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 900);
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 1000 - 900 * 0.95);
  EXPECT_EQ(cad->DrawMode, -2);

  // Half notches add up to one.
  cad->WorldSet(0, 750, 1000, 0);
  wheel(nav->tDraw, 60);
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 1000);
  wheel(nav->tDraw, 60);
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 900);

  // Over the canvas the canvas zooms by itself, about the point under the cursor, with no pan.
  cad->WorldSet(0, 750, 1000, 0);
  cad->DrawMode = 0;
  EXPECT_TRUE(wheel(cad, 120));
  EXPECT_DOUBLE_EQ(cad->WorldRight - cad->WorldLeft, 900);
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 497.5 * 0.1); // the point under the cursor stays put
  EXPECT_EQ(cad->DrawMode, 0);
}

TEST_F(CanvasToolsTest, RightClicksMeasureDistanceAndGridBearing) {
  oneToOne(800, 850); // the pixel (200, 150) is (1000, 1000)
  click({200, 150}, Qt::RightButton);
  EXPECT_TRUE(nav->State.MeasureActive);
  EXPECT_TRUE(cad->MeasureActive);
  EXPECT_EQ(nav->State.MeasureStartX, 1000);
  EXPECT_EQ(nav->State.MeasureStartY, 1000);

  const struct {
    QPoint to;
    double distance, bearing;
  } moves[] = {{{200, 50}, 100, 0},    // (1000, 1100)
               {{100, 150}, 100, 270}, // (900, 1000)
               {{300, 150}, 100, 90},  // (1100, 1000)
               {{200, 250}, 100, 180}, // (1000, 900)
               {{100, 50}, std::sqrt(2.0) * 100, 315}};
  for (const auto &m : moves) {
    moveTo(m.to);
    EXPECT_NEAR(cad->MeasureDistance, m.distance, 1e-9) << m.to.x() << "," << m.to.y();
    EXPECT_NEAR(cad->MeasureAngle, m.bearing, 1e-9) << m.to.x() << "," << m.to.y();
  }
  EXPECT_EQ(nav->State.MouseWorldX, 900);
  EXPECT_EQ(nav->State.MouseWorldY, 1100);

  click({10, 10}, Qt::RightButton);
  EXPECT_FALSE(nav->State.MeasureActive);
  EXPECT_FALSE(cad->MeasureActive);
  EXPECT_EQ(nav->State.MeasureStartX, 0);
  EXPECT_EQ(nav->State.MeasureStartY, 0);

  // A measure that starts on a zero coordinate shows its start but never follows the mouse.
  oneToOne(0, 900);
  click({0, 100}, Qt::RightButton); // (0, 1100)
  ASSERT_TRUE(nav->State.MeasureActive);
  cad->MeasureDistance = -1;
  moveTo({100, 100});
  EXPECT_EQ(cad->MeasureDistance, -1);
  EXPECT_EQ(nav->State.MouseWorldX, 100);
}

TEST_F(CanvasToolsTest, ClickCoordinatesInTheStatusBar) {
  oneToOne(512000, 4551000);
  click({123, 100});
  EXPECT_EQ(panel(4).toStdString(), "Click E: 512123.00");
  EXPECT_EQ(panel(5).toStdString(), "Click N: 4551200.00");
  nav->fcadWorldMouseDown(cad, 4, 0, 0, 1234567.876, -0.004);
  EXPECT_EQ(panel(4).toStdString(), "Click E: 1234567.88");
  EXPECT_EQ(panel(5).toStdString(), "Click N: -0.00");
  // The right button measures instead.
  click({5, 5}, Qt::RightButton);
  EXPECT_EQ(panel(4).toStdString(), "Click E: 1234567.88");
}

TEST_F(CanvasToolsTest, SelectTracksInAPolygonThenDeleteThem) {
  oneToOne();
  const TNavigationState &s = nav->State;
  const std::int32_t inside1 = cad->DrawLine(100, 100, 120, 110, s.TrackFixLayer);
  const std::int32_t inside2 = cad->DrawLine(150, 120, 160, 130, s.TrackFloatLayer);
  cad->DrawLine(300, 250, 310, 260, s.TrackFixLayer);                            // outside
  const std::int32_t user = cad->DrawLine(110, 120, 120, 125, s.UserShapeLayer); // not a track

  nav->findChild<QToolButton *>(QStringLiteral("bSelectTracks"))->click();
  EXPECT_EQ(panel(0).toStdString(), "Draw polygon to select tracks (right-click to finish)");
  EXPECT_FALSE(s.ClickMarkEnabled);
  EXPECT_TRUE(s.TrackSelectMode);
  EXPECT_EQ(cad->DrawMode, 6);
  const int polyLayer = cad->LayerFindByName(QStringLiteral("Tarvik_SelectPoly"));
  ASSERT_GE(polyLayer, 0);
  EXPECT_EQ(cad->CurrentLayer, polyLayer);

  for (QPoint p : {QPoint(50, 250), QPoint(250, 250), QPoint(250, 100), QPoint(50, 100)})
    click(p);
  click({50, 100}, Qt::RightButton);
  EXPECT_EQ(panel(0).toStdString(), "2 track(s) selected. Press Delete to remove.");
  EXPECT_FALSE(s.TrackSelectMode);
  EXPECT_EQ(cad->DrawMode, 0);
  EXPECT_FALSE(cad->DrawingInProgress);
  EXPECT_EQ(shapesOn(polyLayer), 0); // the polygon is gone
  EXPECT_TRUE(cad->FindShape(inside1)->Selected);
  EXPECT_TRUE(cad->FindShape(inside2)->Selected);
  EXPECT_FALSE(cad->FindShape(user)->Selected);

  // The Delete key does what "Delete Slected" does.
  deleteKey();
  EXPECT_EQ(cad->FindShape(inside1), nullptr);
  EXPECT_EQ(cad->FindShape(inside2), nullptr);
  EXPECT_NE(cad->FindShape(user), nullptr);
  EXPECT_EQ(shapesOn(s.TrackFixLayer), 1);
  EXPECT_TRUE(s.ClickMarkEnabled);
}

TEST_F(CanvasToolsTest, SelectShapesOfEveryLayerAndTheEmptyAndTwoPointPolygons) {
  oneToOne();
  const TNavigationState &s = nav->State;
  cad->DrawLine(100, 100, 120, 110, s.TrackFixLayer);
  cad->DrawLine(110, 120, 120, 125, s.UserShapeLayer);
  cad->DrawLine(300, 250, 310, 260, s.UserShapeLayer);

  nav->bMouseSelect->click();
  EXPECT_EQ(panel(0).toStdString(), "Draw polygon to select shapes (right-click to finish)");
  EXPECT_TRUE(s.ShapeSelectMode);
  EXPECT_TRUE(s.ClickMarkEnabled); // only the track selection stops the marking
  // Three points: the triangle (50, 50), (250, 50), (50, 250).
  for (QPoint p : {QPoint(50, 250), QPoint(250, 250), QPoint(50, 50)})
    click(p);
  click({50, 50}, Qt::RightButton);
  EXPECT_EQ(panel(0).toStdString(), "2 shape(s) selected. Press Delete to remove.");
  EXPECT_EQ(cad->SelectedShapeCount(), 2);

  // A polygon round no track empties the status text.
  nav->bSelectTracksClick(nav);
  for (QPoint p : {QPoint(0, 10), QPoint(30, 10), QPoint(30, 40)})
    click(p);
  click({30, 40}, Qt::RightButton);
  EXPECT_EQ(panel(0).toStdString(), "");
  EXPECT_EQ(cad->SelectedShapeCount(), 0);

  // Two points select nothing; the polygon still goes and the canvas is back in selection mode.
  nav->bMouseSelectClick(nav);
  click({50, 250});
  click({250, 50});
  click({250, 50}, Qt::RightButton);
  EXPECT_EQ(panel(0).toStdString(), "Draw polygon to select shapes (right-click to finish)");
  EXPECT_FALSE(s.ShapeSelectMode);
  EXPECT_EQ(cad->SelectedShapeCount(), 0);
  EXPECT_EQ(shapesOn(cad->LayerFindByName(QStringLiteral("Tarvik_SelectPoly"))), 0);
  EXPECT_EQ(cad->DrawMode, 0);
}

TEST_F(CanvasToolsTest, TrackSelectionWithoutTrackLayersKeepsItsPrompt) {
  // A canvas whose track layers are gone (a drawing opened without them).
  cad->CadClearShapes(-1);
  cad->Layers.clear();
  ASSERT_EQ(cad->LayerFindByName(QStringLiteral("track_fix")), -1);
  oneToOne();
  cad->DrawLine(100, 100, 120, 110, cad->LayerOpen(QStringLiteral("other")));
  nav->bSelectTracksClick(nav);
  for (QPoint p : {QPoint(50, 250), QPoint(250, 250), QPoint(250, 100)})
    click(p);
  click({250, 100}, Qt::RightButton);
  EXPECT_EQ(panel(0).toStdString(), "Draw polygon to select tracks (right-click to finish)");
  EXPECT_EQ(cad->SelectedShapeCount(), 0);
  EXPECT_EQ(cad->DrawMode, 0);
}

TEST_F(CanvasToolsTest, EscapeEndsTheSelectionModesAndLeavesTheDrawMode) {
  oneToOne();
  const std::int32_t line = cad->DrawLine(100, 100, 120, 110, nav->State.TrackFixLayer);
  cad->ShapeSelect(line, false);
  nav->bSelectTracksClick(nav);
  nav->bMouseSelectClick(nav);
  escape();
  EXPECT_FALSE(nav->State.TrackSelectMode);
  EXPECT_FALSE(nav->State.ShapeSelectMode);
  EXPECT_EQ(panel(0).toStdString(), "");
  EXPECT_EQ(cad->SelectedShapeCount(), 0);
  EXPECT_EQ(cad->DrawMode, 6);

  // With no selection mode Escape leaves the status text and the selection alone.
  nav->StatusPanels[0]->setText(QStringLiteral("lat"));
  cad->ShapeSelect(line, false);
  escape();
  EXPECT_EQ(panel(0).toStdString(), "lat");
  EXPECT_EQ(cad->SelectedShapeCount(), 1);
}

TEST_F(CanvasToolsTest, DeleteWithNothingSelectedStillEnablesMarking) {
  cad->DrawLine(100, 100, 120, 110, nav->State.TrackFixLayer);
  nav->bSelectTracksClick(nav);
  ASSERT_FALSE(nav->State.ClickMarkEnabled);
  nav->findChild<QToolButton *>(QStringLiteral("bDelSelected"))->click();
  EXPECT_TRUE(nav->State.ClickMarkEnabled);
  EXPECT_EQ(shapesOn(nav->State.TrackFixLayer), 1);
}

TEST_F(CanvasToolsTest, ClearUserShapesAsksFirst) {
  cad->DrawLine(1, 1, 2, 2, nav->State.UserShapeLayer);
  cad->DrawLine(1, 1, 2, 2, nav->State.TrackFixLayer);
  dialogs.answer(mrNo);
  nav->findChild<QToolButton *>(QStringLiteral("tbClearUserShapes"))->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(), "User added shapes to be deleted! Continue?");
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);
  EXPECT_EQ(shapesOn(nav->State.UserShapeLayer), 1);

  dialogs.answer(mrYes);
  nav->findChild<QAction *>(QStringLiteral("Clearshapesuseradded1"))->trigger();
  EXPECT_EQ(shapesOn(nav->State.UserShapeLayer), 0);
  EXPECT_EQ(shapesOn(nav->State.TrackFixLayer), 1);
}

TEST_F(CanvasToolsTest, PickingATrackTogglesItsWidth) {
  oneToOne();
  windows->Navset->TrackWidth->setText(QStringLiteral("3"));
  const std::int32_t line = cad->DrawLine(100, 100, 200, 100, nav->State.TrackFixLayer);
  cad->SetShapePenWidth(line, 3);
  click(pixel(150, 100));
  EXPECT_EQ(cad->GetShapePenWidth(line), 0); // marked, and stays selected
  EXPECT_TRUE(cad->FindShape(line)->Selected);
  click(pixel(150, 100));
  EXPECT_EQ(cad->GetShapePenWidth(line), 3); // restored and deselected
  EXPECT_FALSE(cad->FindShape(line)->Selected);

  // While the track selection holds, picking marks nothing.
  nav->State.ClickMarkEnabled = false;
  click(pixel(150, 100));
  EXPECT_EQ(cad->GetShapePenWidth(line), 3);

  // A width that is no whole number is reported and the shape keeps its width.
  nav->State.ClickMarkEnabled = true;
  windows->Navset->TrackWidth->setText(QStringLiteral("2.5"));
  dialogs.answer(mrOk);
  click(pixel(150, 100));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(cad->GetShapePenWidth(line), 3);
}

TEST_F(CanvasToolsTest, DrawingPausesTheMapWithoutCountingAsGpsSilence) {
  oneToOne();
  TNavigationState &s = nav->State;
  s.RealtimeRunning = 1;
  s.GpsStartTick = 1;
  nav->tMap->start();

  cad->DrawMode = 1; // rectangle
  cad->CurrentLayer = s.TrackFixLayer;
  click({10, 10});
  EXPECT_FALSE(nav->tMap->isActive());
  EXPECT_EQ(cad->CurrentLayer, s.UserShapeLayer);
  // A GPS line meanwhile neither restarts the map nor reports a recovery.
  nav->ZGPS1NewCommand(nav->ZGPS1, "$GPHDT,45.0,T*00");
  EXPECT_FALSE(nav->tMap->isActive());
  click({60, 40});
  EXPECT_EQ(shapesOn(s.UserShapeLayer), 1);
  EXPECT_FALSE(nav->tMap->isActive());
  click({60, 40}, Qt::RightButton);
  EXPECT_TRUE(nav->tMap->isActive());
  EXPECT_EQ(eventLog().find("RECOVERED"), std::string::npos);

  // The receiver falls silent during a drawing: the end of the drawing leaves the map stopped,
  // and the next GPS line resumes it with one recovery.
  cad->DrawMode = 1;
  click({100, 100});
  nav->ZGPS1Idle(nav->ZGPS1);
  click({150, 150}, Qt::RightButton);
  EXPECT_FALSE(nav->tMap->isActive());
  nav->ZGPS1NewCommand(nav->ZGPS1, "$GPHDT,45.0,T*00");
  EXPECT_TRUE(nav->tMap->isActive());
  const std::string log = eventLog();
  EXPECT_EQ(log.find("GPS DATA RECOVERED"), log.rfind("GPS DATA RECOVERED"));
  EXPECT_NE(log.find("GPS DATA RECOVERED"), std::string::npos);

  // With acquisition stopped the end of a drawing starts nothing.
  nav->tMap->stop();
  s.RealtimeRunning = 0;
  cad->DrawMode = 1;
  click({200, 200});
  click({220, 220}, Qt::RightButton);
  EXPECT_FALSE(nav->tMap->isActive());
}

// ---- The compact display, on the shown window

class CompactDisplayTest : public CanvasToolsTest {
protected:
  CompactDisplayTest() {
    nav->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(nav));
    GGAOverlayText = "GGA: RTK Fixed  Sat: 14";
  }
  // A pixel of the canvas inside (or outside) the GGA box, as it lies now.
  QPoint findPixel(bool inside) {
    for (int y = 0; y < cad->height(); y += 2)
      for (int x = 0; x < cad->width(); x += 2)
        if (cad->IsPointInGGAOverlay(x, y) == inside)
          return {x, y};
    ADD_FAILURE() << "no such pixel";
    return {};
  }
  void doubleClickAt(QPoint p) {
    QCursor::setPos(cad->mapToGlobal(p));
    QTest::mouseDClick(cad, Qt::LeftButton, {}, p);
    QTest::mouseRelease(cad, Qt::LeftButton, {}, p);
  }
};

TEST_F(CompactDisplayTest, DoubleClickOnTheGgaBoxTogglesTheCompactDisplay) {
  TfRealtime &realtime = *windows->fRealtime;
  realtime.show();
  windows->Navset->show();

  doubleClickAt(findPixel(false));
  EXPECT_EQ(realtime.btHideImageIndex, 0);
  EXPECT_TRUE(nav->tDraw->isVisible());

  doubleClickAt(findPixel(true));
  EXPECT_EQ(realtime.btHideImageIndex, 1);
  EXPECT_FALSE(nav->tRealtime->isVisible());
  EXPECT_FALSE(nav->tDraw->isVisible());
  EXPECT_FALSE(nav->tShape->isVisible());
  EXPECT_FALSE(nav->MainMenu1->isVisible());
  EXPECT_TRUE(nav->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(windows->Navset->isVisible());

  nav->State.EchogramShown = true;
  doubleClickAt(findPixel(true));
  EXPECT_EQ(realtime.btHideImageIndex, 0);
  EXPECT_EQ(realtime.btHide->toolTip().toStdString(), "Hide Window");
  EXPECT_TRUE(nav->isVisible());
  EXPECT_TRUE(nav->tRealtime->isVisible());
  EXPECT_TRUE(nav->tDraw->isVisible());
  EXPECT_TRUE(nav->tShape->isVisible());
  EXPECT_TRUE(nav->pRealtime->isVisible());
  EXPECT_TRUE(nav->MainMenu1->isVisible());
  EXPECT_FALSE(nav->windowFlags() & Qt::FramelessWindowHint); // the sizeable border again
  EXPECT_TRUE(windows->Navset->isVisible());
  EXPECT_TRUE(windows->fCanvas->isVisible());
  // The realtime window itself stays where the compact display put it.
  EXPECT_FALSE(realtime.isVisible());
  windows->fCanvas->hide();
}

} // namespace
