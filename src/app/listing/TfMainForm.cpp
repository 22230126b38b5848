#include "listing/TfMainForm.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <filesystem>

#include "listing/FileList.h"
#include "listing/ListingExport.h"
#include "listing/ListingFile.h"
#include "listing/ListingSave.h"
#include "listing/TfAbout.h"
#include "platform/DisplayFont.h"
#include "platform/FindDialog.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/RichTextView.h"
#include "platform/TfSelectFolder.h"
#include "screen/ScreenSettings.h"
#include "screen/TfC64Screen.h"
#include "settings/Platform.h"
#include "settings/SettingsLocation.h"
#include "settings/TfListerOptions.h"

namespace qv::app {

namespace {

const QColor kBlue(0x00, 0x00, 0xFF);

std::string defaultSettingsFile(Dialogs& dialogs, std::vector<std::string>& messages) {
    const std::filesystem::path programDir = ss(QCoreApplication::applicationDirPath());
    SettingsFileSetup s = setUpSettingsFile(programDir, userConfigHome(), {}, dialogs);
    messages.insert(messages.end(), s.messages.begin(), s.messages.end());
    return s.file.string();
}

}  // namespace

TfMainForm::TfMainForm(const MainFormSetup& setup, QWidget* parent)
    : QMainWindow(parent), commandLine_(setup.images) {
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
    dialogs_ = std::make_unique<Dialogs>(*dialogHost_);

    std::vector<std::string> messages;
    settingsFile_ =
        setup.settingsFile.empty() ? defaultSettingsFile(*dialogs_, messages) : setup.settingsFile;
    for (const std::string& m : messages)
        dialogs_->message(m);

    listing_ = std::make_unique<Listing>(options_, *dialogs_);
    listing_->setHost(this);
    listing_->setKeywords(v2Keywords(tokens_));
    listing_->setLog(&sizeLog_);

    buildWidgets();
    buildCommands();
    // The windows that live as long as the main window.
    selectFolder_ = new TfSelectFolder(*fileChooser_, *dialogs_, this);
    about_ = new TfAbout(this);
    // A hint stays 5 seconds.
    for (QWidget* w : findChildren<QWidget*>())
        w->setToolTipDuration(5000);
    loadSettings();
    createScreenWindow();
    setAcceptDrops(true);
}

TfMainForm::~TfMainForm() {
    listing_->setHost(nullptr);
}

void TfMainForm::buildWidgets() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    path_ = new QLineEdit(central);
    path_->setReadOnly(true);
    path_->setObjectName(QStringLiteral("path"));
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
    view_->setAcceptDrops(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        QMenu menu(this);
        menu.addAction(QStringLiteral("Find Text..."), this, &TfMainForm::findText);
        menu.exec(view_->viewport()->mapToGlobal(p));
    });
    layout->addWidget(view_, 1);
    setCentralWidget(central);

    progress_ = new QProgressBar(this);
    progress_->setFixedWidth(100);
    progress_->setTextVisible(false);
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
        auto* a = new QAction(icon, text, this);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        if (slot)
            connect(a, &QAction::triggered, this, slot);
        commandActions_.push_back(a);
        return a;
    };
    QAction* loadA =
        action(QStringLiteral("Load..."), QStringLiteral("Load Images with Normal OpenDialog"),
               st->standardIcon(QStyle::SP_DialogOpenButton), &TfMainForm::load);
    QAction* loadExtA = action(QStringLiteral("Load Extended..."),
                               QStringLiteral("Load Images using Extended OpenDialog"),
                               st->standardIcon(QStyle::SP_DirOpenIcon), nullptr);
    QAction* importA =
        action(QStringLiteral("Import..."), QString(), QIcon(), &TfMainForm::importListing);
    QAction* saveA = action(QStringLiteral("Save as..."), QStringLiteral("Save Imagecontext"),
                            st->standardIcon(QStyle::SP_DialogSaveButton), &TfMainForm::saveAs);
    QAction* exitA = action(QStringLiteral("Exit"), QString(), QIcon(), nullptr);
    connect(exitA, &QAction::triggered, this, &QWidget::close);
    QAction* listA = action(QStringLiteral("List"), QStringLiteral("List last Image again"),
                            st->standardIcon(QStyle::SP_BrowserReload), &TfMainForm::list);
    QAction* clearA =
        action(QStringLiteral("Clear"), QStringLiteral("Clear List"),
               st->standardIcon(QStyle::SP_DialogResetButton), &TfMainForm::clearListing);
    QAction* screenA =
        action(QStringLiteral("C64 Screen..."), QStringLiteral("Show Original C64 Screen"),
               st->standardIcon(QStyle::SP_ComputerIcon), nullptr);
    QAction* geosA =
        action(QStringLiteral("GEOS File Details..."), QStringLiteral("Show GEOS File Details"),
               st->standardIcon(QStyle::SP_FileDialogDetailedView), nullptr);
    QAction* bamA =
        action(QStringLiteral("BAM..."),
               QStringLiteral("Show BAM, Diskerrors, BlockOwner, FileViewer and BlockViewer"),
               st->standardIcon(QStyle::SP_DriveFDIcon), nullptr);
    QAction* optionsA =
        action(QStringLiteral("Options"), QStringLiteral("OptionsDialog"),
               st->standardIcon(QStyle::SP_FileDialogContentsView), &TfMainForm::showOptions);
    QAction* infoA =
        action(QStringLiteral("Info"), QStringLiteral("Show Info"),
               st->standardIcon(QStyle::SP_MessageBoxInformation), &TfMainForm::showInfo);
    screenAction_ = screenA;
    screenA->setObjectName(QStringLiteral("actionC64Screen"));
    connect(screenA, &QAction::triggered, this, &TfMainForm::toggleScreen);
    // The windows of these commands come later; until then they are shown disabled.
    for (QAction* a : {loadExtA, geosA, bamA}) {
        a->setProperty("later", true);
        a->setEnabled(false);
    }
    for (QAction* a : {screenA, geosA, bamA})
        a->setCheckable(true);
    loadA->setObjectName(QStringLiteral("actionLoad"));
    importA->setObjectName(QStringLiteral("actionImport"));
    saveA->setObjectName(QStringLiteral("actionSave"));
    listA->setObjectName(QStringLiteral("actionList"));
    clearA->setObjectName(QStringLiteral("actionClear"));
    optionsA->setObjectName(QStringLiteral("actionOptions"));
    infoA->setObjectName(QStringLiteral("actionInfo"));

    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->addActions({loadA, loadExtA, importA, saveA});
    file->addSeparator();
    file->addAction(exitA);
    QMenu* tools = menuBar()->addMenu(QStringLiteral("Tools"));
    tools->addActions({listA, clearA});
    tools->addSeparator();
    tools->addActions({screenA, geosA, bamA});
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
    std::optional<IniFile> ini = IniFile::load(settingsFile_);
    if (!ini) {
        dialogs_->message(kOptionsLoadFailedMessage);
        ini = IniFile();
    }
    const OptionsLoadResult loaded = loadOptions(*ini, options_);
    saveFolder_ = loaded.saveFolder;
    fonts_ = loadFonts(*ini);
    mainSettings_ = MainFormSettings::load(*ini);
    names_ = NamesSettings::load(*ini);
    richEdit_ = RichEditSettings::load(*ini);
    workArounds_ = WorkAroundSettings::load(*ini);
    for (const std::string& m : loaded.messages)
        dialogs_->message(m);

    resize(mainSettings_.width, mainSettings_.height);
    generate_->setChecked(mainSettings_.generateAscii);
    (mainSettings_.upperLower ? upperLower_ : upperGraphics_)->setChecked(true);
    listing_->mode = mainSettings_.upperLower ? CharMode::UpperLower : CharMode::UpperGraphics;
    if (qtDialogHost_)
        qtDialogHost_->setErrorFont(displayFont(fonts_[FontSlot::ErrorDialogs]));
    view_->applyFont(listingFont());
    showCounts();
}

void TfMainForm::createScreenWindow() {
    screenWindow_ = new TfC64Screen(TfC64Screen::MainScreen, *dialogs_, *fileChooser_, this);
    std::optional<IniFile> ini = IniFile::load(settingsFile_);
    screenWindow_->screen().setPalette(loadC64Palette(ini ? *ini : IniFile()));
    screenWindow_->setSaveFolder(
        [this] { return qs(!saveFolder_.empty() ? saveFolder_ : listing_->saveDir); });
    connect(screenWindow_, &TfC64Screen::closed, this, &TfMainForm::screenClosed);
    listing_->setScreen(&screenWindow_->screen());
    applyCharsetRom(screenWindow_->screen(), options_.charsetRom);
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

bool TfMainForm::updateSettings(const std::function<void(IniFile&)>& write) {
    std::optional<IniFile> ini = IniFile::load(settingsFile_);
    if (!ini)
        return false;
    write(*ini);
    return ini->save(settingsFile_);
}

QFont TfMainForm::listingFont() const {
    return displayFont(fonts_[FontSlot::MainForm]);
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
    abort_->setVisible(true);
    abort_->setEnabled(true);
    if (!busyCursor_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busyCursor_ = true;
    }
}

void TfMainForm::setProgress(int position) {
    progress_->setValue(position);
}

void TfMainForm::setStatus(StatusPanel panel, const std::string& text) {
    if (panel == StatusPanel::State)
        panel2_->setText(qs(text));
    else if (panel == StatusPanel::Counts)
        panel3_->setText(qs(text));
}

void TfMainForm::showCurrentImage(const std::string& path) {
    path_->setText(qs(path));
}

void TfMainForm::processEvents() {
    // A run asks once per image, tens of thousands of times a second, and every time
    // the path field would be drawn again. Handling pending input every 20 ms answers
    // "Abort" as quickly as anyone can see.
    if (eventsHandled_.isValid() && eventsHandled_.elapsed() < 20)
        return;
    QApplication::processEvents();
    eventsHandled_.start();
}

void TfMainForm::runFinished() {
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
    for (QAction* a : commandActions_) {
        if (!a->property("later").toBool())
            a->setEnabled(on);
    }
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
}

void TfMainForm::finishLoadStatus() {
    panel2_->setText(qs(listing_->finishStatusPanel2()));
    showCounts();
}

void TfMainForm::copyListingToWindow() {
    if (listing_->copyToWindow(*this, maxText()))
        imported_ = false;
}

void TfMainForm::runListing(int runKind) {
    const int listed = listing_->listFiles(runKind);
    copyListingToWindow();
    view_->setFocus();
    // A failed save has shown its error dialog already.
    saveGeneratedListing(*listing_, runKind, listed, generate_->isChecked(), options_, *dialogs_);
}

void TfMainForm::load() {
    screenWindow_->screen().beginUpdate();
    clearListing();
    const QStringList files =
        fileChooser_->openFiles(this, QStringLiteral("Open..."), qs(names_.lastLoad), kLoadFilter);
    if (!files.isEmpty() && listing_->text().valid()) {
        setCommandsEnabled(false);
        listing_->fileList.clear();
        for (const QString& f : files)
            listing_->fileList.push_back(ss(f));
        listing_->saveDir = !saveFolder_.empty() ? saveFolder_ : folderPart(listing_->fileList[0]);
        runListing(1);
        finishLoadStatus();
        if (!listing_->currentImage().empty()) {
            names_.lastLoad = folderPart(listing_->currentImage());
            updateSettings(
                [this](IniFile& ini) { NamesSettings::writeLastLoad(ini, names_.lastLoad); });
        }
        setCommandsEnabled(true);
    }
    screenWindow_->screen().endUpdate(true);
    showCounts();
}

void TfMainForm::importListing() {
    const QString file = fileChooser_->openFile(this, QStringLiteral("Import Quorvane Files..."),
                                                qs(names_.lastImportMain), kImportFilter);
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
            updateSettings([this](IniFile& ini) {
                NamesSettings::writeLastImportMain(ini, names_.lastImportMain);
            });
        } else {
            dialogs_->message("MainForm: Error loading Text to RichEdit");
            imported_ = false;
        }
    }
    view_->resumeUpdates();
    QApplication::restoreOverrideCursor();
}

void TfMainForm::saveAs() {
    if (!listing_->text().valid() && !imported_)
        return;
    const std::optional<FileChooser::SaveChoice> choice =
        fileChooser_->saveFile(this, QStringLiteral("Save as..."), qs(listing_->saveDir),
                               kSaveAsFilter, QStringLiteral("txt"));
    if (!choice)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SaveAsFormat format = saveAsFormat(choice->filterIndex);
    SaveAsSource source;
    source.bufferValid = listing_->text().valid();
    source.buffer = listing_->text().text();
    source.imported = imported_;
    if (imported_)
        source.windowPlainText = view_->plainCp437();
    if (format == SaveAsFormat::RichText)
        source.windowDocument = view_->toDocument();
    RtfRepair repair;
    const FontSetting& font = fonts_[FontSlot::MainForm];
    repair.needed = font.charset == 2 && workArounds_.rtfFontRepair(kPlatformVersionCode);
    repair.fontName = source.windowDocument.font.name;
    repair.tempFolder = temporaryFolder();
    saveListingAs(ss(choice->path), format, source, repair, *dialogs_);
    QApplication::restoreOverrideCursor();
}

void TfMainForm::list() {
    if (listing_->currentImage().empty()) {
        showCounts();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    path_->setText(qs(listing_->currentImage()));
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
        optionsDialog_ =
            new TfListerOptions(options_, fonts_, settingsFile_, *dialogs_, *selectFolder_, this);
        connect(optionsDialog_, &TfListerOptions::saveFolderChanged, this,
                [this](const QString& folder) { saveFolder_ = ss(folder); });
    }
    optionsDialog_->setCurrentImage(listing_->currentImage(), names_.lastLoad);
    if (optionsDialog_->exec() == QDialog::Accepted) {
        applyChangedFonts(optionsDialog_->changedFonts());
        if (applyCharsetRom(screenWindow_->screen(), options_.charsetRom))
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
        qtDialogHost_->setErrorFont(displayFont(fonts_[FontSlot::ErrorDialogs]));
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
    find_->show();
    find_->raise();
    find_->activateWindow();
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
        dialogs_->message("Text not found!");
}

void TfMainForm::dropPaths(const QStringList& paths) {
    if (!commandsEnabled_ || !listing_->text().valid())
        return;
    std::vector<std::string> items;
    for (const QString& p : paths)
        items.push_back(ss(p));
    listing_->fileList = collectFiles(items);
    listing_->saveDir = dropSaveFolder(items, saveFolder_);
    setCommandsEnabled(false);
    screenWindow_->screen().beginUpdate();
    runListing(3);
    screenWindow_->screen().endUpdate(true);
    finishLoadStatus();
    setCommandsEnabled(true);
}

void TfMainForm::pressAbort() {
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
    for (const std::string& arg : commandLine_) {
        const QFileInfo info(qs(arg));
        const std::string path = ss(info.absoluteFilePath());
        if (!info.isFile())
            continue;
        const ExtensionCheck check = checkExtension(path, *dialogs_);
        if (check == ExtensionCheck::Stop)
            break;
        if (check == ExtensionCheck::Skip)
            continue;
        listing_->setCurrentImage(path);
        listing_->saveDir = !saveFolder_.empty() ? saveFolder_ : folderPart(path);
        list();
    }
}

void TfMainForm::closeEvent(QCloseEvent* event) {
    if (!commandsEnabled_) {
        event->ignore();
        return;
    }
    mainSettings_.width = width();
    mainSettings_.height = height();
    mainSettings_.generateAscii = generate_->isChecked();
    mainSettings_.upperLower = upperLower_->isChecked();
    updateSettings([this](IniFile& ini) { mainSettings_.save(ini); });
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
