#include "support/GeosText.h"

#include <gtest/gtest.h>

#include <set>

#include "settings/ListerOptions.h"

namespace qv {
namespace {

struct LetterCase {
    char key;
    int windows1252;
    int listingOem;
};

// The German letters in both character sets.
constexpr LetterCase kLetters[] = {
    {'[', 196, 142}, {'\\', 214, 153}, {']', 220, 154}, {'{', 228, 132},
    {'|', 246, 148}, {'}', 252, 129},  {'~', 223, 225}, {'@', 167, 0x15},
};

TEST(GeosText, GermanLettersInBothVariants) {
    for (const auto& c : kLetters) {
        const std::string in(1, c.key);
        EXPECT_EQ(static_cast<std::uint8_t>(convertGeosText(in)[0]), c.windows1252) << c.key;
        EXPECT_EQ(static_cast<std::uint8_t>(convertGeosTextOem(in)[0]), c.listingOem) << c.key;
    }
    EXPECT_EQ(convertGeosText("Stra~e @3 \x0D[x]\x7F"),
              "Stra\xDF"
              "e \xA7"
              "3  \xC4x\xDC ");
    EXPECT_EQ(convertGeosTextOem("Stra~e @3 \x0D[x]\x7F"),
              "Stra\xE1"
              "e \x15"
              "3  \x8Ex\x9A ");
}

TEST(GeosText, EachOptionSwitchesOnlyItsLetters) {
    struct OptionCase {
        GeosTextOptions options;
        std::string expected1252;
    };
    const std::string in = "[\\]{|}~@";
    const OptionCase cases[] = {
        {{true, true, true}, "\xC4\xD6\xDC\xE4\xF6\xFC\xDF\xA7"},
        {{false, true, true}, "[\\]{|}\xDF\xA7"},
        {{true, false, true}, "\xC4\xD6\xDC\xE4\xF6\xFC~\xA7"},
        {{true, true, false}, "\xC4\xD6\xDC\xE4\xF6\xFC\xDF@"},
        {{false, false, false}, "[\\]{|}~@"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertGeosText(in, c.options), c.expected1252);
        // The code page variant keeps exactly the same bytes unchanged.
        const auto oem = convertGeosTextOem(in, c.options);
        for (std::size_t i = 0; i < in.size(); ++i) {
            EXPECT_EQ(oem[i] == in[i], c.expected1252[i] == in[i]) << i;
        }
    }
}

TEST(GeosText, EveryOtherByteStays) {
    std::set<int> changed = {13, 127};
    for (const auto& c : kLetters) {
        changed.insert(static_cast<unsigned char>(c.key));
    }
    for (int b = 0; b < 256; ++b) {
        if (changed.count(b)) {
            continue;
        }
        for (auto target : {GeosTextTarget::Windows1252, GeosTextTarget::ListingOem}) {
            EXPECT_EQ(convertGeosChar(static_cast<std::uint8_t>(b), {}, target), b) << b;
        }
    }
    EXPECT_EQ(convertGeosText(std::string("A\0B", 3)), std::string("A\0B", 3));
}

TEST(GeosText, OptionsComeFromTheListerOptions) {
    ListerOptions lister;
    lister.eszett = false;
    const auto options = geosTextOptions(lister);
    EXPECT_TRUE(options.umlaute);
    EXPECT_FALSE(options.eszett);
    EXPECT_TRUE(options.paragraph);
}

}  // namespace
}  // namespace qv
