#include "geos/TfGeoWrite.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QVBoxLayout>
#include <filesystem>

#include "geos/GeoWriteRulerBar.h"
#include "geos/GeoWriteText.h"
#include "host/Dialogs.h"
#include "platform/Commands.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/RichTextView.h"

namespace qv::app {

namespace {

const char* const kRtfFilter = "Richtext (*.RTF)|*.RTF";

struct NewlineItem {
    const char* caption;
    ScrapNewlines value;
};
constexpr NewlineItem kNewlineItems[] = {{"&before", ScrapNewlines::Before},
                                         {"&after", ScrapNewlines::After},
                                         {"b&oth", ScrapNewlines::Both},
                                         {"&none", ScrapNewlines::None}};

struct InsertItem {
    const char* caption;
    int mode;
};
constexpr InsertItem kInsertItems[] = {
    {"From &ClipBoard", 0}, {"From &RTF", 1}, {"OLE From &File", 2}, {"OLE From &Object", 3}};

}  // namespace

TfGeoWrite::TfGeoWrite(GeosReaderContext& context, FileChooser& chooser, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), chooser_(chooser) {
    setObjectName(QStringLiteral("TfGeoWrite"));
    setWindowTitle(QStringLiteral("GeoWrite"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ruler_ = new GeoWriteRulerBar(this);
    layout->addWidget(ruler_);
    text_ = new RichTextView(this);
    text_->setAccessibleName(QStringLiteral("GeoWrite document"));
    text_->setWordWrap(true);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setContextMenuPolicy(Qt::NoContextMenu);
    layout->addWidget(text_);
    connect(text_, &QTextEdit::cursorPositionChanged, this, &TfGeoWrite::updateRuler);
    connect(ruler_, &GeoWriteRulerBar::markerDropped, this, &TfGeoWrite::dropMarker);
    buildMenu();
    resize(640, 700);
}

QAction* TfGeoWrite::addCheck(QMenu* menu, const QString& caption, bool GeoWriteOptions::*option) {
    QAction* a = menu->addAction(caption);
    a->setCheckable(true);
    connect(a, &QAction::triggered, this, [this, option](bool on) {
        view_.options.*option = on;
        convertAgain();
        emit optionsChanged();
    });
    return a;
}

void TfGeoWrite::buildMenu() {
    menu_ = new QMenu(this);
    options_ = menu_->addMenu(QStringLiteral("&Options"));

    QMenu* insert = options_->addMenu(QStringLiteral("&Insert PhotoScraps"));
    insertGroup_ = new QActionGroup(this);
    for (const InsertItem& item : kInsertItems) {
        QAction* a = insert->addAction(QString::fromLatin1(item.caption));
        a->setCheckable(true);
        a->setData(item.mode);
        insertGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, mode = item.mode] {
            insertMode_ = mode;
            convertAgain();
            emit optionsChanged();
        });
    }

    QMenu* newlines = options_->addMenu(QStringLiteral("Insert &newlines for PhotoScraps"));
    newlineGroup_ = new QActionGroup(this);
    for (const NewlineItem& item : kNewlineItems) {
        QAction* a = newlines->addAction(QString::fromLatin1(item.caption));
        a->setCheckable(true);
        a->setData(static_cast<int>(item.value));
        newlineGroup_->addAction(a);
        connect(a, &QAction::triggered, this, [this, value = item.value] {
            view_.options.scrapNewlines = value;
            convertAgain();
            emit optionsChanged();
        });
    }

    QAction* mono = options_->addAction(QStringLiteral("&Monochrome Scraps"));
    mono->setCheckable(true);
    mono->setObjectName(QStringLiteral("monochromeScraps"));
    connect(mono, &QAction::triggered, this, [this](bool on) {
        view_.options.monochromeScraps = on;
        emit monochromeScrapsChanged(on);
        convertAgain();
        emit optionsChanged();
    });

    QMenu* paper = options_->addMenu(QStringLiteral("&Paperformat"));
    paperGroup_ = new QActionGroup(this);
    for (const bool a4 : {true, false}) {
        QAction* a = paper->addAction(a4 ? QStringLiteral("&A4") : QStringLiteral("&Letter"));
        a->setCheckable(true);
        a->setData(a4);
        paperGroup_->addAction(a);
        // The paper only changes what later saves write.
        connect(a, &QAction::triggered, this, [this, a4] {
            view_.options.paperA4 = a4;
            emit optionsChanged();
        });
    }

    addCheck(options_, QStringLiteral("S&cale Image2.1 to Image2.0"),
             &GeoWriteOptions::scaleImage21);
    addCheck(options_, QStringLiteral("Show P&age Numbers"), &GeoWriteOptions::pageNumbers);
    addCheck(options_, QStringLiteral("Show Print&Text Colors"),
             &GeoWriteOptions::showPrintColours);
    addCheck(options_, QStringLiteral("Show &FontID"), &GeoWriteOptions::showFontId);
    options_->addAction(QStringLiteral("Show FontID &Lookup Table..."), this,
                        &TfGeoWrite::showFontTable);
    useTable_ = options_->addAction(QStringLiteral("Use FontID Lookup Ta&ble"));
    useTable_->setCheckable(true);
    connect(useTable_, &QAction::triggered, this, &TfGeoWrite::toggleUseFontTable);
    header_ = addCheck(options_, QStringLiteral("Show &Header"), &GeoWriteOptions::header);
    footer_ = addCheck(options_, QStringLiteral("Show F&ooter"), &GeoWriteOptions::footer);

    menu_->addSeparator();
    QAction* save = menu_->addAction(QStringLiteral("&Save as..."), this, &TfGeoWrite::saveAs);
    save->setShortcuts({QKeySequence(QKeySequence::SaveAs), QKeySequence(QKeySequence::Save)});
    save->setShortcutContext(Qt::WindowShortcut);
    addAction(save);
    syncMenu();
}

QAction* TfGeoWrite::optionAction(const QString& caption) const {
    std::vector<QMenu*> menus{options_};
    while (!menus.empty()) {
        QMenu* m = menus.back();
        menus.pop_back();
        for (QAction* a : m->actions()) {
            if (a->menu())
                menus.push_back(a->menu());
            else if (QString(a->text()).remove(QLatin1Char('&')) == caption)
                return a;
        }
    }
    return nullptr;
}

void TfGeoWrite::setPictureInsertMode(int mode) {
    insertMode_ = mode >= 1 && mode <= 3 ? mode : 0;
    syncMenu();
}

void TfGeoWrite::syncMenu() {
    const GeoWriteOptions& o = view_.options;
    for (QAction* a : insertGroup_->actions())
        a->setChecked(a->data().toInt() == insertMode_);
    for (QAction* a : newlineGroup_->actions())
        a->setChecked(a->data().toInt() == static_cast<int>(o.scrapNewlines));
    for (QAction* a : paperGroup_->actions())
        a->setChecked(a->data().toBool() == o.paperA4);
    auto check = [this](const char* caption, bool on) {
        if (QAction* a = optionAction(QString::fromLatin1(caption)))
            a->setChecked(on);
    };
    check("Monochrome Scraps", o.monochromeScraps);
    check("Scale Image2.1 to Image2.0", o.scaleImage21);
    check("Show Page Numbers", o.pageNumbers);
    check("Show PrintText Colors", o.showPrintColours);
    check("Show FontID", o.showFontId);
    check("Use FontID Lookup Table", o.useFontTable);
    header_->setChecked(o.header);
    footer_->setChecked(o.footer);
    header_->setEnabled(view_.headerEnabled());
    footer_->setEnabled(view_.footerEnabled());
}

int TfGeoWrite::convert(const std::string& imagePath, const std::string& fileName,
                        const std::string& fileOffsetText, const std::string& classText) {
    view_.screenScale = logicalDpiX() / 96.0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int result =
        view_.convertGeoWrite(context_, imagePath, fileName, fileOffsetText, classText);
    if (result == 0)
        showConverted();
    QApplication::restoreOverrideCursor();
    return result;
}

void TfGeoWrite::convertAgain() {
    const std::string path = view_.storedImagePath();
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) {
        syncMenu();
        return;
    }
    view_.screenScale = logicalDpiX() / 96.0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    view_.convertAgain(context_);
    // A conversion that stopped keeps what it converted before.
    showConverted();
    QApplication::restoreOverrideCursor();
}

void TfGeoWrite::showConverted() {
    setWindowTitle(qs(view_.caption()));
    text_->suspendUpdates();
    fillGeoWriteDocument(*text_->document(), view_.document(), view_.rulerScale());
    text_->resumeUpdates();
    text_->moveCursor(QTextCursor::Start);
    ruler_->setMarks(
        rulerMarks(view_.layout(), view_.fontScale() / view_.screenScale, view_.screenScale));
    // The view is as wide as the page's text.
    const int extra = 2 * text_->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width = view_.viewWidth() + extra;
    if (this->width() != width)
        resize(width, height());
    if (view_.layout() == GeoWriteLayout::Wide && screen()) {
        const QRect area = screen()->availableGeometry();
        if (frameGeometry().right() > area.right())
            move(std::max(area.left(), area.right() - frameGeometry().width()), y());
    }
    syncMenu();
    updateRuler();
}

void TfGeoWrite::showDocument() {
    showInFront(this);
    updateRuler();
}

int TfGeoWrite::currentParagraph() const {
    return text_->textCursor().blockNumber();
}

void TfGeoWrite::updateRuler() {
    const ParagraphFormat& p =
        view_.document().paragraphFormat(static_cast<std::size_t>(currentParagraph()));
    ruler_->setMarkers(rulerMarkers(p, view_.rulerScale(), text_->viewport()->width()));
}

void TfGeoWrite::dropMarker(RulerMarker marker, int x) {
    const auto n = static_cast<std::size_t>(currentParagraph());
    const ParagraphFormat p = droppedRulerMarker(view_.document().paragraphFormat(n), marker, x,
                                                 kDragOffset, view_.rulerScale(), ruler_->width());
    if (view_.setParagraphFormat(n, p)) {
        QTextCursor c = text_->textCursor();
        c.setBlockFormat(geoWriteBlockFormat(p, view_.rulerScale()));
    }
    updateRuler();
}

void TfGeoWrite::saveAs() {
    const QString folder = saveFolder_ ? saveFolder_() : QString();
    const std::optional<FileChooser::SaveChoice> choice =
        chooser_.saveFile(this, QStringLiteral("Save"), folder, kRtfFilter, QStringLiteral("RTF"));
    if (!choice)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    view_.saveGeoWriteRtf(context_.dialogs, ss(choice->path));
    QApplication::restoreOverrideCursor();
}

void TfGeoWrite::showFontTable() {
    if (!view_.options.hasFontTable) {
        context_.dialogs.message(missingFontTableMessage());
        return;
    }
    if (!fontTableDialog_) {
        fontTableDialog_ = new QDialog(this);
        fontTableDialog_->setObjectName(QStringLiteral("FontIdLookupTable"));
        fontTableDialog_->setWindowTitle(QStringLiteral("FontID Lookup Table"));
        fontTableDialog_->setModal(true);
        fontTableDialog_->resize(400, 400);
        auto* layout = new QVBoxLayout(fontTableDialog_);
        auto* list = new QPlainTextEdit(fontTableDialog_);
        list->setObjectName(QStringLiteral("fontTableText"));
        list->setAccessibleName(QStringLiteral("FontID Lookup Table"));
        list->setReadOnly(true);
        layout->addWidget(list);
    }
    auto* list = fontTableDialog_->findChild<QPlainTextEdit*>(QStringLiteral("fontTableText"));
    list->setPlainText(qs(fontTableListing(view_.options.fontTable)));
    fontTableDialog_->exec();
}

void TfGeoWrite::toggleUseFontTable() {
    if (!view_.options.hasFontTable) {
        useTable_->setChecked(view_.options.useFontTable);
        context_.dialogs.message(missingFontTableMessage());
        return;
    }
    view_.options.useFontTable = !view_.options.useFontTable;
    convertAgain();
    emit optionsChanged();
}

void TfGeoWrite::contextMenuEvent(QContextMenuEvent* event) {
    menu_->exec(event->globalPos());
}

void TfGeoWrite::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateRuler();
}

}  // namespace qv::app
