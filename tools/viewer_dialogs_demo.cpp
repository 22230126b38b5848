// Opens one of the file viewer's dialogs on a settings file in a temporary folder, for
// screenshots and for trying them by hand:
//   quorvane-viewer-dialogs-demo options [TAB]   the "File Viewer Options" on page TAB
//   quorvane-viewer-dialogs-demo addresses       "Edit Startaddresses"
//   quorvane-viewer-dialogs-demo table           the "TokenTable" window
//   quorvane-viewer-dialogs-demo failed          the same after OK found a code out of order
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "listing/ListingExport.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"
#include "viewer/TfFileViewerOptions.h"
#include "viewer/TfStartAddress.h"
#include "viewer/TfTokenTable.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    const QStringList args = QApplication::arguments();
    const QString what = args.size() > 1 ? args[1] : QStringLiteral("options");
    QTemporaryDir folder;
    const std::string path = qv::app::ss(folder.path()) + "/";
    qv::app::QtDialogHost host;
    qv::Session session(host, path + "quorvane.ini");
    session.loadFullTokenTable(path);
    qv::app::QtFileChooser chooser;

    std::unique_ptr<QDialog> dialog;
    if (what == QLatin1String("addresses")) {
        dialog = std::make_unique<qv::app::TfStartAddress>(session);
    } else if (what == QLatin1String("table") || what == QLatin1String("failed")) {
        auto table = std::make_unique<qv::app::TfTokenTable>(session, chooser, path, path);
        if (what == QLatin1String("failed")) {
            session.tokens().setCell(19, 60, "0x30");
            QTimer::singleShot(300, table.get(), [t = table.get()] { t->accept(); });
        }
        dialog = std::move(table);
    } else {
        auto options = std::make_unique<qv::app::TfFileViewerOptions>(session, chooser, path, path);
        options->tabs()->setCurrentIndex(args.size() > 2 ? args[2].toInt() : 0);
        dialog = std::move(options);
    }
    dialog->move(0, 0);
    dialog->show();
    host.setParent(dialog.get());
    return QApplication::exec();
}
