// The navigation program with its survey root and settings under folders with Turkish letters:
// every file name keeps the system's bytes on its way to open(), and only where a name is
// written into a file (the event log, the settings file) does it become Windows-1254 text.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/CodePage.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

namespace {

// "/home/gökhan" and its default survey root $HOME/ZRV/; the settings beside "ölçüm".
class TurkishFolders : public NavigatorTest {
protected:
  TurkishFolders()
      : home(root.path() + "/g\xC3\xB6khan"),
        settingsDir(settings.path() + "/\xC3\xB6l\xC3\xA7\xC3\xBCm"),
        noRoot_("TARVIK_SURVEY_ROOT", nullptr), home_("HOME", home.c_str()),
        settingsEnv_("TARVIK_SETTINGS_DIR", (settingsDir + "/").c_str()) {
    QDir().mkpath(platform::pathText(home));
    QDir().mkpath(platform::pathText(settingsDir));
    InitSurveySession();
  }
  // The windows write their settings as they go: while the folders above are still in use.
  ~TurkishFolders() override { windows.reset(); }

  TFNav &start() {
    createWindows();
    TFNav &nav = *windows->FNav;
    nav.StartProgram = [this](const QString &program) {
      started.push_back(program);
      return true;
    };
    nav.show();
    return nav;
  }
  std::string day() const { return home + "/ZRV/2024-05-01/"; }
  std::string drawing() const { return day() + "ZRV/2024-05-01 1015.zrv"; }
  std::string eventLog() const {
    return testsupport::readFile(day() + "LOG/2024-05-01 Events.log");
  }
  bool exists(const std::string &path) const { return QFile::exists(platform::pathText(path)); }
  int userShapes(TTarvikCanvas &canvas) const {
    const int layer = canvas.LayerFindByName(QStringLiteral("tarvik_usershape"));
    int n = 0;
    for (std::int32_t s = 1; s <= 100; ++s)
      if (canvas.FindShape(s) && canvas.GetShapeOnLayer(s) == layer)
        ++n;
    return n;
  }

  const std::string home;
  const std::string settingsDir;
  std::vector<QString> started;
  testsupport::ScriptedDialogs dialogs; // any message box fails the test

private:
  testsupport::EnvVar noRoot_;
  testsupport::EnvVar home_;
  testsupport::EnvVar settingsEnv_;
};

TEST_F(TurkishFolders, SaveExitAndRestartKeepTheNamesAndAskNothing) {
  TFNav &nav = start();
  EXPECT_EQ(SurveyDay().SurveyRoot, home + "/ZRV/");
  for (const char *folder : {"ZRV", "LOG", "XYZ", "SVP"})
    EXPECT_TRUE(exists(day() + folder)) << folder;
  nav.fcad->DrawLine(0, 0, 10, 10, nav.State.UserShapeLayer);

  nav.Save1Click(&nav);
  EXPECT_TRUE(exists(drawing()));
  EXPECT_EQ(nav.windowTitle(), QStringLiteral("Tarvik Sondrel - ") + platform::pathText(drawing()));
  // Inside the event log and the settings file the name is Windows-1254 text.
  const std::string ansi = platform::utf8ToWindows1254(drawing());
  EXPECT_NE(ansi.find("g\xF6khan"), std::string::npos);
  EXPECT_NE(eventLog().find("\tAuto-saved: " + ansi), std::string::npos) << eventLog();
  const std::string ini =
      testsupport::readFile(settingsDir + "/" + platform::ExecutableName() + ".INI");
  EXPECT_NE(ini.find("Last File Saved       =" + ansi), std::string::npos) << ini;

  // The other day files are built from the same root.
  nav.WriteGeodesyLog();
  EXPECT_TRUE(exists(day() + "LOG/2024-05-01 Geodesy.txt"));
  EXPECT_EQ(windows->fRealtime->LogFolderToOpen(), platform::pathText(day() + "LOG/"));

  // Restart: the closing saves again without a question, the next run reopens the drawing.
  QToolButton *restart = nav.findChild<QToolButton *>(QStringLiteral("bRestart"));
  ASSERT_NE(restart, nullptr);
  restart->click();
  windows.reset();
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(dialogs.messages().empty());

  TFNav &next = start();
  EXPECT_EQ(next.windowTitle(),
            QStringLiteral("Tarvik Sondrel - ") + platform::pathText(drawing()));
  EXPECT_EQ(userShapes(*next.fcad), 1);
  next.close(); // Exit: saved, no question
  EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(TurkishFolders, DialogNamesReachTheFilesAsChosen) {
  TFNav &nav = start();
  nav.fcad->DrawLine(0, 0, 10, 10, nav.State.UserShapeLayer);
  const QString folder = platform::pathText(home) + QString::fromUtf8("/Çalışma İzmir");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString zrv = folder + QString::fromUtf8("/liman ağzı.zrv");
  const QString dxf = folder + QString::fromUtf8("/liman ağzı.dxf");

  dialogs.chooseFile(zrv);
  nav.SaveAs1Click(&nav);
  EXPECT_TRUE(QFile::exists(zrv));
  EXPECT_EQ(nav.windowTitle(), QStringLiteral("Tarvik Sondrel  <") + zrv + QStringLiteral(">"));

  dialogs.chooseFile(dxf);
  nav.Export1Click(&nav);
  EXPECT_TRUE(QFile::exists(dxf));

  dialogs.chooseFile(zrv);
  nav.Open1Click(&nav);
  EXPECT_EQ(userShapes(*nav.fcad), 2); // the opened drawing's line joins the one drawn

  dialogs.chooseFile(dxf);
  dialogs.answer(mrOk); // the import tells what it loaded
  nav.Import1Click(&nav);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_FALSE(dialogs.messages()[0].text.contains(QStringLiteral("annot")))
      << dialogs.messages()[0].text.toStdString();

  const std::string log = eventLog();
  for (const char *record : {"Saved As: ", "Opened file: ", "Imported DXF: "}) {
    const QString chosen = std::string(record) == "Imported DXF: " ? dxf : zrv;
    EXPECT_NE(log.find(record + platform::toWindows1254(chosen)), std::string::npos) << record;
  }
  nav.close();
  EXPECT_EQ(dialogs.messages().size(), 1u) << "the exit asked nothing";
}

// Letters the settings file's code page cannot write (Greek, Polish, Czech, Hungarian) in the
// survey root: the name is stored so that it names the same file again.
TEST_F(TurkishFolders, ARootWithLettersOutsideTheCodePageStillBringsTheDrawingBack) {
  for (const char *name : {"\xCE\xA9mega_\xC3\x96l\xC3\xA7\xC3\xBCm",
                           "\xC5\x81\xC3\xB3"
                           "d\xC5\xBA",
                           "\xC5\x98"
                           "eka \xC5\x91z"}) {
    const std::string surveyRoot = home + "/" + name + "/";
    testsupport::EnvVar rootEnv("TARVIK_SURVEY_ROOT", surveyRoot.c_str());
    InitSurveySession();
    platform::IniFile(platform::SettingsFilePath()).DeleteKey("FILE", "Last File Saved");
    TFNav &nav = start();
    nav.fcad->DrawLine(0, 0, 10, 10, nav.State.UserShapeLayer);
    nav.Save1Click(&nav);
    const std::string saved = surveyRoot + "2024-05-01/ZRV/2024-05-01 1015.zrv";
    ASSERT_TRUE(exists(saved)) << name;
    nav.close();
    windows.reset();

    TFNav &next = start();
    EXPECT_EQ(userShapes(*next.fcad), 1) << name;
    EXPECT_EQ(next.windowTitle(), QStringLiteral("Tarvik Sondrel - ") + platform::pathText(saved));
    EXPECT_FALSE(windows->FMsg->isVisible()) << name << ": nothing to report";
    windows.reset();
  }
  EXPECT_TRUE(dialogs.messages().empty());
}

TEST_F(TurkishFolders, ALastDrawingThatIsGoneIsSaidAtStart) {
  const std::string gone = home + "/\xCE\xA9/2024-05-01 0900.zrv";
  platform::IniFile(platform::SettingsFilePath())
      .WriteString("FILE", "Last File Saved       ", platform::pathToSetting(gone));
  TFNav &nav = start();
  EXPECT_EQ(nav.fcad->ShapeCount, 0);
  EXPECT_TRUE(windows->FMsg->isVisible());
  EXPECT_TRUE(windows->FMsg->Msg->toPlainText().contains(platform::pathText(gone)))
      << windows->FMsg->Msg->toPlainText().toStdString();
}

} // namespace
