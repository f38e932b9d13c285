#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "support/ScriptedDialogs.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPlainTextEdit>
#include <cerrno>
#include <cstring>

namespace {

class DrawingFileCommandsTest : public NavigatorTest {
protected:
  DrawingFileCommandsTest() {
    createWindows();
    nav = windows->FNav;
    canvas = nav->fcad;
    // Showing the main window makes its fixed layers; these tests keep it hidden.
    nav->EnsureNavigationLayers(canvas);
  }

  int shapesOn(const char *layer) const {
    const int index = canvas->LayerFindByName(QString::fromLatin1(layer));
    int count = 0;
    for (std::int32_t n = 1; n <= 1000; ++n)
      if (canvas->FindShape(n) && canvas->GetShapeOnLayer(n) == index)
        ++count;
    return count;
  }
  int userLayer() const { return canvas->LayerFindByName(QStringLiteral("tarvik_usershape")); }
  std::string eventLog() const {
    return testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Events.log");
  }
  std::string autoSavePath() const { return SurveyDay().DrawingFolder + "2024-05-01 1015.zrv"; }
  std::string lastFileSaved() const {
    return platform::IniFile(settingsFile()).ReadString("FILE", "Last File Saved", "");
  }

  TFNav *nav = nullptr;
  TTarvikCanvas *canvas = nullptr;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(DrawingFileCommandsTest, SaveWritesTheDaysFileRecordsItAndLeavesOutGridAndVessel) {
  canvas->DrawLine(0, 0, 10, 10, userLayer());
  canvas->DrawCircle(5, 5, 1, nav->State.VesselLayer);
  canvas->DrawLine(0, 5, 10, 5, nav->State.GridLayer);

  nav->Save1Click(nav);

  EXPECT_TRUE(QFile::exists(QString::fromStdString(autoSavePath())));
  EXPECT_EQ(eventLog(), "\nAuto Event:\t2024-05-01 101530123\tAuto-saved: " + autoSavePath());
  EXPECT_NE(testsupport::readFile(settingsFile()).find("Last File Saved       =" + autoSavePath()),
            std::string::npos);
  EXPECT_EQ(nav->windowTitle().toStdString(), "Tarvik Sondrel - " + autoSavePath());
  EXPECT_EQ(shapesOn("~~Tarvik Vessel"), 0);
  EXPECT_EQ(shapesOn("Tarvik Grid"), 0);
  EXPECT_EQ(shapesOn("tarvik_usershape"), 1);

  // After midnight the name takes the new date while the folder keeps the start-up day.
  clock.setLocal({2024, 5, 2, 0, 10, 0, 0});
  nav->Save1Click(nav);
  EXPECT_TRUE(
      QFile::exists(QString::fromStdString(SurveyDay().DrawingFolder + "2024-05-02 0010.zrv")));
}

TEST_F(DrawingFileCommandsTest, AFailedSaveIsShownAndNeitherLoggedNorRemembered) {
  nav->Save1Click(nav);
  const std::string before = lastFileSaved();
  const QString caption = nav->windowTitle();
  QDir(QString::fromStdString(SurveyDay().DrawingFolder)).removeRecursively();
  testsupport::writeFile(SurveyDay().SurveyFolder + "ZRV", ""); // a file where the folder was
  clock.setLocal({2024, 5, 1, 11, 0, 0, 0});
  dialogs.answer(mrOk);

  nav->Save1Click(nav);

  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("Cannot create file")));
  EXPECT_EQ(eventLog().find("1100.zrv"), std::string::npos);
  EXPECT_EQ(lastFileSaved(), before);
  EXPECT_EQ(nav->windowTitle(), caption);
  EXPECT_TRUE(
      windows->FMsg->Msg->toPlainText().contains(QStringLiteral("the drawing was not saved")));
}

TEST_F(DrawingFileCommandsTest, SaveAsSetsTheBracketedCaptionAndLeavesTheLastSavedKey) {
  const std::string target = settings.file("chosen.zrv");
  dialogs.chooseFile(QString::fromStdString(target));
  nav->SaveAs1Click(nav);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(target)));
  EXPECT_EQ(nav->windowTitle().toStdString(), "Tarvik Sondrel  <" + target + ">");
  EXPECT_EQ(eventLog(), "\nAuto Event:\t2024-05-01 101530123\tSaved As: " + target);
  EXPECT_EQ(lastFileSaved(), "");
  ASSERT_EQ(dialogs.fileDialogs().size(), 1u);
  EXPECT_EQ(dialogs.fileDialogs()[0].title.toStdString(), "Dialog Save");
  EXPECT_EQ(dialogs.fileDialogs()[0].filter.toStdString(),
            "Tarvik Pelmora [*.zrv]|*.zrv|All Files [*.*]|*.*");
  EXPECT_TRUE(dialogs.fileDialogs()[0].overwritePrompt);

  // The dialog proposes the last name again; a cancel changes nothing.
  dialogs.cancelFile();
  nav->SaveAs1Click(nav);
  EXPECT_EQ(dialogs.fileDialogs()[1].fileName.toStdString(), target);
  EXPECT_EQ(nav->windowTitle().toStdString(), "Tarvik Sondrel  <" + target + ">");
}

TEST_F(DrawingFileCommandsTest, OpenAddsTheFileDropsItsVesselAndGridAndLogsIt) {
  canvas->DrawLine(0, 0, 1, 1, userLayer());
  canvas->DrawCircle(0, 0, 1, nav->State.VesselLayer);
  const std::string saved = settings.file("survey.zrv");
  ASSERT_EQ(canvas->CadSave(QString::fromStdString(saved), -1), 1);

  const QString caption = nav->windowTitle();
  dialogs.chooseFile(QString::fromStdString(saved));
  nav->Open1Click(nav);
  EXPECT_EQ(eventLog(), "\nAuto Event:\t2024-05-01 101530123\tOpened file: " + saved);
  EXPECT_EQ(dialogs.fileDialogs()[0].title.toStdString(), "Dialog Open");
  EXPECT_TRUE(dialogs.fileDialogs()[0].fileMustExist);
  EXPECT_EQ(shapesOn("~~Tarvik Vessel"), 0);
  EXPECT_GE(shapesOn("tarvik_usershape"), 2);
  EXPECT_EQ(nav->windowTitle(), caption);
  EXPECT_GE(nav->State.UserShapeLayer, 0);
  EXPECT_GE(nav->State.VesselLayer, 0);
}

TEST_F(DrawingFileCommandsTest, OpenOfAnUnreadableFileIsReportedAndTheDrawingStays) {
  canvas->DrawLine(0, 0, 1, 1, userLayer());
  const std::string damaged = settings.file("damaged.zrv");
  testsupport::writeFile(damaged, "ZRV1 this is not a drawing");
  const int before = canvas->ShapeCount;
  dialogs.chooseFile(QString::fromStdString(damaged));
  dialogs.answer(mrOk);
  nav->Open1Click(nav);
  EXPECT_EQ(canvas->ShapeCount, before);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("could not be read")));
  EXPECT_NE(eventLog().find("Opened file: " + damaged), std::string::npos);
}

TEST_F(DrawingFileCommandsTest, CancelledOpenAndImportLogNothing) {
  dialogs.cancelFile();
  EXPECT_THROW(nav->Open1Click(nav), platform::EAbort);
  dialogs.cancelFile();
  nav->Import1Click(nav);
  EXPECT_EQ(dialogs.fileDialogs()[1].filter.toStdString(),
            "AutoCAD R12 DXF [*.dxf]|*.dxf|All Files [*.*]|*.*");
  EXPECT_FALSE(
      QFile::exists(QString::fromStdString(SurveyDay().LogFolder + "2024-05-01 Events.log")));
}

TEST_F(DrawingFileCommandsTest, ExportWritesADxfAndImportBringsItBackOnItsOwnLayer) {
  canvas->DrawLine(0, 0, 10, 10, userLayer());
  const std::string dxf = settings.file("export.dxf");
  dialogs.chooseFile(QString::fromStdString(dxf));
  nav->Export1Click(nav);
  EXPECT_EQ(dialogs.fileDialogs()[0].filter.toStdString(),
            "AutoCAD R12 DXF [*.dxf]|*.dxf|All Files [*.*]|*.*");
  EXPECT_NE(testsupport::readFile(dxf).find("LINE"), std::string::npos);

  dialogs.chooseFile(QString::fromStdString(dxf));
  dialogs.answer(mrOk); // the import's own summary
  nav->Import1Click(nav);
  EXPECT_TRUE(dialogs.messages().back().text.startsWith(QStringLiteral("DXF loaded: ")));
  EXPECT_GE(canvas->LayerFindByName(QStringLiteral("_dxf_tarvik_usershape")), 0);
  EXPECT_EQ(eventLog(), "\nAuto Event:\t2024-05-01 101530123\tImported DXF: " + dxf);
}

TEST_F(DrawingFileCommandsTest, AnExportThatCannotBeWrittenIsReported) {
  dialogs.chooseFile(QString::fromStdString(settings.file("missing-folder/export.dxf")));
  dialogs.answer(mrOk);
  nav->Export1Click(nav);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(
      dialogs.messages()[0].text.startsWith(QStringLiteral("The drawing could not be exported")));
  // The reason, not only the name.
  EXPECT_TRUE(dialogs.messages()[0].text.endsWith(QString::fromLatin1(std::strerror(ENOENT))))
      << dialogs.messages()[0].text.toStdString();
}

TEST_F(DrawingFileCommandsTest, NewClearsEverythingOnlyAfterYes) {
  canvas->DrawLine(0, 0, 1, 1, userLayer());
  canvas->AddEventLabel(1, 1, 7);
  dialogs.answer(mrNo);
  EXPECT_THROW(nav->New1Click(nav), platform::EAbort);
  EXPECT_EQ(canvas->ShapeCount, 1);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(), "Entire layout will be cleared! Continue?");
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);

  dialogs.answer(mrYes);
  nav->New1Click(nav);
  EXPECT_EQ(canvas->ShapeCount, 0);
  EXPECT_TRUE(canvas->EventLabels.empty());
  EXPECT_EQ(eventLog(), "\nAuto Event:\t2024-05-01 101530123\tNew layout - cleared all shapes");
  EXPECT_GE(canvas->LayerFindByName(QStringLiteral("track_fix")), 0);
}

TEST_F(DrawingFileCommandsTest, FileMenuShortcutsReachTheirCommands) {
  EXPECT_EQ(nav->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(nav->Import1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
  EXPECT_EQ(nav->SaveAs1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
  EXPECT_EQ(nav->Exit1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  QStringList captions;
  for (QAction *action : nav->File1->actions())
    captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
  EXPECT_EQ(captions.join(QLatin1Char('|')).toStdString(),
            "New|-|Open...|Save|Save As...|-|Import...|Export...|-|Exit");
}

} // namespace
