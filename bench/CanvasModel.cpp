// The drawing model at survey scale: creating a million mixed shapes (time, and memory per shape
// from the peak resident size), finding shapes by number, fitting the view and the hit search.
#include "BenchSupport.h"
#include "SurveyDrawing.h"
#include "canvas/DrawingModel.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int kShapes = 1'000'000;

void BM_CreateMixedShapes(benchmark::State &state) {
  using benchsupport::PeakMemory;
  const long added = PeakMemory::measure([] {
                       auto m = std::make_unique<DrawingModel>();
                       bench::addMixedShapes(*m, kShapes);
                     }).peakKib;
  for (auto _ : state) {
    auto m = std::make_unique<DrawingModel>();
    bench::addMixedShapes(*m, kShapes);
    benchmark::DoNotOptimize(m->ShapeCount);
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
  state.counters["shapes_per_s"] =
      benchmark::Counter(double(kShapes) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["bytes_per_shape"] = double(added) * 1024.0 / kShapes;
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

// ---- What the navigation program's map tick asks of the model in a large drawing

// A drawing of `shapes` mixed shapes with a vessel layer holding `vessel` lines at the top.
struct TickDrawing {
  std::unique_ptr<DrawingModel> m = std::make_unique<DrawingModel>();
  int vesselLayer = 0;
  int surveyLayer = 0;
  TickDrawing(int shapes, int vessel) {
    bench::addMixedShapes(*m, shapes);
    surveyLayer = m->LayerFindByName(QStringLiteral("Survey"));
    vesselLayer = m->LayerOpen(QStringLiteral("~~Tarvik Vessel"));
    drawVessel(vessel);
  }
  void drawVessel(int lines) {
    for (int i = 0; i < lines; ++i)
      m->DrawLine(505000.0 + i, 4502000.0, 505010.0 + i, 4502020.0, vesselLayer);
  }
};

// Clearing a 3-shape layer and drawing it again, as every tick does with the vessel.
void BM_ClearSmallLayer(benchmark::State &state) {
  TickDrawing d(static_cast<int>(state.range(0)), 3);
  for (auto _ : state) {
    d.m->CadClearShapes(d.vesselLayer);
    d.drawVessel(3);
  }
}
BENCHMARK(BM_ClearSmallLayer)->Arg(100'000)->Arg(500'000)->Unit(benchmark::kMicrosecond);

// The tick's restyle of the vessel layer: its pen colour and width, mostly unchanged.
void BM_RestyleSmallLayer(benchmark::State &state) {
  TickDrawing d(static_cast<int>(state.range(0)), 8);
  for (auto _ : state) {
    d.m->SetLayerPenFg(d.vesselLayer, 0x0000FF);
    d.m->SetLayerPenWidth(d.vesselLayer, 2);
  }
}
BENCHMARK(BM_RestyleSmallLayer)->Arg(100'000)->Arg(500'000)->Unit(benchmark::kMicrosecond);

// The track restyle after a new segment: a layer of nearly every shape, already so styled.
void BM_RestyleLargeLayerUnchanged(benchmark::State &state) {
  TickDrawing d(static_cast<int>(state.range(0)), 0);
  d.m->SetLayerPenFg(d.surveyLayer, 0x00FF00);
  d.m->SetLayerPenWidth(d.surveyLayer, 1);
  double x = 500000.0;
  for (auto _ : state) {
    d.m->DrawLine(x, 4500000.0, x + 5.0, 4500001.0, d.surveyLayer);
    x += 5.0;
    d.m->SetLayerPenFg(d.surveyLayer, 0x00FF00);
    d.m->SetLayerPenWidth(d.surveyLayer, 1);
  }
}
BENCHMARK(BM_RestyleLargeLayerUnchanged)->Arg(100'000)->Arg(500'000)->Unit(benchmark::kMicrosecond);

DrawingModel &halfMillionDrawing() {
  static DrawingModel *m = [] {
    auto *d = new DrawingModel;
    bench::addMixedShapes(*d, 500'000); // 10 x 5 km
    return d;
  }();
  return *m;
}

// The shapes near a view `range(0)` metres across, somewhere in a 500k-shape drawing.
void BM_ShapePositionsNear(benchmark::State &state) {
  DrawingModel &m = halfMillionDrawing();
  const double size = static_cast<double>(state.range(0));
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> ex(500000.0, 510000.0 - size);
  std::uniform_real_distribution<double> ny(4500000.0, 4505000.0 - std::min(size, 5000.0));
  std::vector<int> out;
  m.ShapePositionsNear(0, 0, 1, 1, out); // any lazily built state is not the query's cost
  double found = 0.0;
  for (auto _ : state) {
    const double x = ex(rng);
    const double y = ny(rng);
    m.ShapePositionsNear(x, y, x + size, y + size * 0.75, out);
    found += static_cast<double>(out.size());
  }
  state.counters["found"] = found / static_cast<double>(state.iterations());
}
BENCHMARK(BM_ShapePositionsNear)->Arg(50)->Arg(500)->Arg(10'000)->Unit(benchmark::kMicrosecond);

// The first look-up after a drawing is read builds the grid of bounds: a one-off cost.
void BM_FirstShapePositionsNear(benchmark::State &state) {
  std::vector<int> out;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<DrawingModel>();
    bench::addMixedShapes(*m, 500'000);
    state.ResumeTiming();
    m->ShapePositionsNear(505000.0, 4502000.0, 505500.0, 4502375.0, out);
    benchmark::DoNotOptimize(out.data());
    state.PauseTiming();
    m.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstShapePositionsNear)->Iterations(2)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return benchsupport::runBenchmarks(argc, argv); }
