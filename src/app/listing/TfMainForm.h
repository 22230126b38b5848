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
class TfC64Screen;
class TfGeosDetails;
class TfListerOptions;
class TfSelectFolder;

// What the program start hands the main window.
struct MainFormSetup {
    // The settings file; empty: found the usual way (beside the program, else the
    // per-user configuration folder).
    std::string settingsFile;
    // The images named on the command line, listed once the window is shown.
    std::vector<std::string> images;
    // The dialog seam and the file dialogs; null: the real windows.
    DialogHost* dialogHost = nullptr;
    FileChooser* fileChooser = nullptr;
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
    // The GEOS catalogue window and its toggle ("Show GEOS File Details").
    TfGeosDetails* geosDetails() const { return geosDetails_; }
    QAction* geosAction() const { return geosAction_; }
    void toggleGeosDetails(bool on);
    // The listing's context menu (Copy, Select All, Find Text...), made anew for
    // each use; the caller owns it.
    QMenu* listingMenu();

  protected:
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
    // Lists FILES in one run with progress and "Abort", as a drop does.
    void listAsOneRun(std::vector<std::string> files, std::string saveDir);
    void finishLoadStatus();
    void showCounts();
    void onFindNext();
    std::size_t maxText() const;
    void createScreenWindow();
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
    QAction* screenAction_ = nullptr;
    TfGeosDetails* geosDetails_ = nullptr;
    QAction* geosAction_ = nullptr;
    QAction* findAction_ = nullptr;
};

}  // namespace qv::app
