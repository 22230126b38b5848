// Quorvane: the windowed program. Lists the directories of C64 disk images; the
// images named on the command line are listed at start.
#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "listing/TfMainForm.h"
#include "platform/QtText.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    QApplication::setApplicationVersion(QStringLiteral(QV_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quorvane"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quorvane")));

    qv::app::MainFormSetup setup;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        setup.images.push_back(qv::app::ss(args[i]));

    qv::app::TfMainForm window(setup);
    window.show();
    // The start-up ends, and the images of the command line are listed, once the window
    // is on the screen.
    QTimer::singleShot(0, &window, [&window] { window.finishStartUp(); });
    return QApplication::exec();
}
