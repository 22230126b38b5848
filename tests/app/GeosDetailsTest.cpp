// The GEOS catalogue window as a user meets it: the toggle of the main window, the rows
// and icons of a listed GEOS disk, sorting by a header click, the click machine with a
// test clock, the keys, Delete and Clear, "Save List as..." with the filter dialog and
// "Export Selected Items...".
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <set>

#include "AppTestSupport.h"
#include "geos/CatalogueExport.h"
#include "geos/GeosDetailsModel.h"
#include "geos/TfDetailFilter.h"
#include "geos/TfGeosDetails.h"
#include "listing/TfMainForm.h"
#include "platform/QtText.h"
#include "settings/IniFile.h"
#include "support/DiskBuilder.h"
#include "support/GeosDocumentsDisk.h"
#include "support/ScriptedDialogHost.h"

using namespace qv;
using namespace qv::app;
using qv::test::readFile;

namespace {

namespace fs = std::filesystem;

// A click timer the test runs out by hand.
struct TestTimer : ClickTimer {
    bool running = false;
    void start(int) override { running = true; }
    void stop() override { running = false; }
};

test::InfoBlockSpec fileInfo(const std::string& cls, std::uint8_t iconSeed) {
    test::InfoBlockSpec s = test::geosDocInfo(7, 0, cls, iconSeed);
    s.author = "Someone";
    return s;
}

// The main window with its catalogue window, a GEOS disk of three files (the first two
// with the same icon) listed.
struct Fixture : test::MainFormWindow {
    std::string image;

    explicit Fixture(const std::string& settings = "") {
        std::ofstream(tmp.file("quorvane.ini")) << settings;
        test::DiskBuilder d;
        d.format("GEOS DISK", "GD").geosSignature();
        d.addGeosSequential("BETA", fileInfo("Beta Class V1.0", 1), test::Bytes(10, 1),
                            {90, 5, 17, 10, 30});
        d.addGeosSequential("ALPHA", fileInfo("Alpha Class V1.0", 1), test::Bytes(10, 1),
                            {88, 12, 1, 8, 0});
        d.addGeosSequential("GAMMA", fileInfo("Gamma Class V1.0", 9), test::Bytes(10, 1),
                            {95, 1, 31, 23, 59});
        image = tmp.file("geos.d64");
        d.save(image);
        open();
    }
    TfGeosDetails* window() const { return form->geosDetails(); }
    GeosCatalogue& catalogue() const { return form->session().catalogue(); }
    void list(const std::vector<std::string>& paths) {
        QStringList p;
        for (const std::string& s : paths)
            p << QString::fromStdString(s);
        form->dropPaths(p);
    }
    void showWindow() {
        form->geosAction()->trigger();
        QVERIFY(window()->isVisible());
    }
    QStringList column(int c) const {
        QStringList v;
        for (int r = 0; r < window()->model()->rowCount(); ++r)
            v << window()->model()->index(r, c).data().toString();
        return v;
    }
    // The centre of a cell of the report view, in viewport coordinates.
    QPoint cell(int row, int col) const {
        return window()->reportView()->visualRect(window()->model()->index(row, col)).center();
    }
    void clickCell(int row, int col) {
        QTest::mouseClick(window()->reportView()->viewport(), Qt::LeftButton, {}, cell(row, col));
    }
};

}  // namespace

class GeosDetailsTest : public QObject {
    Q_OBJECT
  private slots:
    void toggleFromTheMainWindow();
    void settingsAreReadOnFirstShowAndSavedOnlyAfterThat();
    void rowsAndSharedIconsAfterListing();
    void viewStylesShowTheSameRows();
    void headerClicksSortAndMoveTheArrow();
    void editedDateReportsOnceAndOffsetsIgnoreTheMark();
    void clickMachineOpensOrEdits();
    void keysCopySelectAndAbort();
    void deleteAndClearStatus();
    void saveListWithTheFilterDialog();
    void exportWritesEachKindAndStopsOnEsc();
};

void GeosDetailsTest::toggleFromTheMainWindow() {
    Fixture f;
    QAction* toggle = f.form->geosAction();
    QVERIFY(toggle->isEnabled());
    QVERIFY(toggle->isCheckable());
    QCOMPARE(toggle->toolTip(), QStringLiteral("Show GEOS File Details"));
    QCOMPARE(toggle->text(), QStringLiteral("&GEOS File Details..."));
    QVERIFY(!f.window()->isVisible());
    QCOMPARE(
        f.window()->windowTitle(),
        QStringLiteral("GEOS File Details (DoubleClick on Entry or RightClick for Functions)"));

    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(f.window()->isVisible());
    QVERIFY(f.host.messages.empty());
    toggle->trigger();
    QVERIFY(!toggle->isChecked());
    QVERIFY(!f.window()->isVisible());
    // Closing the window releases the button.
    toggle->trigger();
    f.window()->close();
    QVERIFY(!toggle->isChecked());

    // With "Generate GEOS File Details" off the message comes first; the window opens.
    f.form->session().options().change([](ListerOptions& o) { o.generateGeosFileDetails = false; });
    toggle->trigger();
    QCOMPARE(f.host.messages,
             std::vector<std::string>{"Option 'Generate GEOS Files Details' isn't checked!"});
    QVERIFY(f.window()->isVisible());
}

void GeosDetailsTest::settingsAreReadOnFirstShowAndSavedOnlyAfterThat() {
    {
        // Never shown: nothing of the catalogue is written at shut-down.
        Fixture f("[GeosDetails]\nWidth=600\nHeight=400\n");
        f.form->close();
        const IniFile ini = IniFile::parse(readFile(f.tmp.file("quorvane.ini")));
        QVERIFY(!ini.hasSection("Details"));
    }
    {
        Fixture f("[GeosDetails]\nWidth=600\nHeight=400\nAllowEdit=1\n[Details]\n4=1\n");
        QVERIFY(!f.window()->settingsLoaded());
        f.showWindow();
        QVERIFY(f.window()->settingsLoaded());
        QCOMPARE(f.window()->size(), QSize(600, 400));
        QVERIFY(f.catalogue().settings.allowEdit);
        QVERIFY(f.catalogue().settings.columns[kColApplication]);
        f.window()->resize(650, 420);
        f.form->close();
        const IniFile ini = IniFile::parse(readFile(f.tmp.file("quorvane.ini")));
        QCOMPARE(ini.readInt("GeosDetails", "Width", 0), 650);
        QCOMPARE(ini.readInt("GeosDetails", "Height", 0), 420);
        QCOMPARE(ini.readString("Details", "4", ""), std::string("1"));
        QCOMPARE(ini.readString("GeosDetails", "AllowEdit", ""), std::string("1"));
    }
    {
        // An unreadable settings file: the message, the button released, the window
        // hidden; the next press tries again.
        Fixture f;
        fs::remove(f.tmp.file("quorvane.ini"));
        fs::create_directory(f.tmp.file("quorvane.ini"));
        f.form->geosAction()->trigger();
        QVERIFY(!f.window()->isVisible());
        QVERIFY(!f.form->geosAction()->isChecked());
        QCOMPARE(f.host.messages.back(),
                 std::string("MainForm: Failed to generate GeosDetails...\nTry again or restart "
                             "the Quorvane..."));
        fs::remove(f.tmp.file("quorvane.ini"));
        f.form->geosAction()->trigger();
        QVERIFY(f.window()->isVisible());
    }
}

void GeosDetailsTest::rowsAndSharedIconsAfterListing() {
    Fixture f;
    f.showWindow();
    QCOMPARE(f.window()->statusText(0), QStringLiteral("0 GEOS File(s) listed"));
    f.list({f.image});
    // The rows are there as soon as the run has ended.
    QCOMPARE(f.window()->model()->rowCount(), 3);
    QCOMPARE(f.window()->model()->pendingRows(), 0);
    QCOMPARE(f.window()->statusText(0), QStringLiteral("3 GEOS File(s) listed"));
    QCOMPARE(f.column(kColFileName), (QStringList{"\"BETA\"", "\"ALPHA\"", "\"GAMMA\""}));
    QCOMPARE(f.column(kColDate),
             (QStringList{"17.05.1990 10:30", "01.12.1988 08:00", "31.01.1995 23:59"}));
    QCOMPARE(f.column(kColImage).front(), QString::fromStdString(f.image));
    for (int c = 0; c < kCatalogueColumnCount; ++c) {
        QCOMPARE(f.window()->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString::fromLatin1(catalogueColumns()[static_cast<std::size_t>(c)].caption));
        QCOMPARE(f.window()->reportView()->columnWidth(c),
                 catalogueColumns()[static_cast<std::size_t>(c)].width);
    }
    // The captions start at the left of their sections.
    QHeaderView* header = f.window()->reportView()->horizontalHeader();
    const QImage drawn = header->grab().toImage();
    int firstDark = -1;
    for (int x = header->sectionPosition(kColClass);
         x < header->sectionPosition(kColAuthor) && firstDark < 0; ++x) {
        for (int y = 2; y < drawn.height() - 2; ++y) {
            if (qGray(drawn.pixel(x, y)) < 100) {
                firstDark = x - header->sectionPosition(kColClass);
                break;
            }
        }
    }
    QVERIFY(firstDark > 0 && firstDark < 12);
    // Two files with one icon share it; the icon is 24 x 21, a set bit black.
    QCOMPARE(f.catalogue().rows()[0].iconIndex, f.catalogue().rows()[1].iconIndex);
    QVERIFY(f.catalogue().rows()[2].iconIndex != f.catalogue().rows()[0].iconIndex);
    QCOMPARE(f.catalogue().icons().size(), 2);
    const QIcon icon = f.window()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>();
    const QImage small = icon.pixmap(QSize(24, 21)).toImage();
    QCOMPARE(small.size(), QSize(24, 21));
    const Image1& expected = f.catalogue().icons().at(0);
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 24; ++x) {
            const QRgb want = expected.get(x, y) ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            QCOMPARE(small.pixel(x, y) & 0xFFFFFF, want & 0xFFFFFF);
        }
    }
    // The first icon byte is 37 (0b00100101): pixel 2 is a set GEOS bit.
    QCOMPARE(small.pixel(2, 0) & 0xFFFFFF, 0u);
    QCOMPARE(small.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    QCOMPARE(icon.pixmap(QSize(48, 42)).size(), QSize(48, 42));

    // The rows outlive closing the window and further runs.
    f.window()->close();
    f.list({f.image});
    QCOMPARE(f.window()->model()->rowCount(), 6);
    QCOMPARE(f.window()->statusText(0), QStringLiteral("6 GEOS File(s) listed"));
}

void GeosDetailsTest::viewStylesShowTheSameRows() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    TfGeosDetails* w = f.window();
    QCOMPARE(w->viewStyle(), TfGeosDetails::ViewStyle::Report);
    QVERIFY(w->viewStyleAction(TfGeosDetails::ViewStyle::Report)->isChecked());
    QStringList texts;
    for (QAction* a : w->popupMenu()->actions())
        texts << a->text();
    QVERIFY(texts.contains("vs&Icon") && texts.contains("vs&List") && texts.contains("vs&Report") &&
            texts.contains("vsS&mallIcon"));
    QVERIFY(texts.contains("&Delete Selected Items") && texts.contains("&Clear") &&
            texts.contains("&Save List as...") && texts.contains("&Export Selected Items..."));
    QCOMPARE(w->viewStyleAction(TfGeosDetails::ViewStyle::Icon)->toolTip(),
             QStringLiteral("Switch Viewstyle to Iconview"));

    w->reportView()->selectRow(1);
    w->viewStyleAction(TfGeosDetails::ViewStyle::Icon)->trigger();
    QCOMPARE(w->currentView(), static_cast<QAbstractItemView*>(w->iconView()));
    QVERIFY(!w->viewStyleAction(TfGeosDetails::ViewStyle::Report)->isChecked());
    QCOMPARE(w->iconView()->viewMode(), QListView::IconMode);
    QCOMPARE(w->iconView()->iconSize(), QSize(48, 42));
    QCOMPARE(w->iconView()->model()->rowCount(), 3);
    // One selection for every view.
    QCOMPARE(w->selectedRows(), std::vector<int>{1});
    QCOMPARE(w->statusText(1), QStringLiteral("1 GEOS File(s) selected"));
    w->setViewStyle(TfGeosDetails::ViewStyle::SmallIcon);
    QCOMPARE(w->iconView()->viewMode(), QListView::ListMode);
    QCOMPARE(w->iconView()->iconSize(), QSize(24, 21));
    QCOMPARE(w->iconView()->flow(), QListView::LeftToRight);
    w->setViewStyle(TfGeosDetails::ViewStyle::List);
    QCOMPARE(w->iconView()->flow(), QListView::TopToBottom);
    w->setViewStyle(TfGeosDetails::ViewStyle::Report);
    QCOMPARE(w->currentView(), static_cast<QAbstractItemView*>(w->reportView()));
}

void GeosDetailsTest::headerClicksSortAndMoveTheArrow() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    QHeaderView* header = f.window()->reportView()->horizontalHeader();
    QVERIFY(!header->isSortIndicatorShown());
    const auto clickHeader = [&](int c) {
        const int x = header->sectionViewportPosition(c) + header->sectionSize(c) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    // The selected row moves with its row.
    f.window()->reportView()->selectRow(2);
    clickHeader(kColFileName);
    QCOMPARE(f.column(kColFileName), (QStringList{"\"ALPHA\"", "\"BETA\"", "\"GAMMA\""}));
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), int(kColFileName));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(f.window()->selectedRows(), std::vector<int>{2});
    clickHeader(kColFileName);
    QCOMPARE(f.column(kColFileName), (QStringList{"\"GAMMA\"", "\"BETA\"", "\"ALPHA\""}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(f.window()->selectedRows(), std::vector<int>{0});
    // The sort column's cells are light grey, the others white.
    const QModelIndex sorted = f.window()->model()->index(0, kColFileName);
    QCOMPARE(sorted.data(Qt::BackgroundRole).value<QColor>(), QColor(247, 247, 247));
    QCOMPARE(sorted.siblingAtColumn(kColClass).data(Qt::BackgroundRole).value<QColor>(),
             QColor(Qt::white));
    // Another column: ascending, the arrow moves there.
    clickHeader(kColDate);
    QCOMPARE(header->sortIndicatorSection(), int(kColDate));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QCOMPARE(f.column(kColFileName), (QStringList{"\"ALPHA\"", "\"BETA\"", "\"GAMMA\""}));
    QCOMPARE(f.window()->model()->index(0, kColFileName).data(Qt::BackgroundRole).value<QColor>(),
             QColor(Qt::white));
    QVERIFY(f.host.messages.empty());
}

void GeosDetailsTest::editedDateReportsOnceAndOffsetsIgnoreTheMark() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    f.catalogue().setCellText(1, kColDate, "1.12.1988 8:00");  // 14 characters
    f.window()->sortByColumn(kColDate);
    QCOMPARE(f.host.messages,
             std::vector<std::string>{"GeosDetails: Wrong Format in DateTime String. The Format "
                                      "is 'DD.MM.JJJJ HH:MM'"});
    QCOMPARE(f.window()->model()->rowCount(), 3);
    f.host.messages.clear();
    f.catalogue().setCellText(0, kColOffset, "1235");
    f.catalogue().setCellText(1, kColOffset, "1234 ");
    f.catalogue().setCellText(2, kColOffset, "1236 ");
    f.window()->sortByColumn(kColOffset);
    QCOMPARE(f.column(kColOffset), (QStringList{"1234 ", "1235", "1236 "}));
    QVERIFY(f.host.messages.empty());
}

void GeosDetailsTest::clickMachineOpensOrEdits() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    TfGeosDetails* w = f.window();
    TestTimer timer;
    w->useClickTimer(timer);
    QSignalSpy opened(w, &TfGeosDetails::openEntryRequested);

    // A quick second click opens.
    f.clickCell(1, kColClass);
    QVERIFY(timer.running);
    QCOMPARE(w->statusText(1), QStringLiteral("1 GEOS File(s) selected"));
    f.clickCell(1, kColClass);
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toInt(), 1);
    QVERIFY(!w->cellEditor()->isVisible());

    // A slow second click edits the cell it was pressed on, 500 ms after the release.
    f.clickCell(2, kColDescription);
    w->clicks().timeout();
    f.clickCell(2, kColAuthor);
    QVERIFY(timer.running);
    QVERIFY(!w->cellEditor()->isVisible());
    w->clicks().timeout();
    QVERIFY(w->cellEditor()->isVisible());
    QCOMPARE(w->editedRow(), 2);
    QCOMPARE(w->editedColumn(), int(kColAuthor));
    QCOMPARE(w->cellEditor()->text(), QStringLiteral("Someone"));
    QCOMPARE(w->cellEditor()->maxLength(), 255);
    const QRect cell = w->reportView()->visualRect(w->model()->index(2, kColAuthor));
    QCOMPARE(w->cellEditor()->geometry(), cell.adjusted(1, 0, 0, -1));
    // Esc closes without writing; Enter writes.
    QTest::keyClick(w->cellEditor(), Qt::Key_Escape);
    QVERIFY(!w->cellEditor()->isVisible());
    QCOMPARE(f.catalogue().rows()[2].text(kColAuthor), std::string("Someone"));
    f.clickCell(2, kColAuthor);  // stage 3: edits at once
    QVERIFY(w->cellEditor()->isVisible());
    w->cellEditor()->setText(QStringLiteral("Me"));
    QTest::keyClick(w->cellEditor(), Qt::Key_Return);
    QCOMPARE(f.catalogue().rows()[2].text(kColAuthor), std::string("Me"));
    QCOMPARE(f.window()->model()->index(2, kColAuthor).data().toString(), QStringLiteral("Me"));
    // Scrolling closes the box without writing.
    f.clickCell(2, kColAuthor);
    QVERIFY(w->cellEditor()->isVisible());
    w->cellEditor()->setText(QStringLiteral("lost"));
    w->reportView()->horizontalScrollBar()->setValue(50);
    QVERIFY(!w->cellEditor()->isVisible());
    QCOMPARE(f.catalogue().rows()[2].text(kColAuthor), std::string("Me"));
    w->reportView()->horizontalScrollBar()->setValue(0);

    // "AllowEdit" off: the image column is refused and the row forgotten.
    QVERIFY(!f.catalogue().settings.allowEdit);
    f.clickCell(0, kColImage);
    w->clicks().timeout();
    f.clickCell(0, kColImage);
    w->clicks().timeout();
    QVERIFY(!w->cellEditor()->isVisible());
    QCOMPARE(w->clicks().lastRow(), -1);
    f.catalogue().settings.allowEdit = true;
    f.clickCell(0, kColImage);
    w->clicks().timeout();
    f.clickCell(0, kColImage);
    w->clicks().timeout();
    QVERIFY(w->cellEditor()->isVisible());
    QCOMPARE(w->editedColumn(), int(kColImage));
    QCOMPARE(opened.count(), 1);

    // Enter on a selected row opens it too.
    QTest::keyClick(w->cellEditor(), Qt::Key_Escape);
    w->reportView()->selectRow(2);
    QTest::keyClick(w->reportView(), Qt::Key_Return);
    QCOMPARE(opened.count(), 2);
    QCOMPARE(opened.at(1).at(0).toInt(), 2);
}

void GeosDetailsTest::keysCopySelectAndAbort() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    TfGeosDetails* w = f.window();
    w->reportView()->setFocus();
    QTest::keyClick(w->reportView(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w->selectedRows(), (std::vector<int>{0, 1, 2}));
    QCOMPARE(w->statusText(1), QStringLiteral("3 GEOS File(s) selected"));
    w->reportView()->clearSelection();
    w->reportView()->selectionModel()->select(
        w->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    w->reportView()->selectionModel()->select(
        w->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(w->reportView(), Qt::Key_C, Qt::ControlModifier);
    const auto& rows = f.catalogue().rows();
    const auto line = [&](int r) {
        QStringList cells;
        for (int c = 0; c < kCatalogueColumnCount; ++c)
            cells << QString::fromStdString(rows[static_cast<std::size_t>(r)].text(c));
        return cells.join('\t');
    };
    QCOMPARE(QGuiApplication::clipboard()->text(), line(0) + "\n" + line(2));
    QVERIFY(!w->abortRequested());
    QTest::keyClick(w->reportView(), Qt::Key_Escape);
    QVERIFY(w->abortRequested());
    QVERIFY(w->isVisible());
}

void GeosDetailsTest::deleteAndClearStatus() {
    Fixture f;
    f.showWindow();
    f.list({f.image, f.image});
    TfGeosDetails* w = f.window();
    QCOMPARE(w->statusText(0), QStringLiteral("6 GEOS File(s) listed"));
    w->reportView()->selectRow(1);
    w->reportView()->selectionModel()->select(
        w->model()->index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(w->reportView(), Qt::Key_Delete);
    QCOMPARE(w->statusText(0), QStringLiteral("4 GEOS File(s) listed"));
    QCOMPARE(w->statusText(1), QStringLiteral("0 GEOS File(s) selected"));
    QCOMPARE(f.column(kColFileName),
             (QStringList{"\"BETA\"", "\"GAMMA\"", "\"BETA\"", "\"GAMMA\""}));
    w->sortByColumn(kColClass);
    w->reportView()->selectRow(0);
    w->clearAll();
    QCOMPARE(w->model()->rowCount(), 0);
    QCOMPARE(w->statusText(0), QStringLiteral("0 GEOS File(s) listed"));
    QCOMPARE(w->statusText(1), QStringLiteral("0 GEOS File(s) selected"));
    QVERIFY(!w->reportView()->horizontalHeader()->isSortIndicatorShown());
    QCOMPARE(f.catalogue().sortColumn(), -1);
    QCOMPARE(f.catalogue().entryCounter(), 0);
}

void GeosDetailsTest::saveListWithTheFilterDialog() {
    Fixture f;
    f.showWindow();
    f.list({f.image});
    TfGeosDetails* w = f.window();
    struct Case {
        const char* file;
        int filterIndex;  // as the dialog reports it, from 0
        ListFormat format;
    };
    const Case cases[] = {{"list.html", 0, ListFormat::Html},
                          {"list.csv", 1, ListFormat::Csv},
                          {"list", 2, ListFormat::Rtf},
                          {"list.txt", 3, ListFormat::Text}};
    int round = 0;
    for (const Case& c : cases) {
        const QString path = QString::fromStdString(f.tmp.file(c.file));
        f.chooser.saveAnswers.push_back(FileChooser::SaveChoice{path, c.filterIndex});
        // In the dialog: the Filetype box off, then the Fileoffset box on every
        // second time; OK.
        const bool offset = round++ % 2 == 0;
        QTimer::singleShot(0, w, [w, offset] {
            TfDetailFilter* d = w->filterDialog();
            QVERIFY(d->isVisible());
            QCOMPARE(d->windowTitle(), QStringLiteral("GEOS Detail Filter"));
            d->box(kColFileType)->setChecked(false);
            d->box(kColOffset)->setChecked(offset);
            d->accept();
        });
        w->saveList();
        ColumnFilter expected = defaultColumnFilter();
        expected[kColFileType] = false;
        expected[kColOffset] = offset;
        QCOMPARE(f.catalogue().settings.columns, expected);
        QCOMPARE(readFile(ss(path)), catalogueFile(f.catalogue().rows(), expected, c.format));
    }
    const auto& request = f.chooser.saveRequests.front();
    QCOMPARE(request.caption, QStringLiteral("Save as..."));
    QCOMPARE(request.defaultSuffix, QStringLiteral("html"));
    QCOMPARE(request.filter, std::string(kListSaveFilterWithPng));
    QCOMPARE(request.folder, QString::fromStdString(f.tmp.path()));

    // Cancel keeps the clicked boxes but writes nothing.
    const QString cancelled = QString::fromStdString(f.tmp.file("none.html"));
    f.chooser.saveAnswers.push_back(FileChooser::SaveChoice{cancelled, 0});
    QTimer::singleShot(0, w, [w] {
        w->filterDialog()->box(kColAuthor)->click();
        w->filterDialog()->reject();
    });
    w->saveList();
    QVERIFY(!fs::exists(ss(cancelled)));
    QVERIFY(!f.catalogue().settings.columns[kColAuthor]);

    // The icon strip asks no columns.
    const QString icons = QString::fromStdString(f.tmp.file("icons.png"));
    f.chooser.saveAnswers.push_back(FileChooser::SaveChoice{icons, 5});
    w->saveList();
    QVERIFY(readFile(ss(icons)).rfind("\x89PNG", 0) == 0);
}

void GeosDetailsTest::exportWritesEachKindAndStopsOnEsc() {
    Fixture f;
    f.showWindow();
    test::DiskBuilder d;
    d.format("GEOS DOCS", "GD").geosSignature();
    test::addGeosDocuments(d);
    const std::string docs = f.tmp.file("Docs.d64");
    d.save(docs);
    f.window()->clearAll();
    f.list({docs});
    TfGeosDetails* w = f.window();
    QCOMPARE(w->model()->rowCount(), 7);
    const std::string out = f.tmp.file("out/");
    fs::create_directories(out);

    w->selectAll();
    w->exportSelectedTo(out);
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(out))
        names.insert(e.path().filename().string());
    QCOMPARE(names, (std::set<std::string>{"LETTER.rtf", "PICTURE.bmp", "MYFONT.bmp",
                                           "SCRAP Docs.bmp", "TRIP(Sea).bmp", "TRIP(Sky).bmp",
                                           "OLD (001).bmp", "OLD (002).bmp", "OLD (003).bmp"}));
    QVERIFY(w->selectedRows().empty());  // each row deselected when done
    QCOMPARE(w->statusText(1), QStringLiteral("0 GEOS File(s) selected"));
    QVERIFY(!w->progressBar()->isVisible());
    QVERIFY(!w->exporting());
    QVERIFY(f.host.errors.empty());

    // Again with "Auto Rename": the existing names count on.
    f.host.questionAnswers.push_back({answer::Keep, 0, false, true});
    w->reportView()->selectRow(1);
    w->exportSelectedTo(out);
    QVERIFY(fs::exists(out + "PICTURE_002.bmp"));
    QCOMPARE(f.host.questions.size(), std::size_t{1});
    QCOMPARE(f.host.questions[0].form->caption, std::string("File Name Exists..."));

    // Esc during the export: it ends after the current row; the later rows stay
    // selected.
    fs::remove_all(out);
    fs::create_directories(out);
    w->selectAll();
    QCoreApplication::postEvent(w->reportView(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    w->exportSelectedTo(out);
    QCOMPARE(w->selectedRows(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    QCOMPARE(w->statusText(1), QStringLiteral("6 GEOS File(s) selected"));
    QVERIFY(fs::exists(out + "LETTER.rtf"));
    QVERIFY(!fs::exists(out + "PICTURE.bmp"));
}

QTEST_MAIN(GeosDetailsTest)
#include "GeosDetailsTest.moc"
