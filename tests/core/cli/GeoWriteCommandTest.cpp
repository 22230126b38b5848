// quorvane-cli geowrite as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/DiskBuilder.h"
#include "support/GeoWriteBytes.h"
#include "support/RunCli.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::Bytes;
using test::runCli;
using test::geowrite::operator<<;

test::InfoBlockSpec writeImage(const std::string& cls) {
    test::InfoBlockSpec info;
    info.geosType = 7;
    info.structure = 1;
    info.className = cls;
    return info;
}

struct CliGeoWrite : ::testing::Test {
    test::TempDir tmp;
    std::string image;

    void SetUp() override {
        test::DiskBuilder d;
        d.format("GEOS DISK", "GD").geosSignature();
        std::vector<Bytes> letter(63);
        letter[0] << test::geowrite::font(1, 12, 0) << test::geowrite::text("Dear reader\r");
        letter[61] = test::geowrite::text("HEAD\r");
        letter[62] = test::geowrite::text("FOOT\r");
        d.addGeosVlir("Letter", writeImage("Write Image V2.0"), letter);
        d.addGeosVlir("Wide", writeImage("Write Image V2.1"), {test::geowrite::text("w\r")});
        d.addGeosVlir("Pic", writeImage("Paint Image V1.1"), {{0x85, 0xFF}});
        std::filesystem::create_directories(tmp.file("in"));
        image = tmp.file("in/disk.d64");
        d.save(image);
    }
};

TEST_F(CliGeoWrite, ConvertsOneDocumentWithTheChosenOptions) {
    const std::string out = tmp.file("letter.rtf");
    test::CliRun r = runCli("geowrite --batch '" + image + "' Letter -o '" + out + "'", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, out + "\n");
    std::string rtf = test::readFile(out);
    EXPECT_NE(rtf.find("\\pard\\margl1728\\margr1440\\"), std::string::npos);
    EXPECT_NE(rtf.find("page 1"), std::string::npos);
    EXPECT_NE(rtf.find("HEAD"), std::string::npos);
    EXPECT_NE(rtf.find("FOOT"), std::string::npos);
    EXPECT_NE(rtf.find("Dear reader"), std::string::npos);

    r = runCli(
        "geowrite --batch --letter --no-page-numbers --no-header --no-footer --font-ids "
        "'" +
            image + "' letter -o '" + out + "'",
        tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    rtf = test::readFile(out);
    EXPECT_NE(rtf.find("\\pard\\margl1728\\margr1771\\"), std::string::npos);
    EXPECT_EQ(rtf.find("page 1"), std::string::npos);
    EXPECT_EQ(rtf.find("HEAD"), std::string::npos);
    EXPECT_EQ(rtf.find("FOOT"), std::string::npos);
    EXPECT_NE(rtf.find("\\{0001\\}Dear reader"), std::string::npos);
}

TEST_F(CliGeoWrite, AllWritesEveryGeoWriteDocument) {
    const test::CliRun r =
        runCli("geowrite --batch --all '" + tmp.file("in") + "' -o '" + tmp.file("out") + "'", tmp);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, tmp.file("out/Letter.rtf") + "\n" + tmp.file("out/Wide.rtf") + "\n");
    EXPECT_NE(test::readFile(tmp.file("out/Wide.rtf")).find("\\pard\\margl288\\margr000\\"),
              std::string::npos);
    EXPECT_NE(r.err.find("2 document(s) written"), std::string::npos);
}

TEST_F(CliGeoWrite, Failures) {
    const std::string out = tmp.file("x.rtf");
    struct Case {
        std::string args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {"'" + image + "' Nothing -o '" + out + "'", 1, "no GeoWrite document named 'Nothing'"},
        {"'" + image + "' Pic -o '" + out + "'", 1, "no GeoWrite document named 'Pic'"},
        {"'" + tmp.file("none.d64") + "' Letter -o '" + out + "'", 1, "none.d64"},
        {"'" + image + "' Letter", 2, "usage"},
        {"'" + image + "' -o '" + out + "'", 2, "usage"},
        {"--colours '" + image + "' Letter -o '" + out + "'", 2, "unknown option '--colours'"},
        {"--font-table '" + image + "' Letter -o '" + out + "'", 2,
         "You haven't defined a FontID Lookup Table"},
        {"'" + image + "' Letter -o '" + tmp.file("no/such/dir/x.rtf") + "'", 1,
         "Error while creating Save File..."},
    };
    for (const Case& c : cases) {
        const test::CliRun r = runCli("geowrite --batch " + c.args, tmp);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
}  // namespace qv
