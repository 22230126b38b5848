#pragma once

#include <string>
#include <vector>

#include "settings/Fonts.h"
#include "settings/IniFile.h"
#include "support/GeosText.h"

namespace qv {

// The 40-track DOS the options choose when autodetection is off, as stored ("Typ").
inline constexpr int kFortyTrackSpeedDos = 1;
inline constexpr int kFortyTrackDolphinDos = 2;
inline constexpr int kFortyTrackPrologicDos = 3;

// The listing options, one field per caption of the options dialog, with the
// values derived from them. Every module reads these fields when it needs them.
struct ListerOptions {
    // File Options
    std::string saveName = "DEFAULT";
    std::string multifileName = "DEFAULT";
    std::string savePath = "DEFAULT";
    // Conversion
    bool convertEverything = true;
    bool interpretSpecialchars = true;
    bool displayBasicV2Tokens = true;
    bool autoGeosConversion = true;
    bool convertGeosDisknames = true;
    bool showDeletedFiles = false;
    bool allowMoreThan144Files = true;
    bool abortImageAt0x00 = false;
    int dirAbortWithNull = 3;  // zero bytes in a name that stop the image; never written
    // ASCII File
    bool showSavedToMessage = true;
    bool generateHeader = true;
    int addPath = 1;  // 1 "Add Path Always", 2 "Add Path only at Dirchange"
    bool customHeader = false;
    std::string headerImage = "DEFAULT";
    std::string preImage = "DEFAULT";
    std::string postImage = "DEFAULT";
    std::string footerImage = "DEFAULT";
    std::string driveLetter = "c:";  // custom header "Prefix"
    int skip = 0;                    // custom header "Directory Level Skip", 0-255
    // C64Screen
    int imagesInC64Screen = 20;  // 0-100000
    // A 4096-byte character ROM dump the C64 screens draw with; empty: the built-in glyphs.
    std::string charsetRom;
    // GEOS File Details
    bool generateGeosFileDetails = true;
    bool umlaute = true;
    bool eszett = true;
    bool paragraph = true;
    // 40 Tracks Support
    bool enable40Tracks = true;
    bool autoDetectMode = true;
    bool changeDosType = true;
    int fortyTrackType = kFortyTrackSpeedDos;  // anything but the first two is PrologicDOS
    // Fonts
    bool bamViewerScale = true;
    bool bamChainsScale = true;

    // Derived fields, recomputed by recomputeOptions().
    int maxFiles = 288;
    int bamOptionBits = 0;
    std::string headerImageText, preImageText, postImageText, footerImageText;
    int headerImageWidth = 0, preImageWidth = 0, postImageWidth = 0, footerImageWidth = 0;

    // The dosType that "fortyTrackType" selects when autodetection is off (2, 3 or 4).
    int chosenFortyTrackDosType() const {
        return fortyTrackType == kFortyTrackSpeedDos     ? 2
               : fortyTrackType == kFortyTrackDolphinDos ? 3
                                                         : 4;
    }

    // Recomputes maxFiles and bamOptionBits from the fields above.
    void recomputeLimits() {
        maxFiles = allowMoreThan144Files ? 288 : 144;
        const int radio = fortyTrackType == kFortyTrackSpeedDos     ? 16
                          : fortyTrackType == kFortyTrackDolphinDos ? 32
                                                                    : 64;
        bamOptionBits = (showDeletedFiles ? 1 : 0) + (enable40Tracks ? 2 : 0) +
                        (autoDetectMode ? 4 : 0) + (changeDosType ? 8 : 0) + radio;
    }

    // The defaults, with the derived fields worked out (the four image fields stay
    // "DEFAULT"; their texts are those of the default styles).
    ListerOptions();
};

// Which controls of the options dialog can be used, as the options stand: the
// header's controls with "Generate Header", its "edit..." button with "Custom
// Header" too, "Convert GEOS Disknames" with "Auto GEOS Conversion", "Display BASIC
// V2 Tokens" with "Interpret Specialchars", the 40-track choices with "Enable 40
// Tracks", and the three DOS types only when autodetection is off.
struct OptionsEnabling {
    bool headerControls = true;  // the two path radios, "Custom Header", the image fields
    bool customHeaderEdit = true;
    bool geosDisknames = true;
    bool basicTokens = true;
    bool fortyTrackOptions = true;  // "AutoDetect Mode", "Change DOSType to '2S' or '2D'"
    bool dosTypeChoice = true;      // SpeedDOS, DolphinDOS, PrologicDOS
    friend bool operator==(const OptionsEnabling&, const OptionsEnabling&) = default;
};
OptionsEnabling optionsEnabling(const ListerOptions& options);

// The German-letter choices of the options, as the GEOS text conversion takes them.
inline GeosTextOptions geosTextOptions(const ListerOptions& options) {
    return {options.umlaute, options.eszett, options.paragraph};
}

// Shown when the settings file cannot be opened at start-up; the program then ends.
inline constexpr const char* kOptionsLoadFailedMessage =
    "ListerOptions: Failed to Load Quorvane.ini File...Exiting";

// Recomputes every derived field: maxFiles, bamOptionBits, and the four header
// styles ("DEFAULT" in a field is replaced by its default string, then each is
// parsed). Returns the "Failed to parse" message of each field that does not
// parse, in the order Header, Pre, Post, Footer; such a field's text is empty and
// its width 0.
std::vector<std::string> recomputeOptions(ListerOptions& options);

struct OptionsLoadResult {
    std::vector<std::string> messages;  // from recomputeOptions, for the caller to show
    // The main window's save folder: the stored "Path:" when it names an existing
    // folder, else empty.
    std::string saveFolder;
};

// Fills the record from the settings file. A missing key gives the default, a
// non-numeric number the default. "Add path" other than 1 or 2 keeps 1; "Typ" 1 is
// SpeedDOS, 2 DolphinDOS, anything else PrologicDOS (3). A stored save path that is
// no existing folder falls back to "DEFAULT". The image-in-C64-screen count and
// the skip count are kept within their ranges (0-100000, 0-255).
[[nodiscard]] OptionsLoadResult loadOptions(const IniFile& ini, ListerOptions& options);

// Writes the record's keys as the OK button does, in the dialog's order: [Names],
// [Conversion] (not DirAbortWithNull, which is never written), [ASCII] with the
// four image fields quoted, [C64 Screen], [GEOS], [40Tracks] with Typ as 1, 2 or
// 3, and the two scale flags of [BAM Defaults].
void saveOptions(IniFile& ini, const ListerOptions& options);

// The whole OK button: the record's keys as above, then the fonts whose bit is set
// in changedFonts (Fonts.h), then the two scale flags.
void saveOptions(IniFile& ini, const ListerOptions& options, const FontSettings& fonts,
                 int changedFonts);

// The save-name rule of the "Insert Name" input box: an empty answer is "DEFAULT",
// a name without "." gets ".txt" appended (LIST becomes LIST.txt, LIST.DOC stays).
std::string normalizeSaveName(const std::string& answer);

// The folder chosen for the listing files. The folder must be given as an absolute
// path; a missing trailing separator is added and the folder is created with its
// parents when missing.
struct SaveFolderResult {
    std::string folder;   // the folder with its trailing separator; empty on failure
    std::string message;  // "Failed to create folder " followed by the path, or empty
};
SaveFolderResult prepareSaveFolder(const std::string& folder);

// Whether a folder typed into the select-folder dialog is complete enough to end it
// (an absolute path); otherwise the dialog is shown again.
bool isCompleteFolderText(const std::string& text);

// The folders chosen in the select-folder dialog since the program started, in the
// order they were first chosen; the dialog offers them in its combo box.
struct FolderHistory {
    std::vector<std::string> folders;

    // Ends the dialog with the folder text: prepares the folder as above and, when it
    // can be used, adds it to the history unless it is there already. The result's
    // index is the folder's place in the history (-1 on failure).
    struct Choice {
        SaveFolderResult result;
        int index = -1;
    };
    Choice choose(const std::string& text);
};

}  // namespace qv
