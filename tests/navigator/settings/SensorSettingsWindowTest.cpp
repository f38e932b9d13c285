// The settings window itself, built with the program's other windows: its controls, the port
// pages reaching the serial components, the monitors, the lock and the message type.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/IniFile.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

class SensorSettingsWindowTest : public NavigatorTest {
protected:
  TFGPS &gps() { return *windows->FGPS; }
  std::string eventLog() const {
    return testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Events.log");
  }
};

TEST_F(SensorSettingsWindowTest, ControlsShowTheDefaultsWithoutASettingsFile) {
  createWindows();
  TFGPS &w = gps();
  EXPECT_EQ(w.size(), QSize(754, 458));
  EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
  ASSERT_EQ(w.PageControl->count(), 5);
  const char *captions[] = {"GPS Settings", "Sensor (SBES) Settings", "Godetic Parameters",
                            "Global Setting", "I/O Port Monitor"};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(w.PageControl->tabText(i).toStdString(), captions[i]);
  EXPECT_EQ(w.PageControl->currentWidget(), w.tGlobalSetting);
  EXPECT_EQ(w.LockStateCheck1->text(), "SAVE && LOCK SETTINGS");
  EXPECT_FALSE(w.LockStateCheck1->isChecked());
  EXPECT_EQ(w.Port->count(), 256);
  EXPECT_EQ(w.Port->currentText(), "");
  EXPECT_EQ(w.SBaudRate->currentText(), "");
  EXPECT_TRUE(w.SensorEnabled->isChecked());
  EXPECT_TRUE(w.GyroEnabled->isChecked());
  EXPECT_EQ(w.cSBESMessage->currentText(), "Tarvik SMT");
  EXPECT_EQ(w.cSBESMessage->count(), 8);
  EXPECT_EQ(w.eSBESFormat->text(), "%*8s,%lf,%lf");
  EXPECT_TRUE(w.cbUseDTP->isChecked());
  EXPECT_FALSE(w.cbUseDTP->isEnabled());
  EXPECT_TRUE(w.cbUseTMProjection->isChecked());
  EXPECT_FALSE(w.cbUseLCCProjection->isChecked());
  EXPECT_TRUE(w.cbGridVisible->isChecked());
  EXPECT_EQ(w.edGridSpacingX->text(), "100");
  EXPECT_EQ(w.cbGridColor->currentText(), "Silver");
  EXPECT_EQ(w.cbTextColor->currentText(), "Black");
  EXPECT_EQ(w.cbEventLabelColor->currentText(), "Red");
  EXPECT_EQ(w.edDepthLabelFontName->text(), "Arial");
  EXPECT_EQ(w.edEventLabelFontSize->text(), "24");
  EXPECT_EQ(w.MemoGPS->toPlainText(), "NMEA POSITION DATA");
  EXPECT_EQ(w.MemoSensor->toPlainText(), "NMEA SENSOR DATA");
  EXPECT_EQ(w.MemoSensor->lineWrapMode(), QPlainTextEdit::NoWrap);
  // The canvas already carries the grid settings.
  EXPECT_TRUE(windows->FNav->fcad->GridVisible);
  EXPECT_EQ(windows->FNav->fcad->GridSpacingX, 100.0);
}

TEST_F(SensorSettingsWindowTest, SetButtonsApplyThePagesToTheSerialComponents) {
  createWindows();
  TFGPS &w = gps();
  w.Port->setCurrentText("COM25");
  w.BaudRate->setCurrentText("115200");
  w.DataWidth->setCurrentText("7");
  w.StopBits->setCurrentText("2");
  w.Parity->setCurrentText("Odd");
  w.Priority->setCurrentText("Normal");
  w.Delay->setCurrentText("100");
  w.NMEALog->setCurrentText("True");
  w.LogTime->setCurrentText("True");
  w.EnableDTR->setCurrentText("True");
  w.EnableRTS->setCurrentText("False");
  w.GPSSet->click();
  const TTarvikSerialGPS &port = *windows->FNav->ZGPS1;
  EXPECT_EQ(port.PortNumber, 25);
  EXPECT_EQ(port.BaudRate, 115200);
  EXPECT_EQ(port.DataBitsCode, 3);
  EXPECT_EQ(port.StopBitsCode, 3);
  EXPECT_EQ(port.ParityCode, 1);
  EXPECT_EQ(port.Priority, 6);
  EXPECT_EQ(port.PollIntervalMs, 100);
  EXPECT_TRUE(port.NmeaLogEnabled && port.LogTimeStamp && port.EnableDTR);
  EXPECT_FALSE(port.EnableRTS);
  EXPECT_EQ(port.NmeaLogPath, SurveyDay().LogFolder + "2024-05-01 TSD_GNSS_V3.log");

  // A data width nobody can open the port with is reported.
  testsupport::ScriptedDialogs dialogs;
  w.SPort->setCurrentText("COM4");
  w.SBaudRate->setCurrentText("4800");
  w.SDataWidth->setCurrentText("9");
  dialogs.answer(mrOk);
  w.SensorSet->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(),
            "Sensor port: Data Width \"9\" is not one of 5, 6, 7, 8. It and the settings after it "
            "were not applied.");
  EXPECT_EQ(windows->FNav->ZSENSOR->PortNumber, 4);
  EXPECT_EQ(windows->FNav->ZSENSOR->BaudRate, 4800);
  EXPECT_EQ(windows->FNav->ZSENSOR->DataBitsCode, 4);
}

TEST_F(SensorSettingsWindowTest, APortNameThatIsNoPortIsRefusedWithTheNameTyped) {
  createWindows();
  TFGPS &w = gps();
  testsupport::ScriptedDialogs dialogs;
  w.Port->setCurrentText("COM999");
  w.BaudRate->setCurrentText("115200");
  dialogs.answer(mrOk);
  w.GPSSet->click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text.toStdString(),
            "GPS port: Port \"COM999\" is no serial port; the ports are COM1 to COM256. It and the "
            "settings after it were not applied.");
  EXPECT_EQ(windows->FNav->ZGPS1->PortNumber, 1);
  EXPECT_EQ(windows->FNav->ZGPS1->BaudRate, 9600);
}

TEST_F(SensorSettingsWindowTest, MonitorsEmptyThemselvesBeyondAHundredLinesAndOnClosing) {
  createWindows();
  TFGPS &w = gps();
  for (int i = 1; i <= 99; ++i)
    TFGPS::AddMonitorLine(w.MemoGPS, "$GPGGA," + std::to_string(i));
  EXPECT_EQ(w.MemoGPS->blockCount(), 100);
  TFGPS::AddMonitorLine(w.MemoGPS, "$GPGGA,100");
  EXPECT_TRUE(w.MemoGPS->toPlainText().isEmpty());
  // Lines are 8-bit text in the Turkish code page.
  TFGPS::AddMonitorLine(w.MemoSensor, "SMT \xDE\xFD");
  EXPECT_EQ(w.MemoSensor->toPlainText(), QString::fromUtf8("NMEA SENSOR DATA\nSMT Şı"));

  w.show();
  w.BitBtn2->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_TRUE(w.MemoGPS->toPlainText().isEmpty());
  EXPECT_TRUE(w.MemoSensor->toPlainText().isEmpty());
}

TEST_F(SensorSettingsWindowTest, HoldingAMouseButtonOnAMonitorPausesIt) {
  createWindows();
  TFGPS &w = gps();
  windows->FNav->MonitorEcho = true;
  QTest::mousePress(w.MemoSensor->viewport(), Qt::LeftButton);
  EXPECT_FALSE(windows->FNav->MonitorEcho);
  QTest::mouseRelease(w.MemoSensor->viewport(), Qt::LeftButton);
  EXPECT_TRUE(windows->FNav->MonitorEcho);
  QTest::mousePress(w.MemoGPS->viewport(), Qt::RightButton);
  EXPECT_FALSE(windows->FNav->MonitorEcho);
}

TEST_F(SensorSettingsWindowTest, LockingSavesLogsAndDisablesTheSettingsPages) {
  createWindows();
  TFGPS &w = gps();
  w.Port->setCurrentText("COM3");
  w.BaudRate->setCurrentText("19200");
  w.SPort->setCurrentText("COM5");
  w.SBaudRate->setCurrentText("9600");
  w.SensorEnabled->click();
  w.edNameOfDatum->setText("ED50");
  w.edCM->setText("33");
  w.edSF->setText("1");
  w.cbUseLCCProjection->click();
  w.eLCCSP1->setText("36");
  w.LockStateCheck1->click();
  EXPECT_EQ(eventLog(),
            "\nAuto Event:\t2024-05-01 101530123\t=== SETTINGS SAVED ==="
            "\nAuto Event:\t2024-05-01 101530123\tGPS: Port=COM3, Baud=19200"
            "\nAuto Event:\t2024-05-01 101530123\tSensor: Port=COM5, Baud=9600, "
            "Enabled=No"
            "\nAuto Event:\t2024-05-01 101530123\tDatum: ED50, DTP=Yes"
            "\nAuto Event:\t2024-05-01 101530123\tTM: CM=33, RefLat=0, SF=1, FE=500000, FN=0"
            "\nAuto Event:\t2024-05-01 101530123\tLCC: Enabled, SP1=36, SP2="
            "\nAuto Event:\t2024-05-01 101530123\t======================");
  for (QWidget *page : {w.GPSTabSheet, w.SensorTabSheet, w.ParametersTabSheet, w.tGlobalSetting})
    EXPECT_FALSE(page->isEnabled()) << page->objectName().toStdString();
  EXPECT_TRUE(w.TabSheet1->isEnabled());
  EXPECT_TRUE(w.BitBtn2->isEnabled());
  EXPECT_FALSE(w.cbUseTMProjection->isChecked());

  // The next start shows the saved values, locked, without saving again.
  const std::string savedLog = eventLog();
  windows.reset();
  createWindows();
  TFGPS &again = gps();
  EXPECT_EQ(again.Port->currentText(), "COM3");
  EXPECT_EQ(again.Port->currentIndex(), 2);
  EXPECT_EQ(again.SPort->currentText(), "COM5");
  EXPECT_FALSE(again.SensorEnabled->isChecked());
  EXPECT_EQ(again.edCM->text(), "33");
  EXPECT_TRUE(again.cbUseLCCProjection->isChecked());
  EXPECT_FALSE(again.cbUseTMProjection->isChecked());
  EXPECT_TRUE(again.LockStateCheck1->isChecked());
  EXPECT_FALSE(again.GPSTabSheet->isEnabled());
  EXPECT_EQ(eventLog(), savedLog);
  again.show();
  EXPECT_EQ(eventLog(), savedLog);
  EXPECT_FALSE(again.tGlobalSetting->isEnabled());

  // Unlocking through the box enables the pages again.
  again.LockStateCheck1->click();
  EXPECT_TRUE(again.GPSTabSheet->isEnabled());
  EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("LOCK SETTINGS", "Lock Settings", ""),
            "0");
}

TEST_F(SensorSettingsWindowTest, MessageTypesSetTheFormatAndTheRealtimeWindow) {
  createWindows();
  TFGPS &w = gps();
  TfRealtime &realtime = *windows->fRealtime;
  w.cSBESMessage->setCurrentText("Tarvik XDR H/L");
  EXPECT_EQ(w.eSBESFormat->text(), "%*8s,%lf,%*8s,%lf");
  EXPECT_FALSE(realtime.DepthFrameLo->isHidden());
  EXPECT_EQ(realtime.height(), 382); // shown from the start: its height stays
  w.cSBESMessage->setCurrentText("NMEA DPT");
  EXPECT_EQ(w.eSBESFormat->text(), "%*6s,%lf");
  EXPECT_TRUE(realtime.DepthFrameLo->isHidden());
  EXPECT_EQ(realtime.height(), 289);

  // A typed format is checked when the typing ends; a refused one gives way to the previous.
  testsupport::ScriptedDialogs dialogs;
  w.eSBESFormat->setText("%*6s,%lf%n");
  EXPECT_EQ(w.scanFormat(), "%*6s,%lf");
  dialogs.answer(mrOk);
  emit w.eSBESFormat->editingFinished();
  EXPECT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(w.eSBESFormat->text(), "%*6s,%lf");
  w.eSBESFormat->setText("$SDDPT,%lf");
  emit w.eSBESFormat->editingFinished();
  EXPECT_EQ(w.scanFormat(), "$SDDPT,%lf");

  // "OTHER" keeps the user's own format, also when the start timer chooses it again.
  w.cSBESMessage->setCurrentText("OTHER");
  EXPECT_EQ(w.eSBESFormat->text(), "");
  w.eSBESFormat->setText("%*s %lf");
  emit w.eSBESFormat->editingFinished();
  w.cSBESMessageChange();
  EXPECT_EQ(w.eSBESFormat->text(), "%*s %lf");
  EXPECT_EQ(w.scanFormat(), "%*s %lf");
  EXPECT_TRUE(realtime.DepthFrameLo->isHidden());
}

TEST_F(SensorSettingsWindowTest, GridAndLabelControlsActAtOnceWhileUnlocked) {
  createWindows();
  TFGPS &w = gps();
  TTarvikCanvas &canvas = *windows->FNav->fcad;
  w.cbGridVisible->click();
  EXPECT_FALSE(canvas.GridVisible);
  w.edGridSpacingX->setText("20");
  w.cbAutoGrid->click();
  EXPECT_FALSE(w.edGridSpacingX->isEnabled());
  EXPECT_EQ(canvas.GridSpacingX, 0.0);
  w.cbAutoGrid->click();
  EXPECT_EQ(canvas.GridSpacingX, 20.0);
  w.cbGridColor->setCurrentIndex(w.cbGridColor->findText("Navy"));
  emit w.cbGridColor->activated(w.cbGridColor->currentIndex());
  EXPECT_EQ(canvas.GridColor, clNavy);
  w.edEventLabelFontSize->setText("x");
  EXPECT_EQ(EventLabelFontSize, 24);
  w.edEventLabelFontSize->setText("30");
  EXPECT_EQ(EventLabelFontSize, 30);
  w.cbShowDepthLabels->click();
  EXPECT_FALSE(w.Model.DepthLabelSettingShown);
}

} // namespace
