// GEOS catalogue speed: 100,000 rows added through the listing run's hand-over (info
// block read, icon CRC and sharing, texts) and sorted by a text, the date and the file
// offset, against sorting 100,000 plain strings with std::sort in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "geos/GeosCatalogue.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace {

using Clock = std::chrono::steady_clock;

// Processor time of this program, so that other programs on a shared machine do not
// count.
double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

struct Timer {
    Clock::time_point wall = Clock::now();
    double cpu = cpuSeconds();
    double wallSeconds() const {
        return std::chrono::duration<double>(Clock::now() - wall).count();
    }
    double cpuSecondsSince() const { return cpuSeconds() - cpu; }
};

}  // namespace

int main() {
    using namespace qv;
    constexpr int kRows = 100000;

    // One disk of 120 GEOS files with 40 different icons and varied names and dates.
    test::DiskBuilder d;
    d.format("BENCH", "BE").geosSignature();
    std::mt19937 rng(7);
    std::vector<int> slots;
    for (int f = 0; f < 120; ++f) {
        test::InfoBlockSpec info;
        info.geosType = static_cast<std::uint8_t>(1 + f % 14);
        info.className = "Class " + std::to_string(rng() % 1000) + " V1.0";
        info.author = "Author " + std::to_string(f);
        info.description = "A description of file number " + std::to_string(f);
        info.icon.assign(63, static_cast<std::uint8_t>(f % 40));
        const std::array<std::uint8_t, 5> date{
            static_cast<std::uint8_t>(80 + rng() % 20), static_cast<std::uint8_t>(1 + rng() % 12),
            static_cast<std::uint8_t>(1 + rng() % 28), static_cast<std::uint8_t>(rng() % 24),
            static_cast<std::uint8_t>(rng() % 60)};
        d.addGeosSequential("FILE " + std::to_string(rng() % 100000), info, {1, 2, 3}, date);
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "quorvane_bench_catalogue.d64").string();
    d.save(path);
    std::optional<DiskImage> image = DiskImage::open(path);
    if (!image) {
        std::fprintf(stderr, "cannot open %s\n", path.c_str());
        return 1;
    }
    image->setDosType(kDosStandard);
    // Directory slots: 8 per block, the blocks as the builder chained them.
    std::vector<std::int64_t> slotOffsets;
    for (const TrackSector ts : d.directoryBlocks()) {
        for (int s = 0; s < 8 && slotOffsets.size() < 120; ++s)
            slotOffsets.push_back(blockOffset(ts, kDosStandard) + 32 * s);
    }

    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    ListerOptions options;
    GeosCatalogue catalogue(options, dialogs);
    Timer t0;
    for (int i = 0; i < kRows; ++i) {
        const std::int64_t slot = slotOffsets[static_cast<std::size_t>(i) % slotOffsets.size()];
        image->seek(slot + 21);
        catalogue.addGeosEntry(*image, "\"FILE " + std::to_string(i) + "\"", "SEQ", 256 * (i % 683),
                               kDosStandard);
    }
    const double addSeconds = t0.cpuSecondsSince();
    const double addWall = t0.wallSeconds();

    std::vector<std::string> plain;
    for (const GeosDetailEntry& r : catalogue.rows())
        plain.push_back(r.text(kColClass));
    t0 = Timer();
    std::sort(plain.begin(), plain.end());
    const double baseline = t0.cpuSecondsSince();

    std::printf("rows %d, icons %d\n", catalogue.rowCount(), catalogue.icons().size());
    std::printf("processor time of this program (wall time of adding: %.3f s)\n", addWall);
    std::printf("%-34s %8.3f s  %10.0f rows/s\n", "add rows", addSeconds, kRows / addSeconds);
    std::printf("%-34s %8.3f s  %10.0f rows/s\n", "baseline: std::sort of strings", baseline,
                kRows / baseline);
    for (const bool own : {false, true}) {
        catalogue.settings.ownSort = own;
        for (const int column : {kColClass, kColDate, kColOffset}) {
            t0 = Timer();
            catalogue.sort(column, true);
            const double s = t0.cpuSecondsSince();
            const std::string label = std::string(own ? "own sort " : "list sort ") +
                                      catalogueColumns()[static_cast<std::size_t>(column)].caption;
            std::printf("%-34s %8.3f s  %10.0f rows/s  (%.1f x baseline)\n", label.c_str(), s,
                        kRows / s, s / baseline);
        }
    }
    std::filesystem::remove(path);
    return 0;
}
