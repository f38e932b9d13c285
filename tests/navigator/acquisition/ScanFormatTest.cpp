// The scan format check: which user formats may reach the C scanner.
#include "navigator/acquisition/ScanFormat.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

struct FormatCase {
  const char *pattern;
  int expected;
  bool ok;
};

TEST(ScanFormat, AcceptsOnlySuppressedConversionsAndTheRightNumberOfValues) {
  const FormatCase cases[] = {
      // The formats of the message types.
      {"%*8s,%lf,%lf", 2, true},
      {"%*6s,%lf", 1, true},
      {"%*6s,%*lf,%*1s,%lf", 1, true},
      {"%*8s,%lf", 1, true},
      {"%*8s,%*lf,%*8s,%lf", 1, true},
      {"%*8s,%lf,%*8s,%lf", 2, true},
      {"%*42s,%lf", 1, true},
      // Other harmless forms.
      {"$SDDPT,%lf", 1, true},
      {"%lf", 1, true},
      {"%12lf", 1, true},
      {"%*s %*d %lf", 1, true},
      {"%*[^,],%lf", 1, true},
      {"%*[]x],%lf", 1, true},
      {"%*[^]],%lf", 1, true},
      {"100%% %lf", 1, true},
      {"%*5d%lf", 1, true},
      // Wrong number of values.
      {"", 1, false},
      {"%*8s", 1, false},
      {"%lf,%lf", 1, false},
      {"%lf", 2, false},
      {"%*lf", 1, false},
      // Conversions that store something other than one double, or nothing known.
      {"%s,%lf", 1, false},
      {"%d,%lf", 1, false},
      {"%f", 1, false},
      {"%*f,%lf", 1, false},
      {"%n%lf", 1, false},
      {"%*n%lf", 1, false},
      {"%[^,],%lf", 1, false},
      {"%c%lf", 1, false},
      {"%*c%lf", 1, false},
      {"%Lf", 1, false},
      {"%llf", 1, false},
      {"%p%lf", 1, false},
      {"%1$lf", 1, false},
      {"%*ls%lf", 1, false},
      {"%lf%", 1, false},
      {"%lf %l", 1, false},
      {"%*[abc%lf", 1, false},
      {"%0lf", 1, false},
      {"%*0s%lf", 1, false},
      {"%9999999999lf", 1, false},
      {"%ms%lf", 1, false},
  };
  for (const auto &c : cases) {
    const auto result = navigator::checkScanFormat(c.pattern, c.expected);
    EXPECT_EQ(result.ok, c.ok) << '"' << c.pattern << "\" " << c.expected << ": " << result.error;
    EXPECT_EQ(result.error.empty(), c.ok) << c.pattern;
  }
}

TEST(ScanFormat, RefusesAnEmbeddedNul) {
  using namespace std::string_literals;
  EXPECT_FALSE(navigator::checkScanFormat("%lf\0%s"s, 1));
  EXPECT_FALSE(navigator::checkScanFormat("%*[a\0]%lf"s, 1));
}

TEST(ScanFormat, ErrorTextsNameTheFault) {
  EXPECT_EQ(navigator::checkScanFormat("%*8s,%s", 1).error,
            "The scan format's conversion \"%s\" at position 6 is not allowed. Only text, %*Ns, "
            "%*lf, %*d, %*[...] and %lf are allowed.");
  EXPECT_EQ(navigator::checkScanFormat("%lf,%lf", 1).error,
            "The scan format reads 2 values with %lf; 1 is needed.");
  EXPECT_EQ(navigator::checkScanFormat("x", 2).error,
            "The scan format reads 0 values with %lf; 2 are needed.");
  EXPECT_EQ(navigator::checkScanFormat("%*[ab", 0).error,
            "The scan format's set at position 1 has no closing \"]\".");
}

// An accepted format stores exactly the expected doubles, so the scanner never reaches past the
// arguments given.
TEST(ScanFormat, AcceptedFormatsScanIntoTheGivenValuesOnly) {
  const char *format = "%*8s,%lf,%lf";
  ASSERT_TRUE(navigator::checkScanFormat(format, 2));
  double values[3] = {0, 0, -1};
  EXPECT_EQ(std::sscanf("$SMTHFLF,12.5,13.1", format, &values[0], &values[1]), 2);
  EXPECT_DOUBLE_EQ(values[0], 12.5);
  EXPECT_DOUBLE_EQ(values[1], 13.1);
  EXPECT_DOUBLE_EQ(values[2], -1);
}

} // namespace
