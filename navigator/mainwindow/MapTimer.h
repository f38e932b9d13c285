// What the map timer keeps between its ticks, and the pieces of a tick that need no window: the
// fix-quality name, the GGA status text and the vessel symbol.
#pragma once

#include <cstdint>
#include <string>

class DrawingModel;

// The vessel symbol's shape in world units, taken from the vessel shape window once per run.
struct VesselGeometry {
  double BowLength = 100;  // Lb: tip ahead of the position
  double SideLength = 0;   // Ls: side points across the heading
  int RingCount = 2;       // m
  double FirstRadius = 10; // R
  double RingStep = 10;    // D
};

struct TMapTimerState {
  // ---- Taken on the first working tick (settings changed later apply after a restart)
  bool MapSetupDone = false;
  // A failed set-up is shown once; later ticks retry it without a message. The geodetic
  // parameters are the fix projection's (TFNav::Projection).
  bool SetupFailureReported = false;
  VesselGeometry Vessel;

  // ---- Tracks
  bool TrackStarted = false;
  bool TrackStartPointSet = false;
  int TrackCounter = 0;
  double PrevTrackEasting = 0;
  double PrevTrackNorthing = 0;

  // ---- Latency, from the monotonic clock
  bool LatencyStarted = false;
  std::uint64_t LatencyStartMSecs = 0;
  int LatencyCount = 0;
  double LatencyAverage = 0.0;
  std::int64_t CurrentLatency = 0;
};

// "No Fix", "GPS", "DGPS", "RTK Fix", "RTK Float", else "Fix:" and the number.
std::string FixQualityText(int quality);

// The text of the canvas's GGA status box. `depth` is appended only when `withDepth`.
std::string GGAStatusText(int quality, double speedKnots, int satellites, double antennaHeight,
                          const std::string &tideText, bool withDepth, double depth);

// Draws the vessel symbol at (e, n) with the heading in degrees clockwise from grid north: the
// five lines of the arrow, then the rings, on `layer`.
void DrawVesselSymbol(DrawingModel &drawing, int layer, double e, double n, double headingDeg,
                      const VesselGeometry &geometry);

// The pan that keeps the boat at (e, n) in the middle of the view (left, right, top, bottom)
// shown on width x height pixels, in whole pixels: the boat stays within half a pixel of the
// middle, the view moves only once the boat has moved a pixel, and what was drawn can be
// scrolled rather than drawn again. Zero when the boat is within half a pixel of the middle.
void FollowPan(double left, double right, double top, double bottom, int width, int height,
               double e, double n, double &dx, double &dy);
