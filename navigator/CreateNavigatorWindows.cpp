#include "navigator/CreateNavigatorWindows.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/corrections/RtcmReportWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/runlines/RunlineWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/StyleWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/soundvelocity/SvpGraphWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/LatencyWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/About.h"

namespace {
template <class T> void destroy(T *&window) {
  delete window;
  window = nullptr;
}
} // namespace

NavigatorWindows::~NavigatorWindows() {
  destroy(fRTCMParsing);
  destroy(frmNTRIPSettings);
  destroy(fSVPGraph);
  destroy(fJoystick);
  destroy(fTheme);
  destroy(fCanvas);
  destroy(fLatency);
  destroy(fRunline1);
  destroy(fSVP);
  destroy(formAbout);
  destroy(Offsets);
  destroy(FMsg);
  destroy(fRealtime);
  destroy(FGPS);
  destroy(FShape);
  destroy(Navset);
  destroy(FNav);
}

void CreateNavigatorWindows(NavigatorWindows &w) {
  // The canvas leaves the event labels at the editor's 12 points; this program wants them large.
  EventLabelFontSize = 24;
  EventLabelColor = clRed;

  w.FNav = new TFNav(nullptr, w);
  w.Navset = new TNavset(nullptr, w);
  w.Navset->show();
  w.FShape = new TFShape(nullptr, w);
  w.FGPS = new TFGPS(nullptr, w);
  w.fRealtime = new TfRealtime(nullptr, w);
  w.FMsg = new TFMsg(nullptr, w);
  w.Offsets = new TOffsets(nullptr, w);
  w.formAbout = new TformAbout(nullptr, TformAbout::Layout::Navigation);
  w.fSVP = new TfSVP(nullptr, w);
  w.fRunline1 = new TfRunline1(nullptr, w);
  w.fLatency = new TfLatency(nullptr, w);
  w.fCanvas = new TfCanvas(nullptr, w);
  w.fTheme = new TfTheme(nullptr, w);
  w.fJoystick = new TfJoystick(nullptr, w);
  w.fJoystick->show();
  w.fSVPGraph = new TfSVPGraph(nullptr, w);
  w.frmNTRIPSettings = new TfrmNTRIPSettings(nullptr);
  w.fRTCMParsing = new TfRTCMParsing(nullptr);
  // The NTRIP window lives in positioning and cannot look these up itself.
  w.frmNTRIPSettings->fRTCMParsing = w.fRTCMParsing;
  w.frmNTRIPSettings->GpsPort = w.FNav->ZGPS1;
  // The road of a sounding takes its values from the windows that hold them.
  w.FNav->WireRoad();
}
