// The GEOS viewer windows opened from catalogue rows, as a double click opens them: the
// catalogue is filled by listing images made by the test image builder.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QWheelEvent>
#include <set>

#include "AppTestSupport.h"
#include "geos/GeoWriteRulerBar.h"
#include "geos/GeosPictureWidget.h"
#include "geos/GeosViewers.h"
#include "geos/TfGeoPaint.h"
#include "geos/TfGeoWrite.h"
#include "geos/TfPhotoAlbum.h"
#include "geos/TfShowFont.h"
#include "geos/ViewerPicture.h"
#include "listing/ListingRun.h"
#include "platform/RichTextView.h"
#include "session/Session.h"
#include "support/GeoWriteBytes.h"
#include "support/GoldenImage.h"
#include "support/RtfReader.h"

using namespace qv;
using namespace qv::test;
using qv::test::geowrite::operator<<;

namespace {

// A GeoPaint band: stripes of red on blue.
Bytes paintBand() {
    Bytes b(1448, 0);
    for (int i = 0; i < 1280; ++i)
        b[static_cast<std::size_t>(i)] = 0xF0;
    for (int i = 1288; i < 1448; ++i)
        b[static_cast<std::size_t>(i)] = 0x26;
    return geowrite::literalRuns(b);
}

// One font size of height 8: 95 characters three pixels wide.
Bytes fontRecord() {
    const int height = 8, widthBits = 95 * 3, bytesPerRow = (widthBits + 7) / 8;
    const int table = 8, stream = table + 2 * 96;
    Bytes r(static_cast<std::size_t>(stream + bytesPerRow * height), 0);
    r[0] = 6;
    r[1] = static_cast<std::uint8_t>(bytesPerRow);
    r[3] = static_cast<std::uint8_t>(height);
    r[4] = table;
    r[6] = static_cast<std::uint8_t>(stream);
    for (int k = 0; k <= 95; ++k) {
        r[static_cast<std::size_t>(table + 2 * k)] = static_cast<std::uint8_t>(3 * k);
        r[static_cast<std::size_t>(table + 2 * k + 1)] = static_cast<std::uint8_t>((3 * k) >> 8);
    }
    for (int n = 0; n < height; ++n) {
        for (int b = 0; b < widthBits; ++b) {
            if ((b * 7 + n * 3) % 5 < 2)
                r[static_cast<std::size_t>(stream + n * bytesPerRow + b / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (b % 8));
        }
    }
    return r;
}

// A photo scrap in colour: `cards` wide, 16 rows, every byte `fill`, colour 0x15.
Bytes scrapRecord(int cards, std::uint8_t fill) {
    const int bitmap = cards * 16, colours = cards * 2;
    return {static_cast<std::uint8_t>(cards),   16,  0, static_cast<std::uint8_t>(bitmap), fill,
            static_cast<std::uint8_t>(colours), 0x15};
}

InfoBlockSpec info(std::uint8_t geosType, bool vlir, const std::string& cls) {
    InfoBlockSpec i;
    i.geosType = geosType;
    i.structure = vlir ? 1 : 0;
    i.className = cls;
    i.author = "Tester";
    for (std::size_t k = 0; k < i.icon.size(); ++k)
        i.icon[k] = static_cast<std::uint8_t>(k % 3 == 0 ? 0xFF : 0x81);
    return i;
}

// Two paragraphs of different indents on one page of a version 2.0 document.
Bytes geoWritePage() {
    geowrite::Ruler plain;
    geowrite::Ruler indented;
    indented.left = 100;
    indented.indent = 60;
    Bytes page;
    page << plain.escape() << geowrite::font(0, 12, 0) << geowrite::text("First paragraph")
         << Bytes{13} << indented.escape() << geowrite::text("Second paragraph") << Bytes{13};
    return page;
}

// Row numbers of the catalogue, in the order the disk lists them.
enum Row { WriteRow, PaintRow, FontRow, ScrapRow, AlbumRow, OtherRow, kRows };

}  // namespace

class GeosViewersTest : public QObject {
    Q_OBJECT

    struct World {
        TempDir tmp;
        ScriptedDialogHost host;
        ScriptedChooser chooser;
        Session session{host, IniFile{}};
        QWidget parent;
        app::GeosViewers viewers{session, chooser, &parent};
        std::string image;

        World() {
            viewers.setWheelSteps([] { return 5; });
            DiskBuilder d;
            d.format("GEOS DISK", "ID").geosSignature();
            d.addGeosVlir("LETTER", info(7, true, "Write Image V2.0"), {geoWritePage()});
            d.addGeosVlir("PICTURE", info(7, true, "Paint Image V1.1"),
                          {paintBand(), paintBand(), paintBand()});
            d.addGeosVlir("FONTY", info(8, true, "Fonty V1.0"), {fontRecord()});
            d.addGeosSequential("SCRAP", info(4, false, "Photo Scrap V1.1"), scrapRecord(4, 0xCC));
            d.addGeosVlir("ALBUM", info(7, true, "Photo Album V2.1"),
                          {scrapRecord(2, 0xF0), scrapRecord(3, 0x0F), scrapRecord(4, 0xAA),
                           scrapRecord(5, 0x55),
                           Bytes{'O', 'n', 'e', 0, 'T', 'w', 'o', 0, 'T', 'h', 'r', 'e', 'e', 0,
                                 'F', 'o', 'u', 'r', 0}});
            d.addGeosVlir("MYSTERY", info(7, true, "Mystery V1.0"), {Bytes(10, 1)});
            image = tmp.file("geos.d64");
            d.save(image);
            Listing listing(session.listerOptions(), session.dialogs());
            listing.setGeosSink(&session.catalogue());
            listing.fileList = {image};
            listing.listFiles(RunKind::Load);
        }
        const GeosDetailEntry& row(int r) {
            return session.catalogue().rows()[static_cast<std::size_t>(r)];
        }
        QString caption(const std::string& name) { return qs(image + " -> \"" + name + "\""); }
    };

    static QString qs(const std::string& s) { return QString::fromStdString(s); }

  private slots:
    void catalogueHasEveryKind() {
        World w;
        QCOMPARE(w.session.catalogue().rowCount(), int(kRows));
        QCOMPARE(w.row(FontRow).text(kColFileType), std::string("FON"));
    }

    // Each rule opens its window with its caption and its menu items.
    void openEntryRules() {
        World w;
        app::TfShowFont* font = w.viewers.fontWindow();
        struct Case {
            Row row;
            QWidget* window;
            QString caption;
            bool fontItems, scrapItem;
        };
        const Case cases[] = {
            {FontRow, font,
             qs(w.row(FontRow).text(kColFileName) + " " + w.row(FontRow).text(kColAuthor) + " ; " +
                w.row(FontRow).text(kColApplication)),
             true, false},
            {ScrapRow, font, QStringLiteral("PhotoScrap"), false, true},
            {PaintRow, w.viewers.geoPaintWindow(), w.caption("PICTURE"), false, false},
            {WriteRow, w.viewers.geoWriteWindow(), w.caption("LETTER"), false, false},
            {OtherRow, font, QStringLiteral("Icon"), false, false},
            {AlbumRow, w.viewers.albumWindow(), QStringLiteral("1/4"), false, false},
        };
        for (const Case& c : cases) {
            const bool fontWasOpen = font->isVisible();
            QVERIFY2(w.viewers.openEntry(c.row), qPrintable(c.caption));
            QVERIFY(c.window->isVisible());
            QCOMPARE(c.window->windowTitle(), c.caption);
            if (c.window == font) {
                QCOMPARE(font->spaceAction()->isVisible(), c.fontItems);
                QCOMPARE(font->gridAction()->isVisible(), c.fontItems);
                QCOMPARE(font->monochromeAction()->isVisible(), c.scrapItem);
            }
            // GeoWrite and the album close the font window.
            if (c.row == WriteRow || c.row == AlbumRow) {
                QVERIFY(fontWasOpen);
                QVERIFY(!font->isVisible());
            }
        }
        QVERIFY(w.host.errors.empty());
        QVERIFY(!w.viewers.openEntry(kRows));
        QVERIFY(!w.viewers.openEntry(-1));
    }

    // A row of no viewer shows its icon at 192 x 168, each icon pixel an 8 x 8 square.
    void iconIsEnlargedWithoutSmoothing() {
        World w;
        QVERIFY(w.viewers.openEntry(OtherRow));
        const FontView& v = w.viewers.fontWindow()->view();
        QCOMPARE(v.picture().width, 192);
        QCOMPARE(v.picture().height, 168);
        const QImage shown = w.viewers.fontWindow()->pictureWidget()->grab().toImage();
        QCOMPARE(shown.size(), QSize(192, 168));
        std::set<QRgb> colours;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                colours.insert(shown.pixel(x, y) & 0xFFFFFF);
        QCOMPARE(colours.size(), std::size_t(2));  // no blended pixels
        const Image1& icon = w.session.catalogue().icons().at(w.row(OtherRow).iconIndex);
        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 24; ++x)
                QCOMPARE(shown.pixel(8 * x + 7, 8 * y + 7) & 0xFFFFFF,
                         icon.palette[icon.get(x, y) ? 1 : 0]);
    }

    // A row whose image is gone opens nothing and says nothing.
    void missingImageOpensNothing() {
        World w;
        std::filesystem::remove(w.image);
        QVERIFY(!w.viewers.openEntry(PaintRow));
        QVERIFY(!w.viewers.geoPaintWindow()->isVisible());
        QVERIFY(w.host.errors.empty());
    }

    // Every viewer as a screen reader and the keyboard meet it.
    void everyViewerControlHasAnAccessibleName() {
        World w;
        for (const int row : {WriteRow, PaintRow, FontRow, ScrapRow, AlbumRow})
            QVERIFY(w.viewers.openEntry(row));
        QApplication::processEvents();
        QCOMPARE(test::unnamedControls(&w.parent), QStringList());
        QCOMPARE(test::menuMnemonicFaults(&w.parent), QStringList());
        QStringList clashes;
        for (QWidget* win : QApplication::topLevelWidgets()) {
            if (win->isVisible())
                clashes += test::mnemonicClashes(win);
        }
        QCOMPARE(clashes, QStringList());
    }

    void geoPaintMonochromeAndWheel() {
        World w;
        QVERIFY(w.viewers.openEntry(PaintRow));
        app::TfGeoPaint* paint = w.viewers.geoPaintWindow();
        QCOMPARE(paint->view().wheelStep, 5);
        auto colours = [&] {
            std::set<std::uint32_t> s;
            const Image32& p = paint->view().picture();
            for (int y = 0; y < 48; ++y)
                for (int x = 0; x < 640; ++x)
                    s.insert(p.at(x, y));
            return s;
        };
        const C64Palette& palette = kDefaultC64Palette;
        QCOMPARE(colours(), (std::set<std::uint32_t>{palette[2], palette[6]}));
        paint->monochromeAction()->trigger();
        QVERIFY(paint->monochromeAction()->isChecked());
        QCOMPARE(colours(), (std::set<std::uint32_t>{0x000000, 0xFFFFFF}));
        // The wheel scrolls 8 pixels times the wheel step per notch.
        paint->resize(664, 400);
        paint->show();
        QApplication::processEvents();
        QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                         Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(paint->scrollArea()->viewport(), &down);
        QCOMPARE(paint->scrollArea()->verticalScrollBar()->value(), 40);
    }

    void fontZoomKeysGridAndSettings() {
        World w;
        QVERIFY(w.viewers.openEntry(FontRow));
        app::TfShowFont* font = w.viewers.fontWindow();
        FontView& v = font->view();
        QVERIFY(qs(v.hint).startsWith(QStringLiteral("Drawn Sizes through VLIR: 8")));
        QCOMPARE(font->toolTip(), qs(v.hint));
        const int natural = v.picture().width;
        struct Step {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            double zoom;
        };
        const Step steps[] = {
            {Qt::Key_Equal, Qt::NoModifier, 1.25},
            {Qt::Key_Plus, Qt::KeypadModifier, 1.5},
            {Qt::Key_Minus, Qt::NoModifier, 1.25},
            {Qt::Key_Asterisk, Qt::KeypadModifier, 1.0},
            {Qt::Key_Minus, Qt::KeypadModifier, 0.75},
            {Qt::Key_Plus, Qt::ShiftModifier, 1.0},
            // "+" typed on the main keyboard zooms in, as its printed symbol says.
            {Qt::Key_Plus, Qt::ShiftModifier, 1.25},
        };
        for (const Step& s : steps) {
            QTest::keyClick(font, s.key, s.modifiers);
            QCOMPARE(v.zoomFactor(), s.zoom);
            QCOMPARE(font->pictureWidget()->width(), static_cast<int>(natural * s.zoom));
        }
        // "Show Grid" draws the font again and goes into the settings.
        const Image32 before = v.picture();
        font->gridAction()->trigger();
        QVERIFY(v.showGrid);
        QVERIFY(v.picture().pixels != before.pixels);
        QVERIFY(w.session.catalogue().settings.showGrid);
        font->spaceAction()->trigger();
        QVERIFY(!w.session.catalogue().settings.spacesBetweenChars);
        IniFile ini;
        w.session.catalogue().saveSettings(ini);
        const GeosCatalogueSettings back = GeosCatalogueSettings::load(ini);
        QVERIFY(back.showGrid);
        QVERIFY(!back.spacesBetweenChars);
    }

    void fontWindowSavesBitmapAndPng() {
        World w;
        QVERIFY(w.viewers.openEntry(FontRow));
        app::TfShowFont* font = w.viewers.fontWindow();
        const std::string bmp = w.tmp.file("sheet.bmp"), png = w.tmp.file("sheet");
        w.chooser.saveAnswers.push_back(app::FileChooser::SaveChoice{qs(bmp), 0});
        w.chooser.saveAnswers.push_back(app::FileChooser::SaveChoice{qs(png), 1});
        font->saveAction()->trigger();
        font->saveAction()->trigger();
        QCOMPARE(w.chooser.saveRequests.size(), std::size_t(2));
        QCOMPARE(w.chooser.saveRequests[0].caption, QStringLiteral("Save"));
        QCOMPARE(w.chooser.saveRequests[0].filter, std::string(kFontSaveFilter));
        const std::optional<Image32> a = decodeBmp(readBytes(bmp));
        const std::optional<Image32> b = decodePng(readBytes(png));
        QVERIFY(a && b);
        QVERIFY(samePixels(*a, font->view().picture()));
        QVERIFY(samePixels(*b, font->view().picture()));
        // A folder that cannot be written to is reported.
        w.chooser.saveAnswers.push_back(
            app::FileChooser::SaveChoice{qs(w.tmp.file("no/such/folder/x.bmp")), 0});
        font->saveAction()->trigger();
        QCOMPARE(w.host.errors.size(), std::size_t(1));
    }

    void albumPagesAndZooms() {
        World w;
        QVERIFY(w.viewers.openEntry(AlbumRow));
        app::TfPhotoAlbum* album = w.viewers.albumWindow();
        QCOMPARE(album->titleLabel()->text(), QStringLiteral("One"));
        QCOMPARE(album->toolTip(), QStringLiteral("Size: 16x16"));
        QTest::keyClick(album, Qt::Key_PageDown);
        QCOMPARE(album->windowTitle(), QStringLiteral("2/4"));
        QCOMPARE(album->titleLabel()->text(), QStringLiteral("Two"));
        QTest::keyClick(album, Qt::Key_PageUp);
        QTest::keyClick(album, Qt::Key_PageUp);
        QCOMPARE(album->windowTitle(), QStringLiteral("4/4"));
        QCOMPARE(album->toolTip(), QStringLiteral("Size: 40x16"));
        QTest::keyClick(album, Qt::Key_Equal);
        QTest::keyClick(album, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(album->album().zoomFactor(), 2.0);
        QCOMPARE(album->pictureWidget()->size(), QSize(80, 32));
        QVERIFY(album->width() >= 84);
        album->nextButton()->click();
        QCOMPARE(album->windowTitle(), QStringLiteral("1/4"));
        // "Monochrome scrap" in the album: the font window follows.
        album->monochromeAction()->trigger();
        QVERIFY(w.viewers.fontWindow()->view().monochromeScrap);
        const Image32& p = album->album().picture();
        for (std::uint32_t px : p.pixels)
            QVERIFY(px == 0x000000 || px == 0xFFFFFF);
        album->fitAction()->trigger();
        QVERIFY(w.session.catalogue().settings.photoAlbumFit);
    }

    // The ruler follows the paragraph at the cursor, and a dropped marker sets it.
    void geoWriteRulerFollowsAndSetsIndents() {
        World w;
        w.session.catalogue().settings.pageNumbers = false;
        QVERIFY(w.viewers.openEntry(WriteRow));
        app::TfGeoWrite* write = w.viewers.geoWriteWindow();
        QApplication::processEvents();
        app::RichTextView* text = write->textView();
        QCOMPARE(text->document()->blockCount() >= 2, true);
        QCOMPARE(text->document()->begin().text(), QStringLiteral("First paragraph"));
        app::GeoWriteRulerBar* ruler = write->ruler();
        const RulerMarkers first = ruler->markers();
        QTextCursor c = text->textCursor();
        c.movePosition(QTextCursor::NextBlock);
        text->setTextCursor(c);
        const RulerMarkers second = ruler->markers();
        QVERIFY(second.left > first.left);
        QVERIFY(second.firstLine != second.left);

        // Drag the left marker of the second paragraph 40 pixels to the right.
        write->show();
        QApplication::processEvents();
        const int y = app::GeoWriteRulerBar::kHeight - 6;
        const int x = second.left + 6;
        const int before = write->view().document().paragraphFormat(1).leftIndent;
        QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(x, y));
        QMouseEvent move(QEvent::MouseMove, QPointF(x + 40, y),
                         ruler->mapToGlobal(QPointF(x + 40, y)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(ruler, &move);
        QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(x + 40, y));
        const int after = write->view().document().paragraphFormat(1).leftIndent;
        QCOMPARE(after - before, 20 * static_cast<int>(40 / write->view().rulerScale()));
        QVERIFY(ruler->markers().left > second.left);
        QCOMPARE(text->textCursor().block().blockFormat().leftMargin(),
                 after / 20.0 * write->view().rulerScale());
        // The first paragraph stays as it was.
        QCOMPARE(write->view().document().paragraphFormat(0).leftIndent, 0);
    }

    void geoWriteOptionsConvertAgainAndSave() {
        World w;
        QVERIFY(w.viewers.openEntry(WriteRow));
        app::TfGeoWrite* write = w.viewers.geoWriteWindow();
        QVERIFY(write->textView()->toPlainText().contains(QStringLiteral("------------page 1")));
        QAction* pages = write->optionAction(QStringLiteral("Show Page Numbers"));
        QVERIFY(pages && pages->isChecked());
        pages->trigger();
        QVERIFY(!write->textView()->toPlainText().contains(QStringLiteral("page 1")));
        QVERIFY(!w.session.catalogue().settings.pageNumbers);
        // No header or footer record: their items cannot be ticked.
        QVERIFY(!write->optionAction(QStringLiteral("Show Header"))->isEnabled());
        QVERIFY(!write->optionAction(QStringLiteral("Show Footer"))->isEnabled());
        // Letter changes only what is saved.
        write->optionAction(QStringLiteral("Letter"))->trigger();
        QVERIFY(!w.session.catalogue().settings.paperFormatA4);
        const std::string path = w.tmp.file("letter.rtf");
        w.chooser.saveAnswers.push_back(app::FileChooser::SaveChoice{qs(path), 0});
        write->saveAs();
        QCOMPARE(w.chooser.saveRequests.back().filter, std::string("Richtext (*.RTF)|*.RTF"));
        const std::string rtf = readFile(path);
        QVERIFY(rtf.find("\\pard\\margl1728\\margr1771") != std::string::npos);
        const std::optional<RichDocument> back = readRtf(rtf, CodePage::Windows1252);
        QVERIFY(back);
        QVERIFY(back->text.find("Second paragraph") != std::string::npos);
        // Without a [FontTable] both table items only say so.
        write->optionAction(QStringLiteral("Use FontID Lookup Table"))->trigger();
        QVERIFY(!write->optionAction(QStringLiteral("Use FontID Lookup Table"))->isChecked());
        write->showFontTable();
        QCOMPARE(w.host.messages.size(), std::size_t(2));
        QVERIFY(w.host.messages[0].starts_with("You haven't defined a FontID Lookup Table"));
    }

    void geoWriteFontTableDialog() {
        World w;
        w.session.catalogue().settings.fontTable.present = true;
        w.session.catalogue().settings.fontTable.entries = {{0, "Helvetica"}, {3, "Times"}};
        QVERIFY(w.viewers.openEntry(WriteRow));
        app::TfGeoWrite* write = w.viewers.geoWriteWindow();
        QString shown;
        QTimer::singleShot(0, [&] {
            QDialog* d = write->fontTableDialog();
            if (!d)
                return;
            shown = d->windowTitle() + QString::number(d->width()) + "|" +
                    d->findChild<QPlainTextEdit*>()->toPlainText();
            d->reject();
        });
        write->showFontTable();
        QCOMPARE(shown, QStringLiteral("FontID Lookup Table400|0=Helvetica\n3=Times\n"));
    }

    // The ruler as drawn, black on white: its inch marks and the markers of a paragraph.
    void rulerGolden() {
        app::GeoWriteRulerBar ruler;
        ruler.resize(600, app::GeoWriteRulerBar::kHeight);
        ruler.setMarks(rulerMarks(GeoWriteLayout::Normal, 0.9, 1.0));
        ParagraphFormat p;
        p.leftIndent = 20 * 60;
        p.firstLineIndent = -20 * 30;
        p.rightIndent = 20 * 40;
        ruler.setMarkers(rulerMarkers(p, 4.0 / 3.0, 596));
        QCOMPARE(ruler.hintAt(rulerMarks(GeoWriteLayout::Normal, 0.9, 1.0)[0].x),
                 QStringLiteral("2"));
        const QImage grab = ruler.grab().toImage().convertToFormat(QImage::Format_RGB32);
        Image32 picture(grab.width(), grab.height());
        for (int y = 0; y < grab.height(); ++y)
            for (int x = 0; x < grab.width(); ++x)
                picture.at(x, y) = grab.pixel(x, y) & 0xFFFFFF;
        const std::optional<Image1> two = toTwoColour(picture, 0xFFFFFF, 0x000000);
        QVERIFY(two);
        QVERIFY(matchesGolden(*two, goldenDir("geos") / "window_ruler.bmp"));
    }

    // The font window's picture as the window shows it, at 100%.
    void fontWindowGolden() {
        World w;
        QVERIFY(w.viewers.openEntry(FontRow));
        const QImage grab = w.viewers.fontWindow()->pictureWidget()->grab().toImage();
        Image32 picture(grab.width(), grab.height());
        for (int y = 0; y < grab.height(); ++y)
            for (int x = 0; x < grab.width(); ++x)
                picture.at(x, y) = grab.pixel(x, y) & 0xFFFFFF;
        const std::optional<Image1> two = toTwoColour(picture, 0xFFFFFF, 0x000000);
        QVERIFY(two);
        QVERIFY(matchesGolden(*two, goldenDir("geos") / "window_font_sheet.bmp"));
    }
};

QTEST_MAIN(GeosViewersTest)
#include "GeosViewersTest.moc"
