#include "listing/PlainEntryLine.h"

#include <array>
#include <bit>
#include <cstring>

#include "listing/DirectoryReader.h"

namespace qv {
namespace {

// The type text of every type byte of a file that is no GEOS file, derived once from
// the reader's own rule.
const std::array<PlainEntryLine::TypeText, 256>& typeTexts() {
    static const std::array<PlainEntryLine::TypeText, 256> texts = [] {
        std::array<PlainEntryLine::TypeText, 256> t{};
        for (int b = 0; b < 256; ++b) {
            DirEntry e;
            e.typeByte = static_cast<std::uint8_t>(b);
            const std::string type = readTypeText(e);
            const std::string part = type.front() == '*' ? type : " " + type;
            PlainEntryLine::TypeText& text = t[static_cast<std::size_t>(b)];
            std::memcpy(text.bytes.data(), part.data(), part.size());
            text.length = static_cast<std::uint8_t>(part.size());
        }
        return t;
    }();
    return texts;
}

// Eight name bytes at a time. A name is plain when every byte has bit 5 or bit 6 set:
// no zero byte and no control code (bit 7 aside, below 0x20), before the switch or
// after it, where bit 7 is cleared anyway; the quote and 0xA0 pass.
constexpr std::uint64_t kEach(std::uint8_t b) {
    return 0x0101010101010101ull * b;
}

bool plainBytes(std::uint64_t w) {
    return ((w | (w << 1)) & kEach(0x40)) == kEach(0x40);
}

// Bit 7 of every byte of w that equals b, exact up to the first such byte.
std::uint64_t bytesEqual(std::uint64_t w, std::uint8_t b) {
    const std::uint64_t x = w ^ kEach(b);
    return (x - kEach(0x01)) & ~x & kEach(0x80);
}

// The index of the first quote or 0xA0 of the name, 16 without one.
int switchIndex(const std::uint8_t* name, std::uint64_t w0, std::uint64_t w1) {
    if constexpr (std::endian::native == std::endian::little) {
        if (const std::uint64_t m = bytesEqual(w0, 0x22) | bytesEqual(w0, 0xA0))
            return std::countr_zero(m) / 8;
        if (const std::uint64_t m = bytesEqual(w1, 0x22) | bytesEqual(w1, 0xA0))
            return 8 + std::countr_zero(m) / 8;
        return 16;
    } else {
        int i = 0;
        while (i < 16 && name[i] != 0x22 && name[i] != 0xA0)
            ++i;
        return i;
    }
}

// Whether every byte of w lies in 0x20-0x5B (bit 7 of each byte clear).
bool inPlainRange(std::uint64_t w) {
    const std::uint64_t atLeast20 = w + kEach(0x60);
    const std::uint64_t atLeast5C = w + kEach(0x24);
    return (atLeast20 & ~atLeast5C & kEach(0x80)) == kEach(0x80);
}

// The index of the first name byte with bit 7 set, 16 without one.
int firstBit7(const std::uint8_t* name, std::uint64_t w0, std::uint64_t w1) {
    if constexpr (std::endian::native == std::endian::little) {
        if (const std::uint64_t m = w0 & kEach(0x80))
            return std::countr_zero(m) / 8;
        if (const std::uint64_t m = w1 & kEach(0x80))
            return 8 + std::countr_zero(m) / 8;
        return 16;
    } else {
        int i = 0;
        while (i < 16 && (name[i] & 0x80) == 0)
            ++i;
        return i;
    }
}

// "%-3i  " for the block counts below 1000, five characters each.
constexpr std::array<std::array<char, 5>, 1000> kCounts = [] {
    std::array<std::array<char, 5>, 1000> t{};
    for (int v = 0; v < 1000; ++v) {
        std::array<char, 5>& s = t[static_cast<std::size_t>(v)];
        s = {' ', ' ', ' ', ' ', ' '};
        const int d = v >= 100 ? 3 : v >= 10 ? 2 : 1;
        for (int k = d - 1, x = v; k >= 0; --k, x /= 10)
            s[static_cast<std::size_t>(k)] = static_cast<char>('0' + x % 10);
    }
    return t;
}();

// petsciiTable of each byte without bit 7, for each mode and option.
const PetsciiTable& lowTable(CharMode mode, bool convertEverything) {
    static const std::array<PetsciiTable, 4> tables = [] {
        std::array<PetsciiTable, 4> t{};
        for (int i = 0; i < 4; ++i) {
            const PetsciiTable& full = petsciiTable(
                (i & 1) ? CharMode::UpperLower : CharMode::UpperGraphics, (i & 2) != 0);
            for (int c = 0; c < 256; ++c)
                t[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] =
                    full[static_cast<std::size_t>(c & 0x7F)];
        }
        return t;
    }();
    return tables[(mode == CharMode::UpperLower ? 1u : 0u) + (convertEverything ? 2u : 0u)];
}

}  // namespace

PlainEntryLine::PlainEntryLine(CharMode mode, bool convertEverything)
    : table_(petsciiTable(mode, convertEverything)),
      low_(lowTable(mode, convertEverything)),
      types_(typeTexts()) {
    keepsPlainRange_ = true;
    for (int c = 0x20; c <= 0x5B; ++c)
        keepsPlainRange_ = keepsPlainRange_ && table_[static_cast<std::size_t>(c)] == c;
}

std::size_t PlainEntryLine::write(const std::uint8_t* slot, char* out) const {
    const std::uint8_t type = slot[2];
    const std::uint8_t geosType = slot[24];
    // A GEOS file (a CBM type up to REL with a GEOS type that has a name) has its own
    // conversion and goes to the catalogue.
    if (type != 0 && (type & 7) <= 4 && geosType >= 1 && geosType <= 14)
        return 0;
    const PetsciiTable& table = table_;
    const std::uint8_t* name = slot + 5;
    char* o = out;

    // The block count, "%-3i  ".
    const unsigned blocks = static_cast<unsigned>(slot[30] | (slot[31] << 8));
    if (blocks < 1000) {
        std::memcpy(o, kCounts[blocks].data(), 5);
        o += 5;
    } else {
        char digits[5];
        int d = 0;
        for (unsigned v = blocks; v != 0; v /= 10)
            digits[d++] = static_cast<char>('0' + v % 10);
        while (d > 0)
            *o++ = digits[--d];
        *o++ = ' ';
        *o++ = ' ';
    }

    // The name text: a quote, the bytes up to the quote or 0xA0 that switches, a
    // quote for that one, the rest without bit 7, and a closing quote or blank.
    std::uint64_t w0 = 0, w1 = 0;
    std::memcpy(&w0, name, 8);
    std::memcpy(&w1, name + 8, 8);
    if (!plainBytes(w0) || !plainBytes(w1))
        return 0;
    const int switchAt = switchIndex(name, w0, w1);
    const char quote = static_cast<char>(table[0x22]);
    *o++ = quote;
    if (firstBit7(name, w0, w1) >= switchAt) {
        // No byte before the switch has bit 7, so every byte converts as one without
        // it; the switch becomes the quote.
        const std::uint64_t v0 = w0 & kEach(0x7F), v1 = w1 & kEach(0x7F);
        if (keepsPlainRange_ && inPlainRange(v0) && inPlainRange(v1)) {
            // Blanks, digits, signs and capitals that the table keeps as they are.
            std::memcpy(o, &v0, 8);
            std::memcpy(o + 8, &v1, 8);
        } else {
            const PetsciiTable& low = low_;
#pragma GCC unroll 16
            for (int i = 0; i < 16; ++i)
                o[i] = static_cast<char>(low[name[i]]);
        }
    } else {
        for (int i = 0; i < switchAt; ++i)
            o[i] = static_cast<char>(table[name[i]]);
        for (int i = switchAt + 1; i < 16; ++i)
            o[i] = static_cast<char>(table[name[i] & 0x7F]);
    }
    o[switchAt] = quote;
    o[16] = switchAt < 16 ? static_cast<char>(table[0x20]) : quote;
    o += 17;

    const TypeText& typeText = types_[type];
    std::memcpy(o, typeText.bytes.data(), typeText.bytes.size());
    o += typeText.length;
    *o++ = '\r';
    *o++ = '\n';
    return static_cast<std::size_t>(o - out);
}

}  // namespace qv
