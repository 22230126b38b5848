#pragma once

#include <QDialog>
#include <QString>

#include "collection/CollectionSettings.h"
#include "collection/IndexUpdate.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace qv {
class Session;
}

namespace qv::app {

class CollectionTableModel;
class CollectionUpdater;
class FileChooser;

// "Collection": the collection index in a window. The index file is chosen or
// created here and kept in the settings ([Collection] Database); "Update" brings it
// up to date with the chosen folders on a worker thread, with progress and "Abort";
// the search and duplicates tabs show what the index holds, and a double click (or
// Enter) on a row asks the main window to list that image. The rules are the index's
// own; this window only wires them to widgets.
class TfCollection : public QDialog {
    Q_OBJECT
  public:
    TfCollection(Session& session, FileChooser& chooser, QWidget* parent = nullptr);
    ~TfCollection() override;

    // The commands, as the buttons run them.
    void openIndex();
    void newIndex();
    void addFolder();
    void removeFolder();
    void update();
    void abortUpdate();
    void search();
    void findDuplicates();

    // Uses FILE as the index when it is one (or, with create, makes it); otherwise the
    // reason is shown and the choice stays as it was. Returns whether it was taken.
    bool useIndex(const QString& file, bool create);
    // Adds a folder to update from (kept in the settings).
    void addFolderPath(const QString& folder);

    QString database() const;
    QStringList folders() const;
    bool updating() const;
    QString statusText() const;
    CollectionUpdater& updater() { return *updater_; }
    QLineEdit* patternField() const { return pattern_; }
    QTableView* hitsView() const { return hitsView_; }
    QTableView* imagesView() const { return imagesView_; }
    QTableView* filesView() const { return filesView_; }
    CollectionTableModel* hits() const { return hits_; }
    CollectionTableModel* identicalImages() const { return images_; }
    CollectionTableModel* sharedFiles() const { return files_; }
    QSpinBox* minimumBlocks() const { return minBlocks_; }
    QTabWidget* tabs() const { return tabs_; }

  signals:
    // A row was opened: the main window lists this image.
    void openImageRequested(const QString& path);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildWidgets();
    void saveSettings();
    void showCounts();
    void setUpdating(bool on);
    void updateStarted(int images);
    void updateProgressed(int done, int images);
    void updateFinished(const UpdateCounts& counts, const QString& error,
                        const QStringList& failures);
    void showMessage(const QString& text);
    QString startFolder() const;

    Session& session_;
    FileChooser& chooser_;
    CollectionSettings settings_;
    CollectionUpdater* updater_ = nullptr;

    QLineEdit* database_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* new_ = nullptr;
    QLabel* status_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QListWidget* folders_ = nullptr;
    QPushButton* addFolder_ = nullptr;
    QPushButton* removeFolder_ = nullptr;
    QPushButton* update_ = nullptr;
    QPushButton* abort_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* pattern_ = nullptr;
    QPushButton* find_ = nullptr;
    QLabel* hitCount_ = nullptr;
    QTableView* hitsView_ = nullptr;
    QSpinBox* minBlocks_ = nullptr;
    QPushButton* findDupes_ = nullptr;
    QLabel* imagesLabel_ = nullptr;
    QLabel* filesLabel_ = nullptr;
    QTableView* imagesView_ = nullptr;
    QTableView* filesView_ = nullptr;
    CollectionTableModel* hits_ = nullptr;
    CollectionTableModel* images_ = nullptr;
    CollectionTableModel* files_ = nullptr;
};

}  // namespace qv::app
