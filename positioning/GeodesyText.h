// Reading and writing the number texts that the geodesy routines pass to each other: classic
// locale ("." decimals) whatever the process's locale, the way the C runtime's scanning reads them.
#pragma once

#include <string>

namespace positioning {

// Reads up to `count` numbers from `text` the way "%Lf%Lf..." scanning does (white space of any
// kind between them, a number ends where its syntax ends), after skipping `skipWords` words of
// at most `wordWidth` characters as "%*20s" does. Returns how many numbers were read before the
// first that is missing, malformed or not finite.
int scanGeodesyNumbers(const std::string &text, long double *values, int count, int skipWords = 0,
                       int wordWidth = 20);
int scanGeodesyNumbers(const std::string &text, double *values, int count);

// Whether a value can be written as a number text: finite also once narrowed to 64 bits, since
// extended values beyond 1.8e308 would come out as "INF".
bool writableNumber(long double value);

// General form: at most 15 significant digits, "1.5E-6" below 1e-5.
std::string geodesyGeneral(long double value);
// Fixed form: exactly `decimals` digits after the point.
std::string geodesyFixed(long double value, int decimals);

} // namespace positioning
