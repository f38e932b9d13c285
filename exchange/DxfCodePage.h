// How the 8-bit names and texts of a DXF file become text: files from AutoCAD 2007 (AC1021) on
// are UTF-8, earlier ones are in the code page their header names in $DWGCODEPAGE, or in this
// system's ANSI code page when the header names none.
#pragma once

#include <QString>
#include <QStringDecoder>
#include <memory>
#include <string_view>

namespace platform {

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
  // A layer or block name.
  QString name(std::string_view bytes) const;
  // A text value: UTF-8 as many writers put it even into older files, else as a name; so a
  // text in the file's code page is never replaced by U+FFFD.
  QString text(std::string_view bytes) const;

private:
  bool utf8_ = false;
  // Set for a code page other than the ANSI one.
  std::shared_ptr<QStringDecoder> decoder_;
};

// True when the bytes are well-formed UTF-8.
bool isValidUtf8(std::string_view bytes);

} // namespace platform
