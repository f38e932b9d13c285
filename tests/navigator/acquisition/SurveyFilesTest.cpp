// The day's survey files when the disk fills and frees: every record whole or absent, one report
// per outage, no numbered stand-in files for a failed write, and the event log's own records.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyRecords.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WholeRecord.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/FileSizeLimit.h"
#include "support/ScriptedDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <unistd.h>

using testsupport::FileSizeLimit;
using testsupport::readFile;

namespace {

std::vector<std::string> linesOf(const std::string &text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
    lines.push_back(text.substr(start, lf - start));
  if (start < text.size())
    lines.push_back(text.substr(start) + "<no line end>");
  return lines;
}

std::vector<std::string> filesIn(const std::string &folder) {
  std::vector<std::string> names;
  for (const QString &name : QDir(QString::fromStdString(folder)).entryList(QDir::Files))
    names.push_back(name.toStdString());
  return names;
}

class SurveyFilesTest : public NavigatorTest {
protected:
  // A sounder on "NMEA DPT" with the offsets typed and a projected fix, so that every depth
  // line writes one record to each day file.
  void startSounding() {
    createWindows();
    windows->FGPS->cSBESMessage->setCurrentText("NMEA DPT");
    windows->Navset->edDepthAlert1->setText("0.5");
    typeOffsets("0.5", "1500", "0", "0");
    useGridOf41N29EAt500100And4500200(windows->FGPS->Model.Values);
    TFNav &w = *windows->FNav;
    w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
    fixAt41N29E();
  }
  void depth(int n = 1) {
    for (int i = 0; i < n; ++i)
      windows->FNav->ZSENSORNewCommand(nullptr, "$SDDPT,2.0,0");
  }
  std::string coordinates() const { return readFile(SurveyDay().CoordinatesPath); }
  int messagesContaining(const char *text) const {
    const QStringList lines = windows->FMsg->Msg->toPlainText().split('\n');
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const QString &l) {
      return l.contains(QLatin1String(text));
    }));
  }

  testsupport::ScriptedDialogs dialogs;
};

TEST_F(SurveyFilesTest, ADiskThatFillsAndFreesLeavesWholeRecordsAndOneReportPerOutage) {
  startSounding();
  depth();
  const std::string before = coordinates();
  ASSERT_EQ(linesOf(before).size(), 2u);
  {
    // Room for a part of the next record only: it is cut short on every line.
    FileSizeLimit full(before.size() + 40);
    depth(3);
    EXPECT_EQ(coordinates(), before);
  }
  EXPECT_EQ(messagesContaining("Cannot write the coordinates file"), 1);
  depth();
  {
    FileSizeLimit full(coordinates().size() + 40);
    depth(2);
  }
  depth();
  EXPECT_EQ(messagesContaining("Cannot write the coordinates file"), 2);

  const std::vector<std::string> lines = linesOf(coordinates());
  ASSERT_EQ(lines.size(), 4u);
  for (const std::string &line : lines)
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 17) << line;
  // A failed write is no locked file: no numbered stand-ins.
  EXPECT_EQ(filesIn(SurveyDay().LogFolder),
            (std::vector<std::string>{"2024-05-01 Coordinates.csv", "2024-05-01 Events.log"}));
}

TEST_F(SurveyFilesTest, ADiskWithNoRoomAtAllIsReportedOnceAndLeavesNoEmptyFiles) {
  startSounding();
  dialogs.answer(mrOk); // the event log cannot take the report either: one box
  {
    FileSizeLimit full(0);
    depth(5);
  }
  EXPECT_EQ(messagesContaining("Cannot write the coordinates file"), 1);
  // The report says why, in the system's words.
  EXPECT_EQ(messagesContaining("Coordinates.csv: File too large."), 1);
  // The box opens once the line handlers have returned.
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.startsWith(QStringLiteral("Cannot write the event log")));
  EXPECT_TRUE(filesIn(SurveyDay().LogFolder).empty());
  EXPECT_TRUE(filesIn(SurveyDay().XyzFolder).empty());

  depth();
  EXPECT_EQ(linesOf(coordinates()).size(), 2u);
  EXPECT_EQ(linesOf(readFile(SurveyDay().XyzFolder + "2024-05-01 Simple XYZ.csv")).size(), 2u);
}

// The day's folder removed while the survey runs (by hand, by a cleaning tool): the next depth
// line makes every folder of the day again, and both the coordinates and the simple XYZ file
// come back with their headers.
TEST_F(SurveyFilesTest, TheDayFolderRemovedMidSurveyIsMadeAgainWithBothFiles) {
  startSounding();
  depth();
  const std::string xyz = SurveyDay().XyzFolder + "2024-05-01 Simple XYZ.csv";
  ASSERT_EQ(linesOf(readFile(xyz)).size(), 2u);
  ASSERT_TRUE(QDir(QString::fromStdString(SurveyDay().SurveyFolder)).removeRecursively());
  depth(2);
  EXPECT_EQ(linesOf(coordinates()).size(), 3u);
  const std::vector<std::string> lines = linesOf(readFile(xyz));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Easting,Northing,Elevation");
  for (const char *folder : {"ZRV", "LOG", "XYZ", "SVP", "JPG", "MP4"})
    EXPECT_TRUE(QDir(QString::fromStdString(SurveyDay().SurveyFolder + folder)).exists()) << folder;
  EXPECT_EQ(messagesContaining("Cannot write"), 0);
}

// Only the simple XYZ file's folder removed: the coordinates file is written as before, and the
// simple XYZ file comes back too.
TEST_F(SurveyFilesTest, TheXyzFolderRemovedAloneIsMadeAgain) {
  startSounding();
  depth();
  ASSERT_TRUE(QDir(QString::fromStdString(SurveyDay().XyzFolder)).removeRecursively());
  depth();
  EXPECT_EQ(linesOf(readFile(SurveyDay().XyzFolder + "2024-05-01 Simple XYZ.csv")).size(), 2u);
  EXPECT_EQ(linesOf(coordinates()).size(), 3u);
  EXPECT_EQ(messagesContaining("Cannot write"), 0);
}

TEST(SurveyRecordFiles, ARecordThatADeviceRefusesIsNotCountedAsWrittenNorMovedToAnotherName) {
  testsupport::TempDir dir;
  const std::string path = dir.file("2024-05-01 Coordinates.csv");
  ASSERT_EQ(::symlink("/dev/full", path.c_str()), 0);
  const survey::AppendResult result =
      survey::appendRecord(path, survey::coordinatesHeader(), "record\n", true);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Reason, platform::AppendOutcome{platform::AppendOutcome::NotRegular}.reason());
  EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"2024-05-01 Coordinates.csv"});
}

TEST_F(SurveyFilesTest, AnEventLogThatRefusesItsRecordsIsReportedOncePerOutage) {
  platform::setFormatSettings(platform::FormatSettings::navigation());
  const std::string log = root.file("E.log");
  ASSERT_EQ(::symlink("/dev/full", log.c_str()), 0);
  dialogs.answer(mrOk);
  AppendAutoEvent("one", log);
  AppendAutoEvent("two", log);
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Cannot write the event log ") +
                                            QString::fromStdString(log) +
                                            QStringLiteral(": Not a regular file."));

  // Space returns, then runs out again in the middle of a record.
  QFile::remove(QString::fromStdString(log));
  AppendAutoEvent("three", log);
  const std::string written = readFile(log);
  dialogs.answer(mrOk);
  {
    FileSizeLimit full(written.size() + 10);
    AppendAutoEvent("four", log);
    AppendAutoEvent("five", log);
  }
  AppendAutoEvent("six", log);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(readFile(log), "\nAuto Event:\t2024-05-01 101530123\tthree"
                           "\nAuto Event:\t2024-05-01 101530123\tsix");
}

TEST_F(SurveyFilesTest, AMarkEventThatTheLogRefusesIsReportedWithItsNumber) {
  createWindows();
  TFNav &nav = *windows->FNav;
  nav.EnsureNavigationLayers(nav.fcad);
  nav.ZGPS1Position3DChange(nullptr, 41, 29, 0); // a fix: the events have a place
  const std::string log = SurveyDay().LogFolder + "2024-05-01 Events.log";
  ASSERT_EQ(::symlink("/dev/full", log.c_str()), 0);
  dialogs.answer(mrOk);
  nav.btEventAddClick(&nav);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Event 1 could not be written to ") +
                                            QString::fromStdString(log) +
                                            QStringLiteral(": Not a regular file."));
  EXPECT_EQ(
      platform::IniFile(platform::SettingsFilePath()).ReadInteger("EVENTS", "Event Number", 0), 1);
}

TEST_F(SurveyFilesTest, TheEventNumberStartsAgainAtOneInsteadOfLeavingItsRange) {
  createWindows();
  TFNav &nav = *windows->FNav;
  nav.EnsureNavigationLayers(nav.fcad);
  nav.ZGPS1Position3DChange(nullptr, 41, 29, 0); // a fix: the events have a place
  const std::string log = SurveyDay().LogFolder + "2024-05-01 Events.log";
  struct Case {
    const char *stored;
    int next;
    bool reset;
  } cases[] = {{"2147483646", 2147483647, false},
               {"2147483647", 1, true},
               {"-5", 1, true},
               {"41", 42, false}};
  for (const Case &c : cases) {
    QFile::remove(QString::fromStdString(log));
    platform::IniFile(platform::SettingsFilePath()).WriteString("EVENTS", "Event Number", c.stored);
    nav.btEventAddClick(&nav);
    EXPECT_EQ(
        platform::IniFile(platform::SettingsFilePath()).ReadInteger("EVENTS", "Event Number", 0),
        c.next)
        << c.stored;
    EXPECT_EQ(nav.fcad->EventLabels.back().EventNumber, c.next) << c.stored;
    const std::string record = "\nEvent No:" + std::to_string(c.next) + ",";
    const std::string expected =
        (c.reset ? "\nAuto Event:\t2024-05-01 101530123\tEvent number was reset." : "") + record;
    EXPECT_EQ(readFile(log).substr(0, expected.size()), expected) << c.stored;
  }
}

TEST_F(SurveyFilesTest, ARawLogThatCannotBeOpenedIsToldInTheMessageWindow) {
  testsupport::TempDir ports;
  testsupport::EnvVar portsEnv("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 6);
  createWindows();
  TTarvikSerialGPS &sounder = *windows->FNav->ZSENSOR;
  sounder.PortNumber = 6;
  sounder.NmeaLogEnabled = true;
  sounder.NmeaLogPath = root.file("no such folder/2024-05-01 TSD_SBES_V3.log");
  sounder.OpenPort();
  ASSERT_TRUE(sounder.PortOpen);
  EXPECT_EQ(messagesContaining("Cannot write the raw log "), 1);
  sounder.ClosePort();
}

} // namespace
