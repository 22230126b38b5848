#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <set>

#include "settings/ExtendedOpen.h"

namespace qv::app {

// The check tree of the extended open as a Qt model over the engine's EodFileTree:
// folder rows at the top, file rows below them, the check state as CheckStateRole.
// Clicks do not toggle by themselves; the view calls toggle(), shiftToggle() and
// setChecked(), which follow the tree's folder rules.
class EodTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit EodTreeModel(QObject* parent = nullptr);

    const EodFileTree& tree() const { return tree_; }
    EodFileTree::Node node(const QModelIndex& index) const;
    QModelIndex index(EodFileTree::Node n) const;

    // The search's events.
    void clear();
    void folderChanged(const std::string& folder);
    void fileMatched(const std::string& folder, const std::string& name);
    void searchFinished();

    void toggle(const QModelIndex& index);
    void shiftToggle(const QModelIndex& index);
    void setChecked(const QModelIndex& index, bool on);
    void checkAll();
    void uncheckAll();
    // Folder rows drawn with the open folder while expanded.
    void setExpanded(const QModelIndex& index, bool on);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  signals:
    void selectedCountChanged(int count);

  private:
    // Every check box may have changed: the view draws them again.
    void checksChanged();

    EodFileTree tree_;
    std::set<int> expanded_;
    int lastCount_ = 0;
    QIcon folderClosed_, folderOpen_, file_;
};

}  // namespace qv::app
