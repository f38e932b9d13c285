#include "exchange/DxfCodePage.h"

#include "platform/CodePage.h"

#include <QByteArray>
#include <cctype>
#include <string>

namespace exchange {

namespace {

std::string upper(std::string_view s) {
  std::string u(s);
  for (char &c : u)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return u;
}

bool allDigits(std::string_view s) {
  if (s.empty())
    return false;
  for (char c : s)
    if (c < '0' || c > '9')
      return false;
  return true;
}

// The name the converter knows a $DWGCODEPAGE value by ("ANSI_1251", "DOS850", "ISO8859-2"),
// or empty for one it does not.
QByteArray converterName(std::string_view value) {
  const std::string v = upper(value);
  auto tail = [&](std::string_view prefix) -> std::string {
    return v.compare(0, prefix.size(), prefix) == 0 ? v.substr(prefix.size()) : std::string();
  };
  if (const std::string n = tail("ANSI_"); allDigits(n))
    return QByteArray(n.size() == 4 && n[0] == '1' && n[1] == '2' ? "windows-" : "cp") +
           QByteArray::fromStdString(n);
  if (const std::string n = tail("DOS"); allDigits(n))
    return "cp" + QByteArray::fromStdString(n);
  if (const std::string n = tail("ISO8859-"); allDigits(n))
    return "ISO-8859-" + QByteArray::fromStdString(n);
  if (v == "UTF-8" || v == "UTF8")
    return "UTF-8";
  return {};
}

// The release number of an $ACADVER value such as "AC1021", or 0.
int releaseNumber(std::string_view version) {
  if (version.size() < 3 || version.substr(0, 2) != "AC" || !allDigits(version.substr(2)) ||
      version.size() > 8)
    return 0;
  return std::stoi(std::string(version.substr(2)));
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int more = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if ((c & 0xE0) == 0xC0) {
      more = 1, cp = c & 0x1F, least = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      more = 2, cp = c & 0x0F, least = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      more = 3, cp = c & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (n - i <= static_cast<std::size_t>(more))
      return false;
    for (int k = 1; k <= more; ++k) {
      const auto d = static_cast<unsigned char>(bytes[i + static_cast<std::size_t>(k)]);
      if ((d & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += static_cast<std::size_t>(more) + 1;
  }
  return true;
}

DxfTextCoding::DxfTextCoding(std::string_view acadVersion, std::string_view dwgCodePage) {
  if (releaseNumber(acadVersion) >= 1021) {
    utf8_ = true;
    return;
  }
  const QByteArray name = converterName(dwgCodePage);
  if (name.isEmpty() || name == "windows-1254")
    return;
  if (name == "UTF-8") {
    utf8_ = true;
    return;
  }
  auto decoder =
      std::make_shared<QStringDecoder>(name.constData(), QStringConverter::Flag::Stateless);
  if (decoder->isValid())
    decoder_ = std::move(decoder);
}

QString decodeDxfEscapes(const QString &text, bool doubledBackslashes) {
  if (!text.contains(QLatin1Char('\\')))
    return text;
  // The code unit of an escape at i, or -1 when none starts there.
  auto unitAt = [&](qsizetype i) -> int {
    if (i < 0 || i + 6 >= text.size())
      return -1;
    if (text[i] != QLatin1Char('\\') || text[i + 1] != QLatin1Char('U') ||
        text[i + 2] != QLatin1Char('+'))
      return -1;
    int unit = 0;
    for (qsizetype k = i + 3; k < i + 7; ++k) {
      const char16_t c = text[k].unicode();
      int d = -1;
      if (c >= u'0' && c <= u'9')
        d = c - u'0';
      else if (c >= u'a' && c <= u'f')
        d = c - u'a' + 10;
      else if (c >= u'A' && c <= u'F')
        d = c - u'A' + 10;
      if (d < 0)
        return -1;
      unit = unit * 16 + d;
    }
    return unit;
  };
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size();) {
    const QChar c = text[i];
    if (c != QLatin1Char('\\')) {
      out += c;
      ++i;
      continue;
    }
    if (doubledBackslashes && i + 1 < text.size() && text[i + 1] == QLatin1Char('\\')) {
      out += c;
      i += 2;
      continue;
    }
    const int unit = unitAt(i);
    if (unit >= 0 && QChar::isHighSurrogate(static_cast<char32_t>(unit))) {
      const int low = unitAt(i + 7);
      if (low >= 0 && QChar::isLowSurrogate(static_cast<char32_t>(low))) {
        out += QChar(static_cast<char16_t>(unit));
        out += QChar(static_cast<char16_t>(low));
        i += 14;
        continue;
      }
    } else if (unit >= 0x20 && !(unit >= 0x7F && unit < 0xA0) &&
               !QChar::isSurrogate(static_cast<char32_t>(unit))) {
      out += QChar(static_cast<char16_t>(unit));
      i += 7;
      continue;
    }
    out += c; // no escape, or one left as written
    ++i;
  }
  return out;
}

QString DxfTextCoding::name(std::string_view bytes) const {
  return decodeDxfEscapes(decode(bytes), false);
}

QString DxfTextCoding::decode(std::string_view bytes) const {
  if (utf8_)
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
  if (decoder_)
    return decoder_->decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return platform::fromAnsi(bytes);
}

QString DxfTextCoding::text(std::string_view bytes) const {
  if (utf8_ || isValidUtf8(bytes))
    return decodeDxfEscapes(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())),
                            true);
  return decodeDxfEscapes(decode(bytes), true);
}

} // namespace exchange
