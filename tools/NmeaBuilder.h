// Builds the sentences a simulated GNSS receiver and echo sounder send: NMEA checksums, the
// receiver's GGA, RMC, VTG, HDT and ZDA, and one depth sentence in each echo-sounder form.
#pragma once

#include "platform/Time.h"

#include <optional>
#include <string>
#include <vector>

namespace sim {

// What the receiver knows at one epoch.
struct ReceiverFix {
  platform::TDateTime utc;
  double latitude = 0;  // degrees, north positive
  double longitude = 0; // degrees, east positive
  double altitude = 0;  // metres above the geoid
  double speedKnots = 0;
  double course = 0;  // degrees true, over ground
  double heading = 0; // degrees true, of the hull
  int quality = 4;    // GGA fix quality: 0 none, 1 GPS, 2 DGPS, 4 RTK fixed, 5 RTK float
  int satellites = 14;
  double hdop = 0.8;
};

// XOR of the bytes between "$" and "*", as two upper-case hex digits.
std::string nmeaChecksum(const std::string &body);
// "$" + body + "*" + checksum.
std::string withChecksum(const std::string &body);

// The receiver's sentences of one epoch, in the order a receiver sends them.
std::string ggaSentence(const std::string &talker, const ReceiverFix &fix);
std::string rmcSentence(const std::string &talker, const ReceiverFix &fix);
std::string vtgSentence(const std::string &talker, const ReceiverFix &fix);
std::string hdtSentence(const std::string &talker, const ReceiverFix &fix);
std::string zdaSentence(const std::string &talker, const ReceiverFix &fix);
std::vector<std::string> receiverEpoch(const std::string &talker, const ReceiverFix &fix);

// Echo-sounder sentence forms, named as the navigation program's message types list them.
enum class SounderForm { TarvikSmt, NmeaDpt, NmeaDbt, TarvikXdrHi, TarvikXdrLo, TarvikXdrHiLo };
std::optional<SounderForm> sounderFormFromName(const std::string &name);
std::vector<std::string> sounderFormNames();

// One depth sentence. `high` and `low` are the two frequencies' depths in metres; the
// battery voltage goes only into the Tarvik SMT form.
std::string sounderSentence(SounderForm form, double high, double low, double battery);

} // namespace sim
