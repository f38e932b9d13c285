// The sounding file reader's line patterns, the geographic-free parts of reading, and the exact
// bytes of the edited copy.
#include "editor/Soundings.h"

#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <sys/stat.h>

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
        LineCase{"1,2,1e999", false, 0, 0, 0}, LineCase{".,1,2", false, 0, 0, 0},
        // beyond +-1e15, where no plan can be drawn: no sounding either
        LineCase{"1e308,2,3", false, 0, 0, 0}, LineCase{"1,-1e308,3", false, 0, 0, 0},
        LineCase{"1 2 1.5e15", false, 0, 0, 0},
        LineCase{"-1e15;1e15;-1e15", true, -1e15, 1e15, -1e15}));

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

// The reader takes its bytes in pieces of any size: the same input read whole, in pieces that
// split lines anywhere, or a byte at a time gives the same soundings and the same verdict.
struct LongLineCase {
  const char *name;
  std::string text;
  bool refused;
  std::size_t refusedLine;
  std::size_t soundings;
};

std::vector<LongLineCase> longLineCases() {
  const std::string longest(maxSoundingLineLength, '7');
  return {{"LongestLineIsRead", "1,2,3\n" + longest + "\n4,5,6\n", false, 0, 2},
          {"LongestLastLineIsRead", "1,2,3\r\n4,5,6\n" + longest, false, 0, 2},
          {"OneByteMoreIsRefused", "1,2,3\n" + longest + "7\n4,5,6\n", true, 2, 0},
          {"NoLineFeedAtAll", std::string(3 * maxSoundingLineLength, ','), true, 1, 0},
          {"CrLineEndsOnly",
           [] {
             std::string t;
             while (t.size() <= maxSoundingLineLength)
               t += "500000.00,4400000.00,-5.20\r";
             return t;
           }(),
           true, 1, 0}};
}

TEST(SoundingFile, ALineTooLongRefusesTheInputWhateverThePieces) {
  for (const LongLineCase &c : longLineCases()) {
    for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4096), c.text.size()}) {
      SoundingList points = {{9, 9, 9}}; // held before: a refusal keeps it
      SoundingReader reader(points);
      for (std::size_t at = 0; at < c.text.size(); at += piece)
        if (!reader.feed(std::string_view(c.text).substr(at, piece)))
          break;
      reader.finish();
      const SoundingReadSummary &read = reader.summary();
      EXPECT_EQ(read.refused, c.refused) << c.name << " in pieces of " << piece;
      EXPECT_EQ(read.refusedLine, c.refusedLine) << c.name << " in pieces of " << piece;
      EXPECT_EQ(points.size(), 1 + c.soundings) << c.name << " in pieces of " << piece;
      EXPECT_EQ(points[0], (strPoint{9, 9, 9})) << c.name;
    }
  }
}

TEST(SoundingFile, AFileWithoutLineFeedsIsRefusedAndAPipeNotWaitedFor) {
  testsupport::TempDir dir;
  const std::string path = dir.file("one line.txt");
  std::string text;
  while (text.size() < 4 * maxSoundingLineLength)
    text += "500000.00,4400000.00,-5.20 ";
  testsupport::writeFile(path, text);
  SoundingList points;
  const SoundingReadSummary read = readXyzFile(QString::fromStdString(path), points);
  EXPECT_TRUE(read.opened);
  EXPECT_TRUE(read.refused);
  EXPECT_TRUE(points.empty());
  const QString message = refusalMessage(QString::fromStdString(path), read);
  EXPECT_EQ(message, "The file \"" + QString::fromStdString(path) +
                         "\" is not a sounding file: its line 1 is longer than 65536 characters.");

  const std::string fifo = dir.file("pipe.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const SoundingReadSummary none = readXyzFile(QString::fromStdString(fifo), points);
  EXPECT_FALSE(none.opened);
  EXPECT_TRUE(points.empty());
}

// Lines with text that reads as no sounding are counted; blank lines and column titles above
// the first sounding are not.
struct SkippedCase {
  const char *text;
  std::size_t soundings, skipped, firstSkipped;
};

TEST(SoundingFile, SkippedLinesAreCounted) {
  const SkippedCase cases[] = {
      {"Easting,Northing,Elevation\r\n1,2,3\r\n\r\n  \t\r\n4,5,6\r\n", 2, 0, 0},
      {"# file\nX Y Z\n1 2 3\n", 1, 0, 0},
      {"1,2,3\nEND\n", 1, 1, 2},
      {"header\n1;2;3\n1,5 2,5 3,5\n4;5;6\n7,5 8,5 9,5\n", 2, 2, 3},
      {"1,5 2,5 3,5\n1,5 2,5 3,5\n1,5 2,5 3,5", 0, 3, 1},
      {"1,2,3\n4,5,6\n7,8", 2, 1, 3},
  };
  for (const SkippedCase &c : cases) {
    SoundingList points;
    const SoundingReadSummary read = readSoundings(c.text, points);
    EXPECT_EQ(points.size(), c.soundings) << c.text;
    EXPECT_EQ(read.skippedLines, c.skipped) << c.text;
    EXPECT_EQ(read.firstSkippedLine, c.firstSkipped) << c.text;
  }
  SoundingReadSummary one;
  one.skippedLines = 1;
  one.firstSkippedLine = 4;
  EXPECT_EQ(skippedLinesMessage(one),
            "1 line could not be read as a sounding and was skipped: line 4.");
  SoundingReadSummary none;
  EXPECT_TRUE(skippedLinesMessage(none).isEmpty());
}

// A save that fails part way (the disk fills up) leaves the earlier edited copy as it was.
TEST(SoundingFile, AFailedSaveLeavesTheEarlierCopyByteIdentical) {
  SoundingList points;
  for (int i = 0; i < 2000; ++i)
    points.push_back({500000.0 + i, 4400000.0, -5.0 - i * 0.01});
  testsupport::TempDir dir;
  const QString out = editedFileName(QString::fromStdString(dir.file("a.txt")));
  ASSERT_TRUE(writeSoundings(out, points, false));
  const std::string earlier = testsupport::readFile(out.toStdString());
  ASSERT_GT(earlier.size(), 50000u);
  points.push_back({1, 2, 3});
  SoundingWriteResult written;
  {
    const testsupport::FileSizeLimit limit(20000);
    written = writeSoundings(out, points, false);
  }
  EXPECT_FALSE(written);
  EXPECT_NE(written.error.find(out.toStdString()), std::string::npos) << written.error;
  EXPECT_TRUE(testsupport::readFile(out.toStdString()) == earlier);
  EXPECT_EQ(QDir(QString::fromStdString(dir.path())).entryList(QDir::Files).size(), 1);
}

} // namespace
