#include "viewer/TfFileViewerOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "listing/ListingExport.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "viewer/TfStartAddress.h"
#include "viewer/TfTokenTable.h"

namespace qv::app {
namespace {

QCheckBox* check(const char* text, const char* hint, QWidget* parent) {
    auto* c = new QCheckBox(QString::fromUtf8(text), parent);
    c->setAccessibleName(c->text().remove(QLatin1Char('&')));
    if (hint) {
        c->setToolTip(QString::fromUtf8(hint));
        c->setAccessibleDescription(c->toolTip());
    }
    return c;
}

QPushButton* editButton(const char* text, const char* hint, QWidget* parent) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setToolTip(QString::fromUtf8(hint));
    b->setAccessibleName(b->toolTip());
    b->setAutoDefault(false);
    return b;
}

}  // namespace

TfFileViewerOptions::TfFileViewerOptions(Session& session, FileChooser& chooser,
                                         std::string programFolder, std::string tempFolder,
                                         QWidget* parent)
    : QDialog(parent),
      session_(session),
      chooser_(chooser),
      programFolder_(std::move(programFolder)),
      tempFolder_(std::move(tempFolder)) {
    setWindowTitle(QStringLiteral("File Viewer Options"));
    setObjectName(QStringLiteral("TfFileViewerOptions"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(windowTitle());
    tabs_->addTab(conversionPage(), QStringLiteral("File Conversion"));
    tabs_->addTab(detokenizerPage(), QStringLiteral("BASIC Detokenizer"));
    tabs_->addTab(bamPage(), QStringLiteral("BAMFileList Defaults"));
    tabs_->addTab(screenPage(), QStringLiteral("C64Screen"));
    tabs_->setUsesScrollButtons(false);
    layout->addWidget(tabs_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    ok_->setDefault(true);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &TfFileViewerOptions::accept);
    connect(cancel_, &QPushButton::clicked, this, &TfFileViewerOptions::reject);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    for (QCheckBox* c : {convertToChars_, autodetect_}) {
        connect(c, &QCheckBox::toggled, this, [this] {
            if (!loading_)
                applyDependencies();
        });
    }
    connect(translate_, &QCheckBox::toggled, this, &TfFileViewerOptions::translateToggled);
    connect(editTable_, &QPushButton::clicked, this, &TfFileViewerOptions::editTokenTable);
    connect(editAddresses_, &QPushButton::clicked, this, &TfFileViewerOptions::editStartAddresses);
    showOptions();
}

bool TfFileViewerOptions::edit(Session& session, QWidget* parent, FileChooser* chooser,
                               std::string programFolder) {
    if (programFolder.empty())
        programFolder = ss(QCoreApplication::applicationDirPath());
    session.loadFullTokenTable(programFolder);
    QtFileChooser systemChooser;
    TfFileViewerOptions dialog(session, chooser ? *chooser : systemChooser, programFolder,
                               temporaryFolder(), parent);
    return dialog.exec() == QDialog::Accepted;
}

QWidget* TfFileViewerOptions::conversionPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    convertToChars_ = check("Convert to &Chars", "Convert to Chars or show hexadecimal", page);
    convertToAscii_ = check("Convert Chars to &ASCII",
                            "Convert to ASCII with PETSCII->ASCII Conversion table", page);
    convertHex_ = check("Convert &HexNumbers to ASCII",
                        "Convert to ASCII with PETSCII->ASCII Conversion table", page);
    replaceReturn_ = check("&Replace 0x0D with a newline", "Useful for most SEQ files", page);
    for (QCheckBox* c : {convertToChars_, convertToAscii_, convertHex_, replaceReturn_})
        l->addWidget(c);
    l->addStretch();
    return page;
}

QWidget* TfFileViewerOptions::detokenizerPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);
    auto* modeLabel = new QLabel(QStringLiteral("BASIC &Mode:"), page);
    mode_ = new QComboBox(page);
    mode_->setToolTip(QStringLiteral("Choose Mode"));
    mode_->setAccessibleName(QStringLiteral("BASIC Mode:"));
    mode_->setAccessibleDescription(mode_->toolTip());
    mode_->setMinimumContentsLength(18);
    modeLabel->setBuddy(mode_);
    editTable_ = editButton("&edit...", "Edit Token Table...", page);
    autodetect_ = check("Auto&detect BASIC Mode", "Detect BASIC Mode through Startaddress", page);
    ignore_ = check("&Ignore Startaddress",
                    "Startaddress could be different from the known BASIC starts. This switches "
                    "off a relevant hint for C64 BASIC files and can cause in endless converting. "
                    "Press ESC to stop converting...",
                    page);
    editAddresses_ = editButton("edi&t...", "Edit Autodetect Startaddresses...", page);
    syntax_ = check("&Syntax Highlighting",
                    "Syntax Highlight for BASIC Commands dependent from the assigned Color Types "
                    "in the Token Table",
                    page);
    translate_ = check("T&ranslate Specialchars",
                       "Show the Specialchars in Quotes as Names like {down} or {red} from the "
                       "Token Table; unchecked they are shown as the graphic Chars",
                       page);
    grid->addWidget(modeLabel, 0, 0);
    grid->addWidget(mode_, 0, 1);
    grid->addWidget(editTable_, 0, 2);
    grid->addWidget(autodetect_, 1, 0, 1, 2);
    grid->addWidget(ignore_, 2, 0, 1, 2);
    grid->addWidget(editAddresses_, 2, 2);
    grid->addWidget(syntax_, 3, 0, 1, 2);
    grid->addWidget(translate_, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    return page;
}

QWidget* TfFileViewerOptions::bamPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    fileListOpen_ = check("BAMFileList default &opened", nullptr, page);
    showChain_ = check("Show C&hain default checked", nullptr, page);
    l->addWidget(fileListOpen_);
    l->addWidget(showChain_);
    l->addStretch();
    return page;
}

QWidget* TfFileViewerOptions::screenPage() {
    auto* page = new QWidget(this);
    auto* l = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(QStringLiteral("Max. Te&xt in Bytes:"), page);
    maxText_ = new QLineEdit(page);
    maxText_->setToolTip(
        QStringLiteral("Limits the amount of Text in the C64 Screen. More Text decreases speed."));
    maxText_->setAccessibleName(QStringLiteral("Max. Text in Bytes:"));
    maxText_->setAccessibleDescription(maxText_->toolTip());
    maxText_->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    label->setBuddy(maxText_);
    row->addWidget(label);
    row->addWidget(maxText_);
    row->addStretch();
    l->addLayout(row);
    l->addStretch();
    return page;
}

void TfFileViewerOptions::showEvent(QShowEvent* event) {
    showOptions();
    QDialog::showEvent(event);
}

void TfFileViewerOptions::showOptions() {
    loading_ = true;
    const ViewerOptions& o = session_.viewerOptions();
    convertToChars_->setChecked(o.convertToChars);
    convertToAscii_->setChecked(o.convertCharsToAscii);
    convertHex_->setChecked(o.convertHexToAscii);
    replaceReturn_->setChecked(o.replaceReturn);
    const int count = static_cast<int>(session_.tokens().modeList().size());
    fillModeList(o.mode >= 0 && o.mode < count ? o.mode : 0);
    autodetect_->setChecked(o.autodetect);
    ignore_->setChecked(o.ignoreStartaddress);
    syntax_->setChecked(o.syntaxHighlighting);
    translate_->setChecked(o.translateSpecialchars);
    fileListOpen_->setChecked(o.bamFileListOpen);
    showChain_->setChecked(o.bamShowChain);
    maxText_->setText(QString::number(o.c64ScreenMaxText));
    applyDependencies();
    loading_ = false;
}

void TfFileViewerOptions::fillModeList(int selected) {
    mode_->clear();
    for (const std::string& name : session_.tokens().modeList())
        mode_->addItem(qs(name));
    mode_->setCurrentIndex(selected < mode_->count() ? selected : -1);
}

void TfFileViewerOptions::applyDependencies() {
    FileViewerOptionsSettings shown;
    readControls(shown);
    ViewerOptions rules;
    static_cast<FileViewerOptionsSettings&>(rules) = shown;
    rules.applyDependencies();
    ignore_->setChecked(rules.ignoreStartaddress);
    ignore_->setEnabled(rules.ignoreEnabled());
    mode_->setEnabled(rules.modeListEnabled());
    convertHex_->setEnabled(rules.hexToAsciiEnabled());
}

void TfFileViewerOptions::translateToggled(bool on) {
    if (loading_ || !on)
        return;
    ViewerOptions rules;
    if (!rules.setTranslateSpecialchars(true, session_.tokens(), &session_.dialogs()))
        translate_->setChecked(false);
}

void TfFileViewerOptions::readControls(FileViewerOptionsSettings& o) const {
    o.convertToChars = convertToChars_->isChecked();
    o.convertCharsToAscii = convertToAscii_->isChecked();
    o.convertHexToAscii = convertHex_->isChecked();
    o.replaceReturn = replaceReturn_->isChecked();
    o.mode = mode_->currentIndex() < 0 ? 0 : mode_->currentIndex();
    o.autodetect = autodetect_->isChecked();
    o.ignoreStartaddress = ignore_->isChecked();
    o.syntaxHighlighting = syntax_->isChecked();
    o.translateSpecialchars = translate_->isChecked();
    o.bamFileListOpen = fileListOpen_->isChecked();
    o.bamShowChain = showChain_->isChecked();
}

void TfFileViewerOptions::accept() {
    const std::string typed = ss(maxText_->text());
    const std::optional<int> maxText = ViewerOptions::parseMaxText(typed);
    if (!maxText) {
        // Nothing is stored while the limit is no number: the user corrects it first.
        session_.dialogs().message(ViewerOptions::maxTextRefusal(typed));
        tabs_->setCurrentIndex(3);
        maxText_->setFocus();
        maxText_->selectAll();
        return;
    }
    ViewerOptions& o = session_.viewerOptions();
    readControls(o);
    o.c64ScreenMaxText = *maxText;
    (void)session_.settings().update("FileViewerOptions", [&o](IniFile& ini) { o.save(ini); });
    QDialog::accept();
}

void TfFileViewerOptions::reject() {
    session_.viewerOptions().reloadOptions(session_.settings().readOrEmpty());
    QDialog::reject();
}

void TfFileViewerOptions::editTokenTable() {
    TfTokenTable editor(session_, chooser_, programFolder_, tempFolder_, this);
    editor.setCurrentMode(mode_->currentIndex());
    if (editor.exec() == QDialog::Accepted) {
        loading_ = true;
        fillModeList(editor.selectedMode());
        loading_ = false;
    }
}

void TfFileViewerOptions::editStartAddresses() {
    TfStartAddress dialog(session_, this);
    dialog.exec();
}

}  // namespace qv::app
