// The navigation program's windows: one pointer per window, named as the program's window
// variables, filled once at start-up in the fixed creation order. Windows reach each other
// through this struct; tests build the same struct.
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

  NavigatorWindows() = default;
  // Destroys the windows in the reverse order of their creation, the main window last.
  ~NavigatorWindows();
  NavigatorWindows(const NavigatorWindows &) = delete;
  NavigatorWindows &operator=(const NavigatorWindows &) = delete;
};

// Creates every window once, in the program's order, each with the application as owner (no
// parent widget); the navigation settings window and the remote boat pad are designed visible and
// appear at once. The main window is shown by the caller when the message loop starts. Also sets
// the program-wide values the canvas reads from its host (the event-label size of 24).
void CreateNavigatorWindows(NavigatorWindows &windows);
