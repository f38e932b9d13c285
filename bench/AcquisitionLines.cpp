// The main window's line handlers during a survey: a GPS line and an echo-sounder line with its
// depth correction and the two day-file records (appended, never re-read). At 20 GPS and 20
// sounder lines a second, 1% of a core is 250 µs per line.
#include "BenchSupport.h"
#include "navigator/CreateNavigatorWindows.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct Survey {
  // The clock stands still: see the fix below.
  platform::ManualClock clock;
  platform::ScopedClock scopedClock{clock};
  QTemporaryDir root;
  std::unique_ptr<NavigatorWindows> windows;

  Survey() {
    clock.setLocal({2024, 5, 1, 10, 15, 30, 0});
    clock.monotonic = 5000;
    setenv("TARVIK_SURVEY_ROOT", (root.path() + "/").toUtf8().data(), 1);
    InitSurveySession();
    windows = std::make_unique<NavigatorWindows>();
    CreateNavigatorWindows(*windows);
    windows->Offsets->hide();
    windows->Offsets->OffsetA->setText("0.5");
    windows->Offsets->SV->setText("1480");
    windows->Offsets->OffsetC->setText("1.6");
    windows->Offsets->TideHt->setText("1.0");
    windows->Navset->edDepthAlert1->setText("0.5");
    windows->FGPS->hide();
    windows->FGPS->cSBESMessage->setCurrentText("NMEA DPT");
    TFNav &nav = *windows->FNav;
    nav.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
    // UTM zone 35 on WGS 84: the records quote the fix's own grid position.
    SensorSettingsValues &v = windows->FGPS->Model.Values;
    v.edSMA = "6378137.0";
    v.edIF = "0.0033528106647474";
    for (QString *t :
         {&v.edPPM, &v.edRX, &v.edRY, &v.edRZ, &v.edSX, &v.edSY, &v.edSZ, &v.edRL, &v.edFN})
      *t = "0";
    v.edCM = "27";
    v.edSF = "0.9996";
    v.edFE = "500000";
    // The fix comes as the receiver gives it: a GGA line through the port's component, whose
    // position event reaches the road. The clock stands still, so the fix stays current for
    // every depth line of the run, as the receiver's GGA lines would keep it.
    TTarvikSerialGPS &port = *nav.ZGPS1;
    port.RxBuffer += "$GPGGA,101530.00,4100.7380,N,02902.7360,E,4,12,0.9,12.5,M,40.1,M,,*54\r\n";
    port.ProcessLines();
  }
};

void BM_GpsLine(benchmark::State &state) {
  Survey survey;
  TFNav &nav = *survey.windows->FNav;
  const std::string line =
      "$GNGGA,133901.50,4134.50180366,N,09345.03586734,W,4,19,0.7,280.829,M,-31.442,M,7.5,0002*62";
  for (auto _ : state)
    nav.ZGPS1NewCommand(nullptr, line);
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GpsLine)->Unit(benchmark::kMicrosecond);

void BM_SounderLineWithRecords(benchmark::State &state) {
  Survey survey;
  TFNav &nav = *survey.windows->FNav;
  const std::string line = "$SDDPT,12.34,0.5*56";
  const auto coordinatesBytes = [] {
    return double(QFileInfo(QString::fromStdString(SurveyDay().CoordinatesPath)).size());
  };
  const double before = coordinatesBytes();
  for (auto _ : state)
    nav.ZSENSORNewCommand(nullptr, line);
  // A run that wrote no record measured the refusal, not the records.
  if (coordinatesBytes() <= before)
    state.SkipWithError("no record was written: the fix is not current");
  state.counters["coordinates_bytes"] = coordinatesBytes();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SounderLineWithRecords)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Widgets;
  run.ownSettings = true;
  return benchsupport::runBenchmarks(argc, argv, run);
}
