#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "listing/PetsciiConversion.h"

namespace qv {

// The listing line of the common directory entry, made in one pass over its 32 bytes
// instead of through the decoded entry, the interpretation and the conversion: an entry
// that is no GEOS file and whose name holds neither a zero byte nor a control code. For
// such a name the interpretation changes nothing and the zero-run stop cannot apply, so
// the line is the block count, the converted name text, the blank and the type text.
class PlainEntryLine {
  public:
    // The longest line: "65535  ", 18 name characters, " " and a type such as "*PRG<",
    // and CR LF. It stays below the 40 columns that would break it.
    static constexpr std::size_t kMaxLength = 7 + 18 + 1 + 5 + 2;
    static_assert(kMaxLength - 2 < 40);

    PlainEntryLine(CharMode mode, bool convertEverything);

    // Writes the line of the slot's 32 bytes with its CR LF to out, which has room for
    // kMaxLength bytes, and returns its length; 0, when the entry is not one of the
    // common ones and must take the general way.
    std::size_t write(const std::uint8_t* slot, char* out) const;

    // The type text of a type byte, after its blank unless it begins with "*".
    struct TypeText {
        std::array<char, 6> bytes;
        std::uint8_t length;
    };

  private:
    const PetsciiTable& table_;
    // The table for the bytes after the switch, which lose bit 7 first.
    const PetsciiTable& low_;
    const std::array<TypeText, 256>& types_;
    // The table maps 0x20-0x5B onto themselves (Upper/Graphics does).
    bool keepsPlainRange_ = false;
};

}  // namespace qv
