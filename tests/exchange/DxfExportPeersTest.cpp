// Exported drawings opened by two independent DXF readers: ezdxf must read and audit them with
// no error and nothing to fix, GDAL's ogrinfo must read every entity without an error.
#include "DxfExportSupport.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfWriter.h"
#include "support/ScriptedDialogs.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

namespace {

using namespace dxfexporttest;
using testsupport::TempDir;

// A navigation drawing with every kind of shape and everything the export has to mend.
void surveyDrawing(TTarvikCanvas &c) {
  const int grid = c.LayerOpen(QStringLiteral("Tarvik Grid"));
  const int vessel = c.LayerOpen(QStringLiteral("~~Tarvik Vessel"));
  const int route = c.LayerOpen(QStringLiteral("Tarvik_Route"));
  const int imported = c.LayerOpen(QStringLiteral("_dxf_Quay"));
  const int depth = c.LayerOpen(QStringLiteral("Depth"));
  const int depthUpper = c.LayerOpen(QStringLiteral("DEPTH"));
  const int turkish = c.LayerOpen(QStringLiteral("Şamandıra"));
  const int longName = c.LayerOpen(QString(45, QChar('L')));
  const double e = 512000.25, n = 4541000.75; // a projected grid, as the navigation program uses
  c.DrawLine(e, n, e + 100, n, grid);
  c.DrawLine(e, n, e, n + 100, grid);
  c.DrawPolyline({{e + 1, n + 1}, {e + 3, n + 1}, {e + 2, n + 4}}, vessel, true);
  c.DrawPolyline({{e, n}, {e + 50.5, n + 20.25}, {e + 90, n + 95}}, route, false);
  c.DrawCircle(e + 10, n + 10, 2.5, imported);
  c.DrawCircle(e + 12, n + 12, 0, imported);
  c.DrawPoint(e + 20, n + 20, depth);
  c.DrawPoint(e + 21, n + 21, depthUpper);
  c.DrawRectangle(e + 30, n + 30, e + 25, n + 22, turkish);
  c.DrawTwoPointEllipse(e + 40, n + 40, e + 46, n + 43, longName);
  c.TextAdd(depth, QStringLiteral("4.25"), e + 5, n + 5, 0);
  auto text = [&](const QString &s, double height, double angle, int layer) {
    auto t = std::make_unique<TQText>(e + 6, n + 6, s, -1, layer);
    t->Height = height;
    t->Angle = angle;
    c.appendShape(std::move(t));
  };
  text(QStringLiteral("Şile İskelesi"), 0, 0, turkish);
  text(QStringLiteral("Pier\r\nhead"), 3, -45, route);
  text(QString(), 1, 0, route);
  auto one = std::make_unique<TQPolyline>(5, false, route);
  one->AddPoint(e + 7, n + 7);
  c.appendShape(std::move(one));
  const auto hidden = c.DrawLine(e, n, e - 5, n - 5, grid);
  c.FindShape(hidden)->Visible = false;
  c.appendShape(std::make_unique<TQPoint>(e + 8, n + 8, 0.0, 99)); // a layer that does not exist
  c.DrawLine(e, std::numeric_limits<double>::quiet_NaN(), e + 1, n, grid);
  c.WorldExtents();
}

struct Sample {
  const char *name;
  std::function<void(TTarvikCanvas &)> make;
};

// Exports through the canvas command, answering its message about shapes left out.
int save(TTarvikCanvas &canvas, const std::string &path) {
  exchange::DxfExportSummary summary;
  exchange::buildDxfText(canvas, &summary);
  testsupport::ScriptedDialogs dialogs;
  if (summary.skippedNonFinite > 0)
    dialogs.answer(mrOk);
  return canvas.DXFSave(QString::fromStdString(path));
}

const Sample samples[] = {
    {"empty", [](TTarvikCanvas &) {}},
    {"worked line",
     [](TTarvikCanvas &c) { c.DrawLine(0, 0, 10, 5, c.LayerOpen(QStringLiteral("L"))); }},
    {"survey", surveyDrawing},
};

TEST(DxfExportPeers, EzdxfReadsAndAuditsEverySampleWithoutErrorsOrFixes) {
  TempDir dir;
  for (const Sample &s : samples) {
    TTarvikCanvas canvas;
    s.make(canvas);
    const std::string path = dir.file(std::string(s.name) + ".dxf");
    ASSERT_EQ(save(canvas, path), 1);
    const ProcessResult r = ezdxfAudit(path);
    ASSERT_TRUE(r.started) << "/usr/bin/python3 (package python3-ezdxf) did not start";
    EXPECT_EQ(r.exitCode, 0) << s.name << "\n" << r.err;
    EXPECT_EQ(splitLines(r.out).front(), "errors 0 fixes 0") << s.name << "\n" << r.out;
  }
}

TEST(DxfExportPeers, OgrinfoReadsEveryEntityOfEverySample) {
  TempDir dir;
  for (const Sample &s : samples) {
    TTarvikCanvas canvas;
    s.make(canvas);
    const std::string path = dir.file(std::string(s.name) + ".dxf");
    ASSERT_EQ(save(canvas, path), 1);
    exchange::DxfExportSummary summary;
    exchange::buildDxfText(canvas, &summary);
    const ProcessResult r = ogrinfo(path);
    ASSERT_TRUE(r.started) << "ogrinfo (package gdal-bin) did not start";
    EXPECT_EQ(r.exitCode, 0) << s.name << "\n" << r.err;
    EXPECT_EQ(r.err, "") << s.name;
    EXPECT_EQ(countOf(r.out, "ERROR"), 0) << s.name << "\n" << r.out;
    EXPECT_EQ(countOf(r.out, "OGRFeature(entities)"), summary.entities) << s.name << "\n" << r.out;
  }
}

TEST(DxfExportPeers, EzdxfSeesTheSurveyDrawingsEntitiesLayersAndTexts) {
  TempDir dir;
  TTarvikCanvas canvas;
  surveyDrawing(canvas);
  const std::string path = dir.file("survey.dxf");
  ASSERT_EQ(save(canvas, path), 1);
  const ProcessResult r = ezdxfAudit(path);
  ASSERT_TRUE(r.started);
  const std::string longName(31, 'L');
  const std::vector<std::string> expected = {
      "errors 0 fixes 0",
      "LINE Tarvik_Grid",
      "LINE Tarvik_Grid",
      "POLYLINE __Tarvik_Vessel 3 closed",
      "POLYLINE Tarvik_Route 3 open",
      "CIRCLE _dxf_Quay",
      "CIRCLE _dxf_Quay",
      "POINT Depth",
      "POINT DEPTH_2",
      "POLYLINE _amand_ra 4 closed",
      "CIRCLE " + longName,
      "TEXT Depth |4.25|",
      "TEXT _amand_ra |Şile İskelesi|",
      "TEXT Tarvik_Route |Pier head|",
      "TEXT Tarvik_Route ||",
      "POLYLINE Tarvik_Route 1 open",
      "POINT 0",
      "layers DEPTH_2 Depth " + longName +
          " Tarvik_Grid Tarvik_Route __Tarvik_Vessel _amand_ra _dxf_Quay",
  };
  EXPECT_EQ(splitLines(r.out), expected) << r.err;
}

// The file says which code page its bytes are in: both readers, told nothing, read the Turkish
// letters as they were drawn, not as the Western letters of the same bytes.
TEST(DxfExportPeers, EzdxfAndOgrinfoReadTurkishLettersWithoutBeingToldTheCodePage) {
  TempDir dir;
  TTarvikCanvas canvas;
  const QString text = QString::fromUtf8("Çağrı ğşı İŞĞ öü");
  canvas.TextAdd(canvas.LayerOpen(QStringLiteral("Notes")), text, 5, 5, 0);
  const std::string path = dir.file("turkish.dxf");
  ASSERT_EQ(save(canvas, path), 1);

  const ProcessResult e =
      runProcess(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, ezdxf\n"
                                 "sys.stdout.reconfigure(encoding='utf-8')\n"
                                 "doc = ezdxf.readfile(sys.argv[1])\n"
                                 "print(doc.encoding)\n"
                                 "for t in doc.modelspace().query('TEXT'): print(t.dxf.text)\n"),
                  QString::fromStdString(path)});
  ASSERT_TRUE(e.started) << "/usr/bin/python3 (package python3-ezdxf) did not start";
  EXPECT_EQ(e.exitCode, 0) << e.err;
  EXPECT_EQ(splitLines(e.out), (std::vector<std::string>{"cp1254", text.toStdString()})) << e.err;

  const ProcessResult o = ogrinfo(path);
  ASSERT_TRUE(o.started) << "ogrinfo (package gdal-bin) did not start";
  EXPECT_EQ(o.exitCode, 0) << o.err;
  EXPECT_EQ(countOf(o.out, "Text (String) = " + text.toStdString()), 1) << o.out;
}

} // namespace
