// Number conversions: the class library's rounding, forms and messages, whatever the C locale.
#include "platform/Convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

using namespace platform;

namespace {

const FormatSettings classic = FormatSettings::classic();

// Switches the C library's numeric locale for one test and restores it.
class CLocale {
public:
  explicit CLocale(const char *name) : saved_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~CLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
  bool active() const { return active_; }

private:
  std::string saved_;
  bool active_ = false;
};

struct FixedCase {
  double value;
  int digits;
  const char *text;
};

TEST(FloatToStrF, FixedRoundsDecimalTiesAwayFromZero) {
  const FixedCase cases[] = {
      {4.25, 1, "4.3"},     {0.125, 2, "0.13"},
      {-4.25, 1, "-4.3"},   {-0.125, 2, "-0.13"},
      {99.95, 1, "100.0"},  {12.344, 2, "12.34"},
      {0.0, 2, "0.00"},     {-0.001, 2, "0.00"},
      {-0.0, 2, "0.00"},    {1234567.891, 2, "1234567.89"},
      {0.5, 0, "1"},        {1.5, 0, "2"},
      {2.5, 0, "3"},        {0.0004, 3, "0.000"},
      {0.0005, 3, "0.001"}, {41.123456789, 8, "41.12345679"},
      {7.0, 1, "7.0"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FloatToStrF(c.value, ffFixed, 15, c.digits, classic), c.text) << c.value;
}

// The class library rounds the stored binary value, cut to 18 significant digits, not the
// shortest text that reads back as it: 1.005 is stored as 1.00499999999999989... and rounds down,
// 12.345 as 12.3450000000000006... and rounds up. The cut itself can make a tie: the last case
// is 1.00000000000000754951... which 18 digits turn into ...755, so it rounds up where printf
// (exact) rounds down.
TEST(FloatToStrF, RoundsTheStoredValueCutTo18Digits) {
  struct Case {
    double value;
    int precision, digits;
    const char *text;
  };
  const Case cases[] = {
      {1.005, 15, 2, "1.00"},   {2.675, 15, 2, "2.67"},
      {0.35, 15, 1, "0.3"},     {9.995, 15, 2, "9.99"},
      {0.285, 15, 2, "0.28"},   {12.345, 15, 2, "12.35"},
      {-1.005, 15, 2, "-1.00"}, {1.0000000000000075, 18, 16, "1.0000000000000076"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FloatToStrF(c.value, ffFixed, c.precision, c.digits, classic), c.text) << c.value;
  EXPECT_EQ(FormatFloat("0.00", 1.005, classic), "1.00");
  EXPECT_EQ(FormatFloat("0.00", 12.345, classic), "12.35");
}

// An extended value keeps about three digits more than a double: 1.005L cut to 18 digits is the
// tie 1.00500000000000000 and rounds up, where the double 1.005 rounds down.
TEST(FloatToStrF, ExtendedValuesUseTheirOwnDigits) {
  EXPECT_EQ(FloatToStrF(1.005L, ffFixed, 15, 2, classic), "1.01");
  EXPECT_EQ(FloatToStrF(2.675L, ffFixed, 15, 2, classic), "2.68");
  EXPECT_EQ(extendedToStrF(1.005L, ffFixed, 15, 2, classic), "1.01");
  EXPECT_EQ(FloatToStr(0.1L, classic), "0.1");
  EXPECT_EQ(FloatToStr(1.5e-6L, classic), "1.5E-6");
  EXPECT_EQ(FloatToStr(-1e4000L, classic), "-1E4000");
  // Exact ties at the 19th digit: the x87 rounds the scaled integer half to even.
  EXPECT_EQ(FloatToStrF(87654321098765432.25L, ffFixed, 18, 1, classic), "87654321098765432.2");
  EXPECT_EQ(FloatToStrF(87654321098765432.75L, ffFixed, 18, 1, classic), "87654321098765432.8");
  EXPECT_EQ(FloatToStr(5, classic), "5") << "an integer still takes the double form";
  EXPECT_EQ(FloatToStr(2.5f, classic), "2.5");
}

// Away from ties the fixed form must agree with the C library's correctly rounded printf; where
// they differ, the shortest decimal text of the value must end in a 5 just past the kept digits.
TEST(FloatToStrF, AgreesWithPrintfExceptOnDecimalTies) {
  std::mt19937_64 random(12345);
  std::uniform_int_distribution<int> digitsOf(0, 6);
  std::uniform_int_distribution<int> mantissa(-999999, 999999);
  int ties = 0;
  for (int i = 0; i < 20000; ++i) {
    const int scale = digitsOf(random);
    const double value = mantissa(random) / std::pow(10.0, scale + 1);
    const int digits = std::max(0, scale);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, value);
    std::string expected = buf;
    for (char &c : expected)
      if (c == ',')
        c = '.';
    if (expected == "-0" || expected.rfind("-0.", 0) == 0)
      if (expected.find_first_not_of("-0.") == std::string::npos)
        expected.erase(0, 1); // no minus on a zero result
    const std::string ours = FloatToStrF(value, ffFixed, 15, digits, classic);
    if (ours == expected)
      continue;
    char shortest[64];
    const auto res = std::to_chars(shortest, shortest + sizeof shortest, std::fabs(value),
                                   std::chars_format::fixed);
    const std::string text(shortest, res.ptr);
    const auto point = text.find('.');
    ASSERT_NE(point, std::string::npos) << value;
    ASSERT_EQ(text.size(), point + 1 + std::size_t(digits) + 1) << value << " " << ours;
    ASSERT_EQ(text.back(), '5') << value << " " << ours << " " << expected;
    ++ties;
  }
  EXPECT_GT(ties, 0);
}

TEST(FloatToStrF, FixedHonoursPrecisionAndFallsBackToExponentForm) {
  // Six significant digits: the depth labels of the editor.
  EXPECT_EQ(FloatToStrF(1234.5678, ffFixed, 6, 2, classic), "1234.57");
  EXPECT_EQ(FloatToStrF(123456.7, ffFixed, 6, 2, classic), "123457.00");
  EXPECT_EQ(FloatToStrF(1234567.0, ffFixed, 6, 2, classic), "1.23457E6");
  EXPECT_EQ(FloatToStrF(1234567.891, ffNumber, 15, 2, classic), "1,234,567.89");
}

TEST(FloatToStr, GeneralFormWithFifteenDigits) {
  const std::pair<double, const char *> cases[] = {
      {0.1, "0.1"},
      {1.0, "1"},
      {-2.5, "-2.5"},
      {0.0, "0"},
      {1.5e-6, "1.5E-6"},
      {0.00001, "0.00001"},
      {0.0000099, "9.9E-6"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E15"},
      {-1.25e20, "-1.25E20"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {999999999999999.9, "1E15"},
      {3.14159265358979, "3.14159265358979"},
      {std::numeric_limits<double>::infinity(), "INF"},
  };
  for (const auto &[value, text] : cases)
    EXPECT_EQ(FloatToStr(value, classic), text) << value;
}

TEST(FloatToStrF, ExponentAndGeneralWithDigitCounts) {
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2, classic), "1.235E+03");
  EXPECT_EQ(FloatToStrF(-0.000123, ffExponent, 3, 0, classic), "-1.23E-4");
  EXPECT_EQ(FloatToStrF(1.5e-6, ffGeneral, 15, 2, classic), "1.5E-06");
  EXPECT_EQ(FloatToStrF(123.456, ffGeneral, 4, 0, classic), "123.5");
  EXPECT_EQ(FloatToStrF(12345.0, ffGeneral, 4, 0, classic), "1.235E4");
}

TEST(FormatFloat, PicturesThePrograms) {
  struct Case {
    const char *format;
    double value;
    const char *text;
  };
  const Case cases[] = {
      {"0.00", 4.255, "4.25"}, // stored as 4.25499999999999989...
      {"0.00", 0.125, "0.13"},
      {"0.00", -3.0, "-3.00"},
      {"0.00", -0.004, "0.00"},
      {"0.00", -0.0, "0.00"},
      {"0.#", 5.0, "5"},
      {"0.#", 4.25, "4.3"},
      {"0.#", 4.96, "5"},
      {"0.###", 1.23456, "1.235"},
      {"0.###", 1.2, "1.2"},
      {"0.###", 0.0, "0"},
      {"###,###,###,##0", 0.0, "0"},
      {"###,###,###,##0", 999.0, "999"},
      {"###,###,###,##0", 1234567.0, "1,234,567"},
      {"###,###,###,##0", 1234567890.0, "1,234,567,890"},
      {"###,###,###,##0", -1234.5, "-1,235"},
      {"0.00000000", 41.0123456789, "41.01234568"},
      {"0.00000000", -29.000000005, "-29.00000001"},
      {"0.00000000", 0.0, "0.00000000"},
      {"#.##", 0.5, ".5"},
      {"0.00 m", 2.5, "2.50 m"},
      {"0.0;(0.0);'zero'", -1.25, "(1.3)"},
      {"0.0;(0.0);'zero'", 0.01, "zero"},
      {"0.00E+00", 12345.0, "1.23E+04"},
  };
  for (const auto &c : cases)
    EXPECT_EQ(FormatFloat(c.format, c.value, classic), c.text) << c.format << " " << c.value;
}

TEST(FormatFloat, UsesTheSettingsSeparators) {
  FormatSettings german = classic;
  german.DecimalSeparator = ',';
  german.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("###,###,###,##0", 1234567.0, german), "1.234.567");
  EXPECT_EQ(FormatFloat("0.00", 2.5, german), "2,50");
  EXPECT_EQ(FloatToStrF(2.5, ffFixed, 15, 1, german), "2,5");
  EXPECT_EQ(StrToFloat("2,5", german), 2.5);
  EXPECT_THROW(StrToFloat("2.5", german), EConvertError);
}

TEST(StrToFloat, ReadsTheClassLibraryForms) {
  const std::pair<const char *, double> cases[] = {
      {"1.5", 1.5},       {"  -2.25  ", -2.25},
      {"+3", 3.0},        {"1e3", 1000.0},
      {"1.5E-6", 1.5e-6}, {".5", 0.5},
      {"5.", 5.0},        {"0", 0.0},
      {"1e-400", 0.0},    {"41.01234568", 41.01234568},
  };
  for (const auto &[text, value] : cases)
    EXPECT_DOUBLE_EQ(StrToFloat(std::string(text), classic), value) << text;
}

// The whole exponent counts, however many digits it has; beyond a double's range a value is
// too large to read, and one too small to hold is zero.
TEST(StrToFloat, ReadsEveryDigitOfTheExponent) {
  const std::pair<const char *, double> cases[] = {
      {"1e0000000001", 10.0},
      {"2.5E+0000000003", 2500.0},
      {"4e-00000000002", 0.04},
      {"123456789e-0000000000008", 1.23456789},
      {"1e0000000000000000000000000000000000000000000000000000000000000308", 1e308},
      {"0.001e0000000000000000000000000000000000000000000000000000000000000308", 1e305},
      {"1e-99999999999999999999999999", 0.0},
      {"0e99999999999999999999999999", 0.0},
      {"-0e-99999999999999999999999999", 0.0},
  };
  for (const auto &[text, value] : cases)
    EXPECT_DOUBLE_EQ(StrToFloat(std::string(text), classic), value) << text;
  for (const char *text : {"1e99999999999999999999999999", "1e0000000000000000000000000400",
                           "-1e+9999999999", "0.1e310"})
    EXPECT_THROW(StrToFloat(std::string(text), classic), EConvertError) << text;
}

TEST(StrToFloat, RejectsWithTheClassLibraryMessage) {
  for (const char *text :
       {"abc", "", " ", "1.2.3", "1,5", "12abc", "e5", "1e", "--1", "1e400", "0x10", "1 2"}) {
    try {
      StrToFloat(std::string(text), classic);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError &e) {
      EXPECT_EQ(std::string(e.what()),
                "'" + std::string(text) + "' is not a valid floating point value");
    }
  }
  EXPECT_EQ(StrToFloatDef("abc", -1.0, classic), -1.0);
  EXPECT_EQ(StrToFloatDef("2.5", -1.0, classic), 2.5);
  EXPECT_EQ(StrToFloat(QStringLiteral("7.25"), classic), 7.25);
}

TEST(StrToInt, ReadsDecimalAndHexadecimal) {
  const std::pair<const char *, std::int32_t> cases[] = {
      {"0", 0},
      {"42", 42},
      {"-17", -17},
      {"  8", 8},
      {"+5", 5},
      {"$FF", 255},
      {"0x10", 16},
      {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
  };
  for (const auto &[text, value] : cases)
    EXPECT_EQ(StrToInt(std::string(text)), value) << text;
}

TEST(StrToInt, RejectsWithTheClassLibraryMessage) {
  for (const char *text :
       {"abc", "", "1.5", "12 ", "\t8", "2147483648", "-2147483649", "$", "1e3", "$100000000"}) {
    try {
      StrToInt(std::string(text));
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError &e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(StrToIntDef("x", 7), 7);
  EXPECT_EQ(StrToIntDef(QStringLiteral("12"), 7), 12);
  EXPECT_EQ(StrToInt64("9000000000"), 9000000000LL);
}

TEST(StrToBool, NamesAndNumbers) {
  EXPECT_TRUE(StrToBool("True", classic));
  EXPECT_TRUE(StrToBool("TRUE", classic));
  EXPECT_FALSE(StrToBool("false", classic));
  EXPECT_TRUE(StrToBool("-1", classic));
  EXPECT_TRUE(StrToBool("2", classic));
  EXPECT_FALSE(StrToBool("0", classic));
  try {
    StrToBool("yes", classic);
    ADD_FAILURE();
  } catch (const EConvertError &e) {
    EXPECT_STREQ(e.what(), "'yes' is not a valid boolean value");
  }
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false, true), "False");
}

TEST(Convert, IgnoresCommaDecimalCLocales) {
  for (const char *name : {"tr_TR.UTF-8", "de_DE.UTF-8"}) {
    CLocale locale(name);
    if (!locale.active())
      FAIL() << "locale " << name << " is not installed; scripts/install-deps generates it";
    EXPECT_EQ(FloatToStr(1.5, classic), "1.5") << name;
    EXPECT_EQ(FloatToStr(1.5e-6, classic), "1.5E-6") << name;
    EXPECT_EQ(FloatToStrF(4.25, ffFixed, 15, 1, classic), "4.3") << name;
    EXPECT_EQ(FormatFloat("###,###,###,##0", 1234567.0, classic), "1,234,567") << name;
    EXPECT_EQ(StrToFloat("1.5", classic), 1.5) << name;
    EXPECT_THROW(StrToFloat("1,5", classic), EConvertError) << name;
    EXPECT_EQ(StrToInt("-12"), -12) << name;
    // The Turkish locale folds "i" to a dotted capital; the boolean names must still match.
    EXPECT_TRUE(StrToBool("true", classic)) << name;
  }
}

TEST(Convert, ProcessWideSettingsApplyByDefault) {
  const FormatSettings saved = formatSettings();
  FormatSettings comma = classic;
  comma.DecimalSeparator = ',';
  setFormatSettings(comma);
  EXPECT_EQ(FloatToStr(0.5), "0,5");
  EXPECT_EQ(StrToFloat("0,5"), 0.5);
  setFormatSettings(saved);
  EXPECT_EQ(FloatToStr(0.5), "0.5");
}

// Every double that FloatToStr writes with 15 digits or fewer reads back to the same text.
TEST(Convert, GeneralTextReadsBack) {
  for (double v : {0.1, 123.456, -9.87654321, 1e-7, 6.02214076e23, 299792458.0, 0.07}) {
    const std::string text = FloatToStr(v, classic);
    EXPECT_EQ(FloatToStr(StrToFloat(text, classic), classic), text);
  }
}

} // namespace
