// The settings window's port monitors while the window is open: every received line is echoed,
// 20 a second per port for a whole survey day, and a memo empties itself past 100 lines.
#include "BenchSupport.h"
#include "navigator/NavigatorWindows.h"
#include "navigator/settings/SensorSettingsWindow.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void BM_MonitorLine(benchmark::State &state) {
  NavigatorWindows windows; // the settings window alone: no main window, no canvas
  auto window = std::make_unique<TFGPS>(nullptr, windows);
  window->PageControl->setCurrentWidget(window->TabSheet1);
  window->show();
  const std::string line =
      "$GNGGA,133901.50,4134.50180366,N,09345.03586734,W,4,19,0.7,280.829,M,-31.442,M,7.5,0002*62";
  for (auto _ : state) {
    TFGPS::AddMonitorLine(window->MemoGPS, line);
    QCoreApplication::processEvents(); // the repaint the line asks for
  }
  state.counters["blocks"] = window->MemoGPS->blockCount();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MonitorLine)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Widgets;
  run.ownSettings = true;
  return benchsupport::runBenchmarks(argc, argv, run);
}
