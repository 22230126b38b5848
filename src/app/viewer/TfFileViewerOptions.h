#pragma once

#include <QDialog>
#include <string>

#include "settings/WindowSettings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace qv {
class Session;
}  // namespace qv

namespace qv::app {

class FileChooser;

// The "File Viewer Options" dialog: how the file viewer shows files and detokenizes
// BASIC programs, two defaults of the block map's file list and the text limit of the
// viewer's C64 screen. It shows the session's viewer options (which are what is
// stored); OK stores what the controls hold, Cancel reads the stored options again.
// Its two "edit..." buttons open the token table editor and the start-address dialog.
class TfFileViewerOptions : public QDialog {
    Q_OBJECT
  public:
    // programFolder holds the default "TokenTable.CSV"; tempFolder the editor's
    // snapshot. The session's token table must be fully loaded (edit() does that).
    TfFileViewerOptions(Session& session, FileChooser& chooser, std::string programFolder,
                        std::string tempFolder, QWidget* parent = nullptr);

    // The file viewer's "Options": loads the whole token table (once), shows the
    // dialog modally and returns whether OK stored new options. Without a chooser the
    // system's file dialogs are used; an empty programFolder is the program's folder.
    static bool edit(Session& session, QWidget* parent, FileChooser* chooser = nullptr,
                     std::string programFolder = {});

    // Shows the session's options in the controls (done whenever the dialog opens).
    void showOptions();
    // Fills "BASIC Mode:" from the token table and selects the entry.
    void fillModeList(int selected);

    // Stores the controls (OK); refused, with its message, while "Max. Text in
    // Bytes" holds no number.
    void accept() override;
    // Reads the stored options again (Cancel).
    void reject() override;

    // The two "edit..." buttons.
    void editTokenTable();
    void editStartAddresses();

    QTabWidget* tabs() const { return tabs_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* conversionPage();
    QWidget* detokenizerPage();
    QWidget* bamPage();
    QWidget* screenPage();
    void applyDependencies();
    void translateToggled(bool on);
    void readControls(FileViewerOptionsSettings& o) const;

    Session& session_;
    FileChooser& chooser_;
    std::string programFolder_;
    std::string tempFolder_;
    bool loading_ = false;

    QTabWidget* tabs_;
    QCheckBox *convertToChars_, *convertToAscii_, *convertHex_, *replaceReturn_;
    QComboBox* mode_;
    QPushButton *editTable_, *editAddresses_;
    QCheckBox *autodetect_, *ignore_, *syntax_, *translate_;
    QCheckBox *fileListOpen_, *showChain_;
    QLineEdit* maxText_;
    QPushButton *ok_, *cancel_;
};

}  // namespace qv::app
