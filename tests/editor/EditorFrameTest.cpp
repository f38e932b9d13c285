// The frame, the settings window and the close: the ECHOGRAM keys and placements written at
// exit, the question while a file is loaded, the colour schemes and the placement limits.
#include "EditorTestSupport.h"

#include "platform/About.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using editortest::Editor;

namespace {

TEST(EditorFrame, WindowsExistInTheirOrderWithTheirCaptions) {
  Editor ed;
  EXPECT_EQ(ed.w.fParent->windowTitle(), "Tarvik Trimsel - Singlebeam Editor");
  EXPECT_EQ(ed.w.fPlanView->windowTitle(), "Plan");
  EXPECT_EQ(ed.w.fSettings->windowTitle(), "Settings");
  EXPECT_EQ(ed.w.fWarning->windowTitle(), "Warning");
  EXPECT_EQ(ed.w.fWait->windowTitle(), "Saving..");
  EXPECT_EQ(ed.w.fWait->size(), QSize(226, 112));
  EXPECT_TRUE(ed.w.fEditing->isVisible());
  EXPECT_TRUE(ed.w.fPlanView->isVisible());
  EXPECT_FALSE(ed.w.fSettings->isVisible());
  EXPECT_FALSE(ed.e().displayMainLoop->isActive());
  ASSERT_NE(ed.w.formAbout, nullptr);
  EXPECT_EQ(ed.w.formAbout->windowTitle(), "About Tarvik Trimsel");
  EXPECT_FALSE(ed.w.formAbout->isVisible());
}

TEST(EditorFrame, SettingsShowTheirDefaultsAndAreWrittenAtExitInOrder) {
  Editor ed;
  ed.w.fSettings->show();
  TfSettings &s = *ed.w.fSettings;
  EXPECT_EQ(s.cFormatIdentifier->currentText(), "%lf %lf %lf");
  EXPECT_EQ(s.sSmoothingFactor->text(), "1");
  EXPECT_EQ(s.eSmoothingRange->text(), "5.0");
  EXPECT_EQ(s.sLineThickness->text(), "1");
  EXPECT_EQ(s.cClolorConfig->currentText(), "TSD Default");
  s.sSmoothingFactor->setValue(3);
  s.hide();
  ASSERT_TRUE(ed.w.fParent->close()); // no file loaded: no question
  const std::string ini = testsupport::readFile(ed.settingsFile());
  const std::string echogram =
      "[ECHOGRAM]\r\ncFormatIdentifier=%lf %lf %lf\r\nsSmoothingFactor=3\r\n"
      "sLineThickness=1\r\ncClolorConfig=TSD Default\r\n"
      "eSmoothingRange=5.0\r\n";
  const std::string lf = [&] {
    std::string t = echogram;
    std::string out;
    for (char c : t)
      if (c != '\r')
        out += c;
    return out;
  }();
  EXPECT_TRUE(ini.find(echogram) != std::string::npos || ini.find(lf) != std::string::npos) << ini;
  for (const char *key : {"[fEditing]", "[fPlanView]", "Left=", "Top=", "Width=", "Height="})
    EXPECT_NE(ini.find(key), std::string::npos) << key;
  // Shown again, the window shows the stored value, not what it held.
  s.sSmoothingFactor->setValue(7);
  s.show();
  EXPECT_EQ(s.sSmoothingFactor->value(), 3);
}

TEST(EditorFrame, ClosingWithAFileLoadedAsksAndNoKeepsEverything) {
  Editor ed;
  ed.open("a.txt", "1,2,3\n4,5,6\n7,8,9\n");
  ed.dialogs.answer(mrNo);
  EXPECT_FALSE(ed.w.fParent->close());
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "Closing! Are you sure?\nKapaniyor! Emin misiniz?");
  EXPECT_EQ(ed.dialogs.messages()[0].type, mtWarning);
  EXPECT_TRUE(ed.dialogs.messages()[0].buttons == (mbYes | mbNo));
  EXPECT_TRUE(testsupport::readFile(ed.settingsFile()).empty());
  EXPECT_TRUE(ed.w.fParent->isVisible());
}

TEST(EditorFrame, ColourSchemesFollowTheUsersChoice) {
  Editor ed;
  TfSettings &s = *ed.w.fSettings;
  s.cClolorConfig->setEditText("High Contrast Dark"); // from code: no change
  EXPECT_EQ(ed.e().graph.backgroundColor, clWhite);
  s.cClolorConfigChange();
  EXPECT_EQ(ed.e().graph.backgroundColor, clBlack);
  EXPECT_EQ(ed.e().graph.lineColor, clRed);
  EXPECT_EQ(ed.e().graph.selectedColor, clLime);
  EXPECT_EQ(ed.e().graph.selectionColor, RGB(22, 22, 22));
  s.cClolorConfig->setEditText("something typed");
  s.cClolorConfigChange();
  EXPECT_EQ(ed.e().graph.textColor, clWhite);
  s.cClolorConfig->setEditText("TSD Default");
  s.cClolorConfigChange();
  EXPECT_EQ(ed.e().graph.backgroundColor, clWhite);
  EXPECT_EQ(ed.e().graph.selectionColor, RGB(255, 255, 145));
}

TEST(EditorFrame, StoredPlacementOutsideTheScreenComesBackAtZero) {
  Editor ed;
  platform::IniFile ini(ed.settingsFile());
  ini.WriteInteger("fEditing", "Left", -20);
  ini.WriteInteger("fEditing", "Top", 100000);
  ini.WriteInteger("fEditing", "Width", 640);
  ini.WriteInteger("fEditing", "Height", 480);
  loadFormGeometry(ed.w.fEditing, true);
  const QWidget *frame = ed.w.fEditing->parentWidget();
  EXPECT_EQ(frame->geometry(), QRect(0, 0, 640, 480));
}

} // namespace

namespace {

// A settings file far beyond any the editor writes: said at start, read as the defaults, and kept.
TEST(EditorFrame, ASettingsFileBeyondTheBoundIsSaidAndKept) {
  testsupport::TempDir dir;
  testsupport::EnvVar settingsDir("TARVIK_SETTINGS_DIR", dir.path().c_str());
  const std::string ini = platform::SettingsFilePath();
  testsupport::writeFile(ini, "[ECHOGRAM]\r\nsSmoothingFactor=3\r\n");
  const std::uintmax_t size = std::uintmax_t(1) << 30;
  std::filesystem::resize_file(ini, size);
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  EditorWindows w;
  createEditorWindows(w);
  std::unique_ptr<TfParent> parent(w.fParent);
  parent->show();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QString::fromStdString(ini)));
  EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("larger than 1 MB")));
  w.fSettings->show();
  EXPECT_EQ(w.fSettings->sSmoothingFactor->text(), "1") << "the default";
  w.fSettings->hide();
  w.fEditing->displayMainLoop->stop();
  parent->hide();
  EXPECT_EQ(std::filesystem::file_size(ini), size);
}

} // namespace
