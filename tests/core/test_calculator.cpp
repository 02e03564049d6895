// The amount calculator's arithmetic: exact fractions, desk-calculator order, results to
// centavos, and its limits.
#include <gtest/gtest.h>

#include <climits>

#include "app/calculator.h"

using kesh::Amount;
using kesh::Calculator;

namespace {

constexpr int64_t kError = INT64_MIN;

// Presses the keys of `keys` in order: digits, "." / ",", + - * /, "=", C, and < for backspace.
void Press(Calculator& c, const std::string& keys) {
    for (char k : keys) {
        if (k >= '0' && k <= '9') c.digit(k - '0');
        else if (k == '.' || k == ',') c.point();
        else if (k == '=') c.equals();
        else if (k == 'C') c.clear();
        else if (k == '<') c.backspace();
        else c.operation(k);
    }
}

} // namespace

TEST(Calculator, KeysGiveTheDisplayAndTheAmount) {
    struct Case {
        const char* keys;
        const char* display;
        int64_t cents;  // kError: no amount
    } cases[] = {
        {"12+30=", "42", 4200},
        {"10/3*3=", "10", 1000},          // exact fractions: no 9.99
        {"10/3=", "3.333333", 333},
        {"2/3=", "0.666667", 67},         // rounded half away from zero
        {"0.1+0.2=", "0.3", 30},
        {"0,125=", "0.125", 13},
        {"5-8=", "-3", -300},
        {"2+3+", "5", 500},               // each operation applies when the next one comes
        {"2+3*4=", "20", 2000},           // left to right, as a desk calculator
        {"2+*3=", "6", 600},              // a second operation replaces the first
        {"12.", "12.", 1200},
        {"1.2345678", "1.234567", 123},   // six decimals are typed at most
        {"1234567890123456", "123456789012345", 12345678901234500},  // fifteen digits
        {"0007", "7", 700},
        {"12<3", "13", 1300},
        {"5<<", "0", 0},
        {"7/0=", "Error", kError},
        {"7/0=12", "Error", kError},          // nothing but C after an error
        {"7/0=C4", "4", 400},
        {"999999999999999*10=", "Error", kError},  // beyond an amount column
        {"999999999999999+1=", "Error", kError},
        {"100*1.5=C", "0", 0},
        {"", "0", 0},
    };
    for (const Case& c : cases) {
        Calculator calc;
        Press(calc, c.keys);
        EXPECT_EQ(calc.display(), c.display) << c.keys;
        if (c.cents == kError) {
            EXPECT_TRUE(calc.error()) << c.keys;
            EXPECT_FALSE(calc.amount()) << c.keys;
        } else {
            ASSERT_TRUE(calc.amount()) << c.keys;
            EXPECT_EQ(*calc.amount(), Amount::fromCents(c.cents)) << c.keys;
        }
    }
}

TEST(Calculator, StartsFromTheCellsAmount) {
    Calculator calc(Amount::fromCents(10050));
    EXPECT_EQ(calc.display(), "100.5");
    calc.operation('+');  // "+" typed in the cell
    Press(calc, "49.5=");
    EXPECT_EQ(*calc.amount(), Amount::fromUnits(150));
    // A digit typed while a result shows starts a new number.
    Calculator again(Amount::fromUnits(7));
    Press(again, "3=");
    EXPECT_EQ(again.display(), "3");
}

TEST(Calculator, LongChainsOfDivisionsStayWithinRange) {
    Calculator calc(Amount::fromUnits(1));
    for (int i = 0; i < 30; ++i) Press(calc, "/7");
    for (int i = 0; i < 30; ++i) Press(calc, "*7");
    Press(calc, "=");
    // Kept to nine decimals once the fraction grows: no overflow, a small number stays small.
    EXPECT_FALSE(calc.error());
    EXPECT_EQ(*calc.amount(), Amount());
    Calculator exact(Amount::fromUnits(1));
    Press(exact, "/7/7/7*7*7*7=");
    EXPECT_EQ(exact.display(), "1");
}
