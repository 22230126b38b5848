#include "geos/TfGeoPaint.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "geos/GeosPictureWidget.h"
#include "geos/ViewerPicture.h"
#include "platform/Commands.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"

namespace qv::app {

TfGeoPaint::TfGeoPaint(GeosReaderContext& context, FileChooser& chooser, QWidget* parent)
    : QWidget(parent, Qt::Window), context_(context), chooser_(chooser) {
    setObjectName(QStringLiteral("TfGeoPaint"));
    setWindowTitle(QStringLiteral("GeoPaint"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    menuBar_ = new QMenuBar(this);
    QMenu* picture = menuBar_->addMenu(QStringLiteral("&Picture"));
    monochrome_ = picture->addAction(QStringLiteral("&Monochrome"));
    monochrome_->setCheckable(true);
    monochrome_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    connect(monochrome_, &QAction::triggered, this, &TfGeoPaint::toggleMonochrome);
    save_ = picture->addAction(QStringLiteral("&Save as..."));
    save_->setShortcuts({QKeySequence(QKeySequence::SaveAs), QKeySequence(QKeySequence::Save)});
    connect(save_, &QAction::triggered, this, &TfGeoPaint::saveAs);
    layout->setMenuBar(menuBar_);

    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setAccessibleName(QStringLiteral("GeoPaint picture"));
    panel_ = new QWidget;
    picture_ = new GeosPictureWidget(panel_);
    picture_->setAccessibleName(QStringLiteral("GeoPaint picture"));
    picture_->setGeometry(0, 0, kGeoPaintWidth, kGeoPaintHeight);
    panel_->resize(kGeoPaintWidth, kGeoPaintHeight);
    scroll_->setWidget(panel_);
    scroll_->viewport()->installEventFilter(this);
    layout->addWidget(scroll_);

    resize(GeoPaintView::kInitialWindowWidth, 760);
}

int TfGeoPaint::decode(const std::string& imagePath, const std::string& fileName, int fileOffset) {
    const int result = view_.decodeGeoPaint(context_, imagePath, fileName, fileOffset);
    if (result == 0) {
        refresh();
        scroll_->verticalScrollBar()->setValue(0);
    }
    return result;
}

void TfGeoPaint::showPicture(int wheelStep) {
    view_.wheelStep = wheelStep;
    showInFront(this);
}

void TfGeoPaint::refresh() {
    setWindowTitle(qs(view_.caption()));
    monochrome_->setChecked(view_.monochrome());
    picture_->setPicture(view_.picture());
}

void TfGeoPaint::toggleMonochrome() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (view_.toggleMonochrome(context_) == 0) {
        const int y = scroll_->verticalScrollBar()->value();
        refresh();
        scroll_->verticalScrollBar()->setValue(y);
    }
    monochrome_->setChecked(view_.monochrome());
    QApplication::restoreOverrideCursor();
}

void TfGeoPaint::saveAs() {
    savePictureAs(this, chooser_, saveFolder_ ? saveFolder_() : QString(), kGeoPaintSaveFilter,
                  QStringLiteral("bmp"), context_.dialogs, "GeoPaint", view_.picture());
}

void TfGeoPaint::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The panel widens with the window beyond 672 pixels; the picture stays in its
    // middle.
    const int w = GeoPaintView::panelWidth(width());
    const int inner = std::max(kGeoPaintWidth, std::min(w, scroll_->viewport()->width()));
    panel_->resize(inner, kGeoPaintHeight);
    picture_->move((inner - kGeoPaintWidth) / 2, 0);
}

bool TfGeoPaint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scroll_->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = takeWheelNotches(wheelRemainder_, wheel->angleDelta().y());
        if (notches != 0) {
            view_.setScrollY(scroll_->verticalScrollBar()->value());
            view_.wheel(notches, scroll_->viewport()->height());
            scroll_->verticalScrollBar()->setValue(view_.scrollY());
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qv::app
