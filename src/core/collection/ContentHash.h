#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace qv {

// A 128-bit content hash (XXH3): the identity of a file's bytes and of a whole disk
// in the collection index. Not cryptographic: it tells copies apart from other files
// of a collection, it does not defend against a forger.
struct ContentHash {
    std::array<std::uint8_t, 16> bytes{};
    friend bool operator==(const ContentHash&, const ContentHash&) = default;

    // 32 lower-case hex digits, high byte first.
    std::string hex() const;
};

ContentHash hashBytes(std::span<const std::uint8_t> data);

}  // namespace qv
