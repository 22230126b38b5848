#include "screen/TfC64Screen.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

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
    : QWidget(parent, tag == MainScreen ? Qt::Window | Qt::WindowStaysOnTopHint : Qt::Window),
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
    menu_->addAction(QStringLiteral("100%\t*"), this, [this] { zoom(ZoomKey::Reset); });
    menu_->addAction(QStringLiteral("Zoom in\t+"), this, [this] { zoom(ZoomKey::In); });
    menu_->addAction(QStringLiteral("Zoom out\t-"), this, [this] { zoom(ZoomKey::Out); });
    // Only the file viewer's screen switches between 40 and 80 columns.
    columnsSeparator_ = menu_->addSeparator();
    columns_ = menu_->addAction(QStringLiteral("40/80 Columns"));
    columns_->setCheckable(true);
    connect(columns_, &QAction::triggered, this,
            [this](bool checked) { emit columnsSwitchRequested(checked); });
    columnsSeparator_->setVisible(tag_ == FileViewerScreen);
    columns_->setVisible(tag_ == FileViewerScreen);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("Save as..."), this, &TfC64Screen::saveAs);
}

int TfC64Screen::scrollBarWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollBar_);
}

QRect TfC64Screen::pictureRect() const {
    const int strip = C64Screen::kStrip;
    return QRect(strip, strip, std::max(0, width() - strip - scrollBarWidth()),
                 std::max(0, height() - 2 * strip));
}

void TfC64Screen::sizeForZoom() {
    const C64Screen::Size size = screen_.clientSize(scrollBarWidth());
    resize(size.width, size.height);
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
    p.fillRect(rect(), colour(palette[6]));
    p.fillRect(QRect(0, 0, strip, height()), colour(palette[14]));
    p.fillRect(QRect(0, 0, inner, strip), colour(palette[14]));
    p.fillRect(QRect(0, height() - strip, inner, strip), colour(palette[14]));
    const Image32& bitmap = screen_.bitmap();
    if (bitmap.pixels.size() ==
            static_cast<std::size_t>(bitmap.width) * static_cast<std::size_t>(bitmap.height) &&
        !bitmap.pixels.empty()) {
        // The pixels are 0x00RRGGBB: the toolkit's 32-bit RGB format reads them as they are.
        const QImage image(reinterpret_cast<const uchar*>(bitmap.pixels.data()), bitmap.width,
                           bitmap.height, bitmap.width * 4, QImage::Format_RGB32);
        p.drawImage(pictureRect(), image);
    }
}

void TfC64Screen::resizeEvent(QResizeEvent*) {
    const int w = scrollBarWidth();
    scrollBar_->setGeometry(width() - w, 0, w, height());
}

void TfC64Screen::closeEvent(QCloseEvent* event) {
    screen_.setActive(false);
    event->accept();
    emit closed(tag_);
}

void TfC64Screen::keyPressEvent(QKeyEvent* event) {
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
            QWidget::keyPressEvent(event);
            return;
    }
    const Qt::KeyboardModifiers m = event->modifiers();
    zoom(zoomKey(key, m.testFlag(Qt::KeypadModifier), m.testFlag(Qt::ShiftModifier)));
}

void TfC64Screen::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
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
