#include "settings/HeaderStyle.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

const std::string dashes78(78, '-');

struct StyleCase {
    std::string style;
    std::string text;
    int width;
};

TEST(HeaderStyle, ExpandsCountsAndTokens) {
    const StyleCase cases[] = {
        {"78,-,1,RETURN", dashes78 + "\r\n", 78},
        {"1,-,1, ", "- ", 2},
        {"1, ,1,-", " -", 2},
        {"1,RETURN,78,-", "\r\n" + dashes78, 78},
        {"3,=+", "=+=+=+", 6},
        {"3,=+,", "=+=+=+", 6},            // the final comma may be written
        {"", "", 0},                       // an empty style is empty, not a failure
        {"2,RETURN", "\r\n\r\n", 0},       // RETURN has no width
        {"0,x,2,ab", "abab", 4},           // a count of 0 adds nothing
        {" 2 ,ab", "abab", 4},             // blanks around a count are allowed
        {"1,-,1", "-", 1},                 // a count without its token adds nothing
        {"1,-,1,", "-", 1},                // "1,-,1, " that lost its trailing blank
        {"1,,2,x", "xx", 2},               // an empty token
        {"1,RETURN ,1,x", "RETURN x", 8},  // only the exact word is a line break
        {"1,return", "return", 6},
        {"2, a b ", " a b  a b ", 10},  // tokens keep their blanks
        {"32767,a", std::string(32767, 'a'), 32767},
    };
    for (const auto& c : cases) {
        const auto s = parseHeaderStyle(c.style);
        ASSERT_TRUE(s.has_value()) << '"' << c.style << '"';
        EXPECT_EQ(s->text, c.text) << '"' << c.style << '"';
        EXPECT_EQ(s->width, c.width) << '"' << c.style << '"';
    }
}

TEST(HeaderStyle, RejectsCountsThatAreNoNumberAndRunawaySizes) {
    const char* bad[] = {
        "x,-",
        "-1,-",
        "+1,-",
        "1,-,abc",
        ",",
        "1.5,-",
        ",-,1,x",
        "1,-,,x",
        "1 2,-",
        "40000,-",
        "16384,ab",
        "2000000000,-",
        "99999999999999999999999999,-",
        "20000,a,20000,b",  // each fits, together they do not
        "16384,RETURN",
    };
    for (const char* style : bad)
        EXPECT_FALSE(parseHeaderStyle(style).has_value()) << style;
}

TEST(HeaderStyle, DefaultWordAndMessagesPerField) {
    struct FieldCase {
        HeaderStyleField field;
        const char* def;
        const char* message;
    };
    const FieldCase cases[] = {
        {HeaderStyleField::Header, "78,-,1,RETURN",
         "ListerOptions: Failed to parse Header Image String"},
        {HeaderStyleField::Pre, "1,-,1, ", "ListerOptions: Failed to parse Pre Image Name String"},
        {HeaderStyleField::Post, "1, ,1,-",
         "ListerOptions: Failed to parse Post Image Name String"},
        {HeaderStyleField::Footer, "1,RETURN,78,-",
         "ListerOptions: Failed to parse Footer Image String"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaultHeaderStyle(c.field), c.def);
        EXPECT_EQ(headerStyleFailureMessage(c.field), c.message);
        EXPECT_EQ(resolveHeaderStyle(c.field, "DEFAULT"), c.def);
        EXPECT_EQ(resolveHeaderStyle(c.field, "3,=+"), "3,=+");
        EXPECT_EQ(expandHeaderStyle(c.field, "DEFAULT"), parseHeaderStyle(c.def));
        // Only the exact word stands for the default.
        EXPECT_FALSE(expandHeaderStyle(c.field, "default").has_value());
        EXPECT_FALSE(expandHeaderStyle(c.field, " DEFAULT").has_value());
    }
}

}  // namespace
}  // namespace qv
