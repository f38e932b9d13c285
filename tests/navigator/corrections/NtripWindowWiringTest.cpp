// The NTRIP window gets the program's report window and GPS port at start-up, so its analyser
// fills the one report window and corrections follow the GPS port however late it opens.
#include "navigator/NavigatorFixture.h"

#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/corrections/RtcmReportWindow.h"
#include "navigator/mainwindow/MainWindow.h"

namespace {

TEST_F(NavigatorTest, NtripWindowKnowsTheReportWindowAndTheGpsPort) {
  createWindows();
  ASSERT_NE(windows->frmNTRIPSettings, nullptr);
  EXPECT_EQ(windows->frmNTRIPSettings->fRTCMParsing, windows->fRTCMParsing);
  ASSERT_NE(windows->FNav->ZGPS1, nullptr);
  EXPECT_EQ(windows->frmNTRIPSettings->GpsPort, windows->FNav->ZGPS1);
}

} // namespace
