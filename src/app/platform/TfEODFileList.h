#pragma once

#include <QWidget>

class QAction;
class QToolBar;

namespace qv::app {

class EodTreeModel;
class EodTreeView;

// The file tree of the extended open: every folder with matching files and its files,
// each with a check box, under a toolbar with "Collapse", "Expand", "ChkAll",
// "UnChkAll" (both with the drop-down item "Default Check All") and "Abort".
class TfEODFileList : public QWidget {
    Q_OBJECT
  public:
    explicit TfEODFileList(QWidget* parent = nullptr);

    EodTreeModel* model() const { return model_; }
    EodTreeView* view() const { return view_; }
    QAction* collapseAction() const { return collapse_; }
    QAction* expandAction() const { return expand_; }
    QAction* checkAllAction() const { return checkAll_; }
    QAction* uncheckAllAction() const { return uncheckAll_; }
    QAction* abortAction() const { return abort_; }
    QAction* defaultCheckAllAction() const { return defaultCheckAll_; }
    bool defaultCheckAll() const;

    void collapseAll();
    void expandAll();
    void checkAll();
    void uncheckAll();
    // "Abort" is enabled only while a search runs.
    void setSearching(bool on);

  signals:
    void abortRequested();

  private:
    EodTreeModel* model_;
    EodTreeView* view_;
    QToolBar* toolBar_;
    QAction* collapse_;
    QAction* expand_;
    QAction* checkAll_;
    QAction* uncheckAll_;
    QAction* abort_;
    QAction* defaultCheckAll_;
};

}  // namespace qv::app
