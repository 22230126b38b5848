#pragma once

// The consistency check the token table editor runs before its OK takes a table: the
// links between tokensets ("Extension Of") must lead to tokensets without loops, the
// number cells must hold numbers and the codes of every tokenset must ascend. The
// detokenizer's lookups rely on all three.

#include <string>
#include <vector>

namespace qv {

class TokenTable;

// A cell of the token table, (column, row) as in the grid; -1 for none.
struct TableCell {
    int col = -1;
    int row = -1;
    bool valid() const { return col >= 0 && row >= 0; }
    friend bool operator==(const TableCell&, const TableCell&) = default;
};

struct TokenTableFinding {
    enum class Kind {
        None,       // the table passed
        Illegal,    // a plain finding: message, marked cell
        Crosslink,  // a loop in the links: the question, then the visited tokensets
    };
    Kind kind = Kind::None;
    std::string message;
    TableCell cell;
    // Crosslink: the tokensets the walk visited, then the one it met again, each
    // followed by a blank ("3 9 3 ").
    std::string linkTable;

    bool passed() const { return kind == Kind::None; }
};

// Checks the table as it stands; the first finding ends the check. The special-
// characters tokenset is the first code column of Type "1" in the grid (not the one
// of the last index). When the table passes, `normalised` lists the header cells of
// rows 2 to 7 that are empty and are to be written as "-".
TokenTableFinding checkTokenTable(const TokenTable& table, std::vector<TableCell>* normalised);

// The question of a crosslink finding ("Tokenset Number 3 (BASIC V2) has crosslinked
// Entries in the LinkTable.\nView LinkTable?").
std::string crosslinkQuestion(const TokenTable& table, int col);

}  // namespace qv
