#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// Start of the error-info area: one byte per block behind the last block.
inline constexpr int kErrorArea35 = 0x2AB00;  // behind 683 blocks (175531-byte images)
inline constexpr int kErrorArea40 = 0x30000;  // behind 768 blocks (197376-byte images)

// The DOS error code an error-info byte records: 20-29 for the bytes 2-11, 74 for 15,
// and 0 (no error) for every other byte, 0 and 1 included.
int errorCodeForByte(std::uint8_t byte);

// The text of a DOS error code, none for a code the table does not know.
std::optional<std::string> errorText(int code);

}  // namespace qv
