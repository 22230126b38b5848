// Images made by cc1541, an independent image maker, read back by our reader and
// compared with what went in and with the listing cc1541 prints itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

#include "host/Dialogs.h"
#include "listing/DirectoryReader.h"
#include "listing/ImageOpen.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

struct FileIn {
    std::string name;     // lower-case ASCII: cc1541 stores it as PETSCII upper case
    std::string type;     // -T value
    bool locked = false;  // -P
    bool open = false;    // -O
    std::size_t size = 0;
};

struct PrintedEntry {
    int blocks;
    std::string name;
    std::string type;
};

struct Printed {
    std::vector<PrintedEntry> entries;
    int blocksFree = -1;
};

std::string run(const std::string& command) {
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        out.append(buf, n);
    pclose(p);
    return out;
}

Printed parsePrinted(const std::string& text) {
    Printed p;
    std::istringstream in(text);
    std::string line;
    const std::regex entry(R"re(^(\d+)\s+"([^"]*)"\s*(\S+)\s*$)re");
    const std::regex freeLine(R"re(^(\d+) blocks free\.)re");
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_match(line, m, entry)) {
            p.entries.push_back({std::stoi(m[1]), m[2], m[3]});
        } else if (std::regex_search(line, m, freeLine)) {
            p.blocksFree = std::stoi(m[1]);
        }
    }
    return p;
}

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string upperType(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

bool haveCc1541() {
    return !run("command -v cc1541").empty();
}

struct Case {
    const char* what;
    const char* diskOption;  // "", "-4" SpeedDOS, "-5" DolphinDOS
    int dosType;
    std::vector<FileIn> files;
};

std::vector<FileIn> manyFiles(int count) {
    std::vector<FileIn> files;
    for (int i = 0; i < count; ++i)
        files.push_back({"file" + std::to_string(i), "prg", false, false, 10});
    return files;
}

TEST(Cc1541CrossCheck, ReaderAgreesWithAnIndependentImageMaker) {
    if (!haveCc1541())
        GTEST_SKIP() << "cc1541 is not installed (make test installs it)";
    const Case cases[] = {
        {"types and flags",
         "",
         1,
         {{"first", "prg", false, false, 3000},
          {"second", "seq", true, false, 600},
          {"open one", "prg", false, true, 100},
          {"user,file.1", "usr", true, true, 5000},
          {"deleted", "del", false, false, 10},
          {"relative", "rel", false, false, 300}}},
        {"speeddos",
         "-4",
         2,
         {{"big", "prg", false, false, 40000}, {"small", "seq", false, false, 1}}},
        {"dolphindos", "-5", 3, {{"big", "prg", false, false, 60000}}},
        {"many files", "", 1, manyFiles(100)},
    };
    test::TempDir tmp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string image = tmp.file("cc.d64");
        std::remove(image.c_str());
        std::string command =
            "cc1541 " + std::string(c.diskOption) + " -n 'cross check' -i 'qv 2a'";
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const FileIn& f = c.files[i];
            const std::string local = tmp.file(test::numbered("f", i));
            std::ofstream(local, std::ios::binary)
                << std::string(f.size, static_cast<char>('a' + i % 26));
            command += " -f '" + f.name + "' -T " + upperType(f.type) + (f.locked ? " -P" : "") +
                       (f.open ? " -O" : "") + " -N -w '" + local + "'";
        }
        const Printed printed = parsePrinted(run(command + " '" + image + "' 2>&1"));
        ASSERT_EQ(printed.entries.size(), c.files.size());

        test::ScriptedDialogHost host;
        Dialogs dialogs(host);
        ListerOptions options;
        bool abortRun = false;
        DetectContext ctx{options, dialogs, abortRun, tmp.path(), nullptr};
        OpenResult opened = openForListing(image, ctx);
        ASSERT_EQ(opened.outcome, OpenOutcome::Opened) << opened.reason;
        EXPECT_EQ(opened.image->dosType(), c.dosType);
        const DiskHeader header = readHeader(*opened.image, options);
        EXPECT_EQ(header.blocksFree, printed.blocksFree);
        std::vector<DirEntry> entries;
        walkDirectory(*opened.image, options, dialogs,
                      [&](const DirEntry& e) { entries.push_back(e); });
        ASSERT_EQ(entries.size(), c.files.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const DirEntry& e = entries[i];
            const FileIn& in = c.files[i];
            // What went in.
            std::string upperName;
            for (char ch : in.name)
                upperName.push_back(
                    static_cast<char>(std::toupper(static_cast<unsigned char>(ch))));
            EXPECT_EQ(e.nameText.substr(0, upperName.size() + 2), "\"" + upperName + "\"");
            EXPECT_EQ((e.typeByte & 0x40) != 0, in.locked) << in.name;
            EXPECT_EQ((e.typeByte & 0x80) == 0, in.open) << in.name;
            EXPECT_EQ(e.blocks, static_cast<int>(std::max<std::size_t>(1, (in.size + 253) / 254)));
            // What cc1541 prints.
            EXPECT_EQ(e.blocks, printed.entries[i].blocks);
            EXPECT_EQ(lower(e.typeText), printed.entries[i].type);
            EXPECT_EQ(lower(e.nameText.substr(1, upperName.size())), printed.entries[i].name);
        }
        EXPECT_TRUE(host.questions.empty());

        // The text listing shows what cc1541 prints: the same entry lines (its type
        // letters in lower case) and the same free-blocks line.
        options.generateHeader = false;
        Listing listing(options, dialogs);
        listing.fileList = {image};
        ASSERT_EQ(listing.listFiles(RunKind::Load), 1);
        const std::string text = cp437ToUtf8(listing.text().text());
        for (const PrintedEntry& p : printed.entries) {
            std::string name = p.name;
            for (char& ch : name)
                ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            char expected[64];
            std::snprintf(expected, sizeof expected, "%-5d\"%s\"", p.blocks, name.c_str());
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
            const std::string type = upperType(p.type);
            EXPECT_NE(text.find(expected + std::string(18 - name.size() - 2, ' ') +
                                (type[0] == '*' ? "" : " ") + type),
                      std::string::npos)
                << type;
        }
        EXPECT_NE(text.find(test::numbered("\n", printed.blocksFree) + " BLOCKS FREE.\n"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace qv
