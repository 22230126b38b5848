// The basic and tokentable commands of quorvane-cli, run as a user runs them.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/viewer/ViewerFakes.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out;
};

CliRun cli(const std::string& args) {
    const std::string command = std::string(QV_CLI_PATH) + " " + args + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    CliRun r{-1, {}};
    if (pipe == nullptr)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        r.out.append(buf, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class BasicCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("qv_basic_cli_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path p = dir / name;
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return "'" + p.string() + "'";
    }
    fs::path dir;
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
        {"--format rtf " + simons, 2, ""},
        {write("empty.prg", {}), 1, ""},
    };
    for (const Case& c : cases) {
        const CliRun r = cli("basic " + c.args);
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

}  // namespace
}  // namespace qv
