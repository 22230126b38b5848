#include "viewer/TokenGridEdit.h"

#include <algorithm>

#include "viewer/TokenTable.h"

namespace qv {

std::string copyCells(const TokenTable& table, const CellRange& range, std::string_view lineEnd) {
    std::string out;
    for (int r = range.top; r <= range.bottom; ++r) {
        for (int c = range.left; c <= range.right; ++c) {
            if (c > range.left)
                out += '\t';
            out += table.cell(c, r);
        }
        out += lineEnd;
    }
    return out;
}

CellRange pasteCells(TokenTable& table, TableCell start, std::string_view text) {
    CellRange written{start.col, start.row, start.col - 1, start.row - 1};
    if (start.col < 1 || start.row < 1)
        return written;
    // A final line break ends the last row instead of starting another one.
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    int col = start.col;
    int row = start.row;
    std::size_t cellStart = 0;
    const auto put = [&](std::size_t end) {
        if (col < table.colCount() && row < table.rowCount()) {
            table.setCell(col, row, std::string(text.substr(cellStart, end - cellStart)));
            written.right = std::max(written.right, col);
            written.bottom = std::max(written.bottom, row);
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\t') {
            put(i);
            ++col;
            cellStart = i + 1;
        } else if (ch == '\r' || ch == '\n') {
            put(i);
            if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            col = start.col;
            ++row;
            cellStart = i + 1;
            // Rows below the grid take nothing.
            if (row >= table.rowCount())
                return written;
        }
    }
    put(text.size());
    return written;
}

void clearCells(TokenTable& table, const CellRange& range) {
    const int right = std::min(range.right, table.colCount() - 1);
    const int bottom = std::min(range.bottom, table.rowCount() - 1);
    for (int r = std::max(range.top, 0); r <= bottom; ++r) {
        for (int c = std::max(range.left, 0); c <= right; ++c) {
            if (!table.cell(c, r).empty())
                table.setCell(c, r, {});
        }
    }
}

void clearTable(TokenTable& table) {
    clearCells(table, {0, 0, table.colCount() - 1, table.rowCount() - 1});
}

void addTokenset(TokenTable& table) {
    const int cols = table.colCount();
    table.resize(cols + 2, std::max(table.rowCount(), 1));
    table.setCell(cols, tokenrow::Number, std::to_string(cols));
    table.setCell(cols + 1, tokenrow::Number, std::to_string(cols + 1));
}

void deleteTokenset(TokenTable& table) {
    const int cols = table.colCount();
    if (cols >= 5) {
        table.resize(cols - 2, table.rowCount());
        return;
    }
    table.resize(3, std::max(table.rowCount(), 1));
    clearCells(table, {1, 0, 2, table.rowCount() - 1});
    table.setCell(1, tokenrow::Number, "1");
    table.setCell(2, tokenrow::Number, "2");
}

std::string colourLegend(const TokenTable& table, int index) {
    std::string text = index == 0                            ? "Default"
                       : index == TokenTable::kCommentColour ? "Comment Token"
                                                             : "";
    for (int c = 1; c < table.colCount(); c += 2) {
        const std::string& colour = table.cell(c, tokenrow::Color);
        if (colour.find('-') != std::string::npos)
            continue;
        const auto value = parseTableNumber(colour);
        if (!value || *value != index)
            continue;
        if (!text.empty())
            text += ", ";
        text += table.cell(c, tokenrow::Name);
    }
    return text.empty() ? "Example" : text;
}

bool changesLegend(int col, int row) {
    return col % 2 == 1 && (row == tokenrow::Name || row == tokenrow::Color);
}

}  // namespace qv
