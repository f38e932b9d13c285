// The frame of the DXF import: sections and passes, the layer table, blocks and references,
// records passed over, the messages of the canvas command and the drawing left alone when a
// file cannot be used.
#include "DxfImportTestSupport.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfReaderSupport.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace dxftest;
using testsupport::TempDir;

const std::string kLayerTable = section("TABLES", "0\nTABLE\n2\nLAYER\n70\n3\n"
                                                  "0\nLAYER\n2\nRED\n70\n0\n62\n1\n6\nCONTINUOUS\n"
                                                  "0\nLAYER\n2\nPLAIN\n70\n0\n" // no colour: white
                                                  "0\nLAYER\n2\nOFF\n70\n0\n62\n-5\n"
                                                  "0\nLAYER\n70\n0\n62\n3\n" // no name: dropped
                                                  "0\nENDTAB\n");

// A drawing's state as text, to show that a refused file changed nothing.
std::string fingerprint(const DrawingModel &m) {
  std::string f;
  for (const TQLayer *l : m.Layers)
    f += l->Name.toStdString() + ":" + std::to_string(l->PenFg) + (l->FromDXF ? "d" : "") + " ";
  for (const TQShape *s : m.Shapes)
    f += std::to_string(s->ShapeNumber) + "/" + std::to_string(s->ShapeType) + " ";
  f += std::to_string(m.Blocks.size()) + " " + std::to_string(m.CurrentLayer) + " " +
       std::to_string(m.NextShapeNumber) + " " + std::to_string(m.NextLayerIndex);
  return f;
}

TEST(DxfImportFrame, LayerTableGivesPenColoursAndOpensLayersInOrder) {
  DrawingModel m;
  const int off = m.LayerOpen(QStringLiteral("_dxf_OFF"));
  m.SetLayerPenFg(off, rgb(1, 2, 3));
  m.CurrentLayer = 0;
  const auto r = import(m, kLayerTable + entitiesFile("0\nLINE\n8\nNEW\n0\nLINE\n8\nRED\n"));
  ASSERT_EQ(r.importCount, 2);
  const int red = m.LayerFindByName(QStringLiteral("_dxf_RED"));
  const int plain = m.LayerFindByName(QStringLiteral("_dxf_PLAIN"));
  const int fresh = m.LayerFindByName(QStringLiteral("_dxf_NEW"));
  ASSERT_TRUE(red > off && plain == red + 1 && fresh == plain + 1);
  EXPECT_EQ(m.GetLayerPenFg(red), rgb(255, 0, 0));
  EXPECT_EQ(m.GetLayerPenFg(plain), rgb(255, 255, 255));
  EXPECT_EQ(m.GetLayerPenFg(fresh), 0u);
  // A switched-off layer keeps its pen and stays visible; it was there before, so no flag.
  EXPECT_EQ(m.GetLayerPenFg(off), rgb(1, 2, 3));
  EXPECT_TRUE(m.FindLayer(off)->Visible);
  EXPECT_FALSE(m.FindLayer(off)->FromDXF);
  EXPECT_TRUE(m.FindLayer(red)->FromDXF);
  EXPECT_TRUE(m.FindLayer(fresh)->FromDXF);
  EXPECT_EQ(m.CurrentLayer, fresh);
  EXPECT_EQ(m.Layers.size(), 5);
  EXPECT_EQ(m.Shapes[1]->PenFg, rgb(255, 0, 0)); // by layer

  // The same file again: every shape twice, no new layer.
  import(m, kLayerTable + entitiesFile("0\nLINE\n8\nNEW\n0\nLINE\n8\nRED\n"));
  EXPECT_EQ(m.ShapeCount, 4);
  EXPECT_EQ(m.Layers.size(), 5);
}

TEST(DxfImportFrame, GetOrCreateDxfLayerFindsOrOpens) {
  TTarvikCanvas canvas;
  const int a = canvas.GetOrCreateDXFLayer("WALLS");
  EXPECT_EQ(canvas.CurrentLayer, a);
  EXPECT_TRUE(canvas.FindLayer(a)->FromDXF);
  EXPECT_EQ(canvas.FindLayer(a)->Name, QStringLiteral("_dxf_WALLS"));
  canvas.CurrentLayer = 0;
  EXPECT_EQ(canvas.GetOrCreateDXFLayer("WALLS"), a);
  EXPECT_EQ(canvas.CurrentLayer, 0); // found: nothing changes
  // Names are 8-bit text in the ANSI code page, and match exactly.
  const int turkish = canvas.GetOrCreateDXFLayer("K\xDD\xDE");
  EXPECT_EQ(canvas.FindLayer(turkish)->Name, QString::fromUtf8("_dxf_KİŞ"));
  EXPECT_NE(canvas.GetOrCreateDXFLayer("walls"), a);
}

std::string blockB(const char *insertGroups) {
  return section("BLOCKS", "0\nBLOCK\n8\n0\n2\nB\n70\n0\n10\n1\n20\n1\n30\n0\n"
                           "0\nLINE\n8\n0\n62\n3\n10\n1\n20\n1\n11\n2\n21\n1\n"
                           "0\nENDBLK\n8\n0\n") +
         entitiesFile("0\nINSERT\n8\nINS\n2\nB\n10\n10\n20\n20\n" + std::string(insertGroups));
}

TEST(DxfImportFrame, BlockReferencesPlaceTheBlocksLines) {
  const struct {
    const char *groups;
    double x1, y1, x2, y2;
    TColor pen;
  } cases[] = {
      {"41\n2\n42\n3\n50\n90\n", 10, 20, 10, 22, 0},
      {"", 10, 20, 11, 20, 0},
      {"62\n1\n", 10, 20, 11, 20, rgb(255, 0, 0)},
      {"62\n256\n", 10, 20, 11, 20, 0},
      {"41\n-1\n", 10, 20, 9, 20, 0},
      {"41\n0\n", 10, 20, 10, 20, 0},
  };
  for (const auto &c : cases) {
    DrawingModel m;
    const int ins = m.LayerOpen(QStringLiteral("_dxf_INS"));
    m.SetLayerPenFg(ins, rgb(255, 0, 0));
    m.SetLayerPenWidth(ins, 4);
    const auto r = import(m, blockB(c.groups));
    ASSERT_EQ(r.importCount, 1) << c.groups;
    const auto *l = shapeAt<TQLine>(m, 0);
    ASSERT_NE(l, nullptr);
    EXPECT_NEAR(l->X1, c.x1, 1e-9) << c.groups;
    EXPECT_NEAR(l->Y1, c.y1, 1e-9) << c.groups;
    EXPECT_NEAR(l->X2, c.x2, 1e-9) << c.groups;
    EXPECT_NEAR(l->Y2, c.y2, 1e-9) << c.groups;
    EXPECT_EQ(l->PenFg, c.pen) << c.groups;
    EXPECT_EQ(l->PenWidth, 1);
    EXPECT_EQ(l->Layer, ins);
    ASSERT_EQ(m.Blocks.size(), 1u);
    EXPECT_EQ(m.Blocks[0]->Name, QStringLiteral("B"));
    EXPECT_EQ(m.Blocks[0]->Shapes.size(), 1u);
  }
}

TEST(DxfImportFrame, EveryBlockIsReadAndOnlyItsLinesAreKept) {
  // Blocks after the first (each ENDBLK on layer 0), a block named further down, a circle in a
  // block, and a BLOCK left open by the next one.
  DrawingModel m;
  import(m, section("BLOCKS", "0\nBLOCK\n2\nOPEN\n0\nLINE\n11\n1\n"
                              "0\nBLOCK\n8\n0\n2\nA\n0\nLINE\n11\n1\n0\nCIRCLE\n40\n1\n"
                              "0\nLINE\n21\n1\n0\nENDBLK\n8\n0\n"
                              "0\nBLOCK\n8\n0\n2\nLATER\n0\nLINE\n11\n5\n0\nENDBLK\n8\n0\n"
                              "0\nENDBLK\n8\n0\n") +
                entitiesFile("0\nINSERT\n2\nA\n0\nINSERT\n2\nLATER\n0\nINSERT\n2\nOPEN\n"));
  ASSERT_EQ(m.Blocks.size(), 2u);
  EXPECT_EQ(m.Blocks[0]->Name, QStringLiteral("A"));
  EXPECT_EQ(m.Blocks[1]->Name, QStringLiteral("LATER"));
  EXPECT_EQ(m.ShapeCount, 3);
  // An earlier import's block keeps its name: a later definition of it is listed, not used.
  import(m, section("BLOCKS", "0\nBLOCK\n2\nA\n0\nENDBLK\n") + entitiesFile("0\nINSERT\n2\nA\n"));
  EXPECT_EQ(m.Blocks.size(), 3u);
  EXPECT_EQ(m.ShapeCount, 5);
}

TEST(DxfImportFrame, UnknownRecordsArePassedOverPairByPair) {
  // A HATCH whose last value is "0", an unknown entity with values "0" and "SECTION", a
  // lower-case name, and VERTEX/SEQEND outside a polyline: only the real records count.
  DrawingModel m;
  const auto r = import(m, entitiesFile("0\nHATCH\n8\n0\n10\n5\n20\n5\n97\n0\n"
                                        "0\nLINE\n8\nA\n"
                                        "0\nXRECORD\n1\n0\n1\nLINE\n1\n0\n70\n0\n"
                                        "0\nLINE\n8\nB\n"
                                        "0\nline\n8\nC\n"
                                        "0\nSEQEND\n8\n0\n0\nVERTEX\n8\n0\n10\n1\n"
                                        "0\nLINE\n8\nD\n"));
  EXPECT_EQ(r.importCount, 3);
  ASSERT_EQ(m.ShapeCount, 3);
  EXPECT_EQ(layerName(m, m.Shapes[0]->Layer), "_dxf_A");
  EXPECT_EQ(layerName(m, m.Shapes[1]->Layer), "_dxf_B");
  EXPECT_EQ(layerName(m, m.Shapes[2]->Layer), "_dxf_D");
}

TEST(DxfImportFrame, LinesReadAlikeWithCarriageReturnsBlanksAndAByteOrderMark) {
  const std::string bare = entitiesFile("0\nLINE\n8\nA\n10\n1\n0\nLINE\n8\nA\n11\n2\n");
  std::string crlf;
  for (char c : bare)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  std::string padded = "  0\r\nSECTION \r\n  2\r\nENTITIES\t\r\n  0\r\nLINE\r\n  8\r\nA \r\n"
                       " 10\r\n1\r\n  0\r\nLINE\r\n  8\r\nA\r\n 11\r\n 2\r\n  0\r\nENDSEC";
  for (const std::string &text : {bare, crlf, padded, "\xEF\xBB\xBF" + bare}) {
    DrawingModel m;
    const auto r = import(m, text);
    EXPECT_EQ(r.importCount, 2);
    ASSERT_EQ(m.ShapeCount, 2);
    EXPECT_EQ(shapeAt<TQLine>(m, 0)->X1, 1.0);
    EXPECT_EQ(shapeAt<TQLine>(m, 1)->X2, 2.0);
    EXPECT_EQ(m.LayerFindByName(QStringLiteral("_dxf_A")), 1);
  }
}

TEST(DxfImportFrame, BlockReferencesStopAtTheMemoryBudget) {
  using namespace exchange::dxf;
  std::string inserts;
  for (int i = 0; i < 5; ++i)
    inserts += "0\nINSERT\n2\nTWO\n10\n" + std::to_string(i) + "\n";
  const std::string file = section("BLOCKS", "0\nBLOCK\n2\nTWO\n0\nLINE\n0\nLINE\n0\nENDBLK\n"
                                             "0\nBLOCK\n2\nONE\n0\nLINE\n0\nENDBLK\n") +
                           entitiesFile(inserts + "0\nINSERT\n2\nONE\n0\nLINE\n");
  // Room for the two blocks, the layer "0" and two references of two lines, not for a third.
  const std::int64_t line = kShapeOverhead + static_cast<std::int64_t>(sizeof(TQLine));
  exchange::DxfReadLimits limits;
  limits.memoryBudget =
      2 * (kBlockCost + 6) + 3 * kBlockLineCost + kLayerCost + 8 + 4 * line + line / 2;
  DrawingModel m;
  const auto r = exchange::importDxfBytes(m, file, limits);
  // The third reference stops the import: what follows it, the one-line reference and the line
  // included, is left out, and the message says so.
  EXPECT_TRUE(r.stoppedAtBudget);
  EXPECT_EQ(r.importCount, 4);
  EXPECT_EQ(m.ShapeCount, 4);
  EXPECT_EQ(exchange::dxfLoadSummary(m, r),
            QStringLiteral("DXF loaded: 4 entities\nLines: 4, Circles: 0, Texts: 0, "
                           "Polylines: 0\nBlocks: 2\nThe import stopped at its memory limit of "
                           "0 MB: the rest of the file was left out."));
  // With room for one line more, the third reference still does not fit.
  limits.memoryBudget += line;
  DrawingModel again;
  EXPECT_EQ(exchange::importDxfBytes(again, file, limits).importCount, 4);
  // With room for every reference nothing stops.
  limits.memoryBudget += 20 * line;
  DrawingModel all;
  const auto whole = exchange::importDxfBytes(all, file, limits);
  EXPECT_FALSE(whole.stoppedAtBudget);
  EXPECT_EQ(whole.importCount, 12);
}

TEST(DxfImportFrame, AnOverlongLineKeepsItsStartAndTheRecordsAfterIt) {
  DrawingModel m;
  exchange::DxfReadLimits limits;
  limits.maxLineBytes = 32;
  const std::string longText(1000, 'x');
  const auto r = exchange::importDxfBytes(
      m, entitiesFile("0\nTEXT\n1\n" + longText + "\n0\nLINE\n8\nAFTER\n"), limits);
  ASSERT_EQ(r.importCount, 2);
  EXPECT_EQ(shapeAt<TQText>(m, 0)->DisplayText, QString(32, QChar('x')));
  EXPECT_EQ(layerName(m, m.Shapes[1]->Layer), "_dxf_AFTER");
}

// ---- The canvas command

class DxfLoadCommand : public ::testing::Test {
protected:
  bool load(const std::string &bytes) {
    testsupport::writeFile(dir.file("in.dxf"), bytes);
    return canvas.DXFLoad(QString::fromStdString(dir.file("in.dxf")));
  }
  TempDir dir;
  TTarvikCanvas canvas;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(DxfLoadCommand, SummaryCountsTheWholeDrawing) {
  canvas.DrawLine(0, 0, 1, 1, 0);
  canvas.DrawPolyline({{0, 0}, {1, 1}}, 0, false);
  dialogs.answer(mrOk);
  ASSERT_TRUE(load(kLayerTable + entitiesFile("0\nTEXT\n1\nFirst\n40\n1.25\n"
                                              "0\nLINE\n0\nCIRCLE\n40\n1\n0\nTEXT\n1\nNext\n"
                                              "0\nLWPOLYLINE\n10\n0\n20\n0\n10\n1\n20\n1\n"
                                              "0\nARC\n0\nPOINT\n")));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            QStringLiteral("DXF loaded: 7 entities\nLines: 2, Circles: 1, Texts: 2, Polylines: "
                           "3\nBlocks: 0\nFirst text: 'First' FontSize=1.25"));
  EXPECT_EQ(canvas.ShapeCount, 9);
  EXPECT_TRUE(canvas.BackBufferDirty);
  // The view shows everything.
  EXPECT_LE(canvas.WorldLeft, -1.0);
  EXPECT_GE(canvas.WorldRight, 1.0);
}

TEST_F(DxfLoadCommand, NothingImportedIsReportedAndTheTablesStay) {
  dialogs.answer(mrOk);
  canvas.WorldSet(500, 600, 600, 500);
  EXPECT_FALSE(load(kLayerTable + section("BLOCKS", "0\nBLOCK\n2\nB\n0\nENDBLK\n") +
                    entitiesFile("0\nINSERT\n8\nMISSING\n2\nNOPE\n0\nTEXT\n1\n \n")));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("DXF load failed: No entities found"));
  EXPECT_EQ(canvas.Blocks.size(), 1u);
  EXPECT_GE(canvas.LayerFindByName(QStringLiteral("_dxf_RED")), 0);
  EXPECT_EQ(canvas.LayerFindByName(QStringLiteral("_dxf_MISSING")), -1);
  EXPECT_EQ(canvas.WorldLeft, 0.0); // fitted: the default window of an empty drawing
  EXPECT_EQ(canvas.WorldRight, 1000.0);
}

TEST_F(DxfLoadCommand, NoEntitiesSectionLeavesTheDrawingAlone) {
  canvas.DrawLine(0, 0, 1, 1, 0);
  const std::string before = fingerprint(canvas);
  for (const std::string &bytes :
       {std::string(), std::string("0\n"), kLayerTable + section("BLOCKS", "0\nBLOCK\n2\nB\n"),
        std::string("0\nSECTION\n2\nentities\n0\nLINE\n0\nENDSEC\n")}) {
    dialogs.answer(mrOk);
    EXPECT_FALSE(load(bytes));
    EXPECT_EQ(fingerprint(canvas), before);
  }
  ASSERT_EQ(dialogs.messages().size(), 4u);
  for (const auto &msg : dialogs.messages())
    EXPECT_EQ(msg.text, QStringLiteral("DXF load failed: ENTITIES section not found"));
}

TEST_F(DxfLoadCommand, FilesThatCannotBeReadChangeNothingAndSayNothing) {
  canvas.DrawLine(0, 0, 1, 1, 0);
  const std::string before = fingerprint(canvas);
  EXPECT_FALSE(canvas.DXFLoad(QString::fromStdString(dir.file("missing.dxf"))));
  EXPECT_FALSE(canvas.DXFLoad(QString::fromStdString(dir.path()))); // a folder
  const std::string fifo = dir.file("pipe.dxf");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(canvas.DXFLoad(QString::fromStdString(fifo))); // returns at once
  testsupport::writeFile(dir.file("locked.dxf"), entitiesFile("0\nLINE\n"));
  ::chmod(dir.file("locked.dxf").c_str(), 0);
  if (::access(dir.file("locked.dxf").c_str(), R_OK) != 0) { // root reads it all the same
    EXPECT_FALSE(canvas.DXFLoad(QString::fromStdString(dir.file("locked.dxf"))));
  }
  EXPECT_EQ(fingerprint(canvas), before);
  EXPECT_TRUE(dialogs.messages().empty());
}

} // namespace

namespace {

TEST(DxfImportFrame, AFileLargerThanOneReadImportsWhole) {
  // Far more than one read of the file reader, lines of every length cut at every place, and
  // CR LF ends split between two reads.
  std::string body;
  const int n = 40000;
  for (int i = 0; i < n; ++i)
    body += "  0\r\nLINE\r\n  8\r\nLAYER_" + std::string(std::size_t(i % 17), 'x') + "\r\n 10\r\n" +
            std::to_string(i) + ".5\r\n 21\r\n" + std::to_string(-i) + "\r\n";
  const std::string bytes = "\xEF\xBB\xBF" + entitiesFile(body);
  ASSERT_GT(bytes.size(), std::size_t{2} << 20);
  TempDir dir;
  testsupport::writeFile(dir.file("big.dxf"), bytes);
  DrawingModel fromFile;
  const auto r = exchange::importDxfFile(fromFile, QString::fromStdString(dir.file("big.dxf")));
  ASSERT_EQ(r.importCount, n);
  for (int i : {0, 1, 4095, 12345, n - 1}) {
    const auto *l = shapeAt<TQLine>(fromFile, i);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->X1, i + 0.5);
    EXPECT_EQ(l->Y2, -i);
    EXPECT_EQ(layerName(fromFile, l->Layer), "_dxf_LAYER_" + std::string(std::size_t(i % 17), 'x'));
  }
  EXPECT_EQ(fromFile.Layers.size(), 18);
}

} // namespace
