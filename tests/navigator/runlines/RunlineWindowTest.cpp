// The run-line window on the main window's canvas: a route drawn with the mouse, the lines it
// gives, regeneration on every change, the event-log lines, the stored settings and the refusals.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/runlines/RunlineWindow.h"
#include "platform/IniFile.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

class RunlineWindowTest : public NavigatorTest {
protected:
  RunlineWindowTest() {
    createWindows();
    nav = windows->FNav;
    cad = nav->fcad;
    nav->EnsureNavigationLayers(cad);
    // Not shown, so no layout resizes the canvas: one world unit per pixel, y up.
    cad->resize(400, 300);
    cad->WorldSet(0, 300, 400, 0);
    rl = windows->fRunline1;
  }

  int layer(const char *name) const { return cad->LayerFindByName(QString::fromLatin1(name)); }
  // The polylines of a layer, in drawing order.
  std::vector<TPointPairVector> polylines(const char *name) const {
    std::vector<TPointPairVector> out;
    const int l = layer(name);
    for (const TQShape *s : cad->Shapes)
      if (s->Layer == l)
        if (const auto *p = dynamic_cast<const TQPolyline *>(s)) {
          TPointPairVector points;
          for (const TPointF &v : p->Points)
            points.emplace_back(v.X, v.Y);
          out.push_back(points);
        }
    return out;
  }
  // The texts of the day's event-log records.
  std::vector<std::string> events() const {
    const std::string log = testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Events.log");
    std::vector<std::string> out;
    const std::string mark = "\nAuto Event:\t";
    for (std::size_t at = log.find(mark); at != std::string::npos;) {
      const std::size_t next = log.find(mark, at + 1);
      const std::string record = log.substr(at + mark.size(), next - at - mark.size());
      out.push_back(record.substr(record.find('\t') + 1));
      at = next;
    }
    return out;
  }
  platform::IniFile settingsIni() const { return platform::IniFile(settingsFile()); }
  void click(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(cad, b, {}, p); }

  TFNav *nav = nullptr;
  TTarvikCanvas *cad = nullptr;
  TfRunline1 *rl = nullptr;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(RunlineWindowTest, DesignValues) {
  EXPECT_EQ(rl->windowTitle().toStdString(), "Runline Generator");
  EXPECT_EQ(rl->eSpacing->text().toStdString(), "10");
  EXPECT_EQ(rl->eLength->text().toStdString(), "100");
  EXPECT_TRUE(rl->rbPerpendicular->isChecked());
  EXPECT_FALSE(rl->rbParallel->isChecked());
  EXPECT_EQ(rl->lRouteStatus->text().toStdString(), "No route drawn");
  EXPECT_FALSE(rl->RouteReady);
  EXPECT_EQ(rl->RunlineLayer, -1);
}

TEST_F(RunlineWindowTest, TheMainWindowShowsIt) {
  nav->findChild<QToolButton *>(QStringLiteral("tbRunline"))->click();
  EXPECT_TRUE(rl->isVisible());
  rl->bClose->click();
  EXPECT_FALSE(rl->isVisible());
  EXPECT_FALSE(settingsIni().ValueExists("FILE", "Last File Saved"));

  // The menu item saves the drawing first.
  nav->findChild<QAction *>(QStringLiteral("Generate1"))->trigger();
  EXPECT_TRUE(rl->isVisible());
  EXPECT_TRUE(settingsIni().ValueExists("FILE", "Last File Saved"));
}

TEST_F(RunlineWindowTest, GenerateWithoutARouteAsksForOne) {
  dialogs.answer(mrOk);
  rl->bGenerate->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(), "Please draw a route first.");
  EXPECT_FALSE(settingsIni().SectionExists("RUNLINE"));
  EXPECT_TRUE(events().empty());
  EXPECT_EQ(layer("Tarvik_Runlines"), -1);

  // Clear drops the route and its lines; Generate asks again.
  rl->AcceptRoutePolyline({{0, 0}, {100, 0}});
  ASSERT_EQ(polylines("Tarvik_Runlines").size(), 12u);
  rl->bClear->click();
  EXPECT_TRUE(polylines("Tarvik_Runlines").empty());
  EXPECT_TRUE(rl->RoutePoints.empty());
  EXPECT_FALSE(rl->RouteReady);
  EXPECT_EQ(rl->lRouteStatus->text().toStdString(), "No route drawn");
  dialogs.answer(mrOk);
  rl->bGenerate->click();
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[1].text.toStdString(), "Please draw a route first.");
  EXPECT_FALSE(settingsIni().SectionExists("RUNLINE"));
}

TEST_F(RunlineWindowTest, ARouteDrawnOnTheCanvasGivesItsLines) {
  rl->show();
  rl->bDrawRoute->click();
  EXPECT_EQ(rl->lRouteStatus->text().toStdString(), "Drawing... (right-click to finish)");
  EXPECT_EQ(cad->DrawMode, 5);
  ASSERT_GE(layer("Tarvik_Route"), 0);
  EXPECT_EQ(cad->CurrentLayer, layer("Tarvik_Route"));

  // (50, 50) -> (150, 50) -> (150, 150), finished with the right button.
  click({50, 250});
  click({150, 250});
  click({150, 150});
  click({150, 150}, Qt::RightButton);
  EXPECT_EQ(cad->DrawMode, 0);
  EXPECT_TRUE(rl->RouteReady);
  EXPECT_EQ(rl->RoutePoints, (TPointPairVector{{50, 50}, {150, 50}, {150, 150}}));
  EXPECT_EQ(rl->lRouteStatus->text().toStdString(), "Route: 3 points");
  EXPECT_TRUE(rl->lRouteStatus->styleSheet().contains(QStringLiteral("#008000")));
  // The route stays on its own layer; its copy and 11 cross lines a segment on the other.
  EXPECT_EQ(polylines("Tarvik_Route").size(), 1u);
  const auto lines = polylines("Tarvik_Runlines");
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[0], rl->RoutePoints);
  EXPECT_EQ(lines[1], (TPointPairVector{{50, 150}, {50, -50}}));
  // The second segment runs north: its lines go from the west (its left) to the east.
  EXPECT_EQ(lines[12], (TPointPairVector{{50, 50}, {250, 50}}));
  EXPECT_EQ(events(), (std::vector<std::string>{"Runlines generated - Spacing: 10, Length: 100"}));
  EXPECT_FALSE(settingsIni().SectionExists("RUNLINE")); // only Generate stores them

  // A new Draw Route drops the lines and the route at once.
  rl->bDrawRoute->click();
  EXPECT_TRUE(polylines("Tarvik_Runlines").empty());
  EXPECT_TRUE(polylines("Tarvik_Route").empty());
  EXPECT_FALSE(rl->RouteReady);

  // With the window hidden a finished polyline is not taken.
  rl->hide();
  click({50, 250});
  click({150, 250});
  click({150, 250}, Qt::RightButton);
  EXPECT_FALSE(rl->RouteReady);
  EXPECT_TRUE(polylines("Tarvik_Runlines").empty());
}

TEST_F(RunlineWindowTest, EveryChangeOfTheEditsOrTheTypeRegenerates) {
  rl->AcceptRoutePolyline({{0, 0}, {100, 0}});
  rl->eSpacing->clear(); // an empty spacing counts as 10
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 12u);
  const std::size_t before = events().size();
  QTest::keyClicks(rl->eSpacing, QStringLiteral("25"));
  const auto after = events();
  ASSERT_EQ(after.size(), before + 2);
  EXPECT_EQ(after[before], "Runlines generated - Spacing: 2, Length: 100");
  EXPECT_EQ(after[before + 1], "Runlines generated - Spacing: 25, Length: 100");
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 6u); // the route and x = 0, 25, ..., 100

  rl->eSpacing->setText(QStringLiteral("10"));
  rl->eLength->setText(QStringLiteral("25"));
  rl->rbParallel->click();
  const auto parallel = polylines("Tarvik_Runlines");
  ASSERT_EQ(parallel.size(), 5u);
  const double ys[] = {10, -10, 20, -20};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(parallel[1 + i], (TPointPairVector{{0, ys[i]}, {100, ys[i]}})) << i;
  rl->rbPerpendicular->click();
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 12u);
  EXPECT_EQ(polylines("Tarvik_Runlines")[1], (TPointPairVector{{0, 25}, {0, -25}}));

  // Texts that are no number take the defaults; the log keeps them as typed.
  rl->eSpacing->setText(QStringLiteral("abc"));
  EXPECT_EQ(events().back(), "Runlines generated - Spacing: abc, Length: 25");
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 12u);
  EXPECT_FALSE(settingsIni().SectionExists("RUNLINE"));
}

TEST_F(RunlineWindowTest, GenerateStoresTheSettingsTheNextWindowReads) {
  rl->eSpacing->setText(QStringLiteral("12.5"));
  rl->eLength->setText(QStringLiteral("60"));
  rl->rbParallel->setChecked(true);
  rl->AcceptRoutePolyline({{0, 0}, {100, 0}});
  rl->bGenerate->click();
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 9u); // the route and 4 lines a side
  const platform::IniFile ini = settingsIni();
  EXPECT_EQ(ini.ReadString("RUNLINE", "Spacing", "?"), "12.5");
  EXPECT_EQ(ini.ReadString("RUNLINE", "Length", "?"), "60");
  EXPECT_EQ(ini.ReadString("RUNLINE", "Perpendicular", "?"), "0");

  const auto next = std::make_unique<TfRunline1>(nullptr, *windows);
  EXPECT_EQ(next->eSpacing->text().toStdString(), "12.5");
  EXPECT_EQ(next->eLength->text().toStdString(), "60");
  EXPECT_TRUE(next->rbParallel->isChecked());
  EXPECT_FALSE(next->rbPerpendicular->isChecked());
  EXPECT_FALSE(next->RouteReady);
}

TEST_F(RunlineWindowTest, TooManyLinesAreRefusedWithAMessage) {
  dialogs.answer(mrOk);
  rl->AcceptRoutePolyline({{0, 0}, {100000, 0}}); // 10,001 cross lines at the spacing of 10
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(),
            "Too many run lines (10001); at most 10000 are drawn at once. Enlarge the spacing or "
            "shorten the length.");
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 1u); // the route copy alone
  EXPECT_TRUE(events().empty());                      // no lines were made, so none is logged

  rl->eSpacing->setText(QStringLiteral("100"));
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 1002u);

  // Parallel lines by the billion, a count no integer of the old kind holds; the lines drawn
  // before stay.
  dialogs.answer(mrOk);
  rl->rbParallel->setChecked(true);
  rl->eLength->setText(QStringLiteral("1e300"));
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_TRUE(dialogs.messages()[1].text.startsWith(QStringLiteral("Too many run lines")));
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 1002u);
}

TEST_F(RunlineWindowTest, ASpacingTypedKeyByKeyIsRefusedOnceAndTheLastGoodLinesStay) {
  rl->AcceptRoutePolyline({{0, 0}, {1000, 0}}); // 101 lines at the spacing of 10
  const auto good = polylines("Tarvik_Runlines");
  ASSERT_EQ(good.size(), 102u);

  // "0.05" key by key: "0", "0." and "0.0" take the default 10, "0.05" would give 20,001 lines.
  const std::size_t logged = events().size();
  dialogs.answer(mrOk);
  rl->eSpacing->selectAll();
  QTest::keyClicks(rl->eSpacing, QStringLiteral("0.05"));
  // The three keys that drew the default lines are logged as typed; the refused value is not.
  const auto afterKeys = events();
  ASSERT_EQ(afterKeys.size(), logged + 3);
  EXPECT_EQ(afterKeys.back(), "Runlines generated - Spacing: 0.0, Length: 100");
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(),
            "Too many run lines (20001); at most 10000 are drawn at once. Enlarge the spacing or "
            "shorten the length.");
  EXPECT_EQ(polylines("Tarvik_Runlines"), good);
  EXPECT_TRUE(rl->lRouteStatus->text().startsWith(QStringLiteral("Too many run lines (20001)")));

  // Further keys that stay over the limit raise no further box, nor does the same value typed
  // again after "0.0" has drawn the default lines once more.
  QTest::keyClicks(rl->eSpacing, QStringLiteral("1"));
  QTest::keyClick(rl->eSpacing, Qt::Key_Backspace);
  QTest::keyClick(rl->eSpacing, Qt::Key_Backspace);
  QTest::keyClicks(rl->eSpacing, QStringLiteral("5"));
  EXPECT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(polylines("Tarvik_Runlines"), good);
  // "0.051" and "0.05" are refused again: only "0.0" (default lines drawn anew) adds a record.
  ASSERT_EQ(events().size(), logged + 4);
  EXPECT_EQ(events().back(), "Runlines generated - Spacing: 0.0, Length: 100");

  EXPECT_EQ(rl->eSpacing->text().toStdString(), "0.05");

  // A spacing that gives lines replaces them.
  rl->eSpacing->selectAll();
  QTest::keyClicks(rl->eSpacing, QStringLiteral("20"));
  EXPECT_EQ(polylines("Tarvik_Runlines").size(), 52u); // the route and x = 0, 20, ..., 1000
  EXPECT_EQ(rl->lRouteStatus->text().toStdString(), "Route: 2 points");
}

} // namespace
