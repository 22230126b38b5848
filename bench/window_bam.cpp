// The block map window and the file viewer: the whole grid painted with owners and
// chains on, the window opened on a 40-track image with 144 files (owners computed),
// and a 200 KB program imported, dumped and shown. Each is printed beside a baseline
// from the same run: the grid painted without owners, the image's BAM alone, and the
// dump rows of the same bytes without the window. Runs on the offscreen platform
// unless another one is chosen.

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchClock.h"
#include "bam/BamGrid.h"
#include "bam/TfBAMViewer.h"
#include "listing/TfMainForm.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "viewer/DumpLayout.h"
#include "viewer/TfFileViewer.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;

double paintMs(qv::app::BamGrid& grid, int rounds) {
    QImage img(grid.sizeHint(), QImage::Format_RGB32);
    const auto t0 = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        QPainter p(&img);
        grid.paintGrid(p);
    }
    return seconds(t0, Clock::now()) * 1000.0 / rounds;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "quorvane-bench-bam";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);

    qv::test::DiskBuilder b(40);
    b.format("BENCH", "QV");
    b.extendedBam(qv::test::ExtendedBam::SpeedDos);
    for (int f = 0; f < 144; ++f)
        b.addFile("FILE " + std::to_string(f), 0x82, qv::test::Bytes(400, 0x11));
    const std::string image = (folder / "big.d64").string();
    b.save(image);
    const std::string program = (folder / "big.prg").string();
    {
        std::ofstream out(program, std::ios::binary);
        for (int i = 0; i < 200 * 1024; ++i)
            out.put(static_cast<char>(i * 7));
    }

    // 40-track images are read as such; the viewer shows hex dumps.
    std::ofstream((folder / "quorvane.ini").string())
        << "[40Tracks]\nEnable=1\nAutoDetect=1\n[File Viewer]\nConv to Chars=0\n";
    qv::test::ScriptedDialogHost host;
    qv::app::MainFormSetup setup;
    setup.settingsFile = (folder / "quorvane.ini").string();
    setup.dialogHost = &host;
    qv::app::TfMainForm form(setup);
    form.show();
    form.dropPaths({QString::fromStdString(image)});
    QApplication::processEvents();

    // Opening: the first refresh loads the BAM and walks every file's chains.
    const auto o0 = Clock::now();
    form.bamAction()->trigger();
    QApplication::processEvents();
    const auto o1 = Clock::now();
    qv::app::TfBAMViewer& bam = *form.bamViewer();
    const int rowsListed = form.session().blockMap().rowCount();
    bam.setOwnerDisplay(false);
    const auto n0 = Clock::now();
    bam.refresh(true);
    const auto n1 = Clock::now();
    const double plainPaint = paintMs(*bam.grid(), 50);
    bam.setOwnerDisplay(true);
    bam.grid()->setShowChain(true);
    const double ownerPaint = paintMs(*bam.grid(), 50);

    std::ifstream in(program, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    const auto d0 = Clock::now();
    const auto rows = qv::dumpRows(bytes, form.fileViewer()->dumpOptions());
    const auto d1 = Clock::now();
    const auto i0 = Clock::now();
    form.fileViewer()->importProgram(program);
    QApplication::processEvents();
    (void)form.fileViewer()->grab();
    const auto i1 = Clock::now();
    // The same import in character mode, the viewer's default: without "Replace 0x0D
    // with a newline" the whole file is one line of text.
    form.session().viewerOptions().convertToChars = true;
    const auto charRows = qv::dumpRows(bytes, form.fileViewer()->dumpOptions());
    const auto c0 = Clock::now();
    form.fileViewer()->importProgram(program);
    QApplication::processEvents();
    (void)form.fileViewer()->grab();
    const auto c1 = Clock::now();

    const double openMs = seconds(o0, o1) * 1000.0;
    const double importMs = seconds(i0, i1) * 1000.0;
    const double charImportMs = seconds(c0, c1) * 1000.0;
    std::printf(
        "grid paint, owners and chains: %.2f ms (target under 5 ms); without owners "
        "%.2f ms (baseline)\n",
        ownerPaint, plainPaint);
    std::printf(
        "open on 40 tracks, 144 files:  %.1f ms (target under 50 ms); BAM only %.1f ms "
        "(baseline), %d rows listed\n",
        openMs, seconds(n0, n1) * 1000.0, rowsListed);
    std::printf(
        "200 KB import dumped, shown:   %.1f ms (target under 200 ms); dump rows only "
        "%.1f ms (baseline, %zu rows)\n",
        importMs, seconds(d0, d1) * 1000.0, rows.size());
    std::printf("200 KB import as characters:   %.1f ms (target under 200 ms); %zu line(s)\n",
                charImportMs, charRows.size());
    std::filesystem::remove_all(folder);
    return ownerPaint < 5.0 && openMs < 50.0 && importMs < 200.0 && charImportMs < 200.0 ? 0 : 1;
}
