// A simulated GNSS receiver and echo sounder on one survey line: the command-line options and
// the sentences each device sends at a given moment.
#pragma once

#include "platform/Time.h"
#include "tools/NmeaBuilder.h"
#include "tools/SurveyLine.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

struct SimulatorOptions {
  std::string portsFolder; // empty: the navigation program's ports folder
  int gpsPort = 1;
  int sounderPort = 2; // 0: no echo sounder
  double rateHz = 1;   // receiver epochs a second
  double sounderRateHz = 2;
  int quality = 4;
  int satellites = 14;
  std::string talker = "GP";
  double altitude = 42.5;
  SurveyLine line;
  SounderForm sounderForm = SounderForm::TarvikSmt;
  double durationSeconds = 0; // 0: until interrupted
  bool help = false;
};

// The usage text printed by --help and after a wrong option.
std::string usage(const std::string &program);
// Reads the arguments after the program name; std::nullopt and `error` set when one is wrong.
std::optional<SimulatorOptions> parseOptions(const std::vector<std::string> &args,
                                             std::string &error);

class SensorSimulator {
public:
  explicit SensorSimulator(const SimulatorOptions &options) : options_(options) {}

  // The receiver's sentences of the epoch `seconds` after the start, time-stamped `utc`.
  std::vector<std::string> receiverLines(double seconds, const platform::TDateTime &utc) const;
  // The echo sounder's sentence `seconds` after the start.
  std::string sounderLine(double seconds) const;
  // The boat's battery, falling slowly while it runs.
  double batteryVolts(double seconds) const;

private:
  SimulatorOptions options_;
};

} // namespace sim
