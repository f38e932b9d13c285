// The clock services: a wrapping millisecond tick count, the local date and time, and the
// zone offset, all read through one replaceable clock so tests can pin midnights and year ends.
#pragma once

#include <cstdint>

namespace platform {

// A broken-down date and time to the millisecond (local unless a function says otherwise).
struct TDateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int MSec = 0;

  friend bool operator==(const TDateTime &, const TDateTime &) = default;
};

// Where the time comes from. The default reads the operating system.
class Clock {
public:
  virtual ~Clock() = default;
  // Milliseconds of a monotonic clock; only differences matter.
  virtual std::uint64_t monotonicMSecs() const = 0;
  // Milliseconds since 1970-01-01 00:00:00 UTC.
  virtual std::int64_t utcMSecsSinceEpoch() const = 0;
  // Offset of local time from UTC, in minutes east, at the given UTC moment (daylight saving in).
  virtual int zoneOffsetMinutesAt(std::int64_t utcMSecs) const = 0;
  // Offset of the zone's standard time from UTC, in minutes east (no daylight saving).
  virtual int standardZoneOffsetMinutes() const = 0;
};

// A clock that only moves when told to; for tests.
class ManualClock : public Clock {
public:
  std::uint64_t monotonic = 0;
  std::int64_t utcMSecs = 0;
  int zoneOffsetMinutes = 0;
  int standardOffsetMinutes = 0;

  std::uint64_t monotonicMSecs() const override { return monotonic; }
  std::int64_t utcMSecsSinceEpoch() const override { return utcMSecs; }
  int zoneOffsetMinutesAt(std::int64_t) const override { return zoneOffsetMinutes; }
  int standardZoneOffsetMinutes() const override { return standardOffsetMinutes; }

  // Sets the UTC moment so that local time (with the current offset) reads `local`.
  void setLocal(const TDateTime &local);
};

// The operating system's clock.
const Clock &systemClock();

// Installs `clock` as the process clock (null restores the system clock). The caller keeps it
// alive while installed.
void setClock(const Clock *clock);
const Clock &currentClock();

// Installs a clock for the lifetime of the object.
class ScopedClock {
public:
  explicit ScopedClock(const Clock &clock) : previous_(&currentClock()) { setClock(&clock); }
  ~ScopedClock() { setClock(previous_); }
  ScopedClock(const ScopedClock &) = delete;
  ScopedClock &operator=(const ScopedClock &) = delete;

private:
  const Clock *previous_;
};

// Milliseconds since some start, as an unsigned 32-bit count that wraps about every 49.7 days.
// Compare two ticks by unsigned subtraction.
std::uint32_t TickCount();

// The local date and time now.
TDateTime Now();
// The UTC date and time now.
TDateTime NowUtc();
// The current offset of local time from UTC in minutes east (UTC+3 gives 180).
int ZoneOffsetMinutes();
// The offset of the zone's standard time in minutes east, without daylight saving.
int StandardZoneOffsetMinutes();

// Conversions between a broken-down time and milliseconds since 1970-01-01 00:00:00 in the same
// frame (no zone is applied).
TDateTime dateTimeFromMSecs(std::int64_t msecs);
std::int64_t msecsFromDateTime(const TDateTime &dt);

// True when the time of day is exactly midnight.
inline bool isMidnight(const TDateTime &dt) {
  return dt.Hour == 0 && dt.Minute == 0 && dt.Second == 0 && dt.MSec == 0;
}

} // namespace platform
