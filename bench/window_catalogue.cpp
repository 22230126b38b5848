// The GEOS catalogue window at collection scale: 2,000 builder images of ten GEOS files
// each (20,000 rows) listed while the window is open, then the list sorted once by
// every column, then Ctrl+C of all rows. Each figure is printed next to a baseline
// measured in the same run: std::sort of the same column's texts for the sorts, the
// plain joining of all texts for the copy. Runs on the offscreen platform unless
// another one is chosen. The exit status is 1 when a target is missed.

#include <QApplication>
#include <QClipboard>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "geos/GeosCatalogue.h"
#include "geos/GeosDetailsModel.h"
#include "geos/TfGeosDetails.h"
#include "listing/TfMainForm.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

constexpr int kFilesPerImage = 10;

// Writes the image's blocks that hold anything, as a sparse file of full size: a
// listing reads only the directory and the info blocks.
void saveSparse(const qv::test::DiskBuilder& d, const std::string& path) {
    const qv::test::Bytes& bytes = d.bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (std::size_t at = 0; at < bytes.size(); at += 256) {
        const auto first = bytes.begin() + static_cast<long>(at);
        if (std::all_of(first, first + 256, [](std::uint8_t b) { return b == 0; }))
            continue;
        out.seekp(static_cast<std::streamoff>(at));
        out.write(reinterpret_cast<const char*>(bytes.data() + at), 256);
    }
    out.close();
    std::filesystem::resize_file(path, bytes.size());
}

std::vector<std::string> writeImages(const std::string& folder, int count) {
    std::vector<std::string> paths;
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    for (int i = 0; i < count; ++i) {
        qv::test::DiskBuilder d;
        d.format("GEOS " + std::to_string(i), "GE").geosSignature();
        for (int f = 0; f < kFilesPerImage; ++f) {
            qv::test::InfoBlockSpec info;
            info.geosType = static_cast<std::uint8_t>(1 + next() % 14);
            info.className = "Class " + std::to_string(next() % 500) + " V1.0";
            info.author = "Author " + std::to_string(next() % 300);
            info.application = "Parent " + std::to_string(next() % 50);
            info.description = "File " + std::to_string(f) + " of disk " + std::to_string(i);
            // 60 different icons across the collection.
            info.icon.assign(63, static_cast<std::uint8_t>(next() % 60));
            const std::array<std::uint8_t, 5> date{static_cast<std::uint8_t>(85 + next() % 15),
                                                   static_cast<std::uint8_t>(1 + next() % 12),
                                                   static_cast<std::uint8_t>(1 + next() % 28),
                                                   static_cast<std::uint8_t>(next() % 24),
                                                   static_cast<std::uint8_t>(next() % 60)};
            d.addGeosSequential("FILE " + std::to_string(next() % 100000), info, {1, 2, 3}, date);
        }
        char name[32];
        std::snprintf(name, sizeof name, "geos%05d.d64", i);
        paths.push_back(folder + name);
        saveSparse(d, paths.back());
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / "quorvane-bench-catalogue/").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::printf("generating %d images of %d GEOS files...\n", count, kFilesPerImage);
    const std::vector<std::string> paths = writeImages(folder, count);

    qv::test::ScriptedDialogHost host;
    qv::app::MainFormSetup setup;
    setup.settingsFile = folder + "quorvane.ini";
    setup.dialogHost = &host;
    qv::app::TfMainForm form(setup);
    form.show();
    form.geosAction()->trigger();
    qv::app::TfGeosDetails& window = *form.geosDetails();
    window.resize(1200, 800);
    QApplication::processEvents();

    // The longest time between two turns of the event loop while the rows arrive.
    Clock::time_point lastTurn = Clock::now();
    double longestBlock = 0;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestBlock = std::max(longestBlock, seconds(lastTurn, now));
        lastTurn = now;
    });

    form.listing().fileList = paths;
    turns.start();
    lastTurn = Clock::now();
    const auto r0 = Clock::now();
    const int listed = form.listing().listFiles(qv::RunKind::Drop);
    const auto r1 = Clock::now();
    longestBlock = std::max(longestBlock, seconds(lastTurn, r1));
    turns.stop();
    window.rowsListed();
    QApplication::processEvents();
    const auto r2 = Clock::now();
    const int rows = window.model()->rowCount();

    std::printf("images listed:        %d, rows %d, icons %d\n", listed, rows,
                form.session().catalogue().icons().size());
    std::printf("listing run:          %.3f s\n", seconds(r0, r1));
    std::printf("longest blocked turn: %.3f s while rows arrived (target under 0.1 s)\n",
                longestBlock);
    std::printf("window filled:        %.3f s after the run (target under 0.5 s)\n",
                seconds(r1, r2));

    bool met = longestBlock < 0.1 && seconds(r1, r2) < 0.5 && rows == count * kFilesPerImage;
    const qv::GeosCatalogue& catalogue = form.session().catalogue();
    for (int c = 0; c < qv::kCatalogueColumnCount; ++c) {
        std::vector<std::string> texts;
        texts.reserve(catalogue.rows().size());
        for (const qv::GeosDetailEntry& r : catalogue.rows())
            texts.push_back(r.text(c));
        const auto b0 = Clock::now();
        std::sort(texts.begin(), texts.end());
        const auto b1 = Clock::now();
        const auto s0 = Clock::now();
        window.sortByColumn(c);
        QApplication::processEvents();
        const auto s1 = Clock::now();
        const double s = seconds(s0, s1);
        met = met && s < 0.3;
        std::printf("sort %-24s %.3f s (target under 0.3 s), baseline std::sort %.3f s, %.1f x\n",
                    qv::catalogueColumns()[static_cast<std::size_t>(c)].caption, s, seconds(b0, b1),
                    s / std::max(seconds(b0, b1), 1e-9));
    }

    const auto j0 = Clock::now();
    std::string joined;
    for (const qv::GeosDetailEntry& r : catalogue.rows()) {
        for (int c = 0; c < qv::kCatalogueColumnCount; ++c) {
            joined += r.text(c);
            joined += '\t';
        }
        joined += '\n';
    }
    const auto j1 = Clock::now();
    const auto c0 = Clock::now();
    window.selectAll();
    window.copySelected();
    const auto c1 = Clock::now();
    std::printf(
        "Ctrl+A, Ctrl+C:       %.3f s for %lld characters, baseline joining %.3f s, "
        "%.1f x\n",
        seconds(c0, c1), static_cast<long long>(QGuiApplication::clipboard()->text().size()),
        seconds(j0, j1), seconds(c0, c1) / std::max(seconds(j0, j1), 1e-9));
    if (!host.messages.empty())
        std::printf("messages: %s\n", host.messages.front().c_str());
    std::filesystem::remove_all(folder);
    return met ? 0 : 1;
}
