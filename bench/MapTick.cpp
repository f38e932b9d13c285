// One complete map tick of the navigation program, repaint included, on drawings of 1k to 500k
// shapes spread over a 10 x 10 km survey area, in three views: following the boat at survey zoom
// (500 m across), the whole area with following off, and the whole area while following. Each
// with and without 10,000 depth labels. The counter median_ms is the median tick.
// BM_MapTickSounding is the same tick as in a survey: the echo sounder's handler takes a depth
// line between ticks (a 10 Hz sounder against the map's default 20 ms), labels on, the stored
// fixed grid; full_redraws_per_s counts the paints that redrew the whole back buffer, per second
// of the map's rate.
// View 3 is a stored 3 x 2 km view whose pixels are not square, over a chart's drawing with long
// lines across it (tools/ScatteredDrawing.h), the fixed 100 m grid on, following the boat: the
// tick pans by a pixel about every twenty ticks, as following does at survey speed.
// BM_MapPan measures one paint in that view: a full redraw (mode 0) against a one-pixel pan along
// x (1) or y (2), back and forth; pan_vs_full is the pan's median over the full redraw's.
#include "BenchSupport.h"
#include "canvas/TarvikCanvas.h"
#include "navigator/CreateNavigatorWindows.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsModel.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/Time.h"
#include "positioning/NmeaChecksum.h"
#include "positioning/TarvikSerialGPS.h"
#include "tools/ScatteredDrawing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// UTM zone 35 near 60.2 N 27.5 E, where the boat sails.
constexpr double boatLat = 60.2, boatLon = 27.5;
constexpr double centreE = 527720.0, centreN = 6673790.0;
constexpr double areaSize = 10000.0;

struct Program {
  QTemporaryDir folder;
  std::unique_ptr<NavigatorWindows> windows;
};

std::unique_ptr<Program> program;
int builtShapes = -1;
bool builtLabels = false;
bool builtChart = false;
// Median full redraw of the stored view by drawing size, for the pans to be set against.
std::map<int, double> fullRedrawMs;

void configure(NavigatorWindows &w) {
  SensorSettingsValues &v = w.FGPS->Model.Values;
  navigator::useTransverseMercator(v, "27", "0.9996", "500000", "0");
  v.GyroEnabled = false;
  w.Navset->eUpdateRate->setText(QStringLiteral("20")); // a track point every 500 ticks
  w.Navset->cLineOrDot->setChecked(true);
}

void fill(TTarvikCanvas &c, int count, bool chart) {
  sim::ScatteredDrawing d;
  d.longLines = chart;
  d.centreEasting = centreE;
  d.centreNorthing = centreN;
  d.size = areaSize;
  d.shapes = count;
  d.trackLayer = c.LayerFindByName(QStringLiteral("track_fix"));
  d.markLayer = c.LayerFindByName(QStringLiteral("tarvik_usershape"));
  sim::addScatteredDrawing(c, d);
}

NavigatorWindows &build(int shapes, bool labels, bool chart) {
  if (program && builtShapes == shapes && builtLabels == labels && builtChart == chart)
    return *program->windows;
  program.reset();
  program = std::make_unique<Program>();
  const std::string dir = program->folder.path().toStdString() + "/";
  setenv("TARVIK_SETTINGS_DIR", dir.c_str(), 1);
  setenv("TARVIK_SURVEY_ROOT", dir.c_str(), 1);
  InitSurveySession();
  program->windows = std::make_unique<NavigatorWindows>();
  NavigatorWindows &w = *program->windows;
  CreateNavigatorWindows(w);
  w.FNav->resize(1280, 800);
  w.FNav->show();
  configure(w);
  fill(*w.FNav->fcad, shapes, chart);
  if (labels) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> pos(-areaSize / 2, areaSize / 2);
    w.FNav->fcad->SetDepthLabelSettings(true, 10.0, QStringLiteral("Arial"), 12, 0);
    for (int i = 0; i < 10000; ++i)
      w.FNav->fcad->AddDepthLabel(centreE + pos(rng), centreN + pos(rng), 5 + i % 300 * 0.1);
  }
  builtShapes = shapes;
  builtLabels = labels;
  builtChart = chart;
  return w;
}

// Paints the canvas as the screen shows it and notes the time since `start`.
void showAndTime(TTarvikCanvas &c, std::chrono::steady_clock::time_point start,
                 std::vector<double> &times) {
  QPixmap shown = c.grab();
  benchmark::DoNotOptimize(shown);
  times.push_back(
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
}

double median(std::vector<double> &times) {
  if (times.empty())
    return 0.0;
  std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
  return times[times.size() / 2];
}

// The stored survey view: 3 x 2 km around the area's centre whatever the client's shape, so that
// its pixels are not square, with the fixed 100 m grid.
void storedView(TTarvikCanvas &c) {
  c.GridVisible = true;
  c.GridAutoScale = false;
  c.GridSpacingX = c.GridSpacingY = 100.0;
  c.GridMode = 0;
  c.WorldSet(centreE - 1500, centreN + 1000, centreE + 1500, centreN - 1000);
}

// The map's default interval (the stored update rate) and the sounder's: a depth line every
// fifth tick.
constexpr int mapIntervalMs = 20;
constexpr int ticksPerDepthLine = 100 / mapIntervalMs;

// The sounder of a survey: NMEA DPT lines, draft and sound velocity typed, acquiring (the
// shallow-water alarm is judged on every line), depths well below the alarm limit.
void configureSounder(NavigatorWindows &w) {
  w.FGPS->cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
  w.Offsets->OffsetA->setText(QStringLiteral("0.5"));
  w.Offsets->SV->setText(QStringLiteral("1500"));
  w.FNav->Road.takeOffsetsAtStart();
  // The button's state only: its click would open the ports.
  w.FNav->Realtime->setChecked(true);
}

// A sentence off the receiver's wire, taken as its port's component takes it: the main window's
// handler, then the component's parser, whose position event reaches the road.
void receiverSentence(TFNav &nav, const std::string &body) {
  TTarvikSerialGPS &port = *nav.ZGPS1;
  port.RxBuffer += "$" + body + "*" + positioning::nmeaChecksum(body) + "\r\n";
  port.DataSeen = true;
  port.ProcessLines();
}

// An RTK-fixed GGA with 17 satellites at a north-eastern position: it gives the fix, or
// confirms it and keeps it current.
void receiverFix(TFNav &nav, double lat, double lon) {
  const auto angle = [](double degrees, int width) {
    const double whole = std::floor(degrees);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%010.7f", width, static_cast<int>(whole),
                  (degrees - whole) * 60);
    return std::string(text);
  };
  receiverSentence(nav, "GPGGA,101530.00," + angle(lat, 2) + ",N," + angle(lon, 3) +
                            ",E,4,17,0.9,12.5,M,40.1,M,1.0,0000");
}

// Bytes of the day's coordinates file.
qint64 coordinatesBytes() {
  return QFileInfo(QString::fromStdString(SurveyDay().CoordinatesPath)).size();
}

void mapTick(benchmark::State &state, bool sounding) {
  const int shapes = static_cast<int>(state.range(0));
  const int view = static_cast<int>(state.range(1));
  const bool labels = state.range(2) != 0;
  NavigatorWindows &w = build(shapes, labels, view == 3);
  TFNav &nav = *w.FNav;
  // Each run is a session of its own, as Start begins one on a port opened afresh: no fix, depth
  // or speed of the run before (in the still ticks no label is added, the same count in every
  // run).
  nav.ZGPS1->ForgetPosition();
  if (const auto refused = nav.Road.beginSession(w.FGPS->Model.Values, "COM1", "COM2")) {
    state.SkipWithError(qPrintable(*refused));
    return;
  }
  if (sounding)
    configureSounder(w);
  platform::setExceptionDisplay(
      [](const QString &text) { std::fprintf(stderr, "tick: %s\n", qPrintable(text)); });
  TTarvikCanvas &c = *nav.fcad;
  // The receiver's first sentences: a ZDA opens the map, a VTG gives the course, a GGA the fix.
  receiverSentence(nav, "GPZDA,101530.00,01,05,2024,00,00");
  receiverSentence(nav, "GPVTG,30.000,T,,M,0.000,N,0.0000,K,R");
  double lat = boatLat;
  receiverFix(nav, lat, boatLon);
  const double across = view == 0 ? 500.0 : areaSize * 1.1;
  const double aspect = static_cast<double>(c.height()) / std::max(c.width(), 1);
  if (view == 3)
    storedView(c);
  else
    c.WorldSet(centreE - across / 2, centreN + across * aspect / 2, centreE + across / 2,
               centreN - across * aspect / 2);
  nav.State.FollowVesselEnabled = view != 1;
  nav.tMapTimer(nav.tMap);
  (void)c.grab();
  std::vector<double> times;
  const std::uint64_t redrawsBefore = c.fullRedrawCount();
  const qint64 recordedBefore = coordinatesBytes();
  long long tick = 0;
  for (auto _ : state) {
    // The receiver's GGA moves the boat about 10 cm a tick and keeps the fix current, outside the
    // tick's time.
    lat += 1e-6;
    receiverFix(nav, lat, boatLon);
    const auto start = std::chrono::steady_clock::now();
    // A depth line at the first tick, then every fifth: a run of any length records.
    if (sounding && tick++ % ticksPerDepthLine == 0) {
      // 10 to 30 m, changing at every line as over a sloping bottom.
      char line[64];
      std::snprintf(line, sizeof line, "$SDDPT,%.2f,0",
                    10.0 + static_cast<double>(tick % 2000) * 0.01);
      nav.ZSENSORNewCommand(nav.ZSENSOR, line);
    }
    nav.tMapTimer(nav.tMap);
    showAndTime(c, start, times);
  }
  state.counters["median_ms"] = median(times);
  state.counters["shapes_now"] = c.ShapeCount;
  const double ticks = static_cast<double>(times.size());
  state.counters["full_redraws_per_s"] =
      ticks > 0 ? static_cast<double>(c.fullRedrawCount() - redrawsBefore) / ticks *
                      (1000.0 / mapIntervalMs)
                : 0.0;
  const bool recorded = coordinatesBytes() > recordedBefore;
  if (sounding)
    nav.Realtime->setChecked(false);
  nav.Road.endSession();
  // A survey's ticks that recorded no sounding would not be a survey's.
  if (sounding && !recorded)
    state.SkipWithError("no depth line was recorded");
  // A tick that never projected would measure nothing.
  if (!nav.MapTimer.MapSetupDone || nav.State.VesselEasting == 0)
    state.SkipWithError("the tick did not project the boat");
}
void BM_MapTick(benchmark::State &state) { mapTick(state, false); }
void BM_MapTickSounding(benchmark::State &state) { mapTick(state, true); }

// Grouped by drawing, so each is built once.
void ticks(benchmark::internal::Benchmark *b) {
  for (int labels : {0, 1})
    for (int shapes : {1000, 10000, 100000, 500000})
      for (int view : {0, 1, 2})
        b->Args({shapes, view, labels});
}
BENCHMARK(BM_MapTick)
    ->Apply(ticks)
    ->ArgNames({"shapes", "view", "labels"})
    ->Unit(benchmark::kMillisecond);

void soundingTicks(benchmark::internal::Benchmark *b) {
  for (int shapes : {1000, 100000, 500000})
    for (int view : {0, 1, 2})
      b->Args({shapes, view, 1});
}
BENCHMARK(BM_MapTickSounding)
    ->Apply(soundingTicks)
    ->ArgNames({"shapes", "view", "labels"})
    ->Unit(benchmark::kMillisecond);

void followingTicks(benchmark::internal::Benchmark *b) {
  for (int shapes : {1000, 200000})
    b->Args({shapes, 3, 1});
}
BENCHMARK(BM_MapTick)
    ->Apply(followingTicks)
    ->ArgNames({"shapes", "view", "labels"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapTickSounding)
    ->Apply(followingTicks)
    ->ArgNames({"shapes", "view", "labels"})
    ->Unit(benchmark::kMillisecond);

void BM_MapPan(benchmark::State &state) {
  const int shapes = static_cast<int>(state.range(0));
  const int mode = static_cast<int>(state.range(1));
  NavigatorWindows &w = build(shapes, true, true);
  TTarvikCanvas &c = *w.FNav->fcad;
  storedView(c);
  (void)c.grab();
  const double px = (c.WorldRight - c.WorldLeft) / std::max(c.width(), 1);
  const double py = (c.WorldTop - c.WorldBottom) / std::max(c.height(), 1);
  std::vector<double> times;
  const std::uint64_t redrawsBefore = c.fullRedrawCount();
  int sign = 1;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    if (mode == 0)
      c.BackBufferDirty = true;
    else
      c.WorldPan(mode == 1 ? sign * px : 0.0, mode == 2 ? sign * py : 0.0);
    sign = -sign;
    showAndTime(c, start, times);
  }
  const double paint = median(times);
  state.counters["median_ms"] = paint;
  state.counters["full_redraws"] =
      static_cast<double>(c.fullRedrawCount() - redrawsBefore) / std::max<double>(times.size(), 1);
  if (mode == 0)
    fullRedrawMs[shapes] = paint;
  else if (fullRedrawMs.count(shapes) && fullRedrawMs[shapes] > 0)
    state.counters["pan_vs_full"] = paint / fullRedrawMs[shapes];
}
BENCHMARK(BM_MapPan)
    ->ArgsProduct({{1000, 200000}, {0, 1, 2}})
    ->ArgNames({"shapes", "mode"})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Widgets;
  run.prepare = [] {
    platform::setExceptionDisplay(
        [](const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); });
    return true;
  };
  run.finish = [] { program.reset(); };
  return benchsupport::runBenchmarks(argc, argv, run);
}
