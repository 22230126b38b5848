#include "settings/SettingsLocation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SettingsTestFiles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// A host whose every question is answered with the given result.
std::unique_ptr<test::ScriptedDialogHost> answering(int result) {
    auto host = std::make_unique<test::ScriptedDialogHost>();
    for (int i = 0; i < 4; ++i)
        host->questionAnswers.push_back(QuestionReply{result, 0, false, false});
    return host;
}

TEST(SettingsLocation, ConfigHomeFromTheEnvironmentValues) {
    EXPECT_EQ(userConfigHome("/xdg", "/home/u"), fs::path("/xdg"));
    EXPECT_EQ(userConfigHome(nullptr, "/home/u"), fs::path("/home/u/.config"));
    EXPECT_EQ(userConfigHome("", "/home/u"), fs::path("/home/u/.config"));
    EXPECT_EQ(userConfigHome("relative/dir", "/home/u"), fs::path("/home/u/.config"));
    EXPECT_EQ(userConfigHome("/xdg", nullptr), fs::path("/xdg"));
    EXPECT_EQ(userConfigHome(nullptr, nullptr), fs::path());
    EXPECT_EQ(userConfigHome(nullptr, ""), fs::path());
}

TEST(SettingsLocation, ProgramFolderFirstThenTheUserFolder) {
    test::TempDir program;
    test::TempDir config;
    EXPECT_EQ(settingsFilePath(program.path(), config.path()),
              config / "Quorvane" / "quorvane.ini");
    EXPECT_FALSE(fs::exists(config / "Quorvane"));  // looking changes nothing
    EXPECT_EQ(settingsFilePath(program.path(), {}), program / "quorvane.ini");

    test::writeFile(program / "quorvane.ini", "[MainForm]\r\n");
    EXPECT_EQ(settingsFilePath(program.path(), config.path()), program / "quorvane.ini");

    const auto host = answering(1);
    Dialogs dialogs(*host);
    test::writeFile(program / "old.ini", "old");
    const SettingsFileSetup s =
        setUpSettingsFile(program.path(), config.path(), program / "old.ini", dialogs);
    EXPECT_EQ(s.file, program / "quorvane.ini");
    EXPECT_FALSE(s.folderCreated);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_TRUE(host->questions.empty());
    EXPECT_FALSE(fs::exists(config / "Quorvane"));
}

TEST(SettingsLocation, CreatesTheFolderOnceWithoutAskingWhenThereIsNoOldFile) {
    test::TempDir program;
    test::TempDir config;
    const auto host = answering(1);
    Dialogs dialogs(*host);
    const fs::path home = config / "deeper/config";  // parents are made too
    const SettingsFileSetup first = setUpSettingsFile(program.path(), home, {}, dialogs);
    EXPECT_EQ(first.file, home / "Quorvane" / "quorvane.ini");
    EXPECT_TRUE(first.folderCreated);
    EXPECT_TRUE(fs::is_directory(home / "Quorvane"));
    EXPECT_FALSE(fs::exists(first.file));  // the file itself comes with the first save
    EXPECT_TRUE(host->questions.empty());

    const SettingsFileSetup again = setUpSettingsFile(program.path(), home, {}, dialogs);
    EXPECT_EQ(again.file, first.file);
    EXPECT_FALSE(again.folderCreated);
}

TEST(SettingsLocation, OldFileQuestionRightAfterCreatingTheFolder) {
    struct Case {
        int answer;
        bool oldRemains;
        bool newHasOldContent;
    };
    const Case cases[] = {
        {1, true, true},    // Copy
        {6, false, true},   // Move
        {7, false, false},  // Delete
        {2, true, false},   // Cancel (also Escape)
    };
    for (const auto& c : cases) {
        test::TempDir program;
        test::TempDir config;
        test::TempDir legacy;
        const fs::path old = legacy / "quorvane.ini";
        test::writeFile(old, "[MainForm]\r\nWidth=999\r\n");
        const auto host = answering(c.answer);
        Dialogs dialogs(*host);

        const SettingsFileSetup s = setUpSettingsFile(program.path(), config.path(), old, dialogs);
        ASSERT_EQ(host->questions.size(), 1u);
        const QuestionRequest& q = host->questions[0];
        EXPECT_EQ(q.form->mode, QuestionMode::OldSettingsFile);
        EXPECT_EQ(q.form->caption, "Old Ini File detected...");
        EXPECT_EQ(q.path, old.string());
        EXPECT_EQ(q.message,
                  "There is an old quorvane.ini File in your Windows Folder.\n"
                  "For newer Windows Versions the preferred Location to store *.ini Files is "
                  "the\nApplication Data Folder.\nHow do you want to handle the old one?");
        EXPECT_TRUE(s.messages.empty());
        EXPECT_EQ(fs::exists(old), c.oldRemains) << c.answer;
        EXPECT_EQ(fs::exists(s.file), c.newHasOldContent) << c.answer;
        if (c.newHasOldContent) {
            EXPECT_EQ(test::readFile(s.file), "[MainForm]\r\nWidth=999\r\n");
        }

        // The folder exists now: the question is never asked again.
        test::writeFile(old, "again");
        setUpSettingsFile(program.path(), config.path(), old, dialogs);
        EXPECT_EQ(host->questions.size(), 1u);
    }
}

TEST(SettingsLocation, FailuresFallBackToTheProgramFolderAndAreReported) {
    test::TempDir program;
    test::TempDir config;
    const auto host = answering(1);
    Dialogs dialogs(*host);

    const SettingsFileSetup noHome = setUpSettingsFile(program.path(), {}, {}, dialogs);
    EXPECT_EQ(noHome.file, program / "quorvane.ini");
    ASSERT_EQ(noHome.messages.size(), 1u);
    EXPECT_EQ(noHome.messages[0], "MainForm: Failed to get AppDataDir... Using " + program.path());

    // The configuration "folder" is a file: the folder cannot be made.
    test::writeFile(config / "blocked", "x");
    test::writeFile(config / "old.ini", "x");
    const SettingsFileSetup blocked =
        setUpSettingsFile(program.path(), config / "blocked", config / "old.ini", dialogs);
    EXPECT_EQ(blocked.file, program / "quorvane.ini");
    EXPECT_FALSE(blocked.folderCreated);
    ASSERT_EQ(blocked.messages.size(), 1u);
    EXPECT_EQ(blocked.messages[0],
              "MainForm: Failed to make AppDataDir... Using " + program.path());
    EXPECT_TRUE(host->questions.empty());
}

}  // namespace
}  // namespace qv
