// Format settings (fixed and from a locale) and the date-time patterns that use them.
#include "platform/FormatSettings.h"
#include "platform/Convert.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace platform;

namespace {

const TDateTime may1{2024, 5, 1, 10, 15, 30, 123};

TEST(FormatSettings, NavigationProgramValues) {
  const FormatSettings fs = FormatSettings::navigation();
  EXPECT_EQ(fs.DecimalSeparator, '.');
  EXPECT_EQ(fs.ListSeparator, ',');
  EXPECT_EQ(fs.ThousandSeparator, ',');
  EXPECT_EQ(fs.DateSeparator, ':');
  EXPECT_EQ(fs.ShortDateFormat, "YYYY-MM-DD");
  EXPECT_EQ(fs.LongTimeFormat, "hhnnsszzz");
  EXPECT_EQ(DateTimeToStr(may1, fs), "2024-05-01 101530123");
  EXPECT_EQ(DateToStr(may1, fs), "2024-05-01");
  EXPECT_EQ(TimeToStr(may1, fs), "101530123");
  // A midnight leaves the time out.
  EXPECT_EQ(DateTimeToStr({2024, 12, 31, 0, 0, 0, 0}, fs), "2024-12-31");
  EXPECT_EQ(DateTimeToStr({2024, 12, 31, 0, 0, 0, 1}, fs), "2024-12-31 000000001");
}

TEST(FormatSettings, FromTheUsersLocale) {
  struct Case {
    const char *locale;
    char decimal, thousands, list;
    const char *number, *date;
  };
  const Case cases[] = {
      {"de_DE", ',', '.', ';', "1.234.567,50", "01.05.24"},
      {"tr_TR", ',', '.', ';', "1.234.567,50", "1.05.2024"},
      {"en_US", '.', ',', ',', "1,234,567.50", "5/1/24"},
  };
  for (const Case &c : cases) {
    const FormatSettings fs = FormatSettings::fromLocale(QLocale(QString::fromLatin1(c.locale)));
    EXPECT_EQ(fs.DecimalSeparator, c.decimal) << c.locale;
    EXPECT_EQ(fs.ThousandSeparator, c.thousands) << c.locale;
    EXPECT_EQ(fs.ListSeparator, c.list) << c.locale;
    EXPECT_EQ(FloatToStrF(1234567.5, ffNumber, 15, 2, fs), c.number) << c.locale;
    EXPECT_EQ(DateToStr(may1, fs), c.date) << c.locale << " " << fs.ShortDateFormat;
    EXPECT_EQ(StrToFloat(FloatToStr(2.5, fs), fs), 2.5) << c.locale;
  }
}

TEST(FormatDateTime, PatternLetters) {
  FormatSettings fs = FormatSettings::classic();
  fs.DateSeparator = '.';
  fs.TimeSeparator = ':';
  const struct {
    const char *pattern;
    const char *text;
  } cases[] = {
      {"yyyy-mm-dd hh:nn:ss", "2024-05-01 10:15:30"},
      {"YYYY-MM-DD", "2024-05-01"},
      {"hhnnsszzz", "101530123"},
      {"yyyy/mm/dd", "2024.05.01"},
      {"hh:mm", "10:15"}, // "m" after an hour is minutes
      {"d/m/yy", "1.5.24"},
      {"h:n:s.z", "10:15:30.123"},
      {"'Day' d", "Day 1"},
      {"\"at\" hh", "at 10"},
      {"mmm mmmm ddd dddd", "May May Wed Wednesday"},
      {"hh'h'", "10h"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FormatDateTime(c.pattern, may1, fs), c.text) << c.pattern;
  EXPECT_EQ(FormatDateTime("h:n:s.z", {2024, 1, 2, 9, 5, 3, 7}, fs), "9:5:3.7");
  EXPECT_EQ(FormatDateTime("c", may1, fs), "2024.05.01 10:15:30");
}

TEST(FormatDateTime, EmptySeparatorsLeaveOnlyTheLetters) {
  FormatSettings fs = FormatSettings::navigation();
  fs.DateSeparator = '\0';
  fs.TimeSeparator = '\0';
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd hh:nn:ss", may1, fs), "20240501 101530");
}

TEST(FormatDateTime, ProcessSettingsAreTheDefault) {
  const FormatSettings saved = formatSettings();
  setFormatSettings(FormatSettings::navigation());
  EXPECT_EQ(DateTimeToStr(may1), "2024-05-01 101530123");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", may1), "2024:05:01");
  setFormatSettings(saved);
}

} // namespace
