#include "settings/ListerOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "SettingsTestFiles.h"

namespace qv {
namespace {

const std::string dashes78(78, '-');

OptionsLoadResult loadText(const std::string& text, ListerOptions& o) {
    return loadOptions(IniFile::parse(text), o);
}

TEST(ListerOptions, FreshFileGivesTheDefaults) {
    ListerOptions o;
    o.maxFiles = 1;  // loading replaces whatever the record held
    o.saveName = "x";
    const OptionsLoadResult r = loadOptions(IniFile{}, o);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.saveFolder, "");
    EXPECT_EQ(o.maxFiles, 288);
    EXPECT_EQ(o.bamOptionBits, 2 + 4 + 8 + 16);  // 40 tracks, autodetect, change type, SpeedDOS
    EXPECT_EQ(o.saveName, "DEFAULT");
    EXPECT_EQ(o.savePath, "DEFAULT");
    EXPECT_EQ(o.dirAbortWithNull, 3);
    EXPECT_EQ(o.imagesInC64Screen, 20);
    EXPECT_EQ(o.driveLetter, "c:");
    EXPECT_EQ(o.headerImage, "78,-,1,RETURN");
    EXPECT_EQ(o.preImage, "1,-,1, ");
    EXPECT_EQ(o.postImage, "1, ,1,-");
    EXPECT_EQ(o.footerImage, "1,RETURN,78,-");
    EXPECT_EQ(o.headerImageText, dashes78 + "\r\n");
    EXPECT_EQ(o.headerImageWidth, 78);
    EXPECT_EQ(o.preImageText, "- ");
    EXPECT_EQ(o.preImageWidth, 2);
    EXPECT_EQ(o.postImageText, " -");
    EXPECT_EQ(o.postImageWidth, 2);
    EXPECT_EQ(o.footerImageText, "\r\n" + dashes78);
    EXPECT_EQ(o.footerImageWidth, 78);

    // A record that was never loaded already carries the derived defaults.
    const ListerOptions fresh;
    EXPECT_EQ(fresh.headerImage, "DEFAULT");
    EXPECT_EQ(fresh.headerImageText, o.headerImageText);
    EXPECT_EQ(fresh.footerImageWidth, 78);
    EXPECT_EQ(fresh.bamOptionBits, o.bamOptionBits);
}

// Every key the OK button writes, with its name exactly as stored, for a fresh file.
TEST(ListerOptions, SaveWritesEveryKeyButDirAbortWithNull) {
    ListerOptions o;
    (void)loadOptions(IniFile{}, o);
    IniFile ini;
    saveOptions(ini, o);
    struct Key {
        const char* section;
        const char* key;
        const char* value;
    };
    const Key keys[] = {
        {"Names", "Savename", "DEFAULT"},
        {"Names", "Multifilename", "DEFAULT"},
        {"Names", "Savepath", "DEFAULT"},
        {"Conversion", "everything", "1"},
        {"Conversion", "special", "1"},
        {"Conversion", "tokens", "1"},
        {"Conversion", "auto", "1"},
        {"Conversion", "disknames", "1"},
        {"Conversion", "delfiles", "0"},
        {"Conversion", "144 Files", "1"},
        {"Conversion", "Zero", "0"},
        {"ASCII", "Save to", "1"},
        {"ASCII", "Header", "1"},
        {"ASCII", "Add path", "1"},
        {"ASCII", "Add Custom Header", "0"},
        {"ASCII", "HeaderImage", "\"78,-,1,RETURN\""},
        {"ASCII", "PreImage", "\"1,-,1, \""},
        {"ASCII", "PostImage", "\"1, ,1,-\""},
        {"ASCII", "FooterImage", "\"1,RETURN,78,-\""},
        {"ASCII", "driveletter", "c:"},
        {"ASCII", "skip", "0"},
        {"C64 Screen", "num", "20"},
        {"C64 Screen", "CharROM", ""},
        {"GEOS", "Generate", "1"},
        {"GEOS", "SpecialChars_Umlaute", "1"},
        {"GEOS", "SpecialChars_Eszett", "1"},
        {"GEOS", "SpecialChars_Para", "1"},
        {"40Tracks", "Enable", "1"},
        {"40Tracks", "AutoDetect", "1"},
        {"40Tracks", "ChangeType", "1"},
        {"40Tracks", "Typ", "1"},
        {"BAM Defaults", "BAMFontSizeScale", "1"},
        {"BAM Defaults", "CanvasFontSizeScale", "1"},
    };
    std::string expected;
    std::string section;
    for (const auto& k : keys) {
        if (section != k.section) {
            if (!section.empty())
                expected += "\r\n";
            section = k.section;
            expected += "[" + section + "]\r\n";
        }
        expected += std::string(k.key) + "=" + k.value + "\r\n";
    }
    EXPECT_EQ(ini.text(), expected);
    EXPECT_FALSE(ini.hasKey("Conversion", "DirAbortWithNull"));
}

TEST(ListerOptions, RoundTripOfEveryField) {
    test::TempDir dir;
    const std::string folder = (dir / "out").string() + "/";
    std::filesystem::create_directories(folder);

    ListerOptions o;
    o.saveName = "LIST.txt";
    o.multifileName = "ALL.doc";
    o.savePath = folder;
    o.convertEverything = false;
    o.interpretSpecialchars = false;
    o.displayBasicV2Tokens = false;
    o.autoGeosConversion = false;
    o.convertGeosDisknames = false;
    o.showDeletedFiles = true;
    o.allowMoreThan144Files = false;
    o.abortImageAt0x00 = true;
    o.showSavedToMessage = false;
    o.generateHeader = false;
    o.addPath = 2;
    o.customHeader = true;
    o.headerImage = "3,=+";
    o.preImage = "2,> ";
    o.postImage = " 1, <";
    o.footerImage = "1,RETURN,10,~";
    o.driveLetter = "net: ";
    o.skip = 4;
    o.imagesInC64Screen = 99;
    o.charsetRom = "/roms/my chars.bin";
    o.generateGeosFileDetails = false;
    o.umlaute = false;
    o.eszett = false;
    o.paragraph = false;
    o.enable40Tracks = false;
    o.autoDetectMode = false;
    o.changeDosType = false;
    o.fortyTrackType = 2;
    o.bamViewerScale = false;
    o.bamChainsScale = false;

    IniFile first;
    saveOptions(first, o);
    const std::string path = (dir / "quorvane.ini").string();
    ASSERT_TRUE(first.save(path));

    ListerOptions back;
    const OptionsLoadResult r = loadOptions(*IniFile::load(path), back);
    EXPECT_TRUE(r.messages.empty());
    EXPECT_EQ(r.saveFolder, folder);
    IniFile second;
    saveOptions(second, back);
    EXPECT_EQ(second.text(), first.text());  // every key came back as it was written

    EXPECT_EQ(back.driveLetter, "net: ");
    EXPECT_EQ(back.charsetRom, "/roms/my chars.bin");
    EXPECT_EQ(back.postImage, " 1, <");
    EXPECT_EQ(back.maxFiles, 144);
    EXPECT_EQ(back.bamOptionBits, 1 + 32);
    EXPECT_EQ(back.headerImageText, "=+=+=+");
    EXPECT_EQ(back.headerImageWidth, 6);
    EXPECT_EQ(back.preImageText, "> > ");
    EXPECT_EQ(back.postImageText, " <");
    EXPECT_EQ(back.footerImageText, "\r\n~~~~~~~~~~");
    EXPECT_EQ(back.footerImageWidth, 10);
}

TEST(ListerOptions, PreImageDefaultKeepsItsTrailingBlankThroughTheFile) {
    test::TempDir dir;
    const std::string path = (dir / "quorvane.ini").string();
    test::writeFile(path, "[ASCII]\r\nPreImage=DEFAULT\r\n");

    ListerOptions o;
    (void)loadOptions(*IniFile::load(path), o);
    EXPECT_EQ(o.preImage, "1,-,1, ");  // what the dialog shows

    IniFile ini = *IniFile::load(path);
    saveOptions(ini, o);
    ASSERT_TRUE(ini.save(path));
    EXPECT_NE(test::readFile(path).find("PreImage=\"1,-,1, \"\r\n"), std::string::npos);

    ListerOptions back;
    (void)loadOptions(*IniFile::load(path), back);
    EXPECT_EQ(back.preImage, "1,-,1, ");
    EXPECT_EQ(back.preImageText, "- ");
    EXPECT_EQ(back.preImageWidth, 2);

    // Without the quotes the blank would be lost: the style shrinks to one dash.
    loadText("[ASCII]\nPreImage=1,-,1, \n", back);
    EXPECT_EQ(back.preImage, "1,-,1,");
    EXPECT_EQ(back.preImageText, "-");
}

TEST(ListerOptions, FortyTrackTypeSelectsTheRadioChoice) {
    struct Case {
        const char* stored;  // nullptr: missing
        int type;
        int radioBit;
        int dosType;
    };
    const Case cases[] = {
        {nullptr, 1, 16, 2}, {"1", 1, 16, 2}, {"2", 2, 32, 3},  {"3", 3, 64, 4},
        {"7", 3, 64, 4},     {"0", 3, 64, 4}, {"-2", 3, 64, 4}, {"abc", 1, 16, 2},
    };
    for (const auto& c : cases) {
        ListerOptions o;
        loadText(c.stored ? std::string("[40Tracks]\nTyp=") + c.stored : "", o);
        EXPECT_EQ(o.fortyTrackType, c.type) << (c.stored ? c.stored : "(missing)");
        EXPECT_EQ(o.bamOptionBits & (16 | 32 | 64), c.radioBit);
        EXPECT_EQ(o.chosenFortyTrackDosType(), c.dosType);
        IniFile ini;
        saveOptions(ini, o);
        EXPECT_EQ(ini.readInt("40Tracks", "Typ", 0), c.type);  // written as 1, 2 or 3
    }
    // A record that holds another value still writes one of the three.
    ListerOptions o;
    o.fortyTrackType = 9;
    IniFile ini;
    saveOptions(ini, o);
    EXPECT_EQ(ini.readString("40Tracks", "Typ", ""), "3");
}

TEST(ListerOptions, AddPathOnlyOneOrTwo) {
    const std::pair<const char*, int> cases[] = {{"1", 1}, {"2", 2},  {"0", 1},
                                                 {"3", 1}, {"-1", 1}, {"x", 1}};
    for (const auto& [stored, expected] : cases) {
        ListerOptions o;
        loadText(std::string("[ASCII]\nAdd path=") + stored, o);
        EXPECT_EQ(o.addPath, expected) << stored;
    }
}

TEST(ListerOptions, ReadRulesForBoolsAndNumbers) {
    ListerOptions o;
    loadText(
        "[Conversion]\neverything=0\nspecial=7\ntokens=no\ndelfiles=-1\n144 Files=0\n"
        "DirAbortWithNull=5\n[C64 Screen]\nnum=abc\n[ASCII]\nskip=300\n",
        o);
    EXPECT_FALSE(o.convertEverything);
    EXPECT_TRUE(o.interpretSpecialchars);  // any non-zero number is true
    EXPECT_TRUE(o.displayBasicV2Tokens);   // not a number: the default
    EXPECT_TRUE(o.showDeletedFiles);
    EXPECT_FALSE(o.allowMoreThan144Files);
    EXPECT_EQ(o.maxFiles, 144);
    EXPECT_EQ(o.bamOptionBits & 1, 1);
    EXPECT_EQ(o.dirAbortWithNull, 5);
    EXPECT_EQ(o.imagesInC64Screen, 20);
    EXPECT_EQ(o.skip, 255);

    const std::pair<const char*, int> counts[] = {
        {"0", 0}, {"100000", 100000}, {"100001", 100000}, {"-5", 0}, {"99999999999", 20}};
    for (const auto& [stored, expected] : counts) {
        loadText(std::string("[C64 Screen]\nnum=") + stored, o);
        EXPECT_EQ(o.imagesInC64Screen, expected) << stored;
    }
}

TEST(ListerOptions, DirAbortWithNullIsReadButNeverWritten) {
    IniFile ini = IniFile::parse("[Conversion]\nDirAbortWithNull=2\n");
    ListerOptions o;
    (void)loadOptions(ini, o);
    EXPECT_EQ(o.dirAbortWithNull, 2);
    o.dirAbortWithNull = 9;
    saveOptions(ini, o);
    EXPECT_EQ(ini.readInt("Conversion", "DirAbortWithNull", 0), 2);
}

TEST(ListerOptions, StylesThatDoNotParseAreReportedInFieldOrder) {
    ListerOptions o;
    const OptionsLoadResult r =
        loadText("[ASCII]\nFooterImage=\"x,-\"\nPostImage=DEFAULT\nHeaderImage=1.5,-\n", o);
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[0], "ListerOptions: Failed to parse Header Image String");
    EXPECT_EQ(r.messages[1], "ListerOptions: Failed to parse Footer Image String");
    EXPECT_EQ(o.headerImage, "1.5,-");  // the field keeps what the user wrote
    EXPECT_EQ(o.headerImageText, "");
    EXPECT_EQ(o.headerImageWidth, 0);
    EXPECT_EQ(o.footerImageText, "");
    EXPECT_EQ(o.footerImageWidth, 0);
    EXPECT_EQ(o.postImageText, " -");

    // After OK the record is worked out again from what the dialog holds.
    o.headerImage = "DEFAULT";
    o.footerImage = "2,RETURN";
    o.allowMoreThan144Files = false;
    EXPECT_TRUE(recomputeOptions(o).empty());
    EXPECT_EQ(o.headerImage, "78,-,1,RETURN");
    EXPECT_EQ(o.headerImageWidth, 78);
    EXPECT_EQ(o.footerImageText, "\r\n\r\n");
    EXPECT_EQ(o.maxFiles, 144);

    o.preImage = "y,y";
    const auto messages = recomputeOptions(o);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "ListerOptions: Failed to parse Pre Image Name String");
}

TEST(ListerOptions, SavePathMustBeAnExistingFolder) {
    test::TempDir dir;
    const std::string existing = dir.path();
    struct Case {
        std::string stored;
        std::string savePath;
        std::string saveFolder;
    };
    const Case cases[] = {
        {"DEFAULT", "DEFAULT", ""},
        {existing, existing, existing},
        {existing + "gone/", "DEFAULT", ""},
        {(dir / "file.txt").string(), "DEFAULT", ""},  // a file is no folder
        {"", "DEFAULT", ""},
    };
    test::writeFile(dir / "file.txt", "x");
    for (const auto& c : cases) {
        ListerOptions o;
        IniFile ini;
        ini.writeText("Names", "Savepath", c.stored);
        const OptionsLoadResult r = loadOptions(ini, o);
        EXPECT_EQ(o.savePath, c.savePath) << c.stored;
        EXPECT_EQ(r.saveFolder, c.saveFolder) << c.stored;
    }
}

TEST(ListerOptions, OkWritesOnlyTheChangedFontsThenTheScaleFlags) {
    ListerOptions o;
    FontSettings fonts;
    fonts[FontSlot::MainForm] = {"DejaVu Sans Mono", 0, 9, kFontStyleBold};
    fonts[FontSlot::BamViewer] = {"Serif", 0, 11, kFontStyleItalic};
    IniFile ini;
    saveOptions(ini, o, fonts, fontBit(FontSlot::MainForm) | fontBit(FontSlot::BamViewer));
    EXPECT_EQ(ini.readString("MainForm", "FontName", ""), "DejaVu Sans Mono");
    EXPECT_EQ(ini.readInt("MainForm", "FontStyle", 0), 1);
    EXPECT_EQ(ini.readInt("BAM Defaults", "BAMFontSize", 0), 11);
    EXPECT_FALSE(ini.hasKey("ErrorDialog", "FontName"));
    EXPECT_FALSE(ini.hasKey("BAM Defaults", "CanvasFontName"));
    EXPECT_FALSE(ini.hasKey("TOK64", "FontName"));
    const std::string text = ini.text();
    EXPECT_LT(text.find("BAMFontName="), text.find("BAMFontSizeScale="));
}

TEST(ListerOptions, SaveNameRule) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "DEFAULT"},          {"LIST", "LIST.txt"},
        {"LIST.DOC", "LIST.DOC"}, {"my list", "my list.txt"},
        {".hidden", ".hidden"},   {"DEFAULT", "DEFAULT.txt"},
    };
    for (const auto& [answer, stored] : cases)
        EXPECT_EQ(normalizeSaveName(answer), stored) << answer;
}

TEST(ListerOptions, SaveFolderIsCreatedWithItsParents) {
    test::TempDir dir;
    const std::string nested = (dir / "a/b/c").string();
    const SaveFolderResult made = prepareSaveFolder(nested);
    EXPECT_EQ(made.folder, nested + "/");
    EXPECT_EQ(made.message, "");
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_EQ(prepareSaveFolder(nested + "/").folder, nested + "/");  // exists: taken as is

    test::writeFile(dir / "file", "x");
    const std::string blocked = (dir / "file/sub").string();
    const SaveFolderResult failed = prepareSaveFolder(blocked);
    EXPECT_EQ(failed.folder, "");
    EXPECT_EQ(failed.message, "Failed to create folder " + blocked + "/");

    EXPECT_FALSE(isCompleteFolderText("relative/folder"));
    EXPECT_FALSE(isCompleteFolderText(""));
    EXPECT_TRUE(isCompleteFolderText(nested));
    EXPECT_EQ(prepareSaveFolder("relative").folder, "");
}

TEST(ListerOptions, FolderHistoryKeepsEachFolderOnce) {
    test::TempDir dir;
    FolderHistory history;
    const std::string a = (dir / "a").string(), b = (dir / "b").string();
    EXPECT_EQ(history.choose(a).index, 0);
    EXPECT_EQ(history.choose(b).index, 1);
    // Chosen again, with or without the separator: selected, not added.
    EXPECT_EQ(history.choose(a + "/").index, 0);
    EXPECT_EQ(history.folders, (std::vector<std::string>{a + "/", b + "/"}));
    // A folder that cannot be made is reported and not remembered.
    test::writeFile(dir / "file", "x");
    const FolderHistory::Choice failed = history.choose((dir / "file/sub").string());
    EXPECT_EQ(failed.index, -1);
    EXPECT_NE(failed.result.message, "");
    EXPECT_EQ(history.folders.size(), 2u);
}

}  // namespace
// The dialog's enabling rules, each switch against what it governs.
TEST(ListerOptions, EnablingFollowsTheSwitches) {
    struct Case {
        const char* what;
        void (*edit)(ListerOptions&);
        OptionsEnabling expected;
    };
    const Case cases[] = {
        {"defaults", [](ListerOptions&) {}, {true, false, true, true, true, false}},
        {"custom header",
         [](ListerOptions& o) { o.customHeader = true; },
         {true, true, true, true, true, false}},
        {"no header",
         [](ListerOptions& o) { o.generateHeader = false, o.customHeader = true; },
         {false, false, true, true, true, false}},
        {"no auto GEOS",
         [](ListerOptions& o) { o.autoGeosConversion = false; },
         {true, false, false, true, true, false}},
        {"no special chars",
         [](ListerOptions& o) { o.interpretSpecialchars = false; },
         {true, false, true, false, true, false}},
        {"manual DOS type",
         [](ListerOptions& o) { o.autoDetectMode = false; },
         {true, false, true, true, true, true}},
        {"no 40 tracks",
         [](ListerOptions& o) { o.enable40Tracks = false, o.autoDetectMode = false; },
         {true, false, true, true, false, false}},
    };
    for (const Case& c : cases) {
        ListerOptions o;
        c.edit(o);
        EXPECT_EQ(optionsEnabling(o), c.expected) << c.what;
    }
}

}  // namespace qv
