#include "geos/TfPhotoAlbum.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "geos/GeosPictureWidget.h"
#include "geos/ViewerPicture.h"
#include "platform/Commands.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"

namespace qv::app {

namespace {
constexpr int kTitleHeight = 20;
constexpr int kButtonSize = 26;
// Narrow scraps still leave room for the buttons and the title.
constexpr int kMinimumClientWidth = 160;
}  // namespace

TfPhotoAlbum::TfPhotoAlbum(GeosReaderContext& context, FontView& decoder, FileChooser& chooser,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), decoder_(decoder), chooser_(chooser) {
    setObjectName(QStringLiteral("TfPhotoAlbum"));
    setWindowTitle(QStringLiteral("PhotoAlbum"));
    setFocusPolicy(Qt::StrongFocus);
    album_.buttonPanelHeight = kTitleHeight + kButtonSize + 6;
    picture_ = new GeosPictureWidget(this);
    title_ = new QLabel(this);
    title_->setAlignment(Qt::AlignCenter);
    title_->setAccessibleName(QStringLiteral("Title"));
    prev_ = new QPushButton(QStringLiteral("<"), this);
    prev_->setToolTip(QStringLiteral("prev scrap (page up)"));
    prev_->setAccessibleName(prev_->toolTip());
    prev_->setFocusPolicy(Qt::NoFocus);
    next_ = new QPushButton(QStringLiteral(">"), this);
    next_->setToolTip(QStringLiteral("next scrap (page down)"));
    next_->setAccessibleName(next_->toolTip());
    next_->setFocusPolicy(Qt::NoFocus);
    connect(prev_, &QPushButton::clicked, this, &TfPhotoAlbum::previousScrap);
    connect(next_, &QPushButton::clicked, this, &TfPhotoAlbum::nextScrap);
    buildMenu();
}

void TfPhotoAlbum::buildMenu() {
    menu_ = new QMenu(this);
    QMenu* zoom = menu_->addMenu(QStringLiteral("&Zoom"));
    zoom->addAction(QStringLiteral("&100%\t*"), this, &TfPhotoAlbum::zoom100);
    zoom->addAction(QStringLiteral("Zoom &in\t+"), this, &TfPhotoAlbum::zoomIn);
    zoom->addAction(QStringLiteral("Zoom &out\t-"), this, &TfPhotoAlbum::zoomOut);
    fit_ =
        zoom->addAction(QStringLiteral("&Fit To Window"), this, &TfPhotoAlbum::toggleFitToWindow);
    fit_->setCheckable(true);
    monochrome_ = menu_->addAction(QStringLiteral("&Monochrome scrap"), this,
                                   &TfPhotoAlbum::toggleMonochrome);
    monochrome_->setCheckable(true);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Save as..."), this, &TfPhotoAlbum::saveAs);
    auto* saveKey = new QAction(this);
    saveKey->setShortcuts({QKeySequence(QKeySequence::SaveAs), QKeySequence(QKeySequence::Save)});
    connect(saveKey, &QAction::triggered, this, &TfPhotoAlbum::saveAs);
    addAction(saveKey);
}

int TfPhotoAlbum::open(const std::string& imagePath, const std::string& fileName, int fileOffset,
                       int version) {
    album_.version = version;
    if (album_.loadAlbum(decoder_, context_, imagePath, fileName, fileOffset) != 0)
        return 1;
    if (album_.showAlbumScrap(decoder_, context_, 0) != 0)
        return 1;
    refresh(false);
    return 0;
}

void TfPhotoAlbum::showAlbum() {
    album_.shown();
    refresh(true);
    showInFront(this);
}

void TfPhotoAlbum::refresh(bool sizeWindow) {
    setWindowTitle(qs(album_.caption));
    title_->setText(qs(album_.label));
    setToolTip(qs(album_.hint));
    picture_->setToolTip(toolTip());
    picture_->setAccessibleName(qs(album_.hint));
    picture_->setPicture(album_.picture());
    fit_->setChecked(album_.fitToWindow);
    monochrome_->setChecked(album_.monochrome);
    if (sizeWindow) {
        const QSize want(std::max(kMinimumClientWidth, album_.clientWidth()),
                         album_.clientHeight());
        if (want != size())
            resize(want);
    }
    layoutChildren();
}

void TfPhotoAlbum::layoutChildren() {
    picture_->setGeometry(2, 2, std::max(0, album_.panelWidth()),
                          std::max(0, album_.panelHeight()));
    const int panelTop = height() - album_.buttonPanelHeight;
    title_->setGeometry(0, panelTop + 2, width(), kTitleHeight);
    // The buttons stand either side of the middle.
    const int middle = width() / 2;
    prev_->setGeometry(middle - 35, panelTop + kTitleHeight + 4, kButtonSize, kButtonSize);
    next_->setGeometry(middle + 10, panelTop + kTitleHeight + 4, kButtonSize, kButtonSize);
}

void TfPhotoAlbum::previousScrap() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (album_.previousScrap(decoder_, context_) == 0)
        refresh(true);
    QApplication::restoreOverrideCursor();
}

void TfPhotoAlbum::nextScrap() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (album_.nextScrap(decoder_, context_) == 0)
        refresh(true);
    QApplication::restoreOverrideCursor();
}

void TfPhotoAlbum::zoom100() {
    album_.zoom100();
    refresh(true);
}

void TfPhotoAlbum::zoomIn() {
    album_.zoomIn();
    refresh(true);
}

void TfPhotoAlbum::zoomOut() {
    album_.zoomOut();
    refresh(false);
}

void TfPhotoAlbum::toggleFitToWindow() {
    album_.resized(width(), height());
    album_.toggleFitToWindow();
    refresh(false);
    emit optionsChanged();
}

void TfPhotoAlbum::toggleMonochrome() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    album_.toggleMonochrome(decoder_, context_);
    refresh(false);
    QApplication::restoreOverrideCursor();
    emit monochromeChanged(album_.monochrome);
}

void TfPhotoAlbum::saveAs() {
    savePictureAs(this, chooser_, saveFolder_ ? saveFolder_() : QString(), kGeoPaintSaveFilter,
                  QStringLiteral("BMP"), context_.dialogs, "PhotoAlbum", album_.picture());
}

void TfPhotoAlbum::keyPressEvent(QKeyEvent* event) {
    const bool pad = event->modifiers().testFlag(Qt::KeypadModifier);
    switch (event->key()) {
        case Qt::Key_PageUp:
            previousScrap();
            return;
        case Qt::Key_PageDown:
            nextScrap();
            return;
        case Qt::Key_Asterisk:
            zoom100();
            return;
        case Qt::Key_Plus:
            // "+" off the numeric pad is Shift with "=": 100%.
            pad ? zoomIn() : zoom100();
            return;
        case Qt::Key_Equal:
            zoomIn();
            return;
        case Qt::Key_Minus:
            zoomOut();
            return;
        default:
            QWidget::keyPressEvent(event);
    }
}

void TfPhotoAlbum::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The album keeps the real client size: the window may be wider than it asked
    // for, and the user may size it.
    album_.resized(width(), height());
    layoutChildren();
}

void TfPhotoAlbum::contextMenuEvent(QContextMenuEvent* event) {
    menu_->exec(event->globalPos());
}

}  // namespace qv::app
