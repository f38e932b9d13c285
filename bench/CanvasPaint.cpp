// What a surveyor waits on: one full redraw of a growing drawing at three zoom levels, a paint
// over 10,000 depth labels, and the editor's plan view with 200,000 texts in view.
#include "BenchSupport.h"
#include "canvas/TarvikCanvas.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

constexpr int viewWidth = 1000;
constexpr int viewHeight = 700;
constexpr double worldSize = 100000.0;

std::unique_ptr<TTarvikCanvas> shownCanvas(bool navigation) {
  auto c = std::make_unique<TTarvikCanvas>(nullptr, navigation);
  c->resize(viewWidth, viewHeight);
  c->show();
  return c;
}

// A survey-like mix: track segments, soundings as points, depth texts, run lines, circles and
// boxes, spread over the whole area.
std::unique_ptr<TTarvikCanvas> mixedDrawing(int count) {
  auto c = shownCanvas(true);
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> pos(0.0, worldSize);
  std::uniform_real_distribution<double> step(-20.0, 20.0);
  std::uniform_int_distribution<int> kind(0, 99);
  const int tracks = c->LayerOpen(QStringLiteral("Tracks"));
  const int soundings = c->LayerOpen(QStringLiteral("Soundings"));
  const int other = c->LayerOpen(QStringLiteral("Other"));
  double x = pos(rng), y = pos(rng);
  for (int i = 0; i < count; ++i) {
    const int k = kind(rng);
    if (k < 50) {
      // Tracks wander in short segments, jumping elsewhere now and then.
      if (k == 0) {
        x = pos(rng);
        y = pos(rng);
      }
      const double nx = x + step(rng), ny = y + step(rng);
      c->DrawLine(x, y, nx, ny, tracks);
      x = nx;
      y = ny;
    } else if (k < 80) {
      c->DrawPoint(pos(rng), pos(rng), soundings);
    } else if (k < 90) {
      c->TextAdd(soundings, QStringLiteral("12.3"), pos(rng), pos(rng), 0);
    } else if (k < 95) {
      TPointPairVector pts;
      double px = pos(rng), py = pos(rng);
      for (int j = 0; j < 10; ++j) {
        pts.emplace_back(px, py);
        px += step(rng) * 10;
        py += step(rng) * 10;
      }
      c->DrawPolyline(pts, other, false);
    } else if (k < 98) {
      c->DrawCircle(pos(rng), pos(rng), 50.0, other);
    } else {
      const double rx = pos(rng), ry = pos(rng);
      c->DrawRectangle(rx, ry, rx + 100, ry + 60, other);
    }
  }
  return c;
}

// One drawing at a time: the two sizes are built once each, not per zoom level. Released
// before the application goes.
std::unique_ptr<TTarvikCanvas> paintedCanvas;
int built = -1;

TTarvikCanvas &cachedMixedDrawing(int count) {
  if (built != count) {
    paintedCanvas.reset();
    paintedCanvas = mixedDrawing(count);
    built = count;
  }
  return *paintedCanvas;
}

void setZoom(TTarvikCanvas &c, int level) {
  // 0: the whole area; 1: a tenth of its width; 2: 100 units across.
  const double width = level == 0 ? worldSize : level == 1 ? worldSize / 10 : 100.0;
  const double height = width * viewHeight / viewWidth;
  const double cx = worldSize / 2, cy = worldSize / 2;
  c.WorldSet(cx - width / 2, cy + height / 2, cx + width / 2, cy - height / 2);
}

void BM_FullRedraw(benchmark::State &state) {
  TTarvikCanvas &c = cachedMixedDrawing(static_cast<int>(state.range(0)));
  setZoom(c, static_cast<int>(state.range(1)));
  c.GridVisible = true;
  for (auto _ : state) {
    c.Refresh();
    QPixmap shown = c.grab();
    benchmark::DoNotOptimize(shown);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
// Grouped by size, so each drawing is built once.
BENCHMARK(BM_FullRedraw)
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->ArgNames({"shapes", "zoom"})
    ->Unit(benchmark::kMillisecond);

// Overlays only: the back buffer is kept, 10,000 depth labels are written over its copy.
void BM_PaintDepthLabels(benchmark::State &state) {
  auto c = shownCanvas(true);
  c->WorldSet(0, 700, 1000, 0);
  c->SetDepthLabelSettings(true, 5.0, QStringLiteral("Arial"), 8, 0);
  for (int i = 0; i < 10000; ++i)
    c->AddDepthLabel(5.0 + (i % 100) * 10.0, 5.0 + (i / 100) * 7.0, i * 0.01);
  GGAOverlayText = "RTK Fix | Spd: 4.2 kn | SV: 14 | Ant: 2.00 m | Tide: 0.00 m";
  c->SetCurrentDepth(12.3, 11.9, true);
  (void)c->grab();
  for (auto _ : state) {
    QPixmap shown = c->grab();
    benchmark::DoNotOptimize(shown);
  }
  GGAOverlayText.clear();
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(c->DepthLabels.size()));
}
BENCHMARK(BM_PaintDepthLabels)->Unit(benchmark::kMillisecond);

// The editor's plan view: two shapes per sounding, every text in view competing for room.
void BM_EditorTextsInView(benchmark::State &state) {
  const int texts = static_cast<int>(state.range(0));
  auto c = shownCanvas(false);
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> pos(0.0, 1000.0);
  for (int i = 0; i < texts; ++i) {
    const double x = pos(rng), y = pos(rng) * 0.7;
    c->DrawPoint(x, y, 0);
    c->TextAdd(0, QStringLiteral("%1").arg(i % 5000 * 0.01, 0, 'f', 2), x, y, 0);
  }
  c->WorldSet(0, 700, 1000, 0);
  for (auto _ : state) {
    c->Refresh();
    QPixmap shown = c->grab();
    benchmark::DoNotOptimize(shown);
  }
  state.SetItemsProcessed(state.iterations() * texts);
}
BENCHMARK(BM_EditorTextsInView)->Arg(200000)->ArgName("texts")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Widgets;
  run.finish = [] { paintedCanvas.reset(); };
  return benchsupport::runBenchmarks(argc, argv, run);
}
