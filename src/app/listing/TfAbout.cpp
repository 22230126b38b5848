#include "listing/TfAbout.h"

#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>
#include <QVBoxLayout>

namespace qv::app {

QString versionLine() {
    return QStringLiteral("Version: ") + QStringLiteral(QV_VERSION);
}

QString buildLine() {
    return QStringLiteral("Build: ") + QStringLiteral(QV_BUILD_DATE);
}

TfAbout::TfAbout(QWidget* parent) : QDialog(parent) {
    // The caption names the system the program runs on.
    setWindowTitle(QStringLiteral("Info (running on ") + QSysInfo::prettyProductName() +
                   QLatin1Char(')'));
    setObjectName(QStringLiteral("TfAbout"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("<h2>Quorvane</h2>"), this);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    auto* what = new QLabel(QStringLiteral("Directories of Commodore 64 disk images,\n"
                                           "listed as a C64 prints them."),
                            this);
    what->setAlignment(Qt::AlignCenter);
    layout->addWidget(what);
    for (const QString& line : {versionLine(), buildLine()}) {
        auto* l = new QLabel(line, this);
        l->setAlignment(Qt::AlignCenter);
        layout->addWidget(l);
    }
    // Where the glyphs of the C64 screen come from.
    auto* glyphs =
        new QLabel(QStringLiteral("The C64 screen draws with a character set of our own, not the "
                                  "Commodore character ROM. A ROM dump of your own, such as VICE "
                                  "installs, can be chosen in the options."),
                   this);
    glyphs->setWordWrap(true);
    glyphs->setAlignment(Qt::AlignCenter);
    glyphs->setObjectName(QStringLiteral("charsetNote"));
    layout->addWidget(glyphs);
    auto* by = new QLabel(QStringLiteral("The Quorvane developers"), this);
    by->setAlignment(Qt::AlignCenter);
    layout->addWidget(by);
    layout->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    resize(306, 267);
}

void TfAbout::showOnceAtStartUp() {
    exec();
}

void TfAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!startUpFinished_) {
        ++startUpShows_;
        QTimer::singleShot(0, this, &QDialog::reject);
    }
}

}  // namespace qv::app
