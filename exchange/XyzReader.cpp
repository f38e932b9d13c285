// The XYZ point import and TTarvikCanvas::XYZLoad.
#include "exchange/XyzReader.h"

#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <locale.h>
#include <memory>
#include <new>
#include <unistd.h>

TColor DepthColorRamp(double value, double minimum, double maximum) {
  double span = maximum - minimum;
  if (!(span > 0))
    span = 1;
  double t = (value - minimum) / span;
  if (std::isinf(span) && std::isfinite(minimum) && std::isfinite(maximum))
    t = (value / 2 - minimum / 2) / (maximum / 2 - minimum / 2); // a range wider than a double
  // A NaN would fall through every band test below into an undefined conversion.
  if (!(t >= 0))
    t = 0;
  if (t > 1)
    t = 1;
  auto channel = [](double f) { return static_cast<TColor>(static_cast<int>(255.0 * f) % 256); };
  TColor r, g, b;
  if (t < 0.25) {
    r = 255, g = channel(t / 0.25), b = 0;
  } else if (t < 0.5) {
    r = channel(1 - (t - 0.25) / 0.25), g = 255, b = 0;
  } else if (t < 0.75) {
    r = 0, g = 255, b = channel((t - 0.5) / 0.25);
  } else {
    r = 0, g = channel(1 - (t - 0.75) / 0.25), b = 255;
  }
  return r + g * 256 + b * 65536;
}

namespace exchange {

namespace {

constexpr std::size_t kChunk = std::size_t{64} << 10;

// What the classic stream extraction skips, and the comma that the format turns into a blank.
bool separator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ',';
}

bool digit(char c) { return c >= '0' && c <= '9'; }

// A value beyond a double's range, read the way the stream extraction reads it: too large
// fails, too small is 0 or a denormal.
bool outOfRangeValue(const char *first, const char *last, double &v) {
  static const locale_t classic = ::newlocale(LC_NUMERIC_MASK, "C", nullptr);
  const std::string token(first, last);
  v = ::strtod_l(token.c_str(), nullptr, classic);
  return std::isfinite(v);
}

// One number as the stream extraction in the classic locale reads it: blanks first, an optional
// sign, digits with at most one point and an exponent. Unlike from_chars alone it refuses
// "inf", "nan" and an exponent without digits, and takes a leading "+".
bool readNumber(const char *&p, const char *end, double &v) {
  while (p < end && separator(*p))
    ++p;
  const char *q = p;
  if (q < end && (*q == '+' || *q == '-'))
    ++q;
  if (q == end || !(digit(*q) || *q == '.'))
    return false;
  const char *first = *p == '+' ? p + 1 : p;
  const auto r = std::from_chars(first, end, v, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument)
    return false;
  if (r.ptr < end && (*r.ptr == 'e' || *r.ptr == 'E'))
    return false;
  if (r.ec == std::errc::result_out_of_range && !outOfRangeValue(first, r.ptr, v))
    return false;
  p = r.ptr;
  return true;
}

} // namespace

bool parseXyzLine(std::string_view line, double &x, double &y, double &z) {
  if (line.empty() || line.front() == '#' || line.front() == ';')
    return false;
  const char *p = line.data();
  const char *end = p + line.size();
  double a, b, c;
  if (!readNumber(p, end, a) || !readNumber(p, end, b) || !readNumber(p, end, c))
    return false;
  x = a;
  y = b;
  z = c;
  return true;
}

namespace {

// Every usable line of what read(buffer, size) hands out: bytes, 0 at the end, -1 on an error.
template <class Read>
XyzReadResult readXyzLines(Read &&read, XyzPoints &points, std::size_t limit) {
  bool tooMany = false;
  auto take = [&](std::string_view line) {
    double x, y, z;
    if (!parseXyzLine(line, x, y, z))
      return;
    if (points.size() >= limit) {
      tooMany = true;
      return;
    }
    points.X.push_back(x);
    points.Y.push_back(y);
    points.Z.push_back(z);
  };

  std::unique_ptr<char[]> buf(new char[kChunk]);
  std::string carry;     // the start of a line that goes on in the next chunk
  bool dropping = false; // inside a line longer than the limit
  long got = 0;
  while (!tooMany && (got = read(buf.get(), kChunk)) > 0) {
    const char *p = buf.get();
    const char *end = p + got;
    while (p < end && !tooMany) {
      const auto *nl = static_cast<const char *>(std::memchr(p, '\n', std::size_t(end - p)));
      const char *stop = nl ? nl : end;
      const auto length = std::size_t(stop - p);
      if (!dropping) {
        if (carry.size() + length > xyzLineLimit) {
          dropping = true;
          carry.clear();
        } else if (!nl) {
          carry.append(p, length);
        } else if (!carry.empty()) {
          carry.append(p, length);
          take(carry);
          carry.clear();
        } else {
          take(std::string_view(p, length));
        }
      }
      if (nl)
        dropping = false;
      p = nl ? nl + 1 : end;
    }
  }
  if (tooMany)
    return XyzReadResult::TooMany;
  if (got < 0)
    return XyzReadResult::Unreadable;
  if (!dropping && !carry.empty())
    take(carry); // the last line has no line feed
  if (tooMany)
    return XyzReadResult::TooMany;
  return points.size() > 0 ? XyzReadResult::Ok : XyzReadResult::NoPoints;
}

} // namespace

XyzReadResult readXyzPoints(std::istream &in, XyzPoints &points, std::size_t limit) {
  return readXyzLines(
      [&in](char *dst, std::size_t n) -> long {
        const auto got = static_cast<long>(in.read(dst, static_cast<std::streamsize>(n)).gcount());
        return got == 0 && in.bad() ? -1 : got;
      },
      points, limit);
}

XyzGrid detectXyzGrid(const XyzPoints &points) {
  const std::size_t n = points.size();
  if (n <= 10)
    return {};
  const std::size_t m = std::min<std::size_t>(n, 1000);
  const std::vector<double> &X = points.X;
  const std::vector<double> &Y = points.Y;

  // The smallest steps among each point's next 49 neighbours in file order; repeated points
  // (differences of 1e-9 or less) do not count.
  double dxMin = 1e30, dyMin = 1e30;
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = i + 1; j < m && j < i + 50; ++j) {
      const double dx = std::fabs(X[j] - X[i]);
      const double dy = std::fabs(Y[j] - Y[i]);
      if (dx > 1e-9 && dx < dxMin)
        dxMin = dx;
      if (dy > 1e-9 && dy < dyMin)
        dyMin = dy;
    }
  }
  if (!(dxMin < 1e20) || !(dyMin < 1e20) || !(dxMin > 0) || !(dyMin > 0))
    return {};

  // Regular when most distances to the next 9 neighbours are whole multiples of the steps. The
  // limit is looked at before each point only, so the tests may end a little above 100.
  int matches = 0, tests = 0;
  auto test = [&](double d, double step) {
    if (d <= 1e-9)
      return;
    const double r = d / step;
    if (std::fabs(r - std::floor(r + 0.5)) < 0.1)
      ++matches;
    ++tests;
  };
  for (std::size_t i = 0; i < m && tests < 100; ++i) {
    for (std::size_t j = i + 1; j < m && j < i + 10; ++j) {
      test(std::fabs(X[j] - X[i]), dxMin);
      test(std::fabs(Y[j] - Y[i]), dyMin);
    }
  }
  if (tests == 0 || matches * 100 / tests < 80)
    return {};
  return {true, dxMin, dyMin};
}

std::size_t addXyzShapes(DrawingModel &model, const XyzPoints &points, int layer, double zMin,
                         double zMax) {
  const std::size_t n = points.size();
  if (n == 0)
    return 0;
  double lo = zMin, hi = zMax;
  if (zMin == 0 && zMax == 0) {
    const auto [minIt, maxIt] = std::minmax_element(points.Z.begin(), points.Z.end());
    lo = *minIt;
    hi = *maxIt;
  }
  const XyzGrid grid = detectXyzGrid(points);
  model.Shapes.reserve(std::size_t(model.Shapes.size()) + n);
  std::size_t added = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = points.X[i], y = points.Y[i], z = points.Z[i];
    const TColor colour = DepthColorRamp(z, lo, hi);
    if (grid.found) {
      auto square = std::make_unique<TQRectangle>(x - grid.dx / 2, y - grid.dy / 2, x + grid.dx / 2,
                                                  y + grid.dy / 2, z, layer);
      square->PenFg = colour;
      square->BrushFg = colour;
      square->BrushStyle = bsSolid;
      square->PenWidth = 0;
      model.appendShape(std::move(square));
    } else {
      // Built with the default pixel size, whose bounds it keeps: the fit leaves room around it.
      auto point = std::make_unique<TQPoint>(x, y, z, layer);
      point->PenFg = colour;
      point->PenWidth = 0;
      point->PixelSize = 1;
      model.appendShape(std::move(point));
    }
    ++added;
  }
  return added;
}

bool loadXyzFile(DrawingModel &model, const std::string &path, int layer, double zMin, double zMax,
                 std::size_t limit, XyzReadResult *result) {
  XyzReadResult dummy;
  XyzReadResult &why = result ? *result : dummy;
  XyzPoints points;
  {
    // A named pipe or a device (/dev/zero) would hold the reading for ever: only plain files.
    bool notRegular = false;
    const int fd = platform::openRegularFileForReading(path, &notRegular);
    if (fd < 0) {
      why = notRegular ? XyzReadResult::NotRegularFile : XyzReadResult::Unreadable;
      return false;
    }
    struct Closer {
      int fd;
      ~Closer() { ::close(fd); }
    } closer{fd};
    why = readXyzLines(
        [fd](char *dst, std::size_t n) -> long {
          for (;;) {
            const ssize_t got = ::read(fd, dst, n);
            if (got >= 0 || errno != EINTR)
              return static_cast<long>(got);
          }
        },
        points, limit);
    if (why != XyzReadResult::Ok)
      return false;
  }
  std::size_t added = 0;
  try {
    added = addXyzShapes(model, points, layer, zMin, zMax);
  } catch (const std::bad_alloc &) {
    // The shapes added so far stay.
    why = XyzReadResult::OutOfMemory;
    model.BackBufferDirty = true;
    return false;
  }
  if (added == 0)
    return false;
  model.BackBufferDirty = true;
  model.WorldExtents();
  return true;
}

QString xyzLoadMessage(XyzReadResult result, const QString &fileName, std::size_t limit) {
  switch (result) {
  case XyzReadResult::Ok:
    return {};
  case XyzReadResult::NoPoints:
    return QStringLiteral("XYZ load failed: no line of %1 holds three numbers").arg(fileName);
  case XyzReadResult::TooMany:
    return QStringLiteral("XYZ load failed: %1 holds more than %2 points, the most one import "
                          "takes")
        .arg(fileName)
        .arg(limit);
  case XyzReadResult::NotRegularFile:
    return QStringLiteral("XYZ load failed: %1: %2")
        .arg(fileName, QString::fromLatin1(platform::notRegularFileReason));
  case XyzReadResult::OutOfMemory:
    return QStringLiteral("XYZ load failed: not enough memory for the points of %1").arg(fileName);
  case XyzReadResult::Unreadable:
    break;
  }
  return QStringLiteral("XYZ load failed: %1 could not be read").arg(fileName);
}

} // namespace exchange

bool TTarvikCanvas::XYZLoad(const QString &fileName, int layer, double zMin, double zMax) {
  exchange::XyzReadResult result = exchange::XyzReadResult::Unreadable;
  bool ok = false;
  try {
    ok = exchange::loadXyzFile(*this, platform::localPath(fileName), layer, zMin, zMax,
                               exchange::xyzPointLimit, &result);
  } catch (const std::bad_alloc &) {
    result = exchange::XyzReadResult::OutOfMemory;
  } catch (const std::exception &) {
    result = exchange::XyzReadResult::Unreadable;
  }
  if (!ok)
    platform::ShowMessage(exchange::xyzLoadMessage(result, fileName, exchange::xyzPointLimit));
  return ok;
}
