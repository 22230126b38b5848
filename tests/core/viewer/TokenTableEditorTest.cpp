#include "viewer/TokenTableEditor.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/viewer/ViewerFakes.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/WindowSettings.h"
#include "support/TestFiles.h"
#include "viewer/Detokenizer.h"
#include "viewer/StartAddresses.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A full table, the settings file and the editing run over them.
struct EditorFixture {
    test::TempDir tmp;
    test::ScriptedHost host;
    SettingsStore settings{tmp.file("quorvane.ini"), host.dialogs};
    TokenTable table{&host.dialogs};
    TokenTableEditor editor{table, host.dialogs, settings, tmp.path(), tmp.path()};

    EditorFixture() {
        TokenTable::LoadSettings load;
        load.programFolder = tmp.path();
        table.loadFullTokenTable(load);
    }
    IniFile stored() const { return settings.readOrEmpty(); }
    std::optional<int> ok(std::optional<std::string> saveAs = std::nullopt) {
        return editor.accept(0, true, [saveAs] { return saveAs; });
    }
};

TEST(TokenTableEditor, OpeningWritesTheSnapshotAndCancelBringsItBack) {
    EditorFixture f;
    const std::string original = f.table.toCsv();
    f.editor.open();
    EXPECT_EQ(f.editor.snapshotPath(), f.tmp.file("__TempTokenTable.tmp"));
    EXPECT_EQ(test::readFile(f.editor.snapshotPath()), original);

    // Clear leaves the table unmodified: Cancel asks nothing.
    f.editor.clear();
    f.editor.setColour(2, 0x123456);
    EXPECT_FALSE(f.editor.modified());
    EXPECT_TRUE(f.editor.cancel());
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(f.table.toCsv(), original);
    EXPECT_EQ(f.table.tokenColours[2], 0x0000FFu);
    EXPECT_FALSE(fs::exists(f.editor.snapshotPath()));
}

TEST(TokenTableEditor, CancellingAModifiedTableAsks) {
    EditorFixture f;
    const std::string original = f.table.toCsv();
    f.editor.open();
    f.editor.editCell(4, 8, "finish");
    EXPECT_TRUE(f.editor.modified());
    f.host.messageAnswers = {MessageAnswer::No};
    EXPECT_FALSE(f.editor.cancel());
    EXPECT_EQ(f.host.messages.back(), "TokenTable: Really Cancel modified Table?");
    EXPECT_EQ(f.table.cell(4, 8), "finish");
    f.host.messageAnswers = {MessageAnswer::Yes};
    EXPECT_TRUE(f.editor.cancel());
    EXPECT_EQ(f.table.toCsv(), original);
}

TEST(TokenTableEditor, ASnapshotFileThatIsGoneIsRestoredFromMemory) {
    EditorFixture f;
    const std::string original = f.table.toCsv();
    f.editor.open();
    fs::remove(f.editor.snapshotPath());
    f.editor.resetToDefault();
    f.editor.addTokenset();
    f.host.messageAnswers = {MessageAnswer::Yes};
    ASSERT_TRUE(f.editor.cancel());
    EXPECT_EQ(f.table.toCsv(), original);
}

TEST(TokenTableEditor, AFailedCheckKeepsTheWindowOpenWithTheMarkedCell) {
    EditorFixture f;
    f.editor.open();
    f.editor.editCell(7, 5, "0xZZ");
    f.editor.editCell(9, 5, "");  // would become "-" if the table passed
    EXPECT_FALSE(f.ok().has_value());
    EXPECT_EQ(f.host.messages.back(),
              "Illegal Value in Col:7; Row:5\nNot a valid Hex or Integer Number");
    EXPECT_EQ(f.editor.markedCell(), (TableCell{7, 5}));
    EXPECT_EQ(f.table.cell(9, 5), "");
    EXPECT_TRUE(fs::exists(f.editor.snapshotPath()));
    EXPECT_FALSE(f.stored().hasSection("TOK64"));
}

TEST(TokenTableEditor, ACrosslinkAsksToShowTheLinkTable) {
    for (const bool view : {true, false}) {
        SCOPED_TRACE(view);
        EditorFixture f;
        f.editor.open();
        f.editor.editCell(5, 2, "5");
        f.host.messageAnswers = {view ? MessageAnswer::Yes : MessageAnswer::No};
        EXPECT_FALSE(f.ok().has_value());
        EXPECT_EQ(f.host.messages.front(),
                  "Error: Tokenset Number 5 (BASIC V3.5) has crosslinked Entries in the "
                  "LinkTable.\nView LinkTable?");
        EXPECT_EQ(f.host.messages.size(), view ? 2u : 1u);
        if (view) {
            EXPECT_EQ(f.host.messages.back(), "5 5 ");
        }
        EXPECT_EQ(f.editor.markedCell(), (TableCell{5, 1}));
    }
}

TEST(TokenTableEditor, OkStoresTheChoiceAndRebuildsTheIndex) {
    EditorFixture f;
    f.editor.open();
    f.editor.addTokenset();
    f.editor.paste({25, 1}, "My BASIC\n3\n5\n6\n-\n-\n1");
    f.editor.paste({25, 8}, "0xCC\tzap\n0xCD\tboom");
    f.editor.editCell(7, 5, "");
    f.editor.setColour(6, 0x102030);
    ASSERT_TRUE(f.editor.save(f.tmp.file("dialect.csv")));
    f.editor.setUseCustomTable(true);
    const std::optional<int> selected = f.ok();
    ASSERT_TRUE(selected.has_value());
    EXPECT_EQ(f.table.cell(7, 5), "-");
    EXPECT_EQ(f.table.modeList().back(), "My BASIC");
    EXPECT_FALSE(fs::exists(f.editor.snapshotPath()));
    const TokenTableSettings stored = TokenTableSettings::load(f.stored());
    EXPECT_TRUE(stored.useCustomTable);
    EXPECT_EQ(stored.customTableFileName, f.tmp.file("dialect.csv"));
    EXPECT_EQ(stored.colors[6], 0x302010u);
    EXPECT_TRUE(f.table.useCustomTable());
}

TEST(TokenTableEditor, TheSaveQuestionComesOnlyForAModifiedCustomTable) {
    struct Case {
        const char* name;
        bool edit;
        bool useCustom;
        bool asked;
    } cases[] = {
        {"default then OK with the custom table on", false, true, false},
        {"edited custom table", true, true, true},
        {"edited, no custom table", true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorFixture f;
        f.editor.open();
        f.editor.resetToDefault();
        if (c.edit)
            f.editor.editCell(4, 8, "finish");
        f.editor.setUseCustomTable(c.useCustom);
        f.host.messageAnswers = {MessageAnswer::Yes};
        ASSERT_TRUE(f.ok(f.tmp.file("chosen.csv")).has_value());
        EXPECT_EQ(f.host.messages.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(f.host.messages.front(),
                      f.tmp.file("TokenTable.CSV") + ": Save modified Table?");
            EXPECT_TRUE(fs::exists(f.tmp.file("chosen.csv")));
            EXPECT_EQ(TokenTableSettings::load(f.stored()).customTableFileName,
                      f.tmp.file("chosen.csv"));
        }
    }
}

TEST(TokenTableEditor, ACustomDialectDetokenizesAfterTheNextStart) {
    test::TempDir tmp;
    test::ScriptedHost host;
    SettingsStore settings{tmp.file("quorvane.ini"), host.dialogs};
    {
        TokenTable table{&host.dialogs};
        TokenTable::LoadSettings load;
        load.programFolder = tmp.path();
        table.loadFullTokenTable(load);
        TokenTableEditor editor{table, host.dialogs, settings, tmp.path(), tmp.path()};
        editor.open();
        // A V2 extension with one keyword: 0xCC "zap".
        editor.addTokenset();
        editor.paste({25, 1}, "Zap BASIC\t-\n3\t-\n5\t-\n6\t-\n-\t-\n-\t-\n1\t-\n0xCC\tzap");
        ASSERT_TRUE(editor.save(tmp.file("Zap.CSV")));
        editor.setUseCustomTable(true);
        ASSERT_TRUE(editor.accept(0, true, [] { return std::nullopt; }).has_value());
    }
    // The next start loads the custom table.
    TokenTable table{&host.dialogs};
    TokenTable::LoadSettings load;
    load.stored = TokenTableSettings::load(settings.readOrEmpty());
    load.programFolder = tmp.path();
    table.loadFullTokenTable(load);
    ASSERT_EQ(table.modeList().back(), "Zap BASIC");
    StartAddresses addresses;
    DetokenizeOptions options;
    options.autodetect = false;
    options.ignoreStartaddress = true;
    options.modeIndex = static_cast<int>(table.modeList().size()) - 1;
    Detokenizer d(table, addresses, options);
    const auto bytes = test::Prg(0x0801).line(10, {0xCC, 0x99}).bytes();
    const DetokenizeResult r = d.detokenize(bytes, "ZAP");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "10 ZAPPRINT\r\n");
}

}  // namespace
}  // namespace qv
