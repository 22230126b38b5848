#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/DiskImage.h"
#include "screen/Palette.h"

namespace qv {

class Dialogs;
struct ListerOptions;

// What every GEOS document reader needs besides the document: the dialogs for its
// questions and messages, the options (variant detection, GEOS text letters) and the
// C64 colours of the settings.
struct GeosReaderContext {
    Dialogs& dialogs;
    const ListerOptions& options;
    C64Palette palette = kDefaultC64Palette;
};

// Error dialog flag words the readers use.
inline constexpr int kFlagsOkOnly = 8;                 // "...: Error in File...", OK
inline constexpr int kFlagsOkError = 8 + 256;          // "...: Error...", OK
inline constexpr int kFlagsOpenFailed = 8 + 16 + 256;  // no second line
inline constexpr int kFlagsContinueAbort = 2;          // Continue, Abort File
inline constexpr int kFlagsContinueAbortError = 2 + 256;

// Opens a document's image read-only and detects its variant without asking about an
// undetected 40-track image (the answer given while listing stands). An image that
// cannot be opened gets "Failed to open Image..." under the reader's module name; an
// unusable variant fails without a message.
std::optional<DiskImage> openGeosImage(GeosReaderContext& context, const std::string& module,
                                       const std::string& imagePath);

// The record pointers a reader works on, from the index block at firstBlockOffset:
// `count` pairs are looked at, a pointer whose track is not 0 is kept. With
// zeroZeroEnds a 0/0 pair ends the list; every other pair with track 0 is skipped.
std::vector<TrackSector> keptRecordPointers(DiskImage& image, int firstBlockOffset, int count,
                                            bool zeroZeroEnds);

}  // namespace qv
