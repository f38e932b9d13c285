// The navigation program's windows: one pointer per window, named as the program's window
// variables, filled once at start-up in the fixed creation order. Windows reach each other
// through this struct; tests build the same struct. It names the windows and knows none of them:
// CreateNavigatorWindows.h builds them.
#pragma once

class TFNav;
class TNavset;
class TFShape;
class TFGPS;
class TfRealtime;
class TFMsg;
class TOffsets;
class TformAbout;
class TfSVP;
class TfRunline1;
class TfLatency;
class TfCanvas;
class TfTheme;
class TfJoystick;
class TfSVPGraph;
class TfrmNTRIPSettings;
class TfRTCMParsing;
namespace navigator {
class MainWindowServices;
}

struct NavigatorWindows {
  TFNav *FNav = nullptr;
  TNavset *Navset = nullptr;
  TFShape *FShape = nullptr;
  TFGPS *FGPS = nullptr;
  TfRealtime *fRealtime = nullptr;
  TFMsg *FMsg = nullptr;
  TOffsets *Offsets = nullptr;
  TformAbout *formAbout = nullptr;
  TfSVP *fSVP = nullptr;
  TfRunline1 *fRunline1 = nullptr;
  TfLatency *fLatency = nullptr;
  TfCanvas *fCanvas = nullptr;
  TfTheme *fTheme = nullptr;
  TfJoystick *fJoystick = nullptr;
  TfSVPGraph *fSVPGraph = nullptr;
  TfrmNTRIPSettings *frmNTRIPSettings = nullptr;
  TfRTCMParsing *fRTCMParsing = nullptr;
  // The main window's services to the others: set by the main window while it exists.
  navigator::MainWindowServices *Main = nullptr;

  NavigatorWindows() = default;
  // Destroys the windows in the reverse order of their creation, the main window last
  // (CreateNavigatorWindows.cpp, which knows every window).
  ~NavigatorWindows();
  NavigatorWindows(const NavigatorWindows &) = delete;
  NavigatorWindows &operator=(const NavigatorWindows &) = delete;
};
