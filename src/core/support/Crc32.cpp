#include "support/Crc32.h"

#include <array>

namespace qv {
namespace {

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1U) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = makeTable();

}  // namespace

std::uint32_t crc32Update(std::uint32_t crc, std::span<const std::uint8_t> bytes) {
    std::uint32_t c = ~crc;
    for (const std::uint8_t b : bytes)
        c = kTable[(c ^ b) & 0xFFU] ^ (c >> 8);
    return ~c;
}

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    return crc32Update(0, bytes);
}

}  // namespace qv
