// The drawing maker's drawings: the shapes asked for, all within the area, the same every time,
// and a file the drawing reader takes back whole.
#include "tools/ScatteredDrawing.h"
#include "canvas/DrawingModel.h"
#include "canvas/Shapes.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

sim::ScatteredDrawing area(DrawingModel &m, int shapes) {
  sim::ScatteredDrawing d;
  d.centreEasting = 415900;
  d.centreNorthing = 4541000;
  d.size = 2000;
  d.shapes = shapes;
  d.trackLayer = m.LayerOpen(QStringLiteral("track_fix"));
  d.markLayer = m.LayerOpen(QStringLiteral("tarvik_usershape"));
  return d;
}

} // namespace

TEST(ScatteredDrawing, HoldsTheShapesAskedForWithinTheArea) {
  DrawingModel m;
  const sim::ScatteredDrawing d = area(m, 3000);
  sim::addScatteredDrawing(m, d);
  ASSERT_EQ(m.ShapeCount, 3000);
  std::map<int, int> kinds;
  // Track lines walk up to 5 m a step from a point inside; circles reach 20 m out.
  const double reach = d.size / 2 + 200;
  for (int i = 0; i < m.Shapes.size(); ++i) {
    const TQShape &s = *m.Shapes[i];
    ++kinds[s.ShapeType];
    EXPECT_GT(s.MinX, d.centreEasting - reach);
    EXPECT_LT(s.MaxX, d.centreEasting + reach);
    EXPECT_GT(s.MinY, d.centreNorthing - reach);
    EXPECT_LT(s.MaxY, d.centreNorthing + reach);
    EXPECT_EQ(s.Layer, s.ShapeType == 3 ? d.trackLayer : d.markLayer);
  }
  // Lines, points, texts and circles, about 70, 20, 5 and 5 in a hundred.
  EXPECT_NEAR(kinds[3], 2100, 150);
  EXPECT_NEAR(kinds[17], 600, 100);
  EXPECT_NEAR(kinds[11], 150, 60);
  EXPECT_NEAR(kinds[19], 150, 60);
}

TEST(ScatteredDrawing, IsTheSameEveryTimeAndReadsBackWhole) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  DrawingModel a, b;
  sim::addScatteredDrawing(a, area(a, 500));
  sim::addScatteredDrawing(b, area(b, 500));
  const QString path = dir.filePath(QStringLiteral("area.zrv"));
  ASSERT_TRUE(a.CadSave(path, 0));
  DrawingModel read;
  ASSERT_TRUE(read.CadLoad(path, -1, -1, 0));
  ASSERT_EQ(read.ShapeCount, 500);
  for (int i = 0; i < 500; ++i) {
    EXPECT_EQ(a.Shapes[i]->MinX, b.Shapes[i]->MinX) << i;
    EXPECT_EQ(a.Shapes[i]->MaxY, b.Shapes[i]->MaxY) << i;
    EXPECT_EQ(read.Shapes[i]->ShapeType, a.Shapes[i]->ShapeType) << i;
    EXPECT_NEAR(read.Shapes[i]->MinX, a.Shapes[i]->MinX, 1e-6) << i;
  }
}
