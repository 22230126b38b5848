#include "support/Crc32.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "support/Collation.h"

namespace qv {
namespace {

std::uint32_t crcOf(std::string_view s) {
    return crc32({reinterpret_cast<const std::uint8_t*>(s.data()), s.size()});
}

TEST(Crc32, KnownValues) {
    EXPECT_EQ(crcOf(""), 0x00000000U);
    EXPECT_EQ(crcOf("a"), 0xE8B7BE43U);
    EXPECT_EQ(crcOf("123456789"), 0xCBF43926U);
    EXPECT_EQ(crcOf("The quick brown fox jumps over the lazy dog"), 0x414FA339U);
    const std::vector<std::uint8_t> zeros(32, 0);
    EXPECT_EQ(crc32(zeros), 0x190A55ADU);
    // In pieces as in one go.
    const std::string_view all = "123456789";
    const std::uint32_t first = crcOf(all.substr(0, 4));
    const auto rest = all.substr(4);
    EXPECT_EQ(crc32Update(first, {reinterpret_cast<const std::uint8_t*>(rest.data()), rest.size()}),
              0xCBF43926U);
}

TEST(Collation, OrdersAsAReaderExpects) {
    const std::vector<std::string> ordered = {
        "",         " x",    "!bang",    "10",          "9z", "a", "A",
        "\xC3\xA4",                       // ä after a and A
        "ab",       "Ab",    "\xC3\x9F",  // ß as "ss", after "s"
        "st",       "zebra", "Zebra",    "\xE6\x97\xA5"};
    for (std::size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_LT(collate(ordered[i], ordered[i + 1]), 0) << i;
        EXPECT_GT(collate(ordered[i + 1], ordered[i]), 0) << i;
        EXPECT_EQ(collate(ordered[i], ordered[i]), 0) << i;
    }
}

}  // namespace
}  // namespace qv
