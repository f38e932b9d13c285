// How the client reads a caster's answer: header verdicts, where the data starts, source tables.
#include "positioning/NtripResponse.h"
#include "CaseNames.h"

#include <gtest/gtest.h>

namespace {

using positioning::NtripResponseReader;
using Step = NtripResponseReader::Step;
using Rejection = NtripResponseReader::Rejection;

// Feeds the text in pieces of `piece` bytes and returns the first verdict.
Step feedInPieces(NtripResponseReader &reader, const std::string &text, std::size_t piece) {
  for (std::size_t i = 0; i < text.size(); i += piece) {
    const Step step = reader.feed(std::string_view(text).substr(i, piece));
    if (step != Step::NeedMore)
      return step;
  }
  return Step::NeedMore;
}

struct VerdictCase {
  const char *name;
  std::string response;
  bool thenClosed; // the caster closes after the response
  Step step;
  Rejection rejection;
  std::string data;
};

class NtripVerdict : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(NtripVerdict, JudgesTheHeaderWhateverTheSplit) {
  const VerdictCase &c = GetParam();
  for (std::size_t piece : {std::size_t(1), std::size_t(3), std::size_t(4095)}) {
    NtripResponseReader reader;
    Step step = feedInPieces(reader, c.response, piece);
    if (step == Step::NeedMore && c.thenClosed)
      step = reader.closed();
    ASSERT_EQ(step, c.step) << c.name << " piece " << piece;
    EXPECT_EQ(reader.rejection(), c.rejection) << c.name;
    if (step == Step::Stream && piece == 4095) {
      EXPECT_EQ(std::string(reader.streamData()), c.data) << c.name;
    }
  }
}

const std::string rtcm("\xd3\x00\x13\x3e\xd0\x00\x03\r\n\r\n\x00\x01", 13);

INSTANTIATE_TEST_SUITE_P(
    Answers, NtripVerdict,
    ::testing::Values(
        VerdictCase{"icy with data", "ICY 200 OK\r\n" + rtcm, false, Step::Stream, Rejection::None,
                    rtcm},
        VerdictCase{"http 200", "HTTP/1.1 200 OK\r\nServer: x\r\n\r\n" + rtcm, false, Step::Stream,
                    Rejection::None, rtcm},
        VerdictCase{"icy alone", "ICY 200 OK\r\n", false, Step::Stream, Rejection::None, ""},
        VerdictCase{"401", "HTTP/1.0 401 Unauthorized\r\n\r\n", false, Step::Rejected,
                    Rejection::Unauthorized, ""},
        VerdictCase{"401 closed without blank line", "HTTP/1.0 401 Unauthorized\r\n", true,
                    Step::Rejected, Rejection::Unauthorized, ""},
        VerdictCase{"404", "HTTP/1.1 404 Not Found\r\n\r\n<html>401</html>", false, Step::Rejected,
                    Rejection::NotFound, ""},
        VerdictCase{"403", "HTTP/1.1 403 Forbidden\r\nA: b\r\n\r\n", false, Step::Rejected,
                    Rejection::Forbidden, ""},
        VerdictCase{"500", "HTTP/1.1 500 Internal Server Error\r\n\r\n", false, Step::Rejected,
                    Rejection::Unknown, ""},
        VerdictCase{"garbage closed", "\x01\x02zz", true, Step::Rejected, Rejection::Unknown, ""},
        VerdictCase{"accepted but closed early", "HTTP/1.1 200 OK\r\n", true, Step::Closed,
                    Rejection::None, ""},
        VerdictCase{"table cut short", "SOURCETABLE 200 OK\r\n\r\nSTR;A;\r\n", true, Step::Closed,
                    Rejection::None, ""}),
    [](const auto &info) { return testsupport::caseName(info.param.name); });

TEST(NtripResponse, NothingReceivedBeforeTheCloseIsAPlainClose) {
  NtripResponseReader reader;
  EXPECT_EQ(reader.closed(), Step::Closed);
}

TEST(NtripResponse, HeaderWithoutEndIsCappedAsUnknown) {
  NtripResponseReader reader;
  const std::string line = "HTTP/1.1 200 OK\r\n";
  Step step = reader.feed(line);
  std::size_t fed = line.size();
  while (step == Step::NeedMore && fed < 4 * positioning::ntripHeaderLimit) {
    step = reader.feed("X-Filler: aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\r\n");
    fed += 52;
  }
  EXPECT_EQ(step, Step::Rejected);
  EXPECT_EQ(reader.rejection(), Rejection::Unknown);
  EXPECT_LE(fed, positioning::ntripHeaderLimit + 4096);
  EXPECT_EQ(reader.firstLine(), "HTTP/1.1 200 OK");
}

TEST(NtripResponse, SourceTableEndsAtEndSourceTableEvenWhenTheMarkIsSplit) {
  const std::string table = "STR;MP1;Here;RTCM 3.2;;2;GPS;NET;DEU;0;0;0;0;none;B;N;0;\r\n"
                            "CAS;caster;2101;x;;0;DEU;0;0;\r\n"
                            "STR;MP2;There;RTCM 3.3;\r\n"
                            "ENDSOURCETABLE\r\n";
  const std::string answer = "SOURCETABLE 200 OK\r\nServer: x\r\nContent-Type: text/plain\r\n\r\n";
  for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(4095)}) {
    NtripResponseReader reader;
    EXPECT_EQ(feedInPieces(reader, answer + table, piece), Step::TableComplete) << piece;
    // The table ends as soon as its end mark is in.
    EXPECT_TRUE(std::string_view(table).starts_with(reader.table()));
    EXPECT_NE(reader.table().find("ENDSOURCETABLE"), std::string::npos);
    EXPECT_EQ(positioning::ntripMountPoints(reader.table()),
              (std::vector<std::string>{"MP1", "MP2"}));
  }
}

TEST(NtripResponse, SourceTableWithoutEndIsCapped) {
  NtripResponseReader reader;
  Step step = reader.feed("SOURCETABLE 200 OK\r\n\r\n");
  const std::string lines(4000, 'S');
  std::size_t fed = 0;
  while (step == Step::NeedMore && fed < 2 * positioning::ntripSourceTableLimit) {
    step = reader.feed(lines);
    fed += lines.size();
  }
  EXPECT_EQ(step, Step::Rejected);
  EXPECT_EQ(reader.rejection(), Rejection::TableTooLarge);
  EXPECT_LE(fed, positioning::ntripSourceTableLimit + lines.size());
}

TEST(NtripResponse, MountPointsComeFromStrLinesWithASecondSemicolon) {
  EXPECT_EQ(positioning::ntripMountPoints("STR;A;x\nSTR;B\r\nstr;C;\rSTR;;\rNET;D;\r\nSTR;E;"),
            (std::vector<std::string>{"A", "", "E"}));
  EXPECT_TRUE(positioning::ntripMountPoints("").empty());
}

} // namespace

TEST(NtripResponse, LogExcerptIsPrintableShortAndSaysWhatWasCut) {
  const std::pair<std::string, std::string> cases[] = {
      {"HTTP/1.1 500 Error", "HTTP/1.1 500 Error"},
      {std::string("\x16\x03\x01\x00ok\x7f\xff", 8), "\\x16\\x03\\x01\\x00ok\\x7F\\xFF"},
      {std::string(10, 'a'), "aaaaa... (10 bytes)"},
      {"", ""},
  };
  for (const auto &[text, excerpt] : cases)
    EXPECT_EQ(positioning::ntripLogExcerpt(text, text.size() == 10 ? 5 : 80), excerpt);
  EXPECT_EQ(positioning::ntripLogExcerpt(std::string(32 * 1024, '\n')).size(),
            80 * 4 + std::string("... (32768 bytes)").size());
}

// The wait for the rest of an answer ends at its deadline, never short of it (a wait cut to the
// millisecond below would end before the deadline and read as the caster closing), and never
// beyond the receive time-out.
TEST(NtripResponse, WaitBeforeADeadlineIsRoundedUp) {
  using std::chrono::microseconds;
  struct Case {
    long long leftUs;
    int timeoutMs;
    int wait;
  };
  for (const Case &c : {Case{699'600, 1500, 700}, Case{700'000, 1500, 700}, Case{1, 1500, 1},
                        Case{5'000'000, 1500, 1500}, Case{0, 1500, 0}, Case{-20'000, 1500, 0}})
    EXPECT_EQ(positioning::ntripWaitBeforeDeadline(microseconds(c.leftUs), c.timeoutMs), c.wait)
        << c.leftUs;
}
