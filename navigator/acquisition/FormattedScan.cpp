#include "navigator/acquisition/FormattedScan.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <system_error>

namespace formattedscan {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c) {
  if (isDigit(c))
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return 99;
}

// One conversion directive of a pattern, from its "%" to its conversion letter.
struct Conversion {
  bool suppress = false;
  std::size_t width = 0; // 0: no width given
  std::string length;    // "", "h", "hh", "l", "ll", "L", ...
  char letter = 0;
  std::array<bool, 256> set{}; // %[...]: the bytes it takes
  std::string error;           // why the directive cannot be read
};

// Reads the directive starting at pattern[pos] == '%'; pos ends after it.
Conversion parseConversion(std::string_view pattern, std::size_t &pos) {
  Conversion c;
  ++pos;
  if (pos < pattern.size() && pattern[pos] == '*') {
    c.suppress = true;
    ++pos;
  }
  bool hasWidth = false;
  while (pos < pattern.size() && isDigit(pattern[pos])) {
    hasWidth = true;
    // Saturates: a width beyond any line is as good as none.
    c.width = std::min<std::size_t>(c.width * 10 + static_cast<std::size_t>(pattern[pos] - '0'),
                                    1u << 20);
    ++pos;
  }
  if (hasWidth && c.width == 0) {
    c.error = "a width of 0";
    return c;
  }
  for (std::string_view len : {"hh", "ll", "h", "l", "L", "j", "z", "t", "q"}) {
    if (pattern.substr(pos, len.size()) == len) {
      c.length = std::string(len);
      pos += len.size();
      break;
    }
  }
  if (pos >= pattern.size()) {
    c.error = "a \"%\" without a conversion";
    return c;
  }
  c.letter = pattern[pos++];
  if (c.letter == '[') {
    bool negate = false;
    if (pos < pattern.size() && pattern[pos] == '^') {
      negate = true;
      ++pos;
    }
    std::array<bool, 256> members{};
    std::size_t first = pos;
    bool closed = false;
    while (pos < pattern.size()) {
      const auto ch = static_cast<unsigned char>(pattern[pos]);
      if (ch == ']' && pos != first) {
        closed = true;
        ++pos;
        break;
      }
      // "a-z" is a range unless the "-" is first or last in the set.
      if (pos + 2 < pattern.size() && pattern[pos + 1] == '-' && pattern[pos + 2] != ']' &&
          static_cast<unsigned char>(pattern[pos + 2]) >= ch) {
        for (unsigned b = ch; b <= static_cast<unsigned char>(pattern[pos + 2]); ++b)
          members[b] = true;
        pos += 3;
        continue;
      }
      members[ch] = true;
      ++pos;
    }
    if (!closed) {
      c.error = "a \"%[\" without its \"]\"";
      return c;
    }
    for (std::size_t b = 0; b < 256; ++b)
      c.set[b] = members[b] != negate;
  }
  return c;
}

bool isIntegerLetter(char l) {
  return l == 'd' || l == 'i' || l == 'u' || l == 'o' || l == 'x' || l == 'X';
}
bool isFloatLetter(char l) {
  return l == 'f' || l == 'F' || l == 'e' || l == 'E' || l == 'g' || l == 'G' || l == 'a' ||
         l == 'A';
}

// Reads the characters a conversion may take: at most `width` (0 = any) from `pos`.
class Field {
public:
  Field(std::string_view input, std::size_t pos, std::size_t width)
      : input_(input), pos_(pos),
        end_(width == 0 ? input.size() : std::min(input.size(), pos + width)) {}
  bool atEnd() const { return pos_ >= end_; }
  char peek(std::size_t ahead = 0) const {
    return pos_ + ahead < end_ ? input_[pos_ + ahead] : '\0';
  }
  void take() { ++pos_; }
  std::size_t pos() const { return pos_; }

private:
  std::string_view input_;
  std::size_t pos_, end_;
};

// A decimal floating-point number: sign, digits with at most one ".", at least one digit, and
// an exponent when it is complete. Returns the text without a leading "+".
std::optional<std::string> readFloat(Field &f) {
  std::string text;
  if (f.peek() == '+' || f.peek() == '-') {
    if (f.peek() == '-')
      text += '-';
    f.take();
  }
  bool digits = false;
  while (isDigit(f.peek())) {
    text += f.peek();
    f.take();
    digits = true;
  }
  if (f.peek() == '.') {
    text += '.';
    f.take();
    while (isDigit(f.peek())) {
      text += f.peek();
      f.take();
      digits = true;
    }
  }
  if (!digits)
    return std::nullopt;
  if (f.peek() == 'e' || f.peek() == 'E') {
    std::size_t n = 1;
    if (f.peek(n) == '+' || f.peek(n) == '-')
      ++n;
    if (isDigit(f.peek(n))) {
      text += 'e';
      f.take();
      if (f.peek() == '+' || f.peek() == '-') {
        text += f.peek();
        f.take();
      }
      while (isDigit(f.peek())) {
        text += f.peek();
        f.take();
      }
    }
  }
  return text;
}

// An integer in the conversion's base; the value when it fits 64 bits.
std::optional<std::int64_t> readInteger(Field &f, char letter, bool &overflow) {
  bool negative = false;
  if (f.peek() == '+' || f.peek() == '-') {
    negative = f.peek() == '-';
    f.take();
  }
  int base = 10;
  if (letter == 'o')
    base = 8;
  if (letter == 'x' || letter == 'X')
    base = 16;
  if ((letter == 'x' || letter == 'X' || letter == 'i') && f.peek() == '0' &&
      (f.peek(1) == 'x' || f.peek(1) == 'X') && digitValue(f.peek(2)) < 16) {
    f.take();
    f.take();
    base = 16;
  } else if (letter == 'i' && f.peek() == '0') {
    base = 8;
  }
  bool digits = false;
  std::int64_t value = 0;
  overflow = false;
  while (digitValue(f.peek()) < base) {
    const int d = digitValue(f.peek());
    if (value > (std::numeric_limits<std::int64_t>::max() - d) / base)
      overflow = true;
    else
      value = value * base + d;
    f.take();
    digits = true;
  }
  if (!digits)
    return std::nullopt;
  return negative ? -value : value;
}

std::size_t skipBlanks(std::string_view input, std::size_t pos) {
  while (pos < input.size() && isBlank(input[pos]))
    ++pos;
  return pos;
}

} // namespace

std::vector<ScanValue> scan(std::string_view input, std::string_view pattern) {
  std::vector<ScanValue> values;
  std::size_t in = 0;
  std::size_t p = 0;
  while (p < pattern.size()) {
    const char pc = pattern[p];
    if (isBlank(pc)) {
      while (p < pattern.size() && isBlank(pattern[p]))
        ++p;
      in = skipBlanks(input, in);
      continue;
    }
    if (pc != '%') {
      if (in >= input.size() || input[in] != pc)
        break;
      ++in;
      ++p;
      continue;
    }
    const Conversion c = parseConversion(pattern, p);
    if (!c.error.empty())
      break;
    const char l = c.letter;
    if (l == '%') {
      in = skipBlanks(input, in);
      if (in >= input.size() || input[in] != '%')
        break;
      ++in;
      continue;
    }
    if (l != 'c' && l != '[')
      in = skipBlanks(input, in);
    Field f(input, in, c.width);
    if (isFloatLetter(l)) {
      const auto text = readFloat(f);
      if (!text)
        break;
      double value = 0;
      const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
      if (ec != std::errc() || !std::isfinite(value))
        break;
      if (!c.suppress) {
        if (c.length != "l" || l != 'f')
          break;
        values.emplace_back(value);
      }
    } else if (isIntegerLetter(l)) {
      bool overflow = false;
      const auto value = readInteger(f, l, overflow);
      if (!value)
        break;
      if (!c.suppress) {
        if (l != 'd' || !c.length.empty() || overflow ||
            *value < std::numeric_limits<std::int32_t>::min() ||
            *value > std::numeric_limits<std::int32_t>::max())
          break;
        values.emplace_back(static_cast<std::int32_t>(*value));
      }
    } else if (l == 's' || l == '[') {
      const std::size_t start = f.pos();
      while (!f.atEnd() &&
             (l == 's' ? !isBlank(f.peek()) : c.set[static_cast<unsigned char>(f.peek())]))
        f.take();
      if (f.pos() == start || !c.suppress)
        break;
    } else if (l == 'c') {
      const std::size_t want = c.width == 0 ? 1 : c.width;
      if (input.size() - in < want || !c.suppress)
        break;
      in += want;
      continue;
    } else {
      break; // %n, %p and letters the C library does not know
    }
    in = f.pos();
  }
  return values;
}

std::vector<double> scanDoubles(std::string_view input, std::string_view pattern, int count) {
  const auto values = scan(input, pattern);
  std::vector<double> out;
  if (static_cast<int>(values.size()) != count)
    return out;
  for (const auto &v : values) {
    if (!std::holds_alternative<double>(v))
      return {};
    out.push_back(std::get<double>(v));
  }
  return out;
}

} // namespace formattedscan
