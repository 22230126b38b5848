#include "session/Session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

TEST(SessionLoad, OptionsFontsAndSaveFolderFromTheFile) {
    test::TempDir tmp;
    test::writeFile(tmp.file("q.ini"),
                    "[Conversion]\n144 Files=0\n"
                    "[Names]\nSavepath=" +
                        tmp.path() +
                        "\n"
                        "[ASCII]\nHeaderImage=1.5,-\n"
                        "[MainForm]\nShowIconMessage=0\n");
    test::ScriptedDialogHost host;
    Session s(host, tmp.file("q.ini"));
    EXPECT_TRUE(s.load());
    EXPECT_FALSE(s.listerOptions().allowMoreThan144Files);
    EXPECT_EQ(s.listerOptions().maxFiles, 144);  // derived with the option
    EXPECT_EQ(s.saveFolder(), tmp.path());
    EXPECT_EQ(s.runSaveFolder("/disks/a.d64"), tmp.path());
    EXPECT_FALSE(s.catalogue().showIconMessage);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"ListerOptions: Failed to parse Header Image String"}));

    s.setSaveFolder("");
    EXPECT_EQ(s.runSaveFolder("/disks/a.d64"), "/disks/");
}

TEST(SessionLoad, AnUnreadableFileLeavesTheDefaults) {
    test::TempDir tmp;
    fs::create_directory(tmp.file("folder.ini"));  // exists, but is no file to read
    test::ScriptedDialogHost host;
    Session s(host, tmp.file("folder.ini"));
    EXPECT_FALSE(s.load());
    EXPECT_EQ(host.messages, (std::vector<std::string>{kOptionsLoadFailedMessage}));
    EXPECT_EQ(s.listerOptions().maxFiles, 288);
}

TEST(SessionSettings, AnUpdateKeepsWhatOthersWroteAndReportsAFailedSave) {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Session s(host, tmp.file("q.ini"));
    ASSERT_TRUE(s.settings().update("MainForm", [](IniFile& i) { i.writeInt("A", "x", 1); }));
    ASSERT_TRUE(s.settings().update("TOK64", [](IniFile& i) { i.writeInt("B", "y", 2); }));
    const IniFile back = s.settings().readOrEmpty();
    EXPECT_EQ(back.readInt("A", "x", 0), 1);
    EXPECT_EQ(back.readInt("B", "y", 0), 2);
    EXPECT_TRUE(host.messages.empty());

    // A settings file in a folder that does not exist cannot be written.
    Session lost(host, tmp.file("missing/q.ini"));
    EXPECT_FALSE(
        lost.settings().update("GeosDetails", [](IniFile& i) { i.writeInt("A", "x", 1); }));
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"GeosDetails: Failed to save Quorvane.ini File..."}));
    EXPECT_FALSE(fs::exists(tmp.file("missing")));
}

TEST(SessionSettings, SettingsInMemoryAreNeverWritten) {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Session s(host, IniFile::parse("[A]\nx=1\n"));
    EXPECT_TRUE(s.settings().inMemory());
    EXPECT_TRUE(s.settings().update("MainForm", [](IniFile& i) { i.writeInt("A", "x", 5); }));
    EXPECT_EQ(s.settings().readOrEmpty().readInt("A", "x", 0), 5);
    EXPECT_TRUE(fs::is_empty(tmp.path()));
}

TEST(SessionTokenTable, AMissingCustomTableIsSwitchedOffInTheFile) {
    test::TempDir tmp;
    const std::string settings =
        "[TOK64]\nUse Custom Table=1\nCustom Table FileName=" + tmp.file("gone.csv") + "\nMode=1\n";
    {
        test::writeFile(tmp.file("q.ini"), settings);
        test::ScriptedDialogHost host;
        Session s(host, tmp.file("q.ini"));
        EXPECT_EQ(s.loadFullTokenTable(tmp.path()), 1);
        EXPECT_FALSE(s.tokens().useCustomTable());
        EXPECT_EQ(s.viewerOptions().mode, 1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(s.settings().readOrEmpty().value("TOK64", "Use Custom Table"), "0");
        // Once loaded, the table stays as it is.
        EXPECT_EQ(s.loadFullTokenTable(tmp.path()), 1);
        EXPECT_EQ(host.messages.size(), 1u);
    }
    {
        // Switched off, but the settings file cannot be written: that is said too.
        test::writeFile(tmp.file("q.ini"), settings);
        test::ScriptedDialogHost host;
        Session s(host, tmp.file("q.ini"));
        s.settings().setWriteHook([](WriteStage stage) { return stage != WriteStage::Write; });
        s.loadFullTokenTable(tmp.path());
        ASSERT_EQ(host.messages.size(), 2u);
        EXPECT_EQ(host.messages[1], "TokenTable: Failed to save Quorvane.ini File...");
        EXPECT_FALSE(s.tokens().useCustomTable());
        EXPECT_EQ(test::readFile(tmp.file("q.ini")), settings);
    }
}

TEST(OptionsModelTest, EveryChangeRecomputesAndIsAnnounced) {
    OptionsModel model;
    std::vector<int> seen;
    const int id = model.listen([&](const ListerOptions& o) { seen.push_back(o.maxFiles); });
    const auto messages = model.change([](ListerOptions& o) {
        o.allowMoreThan144Files = false;
        o.footerImage = "x,-";
    });
    EXPECT_EQ(model.record().maxFiles, 144);
    EXPECT_EQ(messages,
              (std::vector<std::string>{"ListerOptions: Failed to parse Footer Image String"}));
    ListerOptions copy = model.record();
    copy.allowMoreThan144Files = true;
    model.replace(copy);
    model.unlisten(id);
    model.change([](ListerOptions& o) { o.allowMoreThan144Files = false; });
    EXPECT_EQ(seen, (std::vector<int>{144, 288}));
}

}  // namespace
}  // namespace qv
