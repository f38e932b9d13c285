// What a record of the sounding road stands on and what the map, the events and the windows read
// of it: the receiver's fix and its age, the GPS sentences' values, the offsets in effect and the
// corrected depths. survey::SoundingRoad holds it and alone writes it; everyone else reads it
// through SoundingRoad::state(). GUI thread only.
#pragma once

#include <cstdint>
#include <string>

namespace survey {

struct RoadState {
  // ---- GPS sentences
  bool ZdaSeen = false;
  std::string ZdaSentence;              // the first GPS line containing "ZDA"
  std::string GgaTimeText = "00:00:00"; // time of the last GGA, hh:mm:ss
  double HdtHeading = 1e-9;
  double SpeedKnots = 0;
  // The receiver's current fix; latitude and longitude 0 while there is none (before the
  // session's first GGA position, after a stop, a silence or an impossible position).
  double FixLatitude = 0;  // degrees, south negative
  double FixLongitude = 0; // degrees, west negative
  double FixAltitude = 0;  // metres
  // Tick of the last GGA that gave or confirmed the fix: a depth line is recorded at the fix
  // only while it is current (SoundingRoad::FixCurrentForMs).
  std::uint32_t FixTick = 0;

  // ---- Offsets read from the offsets window while it is hidden
  double SoundVelocity = 0;
  double TransducerDraft = 0;
  double ManualTide = 0;
  double OffsetCValue = 0;
  double AntennaHeight = 0;
  double RtkTide = 0;

  // ---- Echo sounder
  double DepthAlertLimit = 0;
  double TrueDepthHi = 0;
  double TrueDepthLo = 0;
  // Whether the message type of the line that gave the depths carries each of them: the
  // correction of a depth the type does not carry is the draft alone, no measured depth.
  bool DepthHiCarried = true;
  bool DepthLoCarried = false;
  // The depths as the screens show them, 0 for one the type does not carry.
  double MeasuredDepthHi() const { return DepthHiCarried ? TrueDepthHi : 0; }
  double MeasuredDepthLo() const { return DepthLoCarried ? TrueDepthLo : 0; }
  // The one depth of the depth labels, the echogram, the GGA status box and the shallow-water
  // alarm: the high-frequency depth, or the low-frequency one of a type that carries only that.
  double SingleDepth() const { return DepthHiCarried ? TrueDepthHi : TrueDepthLo; }
  bool DepthPending = false; // a depth the echogram has not drawn yet
};

} // namespace survey
