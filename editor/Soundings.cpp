#include "editor/Soundings.h"

#include <QFile>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>
#include <system_error>

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
      point = strPoint{v[0], v[1], v[2], 0, 0, 0};
      return true;
    }
  }
  return false;
}

void readSoundings(std::string_view bytes, SoundingList &points) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos)
      end = bytes.size();
    strPoint p;
    if (parseSoundingLine(bytes.substr(start, end - start), p))
      points.push_back(p);
    start = end + 1;
  }
}

void readXyzFile(const QString &fileName, SoundingList &points) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(
      std::fopen(QFile::encodeName(fileName).constData(), "rb"), &std::fclose);
  if (!file)
    return;
  // Chunks with the unfinished last line carried over: a big file is never held twice.
  std::string buffer;
  std::array<char, 1 << 20> chunk;
  for (;;) {
    const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (n == 0)
      break;
    buffer.append(chunk.data(), n);
    const std::size_t lastLf = buffer.rfind('\n');
    if (lastLf == std::string::npos)
      continue;
    readSoundings(std::string_view(buffer).substr(0, lastLf + 1), points);
    buffer.erase(0, lastLf + 1);
  }
  readSoundings(buffer, points);
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

bool writeSoundings(const QString &fileName, const SoundingList &points, bool geographic,
                    const std::function<void(std::size_t)> &progress) {
  std::unique_ptr<std::FILE, int (*)(std::FILE *)> file(
      std::fopen(QFile::encodeName(fileName).constData(), "wb"), &std::fclose);
  if (!file)
    return false;
  constexpr std::size_t progressSteps = 50;
  const std::size_t every = points.size() / progressSteps + 1;
  std::string out;
  out.reserve(1 << 20);
  bool ok = true;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!points[i].deleted)
      appendSoundingLine(out, points[i], geographic);
    if (out.size() >= (1u << 20) - 512) {
      ok = ok && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
      out.clear();
    }
    if (progress && i % every == 0)
      progress(i);
  }
  ok = ok && std::fwrite(out.data(), 1, out.size(), file.get()) == out.size();
  ok = std::fclose(file.release()) == 0 && ok;
  return ok;
}
