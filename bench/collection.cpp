// Collection index speed: 20,000 generated images (directories of 1 to 40 entries)
// indexed into a new database on two reading threads, then indexed again with nothing
// changed, then searched; against the plain listing of the same images in the same
// run. Targets: the first run within twice the listing, the second under a tenth of
// the first, a search under 50 ms.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "collection/CollectionIndex.h"
#include "collection/IndexUpdate.h"
#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"
#include "viewer/TokenTable.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / "quorvane-bench-collection/").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "images");
    std::printf("generating %d images...\n", count);
    const std::vector<std::string> paths = qv::test::writeSparseImages(
        folder + "images/", count, 40,
        [](int f, int i) { return "FILE " + std::to_string(f) + " OF " + std::to_string(i); });

    qv::test::ScriptedDialogHost host;
    qv::Dialogs dialogs(host);
    qv::ListerOptions options;
    qv::recomputeOptions(options);
    const qv::TokenTable tokens;
    const auto listAll = [&] {
        qv::Listing listing(options, dialogs);
        listing.setKeywords(qv::v2Keywords(tokens));
        listing.fileList = paths;
        return listing.listFiles(qv::RunKind::Load);
    };
    listAll();  // warms the page cache

    // The best of three rounds of each, alternating, so that other work on the
    // machine slows both alike.
    double list = 1e9, first = 1e9, second = 1e9, search = 1e9;
    std::size_t hits = 0;
    qv::IndexCounts rows;
    for (int round = 0; round < 3; ++round) {
        auto t0 = Clock::now();
        listAll();
        list = std::min(list, seconds(t0, Clock::now()));

        const std::string db = folder + "index.db";
        std::filesystem::remove(db);
        std::string error;
        auto index = qv::CollectionIndex::open(db, qv::CollectionIndex::Access::Update, error);
        if (!index) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        qv::UpdateOptions update;
        update.jobs = 2;
        qv::UpdateCounts counts;
        t0 = Clock::now();
        if (!qv::updateIndex(*index, {folder + "images"}, update, counts, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        first = std::min(first, seconds(t0, Clock::now()));
        t0 = Clock::now();
        if (!qv::updateIndex(*index, {folder + "images"}, update, counts, error) ||
            counts.unchanged != count) {
            std::fprintf(stderr, "second run read images: %s\n", error.c_str());
            return 1;
        }
        second = std::min(second, seconds(t0, Clock::now()));
        rows = index->counts();
        index.reset();

        t0 = Clock::now();
        auto reader = qv::CollectionIndex::open(db, qv::CollectionIndex::Access::Read, error);
        hits = reader->search("*file 1? of 1234*").size();
        search = std::min(search, seconds(t0, Clock::now()));
    }
    std::printf("plain listing:        %8.3f s (%d images)\n", list, count);
    std::printf(
        "index, first run:     %8.3f s (%lld entries)  first / listing: %.2f (target at most 2)\n",
        first, static_cast<long long>(rows.entries), first / list);
    std::printf("index, nothing new:   %8.3f s  second / first: %.3f (target under 0.1)\n", second,
                second / first);
    std::printf("search (open + scan): %8.1f ms, %zu hits (target under 50 ms)\n", search * 1000,
                hits);
    std::filesystem::remove_all(folder);
    return first <= 2 * list && second < 0.1 * first && search < 0.05 ? 0 : 1;
}
