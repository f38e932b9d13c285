// An exported drawing imported again through the canvas's own DXF import: the same shapes come
// back, on layers named "_dxf_" and the exported name, and exporting them again writes the same
// entities.
#include "DxfExportSupport.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfWriter.h"
#include "support/ScriptedDialogs.h"

#include <charconv>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

using namespace dxfexporttest;
using testsupport::TempDir;
using Lines = std::vector<std::string>;

std::string fixed(double v) {
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  return std::string(buf, r.ptr);
}

// What the file keeps of a shape, in the form the export gives it: a rectangle is a closed
// polyline, an ellipse a circle. Empty for what the export leaves out.
std::string describe(const TQShape &s, const std::string &layer) {
  std::string d;
  auto add = [&](double v) { d += " " + fixed(v); };
  if (!s.Visible)
    return d;
  if (auto *l = dynamic_cast<const TQLine *>(&s)) {
    d = "LINE " + layer;
    for (double v : {l->X1, l->Y1, l->X2, l->Y2})
      add(v);
  } else if (auto *c = dynamic_cast<const TQCircle *>(&s)) {
    d = "CIRCLE " + layer;
    for (double v : {c->X, c->Y, c->Radius})
      add(v);
  } else if (auto *e = dynamic_cast<const TQEllipse *>(&s)) {
    d = "CIRCLE " + layer;
    add((e->X1 + e->X2) / 2);
    add((e->Y1 + e->Y2) / 2);
    add((std::fabs(e->X2 - e->X1) / 2 + std::fabs(e->Y2 - e->Y1) / 2) / 2);
  } else if (auto *p = dynamic_cast<const TQPoint *>(&s)) {
    d = "POINT " + layer;
    add(p->X);
    add(p->Y);
  } else if (auto *t = dynamic_cast<const TQText *>(&s)) {
    d = "TEXT " + layer;
    for (double v : {t->X, t->Y, t->Height, t->Angle})
      add(v);
    d += " |" + t->DisplayText.toStdString() + "|";
  } else if (auto *r = dynamic_cast<const TQRectangle *>(&s)) {
    // Read back as a polyline, whose vertices the canvas keeps as 32-bit floats.
    d = "POLYLINE " + layer + " closed";
    for (double v : {r->X1, r->Y1, r->X2, r->Y1, r->X2, r->Y2, r->X1, r->Y2})
      add(static_cast<float>(v));
  } else if (auto *pl = dynamic_cast<const TQPolyline *>(&s)) {
    d = "POLYLINE " + layer + (pl->Closed ? " closed" : " open");
    for (const TPointF &v : pl->Points) {
      add(v.X);
      add(v.Y);
    }
  }
  return d;
}

// Every shape the import can take back: polylines of two points or more, texts of a height
// above 0.1, on layers whose names R12 allows and does not.
void drawing(TTarvikCanvas &c) {
  const int grid = c.LayerOpen(QStringLiteral("Tarvik Grid"));
  const int route = c.LayerOpen(QStringLiteral("Route"));
  const int marks = c.LayerOpen(QStringLiteral("~~Marks"));
  const double e = 512000.25, n = 4541000.75;
  c.DrawLine(e, n, e + 100.125, n - 3.5, grid);
  c.DrawCircle(e + 10, n + 10, 2.5, marks);
  c.DrawPoint(e + 20, n + 20, marks);
  c.DrawRectangle(e + 30, n + 30, e + 25, n + 22, route);
  c.DrawTwoPointEllipse(e + 40, n + 40, e + 46, n + 43, marks);
  c.DrawPolyline({{e, n}, {e + 50.5, n + 20.25}, {e + 90, n + 95}}, route, false);
  c.DrawPolyline({{e + 1, n + 1}, {e + 3, n + 1}, {e + 2, n + 4}}, route, true);
  c.TextAdd(marks, QStringLiteral("4.25"), e + 5, n + 5, 0);
  auto text = std::make_unique<TQText>(e + 6, n + 6, QStringLiteral("Pier\nhead"), -1, route);
  text->Height = 3;
  text->Angle = -45;
  c.appendShape(std::move(text));
  c.appendShape(std::make_unique<TQPoint>(e + 8, n + 8, 0.0, 99)); // no such layer: "0"
  const auto hidden = c.DrawLine(e, n, e - 5, n - 5, grid);
  c.FindShape(hidden)->Visible = false;
}

TEST(DxfExportRoundTrip, DxfLoadBringsBackTheSameShapesOnDxfLayers) {
  TempDir dir;
  TTarvikCanvas original;
  drawing(original);
  const std::string first = dir.file("first.dxf");
  ASSERT_EQ(original.DXFSave(QString::fromStdString(first)), 1);

  const std::map<QString, std::string> fileLayer = {{QStringLiteral("Tarvik Grid"), "Tarvik_Grid"},
                                                    {QStringLiteral("Route"), "Route"},
                                                    {QStringLiteral("~~Marks"), "__Marks"}};
  Lines expected;
  for (const TQShape *s : original.Shapes) {
    const TQLayer *l = original.FindLayer(s->Layer);
    std::string d = describe(*s, "_dxf_" + (l ? fileLayer.at(l->Name) : std::string("0")));
    if (!d.empty())
      expected.push_back(d);
  }
  // The line break of the text became a blank on the way out.
  ASSERT_EQ(expected.size(), 10u);
  expected[8].replace(expected[8].find("Pier\nhead"), 9, "Pier head");

  TTarvikCanvas back;
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  ASSERT_TRUE(back.DXFLoad(QString::fromStdString(first)));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.startsWith(QStringLiteral("DXF loaded: 10")))
      << dialogs.messages()[0].text.toStdString();
  Lines got;
  for (const TQShape *s : back.Shapes) {
    const TQLayer *l = back.FindLayer(s->Layer);
    got.push_back(describe(*s, l ? l->Name.toStdString() : "<none>"));
  }
  EXPECT_EQ(got, expected);

  // Exported again, the entities are the same but for the "_dxf_" of every layer name and the
  // float precision of the rectangle's corners, now polyline vertices.
  const std::string second = dir.file("second.dxf");
  ASSERT_EQ(back.DXFSave(QString::fromStdString(second)), 1);
  Lines firstEntities = entityLines(testsupport::readFile(first));
  bool inVertex = false;
  for (std::size_t i = 0; i + 1 < firstEntities.size(); i += 2) {
    std::string &value = firstEntities[i + 1];
    if (firstEntities[i] == "0")
      inVertex = value == "VERTEX";
    if (firstEntities[i] == "8")
      value = "_dxf_" + value;
    if (inVertex && (firstEntities[i] == "10" || firstEntities[i] == "20")) {
      double v = 0;
      std::from_chars(value.data(), value.data() + value.size(), v);
      value = fixed(static_cast<float>(v));
    }
  }
  EXPECT_EQ(entityLines(testsupport::readFile(second)), firstEntities);
}

// Texts with backslashes come back from our own export and import as they were written: one
// that reads like an escape, a doubled backslash or a formatting code is written so that it is
// not taken for one, and the others stay as they are.
TEST(DxfExportRoundTrip, TextsWithBackslashesComeBackAsWritten) {
  const QString texts[] = {
      QStringLiteral("\\U+00E9"),          QStringLiteral("caf\\U+00e9 \\U+0041\\U+0042"),
      QStringLiteral("C:\\Files\\Pier;2"), QStringLiteral("a\\\\b"),
      QStringLiteral("\\\\U+0041"),        QStringLiteral("line\\Pbreak"),
      QStringLiteral("\\U+12 \\U+00G1"),   QStringLiteral("ends with \\"),
      QStringLiteral("\\x plain"),         QStringLiteral("é \\U+D83D\\U+DE00"),
  };
  const std::vector<QString> written(std::begin(texts), std::end(texts));
  std::string file;
  EXPECT_EQ(textsThroughOwnDxf(written, &file), written);
  // A backslash that starts nothing is written as it is.
  EXPECT_NE(file.find("\\x plain"), std::string::npos);
}

} // namespace
