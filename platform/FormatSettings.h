// The number and date formats every conversion of Convert.h follows: a process-wide set, which
// the navigation program fixes at start and the editor takes from the user's locale.
#pragma once

#include <string>

class QLocale;

namespace platform {

// A separator of '\0' stands for none (date and time letters then run together).
struct FormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char ListSeparator = ',';
  char DateSeparator = '-';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "yyyy/mm/dd";
  std::string LongTimeFormat = "hh:nn:ss";

  // Locale-free values: "." decimals, "," thousands and lists, ISO-like dates.
  static FormatSettings classic();
  // The navigation program's fixed values: decimal ".", list and thousands ",", date separator
  // ":", short date "YYYY-MM-DD", long time "hhnnsszzz".
  static FormatSettings navigation();
  // The separators and formats of a locale (the editor shows numbers the user's way).
  static FormatSettings fromLocale(const QLocale &locale);
  // fromLocale of the user's system locale.
  static FormatSettings user();
};

// The process-wide settings (classic until a program sets them). Set them at start, before any
// thread is running.
const FormatSettings &formatSettings();
void setFormatSettings(const FormatSettings &settings);

} // namespace platform
