// The entity branches of the DXF import on a model: geometry, layers and colours of every kind
// of entity, with the worked values as tables.
#include "DxfImportTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace dxftest;

const TQPolyline *onlyPolyline(const DrawingModel &m) {
  return m.ShapeCount == 1 ? shapeAt<TQPolyline>(m, 0) : nullptr;
}

void expectPoints(const TQPolyline &p, const std::vector<std::pair<double, double>> &want,
                  double tol = 1e-4) {
  ASSERT_EQ(p.Points.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(p.Points[i].X, want[i].first, tol) << "point " << i;
    EXPECT_NEAR(p.Points[i].Y, want[i].second, tol) << "point " << i;
  }
}

TEST(DxfImportEntities, LineColoursFollowTheEntityThenTheLayer) {
  // Layer WALLS has a red pen from the table; the line's own colour wins when it names one.
  const struct {
    const char *group62;
    TColor pen;
  } cases[] = {
      {nullptr, rgb(255, 0, 0)}, {"256", rgb(255, 0, 0)}, {"0", rgb(255, 0, 0)},
      {"300", rgb(255, 0, 0)},   {"-3", rgb(255, 0, 0)},  {"3", rgb(0, 255, 0)},
      {"10", rgb(170, 114, 18)},
  };
  for (const auto &c : cases) {
    std::string line = "0\nLINE\n8\nWALLS\n10\n1\n20\n2\n11\n3\n21\n4\n";
    if (c.group62)
      line += "62\n" + std::string(c.group62) + "\n";
    DrawingModel m;
    import(m, section("TABLES", "0\nLAYER\n2\nWALLS\n62\n1\n") + entitiesFile(line));
    const auto *l = shapeAt<TQLine>(m, 0);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->PenFg, c.pen) << (c.group62 ? c.group62 : "no 62");
    EXPECT_EQ(layerName(m, l->Layer), "_dxf_WALLS");
    EXPECT_EQ(l->X1, 1.0);
    EXPECT_EQ(l->Y1, 2.0);
    EXPECT_EQ(l->X2, 3.0);
    EXPECT_EQ(l->Y2, 4.0);
  }
}

TEST(DxfImportEntities, LinesAndCirclesTakeTheLayersPenWidthArcsDoNot) {
  DrawingModel m;
  const int wide = m.LayerOpen(QStringLiteral("_dxf_THICK"));
  m.SetLayerPenWidth(wide, 3);
  m.SetLayerPenFg(wide, rgb(0, 0, 255));
  import(m, entitiesFile("0\nLINE\n8\nTHICK\n0\nCIRCLE\n8\nTHICK\n40\n2\n"
                         "0\nARC\n8\nTHICK\n40\n1\n0\nLINE\n"));
  ASSERT_EQ(m.ShapeCount, 4);
  EXPECT_EQ(m.Shapes[0]->PenWidth, 3);
  EXPECT_EQ(m.Shapes[1]->PenWidth, 3);
  EXPECT_EQ(m.Shapes[2]->PenWidth, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m.Shapes[i]->Layer, wide);
    EXPECT_EQ(m.Shapes[i]->PenFg, rgb(0, 0, 255));
  }
  // A line without any groups: (0, 0) to (0, 0) on the layer of DXF layer 0, black pen.
  const auto *bare = shapeAt<TQLine>(m, 3);
  ASSERT_NE(bare, nullptr);
  EXPECT_EQ(layerName(m, bare->Layer), "_dxf_0");
  EXPECT_EQ(bare->PenFg, 0u);
  EXPECT_EQ(bare->X2, 0.0);
  const auto *circle = shapeAt<TQCircle>(m, 1);
  ASSERT_NE(circle, nullptr);
  EXPECT_EQ(circle->Radius, 2.0);
  EXPECT_EQ(circle->BrushStyle, bsClear);
}

TEST(DxfImportEntities, Arcs) {
  const struct {
    const char *groups;
    double firstDeg;
    double lastDeg;
  } cases[] = {
      {"", 0, 360},                    // full turn, left open
      {"50\n350\n51\n10\n", 350, 370}, // the sweep wraps once
      {"50\n30\n51\n30\n", 30, 30},    // no sweep: 21 equal points
      {"50\n0\n51\n720\n", 0, 720},    // winds twice
      {"50\n90\n51\n180\n", 90, 180},
  };
  for (const auto &c : cases) {
    DrawingModel m;
    import(m, entitiesFile("0\nARC\n10\n5\n20\n6\n40\n2\n" + std::string(c.groups)));
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ShapeType, 5);
    EXPECT_FALSE(p->Closed);
    ASSERT_EQ(p->Points.size(), 21u);
    const double f = c.firstDeg * 3.141592653589793 / 180.0;
    const double l = c.lastDeg * 3.141592653589793 / 180.0;
    EXPECT_NEAR(p->Points.front().X, 5 + 2 * std::cos(f), 1e-5) << c.groups;
    EXPECT_NEAR(p->Points.front().Y, 6 + 2 * std::sin(f), 1e-5) << c.groups;
    EXPECT_NEAR(p->Points.back().X, 5 + 2 * std::cos(l), 1e-5) << c.groups;
    EXPECT_NEAR(p->Points.back().Y, 6 + 2 * std::sin(l), 1e-5) << c.groups;
  }
}

// An arc that crosses 0 degrees runs the short way, counter-clockwise through 0: every point
// lies on the right of the centre. An arc that ran the long way round, from 350 down through 180
// to 10, would start and end at the same two points and differ only in between.
TEST(DxfImportEntities, ArcAcrossZeroDegreesStaysOnTheRightOfItsCentre) {
  const double cx = 5, cy = 6, r = 2;
  for (const char *angles : {"50\n350\n51\n10\n", "50\n-10\n51\n10\n"}) {
    DrawingModel m;
    import(m, entitiesFile("0\nARC\n10\n5\n20\n6\n40\n2\n" + std::string(angles)));
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr);
    ASSERT_EQ(p->Points.size(), 21u);
    std::vector<std::pair<double, double>> want;
    for (int i = 0; i <= 20; ++i) {
      const double a = (i - 10) * 3.141592653589793 / 180.0; // -10 .. 10 degrees by 1
      want.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    expectPoints(*p, want);
    for (const TPointF &pt : p->Points)
      EXPECT_GT(pt.X, cx + r * std::cos(10.5 * 3.141592653589793 / 180.0)) << angles;
    EXPECT_NEAR(p->Points[10].X, cx + r, 1e-5); // the middle point at 0 degrees
    EXPECT_NEAR(p->Points[10].Y, cy, 1e-5);
  }
}

TEST(DxfImportEntities, Ellipses) {
  const struct {
    const char *groups;
    int type;
    double firstX, firstY;
  } cases[] = {
      {"11\n4\n21\n0\n", 6, 14, 20},                     // full turn, b = a
      {"11\n4\n21\n0\n41\n0\n42\n3.14159\n", 5, 14, 20}, // half
      {"11\n4\n21\n0\n41\n0\n42\n6.275\n", 6, 14, 20},   // counts as a full turn
      {"11\n0\n21\n10\n40\n0.5\n", 6, 10, 30},           // major axis up: turned 90 degrees
  };
  for (const auto &c : cases) {
    DrawingModel m;
    import(m, entitiesFile("0\nELLIPSE\n10\n10\n20\n20\n" + std::string(c.groups)));
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ShapeType, c.type) << c.groups;
    EXPECT_EQ(p->Closed, c.type == 6);
    ASSERT_EQ(p->Points.size(), 37u);
    EXPECT_NEAR(p->Points[0].X, c.firstX, 1e-4) << c.groups;
    EXPECT_NEAR(p->Points[0].Y, c.firstY, 1e-4) << c.groups;
  }
  // The quarter point of the full ellipse lies on the minor axis, b = a when 40 is missing.
  DrawingModel m;
  import(m, entitiesFile("0\nELLIPSE\n10\n10\n20\n20\n11\n4\n21\n0\n"));
  const TQPolyline *p = onlyPolyline(m);
  ASSERT_NE(p, nullptr);
  EXPECT_NEAR(p->Points[9].X, 10, 1e-4);
  EXPECT_NEAR(p->Points[9].Y, 24, 1e-4);
  EXPECT_NEAR(p->Points[36].X, p->Points[0].X, 1e-4);
}

TEST(DxfImportEntities, LightweightPolylines) {
  const struct {
    const char *groups;
    int type;
    std::vector<std::pair<double, double>> points;
  } cases[] = {
      {"10\n1\n20\n2\n10\n3\n20\n4\n70\n1\n", 6, {{1, 2}, {3, 4}}},
      {"70\n128\n10\n1\n20\n2\n10\n3\n20\n4\n", 5, {{1, 2}, {3, 4}}},
      {"70\n3\n10\n1\n20\n2\n10\n3\n20\n4\n", 6, {{1, 2}, {3, 4}}},
      // A 20 without a pending 10 adds nothing; a second 10 replaces the first; a trailing 10
      // is dropped; bulges and the vertex count are not read.
      {"90\n99\n20\n7\n10\n1\n10\n5\n20\n2\n42\n1\n10\n3\n20\n4\n10\n9\n", 5, {{5, 2}, {3, 4}}},
  };
  for (const auto &c : cases) {
    DrawingModel m;
    import(m, entitiesFile("0\nLWPOLYLINE\n8\nP\n62\n5\n" + std::string(c.groups)));
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr) << c.groups;
    EXPECT_EQ(p->ShapeType, c.type) << c.groups;
    EXPECT_EQ(p->PenFg, rgb(0, 0, 255));
    EXPECT_EQ(p->PenWidth, 1);
    expectPoints(*p, c.points);
  }
  // One vertex: nothing, and no layer either.
  DrawingModel m;
  const int layers = m.Layers.size();
  const auto r = import(m, entitiesFile("0\nLWPOLYLINE\n8\nLONE\n10\n1\n20\n2\n"));
  EXPECT_EQ(r.importCount, 0);
  EXPECT_EQ(m.ShapeCount, 0);
  EXPECT_EQ(m.Layers.size(), layers);
}

TEST(DxfImportEntities, SolidsAndTracesRunRoundTheirCorners) {
  const struct {
    const char *body;
    std::vector<std::pair<double, double>> points;
  } cases[] = {
      {"0\nSOLID\n10\n0\n20\n0\n11\n10\n21\n0\n12\n0\n22\n10\n13\n10\n23\n10\n",
       {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
      {"0\nTRACE\n10\n0\n20\n0\n11\n10\n21\n0\n12\n0\n22\n10\n13\n10\n23\n10\n",
       {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
      {"0\nSOLID\n10\n0\n20\n0\n11\n10\n21\n0\n12\n5\n22\n5\n13\n5\n23\n5\n",
       {{0, 0}, {10, 0}, {5, 5}}},
      // Three corners only: the fourth is (0, 0).
      {"0\nSOLID\n10\n1\n20\n1\n11\n10\n21\n1\n12\n5\n22\n5\n", {{1, 1}, {10, 1}, {0, 0}, {5, 5}}},
  };
  for (const auto &c : cases) {
    DrawingModel m;
    import(m, entitiesFile(c.body));
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ShapeType, 6);
    EXPECT_TRUE(p->Closed);
    expectPoints(*p, c.points);
  }
}

TEST(DxfImportEntities, PolylinesWithVertices) {
  // Closed, three vertices, and the SEQEND on layer 0 does not hide the LINE after it.
  DrawingModel m;
  import(m, entitiesFile("0\nPOLYLINE\n8\nP\n66\n1\n70\n1\n"
                         "0\nVERTEX\n8\nP\n10\n0\n20\n0\n"
                         "0\nVERTEX\n8\nP\n10\n10\n20\n0\n42\n0.5\n"
                         "0\nVERTEX\n8\nP\n10\n10\n"
                         "0\nSEQEND\n8\n0\n"
                         "0\nLINE\n8\nL\n11\n1\n"));
  ASSERT_EQ(m.ShapeCount, 2);
  const auto *p = shapeAt<TQPolyline>(m, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->ShapeType, 6);
  expectPoints(*p, {{0, 0}, {10, 0}, {10, 0}}); // the last VERTEX has no 20: y = 0
  EXPECT_EQ(layerName(m, p->Layer), "_dxf_P");
  ASSERT_NE(shapeAt<TQLine>(m, 1), nullptr);
  EXPECT_EQ(layerName(m, m.Shapes[1]->Layer), "_dxf_L");
}

TEST(DxfImportEntities, PolylineEdgeCases) {
  {
    // A single vertex makes nothing and opens no layer.
    DrawingModel m;
    const int layers = m.Layers.size();
    import(m, entitiesFile("0\nPOLYLINE\n8\nONE\n0\nVERTEX\n10\n1\n20\n1\n0\nSEQEND\n"));
    EXPECT_EQ(m.ShapeCount, 0);
    EXPECT_EQ(m.Layers.size(), layers);
  }
  {
    // No SEQEND: the record after the vertices ends the list and is itself consumed.
    DrawingModel m;
    import(m, entitiesFile("0\nPOLYLINE\n0\nVERTEX\n10\n1\n0\nVERTEX\n10\n2\n"
                           "0\nLINE\n8\n0\n0\nCIRCLE\n40\n1\n"));
    ASSERT_EQ(m.ShapeCount, 2);
    EXPECT_EQ(m.Shapes[0]->ShapeType, 5);
    EXPECT_EQ(m.Shapes[1]->ShapeType, 19);
  }
  {
    // Cut off by the end of the file inside a vertex: the vertices read still count.
    DrawingModel m;
    import(m, "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n0\nVERTEX\n10\n1\n0\nVERTEX\n10\n2\n20");
    const TQPolyline *p = onlyPolyline(m);
    ASSERT_NE(p, nullptr);
    expectPoints(*p, {{1, 0}, {2, 0}});
  }
}

TEST(DxfImportEntities, SplinesUseTheirControlPoints) {
  std::string open = "0\nSPLINE\n70\n8\n71\n3\n";
  for (int i = 0; i < 4; ++i)
    open += "10\n" + std::to_string(i) + "\n20\n" + std::to_string(i * i) + "\n30\n0\n";
  for (int i = 0; i < 7; ++i)
    open += "11\n" + std::to_string(i) + "\n21\n1\n";
  DrawingModel m;
  import(m, entitiesFile(open + "0\nSPLINE\n70\n11\n10\n0\n20\n0\n10\n1\n20\n1\n10\n2\n20\n0\n" +
                         "0\nSPLINE\n10\n0\n20\n0\n10\n1\n" + // unequal lists: nothing
                         "0\nSPLINE\n10\n5\n20\n5\n"));       // one point: nothing
  ASSERT_EQ(m.ShapeCount, 2);
  const auto *a = shapeAt<TQPolyline>(m, 0);
  const auto *b = shapeAt<TQPolyline>(m, 1);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->ShapeType, 5);
  expectPoints(*a, {{0, 0}, {1, 1}, {2, 4}, {3, 9}});
  EXPECT_EQ(b->ShapeType, 6);
  EXPECT_EQ(b->Points.size(), 3u);
}

TEST(DxfImportEntities, PointsTakeTheirLayersPen) {
  DrawingModel m;
  const int layer = m.LayerOpen(QStringLiteral("_dxf_PTS"));
  m.SetLayerPenFg(layer, rgb(0, 0, 255));
  m.SetLayerPenWidth(layer, 2);
  import(m, entitiesFile("0\nPOINT\n8\nPTS\n62\n1\n10\n3\n20\n4\n"));
  const auto *p = shapeAt<TQPoint>(m, 0);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->ShapeType, 17);
  EXPECT_EQ(p->PenFg, rgb(0, 0, 255));
  EXPECT_EQ(p->PenWidth, 2);
  EXPECT_EQ(p->PixelSize, 3);
  EXPECT_EQ(p->X, 3.0);
  EXPECT_EQ(p->Y, 4.0);
}

TEST(DxfImportEntities, Texts) {
  const struct {
    const char *groups;
    const char16_t *text; // null: no shape
    double height;
  } cases[] = {
      {"1\nHello\n", u"Hello", 2.5},
      {"1\nA\n40\n0\n", u"A", 2.5},
      {"1\nA\n40\n-3\n", u"A", 2.5},
      {"1\nA\n40\n0.1\n", u"A", 2.5},
      {"1\nA\n40\n0.11\n", u"A", 0.11},
      {"1\nfirst\n1\nsecond\n", u"second", 2.5},
      {"1\n   \n", nullptr, 0},
      {"1\n  padded  \n", u"padded", 2.5},
      {"1\n\\P\n", nullptr, 0},
      {"1\n{\\fArial|b0;Word}\n", u"{Word}", 2.5},
      {"3\nLEADING PIECE \n1\ntail\n", u"tail", 2.5},
      {"1\nCaf\xC3\xA9 \xC3\x87\xC4\xB1\n", u"Café Çı", 2.5},
      // Not UTF-8: the file's code page, here the ANSI one, rather than a replacement character.
      {"1\nCaf\xE9 \xFE\n", u"Café ş", 2.5},
  };
  for (const char *kind : {"TEXT", "MTEXT"}) {
    for (const auto &c : cases) {
      DrawingModel m;
      import(m, entitiesFile("0\n" + std::string(kind) + "\n62\n1\n" + c.groups));
      if (!c.text) {
        EXPECT_EQ(m.ShapeCount, 0) << c.groups;
        continue;
      }
      const auto *t = shapeAt<TQText>(m, 0);
      ASSERT_NE(t, nullptr) << c.groups;
      EXPECT_EQ(t->DisplayText, QString::fromUtf16(c.text)) << c.groups;
      EXPECT_EQ(t->Text, t->DisplayText);
      EXPECT_DOUBLE_EQ(t->Height, c.height) << c.groups;
      EXPECT_EQ(layerName(m, t->Layer), "_dxf_0");
      EXPECT_EQ(t->PenFg, 0u); // the layer's pen, not colour 1
      EXPECT_EQ(t->FontName, QStringLiteral("Arial"));
      EXPECT_EQ(t->FontIndex, -1);
      EXPECT_EQ(t->AlignH, 0);
      EXPECT_EQ(t->AlignV, 2);
      EXPECT_EQ(t->X, 0.0);
      EXPECT_EQ(t->Y, 0.0);
    }
  }
  // Position and angle as read; the last entity of a file without a final "0" still counts.
  DrawingModel m;
  import(m, "0\nSECTION\n2\nENTITIES\n0\nTEXT\n10\n1.5\n20\n-2\n50\n45\n1\nEnd");
  const auto *t = shapeAt<TQText>(m, 0);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->DisplayText, QStringLiteral("End"));
  EXPECT_EQ(t->X, 1.5);
  EXPECT_EQ(t->Y, -2.0);
  EXPECT_EQ(t->Angle, 45.0);
}

TEST(DxfImportEntities, NumbersReadWithAFullStopInAnyLocale) {
  const struct {
    const char *value;
    double x;
  } cases[] = {
      {"2.5", 2.5},  {"+3", 3},    {"-1.5e2", -150}, {"abc", 0}, {"1,5", 1},          {".5", 0.5},
      {"12abc", 12}, {"0x10", 16}, {"", 0},          {"+-1", 0}, {"1e400", HUGE_VAL},
  };
  // A comma-decimal C locale must not change what is read.
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  for (const auto &c : cases) {
    DrawingModel m;
    import(m, entitiesFile("0\nCIRCLE\n10\n" + std::string(c.value) + "\n"));
    const auto *circle = shapeAt<TQCircle>(m, 0);
    ASSERT_NE(circle, nullptr);
    EXPECT_EQ(circle->X, c.x) << "'" << c.value << "'";
  }
  std::setlocale(LC_NUMERIC, "C");
  if (!german)
    GTEST_LOG_(INFO) << "no de_DE.UTF-8 locale here: read in the C locale only";
}

} // namespace
