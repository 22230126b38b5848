// quorvane-cli list as a user runs it: exit status, messages and the JSON it writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/DiskBuilder.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"

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

// A folder without images lists nothing: said on stderr, status 1, in every format.
TEST(CliList, FolderWithoutImagesSaysSo) {
    test::TempDir tmp;
    std::filesystem::create_directories(tmp.file("empty"));
    std::filesystem::create_directories(tmp.file("notes"));
    test::writeFile(tmp.file("notes/readme.txt"), "no image here");
    for (const char* format : {"", "--format json ", "--format rtf "}) {
        const test::CliRun r = runCli(std::string("list --batch ") + format + "'" +
                                          tmp.file("empty") + "' '" + tmp.file("notes") + "'",
                                      tmp);
        EXPECT_EQ(r.status, 1) << format;
        EXPECT_TRUE(r.out.empty()) << format;
        EXPECT_NE(
            r.err.find("no disk images found in " + tmp.file("empty") + ", " + tmp.file("notes")),
            std::string::npos)
            << format << r.err;
    }
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
    const test::CliRun r = runCli("list --format json --batch '" + tmp.path() + "'", tmp);
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
        runCli("list --format json --batch -o '" + tmp.file("out.json") + "' '" + tmp.path() + "'",
               tmp)
            .status,
        0);
    EXPECT_EQ(test::readFile(tmp.file("out.json")), r.out);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

struct CliListText : ::testing::Test {
    test::TempDir tmp;
    std::string disk;
    CliListText() {
        test::DiskBuilder d;
        d.format("TEXT DISK", "TD");
        d.addFile("GAME", 0x82, test::Bytes(300, 1));
        test::DirEntrySpec box;
        box.name = test::rawName({0xB0, 0xC0, 0xAE});  // corner, line, corner
        box.first = {1, 0};
        d.addEntry(box);
        disk = tmp.file("disk.d64");
        d.save(disk);
        // An empty settings file, so the user's own settings never change the result.
        std::ofstream(tmp.file("q.ini")) << "";
    }
    test::CliRun list(const std::string& options) {
        return test::runCli(
            "list --batch --settings '" + tmp.file("q.ini") + "' " + options + " '" + disk + "'",
            tmp);
    }
};

TEST_F(CliListText, EncodingsOfTheTextListing) {
    const test::CliRun cp437 = list("--encoding cp437");
    ASSERT_EQ(cp437.status, 0) << cp437.err;
    EXPECT_NE(
        cp437.out.find("\r\n0 \"TEXT DISK       \" TD 2A\r\n2    \"GAME\"             PRG\r\n"),
        std::string::npos)
        << cp437.out;
    EXPECT_NE(cp437.out.find("0    \"\xDA\xC4\xBF\""), std::string::npos);
    EXPECT_NE(cp437.out.find("662 BLOCKS FREE.\r\n"), std::string::npos);
    // UTF-8: the same glyphs as box-drawing characters, LF line ends.
    const test::CliRun utf8 = list("");
    EXPECT_NE(utf8.out.find("0    \"\u250C\u2500\u2510\""), std::string::npos) << utf8.out;
    EXPECT_EQ(utf8.out.find('\r'), std::string::npos);
    // Windows-1252: nearest characters.
    EXPECT_NE(list("--encoding ansi").out.find("0    \"+-+\""), std::string::npos);
    // The generated header can be switched off through the settings.
    const test::CliRun bare = list("--encoding cp437 --set ASCII/Header=0");
    EXPECT_EQ(bare.out.substr(0, 26), "0 \"TEXT DISK       \" TD 2A");
}

TEST_F(CliListText, RtfAndGeneratedFile) {
    const test::CliRun rtf = list("--format rtf -o '" + tmp.file("l.rtf") + "'");
    ASSERT_EQ(rtf.status, 0) << rtf.err;
    const std::string doc = test::readFile(tmp.file("l.rtf"));
    EXPECT_EQ(doc.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(doc.find("\\red0\\green0\\blue255"), std::string::npos);
    // --generate writes <image name>.txt into the image's folder, the buffer byte for byte.
    const test::CliRun gen = list("--generate --encoding cp437");
    ASSERT_EQ(gen.status, 0) << gen.err;
    EXPECT_EQ(test::readFile(tmp.file("disk.txt")), gen.out);
    EXPECT_NE(gen.err.find("Saved to " + tmp.file("disk.txt")), std::string::npos);
    // A second run keeps the file unless told otherwise, then appends.
    list("--generate");
    EXPECT_EQ(test::readFile(tmp.file("disk.txt")), gen.out);
    list("--generate --on-exists append");
    EXPECT_EQ(test::readFile(tmp.file("disk.txt")), gen.out + gen.out);
}

TEST_F(CliListText, BadSettingsOptions) {
    EXPECT_EQ(list("--set nonsense").status, 2);
    EXPECT_EQ(test::runCli("list --settings '" + tmp.file("none.ini") + "' x.d64", tmp).status, 2);
    EXPECT_EQ(list("--encoding ebcdic").status, 2);
    // A header style that does not parse is reported and the listing still comes.
    const test::CliRun r = list("--set ASCII/HeaderImage=x,-");
    EXPECT_NE(r.err.find("ListerOptions: Failed to parse Header Image String"), std::string::npos);
    EXPECT_NE(r.out.find("TEXT DISK"), std::string::npos);
}

}  // namespace
}  // namespace qv
