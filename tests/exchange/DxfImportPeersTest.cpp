// Drawings written by real DXF writers import without loss: ezdxf's R12, R2000 and R2018 files
// against the shapes ezdxf lists for them, and GDAL's DXF (ogr2ogr) against the GeoJSON it was
// given.
#include "DxfImportTestSupport.h"
#include "canvas/TarvikCanvas.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using namespace dxftest;
using testsupport::TempDir;

// Runs a peer program; empty on success, else what went wrong.
std::string run(const QString &program, const QStringList &args) {
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(program, args);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return program.toStdString() + " failed: " + p.readAll().toStdString() +
           p.errorString().toStdString();
  return {};
}

struct Expected {
  std::string kind;
  std::string layer;
  std::vector<double> values;
  QString text;
};

std::vector<Expected> readListing(const std::string &path) {
  std::vector<Expected> out;
  std::istringstream in(testsupport::readFile(path));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty())
      continue;
    std::istringstream words(line);
    Expected e;
    words >> e.kind >> e.layer;
    const int numbers = e.kind == "TEXT" ? 3 : -1;
    double v = 0;
    while ((numbers < 0 || int(e.values.size()) < numbers) && words >> v)
      e.values.push_back(v);
    if (e.kind == "TEXT") {
      std::string rest;
      std::getline(words, rest);
      e.text = QString::fromUtf8(rest.substr(rest.empty() ? 0 : 1));
    }
    out.push_back(e);
  }
  return out;
}

// Compares one canvas shape with one listed entity; returns what differs.
std::string compare(const DrawingModel &m, const TQShape *s, const Expected &e) {
  std::ostringstream why;
  auto near = [&](double a, double b, const char *what) {
    if (std::abs(a - b) > 1e-4 * std::max(1.0, std::abs(b)))
      why << what << " " << a << " != " << b << "; ";
  };
  if (layerName(m, s->Layer) != "_dxf_" + e.layer)
    why << "layer " << layerName(m, s->Layer) << "; ";
  const auto &v = e.values;
  if (e.kind == "LINE") {
    const auto *l = dynamic_cast<const TQLine *>(s);
    if (!l)
      return "not a line";
    near(l->X1, v[0], "x1");
    near(l->Y1, v[1], "y1");
    near(l->X2, v[2], "x2");
    near(l->Y2, v[3], "y2");
  } else if (e.kind == "CIRCLE") {
    const auto *c = dynamic_cast<const TQCircle *>(s);
    if (!c)
      return "not a circle";
    near(c->X, v[0], "x");
    near(c->Y, v[1], "y");
    near(c->Radius, v[2], "r");
  } else if (e.kind == "POINT") {
    const auto *p = dynamic_cast<const TQPoint *>(s);
    if (!p)
      return "not a point";
    near(p->X, v[0], "x");
    near(p->Y, v[1], "y");
  } else if (e.kind == "TEXT") {
    const auto *t = dynamic_cast<const TQText *>(s);
    if (!t)
      return "not a text";
    near(t->X, v[0], "x");
    near(t->Y, v[1], "y");
    near(t->Height, v[2], "height");
    if (t->DisplayText != e.text)
      why << "text '" << t->DisplayText.toStdString() << "'; ";
  } else {
    const auto *p = dynamic_cast<const TQPolyline *>(s);
    if (!p || p->Points.empty())
      return "not a polyline";
    if (e.kind == "ARC") {
      if (p->Points.size() != 21 || p->ShapeType != 5)
        why << "arc of " << p->Points.size() << " points, type " << p->ShapeType << "; ";
      near(p->Points.front().X, v[0], "x0");
      near(p->Points.front().Y, v[1], "y0");
      near(p->Points.back().X, v[2], "xn");
      near(p->Points.back().Y, v[3], "yn");
    } else if (e.kind == "ELLIPSE") {
      if (p->Points.size() != 37 || p->Closed != (v[0] != 0))
        why << "ellipse of " << p->Points.size() << " points; ";
      near(p->Points.front().X, v[1], "x0");
      near(p->Points.front().Y, v[2], "y0");
      near(p->Points.back().X, v[3], "xn");
      near(p->Points.back().Y, v[4], "yn");
    } else if (e.kind == "POLY") {
      if (p->Closed != (v[0] != 0) || p->ShapeType != (p->Closed ? 6 : 5))
        why << "closed " << p->Closed << "; ";
      if (p->Points.size() != std::size_t(v[1]))
        return why.str() + "points " + std::to_string(p->Points.size());
      for (std::size_t i = 0; i < p->Points.size(); ++i) {
        near(p->Points[i].X, v[2 + 2 * i], "x");
        near(p->Points[i].Y, v[3 + 2 * i], "y");
      }
    } else {
      return "unknown kind " + e.kind;
    }
  }
  return why.str();
}

void expectShapes(const DrawingModel &m, const std::vector<Expected> &want) {
  ASSERT_EQ(m.ShapeCount, int(want.size()));
  for (int i = 0; i < m.ShapeCount; ++i) {
    const std::string diff = compare(m, m.Shapes[i], want[std::size_t(i)]);
    EXPECT_EQ(diff, "") << "shape " << i << " (" << want[std::size_t(i)].kind << " on "
                        << want[std::size_t(i)].layer << ")";
  }
}

class DxfImportEzdxf : public ::testing::TestWithParam<const char *> {
protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir;
    error_ = new std::string(run(QStringLiteral("/usr/bin/python3"),
                                 {QString::fromStdString(dataPath("dxf/make_fixtures.py")),
                                  QString::fromStdString(dir_->path())}));
  }
  static void TearDownTestSuite() {
    delete dir_;
    delete error_;
  }
  static std::string dataPath(const std::string &name) { return testsupport::dataPath(name); }
  static TempDir *dir_;
  static std::string *error_;
};
TempDir *DxfImportEzdxf::dir_ = nullptr;
std::string *DxfImportEzdxf::error_ = nullptr;

TEST_P(DxfImportEzdxf, EveryEntityArrivesAsEzdxfListsIt) {
  ASSERT_EQ(*error_, "");
  const std::string version = GetParam();
  const std::vector<Expected> want = readListing(dir_->file(version + ".expected"));
  ASSERT_GT(want.size(), 15u);

  TTarvikCanvas canvas;
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  ASSERT_TRUE(canvas.DXFLoad(QString::fromStdString(dir_->file(version + ".dxf"))));
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.startsWith(
      QStringLiteral("DXF loaded: %1 entities\n").arg(want.size())))
      << dialogs.messages()[0].text.toStdString();
  expectShapes(canvas, want);

  // Layer colours come from the layer table; the user's blocks are kept with their lines only.
  EXPECT_EQ(canvas.GetLayerPenFg(canvas.LayerFindByName(QStringLiteral("_dxf_WALLS"))),
            rgb(255, 0, 0));
  EXPECT_EQ(canvas.GetLayerPenFg(canvas.LayerFindByName(QStringLiteral("_dxf_DEPTH"))),
            rgb(0, 0, 255));
  ASSERT_NE(canvas.FindBlock(QStringLiteral("BUOY")), nullptr);
  ASSERT_NE(canvas.FindBlock(QStringLiteral("ARROW")), nullptr);
  EXPECT_EQ(canvas.FindBlock(QStringLiteral("BUOY"))->Shapes.size(), 2u);
  EXPECT_EQ(canvas.FindBlock(QStringLiteral("ARROW"))->Shapes.size(), 3u);
  // The explicit colours: the second wall line is cyan; a red reference gives red lines.
  EXPECT_EQ(canvas.Shapes[1]->PenFg, rgb(0, 255, 255));
  EXPECT_EQ(canvas.Shapes[0]->PenFg, rgb(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Versions, DxfImportEzdxf, ::testing::Values("R12", "R2000", "R2018"));

// GDAL writes points as POINT, lines as LWPOLYLINE, labels as MTEXT and polygons as filled
// HATCH areas, which the import passes over (the record after each still arrives).
TEST(DxfImportOgr, FeaturesArriveAsTheGeoJsonGaveThem) {
  TempDir dir;
  const std::string geojson = testsupport::dataPath("dxf/features.geojson");
  const std::string dxf = dir.file("features.dxf");
  ASSERT_EQ(run(QStringLiteral("ogr2ogr"),
                {QStringLiteral("-f"), QStringLiteral("DXF"), QString::fromStdString(dxf),
                 QString::fromStdString(geojson)}),
            "");

  std::vector<Expected> want;
  QFile in(QString::fromStdString(geojson));
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const QJsonArray features = QJsonDocument::fromJson(in.readAll())["features"].toArray();
  auto polyline = [](const std::string &layer, const QJsonArray &coords) {
    Expected e{"POLY", layer, {0, double(coords.size())}, {}};
    for (const QJsonValue &c : coords) {
      e.values.push_back(c[0].toDouble());
      e.values.push_back(c[1].toDouble());
    }
    return e;
  };
  for (const QJsonValue &f : features) {
    const std::string layer = f["properties"]["Layer"].toString().toStdString();
    const QString style = f["properties"]["OGR_STYLE"].toString();
    const QString type = f["geometry"]["type"].toString();
    const QJsonArray coords = f["geometry"]["coordinates"].toArray();
    if (type == "Point" && style.startsWith("LABEL")) {
      const QString text = style.section(QStringLiteral("t:\""), 1).section('"', 0, 0);
      want.push_back({"TEXT", layer, {coords[0].toDouble(), coords[1].toDouble(), 2.0}, text});
    } else if (type == "Point") {
      want.push_back({"POINT", layer, {coords[0].toDouble(), coords[1].toDouble()}, {}});
    } else if (type == "LineString") {
      want.push_back(polyline(layer, coords));
    } else if (type == "MultiLineString") {
      for (const QJsonValue &part : coords)
        want.push_back(polyline(layer, part.toArray()));
    }
  }
  ASSERT_EQ(want.size(), 6u);

  DrawingModel m;
  const auto r = exchange::importDxfFile(m, QString::fromStdString(dxf));
  EXPECT_EQ(r.status, exchange::DxfImportOutcome::Status::Imported);
  EXPECT_EQ(r.importCount, 6);
  expectShapes(m, want);
}

} // namespace
