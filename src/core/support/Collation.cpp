#include "support/Collation.h"

#include <cstdint>

#include "support/CodePage.h"

namespace qv {
namespace {

// The base letter (lower case) of a Latin-1 letter with an accent, or 0.
char latin1Base(char32_t c) {
    // U+00C0-U+00FF, '\0' where the character is no letter with a plain base.
    static const char kBase[] =
        "aaaaaaaceeeeiiii"     // C0-CF
        "dnooooo\0ouuuuy\0\0"  // D0-DF (D7 multiplication sign, DE thorn, DF sharp s)
        "aaaaaaaceeeeiiii"     // E0-EF
        "dnooooo\0ouuuuy\0y";  // F0-FF (F7 division sign, FE thorn)
    if (c < 0xC0 || c > 0xFF)
        return 0;
    return kBase[c - 0xC0];
}

struct Weights {
    std::string primary, secondary, tertiary;
};

void addLetter(Weights& w, char base, std::uint8_t accent, bool upper) {
    w.primary.push_back(static_cast<char>(0xA0 + (base - 'a')));
    w.secondary.push_back(static_cast<char>(accent));
    w.tertiary.push_back(static_cast<char>(upper ? 3 : 2));
}

}  // namespace

std::string collationKey(std::string_view utf8) {
    Weights w;
    w.primary.reserve(utf8.size() + 4);
    w.secondary.reserve(utf8.size());
    w.tertiary.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = decodeUtf8(utf8, pos);
        if (c >= 'a' && c <= 'z') {
            addLetter(w, static_cast<char>(c), 2, false);
        } else if (c >= 'A' && c <= 'Z') {
            addLetter(w, static_cast<char>(c - 'A' + 'a'), 2, true);
        } else if (c >= '0' && c <= '9') {
            w.primary.push_back(static_cast<char>(0x90 + (c - '0')));
        } else if (c < 0x80) {
            // Control characters, blanks and punctuation keep their ASCII order.
            w.primary.push_back(static_cast<char>(c + 2));
        } else if (c == 0xDF) {  // ß sorts as "ss"
            addLetter(w, 's', 3, false);
            addLetter(w, 's', 3, false);
        } else if (const char base = latin1Base(c); base != 0) {
            const bool upper = c < 0xE0;
            const char32_t lower = upper ? c + 0x20 : c;
            addLetter(w, base, static_cast<std::uint8_t>(3 + (lower - 0xE0)), upper);
        } else {
            // Everything else after the letters, by code point.
            w.primary.push_back(static_cast<char>(0xF0));
            appendUtf8(w.primary, c);
        }
    }
    // Weights are never below 2, so the separator 1 puts a shorter text first.
    std::string key = std::move(w.primary);
    key.reserve(key.size() + w.secondary.size() + w.tertiary.size() + 2);
    key += '\x01';
    key += w.secondary;
    key += '\x01';
    key += w.tertiary;
    return key;
}

int collate(std::string_view a, std::string_view b) {
    const int r = collationKey(a).compare(collationKey(b));
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

}  // namespace qv
