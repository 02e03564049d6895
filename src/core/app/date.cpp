#include "app/date.h"

#include <cstdio>
#include <ctime>

namespace kesh {
namespace {

// Days from 1970-01-01 (H. Hinnant's civil algorithms).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t yy = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yy + (m <= 2));
}

const int64_t kEpochShift = daysFromCivil(1899, 12, 30);

std::optional<Date> g_fixedToday;

bool parseInt(std::string_view s, int& out) {
    if (s.empty() || s.size() > 4) return false;
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

} // namespace

Date Date::fromYmd(int year, int month, int day) {
    return fromSerial(int32_t(daysFromCivil(year, unsigned(month), unsigned(day)) - kEpochShift));
}

bool Date::isValidYmd(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static const int dim[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int max = dim[month - 1];
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) max = 29;
    return day <= max;
}

std::optional<Date> Date::parseDisplay(std::string_view text) {
    auto p1 = text.find('/');
    if (p1 == std::string_view::npos) return std::nullopt;
    auto p2 = text.find('/', p1 + 1);
    if (p2 == std::string_view::npos) return std::nullopt;
    int d, m, y;
    if (!parseInt(text.substr(0, p1), d) || !parseInt(text.substr(p1 + 1, p2 - p1 - 1), m) ||
        !parseInt(text.substr(p2 + 1), y) || text.size() - p2 - 1 != 4)
        return std::nullopt;
    if (!isValidYmd(y, m, d)) return std::nullopt;
    return fromYmd(y, m, d);
}

std::optional<Date> Date::parseIso(std::string_view text) {
    int y, m, d;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (!parseInt(text.substr(0, 4), y) || !parseInt(text.substr(5, 2), m) ||
        !parseInt(text.substr(8, 2), d) || !isValidYmd(y, m, d))
        return std::nullopt;
    return fromYmd(y, m, d);
}

void Date::toYmd(int& y, int& m, int& d) const { civilFromDays(serial_ + kEpochShift, y, m, d); }
int Date::year() const { int y, m, d; toYmd(y, m, d); return y; }
int Date::month() const { int y, m, d; toYmd(y, m, d); return m; }
int Date::day() const { int y, m, d; toYmd(y, m, d); return d; }

std::string Date::toDisplay() const {
    int y, m, d;
    toYmd(y, m, d);
    char b[16];
    std::snprintf(b, sizeof b, "%02d/%02d/%04d", d, m, y);
    return b;
}

std::string Date::toIso() const {
    int y, m, d;
    toYmd(y, m, d);
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", y, m, d);
    return b;
}

Date Clock::today() {
    if (g_fixedToday) return *g_fixedToday;
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return Date::fromYmd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

void Clock::setToday(std::optional<Date> fixed) { g_fixedToday = fixed; }

} // namespace kesh
