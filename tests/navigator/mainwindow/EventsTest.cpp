#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "support/ScriptedDialogs.h"

#include <QDir>
#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace {

class EventsTest : public NavigatorTest {
protected:
  EventsTest() {
    createWindows();
    nav = windows->FNav;
    nav->EnsureNavigationLayers(nav->fcad);
    // A fix whose grid position is E 500100, N 4500200.
    useGridOf41N29EAt500100And4500200(windows->FGPS->Model.Values);
    nav->ZGPS1Position3DChange(nullptr, 41, 29, 0);
    nav->State.VesselHeading = 87.125;
  }
  std::string eventLog() const {
    return testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Events.log");
  }
  int storedNumber() const {
    return platform::IniFile(settingsFile()).ReadInteger("EVENTS", "Event Number", -1);
  }

  TFNav *nav = nullptr;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(EventsTest, FirstEventIsNumberOneWithItsLabelAndRecord) {
  windows->fRealtime->lDepthHi->setText(QStringLiteral("12.68"));
  windows->fRealtime->lDepthLo->setText(QStringLiteral("12.71"));
  nav->btEventAddClick(nav);
  EXPECT_EQ(storedNumber(), 1);
  ASSERT_EQ(nav->fcad->EventLabels.size(), 1u);
  EXPECT_EQ(eventLog(), "\nEvent No:1,Date & Time:2024-05-01 101530123,Easting:500100.00,"
                        "Northing:4500200.00,True Depth:12.68,True Depth:12.71,Heading:87.13");
  EXPECT_EQ(nav->fcad->EventLabels[0].X, 500100.0);

  nav->btEventAddClick(nav);
  EXPECT_EQ(storedNumber(), 2);
  EXPECT_NE(eventLog().find("\nEvent No:2,"), std::string::npos);
}

// Without a fix the event has no position: the record says so, nothing is drawn at 0, 0, and the
// surveyor is told.
TEST_F(EventsTest, AnEventWithoutAFixSaysSoAndDrawsNothing) {
  nav->ForgetFix();
  nav->State.VesselEasting = nav->State.VesselNorthing = 0;
  nav->btEventAddClick(nav);
  EXPECT_EQ(storedNumber(), 1);
  EXPECT_TRUE(nav->fcad->EventLabels.empty());
  EXPECT_NE(eventLog().find("\nEvent No:1,Date & Time:2024-05-01 101530123,Easting:No fix,"
                            "Northing:No fix,True Depth:"),
            std::string::npos);
  EXPECT_EQ(eventLog().find("Easting:0.00"), std::string::npos);
  EXPECT_NE(eventLog().find("Event 1 marked without a GPS fix: it has no position."),
            std::string::npos);
}

// An event follows the depth lines' fix-age rule: once the last GGA is older than the receiver's
// silence limit, before the silence report, the last position is not the boat's and the event
// is marked without one; the next fix gives events their position again.
TEST_F(EventsTest, AnEventDuringASilenceOfTheReceiverHasNoPosition) {
  clock.monotonic += survey::SoundingRoad::FixCurrentForMs;
  nav->btEventAddClick(nav);
  ASSERT_EQ(nav->fcad->EventLabels.size(), 1u) << "a fix just within the limit is current";
  clock.monotonic += 1;
  nav->btEventAddClick(nav);
  EXPECT_EQ(nav->fcad->EventLabels.size(), 1u);
  EXPECT_NE(eventLog().find("\nEvent No:2,Date & Time:2024-05-01 101530123,Easting:No fix,"
                            "Northing:No fix,True Depth:"),
            std::string::npos);
  EXPECT_NE(eventLog().find("Event 2 marked without a GPS fix: it has no position."),
            std::string::npos);
  nav->ZGPS1Position3DChange(nullptr, 41, 29.001, 0);
  nav->btEventAddClick(nav);
  EXPECT_EQ(nav->fcad->EventLabels.size(), 2u);
}

TEST_F(EventsTest, AnEventAtMidnightLeavesTheTimeOut) {
  clock.setLocal({2024, 5, 1, 0, 0, 0, 0});
  EXPECT_NE(nav->MarkEventRecord(3).find(",Date & Time:2024-05-01,Easting:"), std::string::npos);
}

TEST_F(EventsTest, ResetRestartsTheNumberAfterYesAndKeepsTheLabels) {
  nav->btEventAddClick(nav);
  nav->btEventAddClick(nav);
  dialogs.answer(mrNo);
  EXPECT_THROW(nav->btEventResetClick(nav), platform::EAbort);
  EXPECT_EQ(storedNumber(), 2);

  dialogs.answer(mrYes);
  nav->btEventResetClick(nav);
  EXPECT_EQ(dialogs.messages()[1].text.toStdString(),
            "Event ID will restart from 1 again. Continue?");
  EXPECT_EQ(storedNumber(), 0);
  EXPECT_NE(eventLog().find("\tEvent number was reset."), std::string::npos);
  nav->btEventAddClick(nav);
  EXPECT_EQ(storedNumber(), 1);
  EXPECT_EQ(nav->fcad->EventLabels.size(), 3u);
}

TEST_F(EventsTest, AnEventWhoseLogCannotBeWrittenKeepsItsNumberAndIsReported) {
  QDir(QString::fromStdString(SurveyDay().LogFolder)).removeRecursively();
  dialogs.answer(mrOk);
  nav->btEventAddClick(nav);
  EXPECT_EQ(storedNumber(), 1);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_TRUE(
      dialogs.messages()[0].text.startsWith(QStringLiteral("Event 1 could not be written")));
}

struct TrackCase {
  void (TFNav::*command)(QObject *);
  const char *question;
  const char *layer;
  const char *record;
};

const TrackCase trackCases[] = {
    {&TFNav::tbFixedClick, "Fixed/Float/DGPS tracking points to be cleared. Continue?", "track_fix",
     "Cleared Fixed/Float/DGPS tracklines"},
    {&TFNav::tbFloatClick, "Autonomous tracking points to be cleared. Continue?", "track_float",
     "Cleared Autonomous tracklines"},
    {&TFNav::tbAutoClick, "Fixed/Float/DGPS tracking points to be cleared. Continue?",
     "track_nofix", "Cleared NoFix tracklines"},
};

TEST_F(EventsTest, EachTrackCommandClearsOnlyItsLayerAfterYes) {
  TTarvikCanvas *canvas = nav->fcad;
  for (const TrackCase &c : trackCases) {
    canvas->CadClearShapes(-1);
    for (const char *layer : {"track_fix", "track_float", "track_nofix"})
      canvas->DrawLine(0, 0, 1, 1, canvas->LayerFindByName(QString::fromLatin1(layer)));
    TFNav *window = nav;
    const auto run = [window, command = c.command] { (window->*command)(window); };
    dialogs.answer(mrNo);
    EXPECT_THROW(run(), platform::EAbort);
    EXPECT_EQ(canvas->ShapeCount, 3) << c.layer;
    dialogs.answer(mrYes);
    run();
    EXPECT_EQ(canvas->ShapeCount, 2) << c.layer;
    for (std::int32_t n = 1; n <= 100; ++n)
      if (canvas->FindShape(n)) {
        EXPECT_NE(canvas->GetShapeOnLayer(n),
                  canvas->LayerFindByName(QString::fromLatin1(c.layer)));
      }
    EXPECT_EQ(dialogs.messages().back().text.toStdString(), c.question);
    EXPECT_NE(eventLog().rfind(std::string("\t") + c.record), std::string::npos) << c.layer;
  }
}

TEST_F(EventsTest, ClearingATrackLayerThatIsGoneLeavesTheDrawingAlone) {
  // A drawing without the fixed layers, as if the track layer had been removed.
  TTarvikCanvas bare(nullptr, true);
  bare.DrawLine(0, 0, 1, 1, bare.LayerOpen(QStringLiteral("survey")));
  TTarvikCanvas *own = nav->fcad;
  nav->fcad = &bare;
  dialogs.answer(mrYes);
  nav->tbFloatClick(nav);
  nav->fcad = own;
  EXPECT_EQ(bare.ShapeCount, 1);
}

} // namespace

namespace {

TEST_F(EventsTest, F12AndTheAddEventButtonMarkAnEvent) {
  nav->show();
  nav->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(nav));
  QTest::keyClick(static_cast<QWidget *>(nav->fcad), Qt::Key_F12);
  EXPECT_EQ(storedNumber(), 1);
  auto *add = nav->findChild<QToolButton *>(QStringLiteral("btEventAdd"));
  ASSERT_NE(add, nullptr);
  add->click();
  EXPECT_EQ(storedNumber(), 2);
}

} // namespace
