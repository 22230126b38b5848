#pragma once

// What the token table editor does to the grid: the clipboard's block of cells, emptying
// a selection, the whole table cleared, tokensets added and removed at the end, and the
// text of the colour legend.

#include <string>
#include <string_view>

#include "viewer/TokenTableCheck.h"

namespace qv {

class TokenTable;

// A block of cells, corners included.
struct CellRange {
    int left = 0;
    int top = 0;
    int right = -1;
    int bottom = -1;
    bool empty() const { return right < left || bottom < top; }
    int cellCount() const { return empty() ? 0 : (right - left + 1) * (bottom - top + 1); }
    friend bool operator==(const CellRange&, const CellRange&) = default;
};

// The block as clipboard text: the cells of a row joined by tabs, every row ending in
// lineEnd.
std::string copyCells(const TokenTable& table, const CellRange& range,
                      std::string_view lineEnd = "\r\n");

// Writes clipboard text from the cell start on: a tab moves to the next column, a line
// break (CR, CR LF or LF) to the next row back in the starting column, and the text
// after the last break fills the last cell; a line break at the very end of the text
// starts no further row. Cells outside the grid and the fixed row 0 and column 0 are
// left alone. Returns the block that was written.
CellRange pasteCells(TokenTable& table, TableCell start, std::string_view text);

// Empties the cells of the block that lie inside the grid.
void clearCells(TokenTable& table, const CellRange& range);
// Empties every cell; the grid keeps its size.
void clearTable(TokenTable& table);

// Two columns at the end, empty but for their own number in row 0.
void addTokenset(TokenTable& table);
// The last two columns go; a table of fewer than five columns keeps column 0 and one
// empty tokenset, numbered 1 and 2.
void deleteTokenset(TokenTable& table);

// The text of the colour example for a colour index: "Default" (index 0) or "Comment
// Token" (15), then the Name of every code column whose Color is the index, joined by
// ", "; "Example" when that leaves nothing.
std::string colourLegend(const TokenTable& table, int index);
// Whether an edit of this cell changes a legend (the Name or Color of a code column).
bool changesLegend(int col, int row);

}  // namespace qv
