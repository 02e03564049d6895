#include "app/calculator.h"

namespace kesh {

namespace {

using Int = __int128;
using Fraction = Calculator::Fraction;

constexpr Int kLimit = Int(1000000000000000LL);  // 10^15: no amount column holds more
constexpr Int kMaxDen = Int(1000000000LL);       // past 10^9 a fraction is kept to 9 decimals
constexpr int kIntDigits = 15;
constexpr int kDecimals = 6;                     // typed and shown

Int Abs(Int v) { return v < 0 ? -v : v; }

Int Gcd(Int a, Int b) {
    a = Abs(a);
    b = Abs(b);
    while (b != 0) {
        Int t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// a / b rounded half away from zero; b > 0.
Int RoundDiv(Int a, Int b) { return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b)); }

Int Pow10(int n) {
    Int p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

// Lowest terms with a positive denominator; a denominator past kMaxDen is rounded to
// kMaxDen. False when the value is out of range.
bool Normalize(Fraction& f) {
    if (f.den < 0) {
        f.num = -f.num;
        f.den = -f.den;
    }
    const Int g = Gcd(f.num, f.den);
    if (g > 1) {
        f.num /= g;
        f.den /= g;
    }
    if (Abs(f.num / f.den) >= kLimit) return false;
    if (f.den > kMaxDen) {
        // Nine decimals by long division (the remainder times the scale could overflow).
        const Int whole = Abs(f.num) / f.den;
        Int rest = Abs(f.num) % f.den, decimals = 0;
        for (Int p = 1; p < kMaxDen; p *= 10) {
            rest *= 10;
            decimals = decimals * 10 + rest / f.den;
            rest %= f.den;
        }
        if (2 * rest >= f.den) ++decimals;
        const Int scaled = whole * kMaxDen + decimals;
        f = {f.num < 0 ? -scaled : scaled, kMaxDen};
        return Normalize(f);
    }
    return true;
}

// a * b, false when it does not fit.
bool Mul(Int a, Int b, Int& out) { return !__builtin_mul_overflow(a, b, &out); }

// "12.50" typed: 1250 / 100.
Fraction Parse(const std::string& typed) {
    Fraction f{0, 1};
    bool decimals = false;
    for (char c : typed) {
        if (c == '.') {
            decimals = true;
            continue;
        }
        f.num = f.num * 10 + (c - '0');
        if (decimals) f.den *= 10;
    }
    Normalize(f);
    return f;
}

std::string Digits(Int v) {
    if (v == 0) return "0";
    std::string s;
    while (v > 0) {
        s.insert(s.begin(), char('0' + int(v % 10)));
        v /= 10;
    }
    return s;
}

} // namespace

Calculator::Calculator(Amount a) {
    acc_ = {a.cents(), 100};
    Normalize(acc_);
}

void Calculator::setError() {
    error_ = true;
    typed_.clear();
    op_ = 0;
    acc_ = {};
}

void Calculator::digit(int d) {
    if (error_ || d < 0 || d > 9) return;
    const size_t dot = typed_.find('.');
    if (dot == std::string::npos) {
        if (typed_ == "0") typed_.clear();
        if (int(typed_.size()) >= kIntDigits) return;
    } else if (int(typed_.size() - dot - 1) >= kDecimals) {
        return;
    }
    typed_ += char('0' + d);
}

void Calculator::point() {
    if (error_) return;
    if (typed_.empty()) typed_ = "0";
    if (typed_.find('.') == std::string::npos) typed_ += '.';
}

void Calculator::backspace() {
    if (error_ || typed_.empty()) return;
    typed_.pop_back();
    if (typed_.empty()) typed_ = "0";
}

Fraction Calculator::current() const { return typed_.empty() ? acc_ : Parse(typed_); }

void Calculator::apply(const Fraction& rhs) {
    // Both sides are below 10^15 with denominators up to 10^9, so only the product of two
    // numerators can leave __int128, and then the value is far out of range anyway.
    Fraction r;
    switch (op_) {
    case '+': r = {acc_.num * rhs.den + rhs.num * acc_.den, acc_.den * rhs.den}; break;
    case '-': r = {acc_.num * rhs.den - rhs.num * acc_.den, acc_.den * rhs.den}; break;
    case '*':
        if (!Mul(acc_.num, rhs.num, r.num)) return setError();
        r.den = acc_.den * rhs.den;
        break;
    case '/':
        if (rhs.num == 0) return setError();
        r = {acc_.num * rhs.den, acc_.den * rhs.num};
        break;
    default: r = rhs; break;
    }
    if (!Normalize(r)) return setError();
    acc_ = r;
}

void Calculator::operation(char op) {
    if (error_ || (op != '+' && op != '-' && op != '*' && op != '/')) return;
    if (!typed_.empty()) {
        apply(Parse(typed_));
        typed_.clear();
        if (error_) return;
    }
    op_ = op;
}

void Calculator::equals() {
    if (error_) return;
    if (!typed_.empty()) {
        apply(Parse(typed_));
        typed_.clear();
    }
    op_ = 0;
}

void Calculator::clear() {
    acc_ = {};
    op_ = 0;
    typed_.clear();
    error_ = false;
}

std::string Calculator::display() const {
    if (error_) return "Error";
    if (!typed_.empty()) return typed_;
    const Int scale = Pow10(kDecimals);
    const Int scaled = RoundDiv(acc_.num * scale, acc_.den);
    std::string text = Digits(Abs(scaled) / scale);
    std::string dec = Digits(Abs(scaled) % scale);
    dec.insert(0, size_t(kDecimals) - dec.size(), '0');
    while (!dec.empty() && dec.back() == '0') dec.pop_back();
    if (!dec.empty()) text += "." + dec;
    return scaled < 0 ? "-" + text : text;
}

std::optional<Amount> Calculator::amount() const {
    if (error_) return std::nullopt;
    const Fraction f = current();
    return Amount::fromCents(int64_t(RoundDiv(f.num * 100, f.den)));
}

} // namespace kesh
