// Random and mutated images through every step a listing takes: the extension
// check, detection with its questions, the header and the directory walk. Run under
// the sanitizers in CI; here it checks that every walk ends and stays in bounds.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "host/Dialogs.h"
#include "listing/DirectoryReader.h"
#include "listing/ImageOpen.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;

Bytes randomBytes(std::mt19937& rng, std::size_t size) {
    Bytes b(size);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

// A valid image whose header and directory blocks are then damaged at random.
Bytes mutatedImage(std::mt19937& rng) {
    const int tracks = rng() % 2 ? 35 : 40;
    DiskBuilder d(tracks, rng() % 2);
    d.format("MUTANT", "MU");
    if (tracks == 40 && rng() % 2)
        d.extendedBam(static_cast<test::ExtendedBam>(1 + rng() % 3));
    const int files = static_cast<int>(rng() % 40);
    for (int i = 0; i < files; ++i)
        d.addFile(test::numbered("F", i), 0x82, Bytes(rng() % 600, 1));
    Bytes b = d.bytes();
    const int mutations = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < mutations; ++i) {
        // Mostly the header and directory track, sometimes anywhere.
        const std::size_t at = rng() % 4 ? kHeaderOffset + rng() % (19 * 256) : rng() % b.size();
        b[at] = static_cast<std::uint8_t>(rng());
    }
    if (rng() % 8 == 0) {
        // A directory block that links to any block at all.
        const std::size_t dir = kFirstDirOffset + 256 * (rng() % 18);
        b[dir] = static_cast<std::uint8_t>(rng() % 42);
        b[dir + 1] = static_cast<std::uint8_t>(rng() % 22);
    }
    return b;
}

Bytes hostileImage(std::mt19937& rng) {
    static const std::size_t sizes[] = {
        0,      1,       255,         256,           91392,   91393,         91647,
        174847, kSize35, kSize35 + 1, kSize35Errors, kSize40, kSize40Errors, kSize40Errors + 1};
    switch (rng() % 4) {
        case 0:
            return randomBytes(rng, sizes[rng() % std::size(sizes)]);
        case 1:
            return randomBytes(rng, rng() % 210000);
        default:
            return mutatedImage(rng);
    }
}

TEST(HostileImages, ListingNeverCrashesOrHangs) {
    std::mt19937 rng(20261210);
    test::TempDir tmp;
    const char* const names[] = {"img.d64", "img.D64", "img.prg", "img", "img.d64x"};
    for (int iteration = 0; iteration < 2500; ++iteration) {
        const Bytes bytes = hostileImage(rng);
        const std::string path = tmp.file(names[rng() % std::size(names)]);
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<std::streamsize>(bytes.size()));
        }
        test::ScriptedDialogHost host;
        for (int i = 0; i < 50; ++i) {
            host.questionAnswers.push_back({static_cast<int>(1 + rng() % 3),
                                            static_cast<int>(rng() % 5), rng() % 2 == 0,
                                            rng() % 2 == 0});
        }
        Dialogs dialogs(host);
        ListerOptions options;
        options.showDeletedFiles = rng() % 2;
        options.abortImageAt0x00 = rng() % 2;
        options.allowMoreThan144Files = rng() % 2;
        options.enable40Tracks = rng() % 4 != 0;
        options.autoDetectMode = rng() % 4 != 0;
        options.fortyTrackType = static_cast<int>(rng() % 5);
        options.dirAbortWithNull = static_cast<int>(rng() % 18) - 1;
        options.recomputeLimits();
        bool abortRun = false;
        DetectContext ctx{options, dialogs, abortRun, tmp.path(), nullptr};
        OpenResult opened = openForListing(path, ctx);
        if (opened.outcome != OpenOutcome::Opened)
            continue;
        const DiskHeader header = readHeader(*opened.image, options);
        ASSERT_EQ(header.headerText.size(), 26u);
        ASSERT_LE(header.blocksFree, 40 * 255);
        std::size_t entries = 0;
        walkDirectory(*opened.image, options, dialogs, [&](const DirEntry& e) {
            ++entries;
            ASSERT_LE(e.nameText.size(), 18u);
            ASSERT_FALSE(e.typeText.empty());
        });
        ASSERT_LE(entries, static_cast<std::size_t>(options.maxFiles));
    }
}

}  // namespace
}  // namespace qv
