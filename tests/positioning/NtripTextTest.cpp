// The texts the NTRIP client sends: Base64 credentials, NMEA checksums and the GGA upload.
#include "platform/Time.h"
#include "positioning/TarvikNTRIPClient.h"

#include <gtest/gtest.h>

namespace {

TEST(NtripText, Base64EncodesWithStandardAlphabetAndPadding) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"user:pass", "dXNlcjpwYXNz"},
      {"user:", "dXNlcjo="},
      {"\xff\xfe", "//4="},
  };
  for (const auto &[text, expected] : cases)
    EXPECT_EQ(TTarvikNTRIPClient::Base64Encode(text), expected) << text;
}

TEST(NtripText, NmeaChecksumIsTwoUpperCaseHexDigits) {
  EXPECT_EQ(TTarvikNTRIPClient::NmeaChecksum(
                "GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"),
            "47");
  EXPECT_EQ(TTarvikNTRIPClient::NmeaChecksum("\x0a"), "0A");
  EXPECT_EQ(TTarvikNTRIPClient::NmeaChecksum(""), "00");
  EXPECT_EQ(TTarvikNTRIPClient::NmeaChecksum("\xfa"), "FA");
}

struct GgaCase {
  double latitude, longitude, height;
  platform::TDateTime utc;
  const char *expected;
};

class NtripGga : public ::testing::TestWithParam<GgaCase> {};

TEST_P(NtripGga, BuildsTheSentenceFromPositionAndUtcTime) {
  const GgaCase &c = GetParam();
  platform::ManualClock clock;
  clock.utcMSecs = platform::msecsFromDateTime(c.utc);
  clock.zoneOffsetMinutes = 180; // the sentence carries UTC whatever the local zone
  platform::ScopedClock scoped(clock);
  TTarvikNTRIPClient client(nullptr);
  client.SetPosition(c.latitude, c.longitude, c.height);
  EXPECT_EQ(client.BuildGGA(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, NtripGga,
    ::testing::Values(GgaCase{48.1173,
                              11.5166666667,
                              545.4,
                              {2024, 3, 5, 12, 35, 19, 0},
                              "$GPGGA,123519,4807.0380,N,01131.0000,E,1,10,1.0,545.4,M,0.0,M,,*7D"},
                      GgaCase{-33.5,
                              151.25,
                              -12.34,
                              {2024, 3, 5, 12, 35, 19, 999},
                              "$GPGGA,123519,3330.0000,S,15115.0000,E,1,10,1.0,-12.3,M,0.0,M,,*7D"},
                      GgaCase{0,
                              0,
                              0,
                              {2024, 1, 1, 0, 0, 0, 0},
                              "$GPGGA,000000,0000.0000,N,00000.0000,E,1,10,1.0,0.0,M,0.0,M,,*72"},
                      GgaCase{-0.5,
                              -0.25,
                              0.06,
                              {2023, 12, 31, 23, 59, 59, 0},
                              "$GPGGA,235959,0030.0000,S,00015.0000,W,1,10,1.0,0.1,M,0.0,M,,*7A"},
                      // Minutes that round up to 60 carry into the degrees.
                      GgaCase{41.999999999,
                              -8.9999999999,
                              10,
                              {2023, 12, 31, 23, 59, 59, 0},
                              "$GPGGA,235959,4200.0000,N,00900.0000,W,1,10,1.0,10.0,M,0.0,M,,*5F"}),
    [](const auto &info) { return "Case" + std::to_string(info.index); });

TEST(NtripText, ManualPositionIgnoresSetPosition) {
  TTarvikNTRIPClient client(nullptr);
  client.Latitude = 10.5;
  client.Longitude = 20.25;
  client.UseManualPosition = true;
  client.SetPosition(1, 2, 3);
  EXPECT_EQ(client.Latitude, 10.5);
  EXPECT_EQ(client.Longitude, 20.25);
  EXPECT_NE(client.BuildGGA().find(",1030.0000,N,02015.0000,E,"), std::string::npos);
}

} // namespace
