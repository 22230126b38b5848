#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "listing/TfMainForm.h"
#include "platform/QtDialogHost.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

// What the window tests share: the file dialogs' double and small files to work on.
namespace qv::test {

// An image named NAME with one program file (on the C64 screen: the header, the file,
// the free blocks and two empty rows).
inline std::string makeImage(const TempDir& tmp, const std::string& file, const std::string& name) {
    DiskBuilder d;
    d.format(name, "QV");
    d.addFile("PROGRAM", 0x82, Bytes(300, 0x11));
    d.save(tmp.file(file));
    return tmp.file(file);
}

// The file dialogs of the windows for tests: answers come from queues, and every save
// dialog's caption, folder, filter and default extension is recorded.
class ScriptedChooser : public app::FileChooser {
  public:
    struct SaveRequest {
        QString caption, folder;
        std::string filter;
        QString defaultSuffix;
    };
    std::deque<QStringList> openAnswers;
    QStringList openCaptions, openFolders;
    std::deque<std::optional<SaveChoice>> saveAnswers;
    std::vector<SaveRequest> saveRequests;
    std::deque<QString> folderAnswers;
    QStringList folderStarts;

    QStringList openFiles(QWidget*, const QString& caption, const QString& folder,
                          const std::string&) override {
        openCaptions << caption;
        openFolders << folder;
        if (openAnswers.empty())
            return {};
        QStringList a = openAnswers.front();
        openAnswers.pop_front();
        return a;
    }
    QString openFile(QWidget* p, const QString& c, const QString& f,
                     const std::string& filter) override {
        const QStringList a = openFiles(p, c, f, filter);
        return a.isEmpty() ? QString() : a.front();
    }
    std::optional<SaveChoice> saveFile(QWidget*, const QString& caption, const QString& folder,
                                       const std::string& filter,
                                       const QString& defaultSuffix) override {
        saveRequests.push_back({caption, folder, filter, defaultSuffix});
        if (saveAnswers.empty())
            return std::nullopt;
        const bool chosen = saveAnswers.front().has_value();
        const SaveChoice a = chosen ? *saveAnswers.front() : SaveChoice{};
        saveAnswers.pop_front();
        if (!chosen)
            return std::nullopt;
        return a;
    }
    // The folder browser: the next prepared folder; where it started is recorded.
    QString chooseFolder(QWidget*, const QString&, const QString& start) override {
        folderStarts << start;
        if (folderAnswers.empty())
            return {};
        QString a = folderAnswers.front();
        folderAnswers.pop_front();
        return a;
    }
};

// A main window with the doubles and its own settings file (tmp/quorvane.ini).
// True when ICON's disabled form is faint throughout (at most 40 % opaque), so that a
// command that is off plainly looks off.
inline bool faintWhenDisabled(const QIcon& icon) {
    const QImage faint = icon.pixmap(24, QIcon::Disabled).toImage();
    for (int y = 0; y < faint.height(); ++y) {
        for (int x = 0; x < faint.width(); ++x) {
            if (qAlpha(faint.pixel(x, y)) > 102)
                return false;
        }
    }
    return !faint.isNull();
}

// The controls of WINDOW that a screen reader would announce without a name: buttons,
// fields, lists, tables, tabs and bars whose accessible name is empty. Each as its class
// and object name, after the title of its window.
inline QStringList unnamedControls(QWidget* window) {
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
                             qobject_cast<QAbstractItemView*>(w) || qobject_cast<QTabWidget*>(w) ||
                             qobject_cast<QProgressBar*>(w) || qobject_cast<QTextEdit*>(w) ||
                             qobject_cast<QPlainTextEdit*>(w) ||
                             (qobject_cast<QAbstractSlider*>(w) && !w->inherits("QScrollBar"));
        // Parts Qt makes inside other controls (a spin box's field, a view's header
        // buttons) are named through their owner.
        if (!control || w->objectName().startsWith(QLatin1String("qt_")) ||
            w->inherits("QHeaderView") || w->inherits("QTableCornerButton") ||
            qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget() ? w->parentWidget()->parentWidget()
                                                       : nullptr))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->window()->windowTitle() + QLatin1String(": ") +
                           QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') +
                           w->objectName();
    }
    return unnamed;
}

// The entries of the menu bars and menus under ROOT (their windows' titles first) that
// have no mnemonic, or one that another entry of the same menu has already.
inline QStringList menuMnemonicFaults(QWidget* root) {
    std::vector<std::pair<QWidget*, QList<QAction*>>> menus;
    for (QMenuBar* bar : root->findChildren<QMenuBar*>())
        menus.emplace_back(bar, bar->actions());
    for (QMenu* menu : root->findChildren<QMenu*>())
        menus.emplace_back(menu, menu->actions());
    QStringList faults;
    for (const auto& [widget, entries] : menus) {
        QString letters;
        for (const QAction* a : entries) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QString t = a->text();
            const qsizetype at = t.indexOf(QLatin1Char('&'));
            const QChar m = at >= 0 && at + 1 < t.size() ? t.at(at + 1).toLower() : QChar();
            if (m.isNull() || letters.contains(m))
                faults << widget->window()->windowTitle() + QLatin1String(": ") + t;
            letters += m;
        }
    }
    return faults;
}

// The mnemonic letters that two controls in view of WINDOW share (buttons, boxes, tabs,
// group titles and the captions of labelled fields): a press of Alt and the letter then
// only moves between them. Each as the letter and the two captions. With ALL_TABS every
// page of each tab widget is checked in turn.
inline QStringList mnemonicClashes(QWidget* window, bool allTabs = true) {
    const auto letterOf = [](const QString& t) {
        for (qsizetype at = t.indexOf(QLatin1Char('&')); at >= 0 && at + 1 < t.size();
             at = t.indexOf(QLatin1Char('&'), at + 2)) {
            if (t.at(at + 1) != QLatin1Char('&'))
                return t.at(at + 1).toLower();
        }
        return QChar();
    };
    const auto inView = [](QWidget* w, QWidget* win) {
        return w->window() == win && w->isVisibleTo(win);
    };
    const auto clashesNow = [&] {
        QStringList faults;
        std::vector<std::pair<QChar, QString>> seen;
        const auto note = [&](const QString& text) {
            const QChar m = letterOf(text);
            if (m.isNull())
                return;
            for (const auto& [letter, other] : seen) {
                if (letter == m)
                    faults << QString(m) + QLatin1String(": ") + other + QLatin1String(" / ") +
                                  text;
            }
            seen.emplace_back(m, text);
        };
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (inView(b, window) && !b->inherits("QToolButton"))
                note(b->text());
        }
        for (QLabel* l : window->findChildren<QLabel*>()) {
            if (inView(l, window) && l->buddy())
                note(l->text());
        }
        for (QGroupBox* g : window->findChildren<QGroupBox*>()) {
            if (inView(g, window))
                note(g->title());
        }
        for (QTabBar* bar : window->findChildren<QTabBar*>()) {
            if (!inView(bar, window))
                continue;
            for (int i = 0; i < bar->count(); ++i)
                note(bar->tabText(i));
        }
        return faults;
    };
    QStringList faults = clashesNow();
    if (allTabs) {
        for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
            if (tabs->window() != window)
                continue;
            const int was = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                for (const QString& f : clashesNow()) {
                    if (!faults.contains(f))
                        faults << f;
                }
            }
            tabs->setCurrentIndex(was);
        }
    }
    for (QString& f : faults)
        f = window->windowTitle() + QLatin1String(": ") + f;
    return faults;
}

struct MainFormWindow {
    TempDir tmp;
    ScriptedDialogHost host;
    ScriptedChooser chooser;
    std::unique_ptr<app::TfMainForm> form;

    // Creates and shows the window, which lists images once told to.
    void open(std::vector<std::string> images = {}) {
        app::MainFormSetup s;
        s.settingsFile = tmp.file("quorvane.ini");
        s.images = std::move(images);
        s.dialogHost = &host;
        s.fileChooser = &chooser;
        s.runEventInterval = 0;  // every image's path shows as it is listed
        form = std::make_unique<app::TfMainForm>(s);
        form->show();
    }
};

}  // namespace qv::test
