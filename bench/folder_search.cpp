// The recursive folder search at collection scale: a generated tree of 100,000 empty
// files in 5,000 folders, 20,000 of them named *.d64 or *.D64, searched for "*.D64"
// through the window's FileSearch (the walk on its worker thread, the matches handed
// out on this thread's event loop). The baseline is a plain recursive walk of the
// same tree that only counts the entries, measured in the same run; best of three
// rounds each. While the search runs, a timer on this thread fires every 5 ms and
// the longest gap between its firings is how long the thread was blocked. Runs on
// the offscreen platform unless another one is chosen. The exit status is 1 when a
// target is missed.

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QByteArray>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "BenchClock.h"
#include "platform/FileSearch.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

constexpr int kTopFolders = 50;
constexpr int kSubfoldersEach = 99;  // 50 + 50 * 99 = 5,000 folders
constexpr int kFilesPerFolder = 20;
constexpr int kMatchingPerFolder = 4;
constexpr double kMaxRatio = 1.5;
constexpr double kMaxBlockedSeconds = 0.050;

// Empty files with open/close only: no stream objects, no writes.
bool touch(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// One folder's files: four that match in both letter cases, the rest near misses and
// other extensions.
bool fillFolder(const std::string& folder, int serial) {
    static const char* const kMatching[] = {".d64", ".D64", ".d64", ".D64"};
    static const char* const kOthers[] = {".prg", ".T64", ".d71",  ".D81", ".txt", ".d64.bak",
                                          ".zip", ".g64", ".crt",  ".p00", ".seq", ".tap",
                                          ".nfo", ".D6",  ".d644", ".sid"};
    int n = 0;
    for (int i = 0; i < kMatchingPerFolder; ++i)
        if (!touch(folder + "game" + std::to_string(serial) + "_" + std::to_string(n++) +
                   kMatching[i]))
            return false;
    for (int i = 0; n < kFilesPerFolder; ++i)
        if (!touch(folder + "file" + std::to_string(serial) + "_" + std::to_string(n++) +
                   kOthers[i % (sizeof kOthers / sizeof kOthers[0])]))
            return false;
    return true;
}

bool generateTree(const std::string& root) {
    std::error_code ec;
    int serial = 0;
    for (int t = 0; t < kTopFolders; ++t) {
        const std::string top = root + "top" + std::to_string(t) + "/";
        if (!std::filesystem::create_directory(top, ec) || !fillFolder(top, serial++))
            return false;
        for (int s = 0; s < kSubfoldersEach; ++s) {
            const std::string sub = top + "Sub" + std::to_string(s) + "/";
            if (!std::filesystem::create_directory(sub, ec) || !fillFolder(sub, serial++))
                return false;
        }
    }
    return true;
}

// The baseline: every entry of the tree visited once, counted, nothing else.
long plainWalk(const std::string& root) {
    long entries = 0;
    std::error_code ec;
    for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end;
         it.increment(ec))
        ++entries;
    return entries;
}

struct SearchRound {
    double seconds = 0;
    double blocked = 0;  // the longest gap between two firings of the 5 ms timer
    long matches = 0;
    long folders = 0;
    bool aborted = false;
};

SearchRound searchOnce(const std::string& root) {
    SearchRound r;
    qv::app::FileSearch search;
    // What the dialog does with a match: keep its path.
    std::vector<QByteArray> found;
    found.reserve(kTopFolders * (kSubfoldersEach + 1) * kMatchingPerFolder);
    QObject::connect(&search, &qv::app::FileSearch::folderChanged,
                     [&](const QByteArray&) { ++r.folders; });
    QObject::connect(&search, &qv::app::FileSearch::fileMatched,
                     [&](const QByteArray& folder, const QByteArray& name) {
                         found.push_back(folder + name);
                         ++r.matches;
                     });
    QEventLoop loop;
    QObject::connect(&search, &qv::app::FileSearch::finished, [&](bool aborted) {
        r.aborted = aborted;
        loop.quit();
    });

    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(5);
    Clock::time_point last;
    const auto noteGap = [&] {
        const Clock::time_point now = Clock::now();
        r.blocked = std::max(r.blocked, seconds(last, now));
        last = now;
    };
    QObject::connect(&tick, &QTimer::timeout, noteGap);

    const Clock::time_point t0 = Clock::now();
    last = t0;
    tick.start();
    search.start(root, "*.D64");
    loop.exec();
    const Clock::time_point t1 = Clock::now();
    noteGap();  // the stretch from the last firing to the end
    tick.stop();
    r.seconds = seconds(t0, t1);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string root =
        (std::filesystem::temp_directory_path() / "quorvane-bench-search/").string();
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);

    const long folders = long(kTopFolders) * (kSubfoldersEach + 1);
    const long files = folders * kFilesPerFolder;
    const long matching = folders * kMatchingPerFolder;
    std::printf("generating %ld files in %ld folders (%ld matching)...\n", files, folders,
                matching);
    const Clock::time_point g0 = Clock::now();
    if (!generateTree(root)) {
        std::printf("cannot generate the tree under %s\n", root.c_str());
        std::filesystem::remove_all(root);
        return 1;
    }
    std::printf("generated in %.2f s\n", seconds(g0, Clock::now()));

    // Alternating rounds, best of each, so that other work on the machine and the
    // state of the caches touch both alike.
    double walk = 1e9;
    long entries = 0;
    SearchRound best;
    best.seconds = 1e9;
    double blocked = 1e9;
    bool countsRight = true;
    for (int round = 0; round < 3; ++round) {
        const Clock::time_point w0 = Clock::now();
        entries = plainWalk(root);
        const double thisWalk = seconds(w0, Clock::now());
        walk = std::min(walk, thisWalk);

        const SearchRound r = searchOnce(root);
        countsRight =
            countsRight && r.matches == matching && r.folders == folders + 1 && !r.aborted;
        if (r.seconds < best.seconds)
            best = r;
        blocked = std::min(blocked, r.blocked);
        std::printf("round %d: walk %.3f s, search %.3f s, blocked at most %.1f ms\n", round + 1,
                    thisWalk, r.seconds, r.blocked * 1e3);
    }
    std::filesystem::remove_all(root);

    const double ratio = best.seconds / std::max(walk, 1e-9);
    std::printf("entries walked:       %ld (%ld files, %ld folders)\n", entries, files, folders);
    std::printf("matches reported:     %ld in %ld folders%s\n", best.matches, best.folders,
                countsRight ? "" : " (WRONG)");
    std::printf("plain directory walk: %.3f s (baseline)\n", walk);
    std::printf("search for *.D64:     %.3f s (target at most %.1f x), %.2f x baseline\n",
                best.seconds, kMaxRatio, ratio);
    std::printf(
        "main thread blocked:  %.1f ms at most (target at most %.0f ms), timer every "
        "5 ms\n",
        blocked * 1e3, kMaxBlockedSeconds * 1e3);
    return countsRight && ratio <= kMaxRatio && blocked <= kMaxBlockedSeconds ? 0 : 1;
}
