#pragma once
// Calendar date as a day count. Day 0 is 30/12/1899, the "zero date" that stands for
// "no date" in the company files and in the screens; every real date is above it.

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace kesh {

class Date {
public:
    constexpr Date() = default;  // the zero date
    static constexpr Date fromSerial(int32_t serial) { Date d; d.serial_ = serial; return d; }
    // Proleptic Gregorian; no validation (use isValidYmd first when the input is typed).
    static Date fromYmd(int year, int month, int day);
    static bool isValidYmd(int year, int month, int day);
    // "dd/mm/yyyy" (also d/m/yyyy); nullopt when not a real calendar date.
    static std::optional<Date> parseDisplay(std::string_view text);
    // "yyyy-mm-dd"; nullopt when not a real calendar date.
    static std::optional<Date> parseIso(std::string_view text);

    constexpr int32_t serial() const { return serial_; }
    constexpr bool isZero() const { return serial_ == 0; }
    int year() const;
    int month() const;
    int day() const;
    void toYmd(int& y, int& m, int& d) const;

    std::string toDisplay() const;  // "dd/mm/yyyy"
    std::string toIso() const;      // "yyyy-mm-dd"

    constexpr Date addDays(int32_t n) const { return fromSerial(serial_ + n); }
    constexpr int32_t operator-(Date o) const { return serial_ - o.serial_; }
    constexpr auto operator<=>(const Date&) const = default;

private:
    int32_t serial_ = 0;
};

// "Today" comes from here and nowhere else, so tests can fix it.
class Clock {
public:
    static Date today();
    // Fixes today's date until reset with nullopt.
    static void setToday(std::optional<Date> fixed);
};

} // namespace kesh
