// The R12 DXF export at survey scale: a million mixed shapes written to a file (goal: within a
// second), and the same text built in memory, so the file system's share shows.
#include "BenchSupport.h"
#include "SurveyDrawing.h"
#include "canvas/DrawingModel.h"
#include "exchange/DxfWriter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kShapes = 1'000'000;

const DrawingModel &drawing() {
  static const std::unique_ptr<DrawingModel> m = [] {
    auto model = std::make_unique<DrawingModel>();
    bench::addMixedShapes(*model, kShapes, {0.137, false});
    return model;
  }();
  return *m;
}

std::string filePath() {
  static const std::string path = [] {
    return benchsupport::scratchFolder("DxfExport") + "/survey.dxf";
  }();
  return path;
}

void BM_ExportMillionShapesToFile(benchmark::State &state) {
  const DrawingModel &m = drawing();
  for (auto _ : state) {
    if (!exchange::saveDxfFile(m, filePath())) {
      state.SkipWithError("export failed");
      break;
    }
  }
  struct stat st {};
  ::stat(filePath().c_str(), &st);
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["file_MiB"] = double(st.st_size) / (1 << 20);
}
BENCHMARK(BM_ExportMillionShapesToFile)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ExportMillionShapesToMemory(benchmark::State &state) {
  const DrawingModel &m = drawing();
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    exchange::writeDxf(m, [&](std::string_view piece) {
      bytes += piece.size();
      benchmark::DoNotOptimize(piece.data());
      return true;
    });
  }
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["text_MiB"] = double(bytes) / (1 << 20);
}
BENCHMARK(BM_ExportMillionShapesToMemory)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.prepare = [] {
    drawing();
    return true;
  };
  run.finish = [] {
    const std::string path = filePath();
    std::remove(path.c_str());
    ::rmdir(path.substr(0, path.rfind('/')).c_str());
  };
  return benchsupport::runBenchmarks(argc, argv, run);
}
