#include "navigator/settings/PortSettings.h"

#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "positioning/TarvikSerialGPS.h"

namespace navigator {

QStringList portNameItems() {
  QStringList items;
  for (int n = 1; n <= 256; ++n)
    items << QStringLiteral("COM%1").arg(n);
  return items;
}

QStringList baudRateItems() {
  return {"110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",  "14400",
          "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
}

QStringList dataWidthItems() { return {"5", "6", "7", "8"}; }

QStringList stopBitsItems() { return {"1", "1.5", "2"}; }

QStringList parityItems() { return {"Even", "Mark", "None", "Odd", "Space"}; }

QStringList priorityItems() {
  return {"Higher", "Highest", "Idle", "Lower", "Lowest", "Normal", "TimeCritical"};
}

QStringList delayItems() {
  return {"1",   "5",   "10",   "100",  "200",  "300",  "400",   "500",   "600",   "700",
          "800", "900", "1000", "2000", "3000", "5000", "10000", "20000", "50000", "100000"};
}

QStringList trueFalseItems() { return {"True", "False"}; }

namespace {

// Position of the item the text names, blanks around it and letter case aside; -1 for none.
int itemPosition(const QStringList &items, const QString &text) {
  const QString wanted = text.trimmed();
  for (int i = 0; i < items.size(); ++i)
    if (items[i].compare(wanted, Qt::CaseInsensitive) == 0)
      return i;
  return -1;
}

PortApplyOutcome notAnItem(const QString &label, const QString &text, const QStringList &items) {
  return {false, true,
          QStringLiteral("%1 \"%2\" is not one of %3.").arg(label, text, items.join(", "))};
}

} // namespace

PortApplyOutcome applyPortPage(const PortPageTexts &t, const std::string &logPath,
                               TTarvikSerialGPS &port) {
  // An empty box chooses nothing (a page never filled in): the port keeps its number.
  if (!t.Port.trimmed().isEmpty()) {
    const int number = port.PortNumberFromName(platform::toAnsi(t.Port));
    if (number == 0)
      return {false, true,
              QStringLiteral("Port \"%1\" is no serial port; the ports are COM1 to COM256.")
                  .arg(t.Port)};
    port.PortNumber = number;
  }
  try {
    port.BaudRate = port.ValidBaudRate(platform::StrToInt(t.BaudRate));
  } catch (const platform::EConvertError &e) {
    return {false, false, QString::fromStdString(e.what())};
  }
  // Codes by item: the data width's byte size is code + 4; stop bits 1, 1.5, 2 are codes 1-3;
  // the parity codes are the component's (0 none, 1 odd, 2 even, 3 mark, 4 space).
  const int width = itemPosition(dataWidthItems(), t.DataWidth);
  if (width < 0)
    return notAnItem("Data Width", t.DataWidth, dataWidthItems());
  port.DataBitsCode = width + 1;
  const int stop = itemPosition(stopBitsItems(), t.StopBits);
  if (stop < 0)
    return notAnItem("Stop Bits", t.StopBits, stopBitsItems());
  port.StopBitsCode = stop + 1;
  static const int parityCodes[] = {2, 3, 0, 1, 4}; // Even, Mark, None, Odd, Space
  const int parity = itemPosition(parityItems(), t.Parity);
  if (parity < 0)
    return notAnItem("Parity", t.Parity, parityItems());
  port.ParityCode = parityCodes[parity];
  port.Priority = static_cast<std::uint8_t>(itemPosition(priorityItems(), t.Priority) + 1);
  try {
    port.PollIntervalMs = platform::StrToInt(t.Delay);
    port.NmeaLogEnabled = platform::StrToBool(t.NMEALog);
    port.LogTimeStamp = platform::StrToBool(t.LogTime);
    port.EnableDTR = platform::StrToBool(t.EnableDTR);
    port.EnableRTS = platform::StrToBool(t.EnableRTS);
  } catch (const platform::EConvertError &e) {
    return {false, false, QString::fromStdString(e.what())};
  }
  port.NmeaLogPath = logPath;
  return {};
}

} // namespace navigator
