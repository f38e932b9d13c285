// The profile's wheel, scroll bar, limit-line drag, rubber band, click and window arrangement,
// driven with real mouse events on the image; and the plan view's label, wheel and cross.
#include "EditorTestSupport.h"

#include "canvas/TarvikCanvas.h"

#include <QLabel>
#include <QMdiArea>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

void wheel(QWidget *w, int notches, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  const QPointF pos(w->width() / 2.0, w->height() / 2.0);
  QWheelEvent ev(pos, w->mapToGlobal(pos), QPoint(), QPoint(0, 120 * notches), Qt::NoButton, mods,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &ev);
}

// A mouse move as the window system delivers it, whatever the pointer's real position.
void move(QWidget *w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton,
                 buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &ev);
}

std::string flat(int n, double z = 5.0) {
  return editortest::line(n, [z](int) { return z; });
}

TEST(EditorMouse, WheelScrollsByATwentiethAndCtrlZoomsWithinLimits) {
  Editor ed;
  ed.open("p.txt", flat(1000));
  TfEditing &e = ed.e();
  e.graph.pixelsPerPoint = 5;
  e.redrawIfChanged();
  ASSERT_EQ(e.graph.visibleCount, 200);
  wheel(&e, -1);
  EXPECT_EQ(e.graph.firstIndex, 10);
  EXPECT_EQ(e.scrollHor->value(), 10);
  e.graph.firstIndex = 4;
  wheel(&e, 1);
  EXPECT_EQ(e.graph.firstIndex, 0);
  e.graph.pixelsPerPoint = 60;
  e.redrawIfChanged();
  wheel(&e, -1);
  EXPECT_EQ(e.graph.firstIndex, 1);
  // Ctrl: 450 grows to 495 with W 1000, 500 does not grow.
  e.graph.pixelsPerPoint = 450;
  wheel(&e, 1, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 495);
  e.graph.pixelsPerPoint = 500;
  wheel(&e, 1, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 500);
  e.graph.pixelsPerPoint = 0.11;
  wheel(&e, -3, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 0.11 * 0.9);
  EXPECT_TRUE(e.displayMainLoop->isActive());
}

TEST(EditorMouse, FewerPointsThanColumnsDoNotScroll) {
  Editor ed;
  ed.open("p.txt", flat(50));
  TfEditing &e = ed.e();
  e.graph.pixelsPerPoint = 5; // 200 columns
  e.redrawIfChanged();
  wheel(&e, -1);
  EXPECT_EQ(e.graph.firstIndex, 0);
}

TEST(EditorMouse, LimitLineGrabAndRelease) {
  struct Row {
    int press;
    bool grabs;
    int release;
    double top;
  };
  const Row rows[] = {{25, true, 60, 9.0}, {25, true, 0, 10.5}, {30, false, 60, 10.0}};
  for (const Row &r : rows) {
    Editor ed;
    ed.open("p.txt", flat(100));
    TfEditing &e = ed.e();
    e.graph.top = 10;
    e.graph.bottom = 0;
    e.redrawIfChanged();
    ASSERT_DOUBLE_EQ(e.graph.unitsPerPixel, 0.025);
    QTest::mousePress(e.iMain, Qt::LeftButton, {}, QPoint(500, r.press));
    EXPECT_EQ(e.graph.draggingTop, r.grabs) << r.press;
    move(e.iMain, QPoint(500, r.release), Qt::LeftButton);
    QTest::mouseRelease(e.iMain, Qt::LeftButton, {}, QPoint(500, r.release));
    EXPECT_DOUBLE_EQ(e.graph.top, r.top) << r.press << " " << r.release;
    EXPECT_FALSE(e.graph.draggingTop);
  }
}

TEST(EditorMouse, DragSelectsByColumnsAndRowsEitherWay) {
  for (bool reverse : {false, true}) {
    Editor ed;
    ed.open("p.txt", editortest::line(100, [](int i) { return (i % 11) * 1.0; }));
    TfEditing &e = ed.e();
    e.graph.top = 10;
    e.graph.bottom = 0;
    e.redrawIfChanged();
    const QPoint a(100, 50), b(300, 200);
    const QPoint from = reverse ? b : a, to = reverse ? a : b;
    move(e.iMain, from);
    QTest::mousePress(e.iMain, Qt::LeftButton, {}, from);
    move(e.iMain, to, Qt::LeftButton);
    QTest::mouseRelease(e.iMain, Qt::LeftButton, {}, to);
    int expected = 0;
    for (int i = 0; i < 100; ++i) {
      const double z = (i % 11) * 1.0;
      const bool in = i >= 10 && i <= 30 && z >= 6 && z <= 9.75;
      EXPECT_EQ(e.points[i].selected, in ? 1 : 0) << i;
      expected += in;
    }
    EXPECT_EQ(e.graph.selectedCount, expected);
    EXPECT_TRUE(e.graph.hasSelection);
    // A click without a drag clears the selection and turns the marker on.
    QTest::mouseClick(e.iMain, Qt::LeftButton, {}, QPoint(400, 100));
    EXPECT_TRUE(e.graph.markerOn);
    EXPECT_EQ(e.graph.selectedCount, 0);
    EXPECT_EQ(clGraph::countDeleted(e.points), 0);
    for (const strPoint &p : e.points)
      EXPECT_EQ(p.selected, 0);
  }
}

TEST(EditorMouse, MovingRightOfTheLastPointPutsTheCursorOnIt) {
  Editor ed;
  ed.open("p.txt", flat(50));
  TfEditing &e = ed.e();
  e.graph.pixelsPerPoint = 10; // 50 points end at x 490
  move(e.iMain, QPoint(900, 100));
  EXPECT_EQ(e.graph.cursorIndex(), 49);
  // The plan view shows the cross of the point under the mouse.
  move(e.iMain, QPoint(100, 100));
  TfPlanView &plan = *ed.w.fPlanView;
  ASSERT_TRUE(plan.isVisible());
  ASSERT_GT(plan.crossLineH, 0);
  TTarvikCanvas *c = plan.qcanvas;
  const auto *v = dynamic_cast<const TQLine *>(c->FindShape(plan.crossLineV));
  ASSERT_NE(v, nullptr);
  EXPECT_DOUBLE_EQ(v->X1, 500010.0);
}

TEST(EditorMouse, ToolButton3StacksThenPlacesSideBySide) {
  Editor ed;
  TfEditing &e = ed.e();
  const QSize client = ed.w.fParent->mdiArea->viewport()->size();
  QWidget *profile = e.parentWidget();
  QWidget *plan = ed.w.fPlanView->parentWidget();
  // A first run without stored placements starts stacked, as the first click would.
  EXPECT_EQ(e.tileStacked, 1);
  e.ToolButton3Click();
  EXPECT_EQ(profile->geometry(), QRect(0, 0, client.width() / 2, client.height() - 5));
  EXPECT_EQ(plan->geometry().left(), profile->width());
  e.ToolButton3Click();
  EXPECT_EQ(profile->geometry(), QRect(0, 0, client.width() - 5, client.height() / 2));
  EXPECT_EQ(plan->geometry().top(), profile->height());
  EXPECT_EQ(plan->geometry().height(), client.height() / 2 - 5);
}

TEST(PlanView, PressLabelWheelAndCross) {
  Editor ed;
  TfPlanView &plan = *ed.w.fPlanView;
  TTarvikCanvas *c = plan.qcanvas;
  plan.qcanvas_Click(c, 1, 0, -2, 250.5, 80.25);
  EXPECT_EQ(plan.Label1->text(), "Easting:250.50 Northing: 80.25");
  EXPECT_EQ(plan.pickedX, 250.5);
  c->WorldSet(0, 500, 1000, 0);
  plan.showCursorCross(100, 100);
  const int first = plan.crossLineH;
  const auto *h = dynamic_cast<const TQLine *>(c->FindShape(plan.crossLineH));
  ASSERT_NE(h, nullptr);
  EXPECT_DOUBLE_EQ(h->X2 - h->X1, 40.0);
  const int before = c->ShapeCount;
  plan.showCursorCross(200, 200); // replaced, not added
  EXPECT_EQ(c->ShapeCount, before);
  EXPECT_NE(plan.crossLineH, first);
  c->WorldSet(0, 1000, 1000, 0);
  plan.FormMouseWheelUp();
  EXPECT_DOUBLE_EQ(c->WorldLeft, 50);
  EXPECT_DOUBLE_EQ(c->WorldRight, 950);
  EXPECT_EQ(c->DrawMode, -2);
}

TEST(PlanView, ASecondFileForgetsTheCross) {
  Editor ed;
  ed.open("one.txt", flat(20));
  TfPlanView &plan = *ed.w.fPlanView;
  move(ed.e().iMain, QPoint(100, 100));
  ASSERT_GT(plan.crossLineH, 0);
  ed.open("two.txt", flat(30));
  EXPECT_EQ(plan.crossLineH, 0);
  const int shapes = plan.qcanvas->ShapeCount;
  move(ed.e().iMain, QPoint(200, 100));
  EXPECT_EQ(plan.qcanvas->ShapeCount, shapes + 2);
}

} // namespace
