// The main window's set-up, its show (fixed layers, the last drawing, the view) and its close.
#include "navigator/NavigatorFixture.h"

#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <sys/stat.h>

using testsupport::readFile;
using testsupport::writeFile;

namespace {

const std::vector<std::string> fixedLayerNames = {
    "Tarvik Grid",      "track_fix",        "track_nofix",  "track_float",
    "tarvik_tempshape", "tarvik_usershape", "event_number", "~~Tarvik Vessel"};

std::vector<int> fixedLayerIndexes(const TNavigationState &s) {
  return {s.GridLayer,      s.TrackFixLayer,  s.TrackNoFixLayer, s.TrackFloatLayer,
          s.TempShapeLayer, s.UserShapeLayer, s.EventLayer,      s.VesselLayer};
}

int layerCount(const TTarvikCanvas &canvas, const QString &name) {
  int n = 0;
  for (const TQLayer *layer : canvas.Layers)
    if (layer->Name == name)
      ++n;
  return n;
}

} // namespace

class MainWindowTest : public NavigatorTest {
protected:
  TFNav &start() {
    createWindows();
    windows->FNav->show();
    return *windows->FNav;
  }
  void setLastFile(const std::string &path) {
    platform::IniFile(platform::SettingsFilePath())
        .WriteString("FILE", "Last File Saved       ", path);
  }
  platform::IniFile ini() const { return platform::IniFile(platform::SettingsFilePath()); }
};

TEST_F(MainWindowTest, CreationBuildsPortsCanvasFoldersAndFormats) {
  createWindows();
  TFNav &nav = *windows->FNav;
  const std::string day = root.path() + "/2024-05-01/";
  for (const char *folder : {"ZRV", "LOG", "XYZ", "SVP", "JPG", "MP4"})
    EXPECT_TRUE(QDir(QString::fromStdString(day + folder)).exists()) << folder;
  ASSERT_NE(nav.ZGPS1, nullptr);
  ASSERT_NE(nav.ZSENSOR, nullptr);
  EXPECT_TRUE(nav.ZGPS1->OnConnect && nav.ZGPS1->OnDisconnect && nav.ZGPS1->OnIdle &&
              nav.ZGPS1->OnTimeout && nav.ZGPS1->OnNewCommand && nav.ZGPS1->OnPosition3DChange &&
              nav.ZGPS1->OnSpeedChange && nav.ZGPS1->OnSend);
  EXPECT_TRUE(nav.ZSENSOR->OnNewCommand);
  EXPECT_FALSE(nav.ZSENSOR->OnConnect || nav.ZSENSOR->OnIdle || nav.ZSENSOR->OnTimeout);
  EXPECT_EQ(nav.ZGPS1->LogTimeFormat, "hhnnsszzz");
  EXPECT_EQ(nav.ZSENSOR->LogDateFormat, "YYYY-MM-DD");
  ASSERT_NE(nav.fcad, nullptr);
  EXPECT_TRUE(nav.fcad->NavigationVariant);
  EXPECT_EQ(nav.fcad->parentWidget(), nav.Panel4);
  EXPECT_TRUE(nav.MonitorEcho);
  EXPECT_TRUE(nav.DatumParameters.empty());
  EXPECT_EQ(nav.Realtime->text(), "Start");
  EXPECT_EQ(nav.Realtime->size(), QSize(70, 28));
  EXPECT_TRUE(nav.Realtime->font().bold());
  // 500 ms from the form, then the navigation settings window, shown at creation without a
  // stored rate, sets its own first-start rate of 20 ms.
  EXPECT_EQ(nav.tMap->interval(), 20);
  EXPECT_FALSE(nav.tMap->isActive());
  EXPECT_EQ(nav.tEchogram->interval(), 200);
  EXPECT_TRUE(nav.tEchogram->isActive());

  EXPECT_EQ(platform::FloatToStr(1234.5), "1234.5");
  EXPECT_EQ(platform::DateTimeToStr({2024, 5, 1, 10, 15, 30, 123}), "2024-05-01 101530123");
}

TEST_F(MainWindowTest, FirstRunOpensTheEightFixedLayersInOrderWithTheDefaultView) {
  TFNav &nav = start();
  const TTarvikCanvas &cad = *nav.fcad;
  const std::vector<int> indexes = fixedLayerIndexes(nav.State);
  for (std::size_t i = 0; i < fixedLayerNames.size(); ++i) {
    const QString name = QString::fromStdString(fixedLayerNames[i]);
    EXPECT_EQ(cad.LayerFindByName(name), indexes[i]) << fixedLayerNames[i];
    EXPECT_EQ(layerCount(cad, name), 1) << fixedLayerNames[i];
    if (i > 0) {
      EXPECT_GT(indexes[i], indexes[i - 1]) << "opened in order";
    }
  }
  EXPECT_EQ(cad.CurrentLayer, nav.State.VesselLayer);
  // Showing again (as a change of border or menu does) keeps the drawing of the run.
  nav.fcad->DrawPoint(1, 1, nav.State.TrackFixLayer);
  nav.hide();
  nav.show();
  EXPECT_EQ(cad.ShapeCount, 1);
  EXPECT_EQ(cad.WorldLeft, 0);
  EXPECT_EQ(cad.WorldRight, 1000);
  EXPECT_EQ(cad.WorldTop, 1000);
  EXPECT_EQ(cad.WorldBottom, 0);
  EXPECT_EQ(nav.windowTitle(), "Tarvik Sondrel - ");

  // A second call finds all eight and changes nothing.
  const int current = cad.CurrentLayer;
  const std::size_t layers = std::size_t(cad.Layers.size());
  nav.EnsureNavigationLayers(nav.fcad);
  EXPECT_EQ(fixedLayerIndexes(nav.State), indexes);
  EXPECT_EQ(cad.CurrentLayer, current);
  EXPECT_EQ(std::size_t(cad.Layers.size()), layers);
}

TEST_F(MainWindowTest, CloseSavesTheDrawingAndWritesTheViewAndPlacementsForTheNextStart) {
  TFNav &nav = start();
  nav.fcad->DrawLine(1, 2, 3, 4, nav.State.TrackFixLayer);
  nav.fcad->DrawCircle(5, 5, 1, nav.State.VesselLayer);
  nav.fcad->WorldLeft = 100.25;
  nav.fcad->WorldRight = 900;
  nav.fcad->WorldTop = 750.5;
  nav.fcad->WorldBottom = -12;
  nav.fcad->GridAutoScale = false;
  nav.fcad->DepthSpeedDisplayMode = 2;
  nav.fcad->GGAOverlayPosition = 1;
  clock.setLocal({2024, 5, 1, 18, 5, 0, 0});
  nav.close();

  EXPECT_FALSE(windows->Offsets->isVisible());
  EXPECT_FALSE(windows->Navset->isVisible());
  const platform::IniFile settingsFile = ini();
  EXPECT_EQ(
      settingsFile.ReadSectionValues("CANVAS"),
      (std::vector<std::string>{"PlanWorldLeft=100.25", "PlanWorldRight=900", "PlanWorldTop=750.5",
                                "PlanWorldBottom=-12", "GridAutoScale=0", "DepthSpeedDisplayMode=2",
                                "GGAOverlayPosition=1"}));
  for (const char *window :
       {"Offsets", "Navset", "FNav", "fRealtime", "fSVP", "fRunline1", "fCanvas", "fJoystick"})
    EXPECT_TRUE(settingsFile.ValueExists(window, "WindowState")) << window;
  const std::string saved = root.path() + "/2024-05-01/ZRV/2024-05-01 1805.zrv";
  EXPECT_EQ(settingsFile.ReadString("FILE", "Last File Saved", ""), saved);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(saved)));
  EXPECT_NE(
      readFile(root.path() + "/2024-05-01/LOG/2024-05-01 Events.log").find("Auto-saved: " + saved),
      std::string::npos);

  // The next start comes back to that view and drawing; the vessel is not saved.
  windows.reset();
  TFNav &again = start();
  EXPECT_EQ(again.windowTitle().toStdString(), "Tarvik Sondrel - " + saved);
  EXPECT_EQ(again.fcad->WorldLeft, 100.25);
  EXPECT_EQ(again.fcad->WorldBottom, -12);
  EXPECT_FALSE(again.fcad->GridAutoScale);
  EXPECT_EQ(again.fcad->DepthSpeedDisplayMode, 2);
  EXPECT_EQ(again.fcad->GGAOverlayPosition, 1);
  EXPECT_EQ(again.fcad->ShapeCount, 1);
  ASSERT_EQ(again.fcad->ShapeCount, 1);
  EXPECT_EQ((*again.fcad->Shapes.begin())->Layer, again.State.TrackFixLayer);
  // The reader cuts layer names at their first blank: the saved grid and vessel layers come
  // back as "Tarvik" and "~~Tarvik", and the run gets fresh fixed layers beside them.
  EXPECT_NE(again.fcad->LayerFindByName(QStringLiteral("Tarvik")), -1);
  EXPECT_NE(again.fcad->LayerFindByName(QStringLiteral("~~Tarvik")), -1);
  EXPECT_EQ(layerCount(*again.fcad, QStringLiteral("~~Tarvik Vessel")), 1);
  EXPECT_EQ(layerCount(*again.fcad, QStringLiteral("track_fix")), 1);
}

TEST_F(MainWindowTest, TheStoredFixedGridHoldsFromTheFirstPaint) {
  // A fixed 250 m grid stored by the settings window, beside the canvas flag of an automatic
  // grid that an earlier version left behind.
  platform::IniFile file = ini();
  file.WriteBool("GRID_SETTINGS", "GridVisible", true);
  file.WriteBool("GRID_SETTINGS", "AutoGrid", false);
  file.WriteString("GRID_SETTINGS", "GridSpacingX", "250");
  file.WriteString("GRID_SETTINGS", "GridSpacingY", "250");
  file.WriteBool("CANVAS", "GridAutoScale", true);
  TFNav &nav = start();
  EXPECT_FALSE(nav.fcad->GridAutoScale);
  EXPECT_EQ(nav.fcad->GridSpacingX, 250.0);
  EXPECT_EQ(nav.fcad->GridSpacingY, 250.0);
  // Opening the settings window changes nothing.
  windows->FGPS->show();
  EXPECT_FALSE(nav.fcad->GridAutoScale);
  EXPECT_EQ(nav.fcad->GridSpacingX, 250.0);
  windows->FGPS->close();

  // "Auto Scale" stored on: the automatic grid, whatever the canvas flag says.
  nav.close();
  windows.reset();
  file.WriteBool("GRID_SETTINGS", "AutoGrid", true);
  file.WriteBool("CANVAS", "GridAutoScale", false);
  TFNav &again = start();
  EXPECT_TRUE(again.fcad->GridAutoScale);
  EXPECT_EQ(again.fcad->GridSpacingX, 0.0);
}

TEST_F(MainWindowTest, FixedLayersOfTheReopenedDrawingAreFoundWhereTheyAre) {
  DrawingModel drawing;
  drawing.LayerOpen(QStringLiteral("coast"));
  drawing.LayerOpen(QStringLiteral("piers"));
  const int trackFix = drawing.LayerOpen(QStringLiteral("track_fix"));
  drawing.DrawLine(0, 0, 10, 10, trackFix);
  const std::string path = root.file("old.zrv");
  ASSERT_EQ(drawing.CadSave(QString::fromStdString(path), -1), 1);
  setLastFile(path);
  platform::IniFile(platform::SettingsFilePath()).WriteString("CANVAS", "PlanWorldLeft", "abc");
  platform::IniFile(platform::SettingsFilePath()).WriteString("CANVAS", "PlanWorldRight", "500");

  TFNav &nav = start();
  EXPECT_EQ(nav.State.TrackFixLayer, nav.fcad->LayerFindByName(QStringLiteral("track_fix")));
  EXPECT_EQ(nav.fcad->FindLayer(nav.State.TrackFixLayer)->Name, "track_fix");
  EXPECT_EQ(layerCount(*nav.fcad, QStringLiteral("track_fix")), 1);
  EXPECT_EQ(nav.fcad->ShapeCount, 1);
  EXPECT_EQ(nav.fcad->WorldLeft, 0); // "abc" reads as the default
  EXPECT_EQ(nav.fcad->WorldRight, 500);
}

TEST_F(MainWindowTest, AMissingOrDamagedLastDrawingLeavesAnEmptyDrawingWithTheFixedLayers) {
  // A drawing cut short, as a full disk or a pulled stick leaves it.
  DrawingModel drawing;
  for (int i = 0; i < 200; ++i)
    drawing.DrawLine(i, 0, i, 100, 0);
  ASSERT_EQ(drawing.CadSave(QString::fromStdString(root.file("whole.zrv")), -1), 1);
  const std::string whole = readFile(root.file("whole.zrv"));
  struct Case {
    const char *name;
    std::string bytes; // empty: no file
    bool reported;
  } cases[] = {{"gone.zrv", "", true},
               {"garbage.zrv", "ZRV1\x78\x9c garbage that does not inflate", true},
               {"cut.zrv", whole.substr(0, whole.size() / 2), true}};
  for (const Case &c : cases) {
    const std::string path = root.file(c.name);
    if (!c.bytes.empty())
      writeFile(path, c.bytes);
    setLastFile(path);
    TFNav &nav = start();
    EXPECT_EQ(nav.fcad->ShapeCount, 0) << c.name;
    for (const std::string &layer : fixedLayerNames)
      EXPECT_EQ(layerCount(*nav.fcad, QString::fromStdString(layer)), 1) << c.name << layer;
    EXPECT_EQ(nav.windowTitle().toStdString(), "Tarvik Sondrel - " + path);
    const QString messages = windows->FMsg->Msg->toPlainText();
    EXPECT_EQ(messages.contains(QString::fromStdString(path)), c.reported) << c.name;
    EXPECT_EQ(windows->FMsg->isVisible(), c.reported) << c.name << ": shown as it happens";
    windows.reset();
  }
}

TEST_F(MainWindowTest, ALastDrawingNameThatIsAPipeOrAFolderIsReportedAndTheStartCompletes) {
  // Opened the plain way, a pipe with no writer would hold the start for ever.
  const std::string pipe = root.file("pipe.zrv");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const std::string folder = root.file("folder.zrv");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  for (const std::string &path : {pipe, folder}) {
    setLastFile(path);
    TFNav &nav = start();
    EXPECT_TRUE(nav.isVisible());
    EXPECT_EQ(nav.fcad->ShapeCount, 0) << path;
    EXPECT_EQ(nav.State.TrackFixLayer, nav.fcad->LayerFindByName(QStringLiteral("track_fix")));
    EXPECT_TRUE(windows->FMsg->isVisible()) << path;
    EXPECT_TRUE(windows->FMsg->Msg->toPlainText().contains(
        QStringLiteral("Cannot read the last drawing ") + QString::fromStdString(path)));
    EXPECT_TRUE(windows->Offsets->isVisible()) << "the start went on to its end";
    windows.reset();
  }
}

TEST_F(MainWindowTest, CloseWithAnUnwritableDrawingFolderAsksOnceAndYesStillKeepsTheView) {
  TFNav &nav = start();
  nav.fcad->WorldLeft = 42;
  // A file where the drawing folder should be: nothing can be written into it.
  const QString folder = QString::fromStdString(SurveyDay().DrawingFolder);
  ASSERT_TRUE(QDir(folder).removeRecursively());
  writeFile(SurveyDay().DrawingFolder.substr(0, SurveyDay().DrawingFolder.size() - 1), "x");

  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrYes); // exit anyway
  nav.close();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("Cannot create file")))
      << dialogs.messages()[0].text.toStdString();
  EXPECT_FALSE(nav.isVisible());
  const platform::IniFile settingsFile = ini();
  EXPECT_EQ(settingsFile.ReadFloat("CANVAS", "PlanWorldLeft", -1), 42);
  EXPECT_TRUE(settingsFile.ValueExists("FNav", "Width"));
  EXPECT_TRUE(settingsFile.ValueExists("fJoystick", "Left"));
  // Nothing was saved, so nothing is remembered as saved.
  EXPECT_FALSE(settingsFile.ValueExists("FILE", "Last File Saved"));
}
