// The base station a correction stream announces, without the NTRIP window: which stations of a
// chunk are reported, and the note in the day's event log in a temporary survey root; and the
// day's RTCM parsing log that the report window saves there.
#include "positioning/NtripBaseStation.h"
#include "RtcmTestFrames.h"
#include "platform/StringList.h"
#include "platform/Time.h"
#include "positioning/RtcmReportFile.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using namespace rtcmtest;

class NtripBaseStationDay : public ::testing::Test {
protected:
  NtripBaseStationDay() : rootEnv("TARVIK_SURVEY_ROOT", (root.path() + "/").c_str()) {
    clock.zoneOffsetMinutes = 180;
    clock.standardOffsetMinutes = 180;
    clock.setLocal({2026, 7, 14, 9, 5, 7, 0});
  }
  std::string logFolder() const { return root.path() + "/2026-07-14/LOG"; }

  testsupport::TempDir root;
  testsupport::EnvVar rootEnv;
  platform::ManualClock clock;
  platform::ScopedClock clockScope{clock};
};

TEST(NtripBaseStation, AStationIsReportedOnceUntilItChanges) {
  NtripBaseStation last;
  const Station base = washingtonStation();
  const std::string f = stationFrame(base);
  // Two frames of the same station in one chunk, behind another message: one report.
  std::vector<NtripBaseStation> found = newBaseStations(last, frame(numberPayload(1077)) + f + f);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].Id, 2003);
  EXPECT_EQ(baseStationLogLine(found[0]), "Base #2003: 38.80475943, -77.06477360, 114.56m");
  EXPECT_EQ(last.Id, 2003);

  // Half the threshold, a cut frame and a station at the earth's centre report nothing.
  Station nudged = base;
  nudged.z += 0.5; // about 0.000004 degree of latitude
  found = newBaseStations(last, stationFrame(nudged) + f.substr(0, f.size() - 1) +
                                    stationFrame(Station{}));
  EXPECT_TRUE(found.empty());
  // A height change alone is no new station; a moved or renumbered one is.
  Station higher = base;
  higher.x *= 1.00001;
  higher.y *= 1.00001;
  higher.z *= 1.00001;
  EXPECT_TRUE(newBaseStations(last, stationFrame(higher)).empty());
  Station moved = base;
  moved.z += 5; // about 0.00004 degree
  Station other = base;
  other.id = 12;
  found = newBaseStations(last, stationFrame(moved) + stationFrame(other));
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].Id, 2003);
  EXPECT_EQ(found[1].Id, 12);
  EXPECT_EQ(last.Id, 12);
}

TEST(NtripBaseStation, TheAnalyserReportsTheFirstStationEvenWithIdZero) {
  const NtripBaseStation none;
  EXPECT_TRUE(analysedBaseStationIsNew(none, {0, 41.0, 29.0, 10}));
  const NtripBaseStation known{7, 41.0, 29.0, 10};
  EXPECT_FALSE(analysedBaseStationIsNew(known, {7, 41.000005, 29.000005, 99}));
  EXPECT_TRUE(analysedBaseStationIsNew(known, {7, 41.00002, 29.0, 10}));
  EXPECT_TRUE(analysedBaseStationIsNew(known, {8, 41.0, 29.0, 10}));
}

TEST_F(NtripBaseStationDay, ANewStationIsAppendedToTheDaysEventLog) {
  const NtripBaseStation station{2003, 38.80475943, -77.0647736, 114.56};
  // No folder for today: nothing is written, nothing is made.
  noteBaseStationEvent(station);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root.path() + "/2026-07-14")));

  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(logFolder())));
  const std::string events = logFolder() + "/2026-07-14 Events.log";
  EXPECT_EQ(baseStationEventFile(), events);
  // The last record has no line end: the new one still starts on a line of its own.
  testsupport::writeFile(events, "Auto Event:\t2026-07-14 090000123\tRealtime started");
  noteBaseStationEvent(station);
  clock.setLocal({2026, 7, 14, 9, 6, 0, 0});
  noteBaseStationEvent({12, 1, 2, 3});
  EXPECT_EQ(testsupport::readFile(events),
            "Auto Event:\t2026-07-14 090000123\tRealtime started\r\n"
            "Auto Event:\t2026-07-14 090507000\tNTRIP Base Station #2003: 38.80475943, "
            "-77.06477360, 114.56m\r\n"
            "Auto Event:\t2026-07-14 090600000\tNTRIP Base Station #12: 1.00000000, 2.00000000, "
            "3.00m\r\n");
}

// A disk that fills in the middle of a note: the log stays as it was, and the next note that
// fits comes whole.
TEST_F(NtripBaseStationDay, ANoteThatCannotBeWrittenWholeIsNotWrittenAtAll) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(logFolder())));
  const std::string events = logFolder() + "/2026-07-14 Events.log";
  const std::string before = "Auto Event:\t2026-07-14 090000123\tRealtime started\r\n";
  testsupport::writeFile(events, before);
  {
    testsupport::FileSizeLimit full(before.size() + 20);
    noteBaseStationEvent({12, 1, 2, 3});
  }
  EXPECT_EQ(testsupport::readFile(events), before);
  noteBaseStationEvent({12, 1, 2, 3});
  EXPECT_EQ(testsupport::readFile(events),
            before + "Auto Event:\t2026-07-14 090507000\tNTRIP Base Station #12: 1.00000000, "
                     "2.00000000, 3.00m\r\n");
}

TEST_F(NtripBaseStationDay, ReportIsSavedAsTheDaysRtcmLog) {
  const std::string path = logFolder() + "/2026-07-14 Tarvik RTCM Parsing.log";
  EXPECT_EQ(rtcmReportFilePath(), path);
  saveRtcmReport({}); // nothing to save makes nothing
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root.path() + "/2026-07-14")));

  saveRtcmReport({"first", "Station: \xC7"
                           "ekmek\xF6y"});
  EXPECT_EQ(testsupport::readFile(path), "first\r\nStation: \xC7"
                                         "ekmek\xF6y\r\n");
  saveRtcmReport({"second"});
  EXPECT_EQ(testsupport::readFile(path), "second\r\n");
}

TEST_F(NtripBaseStationDay, ReportThatCannotBeSavedRaisesAndKeepsTheEarlierOne) {
  const std::string path = logFolder() + "/2026-07-14 Tarvik RTCM Parsing.log";
  saveRtcmReport({"earlier"});
  std::string error = "no error";
  {
    const testsupport::FileSizeLimit fullDisk(4);
    try {
      saveRtcmReport({"later"});
    } catch (const platform::EFileError &e) {
      error = e.what();
    }
  }
  EXPECT_NE(error.find("Tarvik RTCM Parsing.log"), std::string::npos) << error;
  EXPECT_EQ(testsupport::readFile(path), "earlier\r\n");

  // Today's survey folder is a file, so its LOG folder cannot be made.
  testsupport::TempDir other;
  testsupport::EnvVar otherRoot("TARVIK_SURVEY_ROOT", (other.path() + "/").c_str());
  testsupport::writeFile(other.path() + "/2026-07-14", "not a folder");
  EXPECT_THROW(saveRtcmReport({"x"}), platform::EFileError);
  EXPECT_EQ(testsupport::readFile(other.path() + "/2026-07-14"), "not a folder");
}

} // namespace
