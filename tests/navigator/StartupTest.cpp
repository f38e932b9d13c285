#include "NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/corrections/RtcmReportWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/soundvelocity/SvpGraphWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/About.h"
#include "platform/Paths.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <vector>

std::string NavigatorTest::settingsFile() const { return platform::SettingsFilePath(); }

void NavigatorTest::saveDefaultGeodesy() {
  platform::IniFile ini(settingsFile());
  const std::string section = "GEODETIC_PARAMETERS";
  if (!ini.ReadString(section, "SemiMajorAxis", "").empty())
    return;
  const std::pair<const char *, const char *> values[] = {
      {"SemiMajorAxis", "6378137.0"},
      {"InverseFlattening", "0.0033528106647474"},
      {"X_Rotation", "0"},
      {"Y_Rotation", "0"},
      {"Z_Rotation", "0"},
      {"X_Shift", "0"},
      {"Y_Shift", "0"},
      {"Z_Shift", "0"},
      {"Scale_PPM", "0"},
      {"Central_Meridian", "27"},
      {"Reference_Latitude", "0"},
      {"Scale_Factor", "0.9996"},
      {"False_Easting", "500000"},
      {"False_Northing", "0"},
  };
  for (const auto &[key, value] : values)
    ini.WriteString(section, key, value);
  ini.WriteBool(section, "Use Projection", true);
}

void NavigatorTest::portLine(const std::string &line, bool sounder) {
  TTarvikSerialGPS &port = sounder ? *windows->FNav->ZSENSOR : *windows->FNav->ZGPS1;
  port.RxBuffer += line + "\r\n";
  port.DataSeen = true;
  port.ProcessLines();
}

void NavigatorTest::typeOffsets(const char *a, const char *sv, const char *c, const char *tide) {
  windows->Offsets->hide();
  windows->Offsets->OffsetA->setText(a);
  windows->Offsets->SV->setText(sv);
  windows->Offsets->OffsetC->setText(c);
  windows->Offsets->TideHt->setText(tide);
}

void NavigatorTest::saveGeodesy(const SensorSettingsValues &v) {
  platform::IniFile ini(settingsFile());
  const std::pair<const char *, const QString *> saved[] = {
      {"SemiMajorAxis", &v.edSMA},
      {"InverseFlattening", &v.edIF},
      {"X_Rotation", &v.edRX},
      {"Y_Rotation", &v.edRY},
      {"Z_Rotation", &v.edRZ},
      {"X_Shift", &v.edSX},
      {"Y_Shift", &v.edSY},
      {"Z_Shift", &v.edSZ},
      {"Scale_PPM", &v.edPPM},
      {"Central_Meridian", &v.edCM},
      {"Reference_Latitude", &v.edRL},
      {"Scale_Factor", &v.edSF},
      {"False_Easting", &v.edFE},
      {"False_Northing", &v.edFN},
  };
  for (const auto &[key, value] : saved)
    ini.WriteString("GEODETIC_PARAMETERS", key, value->toStdString());
}

namespace {

struct Expected {
  QWidget *window;
  const char *name;
  const char *caption;
};

std::vector<Expected> inOrder(const NavigatorWindows &w) {
  return {{w.FNav, "FNav", "Tarvik Sondrel"},
          {w.Navset, "Navset", "Navigation Settings"},
          {w.FShape, "FShape", "Vessel Geometry"},
          {(QWidget *)w.FGPS, "FGPS", "Settings"},
          {w.fRealtime, "fRealtime", "Realtime Data"},
          {w.FMsg, "FMsg", "Message Window"},
          {w.Offsets, "Offsets", "Offsets Essential for Post Processing / Recovery"},
          {w.formAbout, "formAbout", "About Tarvik Sondrel"},
          {w.fSVP, "fSVP", "Sound Velocity"},
          {w.fRunline1, "fRunline1", "Runline Generator"},
          {w.fLatency, "fLatency", "Latency"},
          {w.fCanvas, "fCanvas", "Acoustic Waterfall"},
          {w.fTheme, "fTheme", "Theme Selection"},
          {w.fJoystick, "fJoystick", "Battery"},
          {w.fSVPGraph, "fSVPGraph", "SVP Profile Graph - Drag Points or Lasso Select"},
          {w.frmNTRIPSettings, "frmNTRIPSettings", "Tarvik NTRIP Client"},
          {w.fRTCMParsing, "fRTCMParsing", "RTCM Message Parser"}};
}

} // namespace

TEST_F(NavigatorTest, StartWithoutSettingsCreatesEveryWindowOnceWithTheDesignedOnesVisible) {
  createWindows();
  const std::vector<Expected> expected = inOrder(*windows);
  ASSERT_EQ(expected.size(), 17u);
  for (const Expected &e : expected) {
    ASSERT_NE(e.window, nullptr) << e.name;
    EXPECT_EQ(e.window->objectName().toStdString(), e.name);
    EXPECT_EQ(e.window->windowTitle().toStdString(), e.caption) << e.name;
    EXPECT_TRUE(e.window->isWindow()) << e.name;
    const bool designedVisible =
        e.window == (QWidget *)windows->Navset || e.window == (QWidget *)windows->fJoystick;
    EXPECT_EQ(e.window->isVisible(), designedVisible) << e.name;
  }
  EXPECT_EQ(EventLabelFontSize, 24);

  // The message loop shows the main window, whose show brings up the offsets window and the pad.
  windows->FNav->show();
  EXPECT_TRUE(windows->FNav->isVisible());
  EXPECT_TRUE(windows->Offsets->isVisible());
  EXPECT_TRUE(windows->fJoystick->isVisible());
  EXPECT_TRUE(windows->Navset->isVisible());
  EXPECT_FALSE(windows->FGPS->isVisible());
  EXPECT_EQ(windows->FNav->windowTitle().toStdString(), "Tarvik Sondrel - ");
  EXPECT_TRUE(windows->FNav->lLanguage->isEnabled());
  EXPECT_FALSE(windows->FNav->lLanguage->isVisible());
}

// A settings file far beyond any the program writes (a copy gone wrong, a sparse file): the
// start reads the defaults at once, says so, and the exit asks before leaving it unwritten.
TEST_F(NavigatorTest, ASettingsFileBeyondTheBoundIsSaidAndNeverWrittenOver) {
  const std::string ini = settingsFile();
  testsupport::writeFile(ini, "[APPLICATION]\r\nThemeStyle=Light\r\n");
  const std::uintmax_t size = std::uintmax_t(1) << 30;
  std::filesystem::resize_file(ini, size);
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  windows = std::make_unique<NavigatorWindows>();
  CreateNavigatorWindows(*windows);
  windows->FNav->show();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  const QString told = dialogs.messages()[0].text;
  EXPECT_TRUE(told.contains(QString::fromStdString(ini))) << told.toStdString();
  EXPECT_TRUE(told.contains(QStringLiteral("larger than 1 MB"))) << told.toStdString();
  EXPECT_TRUE(windows->FMsg->Msg->toPlainText().contains(told));
  EXPECT_TRUE(windows->Offsets->isVisible()) << "the start went on with the defaults";

  dialogs.answer(mrYes); // exit without the settings
  windows->FNav->close();
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_TRUE(dialogs.messages()[1].text.contains(QStringLiteral("Exit anyway?")));
  windows.reset();
  EXPECT_EQ(std::filesystem::file_size(ini), size);
  std::ifstream kept(ini, std::ios::binary);
  std::string head(20, '\0');
  kept.read(head.data(), std::streamsize(head.size()));
  EXPECT_EQ(head, "[APPLICATION]\r\nTheme");
}
