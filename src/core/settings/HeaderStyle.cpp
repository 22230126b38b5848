#include "settings/HeaderStyle.h"

#include <cstddef>

namespace qv {
namespace {

// A count: decimal digits, blanks allowed around them. nullopt for anything else.
std::optional<long long> parseCount(std::string_view item) {
    std::size_t b = 0, e = item.size();
    while (b < e && item[b] == ' ')
        ++b;
    while (e > b && item[e - 1] == ' ')
        --e;
    if (b == e)
        return std::nullopt;
    long long n = 0;
    for (std::size_t i = b; i < e; ++i) {
        const char c = item[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
        if (n > kMaxHeaderStyleLength)
            n = kMaxHeaderStyleLength + 1LL;  // too long anyway
    }
    return n;
}

}  // namespace

std::optional<HeaderStyle> parseHeaderStyle(std::string_view style) {
    HeaderStyle out;
    std::size_t pos = 0;
    while (pos < style.size()) {
        // The count, up to the next comma (or the end: the final comma is implied).
        std::size_t comma = style.find(',', pos);
        if (comma == std::string_view::npos)
            comma = style.size();
        const auto count = parseCount(style.substr(pos, comma - pos));
        if (!count)
            return std::nullopt;
        pos = comma + 1;
        if (pos >= style.size())
            break;  // a count without a token adds nothing

        comma = style.find(',', pos);
        if (comma == std::string_view::npos)
            comma = style.size();
        const std::string_view token = style.substr(pos, comma - pos);
        pos = comma + 1;

        const bool lineBreak = token == "RETURN";
        const std::string_view piece = lineBreak ? std::string_view("\r\n") : token;
        const long long grow = *count * static_cast<long long>(piece.size());
        if (static_cast<long long>(out.text.size()) + grow > kMaxHeaderStyleLength) {
            return std::nullopt;
        }
        for (long long i = 0; i < *count; ++i)
            out.text.append(piece);
        if (!lineBreak)
            out.width += static_cast<int>(grow);
    }
    return out;
}

std::string_view defaultHeaderStyle(HeaderStyleField field) {
    switch (field) {
        case HeaderStyleField::Header:
            return "78,-,1,RETURN";
        case HeaderStyleField::Pre:
            return "1,-,1, ";
        case HeaderStyleField::Post:
            return "1, ,1,-";
        case HeaderStyleField::Footer:
            return "1,RETURN,78,-";
    }
    return {};
}

std::string_view headerStyleFailureMessage(HeaderStyleField field) {
    switch (field) {
        case HeaderStyleField::Header:
            return "ListerOptions: Failed to parse Header Image String";
        case HeaderStyleField::Pre:
            return "ListerOptions: Failed to parse Pre Image Name String";
        case HeaderStyleField::Post:
            return "ListerOptions: Failed to parse Post Image Name String";
        case HeaderStyleField::Footer:
            return "ListerOptions: Failed to parse Footer Image String";
    }
    return {};
}

std::string resolveHeaderStyle(HeaderStyleField field, const std::string& value) {
    return value == "DEFAULT" ? std::string(defaultHeaderStyle(field)) : value;
}

std::optional<HeaderStyle> expandHeaderStyle(HeaderStyleField field, const std::string& value) {
    return parseHeaderStyle(resolveHeaderStyle(field, value));
}

}  // namespace qv
