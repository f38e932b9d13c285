// Number texts of the geodesy routines: a small scanner with the C runtime's field rules but
// locale-free number syntax, and the class library's general and fixed forms in classic settings.
#include "positioning/GeodesyText.h"

#include "platform/Convert.h"

#include <charconv>
#include <cmath>

namespace positioning {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

class NumberScanner {
public:
  explicit NumberScanner(const std::string &text)
      : pos_(text.data()), end_(text.data() + text.size()) {}

  bool skipWord(int width) {
    skipBlanks();
    const char *start = pos_;
    while (pos_ != end_ && !isBlank(*pos_) && pos_ - start < width)
      ++pos_;
    return pos_ != start;
  }

  // A number that is missing, malformed, out of range or not finite ends the scan: a NaN or an
  // infinity taken as a coordinate would only come back out as a NaN text.
  template <typename T> bool number(T &value) {
    skipBlanks();
    const char *start = pos_;
    if (start != end_ && *start == '+' && start + 1 != end_ && start[1] != '-' && start[1] != '+')
      ++start; // the C runtime allows a plus sign, from_chars does not
    T parsed{};
    const auto [ptr, ec] = std::from_chars(start, end_, parsed, std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(parsed))
      return false;
    pos_ = ptr;
    value = parsed;
    return true;
  }

private:
  void skipBlanks() {
    while (pos_ != end_ && isBlank(*pos_))
      ++pos_;
  }

  const char *pos_;
  const char *end_;
};

template <typename T> int scanNumbers(NumberScanner &scanner, T *values, int count) {
  int read = 0;
  while (read < count && scanner.number(values[read]))
    ++read;
  return read;
}

const platform::FormatSettings &classicSettings() {
  static const platform::FormatSettings settings = platform::FormatSettings::classic();
  return settings;
}

} // namespace

int scanGeodesyNumbers(const std::string &text, long double *values, int count, int skipWords,
                       int wordWidth) {
  NumberScanner scanner(text);
  for (int i = 0; i < skipWords; ++i)
    if (!scanner.skipWord(wordWidth))
      return 0;
  return scanNumbers(scanner, values, count);
}

int scanGeodesyNumbers(const std::string &text, double *values, int count) {
  NumberScanner scanner(text);
  return scanNumbers(scanner, values, count);
}

bool writableNumber(long double value) { return std::isfinite(static_cast<double>(value)); }

std::string geodesyGeneral(long double value) {
  return platform::FloatToStr(static_cast<double>(value), classicSettings());
}

std::string geodesyFixed(long double value, int decimals) {
  return platform::FloatToStrF(static_cast<double>(value), platform::ffFixed, 15, decimals,
                               classicSettings());
}

} // namespace positioning
