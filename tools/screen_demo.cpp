// Shows the main window and its C64 screen side by side with a listing of the images
// named on the command line, for screenshots (tools/screen_shots.sh). With
// --upper-lower the images are listed in the Upper/Lower character set.
#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QTimer>

#include "listing/TfMainForm.h"
#include "platform/QtText.h"
#include "screen/TfC64Screen.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvane"));
    qv::app::MainFormSetup setup;
    bool upperLower = false;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--upper-lower"))
            upperLower = true;
        else
            setup.images.push_back(qv::app::ss(args[i]));
    }
    qv::app::TfMainForm window(setup);
    window.move(0, 0);
    window.show();
    QTimer::singleShot(0, &window, [&window, upperLower] {
        for (QRadioButton* r : window.findChildren<QRadioButton*>()) {
            if (r->text() ==
                (upperLower ? QLatin1String("Upper/Lower") : QLatin1String("Upper/Graphics")))
                r->setChecked(true);
        }
        window.screenAction()->trigger();
        window.c64Screen()->move(window.frameGeometry().right() + 10, 0);
        window.c64Screen()->zoom(qv::ZoomKey::In);
        window.listCommandLineImages();
    });
    return QApplication::exec();
}
