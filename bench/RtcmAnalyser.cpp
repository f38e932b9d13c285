// Throughput of the RTCM 3 analyser on real captures, fed in the pieces a caster connection
// delivers. The goal is far above any caster's rate: at least 100 MB/s.
#include "positioning/RtcmAnalyser.h"
#include "BenchSupport.h"

#include <benchmark/benchmark.h>
#include <fstream>
#include <iterator>
#include <string>

namespace {

const char *const captures[] = {"rtcm3.2.log", "ublox-f9p-rtcm.log", "rtcm3_102x135.log"};

std::string capture(const char *name) {
  std::ifstream in(std::string(TARVIK_SOURCE_DIR) + "/tests/data/rtcm3/" + name, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  while (start < bytes.size() && bytes[start] == '#')
    start = bytes.find('\n', start) + 1;
  return bytes.substr(start);
}

// One capture, fed in pieces of state.range(1) bytes.
void BM_AnalyseCapture(benchmark::State &state) {
  const std::string bytes = capture(captures[state.range(0)]);
  if (bytes.empty()) {
    state.SkipWithError("capture missing");
    return;
  }
  const auto piece = static_cast<std::size_t>(state.range(1));
  std::int64_t frames = 0;
  for (auto _ : state) {
    positioning::RtcmAnalyser analyser;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
      analyser.feed(std::string_view(bytes).substr(at, piece));
    analyser.finish();
    frames = analyser.analysis().Total;
    benchmark::DoNotOptimize(frames);
  }
  state.SetLabel(captures[state.range(0)]);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
  state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_AnalyseCapture)->ArgsProduct({{0, 1, 2}, {4095, 8192}});

// The window's per-chunk scan for base-station frames.
void BM_StationFixes(benchmark::State &state) {
  const std::string bytes = capture(captures[0]);
  for (auto _ : state)
    benchmark::DoNotOptimize(positioning::rtcmStationFixes(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_StationFixes);

} // namespace

int main(int argc, char **argv) { return benchsupport::runBenchmarks(argc, argv); }
