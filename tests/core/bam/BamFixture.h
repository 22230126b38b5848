#pragma once

#include <string>

#include "bam/BlockMap.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv::test {

// A block map over images built in a temporary folder, with scripted dialogs.
struct BamFixture {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    BlockMapContext ctx{options, dialogs};
    BlockMap map;

    std::string save(const DiskBuilder& b, const std::string& name = "disk.d64") {
        const std::string path = tmp.file(name);
        b.save(path);
        return path;
    }

    // Loads BAM, error info and owners as the window does with its owner display on.
    OwnerWalk load(const DiskBuilder& b, const std::string& name = "disk.d64") {
        const std::string path = save(b, name);
        options.recomputeLimits();
        map.allocateOwners(options.maxFiles, dialogs);
        (void)map.loadBam(path, ctx);  // the tests look at what the map holds
        map.loadErrors(path, dialogs);
        return map.showOwner(path, ctx);
    }

    // The messages of the error dialogs shown so far.
    std::vector<std::string> errorMessages() const {
        std::vector<std::string> m;
        for (const ErrorLayout& l : host.errors)
            m.push_back(l.message);
        return m;
    }
};

inline DiskBuilder formatted(int tracks = 35, bool errors = false) {
    DiskBuilder b(tracks, errors);
    b.format();
    return b;
}

inline Bytes bytesOf(std::size_t n, std::uint8_t first = 0) {
    Bytes data(n);
    for (std::size_t i = 0; i < n; ++i)
        data[i] = static_cast<std::uint8_t>(first + i);
    return data;
}

}  // namespace qv::test
