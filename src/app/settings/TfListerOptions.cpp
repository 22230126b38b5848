#include "settings/TfListerOptions.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStringList>
#include <QTabWidget>
#include <QVBoxLayout>

#include "host/Dialogs.h"
#include "platform/DisplayFont.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "platform/TfSelectFolder.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"
#include "settings/TfCustomHeader.h"

namespace qv::app {
namespace {

QCheckBox* check(const char* text, const char* hint, QWidget* parent) {
    auto* c = new QCheckBox(QString::fromUtf8(text), parent);
    if (hint)
        c->setToolTip(QString::fromUtf8(hint));
    return c;
}

QRadioButton* radio(const char* text, const char* hint, QWidget* parent) {
    auto* r = new QRadioButton(QString::fromUtf8(text), parent);
    if (hint)
        r->setToolTip(QString::fromUtf8(hint));
    return r;
}

// A caption for CONTROL: a screen reader names the control by it.
QLabel* captionFor(const QString& text, QWidget* control, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    return label;
}

QLineEdit* readOnlyField(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    return e;
}

constexpr const char* kImageLabels[4] = {
    "Header Image:", "Pre Image:", "Post Image:", "Footer Image:"};
constexpr const char* kImageHints[4] = {
    "Customize the First Line in the Header. Use RETURN as last Char. Use DEFAULT for default.",
    "Customize the Chars to put in front of the Image Name. The First Char is used for "
    "centering the Text. Use DEFAULT for default.",
    "Customize the Chars to put behind the Image Name. The Last Char is used for centering the "
    "Text. Use DEFAULT for default.",
    "Customize the Last Line in the Header. Use RETURN as first Char. Use DEFAULT for default."};

}  // namespace

TfListerOptions::TfListerOptions(Session& session, TfSelectFolder& selectFolder,
                                 FileChooser& chooser, QWidget* parent)
    : QDialog(parent),
      session_(session),
      dialogs_(session.dialogs()),
      selectFolder_(selectFolder),
      chooser_(chooser),
      draft_(session.listerOptions()),
      fonts_(session.fonts()) {
    setWindowTitle(QStringLiteral("Options"));
    setObjectName(QStringLiteral("TfListerOptions"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(windowTitle());
    tabs_->addTab(fileOptionsPage(), QStringLiteral("File Options"));
    tabs_->addTab(conversionPage(), QStringLiteral("Conversion"));
    tabs_->addTab(asciiPage(), QStringLiteral("ASCII File"));
    tabs_->addTab(c64ScreenPage(), QStringLiteral("C64Screen"));
    tabs_->addTab(geosPage(), QStringLiteral("GEOS File Details"));
    tabs_->addTab(fortyTracksPage(), QStringLiteral("40 Tracks Support"));
    tabs_->addTab(fontsPage(), QStringLiteral("Fonts"));
    layout->addWidget(tabs_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    ok_->setAutoDefault(false);
    cancel_->setDefault(true);  // Cancel is the default button and answers Escape
    connect(ok_, &QPushButton::clicked, this, &TfListerOptions::accept);
    connect(cancel_, &QPushButton::clicked, this, &TfListerOptions::reject);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    tabs_->setUsesScrollButtons(false);

    for (QCheckBox* c :
         {interpretSpecial_, autoGeos_, generateHeader_, customHeader_, enable40_, autoDetect_}) {
        connect(c, &QCheckBox::toggled, this, [this] {
            if (!loading_)
                updateEnabling();
        });
    }
}

QWidget* TfListerOptions::fileOptionsPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    const auto group = [&](int row, const char* caption, const char* hint, const char* a,
                           const char* b, const char* fieldLabel, QRadioButton*& ra,
                           QRadioButton*& rb, QLineEdit*& field) {
        auto* box = new QGroupBox(QString::fromUtf8(caption), page);
        box->setToolTip(QString::fromUtf8(hint));
        auto* l = new QGridLayout(box);
        ra = radio(a, nullptr, box);
        rb = radio(b, nullptr, box);
        auto* g = new QButtonGroup(box);
        g->addButton(ra);
        g->addButton(rb);
        field = readOnlyField(box);
        l->addWidget(ra, 0, 0);
        l->addWidget(rb, 0, 1);
        l->addWidget(captionFor(QString::fromUtf8(fieldLabel), field, box), 1, 0);
        l->addWidget(field, 1, 1);
        grid->addWidget(box, row, 0);
    };
    group(0, "Select Name:",
          "Use the name of the D64 image (default) or an inserted file name for the ASCII file",
          "Default Name", "Insert Name", "Name:", nameDefault_, nameInsert_, nameField_);
    group(1, "Multifile Name:",
          "Use the name of the directory where the D64 image was (default) or an inserted file "
          "name for the ASCII file",
          "Default Name", "Insert Name", "Multifile Name:", multiDefault_, multiInsert_,
          multiField_);
    group(2, "Select Path:",
          "Use the path of the D64 image (default) or an selected path for the ASCII file",
          "Default Path", "Select Path", "Path:", pathDefault_, pathSelect_, pathField_);
    grid->setRowStretch(3, 1);

    connect(nameDefault_, &QRadioButton::clicked, this, [this] {
        draft_.saveName = "DEFAULT";
        nameField_->setText(QStringLiteral("DEFAULT"));
    });
    connect(multiDefault_, &QRadioButton::clicked, this, [this] {
        draft_.multifileName = "DEFAULT";
        multiField_->setText(QStringLiteral("DEFAULT"));
    });
    connect(nameInsert_, &QRadioButton::clicked, this, [this] { askName(false); });
    connect(multiInsert_, &QRadioButton::clicked, this, [this] { askName(true); });
    connect(pathDefault_, &QRadioButton::clicked, this, [this] {
        draft_.savePath = "DEFAULT";
        pathField_->setText(QStringLiteral("DEFAULT"));
        session_.setSaveFolder("");
        emit saveFolderChanged(QString());
    });
    connect(pathSelect_, &QRadioButton::clicked, this, &TfListerOptions::selectPath);
    return page;
}

QWidget* TfListerOptions::conversionPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    convertEverything_ = check("Convert Everything", "Convert alphanumeric chars, too", page);
    interpretSpecial_ =
        check("Interpret Specialchars", "Interpret Specialchars like DEL or CRSR RIGHT", page);
    basicTokens_ = check(
        "Display BASIC V2 Tokens",
        "Chars greater than $80 in Quote Mode are interpreted as BASIC Tokens in Disknames, "
        "\"Interpret Specialchars\" must be switched on. This uses the Token Table editable in "
        "the FileViewerOptions",
        page);
    autoGeos_ = check("Auto GEOS Conversion",
                      "Switch to Upper/Lower Mode and use ASCII, if a GEOS file is detected", page);
    geosDisknames_ =
        check("Convert GEOS Disknames",
              "Convert GEOS Disks Disknames, \"Auto GEOS conversion\" must be switched on", page);
    deletedFiles_ = check("Show deleted Files",
                          "Show Filetype $00 also. To restore file, try to change Filetype $00 "
                          "in $83",
                          page);
    more144_ = check("Allow more than 144 Files", "Allow more than 144 Files", page);
    abortZero_ = check("Abort Image at 0x00",
                       "If there are three 0x00 (Zero) in the Filename, the Imagelisting is "
                       "aborted (original behaviour)",
                       page);
    for (QCheckBox* c : {convertEverything_, interpretSpecial_, basicTokens_, autoGeos_,
                         geosDisknames_, deletedFiles_, more144_, abortZero_})
        l->addWidget(c);
    l->addStretch();
    return page;
}

QWidget* TfListerOptions::asciiPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    savedTo_ = check("Show \"Saved to...\" Message", nullptr, page);
    generateHeader_ =
        check("Generate Header", "Add an automatic generated Header to the ASCII File", page);
    addPathAlways_ = radio("Add Path Always", "Adds the Path to the Header for Every Image", page);
    addPathDirchange_ = radio("Add Path only at Dirchange",
                              "Adds the Path to the Header only if there was a Dirchange", page);
    auto* g = new QButtonGroup(page);
    g->addButton(addPathAlways_);
    g->addButton(addPathDirchange_);
    customHeader_ = check("Custom Header", nullptr, page);
    customEdit_ = new QPushButton(QStringLiteral("edit..."), page);
    customEdit_->setToolTip(QStringLiteral("Edit Custom Header..."));
    connect(customEdit_, &QPushButton::clicked, this, &TfListerOptions::editCustomHeader);
    l->addWidget(savedTo_);
    l->addWidget(generateHeader_);
    l->addWidget(addPathAlways_);
    l->addWidget(addPathDirchange_);
    auto* custom = new QHBoxLayout;
    custom->addWidget(customHeader_);
    custom->addWidget(customEdit_);
    custom->addStretch();
    l->addLayout(custom);
    auto* style = new QLabel(QStringLiteral("Customize Header Style:"), page);
    style->setToolTip(
        QStringLiteral("CSV are used to define the Styles. First is the count to "
                       "add the following by comma seperated Char or String."));
    l->addWidget(style);
    auto* grid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* e = new QLineEdit(page);
        e->setToolTip(QString::fromUtf8(kImageHints[i]));
        imageFields_[static_cast<std::size_t>(i)] = e;
        grid->addWidget(captionFor(QString::fromUtf8(kImageLabels[i]), e, page), i, 0);
        grid->addWidget(e, i, 1);
    }
    l->addLayout(grid);
    l->addStretch();
    return page;
}

QWidget* TfListerOptions::c64ScreenPage() {
    auto* page = new QWidget(this);
    auto* l = new QHBoxLayout(page);
    imagesInScreen_ = new QSpinBox(page);
    QLabel* label = captionFor(QStringLiteral("Images in C64Screen:"), imagesInScreen_, page);
    imagesInScreen_->setRange(0, 100000);
    imagesInScreen_->setToolTip(
        QStringLiteral("Limit directories in the C64 Screen. More images decreases speed. If more "
                       "images are selected as limited, only the diskname and free blocks will be "
                       "added"));
    imagesInScreen_->installEventFilter(this);
    l->addWidget(label);
    l->addWidget(imagesInScreen_);
    l->addStretch();
    // A character ROM dump of the user's own replaces the built-in glyphs.
    auto* romRow = new QWidget(this);
    auto* r = new QHBoxLayout(romRow);
    charsetRom_ = new QLineEdit(romRow);
    charsetRom_->setObjectName(QStringLiteral("charsetRom"));
    charsetRom_->setToolTip(QStringLiteral(
        "A 4096-byte C64 character ROM file to draw the C64 Screen with. Empty: the built-in "
        "character set"));
    auto* browse = new QPushButton(QStringLiteral("..."), romRow);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = chooser_.openFile(this, QStringLiteral("Character ROM"),
                                               charsetRom_->text(), "All files (*)");
        if (!file.isEmpty())
            charsetRom_->setText(file);
    });
    auto* romLabel = new QLabel(QStringLiteral("Character ROM:"), romRow);
    romLabel->setBuddy(charsetRom_);
    charsetRom_->setAccessibleName(QStringLiteral("Character ROM"));
    browse->setAccessibleName(QStringLiteral("Choose a character ROM file"));
    r->addWidget(romLabel);
    r->addWidget(charsetRom_, 1);
    r->addWidget(browse);
    // A character ROM an emulator installed on this computer can be picked from a list;
    // it is read where it lies, never copied.
    auto* installedRow = new QWidget(this);
    auto* ir = new QHBoxLayout(installedRow);
    installedRoms_ = new QComboBox(installedRow);
    installedRoms_->setObjectName(QStringLiteral("installedRoms"));
    installedRoms_->setAccessibleName(QStringLiteral("Installed character ROMs"));
    installedRoms_->setToolTip(
        QStringLiteral("Character ROM files installed by an emulator (VICE) on this computer"));
    auto* installedLabel = new QLabel(QStringLiteral("&Installed ROM:"), installedRow);
    installedLabel->setBuddy(installedRoms_);
    useInstalledRom_ = new QPushButton(QStringLiteral("&Use"), installedRow);
    useInstalledRom_->setObjectName(QStringLiteral("useInstalledRom"));
    useInstalledRom_->setAccessibleName(QStringLiteral("Use the installed character ROM"));
    connect(useInstalledRom_, &QPushButton::clicked, this,
            [this] { charsetRom_->setText(installedRoms_->currentData().toString()); });
    auto* builtin = new QPushButton(QStringLiteral("&Built-in"), installedRow);
    builtin->setObjectName(QStringLiteral("useBuiltinCharset"));
    builtin->setAccessibleName(QStringLiteral("Use the built-in character set"));
    builtin->setToolTip(QStringLiteral("Draw with the character set built into the program"));
    connect(builtin, &QPushButton::clicked, charsetRom_, &QLineEdit::clear);
    ir->addWidget(installedLabel);
    ir->addWidget(installedRoms_, 1);
    ir->addWidget(useInstalledRom_);
    ir->addWidget(builtin);
    installedRomNotes_ = new QLabel(this);
    installedRomNotes_->setObjectName(QStringLiteral("installedRomNotes"));
    installedRomNotes_->setWordWrap(true);
    installedRomNotes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* about = new QLabel(
        QStringLiteral("Empty: the built-in character set, drawn for this program in the "
                       "style of the C64 screen. For the C64's own glyphs, choose a 4096-byte "
                       "dump of your own character ROM, such as the one an emulator installs."),
        this);
    about->setWordWrap(true);
    auto* outer = new QWidget(this);
    auto* v = new QVBoxLayout(outer);
    v->addWidget(page);
    v->addWidget(romRow);
    v->addWidget(installedRow);
    v->addWidget(installedRomNotes_);
    v->addWidget(about);
    v->addStretch();
    return outer;
}

void TfListerOptions::setCharsetRomFolders(std::vector<std::filesystem::path> folders) {
    charsetRomFolders_ = std::move(folders);
    showInstalledRoms();
}

void TfListerOptions::showInstalledRoms() {
    const CharsetRomSearch search = findCharsetRoms(charsetRomFolders_);
    installedRoms_->clear();
    for (const std::string& path : search.found)
        installedRoms_->addItem(qs(path), qs(path));
    installedRoms_->setEnabled(!search.found.empty());
    useInstalledRom_->setEnabled(!search.found.empty());
    QStringList notes;
    if (search.found.empty())
        notes << QStringLiteral("No character ROM installed by an emulator was found.");
    for (const std::string& refused : search.refused)
        notes << qs(refused);
    installedRomNotes_->setText(notes.join(QLatin1Char('\n')));
}

QWidget* TfListerOptions::geosPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    generateGeos_ =
        check("Generate GEOS File Details", "show Info Block and Icon in a Report ", page);
    auto* box = new QGroupBox(QStringLiteral("German Specialchars:"), page);
    auto* bl = new QVBoxLayout(box);
    umlaute_ = check(
        "Umlaute", "Replace Curly Brackets, Pipe, Square Brackets and Backslash with Umlaute", box);
    eszett_ = check("Eszett", "Replace the Tilde Char with an Eszett Char", box);
    paragraph_ = check("Paragraph", "Replace the AT Char with a Paragraph Char", box);
    bl->addWidget(umlaute_);
    bl->addWidget(eszett_);
    bl->addWidget(paragraph_);
    l->addWidget(generateGeos_);
    l->addWidget(box);
    l->addStretch();
    return page;
}

QWidget* TfListerOptions::fortyTracksPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    enable40_ = check("Enable 40 Tracks", nullptr, page);
    autoDetect_ = check("AutoDetect Mode", "AutoDetect Extended BAM Mode", page);
    changeDosType_ = check("Change DOSType to '2S' or '2D'",
                           "Change DOSType from '2A' to '2S' for SpeedDOS or '2D' for DolphinDOS "
                           "Images",
                           page);
    speedDos_ = radio("SpeedDOS", "Handle Disk as a SpeedDOS Disk", page);
    dolphinDos_ = radio("DolphinDOS", "Handle Disk as a DolphinDOS Disk", page);
    prologicDos_ = radio("PrologicDOS", "Handle Disk as a PrologicDOS Disk", page);
    auto* g = new QButtonGroup(page);
    for (QRadioButton* r : {speedDos_, dolphinDos_, prologicDos_})
        g->addButton(r);
    for (QWidget* w : std::initializer_list<QWidget*>{enable40_, autoDetect_, changeDosType_,
                                                      speedDos_, dolphinDos_, prologicDos_})
        l->addWidget(w);
    l->addStretch();
    return page;
}

QWidget* TfListerOptions::fontsPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    const char* scaleHint = "The Fontsize increases / decreases depending from the Window Height";
    bamViewerScale_ = check("Scale", scaleHint, page);
    bamChainsScale_ = check("Scale", scaleHint, page);
    for (int i = 0; i < kFontCount; ++i) {
        const auto slot = static_cast<FontSlot>(i);
        const auto idx = static_cast<std::size_t>(i);
        fontNames_[idx] = readOnlyField(page);
        fontSizes_[idx] = readOnlyField(page);
        const QString caption = QString::fromUtf8(fontPlace(slot).label);
        grid->addWidget(captionFor(caption, fontNames_[idx], page), i, 0);
        fontSizes_[idx]->setAccessibleName(QString(caption).remove(QLatin1Char(':')).trimmed() +
                                           QStringLiteral(" size"));
        fontSizes_[idx]->setMaximumWidth(40);
        auto* edit = new QPushButton(QStringLiteral("edit..."), page);
        edit->setToolTip(QStringLiteral("Edit Font..."));
        edit->setObjectName(QStringLiteral("fontEdit%1").arg(i));
        connect(edit, &QPushButton::clicked, this, [this, slot] { editFont(slot); });
        grid->addWidget(fontNames_[idx], i, 1);
        grid->addWidget(fontSizes_[idx], i, 2);
        grid->addWidget(edit, i, 3);
    }
    grid->addWidget(bamViewerScale_, static_cast<int>(FontSlot::BamViewer), 4);
    grid->addWidget(bamChainsScale_, static_cast<int>(FontSlot::BamChains), 4);
    // Unchecking "Scale" puts the font back to the size shown beside it.
    connect(bamViewerScale_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on && !loading_)
            changedFonts_ |= fontBit(FontSlot::BamViewer);
    });
    connect(bamChainsScale_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on && !loading_)
            changedFonts_ |= fontBit(FontSlot::BamChains);
    });
    grid->setRowStretch(kFontCount, 1);
    return page;
}

void TfListerOptions::setCurrentImage(const std::string& currentImage,
                                      const std::string& lastLoad) {
    currentImage_ = currentImage;
    lastLoad_ = lastLoad;
}

void TfListerOptions::showEvent(QShowEvent* event) {
    changedFonts_ = 0;
    showRecord();
    QDialog::showEvent(event);
}

bool TfListerOptions::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the image count field is swallowed.
    if (watched == imagesInScreen_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfListerOptions::showRecord() {
    loading_ = true;
    draft_ = session_.listerOptions();
    fonts_ = session_.fonts();
    const ListerOptions& o = draft_;
    (o.saveName == "DEFAULT" ? nameDefault_ : nameInsert_)->setChecked(true);
    (o.multifileName == "DEFAULT" ? multiDefault_ : multiInsert_)->setChecked(true);
    (o.savePath == "DEFAULT" ? pathDefault_ : pathSelect_)->setChecked(true);
    nameField_->setText(qs(o.saveName));
    multiField_->setText(qs(o.multifileName));
    pathField_->setText(qs(o.savePath));

    convertEverything_->setChecked(o.convertEverything);
    interpretSpecial_->setChecked(o.interpretSpecialchars);
    basicTokens_->setChecked(o.displayBasicV2Tokens);
    autoGeos_->setChecked(o.autoGeosConversion);
    geosDisknames_->setChecked(o.convertGeosDisknames);
    deletedFiles_->setChecked(o.showDeletedFiles);
    more144_->setChecked(o.allowMoreThan144Files);
    abortZero_->setChecked(o.abortImageAt0x00);

    savedTo_->setChecked(o.showSavedToMessage);
    generateHeader_->setChecked(o.generateHeader);
    addPathAlways_->setChecked(o.addPath == 1);
    addPathDirchange_->setChecked(o.addPath == 2);
    customHeader_->setChecked(o.customHeader);
    const std::array<const std::string*, 4> images{&o.headerImage, &o.preImage, &o.postImage,
                                                   &o.footerImage};
    for (std::size_t i = 0; i < 4; ++i)
        imageFields_[i]->setText(qs(*images[i]));

    imagesInScreen_->setValue(o.imagesInC64Screen);
    charsetRom_->setText(qs(o.charsetRom));
    showInstalledRoms();
    generateGeos_->setChecked(o.generateGeosFileDetails);
    umlaute_->setChecked(o.umlaute);
    eszett_->setChecked(o.eszett);
    paragraph_->setChecked(o.paragraph);

    enable40_->setChecked(o.enable40Tracks);
    autoDetect_->setChecked(o.autoDetectMode);
    changeDosType_->setChecked(o.changeDosType);
    (o.fortyTrackType == kFortyTrackSpeedDos     ? speedDos_
     : o.fortyTrackType == kFortyTrackDolphinDos ? dolphinDos_
                                                 : prologicDos_)
        ->setChecked(true);

    for (int i = 0; i < kFontCount; ++i)
        showFont(static_cast<FontSlot>(i));
    bamViewerScale_->setChecked(o.bamViewerScale);
    bamChainsScale_->setChecked(o.bamChainsScale);
    updateEnabling();
    loading_ = false;
}

void TfListerOptions::updateEnabling() {
    ListerOptions shown = draft_;
    readControls(shown);
    const OptionsEnabling e = optionsEnabling(shown);
    for (QWidget* w :
         std::initializer_list<QWidget*>{addPathAlways_, addPathDirchange_, customHeader_})
        w->setEnabled(e.headerControls);
    for (QLineEdit* f : imageFields_)
        f->setEnabled(e.headerControls);
    customEdit_->setEnabled(e.customHeaderEdit);
    geosDisknames_->setEnabled(e.geosDisknames);
    basicTokens_->setEnabled(e.basicTokens);
    autoDetect_->setEnabled(e.fortyTrackOptions);
    changeDosType_->setEnabled(e.fortyTrackOptions);
    for (QRadioButton* r : {speedDos_, dolphinDos_, prologicDos_})
        r->setEnabled(e.dosTypeChoice);
}

void TfListerOptions::askName(bool multifile) {
    QRadioButton* def = multifile ? multiDefault_ : nameDefault_;
    QRadioButton* ins = multifile ? multiInsert_ : nameInsert_;
    def->setEnabled(false);
    ins->setEnabled(false);
    const std::optional<std::string> answer = dialogs_.host().askText(
        "Input", multifile ? "Input Save Name for Multifile List" : "Input Save File Name", "");
    def->setEnabled(true);
    ins->setEnabled(true);
    const std::string name = normalizeSaveName(answer.value_or(""));
    (multifile ? draft_.multifileName : draft_.saveName) = name;
    (multifile ? multiField_ : nameField_)->setText(qs(name));
    if (name == "DEFAULT")
        def->setChecked(true);
}

void TfListerOptions::selectPath() {
    ok_->setEnabled(false);
    cancel_->setEnabled(false);
    const std::string chosen = selectFolder_.selectFolder();
    if (!chosen.empty()) {
        draft_.savePath = chosen;
        pathField_->setText(qs(chosen));
        session_.setSaveFolder(chosen);
        emit saveFolderChanged(qs(chosen));
    }
    if (draft_.savePath == "DEFAULT")
        pathDefault_->setChecked(true);
    ok_->setEnabled(true);
    cancel_->setEnabled(true);
    raise();
    activateWindow();
}

void TfListerOptions::showFont(FontSlot slot) {
    const auto i = static_cast<std::size_t>(slot);
    fontNames_[i]->setText(qs(fonts_[slot].name));
    fontSizes_[i]->setText(QString::number(fonts_[slot].size));
}

void TfListerOptions::editFont(FontSlot slot) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, displayFont(fonts_[slot]), this);
    if (!ok)
        return;
    fonts_[slot] = fontSetting(chosen, fonts_[slot].charset);
    showFont(slot);
    changedFonts_ |= fontBit(slot);
}

void TfListerOptions::editCustomHeader() {
    if (!customHeaderDialog_)
        customHeaderDialog_ = new TfCustomHeader(this);
    customHeaderDialog_->prepare(customHeaderExample(currentImage_, lastLoad_), draft_.driveLetter,
                                 draft_.skip);
    if (customHeaderDialog_->exec() == QDialog::Accepted) {
        draft_.driveLetter = customHeaderDialog_->prefix();
        draft_.skip = customHeaderDialog_->skip();
        if (customHeaderDialog_->result().empty())
            customHeader_->setChecked(false);
    }
    // Cancel leaves the prefix and the skip count as they were.
}

void TfListerOptions::readControls(ListerOptions& o) const {
    o.convertEverything = convertEverything_->isChecked();
    o.interpretSpecialchars = interpretSpecial_->isChecked();
    o.displayBasicV2Tokens = basicTokens_->isChecked();
    o.autoGeosConversion = autoGeos_->isChecked();
    o.convertGeosDisknames = geosDisknames_->isChecked();
    o.showDeletedFiles = deletedFiles_->isChecked();
    o.allowMoreThan144Files = more144_->isChecked();
    o.abortImageAt0x00 = abortZero_->isChecked();
    o.showSavedToMessage = savedTo_->isChecked();
    o.generateHeader = generateHeader_->isChecked();
    if (addPathAlways_->isChecked())
        o.addPath = 1;
    else if (addPathDirchange_->isChecked())
        o.addPath = 2;
    o.customHeader = customHeader_->isChecked();
    const std::array<std::string*, 4> images{&o.headerImage, &o.preImage, &o.postImage,
                                             &o.footerImage};
    for (std::size_t i = 0; i < 4; ++i)
        *images[i] = ss(imageFields_[i]->text());
    o.imagesInC64Screen = imagesInScreen_->value();
    o.charsetRom = ss(charsetRom_->text().trimmed());
    o.generateGeosFileDetails = generateGeos_->isChecked();
    o.umlaute = umlaute_->isChecked();
    o.eszett = eszett_->isChecked();
    o.paragraph = paragraph_->isChecked();
    o.enable40Tracks = enable40_->isChecked();
    o.autoDetectMode = autoDetect_->isChecked();
    o.changeDosType = changeDosType_->isChecked();
    o.fortyTrackType = speedDos_->isChecked()     ? kFortyTrackSpeedDos
                       : dolphinDos_->isChecked() ? kFortyTrackDolphinDos
                                                  : kFortyTrackPrologicDos;
    o.bamViewerScale = bamViewerScale_->isChecked();
    o.bamChainsScale = bamChainsScale_->isChecked();
}

void TfListerOptions::showMessages(const std::vector<std::string>& messages) {
    for (const std::string& m : messages)
        dialogs_.message(m);
}

void TfListerOptions::accept() {
    readControls(draft_);
    // A file that cannot be read is not written; the dialog closes all the same.
    (void)session_.settings().update(
        "ListerOptions", [this](IniFile& ini) { saveOptions(ini, draft_, fonts_, changedFonts_); });
    session_.fonts() = fonts_;
    showMessages(session_.options().replace(draft_));
    draft_ = session_.listerOptions();
    QDialog::accept();
}

void TfListerOptions::reject() {
    const IniFile ini = session_.settings().readOrEmpty();
    ListerOptions stored;
    const OptionsLoadResult r = loadOptions(ini, stored);
    session_.options().replace(stored);
    session_.fonts() = loadFonts(ini);
    draft_ = stored;
    fonts_ = session_.fonts();
    session_.setSaveFolder(r.saveFolder);
    emit saveFolderChanged(qs(r.saveFolder));
    changedFonts_ = 0;
    QDialog::reject();
}

}  // namespace qv::app
