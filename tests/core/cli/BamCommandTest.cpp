#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/DiskBuilder.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"

namespace qv::test {
namespace {

// A disk with error info: a program, a file crosslinked into it and an error byte.
struct CliDisk {
    TempDir tmp;
    std::string path = tmp.file("disk.d64");
    Bytes program;
    DiskBuilder b{35, true};

    CliDisk() {
        b.format();
        program.resize(600);
        for (std::size_t i = 0; i < program.size(); ++i)
            program[i] = static_cast<std::uint8_t>(i * 7);
        program[0] = 0x01;
        program[1] = 0x08;
        const auto blocks = b.writeChain(program);
        b.addEntry({0x82, blocks[0], petsciiName("GAME"), {}, 0, 0, {}, 3});
        const auto other = b.writeChain(Bytes(10, 1));
        b.link(other[0], blocks[2]);
        b.addEntry({0x82, other[0], petsciiName("OTHER"), {}, 0, 0, {}, 2});
        b.errorByte({1, 1}, 5);
        b.save(path);
    }
    std::string q(const std::string& s) const { return "'" + s + "'"; }
};

TEST(BamCommand, GridShowsUsedFreeAndErrorCodes) {
    CliDisk d;
    const CliRun r = runCli("bam " + d.q(d.path), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Type: standard, 35 tracks, with error info"), std::string::npos);
    // Sector rows: 1/0 used, 1/1 used with error 23, track 2 free.
    EXPECT_NE(r.out.find("\n  0  *   .   .   "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n  1  *23 .   .   "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("23: Read error, Checksum error in data block"), std::string::npos);
    EXPECT_NE(r.out.find("#1   3    \"GAME\"             PRG"), std::string::npos) << r.out;
}

TEST(BamCommand, OwnersShowCrosslinksAndFileShowsTheChain) {
    CliDisk d;
    CliRun r = runCli("bam --owners " + d.q(d.path), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("01/02  $00200  used  CROSSLINK\n      #1 \"GAME\": block 3\n      #2 "
                         "\"OTHER\": block 2"),
              std::string::npos)
        << r.out;
    r = runCli("bam --file GAME " + d.q(d.path), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Chain of #1 \"GAME\":\n  01/00  $00000  block 1\n  01/01  $00100  block "
                         "2  error 23\n  01/02  $00200  block 3  (also used by 1 other file(s))"),
              std::string::npos)
        << r.out;
    r = runCli("bam --file NOPE " + d.q(d.path), d.tmp);
    EXPECT_EQ(r.status, 1);
}

TEST(BamCommand, Json) {
    CliDisk d;
    const CliRun r = runCli("bam --format json --owners --file '#2' " + d.q(d.path), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"errorInfoKind\": 1"), std::string::npos);
    EXPECT_NE(r.out.find("\"error\": 23"), std::string::npos);
    EXPECT_NE(r.out.find("\"text\": \"block 2\""), std::string::npos);
    EXPECT_NE(r.out.find("\"chain\""), std::string::npos);
}

TEST(BamCommand, ExtractWithAndWithoutLoadAddress) {
    CliDisk d;
    const std::string out = d.tmp.file("game.prg");
    CliRun r = runCli("extract " + d.q(d.path) + " GAME -o " + d.q(out), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readBytes(out), d.program);
    r = runCli("extract --no-load-address " + d.q(d.path) + " '#1' -o " + d.q(out), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::readBytes(out), Bytes(d.program.begin() + 2, d.program.end()));
    r = runCli("extract " + d.q(d.path) + " MISSING -o " + d.q(out), d.tmp);
    EXPECT_EQ(r.status, 1);
}

// The owner walk meets a damaged file beside the one asked for: extract names it only
// with --verbose, and still reports the damage of the file it writes.
TEST(BamCommand, ExtractReportsOnlyTheFileAskedForUnlessVerbose) {
    CliDisk d;
    const auto broken = d.b.writeChain(Bytes(300, 2));
    d.b.link(broken[0], {60, 0});
    d.b.addEntry({0x82, broken[0], petsciiName("BROKEN"), {}, 0, 0, {}, 2});
    d.b.save(d.path);
    const std::string out = d.tmp.file("game.prg");
    CliRun r = runCli("extract " + d.q(d.path) + " GAME -o " + d.q(out), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("BROKEN"), std::string::npos) << r.err;
    r = runCli("extract --verbose " + d.q(d.path) + " GAME -o " + d.q(out), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("BROKEN"), std::string::npos) << r.err;
    r = runCli("extract " + d.q(d.path) + " BROKEN -o " + d.q(out), d.tmp);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("BROKEN"), std::string::npos) << r.err;
}

TEST(BamCommand, StripErrorsRefusesWithoutTerminalUnlessYes) {
    CliDisk d;
    CliRun r = runCli("strip-errors " + d.q(d.path), d.tmp);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("add --yes"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(d.path), d.b.bytes());

    r = runCli("strip-errors --yes " + d.q(d.path), d.tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    const Bytes after = test::readBytes(d.path);
    EXPECT_EQ(after, Bytes(d.b.bytes().begin(), d.b.bytes().begin() + 174848));

    r = runCli("strip-errors --yes " + d.q(d.path), d.tmp);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("no error info"), std::string::npos);
}

TEST(BamCommand, UndetectedFortyTrackImageFollowsFortyAs) {
    TempDir tmp;
    DiskBuilder b(40, false);
    b.format();  // no extended BAM: the variant cannot be detected
    const std::string path = tmp.file("forty.d64");
    b.save(path);
    CliRun r = runCli("bam '" + path + "'", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Type: standard, 35 tracks"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");
    r = runCli("bam --forty-as dolphindos '" + path + "'", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Type: DolphinDOS, 40 tracks"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace qv::test
