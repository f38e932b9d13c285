// Conversions per second of the map timer's projections: ProjectBLH (datum shift through ECEF and
// Transverse Mercator, all through number texts) and Lambert, beside the same conversions through
// PROJ's C API when it is installed, with the ratio of the two printed at the end.
#include "positioning/Geodesy.h"
#include "BenchSupport.h"
#include "positioning/Lambert.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#ifdef TARVIK_HAVE_PROJ
#include <proj.h>
#endif

namespace {

constexpr double Pi = 3.141592653589793;

// What the map timer builds: WGS84 with a null set into ED50 on the International ellipsoid,
// UTM zone 35.
const std::string DatumParameters =
    "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 "
    "6378388 0.003367003367003367 -1.2 0.4586 -1.0502 0.3655 -84.003 -102.315 -129.879";
const std::string TMParameters = "27 0 0.9996 500000 0";
const std::string ProjectionEllipsoid = "6378137.0 0.0033528106647474 6378388 0.003367003367003367";

struct LatLon {
  double lat, lon;
};

// A track of points around Istanbul, so that no two calls see the same numbers.
const std::vector<LatLon> &track() {
  static const std::vector<LatLon> points = [] {
    std::vector<LatLon> p;
    for (int i = 0; i < 1024; ++i)
      p.push_back({40.9 + 0.0001 * i, 28.8 + 0.00013 * i});
    return p;
  }();
  return points;
}

const std::vector<std::string> &trackTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t;
    char buffer[64];
    for (const LatLon &p : track()) {
      std::snprintf(buffer, sizeof buffer, "%.10g %.10g", p.lat, p.lon);
      t.emplace_back(buffer);
    }
    return t;
  }();
  return texts;
}

void BM_ProjectBLH(benchmark::State &state) {
  const auto &points = trackTexts();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        ProjectBLH(points[i++ & 1023], DatumParameters, TMParameters, ProjectionEllipsoid));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProjectBLH);

void BM_TMScaleOrConvergence(benchmark::State &state) {
  const auto &points = track();
  std::size_t i = 0;
  for (auto _ : state) {
    const LatLon &p = points[i++ & 1023];
    benchmark::DoNotOptimize(TMScaleOrConvergence("GrdConv", 6378388, 1 / 297.0, p.lat, p.lon, 27,
                                                  0, 0.9996, 500000, 0));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TMScaleOrConvergence);

// The map timer's Lambert tick: set-up, then the forward conversion.
void BM_Lambert2SP(benchmark::State &state) {
  const auto &points = track();
  std::size_t i = 0;
  for (auto _ : state) {
    const LatLon &p = points[i++ & 1023];
    SetLambert2SPParameters(6378388, 1 / 297.0, 40 * Pi / 180, 27 * Pi / 180, 38 * Pi / 180,
                            43 * Pi / 180, 500000, 0);
    double e = 0, n = 0;
    GeodeticToLambert2SP(p.lat * Pi / 180, p.lon * Pi / 180, e, n);
    benchmark::DoNotOptimize(e);
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lambert2SP);

#ifdef TARVIK_HAVE_PROJ

// One PROJ operation made from a proj-string, released at the end.
class ProjOperation {
public:
  explicit ProjOperation(const char *definition)
      : context_(proj_context_create()), pj_(proj_create(context_, definition)) {}
  ~ProjOperation() {
    if (pj_)
      proj_destroy(pj_);
    proj_context_destroy(context_);
  }
  ProjOperation(const ProjOperation &) = delete;
  ProjOperation &operator=(const ProjOperation &) = delete;
  PJ *get() const { return pj_; }

private:
  PJ_CONTEXT *context_;
  PJ *pj_;
};

void runProj(benchmark::State &state, const char *definition) {
  ProjOperation op(definition);
  if (!op.get()) {
    state.SkipWithError("PROJ could not build the operation");
    return;
  }
  const auto &points = track();
  std::size_t i = 0;
  for (auto _ : state) {
    const LatLon &p = points[i++ & 1023];
    benchmark::DoNotOptimize(
        proj_trans(op.get(), PJ_FWD, proj_coord(proj_torad(p.lon), proj_torad(p.lat), 0, 0)));
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Proj_ProjectBLH(benchmark::State &state) {
  runProj(state, "+proj=pipeline +step +proj=cart +a=6378137 +f=0.0033528106647474 "
                 "+step +proj=helmert +convention=coordinate_frame +exact +s=0 +rx=0 +ry=0 +rz=0 "
                 "+x=0 +y=0 +z=0 "
                 "+step +inv +proj=helmert +convention=coordinate_frame +exact +s=-1.2 "
                 "+rx=0.4586 +ry=-1.0502 +rz=0.3655 +x=-84.003 +y=-102.315 +z=-129.879 "
                 "+step +inv +proj=cart +a=6378388 +f=0.003367003367003367 "
                 "+step +proj=tmerc +lon_0=27 +k_0=0.9996 +x_0=500000 +a=6378388 "
                 "+f=0.003367003367003367");
}
BENCHMARK(BM_Proj_ProjectBLH);

void BM_Proj_Lambert2SP(benchmark::State &state) {
  runProj(state, "+proj=lcc +lat_0=40 +lon_0=27 +lat_1=38 +lat_2=43 +x_0=500000 +y_0=0 "
                 "+a=6378388 +f=0.003367003367003367");
}
BENCHMARK(BM_Proj_Lambert2SP);

#endif

// The console report, then how many times slower (or faster) each conversion runs than PROJ's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &reports) override {
    ConsoleReporter::ReportRuns(reports);
    for (const Run &run : reports)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        timePerConversion_[run.run_name.function_name] = run.GetAdjustedRealTime();
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char *name : {"BM_ProjectBLH", "BM_Lambert2SP"}) {
      const auto ours = timePerConversion_.find(name);
      const auto proj = timePerConversion_.find(std::string("BM_Proj_") + (name + 3));
      if (ours == timePerConversion_.end() || proj == timePerConversion_.end() || proj->second <= 0)
        continue;
      std::printf("%s / PROJ: %.2f times the time per conversion\n", name + 3,
                  ours->second / proj->second);
    }
#ifndef TARVIK_HAVE_PROJ
    std::printf("PROJ's library was not found at build time: no ratio\n");
#endif
  }

private:
  std::map<std::string, double> timePerConversion_;
};

} // namespace

int main(int argc, char **argv) {
  RatioReporter reporter;
  benchsupport::BenchProgram run;
  run.reporter = &reporter;
  return benchsupport::runBenchmarks(argc, argv, run);
}
