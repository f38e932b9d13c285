// The control: construction defaults, repaint requests and the inert operations.
#include "canvas/TarvikCanvas.h"
#include "support/TestSupport.h"

#include <QFile>
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
