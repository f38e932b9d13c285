// The separate serial port that the NTRIP window can send the corrections to instead of the GPS
// port: opening a port of the list ("COM5") at the list's baud rate, with the window's log texts.
#pragma once

#include "platform/SerialPort.h"

#include <string>

struct NtripOutputOpening {
  bool Opened = false;
  // "Output port opened: COM5 @ 115200", or why the port could not be used.
  std::string LogLine;
};

// Opens `name` on `port` at the rate of baud item `baudIndex` (115200 outside the list): 8 data
// bits, no parity, one stop bit, DTR and RTS on. A name that is no "COMn" with a device fails
// like a port that cannot be opened; a port that cannot be set up is closed again.
NtripOutputOpening openNtripOutputPort(platform::SerialPort &port, const std::string &name,
                                       int baudIndex);
