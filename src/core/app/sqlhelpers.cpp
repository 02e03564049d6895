#include "app/sqlhelpers.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace kesh {
namespace {

// Blanks and control characters, as a typed field may carry them.
std::string_view trimmed(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!isDigit(c)) return false;
    return true;
}

// Adds one unit in the last place of a string of decimal digits; returns the carry.
bool incrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return false;
        }
    }
    return true;
}

// Fixed-point text of a double. The value is first taken to 15 significant digits, the
// precision a double holds, so that sums like 0.1 + 0.2 and typed values like 1.005 round
// the way the user reads them; then it is rounded half away from zero to `decimals`.
// Locale-independent: to_chars ignores LC_NUMERIC, which the screens may set to Spanish.
std::string formatFixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    const bool negative = value < 0;
    const double a = std::fabs(value);

    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
    std::string_view sci(buf, size_t(res.ptr - buf)); // d.ddddddddddddddde[+-]xx
    const size_t ePos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (isDigit(c)) digits += c;
    int exponent = 0;
    std::string_view expText = sci.substr(ePos + 1);
    if (!expText.empty() && expText[0] == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    // Split the digits at the decimal point.
    const long pointPos = long(exponent) + 1;
    std::string intPart, fracPart;
    if (pointPos <= 0) {
        intPart = "0";
        fracPart = std::string(size_t(-pointPos), '0') + digits;
    } else if (size_t(pointPos) >= digits.size()) {
        intPart = digits + std::string(size_t(pointPos) - digits.size(), '0');
    } else {
        intPart = digits.substr(0, size_t(pointPos));
        fracPart = digits.substr(size_t(pointPos));
    }

    if (fracPart.size() > size_t(decimals)) {
        const bool roundUp = fracPart[size_t(decimals)] >= '5';
        fracPart.resize(size_t(decimals));
        if (roundUp) {
            std::string all = intPart + fracPart;
            if (incrementDigits(all)) all.insert(all.begin(), '1');
            intPart = all.substr(0, all.size() - fracPart.size());
            fracPart = all.substr(all.size() - fracPart.size());
        }
    }
    fracPart.resize(size_t(decimals), '0');
    const size_t nz = intPart.find_first_not_of('0');
    intPart = nz == std::string::npos ? "0" : intPart.substr(nz);

    std::string out = negative ? "-" : "";
    out += intPart;
    if (decimals > 0) {
        out += '.';
        out += fracPart;
    }
    return out;
}

const char* const kMonthAbbrev[12] = {"ENE", "FEB", "MAR", "ABR", "MAY", "JUN",
                                      "JUL", "AGO", "SET", "OCT", "NOV", "DIC"};

} // namespace

std::string SqlDate(Date d) {
    int y, m, day;
    d.toYmd(y, m, day);
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", m, day, y);
    return b;
}

std::string SqlAmount(Amount a) { return a.toString(); }

std::string SqlAmount(double value) { return formatFixed(value, 2); }

std::string Utf8Left(std::string_view text, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == n) return std::string(text.substr(0, i));
            ++count;
        }
    }
    return std::string(text);
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    for (char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

std::string SqlText(std::string_view text, std::size_t n) {
    std::string s = Utf8Left(text, n);
    for (char& c : s)
        if (c == '\'') c = '`';
    return s;
}

std::string CommaToDot(std::string_view text) {
    std::string s(text);
    for (char& c : s)
        if (c == ',') c = '.';
    return s;
}

std::string FormatDecimals(double value, int n) {
    if (n < 0) n = 0;
    if (n > 9) n = 9;
    return formatFixed(value, n);
}

double ParseAmount(std::string_view text) {
    const std::string s = CommaToDot(trimmed(text));
    std::string_view v(s);
    bool negative = false;
    if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
        negative = v[0] == '-';
        v.remove_prefix(1);
    }
    // from_chars alone would also take "inf" and "nan".
    if (v.empty() || !(isDigit(v[0]) || v[0] == '.')) return 0;
    double result = 0;
    auto r = std::from_chars(v.data(), v.data() + v.size(), result, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return 0;
    return negative ? -result : result;
}

Amount ParseAmountExact(std::string_view text) {
    const std::string s = CommaToDot(trimmed(text));
    std::string_view v(s);
    bool negative = false;
    if (!v.empty() && (v[0] == '-' || v[0] == '+')) {
        negative = v[0] == '-';
        v.remove_prefix(1);
    }
    const size_t dot = v.find('.');
    std::string_view intText = v.substr(0, dot);
    std::string_view fracText = dot == std::string_view::npos ? std::string_view() : v.substr(dot + 1);
    if (intText.empty() && fracText.empty()) return Amount();
    if ((!intText.empty() && !allDigits(intText)) || (!fracText.empty() && !allDigits(fracText)))
        return Amount();
    const size_t firstSignificant = intText.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos && intText.size() - firstSignificant > 16)
        return Amount(); // beyond what a NUMERIC(18,2) holds

    int64_t units = 0;
    for (char c : intText) units = units * 10 + (c - '0');
    int64_t cents = 0;
    for (size_t i = 0; i < 2; ++i) cents = cents * 10 + (i < fracText.size() ? fracText[i] - '0' : 0);
    int64_t total = units * 100 + cents;
    if (fracText.size() > 2 && fracText[2] >= '5') ++total;
    return Amount::fromCents(negative ? -total : total);
}

bool IsNumericText(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return false;
    for (char c : text)
        if (!isDigit(c) && c != ',' && c != '.') return false;
    return true;
}

bool IsDottedNumber(std::string_view text) {
    if (text.empty() || !isDigit(text[0])) return false;
    char prev = 0;
    for (char c : text) {
        if (c == '.') {
            if (prev == '.') return false;
        } else if (!isDigit(c)) {
            return false;
        }
        prev = c;
    }
    return true;
}

int MonthIndex(int year, int month) { return year * 12 + month - 22800; }

int MonthIndex(Date d) {
    int y, m, day;
    d.toYmd(y, m, day);
    return MonthIndex(y, m);
}

Date MonthStart(int index) {
    if (index <= 0) return Date();
    const int month = (index - 1) % 12 + 1;
    const int year = (index - month) / 12 + 1900;
    return Date::fromYmd(year, month, 1);
}

int DaysInMonth(int year, int month) {
    switch (month) {
    case 2: return year % 4 == 0 ? 29 : 28;
    case 4: case 6: case 9: case 11: return 30;
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    default: return 0;
    }
}

std::string NormalizeDateText(std::string_view text) {
    text = trimmed(text);
    if (text.size() < 6 || text.size() > 10) return {};
    const size_t s1 = text.find('/');
    if (s1 == std::string_view::npos) return {};
    const size_t s2 = text.find('/', s1 + 1);
    if (s2 == std::string_view::npos) return {};
    const std::string_view parts[3] = {text.substr(0, s1), text.substr(s1 + 1, s2 - s1 - 1),
                                       text.substr(s2 + 1)};
    int values[3];
    for (int i = 0; i < 3; ++i) {
        if (!IsNumericText(parts[i])) return {};
        // A "," or "." passes the numeric test but is no part of a day, month or year.
        const std::string_view p = trimmed(parts[i]);
        if (!allDigits(p)) return {};
        values[i] = 0;
        std::from_chars(p.data(), p.data() + p.size(), values[i]);
    }
    if (parts[2].size() > 4) return {};
    const int day = values[0], month = values[1];
    int year = values[2];
    if (year < 50) year += 2000;
    else if (year < 100) year += 1900;
    if (year < 1981 || year > 2049 || month < 1 || month > 12) return {};
    if (day < 1 || day > DaysInMonth(year, month)) return {};
    char b[32];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", day, month, year);
    return b;
}

std::string MonthLabel(int year, int month) {
    std::string s = month >= 1 && month <= 12 ? kMonthAbbrev[month - 1] : "";
    char b[16];
    std::snprintf(b, sizeof b, "/%02d", ((year % 100) + 100) % 100);
    return s + b;
}

std::string MonthLabel(Date d) {
    int y, m, day;
    d.toYmd(y, m, day);
    return MonthLabel(y, m);
}

void CopyFileStream(const std::string& from, const std::string& to) {
    std::error_code ec;
    if (std::filesystem::equivalent(from, to, ec)) return; // opening `to` would empty `from`
    std::ifstream in(from, std::ios::binary);
    // Read before creating the target, so an unreadable source leaves no empty copy behind.
    std::vector<char> buf(size_t(1) << 16);
    if (in) in.read(buf.data(), std::streamsize(buf.size()));
    if (!in && (in.bad() || !in.eof()))
        throw std::runtime_error("No se puede leer el archivo " + from + ": " + std::strerror(errno));
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("No se puede crear el archivo " + to + ": " + std::strerror(errno));
    for (;;) {
        if (in.gcount() > 0 && !out.write(buf.data(), in.gcount()))
            throw std::runtime_error("Error al escribir el archivo " + to + ": " + std::strerror(errno));
        if (!in) break;
        in.read(buf.data(), std::streamsize(buf.size()));
    }
    if (in.bad())
        throw std::runtime_error("Error al leer el archivo " + from + ": " + std::strerror(errno));
    out.close();
    if (!out)
        throw std::runtime_error("Error al escribir el archivo " + to + ": " + std::strerror(errno));
}

std::string HexEncode(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 0x0F];
    }
    return out;
}

std::string HexDecode(std::string_view hex) {
    auto nibble = [hex](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        throw std::invalid_argument("'" + std::string(hex) + "' no es un valor hexadecimal válido");
    };
    std::string out;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    return out;
}

std::string ScramblePassword(std::string_view password) {
    if (password.empty()) return {};
    unsigned k = 0;
    for (char c : password) k += static_cast<unsigned char>(c);
    k &= 0xFF;
    std::string out(1, static_cast<char>(k));
    for (char c : password) out += static_cast<char>((k - static_cast<unsigned char>(c)) & 0xFF);
    return out;
}

std::string UnscramblePassword(std::string_view scrambled) {
    if (scrambled.empty()) return {};
    const unsigned k = static_cast<unsigned char>(scrambled[0]);
    std::string out;
    for (char b : scrambled.substr(1))
        out += static_cast<char>((k - static_cast<unsigned char>(b)) & 0xFF);
    return out;
}

std::string WindowsUserName() {
    const passwd* pw = getpwuid(geteuid());
    if (!pw || !pw->pw_name || !*pw->pw_name) return "Unknown";
    return Utf8Left(pw->pw_name, 255);
}

} // namespace kesh
