// Opens GEOS documents of a disk image in their viewer windows, as a double click in
// the catalogue does, for looking at them and for screenshots:
//   quorvane-geos-demo IMAGE            prints the image's GEOS files, one row a line
//   quorvane-geos-demo IMAGE ROW...     opens those rows (numbers as printed)
// The settings come from a file of their own (--settings FILE, else none), so a run
// never touches the user's settings.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>

#include "geos/GeosViewers.h"
#include "listing/ListingRun.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QStringList args = QApplication::arguments();
    args.removeFirst();
    std::string settings;
    if (args.size() >= 2 && args[0] == QLatin1String("--settings")) {
        settings = qv::app::ss(args[1]);
        args.remove(0, 2);
    }
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: quorvane-geos-demo [--settings FILE] IMAGE [ROW...]\n");
        return 2;
    }
    QMainWindow owner;
    owner.setWindowTitle(QStringLiteral("Quorvane"));
    qv::app::QtDialogHost host(&owner);
    qv::app::QtFileChooser chooser;
    std::optional<qv::IniFile> ini;
    if (!settings.empty())
        ini = qv::IniFile::load(settings);
    qv::Session session(host, ini ? *ini : qv::IniFile{});
    session.catalogue().loadSettings(session.settings().readOrEmpty());
    qv::Listing listing(session.listerOptions(), session.dialogs());
    listing.setGeosSink(&session.catalogue());
    listing.fileList = {qv::app::ss(args[0])};
    listing.listFiles(qv::RunKind::Load);
    const auto& rows = session.catalogue().rows();
    if (args.size() == 1) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::printf("%zu\t%s\t%s\t%s\n", i, rows[i].text(qv::kColFileName).c_str(),
                        rows[i].text(qv::kColFileType).c_str(),
                        rows[i].text(qv::kColClass).c_str());
        }
        return 0;
    }
    qv::app::GeosViewers viewers(session, chooser, &owner);
    QTimer::singleShot(0, &owner, [&] {
        for (qsizetype i = 1; i < args.size(); ++i)
            viewers.openEntry(args[i].toInt());
    });
    return QApplication::exec();
}
