#include "navigator/acquisition/ScanFormat.h"

#include <cctype>

namespace navigator {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

ScanFormatCheck refuse(std::string text) { return {false, std::move(text)}; }

std::string allowedList() { return "Only text, %*Ns, %*lf, %*d, %*[...] and %lf are allowed."; }

} // namespace

ScanFormatCheck checkScanFormat(std::string_view pattern, int expectedValues) {
  int values = 0;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\0')
      return refuse("The scan format holds a NUL character.");
    if (c != '%') {
      ++i;
      continue;
    }
    const std::size_t start = i;
    ++i;
    if (i < pattern.size() && pattern[i] == '%') {
      ++i;
      continue;
    }
    const bool suppressed = i < pattern.size() && pattern[i] == '*';
    if (suppressed)
      ++i;
    // A width bounds what a conversion reads; a zero width is not one the C scanner accepts.
    const std::size_t widthStart = i;
    while (i < pattern.size() && isDigit(pattern[i]))
      ++i;
    if (i > widthStart && pattern[widthStart] == '0')
      return refuse("The scan format's conversion at position " + std::to_string(start + 1) +
                    " has a width of zero. " + allowedList());
    if (i - widthStart > 9)
      return refuse("The scan format's conversion at position " + std::to_string(start + 1) +
                    " has too large a width. " + allowedList());
    const std::string_view rest = pattern.substr(i);
    bool known = false;
    if (rest.starts_with("lf")) {
      i += 2;
      known = true;
      if (!suppressed)
        ++values;
    } else if (suppressed && (rest.starts_with("s") || rest.starts_with("d"))) {
      i += 1;
      known = true;
    } else if (suppressed && rest.starts_with("[")) {
      // A "]" right after "[" or "[^" belongs to the set.
      std::size_t j = i + 1;
      if (j < pattern.size() && pattern[j] == '^')
        ++j;
      if (j < pattern.size() && pattern[j] == ']')
        ++j;
      while (j < pattern.size() && pattern[j] != ']') {
        if (pattern[j] == '\0')
          return refuse("The scan format holds a NUL character.");
        ++j;
      }
      if (j >= pattern.size())
        return refuse("The scan format's set at position " + std::to_string(start + 1) +
                      " has no closing \"]\".");
      i = j + 1;
      known = true;
    }
    if (!known) {
      std::size_t end = i < pattern.size() ? i + 1 : i;
      return refuse("The scan format's conversion \"" +
                    std::string(pattern.substr(start, end - start)) + "\" at position " +
                    std::to_string(start + 1) + " is not allowed. " + allowedList());
    }
  }
  if (values != expectedValues)
    return refuse("The scan format reads " + std::to_string(values) + " value" +
                  (values == 1 ? "" : "s") + " with %lf; " + std::to_string(expectedValues) +
                  (expectedValues == 1 ? " is" : " are") + " needed.");
  return {};
}

} // namespace navigator
