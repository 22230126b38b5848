#pragma once

#include <QMainWindow>
#include <functional>
#include <string>

#include "bam/BamView.h"
#include "bam/Extraction.h"
#include "viewer/TfFileViewer.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace qv {
class IniFile;
class Session;
}  // namespace qv

namespace qv::app {

class BamFileList;
class BamGrid;
class FileChooser;

// The block map window: the grid of the current image's blocks with the legend strip,
// the "BAMFileList" tool window, the block and file views through the file viewer,
// the export of files as programs and "Remove Error Info from image". The block map
// (Session) holds the model and its rules; the window shows it and runs the commands.
class TfBAMViewer : public QMainWindow, public BlockMapFiles {
    Q_OBJECT
  public:
    TfBAMViewer(Session& session, TfFileViewer& fileViewer, FileChooser& chooser,
                QWidget* parent = nullptr);
    ~TfBAMViewer() override;

    // The main window's current image and its character set.
    void setCurrentImageSource(std::function<std::string()> source) {
        currentImage_ = std::move(source);
    }
    void setUpperLowerSource(std::function<bool()> source) { upperLower_ = std::move(source); }

    // The first opening: [BAM Defaults] sizes, caption and colour, and the fonts.
    void prepare(const IniFile& ini);
    // At exit: FileListWidth, DefaultRowHeight, DefaultColWidth.
    void saveSettings(IniFile& ini) const;
    // The file list, grid and chain fonts of the options.
    void applyFonts();

    // Brings the map up to the main window's image; a forced refresh reloads.
    void refresh(bool force = false);
    // The same, after the current input has been handled.
    void requestRefresh(bool force = false);
    // The main window was activated while this window is open: the next activation of
    // this window brings it up to what the user did there. Coming back from the file
    // viewer alone keeps the map as it is (and the selected block with it).
    void mainWindowActivated();

    void setOwnerDisplay(bool on);
    bool ownerDisplay() const;
    void selectBlock(TrackSector ts);
    void viewBlock(TrackSector ts);
    bool viewFile(int row, ExtractMode mode);
    void detokenizeRow(int row);
    void exportSelected();
    void removeErrorInfo();
    // The grid's keys: D, A, N, P, F5, F12.
    bool windowKey(int key);
    void gridKey(int key);
    void listKey(int key);
    bool popupAutomatic() const { return popupAutomatic_; }

    BamGrid* grid() const { return grid_; }
    BamFileList* fileList() const { return fileList_; }
    QPushButton* ownerButton() const { return ownerButton_; }
    QAction* removeErrorAction() const { return removeError_; }
    QAction* viewBlockAction() const { return viewBlock_; }
    QMenu* popupMenu() const { return menu_; }

    // BlockMapFiles: the file viewer's commands on a file from here.
    bool showFile(int row) override;
    std::optional<std::vector<std::uint8_t>> fileBytes(int row) override;
    bool saveProgram(int row, bool withStartAddress, const std::string& target) override;
    std::string displayName(int row) const override;

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void buildLegend(QWidget* strip);
    void showMap();
    void fitWindow();
    void fileListFloated(bool floating);
    void gridCellSelected(int column, int row);
    void gridRightClicked(int column, int row, QPoint globalPos);
    void gridDoubleClicked(int column, int row);
    void listRowChosen(int row);
    void setCaptionForSelection();
    BlockMap& map();
    const BlockMap& map() const;

    Session& session_;
    TfFileViewer& viewer_;
    FileChooser& chooser_;
    std::function<std::string()> currentImage_;
    std::function<bool()> upperLower_;
    BamGrid* grid_ = nullptr;
    QWidget* strip_ = nullptr;
    BamFileList* fileList_ = nullptr;
    QPushButton* ownerButton_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* removeError_ = nullptr;
    QAction* viewBlock_ = nullptr;
    bool initialized_ = false;
    bool popupAutomatic_ = false;
    bool refreshPosted_ = false;
    bool mainHadFocus_ = false;
    bool forcePosted_ = false;
    bool fitting_ = false;
    int shownColumns_ = 0;
    int fileListWidth_ = 213;
    std::string exportName_;
};

}  // namespace qv::app
