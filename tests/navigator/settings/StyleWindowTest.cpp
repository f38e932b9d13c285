// The style window and the start-up's style.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Styles.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace {

class ThemeTest : public NavigatorTest {
protected:
  ThemeTest() { platform::ApplyStyle(QStringLiteral("Light")); }
  ~ThemeTest() override { platform::ApplyStyle(QStringLiteral("Windows")); }

  void pick(TfTheme &theme, const QString &name) {
    const auto found = theme.lbThemeList->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    theme.lbThemeList->setCurrentItem(found[0]);
    theme.lbThemeListClick(theme.lbThemeList);
  }
};

} // namespace

TEST_F(ThemeTest, ShowListsEveryStyleAndSelectsTheActiveOne) {
  createWindows();
  TfTheme &theme = *windows->fTheme;
  platform::ApplyStyle(QStringLiteral("Carbon"));
  theme.show();
  EXPECT_EQ(theme.lbThemeList->count(), platform::StyleNames().size());
  EXPECT_EQ(theme.lInfo->text().toStdString(),
            "Available themes: " + std::to_string(platform::StyleNames().size()) +
                ". Select to preview.");
  EXPECT_EQ(theme.lbThemeList->currentItem()->text(), "Carbon");
  EXPECT_EQ(theme.StyleAtShow, "Carbon");
  EXPECT_EQ(theme.bSaveExit->text(), "Save && Exit");
}

TEST_F(ThemeTest, PreviewsFollowTheListAndCancelReturnsToTheStyleOfShowing) {
  createWindows();
  windows->FNav->show();
  TfTheme &theme = *windows->fTheme;
  const TColor lightPanel = platform::ActiveStylePanelColor();
  theme.show();
  pick(theme, QStringLiteral("Carbon"));
  EXPECT_EQ(platform::ActiveStyleName(), "Carbon");
  EXPECT_EQ(windows->FNav->fcad->BackColor, platform::ActiveStylePanelColor());
  pick(theme, QStringLiteral("Sky"));
  EXPECT_EQ(platform::ActiveStyleName(), "Sky");
  theme.bCancelClick(theme.bCancel);
  EXPECT_EQ(platform::ActiveStyleName(), "Light");
  EXPECT_EQ(windows->FNav->fcad->BackColor, lightPanel);
  EXPECT_FALSE(theme.isVisible());
  EXPECT_FALSE(
      platform::IniFile(platform::SettingsFilePath()).ValueExists("APPLICATION", "ThemeStyle"));
}

TEST_F(ThemeTest, SaveAndExitRecordsTheStyleForTheNextStart) {
  createWindows();
  TfTheme &theme = *windows->fTheme;
  theme.show();
  pick(theme, QStringLiteral("Windows10 Dark"));
  theme.bSaveExitClick(theme.bSaveExit);
  EXPECT_FALSE(theme.isVisible());
  EXPECT_EQ(ReadThemeStyle(), "Windows10 Dark");

  platform::ApplyStyle(QStringLiteral("Light"));
  ApplyThemeStyle(ReadThemeStyle());
  EXPECT_EQ(platform::ActiveStyleName(), "Windows10 Dark");
}

TEST_F(ThemeTest, StartStyleDefaultsToLightAndTheExactPlainLookNameAppliesNone) {
  EXPECT_EQ(ReadThemeStyle(), "Light");
  platform::ApplyStyle(QStringLiteral("Carbon"));
  ApplyThemeStyle("Tarvik Sondrel - Default");
  EXPECT_EQ(platform::ActiveStyleName(), "Carbon");
}

TEST_F(ThemeTest, AStyleNameThatNamesNoStyleIsReportedAndTheLookStays) {
  platform::ApplyStyle(QStringLiteral("Carbon"));
  const QPalette before = QApplication::palette();
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  dialogs.answer(mrOk);
  ApplyThemeStyle("No Such Style");
  ApplyThemeStyle("tarvik sondrel - default"); // only the exact spelling is the plain look
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[0].text, "Style 'No Such Style' not found.");
  EXPECT_EQ(dialogs.messages()[0].type, mtError);
  EXPECT_EQ(dialogs.messages()[1].text, "Style 'tarvik sondrel - default' not found.");
  EXPECT_EQ(platform::ActiveStyleName(), "Carbon");
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), before.color(QPalette::Window));
}
