// The basic and tokentable commands of quorvane-cli, run as a user runs them.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/viewer/ViewerFakes.h"
#include "support/RunCli.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

// Runs the command line program; only standard output and the status are looked at.
test::CliRun cli(const std::string& args, const test::TempDir& tmp) {
    return test::runCli(args, tmp);
}

class BasicCommand : public ::testing::Test {
  protected:
    test::CliRun cli(const std::string& args) { return qv::cli(args, tmp); }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path p = dir / name;
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return "'" + p.string() + "'";
    }
    test::TempDir tmp;
    fs::path dir = tmp.path();
};

TEST_F(BasicCommand, ListsPrograms) {
    using test::Prg;
    const std::string v2 =
        write("v2.prg", Prg(0x0801)
                            .line(10, {0x99, 0x22, 0x11, 0x11, 0x48, 0x49, 0x22})
                            .line(20, {0x8B, 'A', 0xB2, '1', 0xA7, 0x89, '1', '0'})
                            .line(30, {0x99, 0x22, 0xC1, 0x5C, 0x22, 0xFF})
                            .bytes());
    const std::string simons = write("s.prg", Prg(0x0801).line(5, {0x64, 0x01, '0'}).bytes());
    struct Case {
        std::string args;
        int status;
        std::string out;
    } cases[] = {
        {v2, 0, "10 PRINT\"{DOWN*2}HI\"\n20 IFA=1THENGOTO10\n30 PRINT\"\u2534\\\"{PI}\n"},
        {"--lower --ascii " + v2, 0,
         "10 print\"{down*2}hi\"\n20 ifa=1thengoto10\n30 print\"A\u00A3\"{pi}\n"},
        {"--ascii " + v2, 0,
         "10 PRINT\"{DOWN*2}HI\"\n20 IFA=1THENGOTO10\n30 PRINT\"\u2660\u00A3\"{PI}\n"},
        {"--no-specialchars --encoding cp437 " + v2, 0,
         "10 PRINT\"\x11\x11HI\"\r\n20 IFA=1THENGOTO10\r\n30 PRINT\"\xC1\\\"{PI}\r\n"},
        {"--mode 'simons basic' " + simons, 0, "5 HIRES0\n"},
        {simons, 0, "5 d\u263A0\n"},
        {"--mode 'BASIC V7' " + simons, 1, ""},
        {"--mode 'BASIC V7' --ignore-start " + simons, 0, "5 d\u263A0\n"},
        {"--mode nosuch " + simons, 2, ""},
        {"--format html " + simons, 2, ""},
        {write("empty.prg", {}), 1, ""},
    };
    for (const Case& c : cases) {
        const test::CliRun r = cli("basic " + c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.out, c.out) << c.args;
    }
}

TEST_F(BasicCommand, WritesTheDefaultTokenTable) {
    const fs::path out = dir / "TokenTable.CSV";
    ASSERT_EQ(cli("tokentable --save '" + out.string() + "'").status, 0);
    std::ifstream in(out, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    TokenTable table;
    table.fillDefaultTable(true);
    EXPECT_EQ(text.str(), table.toCsv());

    // A custom table changes the listing.
    table.setCell(4, 8 + 0x19, "show");
    ASSERT_TRUE(table.saveTokenTableCsv(out.string()));
    const std::string prg = write("p.prg", test::Prg(0x0801).line(1, {0x99}).bytes());
    EXPECT_EQ(cli("basic --table '" + out.string() + "' " + prg).out, "1 SHOW\n");
    EXPECT_EQ(cli("tokentable --modes").out.substr(0, 27), "BASIC V2: 3\nBASIC V3.5: 5 3");
}

TEST_F(BasicCommand, RtfCarriesTheSyntaxColours) {
    using test::Prg;
    // 10 PRINT "HI": the keyword and the string get colours of the token table.
    const std::string prg =
        write("c.prg", Prg(0x0801).line(10, {0x99, ' ', '"', 'H', 'I', '"'}).bytes());
    const fs::path out = dir / "c.rtf";
    ASSERT_EQ(cli("basic --format rtf -o '" + out.string() + "' " + prg).status, 0);
    std::ifstream in(out, std::ios::binary);
    const std::string rtf((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("PRINT"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\"HI\""), std::string::npos);
    // More than one colour in the colour table: black text plus the syntax colours.
    const auto table = rtf.find("{\\colortbl");
    ASSERT_NE(table, std::string::npos);
    const std::string colours = rtf.substr(table, rtf.find('}', table) - table);
    EXPECT_GE(std::count(colours.begin(), colours.end(), ';'), 3) << colours;
    EXPECT_EQ(cli("basic --format html " + prg).status, 2);
}

}  // namespace
}  // namespace qv
