// The XYZ point import: reading lines as the classic stream extraction does, the colour ramp,
// the grid test, the shapes it makes, and the files it refuses without touching the drawing.
#include "canvas/TarvikCanvas.h"
#include "exchange/XyzReader.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testsupport::TempDir;

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb &) const = default;
};
std::ostream &operator<<(std::ostream &os, const Rgb &c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}
Rgb rgbOf(TColor c) { return {int(GetRValue(c)), int(GetGValue(c)), int(GetBValue(c))}; }

const Rgb red{255, 0, 0}, yellow{255, 255, 0}, lime{0, 255, 0}, aqua{0, 255, 255}, blue{0, 0, 255};

std::string pointsText(const std::vector<std::array<double, 3>> &points) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(17);
  for (const auto &p : points)
    out << p[0] << ' ' << p[1] << ' ' << p[2] << '\n';
  return out.str();
}

// Points of a grid listed row by row, x growing along a row.
std::vector<std::array<double, 3>> gridPoints(int count, int perRow, double x0, double y0,
                                              double dx, double dy) {
  std::vector<std::array<double, 3>> points;
  for (int i = 0; i < count; ++i)
    points.push_back({x0 + dx * (i % perRow), y0 + dy * (i / perRow), double(i)});
  return points;
}

exchange::XyzPoints parsed(const std::vector<std::array<double, 3>> &points) {
  exchange::XyzPoints p;
  for (const auto &[x, y, z] : points) {
    p.X.push_back(x);
    p.Y.push_back(y);
    p.Z.push_back(z);
  }
  return p;
}

// ---- The colour ramp

TEST(XyzColorRamp, ReferenceColoursAlongTheRamp) {
  struct Case {
    double value;
    Rgb colour;
  };
  const Case cases[] = {
      {0, red},
      {1, {255, 127, 0}},
      {2, yellow},
      {3, {127, 255, 0}},
      {4, lime},
      {5, {0, 255, 127}},
      {6, aqua},
      {7, {0, 127, 255}},
      {8, blue},
      {-3, red},
      {15, blue},
      {1.9999, {255, 254, 0}},
      {2.0001, {254, 255, 0}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(rgbOf(DepthColorRamp(c.value, 0, 8)), c.colour) << c.value;
  // Red in the low byte, then green, then blue.
  EXPECT_EQ(DepthColorRamp(0, 0, 8), 0x0000FFu);
  EXPECT_EQ(DepthColorRamp(8, 0, 8), 0xFF0000u);
}

TEST(XyzColorRamp, RangesOfNoWidthAndBrokenValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // A range of no width, or reversed, counts as 1 wide from its minimum.
  EXPECT_EQ(rgbOf(DepthColorRamp(5.5, 5, 5)), lime);
  EXPECT_EQ(rgbOf(DepthColorRamp(5, 5, 5)), red);
  EXPECT_EQ(rgbOf(DepthColorRamp(10.25, 10, 0)), yellow);
  // Nothing here may reach an undefined conversion.
  EXPECT_EQ(rgbOf(DepthColorRamp(nan, 0, 10)), red);
  EXPECT_EQ(rgbOf(DepthColorRamp(1, nan, 10)), red);
  EXPECT_EQ(rgbOf(DepthColorRamp(1, 0, nan)), blue);
  EXPECT_EQ(rgbOf(DepthColorRamp(inf, 0, 10)), blue);
  EXPECT_EQ(rgbOf(DepthColorRamp(1, -inf, inf)), red);
  // A range wider than a double can hold still has its middle.
  EXPECT_EQ(rgbOf(DepthColorRamp(0, -1e308, 1e308)), lime);
}

// ---- Reading lines

TEST(XyzRead, LinesReadAsTheClassicStreamExtractionReadsThem) {
  struct Case {
    std::string line;
    bool ok;
    double x, y, z;
  };
  const Case cases[] = {
      {"1 2 3", true, 1, 2, 3},
      {"1,2,3", true, 1, 2, 3},
      {"1\t2\t3", true, 1, 2, 3},
      {"  512000.25, 4541000.75 ,  -12.5  ", true, 512000.25, 4541000.75, -12.5},
      {"1 2 3 4 and more", true, 1, 2, 3},
      {"1 2 3\r", true, 1, 2, 3},
      {"+1 -2 .5", true, 1, -2, 0.5},
      {"1e3 2E-1 3.", true, 1000, 0.2, 3},
      {"1-2 3", true, 1, -2, 3},
      {"1..5 2", true, 1, 0.5, 2},
      {"1 2 1e-400", true, 1, 2, 0},
      // A file written with decimal commas is misread: the commas separate.
      {"1,5 2,5 3,5", true, 1, 5, 2},
      {"1;2;3", false, 0, 0, 0},
      {"x y z", false, 0, 0, 0},
      {"1 2", false, 0, 0, 0},
      {"#1 2 3", false, 0, 0, 0},
      {";1 2 3", false, 0, 0, 0},
      {"", false, 0, 0, 0},
      {" # 1 2 3", false, 0, 0, 0},
      {"- 1 2 3", false, 0, 0, 0},
      {"+-1 2 3", false, 0, 0, 0},
      {"0x10 1 2", false, 0, 0, 0},
      {"1 2 3e", false, 0, 0, 0},
      {"1 2 3e+", false, 0, 0, 0},
      // Not finite, or beyond a double: refused.
      {"nan 1 2", false, 0, 0, 0},
      {"1 inf 2", false, 0, 0, 0},
      {"1 2 -infinity", false, 0, 0, 0},
      {"1 2 1e999", false, 0, 0, 0},
      {"-1e400 2 3", false, 0, 0, 0},
      {"1 2 " + std::string(400, '9'), false, 0, 0, 0},
  };
  for (const Case &c : cases) {
    double x = -7, y = -7, z = -7;
    EXPECT_EQ(exchange::parseXyzLine(c.line, x, y, z), c.ok) << "'" << c.line << "'";
    if (c.ok) {
      EXPECT_EQ(x, c.x) << c.line;
      EXPECT_EQ(y, c.y) << c.line;
      EXPECT_EQ(z, c.z) << c.line;
    }
  }
}

TEST(XyzRead, FileLinesEndInLfOrCrLfAndTheLastNeedsNoEnd) {
  std::istringstream in("# x y z\r\n1 2 3\r\n\r\n4,5,6\n;skip 1 2 3\n7\t8\t9");
  exchange::XyzPoints p;
  ASSERT_EQ(exchange::readXyzPoints(in, p), exchange::XyzReadResult::Ok);
  EXPECT_EQ(p.X, (std::vector<double>{1, 4, 7}));
  EXPECT_EQ(p.Y, (std::vector<double>{2, 5, 8}));
  EXPECT_EQ(p.Z, (std::vector<double>{3, 6, 9}));
}

TEST(XyzRead, OverlongLinesAreSkippedAndChunkBordersDoNotMatter) {
  // Lines of every length around the borders of the chunks the reader reads, and some too long
  // to keep.
  std::string text;
  std::vector<double> expectedZ;
  for (int i = 0; text.size() < 3u << 20; ++i) {
    const std::string line = "1 2 " + std::to_string(i) + std::string(i % 977, ' ');
    text += line + "\n";
    expectedZ.push_back(i);
  }
  text += std::string(exchange::xyzLineLimit + 10, ' ') + "1 1 1\n";
  text += "5 5 5 " + std::string(3 * exchange::xyzLineLimit, 'x') + "\n";
  text += "8 8 8";
  expectedZ.push_back(8);
  std::istringstream in(text);
  exchange::XyzPoints p;
  ASSERT_EQ(exchange::readXyzPoints(in, p), exchange::XyzReadResult::Ok);
  EXPECT_EQ(p.Z, expectedZ);
}

TEST(XyzRead, MorePointsThanTheLimitAreRefused) {
  exchange::XyzPoints p;
  std::istringstream atLimit("1 1 1\n2 2 2\n3 3 3\n");
  EXPECT_EQ(exchange::readXyzPoints(atLimit, p, 3), exchange::XyzReadResult::Ok);
  p = {};
  std::istringstream beyond("1 1 1\n2 2 2\n3 3 3\n4 4 4");
  EXPECT_EQ(exchange::readXyzPoints(beyond, p, 3), exchange::XyzReadResult::TooMany);
  p = {};
  std::istringstream none("x\n# 1 2 3\n\n");
  EXPECT_EQ(exchange::readXyzPoints(none, p), exchange::XyzReadResult::NoPoints);
}

// ---- The grid test

TEST(XyzGrid, ElevenPointsOnAGridFormOneTenDoNot) {
  const auto points = gridPoints(11, 4, 100, 200, 5, 10);
  const exchange::XyzGrid eleven = exchange::detectXyzGrid(parsed(points));
  EXPECT_TRUE(eleven.found);
  EXPECT_EQ(eleven.dx, 5);
  EXPECT_EQ(eleven.dy, 10);
  EXPECT_FALSE(exchange::detectXyzGrid(parsed(gridPoints(10, 4, 100, 200, 5, 10))).found);
}

TEST(XyzGrid, WhatFormsAGridAndWhatDoesNot) {
  struct Case {
    const char *what;
    std::vector<std::array<double, 3>> points;
    bool found;
    double dx = 0, dy = 0;
  };
  std::vector<std::array<double, 3>> row, line, random, doubled, columns, rotated;
  for (int i = 0; i < 30; ++i) {
    row.push_back({10.0 * i, 5, 1});
    line.push_back({3.0 * i, 7.0 * i, 1});
    // Spread without any common step.
    random.push_back({std::fmod(i * 7919.123, 1000.0), std::fmod(i * 104729.457, 700.0), 1});
  }
  for (const auto &p : gridPoints(20, 5, 0, 0, 2, 4)) {
    doubled.push_back(p);
    doubled.push_back(p);
  }
  for (int i = 0; i < 20; ++i) // column by column
    columns.push_back({50.0 * (i / 5), 25.0 * (i % 5), 1});
  for (const auto &p : gridPoints(40, 8, 0, 0, 10, 10)) { // turned by 30 degrees
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    rotated.push_back({p[0] * c - p[1] * s, p[0] * s + p[1] * c, 1});
  }
  const Case cases[] = {
      {"one row: no step in y", row, false},
      {"evenly along a line", line, true, 3, 7},
      {"random", random, false},
      {"every point twice", doubled, true, 2, 4},
      {"column by column", columns, true, 50, 25},
      {"rotated", rotated, false},
  };
  for (const Case &c : cases) {
    const exchange::XyzGrid g = exchange::detectXyzGrid(parsed(c.points));
    EXPECT_EQ(g.found, c.found) << c.what;
    if (c.found) {
      EXPECT_NEAR(g.dx, c.dx, 1e-9) << c.what;
      EXPECT_NEAR(g.dy, c.dy, 1e-9) << c.what;
    }
  }
}

TEST(XyzGrid, LooksOnlyAtTheFirstThousandPoints) {
  // A grid whose later points fall off it is still a grid: the sample is the first 1000.
  auto points = gridPoints(1000, 40, 0, 0, 1, 1);
  for (int i = 0; i < 5000; ++i)
    points.push_back({std::fmod(i * 0.7311, 97.0), std::fmod(i * 0.5237, 89.0), 0});
  EXPECT_TRUE(exchange::detectXyzGrid(parsed(points)).found);
}

// ---- The shapes

TEST(XyzShapes, GridPointsBecomeFilledSquaresCentredOnThePoints) {
  DrawingModel m;
  const auto points = gridPoints(11, 4, 100, 200, 5, 10);
  ASSERT_EQ(exchange::addXyzShapes(m, parsed(points), 3, 0, 10), 11u);
  ASSERT_EQ(m.ShapeCount, 11);
  for (int i = 0; i < 11; ++i) {
    auto *r = dynamic_cast<const TQRectangle *>(m.Shapes[i]);
    ASSERT_NE(r, nullptr) << i;
    const auto &[x, y, z] = points[i];
    EXPECT_EQ(r->ShapeNumber, i + 1);
    EXPECT_EQ(r->ShapeType, 1);
    EXPECT_EQ(r->Layer, 3);
    EXPECT_EQ((std::array<double, 4>{r->X1, r->Y1, r->X2, r->Y2}),
              (std::array<double, 4>{x - 2.5, y - 5, x + 2.5, y + 5}));
    EXPECT_EQ(r->Value, z);
    const TColor c = DepthColorRamp(z, 0, 10);
    EXPECT_EQ(r->PenFg, c);
    EXPECT_EQ(r->BrushFg, c);
    EXPECT_EQ(r->BrushStyle, bsSolid);
    EXPECT_EQ(r->PenWidth, 0);
    EXPECT_FALSE(r->Rounded);
    EXPECT_EQ(r->CornerRadius, 10.0);
    EXPECT_TRUE(r->Visible);
    EXPECT_FALSE(r->Selected);
    EXPECT_EQ((std::array<double, 4>{r->MinX, r->MinY, r->MaxX, r->MaxY}),
              (std::array<double, 4>{x - 2.5, y - 5, x + 2.5, y + 5}));
  }
  // z 10 clamps to blue at the top of the given range.
  EXPECT_EQ(rgbOf(m.Shapes[10]->PenFg), blue);
}

TEST(XyzShapes, OtherPointsBecomeOnePixelPointsKeepingTheirWideBounds) {
  DrawingModel m;
  const auto points = gridPoints(10, 4, 100, 200, 5, 10);
  ASSERT_EQ(exchange::addXyzShapes(m, parsed(points), 0, 0, 0), 10u);
  for (int i = 0; i < 10; ++i) {
    auto *p = dynamic_cast<const TQPoint *>(m.Shapes[i]);
    ASSERT_NE(p, nullptr) << i;
    const auto &[x, y, z] = points[i];
    EXPECT_EQ(p->ShapeType, 17);
    EXPECT_EQ(p->X, x);
    EXPECT_EQ(p->Y, y);
    EXPECT_EQ(p->Size, z);
    EXPECT_EQ(p->PixelSize, 1);
    EXPECT_EQ(p->PenWidth, 0);
    EXPECT_EQ(p->PenFg, DepthColorRamp(z, 0, 9));
    EXPECT_EQ((std::array<double, 4>{p->MinX, p->MinY, p->MaxX, p->MaxY}),
              (std::array<double, 4>{x - 3, y - 3, x + 3, y + 3}));
  }
}

TEST(XyzShapes, AutomaticRangeColoursSmallestRedAndLargestBlue) {
  struct Case {
    std::vector<double> z;
    double zMin, zMax;
    std::vector<Rgb> colours;
  };
  const Case cases[] = {
      {{0, 5, 10}, 0, 0, {red, lime, blue}},      {{10, 5, 0}, 0, 0, {blue, lime, red}},
      {{-20, -15, -10}, 0, 0, {red, lime, blue}}, {{4, 4, 4}, 0, 0, {red, red, red}},
      {{15, -3, 5}, 0, 10, {blue, red, lime}},    {{5, 5.5, 6}, 5, 5, {red, lime, blue}},
  };
  for (const Case &c : cases) {
    DrawingModel m;
    exchange::XyzPoints p;
    for (std::size_t i = 0; i < c.z.size(); ++i) {
      p.X.push_back(double(i));
      p.Y.push_back(0);
      p.Z.push_back(c.z[i]);
    }
    exchange::addXyzShapes(m, p, 0, c.zMin, c.zMax);
    std::vector<Rgb> got;
    for (const TQShape *s : m.Shapes)
      got.push_back(rgbOf(s->PenFg));
    EXPECT_EQ(got, c.colours) << c.z[0] << " " << c.zMin << " " << c.zMax;
  }
}

// ---- The canvas operation

class XyzLoadTest : public ::testing::Test {
protected:
  std::string write(const std::string &name, const std::string &text) {
    const std::string path = dir_.file(name);
    testsupport::writeFile(path, text);
    return path;
  }
  bool load(const std::string &path, int layer = 0, double zMin = 0, double zMax = 0) {
    return canvas_.XYZLoad(QString::fromStdString(path), layer, zMin, zMax);
  }
  TempDir dir_;
  TTarvikCanvas canvas_;
  testsupport::ScriptedDialogs dialogs_;
};

TEST_F(XyzLoadTest, AppendsAfterExistingShapesOnTheGivenLayerAndFitsTheView) {
  canvas_.resize(400, 400);
  canvas_.DrawLine(0, 0, 1, 1, 0);
  canvas_.LayerOpen(QStringLiteral("Survey"));
  canvas_.CurrentLayer = 0;
  canvas_.BackBufferDirty = false;
  const std::string path =
      write("soundings.xyz", pointsText(gridPoints(12, 4, 512000, 4541000, 5, 10)));
  ASSERT_TRUE(load(path, 7));
  ASSERT_EQ(canvas_.ShapeCount, 13);
  EXPECT_EQ(canvas_.NextShapeNumber, 14);
  EXPECT_NE(dynamic_cast<const TQLine *>(canvas_.Shapes[0]), nullptr);
  for (int i = 1; i < 13; ++i) {
    EXPECT_EQ(canvas_.Shapes[i]->ShapeNumber, i + 1);
    EXPECT_EQ(canvas_.Shapes[i]->Layer, 7); // no layer has that index; none is made
  }
  EXPECT_EQ(canvas_.Layers.size(), 2);
  EXPECT_EQ(canvas_.CurrentLayer, 0);
  EXPECT_TRUE(canvas_.BackBufferDirty);
  // Fitted to all visible shapes: the old line and the new squares.
  EXPECT_LE(canvas_.WorldLeft, 0);
  EXPECT_GE(canvas_.WorldRight, 512017.5);
  EXPECT_GE(canvas_.WorldTop, 4541025);
}

TEST_F(XyzLoadTest, FilesWithoutPointsLeaveCanvasAndViewAsTheyWere) {
  canvas_.DrawLine(0, 0, 1, 1, 0);
  canvas_.WorldSet(-5, 20, 30, -10);
  canvas_.BackBufferDirty = false;
  struct Case {
    const char *what;
    std::string path;
    const char *says; // the message, after "XYZ load failed: " and the file's name
  };
  const Case cases[] = {
      {"missing", dir_.file("missing.xyz"), " could not be read"},
      {"folder", dir_.path(), ": Not a regular file"},
      {"empty", write("empty.xyz", ""), ""},
      {"no usable line", write("header.xyz", "x,y,z\n# 1 2 3\n;4 5 6\n1;2;3\n1 2\n\n"), ""},
      {"non-finite values only", write("nan.xyz", "nan nan nan\n1 inf 2\n1 2 1e999\n"), ""},
  };
  for (const Case &c : cases) {
    dialogs_.answer(mrOk);
    EXPECT_FALSE(load(c.path)) << c.what;
    ASSERT_FALSE(dialogs_.messages().empty()) << c.what;
    const QString name = QString::fromStdString(c.path);
    EXPECT_EQ(dialogs_.messages().back().text,
              *c.says
                  ? QStringLiteral("XYZ load failed: ") + name + QString::fromUtf8(c.says)
                  : QStringLiteral("XYZ load failed: no line of %1 holds three numbers").arg(name))
        << c.what;
    EXPECT_EQ(canvas_.ShapeCount, 1) << c.what;
    EXPECT_EQ(canvas_.NextShapeNumber, 2) << c.what;
    EXPECT_FALSE(canvas_.BackBufferDirty) << c.what;
    EXPECT_EQ((std::array<double, 4>{canvas_.WorldLeft, canvas_.WorldTop, canvas_.WorldRight,
                                     canvas_.WorldBottom}),
              (std::array<double, 4>{-5, 20, 30, -10}))
        << c.what;
  }
  // More points than the limit (a small one here; the check is the same at any size).
  const std::string huge = write("huge.xyz", "1 2 3\n4 5 6\n7 8 9\n");
  exchange::XyzReadResult why = exchange::XyzReadResult::Ok;
  EXPECT_FALSE(exchange::loadXyzFile(canvas_, huge, 0, 0, 0, 2, &why));
  EXPECT_EQ(why, exchange::XyzReadResult::TooMany);
  EXPECT_EQ(exchange::xyzLoadMessage(why, QStringLiteral("huge.xyz"), 2),
            QStringLiteral("XYZ load failed: huge.xyz holds more than 2 points, the most one "
                           "import takes"));
  EXPECT_EQ(canvas_.ShapeCount, 1);
  EXPECT_FALSE(canvas_.BackBufferDirty);
  EXPECT_EQ(canvas_.WorldLeft, -5);
  EXPECT_TRUE(exchange::loadXyzFile(canvas_, huge, 0, 0, 0, 3));
}

TEST_F(XyzLoadTest, SkipsWhatItCannotReadAndKeepsTheRest) {
  const std::string path = write("mixed.xyz", "Easting,Northing,Depth\n"
                                              "10,20,1.5\n"
                                              "10 20\n"
                                              "# 1 2 3\n"
                                              "11\t21\t2.5\r\n"
                                              "12 nan 3\n"
                                              "12 22 3.5 extra\n");
  ASSERT_TRUE(load(path));
  ASSERT_EQ(canvas_.ShapeCount, 3);
  const std::vector<double> sizes = {1.5, 2.5, 3.5};
  for (int i = 0; i < 3; ++i) {
    auto *p = dynamic_cast<const TQPoint *>(canvas_.Shapes[i]);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->X, 10 + i);
    EXPECT_EQ(p->Size, sizes[std::size_t(i)]);
  }
}

// A named pipe nobody writes to and an endless device would hold a plain read for ever: both
// are refused before the first read, with a message, and the drawing stays as it was.
TEST_F(XyzLoadTest, PipesAndDevicesAreRefusedAtOnceWithAMessage) {
  canvas_.DrawLine(0, 0, 1, 1, 0);
  const std::string fifo = dir_.file("points.xyz");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string &path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    dialogs_.answer(mrOk);
    EXPECT_FALSE(load(path)) << path;
    ASSERT_FALSE(dialogs_.messages().empty()) << path;
    EXPECT_EQ(dialogs_.messages().back().text,
              QStringLiteral("XYZ load failed: %1: Not a regular file")
                  .arg(QString::fromStdString(path)));
    exchange::XyzReadResult why = exchange::XyzReadResult::Ok;
    EXPECT_FALSE(exchange::loadXyzFile(canvas_, path, 0, 0, 0, exchange::xyzPointLimit, &why));
    EXPECT_EQ(why, exchange::XyzReadResult::NotRegularFile) << path;
  }
  EXPECT_EQ(dialogs_.messages().size(), 3u);
  EXPECT_EQ(canvas_.ShapeCount, 1);
}

} // namespace
