// What the main window's handlers, timers and commands share while the program runs: the
// projected position of the boat, ticks of the sensor watchdogs, the fixed layer indexes. The fix,
// its age and the depths are the road's (TFNav::Road.state()). One instance, owned by the main
// window (TFNav::State); GUI thread only. The GGA status box's text and fix quality are the
// canvas's own program-wide values (GGAOverlayText, GGAFixQuality).
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

  int LastGpsStatusQuality = 0; // the fix quality the GPS box is coloured for

  // ---- Map timer
  double GridConvergence = 1e-9;
  double VesselHeading = 1e-9;
  double VesselEasting = 0;
  double VesselNorthing = 0;
  bool FollowVesselEnabled = true;

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
