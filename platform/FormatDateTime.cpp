// Date and time to text with the class library's pattern letters.
#include "platform/Convert.h"

#include "platform/AsciiCase.h"

#include <algorithm>

namespace platform {
namespace {

const char *const shortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char *const longMonths[] = {"January",   "February", "March",    "April",
                                  "May",       "June",     "July",     "August",
                                  "September", "October",  "November", "December"};
const char *const shortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char *const longDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                "Thursday", "Friday", "Saturday"};

std::string padded(int value, int width) {
  std::string s = std::to_string(value < 0 ? -value : value);
  while (int(s.size()) < width)
    s.insert(s.begin(), '0');
  return value < 0 ? "-" + s : s;
}

int dayOfWeek(const TDateTime &dt) {
  // 1970-01-01 was a Thursday.
  const std::int64_t days = msecsFromDateTime({dt.Year, dt.Month, dt.Day, 0, 0, 0, 0}) / 86400000;
  return int(((days + 4) % 7 + 7) % 7);
}

void format(std::string &out, const std::string &pattern, const TDateTime &dt,
            const FormatSettings &fs, int depth) {
  // Nested short-date and long-time formats may name each other; stop a loop.
  if (depth > 2)
    return;
  char lastLetter = 0;
  const std::size_t n = pattern.size();
  for (std::size_t i = 0; i < n;) {
    const char c = pattern[i];
    const char token = upperAscii(c);
    std::size_t count = 1;
    while (i + count < n && upperAscii(pattern[i + count]) == token)
      ++count;
    if (c == '\'' || c == '"') {
      const std::size_t close = pattern.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? n : close;
      out += pattern.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    const bool letter = token >= 'A' && token <= 'Z';
    const bool minutesAfterHour = token == 'M' && lastLetter == 'H';
    if (letter)
      lastLetter = token;
    // Hours, minutes and seconds take one or two digits; a longer run starts the next field.
    const auto timeField = [&](int value) {
      count = std::min<std::size_t>(count, 2);
      out += padded(value, int(count));
    };
    switch (token) {
    case 'Y':
      out += count <= 2 ? padded(dt.Year % 100, 2) : padded(dt.Year, 4);
      break;
    case 'M':
      if (minutesAfterHour) {
        timeField(dt.Minute);
      } else if (count <= 2) {
        out += padded(dt.Month, int(count));
      } else {
        const int m = std::clamp(dt.Month, 1, 12) - 1;
        out += count == 3 ? shortMonths[m] : longMonths[m];
        count = std::min<std::size_t>(count, 4);
      }
      break;
    case 'D':
      if (count <= 2)
        out += padded(dt.Day, int(count));
      else if (count == 3)
        out += shortDays[dayOfWeek(dt)];
      else if (count == 4)
        out += longDays[dayOfWeek(dt)];
      else {
        format(out, fs.ShortDateFormat, dt, fs, depth + 1);
        count = std::min<std::size_t>(count, 6);
      }
      break;
    case 'H':
      timeField(dt.Hour);
      break;
    case 'N':
      timeField(dt.Minute);
      break;
    case 'S':
      timeField(dt.Second);
      break;
    case 'Z':
      count = std::min<std::size_t>(count, 3);
      out += padded(dt.MSec, count == 3 ? 3 : 1);
      break;
    case 'T':
      count = std::min<std::size_t>(count, 2);
      if (count == 2)
        format(out, fs.LongTimeFormat, dt, fs, depth + 1);
      else
        format(out, "hh:nn", dt, fs, depth + 1);
      break;
    case 'C':
      count = 1;
      format(out, fs.ShortDateFormat, dt, fs, depth + 1);
      if (!isMidnight(dt)) {
        out += ' ';
        format(out, fs.LongTimeFormat, dt, fs, depth + 1);
      }
      break;
    case '/':
      count = 1;
      if (fs.DateSeparator)
        out += fs.DateSeparator;
      break;
    case ':':
      count = 1;
      if (fs.TimeSeparator)
        out += fs.TimeSeparator;
      break;
    default:
      out.append(count, c);
    }
    i += count;
  }
}

} // namespace

std::string FormatDateTime(const std::string &pattern, const TDateTime &dt,
                           const FormatSettings &fs) {
  std::string out;
  format(out, pattern, dt, fs, 0);
  return out;
}

std::string DateTimeToStr(const TDateTime &dt, const FormatSettings &fs) {
  return FormatDateTime("c", dt, fs);
}

std::string DateToStr(const TDateTime &dt, const FormatSettings &fs) {
  return FormatDateTime(fs.ShortDateFormat, dt, fs);
}

std::string TimeToStr(const TDateTime &dt, const FormatSettings &fs) {
  return FormatDateTime(fs.LongTimeFormat, dt, fs);
}

} // namespace platform
