#include "viewer/TfFileViewer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Dialogs.h"
#include "listing/ListingExport.h"
#include "listing/PetsciiConversion.h"
#include "platform/Commands.h"
#include "platform/DisplayFont.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/RichTextView.h"
#include "screen/ScreenSettings.h"
#include "screen/TfC64Screen.h"
#include "session/Session.h"
#include "settings/WindowSettings.h"
#include "support/CodePage.h"
#include "support/Files.h"
#include "viewer/Detokenizer.h"
#include "viewer/TfFileViewerOptions.h"

namespace qv::app {
namespace {

constexpr const char* kImportFilter =
    "Quorvane ASCII Files (*.TXT)|*.TXT|Quorvane RTF Files (*.RTF)|*.RTF|All Text Files "
    "(*.*)|*.*|Program (*.PRG)|*.PRG|All Program Files (*.*)|*.*";
constexpr const char* kSaveFilter =
    "ASCII (DOS) Textfile (*.TXT)|*.TXT|ANSI (Windows) Textfile (*.TXT)|*.TXT|Richtext "
    "(*.RTF)|*.RTF|Program (*.PRG)|*.PRG|Program without Startaddress (*.PRG)|*.PRG";
constexpr int kTellFile = errorflag::TellImage;  // OK only, the file name alone

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

CharMap asciiMap(bool upperLower) {
    CharMap map{};
    const CharMode mode = upperLower ? CharMode::UpperLower : CharMode::UpperGraphics;
    for (int c = 0; c < 256; ++c)
        map[static_cast<std::size_t>(c)] = convertChar(static_cast<std::uint8_t>(c), mode, true);
    return map;
}

QColor rgbColour(Rgb c) {
    return QColor(static_cast<int>((c >> 16) & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>(c & 0xFF));
}

}  // namespace

TfFileViewer::TfFileViewer(Session& session, FileChooser& chooser, QWidget* parent)
    : QMainWindow(parent, Qt::Window), session_(session), chooser_(chooser) {
    setObjectName(QStringLiteral("TfFileViewer"));
    setWindowTitle(QStringLiteral("File Viewer"));
    view_ = new RichTextView(this);
    view_->setObjectName(QStringLiteral("fileViewerText"));
    view_->setAccessibleName(QStringLiteral("File Viewer"));
    view_->setReadOnly(true);
    view_->escapeHook = [this] { abort_ = true; };
    setCentralWidget(view_);
    const int widths[3] = {120, 120, 50};
    for (int i = 0; i < 3; ++i) {
        status_[i] = new QLabel(this);
        status_[i]->setMinimumWidth(widths[i]);
        status_[i]->setObjectName(QStringLiteral("status%1").arg(i + 1));
        statusBar()->addWidget(status_[i], i == 2 ? 1 : 0);
    }
    screen_ = new TfC64Screen(TfC64Screen::FileViewerScreen, session_.dialogs(), chooser_, this);
    connect(screen_, &TfC64Screen::closed, this, [this](int) { screenAction_->setChecked(false); });
    connect(screen_, &TfC64Screen::columnsSwitchRequested, this, &TfFileViewer::columnsSwitched);
    buildCommands();
    applyGroups({});
    resize(348, 297);
}

TfFileViewer::~TfFileViewer() = default;

void TfFileViewer::buildCommands() {
    QStyle* st = style();
    const auto action = [this](const QString& text, const QString& hint, const QIcon& icon) {
        auto* a = new QAction(commandIcon(icon), text, this);
        a->setToolTip(hint.isEmpty() ? QString(text).remove(QLatin1Char('&')) : hint);
        a->setStatusTip(a->toolTip());
        return a;
    };
    QAction* saveA = action(QStringLiteral("&Save as..."), QString(),
                            st->standardIcon(QStyle::SP_DialogSaveButton));
    setStandardShortcut(saveA, QKeySequence::SaveAs,
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(saveA, &QAction::triggered, this, &TfFileViewer::saveAs);
    QAction* importA = action(QStringLiteral("&Import..."), QString(), QIcon());
    setStandardShortcut(importA, QKeySequence::Open, QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(importA, &QAction::triggered, this, &TfFileViewer::importFile);
    QAction* clearA =
        action(QStringLiteral("&Clear"), QString(), st->standardIcon(QStyle::SP_DialogResetButton));
    connect(clearA, &QAction::triggered, this, &TfFileViewer::clearContent);
    screenAction_ =
        action(QStringLiteral("C64 &Screen..."), QStringLiteral("Show Original C64 Screen"),
               st->standardIcon(QStyle::SP_ComputerIcon));
    screenAction_->setCheckable(true);
    connect(screenAction_, &QAction::toggled, this, &TfFileViewer::toggleC64Screen);
    detokenizeAction_ =
        action(QStringLiteral("&Detokenize..."), QStringLiteral("Detokenize BASIC files"),
               st->standardIcon(QStyle::SP_FileDialogDetailedView));
    detokenizeAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(detokenizeAction_, &QAction::triggered, this, &TfFileViewer::detokenize);
    listAction_ = action(QStringLiteral("&List"), QStringLiteral("List again"),
                         st->standardIcon(QStyle::SP_BrowserReload));
    setStandardShortcut(listAction_, QKeySequence::Refresh, QKeySequence(Qt::Key_F5));
    connect(listAction_, &QAction::triggered, this, &TfFileViewer::listAgain);
    wordWrapAction_ = action(QStringLiteral("&WordWrap"), QString(), QIcon());
    wordWrapAction_->setCheckable(true);
    wordWrapAction_->setChecked(true);
    view_->setWordWrap(true);
    connect(wordWrapAction_, &QAction::toggled, this, &TfFileViewer::setWordWrap);
    stayOnTopAction_ = action(QStringLiteral("Stay On &Top"), QStringLiteral("Stay on top"),
                              st->standardIcon(QStyle::SP_TitleBarShadeButton));
    stayOnTopAction_->setCheckable(true);
    connect(stayOnTopAction_, &QAction::toggled, this, &TfFileViewer::setStayOnTop);
    optionsAction_ = action(QStringLiteral("&Options"), QStringLiteral("Show File Viewer Options"),
                            st->standardIcon(QStyle::SP_FileDialogContentsView));
    connect(optionsAction_, &QAction::triggered, this, &TfFileViewer::editOptions);
    for (QAction* a : {screenAction_, detokenizeAction_, listAction_, wordWrapAction_})
        a->setObjectName(a->toolTip());

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addActions({importA, saveA});
    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->addActions({listAction_, clearA, detokenizeAction_, screenAction_});
    tools->addSeparator();
    tools->addActions({wordWrapAction_, stayOnTopAction_});
    menuBar()->addAction(optionsAction_);

    QToolBar* bar = addToolBar(QStringLiteral("File Viewer"));
    bar->setMovable(false);
    bar->addActions({saveA, clearA});
    bar->addSeparator();
    bar->addActions({screenAction_, detokenizeAction_, listAction_, wordWrapAction_});
    bar->addSeparator();
    bar->addActions({optionsAction_, stayOnTopAction_});
}

void TfFileViewer::prepare(const IniFile& ini) {
    const FileViewerWindowSettings s = FileViewerWindowSettings::load(ini);
    resize(s.width, s.height);
    stayOnTopAction_->setChecked(s.stayOnTop);
    wordWrapAction_->setChecked(s.wordWrap);
    setWordWrap(s.wordWrap);
    lastImport_ = s.lastImport;
    screen_->applyFileViewerSettings(ini);
    screen_->screen().setPalette(loadC64Palette(ini));
    applyCharsetRom(screen_->screen(), session_.listerOptions().charsetRom);
    applyFont();
    prepared_ = true;
}

void TfFileViewer::saveSettings(IniFile& ini) const {
    FileViewerWindowSettings s;
    s.width = width();
    s.height = height();
    s.stayOnTop = stayOnTopAction_->isChecked();
    s.wordWrap = wordWrapAction_->isChecked();
    s.c64Screen80 = screen_->screen().columns80();
    s.lastImport = lastImport_;
    s.save(ini);
}

void TfFileViewer::appendLine(std::string_view line) {
    if (buffer_.capacity() < buffer_.size() + line.size() + 2)
        buffer_.reserve(buffer_.size() + line.size() + 10000);
    buffer_.append(line);
    buffer_ += "\r\n";
}

bool TfFileViewer::showBuffer() {
    view_->suspendUpdates();
    const bool ok = view_->setCp437Text(buffer_);
    // The font goes onto the new text before it is shown, so that it is laid out once.
    if (ok)
        applyFont();
    view_->resumeUpdates();
    if (!ok) {
        session_.dialogs().message("ViewFile: Error assigning Text to RichEdit");
        return false;
    }
    return true;
}

void TfFileViewer::applyFont() {
    view_->applyFont(displayFont(session_.fonts()[FontSlot::FileViewer]));
}

void TfFileViewer::beginContent() {
    const bool lower = upperLower();
    screen_->screen().setUpperLower(lower);
    screen_->screen().beginUpdate();
    screen_->screen().clear();
    view_->clearText();
    resetBuffer();
}

void TfFileViewer::addDumpRows(const std::vector<DumpRow>& rows) {
    for (const DumpRow& row : rows) {
        appendLine(row.text);
        screen_->screen().addLine(row.screen, true);
    }
}

bool TfFileViewer::finishContent(ViewerState state) {
    const bool ok = showBuffer();
    show();
    raise();
    screen_->screen().endUpdate(false);
    if (!ok) {
        showFailure();
        return false;
    }
    setState(state);
    return true;
}

void TfFileViewer::showFailure() {
    for (QLabel* l : status_)
        l->clear();
    state_ = ViewerState::Empty;
    applyGroups({});
}

DumpOptions TfFileViewer::dumpOptions() const {
    return DumpOptions::fromViewer(session_.viewerOptions(), asciiMap(upperLower()));
}

void TfFileViewer::setStatus(int field, const QString& text) {
    if (field >= 1 && field <= 3)
        status_[field - 1]->setText(text);
}

QString TfFileViewer::status(int field) const {
    return field >= 1 && field <= 3 ? status_[field - 1]->text() : QString();
}

void TfFileViewer::setState(ViewerState state) {
    state_ = state;
    applyGroups(viewerGroups(state));
}

void TfFileViewer::applyGroups(const ViewerGroups& g) {
    screenAction_->setEnabled(g.c64Screen);
    detokenizeAction_->setEnabled(g.detokenize);
    listAction_->setEnabled(g.list);
    wordWrapAction_->setEnabled(g.wordWrap);
}

void TfFileViewer::forgetBlockMapFile() {
    view_->clearText();
    resetBuffer();
    bamRow_ = -1;
    if (fromBlockMap(state_) || state_ == ViewerState::SingleBlock)
        showFailure();
}

void TfFileViewer::importFile() {
    const FileChooser::SaveChoice choice = chooser_.openFileWithFilter(
        this, QStringLiteral("Import Quorvane Files..."), qs(lastImport_), kImportFilter);
    if (choice.path.isEmpty())
        return;
    const std::string path = ss(choice.path);
    // Without the filter (a chooser that cannot tell), the extension decides.
    const bool program = choice.filterIndex >= 0
                             ? choice.filterIndex >= 3
                             : choice.path.endsWith(QStringLiteral(".prg"), Qt::CaseInsensitive);
    const bool ok = program ? importProgram(path) : importText(path);
    if (ok)
        lastImport_ = folderPart(path);
}

bool TfFileViewer::importProgram(const std::string& path) {
    if (!fileExists(path)) {
        session_.dialogs().showError("ViewImportFile", path, "", "File not found...", kTellFile);
        showFailure();
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(path);
    if (!bytes) {
        session_.dialogs().showError("ViewFile", path, "", "Failed to open File...", kTellFile);
        showFailure();
        return false;
    }
    if (bytes->size() < 2) {
        // Too short to carry a start address: nothing is listed.
        showFailure();
        return false;
    }
    importPath_ = path;
    char start[32];
    std::snprintf(start, sizeof start, "Startaddress: $%04X", (*bytes)[0] | ((*bytes)[1] << 8));
    importStartText_ = start;
    beginContent();
    setStatus(1, QStringLiteral("Import"));
    setStatus(2, qs(importStartText_));
    setStatus(3, QFileInfo(qs(path)).fileName());
    addDumpRows(dumpRows(*bytes, dumpOptions()));
    return finishContent(ViewerState::ImportedProgram);
}

bool TfFileViewer::importText(const std::string& path) {
    if (!fileExists(path)) {
        session_.dialogs().showError("ViewImportTextFile", path, "", "File not found...",
                                     kTellFile);
        showFailure();
        return false;
    }
    const std::size_t limit = maxText_ ? maxText_() : 20000000;
    const ImportResult r =
        qv::importListing(path, limit, session_.dialogs().host(), temporaryFolder());
    if (r.outcome == ImportOutcome::Cancelled)
        return false;
    if (r.outcome != ImportOutcome::Loaded) {
        session_.dialogs().message("TOK64: Error loading Text to RichEdit");
        showFailure();
        return false;
    }
    importPath_ = path;
    view_->setDocument(r.document);
    buffer_ = r.document.text;
    applyFont();
    setStatus(1, QStringLiteral("Import"));
    setStatus(2, QString());
    setStatus(3, QFileInfo(qs(path)).fileName());
    show();
    setState(ViewerState::ImportedText);
    return true;
}

bool TfFileViewer::runDetokenizer(std::string_view displayName,
                                  const std::vector<std::uint8_t>* bytes, const std::string& path) {
    mode_ = session_.loadFullTokenTable(ss(QCoreApplication::applicationDirPath()));
    const bool lower = upperLower();
    Detokenizer detok(
        session_.tokens(), session_.viewerOptions().startAddresses,
        DetokenizeOptions::fromViewer(session_.viewerOptions(), mode_, lower, asciiMap(lower)));
    detok.setDialogs(&session_.dialogs());
    detok.setScreen(&screen_->screen());
    abort_ = false;
    detok.setAbortFlag(&abort_);
    detok.setPendingInput([] { QApplication::processEvents(); });
    screen_->screen().setUpperLower(lower);
    screen_->screen().clear();
    screen_->screen().beginUpdate();
    resetBuffer();
    view_->clearText();
    view_->setFocus();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DetokenizeResult r = bytes ? detok.detokenize(*bytes, std::string(displayName))
                                     : detok.detokenizeFile(path, std::string(displayName));
    QApplication::restoreOverrideCursor();
    if (r.textSet) {
        buffer_ = r.text;
        view_->suspendUpdates();
        view_->setDefaultColour(rgbColour(r.defaultColour));
        view_->setCp437Text(buffer_);
        const auto& colours = session_.tokens().tokenColours;
        for (const ColourRecord& c : r.colours) {
            if (c.colour >= 0 && static_cast<std::size_t>(c.colour) < colours.size())
                view_->colourBytes(c.offset, c.offset + c.length,
                                   rgbColour(colours[static_cast<std::size_t>(c.colour)]));
        }
        view_->resumeUpdates();
        applyFont();
    }
    if (r.statusName)
        setStatus(3, qs(*r.statusName));
    screen_->screen().endUpdate(false);
    return r.result == 0;
}

void TfFileViewer::detokenize() {
    if (fromBlockMap(state_)) {
        std::optional<std::vector<std::uint8_t>> bytes =
            files_ ? files_->fileBytes(bamRow_) : std::nullopt;
        if (!bytes) {
            showFailure();
            return;
        }
        setState(ViewerState::BamFile);
        show();
        if (runDetokenizer(files_->displayName(bamRow_), &*bytes, {}))
            setState(ViewerState::BamFileListed);
    } else if (fromImportedProgram(state_)) {
        if (!fileExists(importPath_)) {
            showFailure();
            session_.dialogs().showError("ViewImportFile", importPath_, "", "File not found...",
                                         kTellFile);
            return;
        }
        setState(ViewerState::ImportedProgram);
        setStatus(1, QStringLiteral("Import"));
        setStatus(2, qs(importStartText_));
        if (runDetokenizer(importPath_, nullptr, importPath_))
            setState(ViewerState::ImportedProgramListed);
    }
}

void TfFileViewer::listAgain() {
    bool ok = true;
    switch (listAgainFor(state_)) {
        case ListAgain::BlockMapFile:
            ok = files_ && files_->showFile(bamRow_);
            break;
        case ListAgain::ProgramImport:
            ok = importProgram(importPath_);
            break;
        case ListAgain::TextImport:
            ok = importText(importPath_);
            break;
        case ListAgain::Nothing:
            return;
    }
    if (!ok)
        showFailure();
}

void TfFileViewer::clearContent() {
    view_->clearText();
    buffer_ = std::string();
    buffer_.reserve(10000);
    for (QLabel* l : status_)
        l->clear();
    screen_->screen().clear();
}

bool TfFileViewer::saveProgramAs(const std::string& target, bool withStartAddress) {
    if (fromBlockMap(state_) && state_ != ViewerState::DetokenizeRequest) {
        if (files_ && files_->saveProgram(bamRow_, withStartAddress, target))
            return true;
        showFailure();
        return false;
    }
    if (fromImportedProgram(state_)) {
        if (!fileExists(importPath_)) {
            showFailure();
            session_.dialogs().showError("TOK64", importPath_, "", "File not found...", kTellFile);
            return false;
        }
        const std::optional<std::vector<std::uint8_t>> bytes = readWholeFile(importPath_);
        const std::size_t skip = withStartAddress ? 0 : 2;
        if (!bytes || bytes->size() < skip) {
            session_.dialogs().showError("TOK64", importPath_, target,
                                         "Error while copying from File...", errorflag::OkOnly);
            return false;
        }
        const std::string_view rest(reinterpret_cast<const char*>(bytes->data()) + skip,
                                    bytes->size() - skip);
        if (!writeFileAtomically(target, rest)) {
            session_.dialogs().showError("TOK64", target, "", "Error while creating Save File...",
                                         kTellFile);
            return false;
        }
        return true;
    }
    session_.dialogs().showError("TOK64", importPath_, "", "Cannot save File to C64 Program...",
                                 kTellFile);
    return false;
}

void TfFileViewer::saveAs() {
    const std::optional<FileChooser::SaveChoice> choice =
        chooser_.saveFile(this, QStringLiteral("Save as..."), qs(session_.saveFolder()),
                          kSaveFilter, QStringLiteral("rtf"));
    if (!choice)
        return;
    const std::string target = ss(choice->path);
    if (choice->filterIndex >= 3) {
        (void)saveProgramAs(target, choice->filterIndex == 3);
        return;
    }
    SaveAsSource source;
    source.imported = true;
    source.windowPlainText = view_->plainCp437();
    const SaveAsFormat format = saveAsFormat(choice->filterIndex);
    if (format == SaveAsFormat::RichText)
        source.windowDocument = view_->toDocument();
    const RtfRepair repair = rtfRepairFor(session_.fonts()[FontSlot::FileViewer], workArounds_,
                                          source.windowDocument.font.name);
    saveListingAs(target, format, source, repair, session_.dialogs(), "TOK64", kTellFile);
}

void TfFileViewer::toggleC64Screen(bool on) {
    if (screenAction_->isChecked() != on)
        screenAction_->setChecked(on);
    if (on)
        screen_->showScreen(QApplication::wheelScrollLines());
    else if (screen_->isVisible())
        screen_->close();
}

void TfFileViewer::setWordWrap(bool on) {
    if (wordWrapAction_->isChecked() != on)
        wordWrapAction_->setChecked(on);
    view_->setWordWrap(on);
}

void TfFileViewer::setStayOnTop(bool on) {
    if (stayOnTopAction_->isChecked() != on)
        stayOnTopAction_->setChecked(on);
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible)
        show();
}

void TfFileViewer::editOptions() {
    if (TfFileViewerOptions::edit(session_, this, &chooser_,
                                  ss(QCoreApplication::applicationDirPath())))
        applyViewerOptions();
}

void TfFileViewer::applyViewerOptions() {
    screen_->screen().setTextLimit(session_.viewerOptions().c64ScreenMaxText);
}

void TfFileViewer::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && activated_)
        activated_();
}

void TfFileViewer::columnsSwitched(bool eighty) {
    const bool refill = state_ > ViewerState::SingleBlock;
    screen_->switchColumns(eighty, refill);
    if (!refill)
        return;
    const Rerun rerun = rerunAfterColumnSwitch(state_);
    clearContent();
    if (rerun == Rerun::ListAgain)
        listAgain();
    else if (rerun == Rerun::Detokenize)
        detokenize();
}

}  // namespace qv::app
