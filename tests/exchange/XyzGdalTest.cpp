// A raster written as XYZ points by GDAL (gdal_translate -of XYZ, the package gdal-bin) imports
// as a grid of squares that tiles the raster exactly, coloured over the raster's value range,
// whichever of GDAL's column separators and header line the file has.
#include "canvas/TarvikCanvas.h"
#include "exchange/XyzReader.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using testsupport::TempDir;

constexpr int kColumns = 40, kRows = 30;
constexpr double kLeft = 500000.0, kBottom = 4500000.0, kCell = 2.5;

// Depths that a 32-bit float raster holds exactly.
double depthAt(int row, int column) { return -(row * 0.5 + column * 0.25) - 1.0; }

// An ESRI ASCII grid: its first row is the northern one.
std::string asciiGrid() {
  std::ostringstream out;
  out << "ncols " << kColumns << "\nnrows " << kRows << "\nxllcorner " << kLeft << "\nyllcorner "
      << kBottom << "\ncellsize " << kCell << "\n";
  for (int r = 0; r < kRows; ++r) {
    for (int c = 0; c < kColumns; ++c)
      out << (c ? " " : "") << depthAt(r, c);
    out << "\n";
  }
  return out.str();
}

TEST(XyzGdal, RasterFromGdalTranslateBecomesSquaresTilingTheRaster) {
  const std::vector<QStringList> variants = {
      {},
      {QStringLiteral("-co"), QStringLiteral("ADD_HEADER_LINE=YES")},
      {QStringLiteral("-co"), QStringLiteral("COLUMN_SEPARATOR=,")},
      {QStringLiteral("-co"), QStringLiteral("COLUMN_SEPARATOR=\t")},
  };
  TempDir dir;
  const std::string raster = dir.file("depths.asc");
  testsupport::writeFile(raster, asciiGrid());
  const double deepest = depthAt(kRows - 1, kColumns - 1), shallowest = depthAt(0, 0);
  for (const QStringList &options : variants) {
    const std::string points = dir.file("depths.xyz");
    QProcess gdal;
    gdal.start(QStringLiteral("gdal_translate"),
               QStringList{QStringLiteral("-q"), QStringLiteral("-of"), QStringLiteral("XYZ")} +
                   options +
                   QStringList{QString::fromStdString(raster), QString::fromStdString(points)});
    ASSERT_TRUE(gdal.waitForStarted(10000)) << "gdal_translate (package gdal-bin) did not start";
    ASSERT_TRUE(gdal.waitForFinished(60000));
    ASSERT_EQ(gdal.exitCode(), 0) << gdal.readAllStandardError().toStdString();

    const std::string what = options.join(' ').toStdString();
    TTarvikCanvas canvas;
    ASSERT_TRUE(canvas.XYZLoad(QString::fromStdString(points), 2, 0, 0)) << what;
    ASSERT_EQ(canvas.ShapeCount, kColumns * kRows) << what;
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    for (int i = 0; i < canvas.ShapeCount; ++i) {
      const int row = i / kColumns, column = i % kColumns;
      auto *r = dynamic_cast<const TQRectangle *>(canvas.Shapes[i]);
      ASSERT_NE(r, nullptr) << what << " " << i;
      const double x = kLeft + (column + 0.5) * kCell;
      const double y = kBottom + (kRows - row - 0.5) * kCell;
      ASSERT_EQ((std::vector<double>{r->X1, r->Y1, r->X2, r->Y2}),
                (std::vector<double>{x - kCell / 2, y - kCell / 2, x + kCell / 2, y + kCell / 2}))
          << what << " " << i;
      ASSERT_EQ(r->Value, depthAt(row, column)) << what << " " << i;
      ASSERT_EQ(r->BrushFg, DepthColorRamp(r->Value, deepest, shallowest)) << what << " " << i;
      minX = std::min(minX, r->MinX);
      minY = std::min(minY, r->MinY);
      maxX = std::max(maxX, r->MaxX);
      maxY = std::max(maxY, r->MaxY);
    }
    EXPECT_EQ(
        (std::vector<double>{minX, minY, maxX, maxY}),
        (std::vector<double>{kLeft, kBottom, kLeft + kColumns * kCell, kBottom + kRows * kCell}))
        << what;
    // The deepest cell is red, the shallowest blue.
    EXPECT_EQ(canvas.Shapes[kColumns * kRows - 1]->BrushFg, 0x0000FFu) << what;
    EXPECT_EQ(canvas.Shapes[0]->BrushFg, 0xFF0000u) << what;
  }
}

} // namespace
