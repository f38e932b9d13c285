// Process-wide format settings and their construction from a locale.
#include "platform/FormatSettings.h"

#include <QLocale>
#include <QString>

namespace platform {
namespace {

FormatSettings &processSettings() {
  static FormatSettings settings = FormatSettings::classic();
  return settings;
}

// Separators are single 8-bit characters here; a locale's non-ASCII separator (a no-break space
// between thousands, for instance) becomes the nearest plain one.
char asciiSeparator(const QString &text, char fallback) {
  if (text.isEmpty())
    return fallback;
  const QChar c = text.at(0);
  if (text.size() == 1 && c.unicode() < 0x80)
    return char(c.unicode());
  return c.isSpace() ? ' ' : fallback;
}

// Turns a Qt date or time pattern into the class library's letters (months "mm", minutes "nn").
std::string fromQtPattern(const QString &pattern, char dateSep, char timeSep) {
  std::string out;
  for (qsizetype i = 0; i < pattern.size();) {
    const QChar c = pattern.at(i);
    qsizetype run = 1;
    while (i + run < pattern.size() && pattern.at(i + run) == c)
      ++run;
    const char ch = c.unicode() < 0x80 ? char(c.unicode()) : '?';
    switch (ch) {
    case 'y':
      out += run >= 3 ? "yyyy" : "yy";
      break;
    case 'M':
      out += run >= 2 ? "mm" : "m";
      break;
    case 'd':
      out += run >= 2 ? "dd" : "d";
      break;
    case 'H':
    case 'h':
      out += run >= 2 ? "hh" : "h";
      break;
    case 'm':
      out += run >= 2 ? "nn" : "n";
      break;
    case 's':
      out += run >= 2 ? "ss" : "s";
      break;
    case 'z':
      out += "zzz";
      break;
    case 'A':
    case 'a':
    case 'P':
    case 'p':
    case 't':
      break; // no am/pm or zone names: times show on the 24-hour clock
    default:
      for (qsizetype k = 0; k < run; ++k)
        out += ch == dateSep ? '/' : ch == timeSep ? ':' : ch;
    }
    i += run;
  }
  // Drop blanks left at the ends by removed am/pm markers.
  while (!out.empty() && out.back() == ' ')
    out.pop_back();
  return out;
}

} // namespace

FormatSettings FormatSettings::classic() { return FormatSettings{}; }

FormatSettings FormatSettings::navigation() {
  FormatSettings s;
  s.DecimalSeparator = '.';
  s.ListSeparator = ',';
  s.ThousandSeparator = ',';
  s.DateSeparator = ':';
  s.ShortDateFormat = "YYYY-MM-DD";
  s.LongTimeFormat = "hhnnsszzz";
  return s;
}

FormatSettings FormatSettings::fromLocale(const QLocale &locale) {
  FormatSettings s;
  s.DecimalSeparator = asciiSeparator(locale.decimalPoint(), '.');
  s.ThousandSeparator = asciiSeparator(locale.groupSeparator(), ',');
  if (s.ThousandSeparator == s.DecimalSeparator)
    s.ThousandSeparator = s.DecimalSeparator == ',' ? '.' : ',';
  s.ListSeparator = s.DecimalSeparator == ',' ? ';' : ',';
  // The first punctuation of the short date pattern is the date separator, likewise for time.
  const QString date = locale.dateFormat(QLocale::ShortFormat);
  const QString time = locale.timeFormat(QLocale::LongFormat);
  auto firstSeparator = [](const QString &pattern, char fallback) {
    for (QChar c : pattern)
      if (!c.isLetterOrNumber() && !c.isSpace() && c != QLatin1Char('\''))
        return asciiSeparator(QString(c), fallback);
    return fallback;
  };
  s.DateSeparator = firstSeparator(date, '/');
  s.TimeSeparator = firstSeparator(time, ':');
  s.ShortDateFormat = fromQtPattern(date, s.DateSeparator, s.TimeSeparator);
  s.LongTimeFormat = fromQtPattern(QString(time).remove(QLatin1Char('t')).trimmed(),
                                   s.DateSeparator, s.TimeSeparator);
  return s;
}

FormatSettings FormatSettings::user() { return fromLocale(QLocale::system()); }

const FormatSettings &formatSettings() { return processSettings(); }

void setFormatSettings(const FormatSettings &settings) { processSettings() = settings; }

} // namespace platform
