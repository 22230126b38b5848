#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "settings/ExtendedOpen.h"

class QFileSystemModel;
class QLabel;
class QSplitter;
class QTreeView;

namespace qv::app {

class FileSearch;
class TfEODFileList;
class TfEODSearch;

// "Open files...": the folder browser ("Browse for folder:") with the search panel
// above it and the file tree at its right. Selecting a folder searches it and its
// subfolders for the mask on the search's worker thread; the files ticked in the tree
// are `resultList` once the dialog is confirmed. One instance lives as long as the
// main window: the mask history, the initial location, the folder searched last and
// "Default Check All" last the program run.
class TfExtendedOpen : public QDialog {
    Q_OBJECT
  public:
    explicit TfExtendedOpen(QWidget* parent = nullptr);
    ~TfExtendedOpen() override;

    // Opens the dialog modally; true when the user confirmed it. The first time the
    // tree gets TREE_WIDTH ([FileList] Width), or 376 pixels when the dialog would
    // not fit on the screen.
    bool run(int treeWidth);
    // Prepares an opening without running it (run() does this first; tests drive the
    // dialog shown with open()).
    void prepareOpening(int treeWidth);

    // The full paths of the ticked files, in tree order, as the last closing left them.
    const std::vector<std::string>& resultList() const { return resultList_; }
    // The folder selected in the browser (the browser's root when none is), as the
    // file system's bytes; empty when the root is no folder.
    std::string selectedFolder() const;
    // The tree's width; whether the dialog has been opened at all.
    int treeWidth() const;
    bool opened() const { return opened_; }

    std::string lastSearchFolder() const { return lastSearchFolder_; }
    LocationKind rootKind() const { return rootKind_; }

    // The commands, as the buttons and the browser run them.
    void selectFolder(const QString& path);
    void searchAgain();
    void pick();

    TfEODSearch* searchPanel() const { return searchPanel_; }
    TfEODFileList* fileList() const { return fileList_; }
    QTreeView* browser() const { return browser_; }
    FileSearch* search() const { return search_; }

  protected:
    void done(int result) override;
    // Enter in the mask searches instead of closing the dialog.
    void keyPressEvent(QKeyEvent* e) override;

  private:
    void chooseRoot();
    void selectionChanged();
    void startSearch(const std::string& folder);
    void searchFinished();
    void keepTreeWithinScreen();
    int screenWidth() const;

    TfEODSearch* searchPanel_;
    TfEODFileList* fileList_;
    QFileSystemModel* fsModel_;
    QTreeView* browser_;
    QSplitter* splitter_;
    FileSearch* search_;
    std::vector<std::string> resultList_;
    std::string lastSearchFolder_;
    LocationKind rootKind_ = LocationKind::None;
    QString rootPath_;
    bool opened_ = false;
    bool firstSelection_ = false;
};

}  // namespace qv::app
