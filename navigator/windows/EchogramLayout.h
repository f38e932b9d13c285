// The echogram's picture as numbers: the depth ring it scrolls, and where its columns, profile,
// grid and newest-depth box go for a window size. No widget is needed to compute or test it.
#pragma once

#include <array>
#include <string>
#include <vector>

// The capacity of the depth ring; the number of depths shown lies between 1 and this.
constexpr int EchogramCapacity = 200;

// The depths shown, oldest first and the newest at index count - 1; a depth not above 0 is an
// empty slot. Zero at start and never cleared, so the picture resumes where it stopped.
struct EchogramSamples {
  std::array<double, EchogramCapacity> EchoDepths{};
  std::array<double, EchogramCapacity> EchoPixelY{};
};

// A shown count limited to what the ring holds.
int EchogramCount(int count);

// Moves the first count depths one place towards the oldest and puts `depth` in as the newest.
void ShiftEchogram(EchogramSamples &samples, double depth, int count);

struct EchogramColumn {
  int X0, X1, Y; // water from (X0, 0) to (X1, Y); the seabed mark from (X0, Y) to (X1, Y)
};
struct EchogramSegment {
  int X0, Y0, X1, Y1;
};
struct EchogramGridLine {
  int Y;
  std::string Label; // "12.5m"
};

struct EchogramLayout {
  int Width = 0, Height = 0;
  double Top = 0, Bottom = 0, Span = 0; // the depth range shown, metres
  double ColumnWidth = 0;
  double Step = 0; // grid step, metres
  int Decimals = 0;
  std::vector<EchogramColumn> Columns;
  std::vector<EchogramSegment> Profile;
  std::vector<EchogramGridLine> Grid;
  bool HasNewest = false;   // the newest depth is above 0: its box is drawn
  bool HasMarker = false;   // and its marker line, when it lies well inside the window
  EchogramSegment Marker{}; // from the newest seabed down to the box
  std::string NewestText;   // "10.6m"
};

// Lays out the first count depths of `samples` in a width x height window; fills EchoPixelY.
// The default range is used while fewer than four depths are above 0 or all are equal.
EchogramLayout LayoutEchogram(EchogramSamples &samples, double depth, double rangeTopDefault,
                              double rangeBottomDefault, int count, int width, int height);

// The grid step for a depth span: about a quarter of it rounded to 1, 2, 2.5 or 5 times a power
// of ten; and the decimals its labels need.
double EchogramGridStep(double span);
int EchogramLabelDecimals(double step);
