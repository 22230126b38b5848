#include "screen/TfC64Screen.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>
#include <cstdlib>

#include "host/Dialogs.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "screen/ScreenSettings.h"

namespace qv::app {

namespace {

constexpr int kNotch = 120;  // wheel angle of one notch, in eighths of a degree

// A palette colour 0xRRGGBB as the toolkit's colour.
QColor colour(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

TfC64Screen::TfC64Screen(Tag tag, Dialogs& dialogs, FileChooser& chooser, QWidget* parent)
    // The main screen is a tool window of the main window: the desktop keeps it above
    // that window (and hides it with it), while the program's dialogs and other programs
    // come above it as usual.
    : QWidget(parent, tag == MainScreen ? Qt::Tool : Qt::Window),
      tag_(tag),
      dialogs_(dialogs),
      chooser_(chooser),
      screen_([this](const std::string& text) { dialogs_.message(text); }) {
    setWindowTitle(QStringLiteral("C64 Original Screen"));
    setObjectName(tag == MainScreen ? QStringLiteral("TfC64Screen")
                                    : QStringLiteral("TfC64ScreenFileViewer"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(C64Screen::kLargeScrollStep);
    connect(scrollBar_, &QScrollBar::valueChanged, this,
            [this](int value) { screen_.setScrollPosition(value); });
    panBar_ = new QScrollBar(Qt::Horizontal, this);
    panBar_->setObjectName(QStringLiteral("panBar"));
    panBar_->setSingleStep(8);
    panBar_->hide();
    connect(panBar_, &QScrollBar::valueChanged, this, [this] { update(pictureRect()); });
    screen_.setRepaint([this] {
        syncScrollBar();
        update(pictureRect());
    });
    screen_.setLimited(tag == FileViewerScreen);

    buildMenu();
    syncScrollBar();
    sizeForZoom();
}

void TfC64Screen::buildMenu() {
    menu_ = new QMenu(this);
    menu_->addAction(QStringLiteral("&100%\t*"), this, [this] { zoom(ZoomKey::Reset); });
    menu_->addAction(QStringLiteral("Zoom &in\t+"), this, [this] { zoom(ZoomKey::In); });
    menu_->addAction(QStringLiteral("Zoom &out\t-"), this, [this] { zoom(ZoomKey::Out); });
    // Only the file viewer's screen switches between 40 and 80 columns.
    columnsSeparator_ = menu_->addSeparator();
    columns_ = menu_->addAction(QStringLiteral("&40/80 Columns"));
    columns_->setCheckable(true);
    connect(columns_, &QAction::triggered, this,
            [this](bool checked) { emit columnsSwitchRequested(checked); });
    columnsSeparator_->setVisible(tag_ == FileViewerScreen);
    columns_->setVisible(tag_ == FileViewerScreen);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Save as..."), this, &TfC64Screen::saveAs);
}

int TfC64Screen::scrollBarWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
}

int TfC64Screen::scrollBarHeight() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, panBar_);
}

ScreenView TfC64Screen::view() const {
    return screenView(screen_, width(), height(), scrollBarWidth(), scrollBarHeight());
}

QRect TfC64Screen::pictureRect() const {
    const ScreenView v = view();
    return QRect(v.x, v.y, v.width, v.height);
}

QSize TfC64Screen::room() const {
    const QScreen* sc = QWidget::screen();
    if (!sc)
        return QSize();
    // The window frame the desktop adds (none before the window is first shown).
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    return sc->availableGeometry().size() - frame;
}

void TfC64Screen::sizeForZoom() {
    const QSize space = room();
    const C64Screen::Size size = fitScreenWindow(screen_, scrollBarWidth(), scrollBarHeight(),
                                                 {space.width(), space.height()});
    resize(size.width, size.height);
    // A window that grew past the screen's edge moves back onto it.
    if (isVisible() && QWidget::screen()) {
        const QRect area = QWidget::screen()->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveLeft(
            std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
        frame.moveTop(
            std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
        if (frame.topLeft() != frameGeometry().topLeft())
            move(frame.topLeft());
    }
    layOut();
    update();
}

void TfC64Screen::layOut() {
    const int w = scrollBarWidth();
    scrollBar_->setGeometry(width() - w, 0, w, height());
    const ScreenView v = view();
    const int h = scrollBarHeight();
    panBar_->setVisible(v.horizontalBar);
    if (v.horizontalBar) {
        panBar_->setGeometry(0, height() - h, width() - w, h);
        panBar_->setRange(0, v.panMax);
        panBar_->setPageStep(std::max(1, v.width));
    } else {
        panBar_->setValue(0);
    }
    screen_.setShownRows(v.shownRows);
    syncScrollBar();
}

void TfC64Screen::syncScrollBar() {
    const QSignalBlocker block(scrollBar_);
    scrollBar_->setRange(0, screen_.scrollMax());
    scrollBar_->setValue(screen_.scrollPosition());
}

void TfC64Screen::showScreen(int wheelStep) {
    screen_.setWheelStep(wheelStep);
    screen_.setActive(true);
    syncScrollBar();
    screen_.render();
    show();
    raise();
    update();
}

void TfC64Screen::applyFileViewerSettings(const IniFile& ini) {
    applyFileViewerScreenSettings(screen_, ini);
    columns_->setChecked(screen_.columns80());
    syncScrollBar();
    sizeForZoom();
}

void TfC64Screen::switchColumns(bool eighty, bool refill) {
    screen_.setColumns80(eighty, refill);
    columns_->setChecked(screen_.columns80());
    syncScrollBar();
    sizeForZoom();
    update();
}

void TfC64Screen::zoom(ZoomKey key) {
    switch (key) {
        case ZoomKey::Reset:
            screen_.resetZoom();
            break;
        case ZoomKey::In:
            screen_.zoomIn();
            break;
        case ZoomKey::Out:
            screen_.zoomOut();
            break;
        case ZoomKey::None:
            return;
    }
    sizeForZoom();
}

void TfC64Screen::saveAs() {
    const QString folder = saveFolder_ ? saveFolder_() : QString();
    const std::optional<FileChooser::SaveChoice> choice = chooser_.saveFile(
        this, QStringLiteral("Save"), folder, kScreenSaveFilter, QStringLiteral("bmp"));
    if (!choice)
        return;
    const ScreenSaveChoice what = screenSaveChoice(choice->filterIndex);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    screen_.saveBitmaps(ss(choice->path), what.complete, what.format);
    QApplication::restoreOverrideCursor();
}

void TfC64Screen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const C64Palette& palette = screen_.palette();
    const int strip = C64Screen::kStrip;
    const int inner = width() - scrollBarWidth();
    const ScreenView v = view();
    const int bottom = v.y + v.height + strip;  // below the bottom strip
    p.fillRect(rect(), colour(palette[6]));
    p.fillRect(QRect(0, 0, strip, bottom), colour(palette[14]));
    p.fillRect(QRect(0, 0, inner, strip), colour(palette[14]));
    p.fillRect(QRect(0, bottom - strip, inner, strip), colour(palette[14]));
    const Image32& bitmap = screen_.bitmap();
    if (bitmap.pixels.size() ==
            static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height) &&
        !bitmap.pixels.empty()) {
        // The pixels are 0x00RRGGBB: the toolkit's 32-bit RGB format reads them as they are.
        const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width,
                           bitmap.height, bitmap.width * 4, QImage::Format_RGB32);
        // Stretched over the area where the zoomed picture fits, at the zoom and cut off
        // where it does not; the pan bar moves a picture wider than the area.
        p.setClipRect(QRect(v.x, v.y, v.width, v.height));
        p.drawImage(
            QRectF(v.x - panBar_->value(), v.y, bitmap.width * v.scaleX, bitmap.height * v.scaleY),
            image);
    }
}

void TfC64Screen::resizeEvent(QResizeEvent*) {
    layOut();
}

void TfC64Screen::closeEvent(QCloseEvent* event) {
    screen_.setActive(false);
    event->accept();
    emit closed(tag_);
}

void TfC64Screen::keyPressEvent(QKeyEvent* event) {
    // The toolkit reports the character the key typed, after Shift and the layout.
    char key = 0;
    switch (event->key()) {
        case Qt::Key_Asterisk:
            key = '*';
            break;
        case Qt::Key_Plus:
            key = '+';
            break;
        case Qt::Key_Minus:
            key = '-';
            break;
        default:
            break;
    }
    const ZoomKey what = zoomKey(key);
    if (what == ZoomKey::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    zoom(what);
}

void TfC64Screen::wheelEvent(QWheelEvent* event) {
    // A sideways turn moves a picture wider than the window across.
    const QPoint angle = event->angleDelta();
    if (std::abs(angle.x()) > std::abs(angle.y())) {
        if (panBar_->isVisible())
            QApplication::sendEvent(panBar_, event);
        event->accept();
        return;
    }
    wheelRemainder_ += angle.y();
    const int notches = wheelRemainder_ / kNotch;
    wheelRemainder_ -= notches * kNotch;
    // Turning the wheel away from the user (a positive angle) scrolls up.
    if (notches != 0)
        screen_.wheel(-notches);
    event->accept();
}

void TfC64Screen::contextMenuEvent(QContextMenuEvent* event) {
    menu_->exec(event->globalPos());
}

}  // namespace qv::app
