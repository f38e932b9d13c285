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

TEST(Paths, EveryFileNameComesBackFromASetting) {
  struct Case {
    const char *path;
    const char *stored; // nullptr: the marked form
  } cases[] = {
      {"/home/g\xC3\xB6khan/ZRV/a.zrv", "/home/g\xF6khan/ZRV/a.zrv"}, // Turkish: Windows-1254
      {"/srv/plain/a.zrv", "/srv/plain/a.zrv"},
      {"/srv/\xCE\xA9mega_\xC3\x96l\xC3\xA7\xC3\xBCm/a.zrv", nullptr}, // Greek
      {"/srv/\xD0\x96/a.zrv", nullptr},                          // Cyrillic
      {"/srv/\xC5\x82\xC5\x91\xC5\x99/a.zrv", nullptr},          // Polish, Hungarian, Czech
      {"/srv/\xFF\xFE/a.zrv", nullptr},                          // bytes that are no UTF-8
      {"utf8:/looks/marked.zrv", nullptr},                        // the marker itself
      {"", ""},
  };
  for (const Case &c : cases) {
    const std::string stored = pathToSetting(c.path);
    if (c.stored)
      EXPECT_EQ(stored, c.stored) << c.path;
    else
      EXPECT_EQ(stored, std::string("utf8:") + c.path) << c.path;
    EXPECT_EQ(pathFromSetting(stored), c.path) << c.path;
  }
  // What an older file holds, Windows-1254 text, still reads as before.
  EXPECT_EQ(pathFromSetting("/home/g\xF6khan/a.zrv"), "/home/g\xC3\xB6khan/a.zrv");
}

} // namespace
