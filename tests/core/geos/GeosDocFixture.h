#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "geos/GeosReader.h"
#include "host/Dialogs.h"
#include "image/Geometry.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/Image.h"
#include "support/ScriptedDialogHost.h"

namespace qv::test {

// A disk built in the test, saved to a temporary file, with scripted dialogs and the
// reader context the GEOS document readers take.
struct GeosDocFixture : ::testing::Test {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosReaderContext context{dialogs, options};
    DiskBuilder disk;

    GeosDocFixture() { disk.format(); }

    std::string save(const std::string& name = "docs.d64") {
        const std::string path = tmp.file(name);
        disk.save(path);
        return path;
    }
    int offsetOf(TrackSector ts) const { return blockOffset(ts, kDosStandard); }
    // The first data block of a record whose index pointer is `record`.
    TrackSector recordStart(const DirEntrySpec& e, int record) {
        const std::uint8_t* index = disk.block(e.first);
        return {index[2 + 2 * record], index[3 + 2 * record]};
    }
};

// FNV-1a over the pixels, for comparing whole pictures in one value.
inline std::uint64_t pictureHash(const Image32& image) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint32_t p : image.pixels) {
        for (int i = 0; i < 4; ++i) {
            h ^= (p >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    }
    return h ^ static_cast<std::uint64_t>(image.width) * 31 ^
           static_cast<std::uint64_t>(image.height);
}

}  // namespace qv::test
