#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The four styles of a generated header (page "ASCII File" of the options).
enum class HeaderStyleField { Header, Pre, Post, Footer };

// A style string expanded: the text it stands for and its width in characters
// (every token counted but RETURN, which is a line break).
struct HeaderStyle {
    std::string text;
    int width = 0;
    friend bool operator==(const HeaderStyle&, const HeaderStyle&) = default;
};

// The longest text a style may expand to. A header line this wide is already far
// beyond any use; the limit keeps a count such as 2000000000 in a damaged settings
// file from filling the memory.
inline constexpr int kMaxHeaderStyleLength = 32767;

// Parses a style string: items separated by commas (a missing final comma is
// added), alternating a decimal count and a token taken literally up to the next
// comma, blanks included. The token RETURN stands for CR LF. The text is every
// token repeated count times, in order.
//
// nullopt when a count is not a number (blanks around it are allowed, a sign is
// not) or when the text would be longer than kMaxHeaderStyleLength. An empty string
// is an empty style; a count at the very end without a token adds nothing.
std::optional<HeaderStyle> parseHeaderStyle(std::string_view style);

// The string that "DEFAULT" stands for in each field.
std::string_view defaultHeaderStyle(HeaderStyleField field);

// The message shown when a field does not parse.
std::string_view headerStyleFailureMessage(HeaderStyleField field);

// The field's value with "DEFAULT" replaced by the field's default string.
std::string resolveHeaderStyle(HeaderStyleField field, const std::string& value);

// What a field stands for: "DEFAULT" resolved, then parsed. nullopt when it does
// not parse; the caller then shows headerStyleFailureMessage and uses an empty
// style of width 0.
std::optional<HeaderStyle> expandHeaderStyle(HeaderStyleField field, const std::string& value);

}  // namespace qv
