#include "platform/Commands.h"

#include <QAction>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace qv::app {

void setStandardShortcut(QAction* action, QKeySequence::StandardKey key,
                         const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty())
        keys = {fallback};
    action->setShortcuts(keys);
}

QIcon commandIcon(const QIcon& icon) {
    if (icon.isNull())
        return icon;
    QIcon out;
    for (const int size : {16, 22, 24, 32, 48}) {
        const QPixmap normal = icon.pixmap(size, size);
        if (normal.isNull())
            continue;
        out.addPixmap(normal, QIcon::Normal);
        QImage faint = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < faint.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(faint.scanLine(y));
            for (int x = 0; x < faint.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
            }
        }
        out.addPixmap(QPixmap::fromImage(faint), QIcon::Disabled);
    }
    return out;
}

QString withMnemonic(const QString& text, QString& taken) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i).toLower();
        if (c.isLetterOrNumber() && !taken.contains(c)) {
            taken += c;
            return text.left(i) + QLatin1Char('&') + text.mid(i);
        }
    }
    return text;
}

void showInFront(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace qv::app
