// Applying a port page's texts to a serial component's fields.
#include "navigator/settings/PortSettings.h"
#include "positioning/TarvikSerialGPS.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using navigator::PortPageTexts;

PortPageTexts validPage() {
  return {"COM3", "19200", "7", "2", "Odd", "Highest", "100", "True", "True", "False", "True"};
}

struct Fields {
  int PortNumber, BaudRate, DataBitsCode, StopBitsCode, ParityCode, Priority, PollIntervalMs;
  bool NmeaLogEnabled, LogTimeStamp, EnableDTR, EnableRTS;
  std::string NmeaLogPath;
  bool operator==(const Fields &) const = default;
};

Fields fieldsOf(const TTarvikSerialGPS &p) {
  return {p.PortNumber,   p.BaudRate,  p.DataBitsCode,   p.StopBitsCode,
          p.ParityCode,   p.Priority,  p.PollIntervalMs, p.NmeaLogEnabled,
          p.LogTimeStamp, p.EnableDTR, p.EnableRTS,      p.NmeaLogPath};
}

std::ostream &operator<<(std::ostream &os, const Fields &f) {
  return os << "port " << f.PortNumber << " baud " << f.BaudRate << " data " << f.DataBitsCode
            << " stop " << f.StopBitsCode << " parity " << f.ParityCode << " prio " << f.Priority
            << " poll " << f.PollIntervalMs << " log " << f.NmeaLogEnabled << " time "
            << f.LogTimeStamp << " dtr " << f.EnableDTR << " rts " << f.EnableRTS << " path "
            << f.NmeaLogPath;
}

// The component's defaults, and the valid page applied to them.
const Fields defaults{1, 9600, 4, 1, 0, 3, 50, false, false, false, false, ""};
const Fields applied{3, 19200, 3, 3, 1, 2, 100, true, true, false, true, "/log/x.log"};

struct ApplyCase {
  const char *what;
  std::function<void(PortPageTexts &)> change;
  std::function<void(Fields &)> expect; // from `applied`, or from the defaults when failing
  bool ok;
  bool report;
};

TEST(PortSettings, ApplyingAPageSetsTheFieldsInOrderAndStopsAtTheFirstFailure) {
  const ApplyCase cases[] = {
      {"valid page", [](auto &) {}, [](auto &) {}, true, false},
      // Port names: every listed port selects itself; an empty box keeps the port.
      {"COM25", [](auto &t) { t.Port = "COM25"; }, [](auto &f) { f.PortNumber = 25; }, true, false},
      {"COM256", [](auto &t) { t.Port = "COM256"; }, [](auto &f) { f.PortNumber = 256; }, true,
       false},
      {"com7", [](auto &t) { t.Port = "com7"; }, [](auto &f) { f.PortNumber = 7; }, true, false},
      {"empty port", [](auto &t) { t.Port = ""; }, [](auto &f) { f.PortNumber = 1; }, true, false},
      // Baud rates: rates the port cannot take become 9600.
      {"56000", [](auto &t) { t.BaudRate = "56000"; }, [](auto &f) { f.BaudRate = 9600; }, true,
       false},
      {"115200", [](auto &t) { t.BaudRate = "115200"; }, [](auto &f) { f.BaudRate = 115200; }, true,
       false},
      // Data widths 5-8 give codes 1-4; stop bits 1, 1.5, 2 give 1-3.
      {"data 5", [](auto &t) { t.DataWidth = "5"; }, [](auto &f) { f.DataBitsCode = 1; }, true,
       false},
      {"data 8", [](auto &t) { t.DataWidth = "8"; }, [](auto &f) { f.DataBitsCode = 4; }, true,
       false},
      {"stop 1", [](auto &t) { t.StopBits = "1"; }, [](auto &f) { f.StopBitsCode = 1; }, true,
       false},
      {"stop 1.5", [](auto &t) { t.StopBits = "1.5"; }, [](auto &f) { f.StopBitsCode = 2; }, true,
       false},
      // Parity reaches the port.
      {"Even", [](auto &t) { t.Parity = "Even"; }, [](auto &f) { f.ParityCode = 2; }, true, false},
      {"Mark", [](auto &t) { t.Parity = "Mark"; }, [](auto &f) { f.ParityCode = 3; }, true, false},
      {"None", [](auto &t) { t.Parity = "None"; }, [](auto &f) { f.ParityCode = 0; }, true, false},
      {"space", [](auto &t) { t.Parity = "space"; }, [](auto &f) { f.ParityCode = 4; }, true,
       false},
      // Priority by item, 0 when it names none.
      {"Idle", [](auto &t) { t.Priority = "Idle"; }, [](auto &f) { f.Priority = 3; }, true, false},
      {"no priority", [](auto &t) { t.Priority = ""; }, [](auto &f) { f.Priority = 0; }, true,
       false},
      {"delay 5000", [](auto &t) { t.Delay = "5000"; }, [](auto &f) { f.PollIntervalMs = 5000; },
       true, false},
      {"flags as numbers",
       [](auto &t) {
         t.NMEALog = "0";
         t.EnableDTR = "1";
       },
       [](auto &f) {
         f.NmeaLogEnabled = false;
         f.EnableDTR = true;
       },
       true, false},
      // Failures: silent for a number or truth value that does not convert.
      {"empty baud", [](auto &t) { t.BaudRate = ""; },
       [](auto &f) {
         f = defaults;
         f.PortNumber = 3;
       },
       false, false},
      {"delay abc", [](auto &t) { t.Delay = "abc"; },
       [](auto &f) {
         f = applied;
         f.PollIntervalMs = 50;
         f.NmeaLogEnabled = f.LogTimeStamp = f.EnableRTS = false;
         f.NmeaLogPath = "";
       },
       false, false},
      {"RTS maybe", [](auto &t) { t.EnableRTS = "maybe"; },
       [](auto &f) {
         f.EnableRTS = false;
         f.NmeaLogPath = "";
       },
       false, false},
      // ... and reported for a port name that is no port, and for a data width, stop bits or
      // parity that is no item.
      {"COMX", [](auto &t) { t.Port = "COMX"; }, [](auto &f) { f = defaults; }, false, true},
      {"COM999", [](auto &t) { t.Port = "COM999"; }, [](auto &f) { f = defaults; }, false, true},
      {"COM0", [](auto &t) { t.Port = "COM0"; }, [](auto &f) { f = defaults; }, false, true},
      {"data 9", [](auto &t) { t.DataWidth = "9"; },
       [](auto &f) {
         f = defaults;
         f.PortNumber = 3;
         f.BaudRate = 19200;
       },
       false, true},
      {"typed data width", [](auto &t) { t.DataWidth = ""; },
       [](auto &f) {
         f = defaults;
         f.PortNumber = 3;
         f.BaudRate = 19200;
       },
       false, true},
      {"stop 3", [](auto &t) { t.StopBits = "3"; },
       [](auto &f) {
         f = defaults;
         f.PortNumber = 3;
         f.BaudRate = 19200;
         f.DataBitsCode = 3;
       },
       false, true},
      {"parity Odd2", [](auto &t) { t.Parity = "Odd2"; },
       [](auto &f) {
         f = defaults;
         f.PortNumber = 3;
         f.BaudRate = 19200;
         f.DataBitsCode = 3;
         f.StopBitsCode = 3;
       },
       false, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    TTarvikSerialGPS port(nullptr);
    PortPageTexts texts = validPage();
    c.change(texts);
    const auto outcome = navigator::applyPortPage(texts, "/log/x.log", port);
    Fields want = applied;
    c.expect(want);
    EXPECT_EQ(fieldsOf(port), want);
    EXPECT_EQ(outcome.ok, c.ok) << outcome.message.toStdString();
    EXPECT_EQ(outcome.report, c.report);
    EXPECT_EQ(outcome.message.isEmpty(), c.ok);
  }
}

TEST(PortSettings, RefusalsNameTheBoxAndItsItems) {
  TTarvikSerialGPS port(nullptr);
  PortPageTexts texts = validPage();
  texts.Parity = "Evn";
  EXPECT_EQ(navigator::applyPortPage(texts, "", port).message,
            "Parity \"Evn\" is not one of Even, Mark, None, Odd, Space.");
}

TEST(PortSettings, APortNameThatIsNoPortIsRefusedAsTyped) {
  // Each name is refused with the text the user typed, never a port of the list it resembles.
  for (const char *typed : {"COM999", "COMX", "com257", "COM0", "USB0", "COM3x"}) {
    SCOPED_TRACE(typed);
    TTarvikSerialGPS port(nullptr);
    port.PortNumber = 4;
    PortPageTexts texts = validPage();
    texts.Port = QString::fromLatin1(typed);
    const auto outcome = navigator::applyPortPage(texts, "", port);
    EXPECT_FALSE(outcome.ok);
    EXPECT_TRUE(outcome.report);
    EXPECT_EQ(outcome.message.toStdString(), std::string("Port \"") + typed +
                                                 "\" is no serial port; the ports are COM1 to "
                                                 "COM256.");
    EXPECT_EQ(port.PortNumber, 4);
    EXPECT_EQ(port.BaudRate, 9600);
  }
}

TEST(PortSettings, ItemListsMatchTheBoxes) {
  const QStringList ports = navigator::portNameItems();
  ASSERT_EQ(ports.size(), 256);
  EXPECT_EQ(ports.front(), "COM1");
  EXPECT_EQ(ports.back(), "COM256");
  EXPECT_EQ(navigator::baudRateItems().indexOf("9600"), 6);
  EXPECT_EQ(navigator::dataWidthItems().indexOf("8"), 3);
  EXPECT_EQ(navigator::parityItems().indexOf("None"), 2);
  EXPECT_EQ(navigator::priorityItems().indexOf("Normal"), 5);
  EXPECT_EQ(navigator::delayItems().size(), 20);
}

} // namespace
