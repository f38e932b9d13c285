#include "navigator/NavigatorWindows.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/Bathymetry.h"
#include "navigator/Latency.h"
#include "navigator/RealtimeData.h"
#include "navigator/SensorSettings.h"
#include "navigator/UMsg.h"
#include "navigator/URunlines.h"
#include "navigator/UShape.h"
#include "navigator/USoundVelocity.h"
#include "navigator/uCanvas.h"
#include "navigator/uJoystick.h"
#include "navigator/uSVPGraph.h"
#include "navigator/uTheme.h"
#include "navigator/unavigation.h"
#include "navigator/unavset.h"
#include "platform/About.h"
#include "positioning/uNTRIPSettings.h"
#include "positioning/uRTCMParsing.h"

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
}
