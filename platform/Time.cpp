// Clock services over clock_gettime and localtime_r, with a replaceable clock for tests.
#include "platform/Time.h"

#include <atomic>
#include <ctime>

namespace platform {
namespace {

class SystemClock : public Clock {
public:
  std::uint64_t monotonicMSecs() const override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::uint64_t(ts.tv_sec) * 1000u + std::uint64_t(ts.tv_nsec / 1000000);
  }

  std::int64_t utcMSecsSinceEpoch() const override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return std::int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
  }

  int zoneOffsetMinutesAt(std::int64_t utcMSecs) const override {
    const std::int64_t secs = utcMSecs >= 0 ? utcMSecs / 1000 : -((-utcMSecs + 999) / 1000);
    const time_t t = time_t(secs);
    tm local{};
    if (!localtime_r(&t, &local))
      return 0;
    return int(local.tm_gmtoff / 60);
  }

  int standardZoneOffsetMinutes() const override {
    // The standard offset is the one of a moment outside daylight saving; January and July of
    // this year cover both hemispheres.
    const time_t now = time(nullptr);
    tm local{};
    if (!localtime_r(&now, &local))
      return 0;
    if (!local.tm_isdst)
      return int(local.tm_gmtoff / 60);
    for (int month : {0, 6}) {
      tm probe{};
      probe.tm_year = local.tm_year;
      probe.tm_mon = month;
      probe.tm_mday = 1;
      probe.tm_hour = 12;
      probe.tm_isdst = -1;
      time_t t = mktime(&probe);
      tm back{};
      if (t != time_t(-1) && localtime_r(&t, &back) && !back.tm_isdst)
        return int(back.tm_gmtoff / 60);
    }
    return int(local.tm_gmtoff / 60);
  }
};

const SystemClock theSystemClock;
std::atomic<const Clock *> installed{&theSystemClock};

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, int &year, int &month, int &day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = int(doy - (153 * mp + 2) / 5 + 1);
  month = int(mp < 10 ? mp + 3 : mp - 9);
  year = int(yoe + era * 400 + (month <= 2));
}

} // namespace

const Clock &systemClock() { return theSystemClock; }

void setClock(const Clock *clock) { installed.store(clock ? clock : &theSystemClock); }

const Clock &currentClock() { return *installed.load(); }

void ManualClock::setLocal(const TDateTime &local) {
  utcMSecs = msecsFromDateTime(local) - std::int64_t(zoneOffsetMinutes) * 60000;
}

std::uint32_t TickCount() { return std::uint32_t(currentClock().monotonicMSecs()); }

TDateTime Now() {
  const Clock &clock = currentClock();
  const std::int64_t utc = clock.utcMSecsSinceEpoch();
  return dateTimeFromMSecs(utc + std::int64_t(clock.zoneOffsetMinutesAt(utc)) * 60000);
}

TDateTime NowUtc() { return dateTimeFromMSecs(currentClock().utcMSecsSinceEpoch()); }

int ZoneOffsetMinutes() {
  const Clock &clock = currentClock();
  return clock.zoneOffsetMinutesAt(clock.utcMSecsSinceEpoch());
}

int StandardZoneOffsetMinutes() { return currentClock().standardZoneOffsetMinutes(); }

TDateTime dateTimeFromMSecs(std::int64_t msecs) {
  std::int64_t days = msecs / 86400000;
  std::int64_t rest = msecs % 86400000;
  if (rest < 0) {
    rest += 86400000;
    --days;
  }
  TDateTime dt;
  civilFromDays(days, dt.Year, dt.Month, dt.Day);
  dt.Hour = int(rest / 3600000);
  dt.Minute = int(rest / 60000 % 60);
  dt.Second = int(rest / 1000 % 60);
  dt.MSec = int(rest % 1000);
  return dt;
}

std::int64_t msecsFromDateTime(const TDateTime &dt) {
  return daysFromCivil(dt.Year, dt.Month, dt.Day) * 86400000 + std::int64_t(dt.Hour) * 3600000 +
         std::int64_t(dt.Minute) * 60000 + std::int64_t(dt.Second) * 1000 + dt.MSec;
}

} // namespace platform
