#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/ListingRun.h"
#include "platform/FindDialog.h"
#include "platform/FolderCollector.h"
#include "session/Session.h"
#include "settings/Fonts.h"
#include "settings/ListerOptions.h"
#include "settings/WindowSettings.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolBar;

namespace qv::app {

class FileChooser;
class QtDialogHost;
class QtFileChooser;
class RichTextView;
class TfAbout;
class TfBAMViewer;
class TfC64Screen;
class TfCollection;
class TfFileViewer;
class GeosViewers;
class TfGeosDetails;
class TfListerOptions;
class TfExtendedOpen;
class TfSelectFolder;

// What the program start hands the main window.
struct MainFormSetup {
    // The settings file; empty: found the usual way (beside the program, else the
    // per-user configuration folder).
    std::string settingsFile;
    // The images and folders named on the command line, listed once the window is
    // shown (folders searched with their subfolders).
    std::vector<std::string> images;
    // The dialog seam and the file dialogs; null: the real windows.
    DialogHost* dialogHost = nullptr;
    FileChooser* fileChooser = nullptr;
    // How often, in milliseconds, a run hands pending input to the window and shows
    // where it is (the current image's path, the progress bar). Often enough to answer
    // "Abort" at once, seldom enough that drawing does not slow a run of thousands of
    // images. 0: after every image, so that tests can press "Abort" at a chosen one.
    int runEventInterval = 20;
};

// The main window: toolbar and menus, the path field, "Generate ASCII File", the
// character-set choice, "Abort", the listing view and the status bar. It wires the
// widgets to the engine's listing run, which holds every rule.
class TfMainForm : public QMainWindow, private RunHost, private ListingView {
    Q_OBJECT
  public:
    explicit TfMainForm(const MainFormSetup& setup, QWidget* parent = nullptr);
    ~TfMainForm() override;

    // The end of the start-up, once the window is on the screen: the about box shown
    // and closed once (when the platform asks for it), the fonts, the focus, then the
    // images of the command line.
    void finishStartUp();
    // Lists the command-line images in one run.
    void listCommandLineImages();

    // The commands, as the toolbar and the menus run them.
    void load();
    // "Load Extended...": the folder tree searched in "Open files...", the ticked
    // files listed in one run.
    void openExtended();
    void importListing();
    void saveAs();
    void list();
    void clearListing();
    void showOptions();
    void showInfo();
    void findText();
    // The next match of the find dialog's text; without a text, the find dialog.
    void findNext();
    // Dropped files and folders (folders are searched with their subfolders).
    void dropPaths(const QStringList& paths);
    // The "Abort" button.
    void pressAbort();
    // The copy of the listing text into the view with the blue header lines, as a
    // run ends with it.
    void copyListingToWindow();

    bool commandsEnabled() const { return commandsEnabled_; }
    RichTextView* listingView() const { return view_; }
    Listing& listing() { return *listing_; }
    // The program's shared state: options, fonts, settings, token table, catalogue.
    Session& session() { return *session_; }
    Dialogs& dialogs() { return session_->dialogs(); }
    const ListerOptions& options() const { return session_->listerOptions(); }
    FindDialog* findDialog() const { return find_; }
    TfListerOptions* optionsDialog() const { return optionsDialog_; }
    TfAbout* aboutBox() const { return about_; }
    TfSelectFolder* selectFolderDialog() const { return selectFolder_; }
    TfExtendedOpen* extendedOpenDialog() const { return extendedOpen_; }
    const std::string& settingsFile() const { return session_->settings().path(); }
    QString statusText(StatusPanel panel) const;
    QString pathText() const;
    bool imported() const { return imported_; }
    QFont listingFont() const;
    // The width that shows a whole listing line of the listing font, scroll bar
    // and frame included.
    int fittedWidth() const;
    // The fonts as stored; the options dialog edits them.
    FontSettings& fonts() { return session_->fonts(); }
    // Applies the fonts whose bits are set (the options dialog reports them).
    void applyChangedFonts(int changedBits);
    // The main C64 screen and its toggle ("Show Original C64 Screen").
    TfC64Screen* c64Screen() const { return screenWindow_; }
    QAction* screenAction() const { return screenAction_; }
    void toggleScreen(bool on);
    // The block map window and the file viewer ("BAM..."); both exist from the start,
    // the first opening prepares them.
    TfBAMViewer* bamViewer() const { return bamViewer_; }
    TfFileViewer* fileViewer() const { return fileViewer_; }
    QAction* bamAction() const { return bamAction_; }
    void toggleBam(bool on);
    // The GEOS catalogue window and its toggle ("Show GEOS File Details").
    TfGeosDetails* geosDetails() const { return geosDetails_; }
    QAction* geosAction() const { return geosAction_; }
    GeosViewers* geosViewers() const { return geosViewers_; }
    void toggleGeosDetails(bool on);
    // The listing's context menu (Copy, Select All, Find Text...), made anew for
    // each use; the caller owns it.
    QMenu* listingMenu();
    // Tools, "Collection...": the collection index window, made on first use.
    void showCollection();
    TfCollection* collectionWindow() const { return collection_; }
    // Lists one image as "Load..." does with that file chosen (the collection window
    // opens its rows so).
    void listImage(const QString& path);

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // RunHost
    void runStarted(int fileCount) override;
    void setProgress(int position) override;
    void setStatus(StatusPanel panel, const std::string& text) override;
    void showCurrentImage(const std::string& path) override;
    void processEvents() override;
    void runFinished() override;
    void showRunPosition();
    // ListingView
    void setUpdates(bool on) override;
    void clearText() override;
    bool setText(const std::string& bytes) override;
    std::size_t textLength() const override;
    void colourHeader(std::size_t start, std::size_t end) override;
    void applyListingFont() override;
    void setAbortEnabled(bool on) override;

    void buildWidgets();
    void buildCommands();
    void loadSettings();
    void setCommandsEnabled(bool on);
    // Lists the file list, copies it into the view and writes the generated file.
    void runListing(RunKind runKind);
    // "Load..." once the files are chosen.
    void loadFiles(const QStringList& files);
    // Lists FILES as a new listing (Load, Load Extended): the old one cleared, one run,
    // and the folder of the last image kept for the next "Load...".
    void listAsNewListing(std::vector<std::string> files, std::string saveDir, RunKind runKind);
    // Lists FILES in one run with progress and "Abort", as a drop does.
    void listAsOneRun(std::vector<std::string> files, std::string saveDir);
    // The files of ITEMS, their folders searched on the worker thread with progress
    // and "Abort"; with SORT_ALL sorted as a drop lists them.
    FolderCollector::Result searchFolders(const std::vector<std::string>& items, bool sortAll);
    void finishLoadStatus();
    // Scrolls the listing so that the text a run appended from byte offset FROM of the
    // listing shows from its first line; a listing from its start stays at the top.
    void showAppended(std::size_t from);
    void showCounts();
    void onFindNext();
    std::size_t maxText() const;
    void createScreenWindow();
    void createBamWindows();
    // The first "BAM...": fonts and settings of the block map and the file viewer.
    bool prepareBamWindows();
    // A C64 screen closed: its button and menu check are released.
    void screenClosed(int tag);
    void createGeosDetails();

    std::unique_ptr<QtDialogHost> qtDialogHost_;
    std::unique_ptr<QtFileChooser> qtFileChooser_;
    DialogHost* dialogHost_;
    FileChooser* fileChooser_;
    std::unique_ptr<Session> session_;
    MainFormSettings mainSettings_;
    NamesSettings names_;
    // Where "Load..." and "Import..." start.
    std::string loadStart_;
    std::string importStart_;
    RichEditSettings richEdit_;
    WorkAroundSettings workArounds_;
    UnsupportedSizeLog sizeLog_;
    std::unique_ptr<Listing> listing_;
    std::vector<std::string> commandLine_;
    bool imported_ = false;
    bool commandsEnabled_ = true;
    bool busyCursor_ = false;
    QElapsedTimer eventsHandled_;  // since pending input was last handled during a run
    int runEventInterval_ = 20;
    bool runShowing_ = false;  // a run is on: path and bar wait for the next events
    int shownProgress_ = 0;
    std::string shownPath_;
    bool pathPending_ = false;

    RichTextView* view_ = nullptr;
    QLineEdit* path_ = nullptr;
    QCheckBox* generate_ = nullptr;
    QRadioButton* upperGraphics_ = nullptr;
    QRadioButton* upperLower_ = nullptr;
    QPushButton* abort_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* panel2_ = nullptr;
    QLabel* panel3_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::vector<QWidget*> commandWidgets_;
    std::vector<QAction*> commandActions_;
    QPointer<FindDialog> find_;
    TfListerOptions* optionsDialog_ = nullptr;
    TfAbout* about_ = nullptr;
    TfSelectFolder* selectFolder_ = nullptr;
    TfC64Screen* screenWindow_ = nullptr;
    FolderCollector* collector_ = nullptr;
    TfExtendedOpen* extendedOpen_ = nullptr;
    TfCollection* collection_ = nullptr;
    QAction* screenAction_ = nullptr;
    TfBAMViewer* bamViewer_ = nullptr;
    TfFileViewer* fileViewer_ = nullptr;
    QAction* bamAction_ = nullptr;
    bool bamPrepared_ = false;
    TfGeosDetails* geosDetails_ = nullptr;
    GeosViewers* geosViewers_ = nullptr;
    QAction* geosAction_ = nullptr;
    QAction* findAction_ = nullptr;
};

}  // namespace qv::app
