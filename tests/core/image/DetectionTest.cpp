#include "image/Detection.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::DiskBuilder;
using test::ExtendedBam;
using test::ScriptedDialogHost;
using test::TempDir;

TEST(Extension, PatternsAcceptWhatTheySay) {
    const struct {
        const char* name;
        int acceptedFrom;  // first pattern index (0-4) that accepts it; 5: none
    } cases[] = {
        {"x.d64x", 2}, {"x.xd64", 1}, {"x.prg", 4}, {"x.ad64b", 3}, {"x", 4}, {"x.D6", 4},
    };
    for (const auto& c : cases) {
        const std::string ext = upperExtension(c.name);
        for (int p = 0; p < 5; ++p) {
            const bool expected = p >= c.acceptedFrom && (p != 2 || c.acceptedFrom == 2) &&
                                  (p != 1 || c.acceptedFrom == 1);
            EXPECT_EQ(extensionMatches(p, ext), expected) << c.name << " pattern " << p;
        }
    }
    EXPECT_EQ(upperExtension("/a.b/name.d64"), ".D64");
    EXPECT_EQ(upperExtension("/a.b/name"), "");
}

TEST(Extension, D64NeedsNoQuestionOthersFollowTheAnswer) {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    EXPECT_EQ(checkExtension("/x/GAME.D64", dialogs), ExtensionCheck::Accept);
    EXPECT_EQ(checkExtension("/x/game.d64", dialogs), ExtensionCheck::Accept);
    EXPECT_TRUE(host.questions.empty());
    host.questionAnswers = {{1, 2, false, false}, {2, 0, false, false}};
    EXPECT_EQ(checkExtension("/x/game.d64x", dialogs), ExtensionCheck::Accept);
    EXPECT_EQ(checkExtension("/x/game.prg", dialogs), ExtensionCheck::Stop);
    EXPECT_EQ(host.questions[0].path, "/x/game.d64x");
    // "*.*" with the box ticked: every later file passes without a question.
    host.questionAnswers = {{1, 4, false, true}};
    EXPECT_EQ(checkExtension("/x/a.txt", dialogs), ExtensionCheck::Accept);
    EXPECT_EQ(checkExtension("/x/b", dialogs), ExtensionCheck::Accept);
    EXPECT_EQ(host.questions.size(), 3u);
}

Block headerWithEntries(int at, std::initializer_list<std::array<std::uint8_t, 4>> entries) {
    Block b{};
    int i = at;
    for (const auto& e : entries) {
        for (int k = 0; k < 4; ++k)
            b[static_cast<std::size_t>(i + k)] = e[static_cast<std::size_t>(k)];
        i += 4;
    }
    return b;
}

TEST(ExtendedBam, TotalsMustAgreeAfterEveryEntry) {
    const std::array<std::uint8_t, 4> allFree{17, 0xFF, 0xFF, 0x01};
    const std::array<std::uint8_t, 4> full{0, 0, 0, 0};
    EXPECT_TRUE(extendedBamValid(
        headerWithEntries(192, {allFree, allFree, allFree, allFree, allFree}), 192));
    EXPECT_FALSE(extendedBamValid(headerWithEntries(192, {full, full, full, full, full}), 192));
    // 17 free but only 16 bits set fails at that entry, even when a later entry compensates.
    const std::array<std::uint8_t, 4> short16{17, 0xFF, 0xFF, 0x00};
    const std::array<std::uint8_t, 4> extra{1, 0x03, 0x00, 0x00};
    EXPECT_FALSE(extendedBamValid(headerWithEntries(192, {short16, extra, full, full, full}), 192));
    EXPECT_TRUE(
        extendedBamValid(headerWithEntries(172, {full, {3, 0x07, 0, 0}, full, full, full}), 172));
}

struct DetectFixture : ::testing::Test {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    bool abortRun = false;
    UnsupportedSizeLog log;

    int detect(const std::string& name, bool ask = true) {
        auto image = DiskImage::open(tmp.file(name));
        DetectContext ctx{options, dialogs, abortRun, tmp.path(), &log};
        return detectDosType(*image, ask, ctx);
    }
    void write(const std::string& name, const DiskBuilder& d) { d.save(tmp.file(name)); }
};

TEST_F(DetectFixture, SizesAndVariants) {
    write("s35.d64", DiskBuilder(35).format());
    write("e35.d64", DiskBuilder(35, true).format());
    EXPECT_EQ(detect("s35.d64"), kDosStandard);
    EXPECT_EQ(detect("e35.d64"), kDosStandard);
    const struct {
        ExtendedBam kind;
        int dosType;
    } variants[] = {{ExtendedBam::SpeedDos, kDosSpeedDos},
                    {ExtendedBam::DolphinDos, kDosDolphinDos},
                    {ExtendedBam::PrologicDos, kDosPrologicDos}};
    for (const auto& v : variants) {
        for (bool errors : {false, true}) {
            write("v.d64", DiskBuilder(40, errors).format().extendedBam(v.kind));
            EXPECT_EQ(detect("v.d64"), v.dosType);
        }
    }
    EXPECT_TRUE(host.questions.empty());
}

TEST_F(DetectFixture, FortyTrackOptions) {
    write("speed.d64", DiskBuilder(40).format().extendedBam(ExtendedBam::SpeedDos));
    options.enable40Tracks = false;
    EXPECT_EQ(detect("speed.d64"), kDosStandard);
    options.enable40Tracks = true;
    options.autoDetectMode = false;
    const std::pair<int, int> typ[] = {
        {1, kDosSpeedDos}, {2, kDosDolphinDos}, {3, kDosPrologicDos}, {7, kDosPrologicDos}};
    for (auto [stored, dosType] : typ) {
        options.fortyTrackType = stored;
        EXPECT_EQ(detect("speed.d64"), dosType);
    }
}

TEST_F(DetectFixture, SpeedDosIsTestedBeforeDolphinDos) {
    DiskBuilder d(40);
    d.format().extendedBam(ExtendedBam::DolphinDos);
    // Valid-looking SpeedDOS entries as well.
    for (int t = 0; t < 5; ++t)
        d.put({18, 0}, 192 + 4 * t, {2, 0x03, 0, 0});
    write("both.d64", d);
    EXPECT_EQ(detect("both.d64"), kDosSpeedDos);
}

TEST_F(DetectFixture, UndetectedExtendedBamAsks) {
    DiskBuilder d(40);
    d.format();  // 40 tracks, no extended BAM: entries all 0
    write("plain40.d64", d);
    host.questionAnswers = {{1, 3, false, false}, {2, 1, false, false}, {3, 1, false, true}};
    EXPECT_EQ(detect("plain40.d64"), kDosDolphinDos);
    EXPECT_EQ(detect("plain40.d64"), kDosUnusable);
    EXPECT_FALSE(abortRun);
    EXPECT_EQ(detect("plain40.d64"), kDosUnusable);
    EXPECT_TRUE(abortRun);
    EXPECT_EQ(host.questions[0].form->mode, QuestionMode::ExtendedBam);
    EXPECT_EQ(host.questions[0].path, tmp.file("plain40.d64"));
    // Without asking (the block map), the last answer decides again.
    host.questionAnswers = {{1, 4, false, false}};
    EXPECT_EQ(detect("plain40.d64"), kDosPrologicDos);
    EXPECT_EQ(detect("plain40.d64", false), kDosPrologicDos);
    EXPECT_EQ(host.questions.size(), 4u);
}

TEST_F(DetectFixture, UnsupportedSizeIsLoggedInTheSaveFolder) {
    {
        std::ofstream out(tmp.file("odd.d64"), std::ios::binary);
        out << std::string(174849, '\0');
    }
    host.questionAnswers = {{1, 0, true, false}, {2, 0, false, false}};
    EXPECT_EQ(detect("odd.d64"), kDosUnusable);
    EXPECT_FALSE(abortRun);
    // The question's line names the size beside its own text.
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].form->mode, QuestionMode::UnsupportedSize);
    EXPECT_EQ(host.questions[0].path, tmp.file("odd.d64"));
    EXPECT_EQ(host.questions[0].message,
              "Unsupported Filesize... 174849 Bytes (a D64 Image has 174848, 175531, 196608 "
              "or 197376 Bytes)");
    EXPECT_EQ(test::readFile(tmp.file(kUnsupportedLogName)),
              tmp.file("odd.d64") + "\r\n\t-> 174849 Bytes\r\n\r\n");
    EXPECT_FALSE(std::filesystem::exists(tmp.file("__WP.test")));
    // "Cancel All" (result 2 in this mode) stops the run; nothing more is logged.
    EXPECT_EQ(detect("odd.d64"), kDosUnusable);
    EXPECT_TRUE(abortRun);
    EXPECT_EQ(test::readFile(tmp.file(kUnsupportedLogName)),
              tmp.file("odd.d64") + "\r\n\t-> 174849 Bytes\r\n\r\n");
}

TEST_F(DetectFixture, UnwritableSaveFolderAsksForALogFile) {
    {
        std::ofstream out(tmp.file("odd.d64"), std::ios::binary);
        out << "not an image";
    }
    log.lastSaveDir = tmp.path();
    DetectContext ctx{options, dialogs, abortRun, tmp.file("no-such-folder/"), &log};
    auto image = DiskImage::open(tmp.file("odd.d64"));
    host.questionAnswers = {{1, 0, true, false}, {1, 0, true, false}};
    host.saveFileAnswers = {tmp.file("no-such-folder/x.log"), tmp.file("chosen.log")};
    EXPECT_EQ(detectDosType(*image, true, ctx), kDosUnusable);
    ASSERT_EQ(host.saveFileRequests.size(), 2u);  // asked again for the unwritable folder
    EXPECT_EQ(host.saveFileRequests[0].caption, "Save Log File");
    EXPECT_EQ(host.saveFileRequests[0].proposedName, kUnsupportedLogName);
    EXPECT_EQ(log.chosenFile, tmp.file("chosen.log"));
    // The chosen file is used again without a dialog while the save folder stays.
    EXPECT_EQ(detectDosType(*image, true, ctx), kDosUnusable);
    EXPECT_EQ(host.saveFileRequests.size(), 2u);
    EXPECT_EQ(test::readFile(tmp.file("chosen.log")),
              tmp.file("odd.d64") + "\r\n\t-> 12 Bytes\r\n\r\n" + tmp.file("odd.d64") +
                  "\r\n\t-> 12 Bytes\r\n\r\n");
    // A run with another save folder forgets the chosen file.
    EXPECT_FALSE(log.write("y.d64", 1, tmp.file("other/"), dialogs));
    EXPECT_TRUE(log.chosenFile.empty());
}

TEST(WriteTest, LeavesNoProbeAndNeverTouchesAUsersFile) {
    TempDir tmp;
    EXPECT_FALSE(isWriteProtected(tmp.file("a.d64")));
    EXPECT_FALSE(std::filesystem::exists(tmp.file("__WP.test")));
    EXPECT_TRUE(isWriteProtected(tmp.file("missing/a.d64")));
    {
        std::ofstream out(tmp.file("__WP.test"));
        out << "keep me";
    }
    EXPECT_FALSE(isWriteProtected(tmp.file("a.d64")));
    EXPECT_EQ(test::readFile(tmp.file("__WP.test")), "keep me");
    EXPECT_EQ(folderPart("/a/b/c.d64"), "/a/b/");
    EXPECT_EQ(folderPart("c.d64"), "");
}

}  // namespace
}  // namespace qv
