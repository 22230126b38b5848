#include "listing/ListingSave.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::ScriptedDialogHost;
using test::TempDir;

TEST(GeneratedName, FromImageFolderOrSettings) {
    ListerOptions o;
    EXPECT_EQ(generatedFileName(RunKind::Load, 1, "/games/DISK1.D64", "/games/", "", o),
              "DISK1.txt");
    EXPECT_EQ(generatedFileName(RunKind::Load, 3, "/games/DISK1.D64", "/games/", "", o),
              "games.txt");
    EXPECT_EQ(
        generatedFileName(RunKind::Extended, 3, "/games/x/DISK1.D64", "/out/", "My Folder", o),
        "My Folder.txt");
    EXPECT_EQ(generatedFileName(RunKind::Drop, 2, "/games/x/DISK1.D64", "/drops/here/", "", o),
              "here.txt");
    o.multifileName = "a:b?c";
    EXPECT_EQ(generatedFileName(RunKind::Load, 3, "/games/DISK1.D64", "/games/", "", o),
              "a_b_c.txt");
    o.multifileName = "ALL.LST";
    EXPECT_EQ(generatedFileName(RunKind::Load, 3, "/games/DISK1.D64", "/games/", "", o), "ALL.LST");
    o.saveName = "LIST.txt";
    EXPECT_EQ(generatedFileName(RunKind::Load, 1, "/games/DISK1.D64", "/games/", "", o),
              "LIST.txt");
}

TEST(GeneratedName, BaseNameAndCleaning) {
    EXPECT_EQ(imageBaseName("/a/b/GAME.D64"), "GAME");
    EXPECT_EQ(imageBaseName("/a/b/GAME"), "GAME");
    EXPECT_EQ(imageBaseName("GAME.d64"), "D64Image");
    // The first place the extension text occurs counts, even in a folder name.
    EXPECT_EQ(imageBaseName("/x.d64/y/GAME.D64"), "x");
    EXPECT_EQ(cleanFileName("\"na\"me*<>|?:/\\x\""), "na_me______x");
}

struct SaveFixture : ::testing::Test {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs{host};
};

TEST_F(SaveFixture, NewFileThenTheNameExistsQuestion) {
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "one\r\n", dialogs, true), SaveResult::Saved);
    EXPECT_EQ(host.messages.back(), "Saved to " + tmp.file("L.txt"));
    // Append twice: three listings in the file.
    host.questionAnswers = {{6, 0, false, false}, {6, 0, false, false}};
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "two\r\n", dialogs, true), SaveResult::Appended);
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "three\r\n", dialogs, false),
              SaveResult::Appended);
    EXPECT_EQ(test::readFile(tmp.file("L.txt")), "one\r\ntwo\r\nthree\r\n");
    EXPECT_EQ(host.messages.back(), "Appended to " + tmp.file("L.txt"));
    ASSERT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.questions[0].form->mode, QuestionMode::NameExists);
    EXPECT_EQ(host.questions[0].path, tmp.file("L.txt"));
    // Cancel: nothing changes.
    host.questionAnswers = {{2, 0, false, false}};
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "x", dialogs, false), SaveResult::NotSaved);
    EXPECT_EQ(host.messages.back(), "Image context not saved...");
    // Overwrite with "Don't ask me again": later saves overwrite without asking.
    host.questionAnswers = {{1, 0, false, true}};
    saveTextBuffer(tmp.path(), "L.txt", "new", dialogs, false);
    saveTextBuffer(tmp.path(), "L.txt", "newer", dialogs, false);
    EXPECT_EQ(test::readFile(tmp.file("L.txt")), "newer");
    EXPECT_EQ(host.questions.size(), 4u);
}

TEST_F(SaveFixture, OtherName) {
    std::ofstream(tmp.file("L.txt")) << "old";
    std::ofstream(tmp.file("taken.txt")) << "taken";
    host.questionAnswers = {{7, 0, false, false}, {7, 0, false, false}};
    // A name without extension gets ".txt"; one that exists is asked again.
    host.textAnswers = {std::string("taken"), std::string("fresh")};
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "text", dialogs, true), SaveResult::Saved);
    EXPECT_EQ(test::readFile(tmp.file("fresh.txt")), "text");
    EXPECT_EQ(test::readFile(tmp.file("L.txt")), "old");
    EXPECT_EQ(host.messages.back(), "Saved to " + tmp.file("fresh.txt"));
    // Cancelled input: no file, and the message.
    EXPECT_EQ(saveTextBuffer(tmp.path(), "L.txt", "text", dialogs, true), SaveResult::NotSaved);
    EXPECT_EQ(host.messages.back(), "Image context not saved...");
}

TEST_F(SaveFixture, UnwritableFolderReportsAndWritesNothing) {
    EXPECT_EQ(saveTextBuffer(tmp.file("missing/"), "L.txt", "text", dialogs, true),
              SaveResult::Failed);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message, "Error while creating Save File...");
    EXPECT_EQ(host.errors[0].caption, "MainForm: Error...");
    EXPECT_FALSE(std::filesystem::exists(tmp.file("missing")));
    // A file in the way of the name: reported, left alone.
    std::filesystem::create_directories(tmp.file("dir.txt"));
    host.questionAnswers = {{1, 0, false, false}};
    EXPECT_EQ(saveTextBuffer(tmp.path(), "dir.txt", "text", dialogs, true), SaveResult::Failed);
    EXPECT_TRUE(std::filesystem::is_directory(tmp.file("dir.txt")));
}

TEST_F(SaveFixture, GeneratedListingOnlyWhenOnAndSomethingWasListed) {
    ListerOptions options;
    options.showSavedToMessage = true;
    Listing listing{options, dialogs};
    test::DiskBuilder b;
    b.format();
    const std::string image = tmp.file("GAME.D64");
    b.save(image);
    listing.fileList = {image};
    listing.saveDir = tmp.path();
    const int listed = listing.listFiles(RunKind::Load);
    ASSERT_EQ(listed, 1);
    const std::string file = tmp.file("GAME.txt");

    // Off, or nothing listed: no file and no message.
    EXPECT_EQ(saveGeneratedListing(listing, RunKind::Load, listed, false, options, dialogs),
              std::nullopt);
    EXPECT_EQ(saveGeneratedListing(listing, RunKind::Load, 0, true, options, dialogs),
              std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(host.messages.empty());

    EXPECT_EQ(saveGeneratedListing(listing, RunKind::Load, listed, true, options, dialogs),
              SaveResult::Saved);
    EXPECT_EQ(test::readFile(file), listing.text().text());
    EXPECT_EQ(host.messages.back(), "Saved to " + file);
    // Two images name the file after the folder of the current image.
    listing.fileList = {image, image};
    const std::string folderName =
        std::filesystem::path(tmp.path()).parent_path().filename().string() + ".txt";
    EXPECT_EQ(saveGeneratedListing(listing, RunKind::Load, 2, true, options, dialogs),
              SaveResult::Saved);
    EXPECT_TRUE(std::filesystem::exists(tmp.file(folderName))) << folderName;
    // A save failure is reported and given back.
    listing.fileList = {image};
    listing.saveDir = tmp.file("missing/");
    EXPECT_EQ(saveGeneratedListing(listing, RunKind::Load, listed, true, options, dialogs),
              SaveResult::Failed);
    EXPECT_EQ(host.errors.back().message, "Error while creating Save File...");
}

}  // namespace
}  // namespace qv
