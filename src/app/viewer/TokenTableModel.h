#pragma once

#include <QAbstractTableModel>

#include "viewer/TokenTableEditor.h"

namespace qv::app {

// The token table as a model for the editor's grid. Row 0 (the tokenset numbers) and
// column 0 (the row titles) are the fixed cells of the table; the view shows them as
// its headers, so model cell (r, c) is table cell (c + 1, r + 1). Edits go through the
// editing run, which marks the table modified; the cell of the last failed check is
// shown red with white text.
class TokenTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TokenTableModel(TokenTableEditor& editor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The table cell of a model index and back.
    static TableCell tableCell(const QModelIndex& index);
    QModelIndex modelIndex(TableCell cell) const;

    // The table changed as a whole (size, load, clear): the view starts anew.
    void reload();
    // Cells of the table changed in place.
    void cellsChanged(const CellRange& range);

  signals:
    // The Name or Color of a code column was edited.
    void legendMayChange();

  private:
    TokenTableEditor& editor_;
};

}  // namespace qv::app
