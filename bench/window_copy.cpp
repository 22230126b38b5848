// The copy of a long listing into the window: 10,000 generated images listed, then
// the text put into the listing view and the disk header lines coloured blue, as a
// run ends. The plain text assignment of the same text is the baseline measured in
// the same run. Runs on the offscreen platform unless another one is chosen.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "image/Geometry.h"
#include "listing/TfMainForm.h"
#include "platform/RichTextView.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

// Only the directory track of each image is written, as a sparse file of full size.
std::vector<std::string> makeImages(const std::string& folder, int count) {
    std::mt19937 rng(64);
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        qv::test::DiskBuilder d;
        d.format("DISK " + std::to_string(i), "BM");
        const int files = 1 + static_cast<int>(rng() % 24);
        for (int f = 0; f < files; ++f) {
            qv::test::DirEntrySpec e;
            e.typeByte = f % 7 == 0 ? 0x81 : 0x82;
            e.first = {1, 0};
            e.name = qv::test::petsciiName("FILE " + std::to_string(f));
            e.blocks = static_cast<int>(rng() % 200);
            d.addEntry(e);
        }
        char name[32];
        std::snprintf(name, sizeof name, "img%05d.d64", i);
        const std::string path = folder + name;
        const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        const auto& b = d.bytes();
        const std::size_t track18 = qv::kHeaderOffset, length = 19 * 256;
        if (fd < 0 || ::pwrite(fd, b.data() + track18, length, static_cast<off_t>(track18)) < 0 ||
            ::ftruncate(fd, static_cast<off_t>(b.size())) != 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        paths.push_back(path);
    }
    return paths;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / "quorvane-bench-window/").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::printf("generating %d images...\n", count);
    const std::vector<std::string> paths = makeImages(folder, count);

    qv::test::ScriptedDialogHost host;
    qv::app::MainFormSetup setup;
    setup.settingsFile = folder + "quorvane.ini";
    setup.dialogHost = &host;
    qv::app::TfMainForm form(setup);
    form.show();
    QApplication::processEvents();

    form.listing().fileList = paths;
    const auto t0 = Clock::now();
    const int listed = form.listing().listFiles(3);
    const auto t1 = Clock::now();
    const std::string& text = form.listing().text().text();

    // Baseline: the same text put into a view of its own, without colours.
    qv::app::RichTextView plain;
    plain.resize(form.listingView()->size());
    plain.show();
    const auto b0 = Clock::now();
    plain.setCp437Text(text);
    QApplication::processEvents();
    const auto b1 = Clock::now();

    const auto c0 = Clock::now();
    form.copyListingToWindow();
    QApplication::processEvents();
    const auto c1 = Clock::now();

    std::printf("images listed:        %d (%zu header lines, %.1f MB of text)\n", listed,
                form.listing().marks().count(), static_cast<double>(text.size()) / 1e6);
    std::printf("listing run:          %.3f s\n", seconds(t0, t1));
    std::printf("plain text only:      %.3f s (baseline)\n", seconds(b0, b1));
    std::printf("copy and colour:      %.3f s (target under 3 s), %.1f x baseline\n",
                seconds(c0, c1), seconds(c0, c1) / std::max(seconds(b0, b1), 1e-9));
    if (!host.messages.empty())
        std::printf("messages: %s\n", host.messages.front().c_str());
    std::filesystem::remove_all(folder);
    return seconds(c0, c1) < 3.0 ? 0 : 1;
}
