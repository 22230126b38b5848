#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "image/DiskImage.h"
#include "support/Files.h"

namespace qv {

class Dialogs;
struct ListerOptions;

enum class ExtensionCheck { Accept, Skip, Stop };

// Checks the file name's extension: ".D64" (any case) is accepted at once; any other
// is asked about with the wrong-extension question, whose chosen pattern decides.
ExtensionCheck checkExtension(const std::string& path, Dialogs& dialogs);

// Applies one of the wrong-extension patterns ("*.D64", "*.*D64", "*.D64*",
// "*.*D64*", "*.*" as index 0-4) to an upper-case extension such as ".D64X".
bool extensionMatches(int patternIndex, const std::string& upperExtension);

// The extension of a file name from its last "." on, in upper case ("" without one).
std::string upperExtension(const std::string& path);

// The extended-BAM test over the five 4-byte entries of tracks 36-40 starting at
// byte `at` of the header block.
bool extendedBamValid(const Block& header, int at);

// Remembers, for the program run, where images of unsupported size are logged.
struct UnsupportedSizeLog {
    std::string lastSaveDir;
    std::string chosenFile;  // the file the user picked in "Save Log File"; empty: none

    // Writes one entry for the image; returns true when it was written somewhere.
    bool write(const std::string& imagePath, std::int64_t size, const std::string& saveDir,
               Dialogs& dialogs);
};

// The message line of the unsupported-size question: the question's text, the image's
// size and the sizes an image may have.
std::string unsupportedSizeMessage(std::int64_t size);

inline constexpr const char* kUnsupportedLogName = "Unsupported_Filesize_D64Images.log";

// What detection needs besides the image.
struct DetectContext {
    const ListerOptions& options;
    Dialogs& dialogs;
    bool& abortRun;                     // set by "Cancel All"
    std::string saveDir;                // where the unsupported-size log goes
    UnsupportedSizeLog* log = nullptr;  // null: no log is written
};

// Decides the image variant by its size and, for 40-track files, by its extended BAM.
// Returns 0 when the image is not usable. With ask on the extended-BAM question may be
// shown; the unsupported-size question is shown whenever the image has a path.
int detectDosType(DiskImage& image, bool ask, DetectContext& context);

// The write test: can a file be created in the folder part of path?
bool isWriteProtected(const std::string& path);

}  // namespace qv
