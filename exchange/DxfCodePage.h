// How the 8-bit names and texts of a DXF file become text: files from AutoCAD 2007 (AC1021) on
// are UTF-8, earlier ones are in the code page their header names in $DWGCODEPAGE, or in this
// system's ANSI code page when the header names none.
#pragma once

#include <QString>
#include <QStringDecoder>
#include <memory>
#include <string_view>

namespace exchange {

// The $DWGCODEPAGE value that names this system's ANSI code page (Windows-1254).
inline constexpr std::string_view kAnsiDwgCodePage = "ANSI_1254";

class DxfTextCoding {
public:
  // The ANSI code page, as for a file whose header says nothing.
  DxfTextCoding() = default;
  // From the header's $ACADVER and $DWGCODEPAGE values (either may be empty). A code page that
  // cannot be decoded here leaves the ANSI code page in use.
  DxfTextCoding(std::string_view acadVersion, std::string_view dwgCodePage);

  bool utf8() const { return utf8_; }
  // A layer or block name, its "\U+XXXX" escapes decoded.
  QString name(std::string_view bytes) const;
  // A text value: UTF-8 as many writers put it even into older files, else in the file's code
  // page; so a text in the file's code page is never replaced by U+FFFD. A doubled backslash
  // stands for one backslash; every other "\U+XXXX" escape is decoded.
  QString text(std::string_view bytes) const;

private:
  QString decode(std::string_view bytes) const;
  bool utf8_ = false;
  // Set for a code page other than the ANSI one.
  std::shared_ptr<QStringDecoder> decoder_;
};

// Replaces each escape "\U+XXXX" (a backslash, "U+" and four hexadecimal digits: the UTF-16
// code unit of a letter, as writers put letters that the file's code page lacks) by its
// character; a surrogate pair written as two escapes gives one character. An escape of a control
// character or of a surrogate without its partner stays as written. With doubledBackslashes,
// "\\\\" stands for one backslash, which starts no escape.
QString decodeDxfEscapes(const QString &text, bool doubledBackslashes);

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

} // namespace exchange
