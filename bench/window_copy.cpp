// The listing run behind the window and the copy of its long listing into the window:
// 10,000 generated images listed with the window's progress, path field and event
// handling, then the text put into the listing view and the disk header lines
// coloured blue, as a run ends. The plain text assignment of the same text is the
// baseline of the copy, measured in the same run. Runs on the offscreen platform unless
// another one is chosen.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "image/Geometry.h"
#include "listing/TfMainForm.h"
#include "platform/RichTextView.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

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
    const std::vector<std::string> paths = qv::test::writeSparseImages(
        folder, count, 24, [](int f, int) { return "FILE " + std::to_string(f); });

    qv::test::ScriptedDialogHost host;
    qv::app::MainFormSetup setup;
    setup.settingsFile = folder + "quorvane.ini";
    setup.dialogHost = &host;
    qv::app::TfMainForm form(setup);
    form.show();
    QApplication::processEvents();

    form.listing().fileList = paths;
    const auto t0 = Clock::now();
    const int listed = form.listing().listFiles(qv::RunKind::Drop);
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
    std::printf("listing run:          %.3f s (target under 0.5 s)\n", seconds(t0, t1));
    std::printf("plain text only:      %.3f s (baseline)\n", seconds(b0, b1));
    std::printf("copy and colour:      %.3f s (target under 3 s), %.1f x baseline\n",
                seconds(c0, c1), seconds(c0, c1) / std::max(seconds(b0, b1), 1e-9));
    if (!host.messages.empty())
        std::printf("messages: %s\n", host.messages.front().c_str());
    std::filesystem::remove_all(folder);
    return seconds(c0, c1) < 3.0 && seconds(t0, t1) < 0.5 ? 0 : 1;
}
