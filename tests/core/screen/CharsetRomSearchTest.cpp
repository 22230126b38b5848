#include "screen/CharsetRomSearch.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screen/C64Screen.h"
#include "screen/ScreenSettings.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

TEST(CharsetRomSearchTest, FoldersFollowTheUserDataFolderRule) {
    struct Case {
        const char* what;
        const char* xdg;
        const char* home;
        std::vector<std::string> userFolders;
    };
    const Case cases[] = {
        {"XDG_DATA_HOME set", "/data", "/home/u", {"/data/vice/C64", "/home/u/.vice/C64"}},
        {"XDG_DATA_HOME unset",
         nullptr,
         "/home/u",
         {"/home/u/.local/share/vice/C64", "/home/u/.vice/C64"}},
        {"relative XDG_DATA_HOME is ignored",
         "data",
         "/home/u",
         {"/home/u/.local/share/vice/C64", "/home/u/.vice/C64"}},
        {"no home", nullptr, nullptr, {}},
    };
    const std::vector<std::string> system = {"/usr/local/share/vice/C64", "/usr/share/vice/C64",
                                             "/usr/local/lib/vice/C64", "/usr/lib/vice/C64"};
    for (const Case& c : cases) {
        std::vector<std::string> expected = c.userFolders;
        expected.insert(expected.end(), system.begin(), system.end());
        std::vector<std::string> actual;
        for (const fs::path& p : charsetRomFolders(c.xdg, c.home, "/"))
            actual.push_back(p.lexically_normal().string());
        EXPECT_EQ(actual, expected) << c.what;
    }
}

// A folder tree laid out like an emulator's installation: the user's own ROM, a damaged
// copy one byte short in the system folder, another good one, and files that are not a
// character ROM.
TEST(CharsetRomSearchTest, FindsRomsInAnEmulatorsDataFoldersAndRefusesTheWrongSize) {
    test::TempDir tmp;
    const fs::path root = tmp.path();
    auto put = [&](const fs::path& folder, const std::string& name, std::size_t size, char fill) {
        fs::create_directories(root / folder);
        test::writeFile(root / folder / name, std::string(size, fill));
        return (root / folder / name).string();
    };
    const std::string user = put("home/.local/share/vice/C64", "chargen-901225-01.bin", 4096, 1);
    const std::string damaged = put("usr/share/vice/C64", "chargen", 4095, 2);
    put("usr/share/vice/C64", "kernal-901227-03.bin", 8192, 3);
    put("usr/share/vice/C64", "chargen.txt", 4096, 4);
    const std::string system = put("usr/lib/vice/C64", "chargen", 4096, 5);

    const CharsetRomSearch search =
        findCharsetRoms(charsetRomFolders(nullptr, (root / "home").c_str(), root));
    EXPECT_EQ(search.found, (std::vector<std::string>{user, system}));
    ASSERT_EQ(search.refused.size(), 1u);
    EXPECT_NE(search.refused[0].find(damaged), std::string::npos) << search.refused[0];
    EXPECT_NE(search.refused[0].find("has 4095 bytes; a character ROM has 4096 bytes"),
              std::string::npos)
        << search.refused[0];

    // What is offered is drawn with, read where it lies.
    C64Screen screen;
    ASSERT_TRUE(applyCharsetRom(screen, search.found[0]));
    EXPECT_EQ(screen.charset().row(1, 0), 1);
    EXPECT_EQ(screen.charset().row(511, 7), 1);
    // The damaged one keeps the glyphs that were in use.
    EXPECT_FALSE(applyCharsetRom(screen, damaged));
    EXPECT_EQ(screen.charset().row(1, 0), 1);
}

TEST(CharsetRomSearchTest, AFolderListedTwiceOffersItsRomOnce) {
    test::TempDir tmp;
    const fs::path folder = fs::path(tmp.path()) / "vice" / "C64";
    fs::create_directories(folder);
    test::writeFile(folder / "chargen", std::string(4096, 'x'));
    fs::create_directory_symlink(folder, fs::path(tmp.path()) / "link");
    const CharsetRomSearch search =
        findCharsetRoms({folder, folder, fs::path(tmp.path()) / "link"});
    EXPECT_EQ(search.found.size(), 1u);
    EXPECT_TRUE(search.refused.empty());
    EXPECT_TRUE(findCharsetRoms({fs::path(tmp.path()) / "missing"}).found.empty());
}

}  // namespace
}  // namespace qv
