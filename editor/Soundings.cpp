#include "editor/Soundings.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>
#include <unistd.h>

namespace {

// The C library's white space in the classic locale, as scanning skips it.
bool isScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// One "%lf" at `pos`: leading white space, then a decimal number as the C library scans it (an
// exponent letter with no digits after it is taken and means nothing, as glibc's scanning
// does). Rejects infinities, NaNs, hexadecimal and out-of-range values.
bool scanNumber(std::string_view s, std::size_t &pos, double &value) {
  std::size_t p = pos;
  while (p < s.size() && isScanSpace(s[p]))
    ++p;
  bool negative = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
    negative = s[p] == '-';
    ++p;
  }
  const std::size_t mantissa = p;
  std::size_t digits = 0;
  while (p < s.size() && isDigit(s[p])) {
    ++p;
    ++digits;
  }
  if (p < s.size() && s[p] == '.') {
    ++p;
    while (p < s.size() && isDigit(s[p])) {
      ++p;
      ++digits;
    }
  }
  if (digits == 0)
    return false; // also "inf", "nan" and a lone sign or point
  // "0x1p3": the C library would read a hexadecimal float; this reader does not.
  if (p < s.size() && (s[p] == 'x' || s[p] == 'X') && p - mantissa == 1 && s[mantissa] == '0')
    return false;
  std::size_t end = p;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    std::size_t q = p + 1;
    if (q < s.size() && (s[q] == '+' || s[q] == '-'))
      ++q;
    std::size_t expDigits = 0;
    while (q < s.size() && isDigit(s[q])) {
      ++q;
      ++expDigits;
    }
    if (expDigits > 0)
      end = q;
    p = q; // the letter (and sign) are consumed even without digits
  }
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(s.data() + mantissa, s.data() + end, v);
  if (ec != std::errc() || ptr != s.data() + end || !std::isfinite(v))
    return false;
  value = negative ? -v : v;
  pos = p;
  return true;
}

// One pattern "%lf<sep>%lf<sep>%lf": a blank or tab separator matches any run of white space
// (none too), another separator itself only.
bool scanPattern(std::string_view line, char separator, double (&v)[3]) {
  std::size_t pos = 0;
  const bool spaceSeparator = separator == ' ' || separator == '\t';
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      if (spaceSeparator) {
        while (pos < line.size() && isScanSpace(line[pos]))
          ++pos;
      } else {
        if (pos >= line.size() || line[pos] != separator)
          return false;
        ++pos;
      }
    }
    if (!scanNumber(line, pos, v[k]))
      return false;
  }
  return true;
}

} // namespace

bool parseSoundingLine(std::string_view line, strPoint &point) {
  double v[3];
  // The tab pattern reads exactly what the blank pattern reads (both match any white space), so
  // the last two collapse into one attempt.
  for (char separator : {',', ';', ' '}) {
    if (scanPattern(line, separator, v)) {
      // The first pattern that converts decides: numbers past the limit make no sounding.
      for (double x : v)
        if (!(std::fabs(x) <= maxSoundingMagnitude))
          return false;
      point = strPoint{v[0], v[1], v[2], 0, 0, 0};
      return true;
    }
  }
  return false;
}

namespace {

bool isBlank(std::string_view line) {
  for (char c : line)
    if (!isScanSpace(c))
      return false;
  return true;
}

bool hasDigit(std::string_view line) {
  for (char c : line)
    if (isDigit(c))
      return true;
  return false;
}

} // namespace

SoundingReader::SoundingReader(SoundingList &points) : points_(points), firstNew_(points.size()) {}

void SoundingReader::dropAppended() {
  // A file that is not read to its end gives no soundings at all, not the few before the fault.
  summary_.refused = true;
  points_.resize(firstNew_);
  summary_.accepted = 0;
  partial_.clear();
  partial_.shrink_to_fit();
}

void SoundingReader::abandon(std::string error) {
  dropAppended();
  summary_.error = std::move(error);
}

void SoundingReader::takeLine(std::string_view line) {
  ++summary_.lines;
  strPoint p;
  if (parseSoundingLine(line, p)) {
    points_.push_back(p);
    ++summary_.accepted;
    return;
  }
  if (isBlank(line) || (summary_.accepted == 0 && !hasDigit(line)))
    return;
  if (summary_.skippedLines++ == 0)
    summary_.firstSkippedLine = summary_.lines;
}

bool SoundingReader::feed(std::string_view bytes) {
  if (summary_.refused)
    return false;
  // Each byte is looked at once for the line end: the unfinished line is carried, never
  // searched again.
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    const std::string_view piece =
        bytes.substr(0, lf == std::string_view::npos ? bytes.size() : lf);
    if (partial_.size() + piece.size() > maxSoundingLineLength) {
      summary_.refusedLine = summary_.lines + 1;
      dropAppended();
      return false;
    }
    if (lf == std::string_view::npos) {
      partial_.append(piece);
      return true;
    }
    if (partial_.empty()) {
      takeLine(piece);
    } else {
      partial_.append(piece);
      takeLine(partial_);
      partial_.clear();
    }
    bytes.remove_prefix(lf + 1);
  }
  return true;
}

void SoundingReader::finish() {
  if (summary_.refused || partial_.empty())
    return;
  takeLine(partial_);
  partial_.clear();
}

SoundingReadSummary readSoundings(std::string_view bytes, SoundingList &points) {
  SoundingReader reader(points);
  reader.feed(bytes);
  reader.finish();
  return reader.summary();
}

SoundingReadSummary readXyzFile(const QString &fileName, SoundingList &points) {
  const std::string path = platform::localPath(fileName);
  // A name from a dialog may still be a pipe or a device, which would hold the program.
  bool notRegular = false;
  const int fd = platform::openRegularFileForReading(path, &notRegular);
  if (fd < 0) {
    SoundingReadSummary summary;
    summary.opened = false;
    summary.error = notRegular ? platform::notRegularFileReason : std::strerror(errno);
    return summary;
  }
  SoundingReader reader(points);
  std::vector<char> chunk(std::size_t(1) << 20);
  for (;;) {
    const ssize_t n = ::read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      reader.abandon(std::strerror(errno));
      break;
    }
    if (n == 0) {
      reader.finish();
      break;
    }
    if (!reader.feed(std::string_view(chunk.data(), static_cast<std::size_t>(n))))
      break;
  }
  ::close(fd);
  return reader.summary();
}

QString refusalMessage(const QString &fileName, const SoundingReadSummary &read) {
  if (!read.opened)
    return QStringLiteral("The file \"%1\" could not be opened: %2")
        .arg(fileName, QString::fromLocal8Bit(read.error.c_str()));
  if (!read.refused)
    return {};
  if (read.refusedLine > 0)
    return QStringLiteral("The file \"%1\" is not a sounding file: its line %2 is longer than %3 "
                          "characters.")
        .arg(fileName)
        .arg(read.refusedLine)
        .arg(maxSoundingLineLength);
  return QStringLiteral("The file \"%1\" could not be read to its end: %2")
      .arg(fileName, QString::fromLocal8Bit(read.error.c_str()));
}

QString skippedLinesMessage(const SoundingReadSummary &read) {
  if (read.refused || read.skippedLines == 0)
    return {};
  if (read.skippedLines == 1)
    return QStringLiteral("1 line could not be read as a sounding and was skipped: line %1.")
        .arg(read.firstSkippedLine);
  return QStringLiteral("%1 lines could not be read as soundings and were skipped; the first is "
                        "line %2.")
      .arg(read.skippedLines)
      .arg(read.firstSkippedLine);
}

QString tooFewSoundingsMessage(const SoundingReadSummary &read, std::size_t soundings) {
  QString message = QStringLiteral("Unable to open file. Possible reasons: \n-Wrong data format\n-"
                                   "File too small or data is corrupted");
  const QString skipped = skippedLinesMessage(read);
  if (!skipped.isEmpty())
    message += QStringLiteral("\n\n") + skipped +
               (soundings == 1 ? QStringLiteral(" Only 1 sounding remains")
                               : QStringLiteral(" Only %1 soundings remain").arg(soundings)) +
               QStringLiteral("; at least 3 are needed.");
  return message;
}

QString editedFileName(const QString &fileName) { return fileName + QStringLiteral("_edited.txt"); }

namespace {

void appendFixed(std::string &out, double value, int decimals) {
  char buf[400]; // the largest double in fixed notation has 309 digits before the point
  const auto [ptr, ec] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (ec == std::errc())
    out.append(buf, ptr);
}

} // namespace

void appendSoundingLine(std::string &out, const strPoint &point, bool geographic) {
  const int xyDecimals = geographic ? 8 : 2;
  appendFixed(out, point.X, xyDecimals);
  out += '\t';
  appendFixed(out, point.Y, xyDecimals);
  out += '\t';
  appendFixed(out, point.Z, 2);
  out += "\r\n";
}

SoundingWriteResult writeSoundings(const QString &fileName, const SoundingList &points,
                                   bool geographic,
                                   const std::function<void(std::size_t)> &progress) {
  try {
    platform::AtomicFile file(platform::localPath(fileName));
    constexpr std::size_t progressSteps = 50;
    const std::size_t every = points.size() / progressSteps + 1;
    std::string out;
    out.reserve(1 << 20);
    for (std::size_t i = 0; i < points.size(); ++i) {
      if (!points[i].deleted)
        appendSoundingLine(out, points[i], geographic);
      if (out.size() >= (1u << 20) - 512) {
        file.write(out);
        out.clear();
      }
      if (progress && i % every == 0)
        progress(i);
    }
    file.write(out);
    file.commit();
    return {true, {}};
  } catch (const platform::EFileError &e) {
    return {false, e.what()};
  }
}
