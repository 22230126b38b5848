#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace qv {

// CRC-32 with the reflected polynomial 0xEDB88320, start value 0xFFFFFFFF and a final
// inversion: the checksum of zlib, PNG and ZIP ("123456789" gives 0xCBF43926).
std::uint32_t crc32(std::span<const std::uint8_t> bytes);

// Continues a checksum: crc32Update(crc32Update(0, a), b) equals the CRC of a then b.
std::uint32_t crc32Update(std::uint32_t crc, std::span<const std::uint8_t> bytes);

}  // namespace qv
