// Helpers shared by the tests: a temporary folder that removes itself, and the fixture paths.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <string>

namespace testsupport {

// Small fixtures of this repository (tests/data).
inline std::string dataPath(const std::string &name) {
  return std::string(TARVIK_TEST_DATA_DIR) + "/" + name;
}

// Captures from real devices, kept beside the repository.
inline std::string sharedTestdataPath(const std::string &name) {
  return std::string(TARVIK_SHARED_TESTDATA_DIR) + "/" + name;
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
