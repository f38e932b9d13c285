// Hostile DXF files: small files that would take memory without bound (bare records, many
// references to a large block, endless vertex lists, a layer per entity, a huge block) stop at
// the import's budget, keep what was read before and say why; a binary DXF is named as such.
#include "DxfImportTestSupport.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfReaderSupport.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace dxftest;
using namespace exchange::dxf;
using testsupport::TempDir;

std::string repeated(std::string_view piece, int n) {
  std::string s;
  s.reserve(piece.size() * static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    s += piece;
  return s;
}

std::string blockOfLines(std::string_view name, int lines) {
  return section("BLOCKS", "0\nBLOCK\n2\n" + std::string(name) + "\n" +
                               repeated("0\nLINE\n11\n1\n21\n1\n", lines) + "0\nENDBLK\n");
}

TEST(DxfImportBudget, HostileFilesStopAtTheBudgetAndKeepWhatCameBefore) {
  const struct Case {
    const char *what;
    std::string bytes;
    std::int64_t budget;
    int minShapes; // what must have been kept
  } cases[] = {
      // 20 000 references of 1000 lines: 20 million lines from 300 kB.
      {"references", blockOfLines("B", 1000) + entitiesFile(repeated("0\nINSERT\n2\nB\n", 20000)),
       std::int64_t{24} << 20, 20000},
      // 8 bytes a point.
      {"bare points", entitiesFile("0\nLINE\n" + repeated("0\nPOINT\n", 400000)),
       std::int64_t{16} << 20, 20000},
      // One polyline whose vertices alone outgrow the budget.
      {"endless vertices",
       entitiesFile("0\nLINE\n0\nLWPOLYLINE\n" + repeated("10\n1\n20\n2\n", 300000)),
       std::int64_t{4} << 20, 1},
      {"old-style vertices",
       entitiesFile("0\nLINE\n0\nPOLYLINE\n" + repeated("0\nVERTEX\n10\n1\n20\n2\n", 300000)),
       std::int64_t{4} << 20, 1},
      {"spline points", entitiesFile("0\nLINE\n0\nSPLINE\n" + repeated("10\n1\n20\n2\n", 300000)),
       std::int64_t{4} << 20, 1},
      {"spline y values alone", entitiesFile("0\nLINE\n0\nSPLINE\n" + repeated("20\n2\n", 600000)),
       std::int64_t{4} << 20, 1},
      // A layer of its own for every entity.
      {"layers", entitiesFile([] {
         std::string s;
         for (int i = 0; i < 50000; ++i)
           s += "0\nLINE\n8\nL" + std::to_string(i) + "\n";
         return s;
       }()),
       std::int64_t{4} << 20, 1000},
      // A block too large to hold: the entities after it are never reached.
      {"huge block", blockOfLines("B", 400000) + entitiesFile("0\nLINE\n"), std::int64_t{8} << 20,
       0},
  };
  for (const Case &c : cases) {
    DrawingModel m;
    exchange::DxfReadLimits limits;
    limits.memoryBudget = c.budget;
    const auto r = exchange::importDxfBytes(m, c.bytes, limits);
    EXPECT_EQ(r.status, exchange::DxfImportOutcome::Status::Imported) << c.what;
    EXPECT_TRUE(r.stoppedAtBudget) << c.what;
    EXPECT_GE(r.importCount, c.minShapes) << c.what;
    EXPECT_EQ(m.ShapeCount, r.importCount) << c.what;
    EXPECT_LE(r.importCount * kShapeOverhead, c.budget) << c.what;
    EXPECT_LE(static_cast<std::int64_t>(m.Layers.size()) * kLayerCost, c.budget + kLayerCost)
        << c.what;
    std::int64_t blockLines = 0;
    for (const auto &b : m.Blocks)
      blockLines += static_cast<std::int64_t>(b->Shapes.size());
    EXPECT_LE(blockLines * kBlockLineCost, c.budget) << c.what;
    for (const TQShape *s : m.Shapes) {
      if (const auto *p = dynamic_cast<const TQPolyline *>(s)) {
        EXPECT_LE(static_cast<std::int64_t>(p->Points.size()) * 8, c.budget) << c.what;
      }
    }
    const QString note =
        QStringLiteral("The import stopped at its memory limit of %1 MB: the rest of the file "
                       "was left out.")
            .arg(c.budget >> 20);
    const QString message =
        r.importCount > 0 ? exchange::dxfLoadSummary(m, r) : exchange::dxfNothingImportedMessage(r);
    EXPECT_TRUE(message.endsWith(QStringLiteral("\n") + note)) << message.toStdString();
  }
}

TEST(DxfImportBudget, NoEntitiesFoundSaysWhenEveryReferenceWasLeftOut) {
  // The one reference needs more than the budget holds: nothing arrives, and the message says
  // that the budget, not the file, is the reason.
  const std::string file =
      blockOfLines("B", 5000) + entitiesFile("0\nINSERT\n2\nB\n0\nINSERT\n2\nB\n");
  exchange::DxfReadLimits limits;
  limits.memoryBudget = std::int64_t{2} << 20;
  DrawingModel m;
  const auto r = exchange::importDxfBytes(m, file, limits);
  EXPECT_EQ(r.importCount, 0);
  EXPECT_TRUE(r.stoppedAtBudget);
  ASSERT_EQ(m.Blocks.size(), 1u);
  EXPECT_EQ(exchange::dxfNothingImportedMessage(r),
            QStringLiteral("DXF load failed: No entities found\nThe import stopped at its memory "
                           "limit of 2 MB: the rest of the file was left out."));

  // Without the budget in the way the message stays as it was.
  limits.memoryBudget = std::int64_t{64} << 20;
  DrawingModel fits;
  EXPECT_EQ(exchange::importDxfBytes(fits, file, limits).importCount, 10000);
  DrawingModel none;
  const auto missing = exchange::importDxfBytes(none, entitiesFile("0\nINSERT\n2\nNOPE\n"));
  EXPECT_FALSE(missing.stoppedAtBudget);
  EXPECT_EQ(exchange::dxfNothingImportedMessage(missing),
            QStringLiteral("DXF load failed: No entities found"));
}

TEST(DxfImportBudget, BinaryDxfIsNamedAndChangesNothing) {
  TempDir dir;
  TTarvikCanvas canvas;
  canvas.DrawLine(0, 0, 1, 1, 0);
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  std::string bytes("AutoCAD Binary DXF\r\n\x1a\0", 22);
  bytes += std::string("\0\x08SECTION\0\x02ENTITIES\0", 20) + std::string(200, '\x01');
  testsupport::writeFile(dir.file("binary.dxf"), bytes);
  EXPECT_FALSE(canvas.DXFLoad(QString::fromStdString(dir.file("binary.dxf"))));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            QStringLiteral("DXF load failed: binary DXF files are not read; save the drawing as "
                           "ASCII DXF"));
  EXPECT_EQ(canvas.ShapeCount, 1);
  EXPECT_EQ(canvas.Layers.size(), 1);

  DrawingModel m;
  EXPECT_EQ(exchange::importDxfBytes(m, bytes).status, exchange::DxfImportOutcome::Status::Binary);
}

} // namespace
