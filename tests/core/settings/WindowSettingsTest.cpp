#include "settings/WindowSettings.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "settings/Fonts.h"
#include "settings/Platform.h"

namespace qv {
namespace {

// Every "Section|key=value" line of a file, for comparing what a writer wrote.
std::set<std::string> keyLines(const IniFile& ini) {
    std::set<std::string> out;
    std::istringstream in(ini.text());
    std::string line, section;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("[")) {
            section = line.substr(1, line.size() - 2);
        } else if (!line.empty()) {
            out.insert(section + "|" + line);
        }
    }
    return out;
}

template <class Record, class Save>
std::set<std::string> writtenByDefault(Save save) {
    IniFile ini;
    save(Record::load(IniFile{}), ini);
    return keyLines(ini);
}

// What each window writes from a fresh file: exactly its own keys, with their
// names and defaults; the keys that are never written do not appear.
TEST(WindowSettings, WritersWriteExactlyTheirKeysWithDefaults) {
    EXPECT_EQ(writtenByDefault<MainFormSettings>([](const auto& r, IniFile& i) { r.save(i); }),
              (std::set<std::string>{"MainForm|Width=358", "MainForm|Height=684",
                                     "ASCII|generate=0", "ASCII|Upper/Lower=0"}));
    EXPECT_EQ(writtenByDefault<FileListSettings>([](const auto& r, IniFile& i) { r.save(i); }),
              (std::set<std::string>{"FileList|Width=376"}));
    EXPECT_EQ(
        writtenByDefault<BamViewerSettings>([](const auto& r, IniFile& i) { r.save(i); }),
        (std::set<std::string>{"BAM Defaults|FileListWidth=213", "BAM Defaults|DefaultRowHeight=19",
                               "BAM Defaults|DefaultColWidth=19"}));
    EXPECT_EQ(
        writtenByDefault<FileViewerWindowSettings>([](const auto& r, IniFile& i) { r.save(i); }),
        (std::set<std::string>{"TOK64|Width=348", "TOK64|Height=297", "TOK64|StayOnTop=0",
                               "TOK64|WordWrap=1", "TOK64|C64Screen 40/80=0",
                               "Names|Lastimport TOK64=/"}));
    EXPECT_EQ(
        writtenByDefault<FileViewerOptionsSettings>([](const auto& r, IniFile& i) { r.save(i); }),
        (std::set<std::string>{"File Viewer|Conv to Chars=1", "File Viewer|Conv Chars to ASCII=1",
                               "File Viewer|Conv Hex to ASCII=0", "File Viewer|Return=0",
                               "TOK64|Mode=0", "TOK64|Autodetect=1", "TOK64|Ignore=0",
                               "TOK64|Syntax=1", "TOK64|Translate=1",
                               "TOK64|C64Screen MaxText=10000", "BAM Defaults|FileList open=1",
                               "BAM Defaults|Show Chain=1"}));
    EXPECT_EQ(writtenByDefault<BasicAddressSettings>([](const auto& r, IniFile& i) { r.save(i); }),
              (std::set<std::string>{
                  "BASIC Address|BasicV2=0401;0801;1201;", "BASIC Address|BasicV2Ext=1001;2C01;",
                  "BASIC Address|BasicV35=1001;", "BASIC Address|BasicV35Ext=",
                  "BASIC Address|BasicV7=1C01;4001;", "BASIC Address|BasicV7Ext=132D;2001;"}));
    EXPECT_EQ(
        writtenByDefault<TokenTableSettings>([](const auto& r, IniFile& i) { r.saveSize(i); }),
        (std::set<std::string>{"TOK64|TableWidth=920", "TOK64|TableHeight=635"}));
    EXPECT_EQ(
        writtenByDefault<TokenTableSettings>([](const auto& r, IniFile& i) { r.saveTable(i); }),
        (std::set<std::string>{"TOK64|Use Custom Table=0", "TOK64|Color 0=0", "TOK64|Color 1=32768",
                               "TOK64|Color 2=16711680", "TOK64|Color 3=12615680",
                               "TOK64|Color 4=8421504", "TOK64|Color 5=33023", "TOK64|Color 6=255",
                               "TOK64|Color 7=0", "TOK64|Color 8=0", "TOK64|Color 9=0",
                               "TOK64|Color 10=0", "TOK64|Color 11=0", "TOK64|Color 12=0",
                               "TOK64|Color 13=0", "TOK64|Color 14=0", "TOK64|Color 15=8388863"}));
    EXPECT_EQ(writtenByDefault<GeosDetailsSettings>([](const auto& r, IniFile& i) { r.save(i); }),
              (std::set<std::string>{"GeosDetails|Width=741",
                                     "GeosDetails|Height=576",
                                     "Details|0=1",
                                     "Details|1=1",
                                     "Details|2=1",
                                     "Details|3=1",
                                     "Details|4=0",
                                     "Details|5=1",
                                     "Details|6=1",
                                     "Details|7=1",
                                     "Details|8=0",
                                     "GEOS|PhotoAlbum fit=0",
                                     "GEOS|Spaces between chars=1",
                                     "GEOS|ShowGrid=0",
                                     "GEOS|Scraps newline=1",
                                     "GEOS|OLE=1",
                                     "GEOS|Pagenumbers=1",
                                     "GEOS|Header=1",
                                     "GEOS|Footer=1",
                                     "GEOS|Scale Image2.1=0",
                                     "GEOS|PaperFormat A4=1",
                                     "GEOS|ShowTextPrintColors=0",
                                     "GEOS|ShowFontID=0",
                                     "GEOS|UseFontTable=0"}));

    IniFile names;
    NamesSettings::writeLastLoad(names, "/disks/");
    NamesSettings::writeLastImportMain(names, "/lists/");
    EXPECT_EQ(keyLines(names),
              (std::set<std::string>{"Names|Lastload=/disks/", "Names|Lastimport Main=/lists/"}));
}

TEST(WindowSettings, RecordsComeBackAsWritten) {
    MainFormSettings m;
    m.width = 1000;
    m.height = 700;
    m.generateAscii = true;
    m.upperLower = true;
    FileViewerWindowSettings v;
    v.width = 1;
    v.height = 2;
    v.stayOnTop = true;
    v.wordWrap = false;
    v.c64Screen80 = true;
    v.lastImport = "/home/u/prg files ";
    FileViewerOptionsSettings f;
    f.convertToChars = f.convertCharsToAscii = f.syntaxHighlighting = f.translateSpecialchars =
        false;
    f.convertHexToAscii = f.replaceReturn = true;
    f.autodetect = f.bamFileListOpen = f.bamShowChain = false;
    f.ignoreStartaddress = true;
    f.mode = 7;
    f.c64ScreenMaxText = 123456;
    BasicAddressSettings b;
    b.basicV2 = "0801;";
    b.basicV35Ext = "4001;";
    TokenTableSettings t;
    t.tableWidth = 10;
    t.tableHeight = 20;
    t.useCustomTable = true;
    t.customTableFileName = "/x/My Table.CSV";
    for (std::size_t i = 0; i < t.colors.size(); ++i)
        t.colors[i] = static_cast<Colour>(i * 1000 + 1);
    GeosDetailsSettings g;
    g.width = 800;
    g.height = 600;
    g.columns = {false, false, false, false, true, false, false, false, true};
    g.photoAlbumFit = g.showGrid = g.scaleImage21 = g.showTextPrintColors = g.showFontId = true;
    g.spacesBetweenChars = g.pageNumbers = g.header = g.footer = g.paperFormatA4 = false;
    g.scrapsNewline = 3;
    g.ole = 4;
    g.useFontTable = true;
    BamViewerSettings bam;
    bam.fileListWidth = 300;
    bam.defaultRowHeight = 25;
    bam.defaultColWidth = 26;
    FileListSettings fl;
    fl.width = 500;

    IniFile ini = IniFile::parse("[FontTable]\n1=Font\n");  // UseFontTable is read only then
    m.save(ini);
    v.save(ini);
    f.save(ini);
    b.save(ini);
    t.saveSize(ini);
    t.saveTable(ini);
    g.save(ini);
    bam.save(ini);
    fl.save(ini);
    const IniFile back = IniFile::parse(ini.text());
    EXPECT_EQ(MainFormSettings::load(back), m);
    EXPECT_EQ(FileViewerWindowSettings::load(back), v);
    EXPECT_EQ(FileViewerOptionsSettings::load(back), f);
    EXPECT_EQ(BasicAddressSettings::load(back), b);
    EXPECT_EQ(TokenTableSettings::load(back), t);
    EXPECT_EQ(GeosDetailsSettings::load(back), g);
    EXPECT_EQ(BamViewerSettings::load(back), bam);
    EXPECT_EQ(FileListSettings::load(back), fl);

    // The custom file name is stored only while the custom table is in use.
    IniFile off;
    t.useCustomTable = false;
    t.saveTable(off);
    EXPECT_FALSE(off.hasKey("TOK64", "Custom Table FileName"));
    TokenTableSettings::writeUseCustomTable(ini, false);
    EXPECT_FALSE(TokenTableSettings::load(IniFile::parse(ini.text())).useCustomTable);
}

TEST(WindowSettings, ReadOnlyKeysAreReadAndNeverOverwritten) {
    const std::string text =
        "[MainForm]\nShowIconMessage=0\n[WorkArounds]\nFixCharsetVer=200\nShowModalVer=3\n"
        "[RichEdit]\nMaxText=5000\n[BAM Defaults]\nFileListOwnCaption=3\nSelectedColor=255\n"
        "[TOK64]\nLoadAtOnCreate=1\n[GeosDetails]\nOwnSort=1\nAllowEdit=1\n"
        "[GEOS]\nGridColor=65280\n";
    IniFile ini = IniFile::parse(text);
    const auto m = MainFormSettings::load(ini);
    const auto w = WorkAroundSettings::load(ini);
    const auto r = RichEditSettings::load(ini);
    const auto bam = BamViewerSettings::load(ini);
    const auto f = FileViewerOptionsSettings::load(ini);
    const auto g = GeosDetailsSettings::load(ini);
    EXPECT_EQ(m.showIconMessage, 0);
    EXPECT_EQ(w.fixCharsetVer, 200);
    EXPECT_EQ(w.showModalVer, 3);
    EXPECT_EQ(r.maxText, 5000);
    EXPECT_EQ(bam.fileListOwnCaption, 3);
    EXPECT_FALSE(bam.fileListCaptionEmpty());
    EXPECT_EQ(bam.selectedColor, 255u);
    EXPECT_TRUE(f.loadAtOnCreate);
    EXPECT_TRUE(g.ownSort);
    EXPECT_TRUE(g.allowEdit);
    EXPECT_EQ(g.gridColor, 65280u);

    auto m2 = m;
    m2.showIconMessage = 9;
    auto bam2 = bam;
    bam2.fileListOwnCaption = 9;
    bam2.selectedColor = 9;
    auto f2 = f;
    f2.loadAtOnCreate = false;
    auto g2 = g;
    g2.ownSort = g2.allowEdit = false;
    g2.gridColor = 9;
    m2.save(ini);
    bam2.save(ini);
    f2.save(ini);
    g2.save(ini);
    const IniFile back = IniFile::parse(ini.text());
    EXPECT_EQ(MainFormSettings::load(back).showIconMessage, 0);
    EXPECT_EQ(BamViewerSettings::load(back).fileListOwnCaption, 3);
    EXPECT_EQ(BamViewerSettings::load(back).selectedColor, 255u);
    EXPECT_TRUE(FileViewerOptionsSettings::load(back).loadAtOnCreate);
    EXPECT_TRUE(GeosDetailsSettings::load(back).ownSort);
    EXPECT_EQ(GeosDetailsSettings::load(back).gridColor, 65280u);
    EXPECT_EQ(WorkAroundSettings::load(back), w);
    EXPECT_EQ(RichEditSettings::load(back), r);
}

TEST(WindowSettings, DefaultsOfTheReadOnlyRecords) {
    const IniFile empty;
    EXPECT_EQ(MainFormSettings::load(empty).showIconMessage, 1);
    EXPECT_TRUE(BamViewerSettings::load(empty).fileListCaptionEmpty());
    EXPECT_EQ(BamViewerSettings::load(empty).selectedColor, 15790320u);
    EXPECT_EQ(GeosDetailsSettings::load(empty).gridColor, 13160660u);
    EXPECT_EQ(NamesSettings::load(empty).lastLoad, "/");
    EXPECT_EQ(NamesSettings::load(empty).lastImportMain, "/");
    EXPECT_EQ(FileViewerWindowSettings::load(empty).lastImport, "/");
    EXPECT_FALSE(FileViewerOptionsSettings::load(empty).loadAtOnCreate);
    const TokenTableSettings t = TokenTableSettings::load(empty);
    EXPECT_FALSE(t.useCustomTable);
    EXPECT_EQ(t.customTableFileName, "");
}

TEST(WindowSettings, ThresholdsAgainstThePlatformCode) {
    const WorkAroundSettings defaults;
    EXPECT_TRUE(defaults.rtfFontRepair(kPlatformVersionCode));
    EXPECT_TRUE(defaults.showAboutAtStart(kPlatformVersionCode));
    EXPECT_FALSE(defaults.rtfFontRepair(4));
    EXPECT_TRUE(defaults.rtfFontRepair(5));
    EXPECT_FALSE(defaults.showAboutAtStart(8));
    EXPECT_TRUE(defaults.showAboutAtStart(9));
    EXPECT_FALSE(settingsInWindowsFolder(kPlatformVersionCode));
    EXPECT_TRUE(settingsInWindowsFolder(7));

    struct Case {
        int stored, code, limit;
    };
    const Case cases[] = {
        {-1, kPlatformVersionCode, 20000000},
        {-1, 7, 20000000},
        {-1, 6, 9000000},
        {-1, 0, 9000000},
        {5000, 100, 5000},
        {5000, 3, 5000},
        {0, 100, 20000000},
        {-7, 100, 20000000},
    };
    for (const auto& c : cases) {
        RichEditSettings r;
        r.maxText = c.stored;
        EXPECT_EQ(r.maximumText(c.code), c.limit) << c.stored << " " << c.code;
    }
}

TEST(WindowSettings, UseFontTableOnlyWithTheSection) {
    EXPECT_FALSE(
        GeosDetailsSettings::load(IniFile::parse("[GEOS]\nUseFontTable=1\n")).useFontTable);
    EXPECT_TRUE(GeosDetailsSettings::load(IniFile::parse("[GEOS]\nUseFontTable=1\n[FontTable]\n"))
                    .useFontTable);
}

TEST(Fonts, SectionsPrefixesAndDefaults) {
    struct Case {
        FontSlot slot;
        const char* section;
        const char* prefix;
        FontSetting def;
        int bit;
    };
    const Case cases[] = {
        {FontSlot::MainForm, "MainForm", "", {"Terminal", 255, 6, 0}, 1},
        {FontSlot::ErrorDialogs, "ErrorDialog", "", {"Terminal", 255, 6, 0}, 2},
        {FontSlot::BamFileList, "BAM Defaults", "FileList", {"Terminal", 255, 6, 0}, 4},
        {FontSlot::FileViewer, "TOK64", "", {"Terminal", 255, 6, 0}, 8},
        {FontSlot::BamViewer, "BAM Defaults", "BAM", {"MS Serif", 0, 8, 0}, 16},
        {FontSlot::BamChains, "BAM Defaults", "Canvas", {"MS Serif", 0, 6, 0}, 32},
    };
    const FontSettings defaults = loadFonts(IniFile{});
    for (const auto& c : cases) {
        EXPECT_EQ(defaults[c.slot], c.def) << c.section << c.prefix;
        EXPECT_EQ(fontBit(c.slot), c.bit);

        const std::string pre = c.prefix;
        IniFile ini;
        ini.writeString(c.section, pre + "FontName", "Courier New");
        ini.writeString(c.section, pre + "FontCharset", "1");
        ini.writeString(c.section, pre + "FontSize", "12");
        ini.writeString(c.section, pre + "FontStyle", "3");
        const FontSettings read = loadFonts(ini);
        EXPECT_EQ(read[c.slot], (FontSetting{"Courier New", 1, 12, 3})) << c.section << c.prefix;
        for (int other = 0; other < kFontCount; ++other) {
            if (other == static_cast<int>(c.slot))
                continue;
            EXPECT_EQ(read.fonts[static_cast<std::size_t>(other)],
                      defaults.fonts[static_cast<std::size_t>(other)]);
        }

        // Written only when its bit is set, under the same keys.
        IniFile out;
        saveFonts(out, read, kAllFontBits & ~c.bit);
        EXPECT_FALSE(out.hasKey(c.section, pre + "FontName"));
        saveFonts(out, read, c.bit);
        EXPECT_EQ(loadFonts(out)[c.slot], read[c.slot]);
    }
}

TEST(Fonts, SizeOutsideItsRangeGivesTheDefault) {
    for (const char* size : {"0", "-3", "501", "99999999", "big"}) {
        const FontSettings f =
            loadFonts(IniFile::parse(std::string("[MainForm]\nFontSize=") + size));
        EXPECT_EQ(f[FontSlot::MainForm].size, 6) << size;
    }
    EXPECT_EQ(loadFonts(IniFile::parse("[MainForm]\nFontSize=500"))[FontSlot::MainForm].size, 500);
}

TEST(Palettes, C64PaletteKeysAndDefaults) {
    const char* keys[] = {"00 black",  "01 white",       "02 red",        "03 cyan",
                          "04 purple", "05 green",       "06 blue",       "07 yellow",
                          "08 orange", "09 brown",       "10 light red",  "11 dark gray",
                          "12 gray",   "13 light green", "14 light blue", "15 light gray"};
    const Colour defaults[] = {0,       16777215, 11479593, 6478028, 11550646, 4900426,
                               3619268, 15002958, 11950364, 6830088, 15365228, 5066061,
                               8684676, 10943134, 7372006,  11974325};
    EXPECT_EQ(PaletteSettings::load(IniFile{}).colours[2], (175u << 16) | (42u << 8) | 41u);
    IniFile ini;
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(PaletteSettings::load(IniFile{}).colours[static_cast<std::size_t>(i)],
                  defaults[i]);
        ini.writeInt("Color Palette", keys[i], 100 + i);
    }
    const PaletteSettings read = PaletteSettings::load(ini);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(read.colours[static_cast<std::size_t>(i)], 100u + i);

    // A damaged value still gives a 24-bit colour.
    const PaletteSettings odd =
        PaletteSettings::load(IniFile::parse("[Color Palette]\n01 white=-1\n02 red=4294967295\n"
                                             "03 cyan=16777216\n04 purple=junk\n"));
    EXPECT_EQ(odd.colours[1], 0xFFFFFFu);
    EXPECT_EQ(odd.colours[2], 0xFFFFFFu);
    EXPECT_EQ(odd.colours[3], 0u);
    EXPECT_EQ(odd.colours[4], 11550646u);
}

TEST(Palettes, PrintColorsWithTheTwoSixKeys) {
    const PrintColorPalette defaults = PrintColorPalette::load(IniFile{});
    const std::pair<const char*, Colour> expected[] = {
        {"00 black", 0},          {"01 magenta", 0xFF00FF}, {"02 cyan", 0x00FFFF},
        {"04 violett", 0x0000FF}, {"05 yellow", 0xFFFF00},  {"06 red", 0xFF0000},
        {"06 green", 0x00FF00},   {"07 default", 0}};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_STREQ(defaults.entries[i].key, expected[i].first);
        EXPECT_EQ(defaults.entries[i].colour, expected[i].second);
    }
    // "06 red" and "06 green" are two keys: each keeps its own value, and a key that
    // is written twice counts with its first line, as everywhere in the file.
    const PrintColorPalette read = PrintColorPalette::load(
        IniFile::parse("[PrintText Color Palette]\n06 green=2\n06 red=1\n06 red=3\n03 x=9\n"));
    EXPECT_EQ(read.entries[5].colour, 1u);
    EXPECT_EQ(read.entries[6].colour, 2u);
    EXPECT_EQ(read.entries[0].colour, 0u);
}

TEST(FontIdTableTest, ParsesSortsAndRejects) {
    EXPECT_FALSE(FontIdTable::load(IniFile{}).present);

    const FontIdTable t = FontIdTable::load(
        IniFile::parse("[FontTable]\n; GEOS fonts\n12=California ; serif\n1=Geneva\n 8 = Roma   \n"
                       "[Other]\nx=y\n"));
    EXPECT_TRUE(t.present);
    EXPECT_EQ(t.message, "");
    ASSERT_EQ(t.entries.size(), 3u);
    EXPECT_EQ(t.entries[0], (std::pair<int, std::string>{1, "Geneva"}));
    EXPECT_EQ(t.entries[1], (std::pair<int, std::string>{8, "Roma"}));
    EXPECT_EQ(t.entries[2], (std::pair<int, std::string>{12, "California"}));

    for (const char* bad : {"x1=Font", "-1=Font", "1a=Font", "9999999999=Font"}) {
        const FontIdTable b =
            FontIdTable::load(IniFile::parse(std::string("[FontTable]\n1=A\n") + bad + "\n2=B\n"));
        EXPECT_TRUE(b.present);
        EXPECT_TRUE(b.entries.empty()) << bad;
        EXPECT_EQ(b.message, "GeosDetails: Failed to parse FontID Table");
    }
    const FontIdTable empty = FontIdTable::load(IniFile::parse("[FontTable]\n"));
    EXPECT_TRUE(empty.present);
    EXPECT_TRUE(empty.entries.empty());
}

TEST(WindowSettings, MainFormStartSizeKeepsStoredKeysAndFitsTheRest) {
    const WindowExtent fitted{700, 684};
    struct Case {
        const char* stored;
        WindowExtent available, expected;
    };
    const Case cases[] = {
        // Nothing stored: the fitted size, within the screen.
        {"", {1920, 1080}, {700, 684}},
        {"", {640, 480}, {640, 480}},
        {"", {0, 0}, {700, 684}},  // no screen known
        // The record's default stored is a choice like any other.
        {"[MainForm]\nWidth=358\nHeight=684\n", {1920, 1080}, {358, 684}},
        {"[MainForm]\nWidth=2000\n", {1920, 1080}, {2000, 684}},
        {"[MainForm]\nHeight=300\n", {640, 480}, {640, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(MainFormSettings::startSize(IniFile::parse(c.stored), fitted, c.available),
                  c.expected);
    }
}

TEST(WindowSettings, FileDialogsStartInTheStoredFolderElseAtHome) {
    struct Case {
        const char* stored;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"", "/home/user", "/home/user"},
        {"", "", "/"},  // no home known
        {"[Names]\nLastload=/disks/\nLastimport Main=/disks/\n", "/home/user", "/disks/"},
        // The root folder chosen and stored is kept.
        {"[Names]\nLastload=/\nLastimport Main=/\n", "/home/user", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const IniFile ini = IniFile::parse(c.stored);
        for (const char* key : {"Lastload", "Lastimport Main"})
            EXPECT_EQ(NamesSettings::startFolder(ini, key, c.home), c.expected) << key;
    }
}

}  // namespace
}  // namespace qv
