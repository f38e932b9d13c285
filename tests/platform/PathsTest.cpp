// Folder look-ups and their environment overrides.
#include "platform/Paths.h"

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <string>

using namespace platform;
using testsupport::EnvVar;

namespace {

TEST(Paths, SurveyRootFromEnvironmentOrHome) {
  {
    EnvVar root("TARVIK_SURVEY_ROOT", "/tmp/survey");
    EXPECT_EQ(SurveyRoot(), "/tmp/survey/");
  }
  {
    EnvVar root("TARVIK_SURVEY_ROOT", "/tmp/survey/");
    EXPECT_EQ(SurveyRoot(), "/tmp/survey/");
  }
  EnvVar root("TARVIK_SURVEY_ROOT", nullptr);
  EnvVar home("HOME", "/home/surveyor");
  EXPECT_EQ(SurveyRoot(), "/home/surveyor/ZRV/");
}

TEST(Paths, SettingsFileIsNamedAfterTheExecutable) {
  const std::string name =
      QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
  EXPECT_EQ(ExecutableName(), name);
  {
    EnvVar dir("TARVIK_SETTINGS_DIR", "/tmp/settings");
    EXPECT_EQ(ExeDir(), "/tmp/settings/");
    EXPECT_EQ(SettingsFilePath(), "/tmp/settings/" + name + ".INI");
  }
  EnvVar dir("TARVIK_SETTINGS_DIR", nullptr);
  EXPECT_EQ(ExeDir(), ExecutableDir());
  EXPECT_EQ(SettingsFilePath(), ExecutableDir() + name + ".INI");
  EXPECT_EQ(ExecutableDir().back(), '/');
  EXPECT_EQ(ExecutableDir().front(), '/');
}

TEST(Paths, PortsFolderBesideTheExecutableUnlessSet) {
  {
    EnvVar ports("TARVIK_PORTS_DIR", "/tmp/p");
    EXPECT_EQ(PortsDir(), "/tmp/p/");
  }
  EnvVar ports("TARVIK_PORTS_DIR", nullptr);
  // The settings override moves the settings, not the ports.
  EnvVar settings("TARVIK_SETTINGS_DIR", "/tmp/settings");
  EXPECT_EQ(PortsDir(), ExecutableDir() + "ports/");
}

} // namespace
