// The C64 screen window as the main window drives it: the toggle and the close message,
// the listing runs that fill it, Save as, the zoom keys, the wheel and the scroll bar, and
// the file viewer's instance.
#include <QAction>
#include <QImage>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "AppTestSupport.h"
#include "listing/TfMainForm.h"
#include "screen/TfC64Screen.h"
#include "settings/IniFile.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

using namespace qv;
using namespace qv::app;
using qv::test::makeImage;
using qv::test::readFile;
using qv::test::ScriptedChooser;
using qv::test::ScriptedDialogHost;
using qv::test::TempDir;

namespace {

// The main window, started with the given settings file text.
struct Fixture : test::MainFormWindow {
    explicit Fixture(const std::string& settings = "") {
        std::ofstream(tmp.file("quorvane.ini")) << settings;
        open();
    }
    TfC64Screen* window() const { return form->c64Screen(); }
    C64Screen& screen() const { return form->c64Screen()->screen(); }
};

// The screen code of a cell without its reverse and character-set bits.
int code(const C64Screen& s, int row, int column) {
    return s.cell(row, column) & kCellCodeMask;
}

void sendWheel(QWidget* w, int angle) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

}  // namespace

class C64ScreenWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void toggleShowsAndTheCloseMessageReleasesTheCheck();
    void listingRunsFillTheScreen();
    void imagesInC64ScreenAndTheCharacterSet();
    void saveAsWritesPagesOrOnePicture();
    void zoomKeysWheelAndScrollBar();
    void toolWindowOfTheMainWindowBelowItsDialogs();
    void zoomStaysWithinTheScreenAndScrolls();
    void fileViewerInstance();
    void saveDialogSuffixFollowsTheFilter();
};

void C64ScreenWindowTest::toggleShowsAndTheCloseMessageReleasesTheCheck() {
    Fixture f;
    QAction* toggle = f.form->screenAction();
    QVERIFY(toggle->isEnabled());
    QVERIFY(toggle->isCheckable());
    QCOMPARE(toggle->toolTip(), QStringLiteral("Show Original C64 Screen"));
    QVERIFY(!f.window()->isVisible());
    QVERIFY(!f.window()->columnsAction()->isVisible());

    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(f.window()->isVisible());
    QVERIFY(f.screen().active());
    QCOMPARE(f.screen().wheelStep(), QApplication::wheelScrollLines());

    // Closing the window by other means raises the button and removes the check.
    f.window()->close();
    QVERIFY(!toggle->isChecked());
    QVERIFY(!f.screen().active());

    toggle->trigger();
    QVERIFY(f.window()->isVisible());
    toggle->trigger();
    QVERIFY(!f.window()->isVisible());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!f.screen().active());
}

void C64ScreenWindowTest::listingRunsFillTheScreen() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "FIRST DISK");
    const std::string b = makeImage(images, "b.d64", "SECOND DISK");
    Fixture f;
    f.form->screenAction()->trigger();

    f.form->dropPaths({QString::fromStdString(a), QString::fromStdString(b)});
    C64Screen& s = f.screen();
    QCOMPARE(s.lineCount(), 10);
    // The header: "0" and the blank as they are, the rest reversed.
    QCOMPARE(code(s, 0, 0), int('0'));
    QVERIFY(!(s.cell(0, 1) & kCellReverse));
    QCOMPARE(code(s, 0, 2), int('"'));
    QVERIFY(s.cell(0, 2) & kCellReverse);
    QCOMPARE(code(s, 1, 0), int('2'));
    QVERIFY(!(s.cell(1, 5) & kCellReverse));
    QCOMPARE(code(s, 5, 3), int('S') - 64);  // the second image's header
    // The update ended with the end shown; the picture on the window is the screen's.
    QCOMPARE(s.scrollPosition(), s.scrollMax());
    const QImage shot = f.window()->grab().toImage();
    const QPoint origin = f.window()->pictureRect().topLeft();
    QCOMPARE(shot.pixel(2, 2) & 0xFFFFFFu, s.palette()[14]);  // the left strip
    for (const QPoint p : {QPoint(20, 3), QPoint(1, 1), QPoint(100, 12)}) {
        QCOMPARE(shot.pixel(origin + p) & 0xFFFFFFu, s.bitmap().at(p.x(), p.y()));
    }

    // "List" appends the current image once more; "Clear" empties the screen.
    f.form->list();
    QCOMPARE(s.lineCount(), 15);
    f.form->clearListing();
    QCOMPARE(s.lineCount(), 0);

    // "Load..." clears first, then lists what was chosen.
    f.form->dropPaths({QString::fromStdString(a)});
    f.chooser.openAnswers.push_back({QString::fromStdString(b)});
    f.form->load();
    QCOMPARE(s.lineCount(), 5);
    QCOMPARE(code(s, 0, 3), int('S') - 64);
}

void C64ScreenWindowTest::imagesInC64ScreenAndTheCharacterSet() {
    TempDir images;
    const std::string a = makeImage(images, "a.d64", "FIRST DISK");
    const std::string b = makeImage(images, "b.d64", "SECOND DISK");
    std::ofstream(images.file("rom.bin"), std::ios::binary) << std::string(4096, '\0');
    // One image gets its file lines; the next only its header and free blocks. The
    // colours and the glyphs come from the settings.
    Fixture f("[C64 Screen]\nnum=1\nCharROM=" + images.file("rom.bin") +
              "\n[Color Palette]\n06 blue=255\n");
    for (QRadioButton* r : f.form->findChildren<QRadioButton*>()) {
        if (r->text() == QLatin1String("Upper/Lower"))
            r->setChecked(true);
    }
    f.form->dropPaths({QString::fromStdString(a), QString::fromStdString(b)});
    C64Screen& s = f.screen();
    QCOMPARE(s.lineCount(), 5 + 4);
    QCOMPARE(code(s, 6, 0), int('6'));  // "662 BLOCKS FREE." right under the second header
    QVERIFY(s.cell(0, 5) & kCellUpperLower);
    QCOMPARE(s.palette()[6], 0x0000FFu);
    QVERIFY(s.charset() == Charset(Charset::Bytes{}));
    QVERIFY(f.host.messages.empty());
}

void C64ScreenWindowTest::saveAsWritesPagesOrOnePicture() {
    Fixture f;
    f.form->session().setSaveFolder(f.tmp.file(""));
    C64Screen& s = f.screen();
    for (int i = 0; i < 30; ++i)
        s.addLine("ROW " + std::to_string(i), false);

    // "Complete Bitmap" from the pop-up menu: one bitmap per page and the count.
    f.chooser.saveAnswers.push_back(
        FileChooser::SaveChoice{QString::fromStdString(f.tmp.file("shot.bmp")), 1});
    QAction* save = nullptr;
    for (QAction* a : f.window()->popupMenu()->actions()) {
        if (a->text() == QLatin1String("&Save as..."))
            save = a;
    }
    QVERIFY(save);
    save->trigger();
    QCOMPARE(f.chooser.saveRequests.size(), std::size_t{1});
    QCOMPARE(f.chooser.saveRequests[0].caption, QStringLiteral("Save"));
    QCOMPARE(f.chooser.saveRequests[0].defaultSuffix, QStringLiteral("bmp"));
    QCOMPARE(f.chooser.saveRequests[0].folder, QString::fromStdString(f.tmp.file("")));
    QVERIFY(f.chooser.saveRequests[0].filter.starts_with(
        "Bitmap (*.BMP)|*.BMP|Complete Bitmap (*.BMP)|*.BMP"));
    QVERIFY(std::filesystem::exists(f.tmp.file("shot_0001.bmp")));
    QVERIFY(std::filesystem::exists(f.tmp.file("shot_0002.bmp")));
    QVERIFY(!std::filesystem::exists(f.tmp.file("shot.bmp")));
    QCOMPARE(f.host.messages.back().substr(0, 26), std::string("2 File(s) Saved to Folder "));

    // The shown page as PNG; a cancelled dialog writes nothing.
    f.chooser.saveAnswers.push_back(
        FileChooser::SaveChoice{QString::fromStdString(f.tmp.file("page.png")), 2});
    f.window()->saveAs();
    QVERIFY(readFile(f.tmp.file("page.png")).starts_with("\x89PNG"));
    // Qt's own PNG reader sees the page that was saved, pixel for pixel.
    const QImage png(QString::fromStdString(f.tmp.file("page.png")));
    qv::Image32 page;
    f.window()->screen().drawPage(f.window()->screen().scrollPosition(), page);
    QCOMPARE(png.width(), page.width);
    QCOMPARE(png.height(), page.height);
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            if ((png.pixel(x, y) & 0xFFFFFF) != page.at(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
        }
    }
    const auto before = std::distance(std::filesystem::directory_iterator(f.tmp.path()),
                                      std::filesystem::directory_iterator());
    f.window()->saveAs();
    QCOMPARE(std::distance(std::filesystem::directory_iterator(f.tmp.path()),
                           std::filesystem::directory_iterator()),
             before);
}

void C64ScreenWindowTest::zoomKeysWheelAndScrollBar() {
    Fixture f;
    f.form->screenAction()->trigger();
    TfC64Screen* w = f.window();
    C64Screen& s = f.screen();
    const int bar = w->scrollBar()->width();

    QTest::keyClick(w, Qt::Key_Plus);
    QCOMPARE(s.zoom(), 1.5);
    QCOMPARE(w->size(), QSize(480 + 17 + bar, 300 + 34));
    QTest::keyClick(w, Qt::Key_Asterisk, Qt::KeypadModifier);
    QCOMPARE(s.zoom(), 1.0);
    QCOMPARE(w->size(), QSize(320 + 17 + bar, 200 + 34));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(w, Qt::Key_Minus);
    QCOMPARE(s.zoom(), 0.5);
    // "+" typed with Shift (as on a US keyboard) zooms in; "*" typed on the main
    // keyboard shows 100% as the numeric pad's does.
    QTest::keyClick(w, Qt::Key_Plus, Qt::ShiftModifier);
    QCOMPARE(s.zoom(), 1.0);
    QTest::keyClick(w, Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(s.zoom(), 1.5);
    QTest::keyClick(w, Qt::Key_Asterisk, Qt::ShiftModifier);
    QCOMPARE(s.zoom(), 1.0);
    QTest::keyClick(w, Qt::Key_Equal);
    QCOMPARE(s.zoom(), 1.0);

    // 40 rows: the scroll bar runs from 0 to 15 with a large step of 5.
    for (int i = 0; i < 40; ++i)
        s.addLine("LINE", false);
    QCOMPARE(w->scrollBar()->maximum(), 15);
    QCOMPARE(w->scrollBar()->value(), 15);
    QCOMPARE(w->scrollBar()->pageStep(), 5);
    w->scrollBar()->setValue(2);
    QCOMPARE(s.scrollPosition(), 2);
    s.setWheelStep(3);
    sendWheel(w, 120);  // one notch up from row 2 ends at row 0
    QCOMPARE(s.scrollPosition(), 0);
    QCOMPARE(w->scrollBar()->value(), 0);
    sendWheel(w, -60);  // half a notch does nothing yet
    QCOMPARE(s.scrollPosition(), 0);
    sendWheel(w, -300);  // with the half notch before, three notches down
    QCOMPARE(s.scrollPosition(), 9);
    sendWheel(w, -1200);
    QCOMPARE(s.scrollPosition(), 15);
}

void C64ScreenWindowTest::toolWindowOfTheMainWindowBelowItsDialogs() {
    Fixture f;
    TfC64Screen* w = f.window();
    // A tool window of the main window: the desktop keeps it above that window only,
    // never above other programs or the program's dialogs.
    QCOMPARE(w->windowType(), Qt::Tool);
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w->parentWidget(), f.form.get());
    f.form->screenAction()->trigger();
    QVERIFY(w->isVisible());
    QVERIFY(w->windowHandle());
    QCOMPARE(w->windowHandle()->transientParent(), f.form->windowHandle());

    // A modal dialog of the main window opened meanwhile is the main window's too and
    // is no more held below the screen window than the main window is.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        seen = true;
        QVERIFY(modal->isModal());
        QCOMPARE(modal->windowHandle()->transientParent(), f.form->windowHandle());
        QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(!modal->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        modal->close();
    });
    f.form->showOptions();
    QVERIFY(seen);
    QVERIFY(w->isVisible());
}

void C64ScreenWindowTest::zoomStaysWithinTheScreenAndScrolls() {
    Fixture f;
    f.form->screenAction()->trigger();
    TfC64Screen* w = f.window();
    C64Screen& s = f.screen();
    for (int i = 0; i < 40; ++i)
        s.addLine("LINE", false);
    const QSize room = w->QWidget::screen()->availableGeometry().size();
    const int bar = w->scrollBar()->width();
    QVERIFY(!w->panBar()->isVisible());
    QCOMPARE(w->scrollBar()->maximum(), 15);

    // Zoom 5 is larger than the screen: the window stays within it, the picture is
    // drawn at the zoom and cut off, the pan bar moves it across and the row scroll bar
    // reaches the last row.
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(w, Qt::Key_Plus);
    QCOMPARE(s.zoom(), 5.0);
    QVERIFY(w->width() <= room.width());
    QVERIFY(w->height() <= room.height());
    QVERIFY(w->width() < 1600 + 17 + bar);
    QVERIFY(w->panBar()->isVisible());
    const QRect area = w->pictureRect();
    QCOMPARE(w->panBar()->maximum(), 1600 - area.width());
    QCOMPARE(w->panBar()->geometry().bottom(), w->height() - 1);
    QCOMPARE(s.shownRows(), area.height() / 40);
    QVERIFY(s.shownRows() < 25);
    QCOMPARE(w->scrollBar()->maximum(), 40 - s.shownRows());
    QCOMPARE(w->scrollBar()->value(), w->scrollBar()->maximum());

    // The picture is drawn at the zoom: the area's first column shows the bitmap's
    // first column five pixels wide, and moving across shows its last column at the
    // area's right edge.
    const Image32& bitmap = s.bitmap();
    const auto bitmapPixel = [&](int x, int y) {
        return bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width + x];
    };
    // The first row shown is text row 40 - shownRows: "LINE" in light blue on blue.
    QImage shot = w->grab().toImage();
    for (int x = 0; x < 32; ++x) {
        QCOMPARE(shot.pixel(area.left() + x * 5 + 2, area.top() + 2 * 5 + 2) & 0xFFFFFFu,
                 bitmapPixel(x, 2));
    }
    w->panBar()->setValue(w->panBar()->maximum());
    shot = w->grab().toImage();
    QCOMPARE(shot.pixel(area.right(), area.top() + 10) & 0xFFFFFFu, bitmapPixel(319, 2));

    // Back at 100% the window fits the picture again.
    QTest::keyClick(w, Qt::Key_Asterisk);
    QCOMPARE(w->size(), QSize(320 + 17 + bar, 200 + 34));
    QVERIFY(!w->panBar()->isVisible());
    QCOMPARE(s.shownRows(), 25);
    QCOMPARE(w->scrollBar()->maximum(), 15);
}

void C64ScreenWindowTest::fileViewerInstance() {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    ScriptedChooser chooser;
    TfC64Screen viewer(TfC64Screen::FileViewerScreen, dialogs, chooser);
    QVERIFY(!viewer.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(viewer.columnsAction()->isVisible());
    QVERIFY(viewer.screen().limited());

    viewer.applyFileViewerSettings(
        IniFile::parse("[TOK64]\nC64Screen 40/80=1\nC64Screen MaxText=400\n"));
    QVERIFY(viewer.screen().columns80());
    QVERIFY(viewer.columnsAction()->isChecked());
    QCOMPARE(viewer.height(), 400 + 34);
    QCOMPARE(viewer.screen().textLimit(), 400);

    // The menu item asks the owner, which re-lays the screen.
    QSignalSpy asked(&viewer, &TfC64Screen::columnsSwitchRequested);
    viewer.columnsAction()->trigger();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked[0][0].toBool(), false);
    viewer.screen().addLine(std::string(80, 'A'), false);
    viewer.switchColumns(false, false);
    QCOMPARE(viewer.screen().columns(), 40);
    QCOMPARE(viewer.screen().lineCount(), 2);
    QCOMPARE(viewer.height(), 200 + 34);

    QSignalSpy closed(&viewer, &TfC64Screen::closed);
    viewer.show();
    viewer.close();
    QCOMPARE(closed.size(), 1);
    QCOMPARE(closed[0][0].toInt(), 1);
}

void C64ScreenWindowTest::saveDialogSuffixFollowsTheFilter() {
    const struct {
        const char* filter;
        const char* suffix;
    } cases[] = {
        {"Complete PNG (*.PNG *.png)", "png"}, {"Bitmap (*.BMP *.bmp)", "bmp"},
        {"Richtext (*.RTF *.rtf)", "rtf"},     {"All FIles (*.*)", ""},
        {"D64 File (*.D64* *.d64*)", ""},      {"Nothing", ""},
    };
    for (const auto& c : cases)
        QCOMPARE(filterSuffix(QString::fromLatin1(c.filter)), QString::fromLatin1(c.suffix));
}

QTEST_MAIN(C64ScreenWindowTest)
#include "C64ScreenWindowTest.moc"
