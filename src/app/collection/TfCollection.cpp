#include "collection/TfCollection.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "collection/CollectionIndex.h"
#include "collection/CollectionTableModel.h"
#include "collection/CollectionUpdater.h"
#include "platform/DisplayFont.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"

namespace qv::app {
namespace {

constexpr const char* kIndexFilter = "Collection Index (*.qvi)|*.qvi|All Files (*)|*";
constexpr const char* kModule = "Collection";

// A caption that is also the control's accessible name (without its mnemonic mark).
template <class W>
W* named(W* w, const QString& caption) {
    QString name = caption;
    name.remove(QLatin1Char('&'));
    w->setAccessibleName(name);
    return w;
}

QTableView* makeTable(QWidget* parent, CollectionTableModel* model, const QString& name) {
    auto* v = new QTableView(parent);
    v->setModel(model);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setAlternatingRowColors(true);
    v->setWordWrap(false);
    v->verticalHeader()->setVisible(false);
    v->verticalHeader()->setDefaultSectionSize(v->fontMetrics().height() + 4);
    v->horizontalHeader()->setStretchLastSection(true);
    v->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    named(v, name);
    return v;
}

// A pane of SPLIT: the table under its caption, which is the table's mnemonic and (without
// mark and colon) its accessible name.
QTableView* labelledTable(QSplitter* split, CollectionTableModel* model, const QString& caption,
                          const QString& objectName, QLabel*& label) {
    auto* pane = new QWidget(split);
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    label = new QLabel(caption, pane);
    QString name = caption;
    name.chop(1);
    QTableView* view = makeTable(pane, model, name);
    view->setObjectName(objectName);
    label->setBuddy(view);
    layout->addWidget(label);
    layout->addWidget(view);
    split->addWidget(pane);
    return view;
}

// Columns as wide as their texts, but a long image path takes at most half the view,
// so the entry line beside it stays in sight.
void fitColumns(QTableView* v, int pathColumn) {
    for (int c = 0; c + 1 < v->model()->columnCount(); ++c)
        v->resizeColumnToContents(c);
    const int cap = std::max(120, v->viewport()->width() / 2);
    if (v->columnWidth(pathColumn) > cap)
        v->setColumnWidth(pathColumn, cap);
}

}  // namespace

TfCollection::TfCollection(Session& session, FileChooser& chooser, QWidget* parent)
    : QDialog(parent), session_(session), chooser_(chooser) {
    setWindowTitle(QStringLiteral("Collection"));
    setObjectName(QStringLiteral("TfCollection"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    settings_ = CollectionSettings::load(session_.settings().readOrEmpty());
    updater_ = new CollectionUpdater(this);
    connect(updater_, &CollectionUpdater::started, this, &TfCollection::updateStarted);
    connect(updater_, &CollectionUpdater::progressed, this, &TfCollection::updateProgressed);
    connect(updater_, &CollectionUpdater::finished, this, &TfCollection::updateFinished);
    buildWidgets();
    database_->setText(qs(settings_.database));
    for (const std::string& f : settings_.folders)
        folders_->addItem(qs(f));
    setUpdating(false);
    showCounts();
    resize(900, 600);
}

TfCollection::~TfCollection() {
    // A run still going stops at its next image and is waited for; what it committed
    // stays in the index.
    updater_->abort();
    updater_->wait();
}

void TfCollection::buildWidgets() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    auto* dbLabel = new QLabel(QStringLiteral("&Index:"), this);
    database_ = named(new QLineEdit(this), QStringLiteral("Index"));
    database_->setReadOnly(true);
    database_->setPlaceholderText(QStringLiteral("Open or create a collection index"));
    dbLabel->setBuddy(database_);
    open_ = named(new QPushButton(QStringLiteral("&Open..."), this), QStringLiteral("Open..."));
    open_->setToolTip(QStringLiteral("Open an existing collection index"));
    new_ = named(new QPushButton(QStringLiteral("&New..."), this), QStringLiteral("New..."));
    new_->setToolTip(QStringLiteral("Create a new collection index"));
    connect(open_, &QPushButton::clicked, this, &TfCollection::openIndex);
    connect(new_, &QPushButton::clicked, this, &TfCollection::newIndex);
    top->addWidget(dbLabel);
    top->addWidget(database_, 1);
    top->addWidget(open_);
    top->addWidget(new_);
    layout->addLayout(top);

    status_ = named(new QLabel(this), QStringLiteral("Status"));
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(status_);

    tabs_ = named(new QTabWidget(this), QStringLiteral("Collection"));
    layout->addWidget(tabs_, 1);

    // Folders and the update.
    auto* folderPage = new QWidget(tabs_);
    auto* fl = new QGridLayout(folderPage);
    auto* foldersLabel = new QLabel(QStringLiteral("Folders of the &collection:"), folderPage);
    folders_ = named(new QListWidget(folderPage), QStringLiteral("Folders of the collection"));
    foldersLabel->setBuddy(folders_);
    addFolder_ = named(new QPushButton(QStringLiteral("&Add Folder..."), folderPage),
                       QStringLiteral("Add Folder..."));
    removeFolder_ = named(new QPushButton(QStringLiteral("&Remove Folder"), folderPage),
                          QStringLiteral("Remove Folder"));
    update_ =
        named(new QPushButton(QStringLiteral("Up&date"), folderPage), QStringLiteral("Update"));
    update_->setToolTip(
        QStringLiteral("Read new and changed images of the folders into the index (F5)"));
    abort_ = named(new QPushButton(QStringLiteral("A&bort"), folderPage), QStringLiteral("Abort"));
    abort_->setToolTip(QStringLiteral("Stop the update; what it wrote so far stays"));
    progress_ = named(new QProgressBar(folderPage), QStringLiteral("Progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    connect(addFolder_, &QPushButton::clicked, this, &TfCollection::addFolder);
    connect(removeFolder_, &QPushButton::clicked, this, &TfCollection::removeFolder);
    connect(update_, &QPushButton::clicked, this, &TfCollection::update);
    connect(abort_, &QPushButton::clicked, this, &TfCollection::abortUpdate);
    connect(folders_, &QListWidget::currentRowChanged, this,
            [this] { removeFolder_->setEnabled(!updating() && folders_->currentRow() >= 0); });
    fl->addWidget(foldersLabel, 0, 0, 1, 2);
    fl->addWidget(folders_, 1, 0, 5, 1);
    fl->addWidget(addFolder_, 1, 1);
    fl->addWidget(removeFolder_, 2, 1);
    fl->addWidget(update_, 3, 1);
    fl->addWidget(abort_, 4, 1);
    fl->setRowStretch(5, 1);
    fl->addWidget(progress_, 6, 0, 1, 2);
    tabs_->addTab(folderPage, QStringLiteral("&Folders"));

    const QFont lineFont = displayFont(session_.fonts()[FontSlot::MainForm]);

    // Search.
    auto* searchPage = new QWidget(tabs_);
    auto* sl = new QVBoxLayout(searchPage);
    auto* row = new QHBoxLayout;
    auto* patternLabel = new QLabel(QStringLiteral("&Pattern:"), searchPage);
    pattern_ = named(new QLineEdit(searchPage), QStringLiteral("Pattern"));
    pattern_->setObjectName(QStringLiteral("pattern"));
    pattern_->setToolTip(
        QStringLiteral("File names, GEOS classes, disk names and ids; * any run, ? one "
                       "character, [a-z] one of them; letter case does not count"));
    pattern_->setPlaceholderText(QStringLiteral("*elite*"));
    patternLabel->setBuddy(pattern_);
    find_ = named(new QPushButton(QStringLiteral("S&earch"), searchPage), QStringLiteral("Search"));
    connect(pattern_, &QLineEdit::returnPressed, this, &TfCollection::search);
    connect(find_, &QPushButton::clicked, this, &TfCollection::search);
    row->addWidget(patternLabel);
    row->addWidget(pattern_, 1);
    row->addWidget(find_);
    sl->addLayout(row);
    hits_ = new CollectionTableModel(CollectionTableModel::Kind::Hits, this);
    hits_->setLineFont(lineFont);
    hitCount_ = new QLabel(QStringLiteral("&Results:"), searchPage);
    hitsView_ = makeTable(searchPage, hits_, QStringLiteral("Results"));
    hitsView_->setObjectName(QStringLiteral("hits"));
    hitCount_->setBuddy(hitsView_);
    sl->addWidget(hitCount_);
    sl->addWidget(hitsView_, 1);
    tabs_->addTab(searchPage, QStringLiteral("&Search"));

    // Duplicates.
    auto* dupesPage = new QWidget(tabs_);
    auto* dl = new QVBoxLayout(dupesPage);
    auto* drow = new QHBoxLayout;
    auto* minLabel = new QLabel(QStringLiteral("&Minimum blocks:"), dupesPage);
    minBlocks_ = named(new QSpinBox(dupesPage), QStringLiteral("Minimum blocks"));
    minBlocks_->setRange(0, 9999);
    minBlocks_->setValue(1);
    minBlocks_->setToolTip(
        QStringLiteral("Files on several images count only from this many blocks on"));
    minLabel->setBuddy(minBlocks_);
    findDupes_ = named(new QPushButton(QStringLiteral("Find Dup&licates"), dupesPage),
                       QStringLiteral("Find Duplicates"));
    connect(findDupes_, &QPushButton::clicked, this, &TfCollection::findDuplicates);
    drow->addWidget(minLabel);
    drow->addWidget(minBlocks_);
    drow->addWidget(findDupes_);
    drow->addStretch();
    dl->addLayout(drow);
    images_ = new CollectionTableModel(CollectionTableModel::Kind::Images, this);
    files_ = new CollectionTableModel(CollectionTableModel::Kind::Files, this);
    files_->setLineFont(lineFont);
    auto* split = new QSplitter(Qt::Vertical, dupesPage);
    imagesView_ = labelledTable(split, images_, QStringLiteral("Iden&tical images:"),
                                QStringLiteral("images"), imagesLabel_);
    filesView_ = labelledTable(split, files_, QStringLiteral("Files on se&veral images:"),
                               QStringLiteral("files"), filesLabel_);
    dl->addWidget(split, 1);
    tabs_->addTab(dupesPage, QStringLiteral("D&uplicates"));

    // A row opens its image: a double click, or Enter on the keyboard.
    for (QTableView* v : {hitsView_, imagesView_, filesView_}) {
        auto* model = static_cast<CollectionTableModel*>(v->model());
        connect(v, &QAbstractItemView::activated, this, [this, model](const QModelIndex& i) {
            const QString path = model->path(i.row());
            if (!path.isEmpty())
                emit openImageRequested(path);
        });
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);

    // The standard keys of the commands.
    const auto key = [this](QKeySequence::StandardKey k, auto slot) {
        auto* a = new QAction(this);
        a->setShortcuts(k);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key(QKeySequence::Open, &TfCollection::openIndex);
    key(QKeySequence::New, &TfCollection::newIndex);
    key(QKeySequence::Refresh, &TfCollection::update);
    key(QKeySequence::Find, [this] {
        tabs_->setCurrentIndex(1);
        pattern_->setFocus();
        pattern_->selectAll();
    });
    key(QKeySequence::Close, &QDialog::close);
    // Enter in the pattern field searches; it must not close the window.
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAutoDefault(false);
}

QString TfCollection::database() const {
    return qs(settings_.database);
}

QStringList TfCollection::folders() const {
    QStringList l;
    for (const std::string& f : settings_.folders)
        l << qs(f);
    return l;
}

bool TfCollection::updating() const {
    return updater_->running();
}

QString TfCollection::statusText() const {
    return status_->text();
}

void TfCollection::showMessage(const QString& text) {
    session_.dialogs().message(ss(text));
}

void TfCollection::saveSettings() {
    const CollectionSettings s = settings_;
    (void)session_.settings().update(kModule, [&s](IniFile& ini) { s.save(ini); });
}

QString TfCollection::startFolder() const {
    if (!settings_.database.empty())
        return QFileInfo(qs(settings_.database)).absolutePath();
    return QDir::homePath();
}

bool TfCollection::useIndex(const QString& file, bool create) {
    if (file.isEmpty())
        return false;
    std::string error;
    const auto access = create ? CollectionIndex::Access::Update : CollectionIndex::Access::Read;
    auto index = CollectionIndex::open(ss(file), access, error);
    if (!index) {
        showMessage(qs(error));
        return false;
    }
    index.reset();
    settings_.database = ss(QFileInfo(file).absoluteFilePath());
    database_->setText(qs(settings_.database));
    hits_->clear();
    images_->clear();
    files_->clear();
    saveSettings();
    showCounts();
    setUpdating(false);
    return true;
}

void TfCollection::openIndex() {
    if (updating())
        return;
    const QString file = chooser_.openFile(this, QStringLiteral("Open Collection Index..."),
                                           startFolder(), kIndexFilter);
    useIndex(file, false);
}

void TfCollection::newIndex() {
    if (updating())
        return;
    const auto choice = chooser_.saveFile(this, QStringLiteral("New Collection Index..."),
                                          startFolder(), kIndexFilter, QStringLiteral("qvi"));
    if (!choice)
        return;
    std::error_code ec;
    const bool exists = std::filesystem::exists(ss(choice->path), ec);
    // An existing file is never replaced: it is taken as it is when it is an index
    // (and refused with the reason when not).
    if (useIndex(choice->path, !exists) && exists) {
        showMessage(choice->path +
                    QStringLiteral(": the file exists and is opened as it is, not replaced"));
    }
}

void TfCollection::addFolder() {
    if (updating())
        return;
    const QString start = settings_.folders.empty() ? QDir::homePath() : folders().back();
    addFolderPath(chooser_.chooseFolder(this, QStringLiteral("Add Folder..."), start));
}

void TfCollection::addFolderPath(const QString& folder) {
    if (folder.isEmpty())
        return;
    const std::string f = ss(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    if (std::find(settings_.folders.begin(), settings_.folders.end(), f) ==
        settings_.folders.end()) {
        settings_.folders.push_back(f);
        folders_->addItem(qs(f));
        saveSettings();
    }
    folders_->setCurrentRow(folders_->count() - 1);
    setUpdating(false);
}

void TfCollection::removeFolder() {
    const int row = folders_->currentRow();
    if (updating() || row < 0 || row >= static_cast<int>(settings_.folders.size()))
        return;
    settings_.folders.erase(settings_.folders.begin() + row);
    delete folders_->takeItem(row);
    saveSettings();
    setUpdating(false);
}

void TfCollection::setUpdating(bool on) {
    const bool haveIndex = !settings_.database.empty();
    open_->setEnabled(!on);
    new_->setEnabled(!on);
    addFolder_->setEnabled(!on);
    removeFolder_->setEnabled(!on && folders_->currentRow() >= 0);
    update_->setEnabled(!on && haveIndex && !settings_.folders.empty());
    abort_->setEnabled(on);
    find_->setEnabled(haveIndex);
    findDupes_->setEnabled(haveIndex);
    if (on)
        abort_->setFocus();
}

void TfCollection::update() {
    if (updating() || settings_.database.empty() || settings_.folders.empty())
        return;
    if (!updater_->start(database(), folders()))
        return;
    setUpdating(true);
    progress_->setRange(0, 0);  // busy until the images to read are counted
    status_->setText(QStringLiteral("Looking for images..."));
}

void TfCollection::abortUpdate() {
    if (!updating())
        return;
    updater_->abort();
    abort_->setEnabled(false);
    status_->setText(QStringLiteral("Aborting: the images read so far are written..."));
}

void TfCollection::updateStarted(int images) {
    progress_->setRange(0, std::max(1, images));
    progress_->setValue(0);
    status_->setText(QStringLiteral("Reading %1 new or changed images...").arg(images));
}

void TfCollection::updateProgressed(int done, int images) {
    progress_->setRange(0, std::max(1, images));
    progress_->setValue(done);
    if (abort_->isEnabled())
        status_->setText(QStringLiteral("Reading images: %1 of %2").arg(done).arg(images));
}

void TfCollection::updateFinished(const UpdateCounts& counts, const QString& error,
                                  const QStringList& failures) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    setUpdating(false);
    if (!error.isEmpty()) {
        status_->setText(error);
        showMessage(error);
        return;
    }
    showCounts();
    status_->setText(qs(updateSummary(counts)) + QStringLiteral(". ") + status_->text());
    if (!failures.isEmpty()) {
        // The first ones are enough to see what is wrong.
        constexpr int kShown = 20;
        QStringList shown = failures.mid(0, kShown);
        if (failures.size() > kShown)
            shown << QStringLiteral("... and %1 more").arg(failures.size() - kShown);
        showMessage(
            QStringLiteral("Collection: %1 images could not be read:\n").arg(failures.size()) +
            shown.join(QLatin1Char('\n')));
    }
}

void TfCollection::showCounts() {
    if (settings_.database.empty()) {
        status_->setText(QStringLiteral("No index chosen: open one or create a new one."));
        return;
    }
    std::string error;
    auto index = CollectionIndex::open(settings_.database, CollectionIndex::Access::Read, error);
    if (!index) {
        status_->setText(qs(error));
        return;
    }
    const IndexCounts c = index->counts();
    status_->setText(QStringLiteral("The index holds %1 images with %2 files and %3 problems.")
                         .arg(c.images)
                         .arg(c.entries)
                         .arg(c.problems));
}

void TfCollection::search() {
    const QString pattern = pattern_->text().trimmed();
    if (settings_.database.empty())
        return;
    if (pattern.isEmpty()) {
        hitCount_->setText(QStringLiteral("&Results: type a pattern, such as *elite*"));
        return;
    }
    std::string error;
    auto index = CollectionIndex::open(settings_.database, CollectionIndex::Access::Read, error);
    if (!index) {
        showMessage(qs(error));
        return;
    }
    const std::vector<SearchHit> hits = index->search(ss(pattern));
    hits_->setHits(hits);
    hitCount_->setText(QStringLiteral("&Results: %1 %2")
                           .arg(hits.size())
                           .arg(hits.size() == 1 ? QStringLiteral("hit") : QStringLiteral("hits")));
    fitColumns(hitsView_, 0);
    if (!hits.empty())
        hitsView_->selectRow(0);
}

void TfCollection::findDuplicates() {
    if (settings_.database.empty())
        return;
    std::string error;
    auto index = CollectionIndex::open(settings_.database, CollectionIndex::Access::Read, error);
    if (!index) {
        showMessage(qs(error));
        return;
    }
    const DupeReport r = index->dupes(minBlocks_->value());
    images_->setImages(r.images);
    files_->setFiles(r.files);
    imagesLabel_->setText(
        QStringLiteral("Iden&tical images: %1 %2")
            .arg(r.images.size())
            .arg(r.images.size() == 1 ? QStringLiteral("group") : QStringLiteral("groups")));
    filesLabel_->setText(QStringLiteral("Files on se&veral images: %1").arg(r.files.size()));
    fitColumns(imagesView_, 3);
    fitColumns(filesView_, 4);
}

void TfCollection::closeEvent(QCloseEvent* event) {
    // The window only hides: an update goes on, and its end shows here next time.
    event->accept();
}

}  // namespace qv::app
