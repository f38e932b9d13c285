// Number conversions. Numbers go through std::to_chars/from_chars, which never look at the C
// locale. Rounding follows the class library: the value's exact binary value is first cut to 18
// significant digits, as its x87 code does, and that decimal is then rounded half away from zero.
// So 4.25 and 0.125, exact in binary, round up, while 1.005, stored as 1.00499999999999989...,
// rounds down to 1.00.
#include "platform/Convert.h"

#include "platform/AsciiCase.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string_view>
#include <vector>

namespace platform {
namespace {

// |value| = 0.d1d2d3... x 10^exponent; no digits means zero. Never trailing zeros.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

// Adds one unit in the last place of a digit string; a carry out of the first digit puts a new
// first digit before the zeros and raises the exponent.
void addOneUnit(std::string &digits, int &exponent) {
  int i = int(digits.size()) - 1;
  while (i >= 0 && digits[std::size_t(i)] == '9')
    digits[std::size_t(i--)] = '0';
  if (i >= 0) {
    ++digits[std::size_t(i)];
  } else {
    digits.insert(digits.begin(), '1');
    ++exponent;
  }
}

// Significant digits that hold the exact decimal expansion of any value of the type: 767 for a
// double, about 11500 for the x87's extended format (a subnormal's expansion is the longest).
template <class T> constexpr int exactDigits = sizeof(T) == sizeof(double) ? 767 : 11520;

// The first precision + 1 significant digits of `magnitude`, correctly rounded, and its decimal
// exponent (magnitude ~ 0.d1d2... x 10^exponent).
template <class T> std::string expansion(T magnitude, int precision, int &exponent) {
  std::string buf(std::size_t(precision) + 16, '\0');
  const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude,
                                 std::chars_format::scientific, precision);
  const std::string_view text(buf.data(), std::size_t(res.ptr - buf.data()));
  const std::size_t e = text.find('e');
  std::string digits;
  digits.reserve(std::size_t(precision) + 1);
  for (std::size_t i = 0; i < e; ++i)
    if (text[i] != '.')
      digits += text[i];
  exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
  return digits;
}

// Rounds a digit string half to even to its first `count` digits.
void roundHalfEven(std::string &digits, std::size_t count, int &exponent) {
  const char next = digits[count];
  const bool rest = digits.find_first_not_of('0', count + 1) != std::string::npos;
  digits.resize(count);
  if (next > '5' || (next == '5' && (rest || (digits.back() - '0') % 2 == 1)))
    addOneUnit(digits, exponent);
}

// The class library's decimal form of a number: the x87 scales the value by a power of ten to an
// integer of 18 digits (rounding half to even), estimating the power from the binary exponent.
// When the estimate falls one short the integer has 19 digits and is divided by ten and rounded
// again; one too many (possible only near the ends of the range) leaves 17 digits.
template <class T> Decimal decompose(T value) {
  Decimal d;
  if (value == 0)
    return d; // a negative zero is written as zero, like a value that rounds to zero
  d.negative = std::signbit(value);
  const T magnitude = std::fabs(value);
  const int estimate = int(std::floor(std::ilogb(magnitude) * 19728 / 65536.0)) + 1;
  // 41 digits give the true exponent (no value lies so close below a power of ten that they
  // round up to it), and they decide the rounding unless what follows the kept digits reads
  // "5000...": a tie, or a value just below one, which only the exact expansion tells apart.
  int exponent = 0;
  std::string digits = expansion(magnitude, 40, exponent);
  const std::size_t count = std::size_t(std::clamp(18 + exponent - estimate, 17, 19));
  if (digits[count] == '5' && digits.find_first_not_of('0', count + 1) == std::string::npos)
    digits = expansion(magnitude, exactDigits<T> - 1, exponent);
  roundHalfEven(digits, count, exponent);
  if (count == 19) // divided by ten in the FPU and stored as 18 BCD digits
    roundHalfEven(digits, 18, exponent);
  while (!digits.empty() && digits.back() == '0')
    digits.pop_back();
  d.digits = std::move(digits);
  d.exponent = exponent;
  return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the dropped ones.
void roundAt(Decimal &d, int keep) {
  if (keep >= int(d.digits.size()))
    return;
  if (keep < 0) {
    d.digits.clear();
  } else {
    const bool up = d.digits[std::size_t(keep)] >= '5';
    d.digits.resize(std::size_t(keep));
    if (up)
      addOneUnit(d.digits, d.exponent);
  }
  while (!d.digits.empty() && d.digits.back() == '0')
    d.digits.pop_back();
  if (d.digits.empty()) {
    d.negative = false;
    d.exponent = 0;
  }
}

char digitAt(const Decimal &d, int i) {
  return i >= 0 && i < int(d.digits.size()) ? d.digits[std::size_t(i)] : '0';
}

std::string groupThousands(const std::string &integer, char separator) {
  std::string out;
  const int n = int(integer.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0)
      out += separator;
    out += integer[std::size_t(i)];
  }
  return out;
}

// Integer digits of an already rounded decimal, "0" when below one unless `minDigits` is 0.
std::string integerDigits(const Decimal &d, int minDigits) {
  std::string s;
  for (int i = 0; i < d.exponent; ++i)
    s += digitAt(d, i);
  while (int(s.size()) < minDigits)
    s.insert(s.begin(), '0');
  return s;
}

std::string fractionDigits(const Decimal &d, int count) {
  std::string s;
  for (int i = 0; i < count; ++i)
    s += digitAt(d, d.exponent + i);
  return s;
}

std::string exponentText(int exponent, int minDigits, bool alwaysSign) {
  std::string digits = std::to_string(std::abs(exponent));
  while (int(digits.size()) < minDigits)
    digits.insert(digits.begin(), '0');
  if (exponent < 0)
    return "E-" + digits;
  return (alwaysSign ? "E+" : "E") + digits;
}

std::string specialValue(double value) {
  if (std::isnan(value))
    return "NAN";
  return value < 0 ? "-INF" : "INF";
}

std::string formatExponent(Decimal d, int precision, int expDigits, const FormatSettings &fs) {
  precision = std::clamp(precision, 1, 18);
  roundAt(d, precision);
  std::string out = d.negative ? "-" : "";
  out += digitAt(d, 0);
  if (precision > 1) {
    out += fs.DecimalSeparator;
    for (int i = 1; i < precision; ++i)
      out += digitAt(d, i);
  }
  return out + exponentText(d.digits.empty() ? 0 : d.exponent - 1, expDigits, true);
}

std::string formatGeneral(Decimal d, int precision, int expDigits, const FormatSettings &fs) {
  precision = std::clamp(precision, 1, 18);
  roundAt(d, precision);
  if (d.digits.empty())
    return "0";
  std::string out = d.negative ? "-" : "";
  if (d.exponent > precision || d.exponent < -4) {
    out += d.digits[0];
    if (d.digits.size() > 1)
      out += fs.DecimalSeparator + d.digits.substr(1);
    return out + exponentText(d.exponent - 1, std::clamp(expDigits, 0, 4), false);
  }
  out += integerDigits(d, 1);
  const int decimals = int(d.digits.size()) - d.exponent;
  if (decimals > 0)
    out += fs.DecimalSeparator + fractionDigits(d, decimals);
  return out;
}

std::string formatFixed(const Decimal &value, int precision, int digits, bool grouped,
                        const FormatSettings &fs) {
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);
  Decimal d = value;
  roundAt(d, std::min(precision, d.exponent + digits));
  if (d.exponent > precision)
    return formatGeneral(value, precision, 0, fs);
  std::string integer = integerDigits(d, 1);
  if (grouped)
    integer = groupThousands(integer, fs.ThousandSeparator);
  std::string out = (d.negative ? "-" : "") + integer;
  if (digits > 0)
    out += fs.DecimalSeparator + fractionDigits(d, digits);
  return out;
}

bool isBlank(char c) { return c == ' '; }

// Parses the class library's float text; false when it is none.
bool parseFloat(const std::string &text, double &value, char decimalSeparator) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && isBlank(text[i]))
    ++i;
  std::string normal;
  if (i < n && (text[i] == '+' || text[i] == '-'))
    normal += text[i++];
  bool anyDigit = false;
  std::int64_t leadingExponent = 0; // decimal magnitude of the mantissa, for underflow
  bool seenNonZero = false;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    anyDigit = true;
    if (text[i] != '0')
      seenNonZero = true;
    if (seenNonZero)
      ++leadingExponent;
    normal += text[i++];
  }
  if (i < n && text[i] == decimalSeparator) {
    normal += '.';
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      anyDigit = true;
      if (!seenNonZero && text[i] == '0')
        --leadingExponent;
      seenNonZero = seenNonZero || text[i] != '0';
      normal += text[i++];
    }
  }
  if (!anyDigit)
    return false;
  // Every digit of the exponent counts, leading zeros too ("1e0000000001" is 10). Its value
  // saturates far beyond any double's range, where the range check below decides alone.
  constexpr std::int64_t exponentCap = std::int64_t{1} << 40;
  std::int64_t exponent = 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
      expNegative = text[i++] == '-';
    bool expDigit = false;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      expDigit = true;
      exponent = std::min(exponent * 10 + (text[i] - '0'), exponentCap);
      ++i;
    }
    if (!expDigit)
      return false;
    if (expNegative)
      exponent = -exponent;
    normal += 'e' + std::to_string(exponent);
  }
  while (i < n && isBlank(text[i]))
    ++i;
  if (i != n)
    return false;
  const char *begin = normal.c_str();
  const char *end = begin + normal.size();
  const bool negative = *begin == '-';
  if (*begin == '+' || *begin == '-')
    ++begin;
  double result = 0;
  const auto res = std::from_chars(begin, end, result, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    if (!seenNonZero || leadingExponent + exponent < 0)
      result = 0; // too small to hold: it is zero
    else
      return false;
  } else if (res.ec != std::errc() || res.ptr != end) {
    return false;
  }
  value = negative ? -result : result;
  return true;
}

bool parseInt64(const std::string &text, std::int64_t &value, std::int64_t min, std::int64_t max,
                std::uint64_t hexMax) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') // blanks only, as the class library skips
    ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-'))
    negative = text[i++] == '-';
  int base = 10;
  if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  } else if (i < n && (text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  }
  if (i >= n)
    return false;
  std::uint64_t magnitude = 0;
  const auto res = std::from_chars(text.data() + i, text.data() + n, magnitude, base);
  if (res.ec != std::errc() || res.ptr != text.data() + n)
    return false;
  if (base == 16) {
    if (magnitude > hexMax)
      return false;
    // Hexadecimal text gives the bit pattern: $FFFFFFFF is -1 as a 32-bit integer.
    std::int64_t v = hexMax == 0xFFFFFFFFu ? std::int64_t(std::int32_t(std::uint32_t(magnitude)))
                                           : std::int64_t(magnitude);
    value = negative ? -v : v;
    return value >= min && value <= max;
  }
  if (negative) {
    if (magnitude > std::uint64_t(-(min + 1)) + 1)
      return false;
    value = magnitude == std::uint64_t(-(min + 1)) + 1 ? min : -std::int64_t(magnitude);
  } else {
    if (magnitude > std::uint64_t(max))
      return false;
    value = std::int64_t(magnitude);
  }
  return true;
}

[[noreturn]] void throwFloat(const std::string &text) {
  throw EConvertError("'" + text + "' is not a valid floating point value");
}

[[noreturn]] void throwInt(const std::string &text) {
  throw EConvertError("'" + text + "' is not a valid integer value");
}

} // namespace

bool TryStrToFloat(const std::string &text, double &value, const FormatSettings &fs) {
  return parseFloat(text, value, fs.DecimalSeparator);
}

double StrToFloat(const std::string &text, const FormatSettings &fs) {
  double value = 0;
  if (!parseFloat(text, value, fs.DecimalSeparator))
    throwFloat(text);
  return value;
}

double StrToFloat(const QString &text, const FormatSettings &fs) {
  return StrToFloat(text.toStdString(), fs);
}

double StrToFloatDef(const std::string &text, double def, const FormatSettings &fs) {
  double value = 0;
  return parseFloat(text, value, fs.DecimalSeparator) ? value : def;
}

double StrToFloatDef(const QString &text, double def, const FormatSettings &fs) {
  return StrToFloatDef(text.toStdString(), def, fs);
}

bool TryStrToInt(const std::string &text, std::int32_t &value) {
  std::int64_t v = 0;
  if (!parseInt64(text, v, std::numeric_limits<std::int32_t>::min(),
                  std::numeric_limits<std::int32_t>::max(), 0xFFFFFFFFu))
    return false;
  value = std::int32_t(v);
  return true;
}

std::int32_t StrToInt(const std::string &text) {
  std::int32_t value = 0;
  if (!TryStrToInt(text, value))
    throwInt(text);
  return value;
}

std::int32_t StrToInt(const QString &text) { return StrToInt(text.toStdString()); }

std::int32_t StrToIntDef(const std::string &text, std::int32_t def) {
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : def;
}

std::int32_t StrToIntDef(const QString &text, std::int32_t def) {
  return StrToIntDef(text.toStdString(), def);
}

std::int64_t StrToInt64(const std::string &text) {
  std::int64_t value = 0;
  if (!parseInt64(text, value, std::numeric_limits<std::int64_t>::min(),
                  std::numeric_limits<std::int64_t>::max(),
                  std::uint64_t(std::numeric_limits<std::int64_t>::max())))
    throwInt(text);
  return value;
}

bool StrToBool(const std::string &text, const FormatSettings &fs) {
  if (equalsAsciiNoCase(text, "true"))
    return true;
  if (equalsAsciiNoCase(text, "false"))
    return false;
  double value = 0;
  if (parseFloat(text, value, fs.DecimalSeparator))
    return value != 0;
  throw EConvertError("'" + text + "' is not a valid boolean value");
}

bool StrToBool(const QString &text, const FormatSettings &fs) {
  return StrToBool(text.toStdString(), fs);
}

std::string BoolToStr(bool value, bool useBoolStrs) {
  if (useBoolStrs)
    return value ? "True" : "False";
  return value ? "-1" : "0";
}

std::string FloatToStr(double value, const FormatSettings &fs) {
  return FloatToStrF(value, ffGeneral, 15, 0, fs);
}

namespace {

// FloatToStrF of a double or an extended value, from its own decimal form.
template <class T>
std::string floatToStrF(T value, TFloatFormat format, int precision, int digits,
                        const FormatSettings &fs) {
  if (!std::isfinite(value))
    return specialValue(double(value));
  const Decimal d = decompose(value);
  switch (format) {
  case ffGeneral:
    return formatGeneral(d, precision, digits, fs);
  case ffExponent:
    return formatExponent(d, precision, std::clamp(digits, 0, 4), fs);
  case ffFixed:
    return formatFixed(d, precision, digits, false, fs);
  case ffNumber:
    return formatFixed(d, precision, digits, true, fs);
  }
  return formatGeneral(d, precision, digits, fs);
}

} // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const FormatSettings &fs) {
  return floatToStrF(value, format, precision, digits, fs);
}

std::string extendedToStr(long double value, const FormatSettings &fs) {
  return extendedToStrF(value, ffGeneral, 15, 0, fs);
}

std::string extendedToStrF(long double value, TFloatFormat format, int precision, int digits,
                           const FormatSettings &fs) {
  return floatToStrF(value, format, precision, digits, fs);
}

namespace {

// One section of a picture format, read once.
struct Picture {
  std::string prefix, suffix; // literal text before the first and after the last placeholder
  int integerPlaces = 0;      // '0' and '#' before the point
  int integerZeros = 0;       // places from the first '0' before the point
  int decimalPlaces = 0;      // '0' and '#' after the point
  int decimalZeros = 0;       // places up to the last '0' after the point
  bool hasPoint = false;
  bool thousands = false;
  bool scientific = false;
  bool exponentSign = false; // "E+" rather than "E-"
  int exponentDigits = 0;
};

std::vector<std::string> splitSections(const std::string &format) {
  std::vector<std::string> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote)
        quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

Picture readPicture(const std::string &format) {
  Picture p;
  bool seenPlaceholder = false;
  bool firstZero = false;
  std::string pending; // literal text since the last placeholder
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c == '\'' || c == '"') {
      const std::size_t close = format.find(c, i + 1);
      const std::size_t end = close == std::string::npos ? format.size() : close;
      pending += format.substr(i + 1, end - i - 1);
      i = end;
      continue;
    }
    if (!p.scientific && (c == 'E' || c == 'e') && i + 1 < format.size() &&
        (format[i + 1] == '+' || format[i + 1] == '-') && seenPlaceholder) {
      p.scientific = true;
      p.exponentSign = format[i + 1] == '+';
      i += 2;
      while (i < format.size() && format[i] == '0') {
        ++p.exponentDigits;
        ++i;
      }
      --i;
      continue;
    }
    if (c == '0' || c == '#') {
      if (!seenPlaceholder)
        p.prefix = pending;
      pending.clear();
      seenPlaceholder = true;
      if (p.hasPoint) {
        ++p.decimalPlaces;
        if (c == '0')
          p.decimalZeros = p.decimalPlaces;
      } else {
        ++p.integerPlaces;
        if (c == '0')
          firstZero = true;
        if (firstZero)
          ++p.integerZeros;
      }
    } else if (c == '.' && !p.hasPoint) {
      if (!seenPlaceholder)
        p.prefix = pending, pending.clear();
      seenPlaceholder = true;
      p.hasPoint = true;
    } else if (c == ',') {
      p.thousands = true;
    } else {
      pending += c;
    }
  }
  if (seenPlaceholder)
    p.suffix = pending;
  else
    p.prefix = pending;
  return p;
}

std::string applyPicture(const Picture &p, Decimal d, const FormatSettings &fs) {
  std::string body, exponent; // body: the digits before the exponent
  if (p.scientific) {
    const int integerPlaces = std::max(p.integerPlaces, 1);
    roundAt(d, integerPlaces + p.decimalPlaces);
    exponent = exponentText(d.digits.empty() ? 0 : d.exponent - integerPlaces, p.exponentDigits,
                            p.exponentSign);
    d.exponent = d.digits.empty() ? 0 : integerPlaces;
    body = integerDigits(d, 1);
  } else {
    roundAt(d, d.exponent + p.decimalPlaces);
    body = integerDigits(d, p.integerZeros);
    if (p.thousands)
      body = groupThousands(body, fs.ThousandSeparator);
  }
  std::string fraction = fractionDigits(d, p.decimalPlaces);
  while (int(fraction.size()) > p.decimalZeros && fraction.back() == '0')
    fraction.pop_back();
  if (!fraction.empty())
    body += fs.DecimalSeparator + fraction;
  return p.prefix + body + exponent + p.suffix;
}

bool roundsToZero(const Picture &p, Decimal d) {
  if (!p.scientific)
    roundAt(d, d.exponent + p.decimalPlaces);
  return d.digits.empty();
}

} // namespace

std::string FormatFloat(const std::string &format, double value, const FormatSettings &fs) {
  if (!std::isfinite(value))
    return specialValue(value);
  if (format.empty())
    return FloatToStr(value, fs);
  const std::vector<std::string> sections = splitSections(format);
  Decimal d = decompose(value);
  const bool negative = d.negative && !d.digits.empty();
  d.negative = false;
  const Picture p = readPicture(sections[0]);
  if (roundsToZero(p, d)) {
    if (sections.size() >= 3 && !sections[2].empty())
      return applyPicture(readPicture(sections[2]), d, fs);
    return applyPicture(p, d, fs);
  }
  if (negative) {
    if (sections.size() >= 2 && !sections[1].empty())
      return applyPicture(readPicture(sections[1]), d, fs);
    return "-" + applyPicture(p, d, fs);
  }
  return applyPicture(p, d, fs);
}

} // namespace platform
