#pragma once

#include <cstdint>
#include <span>

namespace qv {

// CRC-32 with the reflected polynomial 0xEDB88320, start value 0xFFFFFFFF and final
// inversion (the CRC of zlib and PNG). Pass the result of one call as `crc` to continue
// over further bytes.
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

}  // namespace qv
