#include "viewer/ViewerOptions.h"

#include <gtest/gtest.h>

#include "core/viewer/ViewerFakes.h"
#include "settings/IniFile.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {

TEST(ViewerOptions, DefaultsFromAnEmptyFile) {
    ViewerOptions o;
    o.load(IniFile{});
    EXPECT_TRUE(o.convertToChars);
    EXPECT_TRUE(o.convertCharsToAscii);
    EXPECT_FALSE(o.convertHexToAscii);
    EXPECT_FALSE(o.replaceReturn);
    EXPECT_EQ(o.mode, 0);
    EXPECT_TRUE(o.autodetect);
    EXPECT_FALSE(o.ignoreStartaddress);
    EXPECT_TRUE(o.syntaxHighlighting);
    EXPECT_TRUE(o.translateSpecialchars);
    EXPECT_TRUE(o.bamFileListOpen);
    EXPECT_TRUE(o.bamShowChain);
    EXPECT_EQ(o.c64ScreenMaxText, 10000);
    EXPECT_FALSE(o.loadAtOnCreate);
    EXPECT_EQ(o.startAddresses.list(2).size(), 3u);
}

TEST(ViewerOptions, WritesAndReadsItsKeys) {
    ViewerOptions o;
    o.convertToChars = false;
    o.convertCharsToAscii = false;
    o.convertHexToAscii = true;
    o.replaceReturn = true;
    o.mode = 5;
    o.autodetect = false;
    o.ignoreStartaddress = true;
    o.syntaxHighlighting = false;
    o.translateSpecialchars = false;
    o.c64ScreenMaxText = 2500;
    o.bamFileListOpen = false;
    o.bamShowChain = false;
    o.loadAtOnCreate = true;
    IniFile ini;
    o.save(ini);
    const char* expected[][3] = {
        {"File Viewer", "Conv to Chars", "0"},
        {"File Viewer", "Conv Chars to ASCII", "0"},
        {"File Viewer", "Conv Hex to ASCII", "1"},
        {"File Viewer", "Return", "1"},
        {"TOK64", "Mode", "5"},
        {"TOK64", "Autodetect", "0"},
        {"TOK64", "Ignore", "1"},
        {"TOK64", "Syntax", "0"},
        {"TOK64", "Translate", "0"},
        {"TOK64", "C64Screen MaxText", "2500"},
        {"BAM Defaults", "FileList open", "0"},
        {"BAM Defaults", "Show Chain", "0"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ini.value(e[0], e[1]), e[2]) << e[1];
    EXPECT_FALSE(ini.hasKey("TOK64", "LoadAtOnCreate"));  // never written
    EXPECT_FALSE(ini.hasSection("BASIC Address"));        // written by its own dialog

    ViewerOptions back;
    back.load(ini);
    EXPECT_EQ(back.mode, 5);
    EXPECT_TRUE(back.ignoreStartaddress);
    EXPECT_FALSE(back.syntaxHighlighting);
    EXPECT_EQ(back.c64ScreenMaxText, 2500);
    EXPECT_FALSE(back.bamShowChain);
    EXPECT_TRUE(back.convertHexToAscii);
    EXPECT_TRUE(back.hexToAsciiEnabled());
}

TEST(ViewerOptions, Dependencies) {
    ViewerOptions o;
    o.load(IniFile::parse("[TOK64]\nAutodetect=1\nIgnore=1\nLoadAtOnCreate=1\n"));
    EXPECT_FALSE(o.ignoreStartaddress);  // unchecked while autodetection is on
    EXPECT_FALSE(o.ignoreEnabled());
    EXPECT_TRUE(o.loadAtOnCreate);
    o.autodetect = false;
    o.applyDependencies();
    EXPECT_FALSE(o.ignoreStartaddress);  // stays unchecked, now enabled
    EXPECT_TRUE(o.ignoreEnabled());
    EXPECT_TRUE(o.modeListEnabled());

    test::ScriptedHost host;
    TokenTable table(&host.dialogs);
    table.fillDefaultTable(true);
    table.rebuildTokenIndex(0, true);
    EXPECT_TRUE(o.setTranslateSpecialchars(true, table, &host.dialogs));
    table.setCell(1, tokenrow::Type, "-");
    table.rebuildTokenIndex(0, false);
    EXPECT_FALSE(o.setTranslateSpecialchars(true, table, &host.dialogs));
    EXPECT_FALSE(o.translateSpecialchars);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars can't be "
              "displayed!");
}

TEST(ViewerOptions, MaxTextMustBeADecimalNumberOfBytes) {
    struct Case {
        const char* text;
        std::optional<int> value;
    } cases[] = {
        {"10000", 10000},           {" 250 ", 250},         {"0", 0},
        {"", std::nullopt},         {"12a", std::nullopt},  {"$10", std::nullopt},
        {"-5", std::nullopt},       {"0x10", std::nullopt}, {"99999999999", std::nullopt},
        {"2147483647", 2147483647},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ViewerOptions::parseMaxText(c.text), c.value) << c.text;
    EXPECT_EQ(ViewerOptions::maxTextRefusal("12a"),
              "FileViewerOptions: '12a' is not a valid integer value...\nMax. Text in Bytes must "
              "be a whole number of bytes (0 or more).");
}

}  // namespace
}  // namespace qv
