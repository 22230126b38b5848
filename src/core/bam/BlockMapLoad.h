#pragma once

#include <string>

#include "bam/BlockMap.h"

namespace qv {

enum class MapLoadOutcome {
    Loaded,
    NoSuchFile,    // the path names no regular file
    NoOwnerGrids,  // the owner grids could not be allocated (reported through the dialogs)
    NotOpened,     // the image could not be opened
    Unusable,      // the variant detection gave no usable DOS type
};

struct MapLoadResult {
    MapLoadOutcome outcome = MapLoadOutcome::NoSuchFile;
    // How the walk over the directory ended; NoGrids when the owners were not loaded.
    OwnerWalk walk = OwnerWalk::NoGrids;
};

// Loads an image into the map in one go, for a caller that shows one image at a
// time: checks that the file exists, detects the variant and reads the BAM. With
// owners it first allocates the owner grids for the options' file limit and, for a
// usable image, also reads the error info and walks every file's chains. walkDialogs,
// when given, answers the problems the walk meets instead of the context's dialogs
// (a caller that cares for one file only answers the others quietly).
[[nodiscard]] MapLoadResult loadBlockMap(BlockMap& map, const std::string& path,
                                         BlockMapContext& context, bool owners,
                                         Dialogs* walkDialogs = nullptr);

}  // namespace qv
