// Reads an NTRIP caster's answer: header verdict and source table.
#include "positioning/NtripResponse.h"

#include <algorithm>

namespace positioning {

namespace {

constexpr std::string_view icyStatus = "ICY 200 OK\r\n";
constexpr std::string_view blankLine = "\r\n\r\n";
constexpr std::string_view tableEnd = "ENDSOURCETABLE";

bool contains(std::string_view text, std::string_view what) {
  return text.find(what) != std::string_view::npos;
}

} // namespace

NtripResponseReader::Step NtripResponseReader::feed(std::string_view chunk) {
  if (phase_ == Phase::Table) {
    // Look for the end only where it can newly appear, so a long table costs per chunk.
    const std::size_t from =
        table_.size() >= tableEnd.size() ? table_.size() - tableEnd.size() + 1 : 0;
    table_.append(chunk);
    if (table_.find(tableEnd, from) != std::string::npos) {
      phase_ = Phase::Finished;
      return Step::TableComplete;
    }
    if (table_.size() > ntripSourceTableLimit) {
      phase_ = Phase::Finished;
      table_.clear();
      rejection_ = Rejection::TableTooLarge;
      return Step::Rejected;
    }
    return Step::NeedMore;
  }
  if (phase_ != Phase::Header)
    return Step::Closed;

  const std::size_t searchFrom =
      header_.size() >= blankLine.size() ? header_.size() - blankLine.size() + 1 : 0;
  const std::size_t icyFrom =
      header_.size() >= icyStatus.size() ? header_.size() - icyStatus.size() + 1 : 0;
  header_.append(chunk);
  // The status line "ICY 200 OK" stands alone (NTRIP 1): the data follows its CR LF directly and
  // may itself hold a CR LF CR LF. Otherwise the header ends at the first blank line.
  const std::size_t icy = header_.find(icyStatus, std::min(searchFrom, icyFrom));
  const std::size_t blank = header_.find(blankLine, std::min(searchFrom, icyFrom));
  if (icy != std::string::npos && (blank == std::string::npos || icy < blank))
    return judgeHeader(icy + icyStatus.size(), icy + icyStatus.size());
  if (blank != std::string::npos)
    return judgeHeader(blank, blank + blankLine.size());
  if (header_.size() > ntripHeaderLimit) {
    phase_ = Phase::Finished;
    rejection_ = Rejection::Unknown;
    return Step::Rejected;
  }
  return Step::NeedMore;
}

NtripResponseReader::Step NtripResponseReader::judgeHeader(std::size_t headerEnd,
                                                           std::size_t dataStart) {
  const std::string_view head = std::string_view(header_).substr(0, headerEnd);
  // "ICY 200 OK" holds "200 OK", and "SOURCETABLE 200" counts as a source table anyway.
  const bool accepted = contains(head, "200 OK");
  const bool sourceTable = contains(head, "SOURCETABLE");
  if (!accepted && !sourceTable) {
    phase_ = Phase::Finished;
    if (contains(head, "401"))
      rejection_ = Rejection::Unauthorized;
    else if (contains(head, "404"))
      rejection_ = Rejection::NotFound;
    else if (contains(head, "403"))
      rejection_ = Rejection::Forbidden;
    else
      rejection_ = Rejection::Unknown;
    return Step::Rejected;
  }
  dataStart_ = dataStart;
  if (sourceTable) {
    phase_ = Phase::Table;
    std::string rest = header_.substr(dataStart);
    header_.resize(dataStart);
    return feed(rest);
  }
  phase_ = Phase::Finished;
  return Step::Stream;
}

NtripResponseReader::Step NtripResponseReader::closed() {
  if (phase_ != Phase::Header || header_.empty())
    return Step::Closed;
  // Judge the whole text as the header; a verdict of "accepted" means nothing arrived to use.
  const Step step = judgeHeader(header_.size(), header_.size());
  if (step == Step::Rejected)
    return step;
  phase_ = Phase::Finished;
  table_.clear();
  return Step::Closed;
}

std::string NtripResponseReader::firstLine() const {
  const std::size_t end = header_.find("\r\n");
  return end == std::string::npos ? header_ : header_.substr(0, end);
}

std::string_view NtripResponseReader::streamData() const {
  if (dataStart_ >= header_.size())
    return {};
  return std::string_view(header_).substr(dataStart_);
}

std::string ntripLogExcerpt(std::string_view text, std::size_t limit) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  const std::size_t shown = std::min(text.size(), limit);
  for (std::size_t i = 0; i < shown; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      out += static_cast<char>(byte);
    } else {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0x0F];
    }
  }
  if (shown < text.size())
    out += "... (" + std::to_string(text.size()) + " bytes)";
  return out;
}

std::vector<std::string> ntripMountPoints(std::string_view table) {
  std::vector<std::string> mounts;
  std::size_t pos = 0;
  while (pos < table.size()) {
    // Lines end at CR LF, LF or a lone CR.
    std::size_t end = table.find_first_of("\r\n", pos);
    if (end == std::string_view::npos)
      end = table.size();
    const std::string_view line = table.substr(pos, end - pos);
    if (line.starts_with("STR;")) {
      const std::size_t semicolon = line.find(';', 4);
      if (semicolon != std::string_view::npos)
        mounts.emplace_back(line.substr(4, semicolon - 4));
    }
    pos = end + (table.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return mounts;
}

} // namespace positioning

int positioning::ntripWaitBeforeDeadline(std::chrono::microseconds left, int timeoutMs) {
  if (left.count() <= 0)
    return 0;
  const long long ms = (left.count() + 999) / 1000;
  return static_cast<int>(std::min<long long>(ms, std::max(timeoutMs, 1)));
}
