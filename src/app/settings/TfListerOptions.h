#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "screen/CharsetRomSearch.h"
#include "settings/Fonts.h"
#include "settings/ListerOptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace qv {
class Dialogs;
class Session;
}  // namespace qv

namespace qv::app {

class FileChooser;
class TfCustomHeader;
class TfSelectFolder;

// The options dialog: seven tabs over a copy of the session's listing options and
// fonts, taken each time the dialog opens. OK writes the keys and hands the copy to
// the session's options (which recompute and announce it) and reports the fonts that
// changed; Cancel reads the keys again, so the options and the fonts return to what
// is stored. "Default Path" and "Select Path" set the main window's save folder at
// once.
class TfListerOptions : public QDialog {
    Q_OBJECT
  public:
    TfListerOptions(Session& session, TfSelectFolder& selectFolder, FileChooser& chooser,
                    QWidget* parent = nullptr);

    // The example of the custom header dialog comes from these.
    void setCurrentImage(const std::string& currentImage, const std::string& lastLoad);
    // The fonts changed since the dialog was opened (bits of fontBit()).
    int changedFonts() const { return changedFonts_; }
    // Takes a fresh copy of the options and fonts and shows it in the controls (the
    // dialog does this whenever it opens).
    void showRecord();
    // The options and fonts as the dialog has them, before OK.
    const ListerOptions& draft() const { return draft_; }
    FontSettings& draftFonts() { return fonts_; }
    // Reads the controls into the record, writes the keys and recomputes (OK).
    void accept() override;
    // Reads the keys again (Cancel).
    void reject() override;

    QTabWidget* tabs() const { return tabs_; }

    // Where the C64Screen page looks for a character ROM installed by an emulator; the
    // usual folders of this computer unless a test lays out folders of its own.
    void setCharsetRomFolders(std::vector<std::filesystem::path> folders);

  signals:
    // The main window's save folder: the chosen folder, or empty for "Default Path".
    void saveFolderChanged(const QString& folder);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* fileOptionsPage();
    QWidget* conversionPage();
    QWidget* asciiPage();
    QWidget* c64ScreenPage();
    void showInstalledRoms();
    QWidget* geosPage();
    QWidget* fortyTracksPage();
    QWidget* fontsPage();
    void updateEnabling();
    void askName(bool multifile);
    void selectPath();
    void editFont(FontSlot slot);
    void showFont(FontSlot slot);
    void editCustomHeader();
    void readControls(ListerOptions& o) const;
    void showMessages(const std::vector<std::string>& messages);

    Session& session_;
    Dialogs& dialogs_;
    TfSelectFolder& selectFolder_;
    FileChooser& chooser_;
    ListerOptions draft_;
    FontSettings fonts_;
    std::string currentImage_, lastLoad_;
    int changedFonts_ = 0;
    bool loading_ = false;
    TfCustomHeader* customHeaderDialog_ = nullptr;

    QTabWidget* tabs_;
    // File Options
    QRadioButton *nameDefault_, *nameInsert_, *multiDefault_, *multiInsert_, *pathDefault_,
        *pathSelect_;
    QLineEdit *nameField_, *multiField_, *pathField_;
    QPushButton *ok_, *cancel_;
    // Conversion
    QCheckBox *convertEverything_, *interpretSpecial_, *basicTokens_, *autoGeos_, *geosDisknames_,
        *deletedFiles_, *more144_, *abortZero_;
    // ASCII File
    QCheckBox *savedTo_, *generateHeader_, *customHeader_;
    QRadioButton *addPathAlways_, *addPathDirchange_;
    QPushButton* customEdit_;
    std::array<QLineEdit*, 4> imageFields_{};
    // C64Screen
    QSpinBox* imagesInScreen_;
    QLineEdit* charsetRom_;
    QComboBox* installedRoms_;
    QPushButton* useInstalledRom_;
    QLabel* installedRomNotes_;
    std::vector<std::filesystem::path> charsetRomFolders_ = charsetRomFolders();
    // GEOS File Details
    QCheckBox *generateGeos_, *umlaute_, *eszett_, *paragraph_;
    // 40 Tracks Support
    QCheckBox *enable40_, *autoDetect_, *changeDosType_;
    QRadioButton *speedDos_, *dolphinDos_, *prologicDos_;
    // Fonts
    std::array<QLineEdit*, kFontCount> fontNames_{};
    std::array<QLineEdit*, kFontCount> fontSizes_{};
    QCheckBox *bamViewerScale_, *bamChainsScale_;
};

}  // namespace qv::app
