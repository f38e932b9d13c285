// The sounding file reader's line patterns, the geographic-free parts of reading, and the exact
// bytes of the edited copy.
#include "editor/Soundings.h"

#include "support/TestSupport.h"

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>

namespace {

struct LineCase {
  const char *line;
  bool accepted;
  double x, y, z;
};

class SoundingLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SoundingLine, ReadsLikeTheScanningPatterns) {
  const LineCase &c = GetParam();
  strPoint p;
  ASSERT_EQ(parseSoundingLine(c.line, p), c.accepted) << c.line;
  if (c.accepted) {
    EXPECT_DOUBLE_EQ(p.X, c.x);
    EXPECT_DOUBLE_EQ(p.Y, c.y);
    EXPECT_DOUBLE_EQ(p.Z, c.z);
    EXPECT_EQ(p.selected + p.processed + p.deleted, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, SoundingLine,
    ::testing::Values(
        LineCase{"500000.12,4400000.5,-12.3", true, 500000.12, 4400000.5, -12.3},
        LineCase{"1;2;3", true, 1, 2, 3}, LineCase{"1\t2\t3", true, 1, 2, 3},
        LineCase{"1 2 3", true, 1, 2, 3}, LineCase{"1, 2, 3", true, 1, 2, 3},
        LineCase{"1 \t 2\t\t3", true, 1, 2, 3}, LineCase{"  1,2,3\r", true, 1, 2, 3},
        LineCase{"1,2,3,4", true, 1, 2, 3}, LineCase{"+1.,-.5,2e2 trailing", true, 1, -0.5, 200},
        // glibc's scanning takes an exponent letter without digits and reads the number before it
        LineCase{"1e,2,3", true, 1, 2, 3}, LineCase{"Easting,Northing,Elevation", false, 0, 0, 0},
        LineCase{"", false, 0, 0, 0}, LineCase{"1 ,2 ,3", false, 0, 0, 0},
        LineCase{"1,5 2,5 3,5", false, 0, 0, 0}, LineCase{"1,2", false, 0, 0, 0},
        LineCase{"1;2,3", false, 0, 0, 0},
        // not finite, hexadecimal or out of range: unreadable, never a sounding
        LineCase{"nan,2,3", false, 0, 0, 0}, LineCase{"1,inf,3", false, 0, 0, 0},
        LineCase{"1 2 -infinity", false, 0, 0, 0}, LineCase{"0x10,2,3", false, 0, 0, 0},
        LineCase{"1,2,1e999", false, 0, 0, 0}, LineCase{".,1,2", false, 0, 0, 0}));

TEST(SoundingFile, SimpleXyzFileLoadsWithItsHeaderSkipped) {
  testsupport::TempDir dir;
  const std::string path = dir.file("2024-05-01 Simple XYZ.csv");
  testsupport::writeFile(path, "Easting,Northing,Elevation\r\n500000.00,4400000.00,-5.20\r\n"
                               "500001.00,4400001.00,-5.30\r\n\r\n500002.00,4400002.00,-5.40");
  SoundingList points;
  readXyzFile(QString::fromStdString(path), points);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_DOUBLE_EQ(points[2].Z, -5.4);
  SoundingList none;
  readXyzFile(QString::fromStdString(dir.file("missing.txt")), none);
  EXPECT_TRUE(none.empty());
}

TEST(SoundingFile, ReadsLinesAcrossItsChunks) {
  std::string text;
  for (int i = 0; i < 60000; ++i)
    text += std::to_string(i) + ".25," + std::to_string(i) + ",-1.5\n";
  testsupport::TempDir dir;
  testsupport::writeFile(dir.file("big.txt"), text);
  SoundingList points;
  readXyzFile(QString::fromStdString(dir.file("big.txt")), points);
  ASSERT_EQ(points.size(), 60000u);
  for (std::size_t i = 0; i < points.size(); ++i)
    ASSERT_DOUBLE_EQ(points[i].X, double(i) + 0.25);
}

TEST(SoundingFile, EditedCopyHoldsTheLivePointsInFixedNotation) {
  SoundingList points = {
      {500000.126, 4400000.5, -12.345, 0, 0, 0}, {1, 2, 3, 0, 0, 1}, {-0.5, 2.25, 1000, 1, 1, 0}};
  testsupport::TempDir dir;
  const QString out = editedFileName(QString::fromStdString(dir.file("a.txt")));
  EXPECT_TRUE(out.endsWith("a.txt_edited.txt"));
  ASSERT_TRUE(writeSoundings(out, points, false));
  EXPECT_EQ(testsupport::readFile(out.toStdString()),
            "500000.13\t4400000.50\t-12.35\r\n-0.50\t2.25\t1000.00\r\n");
  ASSERT_TRUE(writeSoundings(out, points, true));
  EXPECT_EQ(testsupport::readFile(out.toStdString()),
            "500000.12600000\t4400000.50000000\t-12.35\r\n"
            "-0.50000000\t2.25000000\t1000.00\r\n");
  for (strPoint &p : points)
    p.deleted = 1;
  ASSERT_TRUE(writeSoundings(out, points, false));
  EXPECT_EQ(testsupport::readFile(out.toStdString()), "");
  EXPECT_FALSE(
      writeSoundings(QString::fromStdString(dir.file("no/such/folder/x.txt")), points, false));
}

TEST(SoundingFile, ProgressIsReportedABoundedNumberOfTimes) {
  SoundingList points(100000, strPoint{1, 2, 3});
  testsupport::TempDir dir;
  int calls = 0;
  ASSERT_TRUE(writeSoundings(QString::fromStdString(dir.file("p.txt")), points, false,
                             [&](std::size_t) { ++calls; }));
  EXPECT_GT(calls, 0);
  EXPECT_LE(calls, 60);
}

// A saved copy reopens whatever locale the C library and the user run with.
class SoundingFileLocale : public ::testing::TestWithParam<const char *> {};

TEST_P(SoundingFileLocale, SavedCopyReopens) {
  const char *name = GetParam();
  const std::string old = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, name))
    FAIL() << name << " is not installed (scripts/install-deps installs the locales)";
  const QLocale oldQt;
  QLocale::setDefault(QLocale(QString::fromLatin1(name).section('.', 0, 0)));
  SoundingList points = {
      {500000.25, 4400000.75, -3.5}, {500001.5, 4400001.25, -4.25}, {500002.75, 4400002.5, -5.125}};
  testsupport::TempDir dir;
  const QString path = editedFileName(QString::fromStdString(dir.file("line.txt")));
  const bool written = writeSoundings(path, points, false);
  SoundingList again;
  readXyzFile(path, again);
  std::setlocale(LC_ALL, old.c_str());
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(oldQt);
  ASSERT_TRUE(written);
  ASSERT_EQ(again.size(), 3u);
  EXPECT_DOUBLE_EQ(again[0].X, 500000.25);
  EXPECT_DOUBLE_EQ(again[2].Z, -5.12); // an exact tie rounds to even, as printf does
}

INSTANTIATE_TEST_SUITE_P(Locales, SoundingFileLocale,
                         ::testing::Values("tr_TR.UTF-8", "de_DE.UTF-8"));

} // namespace
