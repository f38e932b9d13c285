// Path look-ups over the environment and /proc/self/exe.
#include "platform/Paths.h"

#include "platform/CodePage.h"

#include <QFile>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <unistd.h>

namespace platform {
namespace {

std::string withSlash(std::string path) {
  if (path.empty() || path.back() != '/')
    path += '/';
  return path;
}

// The variable's value when it is set and not empty.
bool fromEnvironment(const char *name, std::string &value) {
  const char *v = std::getenv(name);
  if (!v || !*v)
    return false;
  value = v;
  return true;
}

std::string executablePath() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0)
    return {};
  return std::string(buf, std::size_t(n));
}

} // namespace

std::string localPath(const QString &name) { return QFile::encodeName(name).toStdString(); }

QString pathText(const std::string &path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

std::string pathToAnsi(const std::string &path) { return toWindows1254(pathText(path)); }

std::string pathFromAnsi(const std::string &ansi) { return localPath(fromWindows1254(ansi)); }

namespace {
constexpr std::string_view settingMarker = "utf8:";
}

std::string pathToSetting(const std::string &path) {
  const std::string ansi = pathToAnsi(path);
  // A name that itself begins with the marker is marked too, or it would be read as marked.
  if (pathFromAnsi(ansi) == path && !ansi.starts_with(settingMarker))
    return ansi;
  return std::string(settingMarker) + path;
}

std::string pathFromSetting(const std::string &stored) {
  if (stored.starts_with(settingMarker))
    return stored.substr(settingMarker.size());
  return pathFromAnsi(stored);
}

std::string SurveyRoot() {
  std::string root;
  if (fromEnvironment("TARVIK_SURVEY_ROOT", root))
    return withSlash(root);
  std::string home;
  if (!fromEnvironment("HOME", home))
    home = ".";
  return withSlash(home) + "ZRV/";
}

std::string ExecutableDir() {
  const std::string path = executablePath();
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return "./";
  return path.substr(0, slash + 1);
}

std::string ExecutableName() {
  const std::string path = executablePath();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExeDir() {
  std::string dir;
  if (fromEnvironment("TARVIK_SETTINGS_DIR", dir))
    return withSlash(dir);
  return ExecutableDir();
}

std::string SettingsFilePath() { return ExeDir() + ExecutableName() + ".INI"; }

std::string PortsDir() {
  std::string dir;
  if (fromEnvironment("TARVIK_PORTS_DIR", dir))
    return withSlash(dir);
  return ExecutableDir() + "ports/";
}

} // namespace platform
