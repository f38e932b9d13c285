// The files the sound velocity window reads whole: a source picked in the dialog is read and
// checked before the profile in use is touched, a Turkish name opens as it stands, and a memo
// too large to hold is named and left unread at start.
#include "navigator/NavigatorFixture.h"

#include "navigator/mainwindow/MainWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using Rows = std::vector<std::string>;

const char *const castText = "Cast 17\r\n2023-05-01T10:15:30.123 1500.00,0.2\r\n"
                             "2023-05-01T10:15:30.123 1510.00,1.4\r\n"
                             "2023-05-01T10:15:30.123 1512.34,12.6\r\n";

class SvpSourceFiles : public NavigatorTest {
protected:
  TfSVP &svp() { return *windows->fSVP; }
  std::string dated(const std::string &name) const {
    return root.path() + "/2024-05-01/SVP/2024-05-01 " + name;
  }

  // A cast picked, processed to MaxDepth 2 and switched on: 1507.50 m/s at 2 m.
  void useProcessedProfile() {
    const std::string source = root.file("cast.txt");
    testsupport::writeFile(source, castText);
    dialogs.chooseFile(QString::fromStdString(source));
    svp().BitBtn1->click();
    svp().eMaxDepth->setText("2");
    svp().bRawToSVV->click();
    svp().bSVVtoAveragedSV->click();
    svp().bAveragedSVtoSVP->click();
    svp().cUseSVP->setChecked(true);
    ASSERT_EQ(svp().SoundVelocityForDepth(2, 1480), 1507.5);
  }

  testsupport::ScriptedDialogs dialogs;
};

TEST_F(SvpSourceFiles, AWrongPickLeavesTheProfileInUseAndItsSavedFilesThroughExit) {
  createWindows();
  useProcessedProfile();
  windows->FNav->Save1Click(windows->FNav); // the day's memo files, while the profile is in use
  const std::string savedColumn = testsupport::readFile(dated("mSVPColumn.ini"));
  ASSERT_EQ(savedColumn, "1500.00\r\n1505.00\r\n1507.50\r\n");
  const std::string savedRaw = testsupport::readFile(dated("mRawSVData.ini"));
  const Rows lists[] = {svp().Profile.mRawSVData, svp().Profile.mRawSVExtracted,
                        svp().Profile.mSortedAveragedSV, svp().Profile.mSVPColumn};

  std::string garbage;
  for (int i = 0; i < 4096; ++i)
    garbage.push_back(static_cast<char>((i * 7919 + 13) % 256));
  const struct {
    const char *name;
    std::string bytes;
    const char *reason;
  } picks[] = {
      {"garbage.bin", garbage, "not a text file"},
      {"empty.txt", "", "is empty"},
      {"notes.txt", "Cast of the morning\r\nno numbers here\r\n", "no line holds"},
      {"huge.txt", std::string(svp::SourceSizeLimit + 1, '1'), "larger than 4 MB"},
  };
  // The window's messages are in Turkish while the main window's language label is enabled.
  windows->FNav->lLanguage->setEnabled(false);
  for (const auto &pick : picks) {
    const std::string path = root.file(pick.name);
    testsupport::writeFile(path, pick.bytes);
    dialogs.chooseFile(QString::fromStdString(path));
    dialogs.answer(mrOk);
    svp().BitBtn1->click();
    ASSERT_FALSE(dialogs.messages().empty());
    const QString text = dialogs.messages().back().text;
    EXPECT_TRUE(text.contains(QString::fromStdString(path))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromLatin1(pick.reason))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("The profile in use is unchanged.")));
    EXPECT_EQ(svp().Profile.mRawSVData, lists[0]) << pick.name;
    EXPECT_EQ(svp().Profile.mRawSVExtracted, lists[1]) << pick.name;
    EXPECT_EQ(svp().Profile.mSortedAveragedSV, lists[2]) << pick.name;
    EXPECT_EQ(svp().Profile.mSVPColumn, lists[3]) << pick.name;
    EXPECT_EQ(svp().mSVPColumn->toPlainText(), "1500.00\n1505.00\n1507.50") << pick.name;
    EXPECT_TRUE(svp().cUseSVP->isChecked());
    EXPECT_EQ(svp().SoundVelocityForDepth(2, 1480), 1507.5) << pick.name;
  }

  windows->FNav->close();
  EXPECT_EQ(testsupport::readFile(dated("mSVPColumn.ini")), savedColumn);
  EXPECT_EQ(testsupport::readFile(dated("mRawSVData.ini")), savedRaw);
}

TEST_F(SvpSourceFiles, ASourceWithTurkishLettersInItsNameAndFolderLoads) {
  createWindows();
  const QString folder = QString::fromStdString(root.path()) + QString::fromUtf8("/ölçüm ğİş");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString name = folder + QString::fromUtf8("/Ağustos profili.txt");
  testsupport::writeFile(QFile::encodeName(name).toStdString(), castText);
  dialogs.chooseFile(name);
  svp().BitBtn1->click();
  EXPECT_EQ(svp().Profile.mRawSVData.size(), 4u);
  EXPECT_EQ(svp().Profile.mRawSVData[3], "2023-05-01T10:15:30.123 1512.34,12.6");
}

TEST_F(SvpSourceFiles, AMemoTooLargeAtStartIsNamedAndLeftUnread) {
  testsupport::writeFile(settings.file("mRawSVData.ini"), "raw beside\r\n");
  QDir().mkpath(QString::fromStdString(root.path() + "/2024-05-01/SVP"));
  std::string huge;
  while (huge.size() <= svp::SourceSizeLimit)
    huge += "2023-05-01T10:15:30.123 1500.00,0.2\r\n";
  testsupport::writeFile(dated("mRawSVData.ini"), huge);
  testsupport::writeFile(dated("mSVPColumn.ini"), "1500.00\r\n");
  createWindows();
  EXPECT_EQ(svp().Profile.mRawSVData, (Rows{"raw beside"})) << "the dated memo was left unread";
  EXPECT_EQ(svp().Profile.mSVPColumn, (Rows{"1500.00"}));
  TFMsg &messages = *windows->FMsg;
  EXPECT_TRUE(messages.isVisible());
  EXPECT_EQ(messages.Msg->toPlainText().toStdString(),
            "The file \"" + dated("mRawSVData.ini") + "\" is larger than 4 MB and was not read.");
}

} // namespace
