// The depths the realtime window and the canvas show for each echo-sounder message type: only
// the depths a type's sentences carry, never the draft that the correction of a missing one gives.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Color.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {

class RealtimeDepthsTest : public NavigatorTest {
protected:
  void SetUp() override {
    createWindows();
    nav().show();
    // Geodesy for UTM zone 35 on WGS 84, so that the map timer places the boat.
    useTransverseMercator(gps().Model.Values, "27", "0.9996", "500000", "0");
    // Draft 0.5 m at the nominal sound velocity.
    windows->Offsets->hide();
    windows->Offsets->OffsetA->setText(QStringLiteral("0.5"));
    windows->Offsets->SV->setText(QStringLiteral("1500"));
    nav().ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
    realtime().show();
    QApplication::processEvents();
  }

  TFNav &nav() { return *windows->FNav; }
  TFGPS &gps() { return *windows->FGPS; }
  TfRealtime &realtime() { return *windows->fRealtime; }
  // The records of the coordinates file, without its header.
  QStringList coordinateRecords() const {
    QStringList lines = QString::fromStdString(testsupport::readFile(SurveyDay().CoordinatesPath))
                            .split('\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty())
      lines.removeFirst();
    return lines;
  }

  // A new run of the given type whose first sounder line is `line`, then a map tick at a fix.
  void firstLineOfARun(const char *type, const char *line) {
    gps().cSBESMessage->setCurrentText(QString::fromLatin1(type));
    nav().State.EchogramShown = false;
    nav().ZSENSORNewCommand(nullptr, line);
    QApplication::processEvents();
    portLine("$GPZDA,101530,01,05,2024,00,00*4E");
    portLine("$GPGGA,101530.00,6012.0,N,02730.0,E,4,12,0.9,12.5,M,40.1,M,,*55");
    nav().tMapTimer(nav().tMap);
  }
};

struct DepthCase {
  const char *type, *line;
  const char *hi, *lo; // the labels
  bool lowFrame;
  double canvasLow; // the low-frequency depth of the canvas box, 0 for none
};

TEST_F(RealtimeDepthsTest, EachTypeShowsOnlyTheDepthsItsSentencesCarry) {
  const DepthCase cases[] = {
      {"Tarvik SMT", "$TARVSMT,12.5,11.87", "13.00", "---", false, 0},
      {"NMEA DPT", "$SDDPT,12.34,0.5", "12.84", "---", false, 0},
      {"Tarvik XDR H/L", "$TARXDHI,7.25,$TARXDLO,9.5", "7.75", "10.00", true, 10.0},
      {"Tarvik SMT", "$TARVSMT,12.5,11.87", "13.00", "---", false, 0},
      {"Tarvik XDR LO", "$TARXDHI,7.25,$TARXDLO,9.5", "---", "10.00", true, 10.0},
      {"ODC HI", "ODC-HEADER-TEXT-OF-FORTY-TWO-CHARACTERS-,B,5.75", "6.25", "---", false, 0},
  };
  for (const DepthCase &c : cases) {
    SCOPED_TRACE(c.type);
    firstLineOfARun(c.type, c.line);
    EXPECT_EQ(realtime().lDepthHi->text().toStdString(), c.hi);
    EXPECT_EQ(realtime().lDepthLo->text().toStdString(), c.lo);
    EXPECT_TRUE(realtime().DepthFrameHi->isVisible());
    EXPECT_EQ(realtime().DepthFrameLo->isVisible(), c.lowFrame);
    EXPECT_EQ(realtime().height(), c.lowFrame ? 387 : 289);
    EXPECT_TRUE(nav().fcad->ShowCurrentDepth);
    EXPECT_DOUBLE_EQ(nav().fcad->CurrentDepthLF, c.canvasLow);
  }
}

TEST_F(RealtimeDepthsTest, LaterLinesOfASingleFrequencyTypeNeverShowALowFrequencyDepth) {
  firstLineOfARun("Tarvik SMT", "$TARVSMT,12.5,11.87");
  for (const char *line : {"$TARVSMT,8.25,11.80", "$TARVSMT,9.0,11.79"})
    nav().ZSENSORNewCommand(nullptr, line);
  nav().tMapTimer(nav().tMap);
  EXPECT_EQ(realtime().lDepthHi->text().toStdString(), "9.50");
  EXPECT_EQ(realtime().lDepthLo->text().toStdString(), "---");
  EXPECT_FALSE(realtime().DepthFrameLo->isVisible());
  EXPECT_DOUBLE_EQ(nav().fcad->CurrentDepthHF, 9.5);
  EXPECT_DOUBLE_EQ(nav().fcad->CurrentDepthLF, 0.0);
}

struct SingleDepthCase {
  const char *type;
  const char *deeper;    // a line whose measured depth is 2.60, just deeper than the limit
  const char *shallower; // a line whose measured depth is 2.40
  const char *box;       // the canvas depth box after the deeper line
  // The coordinates record's True Depth (Lo) after the shallower line; none for no record.
  const char *recordLo;
};

// A low-frequency-only sounder corrects a high-frequency depth of 0 to the draft alone: the
// depth box, the depth label, the echogram, the GGA status box and the shallow-water alarm
// take the low-frequency depth instead. Records of a single-frequency type leave the
// low-frequency depth and elevation empty rather than write the draft there.
TEST_F(RealtimeDepthsTest, EveryScreenAndTheAlarmTakeADepthTheTypeMeasured) {
  testsupport::TempDir ports;
  testsupport::EnvVar dir("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 3);
  nav().ZSENSOR->PortNumber = 3;
  nav().ZSENSOR->OpenPort();
  ASSERT_TRUE(nav().ZSENSOR->PortOpen);
  gps().Model.Values.SensorEnabled = true;
  gps().Model.DepthLabelSettingShown = true;
  windows->Navset->edDepthAlert1->setText(QStringLiteral("2.5"));
  nav().Realtime->setChecked(true);
  TfCanvas &echogram = *windows->fCanvas;

  const SingleDepthCase cases[] = {
      {"Tarvik SMT", "$TARVSMT,2.1,11.87", "$TARVSMT,1.9,11.87", "HF: 2.60 m  0.0 kn", ""},
      {"NMEA DPT", "$SDDPT,2.1,0.5", "$SDDPT,1.9,0.5", "HF: 2.60 m  0.0 kn", ""},
      {"Tarvik XDR HI", "$TARXDHI,2.1", "$TARXDHI,1.9", "HF: 2.60 m  0.0 kn", ""},
      {"Tarvik XDR LO", "$TARXDHI,7.25,$TARXDLO,2.1", "$TARXDHI,7.25,$TARXDLO,1.9",
       "LF: 2.60 m  0.0 kn", nullptr},
      {"Tarvik XDR H/L", "$TARXDHI,2.1,$TARXDLO,9.5", "$TARXDHI,1.9,$TARXDLO,9.5",
       "HF: 2.60 m  LF: 10.00 m  0.0 kn", "10.00"},
  };
  for (const SingleDepthCase &c : cases) {
    SCOPED_TRACE(c.type);
    nav().fcad->ClearDepthLabels();
    firstLineOfARun(c.type, c.deeper);
    EXPECT_NE(nav().fcad->BackColor, clRed);
    EXPECT_EQ(nav().fcad->CurrentDepthText().toStdString(), c.box);
    ASSERT_EQ(nav().fcad->DepthLabels.size(), 1u);
    EXPECT_DOUBLE_EQ(nav().fcad->DepthLabels[0].Depth, 2.6);
    EXPECT_TRUE(GGAOverlayText.ends_with(" | Depth: 2.60 m")) << GGAOverlayText;
    ASSERT_TRUE(echogram.isVisible());
    nav().tEchogramTimer(nav().tEchogram);
    ASSERT_TRUE(echogram.Layout.has_value());
    EXPECT_EQ(echogram.Layout->NewestText, "2.6m");
    EXPECT_DOUBLE_EQ(echogram.Samples.EchoDepths[echogram.DataWidth - 1], 2.6);

    const QStringList before = coordinateRecords();
    nav().ZSENSORNewCommand(nullptr, c.shallower);
    EXPECT_EQ(nav().fcad->BackColor, clRed);
    const QStringList after = coordinateRecords();
    if (!c.recordLo) {
      EXPECT_EQ(after.size(), before.size());
      continue;
    }
    ASSERT_EQ(after.size(), before.size() + 1);
    const QStringList fields = after.back().split(',');
    ASSERT_EQ(fields.size(), 18);
    EXPECT_EQ(fields[7], "2.40"); // True Depth (Hi)
    EXPECT_EQ(fields[8].toStdString(), c.recordLo);
    EXPECT_EQ(fields[6].isEmpty(), *c.recordLo == 0); // Elevation (Lo)
  }
  nav().Realtime->setChecked(false);
  nav().ZSENSOR->ClosePort();
}

} // namespace
