#pragma once
// Money as an exact count of centavos. Built only from integers or text, never from double:
// the books must be exact to the cent.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kesh {

class Amount {
public:
    constexpr Amount() = default;
    static constexpr Amount fromCents(int64_t cents) { return Amount(cents); }
    static constexpr Amount fromUnits(int64_t units) { return Amount(units * 100); }

    // Exact parse: optional sign, digits, "," or "." as decimal separator, at most two
    // decimals (a third and further decimals must be zeros). Blanks around are ignored.
    static std::optional<Amount> parse(std::string_view text);
    // A value with `scale` decimal digits (as stored in a NUMERIC column) rounded half away
    // from zero to centavos.
    static Amount fromScaled(int64_t value, int scale);

    constexpr int64_t cents() const { return cents_; }
    constexpr bool isZero() const { return cents_ == 0; }
    constexpr Amount abs() const { return Amount(cents_ < 0 ? -cents_ : cents_); }

    // "1234.50", "-0.05": two decimals, "." separator, no thousands separator.
    std::string toString() const;

    constexpr Amount operator-() const { return Amount(-cents_); }
    constexpr Amount operator+(Amount o) const { return Amount(cents_ + o.cents_); }
    constexpr Amount operator-(Amount o) const { return Amount(cents_ - o.cents_); }
    constexpr Amount& operator+=(Amount o) { cents_ += o.cents_; return *this; }
    constexpr Amount& operator-=(Amount o) { cents_ -= o.cents_; return *this; }
    constexpr auto operator<=>(const Amount&) const = default;

private:
    constexpr explicit Amount(int64_t c) : cents_(c) {}
    int64_t cents_ = 0;
};

} // namespace kesh
