// Writing drawing files: the exact bytes and lines, and a save that fails without harming the
// file it was to replace.
#include "DrawingFileTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using namespace drawingfiletest;
using testsupport::TempDir;

const platform::TDateTime kMay1{2024, 5, 1, 9, 5, 7, 83};

TEST(DrawingFileWrite, NewCanvasIsMagicZlibHeaderAndTheWholeText) {
  PinnedLocalTime at(kMay1);
  TempDir dir;
  DrawingModel m;
  const std::string path = dir.file("new.zrv");
  ASSERT_EQ(m.CadSave(QString::fromStdString(path), -1), 1);
  const std::string bytes = readBytes(path);
  ASSERT_GE(bytes.size(), 6u);
  EXPECT_EQ(bytes.substr(0, 4), "ZRV1");
  // Deflate with a 32 KiB window and the default level.
  EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 0x78);
  EXPECT_EQ(static_cast<unsigned char>(bytes[5]), 0x9C);
  bool ok = false;
  const std::string text = inflateZlib(std::string_view(bytes).substr(4), &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(text, "# Tarvik Pelmora - ZRV\n"
                  "# Made by the Tarvik survey software\n"
                  "# Created on: 2024-05-01 09:05:07.08\n"
                  "#\n"
                  "WORLD 0.000000 1000.000000 0.000000 1000.000000\n"
                  "LAYER Default\n");
}

TEST(DrawingFileWrite, CreationLineKeepsTruncatedHundredths) {
  struct Case {
    platform::TDateTime at;
    const char *line;
  };
  const Case cases[] = {
      {{2024, 12, 31, 23, 59, 59, 999}, "# Created on: 2024-12-31 23:59:59.99"},
      {{2025, 1, 2, 8, 0, 0, 5}, "# Created on: 2025-01-02 08:00:00.00"},
      {{2026, 10, 9, 0, 7, 3, 10}, "# Created on: 2026-10-09 00:07:03.01"},
  };
  TempDir dir;
  for (const Case &c : cases) {
    PinnedLocalTime at(c.at);
    DrawingModel m;
    const auto lines = splitLines(savedText(m, dir.file("t.zrv")));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], c.line);
  }
}

// The record each kind of shape writes, after the header, world and layer lines.
TEST(DrawingFileWrite, ShapeRecords) {
  TempDir dir;
  DrawingModel m;
  const int grid = m.LayerOpen(QStringLiteral("Tarvik Grid"));

  const std::int32_t line = m.DrawLine(1, 2, 3.5, -4, 0);
  m.SetShapePenFg(line, 255);
  m.SetShapePenWidth(line, 2);
  // Hidden and selected shapes and hidden layers are written like the others.
  m.ShapeSelect(line, false);
  m.FindShape(line)->Visible = false;
  m.FindLayer(grid)->Visible = false;

  auto rect = std::make_unique<TQRectangle>(-1.25, 2, 3, 4e6, 7.5, grid);
  rect->PenFg = 0x00FF00;
  rect->PenWidth = 3;
  rect->BrushFg = 0xFF0000;
  rect->BrushStyle = bsCross;
  m.appendShape(std::move(rect));

  const std::int32_t text = m.TextAdd(0, QStringLiteral("Hello world"), 10, 20, 0);
  auto *t = dynamic_cast<TQText *>(m.FindShape(text));
  t->Bold = true;
  t->Angle = 30;
  t->Height = 2.5;
  t->FontName = QStringLiteral("Arial");

  const std::int32_t times = m.TextAdd(0, QString(), 0, 0, -1);
  dynamic_cast<TQText *>(m.FindShape(times))->FontName = QStringLiteral("Times New Roman");

  m.DrawCircle(5, 6, 0.5, grid);
  const std::int32_t point = m.DrawPoint(7, 8, 0);
  dynamic_cast<TQPoint *>(m.FindShape(point))->Size = 1.5;
  m.SetShapePenFg(point, 0x80000005); // a system colour

  // Vertices come out at a float's precision.
  m.DrawPolyline({{0.1, 500123.45}, {-2, 3}}, 0, false);
  const std::int32_t closed = m.DrawPolyline({{1, 1}, {2, 2}, {3, 1}}, 0, true);
  dynamic_cast<TQPolyline *>(m.FindShape(closed))->ShapeType = 5; // open code, closed flag
  auto spline = std::make_unique<TQPolyline>(8, false, 0);
  spline->AddPoint(1, 2);
  m.appendShape(std::move(spline));
  m.appendShape(std::make_unique<TQPolyline>(10, false, 0));

  auto oldEllipse = std::make_unique<TQEllipse>(0, 1, 2, 3, 0);
  oldEllipse->ShapeType = 4;
  m.appendShape(std::move(oldEllipse));
  // Neither a three-point arc nor a shape whose class does not fit its code is written.
  m.DrawThreePointArc(0, 0, 1, 1, 2, 0, 0);
  auto misfit = std::make_unique<TQLine>(0, 0, 1, 1, 0);
  misfit->ShapeType = 19;
  m.appendShape(std::move(misfit));

  const auto lines = splitLines(savedText(m, dir.file("records.zrv")));
  const std::vector<std::string> expected = {
      "WORLD 0.000000 1000.000000 0.000000 1000.000000",
      "LAYER Default",
      "LAYER Tarvik Grid",
      "LINE 1.000000 2.000000 3.500000 -4.000000 0 255 2",
      "RECTANGLE -1.250000 2.000000 3.000000 4000000.000000 1 65280 3 16711680 6 7.500000",
      "TEXT 10.000000 20.000000 0 0 0 2.500000 30.000000 1 0 Arial Hello world",
      "TEXT 0.000000 0.000000 0 -1 0 10.000000 0.000000 0 0 Times New Roman ",
      "CIRCLE 5.000000 6.000000 0.500000 1 0 1",
      "POINT 7.000000 8.000000 0 -2147483643 1 1.500000",
      "POLYLINE 0 2 0 1",
      "0.100000 500123.437500",
      "-2.000000 3.000000",
      "POLYGON 0 3 0 1",
      "1.000000 1.000000",
      "2.000000 2.000000",
      "3.000000 1.000000",
      "SPLINE 0 1 0 1",
      "1.000000 2.000000",
      "ARC3P 0 0 0 1",
      "ELLIPSE 0.000000 1.000000 2.000000 3.000000 0 0 1",
  };
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 4, lines.end()), expected);
}

TEST(DrawingFileWrite, TextsInTheAnsiCodePageAndLinesEndInLineFeedOnly) {
  TempDir dir;
  DrawingModel m;
  m.LayerOpen(QString()); // an empty name still has its separator blank
  m.LayerOpen(QStringLiteral("Şişli"));
  m.TextAdd(0, QStringLiteral("ğü€ 中"), 0, 0, 0);
  const std::string text = savedText(m, dir.file("ansi.zrv"));
  EXPECT_NE(text.find("\nLAYER \nLAYER \xDEi\xFEli\n"), std::string::npos);
  EXPECT_NE(text.find(" Arial \xF0\xFC\x80 ?\n"), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_EQ(text.back(), '\n');
}

TEST(DrawingFileWrite, NumbersIgnoreACommaDecimalLocale) {
  TempDir dir;
  for (const char *name : {"de_DE.UTF-8", "tr_TR.UTF-8"}) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, name), nullptr) << name;
    DrawingModel m;
    m.DrawLine(1234.5, -0.25, 1e6, 2, 0);
    const std::string text = savedText(m, dir.file("locale.zrv"));
    DrawingModel back;
    const bool loaded = back.CadLoad(QString::fromStdString(dir.file("locale.zrv")), -1, -1, 0);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("LINE 1234.500000 -0.250000 1000000.000000 2.000000 0 0 1\n"),
              std::string::npos)
        << name;
    ASSERT_TRUE(loaded);
    const auto *l = dynamic_cast<const TQLine *>(back.Shapes.back());
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->X1, 1234.5);
    EXPECT_EQ(l->Y1, -0.25);
  }
}

// ---- Replacing the old file

std::vector<std::string> folderEntries(const std::string &dir) {
  std::vector<std::string> names;
  for (const auto &e : std::filesystem::directory_iterator(dir))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A drawing whose compressed file is far larger than a few kilobytes.
void addNoise(DrawingModel &m, int count) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> d(-1e6, 1e6);
  for (int i = 0; i < count; ++i)
    m.DrawPoint(d(rng), d(rng), 0);
}

// Writes beyond a size fail with EFBIG while this lives, as on a full disk.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }

private:
  rlimit previous_{};
  void (*previousHandler_)(int);
};

TEST(DrawingFileWrite, AFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
  TempDir dir;
  const std::string path = dir.file("day.zrv");
  writeBytes(path, "the drawing of the day");
  DrawingModel m;
  addNoise(m, 3000);
  int result = -1;
  {
    FileSizeLimit limit(16 * 1024);
    result = m.CadSave(QString::fromStdString(path), -1);
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(readBytes(path), "the drawing of the day");
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"day.zrv"});
  // Once there is room again the same save goes through.
  EXPECT_EQ(m.CadSave(QString::fromStdString(path), -1), 1);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"day.zrv"});
  EXPECT_EQ(readBytes(path).substr(0, 4), "ZRV1");
}

TEST(DrawingFileWrite, UnwritableTargetsFailAndChangeNothing) {
  TempDir dir;
  DrawingModel m;
  const std::string folderTarget = dir.file("folder.zrv");
  std::filesystem::create_directory(folderTarget);
  EXPECT_EQ(m.CadSave(QString::fromStdString(dir.file("missing/new.zrv")), -1), 0);
  EXPECT_EQ(m.CadSave(QString::fromStdString(folderTarget), -1), 0);
  EXPECT_EQ(m.CadSave(QString(), -1), 0);
  EXPECT_TRUE(std::filesystem::is_directory(folderTarget));
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"folder.zrv"});
}

TEST(DrawingFileWrite, ReplacingKeepsPermissionsAndWritesThroughALink) {
  TempDir dir;
  const std::string real = dir.file("real.zrv");
  const std::string link = dir.file("link.zrv");
  writeBytes(real, "old");
  ::chmod(real.c_str(), 0640);
  std::filesystem::create_symlink(real, link);
  DrawingModel m;
  m.DrawLine(0, 0, 1, 1, 0);
  ASSERT_EQ(m.CadSave(QString::fromStdString(link), -1), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(readBytes(real).substr(0, 4), "ZRV1");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"link.zrv", "real.zrv"}));
}

} // namespace
