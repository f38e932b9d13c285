// The profile shows the current state after every event: the redraw after a mouse move (which
// puts back the points' picture instead of drawing them again) and the redraw after a command
// with "Fit to Screen" down both give the picture a second, whole redraw gives.
#include "EditorTestSupport.h"

#include <QMouseEvent>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

void move(QWidget *w, QPoint pos, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent ev(QEvent::MouseMove, QPointF(pos), w->mapToGlobal(QPointF(pos)), Qt::NoButton,
                 buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &ev);
}

QImage shown(TfEditing &e) { return e.iMain->bitmap().copy(0, 0, e.imageWidth(), e.imageHeight()); }

// The picture after the last redraw equals the one a whole redraw makes now.
void expectCurrent(TfEditing &e, const char *what) {
  const QImage after = shown(e);
  e.invalidateProfile();
  ASSERT_TRUE(e.redrawIfChanged());
  EXPECT_TRUE(after == shown(e)) << what;
}

TEST(ProfileRedraw, StatusBoxAndDeletedLabelShowThePointUnderTheMouse) {
  Editor ed;
  ed.open("p.txt", editortest::line(100, [](int i) { return -(i % 7) - 3; }));
  TfEditing &e = ed.e();
  e.points[40].deleted = 1;
  e.pointsChanged();
  // A click turns the marker on; from then on the marker pass sets the cursor point.
  QTest::mouseClick(e.iMain, Qt::LeftButton, {}, QPoint(105, 100));
  e.redrawIfChanged();
  const QPoint path[] = {{205, 100}, {405, 120}, {415, 300}, {705, 90}, {405, 200}};
  for (const QPoint &p : path) {
    move(e.iMain, p);
    ASSERT_TRUE(e.redrawIfChanged());
    EXPECT_EQ(e.graph.cursorIndex(), p.x() / 10);
    expectCurrent(e, "after a move");
  }
  // Moves alone put the points' picture back rather than drawing the points again.
  move(e.iMain, QPoint(305, 100));
  e.redrawIfChanged();
  move(e.iMain, QPoint(315, 110));
  e.redrawIfChanged();
  EXPECT_TRUE(e.lastRedrawKeptPoints());
  expectCurrent(e, "after a kept picture");
  // A rubber band follows the mouse: the points' picture is drawn with it.
  QTest::mousePress(e.iMain, Qt::LeftButton, {}, QPoint(315, 110));
  e.redrawIfChanged();
  move(e.iMain, QPoint(505, 300), Qt::LeftButton);
  e.redrawIfChanged();
  EXPECT_FALSE(e.lastRedrawKeptPoints());
  expectCurrent(e, "with a band");
}

TEST(ProfileRedraw, AVerticalZoomUnderFitToScreenIsShownAtOnce) {
  Editor ed;
  ed.open("p.txt", editortest::line(100, [](int i) { return -(i % 13) - 3; }));
  TfEditing &e = ed.e();
  e.toolToggleFTS->setChecked(true);
  e.redrawIfChanged();
  for (QToolButton *b : {e.toolGrowVertical, e.toolSqueezeVertical}) {
    ed.dialogs.answer(mrOk); // "Fit to Screen is active!"
    b->click();
    ASSERT_TRUE(e.redrawIfChanged());
    expectCurrent(e, qPrintable(b->text()));
  }
  ASSERT_EQ(ed.dialogs.messages().size(), 2u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "Fit to Screen is active!");
}

// Zoomed out, the profile reads blocks of points from a summary. An edit inside a block (a
// spike deleted, a height changed) shows at the next redraw exactly as a fresh redraw of the
// edited list shows it: the summary is made again for the edited points.
TEST(ProfileRedraw, AnEditInsideABlockShowsAsAFreshRedrawShowsIt) {
  SoundingList points;
  for (int i = 0; i < 40000; ++i)
    points.push_back({double(i), 0, -10 - std::sin(i * 0.002) * 3});
  const std::size_t spike = 20000 + 7; // inside a block
  strCursor cursor;
  // The redraw not told which points changed, and told.
  for (const bool told : {false, true}) {
    points[spike] = strPoint{double(spike), 0, 30};
    auto inputs = [&](std::uint64_t revision) {
      return ProfileRedraw::Inputs{1000, 440, 1000,     440,   points, cursor, false,    false,
                                   1,    0.0, revision, false, told,   spike,  spike + 1};
    };
    auto fresh = [&](std::uint64_t revision, const clGraph &start) {
      // A new redraw object, run twice as the edited one was: the same pen, brush and font.
      ProfileRedraw redraw;
      clGraph g = start;
      QImage image(1000, 440, QImage::Format_RGB32);
      redraw.run(g, image, inputs(revision), false);
      redraw.run(g, image, inputs(revision), false);
      return image;
    };
    clGraph start;
    start.pixelsPerPoint = 1000.0 / double(points.size());
    start.top = 35;
    start.bottom = -20;
    ProfileRedraw redraw;
    clGraph g = start;
    QImage image(1000, 440, QImage::Format_RGB32);
    redraw.run(g, image, inputs(1), false);
    const QImage withSpike = image.copy();

    points[spike].deleted = 1;
    redraw.run(g, image, inputs(2), false);
    EXPECT_FALSE(image == withSpike);
    EXPECT_TRUE(image == fresh(2, start)) << "after deleting the spike, told " << told;

    points[spike].deleted = 0;
    points[spike].Z = -10;
    redraw.run(g, image, inputs(3), false);
    EXPECT_TRUE(image == fresh(3, start)) << "after lowering it, told " << told;
  }
}

// Through the window: Delete Point on a spike inside a block and its undo, each redrawn, show
// what a second editor shows that opened the same file and drew it after the same edit.
TEST(ProfileRedraw, DeletePointAndUndoInsideABlockShowAsAFreshEditorShowsThem) {
  const std::string file =
      editortest::line(40000, [](int i) { return i == 20007 ? 30 : -10 - (i / 100) % 3; });
  Editor ed;
  ed.open("p.txt", file);
  Editor fresh; // its dialogs answer from now on
  fresh.open("p.txt", file);
  TfEditing &e = ed.e(), &f = fresh.e();
  e.graph.cursorOffset = f.graph.cursorOffset = 20007;
  e.invalidateProfile();
  ASSERT_TRUE(e.redrawIfChanged());
  const QImage before = shown(e);
  e.DeletePoint2Click();
  ASSERT_EQ(e.points[20007].deleted, 1);
  ASSERT_TRUE(e.redrawIfChanged());
  EXPECT_FALSE(shown(e) == before);
  f.DeletePoint2Click();
  f.redrawIfChanged();
  f.invalidateProfile();
  f.redrawIfChanged();
  EXPECT_TRUE(shown(e) == shown(f)) << "after Delete Point";
  e.toolUndoClick();
  ASSERT_TRUE(e.redrawIfChanged());
  EXPECT_TRUE(shown(e) == before) << "after undo";
}

} // namespace
