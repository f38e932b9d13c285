// The main window's menus, tool bars, keys, small commands and the echogram watchdog.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Time.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>

// The exit test's child ends through the runtime's exit with its windows alive by design; the
// leak check at that exit would report their libraries' caches and change the exit status.
namespace {
bool endingOnPurpose = false;
}
extern "C" int __lsan_is_turned_off() { return endingOnPurpose ? 1 : 0; }

namespace {

QStringList captions(QMenu *menu) {
  QStringList out;
  for (QAction *a : menu->actions())
    if (!a->isSeparator())
      out << a->text();
  return out;
}

} // namespace

class NavCommandsTest : public NavigatorTest {
protected:
  TFNav &start() {
    createWindows();
    TFNav &nav = *windows->FNav;
    nav.StartProgram = [this](const QString &program) {
      started.push_back(program);
      return true;
    };
    nav.EndProcess = [this](int status) { endedWith.push_back(status); };
    windows->fRealtime->OpenFolder = [this](const QString &folder) { opened.push_back(folder); };
    nav.show();
    nav.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&nav));
    return nav;
  }
  QAction *action(const char *name) {
    return windows->FNav->findChild<QAction *>(QString::fromLatin1(name));
  }
  QToolButton *button(const char *name) {
    return windows->FNav->findChild<QToolButton *>(QString::fromLatin1(name));
  }
  // A key the main window previews; each press its own time, as the window system gives them.
  void press(int k) {
    static ulong timestamp = 1000;
    QKeyEvent event(QEvent::KeyPress, k, Qt::NoModifier);
    event.setTimestamp(++timestamp);
    QApplication::sendEvent(windows->FNav->fcad, &event);
  }
  void key(int k, Qt::KeyboardModifiers mods = {}) {
    QTest::keyClick(static_cast<QWidget *>(windows->FNav->fcad), static_cast<Qt::Key>(k), mods);
  }

  std::vector<QString> started;
  std::vector<int> endedWith;
  std::vector<QString> opened;
};

TEST_F(NavCommandsTest, MenusInTheirOrder) {
  TFNav &nav = start();
  EXPECT_EQ(captions(nav.Zoom1),
            (QStringList{"In\tCtrl+I", "Out\tCtrl+O", "Extents", "Window\tCtrl+W", "Dynamic"}));
  EXPECT_EQ(captions(nav.Tools1),
            (QStringList{"Vessel Shape...", "Open Log Folder", "Latency Watch/Set"}));
  EXPECT_EQ(captions(nav.Edit1),
            (QStringList{"Clear tracks unfixed", "Clear tracks fixed", "Clear shapes user added",
                         "Delete tracks selected", "Follow vessel", "Do not follow vessel",
                         "Mark Event"}));
  EXPECT_EQ(captions(nav.Window1),
            (QStringList{"Navigation Settings...", "Realtime Window...", "Echogram...\tCtrl+O",
                         "Offsets...\tCtrl+O", "Theme Selection...", "Sound Velocity Profile...",
                         "Tarvik NTRIP Client...", "Generate Runline...", "Device Settings..."}));
  EXPECT_EQ(captions(nav.Help1).value(0), "Remote Support...");
  EXPECT_EQ(action("Parameters1")->shortcut(), QKeySequence(Qt::Key_F10));
  EXPECT_EQ(action("MarkEvent1")->shortcut(), QKeySequence(Qt::Key_F12));
  EXPECT_EQ(nav.tShape->actions().size(), 9);
}

TEST_F(NavCommandsTest, ShortcutsReachTheirCommands) {
  TFNav &nav = start();
  key(Qt::Key_L, Qt::ControlModifier);
  EXPECT_EQ(opened.size(), 1u);

  nav.fcad->DrawMode = 0;
  key(Qt::Key_D, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(nav.fcad->DrawMode, -4);

  windows->FGPS->hide();
  key(Qt::Key_F10);
  EXPECT_TRUE(windows->FGPS->isVisible());
  windows->FGPS->hide();

  nav.fcad->WorldLeft = 0;
  nav.fcad->WorldRight = 1;
  nav.activateWindow();
  key(Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_NE(nav.fcad->WorldRight, 1); // the (empty) drawing's extents

  // Ctrl+O opens a drawing; it never opens the echogram or the offsets window, whose items
  // only show it.
  windows->Offsets->hide();
  testsupport::ScriptedDialogs dialogs;
  dialogs.cancelFile();
  key(Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(dialogs.fileDialogs().size(), 1u);
  EXPECT_EQ(dialogs.fileDialogs()[0].title.toStdString(), "Dialog Open");
  EXPECT_FALSE(windows->fCanvas->isVisible());
  EXPECT_FALSE(windows->Offsets->isVisible());
}

TEST_F(NavCommandsTest, F2AndF3CycleTheOverlaysAndDeleteIsConsumed) {
  TFNav &nav = start();
  const int depthMode = nav.fcad->DepthSpeedDisplayMode;
  const int corner = nav.fcad->GGAOverlayPosition;
  press(Qt::Key_F2);
  EXPECT_NE(nav.fcad->DepthSpeedDisplayMode, depthMode);
  for (int i = 0; i < 3; ++i)
    press(Qt::Key_F2);
  EXPECT_EQ(nav.fcad->DepthSpeedDisplayMode, depthMode);
  for (int i = 0; i < 4; ++i)
    press(Qt::Key_F3);
  EXPECT_EQ(nav.fcad->GGAOverlayPosition, corner);

  std::uint16_t del = 46;
  nav.FormKeyDown(&nav, del, 0);
  EXPECT_EQ(del, 0);
  std::uint16_t other = 65;
  nav.FormKeyDown(&nav, other, 0);
  EXPECT_EQ(other, 65);
}

TEST_F(NavCommandsTest, WindowCommandsShowTheirWindows) {
  TFNav &nav = start();
  const struct {
    const char *item;
    QWidget *window;
  } cases[] = {{"LatencyWatchSet1", windows->fLatency},
               {"mRealtimeWindow1", windows->fRealtime},
               {"OffsetsandValues1", windows->Offsets},
               {"NavigationSettings1", reinterpret_cast<QWidget *>(windows->Navset)},
               {"Parameters1", windows->FGPS}};
  for (const auto &c : cases) {
    c.window->hide();
    action(c.item)->trigger();
    EXPECT_TRUE(c.window->isVisible()) << c.item;
  }
  nav.State.FollowVesselEnabled = true;
  button("ToolButton13")->click();
  EXPECT_FALSE(nav.State.FollowVesselEnabled);
  action("Followvessel1")->trigger();
  EXPECT_TRUE(nav.State.FollowVesselEnabled);
}

TEST_F(NavCommandsTest, EchogramCommandNeedsAnOpenSensorPort) {
  TFNav &nav = start();
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  action("Echogram1")->trigger();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "Sensor is not connected. Connect sensor to view waterfall.");
  EXPECT_FALSE(windows->fCanvas->isVisible());

  testsupport::TempDir ports;
  testsupport::EnvVar dir("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 3);
  nav.ZSENSOR->PortNumber = 3;
  nav.ZSENSOR->OpenPort();
  ASSERT_TRUE(nav.ZSENSOR->PortOpen);
  action("Echogram1")->trigger();
  EXPECT_TRUE(windows->fCanvas->isVisible());
  nav.ZSENSOR->ClosePort();
}

TEST_F(NavCommandsTest, WatchdogReportsASilentSensorOnceAfterFiveSeconds) {
  TFNav &nav = start();
  TNavigationState &s = nav.State;
  TfCanvas &echogram = *windows->fCanvas;
  // Across the wrap of the 32-bit tick counter.
  clock.monotonic = 0xFFFFF000u;
  s.SensorStartTick = platform::TickCount();
  echogram.show();
  clock.monotonic += 5000;
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_FALSE(s.SensorTimeoutReported);
  EXPECT_TRUE(echogram.isVisible());
  clock.monotonic += 1;
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_TRUE(s.SensorTimeoutReported);
  EXPECT_FALSE(echogram.isVisible());
  EXPECT_FALSE(s.EchogramShown);

  // Once: the window shown again stays while the sensor is still silent.
  echogram.show();
  clock.monotonic += 20000;
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_TRUE(echogram.isVisible());

  // An echo-sounder line re-arms it; lines every second, then none.
  s.SensorTimeoutReported = false;
  for (int i = 0; i < 5; ++i) {
    s.LastSensorTick = platform::TickCount();
    clock.monotonic += 1000;
    nav.tEchogramTimer(nav.tEchogram);
    EXPECT_FALSE(s.SensorTimeoutReported);
  }
  clock.monotonic += 4000; // 5.0 s after the last line
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_FALSE(s.SensorTimeoutReported);
  clock.monotonic += 200; // the next tick
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_TRUE(s.SensorTimeoutReported);
}

TEST_F(NavCommandsTest, EchogramTimerDrawsOnlyANewDepthWithThePortOpen) {
  TFNav &nav = start();
  TfCanvas &echogram = *windows->fCanvas;
  windows->FGPS->cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0", "1500", "0", "0");
  portLine("$GPTXT,offsets");
  echogram.show();
  portLine("$SDDPT,12.5,0", true);
  ASSERT_TRUE(nav.Road.state().DepthPending);
  nav.tEchogramTimer(nav.tEchogram);
  EXPECT_FALSE(echogram.Layout.has_value()); // the port is closed
  EXPECT_FALSE(nav.Road.state().DepthPending);

  testsupport::TempDir ports;
  testsupport::EnvVar dir("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 3);
  nav.ZSENSOR->PortNumber = 3;
  nav.ZSENSOR->OpenPort();
  portLine("$SDDPT,12.5,0", true);
  nav.tEchogramTimer(nav.tEchogram);
  ASSERT_TRUE(echogram.Layout.has_value());
  EXPECT_EQ(echogram.Layout->NewestText, "12.5m");
  EXPECT_DOUBLE_EQ(echogram.Samples.EchoDepths[echogram.DataWidth - 1], 12.5);
  nav.tEchogramTimer(nav.tEchogram); // no new depth: nothing shifts
  EXPECT_DOUBLE_EQ(echogram.Samples.EchoDepths[echogram.DataWidth - 2], 0.0);
  nav.ZSENSOR->ClosePort();
}

TEST_F(NavCommandsTest, RemoteSupportRestartAndExit) {
  TFNav &nav = start();
  action("RemoteSupport1")->trigger();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(started[0].endsWith("TarvikAssist"));

  button("bExit")->click();
  EXPECT_EQ(endedWith, std::vector<int>{-1});
  EXPECT_TRUE(nav.isVisible());

  bool closed = false;
  QObject::connect(&nav, &TFNav::closed, [&] { closed = true; });
  button("bRestart")->click();
  EXPECT_TRUE(closed);
  // The new instance comes once this one's windows are gone.
  EXPECT_EQ(started.size(), 1u);
  windows.reset();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[1], QCoreApplication::applicationFilePath());
}

TEST_F(NavCommandsTest, RestartStartsTheNewInstanceOnlyAfterEverySettingIsWritten) {
  TFNav &nav = start();
  windows->Navset->VesselWidth->setText(QStringLiteral("7"));
  nav.fcad->WorldLeft = 123;
  windows->frmNTRIPSettings->edtServer->setText(QStringLiteral("caster.example"));
  std::vector<std::string> settingsAtStart; // the settings file as the new instance would read it
  nav.StartProgram = [&](const QString &) {
    settingsAtStart.push_back(testsupport::readFile(settingsFile()));
    return true;
  };

  button("bRestart")->click();
  EXPECT_TRUE(settingsAtStart.empty());
  windows.reset(); // as the program's end destroys its windows

  ASSERT_EQ(settingsAtStart.size(), 1u);
  const std::string &ini = settingsAtStart[0];
  EXPECT_NE(ini.find("VesselWidth=7"), std::string::npos) << ini;
  EXPECT_NE(ini.find("PlanWorldLeft=123"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Server=caster.example"), std::string::npos) << "written as it is destroyed";
  EXPECT_NE(ini.find("Last File Saved"), std::string::npos);
}

namespace {

// What cannot be written on the way out: a file stands where the folder should be, or a folder
// where the settings file should be.
enum class Unwritable { DrawingFolder, SvpMemos, Settings };

void restoreFolders(const std::string &settingsFile) {
  for (const std::string &folder : {SurveyDay().DrawingFolder, SurveyDay().SvpFolder}) {
    QFile::remove(QString::fromStdString(folder.substr(0, folder.size() - 1)));
    QDir().mkpath(QString::fromStdString(folder));
  }
  QDir(QString::fromStdString(settingsFile)).removeRecursively();
}

void makeUnwritable(Unwritable what, NavigatorWindows &windows, const std::string &settingsFile) {
  if (what == Unwritable::Settings) {
    QFile::remove(QString::fromStdString(settingsFile));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(settingsFile)));
    return;
  }
  const std::string folder =
      what == Unwritable::DrawingFolder ? SurveyDay().DrawingFolder : SurveyDay().SvpFolder;
  ASSERT_TRUE(QDir(QString::fromStdString(folder)).removeRecursively());
  testsupport::writeFile(folder.substr(0, folder.size() - 1), "x");
  if (what == Unwritable::SvpMemos) {
    windows.fSVP->mSVPColumn->setPlainText(QStringLiteral("1500.00"));
    windows.fSVP->cUseSVP->setChecked(true);
    ASSERT_TRUE(windows.fSVP->cUseSVP->isChecked());
  }
}

} // namespace

TEST_F(NavCommandsTest, ExitWithSomethingUnsavedAsksOnceAndNoKeepsEverythingRunning) {
  const struct {
    Unwritable what;
    const char *told; // a part of the one message
  } cases[] = {{Unwritable::DrawingFolder, "the drawing was not saved"},
               {Unwritable::SvpMemos, "mSVPColumn"},
               {Unwritable::Settings, "Unable to write to"}};
  // Each way out of the program: the File menu, its key, the close box and the restart.
  const std::function<void()> ways[] = {
      [this] { action("Exit1")->trigger(); },
      [this] { key(Qt::Key_Q, Qt::ControlModifier); },
      [this] { windows->FNav->close(); },
      [this] { button("bRestart")->click(); },
  };
  for (const auto &c : cases)
    for (std::size_t way = 0; way < std::size(ways); ++way) {
      SCOPED_TRACE(testing::Message() << c.told << ", way " << way);
      TFNav &nav = start();
      testsupport::TempDir ports;
      testsupport::EnvVar dir("TARVIK_PORTS_DIR", ports.path().c_str());
      testsupport::PtyPair pty;
      pty.linkAs(ports.path(), 5);
      nav.ZGPS1->PortNumber = 5;
      nav.ZGPS1->OpenPort();
      ASSERT_TRUE(nav.ZGPS1->PortOpen);
      nav.fcad->DrawLine(0, 0, 10, 10, nav.State.UserShapeLayer);
      const auto shapes = nav.fcad->ShapeCount;
      makeUnwritable(c.what, *windows, settingsFile());
      bool closed = false;
      QObject::connect(&nav, &TFNav::closed, [&] { closed = true; });

      {
        testsupport::ScriptedDialogs dialogs;
        dialogs.answer(mrNo);
        ways[way]();
        ASSERT_EQ(dialogs.messages().size(), 1u);
        const QString text = dialogs.messages()[0].text;
        EXPECT_TRUE(text.contains(QString::fromLatin1(c.told))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Exit anyway?"))) << text.toStdString();
      }
      EXPECT_FALSE(closed);
      EXPECT_TRUE(nav.isVisible());
      EXPECT_EQ(nav.fcad->ShapeCount, shapes) << "the drawing is still in memory";
      EXPECT_TRUE(nav.ZGPS1->PortOpen) << "acquisition goes on";
      EXPECT_TRUE(nav.Realtime->isEnabled());
      EXPECT_TRUE(windows->Offsets->isVisible()) << "the windows closed on the way are back";
      EXPECT_TRUE(QTest::qWaitForWindowActive(&nav)) << "and the main window keeps the keys";

      {
        testsupport::ScriptedDialogs dialogs;
        dialogs.answer(mrYes);
        ways[way]();
        EXPECT_EQ(dialogs.messages().size(), 1u);
      }
      EXPECT_TRUE(closed);
      EXPECT_FALSE(nav.ZGPS1->PortOpen);
      windows.reset();
      // Only the restart whose close went ahead starts a new instance.
      EXPECT_EQ(started.size(), way == 3 ? 1u : 0u);
      started.clear();
      restoreFolders(settingsFile());
    }
}

TEST_F(NavCommandsTest, ARestartRefusedForAnUnsavedDrawingStartsNothing) {
  start();
  makeUnwritable(Unwritable::DrawingFolder, *windows, settingsFile());
  {
    testsupport::ScriptedDialogs dialogs;
    dialogs.answer(mrNo);
    button("bRestart")->click();
  }
  windows.reset(); // the program ends some other way later
  EXPECT_TRUE(started.empty());
}

TEST_F(NavCommandsTest, ExitWithEverythingSavedAsksNothing) {
  TFNav &nav = start();
  bool closed = false;
  QObject::connect(&nav, &TFNav::closed, [&] { closed = true; });
  testsupport::ScriptedDialogs dialogs; // no message may come
  action("Exit1")->trigger();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(dialogs.messages().empty());
  EXPECT_EQ(QDir(QString::fromStdString(SurveyDay().DrawingFolder)).entryList(QDir::Files).size(),
            1u);
}

TEST_F(NavCommandsTest, NtripCommandAttachesAnOpenGpsPort) {
  TFNav &nav = start();
  delete windows->frmNTRIPSettings;
  windows->frmNTRIPSettings = nullptr;
  action("TarvikNTRIPClient1")->trigger();
  ASSERT_NE(windows->frmNTRIPSettings, nullptr);
  EXPECT_TRUE(windows->frmNTRIPSettings->isVisible());
  EXPECT_TRUE(windows->frmNTRIPSettings->GpsPortName.empty());

  testsupport::TempDir ports;
  testsupport::EnvVar dir("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 4);
  nav.ZGPS1->PortNumber = 4;
  nav.ZGPS1->OpenPort();
  ASSERT_TRUE(nav.ZGPS1->PortOpen);
  action("TarvikNTRIPClient1")->trigger();
  EXPECT_EQ(windows->frmNTRIPSettings->GpsPortName, "COM4");
  nav.ZGPS1->ClosePort();
}

TEST_F(NavCommandsTest, ExitButtonEndsMidSurveyWithEverySurveyFileComplete) {
  // The child is this test run anew in a process of its own: a fork beside the threads that
  // earlier tests left running can hang. It works in the folder of the parent, which it finds in
  // the environment it inherits; the empty folders its own start made are removed, as it ends
  // without unwinding.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char *sharedName = "TARVIK_EXIT_TEST_FOLDER";
  const bool child = std::getenv(sharedName) != nullptr;
  const std::string folder = child ? std::string(std::getenv(sharedName)) : root.path();
  if (child) {
    QDir(QString::fromStdString(root.path())).removeRecursively();
    QDir(QString::fromStdString(settings.path())).removeRecursively();
  }
  testsupport::EnvVar shared(sharedName, folder.c_str());
  for (const char *sub : {"/survey/", "/settings/", "/ports/"})
    QDir().mkpath(QString::fromStdString(folder + sub));
  testsupport::EnvVar rootEnv("TARVIK_SURVEY_ROOT", (folder + "/survey/").c_str());
  testsupport::EnvVar settingsEnv("TARVIK_SETTINGS_DIR", (folder + "/settings/").c_str());
  testsupport::EnvVar portsEnv("TARVIK_PORTS_DIR", (folder + "/ports/").c_str());
  InitSurveySession();
  const std::string rawLog = folder + "/raw.log";
  const std::string eventLog = EventLogPath();
  const std::string line = "$GPGGA,101530.00,4100.0000,N,02900.0000,E,4,12,0.8,10.0,M,0,M,,*5C";
  EXPECT_EXIT(
      {
        testsupport::PtyPair pty;
        pty.linkAs(folder + "/ports", 6);
        createWindows();
        TFNav &nav = *windows->FNav;
        nav.ZGPS1->PortNumber = 6;
        nav.ZGPS1->NmeaLogEnabled = true;
        nav.ZGPS1->NmeaLogPath = rawLog;
        nav.ZGPS1->OpenPort();
        AppendAutoEvent("Realtime STARTED", eventLog);
        pty.send(line + "\r\n");
        testsupport::processEventsUntil(
            [&] { return testsupport::readFile(rawLog).find("*5C") != std::string::npos; });
        endingOnPurpose = true;
        nav.bExitClick(nav.bExit);
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_NE(testsupport::readFile(rawLog).find(line), std::string::npos);
  EXPECT_NE(testsupport::readFile(eventLog).find("Realtime STARTED"), std::string::npos);
}
