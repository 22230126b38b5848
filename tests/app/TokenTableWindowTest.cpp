// The "TokenTable" window over a session's token table: the grid and its clipboard
// keys, the colour legend, OK with a failed check (the red cell) and with a table
// that passes, Cancel with and without the question, and the custom-table choice.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <filesystem>

#include "AppTestSupport.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "support/ScriptedDialogHost.h"
#include "viewer/TfFileViewerOptions.h"
#include "viewer/TfTokenTable.h"
#include "viewer/TokenGridView.h"
#include "viewer/TokenTableModel.h"

using namespace qv;
using namespace qv::app;
using qv::test::TempDir;

namespace {

struct Fixture {
    TempDir tmp;
    test::ScriptedDialogHost host;
    Session session{host, tmp.file("quorvane.ini")};
    test::ScriptedChooser chooser;

    Fixture() { session.loadFullTokenTable(tmp.path()); }
    std::unique_ptr<TfTokenTable> open() {
        auto w = std::make_unique<TfTokenTable>(session, chooser, tmp.path(), tmp.path());
        w->show();
        return w;
    }
    IniFile stored() { return session.settings().readOrEmpty(); }
};

QModelIndex cellIndex(TfTokenTable& w, int col, int row) {
    return static_cast<TokenTableModel*>(w.grid()->model())->modelIndex({col, row});
}

void select(TfTokenTable& w, int left, int top, int right, int bottom) {
    w.grid()->setCurrentIndex(cellIndex(w, left, top));
    w.grid()->selectionModel()->select(
        QItemSelection(cellIndex(w, left, top), cellIndex(w, right, bottom)),
        QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class TokenTableWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theGridShowsTheTable() {
        Fixture f;
        auto w = f.open();
        QCOMPARE(w->windowTitle(), QStringLiteral("TokenTable"));
        QCOMPARE(w->size(), QSize(920, 635));
        QAbstractItemModel* m = w->grid()->model();
        QCOMPARE(m->columnCount(), 24);
        QCOMPARE(m->rowCount(), 134);
        QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("1"));
        QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QStringLiteral("Name"));
        QCOMPARE(m->headerData(7, Qt::Vertical).toString(), QStringLiteral("1"));
        QCOMPARE(m->data(cellIndex(*w, 3, 8)).toString(), QStringLiteral("0x80"));
        QCOMPARE(w->example()->text(), QStringLiteral("Default"));
        QVERIFY(!f.stored().hasSection("TOK64"));
        QVERIFY(std::filesystem::exists(f.tmp.file("__TempTokenTable.tmp")));
    }

    void clipboardKeysOverASelection() {
        Fixture f;
        auto w = f.open();
        w->grid()->setFocus();
        select(*w, 3, 8, 4, 9);
        QTest::keyClick(w->grid(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("0x80\tend\n0x81\tfor\n"));
        select(*w, 17, 10, 17, 10);
        QTest::keyClick(w->grid(), Qt::Key_V, Qt::ControlModifier);
        const TokenTable& t = f.session.tokens();
        QCOMPARE(t.cell(17, 10), std::string("0x80"));
        QCOMPARE(t.cell(18, 11), std::string("for"));
        QVERIFY(w->editor().modified());

        select(*w, 5, 8, 7, 8);
        QTest::keyClick(w->grid(), Qt::Key_Delete);
        QCOMPARE(t.cell(5, 8), std::string());
        QCOMPARE(t.cell(7, 8), std::string());
        QCOMPARE(t.cell(8, 8), std::string("pot"));

        select(*w, 6, 9, 6, 9);
        QTest::keyClick(w->grid(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("rclr\n"));
        QCOMPARE(t.cell(6, 9), std::string());
    }

    void editingANameUpdatesTheLegend() {
        Fixture f;
        auto w = f.open();
        w->colourIndex()->setValue(2);
        QCOMPARE(w->example()->text(), QStringLiteral("BASIC V2"));
        w->grid()->model()->setData(cellIndex(*w, 5, 4), QStringLiteral("2"));
        QCOMPARE(w->example()->text(), QStringLiteral("BASIC V2, BASIC V3.5"));
        w->grid()->model()->setData(cellIndex(*w, 3, 1), QStringLiteral("Basic Two"));
        QCOMPARE(w->example()->text(), QStringLiteral("Basic Two, BASIC V3.5"));
        w->colourIndex()->setValue(15);
        QCOMPARE(w->example()->text(), QStringLiteral("Comment Token"));
        w->setColourChooser([](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); });
        w->changeColour();
        QCOMPARE(f.session.tokens().tokenColours[15], 0x010203u);
        QCOMPARE(w->example()->palette().color(QPalette::WindowText), QColor(1, 2, 3));
    }

    void aFailedCheckMarksTheCellAndKeepsTheWindowOpen() {
        Fixture f;
        auto w = f.open();
        w->grid()->model()->setData(cellIndex(*w, 21, 100), QStringLiteral("0x10"));
        w->grid()->model()->setData(cellIndex(*w, 3, 9), QStringLiteral("0x80"));
        w->accept();
        QVERIFY(w->isVisible());
        QCOMPARE(f.host.messages.back(),
                 std::string("Illegal Value in Col:3; Row:9\nTokens must be ascending"));
        const QModelIndex marked = cellIndex(*w, 3, 9);
        QCOMPARE(w->grid()->model()->data(marked, Qt::BackgroundRole).value<QColor>(),
                 QColor(Qt::red));
        QCOMPARE(w->grid()->model()->data(marked, Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::white));
        QVERIFY(w->grid()->viewport()->rect().intersects(w->grid()->visualRect(marked)));
        QVERIFY(!f.stored().hasSection("TOK64"));
    }

    void cancelAfterClearRestoresWithoutAQuestion() {
        Fixture f;
        const std::string original = f.session.tokens().toCsv();
        auto w = f.open();
        w->clearTable();
        QCOMPARE(w->grid()->model()->data(cellIndex(*w, 3, 8)).toString(), QString());
        w->reject();
        QVERIFY(!w->isVisible());
        QVERIFY(f.host.messages.empty());
        QCOMPARE(f.session.tokens().toCsv(), original);
        QVERIFY(!std::filesystem::exists(f.tmp.file("__TempTokenTable.tmp")));
    }

    void defaultThenOkWithTheCustomTableAsksNothing() {
        Fixture f;
        auto w = f.open();
        // Checking "Use Custom Table" saves the table.
        f.chooser.saveAnswers.push_back(
            test::ScriptedChooser::SaveChoice{QString::fromStdString(f.tmp.file("My.CSV")), 0});
        w->useCustomTable()->click();
        QVERIFY(w->useCustomTable()->isChecked());
        QVERIFY(std::filesystem::exists(f.tmp.file("My.CSV")));
        w->defaultTable();
        w->accept();
        QVERIFY(!w->isVisible());
        QVERIFY(f.host.messages.empty());
        QCOMPARE(f.stored().readBool("TOK64", "Use Custom Table", false), true);
        QCOMPARE(f.stored().readString("TOK64", "Custom Table FileName", ""), f.tmp.file("My.CSV"));
    }

    void theCustomTableStaysOffWithoutAFile() {
        Fixture f;
        auto w = f.open();
        w->useCustomTable()->click();  // the save dialog is cancelled
        QVERIFY(!w->useCustomTable()->isChecked());
        QVERIFY(!w->editor().useCustomTable());
    }

    void loadingReadsSpreadsheetFilesAndRefusesHugeOnes() {
        Fixture f;
        auto w = f.open();
        const std::string semicolons = f.tmp.file("semi.csv");
        test::writeFile(semicolons,
                        "Number;1;2\r\nName;Mine;-\r\nExtension Of;-;-\r\nType;2;-\r\n"
                        "Color;9;-\r\nPrefix;-;-\r\nComment Token;-;-\r\nDetok Comment;1;-\r\n"
                        "1;0x80;\"say \"\"hi\"\"\"\r\n");
        f.chooser.openAnswers.push_back({QString::fromStdString(semicolons)});
        w->colourIndex()->setValue(9);
        w->loadTable();
        QCOMPARE(w->grid()->model()->columnCount(), 2);
        QCOMPARE(w->grid()->model()->data(cellIndex(*w, 2, 8)).toString(),
                 QStringLiteral("say \"hi\""));
        QCOMPARE(w->example()->text(), QStringLiteral("Mine"));
        QVERIFY(!w->editor().modified());

        const std::string huge = f.tmp.file("huge.csv");
        test::writeFile(huge, std::string(TokenTable::kMaxCsvBytes + 1, 'x'));
        f.chooser.openAnswers.push_back({QString::fromStdString(huge)});
        w->loadTable();
        QCOMPARE(f.host.messages.back(),
                 std::string("TokenTable: Failed to load Token Table File...using Default Table"));
        QCOMPARE(w->grid()->model()->columnCount(), 24);
        w->accept();
        QVERIFY(!w->isVisible());
    }

    void anAddedKeywordReachesTheModeListAfterOk() {
        Fixture f;
        TfFileViewerOptions options(f.session, f.chooser, f.tmp.path(), f.tmp.path());
        auto w = f.open();
        w->addTokenset();
        QApplication::clipboard()->setText(QStringLiteral("Zap BASIC\n3\n5\n6\n-\n-\n1\n0xCC"));
        select(*w, 25, 1, 25, 1);
        w->pasteCells();
        w->accept();
        QVERIFY(!w->isVisible());
        options.fillModeList(w->selectedMode());
        auto* mode = options.findChild<QComboBox*>();
        QCOMPARE(mode->itemText(mode->count() - 1), QStringLiteral("Zap BASIC"));
        QCOMPARE(f.session.tokens().buildLinkTable(9, true), (LinkTable{25, 3}));
    }
};

QTEST_MAIN(TokenTableWindowTest)
#include "TokenTableWindowTest.moc"
