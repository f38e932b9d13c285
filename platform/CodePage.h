// Windows-1254 (Turkish), this platform's ANSI code page: conversions to and from UTF-16 and
// UTF-8 by our own table, since the toolkit offers no such codec.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace platform {

// The character of a byte. The seven bytes the code page leaves unassigned map to the C1 control
// of the same number, as Windows does, so every byte survives a round trip.
char16_t windows1254ToUnicode(unsigned char byte);
// The byte of a character, or '?' when the code page has none.
char unicodeToWindows1254(char32_t c);

QString fromWindows1254(std::string_view bytes);
// Characters outside the code page become "?" (one per character, also beyond the BMP).
std::string toWindows1254(const QString &text);
std::string windows1254ToUtf8(std::string_view bytes);
// Invalid UTF-8 sequences become "?" too.
std::string utf8ToWindows1254(std::string_view utf8);

// The system's ANSI code page is Windows-1254.
inline QString fromAnsi(std::string_view bytes) { return fromWindows1254(bytes); }
inline std::string toAnsi(const QString &text) { return toWindows1254(text); }

} // namespace platform
