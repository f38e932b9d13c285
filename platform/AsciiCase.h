// ASCII-only case folding for names, keys and format letters: the C library's folding follows
// the locale, and a Turkish one turns "i" into a dotted capital.
#pragma once

#include <string_view>

namespace platform {

constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
constexpr char upperAscii(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

constexpr bool equalsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(b[i]))
      return false;
  return true;
}

} // namespace platform
