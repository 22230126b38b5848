#pragma once

#include <QListView>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "geos/CatalogueClicks.h"
#include "geos/CatalogueItemView.h"
#include "geos/DocumentExport.h"
#include "host/Dialogs.h"

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedWidget;

namespace qv {
class IniFile;
class Session;
}  // namespace qv

namespace qv::app {

class FileChooser;
class GeosDetailsModel;
class TfDetailFilter;
class TfSelectFolder;

using CatalogueTable = CatalogueItemView<QTableView>;
using CatalogueList = CatalogueItemView<QListView>;

// The GEOS catalogue window: every GEOS file met while listing, one row each, in a
// report table or as icons, with its pop-up menu (view styles, "Delete Selected
// Items", "Clear", "Save List as...", "Export Selected Items..."), the keys, the
// click machine that opens or edits, and the two status panels. The rows, the sort,
// the list formats and the exports are the engine's; the window shows them.
class TfGeosDetails : public QWidget, private ClickTarget, private ExportProgress {
    Q_OBJECT
  public:
    enum class ViewStyle { Icon, List, Report, SmallIcon };

    TfGeosDetails(Session& session, FileChooser& chooser, TfSelectFolder& folders,
                  QWidget* parent = nullptr);
    ~TfGeosDetails() override;

    // The keys of the catalogue and its viewers, and the window size (applied when
    // it fits the screen). False when the settings file cannot be read.
    bool loadSettings();
    bool settingsLoaded() const;
    // The keys the catalogue writes, with the window's present size.
    void saveSettings(IniFile& ini);
    // Where "Save List as..." starts (the listing's save folder).
    void setSaveFolder(std::function<std::string()> folder) { saveFolder_ = std::move(folder); }

    // A listing run ended: its rows are shown and panel 0 counts them.
    void rowsListed();

    // The commands.
    void setViewStyle(ViewStyle style);
    ViewStyle viewStyle() const { return style_; }
    void sortByColumn(int column);
    void deleteSelected();
    void clearAll();
    void selectAll();
    void copySelected();
    void saveList();
    void exportSelected();
    // The export into a chosen folder (ending with a separator), as after the folder
    // dialog.
    void exportSelectedTo(const std::string& folder);
    // Esc in the list: a running export ends after its current row.
    void requestAbort() { abortRequested_ = true; }
    bool abortRequested() override { return abortRequested_; }
    bool exporting() const { return exporting_; }

    // The selected rows in list order.
    std::vector<int> selectedRows() const;

    GeosDetailsModel* model() const { return model_; }
    CatalogueTable* reportView() const { return table_; }
    CatalogueList* iconView() const { return list_; }
    QAbstractItemView* currentView() const;
    QMenu* popupMenu() const { return menu_; }
    QAction* viewStyleAction(ViewStyle style) const;
    TfDetailFilter* filterDialog() const { return filter_; }
    QLineEdit* cellEditor() const { return editor_; }
    int editedRow() const { return editRow_; }
    int editedColumn() const { return editColumn_; }
    QString statusText(int panel) const;
    QProgressBar* progressBar() const { return progress_; }
    CatalogueClicks& clicks() { return *clicks_; }
    // Lets a test drive the click machine with a timer of its own.
    void useClickTimer(ClickTimer& timer);

  signals:
    // A double click or Enter on a row: open its document. row indexes the engine
    // catalogue's rows.
    void openEntryRequested(int row);
    // The window was closed (the main window releases its button).
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // ClickTarget
    void openRow(int row) override;
    bool editCell(int row, int x, int y) override;
    // ExportProgress
    void rowDone(int row, int done, int total) override;

    void buildViews();
    void buildMenu();
    void setUpView(QAbstractItemView* view);
    void viewPressed(QAbstractItemView* view, QMouseEvent* event);
    bool viewKey(QKeyEvent* event);
    void closeEditor(bool write, bool refocus = true);
    void showListed();
    void showSelected();
    void setCommandsEnabled(bool on);

    Session& session_;
    FileChooser& chooser_;
    TfSelectFolder& folders_;
    // The name-exists question of the exports, with its own session memory.
    Dialogs nameDialogs_;
    std::function<std::string()> saveFolder_;
    GeosDetailsModel* model_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    CatalogueTable* table_ = nullptr;
    CatalogueList* list_ = nullptr;
    QMenu* menu_ = nullptr;
    QActionGroup* styles_ = nullptr;
    std::vector<QAction*> commands_;
    QLabel* panel0_ = nullptr;
    QLabel* panel1_ = nullptr;
    QProgressBar* progress_ = nullptr;
    TfDetailFilter* filter_ = nullptr;
    QLineEdit* editor_ = nullptr;
    int editRow_ = -1;
    int editColumn_ = -1;
    ViewStyle style_ = ViewStyle::Report;
    std::unique_ptr<ClickTimer> ownTimer_;
    std::unique_ptr<CatalogueClicks> clicks_;
    bool abortRequested_ = false;
    bool exporting_ = false;
};

}  // namespace qv::app
