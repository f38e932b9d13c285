// The echo-sounder message types: format, values, markers and the realtime window's height.
#include "navigator/acquisition/SbesMessageTypes.h"
#include "navigator/acquisition/ScanFormat.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

using navigator::LowFreqFrame;

struct TypeCase {
  const char *name;
  const char *format;
  int values;
  std::optional<int> height;
};

TEST(SbesMessageTypes, EachTypeSetsItsFormatAndTheRealtimeWindowHeight) {
  const TypeCase cases[] = {
      {"Tarvik SMT", "%*8s,%lf,%lf", 2, 289},
      {"NMEA DPT", "%*6s,%lf", 1, 289},
      {"NMEA DBT", "%*6s,%*lf,%*1s,%lf", 1, 289},
      {"Tarvik XDR HI", "%*8s,%lf", 1, 289},
      {"Tarvik XDR LO", "%*8s,%*lf,%*8s,%lf", 1, 387},
      {"Tarvik XDR H/L", "%*8s,%lf,%*8s,%lf", 2, 387},
      {"ODC HI", "%*42s,%lf", 1, 289},
      {"OTHER", "", 1, std::nullopt},
  };
  const auto &types = navigator::sbesMessageTypes();
  ASSERT_EQ(std::size(cases), types.size());
  for (std::size_t i = 0; i < types.size(); ++i) {
    const auto &c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(types[i].Name, c.name); // list order
    const auto *type = navigator::findSbesMessageType(c.name);
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->Format, c.format);
    EXPECT_EQ(type->Values, c.values);
    EXPECT_EQ(navigator::realtimeClientHeight(type->Frame), c.height);
    // Every built-in format passes the check its user-typed replacements must pass.
    if (!type->Format.empty()) {
      EXPECT_TRUE(navigator::checkScanFormat(type->Format, type->Values));
    }
  }
}

TEST(SbesMessageTypes, OnlyExactNamesAreTypes) {
  for (const char *name : {"", "tarvik smt", "Tarvik SMT ", "OTHERS", "NMEA"})
    EXPECT_EQ(navigator::findSbesMessageType(name), nullptr) << name;
}

TEST(SbesMessageTypes, ASentenceNeedsEveryMarker) {
  const auto *lo = navigator::findSbesMessageType("Tarvik XDR LO");
  EXPECT_TRUE(navigator::sbesSentenceMatches(*lo, "$XDHI123,1.0,$XDLO123,2.0"));
  EXPECT_FALSE(navigator::sbesSentenceMatches(*lo, "$XDHI123,1.0"));
  EXPECT_FALSE(
      navigator::sbesSentenceMatches(*navigator::findSbesMessageType("NMEA DPT"), "$SDdpt,1.0"));
  EXPECT_TRUE(navigator::sbesSentenceMatches(*navigator::findSbesMessageType("OTHER"), "anything"));
}

} // namespace
