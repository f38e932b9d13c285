// The XYZ point import at survey scale: a million points read and made into shapes, as a grid
// (squares) and as scattered soundings (points), with the peak memory each import adds; and the
// reading alone.
#include "BenchSupport.h"
#include "canvas/DrawingModel.h"
#include "exchange/XyzReader.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

using benchsupport::PeakMemory;

namespace {

constexpr int kPoints = 1'000'000;

std::string folder() {
  static const std::string dir = benchsupport::scratchFolder("XyzImport");
  return dir;
}

// A grid of 2 m cells, 500 to a row, listed row by row (the grid test looks at the first 1000
// points, which must hold more than one row), or the same count of soundings along survey lines
// with irregular spacing; depths with two decimals, as echo sounders give them.
std::string writePoints(bool grid) {
  const std::string path = folder() + (grid ? "/grid.xyz" : "/soundings.xyz");
  std::FILE *f = std::fopen(path.c_str(), "w");
  for (int i = 0; i < kPoints; ++i) {
    const int row = i / 500, column = i % 500;
    double x = 512000.0 + column * 2.0, y = 4541000.0 + row * 2.0;
    if (!grid) {
      x += (i * 7919LL % 1000) * 0.00137;
      y += (i * 104729LL % 1000) * 0.00091;
    }
    std::fprintf(f, "%.3f,%.3f,%.2f\n", x, y, -5.0 - (i % 2000) * 0.01);
  }
  std::fclose(f);
  return path;
}

void importMillion(benchmark::State &state, bool grid) {
  const std::string path = writePoints(grid);
  long peakAdded = 0, kept = 0;
  {
    auto m = std::make_unique<DrawingModel>();
    const PeakMemory::Added added =
        PeakMemory::measure([&] { exchange::loadXyzFile(*m, path, 0, 0, 0); });
    peakAdded = added.peakKib;
    kept = added.keptKib;
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<DrawingModel>();
    state.ResumeTiming();
    if (!exchange::loadXyzFile(*m, path, 0, 0, 0) || m->ShapeCount != kPoints ||
        (m->Shapes[0]->ShapeType == 1) != grid) {
      state.SkipWithError("import failed");
      break;
    }
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  std::remove(path.c_str());
  state.counters["points_per_s"] =
      benchmark::Counter(double(kPoints) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["peak_added_MiB"] = double(peakAdded) / 1024.0;
  state.counters["drawing_MiB"] = double(kept) / 1024.0;
}

void BM_ImportMillionGridPoints(benchmark::State &state) { importMillion(state, true); }
BENCHMARK(BM_ImportMillionGridPoints)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ImportMillionSoundings(benchmark::State &state) { importMillion(state, false); }
BENCHMARK(BM_ImportMillionSoundings)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_ReadMillionPoints(benchmark::State &state) {
  const std::string path = writePoints(false);
  for (auto _ : state) {
    std::ifstream in(path, std::ios::binary);
    exchange::XyzPoints points;
    if (exchange::readXyzPoints(in, points) != exchange::XyzReadResult::Ok ||
        points.size() != std::size_t(kPoints)) {
      state.SkipWithError("read failed");
      break;
    }
  }
  std::remove(path.c_str());
  state.counters["points_per_s"] =
      benchmark::Counter(double(kPoints) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadMillionPoints)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.finish = [] { ::rmdir(folder().c_str()); };
  return benchsupport::runBenchmarks(argc, argv, run);
}
