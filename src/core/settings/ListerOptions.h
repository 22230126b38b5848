#pragma once

#include <string>

namespace qv {

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
    int dirAbortWithNull = 3;
    // ASCII File
    bool showSavedToMessage = true;
    bool generateHeader = true;
    int addPath = 1;
    bool customHeader = false;
    std::string headerImage = "DEFAULT";
    std::string preImage = "DEFAULT";
    std::string postImage = "DEFAULT";
    std::string footerImage = "DEFAULT";
    std::string driveLetter = "c:";  // custom header "Prefix"
    int skip = 0;                    // custom header "Directory Level Skip"
    // C64Screen
    int imagesInC64Screen = 20;
    // GEOS File Details
    bool generateGeosFileDetails = true;
    bool umlaute = true;
    bool eszett = true;
    bool paragraph = true;
    // 40 Tracks Support
    bool enable40Tracks = true;
    bool autoDetectMode = true;
    bool changeDosType = true;
    int fortyTrackType = 1;  // 1 SpeedDOS, 2 DolphinDOS, anything else PrologicDOS
    // Fonts
    bool bamViewerScale = true;
    bool bamChainsScale = true;

    // Derived fields, recomputed by recompute().
    int maxFiles = 288;
    int bamOptionBits = 0;
    std::string headerImageText, preImageText, postImageText, footerImageText;
    int headerImageWidth = 0, preImageWidth = 0, postImageWidth = 0, footerImageWidth = 0;

    // The dosType that "fortyTrackType" selects when autodetection is off (2, 3 or 4).
    int chosenFortyTrackDosType() const {
        return fortyTrackType == 1 ? 2 : fortyTrackType == 2 ? 3 : 4;
    }

    // Recomputes maxFiles and bamOptionBits from the fields above.
    void recomputeLimits() {
        maxFiles = allowMoreThan144Files ? 288 : 144;
        const int radio = fortyTrackType == 1 ? 16 : fortyTrackType == 2 ? 32 : 64;
        bamOptionBits = (showDeletedFiles ? 1 : 0) + (enable40Tracks ? 2 : 0) +
                        (autoDetectMode ? 4 : 0) + (changeDosType ? 8 : 0) + radio;
    }

    ListerOptions() { recomputeLimits(); }
};

}  // namespace qv
