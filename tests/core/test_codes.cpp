// Internal and display account codes, levels and parents.

#include <gtest/gtest.h>

#include "accounts/codes.h"

namespace kesh {
namespace {

TEST(AccountCodes, ToInternalCode) {
    struct Case { const char* text; const char* internal; };
    const Case cases[] = {
        {"12.3", "00120003"},
        {"123", "0123"},           // shorter than four: a display code
        {"1234", "1234"},          // four characters without a dot: already internal
        {"12345", "12345"},
        {"10005.1", "00050001"},   // a group keeps its last four digits
        {"1.", "00010000"},        // the empty group is 0000
        {"1.1.4.3", "0001000100040003"},
        {"1.2.3.4.5.6", "00010002000300040005"}, // a sixth level is dropped
        {" 1.1 ", "00010001"},
        {" 00010001 ", "00010001"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ToInternalCode(c.text), c.internal) << c.text;
}

TEST(AccountCodes, ToDisplayCode) {
    struct Case { const char* text; const char* display; };
    const Case cases[] = {
        {"00120003", "12.3"},
        {"0001000100040003", "1.1.4.3"},
        {"1234", "1234"},
        {"0001", "1"},
        {"00010000", "1.0"},
        {"12345", ""},     // not a whole number of groups
        {"00a1", ""},
        {"12.3", "12.3"},  // already a display code
        {"123", "123"},
        {" 0001 ", "1"},
    };
    for (const Case& c : cases) EXPECT_EQ(ToDisplayCode(c.text), c.display) << c.text;
}

TEST(AccountCodes, DisplayCodesSurviveTheRoundTrip) {
    for (const char* display : {"1", "9999", "12.3", "1.1.4.3", "1.0.0.0.1", "4.10.200.3000.9999"})
        EXPECT_EQ(ToDisplayCode(ToInternalCode(display)), display);
}

TEST(AccountCodes, IsDisplayForm) {
    struct Case { const char* text; bool display; };
    const Case cases[] = {
        {"123", true}, {"1.2", true}, {"", true}, {" 12 ", true}, {"1234.", true},
        {"1234", false}, {"00010001", false}, {"12345", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsDisplayForm(c.text), c.display) << c.text;
}

TEST(AccountCodes, LevelAndParent) {
    struct Case { const char* code; int level; const char* parent; };
    const Case cases[] = {
        {"1", 1, ""},
        {"12", 1, ""},
        {"1.", 1, ""},
        {"0001", 1, ""},
        {"12.3", 2, "12"},
        {"00120003", 2, "12"},
        {"1.1.4.3", 4, "1.1.4"},
        {"0001000100040003", 4, "1.1.4"},
        {"1.1.1.1.1", 5, "1.1.1.1"},
        {"12345", 1, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodeLevel(c.code), c.level) << c.code;
        EXPECT_EQ(ParentCode(c.code), c.parent) << c.code;
    }
}

} // namespace
} // namespace kesh
