#include "bam/ErrorCodes.h"

#include <array>

namespace qv {
namespace {

struct ErrorEntry {
    std::uint8_t byte;
    int code;
    const char* text;
};

constexpr std::array<ErrorEntry, 11> kErrors{{
    {2, 20, "Read error, Header block not found"},
    {3, 21, "Seek error, No sync character"},
    {4, 22, "Read error, Data block not present"},
    {5, 23, "Read error, Checksum error in data block"},
    {6, 24, "Write error, Write verify (on format)"},
    {7, 25, "Write error, Write verify error"},
    {8, 26, "Write error, Write protect on"},
    {9, 27, "Seek error, Checksum error in header block"},
    {10, 28, "Write error, Write error"},
    {11, 29, "Seek error, Disk ID mismatch"},
    {15, 74, "Readerror, Disk Not Ready (no device 1)"},
}};

}  // namespace

int errorCodeForByte(std::uint8_t byte) {
    for (const ErrorEntry& e : kErrors) {
        if (e.byte == byte)
            return e.code;
    }
    return 0;
}

std::optional<std::string> errorText(int code) {
    for (const ErrorEntry& e : kErrors) {
        if (e.code == code)
            return std::string(e.text);
    }
    return std::nullopt;
}

}  // namespace qv
