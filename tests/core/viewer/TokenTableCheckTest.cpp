#include "viewer/TokenTableCheck.h"

#include <gtest/gtest.h>

#include <functional>

#include "viewer/TokenTable.h"

namespace qv {
namespace {

TokenTable defaultTable() {
    TokenTable t;
    t.fillDefaultTable(true);
    return t;
}

TEST(TokenTableCheck, TheDefaultTablePasses) {
    TokenTable t = defaultTable();
    std::vector<TableCell> normalised;
    EXPECT_TRUE(checkTokenTable(t, &normalised).passed());
    EXPECT_TRUE(normalised.empty());
}

TEST(TokenTableCheck, FindingsAndTheirCells) {
    using Kind = TokenTableFinding::Kind;
    struct Case {
        const char* name;
        std::function<void(TokenTable&)> edit;
        Kind kind;
        std::string message;
        TableCell cell;
        std::string linkTable;
    } cases[] = {
        {"self link",
         [](TokenTable& t) { t.setCell(5, 2, "5"); },
         Kind::Crosslink,
         "Tokenset Number 5 (BASIC V3.5) has crosslinked Entries in the LinkTable.\nView "
         "LinkTable?",
         {5, 1},
         "5 5 "},
        {"loop 3 to 9 and back",
         [](TokenTable& t) { t.setCell(3, 2, "9"); },
         Kind::Crosslink,
         "Tokenset Number 3 (BASIC V2) has crosslinked Entries in the LinkTable.\nView "
         "LinkTable?",
         {3, 1},
         "3 9 5 3 "},
        {"even link",
         [](TokenTable& t) { t.setCell(5, 2, "2"); },
         Kind::Illegal,
         "Illegal Value in Col:5; Row:2\nNot linking to a Tokenset",
         {5, 2},
         ""},
        {"link to a column without Type",
         [](TokenTable& t) { t.setCell(7, 3, "-"); },
         Kind::Illegal,
         "Illegal Value in Col:11; Row:2\nNot linking to a Tokenset",
         {11, 2},
         ""},
        {"link to the special characters",
         [](TokenTable& t) { t.setCell(21, 2, "1"); },
         Kind::Illegal,
         "Illegal Value in Col:21; Row:2\nLinking to the 'Special Chars' Tokenset not allowed",
         {21, 2},
         ""},
        {"link to 99",
         [](TokenTable& t) { t.setCell(17, 2, "99"); },
         Kind::Illegal,
         "Illegal Value in Col:17; Row:2",
         {17, 2},
         ""},
        {"link to 0",
         [](TokenTable& t) { t.setCell(17, 2, "0"); },
         Kind::Illegal,
         "Illegal Value in Col:17; Row:2",
         {17, 2},
         ""},
        {"special characters extending",
         [](TokenTable& t) { t.setCell(1, 2, "3"); },
         Kind::Illegal,
         "Extension of Special Chars not supported in Col:1; Row:2",
         {1, 2},
         ""},
        {"0x80 0x81 0x81",
         [](TokenTable& t) { t.setCell(3, 9, "0x80"); },  // row 8 0x80, row 9 0x80
         Kind::Illegal,
         "Illegal Value in Col:3; Row:9\nTokens must be ascending",
         {3, 9},
         ""},
        {"0xZZ prefix",
         [](TokenTable& t) { t.setCell(7, 5, "0xZZ"); },
         Kind::Illegal,
         "Illegal Value in Col:7; Row:5\nNot a valid Hex or Integer Number",
         {7, 5},
         ""},
        {"comment token no number",
         [](TokenTable& t) { t.setCell(3, 6, "rem"); },
         Kind::Illegal,
         "Illegal Value in Col:3; Row:6\nNot a valid Hex or Integer Number",
         {3, 6},
         ""},
        {"code no number",
         [](TokenTable& t) { t.setCell(23, 20, "0x1G"); },
         Kind::Illegal,
         "Illegal Value in Col:23; Row:20\nNot a valid Hex or Integer Number",
         {23, 20},
         ""},
        {"code below an empty cell",
         [](TokenTable& t) { t.setCell(13, 10, ""); },
         Kind::Illegal,
         "Illegal Value in Col:13; Row:11\nTokens must not follow an empty cell",
         {13, 11},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TokenTable t = defaultTable();
        c.edit(t);
        const std::string before = t.toCsv();
        std::vector<TableCell> normalised{{9, 9}};
        const TokenTableFinding f = checkTokenTable(t, &normalised);
        EXPECT_EQ(f.kind, c.kind);
        EXPECT_EQ(f.message, c.message);
        EXPECT_EQ(f.cell, c.cell);
        EXPECT_EQ(f.linkTable, c.linkTable);
        // A failed check changes nothing.
        EXPECT_EQ(t.toCsv(), before);
        EXPECT_EQ(normalised.size(), 1u);
    }
}

TEST(TokenTableCheck, TheSecondOfTwoEqualCodesIsReported) {
    TokenTable t = defaultTable();
    t.setCell(3, 8, "0x80");
    t.setCell(3, 9, "0x81");
    t.setCell(3, 10, "0x81");
    const TokenTableFinding f = checkTokenTable(t, nullptr);
    EXPECT_EQ(f.message, "Illegal Value in Col:3; Row:10\nTokens must be ascending");
}

TEST(TokenTableCheck, EmptyHeaderCellsBecomeDashesWhenTheTablePasses) {
    TokenTable t = defaultTable();
    t.setCell(7, 5, "");     // Prefix
    t.setCell(17, 7, "");    // Detok Comment
    t.setCell(19, 4, "-3");  // contains "-": no number test, written as "-"
    std::vector<TableCell> normalised;
    ASSERT_TRUE(checkTokenTable(t, &normalised).passed());
    EXPECT_EQ(normalised, (std::vector<TableCell>{{7, 5}, {17, 7}, {19, 4}}));
}

TEST(TokenTableCheck, LoopsAreFoundWhateverTheirLength) {
    // Every code column links to the next one and the last back to the first that is
    // no special-characters set: the walk must end with the loop found.
    TokenTable t = defaultTable();
    for (int c = 3; c < 23; c += 2)
        t.setCell(c, 2, std::to_string(c + 2));
    t.setCell(23, 2, "3");
    const TokenTableFinding f = checkTokenTable(t, nullptr);
    EXPECT_EQ(f.kind, TokenTableFinding::Kind::Crosslink);
    EXPECT_EQ(f.linkTable, "3 5 7 9 11 13 15 17 19 21 23 3 ");
}

}  // namespace
}  // namespace qv
