// Folder look-ups and their environment overrides.
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace platform;

namespace {

// Sets or clears an environment variable for one test and puts the old value back.
class EnvVar {
public:
  EnvVar(const char *name, const char *value) : name_(name) {
    if (const char *old = std::getenv(name))
      old_ = old;
    if (value)
      setenv(name, value, 1);
    else
      unsetenv(name);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_.c_str(), old_->c_str(), 1);
    else
      unsetenv(name_.c_str());
  }

private:
  std::string name_;
  std::optional<std::string> old_;
};

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
