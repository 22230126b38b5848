#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "settings/IniFile.h"
#include "settings/SettingKeys.h"

// The settings of the windows, each record with the keys its window reads and the
// function that writes them at the window's own moment. Keys that the program never
// writes are read only; their records have no writer for them.

namespace qv {

// The folder that stands for "no folder chosen yet" in [Names]: the root of the
// system drive on Windows, the root folder elsewhere.
#ifdef _WIN32
inline constexpr const char* kDefaultFolder = "c:\\";
#else
inline constexpr const char* kDefaultFolder = "/";
#endif

// A window's size in pixels.
struct WindowExtent {
    int width = 0;
    int height = 0;
    friend bool operator==(const WindowExtent&, const WindowExtent&) = default;
};

// [MainForm] and the main window's keys of [ASCII]. Read at start, written at exit.
struct MainFormSettings {
    int width = 358;
    int height = 684;
    int showIconMessage = 1;     // non-zero: report a GEOS icon of wrong size; never written
    bool generateAscii = false;  // [ASCII] generate: "Generate ASCII File"
    bool upperLower = false;     // [ASCII] "Upper/Lower"; false is Upper/Graphics

    static MainFormSettings load(const IniFile& ini);
    friend bool operator==(const MainFormSettings&, const MainFormSettings&) = default;
    void save(IniFile& ini) const;
    // The first window's size: Width and Height as stored; where a key is missing,
    // FITTED's (a whole listing line across, the default height down), kept within
    // AVAILABLE (the screen). A stored size is kept even when it is the default.
    static WindowExtent startSize(const IniFile& ini, WindowExtent fitted, WindowExtent available);
};

// [WorkArounds], read at start and never written. Both compare with the platform
// version code.
struct WorkAroundSettings {
    int fixCharsetVer = 5;
    int showModalVer = 9;

    static WorkAroundSettings load(const IniFile& ini);
    friend bool operator==(const WorkAroundSettings&, const WorkAroundSettings&) = default;
    // From FixCharsetVer on, rich text saved with a symbol-charset font is repaired.
    bool rtfFontRepair(int platformCode) const { return platformCode >= fixCharsetVer; }
    // From ShowModalVer on, the about box is shown and closed once at start-up.
    bool showAboutAtStart(int platformCode) const { return platformCode >= showModalVer; }
};

// [RichEdit], read at start and never written.
struct RichEditSettings {
    int maxText = -1;  // -1 (or any value below 1): worked out from the platform code

    static RichEditSettings load(const IniFile& ini);
    friend bool operator==(const RichEditSettings&, const RichEditSettings&) = default;
    // The most text the listing window may hold: the stored value, or 20000000 when
    // the platform code is above 6 and 9000000 otherwise.
    int maximumText(int platformCode) const;
};

// [Names] folders of the main window (the three options of the key set are in
// ListerOptions, "Lastimport TOK64" in FileViewerWindowSettings).
struct NamesSettings {
    std::string lastLoad = kDefaultFolder;        // Lastload: last opened image folder
    std::string lastImportMain = kDefaultFolder;  // "Lastimport Main"

    static NamesSettings load(const IniFile& ini);
    friend bool operator==(const NamesSettings&, const NamesSettings&) = default;
    // Written whenever images are opened.
    static void writeLastLoad(IniFile& ini, const std::string& folder);
    // Written when the main window imports a listing.
    static void writeLastImportMain(IniFile& ini, const std::string& folder);
    // The folder a file dialog of the [Names] KEY starts in: the stored folder, else
    // HOME (the record's default, the root folder, is nobody's choice); the default
    // when HOME is unknown.
    static std::string startFolder(const IniFile& ini, const std::string& key,
                                   const std::string& home);
};

// [FileList] of the extended-open file list window; written at exit when that
// window was created.
struct FileListSettings {
    int width = 376;

    static FileListSettings load(const IniFile& ini);
    friend bool operator==(const FileListSettings&, const FileListSettings&) = default;
    void save(IniFile& ini) const;
};

// [BAM Defaults] of the BAM viewer (its fonts are in Fonts.h, the two scale flags in
// ListerOptions, "FileList open" and "Show Chain" in FileViewerOptionsSettings).
struct BamViewerSettings {
    int fileListWidth = 213;
    int fileListOwnCaption = 1;  // never written
    int defaultRowHeight = 19;
    int defaultColWidth = 19;
    Colour selectedColor = 15790320;  // toolkit order (blue first); never written

    static BamViewerSettings load(const IniFile& ini);
    friend bool operator==(const BamViewerSettings&, const BamViewerSettings&) = default;
    // At exit: FileListWidth, DefaultRowHeight, DefaultColWidth.
    void save(IniFile& ini) const;
    // 1 or 2: the file list window shows an empty caption; otherwise "BAMFileList".
    bool fileListCaptionEmpty() const { return fileListOwnCaption == 1 || fileListOwnCaption == 2; }
};

// The file viewer window's own keys in [TOK64], and its import folder. Read when
// the BAM viewer is first opened, written at exit.
struct FileViewerWindowSettings {
    int width = 348;
    int height = 297;
    bool stayOnTop = false;
    bool wordWrap = true;
    bool c64Screen80 = false;                 // "C64Screen 40/80": start with 80 columns
    std::string lastImport = kDefaultFolder;  // [Names] "Lastimport TOK64"

    static FileViewerWindowSettings load(const IniFile& ini);
    friend bool operator==(const FileViewerWindowSettings&,
                           const FileViewerWindowSettings&) = default;
    void save(IniFile& ini) const;
};

// The "File Viewer Options" dialog: [File Viewer], its [TOK64] keys and two
// [BAM Defaults] keys. Read when the dialog is created, written by its OK.
struct FileViewerOptionsSettings {
    bool convertToChars = true;         // [File Viewer] "Conv to Chars"
    bool convertCharsToAscii = true;    // [File Viewer] "Conv Chars to ASCII"
    bool convertHexToAscii = false;     // [File Viewer] "Conv Hex to ASCII"
    bool replaceReturn = false;         // [File Viewer] Return
    int mode = 0;                       // [TOK64] Mode
    bool autodetect = true;             // [TOK64] Autodetect
    bool ignoreStartaddress = false;    // [TOK64] Ignore
    bool syntaxHighlighting = true;     // [TOK64] Syntax
    bool translateSpecialchars = true;  // [TOK64] Translate
    int c64ScreenMaxText = 10000;       // [TOK64] "C64Screen MaxText"
    bool bamFileListOpen = true;        // [BAM Defaults] "FileList open"
    bool bamShowChain = true;           // [BAM Defaults] "Show Chain"
    bool loadAtOnCreate = false;        // [TOK64] LoadAtOnCreate; never written

    static FileViewerOptionsSettings load(const IniFile& ini);
    friend bool operator==(const FileViewerOptionsSettings&,
                           const FileViewerOptionsSettings&) = default;
    void save(IniFile& ini) const;
};

// [BASIC Address]: the six start-address lists as stored ("0401;0801;1201;").
// Written by the OK of the start-address dialog.
struct BasicAddressSettings {
    std::string basicV2 = "0401;0801;1201;";
    std::string basicV2Ext = "1001;2C01;";
    std::string basicV35 = "1001;";
    std::string basicV35Ext;
    std::string basicV7 = "1C01;4001;";
    std::string basicV7Ext = "132D;2001;";

    static BasicAddressSettings load(const IniFile& ini);
    // The key under which a list is stored.
    static const char* key(std::string BasicAddressSettings::*list);
    friend bool operator==(const BasicAddressSettings&, const BasicAddressSettings&) = default;
    void save(IniFile& ini) const;
};

// The token table's keys in [TOK64].
struct TokenTableSettings {
    int tableWidth = 920;         // TableWidth, editor window; exit
    int tableHeight = 635;        // TableHeight; exit
    bool useCustomTable = false;  // "Use Custom Table"
    std::string
        customTableFileName;  // "Custom Table FileName"; empty: program folder + "TokenTable.CSV"
    // "Color 0" to "Color 15", toolkit order (blue first): 0 the text, 15 comments.
    std::array<Colour, 16> colors{0, 32768, 16711680, 12615680, 8421504, 33023, 255, 0,
                                  0, 0,     0,        0,        0,       0,     0,   8388863};

    static TokenTableSettings load(const IniFile& ini);
    friend bool operator==(const TokenTableSettings&, const TokenTableSettings&) = default;
    // At exit: the editor window size.
    void saveSize(IniFile& ini) const;
    // The editor's OK: "Use Custom Table", the file name when it is on, the colours.
    void saveTable(IniFile& ini) const;
    // The custom table file was missing at start-up: the option is stored off at once.
    static void writeUseCustomTable(IniFile& ini, bool on);
};

// The GEOS catalogue window and the GEOS viewers: [GeosDetails], [Details] and the
// [GEOS] keys besides the options. Written at exit.
struct GeosDetailsSettings {
    bool ownSort = false;    // [GeosDetails] OwnSort; never written
    bool allowEdit = false;  // [GeosDetails] AllowEdit; never written
    int width = 741;
    int height = 576;
    // [Details] "0" to "8": Filename, Filetype, Class Text, Author, Application,
    // Description, Date + Time, D64 Imagename, Fileoffset.
    std::array<bool, 9> columns{true, true, true, true, false, true, true, true, false};
    bool photoAlbumFit = false;                   // "PhotoAlbum fit"
    bool spacesBetweenChars = true;               // "Spaces between chars"
    bool showGrid = false;                        // ShowGrid
    Colour gridColor = kDefaultGridColorSetting;  // GridColor, toolkit order; never written
    int scrapsNewline = 1;             // "Scraps newline": 1 both, 2 before, 3 after, other none
    int ole = 1;                       // OLE: 1 from RTF, 2 from file, 3 object, other clipboard
    bool pageNumbers = true;           // Pagenumbers
    bool header = true;                // Header
    bool footer = true;                // Footer
    bool scaleImage21 = false;         // "Scale Image2.1"
    bool paperFormatA4 = true;         // "PaperFormat A4"; false is Letter
    bool showTextPrintColors = false;  // ShowTextPrintColors
    bool showFontId = false;           // ShowFontID
    bool useFontTable = false;         // UseFontTable; read only when [FontTable] exists

    static GeosDetailsSettings load(const IniFile& ini);
    friend bool operator==(const GeosDetailsSettings&, const GeosDetailsSettings&) = default;
    void save(IniFile& ini) const;
};

// [PrintText Color Palette]: the GeoWrite print colours, red x 65536 + green x 256
// + blue, read only. The key names are exactly these: there is no "03" key, and
// "06" begins two different keys ("06 red" and "06 green"), each read on its own.
struct PrintColorPalette {
    struct Entry {
        const char* key;
        Colour colour;
        friend bool operator==(const Entry&, const Entry&) = default;
    };
    std::array<Entry, 8> entries{{{"00 black", 0},
                                  {"01 magenta", 0xFF00FF},
                                  {"02 cyan", 0x00FFFF},
                                  {"04 violett", 0x0000FF},
                                  {"05 yellow", 0xFFFF00},
                                  {"06 red", 0xFF0000},
                                  {"06 green", 0x00FF00},
                                  {"07 default", 0}}};

    static PrintColorPalette load(const IniFile& ini);
    friend bool operator==(const PrintColorPalette&, const PrintColorPalette&) = default;
};

// [Color Palette]: the 16 C64 colours, red x 65536 + green x 256 + blue, used
// directly as 32-bit pixel values. Read once at start-up, never written.
struct PaletteSettings {
    static constexpr std::array<const char*, 16> kKeys{
        "00 black",  "01 white",       "02 red",        "03 cyan",
        "04 purple", "05 green",       "06 blue",       "07 yellow",
        "08 orange", "09 brown",       "10 light red",  "11 dark gray",
        "12 gray",   "13 light green", "14 light blue", "15 light gray"};
    std::array<Colour, 16> colours{0,       16777215, 11479593, 6478028, 11550646, 4900426,
                                   3619268, 15002958, 11950364, 6830088, 15365228, 5066061,
                                   8684676, 10943134, 7372006,  11974325};

    static PaletteSettings load(const IniFile& ini);
    friend bool operator==(const PaletteSettings&, const PaletteSettings&) = default;
};

// [FontTable]: GEOS font ID to font name, read as a whole and never written.
struct FontIdTable {
    bool present = false;                              // the section exists
    std::vector<std::pair<int, std::string>> entries;  // sorted by ID
    std::string message;  // "GeosDetails: Failed to parse FontID Table", or empty

    // Each key must be a decimal number; the name is the value up to a ";" with the
    // blanks at its end removed. A key that is no number empties the table, stops
    // the parsing and sets the message.
    static FontIdTable load(const IniFile& ini);
    friend bool operator==(const FontIdTable&, const FontIdTable&) = default;
};

}  // namespace qv
