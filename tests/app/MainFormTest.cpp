// The main window driven as a user would: command line, drop, List, Clear, Abort,
// questions, Save as and Import, Find, and the settings written at close. The
// dialog seam and the file dialogs are test doubles; the settings file is a
// temporary one.
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <algorithm>
#include <deque>
#include <fstream>
#include <functional>
#include <iterator>

#include "AppTestSupport.h"
#include "geos/TfDetailFilter.h"
#include "listing/ListingExport.h"
#include "listing/ListingFile.h"
#include "listing/TfAbout.h"
#include "listing/TfMainForm.h"
#include "platform/FindDialog.h"
#include "platform/QtDialogHost.h"
#include "platform/RichTextView.h"
#include "platform/TfExtendedOpen.h"
#include "platform/TfSelectFolder.h"
#include "settings/IniFile.h"
#include "settings/TfListerOptions.h"
#include "support/CodePage.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"
#include "viewer/TfFileViewerOptions.h"
#include "viewer/TfStartAddress.h"
#include "viewer/TfTokenTable.h"

using namespace qv;
using namespace qv::app;
using qv::test::DiskBuilder;
using qv::test::makeImage;
using qv::test::readFile;
using qv::test::ScriptedChooser;
using qv::test::ScriptedDialogHost;
using qv::test::TempDir;

namespace {

// One window with its doubles and its own settings file.
struct Fixture : test::MainFormWindow {
    explicit Fixture(std::vector<std::string> images = {}) { open(std::move(images)); }
    std::string windowText() const {
        return utf8ToCp437(form->listingView()->toPlainText().toStdString());
    }
    QPushButton* abortButton() const {
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            if (b->text() == QLatin1String("Abort"))
                return b;
        }
        return nullptr;
    }
};

// The colour of the character at a view position.
QColor colourAt(RichTextView* view, int pos) {
    QTextCursor c(view->document());
    c.setPosition(pos + 1);
    return c.charFormat().foreground().color();
}

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
  private slots:
    void commandLineImagesThenDropAppends();
    void listAgainAndClear();
    void cancelledLoadKeepsTheListing();
    void abortInTheMiddleListsWholeImagesOnly();
    void fiveMoreAbortPressesGiveTheWindowBack();
    void startUpShowsTheAboutBoxOnce();
    void questionsGoThroughTheSeam();
    void saveAsThreeFormatsAndImportBack();
    void findTwiceSelectsSecondFreeBlocksLine();
    void keysRunTheirCommands();
    void everyMenuEntryHasItsOwnMnemonic();
    void settingsWrittenAtCloseAndReadAtStart();
    void firstWindowShowsWholeListingLines();
    void fileDialogsStartAtHomeThenWhereLastUsed();
    void emptyListingIsNotSavedAndTheMenuCopies();
    void manyCommandLineImagesListAsOneRun();
    void closeRefusedDuringRun();
    void aThrottledRunEndsShowingItsLastImage();
    void appendedListingShowsFromItsFirstLine();
    void hintsAreToolTipsAndThePanelsStay();
    void disabledButtonsLookDisabled();
    void everyControlHasANameAndAMnemonicOfItsOwn();
};

void MainFormTest::commandLineImagesThenDropAppends() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "FIRST DISK");
    std::filesystem::create_directories(images.file("sub/deeper"));
    makeImage(images, "sub/b.d64", "SECOND DISK");
    makeImage(images, "sub/deeper/c.d64", "THIRD DISK");

    Fixture f({a, images.file("missing.d64")});
    f.form->listCommandLineImages();
    QCOMPARE(f.form->listing().imagesListed(), 1);
    QCOMPARE(f.form->pathText(), QString::fromStdString(a));
    const std::string text = f.windowText();
    QVERIFY(text.find("0 \"FIRST DISK      \" QV 2A") != std::string::npos);
    QVERIFY(text.find("2    \"PROGRAM\"          PRG") != std::string::npos);
    QVERIFY(text.find("662 BLOCKS FREE.") != std::string::npos);
    // The disk header line is blue, the entry line black.
    RichTextView* view = f.form->listingView();
    const int header = static_cast<int>(view->toPlainText().indexOf(QStringLiteral("0 \"FIRST")));
    const int entry = static_cast<int>(view->toPlainText().indexOf(QStringLiteral("2    \"PROG")));
    QCOMPARE(colourAt(view, header), QColor(Qt::blue));
    QCOMPARE(colourAt(view, header + 25), QColor(Qt::blue));
    QVERIFY(colourAt(view, entry) != QColor(Qt::blue));

    // A folder dropped on the window: its images and those of its subfolders are
    // appended, in path order.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(images.file("sub")))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.form.get(), &drop);
    QCOMPARE(f.form->listing().imagesListed(), 3);
    const std::string all = f.windowText();
    const auto first = all.find("FIRST DISK"), second = all.find("SECOND DISK"),
               third = all.find("THIRD DISK");
    QVERIFY(first < second && second < third && third != std::string::npos);
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("3 Image(s) listed"));
    QCOMPARE(f.form->statusText(StatusPanel::State), QStringLiteral("only Basic Files"));
    QCOMPARE(f.form->listing().saveDir, images.file("sub/"));
    QVERIFY(f.host.errors.empty());
}

void MainFormTest::listAgainAndClear() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "ONLY DISK");
    Fixture f;
    // "List" without a current image only refreshes the counts.
    f.form->list();
    QCOMPARE(f.form->listing().imagesListed(), 0);
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("0 Image(s) listed"));

    f.form->listing().setCurrentImage(a);
    f.form->list();
    f.form->list();
    QCOMPARE(f.form->listing().imagesListed(), 2);
    const std::string text = f.windowText();
    QCOMPARE(text, f.form->listing().text().text());
    QVERIFY(text.find("ONLY DISK") != text.rfind("ONLY DISK"));

    f.form->clearListing();
    QCOMPARE(f.form->listing().imagesListed(), 0);
    QVERIFY(f.form->listingView()->toPlainText().isEmpty());
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("0 Image(s) listed"));

    // A current image that is gone: the error dialog, nothing listed.
    std::filesystem::remove(a);
    f.form->list();
    QCOMPARE(f.host.errors.size(), std::size_t{1});
    QCOMPARE(f.host.errors[0].message, std::string("Failed to open Image..."));
    QCOMPARE(f.form->listing().imagesListed(), 0);
}

void MainFormTest::cancelledLoadKeepsTheListing() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "KEPT DISK");
    const std::string b = makeImage(images, "b.d64", "NEW DISK");
    Fixture f({a});
    f.form->listCommandLineImages();
    const std::string before = f.windowText();
    QVERIFY(before.find("KEPT DISK") != std::string::npos);

    // Cancel: the listing, its counts and the current image stay.
    f.form->load();
    QCOMPARE(f.windowText(), before);
    QCOMPARE(f.form->listing().imagesListed(), 1);
    QCOMPARE(f.form->listing().currentImage(), a);
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("1 Image(s) listed"));

    // OK: the old listing gives way to the chosen images.
    f.chooser.openAnswers.push_back({QString::fromStdString(b)});
    f.form->load();
    const std::string after = f.windowText();
    QVERIFY(after.find("KEPT DISK") == std::string::npos);
    QVERIFY(after.find("NEW DISK") != std::string::npos);
    QCOMPARE(f.form->listing().imagesListed(), 1);
}

void MainFormTest::abortInTheMiddleListsWholeImagesOnly() {
    TempDir images;
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "DISK " + std::to_string(100 + i);
        files << QString::fromStdString(
            makeImage(images, test::numbered("d", 100 + i) + ".d64", name));
    }
    Fixture f;
    f.chooser.openAnswers.push_back(files);
    // "Abort" is clicked while the sixth image is being opened.
    auto* path = f.form->findChild<QLineEdit*>(QStringLiteral("path"));
    bool abortWasEnabled = false;
    QObject::connect(path, &QLineEdit::textChanged, [&](const QString& t) {
        if (t.endsWith(QStringLiteral("d105.d64"))) {
            QAbstractButton* abort = f.abortButton();
            abortWasEnabled = abort->isVisible() && abort->isEnabled();
            QVERIFY(!f.form->commandsEnabled());
            abort->click();
        }
    });
    f.form->load();
    QVERIFY(abortWasEnabled);
    QCOMPARE(f.form->listing().imagesListed(), 6);
    const std::string text = f.windowText();
    QVERIFY(text.find("DISK 105") != std::string::npos);
    QVERIFY(text.find("DISK 106") == std::string::npos);
    // The last image is there to its end.
    const std::string tail = "664 BLOCKS FREE.\r\n\r\n";
    QVERIFY(text.size() > tail.size());
    QVERIFY(text.find("662 BLOCKS FREE.\r\n\r\n", text.size() - 40) != std::string::npos);
    QVERIFY(f.form->commandsEnabled());
    QVERIFY(!f.abortButton()->isVisible());
}

void MainFormTest::fiveMoreAbortPressesGiveTheWindowBack() {
    TempDir images;
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files << QString::fromStdString(makeImage(images, test::numbered("d", i) + ".d64", "D"));
    Fixture f;
    f.chooser.openAnswers.push_back(files);
    // A run that no longer reacts to "Abort": pressed once and five more times while
    // the second image is opened, the window hands its commands back at the fifth.
    auto* path = f.form->findChild<QLineEdit*>(QStringLiteral("path"));
    std::vector<bool> enabledAfterPress;
    QObject::connect(path, &QLineEdit::textChanged, [&](const QString& t) {
        if (!t.endsWith(QStringLiteral("d1.d64")))
            return;
        for (int press = 0; press < 6; ++press) {
            f.form->pressAbort();
            enabledAfterPress.push_back(f.form->commandsEnabled());
        }
    });
    f.form->load();
    QCOMPARE(enabledAfterPress, (std::vector<bool>{false, false, false, false, false, true}));
    QVERIFY(!f.form->listingView()->updatesSuspended());
    QCOMPARE(f.form->listing().imagesListed(), 2);
    QVERIFY(f.form->commandsEnabled());
}

void MainFormTest::startUpShowsTheAboutBoxOnce() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "STARTED");
    Fixture f({a});
    f.form->finishStartUp();
    TfAbout* about = f.form->aboutBox();
    QCOMPARE(about->startUpShows(), 1);
    QVERIFY(!about->isVisible());
    QCOMPARE(about->size(), QSize(306, 267));
    QCOMPARE(f.form->listing().imagesListed(), 1);

    // Below ShowModalVer the box stays hidden during start-up.
    f.form.reset();
    std::optional<IniFile> ini = IniFile::load(f.tmp.file("quorvane.ini"));
    QVERIFY(ini);
    ini->writeInt("WorkArounds", "ShowModalVer", 1000);
    QVERIFY(ini->save(f.tmp.file("quorvane.ini")));
    f.open({a});
    f.form->finishStartUp();
    QCOMPARE(f.form->aboutBox()->startUpShows(), 0);
}

void MainFormTest::questionsGoThroughTheSeam() {
    TempDir images;
    // A file without the .D64 extension asks "Wrong File Extension..."; the answer
    // "*.*" lets it through.
    DiskBuilder d;
    d.format("ODD NAME", "QV");
    d.save(images.file("disk.img"));
    Fixture f;
    f.host.questionAnswers.push_back(QuestionReply{1, 4, false, false});
    f.form->findChild<QCheckBox*>()->setChecked(true);  // "Generate ASCII File"
    f.chooser.openAnswers.push_back({QString::fromStdString(images.file("disk.img"))});
    f.form->load();
    QCOMPARE(f.host.questions.size(), std::size_t{1});
    QCOMPARE(f.host.questions[0].form->caption, std::string("Wrong File Extension..."));
    QCOMPARE(f.form->listing().imagesListed(), 1);
    // The generated file is named after the image and confirmed.
    QCOMPARE(readFile(images.file("disk.txt")), f.form->listing().text().text());
    QCOMPARE(f.host.messages.back(), "Saved to " + images.file("disk.txt"));

    // The same image dropped again: the listing grows, the file exists and the
    // name-exists question is asked; "Append" adds the whole buffer.
    f.host.questionAnswers.push_back(QuestionReply{1, 4, false, false});
    f.host.questionAnswers.push_back(QuestionReply{6, 0, false, false});
    f.form->dropPaths({QString::fromStdString(images.file("disk.img"))});
    QCOMPARE(f.host.questions.size(), std::size_t{3});
    QCOMPARE(f.host.questions[2].form->caption, std::string("File Name Exists..."));
    QCOMPARE(f.host.questions[2].path, images.file("disk.txt"));
    const std::string buffer = f.form->listing().text().text();
    QCOMPARE(readFile(images.file("disk.txt")), buffer.substr(0, buffer.size() / 2) + buffer);
}

void MainFormTest::saveAsThreeFormatsAndImportBack() {
    TempDir images;
    // A file name of C64 graphics characters, shown with code page 437 glyphs.
    DiskBuilder d;
    d.format("SAVED DISK", "QV");
    test::DirEntrySpec e;
    e.first = {1, 0};
    e.name = test::rawName({0x41, 0x60, 0x61, 0x7B, 0x7E, 0xA6});
    d.addEntry(e);
    d.save(images.file("a.d64"));
    Fixture f({images.file("a.d64")});
    f.form->listCommandLineImages();
    const std::string buffer = f.form->listing().text().text();
    QVERIFY(std::any_of(buffer.begin(), buffer.end(),
                        [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));

    const auto save = [&](const std::string& name, int filter) {
        f.chooser.saveAnswers.push_back(
            FileChooser::SaveChoice{QString::fromStdString(images.file(name)), filter});
        f.form->saveAs();
        return readFile(images.file(name));
    };
    QCOMPARE(save("dos.txt", 0), buffer);
    QCOMPARE(save("ansi.txt", 1), cp437ToWindows1252(buffer));
    const std::string rtf = save("list.rtf", 2);
    QVERIFY(rtf.rfind("{\\rtf", 0) == 0);
    QVERIFY(f.host.errors.empty());

    // Import the rich text into a cleared window: the same text, headers blue.
    f.form->clearListing();
    f.chooser.openAnswers.push_back({QString::fromStdString(images.file("list.rtf"))});
    f.form->importListing();
    QVERIFY(f.form->imported());
    QCOMPARE(f.form->statusText(StatusPanel::State), QStringLiteral("Import"));
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("list.rtf"));
    QCOMPARE(f.windowText(), buffer);
    RichTextView* view = f.form->listingView();
    const int header = static_cast<int>(view->toPlainText().indexOf(QStringLiteral("0 \"SAVED")));
    QCOMPARE(colourAt(view, header), QColor(Qt::blue));
    // The imported window saved as DOS text is the window's text.
    QCOMPARE(save("again.txt", 0), view->plainCp437());
    // The import folder is remembered.
    const std::optional<IniFile> ini = IniFile::load(f.tmp.file("quorvane.ini"));
    QCOMPARE(ini->readString("Names", "Lastimport Main", ""), images.path());
}

void MainFormTest::findTwiceSelectsSecondFreeBlocksLine() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "ONE");
    const std::string b = makeImage(images, "b.d64", "TWO");
    Fixture f({a, b});
    f.form->listCommandLineImages();
    f.form->findText();
    FindDialog* find = f.form->findDialog();
    QVERIFY(find && find->isVisible());
    find->setText(QStringLiteral("BLOCKS"));
    emit find->findNext();
    emit find->findNext();
    RichTextView* view = f.form->listingView();
    const QString all = view->toPlainText();
    const qsizetype second = all.indexOf(QStringLiteral("BLOCKS FREE."),
                                         all.indexOf(QStringLiteral("BLOCKS FREE.")) + 1);
    QVERIFY(second > 0);
    QCOMPARE(view->textCursor().selectionStart(), static_cast<int>(second));
    QCOMPARE(view->textCursor().selectedText(), QStringLiteral("BLOCKS"));
    QVERIFY(f.host.messages.empty());
    // A third search finds nothing more.
    emit find->findNext();
    QCOMPARE(f.host.messages.size(), std::size_t{1});
    QCOMPARE(f.host.messages[0], std::string("Text not found!"));
    // Match case: "blocks" is not there.
    view->moveCursor(QTextCursor::Start);
    find->setText(QStringLiteral("blocks"));
    find->setMatchCase(true);
    emit find->findNext();
    QCOMPARE(f.host.messages.size(), std::size_t{2});
}

void MainFormTest::keysRunTheirCommands() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "KEYED DISK");
    // The keys a Linux desktop user presses first, and what each must have done.
    struct Case {
        const char* command;
        QKeySequence keys;
        std::function<bool(Fixture&)> done;
    };
    const std::vector<Case> cases = {
        {"Load...", QKeySequence(Qt::CTRL | Qt::Key_O),
         [](Fixture& f) {
             return f.chooser.openCaptions == QStringList{QStringLiteral("Open...")};
         }},
        {"Save as...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         [](Fixture& f) {
             return f.chooser.saveRequests.size() == 1 &&
                    f.chooser.saveRequests[0].caption == QLatin1String("Save as...");
         }},
        {"Find Text...", QKeySequence(Qt::CTRL | Qt::Key_F),
         [](Fixture& f) { return f.form->findDialog() && f.form->findDialog()->isVisible(); }},
        // Nothing searched yet: the next match starts with the find dialog.
        {"Find Next", QKeySequence(Qt::Key_F3),
         [](Fixture& f) { return f.form->findDialog() && f.form->findDialog()->isVisible(); }},
        {"List", QKeySequence(Qt::Key_F5),
         [](Fixture& f) { return f.form->listing().imagesListed() == 2; }},
        {"Exit", QKeySequence(Qt::CTRL | Qt::Key_Q),
         [](Fixture& f) { return !f.form->isVisible(); }},
    };
    for (const Case& c : cases) {
        Fixture f({a});
        f.form->listCommandLineImages();
        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keySequence(f.form.get(), c.keys);
        QVERIFY2(c.done(f), c.command);
    }

    // With a text searched for, the next match is selected.
    Fixture f({a});
    f.form->listCommandLineImages();
    f.form->findText();
    f.form->findDialog()->setText(QStringLiteral("BLOCKS"));
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QTest::keySequence(f.form.get(), QKeySequence(Qt::Key_F3));
    QCOMPARE(f.form->listingView()->textCursor().selectedText(), QStringLiteral("BLOCKS"));
}

void MainFormTest::everyMenuEntryHasItsOwnMnemonic() {
    Fixture f;
    QMenuBar* bar = f.form->menuBar();
    // Each menu's entries, the menu bar's own among them, have letters of their own; so
    // have those of the windows the commands open.
    f.form->toggleBam(true);
    f.form->toggleGeosDetails(true);
    f.form->showCollection();
    QCOMPARE(test::menuMnemonicFaults(f.form.get()), QStringList());
    // Alt+F opens the File menu.
    f.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QMenu* file = bar->actions().front()->menu();
    QTest::keyClick(f.form.get(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    file->close();
}

void MainFormTest::settingsWrittenAtCloseAndReadAtStart() {
    Fixture f;
    f.form->resize(500, 600);
    f.form->findChild<QCheckBox*>()->setChecked(true);
    for (QRadioButton* r : f.form->findChildren<QRadioButton*>()) {
        if (r->text() == QLatin1String("Upper/Lower"))
            r->setChecked(true);
    }
    QVERIFY(f.form->close());
    const std::optional<IniFile> ini = IniFile::load(f.tmp.file("quorvane.ini"));
    QVERIFY(ini);
    QCOMPARE(ini->readInt("MainForm", "Width", 0), 500);
    QCOMPARE(ini->readInt("MainForm", "Height", 0), 600);
    QCOMPARE(ini->readBool("ASCII", "generate", false), true);
    QCOMPARE(ini->readBool("ASCII", "Upper/Lower", false), true);

    f.open();
    QCOMPARE(f.form->size(), QSize(500, 600));
    QVERIFY(f.form->findChild<QCheckBox*>()->isChecked());
    QCOMPARE(f.form->listing().mode, CharMode::UpperLower);
}

void MainFormTest::firstWindowShowsWholeListingLines() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "WIDE DISK");
    const QString line(80, QLatin1Char('M'));
    Fixture f;
    QVERIFY(!IniFile::load(f.tmp.file("quorvane.ini")) ||
            !IniFile::load(f.tmp.file("quorvane.ini"))->hasKey("MainForm", "Width"));
    RichTextView* view = f.form->listingView();
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << line;
    view->setPlainText(lines.join(QLatin1Char('\n')));
    QApplication::processEvents();
    // 80 columns fit beside the vertical scroll bar, with little to spare.
    QVERIFY(view->verticalScrollBar()->isVisible());
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
    const QFontMetrics metrics(f.form->listingFont());
    QVERIFY(f.form->width() < metrics.horizontalAdvance(QString(90, QLatin1Char('M'))));

    // A narrow stored width is kept, also while a run shows "Abort" and the status
    // texts.
    f.form->resize(358, 500);
    QVERIFY(f.form->close());
    f.open();
    QCOMPARE(f.form->width(), 358);
    f.form->dropPaths({QString::fromStdString(a), QString::fromStdString(a)});
    QApplication::processEvents();
    QVERIFY(!f.form->statusText(StatusPanel::Counts).isEmpty());
    QCOMPARE(f.form->width(), 358);
}

void MainFormTest::fileDialogsStartAtHomeThenWhereLastUsed() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "LOADED");
    Fixture f;
    f.chooser.openAnswers.push_back({QString::fromStdString(a)});
    f.form->load();
    f.form->load();
    f.form->importListing();
    f.chooser.saveAnswers.push_back(
        FileChooser::SaveChoice{QString::fromStdString(images.file("list.rtf")), 2});
    f.form->saveAs();
    f.chooser.openAnswers.push_back({QString::fromStdString(images.file("list.rtf"))});
    f.form->importListing();
    f.form->importListing();
    const QString home = QDir::homePath(), folder = QString::fromStdString(images.path());
    QCOMPARE(f.chooser.openFolders, (QStringList{home, folder, home, home, folder}));
    // The next start begins where the last one left off.
    QVERIFY(f.form->close());
    f.open();
    f.form->load();
    f.form->importListing();
    QCOMPARE(f.chooser.openFolders.mid(5), (QStringList{folder, folder}));
}

void MainFormTest::emptyListingIsNotSavedAndTheMenuCopies() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "COPIED DISK");
    const std::string out = images.file("out.txt");
    Fixture f;
    // Nothing listed yet, then listed and cleared: a message, no dialog, no file.
    for (bool listFirst : {false, true}) {
        if (listFirst) {
            f.form->dropPaths({QString::fromStdString(a)});
            f.form->clearListing();
        }
        f.host.messages.clear();
        f.chooser.saveAnswers.push_back(FileChooser::SaveChoice{QString::fromStdString(out), 0});
        f.form->saveAs();
        QVERIFY(f.chooser.saveRequests.empty());
        QCOMPARE(f.host.messages, std::vector<std::string>{kNothingToSave});
        QVERIFY(!std::filesystem::exists(out));
        f.chooser.saveAnswers.clear();
    }

    // The listing's menu: Copy only with a selection; Select All, then Copy puts the
    // whole listing on the clipboard.
    f.form->dropPaths({QString::fromStdString(a)});
    const auto entry = [](QMenu* menu, const char* text) {
        for (QAction* x : menu->actions()) {
            if (x->text() == QLatin1String(text))
                return x;
        }
        return static_cast<QAction*>(nullptr);
    };
    std::unique_ptr<QMenu> menu(f.form->listingMenu());
    QAction* copy = entry(menu.get(), "&Copy");
    QAction* all = entry(menu.get(), "Select &All");
    QVERIFY(copy && all && entry(menu.get(), "&Find Text..."));
    QCOMPARE(copy->shortcut(), QKeySequence(QKeySequence::Copy));
    QCOMPARE(all->shortcut(), QKeySequence(QKeySequence::SelectAll));
    QVERIFY(!copy->isEnabled());
    all->trigger();
    menu.reset(f.form->listingMenu());
    copy = entry(menu.get(), "&Copy");
    QVERIFY(copy->isEnabled());
    QApplication::clipboard()->clear();
    copy->trigger();
    const QString text = QApplication::clipboard()->text();
    QVERIFY(text.contains(QStringLiteral("COPIED DISK")));
    QCOMPARE(text, f.form->listingView()->toPlainText());
}

void MainFormTest::manyCommandLineImagesListAsOneRun() {
    TempDir images;
    const std::vector<std::string> paths = test::writeSparseImages(
        images.path(), 500, 4, [](int file, int) { return "FILE " + std::to_string(file); });
    Fixture f(paths);
    // One run over all of them: its progress counts 500, and "Abort" pressed while
    // the 101st image is listed stops the run after that image.
    auto* progress = f.form->findChild<QProgressBar*>();
    auto* path = f.form->findChild<QLineEdit*>(QStringLiteral("path"));
    int progressMax = 0;
    QObject::connect(path, &QLineEdit::textChanged, [&](const QString& t) {
        if (t.endsWith(QStringLiteral("img00100.d64"))) {
            progressMax = progress->maximum();
            QVERIFY(!f.form->commandsEnabled());
            f.abortButton()->click();
        }
    });
    f.form->listCommandLineImages();
    QCOMPARE(progressMax, 500);
    QCOMPARE(f.form->listing().imagesListed(), 101);
    QCOMPARE(f.form->listing().currentImage(), paths[100]);
    const std::string text = f.windowText();
    QVERIFY(text.find("\"DISK 100") != std::string::npos);
    QVERIFY(text.find("\"DISK 101") == std::string::npos);
    QVERIFY(f.form->commandsEnabled());
    QCOMPARE(f.form->statusText(StatusPanel::Counts), QStringLiteral("101 Image(s) listed"));
}

// With the window's own interval the path field skips images during a run, but never
// the last one, and the bar is back at rest afterwards.
void MainFormTest::aThrottledRunEndsShowingItsLastImage() {
    TempDir images;
    const std::vector<std::string> paths = test::writeSparseImages(
        images.path(), 300, 2, [](int file, int) { return "FILE " + std::to_string(file); });
    ScriptedDialogHost host;
    MainFormSetup setup;
    setup.settingsFile = images.file("quorvane.ini");
    setup.images = paths;
    setup.dialogHost = &host;
    TfMainForm form(setup);
    form.show();
    auto* path = form.findChild<QLineEdit*>(QStringLiteral("path"));
    auto* progress = form.findChild<QProgressBar*>();
    int pathsShown = 0;
    QObject::connect(path, &QLineEdit::textChanged, [&] { ++pathsShown; });
    form.listCommandLineImages();
    QCOMPARE(form.listing().imagesListed(), 300);
    QCOMPARE(path->text(), QString::fromStdString(paths.back()));
    QVERIFY(pathsShown >= 1 && pathsShown < 300);
    QCOMPARE(progress->value(), 0);
}

void MainFormTest::closeRefusedDuringRun() {
    TempDir images;
    QStringList files;
    for (int i = 0; i < 3; ++i)
        files << QString::fromStdString(makeImage(images, test::numbered("c", i) + ".d64", "DISK"));
    Fixture f;
    f.chooser.openAnswers.push_back(files);
    bool closedDuringRun = true;
    auto* path = f.form->findChild<QLineEdit*>(QStringLiteral("path"));
    QObject::connect(path, &QLineEdit::textChanged, [&](const QString& t) {
        if (t.endsWith(QStringLiteral("c1.d64")))
            closedDuringRun = f.form->close();
    });
    f.form->load();
    QVERIFY(!closedDuringRun);
    QVERIFY(f.form->isVisible());
    QCOMPARE(f.form->listing().imagesListed(), 3);
    QVERIFY(f.form->close());
}

void MainFormTest::appendedListingShowsFromItsFirstLine() {
    TempDir images;
    QStringList files;
    for (int i = 0; i < 40; ++i)
        files << QString::fromStdString(
            makeImage(images, test::numbered("d", i) + ".d64", "DISK " + std::to_string(i)));
    const std::string again = makeImage(images, "again.d64", "LISTED AGAIN");
    Fixture f;
    f.form->resize(f.form->width(), 400);
    RichTextView* view = f.form->listingView();
    QScrollBar* bar = view->verticalScrollBar();
    // A listing from its start shows its top.
    f.chooser.openAnswers.push_back(files);
    f.form->load();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), 0);

    // "List" appends at the end: the view shows the appended part from its first line,
    // at the top of the view where the text below reaches far enough, else as far up
    // as the view scrolls.
    const auto showsFrom = [&](std::size_t from) {
        QTextCursor c(view->document());
        c.setPosition(static_cast<int>(view->viewPosition(from)));
        const QRect line = view->cursorRect(c);
        const bool visible = line.top() >= 0 && line.bottom() < view->viewport()->height();
        const bool onTop = line.top() < line.height() || bar->value() == bar->maximum();
        return visible && onTop && view->textCursor().position() == c.position();
    };
    f.form->listing().setCurrentImage(again);
    std::size_t from = f.form->listing().text().size();
    f.form->list();
    QVERIFY(bar->value() > 0);
    QVERIFY(showsFrom(from));

    // So does a drop, which appends as well; a drop of many images shows the first
    // of them at the top.
    bar->setValue(0);
    from = f.form->listing().text().size();
    f.form->dropPaths(files);
    QVERIFY(bar->value() > 0);
    QVERIFY(bar->value() < bar->maximum());
    QVERIFY(showsFrom(from));
}

void MainFormTest::hintsAreToolTipsAndThePanelsStay() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "HINTED DISK");
    Fixture f({a});
    f.form->listCommandLineImages();
    const QString state = f.form->statusText(StatusPanel::State);
    const QString counts = f.form->statusText(StatusPanel::Counts);
    QCOMPARE(counts, QStringLiteral("1 Image(s) listed"));
    auto* toolBar = f.form->findChild<QToolBar*>(QStringLiteral("toolbar"));
    QVERIFY(toolBar);
    auto* load = f.form->findChild<QAction*>(QStringLiteral("actionLoad"));
    QWidget* button = toolBar->widgetForAction(load);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), QStringLiteral("Load Images with Normal OpenDialog"));

    // Resting on the button (and on a menu item, which asks the same way) leaves the
    // status bar's panels as they are.
    QStatusTipEvent tip(load->toolTip());
    QApplication::sendEvent(button, &tip);
    load->hover();
    QVERIFY(f.form->statusBar()->currentMessage().isEmpty());
    QCOMPARE(f.form->statusText(StatusPanel::State), state);
    QCOMPARE(f.form->statusText(StatusPanel::Counts), counts);
    for (QLabel* panel : f.form->statusBar()->findChildren<QLabel*>())
        QVERIFY(panel->isVisibleTo(f.form.get()));
}

void MainFormTest::disabledButtonsLookDisabled() {
    Fixture f;
    auto* toolBar = f.form->findChild<QToolBar*>(QStringLiteral("toolbar"));
    // How far a picture strays from grey: the largest difference between the channels
    // of a pixel.
    const auto colourfulness = [](QWidget* w) {
        const QImage shot = w->grab().toImage();
        int most = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb p = shot.pixel(x, y);
                most = std::max({most, std::abs(qRed(p) - qGreen(p)),
                                 std::abs(qGreen(p) - qBlue(p)), std::abs(qRed(p) - qBlue(p))});
            }
        }
        return most;
    };
    auto* load = f.form->findChild<QAction*>(QStringLiteral("actionLoad"));
    QWidget* loadButton = toolBar->widgetForAction(load);
    QVERIFY(loadButton->isEnabled());
    const int live = colourfulness(loadButton);
    // Load's button shows a grey icon while a run has the commands off.
    load->setEnabled(false);
    QVERIFY(colourfulness(loadButton) <= 2);
    QVERIFY(live > 2 * colourfulness(loadButton) + 20);
    QVERIFY(test::faintWhenDisabled(load->icon()));
}

void MainFormTest::everyControlHasANameAndAMnemonicOfItsOwn() {
    // The main window and the windows its commands open, as a screen reader and the
    // keyboard meet them.
    TempDir images;
    Fixture f({makeImage(images, "a.d64", "NAMED DISK")});
    f.form->listCommandLineImages();
    f.form->toggleScreen(true);
    f.form->toggleBam(true);
    f.form->toggleGeosDetails(true);
    f.form->showCollection();
    f.form->findText();
    // The dialogs, shown without waiting for an answer.
    auto* options = new TfListerOptions(f.form->session(), *f.form->selectFolderDialog(), f.chooser,
                                        f.form.get());
    auto* extended = new TfExtendedOpen(f.form.get());
    f.form->session().loadFullTokenTable(f.tmp.path());
    auto* viewerOptions = new TfFileViewerOptions(f.form->session(), f.chooser, f.tmp.path(),
                                                  f.tmp.path(), f.form.get());
    auto* tokens =
        new TfTokenTable(f.form->session(), f.chooser, f.tmp.path(), f.tmp.path(), f.form.get());
    const std::vector<QWidget*> dialogs = {
        options, extended, viewerOptions, tokens, f.form->aboutBox(), f.form->selectFolderDialog()};
    for (QWidget* w : dialogs)
        w->show();
    QCoreApplication::processEvents();
    QCOMPARE(test::unnamedControls(f.form.get()), QStringList());
    // Nor do two controls of one window share a mnemonic.
    QStringList clashes = test::mnemonicClashes(f.form.get());
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w != f.form.get())
            clashes += test::mnemonicClashes(w);
    }
    QCOMPARE(clashes, QStringList());
}

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
