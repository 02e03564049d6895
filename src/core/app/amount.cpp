#include "app/amount.h"

#include <cctype>

namespace kesh {

std::optional<Amount> Amount::parse(std::string_view text) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    text = text.substr(b, e - b);
    if (text.empty()) return std::nullopt;
    bool neg = false;
    if (text[0] == '-' || text[0] == '+') {
        neg = text[0] == '-';
        text.remove_prefix(1);
    }
    int64_t units = 0, frac = 0;
    int fracDigits = 0;
    bool seenSep = false, anyDigit = false;
    constexpr int64_t limit = INT64_MAX / 100 / 10;
    for (char c : text) {
        if (c == '.' || c == ',') {
            if (seenSep) return std::nullopt;
            seenSep = true;
        } else if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (!seenSep) {
                if (units > limit) return std::nullopt;
                units = units * 10 + (c - '0');
            } else if (fracDigits < 2) {
                frac = frac * 10 + (c - '0');
                ++fracDigits;
            } else if (c != '0') {
                return std::nullopt; // not representable in centavos
            }
        } else {
            return std::nullopt;
        }
    }
    if (!anyDigit) return std::nullopt;
    if (fracDigits == 1) frac *= 10;
    int64_t c = units * 100 + frac;
    return Amount(neg ? -c : c);
}

Amount Amount::fromScaled(int64_t value, int scale) {
    if (scale == -2) return Amount(value);
    if (scale > -2) {
        int64_t v = value;
        for (int s = scale; s > -2; --s) v *= 10;
        return Amount(v);
    }
    int64_t div = 1;
    for (int s = scale; s < -2; ++s) div *= 10;
    int64_t q = value / div, r = value % div;
    if (2 * (r < 0 ? -r : r) >= div) q += value < 0 ? -1 : 1;
    return Amount(q);
}

std::string Amount::toString() const {
    uint64_t a = cents_ < 0 ? uint64_t(0) - uint64_t(cents_) : uint64_t(cents_);
    std::string s = std::to_string(a / 100);
    uint64_t f = a % 100;
    s += '.';
    s += char('0' + f / 10);
    s += char('0' + f % 10);
    return cents_ < 0 ? "-" + s : s;
}

} // namespace kesh
