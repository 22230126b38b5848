#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/DiskBuilder.h"
#include "support/RunCli.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::Bytes;
using test::runCli;

std::string geosDisk(const test::TempDir& tmp, const std::string& file) {
    test::DiskBuilder d;
    d.format("GEOS", "GS").geosSignature();
    test::InfoBlockSpec a;
    a.geosType = 6;
    a.className = "Zeta App V1.0";
    a.author = "Someone";
    a.description = "Says \"hi\"";
    d.addGeosSequential("ZAPP", a, Bytes(100, 1), {89, 3, 2, 10, 30});
    test::InfoBlockSpec b = a;
    b.geosType = 7;
    b.className = "Alpha Doc V2.0";
    b.icon = Bytes(63, 0xFF);
    d.addGeosVlir("ADOC", b, {Bytes(10, 2)}, {91, 1, 1, 0, 0});
    d.addFile("BASIC", 0x82, Bytes(10, 3));
    const std::string path = tmp.file(file);
    d.save(path);
    return path;
}

TEST(CliGeos, ListsGeosFilesWithChosenColumnsAndOrder) {
    test::TempDir tmp;
    const std::string img = geosDisk(tmp, "g.d64");
    test::CliRun r = runCli("geos '" + img + "'", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "\"ZAPP\"\tAPP\tZeta App V1.0\tSomeone\tSays \"hi\"\t02.03.1989 10:30\t" + img +
                  "\n\"ADOC\"\tDOC\tAlpha Doc V2.0\tSomeone\tSays \"hi\"\t01.01.1991 00:00\t" +
                  img + "\n");
    EXPECT_NE(r.err.find("2 GEOS File(s) listed"), std::string::npos);

    r = runCli("geos --format csv --columns class,0 --sort class '" + tmp.path() + "'", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "\xEF\xBB\xBF\"\"\"ADOC\"\"\",\"Alpha Doc V2.0\"\n\"\"\"ZAPP\"\"\",\"Zeta App V1.0\"\n");

    r = runCli("geos --columns date --sort date --descending '" + img + "'", tmp);
    EXPECT_EQ(r.out, "01.01.1991 00:00\n02.03.1989 10:30\n");
}

TEST(CliGeos, WritesFilesAndTheIconStrip) {
    test::TempDir tmp;
    const std::string img = geosDisk(tmp, "g.d64");
    const std::string html = tmp.file("out.html"), icons = tmp.file("icons.bmp");
    const test::CliRun r =
        runCli("geos --format html -o '" + html + "' --icons '" + icons + "' '" + img + "'", tmp);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.empty());
    const std::string text = test::readFile(html);
    // No byte-order mark before the document type; the head names the character set.
    EXPECT_EQ(text.rfind("<!DOCTYPE HTML PUBLIC", 0), 0U);
    EXPECT_NE(text.find("charset=utf-8"), std::string::npos);
    EXPECT_NE(text.find("<td nowrap>Zeta App V1.0</td>"), std::string::npos);
    // Two different icons, side by side: 48 x 21 pixels, one bit each.
    const std::string b = test::readFile(icons);
    ASSERT_GT(b.size(), 30U);
    EXPECT_EQ(b.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(b[18]), 48);
    EXPECT_EQ(static_cast<unsigned char>(b[22]), 21);
    EXPECT_EQ(static_cast<unsigned char>(b[28]), 1);
}

TEST(CliGeos, Errors) {
    test::TempDir tmp;
    EXPECT_EQ(runCli("geos", tmp).status, 2);
    EXPECT_EQ(runCli("geos --help", tmp).status, 0);
    EXPECT_EQ(runCli("geos --format pdf x.d64", tmp).status, 2);
    EXPECT_EQ(runCli("geos --columns name,nothing x.d64", tmp).status, 2);
    EXPECT_EQ(runCli("geos --sort 9 x.d64", tmp).status, 2);
    const test::CliRun missing = runCli("geos '" + tmp.file("none.d64") + "'", tmp);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no such file or folder"), std::string::npos);
}

}  // namespace
}  // namespace qv
