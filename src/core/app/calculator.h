#pragma once
// The arithmetic of the amount calculator: a desk calculator (each operation applies when the
// next one or "=" is pressed, left to right) over exact fractions, so 10 / 3 * 3 gives 10 and
// 0.1 + 0.2 gives 0.3. Its result becomes an amount rounded half away from zero to centavos.
//
// Values stay within what an amount column holds (below 10^15 in absolute value); a larger
// result or a division by zero puts the calculator in its error state until "C".

#include <optional>
#include <string>

#include "app/amount.h"

namespace kesh {

class Calculator {
public:
    Calculator() = default;
    // Starts showing `a`; typing a digit then starts a new number.
    explicit Calculator(Amount a);

    void digit(int d);        // 0..9
    void point();             // the decimal point ("." or ",")
    void backspace();         // the last typed character of the number being typed
    void operation(char op);  // '+', '-', '*' or '/'
    void equals();
    void clear();             // "C": back to 0, no pending operation, no error

    // What the display shows: the number being typed as typed, else the value with up to six
    // decimals ("3.333333", "10", "0.5"); "Error" in the error state.
    std::string display() const;
    bool error() const { return error_; }
    char pending() const { return op_; }
    // The value on the display rounded to centavos; none in the error state.
    std::optional<Amount> amount() const;

    // An exact fraction num / den, den > 0, in lowest terms.
    struct Fraction {
        __int128 num = 0;
        __int128 den = 1;
    };

private:
    Fraction current() const;
    void apply(const Fraction& rhs);
    void setError();

    Fraction acc_;            // the value shown when no number is being typed
    char op_ = 0;             // operation waiting for its right-hand value
    std::string typed_;       // the number being typed ("" when none)
    bool error_ = false;
};

} // namespace kesh
