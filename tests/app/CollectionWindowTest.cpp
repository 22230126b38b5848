// The collection window driven as a user would: an index chosen or refused, an update
// on the worker thread with its progress and Abort, the search with Enter and a double
// click that asks for the image, the duplicates, and the main window listing the image
// it is asked for. The dialogs and file dialogs are test doubles; the settings file is
// a temporary one.
#include <sqlite3.h>
#include <QAction>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <filesystem>
#include <functional>

#include "AppTestSupport.h"
#include "collection/CollectionIndex.h"
#include "collection/CollectionTableModel.h"
#include "collection/CollectionUpdater.h"
#include "collection/TfCollection.h"
#include "platform/RichTextView.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "support/SparseImages.h"

using namespace qv;
using namespace qv::app;
using qv::test::DiskBuilder;

namespace {

DiskBuilder gameDisk(const std::string& name, std::uint8_t seed) {
    DiskBuilder d;
    d.format(name, "G1");
    d.addFile("ELITE", 0x82, test::filler(1000, 3));
    d.addFile("LOADER", 0x82, test::filler(100, seed));
    return d;
}

std::int64_t queryInt(const std::string& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr);
    const std::int64_t v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_finalize(s);
    sqlite3_close(h);
    return v;
}

// A collection window on its own session, settings file and folder of images.
struct Window {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    test::ScriptedChooser chooser;
    std::string settings = tmp.file("quorvane.ini");
    Session session{host, settings};
    std::string root = tmp.file("disks");
    std::string db = tmp.file("games.qvi");
    std::unique_ptr<TfCollection> win;

    Window() {
        std::filesystem::create_directories(root + "/sub");
        gameDisk("GAMES", 7).save(root + "/a.d64");
        gameDisk("GAMES", 7).save(root + "/sub/copy of a.d64");
        gameDisk("OTHER", 8).save(root + "/c.d64");
        reopen();
    }
    void reopen() {
        win = std::make_unique<TfCollection>(session, chooser);
        win->show();
    }
    // Runs Update and waits for its end.
    void update() {
        QSignalSpy done(&win->updater(), &CollectionUpdater::finished);
        win->update();
        QVERIFY(win->updating());
        QVERIFY(done.wait(60000));
    }
};

}  // namespace

class CollectionWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void updatesSearchesAndOpensWhatItFinds();
    void findsDuplicates();
    void anAbortedUpdateLeavesAConsistentIndex();
    void refusesFilesThatAreNoIndexOfItsOwn();
    void theMainWindowListsTheImageItIsAskedFor();
};

void CollectionWindowTest::updatesSearchesAndOpensWhatItFinds() {
    Window w;
    QCOMPARE(w.win->windowTitle(), QStringLiteral("Collection"));
    // A new index, created where the user says, and a folder to read.
    w.chooser.saveAnswers.push_back(
        test::ScriptedChooser::SaveChoice{QString::fromStdString(w.db), 0});
    w.win->newIndex();
    QCOMPARE(w.win->database(), QString::fromStdString(w.db));
    QVERIFY(std::filesystem::exists(w.db));
    w.chooser.folderAnswers.push_back(QString::fromStdString(w.root));
    w.win->addFolder();
    QCOMPARE(w.win->folders(), QStringList{QString::fromStdString(w.root)});
    w.update();
    QVERIFY2(w.host.messages.empty(),
             w.host.messages.empty() ? "" : w.host.messages.front().c_str());
    QVERIFY2(w.win->statusText().startsWith("3 images: 3 read (3 new)"),
             qPrintable(w.win->statusText()));
    QCOMPARE(queryInt(w.db, "SELECT count(*) FROM entries"), 6);

    // The choice is kept in the settings file and read by the next window.
    const auto ini = IniFile::load(w.settings);
    QVERIFY(ini);
    QCOMPARE(ini->readString("Collection", "Database", ""), w.db);
    QCOMPARE(ini->readString("Collection", "Folder1", ""), w.root);
    w.reopen();
    QCOMPARE(w.win->database(), QString::fromStdString(w.db));
    QCOMPARE(w.win->folders(), QStringList{QString::fromStdString(w.root)});

    // Enter in the pattern field searches, and the window stays.
    w.win->tabs()->setCurrentIndex(1);
    QTest::keyClicks(w.win->patternField(), "*LIT?");
    QTest::keyClick(w.win->patternField(), Qt::Key_Return);
    QVERIFY(w.win->isVisible());
    CollectionTableModel* hits = w.win->hits();
    QCOMPARE(hits->rowCount(), 3);
    QCOMPARE(hits->path(0), QString::fromStdString(w.root + "/a.d64"));
    QCOMPARE(hits->data(hits->index(0, 1), Qt::DisplayRole).toString(),
             QStringLiteral("4    \"ELITE\"            PRG"));

    // A double click on a row asks for its image.
    QSignalSpy open(w.win.get(), &TfCollection::openImageRequested);
    QTableView* view = w.win->hitsView();
    const QRect cell = view->visualRect(hits->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(open.count(), 1);
    QCOMPARE(open.front().front().toString(), hits->path(1));
    // So does Enter on the selected row.
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(open.count(), 2);

    // Updating again reads nothing.
    w.update();
    QVERIFY2(w.win->statusText().startsWith("3 images: 0 read (0 new), 3 unchanged"),
             qPrintable(w.win->statusText()));
}

void CollectionWindowTest::findsDuplicates() {
    Window w;
    QVERIFY(w.win->useIndex(QString::fromStdString(w.db), true));
    w.win->addFolderPath(QString::fromStdString(w.root));
    w.update();
    w.win->tabs()->setCurrentIndex(2);
    w.win->minimumBlocks()->setValue(1);
    w.win->findDuplicates();
    // The two copies of one disk, then ELITE (three images) and LOADER (two).
    CollectionTableModel* images = w.win->identicalImages();
    QCOMPARE(images->rowCount(), 2);
    QCOMPARE(images->path(0), QString::fromStdString(w.root + "/a.d64"));
    QCOMPARE(images->path(1), QString::fromStdString(w.root + "/sub/copy of a.d64"));
    CollectionTableModel* files = w.win->sharedFiles();
    QCOMPARE(files->rowCount(), 5);
    QCOMPARE(files->data(files->index(0, 1), Qt::DisplayRole).toString(), QStringLiteral("1000"));
    QCOMPARE(files->data(files->index(3, 1), Qt::DisplayRole).toString(), QStringLiteral("100"));
    // A minimum above LOADER's blocks leaves ELITE alone.
    w.win->minimumBlocks()->setValue(3);
    w.win->findDuplicates();
    QCOMPARE(files->rowCount(), 3);
    QSignalSpy open(w.win.get(), &TfCollection::openImageRequested);
    QTableView* view = w.win->filesView();
    QCoreApplication::processEvents();  // the page shown just now gets its layout
    view->scrollTo(files->index(2, 4));
    const QPoint at = view->visualRect(files->index(2, 4)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);  // a double click's first
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(open.count(), 1);
    QCOMPARE(open.front().front().toString(), files->path(2));
}

void CollectionWindowTest::anAbortedUpdateLeavesAConsistentIndex() {
    Window w;
    const int count = 2000;
    const std::string many = w.tmp.file("many/");
    std::filesystem::create_directories(many);
    test::writeSparseImages(many, count, 30, [](int f, int i) {
        return test::numbered("F", f) + test::numbered(" ", i);
    });
    QVERIFY(w.win->useIndex(QString::fromStdString(w.db), true));
    w.win->addFolderPath(QString::fromStdString(many));
    w.win->updater().setBatchSize(20);
    w.win->updater().setJobs(1);
    QSignalSpy progress(&w.win->updater(), &CollectionUpdater::progressed);
    QSignalSpy done(&w.win->updater(), &CollectionUpdater::finished);
    // Abort at the first report of progress: one batch is in the index by then.
    connect(
        &w.win->updater(), &CollectionUpdater::progressed, w.win.get(),
        [&w] { w.win->abortUpdate(); }, Qt::SingleShotConnection);
    w.win->update();
    QVERIFY(done.wait(60000));
    const auto counts = done.front().front().value<UpdateCounts>();
    QVERIFY(counts.aborted);
    QVERIFY(w.win->statusText().contains("interrupted"));
    QVERIFY(!w.win->updating());
    QVERIFY(w.win->isVisible());
    // Progress came once per batch, never per image.
    QVERIFY(progress.count() <= counts.read / 20 + 1);

    const std::int64_t kept = queryInt(w.db, "SELECT count(*) FROM images");
    QVERIFY(kept >= 20 && kept < count);
    QCOMPARE(queryInt(w.db,
                      "SELECT count(*) FROM pragma_integrity_check WHERE"
                      " integrity_check <> 'ok'"),
             0);
    QCOMPARE(queryInt(w.db,
                      "SELECT count(*) FROM images i WHERE entry_count <>"
                      " (SELECT count(*) FROM entries e WHERE e.image_id = i.id)"),
             0);
    // The next update completes the index.
    done.clear();
    w.win->update();
    QVERIFY(done.wait(120000));
    QCOMPARE(queryInt(w.db, "SELECT count(*) FROM images"), count);
    QVERIFY2(w.win->statusText().contains(QStringLiteral("%1 unchanged").arg(kept)),
             qPrintable(w.win->statusText()));
}

void CollectionWindowTest::refusesFilesThatAreNoIndexOfItsOwn() {
    Window w;
    QVERIFY(w.win->useIndex(QString::fromStdString(w.db), true));
    const auto exec = [](const std::string& file, const char* sql) {
        sqlite3* h = nullptr;
        sqlite3_open(file.c_str(), &h);
        sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
        sqlite3_close(h);
    };
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* message;
    };
    const Case cases[] = {
        {"a text file", [](const std::string& f) { test::writeFile(f, std::string(3000, 'x')); },
         "not a collection index (not an SQLite database)"},
        {"another program's database",
         [&](const std::string& f) { exec(f, "CREATE TABLE t(x); INSERT INTO t VALUES(1)"); },
         "not a collection index (an SQLite database of another program)"},
        {"another schema version",
         [&](const std::string& f) {
             std::string e;
             CollectionIndex::open(f, CollectionIndex::Access::Update, e);
             exec(f, "PRAGMA user_version = 7");
         },
         "the index has schema version 7"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string file = w.tmp.file("other" + std::to_string(++n) + ".qvi");
        c.make(file);
        const std::string before = test::readFile(file);
        for (const bool viaNew : {false, true}) {
            w.host.messages.clear();
            if (viaNew) {
                w.chooser.saveAnswers.push_back(
                    test::ScriptedChooser::SaveChoice{QString::fromStdString(file), 0});
                w.win->newIndex();
            } else {
                w.chooser.openAnswers.push_back({QString::fromStdString(file)});
                w.win->openIndex();
            }
            QVERIFY2(w.host.messages.size() == 1, c.what);
            QVERIFY2(w.host.messages[0].find(c.message) != std::string::npos,
                     w.host.messages[0].c_str());
            // The choice stays the index it was, and the file is untouched.
            QCOMPARE(w.win->database(), QString::fromStdString(w.db));
            QCOMPARE(test::readFile(file), before);
        }
    }
    const auto ini = IniFile::load(w.settings);
    QCOMPARE(ini->readString("Collection", "Database", ""), w.db);
}

void CollectionWindowTest::theMainWindowListsTheImageItIsAskedFor() {
    test::MainFormWindow m;
    m.open();
    const std::string image = test::makeImage(m.tmp, "pick.d64", "PICKED DISK");
    QAction* action = m.form->findChild<QAction*>(QStringLiteral("actionCollection"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("C&ollection..."));
    action->trigger();
    TfCollection* win = m.form->collectionWindow();
    QVERIFY(win && win->isVisible());
    emit win->openImageRequested(QString::fromStdString(image));
    QCOMPARE(m.form->listing().currentImage(), image);
    QVERIFY(m.form->listingView()->toPlainText().contains("PICKED DISK"));
    // The window stays as it was for the next row.
    QVERIFY(win->isVisible());
    action->trigger();
    QCOMPARE(m.form->collectionWindow(), win);
}

QTEST_MAIN(CollectionWindowTest)
#include "CollectionWindowTest.moc"
