#include "navigator/NavigatorFixture.h"

#include "navigator/shared/FormPlacement.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

using testsupport::readFile;

namespace {
bool isDir(const std::string &path) { return QDir(QString::fromStdString(path)).exists(); }
} // namespace

using SurveyDayTest = NavigatorTest;

TEST_F(SurveyDayTest, TheDayIsNamedByTheStartDateAndKeptPastMidnight) {
  const std::string r = root.path() + "/";
  const TSurveyDay &d = SurveyDay();
  EXPECT_EQ(d.SessionDate, "2024-05-01");
  EXPECT_EQ(d.SurveyFolder, r + "2024-05-01/");
  EXPECT_EQ(d.DrawingFolder, r + "2024-05-01/ZRV/");
  EXPECT_EQ(d.LogFolder, r + "2024-05-01/LOG/");
  EXPECT_EQ(d.XyzFolder, r + "2024-05-01/XYZ/");
  EXPECT_EQ(d.SvpFolder, r + "2024-05-01/SVP/");
  EXPECT_EQ(d.CoordinatesPath, r + "2024-05-01/LOG/2024-05-01 Coordinates.csv");

  clock.setLocal({2024, 5, 2, 0, 0, 1, 0});
  EXPECT_EQ(SurveyDay().LogFolder, r + "2024-05-01/LOG/");
  EXPECT_EQ(SessionDateString(), "2024-05-02");
  EXPECT_EQ(EventLogPath(), r + "2024-05-01/LOG/2024-05-02 Events.log");
  clock.setLocal({2024, 5, 2, 9, 5, 59, 999});
  EXPECT_EQ(SessionTimeHHMM(), "0905");
}

TEST_F(SurveyDayTest, CreateSurveyFoldersMakesTodaysTreeButNotItsXyzFolder) {
  clock.setLocal({2024, 12, 31, 23, 59, 0, 0});
  CreateSurveyFolders();
  const std::string day = root.path() + "/2024-12-31/";
  EXPECT_TRUE(isDir(day + "ZRV"));
  EXPECT_TRUE(isDir(day + "LOG"));
  EXPECT_TRUE(isDir(day + "SVP"));
  EXPECT_FALSE(isDir(day + "XYZ"));
  CreateSurveyFolders(); // again: nothing to do, nothing reported
}

TEST_F(SurveyDayTest, EventRecordsAreAppendedWithTheirExactBytes) {
  platform::setFormatSettings(platform::FormatSettings::navigation());
  const std::string log = settings.file("E.log");
  clock.setLocal({2024, 5, 1, 10, 15, 30, 123});
  AppendAutoEvent("Realtime STARTED", log);
  clock.setLocal({2024, 5, 2, 0, 0, 0, 0}); // exactly midnight: the time is left out
  AppendAutoEvent("100% done\tok", log);
  clock.setLocal({2024, 5, 2, 0, 0, 0, 1});
  AppendAutoEvent("", log);
  EXPECT_EQ(readFile(log), "\nAuto Event:\t2024-05-01 101530123\tRealtime STARTED"
                           "\nAuto Event:\t2024-05-02\t100% done\tok"
                           "\nAuto Event:\t2024-05-02 000000001\t");
}

TEST_F(SurveyDayTest, AnEventLogThatCannotBeOpenedLosesTheRecordAndIsReportedOnce) {
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  const std::string log = root.file("missing folder/E.log");
  std::vector<QString> atOnce;
  SetAutoEventFailureSink([&](const QString &text) { atOnce.push_back(text); });
  AppendAutoEvent("one", log);
  AppendAutoEvent("two", log);
  // Reported at once without waiting; the box opens only once the caller has returned.
  ASSERT_EQ(atOnce.size(), 1u);
  EXPECT_TRUE(atOnce[0].contains(QStringLiteral("missing folder/E.log")));
  EXPECT_TRUE(dialogs.messages().empty());
  SetAutoEventFailureSink(nullptr);
  QCoreApplication::processEvents();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("missing folder/E.log")));
  EXPECT_EQ(dialogs.messages()[0].type, mtError);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(log)));
}

TEST_F(SurveyDayTest, PlacementsAreSavedAndClampedOnRestore) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  QWidget w;
  w.setObjectName(QStringLiteral("Offsets"));
  w.resize(300, 200);
  w.move(40, 50);
  SaveFormPlacement(&w);
  const platform::IniFile ini(platform::SettingsFilePath());
  EXPECT_EQ(ini.ReadInteger("Offsets", "WindowState", -1), 0);
  EXPECT_EQ(ini.ReadInteger("Offsets", "Left", -1), 40);
  EXPECT_EQ(ini.ReadInteger("Offsets", "Top", -1), 50);
  EXPECT_EQ(ini.ReadInteger("Offsets", "Width", -1), 300);
  EXPECT_EQ(ini.ReadInteger("Offsets", "Height", -1), 200);

  struct Case {
    const char *left, *top;
    int withSize;
    QPoint pos;
    QSize size;
  } cases[] = {
      {"40", "50", 1, {40, 50}, {300, 200}},
      {"-20", "-1", 1, {0, 0}, {300, 200}},
      {"abc", "7", 0, {0, 7}, {123, 45}}, // not a number: the default; no size without the flag
  };
  platform::IniFile out(platform::SettingsFilePath());
  for (const Case &c : cases) {
    out.WriteString("Offsets", "Left", c.left);
    out.WriteString("Offsets", "Top", c.top);
    QWidget r;
    r.setObjectName(QStringLiteral("Offsets"));
    r.resize(123, 45);
    RestoreFormPlacement(&r, std::uint8_t(c.withSize));
    EXPECT_EQ(r.pos(), c.pos) << c.left << "," << c.top;
    EXPECT_EQ(r.size(), c.size) << c.left << "," << c.top;
  }
  // At or beyond the screen's size: back to 0; one pixel inside stays.
  out.WriteInteger("Offsets", "Left", screen.width());
  out.WriteInteger("Offsets", "Top", screen.height() - 1);
  QWidget edge;
  edge.setObjectName(QStringLiteral("Offsets"));
  RestoreFormPlacement(&edge, 0);
  EXPECT_EQ(edge.pos(), QPoint(0, screen.height() - 1));
}

TEST_F(SurveyDayTest, AStoredMaximisedStateMaximisesWhateverThePosition) {
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteInteger("FNav", "WindowState", 2);
  ini.WriteInteger("FNav", "Left", 99999);
  ini.WriteInteger("FNav", "Width", 5);
  QWidget w;
  w.setObjectName(QStringLiteral("FNav"));
  w.resize(400, 300);
  RestoreFormPlacement(&w, 1);
  EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
  w.show();
  SaveFormPlacement(&w);
  EXPECT_EQ(ini.ReadInteger("FNav", "WindowState", -1), 2);
}
