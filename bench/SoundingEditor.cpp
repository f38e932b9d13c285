// The sounding editor at survey scale: reading and saving 100k and 1M soundings (time and the
// peak memory each adds); the editor's own Open command with the first paint of the profile and
// the plan (time and peak memory a sounding); a mouse move over the profile with the plan shown,
// its paints included; one profile redraw at full zoom-out and zoomed in; an edit with its undo,
// on the lists alone (time and undo memory) and through the windows with their paints, the
// first one after opening included; every edit command of the profile window with its undo on
// selections of 1 000 and 100 000 soundings; a wheel step over the plan seen whole.
#include "BenchSupport.h"
#include "canvas/TarvikCanvas.h"
#include "editor/EditorWindows.h"
#include "editor/FrameWindow.h"
#include "editor/Graph.h"
#include "editor/PlanSoundings.h"
#include "editor/PlanViewWindow.h"
#include "editor/ProfileEditorWindow.h"
#include "editor/Soundings.h"
#include "editor/UndoHistory.h"
#include "platform/Dialogs.h"
#include "platform/GdiCanvas.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
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
  // The memory from a run of its own: the hand-back before it would be timed with the run.
  const auto added = benchsupport::PeakMemory::measure([&] {
    SoundingList points;
    readXyzFile(path, points);
    benchmark::DoNotOptimize(points.data());
  });
  for (auto _ : state) {
    SoundingList points;
    readXyzFile(path, points);
    benchmark::DoNotOptimize(points.data());
    if (static_cast<int>(points.size()) != n)
      state.SkipWithError("not every sounding was read");
  }
  state.counters["peak_added_MiB"] = double(added.peakKib) / 1024.0;
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
  const auto added = benchsupport::PeakMemory::measure(
      [&] { writeSoundings(path, points, false, [](std::size_t) {}); });
  for (auto _ : state) {
    int progress = 0;
    if (!writeSoundings(path, points, false, [&](std::size_t) { ++progress; }))
      state.SkipWithError("cannot write");
  }
  QFile::remove(path);
  state.counters["peak_added_MiB"] = double(added.peakKib) / 1024.0;
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_SaveSoundings)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

// One whole redraw of a 1000 x 440 profile: range(1) is the pixels per point in tenths, 0 for
// the whole file in the width. BM_ProfileRebuiltRedraw also builds the block summary first, as
// the first redraw after an edit does.
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
  // The summary the window keeps while the soundings do not change.
  ProfileBlocks blocks;
  blocks.build(points);
  for (auto _ : state) {
    ProfileImage img{canvas, 1000, 440,  1000, 440,       points,
                     cursor, true, true, 1,    processed, &blocks};
    graph.redraw(img, true);
  }
  state.SetItemsProcessed(state.iterations());
}
void BM_ProfileRebuiltRedraw(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  SoundingList points = survey(n);
  for (int i = 0; i < n; i += 97)
    points[static_cast<std::size_t>(i)].deleted = 1;
  QImage image(1000, 440, QImage::Format_RGB32);
  platform::GdiCanvas canvas(image);
  strCursor cursor{300, 200, 300};
  clGraph graph;
  graph.pixelsPerPoint = 1000.0 / n;
  graph.markerOn = true;
  ProfileBlocks blocks;
  for (auto _ : state) {
    blocks.build(points);
    ProfileImage img{canvas, 1000, 440, 1000, 440, points, cursor, true, true, 1, 0.0, &blocks};
    graph.redraw(img, true);
  }
}
BENCHMARK(BM_ProfileRebuiltRedraw)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

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

// The editor's windows as the program makes them, offscreen, in a settings folder of their own,
// with a 1000 x 440 profile image and an 800 x 500 plan; the redraw timer's ticks are run by
// hand so that each paint is counted where it happens.
class EditorSession {
public:
  EditorSession() {
    static const std::string settings = benchsupport::scratchFolder("editor");
    setenv("TARVIK_SETTINGS_DIR", settings.c_str(), 1);
    createEditorWindows(w);
    parent_.reset(w.fParent);
    w.fParent->resize(1900, 1000);
    w.fParent->show();
    w.fEditing->iMain->setFixedSize(1000, 440);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(w.fEditing->parentWidget()))
      frame->setGeometry(0, 0, 1040, 600);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(w.fPlanView->parentWidget()))
      frame->setGeometry(1050, 0, 800, 560);
    QApplication::processEvents();
  }
  ~EditorSession() {
    w.fEditing->displayMainLoop->stop();
    parent_->hide();
  }
  // The Open command, then the first paint of both views.
  void open(const QString &path) {
    dialogs_.chooseFile(path);
    w.fEditing->bFileOpenClick();
    w.fEditing->displayMainLoop->stop();
    tick();
  }
  // One tick of the redraw timer, then the paints the windows wait for.
  void tick() {
    w.fEditing->redrawIfChanged();
    QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QApplication::processEvents();
  }
  void move(int x, int y) {
    QWidget *image = w.fEditing->iMain;
    QMouseEvent ev(QEvent::MouseMove, QPointF(x, y), image->mapToGlobal(QPointF(x, y)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(image, &ev);
  }
  EditorWindows w;

private:
  platform::ScriptedDialogs dialogs_{
      [](const QString &problem) { std::fprintf(stderr, "%s\n", qPrintable(problem)); }};
  std::unique_ptr<TfParent> parent_;
};

// Open + first paint of both views; the peak memory the open adds, per sounding.
void BM_OpenAndFirstPaint(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  const QString path = surveyFile(n);
  // The memory from an open of its own: the hand-back before it would be timed with the open.
  long peak = 0;
  {
    auto session = std::make_unique<EditorSession>();
    peak = benchsupport::PeakMemory::measure([&] { session->open(path); }).peakKib;
  }
  for (auto _ : state) {
    state.PauseTiming();
    auto session = std::make_unique<EditorSession>();
    state.ResumeTiming();
    session->open(path);
    state.PauseTiming();
    if (static_cast<int>(session->w.fEditing->points.size()) != n)
      state.SkipWithError("not every sounding was read");
    session.reset();
    state.ResumeTiming();
  }
  state.counters["peak_added_MiB"] = double(peak) / 1024.0;
  state.counters["bytes_per_sounding"] = double(peak) * 1024.0 / n;
}
BENCHMARK(BM_OpenAndFirstPaint)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// A mouse move over the profile with the plan shown: the move, the redraw tick it asks for and
// the paints of both windows.
void BM_ProfileMouseMove(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  EditorSession session;
  session.open(surveyFile(n));
  if (!session.w.fPlanView->isVisible())
    state.SkipWithError("the plan is not shown");
  // The marker is on, as after the first click on the profile.
  session.w.fEditing->graph.markerOn = true;
  session.move(10, 200);
  session.tick();
  session.tick();
  int k = 0;
  for (auto _ : state) {
    session.move(20 + (k * 37) % 960, 150 + (k * 13) % 100);
    session.tick();
    ++k;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProfileMouseMove)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

// Delete Point and its undo through the windows, each with its redraw and paints.
void BM_EditAndUndoInWindows(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  EditorSession session;
  session.open(surveyFile(n));
  TfEditing &e = *session.w.fEditing;
  int k = 0;
  for (auto _ : state) {
    e.graph.cursorOffset = 100 + (k * 7) % 500;
    e.DeletePoint2Click();
    session.tick();
    e.toolUndoClick();
    session.tick();
    ++k;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EditAndUndoInWindows)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Unit(benchmark::kMillisecond);

// The edit commands of the profile window, each through the windows with its redraw and
// paints, on a selection of range(1) consecutive soundings in the middle of the file: the
// command, its undo, the same command again (the editor has no redo: it is how a surveyor does
// an edit over) and the undo that brings the file back. The counters give each step's mean time.
enum class EditCommand {
  DeletePoint,
  InterpolatePoint,
  SmoothPoint,
  DeleteSelection,
  RestoreSelection,
  SmoothSelection
};
// The handlers, in the order of EditCommand.
constexpr void (TfEditing::*editHandlers[])() = {
    &TfEditing::DeletePoint2Click,      &TfEditing::InterpolatePoint1Click,
    &TfEditing::Smoothpoint1Click,      &TfEditing::DeleteSelection1Click,
    &TfEditing::RestoreSelection1Click, &TfEditing::SmoothSelection1Click};

void runEditCommand(TfEditing &e, EditCommand command) {
  (e.*editHandlers[static_cast<int>(command)])();
}

void BM_EditCommandInWindows(benchmark::State &state) {
  const int n = 1000000;
  const auto command = static_cast<EditCommand>(state.range(0));
  const int selected = static_cast<int>(state.range(1));
  EditorSession session;
  session.open(surveyFile(n));
  TfEditing &e = *session.w.fEditing;
  // The selection: every sounding of the band, which spans the whole image height.
  const int first = n / 2 - selected / 2;
  for (int i = first; i < first + selected; ++i)
    e.points[static_cast<std::size_t>(i)].selected = 1;
  e.graph.selStart = first;
  e.graph.selEnd = first + selected - 1;
  e.graph.selectedCount = selected;
  e.graph.hasSelection = true;
  e.graph.bandY1 = 0;
  e.graph.bandY2 = e.imageHeight();
  e.graph.firstIndex = first;
  e.graph.pixelsPerPoint = 1000.0 / std::max(selected, 200);
  e.graph.cursorOffset = 100;
  e.pointsChanged();
  if (command == EditCommand::RestoreSelection)
    e.DeleteSelection1Click(); // something to restore
  session.tick();
  double steps[4] = {};
  auto timed = [&](int step, auto &&work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    session.tick();
    steps[step] +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  };
  const int deletedBefore = e.graph.deletedCount;
  for (auto _ : state) {
    timed(0, [&] { runEditCommand(e, command); });
    timed(1, [&] { e.toolUndoClick(); });
    timed(2, [&] { runEditCommand(e, command); });
    timed(3, [&] { e.toolUndoClick(); });
  }
  if (e.graph.deletedCount != deletedBefore)
    state.SkipWithError("the undo did not bring the file back");
  const double runs = double(state.iterations());
  state.counters["edit_ms"] = steps[0] / runs;
  state.counters["undo_ms"] = steps[1] / runs;
  state.counters["again_ms"] = steps[2] / runs;
  state.counters["undo_again_ms"] = steps[3] / runs;
}
BENCHMARK(BM_EditCommandInWindows)
    ->Args({int(EditCommand::DeletePoint), 1})
    ->Args({int(EditCommand::InterpolatePoint), 1})
    ->Args({int(EditCommand::SmoothPoint), 1})
    ->Args({int(EditCommand::DeleteSelection), 1000})
    ->Args({int(EditCommand::DeleteSelection), 100000})
    ->Args({int(EditCommand::RestoreSelection), 1000})
    ->Args({int(EditCommand::RestoreSelection), 100000})
    ->Args({int(EditCommand::SmoothSelection), 1000})
    ->Args({int(EditCommand::SmoothSelection), 100000})
    ->ArgNames({"command", "selected"})
    ->Unit(benchmark::kMillisecond);

// The first Delete Point and its undo after opening, each with its redraw and paints: the undo
// history holds nothing of the file yet. Every iteration opens the file again (not timed).
void BM_FirstEditAndUndoInWindows(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  EditorSession session;
  const QString path = surveyFile(n);
  for (auto _ : state) {
    state.PauseTiming();
    session.open(path);
    TfEditing &e = *session.w.fEditing;
    e.graph.cursorOffset = 300;
    state.ResumeTiming();
    e.DeletePoint2Click();
    session.tick();
    e.toolUndoClick();
    session.tick();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FirstEditAndUndoInWindows)
    ->Arg(100000)
    ->Arg(1000000)
    ->ArgName("soundings")
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// A survey of parallel lines one metre apart, sounded every metre, back and forth: seen whole,
// its track is a solid block.
QString blockSurveyFile(int n) {
  static std::map<int, QString> files;
  auto it = files.find(n);
  if (it != files.end())
    return it->second;
  const QString path = QDir::temp().filePath(QStringLiteral("tarvik-bench-block-%1.csv").arg(n));
  const int perLine = static_cast<int>(std::sqrt(double(n)));
  std::string text = "Easting,Northing,Elevation\r\n";
  for (int i = 0; i < n; ++i) {
    const int line = i / perLine, k = i % perLine;
    const int along = line % 2 == 0 ? k : perLine - 1 - k;
    char buf[128];
    std::snprintf(buf, sizeof buf, "%.2f,%.2f,%.2f\r\n", 500000.0 + along, 4400000.0 + line,
                  -10.0 - 3 * std::sin(i * 0.01) - (i % 17) * 0.05);
    text += buf;
  }
  std::ofstream(path.toStdString(), std::ios::binary) << text;
  files[n] = path;
  return path;
}

// One wheel step over the plan with its paint, at the zoom the Open command leaves (the whole
// survey in view), alternately in and out: range(1) 0 is the long single line of the other
// benchmarks, 1 the solid block of parallel lines. labels_drawn is what the last paint showed.
void BM_PlanWheelStep(benchmark::State &state) {
  const int n = static_cast<int>(state.range(0));
  EditorSession session;
  session.open(state.range(1) == 0 ? surveyFile(n) : blockSurveyFile(n));
  TfPlanView &plan = *session.w.fPlanView;
  if (!plan.isVisible())
    state.SkipWithError("the plan is not shown");
  int k = 0;
  for (auto _ : state) {
    if (k++ % 2 == 0)
      plan.FormMouseWheelUp();
    else
      plan.FormMouseWheelDown();
    plan.qcanvas->repaint();
  }
  state.counters["labels_drawn"] = plan.soundings.labelsDrawn();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlanWheelStep)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({100000, 1})
    ->Args({1000000, 1})
    ->ArgNames({"soundings", "block"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Widgets;
  return benchsupport::runBenchmarks(argc, argv, run);
}
