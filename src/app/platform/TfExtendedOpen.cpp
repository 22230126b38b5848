#include "platform/TfExtendedOpen.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/EodTreeModel.h"
#include "platform/EodTreeView.h"
#include "platform/FileSearch.h"
#include "platform/TfEODFileList.h"
#include "platform/TfEODSearch.h"
#include "support/FolderSearch.h"

namespace qv::app {

namespace {

// The tree's width when the stored one does not fit, and the room the browser with
// the search panel takes beside it.
constexpr int kFallbackTreeWidth = 376;
constexpr int kBrowserWidth = 324;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

std::string bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The first mounted network volume (NFS, SMB, SSHFS, WebDAV), or empty.
QString networkMount() {
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QByteArray type = v.fileSystemType().toLower();
        if (type.startsWith("nfs") || type.startsWith("cifs") || type.startsWith("smb") ||
            type.contains("sshfs") || type.contains("davfs"))
            return v.rootPath();
    }
    return {};
}

}  // namespace

TfExtendedOpen::TfExtendedOpen(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Open files..."));
    setObjectName(QStringLiteral("TfExtendedOpen"));
    setSizeGripEnabled(true);

    searchPanel_ = new TfEODSearch(this);
    auto* browseLabel = new QLabel(QStringLiteral("&Browse for folder:"), this);
    fsModel_ = new QFileSystemModel(this);
    fsModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    fsModel_->setReadOnly(true);
    browser_ = new QTreeView(this);
    browser_->setModel(fsModel_);
    browser_->setHeaderHidden(true);
    for (int c = 1; c < fsModel_->columnCount(); ++c)
        browser_->hideColumn(c);
    browser_->setAccessibleName(QStringLiteral("Browse for folder:"));
    browseLabel->setBuddy(browser_);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(searchPanel_);
    leftLayout->addWidget(browseLabel);
    leftLayout->addWidget(browser_, 1);

    fileList_ = new TfEODFileList(this);
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->addWidget(left);
    splitter_->addWidget(fileList_);
    // The 2-pixel strip between them sets the tree's width.
    splitter_->setHandleWidth(2);
    splitter_->setChildrenCollapsible(false);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    left->setMinimumWidth(kBrowserWidth - 40);
    connect(splitter_, &QSplitter::splitterMoved, this, &TfExtendedOpen::keepTreeWithinScreen);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter_, 1);
    layout->addWidget(buttons);

    search_ = new FileSearch(this);
    EodTreeModel* model = fileList_->model();
    connect(search_, &FileSearch::folderChanged, this,
            [model](const QByteArray& f) { model->folderChanged(f.toStdString()); });
    connect(search_, &FileSearch::fileMatched, this,
            [model](const QByteArray& f, const QByteArray& n) {
                model->fileMatched(f.toStdString(), n.toStdString());
            });
    connect(search_, &FileSearch::finished, this, &TfExtendedOpen::searchFinished);
    connect(model, &EodTreeModel::selectedCountChanged, searchPanel_,
            &TfEODSearch::setSelectedCount);
    connect(fileList_, &TfEODFileList::abortRequested, search_, &FileSearch::abort);
    connect(searchPanel_, &TfEODSearch::searchClicked, this, &TfExtendedOpen::searchAgain);
    connect(searchPanel_, &TfEODSearch::pickClicked, this, &TfExtendedOpen::pick);
    connect(browser_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfExtendedOpen::selectionChanged);
    resize(kBrowserWidth + kFallbackTreeWidth + 30, 560);
}

TfExtendedOpen::~TfExtendedOpen() {
    search_->abort();
}

int TfExtendedOpen::screenWidth() const {
    const QScreen* sc = screen();
    return sc ? sc->availableGeometry().width() : 1 << 20;
}

int TfExtendedOpen::treeWidth() const {
    return fileList_->width();
}

void TfExtendedOpen::keepTreeWithinScreen() {
    QList<int> sizes = splitter_->sizes();
    if (sizes.size() == 2 && sizes[1] + kBrowserWidth >= screenWidth()) {
        const int total = sizes[0] + sizes[1];
        sizes[1] = screenWidth() - kBrowserWidth - 1;
        sizes[0] = total - sizes[1];
        splitter_->setSizes(sizes);
    }
}

void TfExtendedOpen::prepareOpening(int width) {
    if (!opened_) {
        opened_ = true;
        if (width <= 0 || kBrowserWidth + width > screenWidth())
            width = kFallbackTreeWidth;
        resize(kBrowserWidth + width + 30, height());
        splitter_->setSizes({kBrowserWidth, width});
    }
    chooseRoot();
    searchPanel_->setSelectedCount(0);
    fileList_->model()->clear();
    resultList_.clear();
    searchPanel_->stopAnimation();
    fileList_->setSearching(false);
    // The folder searched last is selected again; the first selection then searches
    // only when an initial location is set and the folder has no subfolders.
    browser_->selectionModel()->clearCurrentIndex();
    firstSelection_ = false;
    if (!lastSearchFolder_.empty() &&
        QFileInfo(QFile::decodeName(lastSearchFolder_.c_str())).isDir()) {
        firstSelection_ = true;
        selectFolder(QFile::decodeName(lastSearchFolder_.c_str()));
        firstSelection_ = false;
    }
}

bool TfExtendedOpen::run(int width) {
    prepareOpening(width);
    return exec() == QDialog::Accepted;
}

void TfExtendedOpen::chooseRoot() {
    const QString text = searchPanel_->initialLocation();
    const bool exists = !text.isEmpty() && QFileInfo(text).isDir();
    rootKind_ = initialLocationKind(bytes(text), exists, kWindows);
    QString root;
    switch (rootKind_) {
        case LocationKind::Folder:
            root = QFileInfo(text).absoluteFilePath();
            break;
        case LocationKind::Personal:
            root = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
            break;
        case LocationKind::Network:
        case LocationKind::NetHood:
            // Network mounts; without any, the volumes.
            root = networkMount();
            if (root.isEmpty())
                rootKind_ = LocationKind::Drives;
            break;
        case LocationKind::Drives:
        case LocationKind::Namespace:  // shell locations have no counterpart here
            rootKind_ = LocationKind::Drives;
            break;
        case LocationKind::None:
            searchPanel_->setInitialLocation({});
            [[fallthrough]];
        case LocationKind::Desktop:
            root = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
            if (!QFileInfo(root).isDir())
                root = QDir::homePath();
            break;
    }
    if (rootKind_ == LocationKind::Drives) {
        // The computer: the file system's root here, the drives on Windows.
        fsModel_->setRootPath(QString());
        browser_->setRootIndex(QModelIndex());
        rootPath_.clear();
    } else {
        fsModel_->setRootPath(root);
        browser_->setRootIndex(fsModel_->index(root));
        rootPath_ = root;
    }
}

std::string TfExtendedOpen::selectedFolder() const {
    const QModelIndex i = browser_->currentIndex();
    if (i.isValid())
        return bytes(fsModel_->filePath(i));
    return bytes(rootPath_);
}

void TfExtendedOpen::selectFolder(const QString& path) {
    const QModelIndex i = fsModel_->index(QFileInfo(path).absoluteFilePath());
    if (!i.isValid())
        return;
    for (QModelIndex p = i.parent(); p.isValid(); p = p.parent())
        browser_->expand(p);
    browser_->setCurrentIndex(i);
    browser_->scrollTo(i);
}

void TfExtendedOpen::selectionChanged() {
    const QModelIndex i = browser_->currentIndex();
    if (!i.isValid() || !fsModel_->isDir(i))
        return;  // no real folder: nothing starts
    const std::string folder = bytes(fsModel_->filePath(i));
    if (firstSelection_) {
        if (searchPanel_->initialLocation().isEmpty() || FileSearch::hasSubfolders(folder))
            return;
    }
    if (search_->busy())
        return;
    startSearch(folder);
}

void TfExtendedOpen::searchAgain() {
    if (search_->busy())
        return;
    searchPanel_->rememberMask();
    const std::string folder = selectedFolder();
    if (folder.empty())
        return;
    startSearch(folder);
}

void TfExtendedOpen::startSearch(const std::string& folder) {
    fileList_->model()->clear();
    searchPanel_->setSelectedCount(0);
    lastSearchFolder_ = folder;
    if (!search_->start(folder, searchPanel_->mask().toStdString()))
        return;
    searchPanel_->startAnimation();
    fileList_->setSearching(true);
}

void TfExtendedOpen::searchFinished() {
    searchPanel_->stopAnimation();
    fileList_->model()->searchFinished();
    if (fileList_->defaultCheckAll())
        fileList_->checkAll();
    fileList_->setSearching(false);
}

void TfExtendedOpen::pick() {
    const QModelIndex i = browser_->currentIndex();
    if (i.isValid() && fsModel_->isDir(i))
        searchPanel_->setInitialLocation(fsModel_->filePath(i));
    else if (rootKind_ == LocationKind::Drives)
        searchPanel_->setInitialLocation(QStringLiteral("DRIVES"));
    else if (rootKind_ == LocationKind::Network)
        searchPanel_->setInitialLocation(QStringLiteral("NETWORK"));
    else
        searchPanel_->setInitialLocation({});
}

void TfExtendedOpen::keyPressEvent(QKeyEvent* e) {
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    QWidget* mask = searchPanel_->maskBox();
    if (enter && (focusWidget() == mask || mask->isAncestorOf(focusWidget()))) {
        searchAgain();
        return;
    }
    QDialog::keyPressEvent(e);
}

void TfExtendedOpen::done(int result) {
    // A running search is stopped first; the window keeps handling input meanwhile.
    if (search_->busy()) {
        search_->abort();
        search_->waitUntilIdle();
    }
    resultList_ = fileList_->model()->tree().resultList();
    fileList_->model()->clear();
    searchPanel_->setInitialLocation(QString::fromStdString(
        normalizeInitialLocation(searchPanel_->initialLocation().toStdString())));
    QDialog::done(result);
}

}  // namespace qv::app
