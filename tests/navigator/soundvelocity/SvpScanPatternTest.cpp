// The formatted scan the profile's pattern runs through: what sscanf would assign.
#include "navigator/acquisition/FormattedScan.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

using formattedscan::scan;
using formattedscan::scanDoubles;

struct ScanCase {
  const char *input;
  const char *pattern;
  std::vector<double> expected;
};

// Every case also holds for the C library's sscanf where it reads numbers (no nan/inf/hex).
TEST(SvpScanPattern, AssignsLikeTheCScanner) {
  const ScanCase cases[] = {
      {"2023-05-01T10:15:30.123 1512.34,12.6", "%*23s %lf,%lf", {1512.34, 12.6}},
      // A 24-character stamp leaves one character for the first number.
      {"2023-05-01T10:15:30.1234 1512.34,12.6", "%*23s %lf,%lf", {4}},
      {"12.5;20.1;1498.7", "%lf;%*[^;];%lf", {12.5, 1498.7}},
      {"12.5\t20.1\t1498.7", "%lf\t%*[^\t]\t%lf", {12.5, 1498.7}},
      {"  -1.5e2 , +3.", "%lf ,%lf", {-150, 3}},
      {"1.5e", "%lf", {1.5}},
      {"1.5e+x", "%lf", {1.5}},
      {"abc", "%lf", {}},
      {"", "%lf", {}},
      {"7", "%lf,%lf", {7}},
      {"12345", "%3lf%lf", {123, 45}},
      {"ab 5", "%*c%*c%lf", {5}},
      {"x%5", "x%%%lf", {5}},
      {"$SDDPT,12.34,0.5", "%*6s,%lf", {12.34}},
      {"$SDDBT,40.5,f,12.34,M", "%*6s,%*lf,%*1s,%lf", {12.34}},
  };
  for (const auto &c : cases) {
    std::vector<double> got;
    for (const auto &v : scan(c.input, c.pattern))
      got.push_back(std::get<double>(v));
    EXPECT_EQ(got, c.expected) << c.input << " / " << c.pattern;
  }
}

TEST(SvpScanPattern, MatchesSscanfOnOrdinaryRows) {
  const std::pair<const char *, const char *> cases[] = {
      {"2023-05-01T10:15:30.123 1512.34,12.6", "%*23s %lf,%lf"},
      {"2023-05-01T10:15:30.1234 1512.34,12.6", "%*23s %lf,%lf"},
      {"0.98,15.2,1501.3", "%lf,%*[^,],%lf"},
      {"a,b,c", "%lf,%*[^,],%lf"},
      {"3.5 ; 1490", "%lf ;%lf"},
  };
  for (const auto &[input, pattern] : cases) {
    double a = 0, b = 0;
    const int n = std::sscanf(input, pattern, &a, &b);
    const auto got = scan(input, pattern);
    ASSERT_EQ(static_cast<int>(got.size()), std::max(n, 0)) << input;
    if (n >= 1) {
      EXPECT_DOUBLE_EQ(std::get<double>(got[0]), a);
    }
    if (n >= 2) {
      EXPECT_DOUBLE_EQ(std::get<double>(got[1]), b);
    }
  }
}

TEST(SvpScanPattern, NanInfinityHexAndOverflowAreNotNumbers) {
  for (const char *row : {"nan,5", "inf,5", "-inf,5", "NAN,5", "infinity,5", "1e999,5"})
    EXPECT_TRUE(scan(row, "%lf,%lf").empty()) << row;
  EXPECT_TRUE(scanDoubles("5,nan", "%lf,%lf", 2).empty());
  // "0x10" stops after its "0": the "x" does not match the ",".
  EXPECT_EQ(scan("0x10,5", "%lf,%lf").size(), 1u);
}

TEST(SvpScanPattern, IntegersFitThirtyTwoBits) {
  auto v = scan("12,1512.34,5", "%d,%lf,%d");
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(std::get<std::int32_t>(v[0]), 12);
  EXPECT_DOUBLE_EQ(std::get<double>(v[1]), 1512.34);
  EXPECT_EQ(std::get<std::int32_t>(v[2]), 5);
  EXPECT_EQ(std::get<std::int32_t>(scan("-2147483648", "%d")[0]), INT32_MIN);
  EXPECT_TRUE(scan("2147483648", "%d").empty());
  EXPECT_TRUE(scan("99999999999999999999999", "%d").empty());
  // "12.6" as %d gives 12 and leaves ".6" for the ",".
  EXPECT_EQ(scan("12.6,1500", "%d,%lf").size(), 1u);
}

} // namespace
