// The graph editor window on the offscreen platform: painting, dragging, the lasso, the grid's
// buttons and the modal round trip.
#include "navigator/soundvelocity/SvpGraphWindow.h"

#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class SvpGraphWindow : public ::testing::Test {
protected:
  SvpGraphWindow() : graph(nullptr, windows) {
    graph.show();
    QCoreApplication::processEvents();
  }

  // The points' pixels as painted now.
  QPoint pixelOf(std::size_t i) const {
    return {graph.View.SvToX(graph.Points[i].Velocity), graph.View.DepthToY(graph.Points[i].Depth)};
  }

  QImage paint() {
    QImage image(graph.PaintBox1->size(), QImage::Format_RGB32);
    platform::GdiCanvas canvas(image);
    graph.PaintBox1Paint(canvas);
    return image;
  }

  QString cell(int row, int column) const {
    const QTableWidgetItem *item = graph.StringGrid1->item(row, column);
    return item ? item->text() : QString();
  }

  NavigatorWindows windows;
  TfSVPGraph graph;
};

TEST_F(SvpGraphWindow, LaysOutItsControlsAsDesigned) {
  EXPECT_EQ(graph.windowTitle(), "SVP Profile Graph - Drag Points or Lasso Select");
  EXPECT_EQ(graph.size(), QSize(900, 550));
  EXPECT_EQ(graph.PaintBox1->size(), QSize(700, 500));
  EXPECT_EQ(graph.StringGrid1->columnCount(), 3);
  EXPECT_EQ(graph.StringGrid1->horizontalHeaderItem(1)->text(), "SV (m/s)");
  EXPECT_EQ(graph.bDeleteSelected->text(), "Delete Selected (0)");
  EXPECT_FALSE(graph.bDeleteSelected->isEnabled());
  EXPECT_EQ(graph.bSaveAndClose->text(), "Save && Close");
}

TEST_F(SvpGraphWindow, LoadsRowsIntoPointsGridAndFittedView) {
  graph.LoadAveragedRows({"0,1500.00,2", "", "7,1498.2", "10,1503.0,1"});
  ASSERT_EQ(graph.Points.size(), 3u);
  ASSERT_EQ(graph.StringGrid1->rowCount(), 3);
  EXPECT_EQ(cell(1, 0), "7");
  EXPECT_EQ(cell(1, 1), "1498.20");
  EXPECT_EQ(cell(1, 2), "1");
  EXPECT_DOUBLE_EQ(graph.View.SvMin, 1498.2 - 0.5);
  EXPECT_EQ(graph.View.DepthMax, 10);
}

TEST_F(SvpGraphWindow, PaintsGridAxesProfileAndPointColours) {
  graph.LoadAveragedRows({"0,1500,1", "10,1510,1", "20,1505,1"});
  graph.Points[1].Selected = true;
  graph.DragIndex = 2;
  const QImage image = paint();
  auto at = [&](QPoint p) { return image.pixel(p) & 0xFFFFFF; };
  EXPECT_EQ(at(pixelOf(0)), 0x0000FFu) << "blue point";
  EXPECT_EQ(at(pixelOf(0) + QPoint(-4, 0)), 0x000080u) << "navy outline";
  EXPECT_EQ(at(pixelOf(1)), 0xFF0000u) << "selected: red";
  EXPECT_EQ(at(pixelOf(1) + QPoint(0, -4)), 0x800000u) << "maroon outline";
  EXPECT_EQ(at(pixelOf(2)), 0x00FF00u) << "dragged: lime";
  EXPECT_EQ(at(QPoint(60, 300)), 0x000000u) << "the depth axis";
  EXPECT_EQ(at(QPoint(400, 460)), 0x000000u) << "the velocity axis";
  EXPECT_EQ(at(QPoint(690, 5)), 0xFFFFFFu) << "background";
  // A dotted silver velocity line at 1500 m/s.
  const int x = graph.View.SvToX(1500);
  int silver = 0;
  for (int y = 30; y < 400; ++y)
    silver += at(QPoint(x, y)) == 0xC0C0C0u;
  EXPECT_GT(silver, 100);
}

TEST_F(SvpGraphWindow, PaintingSurvivesAbsurdLimits) {
  graph.LoadAveragedRows({"0,1500,1", "2000000000,1e300,1"});
  paint(); // must neither hang nor overflow
  graph.View.DepthMin = graph.View.DepthMax = 4;
  graph.FormMouseWheel(120, 300, 200);
  EXPECT_FALSE(std::isnan(graph.View.DepthMin));
  paint();
}

TEST_F(SvpGraphWindow, DraggingChangesOnlyTheVelocityWithinLimits) {
  graph.LoadAveragedRows({"0,1500,1", "10,1510,1"});
  const QPoint p = pixelOf(0);
  graph.PaintBox1MouseDown(1, p.x() + 3, p.y() - 2);
  EXPECT_TRUE(graph.Dragging);
  EXPECT_EQ(graph.DragIndex, 0);
  graph.PaintBox1MouseMove(p.x() + 100, p.y() + 50);
  const double moved = graph.View.XToSv(p.x() + 100);
  EXPECT_DOUBLE_EQ(graph.Points[0].Velocity, moved);
  EXPECT_EQ(graph.Points[0].Depth, 0);
  EXPECT_EQ(cell(0, 1).toStdString(), platform::FloatToStrF(moved, platform::ffFixed, 15, 2));
  // Beyond 1700 m/s the point stays where it was last accepted.
  graph.View.SvMax = 1800;
  graph.PaintBox1MouseMove(690, p.y());
  EXPECT_DOUBLE_EQ(graph.Points[0].Velocity, moved);
  EXPECT_TRUE(graph.Label1->text().endsWith(" m  (Drag point to edit SV)"));
  EXPECT_TRUE(graph.Label1->text().startsWith("SV: 1"));
  graph.PaintBox1MouseUp(1, 690, p.y());
  EXPECT_FALSE(graph.Dragging);
  EXPECT_EQ(graph.DragIndex, -1);
  EXPECT_LT(graph.View.SvMax, 1600) << "refitted at the end of the drag";
}

TEST_F(SvpGraphWindow, LassoSelectsAndDeletesSpikesThroughTheMouse) {
  graph.LoadAveragedRows({"0,1500,1", "5,1530,1", "10,1502,1"});
  const QPoint spike = pixelOf(1);
  QWidget *box = graph.PaintBox1;
  QTest::mousePress(box, Qt::LeftButton, {}, spike + QPoint(-20, -20));
  for (QPoint p : {QPoint(20, -20), QPoint(20, 20), QPoint(-20, 20)})
    QTest::mouseMove(box, spike + p);
  QTest::mouseRelease(box, Qt::LeftButton, {}, spike + QPoint(-20, 20));
  ASSERT_EQ(graph.LassoPath.size(), 4u);
  EXPECT_FALSE(graph.LassoActive);
  EXPECT_TRUE(graph.Points[1].Selected);
  EXPECT_FALSE(graph.Points[0].Selected);
  EXPECT_EQ(graph.bDeleteSelected->text(), "Delete Selected (1)");
  ASSERT_TRUE(graph.bDeleteSelected->isEnabled());
  graph.bDeleteSelected->click();
  ASSERT_EQ(graph.Points.size(), 2u);
  EXPECT_EQ(graph.Points[1].Depth, 10);
  EXPECT_EQ(graph.StringGrid1->rowCount(), 2);
  EXPECT_TRUE(graph.LassoPath.empty());
  EXPECT_EQ(graph.bDeleteSelected->text(), "Delete Selected (0)");
  EXPECT_FALSE(graph.bDeleteSelected->isEnabled());
}

TEST_F(SvpGraphWindow, ALassoAroundNothingClearsTheSelectionAndAClickKeepsIt) {
  graph.LoadAveragedRows({"0,1500,1", "10,1510,1"});
  graph.Points[0].Selected = true;
  graph.PaintBox1MouseDown(1, 650, 400);
  graph.PaintBox1MouseUp(1, 650, 400);
  EXPECT_TRUE(graph.Points[0].Selected) << "a click without moving";
  graph.PaintBox1MouseDown(1, 650, 400);
  graph.PaintBox1MouseMove(660, 400);
  graph.PaintBox1MouseMove(660, 410);
  graph.PaintBox1MouseMove(661, 411); // within 3 pixels: not a vertex
  EXPECT_EQ(graph.LassoPath.size(), 3u);
  graph.PaintBox1MouseUp(1, 661, 411);
  EXPECT_FALSE(graph.Points[0].Selected);
  EXPECT_EQ(graph.bDeleteSelected->text(), "Delete Selected (0)");
  EXPECT_FALSE(graph.bDeleteSelected->isEnabled());
  // The next opening still shows the open path until a new press.
  graph.LoadAveragedRows({"0,1500,1"});
  EXPECT_EQ(graph.LassoPath.size(), 3u);
}

TEST_F(SvpGraphWindow, GridButtonsAndClicks) {
  graph.LoadAveragedRows({});
  graph.bAddRow->click();
  ASSERT_EQ(graph.StringGrid1->rowCount(), 1);
  EXPECT_EQ(cell(0, 0), "0");
  EXPECT_EQ(cell(0, 1), "1500.00");
  EXPECT_EQ(cell(0, 2), "0");
  ASSERT_EQ(graph.Points.size(), 1u);
  graph.StringGrid1->setCurrentCell(0, 0);
  graph.bDeleteRow->click();
  EXPECT_EQ(graph.StringGrid1->rowCount(), 1) << "the last data row stays";

  graph.bAddRow->click();
  graph.bAddRow->click();
  ASSERT_EQ(graph.Points.size(), 3u);
  EXPECT_EQ(cell(2, 0), "2");
  graph.StringGrid1->setCurrentCell(1, 1);
  EXPECT_TRUE(graph.Points[1].Selected);
  EXPECT_FALSE(graph.Points[0].Selected);
  graph.StringGrid1->item(2, 1)->setText("1507.5");
  graph.bDeleteRow->click();
  ASSERT_EQ(graph.Points.size(), 2u);
  EXPECT_EQ(graph.Points[1].Depth, 2);
  EXPECT_EQ(graph.Points[1].Velocity, 1507.5) << "the typed cell is read with the rest";
}

TEST_F(SvpGraphWindow, SaveAndCloseReturnsTheGridsRowsByDepth) {
  graph.LoadAveragedRows({"0,1500,1", "3,1503,1"});
  graph.StringGrid1->item(0, 0)->setText("2");
  QTimer::singleShot(0, graph.bSaveAndClose, &QPushButton::click);
  EXPECT_EQ(graph.ShowModal(), mrOk);
  std::vector<std::string> rows = {"old"};
  graph.WriteBackPoints(rows);
  EXPECT_EQ(rows, (std::vector<std::string>{"", "", "2,1500.00,1", "3,1503.00,1"}));

  QTimer::singleShot(0, graph.bCancel, &QPushButton::click);
  EXPECT_EQ(graph.ShowModal(), mrCancel);
  QTimer::singleShot(0, &graph, &QWidget::close);
  EXPECT_EQ(graph.ShowModal(), mrCancel);
}

} // namespace
