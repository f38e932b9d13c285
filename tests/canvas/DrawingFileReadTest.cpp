// Reading drawing files: the records, their defaults and the reader's rules, replace and add
// modes, plain and CR LF texts, and a round trip of every kind of shape.
#include "CountingModel.h"
#include "DrawingFileTestSupport.h"
#include "canvas/DrawingFile.h"
#include "support/TestSupport.h"

#include <functional>
#include <sys/stat.h>
#include <typeinfo>

namespace {

using namespace drawingfiletest;
using testsupport::TempDir;

// Loads a plain text through CadLoad.
bool loadText(DrawingModel &m, const std::string &text, int keep) {
  TempDir dir;
  writeBytes(dir.file("t.zrv"), text);
  return m.CadLoad(QString::fromStdString(dir.file("t.zrv")), -1, -1, keep);
}

template <class T> const T *lastShape(const DrawingModel &m) {
  return m.Shapes.empty() ? nullptr : dynamic_cast<const T *>(m.Shapes.back());
}

using testsupport::CountingModel;

TEST(DrawingFileRead, ReplaceModeReopensTheLayersAndTheLastBecomesCurrent) {
  CountingModel m;
  m.LayerOpen(QStringLiteral("X"));
  m.LayerOpen(QStringLiteral("Y"));
  m.DrawLine(0, 0, 1, 1, 1);
  m.ShapeSelect(1, false);
  m.BackBufferDirty = false;
  ASSERT_TRUE(loadText(m,
                       "LAYER Default\nLAYER A\nLAYER B\n"
                       "LINE 0 0 1 1 2 255 1\nPOINT 0 0 1\n",
                       0));
  ASSERT_EQ(m.Layers.size(), 3);
  const char *names[] = {"Default", "A", "B"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m.Layers[i]->Index, i);
    EXPECT_EQ(m.Layers[i]->Name, QString::fromLatin1(names[i]));
  }
  EXPECT_EQ(m.CurrentLayer, 2);
  EXPECT_EQ(m.NextLayerIndex, 3);
  ASSERT_EQ(m.ShapeCount, 2);
  EXPECT_EQ(m.Shapes[0]->ShapeNumber, 1);
  EXPECT_EQ(m.Shapes[0]->Layer, 2);
  EXPECT_EQ(m.Shapes[1]->ShapeNumber, 2);
  EXPECT_EQ(m.Shapes[1]->Layer, 1);
  EXPECT_EQ(m.NextShapeNumber, 3);
  EXPECT_TRUE(m.SelectedShapes.empty());
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_GT(m.invalidations, 0);
}

TEST(DrawingFileRead, LayerNamesAreCutAtTheFirstBlank) {
  DrawingModel m;
  ASSERT_TRUE(loadText(m, "LAYER Default\nLAYER Tarvik Grid\nLAYER Tarvik Track\nLAYER\n", 0));
  ASSERT_EQ(m.Layers.size(), 3);
  EXPECT_EQ(m.Layers[1]->Name, QStringLiteral("Tarvik"));
  EXPECT_EQ(m.Layers[2]->Name, QString());
  EXPECT_EQ(m.CurrentLayer, 2);
  // A name that cuts to one already open reuses that layer and makes it current.
  ASSERT_TRUE(loadText(m, "LAYER Default\nLAYER Tarvik Grid\nLAYER Tarvik\tTrack\n", 0));
  ASSERT_EQ(m.Layers.size(), 2);
  EXPECT_EQ(m.CurrentLayer, 1);
}

TEST(DrawingFileRead, AddModeKeepsTheDrawingAndTakesLayerNumbersAsIndices) {
  // Any keep but 0 adds.
  for (int keep : {2, 1, -1}) {
    SCOPED_TRACE(keep);
    DrawingModel m;
    m.LayerOpen(QStringLiteral("Other"));
    m.DrawCircle(0, 0, 1, 1);
    m.WorldSet(-5, 5, 5, -5);
    ASSERT_TRUE(loadText(m, "LAYER Default\nLAYER New\nLINE 0 0 1 1 1 255 1\n", keep));
    ASSERT_EQ(m.Layers.size(), 3);
    EXPECT_EQ(m.LayerFindByName(QStringLiteral("New")), 2);
    EXPECT_EQ(m.CurrentLayer, 2);
    ASSERT_EQ(m.ShapeCount, 2);
    EXPECT_EQ(m.Shapes[1]->ShapeNumber, 2);
    EXPECT_EQ(m.Shapes[1]->Layer, 1); // the file's index, now "Other" here
    EXPECT_EQ(m.WorldLeft, -5);
  }
}

TEST(DrawingFileRead, WorldGoesInAsItIsAndIsKeptWithoutARecord) {
  DrawingModel m;
  m.WorldSet(-1, 2, 3, -4);
  const double before[] = {m.WorldLeft, m.WorldRight, m.WorldBottom, m.WorldTop};
  ASSERT_TRUE(loadText(m, "LAYER Default\nWORLD 1 2\n", 0));
  EXPECT_EQ(m.WorldLeft, before[0]);
  EXPECT_EQ(m.WorldRight, before[1]);
  EXPECT_EQ(m.WorldBottom, before[2]);
  EXPECT_EQ(m.WorldTop, before[3]);
  ASSERT_TRUE(loadText(m, "WORLD 50 -50 7.25 1e3\n", 0));
  EXPECT_EQ(m.WorldLeft, 50);
  EXPECT_EQ(m.WorldRight, -50);
  EXPECT_EQ(m.WorldBottom, 7.25);
  EXPECT_EQ(m.WorldTop, 1000);
}

TEST(DrawingFileRead, PlainCrLfTextLoadsAndTextsKeepTheirCarriageReturn) {
  DrawingModel m;
  ASSERT_TRUE(
      m.CadLoad(QString::fromStdString(testsupport::dataPath("zrv-crlf-plain.zrv")), -1, -1, 0));
  EXPECT_EQ(m.WorldLeft, -10.5);
  EXPECT_EQ(m.WorldRight, 20);
  EXPECT_EQ(m.WorldBottom, -5);
  EXPECT_EQ(m.WorldTop, 15);
  ASSERT_EQ(m.Layers.size(), 2);
  EXPECT_EQ(m.Layers[1]->Name, QStringLiteral("Soundings"));
  ASSERT_EQ(m.ShapeCount, 3);
  const auto *line = dynamic_cast<const TQLine *>(m.Shapes[0]);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->Y2, -4);
  EXPECT_EQ(line->Layer, 1);
  EXPECT_EQ(line->PenFg, 255u);
  EXPECT_EQ(line->PenWidth, 2);
  const auto *text = dynamic_cast<const TQText *>(m.Shapes[1]);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->DisplayText, QStringLiteral("12.3 m\r"));
  EXPECT_TRUE(text->Italic);
  EXPECT_EQ(text->PenFg, 0xFF0000u);
  const auto *poly = dynamic_cast<const TQPolyline *>(m.Shapes[2]);
  ASSERT_NE(poly, nullptr);
  ASSERT_EQ(poly->Points.size(), 2u);
  EXPECT_EQ(poly->Points[1].X, 10.5f);
  EXPECT_EQ(poly->PenFg, 32768u);
  EXPECT_EQ(poly->PenWidth, 3);
}

// Without the whole magic, even a file shorter than it is a text (here one with no records).
TEST(DrawingFileRead, FilesShorterThanTheMagicAreTexts) {
  for (const char *bytes : {"", "#", "ZR", "ZRV", "\n\n\n"}) {
    DrawingModel m;
    m.LayerOpen(QStringLiteral("Old"));
    m.DrawLine(0, 0, 1, 1, 1);
    ASSERT_TRUE(loadText(m, bytes, 0)) << bytes;
    EXPECT_EQ(m.ShapeCount, 0) << bytes;
    ASSERT_EQ(m.Layers.size(), 1) << bytes;
    EXPECT_EQ(m.Layers[0]->Name, QStringLiteral("Default")) << bytes;
  }
}

TEST(DrawingFileRead, PlainAndCompressedTextsLoadAlike) {
  const std::string text = "# c\nWORLD 0 10 0 10\nLAYER Default\nLAYER Run\n"
                           "POLYGON 1 3 255 2\n0 0\n5 5\n10 0\nTEXT 1 1 1 0 0 5 0 0 0 Arial a b\n";
  TempDir dir;
  writeBytes(dir.file("plain.zrv"), text);
  writeBytes(dir.file("packed.zrv"), "ZRV1" + deflateZlib(text));
  DrawingModel plain, packed;
  ASSERT_TRUE(plain.CadLoad(QString::fromStdString(dir.file("plain.zrv")), -1, -1, 0));
  ASSERT_TRUE(packed.CadLoad(QString::fromStdString(dir.file("packed.zrv")), -1, -1, 0));
  EXPECT_EQ(fingerprint(plain), fingerprint(packed));
  EXPECT_EQ(plain.ShapeCount, 2);
}

// Control bytes, a zero byte, binary junk: the lines they spoil are no records and are passed
// over, in a plain file as in a compressed one, and the records around them load.
TEST(DrawingFileRead, GarbageLinesAreSkippedAlikeInPlainAndCompressedFiles) {
  const std::string records = "LAYER Default\nLINE 0 0 1 1 0 255 1\n";
  const std::string junk = readBytes(testsupport::dataPath("zrv-garbage.bin"));
  ASSERT_EQ(junk.size(), 300u);
  struct Case {
    const char *name;
    std::string text;
    int shapes;
  };
  const Case cases[] = {
      {"Ctrl-Z at the end", records + "\x1A", 1},
      {"Ctrl-Z on the last record's line", "LAYER Default\nLINE 0 0 1 1 0 255 1\x1A", 1},
      {"a zero byte in a field", std::string("LINE 0 0 1 1 0\0\n", 16) + records, 1},
      {"a line of control bytes", "\x01\x02\x7F\x1B[0m\n" + records, 1},
      {"binary junk before the records", junk + "\n" + records, 1},
      {"binary junk alone", junk, 0},
      {"a compressed text behind another magic", "ZRV2" + deflateZlib(records), 0},
      {"a compressed text behind the magic in lower case", "zrv1" + deflateZlib(records), 0},
  };
  TempDir dir;
  for (const Case &c : cases) {
    writeBytes(dir.file("plain.zrv"), c.text);
    writeBytes(dir.file("packed.zrv"), "ZRV1" + deflateZlib(c.text));
    DrawingModel plain, packed;
    plain.LayerOpen(QStringLiteral("Old"));
    plain.DrawLine(5, 5, 6, 6, 1);
    EXPECT_TRUE(plain.CadLoad(QString::fromStdString(dir.file("plain.zrv")), -1, -1, 0)) << c.name;
    EXPECT_TRUE(packed.CadLoad(QString::fromStdString(dir.file("packed.zrv")), -1, -1, 0))
        << c.name;
    EXPECT_EQ(fingerprint(plain), fingerprint(packed)) << c.name;
    EXPECT_EQ(plain.ShapeCount, c.shapes) << c.name;
  }
}

// A text that ends inside a polyline's vertex lines still gives the polyline with the points
// that are there, and the records before it.
TEST(DrawingFileRead, APolylineWithFewerVertexLinesThanAnnouncedKeepsThePointsThere) {
  struct Case {
    const char *name;
    std::string text;
    std::size_t points;
  };
  const Case cases[] = {
      {"one line short", "LINE 0 0 1 1 0\nPOLYLINE 0 3 255 2\n1 1\n2 2\n", 2},
      {"no final line feed", "LINE 0 0 1 1 0\nPOLYGON 0 3 255 2\n1 1\n2 2", 2},
      {"the largest count", "LINE 0 0 1 1 0\nSPLINE 0 2147483647 255 2\n1 1\n", 1},
      {"no vertex line at all", "LINE 0 0 1 1 0\nARC3P 0 2 255 2\n", 0},
  };
  TempDir dir;
  for (const Case &c : cases) {
    for (const std::string &bytes : {c.text, "ZRV1" + deflateZlib(c.text)}) {
      writeBytes(dir.file("short.zrv"), bytes);
      DrawingModel m;
      ASSERT_TRUE(m.CadLoad(QString::fromStdString(dir.file("short.zrv")), -1, -1, 0)) << c.name;
      ASSERT_EQ(m.ShapeCount, 2) << c.name;
      const auto *p = lastShape<TQPolyline>(m);
      ASSERT_NE(p, nullptr) << c.name;
      EXPECT_EQ(p->Points.size(), c.points) << c.name;
      EXPECT_EQ(p->PenFg, 255u) << c.name;
      if (c.points > 0) {
        EXPECT_EQ(p->MinX, 1) << c.name;
        EXPECT_EQ(p->MaxX, c.points) << c.name;
      }
    }
  }
}

TEST(DrawingFileRead, TextRecords) {
  struct Case {
    const char *record;
    const char *text;
    const char *font;
    double height, angle;
    bool bold, italic;
  };
  const Case cases[] = {
      {"TEXT 1 2 0 0 0 2.5 30 1 0 Arial Hello world", "Hello world", "Arial", 2.5, 30, true, false},
      {"TEXT 1 2 0 0 0 2.5 0 0 0 Times New Roman Hello", "New Roman Hello", "Times", 2.5, 0, false,
       false},
      {"TEXT 1 2 0 0 0 10 0 0 1 Arial   two", "  two", "Arial", 10, 0, false, true},
      {"TEXT 1 2 0 0 0 10 0 0 0 Arial ", "", "Arial", 10, 0, false, false},
      {"TEXT 1 2 0 0 0 10 0 0 0 Arial\ttab", "\ttab", "Arial", 10, 0, false, false},
      // Missing fields keep their defaults; the font then comes from the table.
      {"TEXT 1 2 0 1", "", "Courier", 10, 0, false, false},
      {"TEXT 1 2 0 1 0 7 45 1 1 0 zero names no font", "zero names no font", "Courier", 7, 45, true,
       true},
      // The first field that does not read ends the record's reading.
      {"TEXT 1 2 0 1 0 big 45 1 1 Arial lost", "", "Courier", 10, 0, false, false},
  };
  for (const Case &c : cases) {
    DrawingModel m;
    m.FontOpen(QStringLiteral("Courier,12,B"), 0); // font index 1
    m.SetLayerPenFg(0, 0x123456);
    ASSERT_TRUE(loadText(m, std::string(c.record) + "\n", 2)) << c.record;
    const TQText *t = lastShape<TQText>(m);
    ASSERT_NE(t, nullptr) << c.record;
    EXPECT_EQ(t->DisplayText, QString::fromLatin1(c.text)) << c.record;
    EXPECT_EQ(t->FontName, QString::fromLatin1(c.font)) << c.record;
    EXPECT_EQ(t->Height, c.height) << c.record;
    EXPECT_EQ(t->Angle, c.angle) << c.record;
    EXPECT_EQ(t->Bold, c.bold) << c.record;
    EXPECT_EQ(t->Italic, c.italic) << c.record;
    EXPECT_EQ(t->PenFg, 0x123456u) << c.record; // colour 0 keeps the layer's
    EXPECT_EQ(t->X, 1);
    EXPECT_EQ(t->Y, 2);
  }
}

TEST(DrawingFileRead, TextKeepsItsFontIndexColourAndTheCanvasAlignment) {
  DrawingModel m;
  m.TextAlignH = 2;
  m.TextAlignV = 1;
  ASSERT_TRUE(loadText(m, "TEXT 0 0 0 9 255 1 0 0 0 Arial \xDE\n", 2));
  const TQText *t = lastShape<TQText>(m);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->FontIndex, 9);
  EXPECT_EQ(t->PenFg, 255u);
  EXPECT_EQ(t->AlignH, 2);
  EXPECT_EQ(t->AlignV, 1);
  EXPECT_EQ(t->DisplayText, QStringLiteral("Ş"));
}

// One record read on top of a canvas whose layer 0 draws in 0xAA with width 4.
TEST(DrawingFileRead, ShapeRecordsAndTheirDefaults) {
  struct Case {
    const char *record;
    int type; // 0: no shape made
    int layer;
    TColor pen;
    int width;
    std::function<void(const TQShape &)> more;
  };
  const auto none = [](const TQShape &) {};
  const Case cases[] = {
      {"LINE 0 0 1 1 0", 3, 0, 0xAA, 4, none},
      {"LINE 0 0 1 1 0 0 9", 3, 0, 0xAA, 4, none}, // black asks for the layer's pen
      {"LINE 0 0 1 1 0 255 9", 3, 0, 255, 9, none},
      {"LINE 0 0 1 1 0 255", 3, 0, 255, 1, none},
      {"LINE 0 0 1 1 99 255 2", 3, 0, 255, 2, none},    // no layer 99: "Default"
      {"LINE\t0 0\t1 1 0\t255\t2", 3, 0, 255, 2, none}, // tabs delimit fields too
      {"  LINE +1 0 1 1 0 -1 2", 3, 0, 0xFFFFFFFF, 2,
       [](const TQShape &s) { EXPECT_EQ(dynamic_cast<const TQLine &>(s).X1, 1); }},
      {"CIRCLE 1 1 2 0 255", 19, 0, 255, 1,
       [](const TQShape &s) { EXPECT_EQ(dynamic_cast<const TQCircle &>(s).Radius, 2); }},
      {"POINT 1 2 0 255 2", 17, 0, 255, 2,
       [](const TQShape &s) {
         const auto &p = dynamic_cast<const TQPoint &>(s);
         EXPECT_EQ(p.Size, 0);
         EXPECT_EQ(p.PixelSize, 3);
         EXPECT_EQ(p.MinX, -2);
       }},
      {"POINT 1 2 7", 17, 7, 0, 1, none}, // reader-made shapes keep the layer as read
      {"RECTANGLE 0 0 4 2 0 255 2", 1, 0, 255, 2,
       [](const TQShape &s) {
         const auto &r = dynamic_cast<const TQRectangle &>(s);
         EXPECT_EQ(r.BrushFg, 0u);
         EXPECT_EQ(r.BrushStyle, bsSolid);
         EXPECT_EQ(r.Value, 0);
         EXPECT_FALSE(r.Rounded);
         EXPECT_EQ(r.CornerRadius, 10);
         EXPECT_EQ(r.MaxX, 4);
       }},
      {"RECTANGLE 0 0 4 2 3 0 0 65535 7 -2.5", 1, 3, 0, 0,
       [](const TQShape &s) {
         const auto &r = dynamic_cast<const TQRectangle &>(s);
         EXPECT_EQ(r.BrushFg, 65535u);
         EXPECT_EQ(r.BrushStyle, bsDiagCross);
         EXPECT_EQ(r.Value, -2.5);
       }},
      {"ELLIPSE 0 0 1 1 0 0 5", 20, 0, 0, 1, none},
      {"ELLIPSE 0 0 1 1 0 255 5", 20, 0, 255, 5, none},
      {"ARC 0 0 1 1 2 0 3 255 2", 10, 3, 255, 2,
       [](const TQShape &s) { EXPECT_EQ(dynamic_cast<const TQArc &>(s).X3, 2); }},
      // Not records, or records whose coordinates or layer do not read.
      {"line 0 0 1 1 0", 0, 0, 0, 0, none},
      {"FOO 0 0 1 1 0", 0, 0, 0, 0, none},
      {"#LINE 0 0 1 1 0", 0, 0, 0, 0, none},
      {"LINE 0 0 x 1 0", 0, 0, 0, 0, none},
      {"LINE 0 0 1 1", 0, 0, 0, 0, none},
      {"LINE 0 0 1 1 0.5", 0, 0, 0, 0, none},
      {"CIRCLE 0 0 inf 0", 0, 0, 0, 0, none},
      {"POINT 0 nan 0", 0, 0, 0, 0, none},
      {"ARC 0 0 1 1 2 0", 0, 0, 0, 0, none},
      {"LINE 0 0 1 1 99999999999", 0, 0, 0, 0, none},
  };
  for (const Case &c : cases) {
    DrawingModel m;
    m.SetLayerPenFg(0, 0xAA);
    m.SetLayerPenWidth(0, 4);
    ASSERT_TRUE(loadText(m, std::string(c.record) + "\n", 2)) << c.record;
    if (c.type == 0) {
      EXPECT_EQ(m.ShapeCount, 0) << c.record;
      continue;
    }
    ASSERT_EQ(m.ShapeCount, 1) << c.record;
    const TQShape &s = *m.Shapes[0];
    EXPECT_EQ(s.ShapeType, c.type) << c.record;
    EXPECT_EQ(s.ShapeNumber, 1) << c.record;
    EXPECT_EQ(s.Layer, c.layer) << c.record;
    EXPECT_EQ(s.PenFg, c.pen) << c.record;
    EXPECT_EQ(s.PenWidth, c.width) << c.record;
    EXPECT_EQ(s.BrushStyle, c.type == 1 ? s.BrushStyle : bsClear) << c.record;
    c.more(s);
  }
}

TEST(DrawingFileRead, VertexLinesAreTakenWhateverTheyHold) {
  DrawingModel m;
  ASSERT_TRUE(loadText(m,
                       "POLYLINE 0 4 255 2\n1 2\n# not a comment here\n\n3 4 extra\n"
                       "POLYGON 0 0\nSPLINE 1 -3 0\nARC3P 2 1\n5\n"
                       "LINE 0 0 1 1 0\n",
                       0));
  ASSERT_EQ(m.ShapeCount, 5);
  struct Expect {
    int type;
    bool closed;
    int layer;
    std::size_t points;
  };
  const Expect expected[] = {
      {5, false, 0, 2}, {6, true, 0, 0}, {8, false, 1, 0}, {10, false, 2, 0}};
  for (int i = 0; i < 4; ++i) {
    const auto *p = dynamic_cast<const TQPolyline *>(m.Shapes[i]);
    ASSERT_NE(p, nullptr) << i;
    EXPECT_EQ(p->ShapeType, expected[i].type) << i;
    EXPECT_EQ(p->Closed, expected[i].closed) << i;
    EXPECT_EQ(p->Layer, expected[i].layer) << i;
    EXPECT_EQ(p->Points.size(), expected[i].points) << i;
  }
  const auto *first = dynamic_cast<const TQPolyline *>(m.Shapes[0]);
  EXPECT_EQ(first->PenFg, 255u);
  EXPECT_EQ(first->PenWidth, 2);
  EXPECT_EQ(first->MaxX, 3);
  EXPECT_EQ(first->MinY, 2);
  EXPECT_NE(dynamic_cast<const TQLine *>(m.Shapes[4]), nullptr);
}

TEST(DrawingFileRead, AMissingFileChangesNothingEvenInReplaceMode) {
  TempDir dir;
  DrawingModel m;
  m.LayerOpen(QStringLiteral("Keep"));
  m.DrawLine(0, 0, 1, 1, 1);
  const std::string before = fingerprint(m);
  EXPECT_FALSE(m.CadLoad(QString::fromStdString(dir.file("none.zrv")), -1, -1, 0));
  EXPECT_FALSE(m.CadLoad(QString::fromStdString(dir.file("no/folder.zrv")), -1, -1, 0));
  EXPECT_FALSE(m.CadLoad(QString::fromStdString(dir.path()), -1, -1, 0));
  EXPECT_EQ(fingerprint(m), before);
}

TEST(DrawingFileRead, APipeIsNoDrawingAndIsNotWaitedOn) {
  // With no writer at the other end, a plain open of the pipe would never return.
  TempDir dir;
  const std::string pipe = dir.file("pipe.zrv");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  std::string text;
  EXPECT_EQ(canvas::readDrawingText(pipe, text, 1 << 20), canvas::DrawingReadResult::Damaged);
  DrawingModel m;
  m.DrawLine(0, 0, 1, 1, 0);
  const std::string before = fingerprint(m);
  EXPECT_FALSE(m.CadLoad(QString::fromStdString(pipe), -1, -1, 0));
  EXPECT_EQ(fingerprint(m), before);
}

// ---- Round trip

TEST(DrawingFileRead, EveryKindOfShapeComesBackFromASavedFile) {
  TempDir dir;
  DrawingModel m;
  m.WorldSet(-100.125, 300.5, 250, -50);
  const int run = m.LayerOpen(QStringLiteral("Run"));
  const int marks = m.LayerOpen(QStringLiteral("Marks"));
  const std::int32_t line = m.DrawLine(1.5, -2.25, 1e6 + 0.125, 4.5e6, run);
  m.SetShapePenFg(line, 0x00FF00);
  m.SetShapePenWidth(line, 3);
  const std::int32_t circle = m.DrawCircle(10, 20, 5.5, marks);
  m.SetShapePenFg(circle, 0x0000FF);
  auto point = std::make_unique<TQPoint>(7, 8, 2.5, marks);
  point->PenWidth = 2;
  m.appendShape(std::move(point));
  const std::int32_t text = m.TextAdd(run, QStringLiteral("Ölçü 12.5 m"), 3, 4, 0);
  m.SetShapePenFg(text, 0xFF00FF);
  auto *t = dynamic_cast<TQText *>(m.FindShape(text));
  t->Height = 3.75;
  t->Angle = -45;
  t->Italic = true;
  t->FontName = QStringLiteral("Courier");
  const std::int32_t track =
      m.DrawPolyline({{500000.25, 4500000.5}, {500010, 4500011}, {500020.75, 4500000}}, run, false);
  m.SetShapePenFg(track, 0x808080);
  m.DrawPolyline({{0, 0}, {10, 0}, {10, 10}}, marks, true);
  auto spline = std::make_unique<TQPolyline>(8, false, run);
  spline->AddPoint(1, 1);
  spline->AddPoint(2, 3);
  m.appendShape(std::move(spline));
  auto arc3p = std::make_unique<TQPolyline>(10, false, run);
  arc3p->AddPoint(0, 0);
  arc3p->AddPoint(1, 1);
  arc3p->AddPoint(2, 0);
  m.appendShape(std::move(arc3p));
  auto rect = std::make_unique<TQRectangle>(0, 0, 20, 10, 12.5, marks);
  rect->PenFg = 0x00FFFF;
  rect->PenWidth = 2;
  rect->BrushFg = 0xC0C0C0;
  rect->BrushStyle = bsHorizontal;
  m.appendShape(std::move(rect));
  auto ellipse = std::make_unique<TQEllipse>(-1, -2, 3, 4, run);
  ellipse->ShapeType = 4;
  ellipse->PenFg = 0x0000AA;
  m.appendShape(std::move(ellipse));
  m.DrawThreePointArc(0, 0, 1, 1, 2, 0, run); // not stored

  const std::string path = dir.file("round.zrv");
  ASSERT_EQ(m.CadSave(QString::fromStdString(path), -1), 1);
  DrawingModel back;
  back.DrawPoint(0, 0, 0);
  ASSERT_TRUE(back.CadLoad(QString::fromStdString(path), -1, -1, 0));

  EXPECT_EQ(back.WorldLeft, m.WorldLeft);
  EXPECT_EQ(back.WorldRight, m.WorldRight);
  EXPECT_EQ(back.WorldBottom, m.WorldBottom);
  EXPECT_EQ(back.WorldTop, m.WorldTop);
  ASSERT_EQ(back.Layers.size(), 3);
  EXPECT_EQ(back.Layers[2]->Name, QStringLiteral("Marks"));
  ASSERT_EQ(back.ShapeCount, m.ShapeCount - 1);
  for (int i = 0; i < back.ShapeCount; ++i) {
    const TQShape &a = *m.Shapes[i];
    const TQShape &b = *back.Shapes[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(b.ShapeNumber, i + 1);
    EXPECT_EQ(b.ShapeType, a.ShapeType == 4 ? 20 : a.ShapeType);
    EXPECT_EQ(typeid(b), typeid(a));
    EXPECT_EQ(b.Layer, a.Layer);
    EXPECT_EQ(b.PenFg, a.PenFg);
    EXPECT_EQ(b.PenWidth, a.PenWidth);
    EXPECT_NEAR(b.MinX, a.MinX, 1e-6);
    EXPECT_NEAR(b.MinY, a.MinY, 1e-6);
    EXPECT_NEAR(b.MaxX, a.MaxX, 1e-6);
    EXPECT_NEAR(b.MaxY, a.MaxY, 1e-6);
  }
  const auto *tb = dynamic_cast<const TQText *>(back.Shapes[3]);
  ASSERT_NE(tb, nullptr);
  EXPECT_EQ(tb->DisplayText, QStringLiteral("Ölçü 12.5 m"));
  EXPECT_EQ(tb->FontName, QStringLiteral("Courier"));
  EXPECT_EQ(tb->Height, 3.75);
  EXPECT_EQ(tb->Angle, -45);
  EXPECT_TRUE(tb->Italic);
  EXPECT_FALSE(tb->Bold);
  const auto *pa = dynamic_cast<const TQPolyline *>(m.Shapes[4]);
  const auto *pb = dynamic_cast<const TQPolyline *>(back.Shapes[4]);
  ASSERT_NE(pb, nullptr);
  ASSERT_EQ(pb->Points.size(), pa->Points.size());
  for (std::size_t i = 0; i < pa->Points.size(); ++i) {
    EXPECT_EQ(pb->Points[i].X, pa->Points[i].X);
    EXPECT_EQ(pb->Points[i].Y, pa->Points[i].Y);
  }
  EXPECT_TRUE(dynamic_cast<const TQPolyline *>(back.Shapes[5])->Closed);
  const auto *rb = dynamic_cast<const TQRectangle *>(back.Shapes[8]);
  ASSERT_NE(rb, nullptr);
  EXPECT_EQ(rb->Value, 12.5);
  EXPECT_EQ(rb->BrushFg, 0xC0C0C0u);
  EXPECT_EQ(rb->BrushStyle, bsHorizontal);
  const auto *pointBack = dynamic_cast<const TQPoint *>(back.Shapes[2]);
  ASSERT_NE(pointBack, nullptr);
  EXPECT_EQ(pointBack->Size, 2.5);
  // And the reopened drawing saves to the same records.
  const std::string again = dir.file("again.zrv");
  ASSERT_EQ(back.CadSave(QString::fromStdString(again), -1), 1);
  DrawingModel third;
  ASSERT_TRUE(third.CadLoad(QString::fromStdString(again), -1, -1, 0));
  EXPECT_EQ(fingerprint(third), fingerprint(back));
}

} // namespace
