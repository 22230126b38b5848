#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/Fonts.h"
#include "settings/ListerOptions.h"
#include "settings/WindowSettings.h"

namespace qv {
namespace {

// Everything that reads the settings file, run over one file.
void loadEverything(const IniFile& ini) {
    ListerOptions o;
    const OptionsLoadResult r = loadOptions(ini, o);
    EXPECT_LE(r.messages.size(), 4u);
    EXPECT_TRUE(o.maxFiles == 144 || o.maxFiles == 288);
    EXPECT_TRUE(o.addPath == 1 || o.addPath == 2);
    EXPECT_TRUE(o.fortyTrackType >= 1 && o.fortyTrackType <= 3);
    EXPECT_LE(o.headerImageText.size(), 32767u);
    const FontSettings fonts = loadFonts(ini);
    for (const FontSetting& f : fonts.fonts)
        EXPECT_TRUE(f.size >= 1 && f.size <= 500);
    MainFormSettings::load(ini);
    WorkAroundSettings::load(ini);
    RichEditSettings::load(ini).maximumText(100);
    NamesSettings::load(ini);
    FileListSettings::load(ini);
    BamViewerSettings::load(ini);
    FileViewerWindowSettings::load(ini);
    FileViewerOptionsSettings::load(ini);
    BasicAddressSettings::load(ini);
    TokenTableSettings::load(ini);
    GeosDetailsSettings::load(ini);
    PrintColorPalette::load(ini);
    for (Colour c : PaletteSettings::load(ini).colours)
        EXPECT_LE(c, 0xFFFFFFu);
    FontIdTable::load(ini);

    // Writing back into the damaged file and reading it again works as well.
    IniFile copy = ini;
    saveOptions(copy, o, fonts, kAllFontBits);
    ListerOptions again;
    (void)loadOptions(IniFile::parse(copy.text()), again);
    EXPECT_EQ(again.fortyTrackType, o.fortyTrackType);
    EXPECT_EQ(again.headerImage, o.headerImage);
}

TEST(HostileSettings, DamagedFilesLoadWithoutHarm) {
    const std::string files[] = {
        std::string("\0\x01\xFF[\x80]=\n=\n[[]]\n]\n[", 18),
        "[ASCII]\nHeaderImage=2000000000,-\nPreImage=99999999999999999999,x\n"
        "PostImage=16384,RETURN\nFooterImage=\"\n",
        "[Conversion]\n144 Files=99999999999999999999999\nDirAbortWithNull=-2147483648\n"
        "[40Tracks]\nTyp=2147483647\n[C64 Screen]\nnum=-2147483648\n[ASCII]\nskip=4294967295\n",
        "[MainForm]\nFontSize=-2147483648\nWidth=\n[ASCII]\n[ASCII]\n[ASCII]\nAdd path\n"
        "no equals\n==\n[Names]\nSavepath=\"\"\nSavepath=/nonexistent/\x01\n",
        "[FontTable]\n=\n1\n;x\n2=\n[FontTable]\n3=A;B;C\n",
        std::string(100000, '['),
        std::string(100000, '='),
    };
    for (const std::string& text : files)
        loadEverything(IniFile::parse(text));
}

TEST(HostileSettings, RandomBytesWithSettingsWordsLoadWithoutHarm) {
    // Text made of the characters and words that matter to the reader, in random order.
    const std::string pieces[] = {
        "[",           "]",        "=",          "\n",
        "\r\n",        "\"",       " ",          ";",
        "-",           "0",        "1",          "9999999999",
        "RETURN",      ",",        "DEFAULT",    "ASCII",
        "HeaderImage", "PreImage", "Conversion", "Typ",
        "40Tracks",    "Names",    "Savepath",   "FontTable",
        "MainForm",    "FontSize", "\xFF",       std::string(1, '\0'),
    };
    std::mt19937 rng(1541);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(0, 400);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int n = length(rng); n > 0; --n)
            text += pieces[pick(rng)];
        loadEverything(IniFile::parse(text));
    }
}

}  // namespace
}  // namespace qv
