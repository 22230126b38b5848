#include "bam/ErrorInfoRemoval.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/bam/BamFixture.h"
#include "support/AsOrdinaryUser.h"
#include "support/TestFiles.h"

namespace qv::test {
namespace {

std::vector<std::string> folderContent(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

DiskBuilder imageWithErrors(int tracks) {
    DiskBuilder b(tracks, true);
    b.format();
    if (tracks == 40)
        b.extendedBam(ExtendedBam::SpeedDos);
    b.addFile("DATA", 0x82, bytesOf(2000, 3));
    b.errorByte({1, 0}, 5).errorByte({18, 0}, 2);
    return b;
}

TEST(ErrorInfoRemoval, ShortensBothImageSizes) {
    struct Case {
        int tracks;
        std::size_t before;
        std::size_t after;
    };
    for (const Case c : {Case{35, 175531, 174848}, Case{40, 197376, 196608}}) {
        BamFixture f;
        const DiskBuilder b = imageWithErrors(c.tracks);
        f.load(b);
        const std::string path = f.map.imagePath();
        ASSERT_EQ(std::filesystem::file_size(path), c.before);
        ASSERT_EQ(f.map.errorCode(1, 0), 23);
        std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_write |
                                               std::filesystem::perms::group_read);
        f.host.okCancelAnswers = {true};  // OK

        const RemovalResult r = removeErrorInfo(f.map, f.ctx);
        EXPECT_EQ(r.outcome, RemovalOutcome::Removed);
        EXPECT_EQ(f.host.messages.back(), "Question: Really remove Error Info?");
        const Bytes after = test::readBytes(path);
        ASSERT_EQ(after.size(), c.after);
        EXPECT_TRUE(std::equal(after.begin(), after.end(), b.bytes().begin()));
        EXPECT_EQ(std::filesystem::status(path).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read);
        // Reloaded: no error info any more, so the command is off.
        EXPECT_FALSE(f.map.hasErrorInfo());
        EXPECT_EQ(f.map.errorCode(1, 0), 0);
        EXPECT_EQ(folderContent(f.tmp.path()), std::vector<std::string>{"disk.d64"});
        EXPECT_EQ(removeErrorInfo(f.map, f.ctx).outcome, RemovalOutcome::NoErrorInfo);
    }
}

TEST(ErrorInfoRemoval, CancelLeavesTheImage) {
    BamFixture f;
    const DiskBuilder b = imageWithErrors(35);
    f.load(b);
    f.host.okCancelAnswers = {false};
    EXPECT_EQ(removeErrorInfo(f.map, f.ctx).outcome, RemovalOutcome::Cancelled);
    EXPECT_EQ(test::readBytes(f.map.imagePath()), b.bytes());
    EXPECT_TRUE(f.map.hasErrorInfo());
}

TEST(ErrorInfoRemoval, FailureAtAnyStepLeavesTheOriginalByteForByte) {
    for (const WriteStage stage :
         {WriteStage::Create, WriteStage::Write, WriteStage::Sync, WriteStage::Rename}) {
        BamFixture f;
        const DiskBuilder b = imageWithErrors(35);
        f.load(b);
        f.host.okCancelAnswers = {true};
        const RemovalResult r =
            removeErrorInfo(f.map, f.ctx, [stage](WriteStage s) { return s != stage; });
        EXPECT_EQ(r.outcome, RemovalOutcome::Failed) << writeStageName(stage);
        EXPECT_EQ(test::readBytes(f.map.imagePath()), b.bytes()) << writeStageName(stage);
        EXPECT_EQ(folderContent(f.tmp.path()), std::vector<std::string>{"disk.d64"})
            << writeStageName(stage);
        EXPECT_TRUE(f.map.hasErrorInfo());
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0].caption, "Remove Error Info: Error in File...");
        EXPECT_EQ(f.host.errors[0].line1, f.map.imagePath());
        EXPECT_EQ(f.host.errors[0].message,
                  stage == WriteStage::Rename
                      ? "Error removing Error Info...\nThe image is unchanged."
                      : "Error while creating Save File...\nThe image is unchanged.");
    }
}

TEST(ErrorInfoRemoval, ReadOnlyFolderLeavesTheOriginal) {
    namespace fs = std::filesystem;
    BamFixture f;
    const DiskBuilder b = imageWithErrors(35);
    f.load(b);
    const std::string path = f.map.imagePath();
    // Anybody may read the image and look into its folder; nobody but root may write
    // there, and the removal runs without root's rights.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                              fs::perms::others_read);
    fs::permissions(f.tmp.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    f.host.okCancelAnswers = {true};
    const std::optional<int> result = runAsOrdinaryUser([&] {
        const RemovalResult r = removeErrorInfo(f.map, f.ctx);
        if (r.outcome != RemovalOutcome::WriteProtected)
            return 1;
        if (f.host.errors.size() != 1 || f.host.errors[0].message != "Writeprotected...")
            return 2;
        return f.map.hasErrorInfo() ? 0 : 3;
    });
    fs::permissions(f.tmp.path(), fs::perms::owner_all);
    if (!result)
        GTEST_SKIP() << "root cannot give up its rights here";
    EXPECT_EQ(*result, 0);
    EXPECT_EQ(test::readBytes(path), b.bytes());
    EXPECT_EQ(folderContent(f.tmp.path()), std::vector<std::string>{"disk.d64"});
}

TEST(ErrorInfoRemoval, ImageChangedSinceLoadingIsNotCut) {
    // The file lost its error info behind the map's back: nothing to cut any more.
    BamFixture f;
    const DiskBuilder b = imageWithErrors(35);
    f.load(b);
    std::filesystem::resize_file(f.map.imagePath(), 174848);
    const Bytes before = test::readBytes(f.map.imagePath());
    f.host.okCancelAnswers = {true};
    EXPECT_EQ(removeErrorInfo(f.map, f.ctx).outcome, RemovalOutcome::Failed);
    EXPECT_EQ(test::readBytes(f.map.imagePath()), before);
}

TEST(ErrorInfoRemoval, SymbolicLinkKeepsPointingAtTheShortenedImage) {
    BamFixture f;
    const DiskBuilder b = imageWithErrors(35);
    const std::string real = f.save(b, "real.d64");
    const std::string link = f.tmp.file("link.d64");
    std::filesystem::create_symlink(real, link);
    f.map.allocateOwners(288, f.dialogs);
    ASSERT_TRUE(f.map.loadBam(link, f.ctx));
    f.map.loadErrors(link, f.dialogs);
    f.host.okCancelAnswers = {true};
    EXPECT_EQ(removeErrorInfo(f.map, f.ctx).outcome, RemovalOutcome::Removed);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::file_size(real), 174848u);
}

}  // namespace
}  // namespace qv::test
