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
  // A chart's mix instead: long lines (400 m and 6 km) across any view, rectangles and
  // polylines among the tracks, points, texts and circles.
  bool longLines = false;
};

// Seven in ten shapes are track lines of up to 5 m a side, two points, half of one a text and
// half a circle of 20 m. With long lines, of every hundred shapes forty are track lines, eight
// lines of 400 m and two of 6 km at any angle, eight rectangles of up to 50 m, eight polylines
// of 20 to 200 m, twenty points, five texts and nine circles.
void addScatteredDrawing(DrawingModel &drawing, const ScatteredDrawing &d);

} // namespace sim
