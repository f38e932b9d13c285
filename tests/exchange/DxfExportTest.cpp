// The R12 DXF export: the exact bytes of a file, each entity's lines, the layer table, and the
// faults a plain export would write into the file (line breaks, non-finite values, layer names
// R12 does not allow) or hide from its caller (a failed write).
#include "DxfExportSupport.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfWriter.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedDialogs.h"

#include <clocale>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

using namespace dxfexporttest;
using testsupport::TempDir;
using Lines = std::vector<std::string>;

std::string exported(TTarvikCanvas &canvas, const TempDir &dir) {
  const std::string path = dir.file("out.dxf");
  EXPECT_EQ(canvas.DXFSave(QString::fromStdString(path)), 1);
  return testsupport::readFile(path);
}

template <class Shape> Shape &add(DrawingModel &m, std::unique_ptr<Shape> shape) {
  Shape &s = *shape;
  m.appendShape(std::move(shape));
  return s;
}

TQPolyline &polyline(DrawingModel &m, int type, bool closed, int layer,
                     std::initializer_list<std::pair<double, double>> points) {
  auto &p = add(m, std::make_unique<TQPolyline>(type, closed, layer));
  for (const auto &[x, y] : points)
    p.AddPoint(x, y);
  return p;
}

TEST(DxfExport, EmptyCanvasIsHeaderEmptyLayerTableAndEmptyEntities) {
  TempDir dir;
  TTarvikCanvas canvas;
  const std::string expected = "0\nSECTION\n2\nHEADER\n"
                               "9\n$ACADVER\n1\nAC1009\n"
                               "9\n$DWGCODEPAGE\n3\nANSI_1254\n"
                               "9\n$INSBASE\n10\n0.0\n20\n0.0\n30\n0.0\n"
                               "9\n$EXTMIN\n10\n0.000000\n20\n0.000000\n30\n0.0\n"
                               "9\n$EXTMAX\n10\n1000.000000\n20\n1000.000000\n30\n0.0\n"
                               "0\nENDSEC\n"
                               "0\nSECTION\n2\nTABLES\n"
                               "0\nTABLE\n2\nLAYER\n70\n0\n"
                               "0\nENDTAB\n0\nENDSEC\n"
                               "0\nSECTION\n2\nENTITIES\n"
                               "0\nENDSEC\n0\nEOF\n";
  EXPECT_EQ(exported(canvas, dir), expected);
}

TEST(DxfExport, LineOnLayerLGivesTheWorkedLinesAndOneLayerEntry) {
  TempDir dir;
  TTarvikCanvas canvas;
  const int l = canvas.LayerOpen(QStringLiteral("L"));
  canvas.DrawLine(0, 0, 10, 5, l);
  const std::string text = exported(canvas, dir);
  EXPECT_EQ(entityLines(text),
            (Lines{"0", "LINE", "8", "L", "10", "0.000000", "20", "0.000000", "30", "0.0", "11",
                   "10.000000", "21", "5.000000", "31", "0.0"}));
  // "Default" holds no shape and is not declared.
  EXPECT_EQ(layerTableLines(text),
            (Lines{"0", "TABLE", "2", "LAYER", "70", "1", "0", "LAYER", "2", "L", "70", "0", "62",
                   "7", "6", "CONTINUOUS", "0", "ENDTAB"}));
}

// One shape on the layer "S" and the lines written for it.
TEST(DxfExport, EachShapeKindIsWrittenAsItsEntity) {
  struct Case {
    const char *what;
    std::function<void(DrawingModel &, int)> make;
    Lines lines;
  };
  const Lines vertex = {"0", "VERTEX", "8", "S"};
  auto v = [&](const char *x, const char *y) {
    Lines r = vertex;
    r.insert(r.end(), {"10", x, "20", y, "30", "0.0"});
    return r;
  };
  auto join = [](std::initializer_list<Lines> parts) {
    Lines r;
    for (const Lines &p : parts)
      r.insert(r.end(), p.begin(), p.end());
    return r;
  };
  const Lines seqend = {"0", "SEQEND", "8", "S"};
  const Case cases[] = {
      {"circle",
       [](DrawingModel &m, int l) { m.DrawCircle(-1.5, 2, 3.25, l); },
       {"0", "CIRCLE", "8", "S", "10", "-1.500000", "20", "2.000000", "30", "0.0", "40",
        "3.250000"}},
      {"point",
       [](DrawingModel &m, int l) { m.DrawPoint(7, -8.0000004, l); },
       {"0", "POINT", "8", "S", "10", "7.000000", "20", "-8.000000", "30", "0.0"}},
      {"text of height 0 and angle 0: height 2.5, no angle",
       [](DrawingModel &m, int l) {
         auto &t = add(m, std::make_unique<TQText>(1, 2, QStringLiteral("Depth 4.2"), -1, l));
         t.Height = 0;
       },
       {"0", "TEXT", "8", "S", "10", "1.000000", "20", "2.000000", "30", "0.0", "40", "2.500000",
        "1", "Depth 4.2"}},
      {"text of negative height and negative angle",
       [](DrawingModel &m, int l) {
         auto &t = add(m, std::make_unique<TQText>(1, 2, QStringLiteral("A"), -1, l));
         t.Height = -3;
         t.Angle = -30;
       },
       {"0", "TEXT", "8", "S", "10", "1.000000", "20", "2.000000", "30", "0.0", "40", "2.500000",
        "1", "A", "50", "-30.000000"}},
      {"text writes its own text, not the free text, and its height",
       [](DrawingModel &m, int l) {
         auto &t = add(m, std::make_unique<TQText>(0, 0, QStringLiteral("shown"), -1, l));
         t.Text = QStringLiteral("note");
         t.Height = 12.5;
       },
       {"0", "TEXT", "8", "S", "10", "0.000000", "20", "0.000000", "30", "0.0", "40", "12.500000",
        "1", "shown"}},
      {"empty text",
       [](DrawingModel &m, int l) { add(m, std::make_unique<TQText>(0, 0, QString(), -1, l)); },
       {"0", "TEXT", "8", "S", "10", "0.000000", "20", "0.000000", "30", "0.0", "40", "10.000000",
        "1", ""}},
      {"rectangle drawn from upper right to lower left keeps its corner order",
       [](DrawingModel &m, int l) { m.DrawRectangle(10, 20, 0, 5, l); },
       join({{"0", "POLYLINE", "8", "S", "66", "1", "70", "1"},
             v("10.000000", "20.000000"),
             v("0.000000", "20.000000"),
             v("0.000000", "5.000000"),
             v("10.000000", "5.000000"),
             seqend})},
      {"ellipse of type 20 becomes a circle of the mean half-axis",
       [](DrawingModel &m, int l) { m.DrawTwoPointEllipse(0, 4, 10, 0, l); },
       {"0", "CIRCLE", "8", "S", "10", "5.000000", "20", "2.000000", "30", "0.0", "40",
        "3.500000"}},
      {"open polyline",
       [](DrawingModel &m, int l) {
         m.DrawPolyline({{0, 0}, {1, 2}, {3, 4}}, l, false);
       },
       join({{"0", "POLYLINE", "8", "S", "66", "1", "70", "0"},
             v("0.000000", "0.000000"),
             v("1.000000", "2.000000"),
             v("3.000000", "4.000000"),
             seqend})},
      {"polygon of type 6 is closed",
       [](DrawingModel &m, int l) {
         m.DrawPolyline({{0, 0}, {1, 2}, {3, 0}}, l, true);
       },
       join({{"0", "POLYLINE", "8", "S", "66", "1", "70", "1"},
             v("0.000000", "0.000000"),
             v("1.000000", "2.000000"),
             v("3.000000", "0.000000"),
             seqend})},
      {"polyline of one point",
       [](DrawingModel &m, int l) {
         polyline(m, 5, false, l, {{2, 3}});
       },
       join(
           {{"0", "POLYLINE", "8", "S", "66", "1", "70", "0"}, v("2.000000", "3.000000"), seqend})},
      {"the closed flag decides, not the type code",
       [](DrawingModel &m, int l) {
         polyline(m, 5, true, l, {{2, 3}, {4, 5}});
       },
       join({{"0", "POLYLINE", "8", "S", "66", "1", "70", "1"},
             v("2.000000", "3.000000"),
             v("4.000000", "5.000000"),
             seqend})},
      {"polyline without points", [](DrawingModel &m, int l) { polyline(m, 5, false, l, {}); }, {}},
      {"spline",
       [](DrawingModel &m, int l) {
         polyline(m, 8, false, l, {{0, 0}, {1, 1}});
       },
       {}},
      {"three-point arc as polyline",
       [](DrawingModel &m, int l) {
         polyline(m, 10, false, l, {{0, 0}, {1, 1}, {2, 0}});
       },
       {}},
      {"three-point arc",
       [](DrawingModel &m, int l) { m.DrawThreePointArc(0, 0, 1, 1, 2, 0, l); },
       {}},
      {"ellipse of type 4",
       [](DrawingModel &m, int l) {
         add(m, std::make_unique<TQEllipse>(0, 0, 4, 4, l)).ShapeType = 4;
       },
       {}},
      {"hidden line",
       [](DrawingModel &m, int l) {
         const auto n = m.DrawLine(0, 0, 1, 1, l);
         m.FindShape(n)->Visible = false;
       },
       {}},
      {"type code that does not match the class",
       [](DrawingModel &m, int l) {
         add(m, std::make_unique<TQLine>(0, 0, 1, 1, l)).ShapeType = 19;
       },
       {}},
  };
  TempDir dir;
  for (const Case &c : cases) {
    TTarvikCanvas canvas;
    const int layer = canvas.LayerOpen(QStringLiteral("S"));
    c.make(canvas, layer);
    const std::string text = exported(canvas, dir);
    EXPECT_EQ(entityLines(text), c.lines) << c.what;
    // The layer of a shape that is not written is declared all the same.
    EXPECT_EQ(layerTableLines(text)[5], "1") << c.what;
  }
}

TEST(DxfExport, PolylineVerticesCarryTheirStoredFloats) {
  TempDir dir;
  TTarvikCanvas canvas;
  const int l = canvas.LayerOpen(QStringLiteral("P"));
  canvas.DrawPolyline({{4500000.37, 0.1}, {512345.678, -0.3}}, l, false);
  canvas.DrawLine(4500000.37, 0.1, 0, 0, l);
  const Lines lines = entityLines(exported(canvas, dir));
  ASSERT_EQ(lines.size(), 8u + 2 * 10u + 4u + 16u);
  // A float holds 4500000.37 as 4500000.5 and 512345.678 as 512345.6875.
  EXPECT_EQ(lines[13], "4500000.500000");
  EXPECT_EQ(lines[15], "0.100000");
  EXPECT_EQ(lines[23], "512345.687500");
  EXPECT_EQ(lines[25], "-0.300000");
  // The line's doubles are written as they are.
  EXPECT_EQ(lines[37], "4500000.370000");
}

TEST(DxfExport, LayerTableListsTheLayersInOrderOfFirstUse) {
  TempDir dir;
  TTarvikCanvas canvas;
  const int a = canvas.LayerOpen(QStringLiteral("A"));
  const int b = canvas.LayerOpen(QStringLiteral("B"));
  const int hidden = canvas.LayerOpen(QStringLiteral("Hidden"));
  canvas.LayerOpen(QStringLiteral("Unused"));
  canvas.DrawPoint(1, 1, b);
  const auto h = canvas.DrawPoint(2, 2, hidden);
  canvas.FindShape(h)->Visible = false;
  canvas.DrawPoint(3, 3, a);
  canvas.DrawPoint(4, 4, b);
  // A shape whose layer index names no layer: counted, not declared, written on "0".
  add(canvas, std::make_unique<TQPoint>(5, 5, 0, 42));
  // A layer whose shapes are all hidden is declared even though the layer itself is hidden too.
  canvas.FindLayer(hidden)->Visible = false;
  const std::string text = exported(canvas, dir);
  auto entry = [](const char *name) {
    return Lines{"0", "LAYER", "2", name, "70", "0", "62", "7", "6", "CONTINUOUS"};
  };
  Lines table = {"0", "TABLE", "2", "LAYER", "70", "4"};
  for (const char *name : {"B", "Hidden", "A"}) {
    const Lines e = entry(name);
    table.insert(table.end(), e.begin(), e.end());
  }
  table.insert(table.end(), {"0", "ENDTAB"});
  EXPECT_EQ(layerTableLines(text), table);
  const Lines lines = entityLines(text);
  Lines layersOfEntities;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
    if (lines[i] == "8")
      layersOfEntities.push_back(lines[i + 1]);
  EXPECT_EQ(layersOfEntities, (Lines{"B", "A", "B", "0"}));
}

TEST(DxfExport, ExtentsFollowTheViewAndNothingElseChanges) {
  TempDir dir;
  TTarvikCanvas canvas;
  canvas.DrawLine(1, 2, 3, 4, 0);
  const std::string before = exported(canvas, dir);
  canvas.WorldPan(250.5, -100);
  const std::string after = exported(canvas, dir);
  Lines a = splitLines(before), b = splitLines(after);
  ASSERT_EQ(a.size(), b.size());
  // $EXTMIN x, y and $EXTMAX x, y are lines 23, 25, 31 and 33.
  EXPECT_EQ(b[23], "250.500000");
  EXPECT_EQ(b[25], "-100.000000");
  EXPECT_EQ(b[31], "1250.500000");
  EXPECT_EQ(b[33], "900.000000");
  for (std::size_t i : {23u, 25u, 31u, 33u})
    a[i] = b[i];
  EXPECT_EQ(a, b);
}

TEST(DxfExport, ExportLeavesTheCanvasAsItWas) {
  TempDir dir;
  TTarvikCanvas canvas;
  canvas.DrawLine(1, 2, 3, 4, 0);
  canvas.ShapeSelect(1, false);
  canvas.BackBufferDirty = false;
  const auto next = canvas.NextShapeNumber;
  const double left = canvas.WorldLeft, top = canvas.WorldTop;
  exported(canvas, dir);
  EXPECT_FALSE(canvas.BackBufferDirty);
  EXPECT_EQ(canvas.NextShapeNumber, next);
  EXPECT_EQ(canvas.ShapeCount, 1);
  EXPECT_EQ(canvas.SelectedShapes, std::vector<std::int32_t>{1});
  EXPECT_EQ(canvas.WorldLeft, left);
  EXPECT_EQ(canvas.WorldTop, top);
  EXPECT_EQ(canvas.Layers.size(), 1);
}

TEST(DxfExport, NumbersUseAPointUnderACommaDecimalLocale) {
  TempDir dir;
  TTarvikCanvas canvas;
  canvas.DrawCircle(1234.5, -0.25, 2.75, 0);
  const std::string classic = exported(canvas, dir);
  if (!std::setlocale(LC_NUMERIC, "de_DE.utf8"))
    GTEST_SKIP() << "no comma-decimal locale installed";
  const std::string german = exported(canvas, dir);
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(german, classic);
  EXPECT_NE(classic.find("1234.500000\n"), std::string::npos);
}

// ---- Faults of a plain export

TEST(DxfExport, LineBreaksAndControlCharactersInTextsBecomeBlanks) {
  struct Case {
    QString text;
    std::string value;
  };
  const Case cases[] = {
      {QStringLiteral("Pier\nhead"), "Pier head"},
      {QStringLiteral("Pier\r\nhead"), "Pier head"},
      {QStringLiteral("Pier\rhead\n"), "Pier head "},
      {QStringLiteral("a\tb"), "a\tb"},
      {QStringLiteral("a\vb\fc") + QChar(0) + QStringLiteral("d"), "a b c d"},
      {QStringLiteral("\n\n"), "  "},
  };
  TempDir dir;
  for (const Case &c : cases) {
    TTarvikCanvas canvas;
    add(canvas, std::make_unique<TQText>(0, 0, c.text, -1, 0));
    const Lines lines = entityLines(exported(canvas, dir));
    ASSERT_EQ(lines.size(), 14u) << c.value;
    EXPECT_EQ(lines[13], c.value);
  }
}

TEST(DxfExport, TextsAreWrittenInTheAnsiCodePage) {
  TempDir dir;
  TTarvikCanvas canvas;
  add(canvas, std::make_unique<TQText>(0, 0, QStringLiteral("Şile İskele € 水"), -1, 0));
  const Lines lines = entityLines(exported(canvas, dir));
  ASSERT_EQ(lines.size(), 14u);
  EXPECT_EQ(lines[13], "\xDEile \xDDskele \x80 ?");
}

TEST(DxfExport, ShapesWithNonFiniteValuesAreLeftOutAndCounted) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  DrawingModel m;
  m.DrawLine(0, 0, 1, 1, 0);
  m.DrawLine(0, nan, 1, 1, 0);
  m.DrawCircle(0, 0, inf, 0);
  m.DrawPoint(-inf, 0, 0);
  add(m, std::make_unique<TQText>(0, 0, QStringLiteral("t"), -1, 0)).Angle = nan;
  add(m, std::make_unique<TQText>(0, 0, QStringLiteral("t"), -1, 0)).Height = inf;
  m.DrawRectangle(0, 0, nan, 1, 0);
  // Corners far apart: the circle's radius overflows.
  m.DrawTwoPointEllipse(-1.7e308, 0, 1.7e308, 1, 0);
  polyline(m, 5, false, 0, {{0, 0}, {inf, 1}});
  m.DrawPoint(5, 5, 0);
  // A text of NaN height is no height: written with 2.5 like a height of 0.
  add(m, std::make_unique<TQText>(0, 0, QStringLiteral("h"), -1, 0)).Height = nan;
  exchange::DxfExportSummary summary;
  const std::string text = exchange::buildDxfText(m, &summary);
  EXPECT_EQ(summary.entities, 3);
  EXPECT_EQ(summary.skippedNonFinite, 8);
  EXPECT_EQ(text.find("inf"), std::string::npos);
  EXPECT_EQ(text.find("nan"), std::string::npos);
  EXPECT_EQ(countOf(text, "\nLINE\n"), 1);
  EXPECT_EQ(countOf(text, "\nPOINT\n"), 1);
  EXPECT_EQ(countOf(text, "\nTEXT\n"), 1);
}

TEST(DxfExport, TheCommandTellsHowManyShapesWereLeftOut) {
  TempDir dir;
  TTarvikCanvas canvas;
  canvas.DrawLine(0, 0, 1, 1, 0);
  const auto nanLine = canvas.DrawLine(0, std::numeric_limits<double>::quiet_NaN(), 1, 1, 0);
  const auto infCircle = canvas.DrawCircle(0, 0, std::numeric_limits<double>::infinity(), 0);
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  const std::string path = dir.file("out.dxf");
  ASSERT_EQ(canvas.DXFSave(QString::fromStdString(path)), 1);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            QStringLiteral("DXF export: 2 shapes were left out because a coordinate or size of "
                           "theirs is not a finite number."));
  EXPECT_EQ(countOf(testsupport::readFile(path), "\nLINE\n"), 1);
  // A drawing with nothing left out is exported without a word.
  canvas.ShapeDelete(nanLine);
  canvas.ShapeDelete(infCircle);
  EXPECT_EQ(canvas.DXFSave(QString::fromStdString(path)), 1);
  EXPECT_EQ(dialogs.messages().size(), 1u);
}

TEST(DxfExport, NonFiniteViewWindowWritesTheDefaultExtents) {
  DrawingModel m;
  m.WorldLeft = std::numeric_limits<double>::quiet_NaN();
  const Lines lines = splitLines(exchange::buildDxfText(m));
  EXPECT_EQ((Lines{lines[23], lines[25], lines[31], lines[33]}),
            (Lines{"0.000000", "0.000000", "1000.000000", "1000.000000"}));
}

TEST(DxfExport, LayerNamesAreMadeValidForR12) {
  struct Case {
    std::vector<QString> canvas;
    Lines file;
  };
  const QString long40 = QString(40, QChar('x'));
  const Case cases[] = {
      // Valid names stay, the DXF import's prefix included.
      {{"Default", "_dxf_Walls", "Run-1$"}, {"Default", "_dxf_Walls", "Run-1$"}},
      {{"Tarvik Grid", "~~Tarvik Vessel", "a/b:c"}, {"Tarvik_Grid", "__Tarvik_Vessel", "a_b_c"}},
      {{QStringLiteral("Şamandıra")}, {"_amand_ra"}},
      {{""}, {"0"}},
      {{long40}, {std::string(31, 'x')}},
      // R12 does not tell case apart: each canvas layer keeps a layer of its own.
      {{"Depth", "DEPTH", "depth"}, {"Depth", "DEPTH_2", "depth_3"}},
      {{"a b", "a_b", "a?b"}, {"a_b", "a_b_2", "a_b_3"}},
      {{long40, long40 + "y"}, {std::string(31, 'x'), std::string(29, 'x') + "_2"}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(exchange::dxfLayerNames(c.canvas), c.file) << c.file.front();
}

TEST(DxfExport, MadeValidLayerNamesAgreeInTableAndEntities) {
  TempDir dir;
  TTarvikCanvas canvas;
  const int grid = canvas.LayerOpen(QStringLiteral("Tarvik Grid"));
  const int grid2 = canvas.LayerOpen(QStringLiteral("Tarvik_Grid"));
  canvas.DrawLine(0, 0, 1, 1, grid);
  canvas.DrawPolyline({{0, 0}, {1, 1}}, grid2, false);
  const std::string text = exported(canvas, dir);
  const Lines table = layerTableLines(text);
  ASSERT_EQ(table.size(), 6u + 2 * 10u + 2u);
  EXPECT_EQ(table[9], "Tarvik_Grid");
  EXPECT_EQ(table[19], "Tarvik_Grid_2");
  const Lines lines = entityLines(text);
  Lines layersOfEntities;
  for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
    if (lines[i] == "8")
      layersOfEntities.push_back(lines[i + 1]);
  EXPECT_EQ(layersOfEntities, (Lines{"Tarvik_Grid", "Tarvik_Grid_2", "Tarvik_Grid_2",
                                     "Tarvik_Grid_2", "Tarvik_Grid_2"}));
}

// ---- Files

TEST(DxfExport, ReplacesAnExistingFile) {
  TempDir dir;
  const std::string path = dir.file("old.dxf");
  testsupport::writeFile(path, std::string(100000, 'x'));
  TTarvikCanvas canvas;
  ASSERT_EQ(canvas.DXFSave(QString::fromStdString(path)), 1);
  EXPECT_EQ(testsupport::readFile(path), exchange::buildDxfText(canvas));
}

TEST(DxfExport, FailedCreateWriteOrCloseGivesZero) {
  TempDir dir;
  TTarvikCanvas canvas;
  for (int i = 0; i < 2000; ++i)
    canvas.DrawLine(i, i, i + 1, i + 1, 0); // more than one piece of the writer
  EXPECT_EQ(canvas.DXFSave(QString::fromStdString(dir.file("no/such/folder/a.dxf"))), 0);
  EXPECT_EQ(canvas.DXFSave(QString::fromStdString(dir.path())), 0);
  EXPECT_EQ(canvas.DXFSave(QString()), 0);
  // Opens fine, then every write fails as on a full disk.
  EXPECT_EQ(canvas.DXFSave(QStringLiteral("/dev/full")), 0);
}

// A disk that fills up during an export leaves the earlier export of that name as it was.
TEST(DxfExport, AFailedExportKeepsTheEarlierFile) {
  TempDir dir;
  const std::string path = dir.file("survey.dxf");
  TTarvikCanvas first;
  first.DrawLine(0, 0, 1, 1, 0);
  ASSERT_EQ(first.DXFSave(QString::fromStdString(path)), 1);
  const std::string before = testsupport::readFile(path);
  TTarvikCanvas bigger;
  for (int i = 0; i < 2000; ++i)
    bigger.DrawLine(i, i, i + 1, i + 1, 0);
  int saved = -1;
  {
    const testsupport::FileSizeLimit fullDisk(before.size() + 100);
    saved = bigger.DXFSave(QString::fromStdString(path));
  }
  EXPECT_EQ(saved, 0);
  EXPECT_EQ(testsupport::readFile(path), before);
}

TEST(DxfExport, WriterStopsWhenTheSinkRefuses) {
  DrawingModel m;
  for (int i = 0; i < 30000; ++i)
    m.DrawLine(i, i, i + 1, i + 1, 0);
  int calls = 0;
  EXPECT_FALSE(exchange::writeDxf(m, [&](std::string_view) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

} // namespace
