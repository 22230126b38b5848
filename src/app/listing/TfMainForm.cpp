#include "listing/TfMainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextCursor>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "bam/TfBAMViewer.h"
#include "collection/TfCollection.h"
#include "geos/GeosViewers.h"
#include "geos/TfGeosDetails.h"
#include "listing/FileList.h"
#include "listing/ListingExport.h"
#include "listing/ListingFile.h"
#include "listing/ListingSave.h"
#include "listing/TfAbout.h"
#include "platform/Commands.h"
#include "platform/DisplayFont.h"
#include "platform/FindDialog.h"
#include "platform/FolderCollector.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/RichTextView.h"
#include "platform/TfExtendedOpen.h"
#include "platform/TfSelectFolder.h"
#include "screen/ScreenSettings.h"
#include "screen/TfC64Screen.h"
#include "settings/Platform.h"
#include "settings/SettingsLocation.h"
#include "settings/TfListerOptions.h"
#include "support/FolderSearch.h"
#include "viewer/TfFileViewer.h"

namespace qv::app {

namespace {

const QColor kBlue(0x00, 0x00, 0xFF);
// The widest line a listing has.
constexpr int kListingColumns = 80;
// The narrowest the window lets itself be made.
constexpr int kNarrowestWidth = 200;

std::string defaultSettingsFile(Dialogs& dialogs, std::vector<std::string>& messages) {
    const std::filesystem::path programDir = ss(QCoreApplication::applicationDirPath());
    SettingsFileSetup s = setUpSettingsFile(programDir, userConfigHome(), {}, dialogs);
    messages.insert(messages.end(), s.messages.begin(), s.messages.end());
    return s.file.string();
}

}  // namespace

TfMainForm::TfMainForm(const MainFormSetup& setup, QWidget* parent)
    : QMainWindow(parent), commandLine_(setup.images), runEventInterval_(setup.runEventInterval) {
    setWindowTitle(QStringLiteral("Quorvane"));
    setObjectName(QStringLiteral("TfMainForm"));
    if (setup.dialogHost) {
        dialogHost_ = setup.dialogHost;
    } else {
        qtDialogHost_ = std::make_unique<QtDialogHost>(this);
        dialogHost_ = qtDialogHost_.get();
    }
    if (setup.fileChooser) {
        fileChooser_ = setup.fileChooser;
    } else {
        qtFileChooser_ = std::make_unique<QtFileChooser>();
        fileChooser_ = qtFileChooser_.get();
    }
    session_ = std::make_unique<Session>(*dialogHost_, setup.settingsFile);
    if (setup.settingsFile.empty()) {
        std::vector<std::string> messages;
        session_->settings().setPath(defaultSettingsFile(session_->dialogs(), messages));
        for (const std::string& m : messages)
            session_->dialogs().message(m);
    }

    listing_ = std::make_unique<Listing>(session_->listerOptions(), session_->dialogs());
    listing_->setHost(this);
    listing_->setKeywords(v2Keywords(session_->tokens()));
    listing_->setLog(&sizeLog_);
    listing_->setGeosSink(&session_->catalogue());

    buildWidgets();
    buildCommands();
    // The windows that live as long as the main window.
    selectFolder_ = new TfSelectFolder(*fileChooser_, session_->dialogs(), this);
    collector_ = new FolderCollector(this);
    about_ = new TfAbout(this);
    // A hint stays 5 seconds.
    for (QWidget* w : findChildren<QWidget*>())
        w->setToolTipDuration(5000);
    loadSettings();
    createScreenWindow();
    createBamWindows();
    createGeosDetails();
    setAcceptDrops(true);
}

TfMainForm::~TfMainForm() {
    listing_->setHost(nullptr);
    // The child windows (catalogue, viewers, block map, collection) work on the session,
    // which goes with this window's members, before QWidget's destructor would delete
    // the children: they go first. One that takes others with it leaves a null pointer.
    QList<QPointer<QWidget>> windows;
    for (QObject* c : children()) {
        auto* w = qobject_cast<QWidget*>(c);
        if (w && w->isWindow())
            windows.push_back(w);
    }
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    delete geosViewers_;
}

void TfMainForm::buildWidgets() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    path_ = new QLineEdit(central);
    path_->setReadOnly(true);
    path_->setObjectName(QStringLiteral("path"));
    path_->setAccessibleName(QStringLiteral("Current image"));
    layout->addWidget(path_);

    auto* row = new QHBoxLayout;
    generate_ = new QCheckBox(QStringLiteral("Generate ASCII File"), central);
    generate_->setToolTip(
        QStringLiteral("Generate an ASCII File with the D64 Imagecontext in the "
                       "specified Path and with the specified Filename"));
    upperGraphics_ = new QRadioButton(QStringLiteral("Upper/Graphics"), central);
    upperGraphics_->setToolTip(
        QStringLiteral("Switch to Upper/Graphics Mode. Press List Button to list again."));
    upperLower_ = new QRadioButton(QStringLiteral("Upper/Lower"), central);
    upperLower_->setToolTip(
        QStringLiteral("Switch to Upper/Lower Mode. Press List Button to list again."));
    upperGraphics_->setChecked(true);
    connect(upperLower_, &QRadioButton::toggled, this, [this](bool on) {
        listing_->mode = on ? CharMode::UpperLower : CharMode::UpperGraphics;
    });
    abort_ = new QPushButton(QStringLiteral("Abort"), central);
    abort_->setVisible(false);
    abort_->setEnabled(false);
    abort_->setCursor(Qt::BusyCursor);
    connect(abort_, &QPushButton::clicked, this, &TfMainForm::pressAbort);
    row->addWidget(generate_);
    row->addWidget(upperGraphics_);
    row->addWidget(upperLower_);
    row->addStretch();
    row->addWidget(abort_);
    layout->addLayout(row);
    commandWidgets_ = {generate_, upperGraphics_, upperLower_};

    view_ = new RichTextView(central);
    view_->setObjectName(QStringLiteral("listing"));
    view_->setAccessibleName(QStringLiteral("Listing"));
    view_->setAcceptDrops(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu* menu = listingMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(view_->viewport()->mapToGlobal(p));
    });
    layout->addWidget(view_, 1);
    // The window's width is the user's: the row of options and "Abort" may be cut
    // off rather than widen it.
    central->setMinimumWidth(kNarrowestWidth);
    setCentralWidget(central);

    progress_ = new QProgressBar(this);
    progress_->setFixedWidth(100);
    progress_->setTextVisible(false);
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    panel2_ = new QLabel(this);
    panel2_->setMinimumWidth(
        panel2_->fontMetrics().horizontalAdvance(QStringLiteral("Reversing...Time left:")) + 6);
    panel3_ = new QLabel(this);
    panel3_->setMinimumWidth(50);
    statusBar()->addWidget(progress_);
    statusBar()->addWidget(panel2_);
    statusBar()->addWidget(panel3_, 1);
}

void TfMainForm::buildCommands() {
    QStyle* st = style();
    const auto action = [this](const QString& text, const QString& hint, const QIcon& icon,
                               void (TfMainForm::*slot)()) {
        auto* a = new QAction(commandIcon(icon), text, this);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        commandActions_.push_back(a);
        return a;
    };
    QAction* loadA =
        action(QStringLiteral("&Load..."), QStringLiteral("Load Images with Normal OpenDialog"),
               st->standardIcon(QStyle::SP_DialogOpenButton), &TfMainForm::load);
    QAction* loadExtA = action(QStringLiteral("Load &Extended..."),
                               QStringLiteral("Load Images using Extended OpenDialog"),
                               st->standardIcon(QStyle::SP_DirOpenIcon), &TfMainForm::openExtended);
    QAction* importA =
        action(QStringLiteral("&Import..."), QString(), QIcon(), &TfMainForm::importListing);
    QAction* saveA = action(QStringLiteral("&Save as..."), QStringLiteral("Save Imagecontext"),
                            st->standardIcon(QStyle::SP_DialogSaveButton), &TfMainForm::saveAs);
    QAction* exitA = action(QStringLiteral("E&xit"), QString(), QIcon(), nullptr);
    connect(exitA, &QAction::triggered, this, &QWidget::close);
    QAction* listA = action(QStringLiteral("&List"), QStringLiteral("List last Image again"),
                            st->standardIcon(QStyle::SP_BrowserReload), &TfMainForm::list);
    QAction* clearA =
        action(QStringLiteral("&Clear"), QStringLiteral("Clear List"),
               st->standardIcon(QStyle::SP_DialogResetButton), &TfMainForm::clearListing);
    QAction* screenA =
        action(QStringLiteral("C64 &Screen..."), QStringLiteral("Show Original C64 Screen"),
               st->standardIcon(QStyle::SP_ComputerIcon), nullptr);
    QAction* geosA =
        action(QStringLiteral("&GEOS File Details..."), QStringLiteral("Show GEOS File Details"),
               st->standardIcon(QStyle::SP_FileDialogDetailedView), nullptr);
    QAction* bamA =
        action(QStringLiteral("&BAM..."),
               QStringLiteral("Show BAM, Diskerrors, BlockOwner, FileViewer and BlockViewer"),
               st->standardIcon(QStyle::SP_DriveFDIcon), nullptr);
    QAction* collectionA = action(QStringLiteral("C&ollection..."),
                                  QStringLiteral("Index, search and de-duplicate a collection"),
                                  QIcon(), &TfMainForm::showCollection);
    collectionA->setObjectName(QStringLiteral("actionCollection"));
    QAction* optionsA =
        action(QStringLiteral("&Options"), QStringLiteral("OptionsDialog"),
               st->standardIcon(QStyle::SP_FileDialogContentsView), &TfMainForm::showOptions);
    QAction* infoA =
        action(QStringLiteral("&Info"), QStringLiteral("Show Info"),
               st->standardIcon(QStyle::SP_MessageBoxInformation), &TfMainForm::showInfo);
    QAction* findA =
        action(QStringLiteral("&Find Text..."), QString(), QIcon(), &TfMainForm::findText);
    QAction* findNextA =
        action(QStringLiteral("Find &Next"), QString(), QIcon(), &TfMainForm::findNext);
    findAction_ = findA;
    setStandardShortcut(loadA, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    setStandardShortcut(saveA, QKeySequence::SaveAs,
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setStandardShortcut(exitA, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    setStandardShortcut(listA, QKeySequence::Refresh, QKeySequence(Qt::Key_F5));
    setStandardShortcut(findA, QKeySequence::Find, QKeySequence(Qt::CTRL | Qt::Key_F));
    setStandardShortcut(findNextA, QKeySequence::FindNext, QKeySequence(Qt::Key_F3));
    screenAction_ = screenA;
    screenA->setObjectName(QStringLiteral("actionC64Screen"));
    connect(screenA, &QAction::triggered, this, &TfMainForm::toggleScreen);
    bamAction_ = bamA;
    bamA->setObjectName(QStringLiteral("actionBAM"));
    connect(bamA, &QAction::triggered, this, &TfMainForm::toggleBam);
    geosAction_ = geosA;
    geosA->setObjectName(QStringLiteral("actionGeosDetails"));
    connect(geosA, &QAction::triggered, this, &TfMainForm::toggleGeosDetails);
    for (QAction* a : {screenA, geosA, bamA})
        a->setCheckable(true);
    loadA->setObjectName(QStringLiteral("actionLoad"));
    loadExtA->setObjectName(QStringLiteral("actionLoadExtended"));
    importA->setObjectName(QStringLiteral("actionImport"));
    saveA->setObjectName(QStringLiteral("actionSave"));
    listA->setObjectName(QStringLiteral("actionList"));
    clearA->setObjectName(QStringLiteral("actionClear"));
    optionsA->setObjectName(QStringLiteral("actionOptions"));
    infoA->setObjectName(QStringLiteral("actionInfo"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({loadA, loadExtA, importA, saveA});
    file->addSeparator();
    file->addAction(exitA);
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addActions({listA, clearA});
    tools->addSeparator();
    tools->addActions({screenA, geosA, bamA, collectionA});
    tools->addSeparator();
    tools->addActions({findA, findNextA});
    // The menu bar shows words; its two commands share the toolbar's handlers.
    for (QAction* a : {optionsA, infoA}) {
        QAction* m = menuBar()->addAction(a->text());
        connect(m, &QAction::triggered, a, &QAction::trigger);
        commandActions_.push_back(m);
    }
    for (QAction* a : menuBar()->actions())
        commandActions_.push_back(a);
    menuBar()->setToolTipDuration(5000);

    toolBar_ = addToolBar(QStringLiteral("Commands"));
    toolBar_->setObjectName(QStringLiteral("toolbar"));
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->addActions({loadA, loadExtA});
    toolBar_->addSeparator();
    toolBar_->addActions({saveA, listA});
    for (QAction* a : {clearA, optionsA, screenA, geosA, bamA, infoA}) {
        toolBar_->addSeparator();
        toolBar_->addAction(a);
    }
}

void TfMainForm::loadSettings() {
    session_->load();
    const IniFile ini = session_->settings().readOrEmpty();
    mainSettings_ = MainFormSettings::load(ini);
    names_ = NamesSettings::load(ini);
    const std::string home = ss(QDir::homePath());
    loadStart_ = NamesSettings::startFolder(ini, "Lastload", home);
    importStart_ = NamesSettings::startFolder(ini, "Lastimport Main", home);
    richEdit_ = RichEditSettings::load(ini);
    workArounds_ = WorkAroundSettings::load(ini);

    QSize room;
    if (const QScreen* sc = screen())
        room = sc->availableGeometry().size();
    const WindowExtent size = MainFormSettings::startSize(
        ini, {fittedWidth(), MainFormSettings{}.height}, {room.width(), room.height()});
    resize(size.width, size.height);
    generate_->setChecked(mainSettings_.generateAscii);
    (mainSettings_.upperLower ? upperLower_ : upperGraphics_)->setChecked(true);
    listing_->mode = mainSettings_.upperLower ? CharMode::UpperLower : CharMode::UpperGraphics;
    if (qtDialogHost_)
        qtDialogHost_->setErrorFont(displayFont(fonts()[FontSlot::ErrorDialogs]));
    view_->applyFont(listingFont());
    showCounts();
}

QMenu* TfMainForm::listingMenu() {
    auto* menu = new QMenu(this);
    QAction* copy = menu->addAction(QStringLiteral("&Copy"), view_, &QTextEdit::copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(view_->textCursor().hasSelection());
    QAction* all = menu->addAction(QStringLiteral("Select &All"), view_, &QTextEdit::selectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!view_->document()->isEmpty());
    menu->addSeparator();
    menu->addAction(findAction_);
    return menu;
}

void TfMainForm::createScreenWindow() {
    screenWindow_ =
        new TfC64Screen(TfC64Screen::MainScreen, session_->dialogs(), *fileChooser_, this);
    screenWindow_->screen().setPalette(loadC64Palette(session_->settings().readOrEmpty()));
    screenWindow_->setSaveFolder([this] {
        const std::string& chosen = session_->saveFolder();
        return qs(!chosen.empty() ? chosen : listing_->saveDir);
    });
    connect(screenWindow_, &TfC64Screen::closed, this, &TfMainForm::screenClosed);
    listing_->setScreen(&screenWindow_->screen());
    applyCharsetRom(screenWindow_->screen(), options().charsetRom);
}

void TfMainForm::createBamWindows() {
    fileViewer_ = new TfFileViewer(*session_, *fileChooser_, this);
    fileViewer_->setUpperLowerSource([this] { return upperLower_->isChecked(); });
    fileViewer_->setMaxTextSource([this] { return maxText(); });
    bamViewer_ = new TfBAMViewer(*session_, *fileViewer_, *fileChooser_, this);
    bamViewer_->setCurrentImageSource([this] { return listing_->currentImage(); });
    bamViewer_->setUpperLowerSource([this] { return upperLower_->isChecked(); });
    connect(bamViewer_, &TfBAMViewer::closed, this, [this] { bamAction_->setChecked(false); });
}

bool TfMainForm::prepareBamWindows() {
    const IniFile ini = session_->settings().readOrEmpty();
    session_->viewerOptions().load(ini);
    bamViewer_->prepare(ini);
    fileViewer_->prepare(ini);
    fileViewer_->setWorkArounds(workArounds_);
    fileViewer_->clearContent();
    bamPrepared_ = true;
    return true;
}

void TfMainForm::toggleBam(bool on) {
    bamAction_->setChecked(on);
    if (!on) {
        bamViewer_->close();
        return;
    }
    if (!bamPrepared_ && !prepareBamWindows()) {
        session_->dialogs().message(
            "MainForm: Failed to generate BAMViewer...\nTry again or restart the Quorvane...");
        bamAction_->setChecked(false);
        return;
    }
    showInFront(bamViewer_);
    bamViewer_->requestRefresh(false);
}

void TfMainForm::toggleScreen(bool on) {
    screenAction_->setChecked(on);
    if (on)
        screenWindow_->showScreen(QApplication::wheelScrollLines());
    else
        screenWindow_->close();
}

void TfMainForm::screenClosed(int tag) {
    // The file viewer's screen (tag 1) releases the file viewer's button.
    if (tag == TfC64Screen::MainScreen)
        screenAction_->setChecked(false);
}

void TfMainForm::createGeosDetails() {
    geosDetails_ = new TfGeosDetails(*session_, *fileChooser_, *selectFolder_, this);
    geosDetails_->setSaveFolder([this] {
        const std::string& chosen = session_->saveFolder();
        return !chosen.empty() ? chosen : listing_->saveDir;
    });
    connect(geosDetails_, &TfGeosDetails::closed, this, [this] { geosAction_->setChecked(false); });
    // A double click on a row opens its document in the viewer for its kind.
    geosViewers_ = new GeosViewers(*session_, *fileChooser_, this);
    connect(geosDetails_, &TfGeosDetails::openEntryRequested, geosViewers_,
            &GeosViewers::openEntry);
}

void TfMainForm::toggleGeosDetails(bool on) {
    geosAction_->setChecked(on);
    if (!on) {
        geosDetails_->close();
        return;
    }
    if (!options().generateGeosFileDetails)
        session_->dialogs().message("Option 'Generate GEOS Files Details' isn't checked!");
    // The settings are read the first time the window is shown; a failure leaves it
    // hidden, and the next press tries again.
    if (!geosDetails_->settingsLoaded() && !geosDetails_->loadSettings()) {
        session_->dialogs().message(
            "MainForm: Failed to generate GeosDetails...\nTry again or restart the "
            "Quorvane...");
        geosAction_->setChecked(false);
        return;
    }
    geosDetails_->rowsListed();
    showInFront(geosDetails_);
}

int TfMainForm::fittedWidth() const {
    const QFontMetrics metrics(listingFont());
    const int line = metrics.horizontalAdvance(QString(kListingColumns, QLatin1Char('M')));
    const QMargins margins = centralWidget()->layout()->contentsMargins();
    // The text, the document's margins, the view's frame and its scroll bar; the
    // last pixels leave room for the cursor after the line's end.
    return line + 2 * static_cast<int>(view_->document()->documentMargin()) +
           2 * view_->frameWidth() + view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
           margins.left() + margins.right() + 4;
}

QFont TfMainForm::listingFont() const {
    return displayFont(session_->fonts()[FontSlot::MainForm]);
}

std::size_t TfMainForm::maxText() const {
    return static_cast<std::size_t>(richEdit_.maximumText(kPlatformVersionCode));
}

QString TfMainForm::statusText(StatusPanel panel) const {
    return panel == StatusPanel::State    ? panel2_->text()
           : panel == StatusPanel::Counts ? panel3_->text()
                                          : QString();
}

QString TfMainForm::pathText() const {
    return path_->text();
}

// --- RunHost --------------------------------------------------------------------

void TfMainForm::runStarted(int fileCount) {
    progress_->setRange(0, fileCount > 0 ? fileCount : 1);
    progress_->setValue(0);
    runShowing_ = true;
    shownProgress_ = 0;
    abort_->setVisible(true);
    abort_->setEnabled(true);
    if (!busyCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busyCursor_ = true;
    }
}

// During a run the bar and the path field take the newest position and path only when
// pending input is handled: a progress bar repaints itself at once on most changes, a
// line edit lays its text out again, and the run sets both for every image.
void TfMainForm::setProgress(int position) {
    if (runShowing_)
        shownProgress_ = position;
    else
        progress_->setValue(position);
}

void TfMainForm::setStatus(StatusPanel panel, const std::string& text) {
    if (panel == StatusPanel::State)
        panel2_->setText(qs(text));
    else if (panel == StatusPanel::Counts)
        panel3_->setText(qs(text));
}

void TfMainForm::showCurrentImage(const std::string& path) {
    if (runShowing_) {
        shownPath_ = path;
        pathPending_ = true;
    } else {
        path_->setText(qs(path));
    }
}

void TfMainForm::showRunPosition() {
    progress_->setValue(shownProgress_);
    if (pathPending_) {
        path_->setText(qs(shownPath_));
        pathPending_ = false;
    }
}

void TfMainForm::processEvents() {
    // A run asks once per image, tens of thousands of times a second. Handling pending
    // input every runEventInterval milliseconds (20 unless a test asks otherwise)
    // answers "Abort" as quickly as anyone can see.
    if (eventsHandled_.isValid() && eventsHandled_.elapsed() < runEventInterval_)
        return;
    if (runShowing_)
        showRunPosition();
    QApplication::processEvents();
    eventsHandled_.start();
}

void TfMainForm::runFinished() {
    showRunPosition();
    runShowing_ = false;
    progress_->setValue(0);
    abort_->setEnabled(false);
}

// --- ListingView ----------------------------------------------------------------

void TfMainForm::setUpdates(bool on) {
    if (on)
        view_->resumeUpdates();
    else
        view_->suspendUpdates();
}

void TfMainForm::clearText() {
    view_->clearText();
    view_->setDefaultColour(Qt::black);
}

bool TfMainForm::setText(const std::string& bytes) {
    return view_->setCp437Text(bytes);
}

std::size_t TfMainForm::textLength() const {
    return view_->textLength();
}

void TfMainForm::colourHeader(std::size_t start, std::size_t end) {
    view_->colourPositions(start, end, kBlue);
}

void TfMainForm::applyListingFont() {
    view_->applyFont(listingFont());
}

void TfMainForm::setAbortEnabled(bool on) {
    abort_->setEnabled(on);
    // Outside a run the button shows only while the blue colouring can be aborted.
    abort_->setVisible(on || !commandsEnabled_);
}

// --- Commands -------------------------------------------------------------------

void TfMainForm::setCommandsEnabled(bool on) {
    commandsEnabled_ = on;
    for (QAction* a : commandActions_)
        a->setEnabled(on);
    for (QWidget* w : commandWidgets_)
        w->setEnabled(on);
    abort_->setVisible(!on);
    if (on) {
        abort_->setEnabled(false);
        if (busyCursor_) {
            QApplication::restoreOverrideCursor();
            busyCursor_ = false;
        }
    }
}

void TfMainForm::showCounts() {
    panel3_->setText(qs(listing_->statusPanel3()));
    // The catalogue's rows of the run, and their count.
    if (geosDetails_)
        geosDetails_->rowsListed();
}

void TfMainForm::finishLoadStatus() {
    panel2_->setText(qs(listing_->finishStatusPanel2()));
    showCounts();
}

void TfMainForm::copyListingToWindow() {
    if (listing_->copyToWindow(*this, maxText()))
        imported_ = false;
}

void TfMainForm::showAppended(std::size_t from) {
    if (from == 0 || from >= listing_->text().size())
        return;
    const int end = static_cast<int>(view_->textLength());
    QTextCursor at(view_->document());
    at.setPosition(std::min(static_cast<int>(view_->viewPosition(from)), end));
    view_->setTextCursor(at);
    // From the bottom, making the caret visible scrolls up just until its line is the
    // first one shown.
    QScrollBar* bar = view_->verticalScrollBar();
    bar->setValue(bar->maximum());
    view_->ensureCursorVisible();
}

void TfMainForm::runListing(RunKind runKind) {
    const std::size_t from = listing_->text().size();
    const int listed = listing_->listFiles(runKind);
    copyListingToWindow();
    showAppended(from);
    view_->setFocus();
    // A failed save has shown its error dialog already.
    saveGeneratedListing(*listing_, runKind, listed, generate_->isChecked(), options(),
                         session_->dialogs());
}

void TfMainForm::load() {
    const QStringList files =
        fileChooser_->openFiles(this, QStringLiteral("Open..."), qs(loadStart_), kLoadFilter);
    // A cancelled dialog leaves the listing as it was.
    if (files.isEmpty())
        return;
    loadFiles(files);
}

void TfMainForm::loadFiles(const QStringList& files) {
    std::vector<std::string> paths;
    for (const QString& f : files)
        paths.push_back(ss(f));
    if (paths.empty())
        return;
    screenWindow_->screen().beginUpdate();
    std::string saveDir = session_->runSaveFolder(paths[0]);
    listAsNewListing(std::move(paths), std::move(saveDir), RunKind::Load);
    screenWindow_->screen().endUpdate(true);
    showCounts();
}

void TfMainForm::listAsNewListing(std::vector<std::string> files, std::string saveDir,
                                  RunKind runKind) {
    clearListing();
    if (!listing_->text().valid())
        return;
    setCommandsEnabled(false);
    listing_->fileList = std::move(files);
    listing_->saveDir = std::move(saveDir);
    runListing(runKind);
    finishLoadStatus();
    if (!listing_->currentImage().empty()) {
        names_.lastLoad = folderPart(listing_->currentImage());
        loadStart_ = names_.lastLoad;
        (void)session_->settings().update("MainForm", [this](IniFile& ini) {
            NamesSettings::writeLastLoad(ini, names_.lastLoad);
        });
    }
    setCommandsEnabled(true);
}

void TfMainForm::openExtended() {
    if (!extendedOpen_)
        extendedOpen_ = new TfExtendedOpen(this);
    const int treeWidth = FileListSettings::load(session_->settings().readOrEmpty()).width;
    screenWindow_->screen().beginUpdate();
    // The listing is cleared only once the dialog is confirmed: Cancel keeps it.
    if (extendedOpen_->run(treeWidth)) {
        const std::string chosen = session_->saveFolder();
        listAsNewListing(
            extendedOpen_->resultList(),
            !chosen.empty() ? chosen : withTrailingSeparator(extendedOpen_->selectedFolder()),
            RunKind::Extended);
    }
    screenWindow_->screen().endUpdate(true);
    showCounts();
}

void TfMainForm::listImage(const QString& path) {
    if (!commandsEnabled_ || path.isEmpty())
        return;
    loadFiles({path});
    showInFront(this);
}

void TfMainForm::showCollection() {
    if (!collection_) {
        collection_ = new TfCollection(*session_, *fileChooser_, this);
        connect(collection_, &TfCollection::openImageRequested, this, &TfMainForm::listImage);
    }
    showInFront(collection_);
}

void TfMainForm::importListing() {
    const QString file = fileChooser_->openFile(this, QStringLiteral("Import Quorvane Files..."),
                                                qs(importStart_), kImportFilter);
    if (file.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    view_->suspendUpdates();
    view_->setDefaultColour(Qt::black);
    const ImportResult r = qv::importListing(ss(file), maxText(), *dialogHost_, temporaryFolder());
    if (r.outcome != ImportOutcome::Cancelled) {
        view_->clearText();
        view_->applyFont(listingFont());
        if (r.outcome == ImportOutcome::Loaded) {
            view_->setDocument(r.document);
            view_->applyFont(listingFont());
            imported_ = true;
            panel2_->setText(QStringLiteral("Import"));
            panel3_->setText(QFileInfo(file).fileName());
            names_.lastImportMain = folderPart(ss(file));
            importStart_ = names_.lastImportMain;
            (void)session_->settings().update("MainForm", [this](IniFile& ini) {
                NamesSettings::writeLastImportMain(ini, names_.lastImportMain);
            });
        } else {
            session_->dialogs().message("MainForm: Error loading Text to RichEdit");
            imported_ = false;
        }
    }
    view_->resumeUpdates();
    QApplication::restoreOverrideCursor();
}

void TfMainForm::saveAs() {
    SaveAsSource source;
    source.bufferValid = listing_->text().valid();
    source.buffer = listing_->text().text();
    source.imported = imported_;
    if (imported_)
        source.windowPlainText = view_->plainCp437();
    if (!hasSomethingToSave(source)) {
        session_->dialogs().message(kNothingToSave);
        return;
    }
    const std::optional<FileChooser::SaveChoice> choice =
        fileChooser_->saveFile(this, QStringLiteral("Save as..."), qs(listing_->saveDir),
                               kSaveAsFilter, QStringLiteral("txt"));
    if (!choice)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SaveAsFormat format = saveAsFormat(choice->filterIndex);
    if (format == SaveAsFormat::RichText)
        source.windowDocument = view_->toDocument();
    const RtfRepair repair =
        rtfRepairFor(fonts()[FontSlot::MainForm], workArounds_, source.windowDocument.font.name);
    saveListingAs(ss(choice->path), format, source, repair, session_->dialogs());
    QApplication::restoreOverrideCursor();
}

void TfMainForm::list() {
    if (listing_->currentImage().empty()) {
        showCounts();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    path_->setText(qs(listing_->currentImage()));
    const std::size_t from = listing_->text().size();
    screenWindow_->screen().beginUpdate();
    const bool ok = listing_->listAgain();
    screenWindow_->screen().endUpdate(true);
    if (!ok) {
        if (listing_->currentImage().empty())
            path_->clear();
    } else {
        const bool longCopy = listing_->imagesListed() > 100;
        if (longCopy)
            setCommandsEnabled(false);
        copyListingToWindow();
        showAppended(from);
        if (longCopy)
            setCommandsEnabled(true);
    }
    QApplication::restoreOverrideCursor();
    view_->setFocus();
    finishLoadStatus();
}

void TfMainForm::clearListing() {
    view_->suspendUpdates();
    view_->clearText();
    view_->resumeUpdates();
    listing_->clear();
    screenWindow_->screen().clear();
    imported_ = false;
    panel2_->clear();
    showCounts();
}

void TfMainForm::showOptions() {
    if (!optionsDialog_) {
        optionsDialog_ = new TfListerOptions(*session_, *selectFolder_, *fileChooser_, this);
    }
    optionsDialog_->setCurrentImage(listing_->currentImage(), names_.lastLoad);
    if (optionsDialog_->exec() == QDialog::Accepted) {
        applyChangedFonts(optionsDialog_->changedFonts());
        if (applyCharsetRom(screenWindow_->screen(), options().charsetRom))
            screenWindow_->screen().render();
    }
}

void TfMainForm::applyChangedFonts(int changedBits) {
    if (changedBits & fontBit(FontSlot::MainForm)) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        view_->applyFont(listingFont());
        QApplication::restoreOverrideCursor();
    }
    if ((changedBits & fontBit(FontSlot::ErrorDialogs)) && qtDialogHost_)
        qtDialogHost_->setErrorFont(displayFont(fonts()[FontSlot::ErrorDialogs]));
    // The block map's fonts and scale flags, and the file viewer's text font.
    if (bamViewer_)
        bamViewer_->applyFonts();
    if (fileViewer_ && (changedBits & fontBit(FontSlot::FileViewer)) && fileViewer_->prepared())
        fileViewer_->applyFont();
}

void TfMainForm::showInfo() {
    about_->exec();
}

void TfMainForm::findText() {
    if (!find_) {
        find_ = new FindDialog(this);
        find_->setAttribute(Qt::WA_DeleteOnClose);
        connect(find_, &FindDialog::findNext, this, &TfMainForm::onFindNext);
    }
    showInFront(find_);
}

void TfMainForm::findNext() {
    if (find_ && !find_->text().isEmpty())
        onFindNext();
    else
        findText();
}

void TfMainForm::onFindNext() {
    if (!find_)
        return;
    if (view_->findText(find_->text(), find_->matchCase(), find_->wholeWord()))
        return;
    // With the real dialogs the message carries the exclamation icon.
    if (qtDialogHost_)
        QMessageBox::warning(find_, QStringLiteral("Quorvane"), QStringLiteral("Text not found!"));
    else
        session_->dialogs().message("Text not found!");
}

void TfMainForm::dropPaths(const QStringList& paths) {
    if (!commandsEnabled_)
        return;
    std::vector<std::string> items;
    for (const QString& p : paths)
        items.push_back(ss(p));
    FolderCollector::Result found = searchFolders(items, true);
    if (!found.aborted)
        listAsOneRun(std::move(found.files), dropSaveFolder(items, session_->saveFolder()));
}

FolderCollector::Result TfMainForm::searchFolders(const std::vector<std::string>& items,
                                                  bool sortAll) {
    // The folders are walked on the search's worker thread; meanwhile the window
    // shows where the search is and "Abort" stops it.
    setCommandsEnabled(false);
    abort_->setEnabled(true);
    progress_->setRange(0, 0);
    panel2_->setText(QStringLiteral("Searching..."));
    const QMetaObject::Connection c = connect(
        collector_, &FolderCollector::progress, this, [this](int files, const QByteArray& folder) {
            panel3_->setText(QString::number(files) + QStringLiteral(" File(s) found"));
            path_->setText(QFile::decodeName(folder));
        });
    FolderCollector::Result found = collector_->collect(items, sortAll);
    disconnect(c);
    progress_->setRange(0, 1);
    progress_->setValue(0);
    panel2_->setText(found.aborted ? QStringLiteral("Search aborted") : QString());
    path_->clear();
    setCommandsEnabled(true);
    showCounts();
    return found;
}

void TfMainForm::listAsOneRun(std::vector<std::string> files, std::string saveDir) {
    if (!commandsEnabled_ || !listing_->text().valid())
        return;
    listing_->fileList = std::move(files);
    listing_->saveDir = std::move(saveDir);
    setCommandsEnabled(false);
    screenWindow_->screen().beginUpdate();
    runListing(RunKind::Drop);
    screenWindow_->screen().endUpdate(true);
    finishLoadStatus();
    setCommandsEnabled(true);
}

void TfMainForm::pressAbort() {
    if (collector_->busy()) {
        collector_->abort();
        return;
    }
    if (listing_->pressAbort()) {
        // The fifth press while the run no longer reacts gives the window back.
        setCommandsEnabled(true);
        while (view_->updatesSuspended())
            view_->resumeUpdates();
    }
}

void TfMainForm::finishStartUp() {
    if (workArounds_.showAboutAtStart(kPlatformVersionCode)) {
        about_->showOnceAtStartUp();
        about_->resize(306, 267);
        const QRect screen = about_->screen() ? about_->screen()->availableGeometry() : QRect();
        if (screen.isValid())
            about_->move(screen.center() - about_->rect().center());
    }
    about_->setStartUpFinished();
    // The fonts were applied with the settings; the listing gets the focus.
    view_->setFocus();
    listCommandLineImages();
}

void TfMainForm::listCommandLineImages() {
    // Files are listed in the order given, folders searched as a dropped folder is.
    const std::vector<std::string> items = commandLinePaths(commandLine_);
    if (items.empty())
        return;
    FolderCollector::Result found = searchFolders(items, false);
    if (!found.missing.empty())
        session_->dialogs().message(missingPathsMessage(found.missing));
    if (found.aborted || found.files.empty())
        return;
    std::string saveDir = dropSaveFolder(items, session_->saveFolder());
    listAsOneRun(std::move(found.files), std::move(saveDir));
}

bool TfMainForm::event(QEvent* event) {
    // The hints of the commands show as tool-tips only: shown in the status bar they
    // would hide its panels (the run state, the counts) while the pointer rests on a
    // button or a menu item.
    if (event->type() == QEvent::StatusTip)
        return true;
    if (event->type() == QEvent::WindowActivate && bamViewer_)
        bamViewer_->mainWindowActivated();
    return QMainWindow::event(event);
}

void TfMainForm::closeEvent(QCloseEvent* event) {
    if (!commandsEnabled_ || (geosDetails_ && geosDetails_->exporting())) {
        event->ignore();
        return;
    }
    mainSettings_.width = width();
    mainSettings_.height = height();
    mainSettings_.generateAscii = generate_->isChecked();
    mainSettings_.upperLower = upperLower_->isChecked();
    (void)session_->settings().update("MainForm", [this](IniFile& ini) {
        mainSettings_.save(ini);
        if (extendedOpen_ && extendedOpen_->opened())
            FileListSettings{extendedOpen_->treeWidth()}.save(ini);
        // The catalogue's keys only once they were read.
        if (geosDetails_->settingsLoaded())
            geosDetails_->saveSettings(ini);
    });
    // The token table editor's size, once the table was loaded for the file viewer.
    if (session_->tokens().fullyLoaded()) {
        const TokenTableSettings size = session_->tokens().sizeSettings();
        (void)session_->settings().update("TokenTable",
                                          [&size](IniFile& ini) { size.saveSize(ini); });
    }
    if (bamPrepared_) {
        (void)session_->settings().update("MainForm", [this](IniFile& ini) {
            fileViewer_->saveSettings(ini);
            bamViewer_->saveSettings(ini);
        });
    }
    if (find_)
        find_->close();
    event->accept();
}

void TfMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (commandsEnabled_ && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfMainForm::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    event->acceptProposedAction();
    dropPaths(paths);
}

}  // namespace qv::app
