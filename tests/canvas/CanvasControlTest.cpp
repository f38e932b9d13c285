// The control: construction defaults, repaint requests and the inert operations.
#include "canvas/TarvikCanvas.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

TEST(CanvasControl, NewCanvasHasItsDefaults) {
  TTarvikCanvas c(nullptr);
  EXPECT_EQ(c.width(), 400);
  EXPECT_EQ(c.height(), 300);
  EXPECT_FALSE(c.NavigationVariant);
  EXPECT_EQ(c.WorldLeft, 0.0);
  EXPECT_EQ(c.WorldRight, 1000.0);
  EXPECT_EQ(c.WorldTop, 1000.0);
  EXPECT_EQ(c.WorldBottom, 0.0);
  ASSERT_EQ(c.Layers.size(), 1);
  EXPECT_EQ(c.Layers[0]->Name, QStringLiteral("Default"));
  EXPECT_EQ(c.Layers[0]->Index, 0);
  EXPECT_EQ(c.CurrentLayer, 0);
  EXPECT_EQ(c.NextLayerIndex, 1);
  ASSERT_EQ(c.Fonts.size(), 1u);
  EXPECT_EQ(c.Fonts[0].Name, QStringLiteral("Arial"));
  EXPECT_EQ(c.Fonts[0].Size, 10);
  EXPECT_FALSE(c.Fonts[0].Bold);
  EXPECT_FALSE(c.Fonts[0].Italic);
  EXPECT_EQ(c.NextShapeNumber, 1);
  EXPECT_EQ(c.ShapeCount, 0);
  EXPECT_TRUE(c.Shapes.empty());
  EXPECT_EQ(c.DrawMode, 0);
  EXPECT_FALSE(c.KeepDrawMode);
  EXPECT_FALSE(c.DeleteKeyEnabled);
  EXPECT_TRUE(c.FollowVessel);
  EXPECT_FALSE(c.GridVisible);
  EXPECT_TRUE(c.GridAutoScale);
  EXPECT_EQ(c.GridSpacingX, 100.0);
  EXPECT_EQ(c.GridSpacingY, 100.0);
  EXPECT_EQ(c.GridColor, 0xC0C0C0u);
  EXPECT_EQ(c.GridMode, 0);
  EXPECT_EQ(c.BackColor, 0xFFFFFFu);
  EXPECT_TRUE(c.BackBufferDirty);
  EXPECT_TRUE(c.SelectedShapes.empty());
  EXPECT_FALSE(c.OnDrawEnd);
  EXPECT_TRUE(TTarvikCanvas(nullptr, true).NavigationVariant);
}

TEST(CanvasControl, InertOperationsChangeNothing) {
  testsupport::TempDir dir;
  TTarvikCanvas c(nullptr);
  EXPECT_FALSE(c.MetafileSave(QString::fromStdString(dir.file("x.emf"))));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("x.emf"))));
  EXPECT_FALSE(c.MetafileToClipboard());
  EXPECT_EQ(c.ViewDialogShow(1, 2), 0);
  c.PrintView(0, QStringLiteral("p"));
}

namespace {

// Counts the paints that reach the control.
class CountingCanvas : public TTarvikCanvas {
public:
  using TTarvikCanvas::TTarvikCanvas;
  int paints = 0;

protected:
  void paintEvent(QPaintEvent *e) override {
    ++paints;
    TTarvikCanvas::paintEvent(e);
  }
};

// Shows the canvas and lets every pending paint happen; returns the paints seen meanwhile.
int settle(CountingCanvas &c) {
  const int before = c.paints;
  for (int i = 0; i < 5; ++i)
    QCoreApplication::processEvents();
  return c.paints - before;
}

} // namespace

TEST(CanvasControl, RepaintRequestsAreNeverSynchronous) {
  CountingCanvas c(nullptr);
  c.show();
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return c.paints > 0; }));
  settle(c);
  c.BackBufferDirty = false;
  const int first = c.paints;
  c.Refresh();
  c.Update();
  EXPECT_EQ(c.paints, first);
  EXPECT_TRUE(c.BackBufferDirty);
  const int before = c.paints;
  c.Refresh();
  EXPECT_EQ(c.paints, before); // nothing painted inside the calls
  EXPECT_EQ(settle(c), 1);     // several requests in one turn: one paint
}

TEST(CanvasControl, ViewOperationsInvalidateModelChangesOnlyMarkDirty) {
  CountingCanvas c(nullptr);
  c.show();
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return c.paints > 0; }));
  settle(c);
  c.BackBufferDirty = false;
  const auto n = c.DrawLine(0, 0, 10, 10, 0);
  c.SetShapePenFg(n, 255);
  c.SetLayerPenWidth(0, 2);
  c.LayerOpen(QStringLiteral("L"));
  EXPECT_TRUE(c.BackBufferDirty);
  EXPECT_EQ(settle(c), 0);
  const std::function<void()> viewOps[] = {
      [&] { c.WorldPan(1, 1); },           [&] { c.WorldZoom(0, 0.1, 5, 5); },
      [&] { c.WorldSet(0, 100, 100, 0); }, [&] { c.WorldExtents(); },
      [&] { c.SetBackColor(0x123456); },
  };
  for (const auto &op : viewOps) {
    c.BackBufferDirty = false;
    op();
    EXPECT_TRUE(c.BackBufferDirty);
    EXPECT_EQ(settle(c), 1);
  }
  // The background it already has: neither dirty nor a paint.
  c.BackBufferDirty = false;
  c.SetBackColor(c.BackColor);
  EXPECT_FALSE(c.BackBufferDirty);
  EXPECT_EQ(settle(c), 0);
}

TEST(CanvasControl, ConversionsUseTheWidgetSize) {
  TTarvikCanvas c(nullptr);
  c.resize(800, 600);
  int sx = 0, sy = 0;
  c.WorldToScreen(500, 500, sx, sy);
  EXPECT_EQ(sx, 400);
  EXPECT_EQ(sy, 300);
  EXPECT_EQ(c.clientWidth(), 800);
}

TEST(CanvasControl, AboutBoxNamesTheComponent) {
  platform::ScriptedDialogs dialogs([](const QString &m) { ADD_FAILURE() << m.toStdString(); });
  dialogs.answer(mrOk);
  TTarvikCanvas c(nullptr);
  c.AboutBox();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("TTarvikCanvas")));
  EXPECT_EQ(dialogs.messages()[0].type, mtInformation);
}
