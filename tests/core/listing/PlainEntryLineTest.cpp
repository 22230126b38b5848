#include "listing/PlainEntryLine.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "support/DiskBuilder.h"

namespace qv {
namespace {

using test::Bytes;

// The 32 bytes of a directory slot with a name, a type, a GEOS type and a block count.
std::array<std::uint8_t, 32> slot(const std::array<std::uint8_t, 16>& name, std::uint8_t type,
                                  int blocks, std::uint8_t geosType = 0) {
    std::array<std::uint8_t, 32> s{};
    s[2] = type;
    std::copy(name.begin(), name.end(), s.begin() + 5);
    s[24] = geosType;
    s[30] = static_cast<std::uint8_t>(blocks & 0xFF);
    s[31] = static_cast<std::uint8_t>(blocks >> 8);
    return s;
}

// What the line maker writes, or "general" when it leaves the entry to the general way.
std::string line(const std::array<std::uint8_t, 32>& s, CharMode mode = CharMode::UpperGraphics) {
    const PlainEntryLine plain(mode, true);
    char out[PlainEntryLine::kMaxLength];
    const std::size_t n = plain.write(s.data(), out);
    return n == 0 ? "general" : std::string(out, n);
}

TEST(PlainEntryLine, CommonEntriesAndTheOnesItLeaves) {
    struct Case {
        const char* what;
        std::array<std::uint8_t, 32> slot;
        std::string expected;
    };
    const auto name = test::petsciiName;
    const auto raw = test::rawName;
    const Case cases[] = {
        {"padded name", slot(name("GAME"), 0x82, 12), "12   \"GAME\"             PRG\r\n"},
        {"count of three digits", slot(name("A"), 0x82, 664), "664  \"A\"                PRG\r\n"},
        {"count of five digits", slot(name("A"), 0x82, 65535),
         "65535  \"A\"                PRG\r\n"},
        {"sixteen characters", slot(name("ABCDEFGHIJKLMNOP"), 0x82, 0),
         "0    \"ABCDEFGHIJKLMNOP\" PRG\r\n"},
        {"open and locked", slot(name("X"), 0x41, 1), "1    \"X\"               *SEQ<\r\n"},
        {"quote switches, bit 7 goes after it",
         slot(raw({'A', '"', 0xC2, 'C', 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                   0xA0, 0xA0}),
              0x82, 1),
         "1    \"A\"BC              PRG\r\n"},
        {"shifted letters before the switch are graphics",
         slot(raw({0xC1, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                   0xA0, 0xA0, 0xA0}),
              0x82, 1),
         "1    \"\x06\"                PRG\r\n"},
        {"the deleted type", slot(name("OLD"), 0x00, 0), "0    \"OLD\"              SCR\r\n"},
        {"GEOS file", slot(name("DESKTOP"), 0x83, 1, 6), "general"},
        {"a GEOS type on a type beyond REL is none", slot(name("X"), 0x85, 1, 6),
         "1    \"X\"                ???\r\n"},
        {"zero byte", slot(raw({'A', 0, 0, 0}), 0x82, 1), "general"},
        {"RETURN", slot(raw({'A', 0x0D, 'B'}), 0x82, 1), "general"},
        {"reverse on", slot(raw({0x12, 'A'}), 0x82, 1), "general"},
        {"shifted RETURN", slot(raw({'A', 0x8D}), 0x82, 1), "general"},
        {"0x80 after the switch is a zero byte",
         slot(raw({'A', 0xA0, 0x80, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0,
                   0xA0, 0xA0, 0xA0}),
              0x82, 1),
         "general"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(line(c.slot), c.expected) << c.what;
    // The character set of the main window decides the letters.
    EXPECT_EQ(line(slot(name("GAME"), 0x82, 2), CharMode::UpperLower),
              "2    \"game\"             PRG\r\n");
}

}  // namespace
}  // namespace qv
