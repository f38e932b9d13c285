// The depths the realtime window and the canvas show for each echo-sounder message type: only
// the depths a type's sentences carry, never the draft that the correction of a missing one gives.
#include "NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/Bathymetry.h"
#include "navigator/RealtimeData.h"
#include "navigator/SensorSettings.h"
#include "navigator/unavigation.h"
#include "positioning/TarvikSerialGPS.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

class RealtimeDepthsTest : public NavigatorTest {
protected:
  void SetUp() override {
    createWindows();
    nav().show();
    // Geodesy for UTM zone 35 on WGS 84, so that the map timer places the boat.
    SensorSettingsValues &v = gps().Model.Values;
    v.edSMA = QStringLiteral("6378137.0");
    v.edIF = QStringLiteral("0.0033528106647474");
    for (QString *t :
         {&v.edPPM, &v.edRX, &v.edRY, &v.edRZ, &v.edSX, &v.edSY, &v.edSZ, &v.edRL, &v.edFN})
      *t = QStringLiteral("0");
    v.edCM = QStringLiteral("27");
    v.edSF = QStringLiteral("0.9996");
    v.edFE = QStringLiteral("500000");
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

  // A new run of the given type whose first sounder line is `line`, then a map tick at a fix.
  void firstLineOfARun(const char *type, const char *line) {
    gps().cSBESMessage->setCurrentText(QString::fromLatin1(type));
    nav().State.EchogramShown = false;
    nav().ZSENSORNewCommand(nullptr, line);
    QApplication::processEvents();
    nav().State.ZdaSeen = true;
    nav().State.FixLatitude = 60.2;
    nav().State.FixLongitude = 27.5;
    nav().ZGPS1->FixQuality = 4;
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

} // namespace
