// The CUIT check digit, over a table of typed numbers.

#include <gtest/gtest.h>

#include "vouchers/cuit.h"

namespace kesh::vouchers {
namespace {

struct CuitCase {
    const char* text;
    bool valid;
};

TEST(Cuit, CheckDigitTable) {
    const CuitCase cases[] = {
        {"20-12345678-6", true},     // remainder 5, check digit 6
        {"20123456786", true},       // digits only
        {" 30 71548237 8 ", true},   // blanks and no dashes
        {"30-71548237-8", true},
        {"30-50001091-2", true},
        {"27-30111222-5", true},
        {"20-00000006-0", true},     // remainder 0: check digit 0, not 11
        {"20-12345678-5", false},    // wrong check digit
        {"20-00000006-1", false},
        {"20-00000001-0", false},    // remainder 1 asks for 10: never valid
        {"20-00000001-1", false},
        {"2012345678", false},       // ten digits
        {"20-1234567-6", false},
        {"201234567861", false},     // twelve digits are no CUIT
        {"20-00000001-10", false},   // not even when the extra digits spell the 10
        {"", false},
        {"CUIT", false},
    };
    for (const CuitCase& c : cases) EXPECT_EQ(CuitIsValid(c.text), c.valid) << c.text;
}

TEST(Cuit, PictureAndExpectedDigit) {
    EXPECT_EQ(FormatCuit("20123456786"), "20-12345678-6");
    EXPECT_EQ(FormatCuit("20 12345678 6"), "20-12345678-6");
    EXPECT_EQ(FormatCuit("2012345678"), "2012345678");  // not eleven digits: as typed
    EXPECT_EQ(CuitCheckDigit("20-12345678"), 6);
    EXPECT_EQ(CuitCheckDigit("20-00000001"), -1);
    EXPECT_EQ(CuitCheckDigit("20-1234"), -1);
}

}  // namespace
}  // namespace kesh::vouchers
