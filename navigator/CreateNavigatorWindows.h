// The start-up of the navigation program's windows: the one place that knows every window.
#pragma once

#include "navigator/NavigatorWindows.h"

// Creates every window once, in the program's order, each with the application as owner (no
// parent widget); the navigation settings window and the remote boat pad are designed visible and
// appear at once. The main window is shown by the caller when the message loop starts. Also sets
// the program-wide values the canvas reads from its host (the event-label size of 24).
void CreateNavigatorWindows(NavigatorWindows &windows);
