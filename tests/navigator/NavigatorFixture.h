// A navigation program in a test: its own settings folder and survey root, a pinned clock, and
// the windows built as the program builds them.
#pragma once

#include "navigator/CreateNavigatorWindows.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/SensorSettingsModel.h"
#include "platform/FormatSettings.h"
#include "platform/IniFile.h"
#include "platform/Time.h"
#include "support/TestSupport.h"
#include "tools/NmeaBuilder.h"

#include <gtest/gtest.h>
#include <memory>

using navigator::useTransverseMercator;

// Puts 41°N 29°E at E 500100, N 4500200 (PROJ: the meridian arc to 41°N is 4540573.29123 m).
inline void useGridOf41N29EAt500100And4500200(SensorSettingsValues &v) {
  useTransverseMercator(v, "29", "1", "500100", "-40373.29123");
}

class NavigatorTest : public ::testing::Test {
protected:
  NavigatorTest()
      : settingsEnv_("TARVIK_SETTINGS_DIR", (settings.path() + "/").c_str()),
        rootEnv_("TARVIK_SURVEY_ROOT", (root.path() + "/").c_str()), scopedClock_(clock) {
    clock.setLocal({2024, 5, 1, 10, 15, 30, 123});
    InitSurveySession();
  }
  // The main window fixes the process's formats; other tests of this program expect theirs.
  ~NavigatorTest() override {
    windows.reset();
    platform::setFormatSettings(savedFormats_);
  }

  // Builds every window as the program's start does. A settings file without geodetic
  // parameters gets a complete set first (WGS 84, UTM zone 35 north), as a surveyor's has: a
  // start refuses incomplete ones.
  void createWindows() {
    saveDefaultGeodesy();
    windows = std::make_unique<NavigatorWindows>();
    CreateNavigatorWindows(*windows);
  }
  void saveDefaultGeodesy();
  // The offsets a surveyor typed in the hidden offsets window: draft A, sound velocity, offset
  // C, tide.
  void typeOffsets(const char *a, const char *sv, const char *c, const char *tide);
  // A line off the wire of the receiver's (or, for `sounder`, the echo sounder's) port, taken as
  // the port's component takes it: handed to the main window's handler, then parsed, so that a
  // GGA's position event reaches the road.
  void portLine(const std::string &line, bool sounder = false);
  // A current fix at 41°N 29°E (GPS quality 1), given by a GGA line.
  void fixAt41N29E() {
    portLine("$GPGGA,101530.00,4100.0,N,02900.0,E,1,12,0.9,12.5,M,40.1,M,,*5D");
  }
  // The receiver's sentences of one epoch at `fix` (GGA, RMC, VTG, HDT, ZDA), each through the
  // GPS port: the fix, its quality and satellites, speed, course and heading as a receiver gives
  // them.
  void receiverEpoch(const sim::ReceiverFix &fix) {
    for (const std::string &line : sim::receiverEpoch("GP", fix))
      portLine(line);
  }
  // Writes the geodetic values of `v` to the settings file, as SAVE & LOCK SETTINGS does.
  void saveGeodesy(const SensorSettingsValues &v);

  std::string settingsFile() const;

  testsupport::TempDir settings;
  testsupport::TempDir root;
  platform::ManualClock clock;
  std::unique_ptr<NavigatorWindows> windows;

private:
  platform::FormatSettings savedFormats_ = platform::formatSettings();
  testsupport::EnvVar settingsEnv_;
  testsupport::EnvVar rootEnv_;
  platform::ScopedClock scopedClock_;
};
