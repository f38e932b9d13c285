// The note of a new NTRIP base station in the day's event log: the same record as before, now
// appended whole or not at all.
#include "navigator/NavigatorFixture.h"

#include "navigator/corrections/BaseStationEvent.h"
#include "positioning/NtripBaseStation.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFileInfo>

namespace {

class BaseStationEventTest : public NavigatorTest {
protected:
  BaseStationEventTest() { clock.setLocal({2026, 7, 14, 9, 5, 7, 0}); }
  std::string logFolder() const { return root.path() + "/2026-07-14/LOG"; }
};

TEST_F(BaseStationEventTest, ANoteIsAppendedOnALineOfItsOwnAndNeverTorn) {
  const NtripBaseStation station{2003, 38.80475943, -77.0647736, 114.56};
  // No folder for today: nothing is written, nothing is made.
  AppendBaseStationEvent(station);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root.path() + "/2026-07-14")));

  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(logFolder())));
  const std::string events = logFolder() + "/2026-07-14 Events.log";
  const std::string before = "Auto Event:\t2026-07-14 090000123\tRealtime started";
  testsupport::writeFile(events, before);
  AppendBaseStationEvent(station);
  const std::string first = before +
                            "\r\nAuto Event:\t2026-07-14 090507000\tNTRIP Base Station #2003: "
                            "38.80475943, -77.06477360, 114.56m\r\n";
  EXPECT_EQ(testsupport::readFile(events), first);

  // A disk that fills in the middle of the record: the log stays as it was.
  {
    testsupport::FileSizeLimit full(first.size() + 20);
    AppendBaseStationEvent({12, 1, 2, 3});
  }
  EXPECT_EQ(testsupport::readFile(events), first);
  clock.setLocal({2026, 7, 14, 9, 6, 0, 0});
  AppendBaseStationEvent({12, 1, 2, 3});
  EXPECT_EQ(testsupport::readFile(events),
            first + "Auto Event:\t2026-07-14 090600000\tNTRIP Base Station #12: 1.00000000, "
                    "2.00000000, 3.00m\r\n");
}

} // namespace
