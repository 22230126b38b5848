#include "geos/GeosViewers.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <filesystem>

#include "geos/GeoPaint.h"
#include "geos/GeosCatalogue.h"
#include "geos/GeosFont.h"
#include "geos/GeosSettings.h"
#include "geos/PhotoScrap.h"
#include "geos/TfGeoPaint.h"
#include "geos/TfGeoWrite.h"
#include "geos/TfPhotoAlbum.h"
#include "geos/TfShowFont.h"
#include "geos/ViewerPicture.h"
#include "platform/QtText.h"
#include "session/Session.h"

namespace qv::app {

namespace {

// The hourglass while a document is read and drawn.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

GeosViewers::GeosViewers(Session& session, FileChooser& chooser, QWidget* parent)
    : QObject(parent),
      session_(session),
      context_{session.dialogs(), session.listerOptions(), kDefaultC64Palette} {
    geoPaint_ = new TfGeoPaint(context_, chooser, parent);
    font_ = new TfShowFont(context_, chooser, parent);
    album_ = new TfPhotoAlbum(context_, albumDecoder_, chooser, parent);
    geoWrite_ = new TfGeoWrite(context_, chooser, parent);
    const auto folder = [this] { return saveFolder(); };
    geoPaint_->setSaveFolder(folder);
    font_->setSaveFolder(folder);
    album_->setSaveFolder(folder);
    geoWrite_->setSaveFolder(folder);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        font_->view().screenWidth = area.width();
        font_->view().screenHeight = area.height();
    }
    connect(font_, &TfShowFont::optionsChanged, this, &GeosViewers::storeSettings);
    connect(album_, &TfPhotoAlbum::optionsChanged, this, &GeosViewers::storeSettings);
    connect(geoWrite_, &TfGeoWrite::optionsChanged, this, &GeosViewers::storeSettings);
    connect(album_, &TfPhotoAlbum::monochromeChanged, this, &GeosViewers::setFontWindowMonochrome);
    connect(geoWrite_, &TfGeoWrite::monochromeScrapsChanged, this,
            &GeosViewers::setFontWindowMonochrome);
}

GeosViewers::~GeosViewers() = default;

int GeosViewers::wheelStep() const {
    const int steps = wheelSteps_ ? wheelSteps_() : QApplication::wheelScrollLines();
    return steps > 0 ? steps : 3;
}

QString GeosViewers::saveFolder() const {
    return qs(session_.saveFolder());
}

void GeosViewers::applySettings() {
    settingsApplied_ = true;
    const GeosCatalogueSettings& s = session_.catalogue().settings;
    const GeosViewerSettings v = geosViewerSettings(session_.settings().readOrEmpty(), s);
    context_.palette = v.palette;
    FontView& f = font_->view();
    f.spaceBetweenChars = v.spacesBetweenChars;
    f.showGrid = v.showGrid;
    f.gridColour = v.gridColour;
    album_->album().fitToWindow = s.photoAlbumFit;
    GeoWriteView& w = geoWrite_->view();
    w.options = geoWriteOptions(s);
    w.options.monochromeScraps = f.monochromeScrap;
    geoWrite_->setPictureInsertMode(s.ole);
    geoWrite_->syncMenu();
}

void GeosViewers::storeSettings() {
    GeosCatalogueSettings& s = session_.catalogue().settings;
    const FontView& f = font_->view();
    s.spacesBetweenChars = f.spaceBetweenChars;
    s.showGrid = f.showGrid;
    s.photoAlbumFit = album_->album().fitToWindow;
    const GeoWriteOptions& o = geoWrite_->view().options;
    switch (o.scrapNewlines) {
        case ScrapNewlines::Both:
            s.scrapsNewline = 1;
            break;
        case ScrapNewlines::Before:
            s.scrapsNewline = 2;
            break;
        case ScrapNewlines::After:
            s.scrapsNewline = 3;
            break;
        case ScrapNewlines::None:
            // Any value but 1-3 means none; keep one the user wrote by hand.
            if (s.scrapsNewline >= 1 && s.scrapsNewline <= 3)
                s.scrapsNewline = 0;
            break;
    }
    const int mode = geoWrite_->pictureInsertMode();
    if (mode != 0 || (s.ole >= 1 && s.ole <= 3))
        s.ole = mode;
    s.pageNumbers = o.pageNumbers;
    s.header = o.header;
    s.footer = o.footer;
    s.scaleImage21 = o.scaleImage21;
    s.paperFormatA4 = o.paperA4;
    s.showTextPrintColors = o.showPrintColours;
    s.showFontId = o.showFontId;
    s.useFontTable = o.useFontTable;
}

void GeosViewers::setFontWindowMonochrome(bool on) {
    FontView& f = font_->view();
    albumDecoder_.monochromeScrap = on;
    if (f.monochromeScrap == on)
        return;
    if (f.content() == FontViewContent::Scrap)
        font_->toggleMonochromeScrap();  // decodes the shown scrap again
    else
        f.monochromeScrap = on;
    font_->monochromeAction()->setChecked(on);
}

bool GeosViewers::openEntry(int row) {
    GeosCatalogue& catalogue = session_.catalogue();
    if (row < 0 || row >= catalogue.rowCount())
        return false;
    if (!settingsApplied_)
        applySettings();
    const GeosDetailEntry& entry = catalogue.rows()[static_cast<std::size_t>(row)];
    const OpenDecision d = decideOpen(entry, fileExists);
    if (d.kind == OpenKind::None)
        return false;

    BusyCursor busy;
    FontView& f = font_->view();
    // One session: "Cancel" in the cards-repeater message keeps it away in every viewer.
    const bool repeaterOff = f.cardsRepeaterMessageOff || albumDecoder_.cardsRepeaterMessageOff ||
                             geoWrite_->view().cardsRepeaterMessageOff;
    f.cardsRepeaterMessageOff = albumDecoder_.cardsRepeaterMessageOff =
        geoWrite_->view().cardsRepeaterMessageOff = repeaterOff;
    bool shown = false;
    switch (d.kind) {
        case OpenKind::GeoWrite: {
            if (font_->isVisible())
                font_->close();
            geoWrite_->view().options.monochromeScraps = f.monochromeScrap;
            if (geoWrite_->convert(d.imagePath, d.fileName, d.offsetText, d.classText) == 0) {
                geoWrite_->showDocument();
                shown = true;
            }
            break;
        }
        case OpenKind::GeoPaint:
            if (geoPaint_->decode(d.imagePath, d.fileName, d.fileOffset) == 0) {
                geoPaint_->showPicture(wheelStep());
                shown = true;
            }
            break;
        case OpenKind::Font:
            if (renderFont(f, context_, d.imagePath, d.fileName, d.fileOffset) == 0) {
                f.caption = d.fontCaption;
                f.fontItemsVisible = true;
                f.scrapItemVisible = false;
                font_->showPicture(wheelStep());
                shown = true;
            }
            break;
        case OpenKind::PhotoScrap:
            if (decodeScrap(f, context_, d.imagePath, d.fileName, d.fileOffset) == 0) {
                f.caption = "PhotoScrap";
                f.fontItemsVisible = false;
                f.scrapItemVisible = true;
                font_->showPicture(wheelStep());
                shown = true;
            }
            break;
        case OpenKind::PhotoAlbum: {
            if (font_->isVisible())
                font_->close();
            albumDecoder_.monochromeScrap = f.monochromeScrap;
            albumDecoder_.screenWidth = f.screenWidth;
            albumDecoder_.screenHeight = f.screenHeight;
            if (album_->open(d.imagePath, d.fileName, d.fileOffset, d.albumVersion) == 0) {
                album_->showAlbum();
                shown = true;
            }
            break;
        }
        case OpenKind::Icon:
            f.setPicture(iconViewPicture(catalogue.icons(), entry.iconIndex),
                         FontViewContent::Icon);
            f.caption = "Icon";
            f.fontItemsVisible = false;
            f.scrapItemVisible = false;
            font_->showPicture(wheelStep());
            shown = true;
            break;
        case OpenKind::None:
            break;
    }
    const bool off = f.cardsRepeaterMessageOff || albumDecoder_.cardsRepeaterMessageOff ||
                     geoWrite_->view().cardsRepeaterMessageOff;
    f.cardsRepeaterMessageOff = albumDecoder_.cardsRepeaterMessageOff =
        geoWrite_->view().cardsRepeaterMessageOff = off;
    return shown;
}

}  // namespace qv::app
