// Text <-> number and date conversions with the class library's results: the stored value, cut
// to 18 significant digits, rounds half away from zero (4.25 -> 4.3, but 1.005, stored just
// below, -> 1.00); the general form has 15 significant digits; and the text never depends on the
// C library's locale, only on the FormatSettings passed (or the process-wide ones).
#pragma once

#include "platform/FormatSettings.h"
#include "platform/Time.h"

#include <QString>
#include <concepts>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace platform {

// A text that does not convert; what() is the message the user sees.
class EConvertError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

// Text to number. Blanks around the number are allowed; the decimal separator is the settings'
// one. Failure throws EConvertError "'text' is not a valid floating point value" /
// "'text' is not a valid integer value".
double StrToFloat(const std::string &text, const FormatSettings &fs = formatSettings());
double StrToFloat(const QString &text, const FormatSettings &fs = formatSettings());
bool TryStrToFloat(const std::string &text, double &value,
                   const FormatSettings &fs = formatSettings());
double StrToFloatDef(const std::string &text, double def,
                     const FormatSettings &fs = formatSettings());
double StrToFloatDef(const QString &text, double def, const FormatSettings &fs = formatSettings());

// Decimal, or hexadecimal with "$" or "0x"; must fit 32 bits.
std::int32_t StrToInt(const std::string &text);
std::int32_t StrToInt(const QString &text);
bool TryStrToInt(const std::string &text, std::int32_t &value);
std::int32_t StrToIntDef(const std::string &text, std::int32_t def);
std::int32_t StrToIntDef(const QString &text, std::int32_t def);
std::int64_t StrToInt64(const std::string &text);

// "True"/"False" in any case, or a number (non-zero is true); else EConvertError
// "'text' is not a valid boolean value".
bool StrToBool(const std::string &text, const FormatSettings &fs = formatSettings());
bool StrToBool(const QString &text, const FormatSettings &fs = formatSettings());
// "True"/"False" when useBoolStrs, else "-1"/"0".
std::string BoolToStr(bool value, bool useBoolStrs = false);

// The general form with 15 significant digits ("0.1", "1.5E-6", "1E15").
std::string FloatToStr(double value, const FormatSettings &fs = formatSettings());
// ffGeneral: `precision` significant digits, exponent of at least `digits` digits when
// scientific. ffFixed / ffNumber: `digits` decimals (ffNumber groups thousands), scientific when
// the integer part has more than `precision` digits. ffExponent: "d.dddE+dddd".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const FormatSettings &fs = formatSettings());
// The class library's Extended is the x87's 80-bit format, as long double is here: its text
// comes from the extended value itself, not from the double nearest it.
std::string extendedToStr(long double value, const FormatSettings &fs = formatSettings());
std::string extendedToStrF(long double value, TFloatFormat format, int precision, int digits,
                           const FormatSettings &fs = formatSettings());
// FloatToStr and FloatToStrF of a long double argument (only): the extended forms above.
template <std::same_as<long double> T>
std::string FloatToStr(T value, const FormatSettings &fs = formatSettings()) {
  return extendedToStr(value, fs);
}
template <std::same_as<long double> T>
std::string FloatToStrF(T value, TFloatFormat format, int precision, int digits,
                        const FormatSettings &fs = formatSettings()) {
  return extendedToStrF(value, format, precision, digits, fs);
}
// Picture formats: "0" digit, "#" optional digit, "." decimal point, "," thousands grouping,
// "E+"/"E-" exponent, quoted literals, up to three sections "positive;negative;zero".
std::string FormatFloat(const std::string &format, double value,
                        const FormatSettings &fs = formatSettings());

// Plain C strings read as 8-bit text (without these a literal would be ambiguous).
inline double StrToFloat(const char *text, const FormatSettings &fs = formatSettings()) {
  return StrToFloat(std::string(text), fs);
}
inline double StrToFloatDef(const char *text, double def,
                            const FormatSettings &fs = formatSettings()) {
  return StrToFloatDef(std::string(text), def, fs);
}
inline std::int32_t StrToInt(const char *text) { return StrToInt(std::string(text)); }
inline std::int32_t StrToIntDef(const char *text, std::int32_t def) {
  return StrToIntDef(std::string(text), def);
}
inline bool StrToBool(const char *text, const FormatSettings &fs = formatSettings()) {
  return StrToBool(std::string(text), fs);
}

// Date and time patterns: yyyy yy mm m dd d hh h nn n ss s zzz z (case-insensitive; "m" right
// after an hour means minutes), "/" and ":" stand for the settings' separators, "c" is short
// date and long time, "ddddd" the short date, "tt" the long time; text in quotes is literal.
std::string FormatDateTime(const std::string &format, const TDateTime &dt,
                           const FormatSettings &fs = formatSettings());
// Short date and long time, the time left out at midnight.
std::string DateTimeToStr(const TDateTime &dt, const FormatSettings &fs = formatSettings());
std::string DateToStr(const TDateTime &dt, const FormatSettings &fs = formatSettings());
std::string TimeToStr(const TDateTime &dt, const FormatSettings &fs = formatSettings());

} // namespace platform
