// The port pages of the settings window as plain values: their item lists, and applying their
// texts to a serial component's fields, which the port takes at its next opening.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

class TTarvikSerialGPS;

namespace navigator {

// Item lists of the port boxes, in order.
QStringList portNameItems(); // "COM1" to "COM256"
QStringList baudRateItems();
QStringList dataWidthItems();
QStringList stopBitsItems();
QStringList parityItems();
QStringList priorityItems();
QStringList delayItems();
QStringList trueFalseItems();

// The texts of one port page's eleven boxes.
struct PortPageTexts {
  QString Port, BaudRate, DataWidth, StopBits, Parity, Priority, Delay, NMEALog, LogTime, EnableDTR,
      EnableRTS;
};

struct PortApplyOutcome {
  bool ok = true;
  // The failure is one the user must hear of: a data width, stop bits or parity text that is
  // none of the list's items. A number or truth value that does not convert ends the apply
  // silently, as a page of empty boxes (no settings file yet) must open with the defaults.
  bool report = false;
  QString message; // why the apply stopped; empty when ok
};

// Writes the component's fields in order: port number, baud rate, data bits, stop bits, parity,
// priority, poll interval, log flag, log time stamp, DTR, RTS, log path. The first text that
// does not convert ends the apply there: the fields before it keep their new values, the later
// ones their previous values.
PortApplyOutcome applyPortPage(const PortPageTexts &texts, const std::string &logPath,
                               TTarvikSerialGPS &port);

} // namespace navigator
