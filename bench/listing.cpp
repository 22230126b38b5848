// Listing speed: 10,000 generated images (directories of 1 to 144 entries) listed into
// the text buffer and written to a file, against a bare C loop over the same files that
// only opens each one, reads its header block and its directory chain block by block,
// and closes it. Both are measured in the same run; the listing should take at most
// 1.5 times as long as the bare loop.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "host/Dialogs.h"
#include "image/Geometry.h"
#include "listing/ListingRun.h"
#include "listing/ListingSave.h"
#include "settings/ListerOptions.h"
#include "support/Files.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"
#include "viewer/TokenTable.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

constexpr double kTarget = 1 / 1.5;

// The bare baseline, in plain C calls and none of ours: open, header block, directory
// chain, close.
std::size_t bareRead(const std::vector<std::string>& paths) {
    std::size_t blocks = 0;
    unsigned char block[qv::kBlockSize];
    for (const std::string& p : paths) {
        const int fd = ::open(p.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        if (::pread(fd, block, sizeof block, qv::kHeaderOffset) == sizeof block) {
            for (int n = 0; block[0] != 0 && n < 36; ++n) {
                const int offset = qv::blockOffset(block[0], block[1], qv::kDosStandard);
                if (offset < 0 || ::pread(fd, block, sizeof block, offset) != sizeof block)
                    break;
                ++blocks;
            }
        }
        ::close(fd);
    }
    return blocks;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / "quorvane-bench-listing/").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::printf("generating %d images...\n", count);
    const std::vector<std::string> paths = qv::test::writeSparseImages(
        folder, count, 144,
        [](int f, int i) { return "FILE " + std::to_string(f) + " OF " + std::to_string(i); });

    if (std::getenv("QV_BENCH_PAUSE")) {
        std::printf("pid %d ready\n", static_cast<int>(::getpid()));
        std::fflush(stdout);
        ::sleep(2);
    }
    if (!std::getenv("QV_BENCH_ONLY"))
        bareRead(paths);                // warm the page cache for both
    qv::test::ScriptedDialogHost host;  // the generated images raise no question
    qv::Dialogs dialogs(host);
    qv::ListerOptions options;
    qv::recomputeOptions(options);
    const qv::TokenTable tokens;
    // Five rounds, alternating, keeping the best of each: other work on the machine
    // then slows both alike instead of deciding the ratio.
    double bare = 0, full = 0, listSeconds = 0, writeSeconds = 0;
    std::size_t blocks = 0, textBytes = 0;
    int listed = 0;
    const char* only = std::getenv("QV_BENCH_ONLY");  // "bare" or "list", for profiling
    for (int round = 0; round < 5; ++round) {
        auto t0 = Clock::now();
        if (!only || std::string(only) == "bare")
            blocks = bareRead(paths);
        auto t1 = Clock::now();
        bare = std::max(bare, count / seconds(t0, t1));

        if (only && std::string(only) == "bare")
            continue;
        t0 = Clock::now();
        qv::Listing listing(options, dialogs);
        listing.setKeywords(qv::v2Keywords(tokens));
        listing.fileList = paths;
        listed = listing.listFiles(qv::RunKind::Load);
        const auto tList = Clock::now();
        // As `quorvane-cli list -o` writes it: renamed into place, not flushed.
        if (!qv::writeFileAtomically(folder + "listing.txt", listing.text().text(),
                                     qv::Durability::RenamedOnly))
            std::fprintf(stderr, "cannot write %slisting.txt\n", folder.c_str());
        t1 = Clock::now();
        const double rate = listed / seconds(t0, t1);
        if (rate > full) {
            full = rate;
            listSeconds = seconds(t0, tList);
            writeSeconds = seconds(tList, t1);
        }
        textBytes = listing.text().size();
    }
    std::printf("bare read (open, header, directory, close): %10.0f images/s (%zu blocks)\n", bare,
                blocks);
    std::printf(
        "full listing to a file:                     %10.0f images/s (%d images, %zu bytes;"
        " run %.3f s, file %.3f s)\n",
        full, listed, textBytes, listSeconds, writeSeconds);
    std::printf("listing / bare: %.2f (target at least %.2f)\n", full / bare, kTarget);
    std::filesystem::remove_all(folder);
    return full / bare >= kTarget ? 0 : 1;
}
