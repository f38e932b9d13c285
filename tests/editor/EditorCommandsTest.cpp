// The profile commands with their worked figures, the edits with their undo walk, and the
// verbatim messages.
#include "EditorTestSupport.h"

#include "canvas/TarvikCanvas.h"
#include "platform/Convert.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

// 300 soundings one metre apart, heights 2 to 8 in the first 200.
std::string profile() {
  return editortest::line(300, [](int i) { return 2 + (i % 7); });
}

TEST(EditorCommands, VerticalZoomAndPush) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  e.graph.top = 10;
  e.graph.bottom = 0;
  e.toolGrowVerticalClick();
  EXPECT_DOUBLE_EQ(e.graph.top, 9);
  EXPECT_DOUBLE_EQ(e.graph.bottom, 1);
  e.graph.top = 10;
  e.graph.bottom = 0;
  e.toolSqueezeVerticalClick();
  EXPECT_DOUBLE_EQ(e.graph.top, 11);
  EXPECT_DOUBLE_EQ(e.graph.bottom, -1);
  e.graph.top = 10;
  e.graph.bottom = 0;
  e.graph.visibleCount = 200;
  e.toolPushUpClick();
  EXPECT_DOUBLE_EQ(e.graph.top, 8.8);
  EXPECT_DOUBLE_EQ(e.graph.bottom, -1.2);
  e.toolPushDownClick();
  EXPECT_DOUBLE_EQ(e.graph.top, 10);
  // With Fit to Screen down each says so, then acts all the same.
  e.toolToggleFTS->setChecked(true);
  ed.dialogs.answer(mrOk);
  e.toolGrowVerticalClick();
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "Fit to Screen is active!");
}

TEST(EditorCommands, HorizontalZoomAndTheThreeZoomsToSelection) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  e.graph.pixelsPerPoint = 1.0;
  e.toolGrowHorizontalClick();
  e.toolSqueezeHorizontalClick();
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 1.1 * 0.9);
  e.graph.pixelsPerPoint = 0.1;
  e.toolSqueezeHorizontalClick();
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 0.1);

  e.graph.selStart = 10;
  e.graph.selEnd = 12;
  e.toolZoomToSelectionClick();
  EXPECT_EQ(e.graph.firstIndex, 9);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 1000.0 / 3);
  e.graph.firstIndex = 0;
  e.graph.selEnd = 11;
  e.toolZoomToSelectionClick(); // a range of two points is not zoomed by the button
  EXPECT_EQ(e.graph.firstIndex, 0);
  e.ZoomtoSelection1Click();
  EXPECT_EQ(e.graph.firstIndex, 10);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 1000.0);
  e.Zoomtofit1Click();
  EXPECT_EQ(e.graph.firstIndex, 0);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 1000.0 / 300);
}

TEST(EditorCommands, KeysUndoFitAndZoomToSelection) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  e.setFocus();
  // H without a selection says so.
  ed.dialogs.answer(mrOk);
  QTest::keyPress(&e, Qt::Key_H);
  QTest::keyRelease(&e, Qt::Key_H);
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "Select points first!");
  // Delete Point, then Ctrl+Z brings it back with the count.
  e.graph.cursorOffset = 5;
  e.DeletePoint2Click();
  EXPECT_EQ(e.graph.deletedCount, 1);
  QTest::keyPress(&e, Qt::Key_Control);
  QTest::keyPress(&e, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyRelease(&e, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyRelease(&e, Qt::Key_Control);
  EXPECT_EQ(e.points[5].deleted, 0);
  EXPECT_EQ(e.graph.deletedCount, 0);
}

TEST(EditorCommands, ThreeEditsThreeUndosAndAFourthDoingNothing) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  const SoundingList original = e.points;
  e.graph.cursorOffset = 10;
  e.InterpolatePoint1Click(); // 10: between 2 + 9 % 7 = 4 and 2 + 11 % 7 = 6
  EXPECT_DOUBLE_EQ(e.points[10].Z, 5.0);
  EXPECT_EQ(e.points[10].processed, 1);
  e.graph.cursorOffset = 20;
  e.DeletePoint2Click();
  e.points[30].selected = 1;
  ed.w.fSettings->sSmoothingFactor->setValue(1);
  e.SmoothSelection1Click();
  EXPECT_EQ(e.points[30].processed, 1);
  for (int k = 0; k < 3; ++k)
    e.toolUndoClick();
  EXPECT_EQ(e.points, original);
  e.toolUndoClick();
  EXPECT_EQ(e.points, original);
  EXPECT_EQ(e.graph.deletedCount, 0);
}

// A sounding selected from the plan before the first edit after opening stays selected when
// that edit is undone: the state the undo gives back is the one the edit changed.
TEST(EditorCommands, UndoingTheFirstEditKeepsASelectionMadeBeforeIt) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  ed.w.fPlanView->pickedX = e.points[40].X;
  ed.w.fPlanView->pickedY = e.points[40].Y;
  e.toolFindMeFromPlanVClick();
  ASSERT_EQ(e.points[40].selected, 1);
  const SoundingList selected = e.points;
  e.graph.cursorOffset = 40 - e.graph.firstIndex;
  e.DeletePoint2Click();
  ASSERT_EQ(e.points[40].deleted, 1);
  e.toolUndoClick();
  EXPECT_EQ(e.points, selected);
  EXPECT_EQ(e.graph.deletedCount, 0);
}

TEST(EditorCommands, DeleteAndRestoreSelectionInsideTheBand) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  e.graph.top = 10;
  e.graph.bottom = 0;
  e.graph.unitsPerPixel = 0.025; // H 440
  for (int i = 0; i < 14; ++i)
    e.points[i].selected = 1;
  e.points[50].Z = 7.0; // inside the band but not selected
  e.graph.bandY1 = e.graph.rowOf(8.0, 440);
  e.graph.bandY2 = e.graph.rowOf(5.0, 440);
  e.DeleteSelection1Click();
  int deleted = 0;
  for (int i = 0; i < 300; ++i) {
    const bool expect = i < 14 && e.points[i].Z >= 5.0 && e.points[i].Z <= 8.0;
    EXPECT_EQ(e.points[i].deleted, expect ? 1 : 0) << i;
    deleted += expect;
  }
  EXPECT_EQ(e.graph.deletedCount, deleted);
  EXPECT_TRUE(e.displayMainLoop->isActive());
  e.RestoreSelection1Click();
  EXPECT_EQ(clGraph::countDeleted(e.points), 0);
  EXPECT_EQ(e.points[0].selected, 1); // the selection stays
}

TEST(EditorCommands, SmoothAllAsksFirstAndSmoothsOnlyTheInnerPoints) {
  Editor ed;
  ed.open("three.txt", "0,0,1\n1,0,9\n2,0,2\n");
  TfEditing &e = ed.e();
  ed.dialogs.answer(mrNo);
  EXPECT_THROW(e.SmoothAll1Click(), platform::EAbort);
  EXPECT_EQ(ed.dialogs.messages().back().text,
            "All vertical information will change! Do you wish to proceed?");
  EXPECT_EQ(e.undoStack.count(), 0u);
  ed.dialogs.answer(mrYes);
  e.SmoothAll1Click();
  EXPECT_DOUBLE_EQ(e.points[0].Z, 1);
  EXPECT_DOUBLE_EQ(e.points[1].Z, 9); // its only live neighbours in the window are ends
  EXPECT_DOUBLE_EQ(e.points[2].Z, 2);
  // A range that is no number: the conversion error, after the snapshot.
  ed.w.fSettings->eSmoothingRange->setText("abc");
  e.graph.cursorOffset = 1;
  EXPECT_THROW(e.Smoothpoint1Click(), platform::EConvertError);
  EXPECT_EQ(e.undoStack.count(), 2u);
}

TEST(EditorCommands, FindMeMarksThePointAndLocateFindsIt) {
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  TfPlanView &plan = *ed.w.fPlanView;
  // Locate before any press looks for the sounding nearest to (0, 0): the first one.
  plan.bLocateClick();
  EXPECT_EQ(e.points[0].selected, 1);
  e.points[0].selected = 0;
  e.graph.firstIndex = 0;
  e.graph.cursorOffset = 150;
  e.PlanView1Click();
  TTarvikCanvas *c = plan.qcanvas;
  EXPECT_DOUBLE_EQ((c->WorldLeft + c->WorldRight) / 2, 500150.0);
  EXPECT_DOUBLE_EQ((c->WorldTop + c->WorldBottom) / 2, 4400000.0);
  const int layer = c->LayerFindByName("FindMeLayer");
  ASSERT_GT(layer, 0);
  const int shapes = c->ShapeCount;
  e.PlanView1Click(); // a second Find Me replaces the first marker
  EXPECT_EQ(c->ShapeCount, shapes);
  EXPECT_EQ(plan.pickedX, 500150.0);
  e.graph.visibleCount = 200;
  plan.bLocateClick();
  EXPECT_EQ(e.points[150].selected, 1);
  EXPECT_EQ(e.graph.firstIndex, 50);
}

// The cursor point needs a neighbour on each side; on the first or the last sounding, or
// outside the list, Interpolate Point must neither touch a sounding nor push an undo state.
TEST(EditorCommands, InterpolateWithoutBothNeighboursChangesNothing) {
  struct Case {
    int firstIndex;
    double cursorOffset;
  } cases[] = {{0, 0}, {0, 0.9}, {290, 9}, {-1, 0}, {-1, 0.5}, {0, 300}, {299, 5}};
  Editor ed;
  ed.open("p.txt", profile());
  TfEditing &e = ed.e();
  const SoundingList original = e.points;
  for (const Case &c : cases) {
    e.graph.firstIndex = c.firstIndex;
    e.graph.cursorOffset = c.cursorOffset;
    e.InterpolatePoint1Click();
    EXPECT_EQ(e.points, original) << c.firstIndex << " + " << c.cursorOffset;
    EXPECT_EQ(e.undoStack.count(), 0u) << c.firstIndex << " + " << c.cursorOffset;
  }
  // Next to either end it interpolates.
  e.graph.firstIndex = 0;
  e.graph.cursorOffset = 1;
  e.InterpolatePoint1Click();
  EXPECT_DOUBLE_EQ(e.points[1].Z, (original[0].Z + original[2].Z) / 2);
  EXPECT_EQ(e.undoStack.count(), 1u);
}

} // namespace
