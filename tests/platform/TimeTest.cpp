// The clock: a wrapping tick count, local time around midnights and year ends, zone offsets.
#include "platform/Time.h"
#include "platform/Convert.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace platform;

namespace {

TEST(Time, TickCountWrapsAt32Bits) {
  ManualClock clock;
  ScopedClock scoped(clock);
  clock.monotonic = 0xFFFFFFFFull - 999; // 1 s before the wrap
  const std::uint32_t before = TickCount();
  clock.monotonic += 5000;
  const std::uint32_t after = TickCount();
  EXPECT_LT(after, before);
  EXPECT_EQ(std::uint32_t(after - before), 5000u);
}

TEST(Time, SystemTickCountMovesForward) {
  const std::uint32_t a = TickCount();
  timespec pause{0, 20 * 1000 * 1000};
  nanosleep(&pause, nullptr);
  EXPECT_GE(std::uint32_t(TickCount() - a), 15u);
}

TEST(Time, LocalTimeCrossesMidnightAndYearEnd) {
  ManualClock clock;
  clock.zoneOffsetMinutes = 180; // UTC+3
  ScopedClock scoped(clock);
  clock.setLocal({2024, 12, 31, 23, 59, 59, 999});
  EXPECT_EQ(Now(), (TDateTime{2024, 12, 31, 23, 59, 59, 999}));
  EXPECT_EQ(NowUtc(), (TDateTime{2024, 12, 31, 20, 59, 59, 999}));
  clock.utcMSecs += 1;
  EXPECT_EQ(Now(), (TDateTime{2025, 1, 1, 0, 0, 0, 0}));
  EXPECT_EQ(FormatDateTime("YYYY-MM-DD", Now()), "2025-01-01");
  EXPECT_EQ(ZoneOffsetMinutes(), 180);
}

TEST(Time, LeapDaysAndEarlyDates) {
  const TDateTime cases[] = {{2024, 2, 29, 12, 0, 0, 0}, {2000, 2, 29, 0, 0, 0, 1},
                             {1900, 3, 1, 0, 0, 0, 0},   {1969, 12, 31, 23, 59, 59, 999},
                             {2100, 12, 31, 0, 0, 0, 0}, {1899, 12, 30, 0, 0, 0, 0}};
  for (const auto &dt : cases)
    EXPECT_EQ(dateTimeFromMSecs(msecsFromDateTime(dt)), dt) << dt.Year << "-" << dt.Month;
  EXPECT_EQ(msecsFromDateTime({1970, 1, 1, 0, 0, 0, 0}), 0);
  EXPECT_EQ(msecsFromDateTime({1970, 1, 2, 0, 0, 1, 5}), 86401005);
}

TEST(Time, SystemZoneOffsetsFollowTZ) {
  struct Case {
    const char *tz;
    int standard;
    int summer;
  };
  // North and south of the equator, a half-hour zone, a zone without daylight saving.
  const Case cases[] = {{"EST5EDT,M3.2.0,M11.1.0", -300, -240},
                        {"AEST-10AEDT,M10.1.0,M4.1.0/3", 600, 660},
                        {"NST3:30NDT,M3.2.0,M11.1.0", -210, -150},
                        {"<+03>-3", 180, 180}};
  for (const Case &c : cases) {
    testsupport::EnvVar tz("TZ", c.tz);
    tzset();
    const int standard = StandardZoneOffsetMinutes();
    const int now = ZoneOffsetMinutes();
    EXPECT_EQ(standard, c.standard) << c.tz;
    EXPECT_TRUE(now == c.standard || now == c.summer) << c.tz << " " << now;
  }
  tzset(); // back to the zone of the restored TZ
}

TEST(Time, SystemNowAgreesWithTheCLibrary) {
  const time_t t = time(nullptr);
  tm local{};
  localtime_r(&t, &local);
  const TDateTime now = Now();
  EXPECT_EQ(now.Year, local.tm_year + 1900);
  // A second may tick over between the two readings; the date of a year end is what matters.
  EXPECT_NEAR(now.Month * 31 + now.Day, (local.tm_mon + 1) * 31 + local.tm_mday, 31);
}

} // namespace
