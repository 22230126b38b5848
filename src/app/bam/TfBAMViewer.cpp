#include "bam/TfBAMViewer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "bam/BamFileList.h"
#include "bam/BamGrid.h"
#include "bam/ErrorCodes.h"
#include "bam/ErrorInfoRemoval.h"
#include "image/DiskImage.h"
#include "platform/DisplayFont.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"
#include "settings/WindowSettings.h"
#include "support/Colour.h"
#include "support/Files.h"
#include "viewer/DumpLayout.h"

namespace qv::app {
namespace {

constexpr const char* kExportFilter =
    "Program (*.PRG)|*.PRG|Program without Startaddress (*.PRG)|*.PRG";

QColor toQColor(int v) {
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

}  // namespace

TfBAMViewer::TfBAMViewer(Session& session, TfFileViewer& fileViewer, FileChooser& chooser,
                         QWidget* parent)
    : QMainWindow(parent, Qt::Window), session_(session), viewer_(fileViewer), chooser_(chooser) {
    setObjectName(QStringLiteral("TfBAMViewer"));
    setWindowTitle(QString::fromLatin1(kBamCaptionEmpty));
    setDockOptions(QMainWindow::AnimatedDocks);
    auto* body = new QWidget(this);
    auto* box = new QVBoxLayout(body);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    grid_ = new BamGrid(map(), body);
    box->addWidget(grid_, 1);
    strip_ = new QWidget(body);
    buildLegend(strip_);
    box->addWidget(strip_);
    setCentralWidget(body);

    fileList_ = new BamFileList(this);
    addDockWidget(Qt::RightDockWidgetArea, fileList_);
    fileList_->hide();

    menu_ = new QMenu(this);
    removeError_ = menu_->addAction(QStringLiteral("&Remove Error Info from image"), this,
                                    &TfBAMViewer::removeErrorInfo);
    menu_->addSeparator();
    viewBlock_ = menu_->addAction(QStringLiteral("&View Block..."), this, [this] {
        const GridCell c = grid_->selected();
        if (c.valid())
            viewBlock({c.column, c.row - 1});
    });
    removeError_->setEnabled(false);
    viewBlock_->setEnabled(false);

    connect(grid_, &BamGrid::cellSelected, this, &TfBAMViewer::gridCellSelected);
    connect(grid_, &BamGrid::cellRightClicked, this, &TfBAMViewer::gridRightClicked);
    connect(grid_, &BamGrid::cellDoubleClicked, this, &TfBAMViewer::gridDoubleClicked);
    connect(grid_, &BamGrid::keyReleased, this, &TfBAMViewer::gridKey);
    connect(fileList_, &BamFileList::rowClicked, this, &TfBAMViewer::listRowChosen);
    connect(fileList_, &BamFileList::rowRightClicked, this, [this](int row) {
        listRowChosen(row);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        viewFile(row, ExtractMode::View);
        QApplication::restoreOverrideCursor();
    });
    connect(fileList_, &BamFileList::keyReleased, this, &TfBAMViewer::listKey);
    connect(fileList_, &BamFileList::closed, this, [this] { setOwnerDisplay(false); });
    connect(fileList_, &QDockWidget::topLevelChanged, this, &TfBAMViewer::fileListFloated);
    connect(fileList_->showChain(), &QCheckBox::toggled, this,
            [this](bool on) { grid_->setShowChain(on); });
    viewer_.setBlockMapFiles(this);
    // After the user chose another image in the main window, the viewer no longer shows
    // a file of the map's image.
    viewer_.setActivationHook([this] {
        const std::string image = currentImage_ ? currentImage_() : std::string();
        std::error_code ec;
        if (image.empty() || image == map().imagePath() ||
            !std::filesystem::is_regular_file(image, ec))
            return;
        viewer_.forgetBlockMapFile();
        if (isVisible())
            requestRefresh(false);
    });
    applyFonts();
}

// The main window deletes the file viewer first (it was made first), so the viewer
// never outlives this window's hooks.
TfBAMViewer::~TfBAMViewer() = default;

BlockMap& TfBAMViewer::map() {
    return session_.blockMap();
}

const BlockMap& TfBAMViewer::map() const {
    return session_.blockMap();
}

void TfBAMViewer::buildLegend(QWidget* strip) {
    struct Entry {
        const char* caption;
        int colour;
        const char* hint;
    };
    static const Entry entries[] = {
        {"error", cellColourValue(CellColour::Red),
         "Indicates an error...doubleclick to view a little description"},
        {"used by file", cellColourValue(CellColour::Green), "Block used"},
        {"used by file and error ", cellColourValue(CellColour::Fuchsia),
         "Block is used by file and has an error"},
        {"VLIR Record", cellColourValue(CellColour::Blue),
         "Indicates a VLIR Record with number from 1-128"},
        {"Block from VLIR Record", cellColourValue(CellColour::Yellow),
         "Indicates a Block from the shown VLIR Record"},
        {"GEOS Infoblock", cellColourValue(CellColour::GeosInfo), "Indicates the GEOS InfoBlock"},
    };
    // Two rows of three labels, the owner button at the right.
    auto* row = new QGridLayout(strip);
    row->setContentsMargins(4, 2, 10, 2);
    row->setHorizontalSpacing(8);
    row->setVerticalSpacing(0);
    int n = 0;
    for (const Entry& e : entries) {
        auto* label = new QLabel(QString::fromLatin1(e.caption), strip);
        label->setToolTip(QString::fromLatin1(e.hint));
        label->setAccessibleName(QString::fromLatin1(e.caption));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, toQColor(e.colour));
        label->setPalette(pal);
        row->addWidget(label, n / 3, n % 3);
        ++n;
    }
    row->setColumnStretch(3, 1);
    ownerButton_ = new QPushButton(QStringLiteral("Show Block &Owner >>"), strip);
    ownerButton_->setCheckable(true);
    ownerButton_->setToolTip(
        QStringLiteral("Show FileList...RightClick or 'v' to View File, 't' to Detokenize, 'e' "
                       "to Export Selected Files"));
    ownerButton_->setAccessibleName(QStringLiteral("Show Block Owner >>"));
    connect(ownerButton_, &QPushButton::toggled, this, &TfBAMViewer::setOwnerDisplay);
    row->addWidget(ownerButton_, 0, 4, 2, 1);
}

void TfBAMViewer::prepare(const IniFile& ini) {
    const BamViewerSettings s = BamViewerSettings::load(ini);
    fileListWidth_ = s.fileListWidth;
    grid_->setCellSize(s.defaultColWidth, s.defaultRowHeight);
    if (s.fileListCaptionEmpty())
        fileList_->setWindowTitle(QString());
    grid_->setSelectedColour(toQColor(static_cast<int>(swapRedBlue(s.selectedColor))));
    applyFonts();
    fitWindow();
}

void TfBAMViewer::saveSettings(IniFile& ini) const {
    BamViewerSettings s = BamViewerSettings::load(ini);
    s.fileListWidth = fileList_->isVisible() ? fileList_->width() : fileListWidth_;
    s.defaultRowHeight = grid_->cellGeometry().rowHeight;
    s.defaultColWidth = grid_->cellGeometry().columnWidth;
    s.save(ini);
}

void TfBAMViewer::applyFonts() {
    const FontSettings& fonts = session_.fonts();
    const ListerOptions& o = session_.listerOptions();
    fileList_->setListFont(displayFont(fonts[FontSlot::BamFileList]));
    grid_->setFonts(displayFont(fonts[FontSlot::BamViewer]), o.bamViewerScale,
                    displayFont(fonts[FontSlot::BamChains]), o.bamChainsScale);
}

void TfBAMViewer::requestRefresh(bool force) {
    forcePosted_ = forcePosted_ || force;
    if (refreshPosted_)
        return;
    refreshPosted_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPosted_ = false;
        const bool f = forcePosted_;
        forcePosted_ = false;
        refresh(f);
    });
}

void TfBAMViewer::refresh(bool force) {
    if (!initialized_) {
        initialized_ = true;
        const ViewerOptions& v = session_.viewerOptions();
        if (v.bamShowChain)
            fileList_->showChain()->setChecked(true);
        if (v.bamFileListOpen && !ownerButton_->isChecked()) {
            ownerButton_->setChecked(true);  // refreshes through setOwnerDisplay
            return;
        }
    }
    const std::string image = currentImage_ ? currentImage_() : std::string();
    BlockMapContext ctx{
        session_.listerOptions(), session_.dialogs(),
        upperLower_ && upperLower_() ? CharMode::UpperLower : CharMode::UpperGraphics};
    const RefreshOutcome outcome = map().refresh(image, ctx, force || !ownerDisplay());
    if (outcome == RefreshOutcome::Unchanged)
        return;
    grid_->clearSelection();
    popupAutomatic_ = map().hasErrorInfo();
    showMap();
}

void TfBAMViewer::showMap() {
    const bool loaded = !map().imagePath().empty();
    setWindowTitle(QString::fromLatin1(loaded ? kBamCaptionLoaded : kBamCaptionEmpty));
    fileList_->fill(map());
    removeError_->setEnabled(map().hasErrorInfo());
    if (map().ownerReady() && map().selectedFile() >= 0 && map().selectedFile() < map().rowCount())
        fileList_->selectRows({map().selectedFile()});
    if (shownColumns_ != grid_->columns())
        fitWindow();
    grid_->update();
}

void TfBAMViewer::fitWindow() {
    shownColumns_ = grid_->columns();
    const GridGeometry& g = grid_->cellGeometry();
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize(4000, 4000);
    BamLayout l;
    l.rowHeight = g.rowHeight;
    l.columnWidth = g.columnWidth;
    l.lineWidth = g.lineWidth;
    l.stripHeight = strip_->sizeHint().height();
    const bool docked = fileList_->isVisible() && !fileList_->isFloating();
    l.fileListWidth = docked ? fileListWidth_ : 0;
    l.fileListBorder = docked ? 4 : 0;
    l.screenWidth = room.width();
    l.screenHeight = room.height();
    fitting_ = true;
    if (docked)
        resizeDocks({fileList_}, {fileListWidth_}, Qt::Horizontal);
    const int width =
        std::max(bamClientWidth(l, grid_->columns()), strip_->sizeHint().width() + l.fileListWidth);
    resize(width, bamClientHeight(l, grid_->rows()));
    fitting_ = false;
}

void TfBAMViewer::fileListFloated(bool floating) {
    // The grid's share is redone without (or again with) the docked list.
    fitWindow();
    if (!floating || !fileList_->isVisible())
        return;
    const QRect room = screen() ? screen()->availableGeometry() : QRect(0, 0, 4000, 4000);
    const QRect frame = frameGeometry();
    const int listWidth = fileList_->frameGeometry().width();
    const UndockedPlacement p =
        undockedPlacement(room.x(), room.width(), frame.x(), frame.width(), listWidth);
    resize(p.viewerWidth - (frame.width() - width()), height());
    move(p.viewerX, frame.y());
    fileList_->move(p.listX, frame.y());
    fileList_->resize(fileList_->width(), height());
}

void TfBAMViewer::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (fitting_)
        return;
    // The cells take what the grid's share of the window gives them.
    BamLayout l;
    l.lineWidth = grid_->cellGeometry().lineWidth;
    const int rowHeight = bamRowHeightFor(l, grid_->rows(), grid_->height());
    const int columnWidth = bamColumnWidthFor(l, grid_->columns(), grid_->width());
    if (rowHeight > 0 && columnWidth > 0)
        grid_->setCellSize(columnWidth, rowHeight);
}

void TfBAMViewer::setOwnerDisplay(bool on) {
    if (ownerButton_->isChecked() != on) {
        ownerButton_->setChecked(on);  // comes back here through toggled
        return;
    }
    if (on) {
        if (!map().allocateOwners(session_.listerOptions().maxFiles, session_.dialogs())) {
            ownerButton_->setChecked(false);
            return;
        }
        fileList_->show();
    } else {
        map().freeOwners();
        map().invalidate();
        if (QListWidget* list = fileList_->list())
            list->clear();
        fileList_->hide();
        if (fileList_->width() > 0)
            fileListWidth_ = std::max(50, fileList_->width());
    }
    fitWindow();
    refresh(true);
}

bool TfBAMViewer::ownerDisplay() const {
    return ownerButton_->isChecked();
}

void TfBAMViewer::gridCellSelected(int column, int row) {
    if (map().ownerReady())
        fileList_->selectRows(map().ownersOf({column, row - 1}));
    setCaptionForSelection();
}

void TfBAMViewer::setCaptionForSelection() {
    const GridCell c = grid_->selected();
    if (c.valid())
        setWindowTitle(QString::fromStdString(blockCaption(map(), {c.column, c.row - 1})));
}

void TfBAMViewer::selectBlock(TrackSector ts) {
    grid_->setSelected({ts.track, ts.sector + 1});
    if (grid_->selected().valid())
        gridCellSelected(ts.track, ts.sector + 1);
}

void TfBAMViewer::gridRightClicked(int column, int row, QPoint globalPos) {
    viewBlock_->setEnabled(true);
    if (!popupAutomatic_)
        viewBlock({column, row - 1});
    else
        menu_->popup(globalPos);
}

void TfBAMViewer::gridDoubleClicked(int column, int row) {
    const int code = map().errorCode(column, row - 1);
    if (code != 0)
        session_.dialogs().message(errorText(code).value_or(std::to_string(code)));
}

// The keys of the whole window, in the grid and in the file list alike: F5 reads the
// image again, F12 brings the file viewer up.
bool TfBAMViewer::windowKey(int key) {
    if (key == Qt::Key_F5) {
        requestRefresh(true);
        return true;
    }
    if (key == Qt::Key_F12) {
        viewer_.show();
        viewer_.raise();
        return true;
    }
    return false;
}

void TfBAMViewer::gridKey(int key) {
    if (windowKey(key))
        return;
    const GridCell c = grid_->selected();
    switch (key) {
        case Qt::Key_D:
            popupAutomatic_ = false;
            break;
        case Qt::Key_A:
            popupAutomatic_ = true;
            break;
        case Qt::Key_N:
        case Qt::Key_P:
            if (c.valid() && map().ownerReady()) {
                const auto next = map().neighbour(
                    map().selectedFile(), {c.column, c.row - 1},
                    key == Qt::Key_N ? ChainDirection::Forward : ChainDirection::Backward);
                if (next)
                    selectBlock(*next);
            }
            break;
        default:
            break;
    }
}

void TfBAMViewer::listRowChosen(int row) {
    if (row < 0 || row >= map().rowCount())
        return;
    map().setSelectedFile(row);
    grid_->clearSelection();
    if (map().imagePath().empty())
        setWindowTitle(QString::fromLatin1(kBamCaptionEmpty));
    else
        setWindowTitle(QString::fromLatin1(kBamCaptionLoaded));
    grid_->update();
}

void TfBAMViewer::listKey(int key) {
    if (windowKey(key))
        return;
    const int first = fileList_->firstSelectedRow();
    const int row = first >= 0 ? first : map().selectedFile();
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (first >= 0) {
                map().setSelectedFile(first);
                grid_->update();
            }
            break;
        case Qt::Key_V:
            viewFile(row, ExtractMode::View);
            fileList_->list()->setFocus();
            break;
        case Qt::Key_T:
            detokenizeRow(row);
            fileList_->list()->setFocus();
            break;
        case Qt::Key_E:
            exportSelected();
            break;
        default:
            break;
    }
}

void TfBAMViewer::viewBlock(TrackSector ts) {
    const std::string& path = map().imagePath();
    const int offset = map().blockOffset(ts);
    if (offset < 0 || path.empty())
        return;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        session_.dialogs().showError("ReadBlock", path, "", "File not found...",
                                     errorflag::TellImage);
        return;
    }
    std::vector<std::uint8_t> block(256);
    std::optional<DiskImage> image = DiskImage::open(path);
    if (!image || !image->readAt(offset, block)) {
        session_.dialogs().showError("ReadBlock", path, "", "Failed to open Image...",
                                     errorflag::TellImage | errorflag::NoFileCaption);
        return;
    }
    viewer_.beginContent();
    viewer_.setStatus(1, QString::fromStdString(blockOffsetText(offset)));
    viewer_.setStatus(2, QString::fromStdString(trackText(ts.track)));
    viewer_.setStatus(3, QString::fromStdString(sectorText(ts.sector)));
    viewer_.addDumpRows(dumpRows(block, viewer_.dumpOptions()));
    viewer_.setBamRow(-1);
    viewer_.finishContent(ViewerState::SingleBlock);
}

bool TfBAMViewer::viewFile(int row, ExtractMode mode) {
    if (row < 0) {
        viewer_.clearContent();
        viewer_.setBamRow(-1);
        return false;
    }
    if (mode != ExtractMode::View)
        return fileBytes(row).has_value();
    const Extraction x = extractFile(map(), row, ExtractMode::View, session_.dialogs());
    if (x.status == ExtractStatus::Refused) {
        viewer_.setBamRow(-1);
        if (!x.report.empty())
            viewer_.showFailure();
        return false;
    }
    viewer_.beginContent();
    viewer_.setStatus(1, QString::fromStdString(fileOffsetStatusText(x.firstBlockOffset)));
    viewer_.setStatus(2, x.startAddress >= 0
                             ? QString::fromStdString(startAddressText(x.startAddress))
                             : QString());
    viewer_.setStatus(3, QString());
    viewer_.addDumpRows(dumpRows(x.data, viewer_.dumpOptions()));
    viewer_.setBamRow(row);
    return viewer_.finishContent(ViewerState::BamFile);
}

bool TfBAMViewer::showFile(int row) {
    return viewFile(row, ExtractMode::View);
}

std::optional<std::vector<std::uint8_t>> TfBAMViewer::fileBytes(int row) {
    Extraction x = extractFile(map(), row, ExtractMode::Detokenize, session_.dialogs());
    if (x.status == ExtractStatus::Refused)
        return std::nullopt;
    if (x.firstBlockOffset >= 0)
        viewer_.setStatus(1, QString::fromStdString(fileOffsetStatusText(x.firstBlockOffset)));
    if (x.startAddress >= 0)
        viewer_.setStatus(2, QString::fromStdString(startAddressText(x.startAddress)));
    return std::move(x.data);
}

bool TfBAMViewer::saveProgram(int row, bool withStartAddress, const std::string& target) {
    const ExtractToFileResult r = extractToFile(
        map(), row, withStartAddress ? ExtractMode::Program : ExtractMode::ProgramWithoutStart,
        target, session_.dialogs());
    return r.written;
}

std::string TfBAMViewer::displayName(int row) const {
    const auto& names = map().fileNames();
    return row >= 0 && static_cast<std::size_t>(row) < names.size()
               ? names[static_cast<std::size_t>(row)]
               : std::string();
}

void TfBAMViewer::detokenizeRow(int row) {
    if (row < 0 || row >= map().rowCount())
        return;
    viewer_.show();
    viewer_.setBamRow(row);
    viewer_.setState(ViewerState::DetokenizeRequest);
    viewer_.detokenize();
}

void TfBAMViewer::exportSelected() {
    const std::vector<int> rows = fileList_->selectedRows();
    if (rows.empty())
        return;
    const QString folder = qs(exportName_.empty() ? session_.saveFolder() : exportName_);
    const std::optional<FileChooser::SaveChoice> choice = chooser_.saveFile(
        this, QStringLiteral("Save as..."), folder, kExportFilter, QStringLiteral("PRG"));
    if (!choice)
        return;
    exportName_ = ss(choice->path);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    (void)exportFiles(
        map(), rows,
        choice->filterIndex == 1 ? ExtractMode::ProgramWithoutStart : ExtractMode::Program,
        exportName_, session_.dialogs());
    QApplication::restoreOverrideCursor();
}

void TfBAMViewer::removeErrorInfo() {
    BlockMapContext ctx{
        session_.listerOptions(), session_.dialogs(),
        upperLower_ && upperLower_() ? CharMode::UpperLower : CharMode::UpperGraphics};
    const RemovalResult r = qv::removeErrorInfo(map(), ctx);
    if (r.outcome == RemovalOutcome::Removed)
        refresh(true);
    removeError_->setEnabled(map().hasErrorInfo());
}

void TfBAMViewer::closeEvent(QCloseEvent* event) {
    map().invalidate();
    QMainWindow::closeEvent(event);
    emit closed();
}

void TfBAMViewer::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible() &&
        mainHadFocus_) {
        mainHadFocus_ = false;
        requestRefresh(false);
    }
}

void TfBAMViewer::mainWindowActivated() {
    if (isVisible())
        mainHadFocus_ = true;
}

}  // namespace qv::app
