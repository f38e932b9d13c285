// The latency, realtime, message and echogram windows and the remote boat pad.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

platform::IniFile ini() { return platform::IniFile(platform::SettingsFilePath()); }

} // namespace

class NavWindowsTest : public NavigatorTest {
protected:
  TFNav &start() {
    createWindows();
    windows->FNav->show();
    return *windows->FNav;
  }
};

// ---- Latency window

TEST_F(NavWindowsTest, LatencyColourAgainstTheTolerance) {
  createWindows();
  TfLatency &w = *windows->fLatency;
  EXPECT_EQ(w.eLatencyTol->text(), "500");
  const struct {
    const char *tolerance, *current;
    TColor colour;
  } cases[] = {{"500", "499", clLime},
               {"500", "500", clRed},
               {"500", "501", clRed},
               {"20", "19", clLime},
               {"20", "35", clRed},
               // a tolerance being typed counts as 500, quietly
               {"5x", "499", clLime},
               {"", "500", clRed}};
  for (const auto &c : cases) {
    w.eLatencyTol->setText(QString::fromLatin1(c.tolerance));
    w.eCurrentLatency->setText(QStringLiteral("0"));
    w.eCurrentLatency->setText(QString::fromLatin1(c.current));
    EXPECT_EQ(w.LatencyColor(), c.colour) << c.tolerance << " " << c.current;
    EXPECT_EQ(platform::fromQColor(w.gLatency->palette().color(QPalette::Window)), c.colour);
  }
}

TEST_F(NavWindowsTest, TypedToleranceIsStoredAsTypedAndANonIntegerReadsBackAs500) {
  createWindows();
  windows->fLatency->eLatencyTol->setText(QStringLiteral("350"));
  EXPECT_EQ(ini().ReadString("LATENCY", "eLatencyTol", ""), "350");
  windows.reset();
  createWindows();
  EXPECT_EQ(windows->fLatency->eLatencyTol->text(), "350");
  windows->fLatency->eLatencyTol->setText(QStringLiteral("abc"));
  EXPECT_EQ(ini().ReadString("LATENCY", "eLatencyTol", ""), "abc");
  windows.reset();
  createWindows();
  EXPECT_EQ(windows->fLatency->eLatencyTol->text(), "500");
}

// ---- Message window

TEST_F(NavWindowsTest, MessageWindowHidesItselfAndAClickEmptiesIt) {
  createWindows();
  TFMsg &w = *windows->FMsg;
  EXPECT_TRUE(w.Timer1->isActive());
  EXPECT_EQ(w.Timer1->interval(), 4000);
  w.show();
  w.Msg->appendPlainText(QStringLiteral("Sensor TimeOut."));
  EXPECT_TRUE(w.Timer1->isActive());
  w.Timer1Timer(w.Timer1);
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.Timer1->isActive()); // hiding stops it
  EXPECT_EQ(w.Msg->toPlainText(), "Sensor TimeOut.");

  w.show();
  EXPECT_TRUE(w.Timer1->isActive());
  QTest::mouseClick(w.Msg->viewport(), Qt::LeftButton);
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(w.Msg->toPlainText().isEmpty());
}

TEST_F(NavWindowsTest, AMessageShownAfterASlowStartStaysItsWholeTime) {
  createWindows();
  TFMsg &w = *windows->FMsg;
  // A second for four: the start took most of it before the first message came.
  w.Timer1->setInterval(1000);
  w.Timer1->start();
  QTest::qWait(800);
  w.Msg->appendPlainText(QStringLiteral("Cannot read the last drawing"));
  w.show();
  EXPECT_GT(w.Timer1->remainingTime(), 900);
  QTest::qWait(500);
  EXPECT_TRUE(w.isVisible()) << "still up past the creation's phase";

  // A line added while it is up gets its whole time too.
  w.Msg->appendPlainText(QStringLiteral("Sensor TimeOut."));
  EXPECT_GT(w.Timer1->remainingTime(), 900);
  EXPECT_TRUE(testsupport::processEventsUntil([&] { return !w.isVisible(); }));
}

TEST_F(NavWindowsTest, MessageWindowKeepsTheLastThousandLines) {
  createWindows();
  QPlainTextEdit &memo = *windows->FMsg->Msg;
  for (int i = 1; i <= 1500; ++i)
    memo.appendPlainText(QStringLiteral("line %1").arg(i));
  EXPECT_EQ(memo.blockCount(), TFMsg::MaxLines);
  EXPECT_TRUE(memo.toPlainText().startsWith("line 501\n"));
  EXPECT_TRUE(memo.toPlainText().endsWith("line 1500"));
}

// ---- Realtime window

TEST_F(NavWindowsTest, RealtimeWindowLayout) {
  createWindows();
  TfRealtime &w = *windows->fRealtime;
  EXPECT_EQ(w.windowTitle(), "Realtime Data");
  EXPECT_EQ(w.size(), QSize(192, 382));
  for (QLabel *label :
       {w.Fixed, w.Speed, w.SatelliteLabel, w.LAntennaH, w.LTideHt, w.lDepthHi, w.lDepthLo})
    EXPECT_EQ(label->text(), "---");
  EXPECT_EQ(w.btHide->toolTip(), "Hide Window");
  EXPECT_EQ(w.ToolButton2->toolTip(), "Navigation Settings");
  EXPECT_EQ(w.ToolButton3->toolTip(), "GPS Settings");
  EXPECT_EQ(w.btOpenLogFolder->toolTip(), "Open Log Folder");
  EXPECT_EQ(w.btShowOffsets->toolTip(), "Show Offsets");
  EXPECT_EQ(w.DepthFrameHi->title(), " Depth (High Freq.) ");
  EXPECT_EQ(w.lDepthHi->font().pixelSize(), 52);
  EXPECT_TRUE(w.Timer1->isSingleShot());
  EXPECT_EQ(w.Timer1->interval(), 10000);
  EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(NavWindowsTest, LowFreqFrameShowsAndHidesOnceWithItsHeight) {
  createWindows();
  TfRealtime &w = *windows->fRealtime;
  w.HideLowFreqFrame();
  EXPECT_TRUE(w.DepthFrameLo->isHidden());
  EXPECT_EQ(w.height(), 289);
  w.resize(192, 300); // the user's size stays while nothing changes
  w.HideLowFreqFrame();
  EXPECT_EQ(w.height(), 300);
  w.ShowLowFreqFrame();
  EXPECT_FALSE(w.DepthFrameLo->isHidden());
  EXPECT_EQ(w.height(), 387);
  w.resize(192, 390);
  w.ShowLowFreqFrame();
  EXPECT_EQ(w.height(), 390);
}

TEST_F(NavWindowsTest, AShownRealtimeWindowTakesTheHeightOfItsFrames) {
  createWindows();
  TfRealtime &w = *windows->fRealtime;
  w.show();
  QApplication::processEvents();
  for (int round = 0; round < 2; ++round) {
    w.HideLowFreqFrame();
    QApplication::processEvents();
    EXPECT_EQ(w.height(), 289);
    EXPECT_EQ(w.minimumHeight() <= 289, true) << w.minimumHeight();
    // The high-frequency frame ends at the window's bottom, with no blank band below it.
    EXPECT_LE(w.DepthFrameHi->geometry().bottom(), w.height());
    EXPECT_GE(w.DepthFrameHi->geometry().bottom(), w.height() - 10);

    w.ShowLowFreqFrame();
    QApplication::processEvents();
    EXPECT_EQ(w.height(), 387);
    EXPECT_TRUE(w.DepthFrameLo->isVisible());
    EXPECT_LE(w.DepthFrameLo->geometry().bottom(), w.height());
    EXPECT_GE(w.DepthFrameLo->geometry().bottom(), w.height() - 10);
  }
}

TEST_F(NavWindowsTest, AtFirstStartTheStayOnTopWindowsCoverNeitherTheMenuNorStartStop) {
  TFNav &nav = start();
  QApplication::processEvents();
  TfRealtime &realtime = *windows->fRealtime;
  TfCanvas &echogram = *windows->fCanvas;
  realtime.show();
  echogram.show();
  QApplication::processEvents();
  const QRect menu(nav.MainMenu1->mapToGlobal(QPoint(0, 0)), nav.MainMenu1->size());
  const QRect startStop(nav.Realtime->mapToGlobal(QPoint(0, 0)), nav.Realtime->size());
  ASSERT_FALSE(menu.isEmpty());
  ASSERT_FALSE(startStop.isEmpty());
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  for (const QWidget *w : {static_cast<QWidget *>(&realtime), static_cast<QWidget *>(&echogram)}) {
    SCOPED_TRACE(w->objectName().toStdString());
    EXPECT_FALSE(w->frameGeometry().intersects(menu));
    EXPECT_FALSE(w->frameGeometry().intersects(startStop));
    EXPECT_TRUE(screen.contains(w->frameGeometry()));
  }
  EXPECT_FALSE(realtime.frameGeometry().intersects(echogram.frameGeometry()));

  // Moved by the user, the window comes back where it was put when it is shown again.
  realtime.move(300, 200);
  realtime.hide();
  realtime.show();
  EXPECT_EQ(realtime.pos(), QPoint(300, 200));

  // A stored placement is restored as it was.
  ini().WriteInteger("fCanvas", "Left", 40);
  ini().WriteInteger("fCanvas", "Top", 50);
  echogram.hide();
  echogram.show();
  EXPECT_EQ(echogram.pos(), QPoint(40, 50));
}

TEST_F(NavWindowsTest,
       AtFirstStartTheWindowsThatOpenByThemselvesLeaveMenuToolBarsAndEachOtherFree) {
  // The program's own order: the navigation settings open before the main window, the offsets
  // and the boat pad when the main window is shown.
  createWindows();
  windows->FNav->show();
  QApplication::processEvents();
  QApplication::processEvents();
  TFNav &nav = *windows->FNav;
  std::vector<QRect> mainBars{
      QRect(nav.MainMenu1->mapToGlobal(QPoint(0, 0)), nav.MainMenu1->size())};
  for (const QToolBar *bar : nav.findChildren<QToolBar *>())
    if (bar->isVisible() && nav.toolBarArea(const_cast<QToolBar *>(bar)) == Qt::TopToolBarArea)
      mainBars.emplace_back(bar->mapToGlobal(QPoint(0, 0)), bar->size());
  ASSERT_GE(mainBars.size(), 2u);

  const std::vector<QWidget *> own{static_cast<QWidget *>(windows->Navset),
                                   static_cast<QWidget *>(windows->Offsets),
                                   static_cast<QWidget *>(windows->fJoystick)};
  for (QWidget *w : own) {
    SCOPED_TRACE(w->objectName().toStdString());
    ASSERT_TRUE(w->isVisible());
    for (const QRect &bar : mainBars)
      EXPECT_FALSE(w->frameGeometry().intersects(bar));
    for (QWidget *other : own) {
      if (other != w) {
        EXPECT_FALSE(w->frameGeometry().intersects(other->frameGeometry()))
            << other->objectName().toStdString();
      }
    }
  }
}

TEST_F(NavWindowsTest, StartTimerAppliesTheMessageTypeOnce) {
  createWindows();
  TfRealtime &w = *windows->fRealtime;
  windows->FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
  w.Timer1Timer(w.Timer1);
  EXPECT_TRUE(w.DepthFrameLo->isHidden());
  EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(NavWindowsTest, CompactLayoutAndBack) {
  TFNav &nav = start();
  TfRealtime &w = *windows->fRealtime;
  w.show();
  windows->Navset->show();
  w.btHide->click();
  EXPECT_EQ(w.btHideImageIndex, 1);
  EXPECT_FALSE(nav.tRealtime->isVisible());
  EXPECT_FALSE(nav.tDraw->isVisible());
  EXPECT_FALSE(nav.tShape->isVisible());
  EXPECT_FALSE(nav.pRealtime->isVisible());
  EXPECT_FALSE(nav.MainMenu1->isVisible());
  EXPECT_TRUE(nav.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(nav.isVisible());
  EXPECT_FALSE(windows->Navset->isVisible());
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(windows->fCanvas->isVisible());

  // Escape in the main window returns; the echo sounder is closed, so no echogram.
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  escape.setTimestamp(1);
  QApplication::sendEvent(nav.fcad, &escape);
  EXPECT_EQ(w.btHideImageIndex, 0);
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(nav.tRealtime->isVisible());
  EXPECT_TRUE(nav.tDraw->isVisible());
  EXPECT_TRUE(nav.tShape->isVisible());
  EXPECT_TRUE(nav.pRealtime->isVisible());
  EXPECT_TRUE(nav.MainMenu1->isVisible());
  EXPECT_FALSE(nav.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(windows->Navset->isVisible());
  EXPECT_FALSE(windows->fCanvas->isVisible());

  // A second Escape in the normal layout changes nothing.
  QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  again.setTimestamp(2);
  QApplication::sendEvent(nav.fcad, &again);
  EXPECT_EQ(w.btHideImageIndex, 0);
}

TEST_F(NavWindowsTest, OpenLogFolderCreatesTheFolderItOpens) {
  createWindows();
  TfRealtime &w = *windows->fRealtime;
  std::vector<QString> opened;
  w.OpenFolder = [&](const QString &folder) { opened.push_back(folder); };
  const QString logFolder = QString::fromStdString(SurveyDay().LogFolder);
  QDir(logFolder).removeRecursively();
  w.btOpenLogFolder->click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], logFolder);
  EXPECT_TRUE(QDir(logFolder).exists());

  const std::string raw = root.path() + "/raw/gps/nmea.log";
  windows->FNav->ZGPS1->NmeaLogPath = raw;
  windows->FNav->OpenLogFolder1Click(nullptr);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[1], QString::fromStdString(root.path() + "/raw/gps/"));
  EXPECT_TRUE(QDir(opened[1]).exists());
}

// ---- Echogram window

TEST_F(NavWindowsTest, EchogramSettingsAreHeldToWhatTheRingAndTimerTake) {
  TFNav &nav = start();
  TfCanvas &w = *windows->fCanvas;
  const struct {
    const char *width, *interval;
    int dataWidth, timer;
  } cases[] = {{"50", "100", 50, 100},
               {"0", "0", 1, 1},
               {"500", "-20", 200, 1},
               {"abc", "x", 50, 100},
               {"200", "250", 200, 250}};
  for (const auto &c : cases) {
    ini().WriteString("ECHOGRAM", "DataWidth", c.width);
    ini().WriteString("ECHOGRAM", "Interval", c.interval);
    w.show();
    EXPECT_EQ(w.DataWidth, c.dataWidth) << c.width;
    EXPECT_EQ(w.Interval, c.timer) << c.interval;
    EXPECT_EQ(nav.tEchogram->interval(), c.timer) << c.interval;
    w.close();
    EXPECT_EQ(ini().ReadInteger("ECHOGRAM", "DataWidth", -1), c.dataWidth);
  }
}

TEST_F(NavWindowsTest, EchogramPaintsTheNewestDepthBox) {
  createWindows();
  TfCanvas &w = *windows->fCanvas;
  w.resize(374, 92);
  for (double d : {10.0, 10.2, 10.4, 10.6})
    w.DrawEchogram(d, 0.0, 50.0, 50);
  const QImage image = w.grab().toImage();
  ASSERT_EQ(image.size(), QSize(374, 92));
  EXPECT_EQ(image.pixelColor(374 - 70, 92 - 4), QColor(255, 255, 0)); // the box
  EXPECT_EQ(image.pixelColor(5, 5), QColor(240, 248, 255));           // background
  EXPECT_EQ(image.pixelColor(350, 10), QColor(100, 180, 255));        // water column
}

// ---- Remote boat pad

class BoatPadTest : public NavWindowsTest {
protected:
  BoatPadTest() : ports_("TARVIK_PORTS_DIR", portsDir.path().c_str()) {
    pty.linkAs(portsDir.path(), 7);
  }
  void openGps() {
    TTarvikSerialGPS &gps = *windows->FNav->ZGPS1;
    gps.PortNumber = 7;
    gps.OpenPort();
    ASSERT_TRUE(gps.PortOpen);
  }
  std::string received(std::size_t size,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    return pty.receive(size, timeout);
  }

  testsupport::TempDir portsDir;
  testsupport::EnvVar ports_;
  testsupport::PtyPair pty;
};

TEST_F(BoatPadTest, ThrustCommandFormat) {
  const struct {
    const char *motor;
    int level;
    const char *text;
  } cases[] = {{"A", 0, "<A+000>\n"},
               {"B", -5, "<B-005>\n"},
               {"A", 100, "<A+100>\n"},
               {"A", 7, "<A+007>\n"},
               {"B", -12, "<B-012>\n"},
               {"A", 1250, "<A+1250>\n"},
               {"A", -2147483647 - 1, "<A-2147483648>\n"}};
  for (const auto &c : cases)
    EXPECT_EQ(FormatThrustCommand(c.motor, c.level), c.text);
}

TEST_F(BoatPadTest, PadPressesWriteTheirCommandsToTheGpsPort) {
  createWindows();
  openGps();
  TfJoystick &pad = *windows->fJoystick;
  pad.bUp->click();
  pad.bUp->click();
  EXPECT_EQ(received(32), "<A+002>\n<B+002>\n<A+003>\n<B+003>\n");
  pad.bRight->click();
  pad.bRight->click();
  // The single-motor buttons send the level before their step.
  EXPECT_EQ(received(16), "<B+003>\n<B+004>\n");
  EXPECT_EQ(pad.ThrustB, 5);
  pad.BitBtn5->click();
  EXPECT_EQ(received(16), "<A+000>\n<B+000>\n");
  EXPECT_EQ(pad.ThrustA, 1);
  EXPECT_EQ(pad.ThrustB, 1);
  for (int i = 0; i < 3; ++i)
    pad.BitBtn1->click();
  EXPECT_EQ(received(24), "<A+001>\n<A+000>\n<A-001>\n");
  EXPECT_EQ(pad.ThrustA, -2);
  pad.bLeft->click();
  pad.bBottom->click();
  EXPECT_EQ(received(24), "<A-002>\n<A-002>\n<B+000>\n");
  pad.BitBtn2->click(); // no action
  EXPECT_EQ(received(1, std::chrono::milliseconds(200)), "");
  windows->FNav->ZGPS1->ClosePort();
}

TEST_F(BoatPadTest, FirstPressesOfTheRightButton) {
  createWindows();
  openGps();
  TfJoystick &pad = *windows->fJoystick;
  pad.bRight->click();
  pad.bRight->click();
  EXPECT_EQ(received(16), "<B+001>\n<B+002>\n");
  EXPECT_EQ(pad.ThrustB, 3);
  windows->FNav->ZGPS1->ClosePort();
}

TEST_F(BoatPadTest, WithTheGpsPortClosedTheLevelsChangeAndNothingIsWritten) {
  createWindows();
  TfJoystick &pad = *windows->fJoystick;
  pad.bUp->click();
  EXPECT_EQ(pad.ThrustA, 2);
  openGps();
  EXPECT_EQ(received(1, std::chrono::milliseconds(200)), "");
  windows->FNav->ZGPS1->ClosePort();
}

TEST_F(NavWindowsTest, BoatPadHidesUnlessTheMessageTypeIsTarvikSmt) {
  createWindows();
  TfJoystick &pad = *windows->fJoystick;
  EXPECT_TRUE(pad.isVisible());
  EXPECT_TRUE(pad.Panel1->isHidden());
  windows->FGPS->cSBESMessage->setCurrentText(QStringLiteral("Tarvik SMT"));
  pad.Timer1Timer(pad.Timer1);
  EXPECT_TRUE(pad.isVisible());
  windows->FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
  pad.Timer1Timer(pad.Timer1);
  EXPECT_FALSE(pad.isVisible());
}
