#pragma once

#include <cstdint>
#include <vector>

namespace qv {

// Appends a 16- or 32-bit value low byte first, as Windows file formats store them.
inline void putLe16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void putLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    putLe16(out, v & 0xFFFF);
    putLe16(out, v >> 16);
}

}  // namespace qv
