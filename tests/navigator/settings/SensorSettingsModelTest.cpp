// The settings window's logic: its settings sections, the lock, the message type and its scan
// format, and the grid and label settings that reach the canvas.
#include "navigator/settings/SensorSettingsModel.h"
#include "canvas/TarvikCanvas.h"
#include "platform/IniFile.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using V = SensorSettingsValues;
using navigator::LowFreqFrame;

class SensorSettingsModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    EventLabelFontSize = 12;
    EventLabelColor = 0;
  }

  std::unique_ptr<SensorSettingsModel> makeModel() {
    SensorSettingsModel::Host host;
    host.canvas = [this] { return withCanvas ? &canvas : nullptr; };
    host.lowFreqFrame = [this](LowFreqFrame f) { frames.push_back(f); };
    host.dayLogPath = [](const std::string &name) { return "/logs/2024-05-01" + name; };
    host.appendEvent = [this](const std::string &text) { events.push_back(text); };
    return std::make_unique<SensorSettingsModel>(iniPath, host);
  }
  std::unique_ptr<SensorSettingsModel> created() {
    auto m = makeModel();
    m->FormCreate();
    return m;
  }
  void writeIni(std::string_view text) { testsupport::writeFile(iniPath, text); }
  std::string ini() const { return testsupport::readFile(iniPath); }
  std::string read(const std::string &section, const std::string &key) const {
    return platform::IniFile(iniPath).ReadString(section, key, "<missing>");
  }

  testsupport::TempDir dir;
  std::string iniPath = dir.file("TarvikSondrel.INI");
  TTarvikCanvas canvas{nullptr, true};
  bool withCanvas = true;
  std::vector<LowFreqFrame> frames;
  std::vector<std::string> events;
};

TEST_F(SensorSettingsModelTest, DefaultsWithoutASettingsFile) {
  auto m = created();
  const V &v = m->Values;
  for (const auto *page : {&v.GPS, &v.Sensor}) {
    for (const QString &text :
         {page->Port, page->BaudRate, page->DataWidth, page->StopBits, page->Parity, page->Priority,
          page->Delay, page->NMEALog, page->LogTime, page->EnableDTR, page->EnableRTS})
      EXPECT_TRUE(text.isEmpty()) << text.toStdString();
  }
  EXPECT_TRUE(v.SensorEnabled);
  EXPECT_TRUE(v.GyroEnabled);
  EXPECT_EQ(v.cSBESMessage, "Tarvik SMT");
  // The stock one-value format cannot read both values of the stock type: the type's own is used.
  EXPECT_EQ(v.eSBESFormat, "%*8s,%lf,%lf");
  EXPECT_EQ(m->scanFormat(), "%*8s,%lf,%lf");
  EXPECT_TRUE(v.edSMA.isEmpty());
  EXPECT_TRUE(v.cbUseTMProjection);
  EXPECT_FALSE(v.cbUseLCCProjection);
  EXPECT_TRUE(v.cbUseDTP);
  EXPECT_FALSE(v.LockStateCheck1);
  EXPECT_TRUE(v.GPSTabSheetEnabled && v.SensorTabSheetEnabled && v.ParametersTabSheetEnabled &&
              v.tGlobalSettingEnabled);
  EXPECT_TRUE(v.edGridSpacingEnabled);
  EXPECT_TRUE(m->GridSettingVisible);
  EXPECT_FALSE(m->GridSettingAuto);
  EXPECT_EQ(m->GridSettingSpacingX, 100.0);
  EXPECT_EQ(m->GridSettingSpacingY, 100.0);
  EXPECT_EQ(m->GridSettingColor, 0xC0C0C0u);
  EXPECT_TRUE(m->DepthLabelSettingShown);
  EXPECT_EQ(m->DepthLabelSettingSpacing, 10.0);
  EXPECT_EQ(m->DepthLabelSettingFontName, "Arial");
  EXPECT_EQ(m->DepthLabelSettingFontSize, 12);
  EXPECT_EQ(m->DepthLabelSettingColor, 0u);
  EXPECT_EQ(EventLabelFontSize, 24);
  EXPECT_EQ(EventLabelColor, 255u);
  EXPECT_TRUE(canvas.GridVisible);
  EXPECT_FALSE(canvas.GridAutoScale);
  EXPECT_EQ(canvas.GridSpacingX, 100.0);
  EXPECT_EQ(canvas.GridColor, 0xC0C0C0u);
  // Creation writes nothing and logs nothing.
  EXPECT_TRUE(ini().empty());
  EXPECT_TRUE(events.empty());
}

TEST_F(SensorSettingsModelTest, LockingSavesEverySectionAndLogsTheSavedSettings) {
  auto m = created();
  V &v = m->Values;
  v.GPS = {"COM3", "115200", "8", "1", "None", "Normal", "50", "True", "False", "True", "True"};
  v.Sensor = {"COM21", "4800", "7", "2", "Even", "High", "10", "False", "True", "False", "False"};
  v.cSBESMessage = "NMEA DPT";
  m->cSBESMessageChange();
  v.edNameOfDatum = "ED50";
  v.edSMA = "6378388";
  v.edCM = "27";
  v.edRL = "0";
  v.edSF = "0.9996";
  v.edFE = "500000";
  v.edFN = "0";
  v.eLCCSP1 = "36";
  v.eLCCSP2 = "42";
  v.edGridSpacingX = "250";
  v.edDepthLabelFontName = "Tahoma";
  m->cbGridColorChange(0x00FF00);
  m->setCheck(&V::LockStateCheck1, true);

  const auto gps = [&](const char *key) { return read("GPS1 COMUNICATION SETTINGS", key); };
  const auto sensor = [&](const char *key) { return read("SENSOR COMUNICATION SETTINGS", key); };
  EXPECT_EQ(read("LOCK SETTINGS", "Lock Settings"), "1");
  EXPECT_EQ(gps("Port No"), "COM3");
  EXPECT_EQ(gps("Baud Rate"), "115200");
  EXPECT_EQ(gps("NMEA LOG"), "True");
  EXPECT_EQ(gps("Enable RTS"), "True");
  EXPECT_EQ(sensor("Port No"), "COM21");
  EXPECT_EQ(sensor("Parity"), "Even");
  EXPECT_EQ(sensor("Sensor Enabled"), "1");
  EXPECT_EQ(sensor("cSBESMessage"), "NMEA DPT");
  EXPECT_EQ(sensor("eSBESFormat"), "%*6s,%lf");
  EXPECT_EQ(read("GYRO", "Gyro Enabled"), "1");
  EXPECT_EQ(read("GEODETIC_PARAMETERS", "SemiMajorAxis"), "6378388");
  EXPECT_EQ(read("GEODETIC_PARAMETERS", "Use Projection"), "1");
  EXPECT_EQ(read("GEODETIC_PARAMETERS", "cbUseLCCProjection"), "0");
  EXPECT_EQ(read("GEODETIC_PARAMETERS", "Name of Datum"), "ED50");
  EXPECT_EQ(read("GRID_SETTINGS", "GridSpacingX"), "250");
  EXPECT_EQ(read("GRID_SETTINGS", "GridColor"), "65280");
  EXPECT_EQ(read("DEPTH_LABEL_SETTINGS", "FontName"), "Tahoma");
  EXPECT_EQ(read("EVENT_LABEL_SETTINGS", "FontSize"), "24");
  EXPECT_EQ(read("EVENT_LABEL_SETTINGS", "TextColor"), "255");
  // Keys are padded to their widths, in the sections' order.
  const std::string file = ini();
  EXPECT_NE(file.find("Port No        =COM3"), std::string::npos);
  EXPECT_NE(file.find("Port No         =COM21"), std::string::npos);
  EXPECT_NE(file.find("Sensor Enabled     =1"), std::string::npos);
  EXPECT_NE(file.find("Gyro Enabled     =1"), std::string::npos);
  EXPECT_LT(file.find("[GPS1 COMUNICATION SETTINGS]"), file.find("[SENSOR COMUNICATION"));
  EXPECT_LT(file.find("Enable DTR     =True"), file.find("Enable RTS     =True"));
  EXPECT_LT(file.find("Enable RTS     =True"), file.find("[SENSOR"));

  const std::vector<std::string> expected = {
      "=== SETTINGS SAVED ===",
      "GPS: Port=COM3, Baud=115200",
      "Sensor: Port=COM21, Baud=4800, Enabled=Yes",
      "Datum: ED50, DTP=Yes",
      "TM: CM=27, RefLat=0, SF=0.9996, FE=500000, FN=0",
      "LCC: Disabled, SP1=36, SP2=42",
      "======================",
  };
  EXPECT_EQ(events, expected);
  EXPECT_FALSE(v.GPSTabSheetEnabled || v.SensorTabSheetEnabled || v.ParametersTabSheetEnabled ||
               v.tGlobalSettingEnabled);
  EXPECT_EQ(m->GridSettingSpacingX, 250.0);
  EXPECT_EQ(m->DepthLabelSettingFontName, "Tahoma");
  EXPECT_EQ(canvas.GridSpacingX, 250.0);
  EXPECT_EQ(canvas.GridColor, 0x00FF00u);

  // Unlocking writes the lock alone.
  const std::string before = ini();
  events.clear();
  v.edSMA = "1";
  m->setCheck(&V::LockStateCheck1, false);
  std::string after = before;
  after.replace(after.find("Lock Settings=1"), 15, "Lock Settings=0");
  EXPECT_EQ(ini(), after);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(v.GPSTabSheetEnabled && v.tGlobalSettingEnabled);
}

TEST_F(SensorSettingsModelTest, SettingsSurviveARestart) {
  {
    auto m = created();
    V &v = m->Values;
    v.GPS.Port = "COM7";
    v.Sensor.Delay = "200";
    v.SensorEnabled = false;
    v.GyroEnabled = false;
    v.eLCCCP = "39.5";
    m->setCheck(&V::cbUseLCCProjection, true);
    m->setCheck(&V::cLambert1, true);
    m->setCheck(&V::cbAutoGrid, true);
    m->setCheck(&V::cbShowDepthLabels, false);
    v.edDepthLabelSpacing = "25";
    m->edEventLabelFontSizeChange("30");
    m->cbEventLabelColorChange(0xFF0000);
    v.cSBESMessage = "OTHER";
    m->cSBESMessageChange();
    ASSERT_TRUE(m->eSBESFormatEdited("$PSIM,%lf"));
    m->setCheck(&V::LockStateCheck1, true);
  }
  EventLabelFontSize = 12;
  auto m = created();
  const V &v = m->Values;
  EXPECT_EQ(v.GPS.Port, "COM7");
  EXPECT_EQ(v.Sensor.Delay, "200");
  EXPECT_FALSE(v.SensorEnabled);
  EXPECT_FALSE(v.GyroEnabled);
  EXPECT_EQ(v.eLCCCP, "39.5");
  EXPECT_TRUE(v.cbUseLCCProjection);
  EXPECT_FALSE(v.cbUseTMProjection);
  EXPECT_TRUE(v.cLambert1);
  EXPECT_FALSE(v.eLCCSP1Enabled || v.eLCCSP2Enabled);
  EXPECT_TRUE(v.cbAutoGrid);
  EXPECT_FALSE(v.edGridSpacingEnabled);
  EXPECT_FALSE(m->DepthLabelSettingShown);
  EXPECT_EQ(m->DepthLabelSettingSpacing, 25.0);
  EXPECT_EQ(EventLabelFontSize, 30);
  EXPECT_EQ(EventLabelColor, 0xFF0000u);
  EXPECT_EQ(v.cSBESMessage, "OTHER");
  EXPECT_EQ(v.eSBESFormat, "$PSIM,%lf");
  EXPECT_EQ(m->scanFormat(), "$PSIM,%lf");
  EXPECT_TRUE(v.LockStateCheck1);
  EXPECT_FALSE(v.GPSTabSheetEnabled || v.tGlobalSettingEnabled);
}

TEST_F(SensorSettingsModelTest, RestoringTheLockAtCreationSavesNothing) {
  const std::string file = "[LOCK SETTINGS]\r\nLock Settings=1\r\n"
                           "[GRID_SETTINGS]\r\nGridVisible=0\r\nGridSpacingX=250\r\n"
                           "GridColor=255\r\n"
                           "[DEPTH_LABEL_SETTINGS]\r\nFontName=Verdana\r\n";
  writeIni(file);
  auto m = created();
  EXPECT_EQ(ini(), file);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(m->Values.LockStateCheck1);
  EXPECT_FALSE(m->Values.GPSTabSheetEnabled || m->Values.SensorTabSheetEnabled ||
               m->Values.ParametersTabSheetEnabled || m->Values.tGlobalSettingEnabled);
  EXPECT_EQ(m->Values.edGridSpacingX, "250");
  EXPECT_FALSE(canvas.GridVisible);
  EXPECT_EQ(canvas.GridSpacingX, 250.0);
  EXPECT_EQ(canvas.GridColor, 255u);
  EXPECT_EQ(m->DepthLabelSettingFontName, "Verdana");
  // Showing keeps the lock: nothing saved again.
  m->FormShow();
  EXPECT_EQ(ini(), file);
  EXPECT_FALSE(m->Values.tGlobalSettingEnabled);
}

TEST_F(SensorSettingsModelTest, SettingsLockedTextActsOnThePagesAtCreationAndShowing) {
  writeIni("[LOCK SETTINGS]\r\nSettings Locked (true/false)=true\r\n");
  auto m = created();
  const V &v = m->Values;
  EXPECT_FALSE(v.GPSTabSheetEnabled || v.SensorTabSheetEnabled || v.ParametersTabSheetEnabled ||
               v.tGlobalSettingEnabled);
  m->FormShow();
  EXPECT_TRUE(v.tGlobalSettingEnabled);
  EXPECT_FALSE(v.GPSTabSheetEnabled || v.SensorTabSheetEnabled || v.ParametersTabSheetEnabled);
  EXPECT_FALSE(v.LockStateCheck1);
  EXPECT_TRUE(events.empty());
}

TEST_F(SensorSettingsModelTest, ANumericSettingsLockedLocksAndSavesAtTheFirstShowing) {
  writeIni("[LOCK SETTINGS]\r\nSettings Locked (true/false)=1\r\n");
  auto m = created();
  EXPECT_FALSE(m->Values.LockStateCheck1);
  m->FormShow();
  EXPECT_TRUE(m->Values.LockStateCheck1);
  EXPECT_EQ(events.size(), 7u);
  EXPECT_EQ(read("LOCK SETTINGS", "Lock Settings"), "1");
  EXPECT_EQ(read("GRID_SETTINGS", "GridVisible"), "1");
  EXPECT_FALSE(m->Values.tGlobalSettingEnabled || m->Values.GPSTabSheetEnabled);
}

TEST_F(SensorSettingsModelTest, ProjectionBoxesStayExclusive) {
  writeIni("[GEODETIC_PARAMETERS]\r\nUse Projection=1\r\ncbUseLCCProjection=1\r\ncLambert1=1\r\n");
  auto m = created();
  V &v = m->Values;
  EXPECT_TRUE(v.cbUseLCCProjection);
  EXPECT_FALSE(v.cbUseTMProjection);
  EXPECT_FALSE(v.eLCCSP1Enabled || v.eLCCSP2Enabled);
  m->setCheck(&V::cbUseTMProjection, true);
  EXPECT_FALSE(v.cbUseLCCProjection);
  m->setCheck(&V::cbUseTMProjection, false);
  EXPECT_TRUE(v.cbUseLCCProjection);
  m->setCheck(&V::cbUseLCCProjection, false);
  EXPECT_TRUE(v.cbUseTMProjection);
  m->setCheck(&V::cLambert1, false);
  EXPECT_TRUE(v.eLCCSP1Enabled && v.eLCCSP2Enabled);
}

TEST_F(SensorSettingsModelTest, MissingGeodesyKeysKeepTheEditsAndEmptyTheDatumName) {
  auto m = makeModel();
  m->Values.edSMA = "6378137";
  m->Values.edNameOfDatum = "WGS84";
  m->FormCreate();
  EXPECT_EQ(m->Values.edSMA, "6378137");
  EXPECT_TRUE(m->Values.edNameOfDatum.isEmpty());
}

TEST_F(SensorSettingsModelTest, GridControlsReachTheCanvas) {
  auto m = created();
  V &v = m->Values;
  canvas.BackBufferDirty = false;
  m->setCheck(&V::cbGridVisible, false);
  EXPECT_FALSE(canvas.GridVisible);
  EXPECT_FALSE(m->GridSettingVisible);
  EXPECT_TRUE(canvas.BackBufferDirty); // the grid is in the back buffer: redrawn at once

  v.edGridSpacingX = "abc";
  v.edGridSpacingY = "40";
  m->setCheck(&V::cbAutoGrid, true);
  EXPECT_EQ(canvas.GridSpacingX, 0.0);
  EXPECT_EQ(canvas.GridSpacingY, 0.0);
  EXPECT_TRUE(canvas.GridAutoScale);
  EXPECT_EQ(m->GridSettingSpacingX, 100.0); // not taken here
  EXPECT_FALSE(v.edGridSpacingEnabled);
  m->setCheck(&V::cbAutoGrid, false);
  EXPECT_EQ(canvas.GridSpacingX, 100.0);
  EXPECT_EQ(canvas.GridSpacingY, 40.0);
  EXPECT_FALSE(canvas.GridAutoScale);
  m->takeDisplaySettings();
  EXPECT_EQ(m->GridSettingSpacingX, 100.0);
  EXPECT_EQ(m->GridSettingSpacingY, 40.0);

  m->cbGridColorChange(0x0000FF);
  EXPECT_EQ(canvas.GridColor, 0x0000FFu);
  EXPECT_EQ(m->GridSettingColor, 0x0000FFu);

  m->edEventLabelFontSizeChange("x");
  EXPECT_EQ(EventLabelFontSize, 24);
  m->edEventLabelFontSizeChange("18");
  EXPECT_EQ(EventLabelFontSize, 18);
}

TEST_F(SensorSettingsModelTest, WithoutACanvasTheGridControlsChangeNothingThere) {
  withCanvas = false;
  auto m = created();
  m->setCheck(&V::cbGridVisible, false);
  EXPECT_TRUE(m->GridSettingVisible);
  m->setCheck(&V::cbAutoGrid, true);
  EXPECT_TRUE(m->GridSettingAuto);
}

TEST_F(SensorSettingsModelTest, ChoosingAMessageTypeSetsItsFormatAndTheLowFrequencyFrame) {
  auto m = created();
  V &v = m->Values;
  v.cSBESMessage = "Tarvik XDR H/L";
  m->cSBESMessageChange();
  EXPECT_EQ(v.eSBESFormat, "%*8s,%lf,%*8s,%lf");
  v.cSBESMessage = "NMEA DPT";
  m->cSBESMessageChange();
  EXPECT_EQ(v.eSBESFormat, "%*6s,%lf");
  EXPECT_EQ(frames, (std::vector<LowFreqFrame>{LowFreqFrame::Show, LowFreqFrame::Hide}));
  v.cSBESMessage = "NMEA";
  m->cSBESMessageChange();
  EXPECT_EQ(v.eSBESFormat, "%*6s,%lf");
  EXPECT_EQ(frames.size(), 2u);
  // "OTHER" without a format of the user's own: nothing to scan with.
  v.cSBESMessage = "OTHER";
  m->cSBESMessageChange();
  EXPECT_TRUE(v.eSBESFormat.isEmpty());
  EXPECT_EQ(m->scanFormat(), "");
  EXPECT_EQ(frames.size(), 2u);
}

TEST_F(SensorSettingsModelTest, ChoosingOtherAgainKeepsTheStoredCustomFormat) {
  writeIni("[SENSOR COMUNICATION SETTINGS]\r\ncSBESMessage=OTHER\r\n"
           "eSBESFormat=$SDDPT,%lf,%*lf\r\n");
  auto m = created();
  V &v = m->Values;
  EXPECT_EQ(v.eSBESFormat, "$SDDPT,%lf,%*lf");
  // The realtime window's start timer runs the choice once.
  m->cSBESMessageChange();
  EXPECT_EQ(v.eSBESFormat, "$SDDPT,%lf,%*lf");
  v.cSBESMessage = "NMEA DBT";
  m->cSBESMessageChange();
  v.cSBESMessage = "OTHER";
  m->cSBESMessageChange();
  EXPECT_EQ(v.eSBESFormat, "$SDDPT,%lf,%*lf");
  EXPECT_EQ(m->scanFormat(), "$SDDPT,%lf,%*lf");
}

TEST_F(SensorSettingsModelTest, ARefusedFormatIsReportedAndThePreviousOneKept) {
  testsupport::ScriptedDialogs dialogs;
  auto m = created();
  V &v = m->Values;
  v.cSBESMessage = "NMEA DPT";
  m->cSBESMessageChange();
  dialogs.answer(mrOk);
  EXPECT_FALSE(m->eSBESFormatEdited("%*6s,%s"));
  EXPECT_EQ(v.eSBESFormat, "%*6s,%lf");
  EXPECT_EQ(m->scanFormat(), "%*6s,%lf");
  dialogs.answer(mrOk);
  EXPECT_FALSE(m->eSBESFormatEdited("%*6s,%lf,%lf")); // two values for a one-value type
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "The scan format \"%*6s,%s\" was refused; the format \"%*6s,%lf\" is kept.\n"
            "The scan format's conversion \"%s\" at position 6 is not allowed. Only text, %*Ns, "
            "%*lf, %*d, %*[...] and %lf are allowed.");
  EXPECT_EQ(dialogs.messages()[0].type, mtError);
  // An edited format that passes is used.
  EXPECT_TRUE(m->eSBESFormatEdited("$SDDPT,%lf"));
  EXPECT_EQ(m->scanFormat(), "$SDDPT,%lf");
}

TEST_F(SensorSettingsModelTest, ARefusedStoredFormatGivesWayToTheTypesOwn) {
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  writeIni("[SENSOR COMUNICATION SETTINGS]\r\ncSBESMessage=Tarvik XDR LO\r\n"
           "eSBESFormat=%s%s%s%lf\r\n");
  auto m = created();
  EXPECT_EQ(m->Values.eSBESFormat, "%*8s,%*lf,%*8s,%lf");
  EXPECT_EQ(m->scanFormat(), "%*8s,%*lf,%*8s,%lf");
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].type, mtWarning);
}

TEST_F(SensorSettingsModelTest, ApplyingThePagesUsesTheDaysRawLogs) {
  testsupport::ScriptedDialogs dialogs;
  auto m = created();
  m->Values.GPS = {"COM2", "38400", "8", "1", "None", "Normal", "50", "True", "True", "1", "0"};
  m->Values.Sensor = m->Values.GPS;
  m->Values.Sensor.Parity = "Evn";
  TTarvikSerialGPS gps(nullptr), sensor(nullptr);
  EXPECT_TRUE(m->GPSSetClick(gps).ok);
  EXPECT_EQ(gps.NmeaLogPath, "/logs/2024-05-01 TSD_GNSS_V3.log");
  EXPECT_EQ(gps.BaudRate, 38400);
  dialogs.answer(mrOk);
  EXPECT_FALSE(m->SensorSetClick(sensor).ok);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text,
            "Sensor port: Parity \"Evn\" is not one of Even, Mark, None, Odd, Space. It and the "
            "settings after it were not applied.");
  EXPECT_EQ(sensor.NmeaLogPath, "");
  // A page without settings (no file yet) stops silently at the empty baud rate.
  m->Values.Sensor = {};
  EXPECT_FALSE(m->SensorSetClick(sensor).ok);
  EXPECT_EQ(dialogs.messages().size(), 1u);
}

} // namespace
