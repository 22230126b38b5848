#include "geos/TfShowFont.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "geos/GeosPictureWidget.h"
#include "geos/ViewerPicture.h"
#include "platform/Commands.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "screen/C64Screen.h"

namespace qv::app {

namespace {

// The zoom command of a key, by the character it types as on the C64 screen: "*"
// shows 100%, "+" zooms in, "-" zooms out, from the numeric pad or the main keyboard;
// "=" zooms in too, being the "+" key without Shift on US keyboards.
ZoomKey viewerZoomKey(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Asterisk:
            return zoomKey('*');
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return zoomKey('+');
        case Qt::Key_Minus:
            return zoomKey('-');
        default:
            return ZoomKey::None;
    }
}
}  // namespace

TfShowFont::TfShowFont(GeosReaderContext& context, FileChooser& chooser, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), chooser_(chooser) {
    setObjectName(QStringLiteral("TfShowFont"));
    setWindowTitle(QStringLiteral("ShowFont"));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setFocusPolicy(Qt::NoFocus);
    picture_ = new GeosPictureWidget;
    scroll_->setWidget(picture_);
    scroll_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_);
    buildMenu();
    view_.screenWidth = 1920;
    view_.screenHeight = 1080;
}

void TfShowFont::buildMenu() {
    menu_ = new QMenu(this);
    QMenu* zoom = menu_->addMenu(QStringLiteral("&Zoom"));
    zoom->addAction(QStringLiteral("&100%\t*"), this, &TfShowFont::zoom100);
    zoom->addAction(QStringLiteral("Zoom &in\t+"), this, &TfShowFont::zoomIn);
    zoom->addAction(QStringLiteral("Zoom &out\t-"), this, &TfShowFont::zoomOut);
    fit_ = zoom->addAction(QStringLiteral("&Fit To Window"), this, &TfShowFont::toggleFitToWindow);
    fit_->setCheckable(true);
    space_ = menu_->addAction(QStringLiteral("Space &between chars"), this,
                              &TfShowFont::toggleSpaceBetweenChars);
    space_->setCheckable(true);
    grid_ = menu_->addAction(QStringLiteral("Show &Grid"), this, &TfShowFont::toggleShowGrid);
    grid_->setCheckable(true);
    monochrome_ = menu_->addAction(QStringLiteral("&Monochrome scrap"), this,
                                   &TfShowFont::toggleMonochromeScrap);
    monochrome_->setCheckable(true);
    menu_->addSeparator();
    save_ = menu_->addAction(QStringLiteral("&Save as..."), this, &TfShowFont::saveAs);
    // The window's own shortcut, so that saving works without the menu.
    auto* saveKey = new QAction(this);
    saveKey->setShortcuts({QKeySequence(QKeySequence::SaveAs), QKeySequence(QKeySequence::Save)});
    connect(saveKey, &QAction::triggered, this, &TfShowFont::saveAs);
    addAction(saveKey);
}

void TfShowFont::showPicture(int wheelStep) {
    view_.wheelStep = wheelStep;
    setWindowTitle(qs(view_.caption));
    space_->setVisible(view_.fontItemsVisible);
    grid_->setVisible(view_.fontItemsVisible);
    monochrome_->setVisible(view_.scrapItemVisible);
    view_.shown();
    const bool font = view_.content() == FontViewContent::Font;
    setToolTip(font ? qs(view_.hint) : QString());
    picture_->setToolTip(toolTip());
    picture_->setAccessibleName(font ? qs(view_.hint) : windowTitle());
    picture_->setPicture(view_.picture());
    refresh();
    sizeClientToView();
    scroll_->verticalScrollBar()->setValue(0);
    showInFront(this);
}

void TfShowFont::refresh() {
    fit_->setChecked(view_.fitToWindow());
    space_->setChecked(view_.spaceBetweenChars);
    grid_->setChecked(view_.showGrid);
    monochrome_->setChecked(view_.monochromeScrap);
    if (view_.fitToWindow()) {
        scroll_->setWidgetResizable(true);
    } else {
        scroll_->setWidgetResizable(false);
        picture_->resize(std::max(1, view_.shownWidth()), std::max(1, view_.shownHeight()));
    }
}

void TfShowFont::sizeClientToView() {
    requested_ = QSize(std::max(1, view_.clientWidth()), std::max(1, view_.clientHeight()));
    resize(requested_);
}

void TfShowFont::zoom100() {
    const bool resizeWindow = !view_.resizedSinceShown();
    view_.zoom100();
    refresh();
    if (resizeWindow)
        sizeClientToView();
}

void TfShowFont::zoomIn() {
    view_.zoomIn();
    refresh();
}

void TfShowFont::zoomOut() {
    view_.zoomOut();
    refresh();
}

void TfShowFont::toggleFitToWindow() {
    view_.toggleFitToWindow();
    refresh();
}

void TfShowFont::redraw(int (FontView::*toggle)(GeosReaderContext&)) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if ((view_.*toggle)(context_) == 0) {
        picture_->setPicture(view_.picture());
        if (view_.content() == FontViewContent::Font) {
            setToolTip(qs(view_.hint));
            picture_->setToolTip(toolTip());
        }
    }
    // The window follows the new picture unless the user has sized it.
    if (!view_.resizedSinceShown())
        sizeClientToView();
    else
        view_.resized(width(), height());
    refresh();
    QApplication::restoreOverrideCursor();
    emit optionsChanged();
}

void TfShowFont::toggleSpaceBetweenChars() {
    redraw(&FontView::toggleSpaceBetweenChars);
}

void TfShowFont::toggleShowGrid() {
    redraw(&FontView::toggleShowGrid);
}

void TfShowFont::toggleMonochromeScrap() {
    redraw(&FontView::toggleMonochromeScrap);
}

void TfShowFont::saveAs() {
    savePictureAs(this, chooser_, saveFolder_ ? saveFolder_() : QString(), kFontSaveFilter,
                  QStringLiteral("bmp"), context_.dialogs, "ShowFont", view_.picture());
}

void TfShowFont::keyPressEvent(QKeyEvent* event) {
    switch (viewerZoomKey(event)) {
        case ZoomKey::Reset:
            zoom100();
            return;
        case ZoomKey::In:
            zoomIn();
            return;
        case ZoomKey::Out:
            zoomOut();
            return;
        case ZoomKey::None:
            break;
    }
    QWidget::keyPressEvent(event);
}

void TfShowFont::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size() == requested_) {
        // The window sized itself; the view knows that size already.
        requested_ = QSize();
        return;
    }
    view_.resized(width(), height());
    if (view_.fitToWindow())
        refresh();
}

void TfShowFont::contextMenuEvent(QContextMenuEvent* event) {
    menu_->exec(event->globalPos());
}

bool TfShowFont::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = takeWheelNotches(wheelRemainder_, wheel->angleDelta().y());
        if (notches != 0) {
            view_.setScrollY(scroll_->verticalScrollBar()->value());
            view_.wheel(notches);
            scroll_->verticalScrollBar()->setValue(view_.scrollY());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv::app
