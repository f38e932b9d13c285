// What the benchmarks share: the process's memory high-water mark, a scratch folder and the one
// main() body every benchmark program runs.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace benchsupport {

// Resident-size high-water mark in KiB; reset() starts a new one (Linux's clear_refs "5").
// Memory freed by an earlier run stays resident in the allocator's free lists, where a later
// run would find it without the resident size growing: reset() first hands it back, so a
// measure taken from reset() holds in any run of a process, repetitions included. What runs
// after the hand-back faults its pages in afresh, which would be timed with it: measure() takes
// the memory from a run of its own, outside the timed loop, and the timed runs call nothing here.
struct PeakMemory {
  // What one run of `work` added to the resident size: at its peak, and still held when it
  // returned (what `work` keeps beyond its own end, e.g. a drawing it filled).
  struct Added {
    long peakKib = 0;
    long keptKib = 0;
  };
  template <class Work> static Added measure(Work &&work) {
    reset();
    const long base = currentKib();
    work();
    return Added{kib() - base, currentKib() - base};
  }

  static void reset() {
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
  }
  static long kib() { return statusKib("VmHWM:"); }
  static long currentKib() { return statusKib("VmRSS:"); }

  // A size line of /proc/self/status, in KiB.
  static long statusKib(const std::string &wanted) {
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
      if (key == wanted) {
        in >> value;
        return value;
      }
      in.ignore(1 << 16, '\n');
    }
    return 0;
  }
};

// A folder of its own under /tmp for the benchmark named `name`, made on first use.
inline std::string scratchFolder(const std::string &name) {
  std::string pattern = "/tmp/bench_" + name + ".XXXXXX";
  const char *made = ::mkdtemp(pattern.data());
  return made ? std::string(made) : std::string("/tmp");
}

// How a benchmark program runs: the Qt application it needs, a settings folder of its own, what
// it makes before the runs and clears after them.
struct BenchProgram {
  enum class Application { None, Core, Widgets };
  Application application = Application::None;
  // Keeps the settings file of a real installation out of the runs.
  bool ownSettings = false;
  // Before any run, with the application made; false ends the program with 1.
  std::function<bool()> prepare;
  // After the runs, while the application still exists.
  std::function<void()> finish;
  benchmark::BenchmarkReporter *reporter = nullptr;
};

// The whole of every benchmark program's main().
inline int runBenchmarks(int argc, char **argv, const BenchProgram &program = {}) {
  if (program.application == BenchProgram::Application::Widgets && !std::getenv("QT_QPA_PLATFORM"))
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (program.ownSettings)
    ::setenv("TARVIK_SETTINGS_DIR",
             (QDir::tempPath() + "/tarvik-bench-settings/").toUtf8().constData(), 1);
  std::unique_ptr<QCoreApplication> app;
  if (program.application == BenchProgram::Application::Widgets)
    app = std::make_unique<QApplication>(argc, argv);
  else if (program.application == BenchProgram::Application::Core)
    app = std::make_unique<QCoreApplication>(argc, argv);
  if (program.prepare && !program.prepare())
    return 1;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  if (program.reporter)
    benchmark::RunSpecifiedBenchmarks(program.reporter);
  else
    benchmark::RunSpecifiedBenchmarks();
  if (program.finish)
    program.finish();
  benchmark::Shutdown();
  return 0;
}

} // namespace benchsupport
