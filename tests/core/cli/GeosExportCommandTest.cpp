// quorvane-cli geos-export as a user runs it: which documents become which files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "support/DiskBuilder.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::Bytes;
using test::InfoBlockSpec;
using test::runCli;

InfoBlockSpec info(std::uint8_t geosType, std::uint8_t structure, const std::string& cls) {
    InfoBlockSpec form;
    form.geosType = geosType;
    form.structure = structure;
    form.className = cls;
    return form;
}

// A 1 x 8 scrap of one repeated byte.
Bytes scrap(std::uint8_t fill) {
    return {1, 8, 0, 0x08, fill, 0x01, 0x10};
}

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

std::string head(const std::string& path, std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    std::string s(n, '\0');
    in.read(s.data(), static_cast<std::streamsize>(n));
    return s;
}

struct CliGeosExport : ::testing::Test {
    test::TempDir tmp;

    void SetUp() override {
        test::DiskBuilder d;
        d.format("GEOS DISK", "GD").geosSignature();
        d.addGeosVlir("Pic", info(7, 1, "Paint Image V1.1"), {{0x85, 0xFF}});
        // A font of one size: height 1, every character 1 pixel wide.
        Bytes font(8 + 192 + 12, 0);
        font[1] = 12;
        font[3] = 1;
        font[4] = 8;
        font[6] = 200;
        for (int k = 0; k <= 95; ++k)
            font[static_cast<std::size_t>(8 + 2 * k)] = static_cast<std::uint8_t>(k);
        d.addGeosVlir("Font", info(8, 1, "Roma"), {font});
        d.addGeosSequential("Scrap", info(4, 0, "Photo Scrap V1.1"), scrap(0xAA));
        d.addGeosVlir("Album", info(7, 1, "Photo Album V2.1"),
                      {scrap(0x11), scrap(0x22), {'S', 'e', 'a', 0, 0x05, 0}});
        d.addGeosVlir("Letter", info(7, 1, "Write Image V2.1"), {{'H', 'i', 0}});
        d.addGeosSequential("Notes", info(7, 0, "Text Scrap V1.0"), {1, 2, 3});
        std::filesystem::create_directories(tmp.file("in"));
        d.save(tmp.file("in/disk.d64"));
    }
};

TEST_F(CliGeosExport, WritesEveryPictureNamedLikeTheCatalogueExport) {
    const test::CliRun r =
        runCli("geos-export --batch '" + tmp.file("in") + "' -o '" + tmp.file("out") + "'", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::set<std::string> expected = {"Pic.bmp", "Font.bmp", "Scrap disk.bmp",
                                            "Album(Sea).bmp", "Album (002).bmp"};
    EXPECT_EQ(filesIn(tmp.file("out")), expected);
    EXPECT_EQ(head(tmp.file("out/Pic.bmp"), 2), "BM");
    EXPECT_NE(r.out.find(tmp.file("out/Album(Sea).bmp")), std::string::npos);

    // Again into the same folder: existing names are renamed by default, or skipped.
    EXPECT_EQ(
        runCli("geos-export --batch '" + tmp.file("in") + "' -o '" + tmp.file("out") + "'", tmp)
            .status,
        0);
    EXPECT_TRUE(std::filesystem::exists(tmp.file("out/Pic_002.bmp")));
    EXPECT_TRUE(std::filesystem::exists(tmp.file("out/Album (002)_002.bmp")));
    EXPECT_EQ(runCli("geos-export --batch --exists skip '" + tmp.file("in") + "' -o '" +
                         tmp.file("out") + "'",
                     tmp)
                  .status,
              0);
    EXPECT_EQ(filesIn(tmp.file("out")).size(), 10u);
}

TEST_F(CliGeosExport, PngAndMonochrome) {
    const test::CliRun r = runCli("geos-export --batch --format png --mono '" +
                                      tmp.file("in/disk.d64") + "' -o '" + tmp.file("png") + "'",
                                  tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(filesIn(tmp.file("png")).count("Pic.png"), 1u);
    EXPECT_EQ(head(tmp.file("png/Scrap disk.png"), 4), "\x89PNG");
}

TEST_F(CliGeosExport, ColoursComeFromTheSettings) {
    // The picture's first card is set bits on colour byte 0: palette entry 0 everywhere.
    const test::CliRun r = runCli("geos-export --batch --set 'Color Palette/00 black=16711680' '" +
                                      tmp.file("in/disk.d64") + "' -o '" + tmp.file("red") + "'",
                                  tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bmp = test::readFile(tmp.file("red/Pic.bmp"));
    ASSERT_GT(bmp.size(), 54u);
    const auto u = [&](std::size_t at) { return static_cast<unsigned char>(bmp[at]); };
    const std::size_t pixels = u(10) | u(11) << 8 | u(12) << 16;
    // Rows are stored bottom-up: the top-left pixel starts the last row.
    const std::size_t topLeft = pixels + 719u * 640u * 4u;
    ASSERT_LT(topLeft + 2, bmp.size());
    EXPECT_EQ(u(topLeft), 0x00);      // blue
    EXPECT_EQ(u(topLeft + 1), 0x00);  // green
    EXPECT_EQ(u(topLeft + 2), 0xFF);  // red

    // The font sheet's grid, in the grid colour of the settings.
    const std::string grid = std::string("\xC8\xD0\xD4", 3);  // blue, green, red
    const auto fontBytes = [&](const std::string& folder) {
        return test::readFile(tmp.file(folder + "/Font.bmp"));
    };
    EXPECT_EQ(fontBytes("red").find(grid), std::string::npos);
    ASSERT_EQ(runCli("geos-export --batch --set GEOS/ShowGrid=1 '" + tmp.file("in/disk.d64") +
                         "' -o '" + tmp.file("grid") + "'",
                     tmp)
                  .status,
              0);
    EXPECT_NE(fontBytes("grid").find(grid), std::string::npos);
}

TEST_F(CliGeosExport, UsageErrors) {
    EXPECT_EQ(runCli("geos-export --help", tmp).status, 0);
    EXPECT_EQ(runCli("geos-export '" + tmp.file("in") + "'", tmp).status, 2);  // no -o
    EXPECT_EQ(runCli("geos-export --format gif x.d64 -o y", tmp).status, 2);
    EXPECT_EQ(runCli("geos-export --exists maybe x.d64 -o y", tmp).status, 2);
    const test::CliRun missing =
        runCli("geos-export '" + tmp.file("none.d64") + "' -o '" + tmp.file("o") + "'", tmp);
    EXPECT_EQ(missing.status, 1);
}

}  // namespace
}  // namespace qv
