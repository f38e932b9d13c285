// The XYZ point import: a text file of x y z triples becomes one shape per point, coloured by z,
// as filled squares when the points form a regular grid. The pieces behind
// TTarvikCanvas::XYZLoad, usable on a model alone.
#pragma once

#include "platform/Color.h"

#include <QString>
#include <cstddef>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

class DrawingModel;

// The colour of a value on the ramp red, yellow, lime, aqua, blue from minimum to maximum; values
// outside the range take the colour of its nearer end. A range of no width counts as 1 wide.
TColor DepthColorRamp(double value, double minimum, double maximum);

namespace exchange {

// The points of a file, in file order.
struct XyzPoints {
  std::vector<double> X;
  std::vector<double> Y;
  std::vector<double> Z;
  std::size_t size() const { return Z.size(); }
};

// Bounds that keep a huge or damaged file from taking all the memory: a file with more points
// is refused as a whole (a few hundred bytes of shape each), a longer line is skipped.
inline constexpr std::size_t xyzPointLimit = 5'000'000;
inline constexpr std::size_t xyzLineLimit = 64 * 1024;

enum class XyzReadResult {
  Ok,
  NoPoints,       // not one usable line
  TooMany,        // more than the limit of points: reading stops at the first one past it
  Unreadable,     // missing, not to be opened, or a read failed
  NotRegularFile, // a folder, pipe or device, refused before any read
  OutOfMemory,    // the shapes did not fit
};

// The three numbers at the start of one line (without its line feed), in the classic locale;
// commas separate like blanks and tabs, anything after the third number is ignored. False for an
// empty line, a comment ("#" or ";" first), fewer than three numbers, and a number that is not
// finite or too large for a double.
bool parseXyzLine(std::string_view line, double &x, double &y, double &z);

// Every usable line of the stream.
XyzReadResult readXyzPoints(std::istream &in, XyzPoints &points, std::size_t limit = xyzPointLimit);

// The grid found among the first points in file order: the smallest steps along x and y, and
// whether most distances between near neighbours are whole multiples of them. Only more than 10
// points can form one.
struct XyzGrid {
  bool found = false;
  double dx = 0.0;
  double dy = 0.0;
};
XyzGrid detectXyzGrid(const XyzPoints &points);

// Appends one shape per point on the given layer index (as it is, existing or not): a filled
// square of the grid's steps when there is a grid, else a one-pixel point, coloured by z over
// (zMin, zMax), or over the data's range when both are 0. Returns how many were added. Neither
// fits the view nor asks for a repaint.
std::size_t addXyzShapes(DrawingModel &model, const XyzPoints &points, int layer, double zMin,
                         double zMax);

// Reads the file and adds its points; true when at least one shape was added, and then the view
// is fitted to the drawing. A file that is not a regular file, cannot be read, holds no usable
// line or too many points leaves the drawing as it was; *result (when given) says which.
bool loadXyzFile(DrawingModel &model, const std::string &path, int layer, double zMin, double zMax,
                 std::size_t limit = xyzPointLimit, XyzReadResult *result = nullptr);

// What the user is told when loading fileName ended with result (empty for Ok).
QString xyzLoadMessage(XyzReadResult result, const QString &fileName, std::size_t limit);

} // namespace exchange
