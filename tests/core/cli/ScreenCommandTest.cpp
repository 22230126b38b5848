// quorvane-cli screen: the C64 screen of a listing saved page by page, and the glyph chart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "screen/C64Screen.h"
#include "settings/ListerOptions.h"
#include "support/Bmp.h"
#include "support/DiskBuilder.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {

using test::runCli;

// Two images of ten files each: 14 screen rows apiece (header, ten files, free blocks and
// two empty rows), 28 rows in all, so two pages.
struct TwoImages : ::testing::Test {
    test::TempDir tmp;
    void SetUp() override {
        std::filesystem::create_directories(tmp.file("in"));
        for (const char* name : {"a", "b"}) {
            test::DiskBuilder d;
            d.format(std::string("DISK ") + name, "QV");
            for (int i = 0; i < 10; ++i)
                d.addFile("FILE " + std::to_string(i), 0x82, test::Bytes(10, 1));
            d.save(tmp.file(std::string("in/") + name + ".d64"));
        }
        std::ofstream(tmp.file("q.ini")) << "";
    }
    test::CliRun screen(const std::string& options) {
        return runCli("screen --batch --settings '" + tmp.file("q.ini") + "' " + options + " '" +
                          tmp.file("in") + "'",
                      tmp);
    }
};

TEST_F(TwoImages, PagesAreNumberedAndShowWhatTheMainScreenShows) {
    const test::CliRun r = screen("-o '" + tmp.file("out/pages.bmp") + "'");
    // The folder does not exist: nothing can be saved.
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("C64Screen: Failed to save Complete Bitmap!"), std::string::npos) << r.err;

    std::filesystem::create_directories(tmp.file("out"));
    const test::CliRun ok = screen("-o '" + tmp.file("out/pages.bmp") + "'");
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ok.out, "2 File(s) Saved to Folder " + tmp.file("out") + "\n");
    EXPECT_FALSE(std::filesystem::exists(tmp.file("out/pages_0003.bmp")));

    // The same listing fed to a screen here gives the same pictures.
    ListerOptions options;
    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    const TokenTable tokens;
    Listing listing(options, dialogs);
    listing.setKeywords(v2Keywords(tokens));
    C64Screen expected;
    listing.setScreen(&expected);
    listing.fileList = {tmp.file("in/a.d64"), tmp.file("in/b.d64")};
    listing.listFiles(RunKind::Drop);
    ASSERT_EQ(expected.lineCount(), 28);
    for (int page = 0; page < 2; ++page) {
        Image32 picture;
        expected.drawPage(page * expected.rows(), picture);
        const std::string name = tmp.file("out/pages_000" + std::to_string(page + 1) + ".bmp");
        EXPECT_EQ(test::readBytes(name), encodeBmp(picture)) << name;
    }
}

TEST_F(TwoImages, SettingsCharacterSetAndPng) {
    // "Images in C64Screen" 0: headers, free blocks and empty rows only, one page.
    const test::CliRun few = screen("--set 'C64 Screen/num=0' -o '" + tmp.file("few.bmp") + "'");
    ASSERT_EQ(few.status, 0) << few.err;
    EXPECT_TRUE(std::filesystem::exists(tmp.file("few_0001.bmp")));
    EXPECT_FALSE(std::filesystem::exists(tmp.file("few_0002.bmp")));

    // Upper/Lower draws other glyphs for the same letters.
    ASSERT_EQ(screen("--upper-lower -o '" + tmp.file("ul.bmp") + "'").status, 0);
    ASSERT_EQ(screen("-o '" + tmp.file("ug.bmp") + "'").status, 0);
    EXPECT_NE(test::readBytes(tmp.file("ul_0001.bmp")), test::readBytes(tmp.file("ug_0001.bmp")));

    // A name ending in .png saves PNG pictures.
    ASSERT_EQ(screen("-o '" + tmp.file("pages.PNG") + "'").status, 0);
    const std::vector<std::uint8_t> png = test::readBytes(tmp.file("pages_0002.PNG"));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 4),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G'}));
}

TEST(CliScreen, CharsetChartRomDumpsAndUsage) {
    test::TempDir tmp;
    std::ofstream(tmp.file("q.ini")) << "";
    const std::string settings = "--settings '" + tmp.file("q.ini") + "' ";
    ASSERT_EQ(runCli("screen " + settings + "--charset-chart '" + tmp.file("chart.bmp") + "'", tmp)
                  .status,
              0);
    const Image1 chart =
        charsetChart(Charset::builtin(), kDefaultC64Palette[6], kDefaultC64Palette[14]);
    EXPECT_EQ(test::readBytes(tmp.file("chart.bmp")), encodeBmp(chart));

    // A dump of the wrong size is refused with the reason; one of 4096 bytes is drawn.
    std::ofstream(tmp.file("short.bin"), std::ios::binary) << std::string(100, '\x55');
    const test::CliRun refused =
        runCli("screen " + settings + "--charset-rom '" + tmp.file("short.bin") +
                   "' --charset-chart '" + tmp.file("rom.bmp") + "'",
               tmp);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("4096 bytes"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(tmp.file("rom.bmp")));
    std::ofstream(tmp.file("rom.bin"), std::ios::binary) << std::string(4096, '\x00');
    ASSERT_EQ(runCli("screen " + settings + "--charset-rom '" + tmp.file("rom.bin") +
                         "' --charset-chart '" + tmp.file("rom.bmp") + "'",
                     tmp)
                  .status,
              0);
    EXPECT_EQ(test::readBytes(tmp.file("rom.bmp")),
              encodeBmp(charsetChart(Charset(Charset::Bytes{}), kDefaultC64Palette[6],
                                     kDefaultC64Palette[14])));

    EXPECT_EQ(runCli("screen --help", tmp).status, 0);
    EXPECT_EQ(runCli("screen " + settings + "x.d64", tmp).status, 2) << "no -o";
    EXPECT_EQ(runCli("screen " + settings + "-o", tmp).status, 2);
    EXPECT_EQ(runCli("screen " + settings + "--pages x.d64 -o p.bmp", tmp).status, 2);
    const test::CliRun missing = runCli(
        "screen " + settings + "'" + tmp.file("none.d64") + "' -o '" + tmp.file("p.bmp") + "'",
        tmp);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such file or folder"), std::string::npos);
}

}  // namespace
}  // namespace qv
