#pragma once
// Small shared helpers: literals for SQL text, number and date texts typed by the user,
// month arithmetic, the password store encoding and a few platform bits.
//
// The formats here are part of what is stored in company files and settings, so they are
// fixed: amounts always with "." and two decimals, SQL dates as "mm/dd/yyyy", month
// indexes counted from January 1900 = 1.

#include <cstddef>
#include <string>
#include <string_view>

#include "app/amount.h"
#include "app/date.h"

namespace kesh {

// ---- SQL literals --------------------------------------------------------------------

// "mm/dd/yyyy"; the caller puts it between single quotes.
std::string SqlDate(Date d);

// Two decimals, "." separator, no thousands separator: "1234.50", "-0.05".
std::string SqlAmount(Amount a);
// Same pattern for a computed value, rounded half away from zero on its shortest decimal
// form (so 1.005 gives "1.01" although the double is slightly below it). A negative value
// keeps its sign even when it rounds to zero: -0.004 gives "-0.00".
std::string SqlAmount(double value);

// The first n characters (UTF-8 characters, never a split sequence) with every "'" turned
// into "`". Stored data relies on the back quote, so keep using it where a column is cut.
std::string SqlText(std::string_view text, std::size_t n);

// The first n UTF-8 characters of text.
std::string Utf8Left(std::string_view text, std::size_t n);
// Number of UTF-8 characters in text.
std::size_t Utf8Length(std::string_view text);

// ---- numbers typed as text -----------------------------------------------------------

std::string CommaToDot(std::string_view text);

// "######0." followed by n zeros (n is clamped to 0..9), "." separator, same rounding and
// sign rule as SqlAmount(double). With n = 0 there is no decimal point.
std::string FormatDecimals(double value, int n);

// Commas read as decimal points; blanks around are ignored; 0 when the text is not a number.
double ParseAmount(std::string_view text);
// The same reading without going through double: decimals beyond the second are rounded
// half away from zero. Zero when the text is not a number.
Amount ParseAmountExact(std::string_view text);

// Trimmed text not empty and made only of digits, "," and ".".
bool IsNumericText(std::string_view text);

// Syntax of a typed display account code: not empty, starts with a digit, only digits and
// ".", never two dots in a row (a trailing dot is accepted).
bool IsDottedNumber(std::string_view text);

// ---- months and dates ----------------------------------------------------------------

// year * 12 + month - 22800: January 1900 is 1, January 2005 is 1261.
int MonthIndex(int year, int month);
int MonthIndex(Date d);
// First day of month index i; the zero date for i <= 0.
Date MonthStart(int index);

// February has 29 days in every year divisible by 4 (the dates typed into imports are
// 1981..2049, where that is exact); 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// A typed "d/m/y" date to "dd/mm/yyyy". Two-digit years: below 50 are 20xx, else 19xx.
// Empty text when the form is wrong or the date is outside 1981..2049 or not a real day.
std::string NormalizeDateText(std::string_view text);

// "ENE/05" ... "DIC/05"; September is "SET".
std::string MonthLabel(int year, int month);
std::string MonthLabel(Date d);

// ---- files ---------------------------------------------------------------------------

// Copies the file byte for byte into `to`, created or overwritten. The copy gets fresh
// permissions rather than the source's: templates may be installed read-only, and the
// company file made from them must be writable. Throws std::runtime_error.
void CopyFileStream(const std::string& from, const std::string& to);

// ---- password store ------------------------------------------------------------------

// Two upper-case hexadecimal digits per byte.
std::string HexEncode(std::string_view bytes);
// Back to bytes; an odd last digit is ignored. Throws std::invalid_argument on a character
// that is not a hexadecimal digit.
std::string HexDecode(std::string_view hex);

// Stored form before hex: k = sum of the bytes mod 256, then k, then (k - c) mod 256 for
// every byte c. Empty stays empty. "abc" gives the bytes 26 C5 C4 C3.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view scrambled);

// ---- platform ------------------------------------------------------------------------

// Login name of the user running the program (at most 255 characters), "Unknown" when it
// cannot be read.
std::string WindowsUserName();

} // namespace kesh
