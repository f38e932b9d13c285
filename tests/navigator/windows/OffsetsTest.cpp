#include "navigator/NavigatorFixture.h"

#include "navigator/acquisition/OffsetsCheck.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>
#include <sys/stat.h>

namespace {

TOffsetTexts goodValues() {
  return {"0.5",      "2.0",  "1.5",
          "1500",     "0.25", "Golden Horn",
          "Tarvik 1", "Ayşe", "2024-05-01 101530123"};
}

struct CheckCase {
  const char *name;
  void (*change)(TOffsetTexts &);
  bool refused;
  TOffsetField field;
  const char *english;
  const char *turkish;
};

const CheckCase checkCases[] = {
    {"all good", [](TOffsetTexts &) {}, false, TOffsetField::OffsetA, "", ""},
    {"A + C just within B", [](TOffsetTexts &t) { t.OffsetB = "2.025"; }, false,
     TOffsetField::OffsetA, "", ""},
    {"A + C too far from B", [](TOffsetTexts &t) { t.OffsetB = "2.03"; }, true,
     TOffsetField::OffsetA, "Measurements contains error: A + C must be close enough to B.",
     "Ölçümlerde hata var: A + C toplamı B değerine yakın olması gerekir"},
    {"lowest SV", [](TOffsetTexts &t) { t.SV = "1300"; }, false, TOffsetField::SV, "", ""},
    {"highest SV", [](TOffsetTexts &t) { t.SV = "1700"; }, false, TOffsetField::SV, "", ""},
    {"SV too low", [](TOffsetTexts &t) { t.SV = "1299.9"; }, true, TOffsetField::SV,
     "Error in Sound Velocity (SV) value", "SV/SE değerinde hata var"},
    {"SV too high", [](TOffsetTexts &t) { t.SV = "1700.1"; }, true, TOffsetField::SV,
     "Error in Sound Velocity (SV) value", "SV/SE değerinde hata var"},
    {"B a letter", [](TOffsetTexts &t) { t.OffsetB = "x"; }, true, TOffsetField::OffsetB,
     "Failed! Recheck offset B", "Başarısız! B değerini yeniden kontrol ediniz."},
    {"A empty", [](TOffsetTexts &t) { t.OffsetA = ""; }, true, TOffsetField::OffsetA,
     "Failed! Recheck offset A", "Başarısız! A değerini yeniden kontrol ediniz."},
    {"A not a number", [](TOffsetTexts &t) { t.OffsetA = "nan"; }, true, TOffsetField::OffsetA,
     "Failed! Recheck offset A", "Başarısız! A değerini yeniden kontrol ediniz."},
    {"C and tide both bad: C first",
     [](TOffsetTexts &t) {
       t.OffsetC = "-";
       t.TideHt = "?";
     },
     true, TOffsetField::OffsetC, "Failed! Recheck offset C",
     "Başarısız! C değerini yeniden kontrol ediniz."},
    {"SV a word", [](TOffsetTexts &t) { t.SV = "fast"; }, true, TOffsetField::SV,
     "Failed! Recheck SV value", "Başarısız! SV/SH değerini yeniden kontrol ediniz."},
    {"tide a word", [](TOffsetTexts &t) { t.TideHt = "low"; }, true, TOffsetField::TideHt,
     "Failed! Recheck tide height", "Başarısız! Su kotunu kontrol ediniz."},
    {"location a blank", [](TOffsetTexts &t) { t.Location = " "; }, false, TOffsetField::Location,
     "", ""},
    {"location empty", [](TOffsetTexts &t) { t.Location = ""; }, true, TOffsetField::Location,
     "Failed! Location cannot be missing", "Başarısız! Yer adı boş olamaz"},
    {"boat empty", [](TOffsetTexts &t) { t.SurveyBoat = ""; }, true, TOffsetField::SurveyBoat,
     "Failed! Name/type of survey boat cannot be missing",
     "Başarısız! Ölçme aracının adı boş olamaz"},
    {"surveyor empty", [](TOffsetTexts &t) { t.Surveyor = ""; }, true, TOffsetField::Surveyor,
     "Failed! Name of surveyor cannot be missing", "Başarısız! Öçen kişinin adı boş olamaz"},
    {"names are checked before the sums",
     [](TOffsetTexts &t) {
       t.Surveyor = "";
       t.SV = "9";
     },
     true, TOffsetField::Surveyor, "Failed! Name of surveyor cannot be missing",
     "Başarısız! Öçen kişinin adı boş olamaz"},
    {"a number with a unit after it passes the first look",
     [](TOffsetTexts &t) { t.TideHt = "0.3m"; }, false, TOffsetField::TideHt, "", ""},
};

TEST(OffsetsCheck, RefusesTheFirstFailingValueWithItsMessageInEitherLanguage) {
  for (const CheckCase &c : checkCases) {
    TOffsetTexts texts = goodValues();
    c.change(texts);
    for (const bool turkish : {false, true}) {
      const auto refusal = CheckOffsets(texts, turkish);
      ASSERT_EQ(refusal.has_value(), c.refused) << c.name;
      if (!refusal)
        continue;
      EXPECT_EQ(refusal->Field, c.field) << c.name;
      EXPECT_EQ(refusal->Message.toStdString(), turkish ? c.turkish : c.english) << c.name;
    }
  }
}

TEST(OffsetsCheck, ANumberThatIsNotWholeRaisesTheConversionError) {
  TOffsetTexts texts = goodValues();
  texts.OffsetA = "1,5";
  EXPECT_THROW(CheckOffsets(texts, true), platform::EConvertError);
}

TEST(OffsetsCheck, TimeFormatWarnsOnlyWhenTheClockTextHoldsAColon) {
  EXPECT_FALSE(OffsetsTimeFormatWarning("2024-05-01 101530123", false));
  const auto warning = OffsetsTimeFormatWarning("2024-05-01 10:15:30", false);
  ASSERT_TRUE(warning);
  EXPECT_EQ(warning->toStdString(), "Time format does not fit requirements. The date and time "
                                    "fromat must be YYYY-DD-MM HHmmssfff");
}

TEST(OffsetsCheck, LogBlockInEnglish) {
  EXPECT_EQ(OffsetsLogBlock(goodValues(), false, false),
            "\n\nTarvik Sondrel - offsets essential for post processing\n"
            "Time..............................\t=2024-05-01 101530123"
            "\nSurvey Location...................\t=Golden Horn"
            "\nSurvey Boat.......................\t=Tarvik 1"
            "\nTransducer Draft (A)..............\t=0.5"
            "\nTransducer - Antenna Offset (B)...\t=2.0"
            "\nAntenna Height Above Water (C)....\t=1.5"
            "\nSound Velocity....................\t=1500"
            "\nTide Height.......................\t=0.25"
            "\nSurveyor..........................\t=Ay\xFE"
            "e");
}

TEST(OffsetsCheck, LogBlockInTurkishIsWindows1254AndNamesTheProfileWhenItIsUsed) {
  const std::string block = OffsetsLogBlock(goodValues(), true, true);
  EXPECT_EQ(block.substr(0, 58), "\n\nTarvik Sondrel - veri i\xFEleme i\xE7in gerekli de\xF0"
                                 "erler\nZaman");
  EXPECT_NE(block.find("\nSes h\xFDz\xFD....................................\t=Ses h\xFDz\xFD "
                       "profili kullan\xFDld\xFD\n"),
            std::string::npos);
  EXPECT_NE(block.find("\n\xD6l\xE7"
                       "en.......................................\t=Ay\xFE"
                       "e"),
            std::string::npos);
  EXPECT_EQ(block.back(), 'e');
}

class OffsetsWindowTest : public NavigatorTest {
protected:
  OffsetsWindowTest() {
    createWindows();
    offsets = windows->Offsets;
  }

  void type(const TOffsetTexts &t) {
    offsets->OffsetA->setText(t.OffsetA);
    offsets->OffsetB->setText(t.OffsetB);
    offsets->OffsetC->setText(t.OffsetC);
    offsets->SV->setText(t.SV);
    offsets->TideHt->setText(t.TideHt);
    offsets->Location->setText(t.Location);
    offsets->SurveyBoat->setText(t.SurveyBoat);
    offsets->Surveyor->setText(t.Surveyor);
  }

  std::string offsetsLog() const { return SurveyDay().LogFolder + "2024-05-01 Offsets.log"; }

  TOffsets *offsets = nullptr;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(OffsetsWindowTest, RealtimeLogsTheBlockStoresPaddedKeysSavesTheDrawingAndHides) {
  offsets->show();
  type(goodValues());
  offsets->BitBtn1Click(offsets);

  EXPECT_FALSE(offsets->isVisible());
  EXPECT_TRUE(dialogs.messages().empty());
  EXPECT_EQ(testsupport::readFile(offsetsLog()), OffsetsLogBlock(offsets->texts(), true, false));
  EXPECT_TRUE(
      QFile::exists(QString::fromStdString(SurveyDay().DrawingFolder + "2024-05-01 1015.zrv")));

  const std::string ini = testsupport::readFile(settingsFile());
  for (const char *line : {"Offset A     =0.5", "Offset B     =2.0", "Offset C     =1.5",
                           "SV           =1500", "Tide Height  =0.25",
                           "Surveyor     =Ay\xFE"
                           "e",
                           "SurveyBoat   =Tarvik 1", "SurveyLocation=Golden Horn"})
    EXPECT_NE(ini.find(line), std::string::npos) << line;

  // A second run appends its block after a blank line.
  offsets->BitBtn1Click(offsets);
  const std::string block = OffsetsLogBlock(offsets->texts(), true, false);
  EXPECT_EQ(testsupport::readFile(offsetsLog()), block + block);

  // The stored values come back when the window is shown again.
  offsets->OffsetA->clear();
  offsets->Surveyor->clear();
  offsets->show();
  EXPECT_EQ(offsets->OffsetA->text().toStdString(), "0.5");
  EXPECT_EQ(offsets->Surveyor->text().toStdString(), "Ayşe");
}

TEST_F(OffsetsWindowTest, ARefusedValueIsShownFocusedAndNothingIsLoggedButTheDrawingIsSaved) {
  offsets->show();
  TOffsetTexts bad = goodValues();
  bad.OffsetB = "x";
  type(bad);
  dialogs.answer(mrOk);
  EXPECT_THROW(offsets->BitBtn1Click(offsets), platform::EAbort);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(),
            "Başarısız! B değerini yeniden kontrol ediniz.");
  EXPECT_FALSE(QFile::exists(QString::fromStdString(offsetsLog())));
  EXPECT_EQ(testsupport::readFile(settingsFile()).find("Offset A"), std::string::npos);
  EXPECT_TRUE(
      QFile::exists(QString::fromStdString(SurveyDay().DrawingFolder + "2024-05-01 1015.zrv")));
}

TEST_F(OffsetsWindowTest, WithTheProfileInUseTheLogNamesItWhileTheSettingsKeepTheValue) {
  // Only the switch's state matters here, not what switching on does in its own window.
  const QSignalBlocker quiet(windows->fSVP->cUseSVP);
  windows->fSVP->cUseSVP->setChecked(true);
  offsets->show();
  type(goodValues());
  offsets->BitBtn1Click(offsets);
  EXPECT_NE(testsupport::readFile(offsetsLog()).find("profili kullan"), std::string::npos);
  EXPECT_NE(testsupport::readFile(settingsFile()).find("SV           =1500"), std::string::npos);
}

TEST_F(OffsetsWindowTest, AnOffsetsLogThatCannotBeOpenedIsReportedAndTheValuesAreStillStored) {
  offsets->show();
  type(goodValues());
  QDir(QString::fromStdString(SurveyDay().LogFolder)).removeRecursively();
  // A file where the folder should be: neither the folder nor the log can be made.
  testsupport::writeFile(SurveyDay().SurveyFolder + "LOG", "");
  dialogs.answer(mrOk); // the offsets log
  dialogs.answer(mrOk); // the event log of the automatic save, once the command has returned
  // The survey start that follows fails on the missing folder or on the machine's serial port,
  // whichever it meets first; either way it says so itself.
  try {
    offsets->BitBtn1Click(offsets);
  } catch (...) {
  }
  QCoreApplication::processEvents();
  const auto shown = [&](const QString &start) {
    for (const auto &m : dialogs.messages())
      if (m.text.startsWith(start))
        return true;
    return false;
  };
  EXPECT_TRUE(shown(QStringLiteral("Cannot open the offsets log")));
  EXPECT_TRUE(shown(QStringLiteral("Cannot write the event log")));
  EXPECT_NE(testsupport::readFile(settingsFile()).find("Offset A     =0.5"), std::string::npos);
}

// A named pipe with no reader at the log's name would hold a plain open for ever, and the window
// with it; the log is refused with its reason and the values are still stored.
TEST_F(OffsetsWindowTest, APipeAtTheOffsetsLogIsRefusedWithItsReason) {
  offsets->show();
  type(goodValues());
  ASSERT_EQ(::mkfifo(offsetsLog().c_str(), 0644), 0);
  dialogs.answer(mrOk);
  try {
    offsets->BitBtn1Click(offsets);
  } catch (...) { // the survey start that follows may fail on the machine's serial port
  }
  bool told = false;
  for (const auto &m : dialogs.messages())
    told = told || m.text == QStringLiteral("Cannot open the offsets log ") +
                                 QString::fromStdString(offsetsLog()) +
                                 QStringLiteral(": Not a regular file.");
  EXPECT_TRUE(told);
  EXPECT_NE(testsupport::readFile(settingsFile()).find("Offset A     =0.5"), std::string::npos);
}

TEST_F(OffsetsWindowTest, LeavingAnEditThatHoldsNoNumberShowsTheConversionMessage) {
  offsets->OffsetA->setText("");
  dialogs.answer(mrOk);
  offsets->NumberEditExit(offsets->OffsetA);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(), "'' is not a valid floating point value");
  offsets->OffsetA->setText("1.25");
  offsets->NumberEditExit(offsets->OffsetA);
  EXPECT_EQ(dialogs.messages().size(), 1u);
}

TEST_F(OffsetsWindowTest, DoubleClickUncoversTheSketch) {
  offsets->FormDblClick(offsets);
  EXPECT_EQ(offsets->height(), 410);
}

TEST_F(OffsetsWindowTest, TheNtripWindowIsModalOnlyWhileItIsOpenFromTheOffsetsWindow) {
  QWidget *ntrip = windows->frmNTRIPSettings;
  ASSERT_NE(ntrip, nullptr);
  offsets->bNTRIPShowClick(offsets);
  ASSERT_TRUE(ntrip->isVisible());
  EXPECT_TRUE(ntrip->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), ntrip);

  ntrip->close();
  EXPECT_FALSE(ntrip->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // Shown again from the main window's menu, it leaves the other windows usable.
  windows->FNav->TarvikNTRIPClient1Click(windows->FNav);
  ASSERT_TRUE(ntrip->isVisible());
  EXPECT_FALSE(ntrip->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // The offsets window's button then only brings the open window forward.
  offsets->bNTRIPShowClick(offsets);
  EXPECT_FALSE(ntrip->isModal());
  ntrip->close();
}

} // namespace
