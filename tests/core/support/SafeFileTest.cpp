#include "support/SafeFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

std::span<const std::uint8_t> bytesOf(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

// Both ways of replacing a file go through the same steps, except that the quick one
// for command-line output never waits for the disk; a failure at any step they take
// leaves the old content and no stray file beside it.
TEST(ReplaceFileContent, StepsAndFailuresForBothDurabilities) {
    struct Case {
        Durability durability;
        std::vector<WriteStage> stages;
    };
    const Case cases[] = {
        {Durability::Flushed,
         {WriteStage::Create, WriteStage::Write, WriteStage::Sync, WriteStage::Rename}},
        {Durability::RenamedOnly, {WriteStage::Create, WriteStage::Write, WriteStage::Rename}},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string target = dir.file("listing.txt");
        test::writeFile(target, "old");

        std::vector<WriteStage> seen;
        const ReplaceResult ok = replaceFileContent(
            target, bytesOf("new content"),
            [&](WriteStage s) {
                seen.push_back(s);
                return true;
            },
            c.durability);
        ASSERT_TRUE(ok.ok) << ok.error;
        EXPECT_EQ(seen, c.stages);
        EXPECT_EQ(test::readFile(target), "new content");

        for (const WriteStage failing : c.stages) {
            const ReplaceResult r = replaceFileContent(
                target, bytesOf("lost"), [&](WriteStage s) { return s != failing; }, c.durability);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.failedAt, failing);
            EXPECT_EQ(test::readFile(target), "new content") << writeStageName(failing);
            std::size_t files = 0;
            for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
                ++files;
            EXPECT_EQ(files, 1u) << "a file was left beside the target after failing at "
                                 << writeStageName(failing);
        }
    }
}

}  // namespace
}  // namespace qv
