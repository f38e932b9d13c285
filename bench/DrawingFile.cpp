// The native drawing file at survey scale: saving and loading a million mixed shapes (time,
// file size, and the peak memory each adds).
#include "canvas/DrawingFile.h"
#include "BenchSupport.h"
#include "SurveyDrawing.h"
#include "canvas/DrawingModel.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using benchsupport::PeakMemory;

namespace {

constexpr int kShapes = 1'000'000;

std::string folder() {
  static const std::string dir = benchsupport::scratchFolder("DrawingFile");
  return dir;
}

std::string filePath() { return folder() + "/survey.zrv"; }

void BM_LoadMillionShapes(benchmark::State &state) {
  const QString path = QString::fromStdString(filePath());
  const long peakAdded = PeakMemory::measure([&] {
                           DrawingModel m;
                           m.CadLoad(path, -1, -1, 0);
                         }).peakKib;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<DrawingModel>();
    state.ResumeTiming();
    if (!m->CadLoad(path, -1, -1, 0) || m->ShapeCount != kShapes) {
      state.SkipWithError("load failed");
      break;
    }
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["peak_added_MiB"] = double(peakAdded) / 1024.0;
}
BENCHMARK(BM_LoadMillionShapes)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_SaveMillionShapes(benchmark::State &state) {
  auto m = std::make_unique<DrawingModel>();
  bench::addMixedShapes(*m, kShapes, {0.137, true});
  const QString path = QString::fromStdString(filePath());
  long model = 0;
  const long peakAdded = PeakMemory::measure([&] {
                           model = PeakMemory::currentKib();
                           m->CadSave(path, -1);
                         }).peakKib;
  for (auto _ : state) {
    if (m->CadSave(path, -1) != 1) {
      state.SkipWithError("save failed");
      break;
    }
  }
  struct stat st {};
  ::stat(filePath().c_str(), &st);
  const std::string text = canvas::buildDrawingText(*m, platform::TDateTime{});
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["file_MiB"] = double(st.st_size) / (1 << 20);
  state.counters["text_MiB"] = double(text.size()) / (1 << 20);
  state.counters["model_MiB"] = double(model) / 1024.0;
  state.counters["peak_added_MiB"] = double(peakAdded) / 1024.0;
}
BENCHMARK(BM_SaveMillionShapes)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  // The file to load is made in a child, so the heap of this process holds none of its drawing
  // and the load's peak is its own.
  run.prepare = [] {
    const std::string path = filePath();
    const pid_t child = ::fork();
    if (child == 0) {
      DrawingModel m;
      bench::addMixedShapes(m, kShapes, {0.137, true});
      ::_exit(m.CadSave(QString::fromStdString(path), -1) == 1 ? 0 : 1);
    }
    int status = 1;
    return child > 0 && ::waitpid(child, &status, 0) == child && status == 0;
  };
  run.finish = [] {
    std::remove(filePath().c_str());
    ::rmdir(folder().c_str());
  };
  return benchsupport::runBenchmarks(argc, argv, run);
}
