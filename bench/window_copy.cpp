// The listing run behind the window and the copy of its long listing into the window:
// 10,000 generated images listed with the window's progress, path field and event
// handling, then the text put into the listing view and the disk header lines
// coloured blue, as a run ends. The plain text assignment of the same text is the
// baseline of the copy, measured in the same run; the engine's listing of the same
// images without a window is the baseline of the run. Runs on the offscreen platform unless
// another one is chosen.

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "host/Dialogs.h"
#include "image/Geometry.h"
#include "listing/ListingRun.h"
#include "listing/TfMainForm.h"
#include "platform/RichTextView.h"
#include "settings/ListerOptions.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"
#include "viewer/TokenTable.h"

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

    // The run behind the window against the engine's own listing of the same images
    // (no window, no progress, no events), three rounds each, best of each, so that
    // other work on the machine slows both alike.
    qv::Dialogs dialogs(host);
    qv::ListerOptions options;
    qv::recomputeOptions(options);
    const qv::TokenTable tokens;
    double engineRun = 1e9, windowRun = 1e9;
    int listed = 0;
    std::unique_ptr<qv::app::TfMainForm> form;
    for (int round = 0; round < 3; ++round) {
        auto t0 = Clock::now();
        qv::Listing engine(options, dialogs);
        engine.setKeywords(qv::v2Keywords(tokens));
        engine.fileList = paths;
        engine.listFiles(qv::RunKind::Drop);
        auto t1 = Clock::now();
        engineRun = std::min(engineRun, seconds(t0, t1));

        form = std::make_unique<qv::app::TfMainForm>(setup);
        form->show();
        QApplication::processEvents();
        form->listing().fileList = paths;
        t0 = Clock::now();
        listed = form->listing().listFiles(qv::RunKind::Drop);
        t1 = Clock::now();
        windowRun = std::min(windowRun, seconds(t0, t1));
        if (round < 2)
            form.reset();
    }
    const std::string& text = form->listing().text().text();

    // Baseline: the same text put into a view of its own, without colours.
    qv::app::RichTextView plain;
    plain.resize(form->listingView()->size());
    plain.show();
    const auto b0 = Clock::now();
    plain.setCp437Text(text);
    QApplication::processEvents();
    const auto b1 = Clock::now();

    const auto c0 = Clock::now();
    form->copyListingToWindow();
    QApplication::processEvents();
    const auto c1 = Clock::now();

    std::printf("images listed:        %d (%zu header lines, %.1f MB of text)\n", listed,
                form->listing().marks().count(), static_cast<double>(text.size()) / 1e6);
    std::printf("engine listing run:   %.3f s (baseline)\n", engineRun);
    std::printf("listing run:          %.3f s (target under 0.5 s), %.1f x baseline\n", windowRun,
                windowRun / std::max(engineRun, 1e-9));
    std::printf("plain text only:      %.3f s (baseline)\n", seconds(b0, b1));
    std::printf("copy and colour:      %.3f s (target under 3 s), %.1f x baseline\n",
                seconds(c0, c1), seconds(c0, c1) / std::max(seconds(b0, b1), 1e-9));
    if (!host.messages.empty())
        std::printf("messages: %s\n", host.messages.front().c_str());
    std::filesystem::remove_all(folder);
    return seconds(c0, c1) < 3.0 && windowRun < 0.5 ? 0 : 1;
}
