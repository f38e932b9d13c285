// The sound velocity profile window in the navigation program: source file, steps, the use
// switch and the offsets window, memo files, the SVP section, the graph round trip and the
// velocity the depth correction gets.
#include "navigator/NavigatorFixture.h"

#include "navigator/mainwindow/MainWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/soundvelocity/SvpGraphWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <sys/stat.h>

namespace {

using Rows = std::vector<std::string>;

class SvpWindow : public NavigatorTest {
protected:
  SvpWindow() {
    previousDisplay_ =
        platform::setExceptionDisplay([this](const QString &text) { shown.push_back(text); });
  }
  ~SvpWindow() override { platform::setExceptionDisplay(previousDisplay_); }

  TfSVP &svpWindow() { return *windows->fSVP; }
  TOffsets &offsets() { return *windows->Offsets; }

  std::string svpFolder() const { return root.path() + "/2024-05-01/SVP/"; }
  std::string beside(const std::string &name) const { return settings.path() + "/" + name; }
  std::string dated(const std::string &name) const { return svpFolder() + "2024-05-01 " + name; }

  // The main window made the day's folders; the SVP folder goes (a card pulled, a folder
  // deleted by hand).
  void removeSvpFolder() { QDir(QString::fromStdString(svpFolder())).removeRecursively(); }

  // A complete column through the memo, as an operator could type it.
  void typeColumn(const QString &text) { svpWindow().mSVPColumn->setPlainText(text); }

  testsupport::ScriptedDialogs dialogs;
  std::vector<QString> shown; // texts of the exception display

private:
  platform::ExceptionDisplay previousDisplay_;
};

TEST_F(SvpWindow, ProcessesASourceFileThroughTheThreeSteps) {
  createWindows();
  TfSVP &w = svpWindow();
  const std::string source = root.file("cast.txt");
  testsupport::writeFile(source, "Cast 17\r\n2023-05-01T10:15:30.123 1500.00,0.2\r\n"
                                 "2023-05-01T10:15:30.123 1510.00,1.4\r\n"
                                 "2023-05-01T10:15:30.123 1512.34,12.6\r\n");
  dialogs.chooseFile(QString::fromStdString(source));
  w.BitBtn1->click();
  ASSERT_EQ(dialogs.fileDialogs().size(), 1u);
  EXPECT_EQ(dialogs.fileDialogs()[0].filter, "Sound Velocity File [*.*]");
  EXPECT_EQ(w.mRawSVData->toPlainText().count('\n'), 3);

  w.eMaxDepth->setText("2");
  w.bRawToSVV->click();
  EXPECT_EQ(w.mRawSVExtracted->toPlainText(), "0,1500.000\n1,1510.000\n13,1512.340");
  w.bSVVtoAveragedSV->click();
  EXPECT_EQ(w.mSortedAveragedSV->toPlainText(), "0,1500.000,1\n1,1510.000,1\n");
  EXPECT_FALSE(w.bSaveClose->isEnabled());
  w.bAveragedSVtoSVP->click();
  EXPECT_EQ(w.mSVPColumn->toPlainText(), "1500.00\n1505.00\n1507.50");
  EXPECT_TRUE(w.bSaveClose->isEnabled());

  // A new source empties every list, and the column with them.
  dialogs.chooseFile(QString::fromStdString(source));
  w.BitBtn1->click();
  EXPECT_TRUE(w.mSVPColumn->toPlainText().isEmpty());
  EXPECT_EQ(w.Profile.column(), nullptr);
  dialogs.cancelFile();
  w.BitBtn1->click();
  EXPECT_FALSE(w.Profile.mRawSVData.empty()) << "a cancelled dialog changes nothing";
}

TEST_F(SvpWindow, ASourceThatIsAPipeIsRefusedWithoutWaitingAndChangesNothing) {
  createWindows();
  TfSVP &w = svpWindow();
  w.mRawSVData->setPlainText("kept");
  const std::string pipe = root.file("cast.pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  dialogs.chooseFile(QString::fromStdString(pipe));
  dialogs.answer(mrOk);
  w.BitBtn1->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  const QString text = dialogs.messages()[0].text;
  EXPECT_TRUE(text.contains(QString::fromStdString(pipe))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Not a regular file"))) << text.toStdString();
  EXPECT_EQ(w.mRawSVData->toPlainText(), "kept");
}

TEST_F(SvpWindow, AMaxDepthThatIsNoNumberIsShownAndLeavesTheListsEmpty) {
  createWindows();
  TfSVP &w = svpWindow();
  w.mRawSVExtracted->setPlainText("0,1500.000");
  w.mSortedAveragedSV->setPlainText("0,1500.000,1");
  w.eMaxDepth->setText("deep");
  w.bSVVtoAveragedSV->click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "'deep' is not a valid integer value.");
  EXPECT_TRUE(w.mSortedAveragedSV->toPlainText().isEmpty());
}

TEST_F(SvpWindow, PopUpDefaultsDetectionAndDoubleClick) {
  createWindows();
  TfSVP &w = svpWindow();
  w.mRawSVData->setPlainText("Pressure;Temperature;Sound Velocity\n1.0;15.2;1501.3");
  dialogs.answer(mrOk);
  w.AutoDedetct1Click();
  EXPECT_EQ(w.eSearchString->text(), "%lf;%*[^;];%lf");
  EXPECT_TRUE(w.rDFirst->isChecked());
  w.eMaxDepth->setText("50");
  w.Defaults1Click();
  EXPECT_EQ(w.eSearchString->text(), "%*23s %lf,%lf");
  EXPECT_EQ(w.eMaxDepth->text(), "200");
  EXPECT_TRUE(w.rSVFirst->isChecked());
  w.eSearchString->setText("x");
  w.eSearchStringDblClick();
  EXPECT_EQ(w.eSearchString->text(), "%*23s %lf,%lf");
}

TEST_F(SvpWindow, TheUseSwitchDrivesTheOffsetsWindow) {
  createWindows();
  TfSVP &w = svpWindow();
  EXPECT_EQ(offsets().bSVP->text(), "Sound Velocity Profile") << "until the switch first changes";
  typeColumn("1500.00\n1505.00");
  w.cUseSVP->setChecked(true);
  EXPECT_FALSE(offsets().SV->isEnabled());
  EXPECT_EQ(offsets().bSVP->text(), QString::fromUtf8("Ses Hızı Profili Devrede"))
      << "the main window's language label is enabled";
  w.cUseSVP->setChecked(false);
  EXPECT_TRUE(offsets().SV->isEnabled());
  EXPECT_EQ(offsets().bSVP->text(), QString::fromUtf8("Tek Ses Hızı Değeri"));

  windows->FNav->lLanguage->setEnabled(false);
  w.cUseSVP->setChecked(true);
  EXPECT_EQ(offsets().bSVP->text(), "SVP Profile Used");
  w.cUseSVP->setChecked(false);
  EXPECT_EQ(offsets().bSVP->text(), "Single SV Used");

  typeColumn(" \n");
  dialogs.answer(mrOk);
  w.cUseSVP->setChecked(true);
  EXPECT_FALSE(w.cUseSVP->isChecked());
  EXPECT_TRUE(offsets().SV->isEnabled());
  EXPECT_EQ(offsets().bSVP->text(), "Single SV Used");
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "SVP Column is empty. Please load or create an SVP profile first.");
}

TEST_F(SvpWindow, TheDepthCorrectionReadsTheColumnOrFallsBackWithOneWarning) {
  createWindows();
  TfSVP &w = svpWindow();
  QPlainTextEdit *messages = windows->FMsg->Msg;
  typeColumn("1500.00\n1505.00\n1510.00");
  EXPECT_EQ(w.SoundVelocityForDepth(1.2, 1480), 1480) << "not in use: the single value";
  w.cUseSVP->setChecked(true);
  EXPECT_EQ(w.SoundVelocityForDepth(0.49, 1480), 1500);
  EXPECT_EQ(w.SoundVelocityForDepth(0.5, 1480), 1505);
  EXPECT_EQ(w.SoundVelocityForDepth(2.4, 1480), 1510);
  EXPECT_TRUE(messages->toPlainText().isEmpty());

  EXPECT_EQ(w.SoundVelocityForDepth(2.5, 1480), 1480) << "beyond the column";
  EXPECT_EQ(w.SoundVelocityForDepth(-0.2, 1480), 1480) << "above the surface";
  EXPECT_EQ(w.SoundVelocityForDepth(250, 1480), 1480);
  EXPECT_EQ(messages->toPlainText(),
            "Depth 2.50 m lies outside the SV column (0 to 2 m); the single sound velocity "
            "1480.00 m/s is used.")
      << "one warning, not one a line";
  EXPECT_TRUE(windows->FMsg->isVisible());

  // Rebuilding empties the column while the switch stays on.
  w.bRawToSVV->click();
  EXPECT_TRUE(w.cUseSVP->isChecked());
  EXPECT_EQ(w.SoundVelocityForDepth(1.0, 1490), 1490);
  EXPECT_EQ(messages->blockCount(), 2);
  EXPECT_TRUE(messages->toPlainText().endsWith(
      "The SV column is empty; the single sound velocity 1490.00 m/s is used."));
}

TEST_F(SvpWindow, SaveAndCloseWritesTheDatedAndTheProgramsMemoFiles) {
  createWindows();
  CreateSurveyFolders();
  TfSVP &w = svpWindow();
  w.show();
  w.mRawSVData->setPlainText(QString::fromUtf8("Sonda Ağustos\n1500,0"));
  w.mRawSVExtracted->setPlainText("0,1500.000");
  w.mSortedAveragedSV->setPlainText("0,1500.000,1");
  typeColumn("1500.00");
  w.cUseSVP->setChecked(true);
  w.bSaveClose->setEnabled(true);
  w.bSaveClose->click();
  EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0].toStdString());
  EXPECT_FALSE(w.isVisible());
  const std::pair<const char *, std::string> expected[] = {
      {"mRawSVData.ini", "Sonda A\xF0ustos\r\n1500,0\r\n"},
      {"mRawSVExtracted.ini", "0,1500.000\r\n"},
      {"mSortedAveragedSV.ini", "0,1500.000,1\r\n"},
      {"mSVPColumn.ini", "1500.00\r\n"},
  };
  for (const auto &[name, bytes] : expected) {
    EXPECT_EQ(testsupport::readFile(dated(name)), bytes) << name;
    EXPECT_EQ(testsupport::readFile(beside(name)), bytes) << name;
  }
  EXPECT_EQ(QDir(QString::fromStdString(svpFolder())).entryList(QDir::Files).size(), 4)
      << "the main window's save wrote the same four names";
  EXPECT_EQ(
      QDir(QString::fromStdString(root.path() + "/2024-05-01/ZRV")).entryList(QDir::Files).size(),
      1)
      << "the drawing was saved first";
}

TEST_F(SvpWindow, ASaveIntoAMissingSvpFolderIsShownAndKeepsTheWindowOpen) {
  createWindows();
  removeSvpFolder();
  TfSVP &w = svpWindow();
  w.show();
  w.mRawSVData->setPlainText("1500,0");
  w.bSaveClose->setEnabled(true);
  w.bSaveClose->click();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].contains("2024-05-01 mRawSVData.ini")) << shown[0].toStdString();
  EXPECT_TRUE(shown[0].contains("2024-05-01 mSVPColumn.ini")) << "every list was tried";
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(beside("mRawSVData.ini"))));
}

TEST_F(SvpWindow, AMemoThatCannotBeWrittenIsToldAndTheClosingGoesOnWhenTheSurveyorSaysSo) {
  createWindows();
  removeSvpFolder();
  typeColumn("1500.00");
  svpWindow().cUseSVP->setChecked(true);
  dialogs.answer(mrYes); // exit anyway
  windows->FNav->close();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.contains("mSVPColumn.ini"));
  EXPECT_TRUE(shown.empty()) << "told once, in the question";
  const platform::IniFile ini(settingsFile());
  EXPECT_TRUE(ini.ValueExists("CANVAS", "PlanWorldLeft")) << "the close went on";
  EXPECT_TRUE(ini.ValueExists("fSVP", "Left"));
}

TEST_F(SvpWindow, CreationReloadsTheMemoFilesTheDatedOnesFirst) {
  testsupport::writeFile(beside("mRawSVData.ini"), "raw beside\r\n");
  testsupport::writeFile(beside("mSortedAveragedSV.ini"), "0,1400.00,1\r\n");
  testsupport::writeFile(beside("mSVPColumn.ini"), "1400.00\r\n");
  QDir().mkpath(QString::fromStdString(svpFolder()));
  testsupport::writeFile(dated("mSortedAveragedSV.ini"), "0,1500.00,1\r\n\r\n2,1502.00,1\r\n");
  testsupport::writeFile(dated("mSVPColumn.ini"), "1500.00\r\n1501.00\r\n");
  platform::IniFile ini(settingsFile());
  ini.WriteBool("SVP", "cUseSVP", true);
  ini.WriteString("SVP", "eSearchString", "%lf,%lf");
  ini.WriteString("SVP", "eMaxDepth", "30");
  ini.WriteBool("SVP", "rSVFirst", false);
  ini.WriteBool("SVP", "rDFirst", true);
  createWindows();
  TfSVP &w = svpWindow();
  EXPECT_EQ(w.Profile.mRawSVData, (Rows{"raw beside"}));
  EXPECT_TRUE(w.Profile.mRawSVExtracted.empty());
  EXPECT_EQ(w.Profile.mSortedAveragedSV, (Rows{"0,1500.00,1", "", "2,1502.00,1"}));
  EXPECT_EQ(w.mSVPColumn->toPlainText(), "1500.00\n1501.00");
  EXPECT_EQ(w.eSearchString->text(), "%lf,%lf");
  EXPECT_EQ(w.eMaxDepth->text(), "30");
  EXPECT_TRUE(w.rDFirst->isChecked());
  EXPECT_TRUE(w.cUseSVP->isChecked());
  EXPECT_FALSE(offsets().SV->isEnabled());
  EXPECT_EQ(w.SoundVelocityForDepth(1, 1480), 1501);
}

TEST_F(SvpWindow, AStoredSwitchWithAnEmptyColumnStartsOff) {
  platform::IniFile(settingsFile()).WriteBool("SVP", "cUseSVP", true);
  createWindows();
  EXPECT_FALSE(svpWindow().cUseSVP->isChecked());
  EXPECT_TRUE(offsets().SV->isEnabled());
  EXPECT_EQ(offsets().bSVP->text(), "Sound Velocity Profile");
}

TEST_F(SvpWindow, ClosingWritesSectionSvpInItsKeyOrder) {
  createWindows();
  TfSVP &w = svpWindow();
  w.eSearchString->setText(QString::fromUtf8("%*5s;%lf;%lf ş"));
  w.rDFirst->setChecked(true);
  w.close();
  const std::string text = testsupport::readFile(settingsFile());
  const auto at = [&](const char *key) { return text.find(key); };
  ASSERT_NE(at("[SVP]"), std::string::npos);
  EXPECT_LT(at("cUseSVP=0"), at("eSearchString=%*5s;%lf;%lf \xFE"));
  EXPECT_LT(at("eSearchString="), at("eMaxDepth=200"));
  EXPECT_LT(at("eMaxDepth="), at("rSVFirst=0"));
  EXPECT_LT(at("rSVFirst="), at("rDFirst=1"));
  windows.reset();
  createWindows();
  EXPECT_EQ(svpWindow().eSearchString->text(), QString::fromUtf8("%*5s;%lf;%lf ş"));
}

TEST_F(SvpWindow, GraphRoundTripWritesRowsBackByDepth) {
  createWindows();
  TfSVP &w = svpWindow();
  dialogs.answer(mrOk);
  w.bGraph->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, "No data to graph. Please process SVP data first.");

  w.mSortedAveragedSV->setPlainText("0,1500.00,1\n1,1501.00,1\n2,1502.00,1");
  typeColumn("1500.00\n1500.50\n1501.00");
  w.bSaveClose->setEnabled(true);
  TfSVPGraph *graph = windows->fSVPGraph;
  // Cancel changes nothing.
  QTimer::singleShot(0, graph->bCancel, &QPushButton::click);
  w.bGraph->click();
  EXPECT_EQ(w.mSVPColumn->toPlainText(), "1500.00\n1500.50\n1501.00");
  EXPECT_TRUE(w.bSaveClose->isEnabled());

  // The operator moves the first row to 3 m and saves.
  QTimer::singleShot(0, graph, [graph] {
    graph->StringGrid1->item(0, 0)->setText("3");
    graph->bSaveAndClose->click();
  });
  dialogs.answer(mrOk);
  w.bGraph->click();
  EXPECT_EQ(w.Profile.mSortedAveragedSV, (Rows{"", "1,1501.00,1", "2,1502.00,1", "3,1500.00,1"}));
  EXPECT_TRUE(w.mSVPColumn->toPlainText().isEmpty());
  EXPECT_EQ(w.Profile.column(), nullptr);
  EXPECT_FALSE(w.bSaveClose->isEnabled());
  EXPECT_EQ(dialogs.messages().back().text, "Data updated. Please regenerate SVP Column.");
}

} // namespace
