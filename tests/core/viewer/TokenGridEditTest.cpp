#include "viewer/TokenGridEdit.h"

#include <gtest/gtest.h>

#include "viewer/TokenTable.h"

namespace qv {
namespace {

TokenTable defaultTable() {
    TokenTable t;
    t.fillDefaultTable(true);
    return t;
}

TEST(TokenGridClipboard, CopyThenPasteReproducesABlock) {
    TokenTable t = defaultTable();
    const std::string text = copyCells(t, {3, 8, 4, 9});
    EXPECT_EQ(text, "0x80\tend\r\n0x81\tfor\r\n");
    const std::string below = t.cell(17, 12);
    const CellRange written = pasteCells(t, {17, 10}, text);
    EXPECT_EQ(written, (CellRange{17, 10, 18, 11}));
    EXPECT_EQ(t.cell(17, 10), "0x80");
    EXPECT_EQ(t.cell(18, 10), "end");
    EXPECT_EQ(t.cell(17, 11), "0x81");
    EXPECT_EQ(t.cell(18, 11), "for");
    // The final line break starts no row: the cell under the block keeps its text.
    EXPECT_EQ(t.cell(17, 12), below);
}

TEST(TokenGridClipboard, PasteBreaksAndEdges) {
    struct Case {
        const char* name;
        const char* text;
        TableCell start;
        std::vector<std::pair<TableCell, std::string>> cells;
    } cases[] = {
        {"LF rows from another program",
         "a\tb\nc",
         {5, 8},
         {{{5, 8}, "a"}, {{6, 8}, "b"}, {{5, 9}, "c"}}},
        {"CR alone", "a\rb", {5, 8}, {{{5, 8}, "a"}, {{5, 9}, "b"}}},
        {"empty cells between tabs",
         "x\t\ty",
         {5, 8},
         {{{5, 8}, "x"}, {{6, 8}, ""}, {{7, 8}, "y"}}},
        {"clipped at the right edge", "p\tq\tr", {23, 8}, {{{23, 8}, "p"}, {{24, 8}, "q"}}},
        {"clipped at the bottom", "p\r\nq\r\nr", {5, 133}, {{{5, 133}, "p"}, {{5, 134}, "q"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TokenTable t = defaultTable();
        pasteCells(t, c.start, c.text);
        for (const auto& [cell, text] : c.cells)
            EXPECT_EQ(t.cell(cell.col, cell.row), text) << cell.col << "," << cell.row;
        EXPECT_EQ(t.colCount(), 25);
        EXPECT_EQ(t.rowCount(), 135);
    }
}

TEST(TokenGridClipboard, ALongLineOfThousandsOfCharactersIsOneCell) {
    TokenTable t = defaultTable();
    const std::string big(100000, 'k');
    pasteCells(t, {4, 8}, big);
    EXPECT_EQ(t.cell(4, 8), big);
}

TEST(TokenGridEdit, ClearingABlockAndTheTable) {
    TokenTable t = defaultTable();
    clearCells(t, {3, 8, 5, 9});
    for (int c = 3; c <= 5; ++c) {
        EXPECT_EQ(t.cell(c, 8), "");
        EXPECT_EQ(t.cell(c, 9), "");
    }
    EXPECT_EQ(t.cell(6, 8), "rgr");
    clearCells(t, {20, 130, 40, 200});  // partly outside the grid
    clearTable(t);
    EXPECT_EQ(t.colCount(), 25);
    EXPECT_EQ(t.rowCount(), 135);
    EXPECT_EQ(t.toCsv().find_first_not_of(",\r\n"), std::string::npos);
}

TEST(TokenGridEdit, TokensetsAddedAndDeletedAtTheEnd) {
    TokenTable t = defaultTable();
    addTokenset(t);
    EXPECT_EQ(t.colCount(), 27);
    EXPECT_EQ(t.cell(25, 0), "25");
    EXPECT_EQ(t.cell(26, 0), "26");
    EXPECT_EQ(t.cell(25, 1), "");
    deleteTokenset(t);
    deleteTokenset(t);
    EXPECT_EQ(t.colCount(), 23);
    EXPECT_EQ(t.cell(22, 0), "22");

    // Three columns: the tokenset is emptied, not removed.
    TokenTable three;
    three.resize(3, 10);
    three.setCell(1, 0, "7");
    three.setCell(1, 1, "BASIC");
    three.setCell(2, 8, "end");
    deleteTokenset(three);
    EXPECT_EQ(three.colCount(), 3);
    EXPECT_EQ(three.cell(1, 0), "1");
    EXPECT_EQ(three.cell(2, 0), "2");
    EXPECT_EQ(three.cell(1, 1), "");
    EXPECT_EQ(three.cell(2, 8), "");
}

TEST(TokenGridEdit, ColourLegend) {
    TokenTable t = defaultTable();
    EXPECT_EQ(colourLegend(t, 0), "Default");
    EXPECT_EQ(colourLegend(t, 15), "Comment Token");
    EXPECT_EQ(colourLegend(t, 4), "BASIC V7, (BASIC V7)");
    EXPECT_EQ(colourLegend(t, 6), "Simons BASIC, TSB, Final Cardridge 3, Graphics 52");
    EXPECT_EQ(colourLegend(t, 9), "Example");
    t.setCell(3, tokenrow::Color, "0");
    EXPECT_EQ(colourLegend(t, 0), "Default, BASIC V2");
    t.setCell(3, tokenrow::Color, "-");
    EXPECT_EQ(colourLegend(t, 0), "Default");
    EXPECT_TRUE(changesLegend(3, tokenrow::Name));
    EXPECT_TRUE(changesLegend(3, tokenrow::Color));
    EXPECT_FALSE(changesLegend(4, tokenrow::Name));
    EXPECT_FALSE(changesLegend(3, tokenrow::Type));
}

}  // namespace
}  // namespace qv
