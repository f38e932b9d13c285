// A drawing like a long survey's, for loading the programs: track lines in short walks, sounding
// points, depth texts and circles, scattered at random (always the same) over a square area.
#pragma once

class DrawingModel;

namespace sim {

struct ScatteredDrawing {
  double centreEasting = 0;
  double centreNorthing = 0;
  double size = 10000; // metres across
  int shapes = 1000;
  // Layers the shapes go on: the tracks', and the points', texts' and circles'.
  int trackLayer = 0;
  int markLayer = 0;
};

// Seven in ten shapes are track lines of up to 5 m a side, two points, half of one a text and
// half a circle of 20 m.
void addScatteredDrawing(DrawingModel &drawing, const ScatteredDrawing &d);

} // namespace sim
