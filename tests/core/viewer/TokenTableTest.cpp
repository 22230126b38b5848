#include "viewer/TokenTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/viewer/ViewerFakes.h"
#include "settings/IniFile.h"
#include "support/Colour.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

TokenTable fullTable(test::ScriptedHost* host = nullptr) {
    TokenTable t(host ? &host->dialogs : nullptr);
    t.fillDefaultTable(true);
    t.rebuildTokenIndex(0, true);
    return t;
}

fs::path tempDir() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("qv_tokentable_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(TokenTableNumbers, ParsesTheFormsCellsUse) {
    struct Case {
        const char* cell;
        std::optional<int> value;
    } cases[] = {
        {"0x8F", 0x8F},         {"0X8F", 0x8F},
        {"$8F", 0x8F},          {"x8F", 0x8F},
        {"X8f", 0x8F},          {"143", 143},
        {"  12", 12},           {"-5", -5},
        {"-0x10", -16},         {"", std::nullopt},
        {"-", std::nullopt},    {"0x", std::nullopt},
        {"12 ", std::nullopt},  {"1a", std::nullopt},
        {"0x8G", std::nullopt}, {"99999999999", std::nullopt},
        {"(1)", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseTableNumber(c.cell), c.value) << c.cell;
    EXPECT_EQ(formatTokenCode(0x8F), "0x8F");
    EXPECT_EQ(formatTokenCode(5), "0x05");
}

TEST(TokenTableDefault, StartUpStateHasOnlyBasicV2) {
    const TokenTable t;
    EXPECT_EQ(t.basicV2Set(), 3);
    EXPECT_EQ(t.tokenStop(3), 84);
    EXPECT_EQ(t.keywordForV2Byte(0x99), "print");
    EXPECT_EQ(t.keywordForV2Byte(0x80), "end");
    EXPECT_EQ(t.keywordForV2Byte(0xCB), "go");
    EXPECT_EQ(t.keywordForV2Byte(0xFF), "{pi}");
    EXPECT_EQ(t.keywordForV2Byte(0xCC), std::nullopt);
    EXPECT_EQ(t.keywordForV2Byte(0x41), std::nullopt);
    EXPECT_TRUE(t.cell(1, tokenrow::Name).empty());  // nothing else is filled
    EXPECT_TRUE(t.cell(5, 8).empty());
    EXPECT_FALSE(t.fullyLoaded());
}

TEST(TokenTableDefault, EveryTokensetAsBuiltIn) {
    const TokenTable t = fullTable();
    EXPECT_EQ(t.colCount(), 25);
    EXPECT_EQ(t.rowCount(), 135);
    struct Set {
        int col;
        const char* name;
        const char* ext;
        const char* type;
        const char* color;
        const char* prefix;
        int count;
        const char* firstCode;
        const char* firstText;
        const char* lastCode;
        const char* lastText;
    } sets[] = {
        {1, "Special Chars", "-", "1", "1", "-", 36, "0x05", "{white}", "0x9F", "{cyan}"},
        {3, "BASIC V2", "-", "2", "2", "-", 77, "0x80", "end", "0xFF", "{pi}"},
        {5, "BASIC V3.5", "3", "3", "3", "-", 50, "0xCC", "rgr", "0xFD", "while"},
        {7, "BASIC V7", "9", "4", "4", "0xCE", 9, "0x02", "pot", "0x0A", "pointer"},
        {9, "(BASIC V7)", "5", "4", "4", "0xFE", 35, "0x02", "bank", "0x26", "slow"},
        {11, "BASIC V7.1", "7", "7", "5", "0xFE", 17, "0x27", "cwind", "0x37", "merge"},
        {13, "BASIC V10", "15", "7", "5", "0xCE", 4, "0xE3", "paste", "0xEE", "dir"},
        {15, "(BASIC V10)", "7", "7", "5", "0xFE", 26, "0x1F", "dma", "0x3D", "highlight"},
        {17, "Simons BASIC", "3", "5", "6", "0x64", 127, "0x01", "hires", "0x7F", "out"},
        {19, "TSB", "3", "5", "6", "0x64", 127, "0x01", "hires", "0x7F", "out"},
        {21, "Final Cardridge 3", "3", "5", "6", "-", 29, "0xCC", "off", "0xE8", "mwrite"},
        {23, "Graphics 52", "3", "5", "6", "-", 51, "0xCC", "screen", "0xFE", "point("},
    };
    for (const Set& s : sets) {
        SCOPED_TRACE(s.name);
        EXPECT_EQ(t.cell(s.col, 0), std::to_string(s.col));
        EXPECT_EQ(t.cell(s.col + 1, 0), std::to_string(s.col + 1));
        EXPECT_EQ(t.cell(s.col, tokenrow::Name), s.name);
        EXPECT_EQ(t.cell(s.col, tokenrow::ExtensionOf), s.ext);
        EXPECT_EQ(t.cell(s.col, tokenrow::Type), s.type);
        EXPECT_EQ(t.cell(s.col, tokenrow::Color), s.color);
        EXPECT_EQ(t.cell(s.col, tokenrow::Prefix), s.prefix);
        for (int r = 1; r <= 7; ++r)
            EXPECT_EQ(t.cell(s.col + 1, r), "-");
        EXPECT_EQ(t.tokenStop(s.col), 8 + s.count - 1);
        EXPECT_EQ(t.cell(s.col, 8), s.firstCode);
        EXPECT_EQ(t.cell(s.col + 1, 8), s.firstText);
        EXPECT_EQ(t.cell(s.col, 8 + s.count - 1), s.lastCode);
        EXPECT_EQ(t.cell(s.col + 1, 8 + s.count - 1), s.lastText);
        // Codes strictly ascending, each with a text.
        for (int r = 9; r < 8 + s.count; ++r) {
            EXPECT_LT(*parseTableNumber(t.cell(s.col, r - 1)), *parseTableNumber(t.cell(s.col, r)));
            EXPECT_FALSE(t.cell(s.col + 1, r).empty());
        }
    }
    EXPECT_EQ(t.cell(3, tokenrow::CommentToken), "0x8F");
    EXPECT_EQ(t.cell(3, tokenrow::DetokComment), "1");
    EXPECT_EQ(t.cell(0, 7), "Detok Comment");
    EXPECT_EQ(t.cell(0, 8), "1");
    EXPECT_EQ(t.cell(0, 134), "127");
    // TSB differs from Simons BASIC in two texts.
    EXPECT_EQ(t.cell(18, 8 + 0x22 - 1), ">>");
    EXPECT_EQ(t.cell(20, 8 + 0x22 - 1), "do");
    EXPECT_EQ(t.cell(20, 8 + 0x54 - 1), "d!");
    EXPECT_EQ(t.cell(18, 8 + 0x54 - 1), ">>");
    // Spot checks inside the lists.
    EXPECT_EQ(t.cell(4, *t.findToken(3, 0x99)), "print");
    EXPECT_EQ(t.cell(10, *t.findToken(9, 0x21)), "fetch");
    EXPECT_EQ(t.cell(2, *t.findToken(1, 0x20)), "{space}");
    EXPECT_EQ(t.cell(2, *t.findToken(1, 0x81)), "{orange}");
}

TEST(TokenTableDefault, ModeListAndLinkTables) {
    test::ScriptedHost host;
    const TokenTable t = fullTable(&host);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(t.specialCharsSet(), 1);
    EXPECT_EQ(t.basicV2Set(), 3);
    const std::vector<std::string> modes = {"BASIC V2",   "BASIC V3.5",        "BASIC V7",
                                            "BASIC V7.1", "BASIC V10",         "Simons BASIC",
                                            "TSB",        "Final Cardridge 3", "Graphics 52"};
    EXPECT_EQ(t.modeList(), modes);
    const std::vector<LinkTable> links = {
        {3},     {5, 3},  {7, 9, 5, 3}, {11, 7, 9, 5, 3}, {13, 15, 7, 9, 5, 3},
        {17, 3}, {19, 3}, {21, 3},      {23, 3}};
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(t.buildLinkTable(static_cast<int>(i), true), links[i]) << modes[i];
    }
    EXPECT_EQ(t.buildLinkTable(4, false), (LinkTable{7, 9, 5, 3}));
    EXPECT_EQ(t.buildLinkTable(5, false), (LinkTable{17, 3}));
    EXPECT_TRUE(host.messages.empty());
}

TEST(TokenTableLinks, FailuresAreReported) {
    test::ScriptedHost host;
    TokenTable t = fullTable(&host);
    EXPECT_TRUE(t.buildLinkTable(-1, true).empty());
    EXPECT_TRUE(t.buildLinkTable(12, true).empty());
    EXPECT_TRUE(t.buildLinkTable(9, false).empty());
    EXPECT_TRUE(t.buildLinkTable(1, false).empty());  // the special characters are no mode
    ASSERT_EQ(host.messages.size(), 4u);
    EXPECT_EQ(host.messages[0], "TokenTable: No Token Entries found...Can't detokenize!");
    EXPECT_EQ(host.messages[1], "TokenTable: ItemIndex 12 not found...Can't detokenize!");
    EXPECT_EQ(host.messages[2], "TokenTable: Type 9 not found...Can't detokenize!");
    EXPECT_EQ(host.messages[3], "TokenTable: Type 1 not found...Can't detokenize!");

    // Type cells are compared as text.
    t.setCell(3, tokenrow::Type, "02");
    t.rebuildTokenIndex(0, true);
    EXPECT_EQ(t.basicV2Set(), -1);
    EXPECT_TRUE(t.buildLinkTable(2, false).empty());

    // A loop of links ends after as many steps as there are code columns.
    t.setCell(3, tokenrow::ExtensionOf, "5");
    const LinkTable loop = t.buildLinkTable(1, true);  // BASIC V3.5 -> 3 -> 5 -> 3 ...
    EXPECT_EQ(loop.size(), 1u + 12u);
    EXPECT_EQ(loop[0], 5);
    EXPECT_EQ(loop[1], 3);
    EXPECT_EQ(loop[2], 5);

    // Links that are even, out of range or no number end the chain.
    for (const char* ext : {"4", "25", "-3", "abc", "0"}) {
        t.setCell(5, tokenrow::ExtensionOf, ext);
        EXPECT_EQ(t.buildLinkTable(1, true), LinkTable{5}) << ext;
    }
}

TEST(TokenTableIndex, RememberedModeAndMissingTokensets) {
    test::ScriptedHost host;
    TokenTable t(&host.dialogs);
    t.fillDefaultTable(true);
    EXPECT_EQ(t.rebuildTokenIndex(12, true), 0);
    EXPECT_EQ(t.rebuildTokenIndex(8, true), 8);
    EXPECT_EQ(t.rebuildTokenIndex(-1, true), 0);
    EXPECT_TRUE(host.messages.empty());

    t.setCell(1, tokenrow::Type, "-");  // no special characters
    t.setCell(3, tokenrow::Type, "5");  // no BASIC V2
    t.rebuildTokenIndex(0, false);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "TokenTable: No BASIC V2 Keyword Table found (Type 2)...\nBASIC V2 Keywords can't "
              "be displayed!");
    host.messages.clear();
    t.rebuildTokenIndex(0, true);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0],
              "TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars can't be "
              "displayed!");
    EXPECT_EQ(t.specialCharsSet(), -1);
    EXPECT_EQ(t.keywordForV2Byte(0x99), std::nullopt);
}

TEST(TokenTableSearch, BinarySearchOverCells) {
    TokenTable t = fullTable();
    EXPECT_EQ(t.findToken(3, 0xFF), 84);
    EXPECT_EQ(t.findToken(3, 0xCC), std::nullopt);
    EXPECT_EQ(t.findToken(3, 0x80), 8);
    EXPECT_EQ(t.findToken(3, 0x7F), std::nullopt);
    EXPECT_EQ(t.findToken(1, 0x15), std::nullopt);  // between 0x14 and 0x1C
    EXPECT_EQ(t.findToken(1, 0x1C), 13);
    EXPECT_EQ(t.findToken(99, 0x80), std::nullopt);  // no such column
    // An empty tokenset and a cell that is not a number find nothing.
    t.setCell(21, 8, "");
    t.rebuildTokenIndex(0, true);
    EXPECT_EQ(t.findToken(21, 0xCC), std::nullopt);
    t.setCell(23, 30, "junk");
    EXPECT_EQ(t.findToken(23, 0xE2), std::nullopt);
    EXPECT_EQ(t.findToken(23, 0xCC), 8);
}

TEST(TokenTableCsv, DefaultTableRoundTripsByteForByte) {
    const TokenTable t = fullTable();
    const std::string csv = t.toCsv();
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Number,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24");
    const std::size_t nameStart = csv.find("\r\n") + 2;
    EXPECT_EQ(csv.substr(nameStart, 64),
              "Name,\"Special Chars\",-,\"BASIC V2\",-,\"BASIC V3.5\",-,\"BASIC V7\",-,");
    EXPECT_NE(csv.find("\r\n1,0x05,{white},0x80,end,0xCC,rgr,0x02,pot,"), std::string::npos);
    EXPECT_NE(csv.find(",\"{reverse on}\","), std::string::npos);

    TokenTable back;
    ASSERT_TRUE(back.fromCsv(csv));
    EXPECT_EQ(back.colCount(), t.colCount());
    EXPECT_EQ(back.rowCount(), t.rowCount());
    for (int r = 0; r < t.rowCount(); ++r) {
        for (int c = 0; c < t.colCount(); ++c)
            ASSERT_EQ(back.cell(c, r), t.cell(c, r)) << c << "," << r;
    }
    EXPECT_EQ(back.toCsv(), csv);
}

TEST(TokenTableCsv, SeparatorsAndQuoting) {
    const TokenTable t = fullTable();
    const std::string comma = t.toCsv();
    for (const char sep : {';', '\t'}) {
        std::string other = comma;
        bool quoted = false;
        for (char& ch : other) {
            if (ch == '"')
                quoted = !quoted;
            if (ch == ',' && !quoted)
                ch = sep;
        }
        TokenTable back;
        ASSERT_TRUE(back.fromCsv(other));
        EXPECT_EQ(back.toCsv(), comma) << int(sep);
    }

    TokenTable q;
    ASSERT_TRUE(q.fromCsv("A;B;C\n\"x;\"\"y\"\"\";;\"\"\nab\"c;d\"e;f\n"));
    EXPECT_EQ(q.colCount(), 3);
    EXPECT_EQ(q.rowCount(), 3);
    EXPECT_EQ(q.cell(0, 1), "x;\"y\"");
    EXPECT_EQ(q.cell(1, 1), "");
    EXPECT_EQ(q.cell(2, 1), "");
    EXPECT_EQ(q.cell(0, 2), "abc;de");
    EXPECT_EQ(q.cell(1, 2), "f");
    // Writing quotes cells with blanks, commas, quotes and control characters.
    q.setCell(0, 0, "a b");
    q.setCell(1, 0, "a,b");
    q.setCell(2, 0, "tab\there");
    EXPECT_EQ(q.toCsv().substr(0, q.toCsv().find("\r\n")), "\"a b\",\"a,b\",\"tab\there\"");
    EXPECT_EQ(q.toCsv().substr(q.toCsv().find("\r\n") + 2, 13), "\"x;\"\"y\"\"\",,\r\n");

    // A one-column row of an empty cell is written as two quotes.
    TokenTable one;
    ASSERT_TRUE(one.fromCsv("Title\n\nx\n"));
    EXPECT_EQ(one.colCount(), 1);
    EXPECT_EQ(one.toCsv(), "Title\r\n\"\"\r\nx\r\n");
}

TEST(TokenTableCsv, IrregularFilesStayInsideTheGrid) {
    TokenTable t;
    // Lines longer and shorter than the first; a first line without any separator.
    ASSERT_TRUE(t.fromCsv("Number,1,2\r\nName,a,b,c,d,e\r\nType\r\n"));
    EXPECT_EQ(t.colCount(), 3);
    EXPECT_EQ(t.cell(2, 1), "b");
    EXPECT_EQ(t.cell(3, 1), "");  // dropped
    EXPECT_EQ(t.cell(1, 2), "");
    ASSERT_TRUE(t.fromCsv("OnlyOneColumn\r\nsecond"));
    EXPECT_EQ(t.colCount(), 1);
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_FALSE(t.fromCsv(""));
    // A huge first line times many lines is refused instead of allocating the grid.
    EXPECT_FALSE(t.fromCsv(std::string(40000, ',') + std::string(100, '\n')));
}

TEST(TokenTableCsv, FilesAndTheirFailures) {
    const fs::path dir = tempDir();
    test::ScriptedHost host;
    TokenTable t(&host.dialogs);
    t.fillDefaultTable(true);
    ASSERT_TRUE(t.saveTokenTableCsv((dir / "t.csv").string()));
    EXPECT_EQ(test::readFile(dir / "t.csv"), t.toCsv());

    TokenTable u(&host.dialogs);
    test::writeFile(dir / "small.csv",
                    "Number;1;2\nName;Mine;-\nExtension Of;-;-\nType;2;-\n"
                    "Color;3;-\nPrefix;-;-\nComment Token;-;-\nDetok Comment;-;-\n"
                    "1;0x99;say\n");
    ASSERT_TRUE(u.loadTokenTableCsv((dir / "small.csv").string()));
    u.rebuildTokenIndex(0, false);
    EXPECT_EQ(u.modeList(), std::vector<std::string>{"Mine"});
    EXPECT_EQ(u.keywordForV2Byte(0x99), "say");
    EXPECT_TRUE(host.messages.empty());

    EXPECT_FALSE(u.loadTokenTableCsv((dir / "missing.csv").string()));
    test::writeFile(dir / "empty.csv", "");
    EXPECT_FALSE(u.loadTokenTableCsv((dir / "empty.csv").string()));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0],
              "TokenTable: Failed to load Token Table File...using Default Table");
    EXPECT_EQ(u.toCsv(), t.toCsv());  // the default table replaced the grid

    EXPECT_FALSE(t.saveTokenTableCsv((dir / "no" / "such" / "t.csv").string()));
    EXPECT_EQ(host.messages.back(), "TokenTable: Failed to save Token Table File...");
    fs::remove_all(dir);
}

TEST(TokenTableCsv, OddShapesDoNotBreakTheTable) {
    test::ScriptedHost host;
    TokenTable t(&host.dialogs);
    // An even column count: the last code column has no text column; a colour far out
    // of range; codes out of order.
    ASSERT_TRUE(t.fromCsv(
        "N,1,2,3\nName,A,-,B\nExt,-,-,1\nType,2,-,5\nColor,99,-,x\nPrefix,-,-,-\nC,-,-,-\nD,-,-,-\n"
        "1,0x90,z,0x80\n2,0x80,y,\n"));
    t.rebuildTokenIndex(0, true);
    EXPECT_EQ(t.modeList(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(t.buildLinkTable(1, true), (LinkTable{3, 1}));
    EXPECT_EQ(t.findToken(3, 0x80), 8);
    EXPECT_EQ(t.cell(4, 8), "");  // beyond the grid
    EXPECT_EQ(t.findToken(1, 0x85), std::nullopt);
}

TEST(TokenTableStartUp, FullLoadWithSettings) {
    const fs::path dir = tempDir();
    test::ScriptedHost host;
    {
        // A missing custom file: message, option switched off and stored at once.
        IniFile ini = IniFile::parse(
            "[TOK64]\nUse Custom Table=1\nCustom Table FileName=" + (dir / "gone.csv").string() +
            "\nColor 2=255\nColor 15=-1\nTableWidth=700\n");
        TokenTable t(&host.dialogs);
        int stored = 0;
        const int mode =
            t.loadFullTokenTable({TokenTableSettings::load(ini), "", 20, true, [&] {
                                      ++stored;
                                      TokenTableSettings::writeUseCustomTable(ini, false);
                                  }});
        EXPECT_EQ(stored, 1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], "TokenTable: Custom Token Table File " +
                                        (dir / "gone.csv").string() +
                                        " not found...\nUsing Default Token Table!");
        EXPECT_FALSE(t.useCustomTable());
        EXPECT_EQ(ini.value("TOK64", "Use Custom Table"), "0");
        EXPECT_EQ(mode, 0);
        EXPECT_EQ(t.modeList().size(), 9u);
        EXPECT_EQ(t.tokenColours[2], 0xFF0000u);   // COLORREF 255 is red
        EXPECT_EQ(t.tokenColours[15], 0xFFFFFFu);  // kept within 24 bits
        EXPECT_EQ(t.tokenColours[1], 0x008000u);   // default
        EXPECT_EQ(t.editorWidth(), 700);
        EXPECT_EQ(t.editorHeight(), 635);
        EXPECT_TRUE(t.fullyLoaded());
    }
    {
        // The custom file in the program folder under its default name.
        TokenTable custom;
        custom.fillDefaultTable(true);
        custom.setCell(4, 8 + 0x19, "PRINTIT");
        custom.saveTokenTableCsv((dir / "TokenTable.CSV").string());
        IniFile ini = IniFile::parse("[TOK64]\nUse Custom Table=1\n");
        TokenTable t(&host.dialogs);
        host.messages.clear();
        EXPECT_EQ(t.loadFullTokenTable({TokenTableSettings::load(ini), dir.string(), 3, true}), 3);
        EXPECT_TRUE(host.messages.empty());
        EXPECT_EQ(t.customTableFileName(), (dir / "TokenTable.CSV").string());
        EXPECT_EQ(t.keywordForV2Byte(0x99), "PRINTIT");
        // A second call does nothing.
        EXPECT_EQ(t.loadFullTokenTable({}), 3);
        EXPECT_EQ(t.keywordForV2Byte(0x99), "PRINTIT");
    }
    fs::remove_all(dir);
}

TEST(TokenTableColours, DefaultsAndSettingsForm) {
    const auto d = TokenTable::defaultTokenColours();
    const std::uint32_t stored[16] = {0, 32768, 16711680, 12615680, 8421504, 33023, 255, 0,
                                      0, 0,     0,        0,        0,       0,     0,   8388863};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(swapRedBlue(d[static_cast<std::size_t>(i)]), stored[i]) << i;
    TokenTable t;
    IniFile ini;
    t.tokenColours[3] = 0x123456;
    TokenTableSettings record;
    record.colors = t.storedColours();
    record.saveTable(ini);
    EXPECT_EQ(ini.value("TOK64", "Color 3"), std::to_string(0x563412));
    TokenTable u;
    u.setStoredColours(TokenTableSettings::load(ini).colors);
    EXPECT_EQ(u.tokenColours, t.tokenColours);
}

}  // namespace
}  // namespace qv
