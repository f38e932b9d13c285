// Lines per second through the serial component's line splitter and NMEA parser: a 10 Hz
// survey receiver with an echo sounder sends about 1,000 lines a second.
#include "BenchSupport.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// One epoch of a real RTK receiver, with a depth sentence between, as they come off the line.
const std::vector<std::string> epoch = {
    "$GNGGA,133901.50,4134.50180366,N,09345.03586734,W,4,19,0.7,280.829,M,-31.442,M,7.5,0002*62",
    "$GNRMC,133901.50,A,4134.50180366,N,09345.03586734,W,0.018,273.328,180320,11.5982,E,D*36",
    "$INVTG,77.5,T,93.3,M,5.2,N,9.7,K*5B",
    "$INDPT,2.2,0.0*47",
    "$GPHDT,274.07,T*03",
    "$INZDA,194118,16,09,2006,-05,00*7E",
};

// About 1000 bytes of traffic, cut as a poll tick would find it.
std::string chunkOfLines(std::size_t &lineCount) {
  std::string chunk;
  lineCount = 0;
  while (chunk.size() < 1000) {
    for (const std::string &line : epoch) {
      chunk += line + "\r\n";
      ++lineCount;
    }
  }
  return chunk;
}

void BM_ProcessLines(benchmark::State &state) {
  TTarvikSerialGPS gps(nullptr);
  long long seen = 0;
  gps.OnNewCommand = [&](QObject *, const std::string &) { ++seen; };
  std::size_t lines = 0;
  const std::string chunk = chunkOfLines(lines);
  for (auto _ : state) {
    gps.RxBuffer += chunk;
    gps.ProcessLines();
  }
  benchmark::DoNotOptimize(seen);
  state.SetItemsProcessed(static_cast<long long>(state.iterations() * lines));
}
BENCHMARK(BM_ProcessLines);

void BM_ProcessLinesWithRawLog(benchmark::State &state) {
  TTarvikSerialGPS gps(nullptr);
  gps.NmeaLogEnabled = true;
  gps.LogTimeStamp = state.range(0) != 0;
  gps.NmeaLogFile = std::fopen("/dev/null", "a+");
  std::size_t lines = 0;
  const std::string chunk = chunkOfLines(lines);
  for (auto _ : state) {
    gps.RxBuffer += chunk;
    gps.ProcessLines();
  }
  std::fclose(gps.NmeaLogFile);
  gps.NmeaLogFile = nullptr;
  state.SetItemsProcessed(static_cast<long long>(state.iterations() * lines));
}
BENCHMARK(BM_ProcessLinesWithRawLog)->Arg(0)->Arg(1);

void BM_ParseNmeaSentence(benchmark::State &state) {
  TTarvikSerialGPS gps(nullptr);
  const std::string &sentence = epoch[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    gps.Latitude = 0; // so each GGA counts as a change
    gps.ParseNmeaSentence(sentence);
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(sentence.substr(3, 3));
}
BENCHMARK(BM_ParseNmeaSentence)->Arg(0)->Arg(1)->Arg(2);

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Core;
  return benchsupport::runBenchmarks(argc, argv, run);
}
