// quorvane-cli list as a user runs it: exit status, messages and the JSON it writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/DiskBuilder.h"
#include "support/RunCli.h"

namespace qv {
namespace {

using test::runCli;

TEST(CliList, HelpUsageAndErrors) {
    test::TempDir tmp;
    EXPECT_EQ(runCli("--help", tmp).status, 0);
    EXPECT_EQ(runCli("list --help", tmp).status, 0);
    EXPECT_EQ(runCli("", tmp).status, 2);
    EXPECT_EQ(runCli("frobnicate", tmp).status, 2);
    EXPECT_EQ(runCli("list --format xml x.d64", tmp).status, 2);
    const test::CliRun missing = runCli("list '" + tmp.file("nothing.d64") + "'", tmp);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such file or folder"), std::string::npos);
}

TEST(CliList, ListsFoldersInPathOrderAndSaysWhatItSkipped) {
    test::TempDir tmp;
    test::DiskBuilder a;
    a.format("DISK A", "AA").addFile("HELLO", 0x82, {1, 8});
    a.save(tmp.file("b.D64"));
    test::DiskBuilder b;
    b.format("DISK B", "BB");
    std::filesystem::create_directories(tmp.file("sub"));
    b.save(tmp.file("sub/A.d64"));
    std::ofstream(tmp.file("sub/readme.txt")) << "not an image";
    std::ofstream(tmp.file("odd.d64")) << "short";
    const test::CliRun r = runCli("list --batch '" + tmp.path() + "'", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const auto posA = r.out.find("\"0 \\\"DISK A");
    const auto posB = r.out.find("\"0 \\\"DISK B");
    ASSERT_NE(posA, std::string::npos) << r.out;
    ASSERT_NE(posB, std::string::npos);
    EXPECT_LT(posA, posB);  // b.D64 before sub/A.d64
    EXPECT_NE(r.out.find("\"nameText\": \"\\\"HELLO\\\"           \""), std::string::npos);
    EXPECT_NE(r.err.find("readme.txt: skipped: not a .D64 file"), std::string::npos);
    EXPECT_NE(r.err.find("odd.d64: skipped: unsupported size 5 bytes"), std::string::npos);
    // -o writes the same JSON to a file.
    EXPECT_EQ(
        runCli("list --batch -o '" + tmp.file("out.json") + "' '" + tmp.path() + "'", tmp).status,
        0);
    std::ifstream in(tmp.file("out.json"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), r.out);
}

}  // namespace
}  // namespace qv
