// The drawing model at survey scale: creating a million mixed shapes (time, and memory per shape
// from the peak resident size), finding shapes by number, fitting the view and the hit search.
#include "SurveyDrawing.h"
#include "canvas/DrawingModel.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <sys/resource.h>

namespace {

constexpr int kShapes = 1'000'000;

long peakRssKiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}

void BM_CreateMixedShapes(benchmark::State &state) {
  const long before = peakRssKiB();
  for (auto _ : state) {
    auto m = std::make_unique<DrawingModel>();
    bench::addMixedShapes(*m, kShapes);
    benchmark::DoNotOptimize(m->ShapeCount);
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  const long after = peakRssKiB();
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["bytes_per_shape"] = double(after - before) * 1024.0 / kShapes;
}
BENCHMARK(BM_CreateMixedShapes)->Iterations(1)->Unit(benchmark::kMillisecond);

DrawingModel &bigDrawing() {
  static DrawingModel *m = [] {
    auto *d = new DrawingModel;
    bench::addMixedShapes(*d, kShapes);
    return d;
  }();
  return *m;
}

void BM_FindShape(benchmark::State &state) {
  DrawingModel &m = bigDrawing();
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::int32_t> number(1, kShapes);
  for (auto _ : state)
    benchmark::DoNotOptimize(m.FindShape(number(rng)));
}
BENCHMARK(BM_FindShape);

// What the lookup would cost as a scan from the first shape, for comparison.
void BM_FindShapeByScan(benchmark::State &state) {
  DrawingModel &m = bigDrawing();
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::int32_t> number(1, kShapes);
  for (auto _ : state) {
    const std::int32_t n = number(rng);
    TQShape *found = nullptr;
    for (TQShape *s : m.Shapes)
      if (s->ShapeNumber == n) {
        found = s;
        break;
      }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_FindShapeByScan)->Unit(benchmark::kMicrosecond);

void BM_WorldExtents(benchmark::State &state) {
  DrawingModel &m = bigDrawing();
  for (auto _ : state) {
    m.WorldExtents();
    benchmark::DoNotOptimize(m.WorldLeft);
  }
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_WorldExtents)->Unit(benchmark::kMillisecond);

// A click on empty water: every visible shape is tested.
void BM_GetShapeAtMiss(benchmark::State &state) {
  DrawingModel &m = bigDrawing();
  m.WorldSet(490000, 4520000, 520000, 4490000);
  for (auto _ : state)
    benchmark::DoNotOptimize(m.GetShapeAt(0, 0));
}
BENCHMARK(BM_GetShapeAtMiss)->Unit(benchmark::kMillisecond);

void BM_LayerLookups(benchmark::State &state) {
  DrawingModel m;
  for (int i = 0; i < 200; ++i)
    m.LayerOpen(QStringLiteral("_dxf_layer%1").arg(i));
  const QString name = QStringLiteral("_dxf_layer150");
  for (auto _ : state) {
    benchmark::DoNotOptimize(m.LayerFindByName(name));
    benchmark::DoNotOptimize(m.FindLayer(170));
  }
}
BENCHMARK(BM_LayerLookups);

} // namespace

BENCHMARK_MAIN();
