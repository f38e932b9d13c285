#include "tools/SensorSimulator.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace sim {

namespace {

bool toDouble(const std::string &text, double &value) {
  if (text.empty())
    return false;
  char *end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

bool toInt(const std::string &text, int &value) {
  double d = 0;
  if (!toDouble(text, d) || d != std::floor(d) || std::fabs(d) > 1e9)
    return false;
  value = static_cast<int>(d);
  return true;
}

} // namespace

std::string usage(const std::string &program) {
  std::string forms;
  for (const std::string &name : sounderFormNames())
    forms += (forms.empty() ? "\"" : ", \"") + name + "\"";
  return "Usage: " + program +
         " [options]\n"
         "Plays a GNSS receiver and an echo sounder on pseudo-terminals linked as COMn, and\n"
         "prints what the navigation program writes back to them.\n"
         "  --ports DIR          folder of the COMn links (default: $TARVIK_PORTS_DIR, else\n"
         "                       ports/ beside this program)\n"
         "  --gps N              receiver port number (default 1)\n"
         "  --sounder N          echo-sounder port number, 0 for none (default 2)\n"
         "  --rate HZ            receiver epochs a second (default 1)\n"
         "  --sounder-rate HZ    depth sentences a second (default 2)\n"
         "  --quality Q          GGA fix quality: 0 none, 1 GPS, 2 DGPS, 4 RTK fixed, 5 RTK float\n"
         "                       (default 4)\n"
         "  --satellites N       satellites in use (default 14)\n"
         "  --talker XX          talker of the receiver's sentences (default GP)\n"
         "  --start LAT,LON      start of the survey line in degrees (default 41,29)\n"
         "  --heading DEG        direction of the first leg (default 45)\n"
         "  --speed KNOTS        boat speed (default 4)\n"
         "  --line-length M      length of the line; the boat turns back at its ends (default "
         "300)\n"
         "  --depth M            mean depth (default 15)\n"
         "  --altitude M         antenna altitude (default 42.5)\n"
         "  --sbes TYPE          depth sentence form: " +
         forms +
         "\n"
         "                       (default \"Tarvik SMT\")\n"
         "  --duration S         stop after S seconds (default: run until interrupted)\n"
         "  --help               this text\n";
}

std::optional<SimulatorOptions> parseOptions(const std::vector<std::string> &args,
                                             std::string &error) {
  SimulatorOptions o;
  using Setter = std::function<bool(const std::string &)>;
  const auto positive = [](double &target) {
    return [&target](const std::string &v) { return toDouble(v, target) && target > 0; };
  };
  const std::map<std::string, Setter> setters = {
      {"--ports",
       [&](const std::string &v) {
         o.portsFolder = v;
         return !v.empty();
       }},
      {"--gps",
       [&](const std::string &v) {
         return toInt(v, o.gpsPort) && o.gpsPort >= 1 && o.gpsPort <= 256;
       }},
      {"--sounder",
       [&](const std::string &v) {
         return toInt(v, o.sounderPort) && o.sounderPort >= 0 && o.sounderPort <= 256;
       }},
      {"--rate", positive(o.rateHz)},
      {"--sounder-rate", positive(o.sounderRateHz)},
      {"--quality",
       [&](const std::string &v) {
         return toInt(v, o.quality) && o.quality >= 0 && o.quality <= 9;
       }},
      {"--satellites",
       [&](const std::string &v) {
         return toInt(v, o.satellites) && o.satellites >= 0 && o.satellites <= 99;
       }},
      {"--talker",
       [&](const std::string &v) {
         o.talker = v;
         return v.size() == 2;
       }},
      {"--start",
       [&](const std::string &v) {
         const std::size_t comma = v.find(',');
         return comma != std::string::npos && toDouble(v.substr(0, comma), o.line.startLatitude) &&
                toDouble(v.substr(comma + 1), o.line.startLongitude) &&
                std::fabs(o.line.startLatitude) < 89 && std::fabs(o.line.startLongitude) <= 180;
       }},
      {"--heading", [&](const std::string &v) { return toDouble(v, o.line.heading); }},
      {"--speed",
       [&](const std::string &v) {
         return toDouble(v, o.line.speedKnots) && o.line.speedKnots >= 0;
       }},
      {"--line-length", positive(o.line.lengthMetres)},
      {"--depth", positive(o.line.depthMetres)},
      {"--altitude", [&](const std::string &v) { return toDouble(v, o.altitude); }},
      {"--sbes",
       [&](const std::string &v) {
         const auto form = sounderFormFromName(v);
         if (form)
           o.sounderForm = *form;
         return form.has_value();
       }},
      {"--duration",
       [&](const std::string &v) {
         return toDouble(v, o.durationSeconds) && o.durationSeconds >= 0;
       }},
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      o.help = true;
      continue;
    }
    const auto it = setters.find(args[i]);
    if (it == setters.end()) {
      error = "unknown option " + args[i];
      return std::nullopt;
    }
    if (i + 1 >= args.size()) {
      error = args[i] + " needs a value";
      return std::nullopt;
    }
    if (!it->second(args[i + 1])) {
      error = "bad value for " + args[i] + ": " + args[i + 1];
      return std::nullopt;
    }
    ++i;
  }
  if (o.sounderPort == o.gpsPort) {
    error = "the receiver and the echo sounder need different ports";
    return std::nullopt;
  }
  return o;
}

std::vector<std::string> SensorSimulator::receiverLines(double seconds,
                                                        const platform::TDateTime &utc) const {
  const BoatState boat = boatAt(options_.line, seconds);
  ReceiverFix fix;
  fix.utc = utc;
  fix.latitude = boat.latitude;
  fix.longitude = boat.longitude;
  fix.altitude = options_.altitude;
  fix.speedKnots = options_.line.speedKnots;
  fix.course = boat.course;
  // The hull crabs a little against the current.
  fix.heading = std::fmod(boat.course + 2.5 + 360, 360);
  fix.quality = options_.quality;
  fix.satellites = options_.satellites;
  return receiverEpoch(options_.talker, fix);
}

std::string SensorSimulator::sounderLine(double seconds) const {
  const double along = boatAt(options_.line, seconds).alongLine;
  return sounderSentence(options_.sounderForm, bottomDepth(options_.line, along),
                         lowFrequencyDepth(options_.line, along), batteryVolts(seconds));
}

double SensorSimulator::batteryVolts(double seconds) const {
  return std::max(10.5, 12.8 - 0.0002 * std::max(0.0, seconds));
}

} // namespace sim
