// The simulated boat's motion: back and forth along one survey line at a steady speed, and the
// depth below it, so a receiver and an echo sounder can report a believable survey.
#pragma once

namespace sim {

struct SurveyLine {
  double startLatitude = 41.0; // degrees
  double startLongitude = 29.0;
  double heading = 45; // degrees true, of the first leg
  double speedKnots = 4;
  double lengthMetres = 300; // the boat turns back at each end
  double depthMetres = 15;   // mean depth along the line
};

struct BoatState {
  double latitude = 0;
  double longitude = 0;
  double course = 0;    // degrees true
  double alongLine = 0; // metres from the line's start
};

// Where the boat is `seconds` after starting the line.
BoatState boatAt(const SurveyLine &line, double seconds);
// Depth of the bottom at a distance along the line, in metres; the low frequency reaches a bit
// deeper into soft sediment.
double bottomDepth(const SurveyLine &line, double alongLine);
double lowFrequencyDepth(const SurveyLine &line, double alongLine);

} // namespace sim
