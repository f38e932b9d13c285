// TarvikSensorSim: a GNSS receiver and an echo sounder without hardware, for watching the
// navigation program work and for trying it by hand.
#include "platform/Paths.h"
#include "platform/Time.h"
#include "tools/SensorSimulator.h"
#include "tools/SimulatedPort.h"
#include "tools/WrittenBack.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <stdexcept>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

void report(const sim::SimulatedPort &port, const std::vector<std::string> &lines) {
  for (const std::string &line : lines)
    std::printf("COM%d <- %s\n", port.number(), line.c_str());
  std::fflush(stdout);
}

std::string sentLines(const std::vector<std::string> &lines) {
  std::string bytes;
  for (const std::string &line : lines)
    bytes += line + "\r\n";
  return bytes;
}

} // namespace

int main(int argc, char **argv) {
  const std::string program = argc > 0 ? argv[0] : "TarvikSensorSim";
  std::string error;
  const auto options = sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
  if (!options) {
    std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(), sim::usage(program).c_str());
    return 2;
  }
  if (options->help) {
    std::printf("%s", sim::usage(program).c_str());
    return 0;
  }

  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);
  std::signal(SIGHUP, requestStop);

  const std::string folder =
      options->portsFolder.empty() ? platform::PortsDir() : options->portsFolder;
  std::unique_ptr<sim::SimulatedPort> gps, sounder;
  try {
    gps = std::make_unique<sim::SimulatedPort>(folder, options->gpsPort);
    if (options->sounderPort > 0)
      sounder = std::make_unique<sim::SimulatedPort>(folder, options->sounderPort);
  } catch (const std::exception &e) {
    std::fprintf(stderr, "%s: %s\n", program.c_str(), e.what());
    return 1;
  }
  std::printf("GNSS receiver on COM%d (%s -> %s)\n", gps->number(), gps->linkPath().c_str(),
              gps->devicePath().c_str());
  if (sounder)
    std::printf("Echo sounder on COM%d (%s -> %s)\n", sounder->number(),
                sounder->linkPath().c_str(), sounder->devicePath().c_str());
  std::printf("Press Ctrl+C to stop.\n");
  std::fflush(stdout);

  const sim::SensorSimulator simulator(*options);
  sim::WrittenBack gpsBack, sounderBack;
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  long receiverEpochs = 0, pings = 0;
  while (!stopRequested) {
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    if (options->durationSeconds > 0 && elapsed >= options->durationSeconds)
      break;
    double nextEpoch = receiverEpochs / options->rateHz;
    double nextPing = sounder ? pings / options->sounderRateHz : 1e300;
    if (elapsed >= nextEpoch) {
      gps->send(sentLines(simulator.receiverLines(nextEpoch, platform::NowUtc())));
      ++receiverEpochs;
      continue;
    }
    if (elapsed >= nextPing) {
      sounder->send(simulator.sounderLine(nextPing) + "\r\n");
      ++pings;
      continue;
    }
    const double wait = std::min(nextEpoch, nextPing) - elapsed;
    pollfd fds[2] = {{gps->deviceFd(), POLLIN, 0}, {sounder ? sounder->deviceFd() : -1, POLLIN, 0}};
    ::poll(fds, 2, static_cast<int>(wait * 1000) + 1);
    if (fds[0].revents & POLLIN)
      report(*gps, gpsBack.feed(gps->receive()));
    if (sounder && (fds[1].revents & POLLIN))
      report(*sounder, sounderBack.feed(sounder->receive()));
  }
  report(*gps, gpsBack.flush());
  if (sounder)
    report(*sounder, sounderBack.flush());
  return 0;
}
