// Clearing a layer, deleting a large selection and selecting by polygon on a drawing of 100,000
// shapes.
#include "BenchSupport.h"
#include "canvas/DrawingModel.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr int shapeCount = 100000;
constexpr int selectedCount = 10000;

// 100,000 shapes of mixed kinds spread over 10 km by 10 km on five layers; every tenth shape is
// selected. The vessel layer holds three shapes near the top of the drawing.
struct Drawing {
  std::unique_ptr<DrawingModel> m = std::make_unique<DrawingModel>();
  int vessel = 0;
  int tracks = 0;

  Drawing() {
    tracks = m->LayerOpen(QStringLiteral("Tracks"));
    const int soundings = m->LayerOpen(QStringLiteral("Soundings"));
    const int user = m->LayerOpen(QStringLiteral("User"));
    vessel = m->LayerOpen(QStringLiteral("Vessel"));
    m->Shapes.reserve(shapeCount);
    const int layers[] = {0, tracks, soundings, user};
    for (int i = 0; i < shapeCount - 3; ++i) {
      const double x = static_cast<double>((i * 7919LL) % 10000);
      const double y = static_cast<double>((i * 104729LL) % 10000);
      const int layer = layers[i % 4];
      switch (i % 5) {
      case 0:
        m->DrawPoint(x, y, layer);
        break;
      case 1:
        m->DrawLine(x, y, x + 20, y + 5, layer);
        break;
      case 2:
        m->DrawPolyline({{x, y}, {x + 5, y + 9}, {x + 12, y + 3}, {x + 20, y + 11}}, layer, false);
        break;
      case 3:
        m->DrawRectangle(x, y, x + 15, y + 15, layer);
        break;
      default:
        m->DrawCircle(x, y, 4, layer);
        break;
      }
    }
    m->DrawPolyline({{5000, 5000}, {5010, 5020}, {5020, 5000}}, vessel, true);
    m->DrawLine(5010, 5000, 5010, 5040, vessel);
    m->DrawCircle(5010, 5010, 3, vessel);
    for (int i = 0; i < shapeCount; i += shapeCount / selectedCount)
      m->ShapeSelect(m->Shapes[i]->ShapeNumber, true);
  }
};

// A 24-sided polygon of radius 3 km about the middle of the drawing.
std::vector<TPointF> selectionPolygon() {
  std::vector<TPointF> p;
  for (int k = 0; k < 24; ++k) {
    const double a = k * 2 * M_PI / 24;
    p.push_back({static_cast<float>(5000 + 3000 * std::cos(a)),
                 static_cast<float>(5000 + 3000 * std::sin(a))});
  }
  return p;
}

// Times one operation on a fresh drawing; making and freeing the drawing are not timed.
template <class Operation> void onFreshDrawing(benchmark::State &state, Operation operation) {
  for (auto _ : state) {
    state.PauseTiming();
    Drawing d;
    state.ResumeTiming();
    operation(d);
    benchmark::DoNotOptimize(d.m->ShapeCount);
    state.PauseTiming();
    d.m.reset();
    state.ResumeTiming();
  }
}

// The navigation program's tick: clear the three-shape vessel layer of a large drawing. The
// drawing is built once; each iteration draws the vessel anew, untimed, as the tick does, and
// only the clearing is timed.
void BM_CadClearShapes_SmallLayer(benchmark::State &state) {
  static Drawing d;
  for (auto _ : state) {
    d.m->DrawPolyline({{5000, 5000}, {5010, 5020}, {5020, 5000}}, d.vessel, true);
    d.m->DrawLine(5010, 5000, 5010, 5040, d.vessel);
    d.m->DrawCircle(5010, 5010, 3, d.vessel);
    const auto start = std::chrono::steady_clock::now();
    d.m->CadClearShapes(d.vessel);
    const auto end = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(d.m->ShapeCount);
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
  state.counters["selected"] = static_cast<double>(d.m->SelectedShapes.size());
}
BENCHMARK(BM_CadClearShapes_SmallLayer)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A quarter of the drawing goes, 2,500 of its shapes selected.
void BM_CadClearShapes_LargeLayer(benchmark::State &state) {
  onFreshDrawing(state, [](Drawing &d) { d.m->CadClearShapes(d.tracks); });
}
BENCHMARK(BM_CadClearShapes_LargeLayer)->Unit(benchmark::kMillisecond);

void BM_ShapeSelectDelete(benchmark::State &state) {
  onFreshDrawing(state, [](Drawing &d) { d.m->ShapeSelectDelete(); });
}
BENCHMARK(BM_ShapeSelectDelete)->Unit(benchmark::kMillisecond);

void BM_DeleteSelectedShapes(benchmark::State &state) {
  onFreshDrawing(state, [](Drawing &d) { d.m->DeleteSelectedShapes(); });
}
BENCHMARK(BM_DeleteSelectedShapes)->Unit(benchmark::kMillisecond);

void BM_SelectAllShapesInPolygon(benchmark::State &state) {
  Drawing d;
  const auto polygon = selectionPolygon();
  for (auto _ : state) {
    d.m->SelectAllShapesInPolygon(polygon);
    benchmark::DoNotOptimize(d.m->SelectedShapes.data());
  }
  state.counters["selected"] = static_cast<double>(d.m->SelectedShapeCount());
}
BENCHMARK(BM_SelectAllShapesInPolygon)->Unit(benchmark::kMillisecond);

void BM_SelectShapesInPolygon(benchmark::State &state) {
  Drawing d;
  const auto polygon = selectionPolygon();
  const std::vector<std::int32_t> layers = {0, d.tracks};
  for (auto _ : state) {
    d.m->SelectShapesInPolygon(polygon, layers);
    benchmark::DoNotOptimize(d.m->SelectedShapes.data());
  }
  state.counters["selected"] = static_cast<double>(d.m->SelectedShapeCount());
}
BENCHMARK(BM_SelectShapesInPolygon)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return benchsupport::runBenchmarks(argc, argv); }
