// Helpers shared by the tests: a temporary folder that removes itself, the fixture paths, whole
// files as bytes, and an environment variable set for one scope.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testsupport {

// Small fixtures of this repository (tests/data).
inline std::string dataPath(const std::string &name) {
  return std::string(TARVIK_TEST_DATA_DIR) + "/" + name;
}

// Captures from real devices (tests/data/captures, with their licence note).
inline std::string capturePath(const std::string &name) { return dataPath("captures/" + name); }

// Every byte of a capture. A missing or empty capture fails the test, naming the file, instead
// of letting the test run on no data.
inline std::string readCapture(const std::string &name) {
  const std::string path = capturePath(name);
  std::ifstream in(path, std::ios::binary);
  std::string bytes(std::istreambuf_iterator<char>(in), {});
  if (bytes.empty())
    throw std::runtime_error("test capture " + path + " is missing or empty");
  return bytes;
}

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
public:
  TempDir() { dir_.setAutoRemove(true); }
  std::string path() const { return dir_.path().toStdString(); }
  std::string file(const std::string &name) const { return path() + "/" + name; }

private:
  QTemporaryDir dir_;
};

// Every byte of a file; empty when it cannot be read.
inline std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Replaces a file with exactly these bytes.
inline void writeFile(const std::string &path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Sets (or, given null, clears) an environment variable and puts the old value back at the end
// of the scope.
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
  EnvVar(const EnvVar &) = delete;
  EnvVar &operator=(const EnvVar &) = delete;

private:
  std::string name_;
  std::optional<std::string> old_;
};

// Runs the event loop until `done` holds or the time-out passes; returns `done()`.
inline bool processEventsUntil(const std::function<bool()> &done,
                               std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end)
      return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

} // namespace testsupport
