// The block map window and the file viewer, driven as the user does: "BAM..." in the
// main window, the grid's mouse and keys, the file list's keys, export, removing the
// error info, and the file viewer's commands.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <functional>

#include "AppTestSupport.h"
#include "bam/BamFileList.h"
#include "bam/BamGrid.h"
#include "bam/TfBAMViewer.h"
#include "listing/ListingExport.h"
#include "platform/RichTextView.h"
#include "support/GoldenImage.h"
#include "viewer/TfFileViewer.h"

using namespace qv;
using namespace qv::app;
using qv::test::Bytes;
using qv::test::DiskBuilder;
using qv::test::petsciiName;
using qv::test::readFile;

namespace {

// A BASIC V2 program: 10 PRINT"HI".
const Bytes kBasic{0x01, 0x08, 0x0B, 0x08, 0x0A, 0x00, 0x99,
                   0x22, 0x48, 0x49, 0x22, 0x00, 0x00, 0x00};

Bytes counting(std::size_t n) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(i * 3 + 1);
    return b;
}

struct Fixture : test::MainFormWindow {
    explicit Fixture(const std::string& settings = "") {
        std::ofstream(tmp.file("quorvane.ini")) << settings;
        open();
    }
    std::string save(const DiskBuilder& b, const std::string& name) {
        b.save(tmp.file(name));
        return tmp.file(name);
    }
    // Lists the image in the main window and opens the block map on it.
    void openOn(const std::string& image) {
        form->dropPaths({QString::fromStdString(image)});
        if (!form->bamAction()->isChecked())
            form->bamAction()->trigger();
        QCoreApplication::processEvents();
        bam()->refresh();
    }
    TfBAMViewer* bam() const { return form->bamViewer(); }
    TfFileViewer* viewer() const { return form->fileViewer(); }
    BamGrid* grid() const { return bam()->grid(); }
    QListWidget* list() const { return bam()->fileList()->list(); }
    QPoint centre(TrackSector ts) const {
        const GridRect r = gridCellRect(grid()->cellGeometry(), ts.track, ts.sector + 1);
        return {r.x + r.width / 2, r.y + r.height / 2};
    }
    void click(TrackSector ts, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(grid(), button, Qt::NoModifier, centre(ts));
    }
    std::vector<int> selectedRows() const { return bam()->fileList()->selectedRows(); }
};

// Two plain files, the second a BASIC program.
DiskBuilder plainDisk(int tracks = 35, bool errors = false) {
    DiskBuilder b(tracks, errors);
    b.format("PLAIN DISK", "QV");
    if (tracks == 40)
        b.extendedBam(test::ExtendedBam::SpeedDos);
    b.addFile("DATA", 0x82, counting(600));
    b.addFile("HELLO", 0x82, kBasic);
    return b;
}

}  // namespace

class BamViewerTest : public QObject {
    Q_OBJECT
  private slots:
    void bamCommandOpensAndClosesTheWindow();
    void fortyTracksShowFortyOneColumnsAndBack();
    void sharedBlockSelectsBothOwners();
    void activationRefreshesAfterTheMainWindowOnly();
    void fileListKeepsOutOfTheGridsShare();
    void chainKeysWalkTheSelectedFile();
    void popupModeFollowsTheErrorInfo();
    void keyboardReachesEveryBlockAndItsCommands();
    void viewAndDetokenizeFromTheList();
    void fileViewerKeysRunTheirCommands();
    void viewBlockShowsSixteenRows();
    void exportWithoutStartAddress();
    void removeErrorInfoShortensTheImage();
    void clearThenListAgain();
    void programSaveRefusedForText();
    void richTextSaveKeepsASymbolFont();
    void textImportTruncates();
    void gridPictures_data();
    void gridPictures();
    void folderOfImagesShowsViewsAndListsUnchanged();
    void brokenChainsReportAndKeepWhatWasRead();
};

void BamViewerTest::bamCommandOpensAndClosesTheWindow() {
    Fixture f;
    QAction* bam = f.form->bamAction();
    QVERIFY(bam->isEnabled());
    const std::string image = f.save(plainDisk(), "plain.d64");
    f.openOn(image);
    QVERIFY(f.bam()->isVisible());
    QVERIFY(bam->isChecked());
    QCOMPARE(f.bam()->windowTitle().left(5), QStringLiteral("BAM ("));
    QVERIFY(f.bam()->ownerDisplay());  // "FileList open" defaults on
    QCOMPARE(f.list()->count(), 2);
    f.bam()->close();
    QVERIFY(!bam->isChecked());
    // Closing the main window writes the block map's and the viewer's keys.
    f.form->close();
    const std::string ini = readFile(f.tmp.file("quorvane.ini"));
    QVERIFY(ini.find("FileListWidth=") != std::string::npos);
    QVERIFY(ini.find("C64Screen 40/80=") != std::string::npos);
}

void BamViewerTest::fortyTracksShowFortyOneColumnsAndBack() {
    // Small cells, so that both widths fit the offscreen screen.
    Fixture f(
        "[40Tracks]\nEnable=1\nAutoDetect=1\n[BAM Defaults]\nDefaultRowHeight=12\n"
        "DefaultColWidth=12\n");
    const std::string small = f.save(plainDisk(35), "small.d64");
    const std::string big = f.save(plainDisk(40), "big.d64");
    f.openOn(small);
    QCOMPARE(f.grid()->columns(), 36);
    const int narrow = f.bam()->width();
    f.openOn(big);
    QCOMPARE(f.grid()->columns(), 41);
    QVERIFY(f.bam()->width() > narrow);
    f.openOn(small);
    QCOMPARE(f.grid()->columns(), 36);
    QCOMPARE(f.bam()->width(), narrow);
}

void BamViewerTest::sharedBlockSelectsBothOwners() {
    Fixture f;
    DiskBuilder b;
    b.format("CROSS", "QV");
    const auto a = b.writeChain(counting(700));
    const auto c = b.writeChain(counting(300));
    b.link(c[1], a[1]);
    b.addEntry({0x82, a[0], petsciiName("A"), {}, 0, 0, {}, 3});
    b.addEntry({0x82, c[0], petsciiName("C"), {}, 0, 0, {}, 4});
    f.openOn(f.save(b, "cross.d64"));
    f.click(a[1]);
    QCOMPARE(f.selectedRows(), (std::vector<int>{0, 1}));
    QVERIFY(f.bam()->windowTitle().startsWith(QStringLiteral("BAM -> Track: ")));
    f.click(c[0]);
    QCOMPARE(f.selectedRows(), (std::vector<int>{1}));
    // A cell that is no block cannot be selected.
    f.click({35, 20});
    QVERIFY(f.grid()->selected() == (GridCell{c[0].track, c[0].sector + 1}));
}

void BamViewerTest::activationRefreshesAfterTheMainWindowOnly() {
    // With the owner display off every refresh reloads the map and forgets the
    // selected block, so a needless one is visible.
    Fixture f("[BAM Defaults]\nFileList open=0\n");
    const std::string first = f.save(plainDisk(), "first.d64");
    f.openOn(first);
    QVERIFY(!f.bam()->ownerDisplay());
    f.click({1, 0});
    const GridCell chosen = f.grid()->selected();
    QVERIFY(chosen.valid());
    const auto activate = [](QWidget* w) {
        QApplication::setActiveWindow(w);
        QCoreApplication::processEvents();
    };
    // Looking at the block in the file viewer and coming back keeps it.
    f.bam()->viewBlock({1, 0});
    activate(f.viewer());
    activate(f.bam());
    QVERIFY(f.grid()->selected() == chosen);
    // After work in the main window the map follows its current image.
    DiskBuilder b;
    b.format("SECOND", "QV");
    b.addFile("ONLY", 0x82, kBasic);
    const std::string second = f.save(b, "second.d64");
    f.form->dropPaths({QString::fromStdString(second)});
    activate(f.form.get());
    activate(f.bam());
    QCOMPARE(f.form->session().blockMap().imagePath(), second);
    QVERIFY(!f.grid()->selected().valid());
}

void BamViewerTest::fileListKeepsOutOfTheGridsShare() {
    Fixture f;
    f.openOn(f.save(plainDisk(), "plain.d64"));
    BamFileList* list = f.bam()->fileList();
    QVERIFY(list->isVisible() && !list->isFloating());
    const int listWidth = list->width();
    // The cells fill the grid's share of the window, whatever its size.
    const auto cellsFillTheGrid = [&] {
        const GridGeometry& g = f.grid()->cellGeometry();
        const int used = f.grid()->columns() * (g.columnWidth + g.lineWidth) + g.lineWidth;
        return used <= f.grid()->width() && f.grid()->width() - used < f.grid()->columns() + 1;
    };
    f.bam()->showMaximized();
    QTRY_VERIFY(f.bam()->isMaximized());
    QCoreApplication::processEvents();
    QCOMPARE(list->width(), listWidth);
    QVERIFY(cellsFillTheGrid());
    f.bam()->showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(list->width(), listWidth);
    QVERIFY(cellsFillTheGrid());

    // Undocked, the list stands at the viewer's right edge, both on the screen: the
    // 36 columns of 19 pixels and the list do not fit the 800 pixels side by side.
    const QRect room = f.bam()->screen()->availableGeometry();
    QVERIFY(f.bam()->width() + listWidth > room.width());
    list->setFloating(true);
    QCoreApplication::processEvents();
    QCOMPARE(list->frameGeometry().left(), f.bam()->frameGeometry().right() + 1);
    QVERIFY(f.bam()->frameGeometry().left() >= room.left());
    QVERIFY(list->frameGeometry().right() <= room.right());
    QVERIFY(cellsFillTheGrid());
    list->setFloating(false);
    QCoreApplication::processEvents();
    QVERIFY(!list->isFloating());
    QVERIFY(f.bam()->width() <= room.width());
}

void BamViewerTest::chainKeysWalkTheSelectedFile() {
    Fixture f;
    DiskBuilder b = plainDisk();
    const std::string image = f.save(b, "chain.d64");
    f.openOn(image);
    const BlockMap& map = f.form->session().blockMap();
    const auto first = map.findMark(0, 1);
    QVERIFY(first);
    const auto second = map.neighbour(0, *first, ChainDirection::Forward);
    const auto third = map.neighbour(0, *second, ChainDirection::Forward);
    QVERIFY(second && third);
    f.click(*first);
    QTest::keyClick(f.grid(), Qt::Key_N);
    QVERIFY(f.grid()->selected() == (GridCell{second->track, second->sector + 1}));
    QTest::keyClick(f.grid(), Qt::Key_N);
    QTest::keyClick(f.grid(), Qt::Key_N);  // the last block: nothing further
    QVERIFY(f.grid()->selected() == (GridCell{third->track, third->sector + 1}));
    QTest::keyClick(f.grid(), Qt::Key_P);
    QVERIFY(f.grid()->selected() == (GridCell{second->track, second->sector + 1}));
}

void BamViewerTest::popupModeFollowsTheErrorInfo() {
    Fixture f;
    f.openOn(f.save(plainDisk(), "plain.d64"));
    QVERIFY(!f.bam()->popupAutomatic());
    QVERIFY(!f.bam()->removeErrorAction()->isEnabled());
    // Direct mode: a right click views the block at once.
    f.click({18, 0}, Qt::RightButton);
    QCOMPARE(f.viewer()->state(), ViewerState::SingleBlock);
    QTest::keyClick(f.grid(), Qt::Key_A);
    QVERIFY(f.bam()->popupAutomatic());
    QTest::keyClick(f.grid(), Qt::Key_D);
    QVERIFY(!f.bam()->popupAutomatic());

    DiskBuilder e = plainDisk(35, true);
    e.errorByte({1, 0}, 5);
    f.openOn(f.save(e, "errors.d64"));
    QVERIFY(f.bam()->popupAutomatic());
    QVERIFY(f.bam()->removeErrorAction()->isEnabled());
    f.click({1, 0});
    QVERIFY(f.bam()->windowTitle().startsWith(QStringLiteral("Error Info -> Track: 01 ($01)")));
    QTest::mouseDClick(f.grid(), Qt::LeftButton, Qt::NoModifier, f.centre({1, 0}));
    QVERIFY(!f.host.messages.empty());
    QVERIFY(f.host.messages.back().find("23") != std::string::npos ||
            !f.host.messages.back().empty());
}

void BamViewerTest::keyboardReachesEveryBlockAndItsCommands() {
    DiskBuilder e = plainDisk(35, true);
    e.errorByte({2, 1}, 5);
    Fixture f;
    f.openOn(f.save(e, "errors.d64"));
    f.grid()->setFocus();
    // The arrows move from the first block; a block's caption follows as after a click.
    for (const Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down})
        QTest::keyClick(f.grid(), k);
    QVERIFY(f.grid()->selected() == (GridCell{2, 2}));
    QVERIFY(f.bam()->windowTitle().startsWith(QStringLiteral("Error Info -> Track: 02 ($02)")));
    // Enter tells the block's error as a double click does.
    const std::size_t messages = f.host.messages.size();
    QTest::keyClick(f.grid(), Qt::Key_Return);
    QCOMPARE(f.host.messages.size(), messages + 1);
    // The menu key acts as the right button: in direct mode the block is viewed.
    QTest::keyClick(f.grid(), Qt::Key_D);
    QTest::keyClick(f.grid(), Qt::Key_Menu);
    QCOMPARE(f.viewer()->state(), ViewerState::SingleBlock);
    QCOMPARE(f.viewer()->status(3), QStringLiteral("Sector: 1 ($01)"));
}

void BamViewerTest::viewAndDetokenizeFromTheList() {
    Fixture f;
    f.openOn(f.save(plainDisk(), "plain.d64"));
    f.list()->setCurrentRow(1);
    QTest::keyClick(f.list(), Qt::Key_V);
    QCOMPARE(f.viewer()->state(), ViewerState::BamFile);
    QVERIFY(f.viewer()->status(1).startsWith(QStringLiteral("Fileoffset: $")));
    QCOMPARE(f.viewer()->status(2), QStringLiteral("Startaddress: $0801"));
    QVERIFY(f.viewer()->listAction()->isEnabled());
    QVERIFY(f.viewer()->detokenizeAction()->isEnabled());
    QTest::keyClick(f.list(), Qt::Key_T);
    QCOMPARE(f.viewer()->state(), ViewerState::BamFileListed);
    QVERIFY(f.viewer()->view()->toPlainText().contains(QStringLiteral("PRINT")));
    const std::size_t colouredRanges = f.viewer()->view()->toDocument().ranges.size();
    QVERIFY(colouredRanges > 0);
    // A new file viewer font from the options keeps the listing and its colours.
    f.form->fonts()[FontSlot::FileViewer].size = 14;
    f.form->applyChangedFonts(fontBit(FontSlot::FileViewer));
    QCOMPARE(f.viewer()->state(), ViewerState::BamFileListed);
    QCOMPARE(f.viewer()->view()->toDocument().ranges.size(), colouredRanges);
    QCOMPARE(qRound(f.viewer()->view()->document()->defaultFont().pointSizeF()), 14);
    // List again shows the dump, never the listing.
    f.viewer()->listAction()->trigger();
    QCOMPARE(f.viewer()->state(), ViewerState::BamFile);
    QVERIFY(!f.viewer()->view()->toPlainText().contains(QStringLiteral("PRINT")));
    // No temporary file is left behind.
    QVERIFY(!std::filesystem::exists(temporaryFolder() + "__TempTok.tmp"));
}

void BamViewerTest::fileViewerKeysRunTheirCommands() {
    // The viewer's keys on any desktop: where its scheme has none for a standard
    // command (no "Save As" outside GNOME and KDE), the usual keys stand in.
    struct Case {
        const char* command;
        QKeySequence keys;
        bool listedFirst;  // the file detokenized before the keys
        std::function<bool(Fixture&)> done;
    };
    const std::vector<Case> cases = {
        {"Save as...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), false,
         [](Fixture& f) {
             return f.chooser.saveRequests.size() == 1 &&
                    f.chooser.saveRequests[0].caption == QLatin1String("Save as...");
         }},
        {"Import...", QKeySequence(Qt::CTRL | Qt::Key_O), false,
         [](Fixture& f) {
             return f.chooser.openCaptions ==
                    QStringList{QStringLiteral("Import Quorvane Files...")};
         }},
        {"Detokenize...", QKeySequence(Qt::CTRL | Qt::Key_D), false,
         [](Fixture& f) { return f.viewer()->state() == ViewerState::BamFileListed; }},
        {"List", QKeySequence(Qt::Key_F5), true,
         [](Fixture& f) { return f.viewer()->state() == ViewerState::BamFile; }},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.openOn(f.save(plainDisk(), "plain.d64"));
        f.list()->setCurrentRow(1);
        QTest::keyClick(f.list(), Qt::Key_V);
        if (c.listedFirst) {
            f.viewer()->detokenizeAction()->trigger();
            QCOMPARE(f.viewer()->state(), ViewerState::BamFileListed);
        }
        // The keys go to the active window: wait until the application has made the
        // viewer the one (the block map's own activation may still be on its way).
        f.viewer()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(f.viewer()));
        QTest::keySequence(f.viewer(), c.keys);
        QVERIFY2(c.done(f), c.command);
    }
}

void BamViewerTest::viewBlockShowsSixteenRows() {
    Fixture f("[File Viewer]\nConv to Chars=0\n");
    f.openOn(f.save(plainDisk(), "plain.d64"));
    f.bam()->viewBlock({18, 0});
    QCOMPARE(f.viewer()->state(), ViewerState::SingleBlock);
    QCOMPARE(f.viewer()->status(1), QStringLiteral("Offset: $16500"));
    QCOMPARE(f.viewer()->status(2), QStringLiteral("Track: 18 ($12)"));
    QCOMPARE(f.viewer()->status(3), QStringLiteral("Sector: 0 ($00)"));
    const QStringList lines =
        f.viewer()->view()->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 16);
    QVERIFY(lines.front().startsWith(QStringLiteral("00000  12 01 41")));
    QVERIFY(lines.back().startsWith(QStringLiteral("000F0  ")));
    QVERIFY(!f.viewer()->listAction()->isEnabled());
    QVERIFY(!f.viewer()->detokenizeAction()->isEnabled());
    QVERIFY(f.viewer()->c64ScreenAction()->isEnabled());
}

void BamViewerTest::exportWithoutStartAddress() {
    Fixture f;
    f.openOn(f.save(plainDisk(), "plain.d64"));
    f.list()->selectAll();
    f.chooser.saveAnswers.push_back(
        FileChooser::SaveChoice{QString::fromStdString(f.tmp.file("NAME.PRG")), 1});
    QTest::keyClick(f.list(), Qt::Key_E);
    const std::string one = readFile(f.tmp.file("NAME_001.PRG"));
    const std::string two = readFile(f.tmp.file("NAME_002.PRG"));
    const Bytes data = counting(600);
    QCOMPARE(one, std::string(data.begin() + 2, data.end()));
    QCOMPARE(two, std::string(kBasic.begin() + 2, kBasic.end()));
    QVERIFY(!f.host.messages.empty());
    QVERIFY(f.host.messages.back().rfind("2 File(s) Exported to Folder ", 0) == 0);
}

void BamViewerTest::removeErrorInfoShortensTheImage() {
    Fixture f;
    DiskBuilder e = plainDisk(35, true);
    e.errorByte({1, 0}, 5);
    const std::string image = f.save(e, "errors.d64");
    QCOMPARE(std::filesystem::file_size(image), std::uintmax_t{175531});
    f.openOn(image);
    f.host.okCancelAnswers = {false};
    f.bam()->removeErrorAction()->trigger();
    QCOMPARE(std::filesystem::file_size(image), std::uintmax_t{175531});
    f.bam()->removeErrorAction()->trigger();  // OK
    QCOMPARE(std::filesystem::file_size(image), std::uintmax_t{174848});
    QVERIFY(!f.bam()->removeErrorAction()->isEnabled());
    QVERIFY(!f.bam()->popupAutomatic() || f.form->session().blockMap().hasErrorInfo() == false);
    QCOMPARE(f.list()->count(), 2);
}

void BamViewerTest::clearThenListAgain() {
    Fixture f;
    f.openOn(f.save(plainDisk(), "plain.d64"));
    f.bam()->viewFile(0, ExtractMode::View);
    const QString shown = f.viewer()->view()->toPlainText();
    QVERIFY(!shown.isEmpty());
    f.viewer()->clearContent();
    QVERIFY(f.viewer()->view()->toPlainText().isEmpty());
    QCOMPARE(f.viewer()->state(), ViewerState::BamFile);
    f.viewer()->listAgain();
    QCOMPARE(f.viewer()->view()->toPlainText(), shown);
}

void BamViewerTest::programSaveRefusedForText() {
    Fixture f;
    const std::string text = f.tmp.file("notes.txt");
    test::writeFile(text, "hello\r\nworld\r\n");
    QVERIFY(f.viewer()->importText(text));
    QCOMPARE(f.viewer()->state(), ViewerState::ImportedText);
    QVERIFY(!f.viewer()->detokenizeAction()->isEnabled());
    // Its toolbar button plainly looks off.
    QVERIFY(test::faintWhenDisabled(f.viewer()->detokenizeAction()->icon()));
    QVERIFY(f.viewer()->listAction()->isEnabled());
    f.chooser.saveAnswers.push_back(
        FileChooser::SaveChoice{QString::fromStdString(f.tmp.file("out.prg")), 3});
    f.viewer()->saveAs();
    QVERIFY(!std::filesystem::exists(f.tmp.file("out.prg")));
    QVERIFY(!f.host.errors.empty());
    QCOMPARE(f.host.errors.back().message, std::string("Cannot save File to C64 Program..."));
}

void BamViewerTest::richTextSaveKeepsASymbolFont() {
    // The viewer's font with the symbol character set gets it back in the saved
    // font table; any other charset is written as it is.
    for (const bool symbol : {true, false}) {
        Fixture f(symbol ? "[TOK64]\nFontCharset=2\n" : "");
        f.openOn(f.save(plainDisk(), "plain.d64"));
        f.bam()->viewBlock({18, 0});
        const std::string out = f.tmp.file("block.rtf");
        f.chooser.saveAnswers.push_back(FileChooser::SaveChoice{QString::fromStdString(out), 2});
        f.viewer()->saveAs();
        const std::string rtf = readFile(out);
        QVERIFY(rtf.rfind("{\\rtf", 0) == 0);
        QCOMPARE(rtf.find("\\fcharset2 ") != std::string::npos, symbol);
        QVERIFY(f.host.errors.empty());
    }
}

void BamViewerTest::textImportTruncates() {
    Fixture f("[RichEdit]\nMaxText=10\n");
    const std::string text = f.tmp.file("long.txt");
    test::writeFile(text, "0123456789ABCDEFGHIJ");
    f.host.messageAnswers = {MessageAnswer::Yes};
    QVERIFY(f.viewer()->importText(text));
    QCOMPARE(f.viewer()->view()->toPlainText(), QStringLiteral("0123456789"));
    QVERIFY(!std::filesystem::exists(temporaryFolder() + "__TempTXT.TXT"));
}

void BamViewerTest::gridPictures_data() {
    // Each picture sets the pixels of the colours that matter for its disk.
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QRgb>>("colours");
    QTest::newRow("plain") << 0 << QList<QRgb>{0x008000};
    QTest::newRow("geos") << 1 << QList<QRgb>{0x0000FF, 0xFFFF00, 0xFF0080};
    QTest::newRow("errors") << 2 << QList<QRgb>{0xFF0000, 0xFF00FF};
}

// The grid's coloured marks (frames, error codes, record numbers) as a two-colour
// picture: a pixel is set where the grid paints one of the chosen legend colours. The
// texts are drawn without antialiasing so that their pixels have those colours.
void BamViewerTest::gridPictures() {
    QFETCH(int, kind);
    QFETCH(QList<QRgb>, colours);
    Fixture f;
    DiskBuilder b(35, kind == 2);
    b.format("PICTURE", "QV");
    if (kind == 1) {
        b.geosSignature();
        b.addGeosVlir("VLIR", {}, {counting(600), {}, counting(300)});
    } else {
        b.addFile("DATA", 0x82, counting(1200));
    }
    if (kind == 2) {
        b.errorByte({1, 1}, 5);
        b.errorByte({20, 3}, 2);
    }
    f.openOn(f.save(b, "picture.d64"));
    f.bam()->fileList()->showChain()->setChecked(true);
    f.grid()->setCellSize(19, 19);
    QFont plain = f.grid()->gridFont();
    plain.setStyleStrategy(QFont::NoAntialias);
    QFont chains = f.grid()->chainFont();
    chains.setStyleStrategy(QFont::NoAntialias);
    f.grid()->setFonts(plain, true, chains, true);
    QImage img(f.grid()->sizeHint(), QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        f.grid()->paintGrid(p);
    }
    Image1 marks;
    marks.width = img.width();
    marks.height = img.height();
    const int stride = (img.width() + 7) / 8;
    marks.bits.assign(static_cast<std::size_t>(stride * img.height()), 0);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y) & 0xFFFFFF;
            if (colours.contains(c))
                marks.bits[static_cast<std::size_t>(y * stride + x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    const char* names[] = {"grid_plain.bmp", "grid_geos.bmp", "grid_errors.bmp"};
    QVERIFY(test::matchesGolden(marks, test::goldenDir("bam") / names[kind]));
}

// Every image of a folder (QV_BAM_IMAGES, for example a collection of real disks) is
// opened with its owners, each file viewed and detokenized: nothing may crash or hang,
// no image may change and no temporary file may stay behind.
void BamViewerTest::folderOfImagesShowsViewsAndListsUnchanged() {
    const QByteArray folder = qgetenv("QV_BAM_IMAGES");
    if (folder.isEmpty())
        QSKIP("QV_BAM_IMAGES names no folder of images");
    Fixture f("[40Tracks]\nEnable=1\nAutoDetect=1\n");
    int images = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.toStdString())) {
        const std::string path = entry.path().string();
        if (!entry.is_regular_file())
            continue;
        const std::string before = readFile(path);
        f.openOn(path);
        const int rows = f.form->session().blockMap().rowCount();
        for (int row = 0; row < rows; ++row) {
            f.bam()->viewFile(row, ExtractMode::View);
            f.bam()->detokenizeRow(row);
        }
        f.bam()->viewBlock({18, 0});
        QVERIFY2(readFile(path) == before, path.c_str());
        QVERIFY(!std::filesystem::exists(temporaryFolder() + "__TempTok.tmp"));
        ++images;
    }
    qInfo("%d images", images);
}

// A link to track 99 and a chain that loops: each is reported with its message, and
// the viewer shows what was read before it; the image stays as it was.
void BamViewerTest::brokenChainsReportAndKeepWhatWasRead() {
    Fixture f;
    DiskBuilder b;
    b.format("BROKEN", "QV");
    const auto bad = b.writeChain(counting(600));
    b.link(bad[1], {99, 0});
    b.addEntry({0x82, bad[0], petsciiName("BAD LINK"), {}, 0, 0, {}, 3});
    const auto loop = b.writeChain(counting(600));
    b.link(loop[2], loop[1]);  // the loop leaves the first block out
    b.addEntry({0x82, loop[0], petsciiName("LOOP"), {}, 0, 0, {}, 3});
    const std::string image = f.save(b, "broken.d64");
    const std::string before = readFile(image);
    f.host.defaultErrorAnswer = 1;
    f.openOn(image);
    QCOMPARE(f.list()->count(), 2);
    struct Case {
        int row;
        std::string message;
    };
    const Case cases[] = {
        {0, "Illegal Track: 99 ($63) or Sector: 0 ($00)\nFile corrupt!"},
        {1, "File exceeds 683 Blocks...aborted"},
    };
    for (const Case& c : cases) {
        f.host.errors.clear();
        QVERIFY(f.bam()->viewFile(c.row, ExtractMode::View));
        QVERIFY(!f.host.errors.empty());
        QCOMPARE(f.host.errors.back().message, c.message);
        QCOMPARE(f.viewer()->state(), ViewerState::BamFile);
        QVERIFY(!f.viewer()->view()->toPlainText().isEmpty());
    }
    QCOMPARE(readFile(image), before);
}

QTEST_MAIN(BamViewerTest)
#include "BamViewerTest.moc"
