#include "collection/Wildcard.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Wildcard, MatchesWholeTextWithoutRegardToCase) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"ELITE", "elite", true},
        {"ELITE", "elite 2", false},  // the whole text, not a part of it
        {"*elite*", "THE ELITE DISK", true},
        {"el?te", "ELITE", true},
        {"el?te", "ELTE", false},
        {"*", "", true},
        {"?", "", false},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},  // no blow-up
        {"[abc]1", "B1", true},
        {"[a-c]1", "D1", false},
        {"[!a-c]1", "D1", true},
        {"[^a-c]1", "a1", false},
        {"\\*x", "*X", true},
        {"\\*x", "ax", false},
        {"[x", "[X", true},                // an unclosed bracket stands for itself
        {"?\xC3\xA4", "a\xC3\xA4", true},  // "?" takes a whole UTF-8 character
        {"?", "\xE2\x94\x80", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcardMatch(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
}

// What a search looks for in a text before it matches the pattern in full: a part
// that every matching text holds.
TEST(Wildcard, RequiredTextIsAPartOfEveryMatch) {
    struct Case {
        const char* pattern;
        const char* required;
        const char* matching;  // a text the pattern matches
    };
    const Case cases[] = {
        {"*FILE 1? of 1234*", " of 1234", "file 12 OF 1234 x"},
        {"ELITE", "elite", "Elite"},
        {"*", "", "anything"},
        {"[abc]defg", "defg", "bdefg"},
        {"[]x]yz", "yz", "]yz"},      // a "]" first in a set belongs to it
        {"[!a-c]12", "12", "d12"},    // the set's characters are no plain text
        {"ab[xyz", "xyz", "ab[xyz"},  // an unclosed "[" stands for itself
        {"a\\*bc", "bc", "a*bc"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(requiredText(c.pattern), c.required) << c.pattern;
        ASSERT_TRUE(wildcardMatch(c.pattern, c.matching)) << c.pattern;
        EXPECT_NE(foldCase(c.matching).find(requiredText(c.pattern)), std::string::npos)
            << c.pattern;
    }
}

}  // namespace
}  // namespace qv
