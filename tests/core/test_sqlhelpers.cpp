// SQL literals, typed numbers and dates, month arithmetic, the password store encoding and
// the byte copy used for templates and backups.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/sqlhelpers.h"
#include "support/testsupport.h"

namespace kesh {
namespace {

Date D(int y, int m, int d) { return Date::fromYmd(y, m, d); }

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeAll(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(SqlDate, MonthFirstWithFourDigitYear) {
    struct Case { Date date; const char* expected; };
    const Case cases[] = {
        {D(2006, 3, 1), "03/01/2006"},
        {D(1999, 12, 31), "12/31/1999"},
        {D(2049, 7, 9), "07/09/2049"},
        {Date(), "12/30/1899"}, // the zero date is written like any other
    };
    for (const Case& c : cases) EXPECT_EQ(SqlDate(c.date), c.expected) << c.expected;
}

TEST(SqlAmount, ExactAmountTwoDecimalsWithDot) {
    struct Case { int64_t cents; const char* expected; };
    const Case cases[] = {
        {123450, "1234.50"}, {-5, "-0.05"}, {0, "0.00"}, {100000000000, "1000000000.00"},
    };
    for (const Case& c : cases) EXPECT_EQ(SqlAmount(Amount::fromCents(c.cents)), c.expected);
}

TEST(SqlAmount, ComputedValueRoundsAsWrittenInDecimal) {
    struct Case { double value; const char* expected; };
    const Case cases[] = {
        {1234.5, "1234.50"},
        {-0.004, "-0.00"}, // the sign survives rounding to zero
        {-0.0, "0.00"},
        {0.0, "0.00"},
        {1.005, "1.01"},   // the double is 1.00499999..., the user typed 1.005
        {-2.675, "-2.68"}, // half away from zero
        {0.1 + 0.2, "0.30"},
        {999.995, "1000.00"},
        {0.005, "0.01"},
        {1e15, "1000000000000000.00"},
        {12345678.91, "12345678.91"},
    };
    for (const Case& c : cases) EXPECT_EQ(SqlAmount(c.value), c.expected) << c.value;
}

TEST(FormatDecimals, FixedDecimalsUpToNine) {
    struct Case { double value; int n; const char* expected; };
    const Case cases[] = {
        {1.5, 5, "1.50000"},
        {1234.123456, 5, "1234.12346"},
        {0.000004, 5, "0.00000"},
        {-0.000001, 5, "-0.00000"},
        {2.5, 0, "3"},
        {1.0, 9, "1.000000000"},
        {1.0, 12, "1.000000000"}, // at most nine
        {123456789.5, 2, "123456789.50"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDecimals(c.value, c.n), c.expected) << c.value;
}

TEST(SqlText, CutsCharactersAndReplacesQuotes) {
    struct Case { const char* text; size_t n; const char* expected; };
    const Case cases[] = {
        {"O'Brien", 60, "O`Brien"},
        {"''", 5, "``"},
        {"Año contable", 3, "Año"},  // characters, not bytes
        {"ñññ", 2, "ññ"},            // never half a character
        {"Cuenta", 0, ""},
        {"Caja", 4, "Caja"},
    };
    for (const Case& c : cases) EXPECT_EQ(SqlText(c.text, c.n), c.expected) << c.text;
}

TEST(CommaToDot, EveryComma) {
    EXPECT_EQ(CommaToDot("1,5"), "1.5");
    EXPECT_EQ(CommaToDot("1.234,56,7"), "1.234.56.7");
}

TEST(ParseAmount, DecimalTextOrZero) {
    struct Case { const char* text; double expected; };
    const Case cases[] = {
        {"1,5", 1.5}, {" 12.25 ", 12.25}, {"-3", -3}, {"+.5", 0.5}, {"1e3", 1000},
        {"abc", 0}, {"", 0}, {"1.234,56", 0}, {"inf", 0}, {"nan", 0}, {"12 3", 0}, {"-", 0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(ParseAmount(c.text), c.expected) << c.text;
}

TEST(ParseAmountExact, CentavosWithoutDouble) {
    struct Case { const char* text; int64_t cents; };
    const Case cases[] = {
        {"1,5", 150}, {"-0,05", -5}, {" 1234.50 ", 123450}, {"12.", 1200}, {".5", 50},
        {"12.345", 1235}, {"12.344", 1234}, {"-12.345", -1235},
        {"99999999999999.99", 9999999999999999},
        {"x", 0}, {"1.2.3", 0}, {"", 0}, {".", 0}, {"1e3", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseAmountExact(c.text).cents(), c.cents) << c.text;
}

TEST(IsNumericText, DigitsCommasAndDotsOnly) {
    struct Case { const char* text; bool expected; };
    const Case cases[] = {
        {" 12,5 ", true}, {"1.2.3", true}, {"007", true},
        {"", false}, {"   ", false}, {"1-2", false}, {"-1", false}, {"1 2", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsNumericText(c.text), c.expected) << c.text;
}

TEST(IsDottedNumber, TypedDisplayCodeSyntax) {
    struct Case { const char* text; bool expected; };
    const Case cases[] = {
        {"1.1.4", true}, {"1.", true}, {"12", true}, {"1.10000", true},
        {".1", false}, {"1..2", false}, {"", false}, {"1a", false}, {" 1", false}, {"1,2", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDottedNumber(c.text), c.expected) << c.text;
}

TEST(MonthIndex, CountsFromJanuary1900) {
    EXPECT_EQ(MonthIndex(1900, 1), 1);
    EXPECT_EQ(MonthIndex(2005, 1), 1261);
    for (int day : {1, 15, 31}) EXPECT_EQ(MonthIndex(D(2006, 3, day)), 1275);
    EXPECT_EQ(MonthStart(1275), D(2006, 3, 1));
    EXPECT_EQ(MonthStart(1261), D(2005, 1, 1));
    EXPECT_EQ(MonthStart(12), D(1900, 12, 1));
    EXPECT_TRUE(MonthStart(0).isZero());
    EXPECT_TRUE(MonthStart(-7).isZero());
}

TEST(MonthIndex, MonthStartIsItsInverse) {
    for (int i = 1; i <= 2400; ++i) {
        const Date start = MonthStart(i);
        ASSERT_EQ(start.day(), 1) << i;
        ASSERT_EQ(MonthIndex(start), i) << i;
    }
}

TEST(DaysInMonth, LeapYearEveryFourYears) {
    struct Case { int year, month, days; };
    const Case cases[] = {
        {2008, 2, 29}, {2006, 2, 28}, {1900, 2, 29}, {2006, 4, 30}, {2006, 9, 30},
        {2006, 11, 30}, {2006, 1, 31}, {2006, 12, 31}, {2006, 0, 0}, {2006, 13, 0}, {2006, -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(DaysInMonth(c.year, c.month), c.days) << c.year << "/" << c.month;
}

TEST(NormalizeDateText, AcceptsOnlyRealDatesFrom1981To2049) {
    struct Case { const char* text; const char* expected; };
    const Case cases[] = {
        {"29/2/08", "29/02/2008"},
        {" 5/6/2010 ", "05/06/2010"},
        {"1/1/81", "01/01/1981"},
        {"31/12/49", "31/12/2049"},
        {"01/01/2000", "01/01/2000"},
        {"1/2/5", ""},        // five characters
        {"31/4/2006", ""},    // April has 30 days
        {"1/1/1980", ""},     // before 1981
        {"1/1/50", ""},       // 1950
        {"1/1/2050", ""},
        {"29/2/2007", ""},
        {"0/1/2006", ""},
        {"12/13/2006", ""},
        {"1/1/02010", ""},    // year of five characters
        {"1.5/2/2006", ""},
        {"1-1-2006", ""},
        {"1//2006", ""},
        {"1/1/2006/1", ""},
        {"1/1/2006 12:00", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalizeDateText(c.text), c.expected) << c.text;
}

TEST(MonthLabel, SpanishAbbreviationAndTwoDigitYear) {
    struct Case { int year, month; const char* expected; };
    const Case cases[] = {
        {2005, 1, "ENE/05"}, {2006, 9, "SET/06"}, {2000, 12, "DIC/00"}, {1999, 8, "AGO/99"},
        {2010, 4, "ABR/10"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MonthLabel(c.year, c.month), c.expected);
        EXPECT_EQ(MonthLabel(D(c.year, c.month, 17)), c.expected);
    }
}

TEST(PasswordStore, ScrambledThenHex) {
    struct Case { std::string plain; const char* stored; };
    const Case cases[] = {
        {"abc", "26C5C4C3"},
        {"", ""},
        {std::string(1, '\0'), "0000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HexEncode(ScramblePassword(c.plain)), c.stored);
        EXPECT_EQ(UnscramblePassword(HexDecode(c.stored)), c.plain);
    }
    for (const std::string p : {"Contraseña", "a", "ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"}) {
        const std::string stored = HexEncode(ScramblePassword(p));
        EXPECT_EQ(stored.size(), 2 * (p.size() + 1));
        EXPECT_EQ(UnscramblePassword(HexDecode(stored)), p);
    }
}

TEST(HexDecode, OddDigitIgnoredInvalidRefused) {
    EXPECT_EQ(HexDecode("26C5C4C3F"), HexDecode("26C5C4C3"));
    EXPECT_EQ(HexDecode("26c5"), std::string("\x26\xC5"));
    for (const char* bad : {"ZZ", "2G", "26 5"}) {
        try {
            HexDecode(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("hexadecimal"), std::string::npos);
        }
    }
}

TEST(CopyFileStream, ByteCopyOverwritingTarget) {
    const auto dir = test::ScratchDir("copyfilestream");
    std::string bytes;
    for (int i = 0; i < 200000; ++i) bytes += static_cast<char>((i * 7) % 256); // NULs and all
    writeAll(dir / "source.fdb", bytes);
    writeAll(dir / "target.vrn", std::string(500000, 'x'));
    // Templates may be installed read-only; the copy must still be writable.
    std::filesystem::permissions(dir / "source.fdb", std::filesystem::perms::owner_read);

    CopyFileStream((dir / "source.fdb").string(), (dir / "target.vrn").string());
    EXPECT_EQ(readAll(dir / "target.vrn"), bytes);
    CopyFileStream((dir / "source.fdb").string(), (dir / "new.vrn").string());
    EXPECT_EQ(readAll(dir / "new.vrn"), bytes);
    struct stat st;
    ASSERT_EQ(::stat((dir / "new.vrn").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);

    CopyFileStream((dir / "new.vrn").string(), (dir / "new.vrn").string());
    EXPECT_EQ(readAll(dir / "new.vrn"), bytes);
}

TEST(CopyFileStream, MissingSourceOrFolderThrows) {
    const auto dir = test::ScratchDir("copyfilestream-missing");
    EXPECT_THROW(CopyFileStream((dir / "demo0.fdb").string(), (dir / "demo.vrn").string()),
                 std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(dir / "demo.vrn"));
    writeAll(dir / "a", "a");
    EXPECT_THROW(CopyFileStream((dir / "a").string(), (dir / "no" / "b").string()), std::runtime_error);
}

TEST(WindowsUserName, LoginNameOfTheProcessOwner) {
    const std::string name = WindowsUserName();
    EXPECT_FALSE(name.empty());
    EXPECT_LE(name.size(), 255u);
}

} // namespace
} // namespace kesh
