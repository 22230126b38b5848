#include "viewer/TokenTableCheck.h"

#include <algorithm>

#include "viewer/TokenTable.h"

namespace qv {
namespace {

std::string at(int col, int row) {
    return "Illegal Value in Col:" + std::to_string(col) + "; Row:" + std::to_string(row);
}

TokenTableFinding illegal(std::string message, int col, int row) {
    TokenTableFinding f;
    f.kind = TokenTableFinding::Kind::Illegal;
    f.message = std::move(message);
    f.cell = {col, row};
    return f;
}

bool noValue(const std::string& cell) {
    return cell.empty() || cell.find('-') != std::string::npos;
}

// Links: every chain of "Extension Of" ends at a column without a link, never in the
// special characters, never at a column that is no tokenset, never in a loop.
TokenTableFinding checkLinks(const TokenTable& t, int specialChars) {
    const int cols = t.colCount();
    for (int c = 1; c < cols; c += 2) {
        if (c == specialChars) {
            if (parseTableNumber(t.cell(c, tokenrow::ExtensionOf))) {
                return illegal("Extension of Special Chars not supported in Col:" +
                                   std::to_string(c) + "; Row:2",
                               c, tokenrow::ExtensionOf);
            }
            continue;
        }
        std::vector<int> visited;
        int x = c;
        // Every step adds a column to the visited list, so the walk meets a column
        // again after at most one step per code column.
        for (;;) {
            const auto link = parseTableNumber(t.cell(x, tokenrow::ExtensionOf));
            if (!link)
                break;
            if (*link < 1 || *link > cols)
                return illegal(at(x, tokenrow::ExtensionOf), x, tokenrow::ExtensionOf);
            if (*link % 2 == 0 || !parseTableNumber(t.cell(*link, tokenrow::Type))) {
                return illegal(at(x, tokenrow::ExtensionOf) + "\nNot linking to a Tokenset", x,
                               tokenrow::ExtensionOf);
            }
            if (*link == specialChars) {
                return illegal(at(x, tokenrow::ExtensionOf) +
                                   "\nLinking to the 'Special Chars' Tokenset not allowed",
                               x, tokenrow::ExtensionOf);
            }
            if (std::find(visited.begin(), visited.end(), x) != visited.end()) {
                TokenTableFinding f;
                f.kind = TokenTableFinding::Kind::Crosslink;
                f.message = crosslinkQuestion(t, c);
                f.cell = {x, tokenrow::Name};
                for (const int v : visited)
                    f.linkTable += std::to_string(v) + " ";
                f.linkTable += std::to_string(x) + " ";
                return f;
            }
            visited.push_back(x);
            x = *link;
        }
    }
    return {};
}

// Values: Prefix, Comment Token and the codes are numbers, the codes ascend and follow
// each other without an empty cell between them.
TokenTableFinding checkValues(const TokenTable& t, std::vector<TableCell>* normalised) {
    for (int c = 1; c < t.colCount(); c += 2) {
        bool gap = false;
        for (int r = tokenrow::ExtensionOf; r < t.rowCount(); ++r) {
            const std::string& cell = t.cell(c, r);
            if (noValue(cell)) {
                if (r <= tokenrow::DetokComment && cell != "-" && normalised)
                    normalised->push_back({c, r});
                if (r >= tokenrow::FirstToken && cell.empty())
                    gap = true;
                continue;
            }
            const bool numberRow =
                r == tokenrow::Prefix || r == tokenrow::CommentToken || r >= tokenrow::FirstToken;
            if (!numberRow)
                continue;
            const auto value = parseTableNumber(cell);
            if (!value)
                return illegal(at(c, r) + "\nNot a valid Hex or Integer Number", c, r);
            if (r <= tokenrow::FirstToken)
                continue;
            // The detokenizer's search ends at the first empty cell: a code below one
            // would never be found.
            if (gap)
                return illegal(at(c, r) + "\nTokens must not follow an empty cell", c, r);
            const auto previous = parseTableNumber(t.cell(c, r - 1));
            if (previous && *value <= *previous)
                return illegal(at(c, r) + "\nTokens must be ascending", c, r);
        }
    }
    return {};
}

}  // namespace

std::string crosslinkQuestion(const TokenTable& table, int col) {
    return "Tokenset Number " + std::to_string(col) + " (" + table.cell(col, tokenrow::Name) +
           ") has crosslinked Entries in the LinkTable.\nView LinkTable?";
}

TokenTableFinding checkTokenTable(const TokenTable& table, std::vector<TableCell>* normalised) {
    int specialChars = -1;
    for (int c = 1; c < table.colCount() && specialChars < 0; c += 2) {
        if (table.cell(c, tokenrow::Type) == "1")
            specialChars = c;
    }
    TokenTableFinding f = checkLinks(table, specialChars);
    if (!f.passed())
        return f;
    std::vector<TableCell> cells;
    f = checkValues(table, &cells);
    if (f.passed() && normalised)
        *normalised = std::move(cells);
    return f;
}

}  // namespace qv
