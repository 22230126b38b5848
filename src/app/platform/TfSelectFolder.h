#pragma once

#include <QDialog>
#include <string>

#include "settings/ListerOptions.h"

class QComboBox;

namespace qv {
class Dialogs;
}

namespace qv::app {

class FileChooser;

// "Select Folder...": a small window with a combo box of the folders chosen since the
// program started, where a folder can be typed or picked with the platform's folder
// browser ("Browse..."). The folder is created with its parents when missing. One
// instance lives as long as the main window, so the list lasts the whole session.
class TfSelectFolder : public QDialog {
    Q_OBJECT
  public:
    TfSelectFolder(FileChooser& chooser, Dialogs& dialogs, QWidget* parent = nullptr);

    // Runs the dialog until the user cancels (result: empty) or gives a complete folder
    // path. Returns the folder with its trailing separator; empty when cancelled or
    // when the folder could not be created (after "Failed to create folder ...").
    std::string selectFolder();
    // Ends the dialog with TEXT as if it had been typed and confirmed: the folder, or
    // empty after the failure message.
    std::string finish(const std::string& text);

    QComboBox* folderBox() const { return combo_; }
    const FolderHistory& history() const { return history_; }

  private:
    void browse();

    FileChooser& chooser_;
    Dialogs& dialogs_;
    FolderHistory history_;
    QComboBox* combo_ = nullptr;
};

}  // namespace qv::app
