// A double click on a catalogue row to the shown viewer window: a full 640 x 720
// GeoPaint picture and a 30-page GeoWrite document with ten pictures, each opened
// through GeosViewers::openEntry. The baseline of each, measured in the same run, is
// the engine's decoding alone. Runs on the offscreen platform unless another one is
// chosen.

#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "geos/GeoPaint.h"
#include "geos/GeoWrite.h"
#include "geos/GeosViewers.h"
#include "listing/ListingRun.h"
#include "platform/QtDialogHost.h"
#include "session/Session.h"
#include "support/DiskBuilder.h"
#include "support/GeoWriteBytes.h"
#include "support/ScriptedDialogHost.h"

namespace {

using qv::bench::Clock;
using qv::bench::seconds;
using qv::test::Bytes;
using qv::test::geowrite::operator<<;

// A band of varied bytes, stored as literal runs.
Bytes paintRecord(int band) {
    Bytes raw(1448);
    for (std::size_t i = 0; i < raw.size(); ++i)
        raw[i] = static_cast<std::uint8_t>(i * 31 + static_cast<std::size_t>(band) * 7);
    return qv::test::geowrite::literalRuns(raw);
}

Bytes writePage(int page) {
    Bytes b;
    qv::test::geowrite::Ruler r;
    r.left = 10 * (page % 5);
    b << r.escape()
      << qv::test::geowrite::font(1, 12, static_cast<std::uint8_t>(page % 2 ? 0x40 : 0));
    for (int p = 0; p < 12; ++p)
        b << qv::test::geowrite::text(
                 "A paragraph of GeoWrite text that fills a line or two of the "
                 "page, with words of every length.")
          << Bytes{13};
    if (page < 10)
        b << qv::test::geowrite::picture(20, 80, 63 + page) << Bytes{13};
    return b;
}

// A scrap of 20 cards by 80 rows in colour.
Bytes scrap() {
    Bytes s{20, 80, 0};
    for (int left = 20 * 90; left > 0; left -= 127)
        s.insert(s.end(), {static_cast<std::uint8_t>(std::min(left, 127)), 0x5A});
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;

    qv::test::TempDir tmp;
    qv::test::DiskBuilder d;
    d.format("BENCH", "QV").geosSignature();
    qv::test::InfoBlockSpec paint;
    paint.structure = 1;
    paint.className = "Paint Image V1.1";
    std::vector<Bytes> bands;
    for (int b = 0; b < 45; ++b)
        bands.push_back(paintRecord(b));
    d.addGeosVlir("PAINT", paint, bands);
    qv::test::InfoBlockSpec write;
    write.structure = 1;
    write.className = "Write Image V2.0";
    // Pages in records 0-29, the pictures beyond the header and footer records.
    std::vector<Bytes> records(73);
    for (int p = 0; p < 30; ++p)
        records[static_cast<std::size_t>(p)] = writePage(p);
    for (int s = 0; s < 10; ++s)
        records[static_cast<std::size_t>(63 + s)] = scrap();
    d.addGeosVlir("WRITE", write, records);
    const std::string image = tmp.file("bench.d64");
    d.save(image);

    qv::test::ScriptedDialogHost host;
    qv::Session session(host, qv::IniFile{});
    qv::Listing listing(session.listerOptions(), session.dialogs());
    listing.setGeosSink(&session.catalogue());
    listing.fileList = {image};
    listing.listFiles(qv::RunKind::Load);
    if (session.catalogue().rowCount() != 2) {
        std::fprintf(stderr, "the catalogue has %d rows, not 2\n", session.catalogue().rowCount());
        return 1;
    }
    struct NoFiles : qv::app::FileChooser {
        QStringList openFiles(QWidget*, const QString&, const QString&,
                              const std::string&) override {
            return {};
        }
        QString openFile(QWidget*, const QString&, const QString&, const std::string&) override {
            return {};
        }
        std::optional<SaveChoice> saveFile(QWidget*, const QString&, const QString&,
                                           const std::string&, const QString&) override {
            return std::nullopt;
        }
        QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
    } chooser;
    QWidget owner;
    qv::app::GeosViewers viewers(session, chooser, &owner);
    const auto& rows = session.catalogue().rows();
    qv::GeosReaderContext context{session.dialogs(), session.listerOptions()};

    for (int row = 0; row < 2; ++row) {
        const qv::GeosDetailEntry& entry = rows[static_cast<std::size_t>(row)];
        const int offset = std::stoi(entry.text(qv::kColOffset));
        double decode = 0, open = 0;
        for (int i = 0; i < rounds; ++i) {
            const Clock::time_point a = Clock::now();
            if (row == 0) {
                qv::GeoPaintView v;
                v.decodeGeoPaint(context, image, entry.text(qv::kColFileName), offset);
            } else {
                qv::GeoWriteView v;
                v.convertGeoWrite(context, image, entry.text(qv::kColFileName),
                                  entry.text(qv::kColOffset), entry.text(qv::kColClass));
            }
            const Clock::time_point b = Clock::now();
            if (!viewers.openEntry(row))
                return 1;
            QApplication::processEvents();
            const Clock::time_point c = Clock::now();
            decode += seconds(a, b);
            open += seconds(b, c);
        }
        std::printf("%-32s %8.2f ms   decoding alone %8.2f ms   ratio %.2f\n",
                    row == 0 ? "GeoPaint 640 x 720 to window:" : "GeoWrite 30 pages, 10 pictures:",
                    1000 * open / rounds, 1000 * decode / rounds, open / decode);
    }
    return 0;
}
