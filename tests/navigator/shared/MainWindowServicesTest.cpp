// The tool windows reach the main window only through its services: the realtime window's
// buttons work the main window's plan view, and once the main window is gone every such path
// reaches nothing (a stale pointer would be a use after free under the sanitizers).
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "navigator/shared/MainWindowServices.h"
#include "navigator/windows/RealtimeWindow.h"

#include <QApplication>
#include <QLineEdit>
#include <QToolButton>

class MainWindowServicesTest : public NavigatorTest {};

TEST_F(MainWindowServicesTest, TheRealtimeWindowsZoomButtonsZoomThePlanView) {
  createWindows();
  ASSERT_EQ(windows->Main, static_cast<navigator::MainWindowServices *>(windows->FNav));
  TTarvikCanvas *cad = windows->FNav->fcad;
  cad->WorldSet(0, 1000, 1000, 0);
  windows->fRealtime->ToolButton2->click();
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 100);
  EXPECT_DOUBLE_EQ(cad->WorldRight, 900);
  windows->fRealtime->ToolButton3->click();
  EXPECT_DOUBLE_EQ(cad->WorldLeft, 20);
  EXPECT_DOUBLE_EQ(cad->WorldRight, 980);
}

TEST_F(MainWindowServicesTest, ToolWindowsLeaveAMainWindowThatIsGoneAlone) {
  createWindows();
  delete windows->FNav;
  windows->FNav = nullptr;
  EXPECT_EQ(windows->Main, nullptr);

  // The update rate still sets the track interval; the map timer it also set is gone.
  windows->Navset->eUpdateRate->setText(QStringLiteral("300"));
  EXPECT_EQ(windows->Navset->TrackInterval->text(), "33");

  TfRealtime &realtime = *windows->fRealtime;
  realtime.ToolButton2->click();
  realtime.ToolButton3->click();
  realtime.btHideClick(nullptr);
  EXPECT_EQ(realtime.btHideImageIndex, 0);

  TFGPS &gps = *windows->FGPS;
  gps.GPSSetClick();
  gps.SensorSetClick();
  gps.MemoGPSMouseDown();
  gps.MemoGPSMouseUp();

  windows->fTheme->show();
  QApplication::processEvents();
  windows->fTheme->hide();
}
