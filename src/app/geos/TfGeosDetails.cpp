#include "geos/TfGeosDetails.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>

#include "geos/CatalogueExport.h"
#include "geos/GeosDetailsModel.h"
#include "geos/GeosSettings.h"
#include "geos/TfDetailFilter.h"
#include "platform/Commands.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/TfSelectFolder.h"
#include "session/Session.h"
#include "settings/IniFile.h"

namespace qv::app {
namespace {

const QSize kSmallIcon(kGeosIconWidth, kGeosIconHeight);
const QSize kLargeIcon(2 * kGeosIconWidth, 2 * kGeosIconHeight);

// The click machine's 500 ms on a toolkit timer.
class QtClickTimer : public ClickTimer {
  public:
    explicit QtClickTimer(std::function<void()> fired) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, std::move(fired));
    }
    void start(int milliseconds) override { timer_.start(milliseconds); }
    void stop() override { timer_.stop(); }

  private:
    QTimer timer_;
};

// The hourglass while a command works.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The rows of a selection, each once, in list order.
std::vector<int> rowsOf(const QItemSelection& selection) {
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& r : selection)
        ranges.emplace_back(r.top(), r.bottom());
    std::sort(ranges.begin(), ranges.end());
    std::vector<int> rows;
    int next = 0;
    for (const auto& [top, bottom] : ranges) {
        for (int row = std::max(top, next); row <= bottom; ++row)
            rows.push_back(row);
        next = std::max(next, bottom + 1);
    }
    return rows;
}

int countRows(const QItemSelection& selection) {
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& r : selection)
        ranges.emplace_back(r.top(), r.bottom());
    std::sort(ranges.begin(), ranges.end());
    int count = 0, next = 0;
    for (const auto& [top, bottom] : ranges) {
        const int from = std::max(top, next);
        if (bottom >= from)
            count += bottom - from + 1;
        next = std::max(next, bottom + 1);
    }
    return count;
}

}  // namespace

TfGeosDetails::TfGeosDetails(Session& session, FileChooser& chooser, TfSelectFolder& folders,
                             QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      chooser_(chooser),
      folders_(folders),
      nameDialogs_(session.dialogs().host()) {
    setWindowTitle(
        QStringLiteral("GEOS File Details (DoubleClick on Entry or RightClick for Functions)"));
    setObjectName(QStringLiteral("TfGeosDetails"));
    setAccessibleName(windowTitle());
    resize(GeosDetailsSettings{}.width, GeosDetailsSettings{}.height);
    model_ = new GeosDetailsModel(session_.catalogue(), this);
    ownTimer_ = std::make_unique<QtClickTimer>([this] { clicks_->timeout(); });
    ClickTarget& target = *this;
    clicks_ = std::make_unique<CatalogueClicks>(*ownTimer_, target);
    filter_ = new TfDetailFilter(this);
    buildViews();
    buildMenu();
    showListed();
    showSelected();
}

TfGeosDetails::~TfGeosDetails() = default;

void TfGeosDetails::setUpView(QAbstractItemView* view) {
    view->setModel(model_);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->setAccessibleName(QStringLiteral("GEOS File Details"));
    // The selection stays as visible when the list loses the focus.
    QPalette p = view->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
    view->setPalette(p);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& pos) { menu_->popup(view->viewport()->mapToGlobal(pos)); });
    for (QScrollBar* bar : {view->verticalScrollBar(), view->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { closeEditor(false); });
}

void TfGeosDetails::buildViews() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    stack_ = new QStackedWidget(this);

    table_ = new CatalogueTable(stack_);
    table_->setObjectName(QStringLiteral("report"));
    setUpView(table_);
    table_->setShowGrid(true);
    table_->setWordWrap(false);
    table_->setIconSize(kSmallIcon);
    table_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(
        std::max(kGeosIconHeight + 2, table_->fontMetrics().height() + 4));
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setTextElideMode(Qt::ElideRight);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    for (int c = 0; c < kCatalogueColumnCount; ++c)
        table_->setColumnWidth(c, catalogueColumns()[static_cast<std::size_t>(c)].width);
    connect(header, &QHeaderView::sectionClicked, this, &TfGeosDetails::sortByColumn);

    list_ = new CatalogueList(stack_);
    list_->setObjectName(QStringLiteral("icons"));
    setUpView(list_);
    list_->setModelColumn(kColFileName);
    list_->setSelectionModel(table_->selectionModel());
    list_->setUniformItemSizes(true);
    list_->setMovement(QListView::Static);
    list_->setResizeMode(QListView::Adjust);
    list_->setLayoutMode(QListView::Batched);
    list_->setBatchSize(1000);

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(table_), static_cast<QAbstractItemView*>(list_)}) {
        auto* v = view;
        const auto press = [this, v](QMouseEvent* e) { viewPressed(v, e); };
        const auto release = [this](QMouseEvent* e) {
            if (e->button() == Qt::LeftButton)
                clicks_->releaseLeft();
        };
        const auto wheel = [this] { closeEditor(false); };
        const auto key = [this](QKeyEvent* e) { return viewKey(e); };
        if (view == table_) {
            table_->pressed = press;
            table_->released = release;
            table_->wheelTurned = wheel;
            table_->keyPressed = key;
        } else {
            list_->pressed = press;
            list_->released = release;
            list_->wheelTurned = wheel;
            list_->keyPressed = key;
        }
    }
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { showSelected(); });

    stack_->addWidget(table_);
    stack_->addWidget(list_);
    layout->addWidget(stack_, 1);

    editor_ = new QLineEdit(table_->viewport());
    editor_->setObjectName(QStringLiteral("cellEditor"));
    editor_->setAccessibleName(QStringLiteral("Edit cell"));
    editor_->setMaxLength(255);
    editor_->hide();
    editor_->installEventFilter(this);

    auto* status = new QStatusBar(this);
    status->setSizeGripEnabled(true);
    panel0_ = new QLabel(status);
    panel0_->setMinimumWidth(300);
    panel0_->setObjectName(QStringLiteral("panel0"));
    panel1_ = new QLabel(status);
    panel1_->setMinimumWidth(50);
    panel1_->setObjectName(QStringLiteral("panel1"));
    progress_ = new QProgressBar(status);
    progress_->setObjectName(QStringLiteral("exportProgress"));
    progress_->setAccessibleName(QStringLiteral("Export progress"));
    progress_->setMaximumWidth(200);
    progress_->setTextVisible(false);
    progress_->hide();
    status->addWidget(panel0_);
    status->addWidget(panel1_, 1);
    status->addPermanentWidget(progress_);
    layout->addWidget(status);
}

void TfGeosDetails::buildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("popup"));
    const auto command = [this](const QString& text, const QString& hint, const QKeySequence& keys,
                                void (TfGeosDetails::*slot)()) {
        auto* a = new QAction(text, this);
        a->setToolTip(hint.isEmpty() ? QString(text).remove(QLatin1Char('&')) : hint);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        commands_.push_back(a);
        return a;
    };
    styles_ = new QActionGroup(this);
    styles_->setExclusive(true);
    struct Style {
        const char* text;
        const char* hint;
        ViewStyle style;
        Qt::Key key;
    };
    const Style styles[] = {
        {"vs&Icon", "Switch Viewstyle to Iconview", ViewStyle::Icon, Qt::Key_1},
        {"vs&List", "Switch Viewstyle to Listview", ViewStyle::List, Qt::Key_2},
        {"vs&Report", "Switch Viewstyle to Reportview", ViewStyle::Report, Qt::Key_3},
        {"vsS&mallIcon", "Switch Viewstyle to Smalliconview", ViewStyle::SmallIcon, Qt::Key_4},
    };
    for (const Style& s : styles) {
        auto* a = new QAction(QString::fromLatin1(s.text), styles_);
        a->setToolTip(QString::fromLatin1(s.hint));
        a->setCheckable(true);
        a->setChecked(s.style == ViewStyle::Report);
        a->setShortcut(QKeySequence(Qt::CTRL | s.key));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        a->setData(static_cast<int>(s.style));
        const ViewStyle style = s.style;
        connect(a, &QAction::triggered, this, [this, style] { setViewStyle(style); });
        addAction(a);
        commands_.push_back(a);
    }
    menu_->addActions(styles_->actions());
    menu_->addSeparator();
    menu_->addAction(command(QStringLiteral("&Delete Selected Items"), {},
                             QKeySequence(QKeySequence::Delete), &TfGeosDetails::deleteSelected));
    menu_->addAction(command(QStringLiteral("&Clear"), {}, {}, &TfGeosDetails::clearAll));
    menu_->addSeparator();
    // Sorting from the keyboard, as a click on a column header sorts.
    QMenu* sortMenu = menu_->addMenu(QStringLiteral("Sort &by"));
    QString taken;
    for (int c = 0; c < kCatalogueColumnCount; ++c) {
        auto* a = sortMenu->addAction(withMnemonic(
            QString::fromLatin1(catalogueColumns()[static_cast<std::size_t>(c)].caption), taken));
        connect(a, &QAction::triggered, this, [this, c] { sortByColumn(c); });
        commands_.push_back(a);
    }
    menu_->addSeparator();
    menu_->addAction(command(QStringLiteral("&Save List as..."),
                             QStringLiteral("Save the list (without Icons)"),
                             QKeySequence(QKeySequence::Save), &TfGeosDetails::saveList));
    menu_->addAction(command(QStringLiteral("&Export Selected Items..."), {},
                             QKeySequence(Qt::CTRL | Qt::Key_E), &TfGeosDetails::exportSelected));
    menu_->setToolTipsVisible(true);
    // The keys of the list, outside the menu.
    command(QStringLiteral("Select &All"), {}, QKeySequence(QKeySequence::SelectAll),
            &TfGeosDetails::selectAll);
    command(QStringLiteral("&Copy"), {}, QKeySequence(QKeySequence::Copy),
            &TfGeosDetails::copySelected);
}

QAction* TfGeosDetails::viewStyleAction(ViewStyle style) const {
    for (QAction* a : styles_->actions()) {
        if (a->data().toInt() == static_cast<int>(style))
            return a;
    }
    return nullptr;
}

QAbstractItemView* TfGeosDetails::currentView() const {
    if (style_ == ViewStyle::Report)
        return table_;
    return list_;
}

void TfGeosDetails::setViewStyle(ViewStyle style) {
    closeEditor(false);
    clicks_->forget();
    style_ = style;
    if (QAction* a = viewStyleAction(style))
        a->setChecked(true);
    if (style == ViewStyle::Report) {
        stack_->setCurrentWidget(table_);
    } else {
        if (style == ViewStyle::Icon) {
            list_->setViewMode(QListView::IconMode);
            list_->setIconSize(kLargeIcon);
            list_->setGridSize(QSize(120, kLargeIcon.height() + 2 * fontMetrics().height() + 8));
            list_->setWordWrap(true);
        } else {
            list_->setViewMode(QListView::ListMode);
            list_->setIconSize(kSmallIcon);
            list_->setFlow(style == ViewStyle::List ? QListView::TopToBottom
                                                    : QListView::LeftToRight);
            list_->setWrapping(true);
            list_->setWordWrap(false);
            list_->setGridSize(QSize(180, kSmallIcon.height() + 4));
        }
        list_->setMovement(QListView::Static);
        list_->setResizeMode(QListView::Adjust);
        stack_->setCurrentWidget(list_);
    }
    if (QAbstractItemView* v = currentView()) {
        if (v->currentIndex().isValid())
            v->scrollTo(v->currentIndex());
        v->setFocus();
    }
}

// --- Settings -------------------------------------------------------------------

bool TfGeosDetails::loadSettings() {
    const std::optional<IniFile> ini = session_.settings().read();
    if (!ini)
        return false;
    GeosCatalogue& catalogue = session_.catalogue();
    catalogue.loadSettings(*ini);
    QSize room(INT_MAX, INT_MAX);
    if (const QScreen* sc = screen())
        room = sc->availableGeometry().size();
    const int w = catalogue.settings.width <= room.width() ? catalogue.settings.width : width();
    const int h = catalogue.settings.height <= room.height() ? catalogue.settings.height : height();
    resize(w, h);
    return true;
}

bool TfGeosDetails::settingsLoaded() const {
    return session_.catalogue().settingsLoaded();
}

void TfGeosDetails::saveSettings(IniFile& ini) {
    GeosCatalogue& catalogue = session_.catalogue();
    catalogue.settings.width = width();
    catalogue.settings.height = height();
    catalogue.saveSettings(ini);
}

// --- Rows and status ----------------------------------------------------------

void TfGeosDetails::rowsListed() {
    model_->flush();
    showListed();
}

void TfGeosDetails::showListed() {
    panel0_->setText(qs(session_.catalogue().listedStatus()));
}

void TfGeosDetails::showSelected() {
    panel1_->setText(
        qs(GeosCatalogue::selectedStatus(countRows(table_->selectionModel()->selection()))));
}

QString TfGeosDetails::statusText(int panel) const {
    return panel == 0 ? panel0_->text() : panel1_->text();
}

std::vector<int> TfGeosDetails::selectedRows() const {
    return rowsOf(table_->selectionModel()->selection());
}

void TfGeosDetails::setCommandsEnabled(bool on) {
    for (QAction* a : commands_)
        a->setEnabled(on);
    for (QAction* a : styles_->actions())
        a->setEnabled(on);
    table_->horizontalHeader()->setSectionsClickable(on);
}

// --- Commands -------------------------------------------------------------------

void TfGeosDetails::sortByColumn(int column) {
    if (exporting_)
        return;
    closeEditor(false);
    clicks_->forget();
    BusyCursor busy;
    GeosCatalogue& catalogue = session_.catalogue();
    catalogue.sortByColumn(column);
    QHeaderView* header = table_->horizontalHeader();
    header->setSortIndicatorShown(catalogue.sortColumn() >= 0);
    header->setSortIndicator(catalogue.sortColumn(),
                             catalogue.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    currentView()->viewport()->update();
}

void TfGeosDetails::deleteSelected() {
    if (exporting_)
        return;
    closeEditor(false);
    clicks_->forget();
    {
        BusyCursor busy;
        session_.catalogue().deleteRows(selectedRows());
    }
    showListed();
    showSelected();
}

void TfGeosDetails::clearAll() {
    if (exporting_)
        return;
    closeEditor(false);
    clicks_->forget();
    {
        BusyCursor busy;
        session_.catalogue().clear();
        table_->horizontalHeader()->setSortIndicatorShown(false);
    }
    panel0_->setText(QStringLiteral("0 GEOS File(s) listed"));
    panel1_->setText(QStringLiteral("0 GEOS File(s) selected"));
}

void TfGeosDetails::selectAll() {
    model_->flush();
    currentView()->selectAll();
    showSelected();
}

void TfGeosDetails::copySelected() {
    const std::string text = session_.catalogue().clipboardText(selectedRows());
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void TfGeosDetails::saveList() {
    if (exporting_)
        return;
    GeosCatalogue& catalogue = session_.catalogue();
    const std::string folder = saveFolder_ ? saveFolder_() : session_.saveFolder();
    const std::optional<FileChooser::SaveChoice> choice =
        chooser_.saveFile(this, QStringLiteral("Save as..."), qs(folder), kListSaveFilterWithPng,
                          QStringLiteral("html"));
    if (!choice || choice->path.isEmpty())
        return;
    const std::string path = ss(choice->path);
    const ListFormat format = listFormatFor(path, choice->filterIndex + 1);
    if (isRowFormat(format) && !filter_->choose(catalogue.settings.columns))
        return;
    BusyCursor busy;
    writeCatalogueList(catalogue, format, path, catalogue.settings.columns, session_.dialogs());
}

void TfGeosDetails::exportSelected() {
    if (exporting_)
        return;
    const std::string folder = folders_.selectFolder();
    if (folder.empty())
        return;
    exportSelectedTo(folder);
}

void TfGeosDetails::exportSelectedTo(const std::string& folder) {
    if (exporting_)
        return;
    closeEditor(false);
    clicks_->forget();
    raise();
    activateWindow();
    currentView()->setFocus();
    const std::vector<int> rows = selectedRows();
    abortRequested_ = false;
    exporting_ = true;
    setCommandsEnabled(false);
    progress_->setRange(0, std::max<int>(1, static_cast<int>(rows.size())));
    progress_->setValue(0);
    progress_->show();
    {
        BusyCursor busy;
        GeosCatalogue& catalogue = session_.catalogue();
        const IniFile ini = session_.settings().readOrEmpty();
        const GeosViewerSettings viewer = geosViewerSettings(ini, catalogue.settings);
        GeosReaderContext context{session_.dialogs(), session_.listerOptions(), viewer.palette};
        DocumentExport exporter(context, nameDialogs_, catalogue.settings, viewer);
        ExportProgress& progress = *this;
        exportCatalogueRows(catalogue, rows, folder, exporter, progress);
    }
    progress_->hide();
    exporting_ = false;
    setCommandsEnabled(true);
}

void TfGeosDetails::rowDone(int row, int done, int) {
    table_->selectionModel()->select(model_->index(row, 0),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    showSelected();
    progress_->setValue(done);
    // Esc in the list gets through here.
    QApplication::processEvents();
}

// --- Clicks, keys and editing -----------------------------------------------------

void TfGeosDetails::useClickTimer(ClickTimer& timer) {
    ClickTarget& target = *this;
    clicks_ = std::make_unique<CatalogueClicks>(timer, target);
}

void TfGeosDetails::viewPressed(QAbstractItemView* view, QMouseEvent* event) {
    const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    if (plain && (event->button() == Qt::LeftButton || event->button() == Qt::MiddleButton)) {
        const QPoint pos = event->position().toPoint();
        const QModelIndex at = view->indexAt(pos);
        int row = -1;
        if (at.isValid() && table_->selectionModel()->isRowSelected(at.row()))
            row = at.row();
        else if (const std::vector<int> rows = selectedRows(); !rows.empty())
            row = rows.front();
        clicks_->press(row, pos.x(), pos.y());
    }
    showSelected();
}

bool TfGeosDetails::viewKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        requestAbort();
        return true;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return true;
    }
    if (event->matches(QKeySequence::Copy)) {
        copySelected();
        return true;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        const QModelIndex current = currentView()->currentIndex();
        int row = -1;
        if (current.isValid() && table_->selectionModel()->isRowSelected(current.row()))
            row = current.row();
        else if (const std::vector<int> rows = selectedRows(); !rows.empty())
            row = rows.front();
        if (row >= 0)
            openRow(row);
        return true;
    }
    return false;
}

void TfGeosDetails::openRow(int row) {
    if (row >= 0 && row < model_->rowCount())
        emit openEntryRequested(row);
}

bool TfGeosDetails::editCell(int row, int x, int y) {
    QAbstractItemView* view = currentView();
    const QModelIndex at = view->indexAt(QPoint(x, y));
    if (!at.isValid() || at.row() != row || !session_.catalogue().canEdit(at.column()))
        return false;
    closeEditor(false);
    editRow_ = row;
    editColumn_ = at.column();
    QRect cell = view->visualRect(at);
    // Laid over the cell, one pixel inside its left and lower edges.
    cell.adjust(1, 0, 0, -1);
    editor_->setParent(view->viewport());
    editor_->setGeometry(cell);
    editor_->setText(
        qs(session_.catalogue().rows()[static_cast<std::size_t>(row)].text(at.column())));
    editor_->show();
    editor_->raise();
    editor_->setFocus();
    editor_->selectAll();
    return true;
}

void TfGeosDetails::closeEditor(bool write, bool refocus) {
    if (editRow_ < 0)
        return;
    const int row = editRow_;
    const int column = editColumn_;
    editRow_ = -1;
    editColumn_ = -1;
    const std::string text = ss(editor_->text());
    editor_->hide();
    if (write)
        session_.catalogue().setCellText(row, column, text);
    if (refocus)
        currentView()->setFocus();
}

bool TfGeosDetails::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                closeEditor(true);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                closeEditor(false);
                return true;
            }
        } else if (event->type() == QEvent::ShortcutOverride) {
            // The window's keys (Delete, Ctrl+A, Ctrl+C) belong to the box while it is open.
            event->accept();
            return false;
        } else if (event->type() == QEvent::FocusOut) {
            closeEditor(false, false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfGeosDetails::closeEvent(QCloseEvent* event) {
    closeEditor(false);
    clicks_->forget();
    event->accept();
    emit closed();
}

}  // namespace qv::app
