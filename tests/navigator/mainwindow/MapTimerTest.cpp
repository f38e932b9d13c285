// The map timer's tick: the gate, the status texts, the first tick's set-up, the projections and
// their convergence against PROJ, the vessel symbol, the tracks, the depth label and the latency;
// and the navigation settings and vessel shape windows that feed it.
#include "navigator/NavigatorFixture.h"

#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/mainwindow/MapTimer.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <cmath>
#include <cstdio>

namespace {

struct Segment {
  double x1, y1, x2, y2;
};

std::vector<TQShape *> shapesOn(const TTarvikCanvas &c, int layer) {
  std::vector<TQShape *> out;
  for (TQShape *s : c.Shapes)
    if (s->Layer == layer)
      out.push_back(s);
  return out;
}

// PROJ's "Convergence" of `proj -V` for one longitude/latitude, in degrees; NaN when PROJ does
// not run.
double projConvergence(const QStringList &definition, double lon, double lat) {
  QProcess proj;
  proj.start(QStringLiteral("proj"), QStringList{QStringLiteral("-V")} + definition);
  if (!proj.waitForStarted(10000))
    return std::nan("");
  proj.write(QStringLiteral("%1 %2\n").arg(lon, 0, 'g', 15).arg(lat, 0, 'g', 15).toLatin1());
  proj.closeWriteChannel();
  proj.waitForFinished(30000);
  const QString out = QString::fromLatin1(proj.readAllStandardOutput());
  const QRegularExpressionMatch m =
      QRegularExpression(QStringLiteral("Convergence[^\\[]*\\[\\s*([-0-9.eE+]+)")).match(out);
  return m.hasMatch() ? m.captured(1).toDouble() : std::nan("");
}

// A clock whose monotonic count moves 7 ms at each reading, at a moment a few milliseconds
// before a minute ends: subtracting time-of-day texts would give a jump of about 40 seconds.
class SteppingClock : public platform::ManualClock {
public:
  std::uint64_t monotonicMSecs() const override { return step += 7; }
  mutable std::uint64_t step = 1000;
};

} // namespace

class MapTimerTest : public NavigatorTest {
protected:
  void SetUp() override {
    createWindows();
    nav().show();
    // Geodesy for UTM zone 35 on WGS 84, no datum shift.
    SensorSettingsValues &v = gps().Model.Values;
    useTransverseMercator(v, "27", "0.9996", "500000", "0");
    v.eLCCSP1 = QStringLiteral("44");
    v.eLCCSP2 = QStringLiteral("49");
    v.eLCCCP = QStringLiteral("46.5");
    v.eLCCM = QStringLiteral("3");
    v.eLCCSF = QStringLiteral("0.9996");
    v.eLCCFE = QStringLiteral("700000");
    v.eLCCFN = QStringLiteral("6600000");
    // The sounder's depths as sent: NMEA DPT, no draft, the sounder's own sound velocity.
    gps().cSBESMessage->setCurrentText(QStringLiteral("NMEA DPT"));
    receiver.utc = {2024, 5, 1, 10, 15, 30, 0};
    receiver.satellites = 17;
    receiver.heading = 0;
  }

  TFNav &nav() { return *windows->FNav; }
  TFGPS &gps() { return *windows->FGPS; }
  TNavset &navset() { return *windows->Navset; }
  TTarvikCanvas &canvas() { return *nav().fcad; }
  TNavigationState &state() { return nav().State; }
  const survey::RoadState &road() { return nav().Road.state(); }

  // The receiver at a position, with a fix quality and a course: one epoch of its sentences,
  // whose ZDA opens the map.
  void fix(double lat, double lon, int quality = 4, double course = 0) {
    receiver.latitude = lat;
    receiver.longitude = lon;
    receiver.quality = quality;
    receiver.course = course;
    receiverEpoch(receiver);
  }
  // The receiver's next epoch, after a change of `receiver`.
  void sendEpoch() { receiverEpoch(receiver); }
  // An echo-sounder line with this depth, taken with the sound velocity and draft typed.
  void sound(double metres) {
    if (!offsetsTyped) {
      typeOffsets("0", "1500", "0", "0");
      offsetsTyped = true;
      sendEpoch();
    }
    char line[64];
    std::snprintf(line, sizeof line, "$SDDPT,%.3f,0", metres);
    portLine(line, true);
    EXPECT_NEAR(road().TrueDepthHi, metres, 1e-9);
  }
  void tick(int n = 1) {
    for (int i = 0; i < n; ++i)
      nav().tMapTimer(nav().tMap);
  }

  sim::ReceiverFix receiver;
  bool offsetsTyped = false;
};

TEST_F(MapTimerTest, NothingHappensBeforeTheFirstZda) {
  GGAOverlayText = "before";
  receiver.latitude = 60.2;
  receiver.longitude = 27.5;
  portLine(sim::ggaSentence("GP", receiver));
  portLine(sim::vtgSentence("GP", receiver));
  ASSERT_TRUE(nav().Road.hasFix());
  const QString designFixed = windows->fRealtime->Fixed->text();
  tick(3);
  EXPECT_EQ(GGAOverlayText, "before");
  EXPECT_EQ(windows->fRealtime->Fixed->text(), designFixed);
  EXPECT_FALSE(nav().MapTimer.MapSetupDone);
  EXPECT_TRUE(shapesOn(canvas(), state().VesselLayer).empty());
  EXPECT_EQ(state().VesselEasting, 0);
}

TEST_F(MapTimerTest, BeforeTheFirstRealFixOnlyTheStatusTextsChange) {
  fix(0, 0, 0);
  const double left = canvas().WorldLeft;
  tick(30);
  EXPECT_EQ(GGAOverlayText.substr(0, 9), "No Fix | ");
  EXPECT_FALSE(nav().MapTimer.MapSetupDone);
  EXPECT_EQ(canvas().ShapeCount, 0);
  EXPECT_EQ(canvas().WorldLeft, left);
  EXPECT_TRUE(nav().StatusPanels[0]->text().isEmpty());
  // The track starts at the first real position, not at 0, 0.
  fix(60.2, 27.5, 4);
  navset().TrackInterval->setText(QStringLiteral("2"));
  tick(3);
  const auto track = shapesOn(canvas(), state().TrackFixLayer);
  ASSERT_EQ(track.size(), 1u);
  EXPECT_GT(track[0]->MinX, 500000);
  EXPECT_GT(track[0]->MinY, 6000000);
}

TEST_F(MapTimerTest, OverlayTextForEachFixQuality) {
  struct Case {
    int quality;
    const char *name;
  };
  for (const Case &c : {Case{0, "No Fix"}, Case{1, "GPS"}, Case{2, "DGPS"}, Case{3, "Fix:3"},
                        Case{4, "RTK Fix"}, Case{5, "RTK Float"}, Case{9, "Fix:9"}})
    EXPECT_EQ(FixQualityText(c.quality), c.name);

  // The antenna 52.6 m above the ellipsoid (the GGA's height above the geoid plus its geoid
  // separation, -31.442 m in the receiver's sentences) and 1.6 m (C) above the water.
  typeOffsets("0", "1500", "1.6", "0");
  offsetsTyped = true;
  receiver.altitude = 52.6 + 31.442;
  fix(60.2, 27.5, 4);
  ASSERT_NEAR(road().AntennaHeight, 52.6, 1e-9);
  ASSERT_NEAR(road().RtkTide, 51, 1e-9);
  sound(12.678);
  windows->fRealtime->Speed->setText(QStringLiteral("4.34"));
  gps().Model.Values.SensorEnabled = false;
  tick();
  EXPECT_EQ(GGAOverlayText, "RTK Fix | Spd: 4.3 kn | SV: 17 | Ant: 52.60 m | Tide: 51.00 m");
  EXPECT_EQ(GGAFixQuality, 4);
  gps().Model.Values.SensorEnabled = true;
  tick();
  EXPECT_EQ(GGAOverlayText,
            "RTK Fix | Spd: 4.3 kn | SV: 17 | Ant: 52.60 m | Tide: 51.00 m | Depth: 12.68 m");
  // The offsets window being visible shows "-" as the tide; a speed that is no number is 0.
  windows->Offsets->show();
  windows->fRealtime->Speed->setText(QStringLiteral("--"));
  receiver.quality = 5;
  sendEpoch();
  tick();
  EXPECT_EQ(GGAOverlayText,
            "RTK Float | Spd: 0.0 kn | SV: 17 | Ant: 52.60 m | Tide: - m | Depth: 12.68 m");
  EXPECT_EQ(windows->fRealtime->Fixed->text(), "5");
  EXPECT_EQ(windows->fRealtime->SatelliteLabel->text(), "17");
  EXPECT_EQ(windows->fRealtime->LAntennaH->text(), "52.60");
}

TEST_F(MapTimerTest, AFailedSetUpIsReportedOnceThenRetriedQuietly) {
  QStringList shown;
  const auto previous =
      platform::setExceptionDisplay([&](const QString &text) { shown.append(text); });
  // The vessel shape is taken once per session; the geodesy was checked at the start.
  windows->FShape->edAmount->setText(QStringLiteral("two"));
  fix(60.2, 27.5);
  tick(20);
  EXPECT_EQ(shown.size(), 1);
  EXPECT_FALSE(nav().MapTimer.MapSetupDone);
  EXPECT_TRUE(shapesOn(canvas(), state().VesselLayer).empty());
  windows->FShape->edAmount->setText(QStringLiteral("2"));
  tick();
  EXPECT_TRUE(nav().MapTimer.MapSetupDone);
  EXPECT_FALSE(shapesOn(canvas(), state().VesselLayer).empty());
  EXPECT_EQ(shown.size(), 1);
  platform::setExceptionDisplay(previous);
}

TEST_F(MapTimerTest, EmptyEditsOfTheProjectionNotInUseDoNotStopTheMap) {
  SensorSettingsValues &v = gps().Model.Values;
  for (QString *t : {&v.eLCCSP1, &v.eLCCSP2, &v.eLCCCP, &v.eLCCM, &v.eLCCSF, &v.eLCCFE, &v.eLCCFN})
    t->clear();
  fix(60.2, 27.5);
  tick();
  EXPECT_TRUE(nav().MapTimer.MapSetupDone);
  EXPECT_NEAR(state().VesselEasting, 527720.16, 0.01);
}

TEST_F(MapTimerTest, TransverseMercatorPositionAndHeadingAgreeWithProj) {
  const double lat = 60.2, lon = 27.5;
  gps().Model.Values.GyroEnabled = false;
  fix(lat, lon, 4, 90);
  tick();
  EXPECT_NEAR(state().VesselEasting, 527720.16, 0.01);
  EXPECT_NEAR(state().VesselNorthing, 6673790.03, 0.01);
  const double proj = projConvergence({"+proj=utm", "+zone=35", "+ellps=WGS84"}, lon, lat);
  ASSERT_FALSE(std::isnan(proj)) << "PROJ's proj is missing";
  // PROJ's convergence is the bearing of grid north from true north; the tick adds its opposite
  // to a true course to get the grid heading.
  EXPECT_NEAR(state().GridConvergence, -proj, 1e-6);
  EXPECT_NEAR(state().VesselHeading, 90 - proj, 1e-6);
  // With the gyro on, its heading takes the place of the course.
  gps().Model.Values.GyroEnabled = true;
  receiver.heading = 10;
  sendEpoch();
  tick();
  EXPECT_NEAR(state().VesselHeading, 10 - proj, 1e-6);
  EXPECT_EQ(nav().StatusPanels[0]->text(), "Lat: 60.20000000");
  EXPECT_EQ(nav().StatusPanels[1]->text(), "Lon: 27.50000000");
  EXPECT_EQ(nav().StatusPanels[2]->text(),
            QStringLiteral("E: %1").arg(state().VesselEasting, 0, 'f', 2));
}

TEST_F(MapTimerTest, LambertConvergenceHasTheTransverseMercatorSign) {
  struct Case {
    bool oneParallel;
    double lat, lon;
  };
  gps().Model.Values.cbUseLCCProjection = true;
  gps().Model.Values.GyroEnabled = false;
  for (const Case &c : {Case{false, 47.0, 5.0}, Case{true, 47.0, 5.0}, Case{false, 45.5, 1.0},
                        Case{true, 46.0, 0.5}}) {
    gps().Model.Values.cLambert1 = c.oneParallel;
    fix(c.lat, c.lon, 4, 0);
    tick();
    const QStringList definition =
        c.oneParallel ? QStringList{"+proj=lcc",   "+lat_1=46.5", "+lat_0=46.5",  "+lon_0=3",
                                    "+k_0=0.9996", "+x_0=700000", "+y_0=6600000", "+ellps=WGS84"}
                      : QStringList{"+proj=lcc", "+lat_1=44",   "+lat_2=49",    "+lat_0=46.5",
                                    "+lon_0=3",  "+x_0=700000", "+y_0=6600000", "+ellps=WGS84"};
    const double proj = projConvergence(definition, c.lon, c.lat);
    ASSERT_FALSE(std::isnan(proj)) << "PROJ's proj is missing";
    EXPECT_NEAR(state().GridConvergence, -proj, 1e-6) << c.oneParallel << " " << c.lon;
    EXPECT_NEAR(state().VesselHeading, -proj, 1e-6);
  }
}

TEST_F(MapTimerTest, VesselSymbolGeometry) {
  DrawingModel drawing;
  const int layer = drawing.LayerOpen(QStringLiteral("v"));
  VesselGeometry g;
  g.BowLength = 100;
  g.SideLength = 10;
  g.RingCount = 2;
  g.FirstRadius = 10;
  g.RingStep = 10;
  DrawVesselSymbol(drawing, layer, 1000, 2000, 90, g);
  ASSERT_EQ(drawing.Shapes.size(), 7);
  const auto line = [&](int i) {
    const auto *l = dynamic_cast<const TQLine *>(drawing.Shapes[i]);
    EXPECT_NE(l, nullptr);
    return l ? Segment{l->X1, l->Y1, l->X2, l->Y2} : Segment{};
  };
  const Segment expected[5] = {{1000, 2000, 1100, 2000},
                               {1000, 2000, 1000, 1990},
                               {1000, 2000, 1000, 2010},
                               {1100, 2000, 1000, 1990},
                               {1100, 2000, 1000, 2010}};
  for (int i = 0; i < 5; ++i) {
    const Segment s = line(i);
    EXPECT_NEAR(s.x1, expected[i].x1, 1e-9) << i;
    EXPECT_NEAR(s.y1, expected[i].y1, 1e-9) << i;
    EXPECT_NEAR(s.x2, expected[i].x2, 1e-9) << i;
    EXPECT_NEAR(s.y2, expected[i].y2, 1e-9) << i;
  }
  for (int i = 0; i < 2; ++i) {
    const auto *c = dynamic_cast<const TQCircle *>(drawing.Shapes[5 + i]);
    ASSERT_NE(c, nullptr);
    EXPECT_DOUBLE_EQ(c->X, 1000);
    EXPECT_DOUBLE_EQ(c->Y, 2000);
    EXPECT_DOUBLE_EQ(c->Radius, 10 + 10 * i);
  }
  // Heading 0 points north; no rings when m is 0.
  DrawingModel north;
  g.RingCount = 0;
  DrawVesselSymbol(north, north.LayerOpen(QStringLiteral("v")), 0, 0, 0, g);
  ASSERT_EQ(north.Shapes.size(), 5);
  const auto *bow = dynamic_cast<const TQLine *>(north.Shapes[0]);
  EXPECT_NEAR(bow->X2, 0, 1e-12);
  EXPECT_NEAR(bow->Y2, 100, 1e-12);
}

TEST_F(MapTimerTest, TickDrawsTheSymbolFromTheShapeWindowAndFollowsTheBoat) {
  windows->FShape->edAmount->setText(QStringLiteral("3"));
  windows->FShape->edLArrow->setText(QStringLiteral("5"));
  navset().selectColour(navset().VesselColor, 0x0000FF);
  navset().VesselWidth->setText(QStringLiteral("4"));
  fix(60.2, 27.5, 4, 45);
  tick();
  const auto symbol = shapesOn(canvas(), state().VesselLayer);
  EXPECT_EQ(symbol.size(), 8u);
  EXPECT_EQ(canvas().GetLayerPenFg(state().VesselLayer), 0x0000FFu);
  EXPECT_EQ(canvas().GetLayerPenWidth(state().VesselLayer), 4);
  // Centred to the pixel: the view moves by whole pixels.
  const double px = (canvas().WorldRight - canvas().WorldLeft) / canvas().width();
  const double py = (canvas().WorldTop - canvas().WorldBottom) / canvas().height();
  EXPECT_NEAR((canvas().WorldLeft + canvas().WorldRight) / 2, state().VesselEasting, px / 2 + 1e-6);
  EXPECT_NEAR((canvas().WorldTop + canvas().WorldBottom) / 2, state().VesselNorthing,
              py / 2 + 1e-6);
  // The layer holds only the last tick's symbol; later edits wait for a restart.
  windows->FShape->edAmount->setText(QStringLiteral("1"));
  tick(5);
  EXPECT_EQ(shapesOn(canvas(), state().VesselLayer).size(), 8u);
  // Following off: the view stays.
  state().FollowVesselEnabled = false;
  const double left = canvas().WorldLeft;
  receiver.latitude = 60.3;
  sendEpoch();
  tick();
  EXPECT_EQ(canvas().WorldLeft, left);
}

TEST_F(MapTimerTest, ANumberOfCirclesTypedButNotSavedIsBoundedToo) {
  windows->FShape->edAmount->setText(QStringLiteral("20000000"));
  fix(60.2, 27.5, 4, 45);
  tick();
  EXPECT_EQ(shapesOn(canvas(), state().VesselLayer).size(), 5u + TFShape::MaxCircles);
}

TEST_F(MapTimerTest, TrackPointsByIntervalAndFixQuality) {
  navset().TrackInterval->setText(QStringLiteral("3"));
  navset().cLineOrDot->setChecked(true);
  navset().selectColour(navset().ColorTracklines1, 0x008000);
  navset().selectColour(navset().GridColor, 0xC0C0C0);
  navset().TrackWidth->setText(QStringLiteral("5"));
  fix(60.2, 27.5, 4);
  tick(3);
  EXPECT_TRUE(shapesOn(canvas(), state().TrackFixLayer).empty());
  const double e0 = state().VesselEasting, n0 = state().VesselNorthing;
  receiver.latitude = 60.201;
  sendEpoch();
  tick(); // the fourth tick after the gate opened
  auto fixTrack = shapesOn(canvas(), state().TrackFixLayer);
  ASSERT_EQ(fixTrack.size(), 1u);
  const auto *segment = dynamic_cast<const TQLine *>(fixTrack[0]);
  ASSERT_NE(segment, nullptr);
  EXPECT_DOUBLE_EQ(segment->X1, state().VesselEasting);
  EXPECT_DOUBLE_EQ(segment->Y1, state().VesselNorthing);
  EXPECT_DOUBLE_EQ(segment->X2, e0);
  EXPECT_DOUBLE_EQ(segment->Y2, n0);
  EXPECT_EQ(canvas().GetLayerPenFg(state().TrackFixLayer), 0x008000u);
  EXPECT_EQ(canvas().GetLayerPenWidth(state().TrackFixLayer), 5);

  // Quality 1 between two points: the next segment lies on "track_nofix", joined to the last.
  receiver.quality = 1;
  receiver.latitude = 60.202;
  sendEpoch();
  tick(2);
  EXPECT_TRUE(shapesOn(canvas(), state().TrackNoFixLayer).empty());
  tick();
  const auto nofix = shapesOn(canvas(), state().TrackNoFixLayer);
  ASSERT_EQ(nofix.size(), 1u);
  EXPECT_DOUBLE_EQ(dynamic_cast<const TQLine *>(nofix[0])->X2, segment->X1);
  EXPECT_EQ(canvas().GetLayerPenFg(state().TrackNoFixLayer), 0xC0C0C0u);

  // Points only, on "track_float" for quality 2.
  navset().cLineOrDot->setChecked(false);
  receiver.quality = 2;
  sendEpoch();
  tick(3);
  const auto floatTrack = shapesOn(canvas(), state().TrackFloatLayer);
  ASSERT_EQ(floatTrack.size(), 1u);
  EXPECT_EQ(floatTrack[0]->ShapeType, 17);
}

TEST_F(MapTimerTest, DepthLabelAndDepthAndSpeedBoxes) {
  receiver.speedKnots = 3.5;
  fix(60.2, 27.5);
  tick();
  EXPECT_TRUE(canvas().DepthLabels.empty());
  EXPECT_FALSE(canvas().ShowCurrentDepth);
  EXPECT_TRUE(canvas().ShowCurrentSpeed);
  EXPECT_DOUBLE_EQ(canvas().CurrentSpeed, 3.5);
  sound(12.5);
  gps().Model.DepthLabelSettingFontName = "Courier";
  gps().Model.DepthLabelSettingColor = 0x00FF00;
  tick();
  ASSERT_EQ(canvas().DepthLabels.size(), 1u);
  EXPECT_DOUBLE_EQ(canvas().DepthLabels[0].Depth, 12.5);
  EXPECT_EQ(canvas().DepthLabelFontName, "Courier");
  EXPECT_EQ(canvas().DepthLabelColor, 0x00FF00u);
  EXPECT_TRUE(canvas().ShowCurrentDepth);
  EXPECT_DOUBLE_EQ(canvas().CurrentDepthHF, 12.5);
  gps().Model.DepthLabelSettingShown = false;
  receiver.latitude = 60.3;
  sendEpoch();
  tick();
  EXPECT_EQ(canvas().DepthLabels.size(), 1u);
}

TEST_F(MapTimerTest, LatencyUsesTheMonotonicClockAcrossAMinute) {
  SteppingClock stepping;
  stepping.setLocal({2024, 5, 1, 10, 15, 59, 995});
  platform::ScopedClock scoped(stepping);
  fix(60.2, 27.5);
  tick(2); // latency window hidden: nothing counted
  EXPECT_EQ(nav().MapTimer.LatencyCount, 0);
  windows->fLatency->show();
  tick(3);
  EXPECT_EQ(nav().MapTimer.LatencyCount, 3);
  EXPECT_EQ(nav().MapTimer.CurrentLatency, 7);
  EXPECT_EQ(windows->fLatency->eCurrentLatency->text(), "7");
  EXPECT_EQ(windows->fLatency->eLatencyAveraged->text(), "7.0");
}

// ---- Navigation settings window

class NavsetTest : public NavigatorTest {
protected:
  TNavset &navset() { return *windows->Navset; }
  platform::IniFile ini() const { return platform::IniFile(platform::SettingsFilePath()); }
};

TEST_F(NavsetTest, FirstStartWithoutTheSectionShowsTheStoredDefaults) {
  createWindows();
  TNavset &w = navset();
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), "Navigation Settings");
  EXPECT_EQ(w.VesselWidth->text(), "3");
  EXPECT_EQ(w.TrackWidth->text(), "3");
  EXPECT_EQ(w.eUpdateRate->text(), "20");
  // The rate differs from the design "1000": the timer follows it and the interval is 10 s worth.
  EXPECT_EQ(windows->FNav->tMap->interval(), 20);
  EXPECT_EQ(w.TrackInterval->text(), "500");
  for (QComboBox *box :
       {w.VesselColor, w.ColorTracklines1, w.ColorTracklines0, w.GridColor, w.fcadColor})
    EXPECT_EQ(TNavset::colourOf(box), 0u) << box->objectName().toStdString();
  EXPECT_TRUE(w.cLineOrDot->isChecked());
  EXPECT_EQ(w.edDepthAlert1->text(), "1");
}

TEST_F(NavsetTest, ClosingWritesEveryKeyAndShowingReadsThemBack) {
  createWindows();
  TNavset &w = navset();
  w.eUpdateRate->setText(QStringLiteral("250"));
  w.VesselWidth->setText(QStringLiteral("4"));
  TNavset::selectColour(w.VesselColor, 0x800000);
  TNavset::selectColour(w.fcadColor, 0x123456);
  w.cLineOrDot->setChecked(false);
  w.edDepthAlert1->setText(QStringLiteral("2.5"));
  w.close();
  const platform::IniFile file = ini();
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "VesselWidth", ""), "4");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "TrackWidth", ""), "3");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "TrackInterval", ""), "40");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "VesselColor", ""), "8388608");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "BackgroundColor", ""), "1193046");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "cLineOrDot", ""), "0");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "edDepthAlert", ""), "2.5");
  EXPECT_EQ(file.ReadString("NAVIGATION_SETTINGS", "eUpdateRate", ""), "250");
  EXPECT_FALSE(file.ReadString("Navset", "Left", "").empty());

  // A stored rate equal to the edit's text raises no change: the interval read stays.
  platform::IniFile(platform::SettingsFilePath())
      .WriteString("NAVIGATION_SETTINGS", "TrackInterval", "7");
  w.show();
  EXPECT_EQ(w.TrackInterval->text(), "7");
  EXPECT_EQ(TNavset::colourOf(w.fcadColor), 0x123456u);
  EXPECT_FALSE(w.cLineOrDot->isChecked());
}

TEST_F(NavsetTest, UpdateRateSetsTheTimerAndTrackIntervalWithinRange) {
  createWindows();
  TNavset &w = navset();
  QTimer &timer = *windows->FNav->tMap;
  struct Case {
    const char *typed;
    int interval;
    const char *trackInterval;
  };
  for (const Case &c :
       {Case{"250", 250, "40"}, Case{"3000", 3000, "3"}, Case{"0", 20, "500"}, Case{"5", 20, "500"},
        Case{"-40", 20, "500"}, Case{"abc", 1000, "10"}, Case{"99999999", 5000, "2"}}) {
    w.eUpdateRate->setText(QString::fromLatin1(c.typed));
    EXPECT_EQ(timer.interval(), c.interval) << c.typed;
    EXPECT_EQ(w.TrackInterval->text(), c.trackInterval) << c.typed;
  }
  w.eUpdateRate->setText(QString());
  EXPECT_EQ(w.eUpdateRate->text(), "1000");
  EXPECT_EQ(timer.interval(), 1000);
  EXPECT_EQ(w.TrackInterval->text(), "10");
  // A rate left out of range shows the interval used once editing ends.
  w.eUpdateRate->setText(QStringLiteral("0"));
  emit w.eUpdateRate->editingFinished();
  EXPECT_EQ(w.eUpdateRate->text(), "20");
}

TEST_F(NavsetTest, EmptyEditsTakeTheirFallbacksAndThePickedBackgroundReachesTheCanvas) {
  createWindows();
  TNavset &w = navset();
  w.TrackWidth->setText(QString());
  w.TrackInterval->setText(QString());
  w.VesselWidth->setText(QString());
  w.edDepthAlert1->setText(QString());
  EXPECT_EQ(w.TrackWidth->text(), "2");
  EXPECT_EQ(w.TrackInterval->text(), "0");
  EXPECT_EQ(w.VesselWidth->text(), "2");
  EXPECT_EQ(w.edDepthAlert1->text(), "0");
  const TColor before = windows->FNav->fcad->BackColor;
  TNavset::selectColour(w.fcadColor, 0x00FFFF); // by code: no handler
  EXPECT_EQ(windows->FNav->fcad->BackColor, before);
  const int index = w.fcadColor->findData(QVariant::fromValue<uint>(0x800000));
  w.fcadColor->setCurrentIndex(index);
  emit w.fcadColor->activated(index);
  EXPECT_EQ(windows->FNav->fcad->BackColor, 0x800000u);
}

// ---- Vessel shape window

class VesselShapeTest : public NavigatorTest {};

TEST_F(VesselShapeTest, DefaultsWithoutTheSectionThenDefaultAndSave) {
  createWindows();
  TFShape &w = *windows->FShape;
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.windowTitle(), "Vessel Geometry");
  EXPECT_EQ(w.edAmount->text(), "2");
  EXPECT_EQ(w.edInterval->text(), "10");
  EXPECT_EQ(w.edRadious->text(), "10");
  EXPECT_EQ(w.edBArrow->text(), "100");
  EXPECT_EQ(w.edLArrow->text(), "0");
  w.show();
  w.bDefault->click();
  EXPECT_EQ(w.edLArrow->text(), "10");
  w.BitBtn1->click();
  EXPECT_FALSE(w.isVisible());
  const platform::IniFile ini(platform::SettingsFilePath());
  EXPECT_EQ(ini.ReadString("VESSEL_SHAPE", "Number of circles", ""), "2");
  EXPECT_EQ(ini.ReadString("VESSEL_SHAPE", "Cirecle offset interval", ""), "10");
  EXPECT_EQ(ini.ReadString("VESSEL_SHAPE", "Radious of first circle", ""), "10");
  EXPECT_EQ(ini.ReadString("VESSEL_SHAPE", "Arrow length to bow", ""), "100");
  EXPECT_EQ(ini.ReadString("VESSEL_SHAPE", "Left right offset of arrow", ""), "10");
}

TEST_F(VesselShapeTest, StoredValuesShowInShortestFormAndBadOnesTakeTheirDefault) {
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString("VESSEL_SHAPE", "Number of circles", "4");
  ini.WriteString("VESSEL_SHAPE", "Cirecle offset interval", "12.50");
  ini.WriteString("VESSEL_SHAPE", "Radious of first circle", "abc");
  ini.WriteString("VESSEL_SHAPE", "Arrow length to bow", "80.0");
  createWindows();
  TFShape &w = *windows->FShape;
  EXPECT_EQ(w.edAmount->text(), "4");
  EXPECT_EQ(w.edInterval->text(), "12.5");
  EXPECT_EQ(w.edRadious->text(), "10");
  EXPECT_EQ(w.edBArrow->text(), "80");
}

// Ticks over a still view redraw only where the boat, its track and the labels changed: after
// every few ticks the map shows exactly what a full repaint of the same drawing shows.
TEST_F(MapTimerTest, TicksOverAStillViewShowWhatAFullRepaintShows) {
  TTarvikCanvas &c = canvas();
  c.resize(320, 240);
  navset().TrackInterval->setText(QStringLiteral("2"));
  navset().cLineOrDot->setChecked(true);
  fix(60.2, 27.5, 4, 30);
  sound(8.5);
  tick();
  const double e = state().VesselEasting, n = state().VesselNorthing;
  // A background around the boat: lines, circles, points and a text.
  const int user = c.LayerOpen(QStringLiteral("background"));
  for (int i = 0; i < 30; ++i) {
    c.DrawLine(e - 150 + i * 10, n - 100, e - 120 + i * 9, n + 100, user);
    c.DrawCircle(e - 140 + i * 10, n + (i % 5) * 20 - 40, 6, user);
    c.DrawPoint(e - 145 + i * 10, n - 60 + (i % 7) * 15, user);
  }
  c.TextAdd(user, QStringLiteral("Quay"), e + 20, n + 10, 0);
  c.WorldSet(e - 160, n + 120, e + 160, n - 120);
  state().FollowVesselEnabled = false;
  const auto sameAsFull = [&](const std::string &what) {
    const QImage shown = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    c.Refresh();
    const QImage full = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == full) << what;
  };
  sameAsFull("start");
  for (int i = 0; i < 32; ++i) {
    receiver.latitude += 0.00004; // about 4.5 m a tick
    if (i == 16) {
      navset().cLineOrDot->setChecked(false); // dots from here on
      receiver.quality = 2;
    }
    sendEpoch();
    sound(8.5 + i * 0.25);
    tick();
    EXPECT_FALSE(c.BackBufferDirty) << "tick " << i << " discarded the whole map";
    if (i % 8 == 7)
      sameAsFull("tick " + std::to_string(i));
    else
      (void)c.grab();
  }
}

// Following the boat keeps it within half a pixel of the middle and moves the view by whole
// pixels only: a boat moving less than a pixel leaves the view where it is.
TEST(MapFollow, PansByWholePixelsTowardTheBoat) {
  struct Case {
    double e, n;   // the boat
    double dx, dy; // the pan
  };
  // A view 0..400 by 0..300 on 200 x 150 pixels: 2 units a pixel.
  const Case cases[] = {
      {200.4, 150.0, 0, 0},          {200.99, 149.01, 0, 0},  {201.01, 148.99, 2, -2},
      {207.3, 150.0, 8, 0},          {150.0, 160.9, -50, 10}, {200.0, 150.0, 0, 0},
      {1e6 + 0.3, 150.0, 999800, 0}, {199.0, 151.0, -2, 2},
  };
  for (const Case &c : cases) {
    double dx = 7, dy = 7;
    FollowPan(0, 400, 300, 0, 200, 150, c.e, c.n, dx, dy);
    EXPECT_DOUBLE_EQ(dx, c.dx) << c.e << " " << c.n;
    EXPECT_DOUBLE_EQ(dy, c.dy) << c.e << " " << c.n;
  }
  // No usable pixel size: the pan the boat asks for.
  double dx = 0, dy = 0;
  FollowPan(5, 5, 5, 5, 200, 150, 7.25, 8.5, dx, dy);
  EXPECT_DOUBLE_EQ(dx, 2.25);
  EXPECT_DOUBLE_EQ(dy, 3.5);
}

// Ticks following the boat over a map with a grid, shapes all around and depth labels scroll
// what was drawn: after every few ticks the map shows exactly what a full repaint shows, and the
// boat stays within half a pixel of the middle.
TEST_F(MapTimerTest, TicksFollowingTheBoatShowWhatAFullRepaintShows) {
  TTarvikCanvas &c = canvas();
  c.resize(320, 240);
  c.GridVisible = true;
  c.GridMode = 0;
  c.GridColor = 0x808080;
  navset().TrackInterval->setText(QStringLiteral("3"));
  navset().cLineOrDot->setChecked(true);
  gps().Model.DepthLabelSettingShown = true;
  gps().Model.DepthLabelSettingSpacing = 15;
  fix(60.2, 27.5, 4, 30);
  sound(8.5);
  tick();
  const double e = state().VesselEasting, n = state().VesselNorthing;
  const int user = c.LayerOpen(QStringLiteral("background"));
  for (int i = 0; i < 60; ++i) {
    c.DrawLine(e - 400 + i * 13.1, n - 300, e - 350 + i * 12.7, n + 300, user);
    c.DrawCircle(e - 380 + i * 13.3, n + (i % 9) * 70 - 300, 6 + i % 4, user);
    c.DrawPoint(e - 390 + i * 13.7, n - 280 + (i % 11) * 53, user);
    c.AddDepthLabel(e - 395 + i * 13.9, n - 290 + (i % 13) * 47, 3 + i * 0.25);
  }
  c.TextAdd(user, QStringLiteral("Quay"), e + 20, n + 10, 0);
  c.TextAdd(user, QStringLiteral("Wreck"), e - 150, n - 90, 0);
  // About 1.4 m a pixel.
  c.WorldSet(e - 224, n + 168, e + 224, n - 168);
  state().FollowVesselEnabled = true;
  const auto sameAsFull = [&](const std::string &what) {
    const QImage shown = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    c.Refresh();
    const QImage full = c.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shown == full) << what;
  };
  tick();
  sameAsFull("start");
  for (int i = 0; i < 48; ++i) {
    // North-east and back south at 0.5 to 5 m a tick, sounding all the way.
    const double step = 0.000005 * (1 + i % 10);
    receiver.latitude += i < 30 ? step : -step;
    receiver.longitude += i < 20 ? step * 2 : step / 3;
    sendEpoch();
    sound(8.5 + i * 0.25);
    tick();
    const double px = (c.WorldRight - c.WorldLeft) / c.width();
    EXPECT_LE(std::fabs((c.WorldLeft + c.WorldRight) / 2 - state().VesselEasting), px / 2 + 1e-6);
    if (i % 4 == 3)
      sameAsFull("tick " + std::to_string(i));
    else
      (void)c.grab();
  }
}
