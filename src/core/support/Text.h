#pragma once

#include <string>
#include <string_view>

namespace qv {

// The text with the letters a-z in upper case; every other byte stays as it is (GEOS
// class and type texts, file extensions).
inline std::string upperAscii(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The text without the blanks at its start and end (only ' ').
inline std::string trimBlanks(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text without the characters of `blanks` at its end.
inline std::string trimEnd(std::string text, std::string_view blanks = " ") {
    text.erase(text.find_last_not_of(blanks) + 1);
    return text;
}

inline bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace qv
