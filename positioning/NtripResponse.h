// Reads what an NTRIP caster answers to a request: the status header, whether it is a data
// stream, a source table or a rejection, and the source table up to its end. Pure, for fuzzing.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace positioning {

// A caster that never ends its header or its table must not make memory grow without bound.
constexpr std::size_t ntripHeaderLimit = 32 * 1024;
constexpr std::size_t ntripSourceTableLimit = 4 * 1024 * 1024;

class NtripResponseReader {
public:
  enum class Step {
    NeedMore,      // keep receiving
    Stream,        // a data stream was accepted; streamData() holds its first bytes
    TableComplete, // the source table has arrived; table() holds it
    Rejected,      // see rejection() and firstLine()
    Closed,        // the connection ended without a verdict worth reporting
  };
  // TableTooLarge: a source table beyond ntripSourceTableLimit, cut there.
  enum class Rejection { None, Unauthorized, NotFound, Forbidden, TableTooLarge, Unknown };

  // Feeds the next received bytes while the header or a source table is being read.
  Step feed(std::string_view chunk);
  // The connection ended (closed, failed or timed out) before feed() gave a verdict. A header
  // that arrived without its blank line is still judged, since casters close straight after a
  // rejection's status line.
  Step closed();

  // Still waiting for the end of the header (not yet judged).
  bool readingHeader() const { return phase_ == Phase::Header; }
  Rejection rejection() const { return rejection_; }
  // The response's first line (before its first CR LF), for the log of an unknown response.
  std::string firstLine() const;
  // After Step::Stream: the bytes of the last chunk that follow the header.
  std::string_view streamData() const;
  // After Step::TableComplete: everything after the header's blank line.
  const std::string &table() const { return table_; }

private:
  Step judgeHeader(std::size_t headerEnd, std::size_t dataStart);

  enum class Phase { Header, Table, Finished };
  Phase phase_ = Phase::Header;
  std::string header_;
  std::size_t dataStart_ = 0;
  std::string table_;
  Rejection rejection_ = Rejection::None;
};

// What a log line shows of a caster's answer: printable ASCII as it is, every other byte as
// \xHH, at most `limit` bytes of it, and the full length when it was cut.
std::string ntripLogExcerpt(std::string_view text, std::size_t limit = 80);

// The mount points of a source table: the second field of every "STR;" line that has one.
std::vector<std::string> ntripMountPoints(std::string_view table);

// How many milliseconds a receive may wait for the rest of an answer whose deadline is `left`
// away: rounded up, so that the wait never ends short of the deadline (it would read as the
// caster closing), and at most the receive time-out. 0 when the deadline has passed.
int ntripWaitBeforeDeadline(std::chrono::microseconds left, int timeoutMs);

} // namespace positioning
