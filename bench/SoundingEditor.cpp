// The sounding editor at survey scale: opening and saving 100k and 1M soundings (time and the
// peak memory each adds), one profile redraw at full zoom-out and zoomed in, an edit with its
// undo at 1M soundings (time and undo memory), and a mouse move's cross on a full plan view.
#include "BenchSupport.h"
#include "canvas/TarvikCanvas.h"
#include "editor/EditorWindows.h"
#include "editor/Graph.h"
#include "editor/Soundings.h"
#include "editor/UndoHistory.h"
#include "editor/uPlanView.h"
#include "platform/GdiCanvas.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

namespace {

SoundingList survey(int n) {
  SoundingList points;
  points.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    points.push_back({500000.0 + i * 0.5, 4400000.0 + std::sin(i * 1e-3) * 50,
                      -10.0 - 3 * std::sin(i * 0.01) - (i % 17) * 0.05});
  return points;
}

// A simple XYZ file of n soundings, written once per size.
QString surveyFile(int n) {
  static std::map<int, QString> files;
  auto it = files.find(n);
  if (it != files.end())
    return it->second;
  const QString path = QDir::temp().filePath(QStringLiteral("tarvik-bench-%1.csv").arg(n));
  std::string text = "Easting,Northing,Elevation\r\n";
  for (const strPoint &p : survey(n)) {
    char line[128];
    std::snprintf(line, sizeof line, "%.2f,%.2f,%.2f\r\n", p.X, p.Y, p.Z);
    text += line;
  }
  std::ofstream(path.toStdString(), std::ios::binary) << text;
  files[n] = path;
  return path;
}

void BM_OpenSoundings(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const QString path = surveyFile(n);
  long peak = 0;
  for (auto _ : state) {
    benchsupport::PeakMemory::reset();
    const long base = benchsupport::PeakMemory::statusKib("VmRSS:");
    SoundingList points;
    readXyzFile(path, points);
    benchmark::DoNotOptimize(points.data());
    peak = std::max(peak, benchsupport::PeakMemory::statusKib("VmHWM:") - base);
    if (static_cast<int>(points.size()) != n)
      state.SkipWithError("not every sounding was read");
  }
  state.counters["peak_added_MiB"] = double(peak) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_OpenSoundings)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

void BM_SaveSoundings(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const SoundingList points = survey(n);
  const QString path = QDir::temp().filePath(QStringLiteral("tarvik-bench-save.txt"));
  long peak = 0;
  for (auto _ : state) {
    benchsupport::PeakMemory::reset();
    const long base = benchsupport::PeakMemory::statusKib("VmRSS:");
    int progress = 0;
    if (!writeSoundings(path, points, false, [&](std::size_t) { ++progress; }))
      state.SkipWithError("cannot write");
    peak = std::max(peak, benchsupport::PeakMemory::statusKib("VmHWM:") - base);
  }
  QFile::remove(path);
  state.counters["peak_added_MiB"] = double(peak) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_SaveSoundings)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

// One whole redraw of a 1000 x 440 profile: range(1) is the pixels per point in tenths, 0 for
// the whole file in the width.
void BM_ProfileRedraw(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  SoundingList points = survey(n);
  for (int i = 0; i < n; i += 97)
    points[static_cast<std::size_t>(i)].deleted = 1;
  for (int i = 0; i < n; i += 89)
    points[static_cast<std::size_t>(i)].selected = 1;
  QImage image(1000, 440, QImage::Format_RGB32);
  platform::GdiCanvas canvas(image);
  strCursor cursor{300, 200, 300};
  clGraph graph;
  graph.pixelsPerPoint = state.range(1) == 0 ? 1000.0 / n : state.range(1) / 10.0;
  graph.firstIndex = state.range(1) == 0 ? 0 : n / 2;
  graph.markerOn = true;
  graph.fitVertical(points, graph.top, graph.bottom);
  const double processed = clGraph::processedPercent(points);
  for (auto _ : state) {
    ProfileImage img{canvas, 1000, 440, 1000, 440, points, cursor, true, true, 1, processed};
    graph.redraw(img, true);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProfileRedraw)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 10})
    ->Args({1000000, 100})
    ->ArgNames({"soundings", "ppp_tenths"})
    ->Unit(benchmark::kMillisecond);

// One edit of 100 soundings (its snapshot first) and its undo, on 1M soundings; the undo
// memory after 50 such edits.
void BM_EditAndUndo(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  SoundingList points = survey(n);
  UndoHistory undo;
  undo.push(points); // the file's state, held whole once
  int e = 0;
  for (auto _ : state) {
    undo.push(points);
    for (int i = 0; i < 100; ++i)
      points[static_cast<std::size_t>((e * 7919 + i * 101) % n)].deleted ^= 1;
    undo.undo(points);
    ++e;
  }
  UndoHistory fifty;
  for (int k = 0; k < 50; ++k) {
    fifty.push(points);
    for (int i = 0; i < 100; ++i)
      points[static_cast<std::size_t>((k * 10007 + i * 13) % n)].Z += 0.5;
  }
  state.counters["undo_MiB_after_50_edits"] = double(fifty.memoryBytes()) / (1 << 20);
  state.counters["undo_diff_KiB_after_50_edits"] = double(fifty.differenceBytes()) / 1024.0;
  state.counters["list_MiB"] = double(points.size() * sizeof(strPoint)) / (1 << 20);
}
BENCHMARK(BM_EditAndUndo)->Arg(1000000)->ArgName("soundings")->Unit(benchmark::kMillisecond);

// The profile's mouse move over a plan view holding one track line per sounding.
void BM_PlanViewMouseMove(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  EditorWindows windows;
  TfPlanView plan(nullptr, windows);
  plan.resize(800, 600);
  const SoundingList points = survey(n);
  for (int i = 1; i < n; ++i)
    plan.qcanvas->DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, 1);
  plan.qcanvas->WorldExtents();
  int i = 0;
  for (auto _ : state) {
    const strPoint &p = points[static_cast<std::size_t>(i++ % n)];
    plan.showCursorCross(p.X, p.Y);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlanViewMouseMove)->Arg(1000000)->ArgName("soundings")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  if (!std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
