// A navigation program in a test: its own settings folder and survey root, a pinned clock, and
// the windows built as the program builds them.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/SurveyDay.h"
#include "platform/FormatSettings.h"
#include "platform/Time.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>

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

  // Builds every window as the program's start does.
  void createWindows() {
    windows = std::make_unique<NavigatorWindows>();
    CreateNavigatorWindows(*windows);
  }

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
