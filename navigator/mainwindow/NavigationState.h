// What the main window's handlers, timers and commands share while the program runs: the last
// fix, the projected position, depths, ticks of the sensor watchdogs, the fixed layer indexes.
// One instance, owned by the main window (TFNav::State); GUI thread only. The GGA status box's
// text and fix quality are the canvas's own program-wide values (GGAOverlayText, GGAFixQuality).
#pragma once

#include <QString>
#include <cstdint>
#include <string>

struct TNavigationState {
  // ---- Acquisition control
  int RealtimeRunning = 0;        // 0 stopped, 1 running; RealtimeClick alone reads and writes it
  std::uint32_t GpsStartTick = 0; // tick of opening the GPS port; 0 while stopped
  std::uint32_t SensorStartTick = 0; // tick of opening the echo-sounder port; 0 when not opened
  std::uint32_t LastSensorTick = 0;  // tick of the last echo-sounder line
  bool SensorTimeoutReported = false;
  bool EchogramShown = false;
  // The GPS port went silent (its idle event); the next GPS line resumes the map. Apart from
  // the map timer's stop while a shape is drawn, which is no silence of the receiver.
  bool GpsIdle = false;
  // Set by the canvas's draw-begin, cleared by its draw-end: the map timer stays stopped while
  // a shape is being drawn, and a GPS line must not restart it meanwhile.
  bool MapPausedForDrawing = false;
  // The last connection, idle, time-out or sent-command message.
  QString StatusMessage;

  // ---- GPS sentences
  bool ZdaSeen = false;
  std::string ZdaSentence;              // the first GPS line containing "ZDA"
  std::string GgaTimeText = "00:00:00"; // time of the last GGA, hh:mm:ss
  double HdtHeading = 1e-9;
  double SpeedKnots = 0;
  int LastGpsStatusQuality = 0;
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

  // ---- Map timer
  double GridConvergence = 1e-9;
  double VesselHeading = 1e-9;
  double VesselEasting = 0;
  double VesselNorthing = 0;
  bool FollowVesselEnabled = true;

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
  bool DepthPending = false;
  std::string CoordinatesHeader; // written at the top of an empty coordinates file

  // ---- Fixed layers of the canvas, set by TFNav::EnsureNavigationLayers
  int GridLayer = 0;
  int TrackFixLayer = 0;
  int TrackNoFixLayer = 0;
  int TrackFloatLayer = 0;
  int TempShapeLayer = 0;
  int UserShapeLayer = 0;
  int EventLayer = 0;
  int VesselLayer = 0;

  // ---- Canvas tools and selection (CanvasToolCommands.cpp)
  bool TrackSelectMode = false; // the next finished polygon selects track shapes
  bool ShapeSelectMode = false; // the next finished polygon selects shapes of every layer
  bool ClickMarkEnabled = true; // picking a shape toggles its pen width
  bool MeasureActive = false;
  double MeasureStartX = 0;
  double MeasureStartY = 0;
  double MouseWorldX = 0; // last mouse position over the canvas; centre of the wheel zoom
  double MouseWorldY = 0;
};
