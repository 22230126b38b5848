#include "viewer/TokenTableModel.h"

#include <QColor>

#include "platform/QtText.h"

namespace qv::app {

TokenTableModel::TokenTableModel(TokenTableEditor& editor, QObject* parent)
    : QAbstractTableModel(parent), editor_(editor) {}

int TokenTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(editor_.table().rowCount() - 1, 0);
}

int TokenTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(editor_.table().colCount() - 1, 0);
}

TableCell TokenTableModel::tableCell(const QModelIndex& index) {
    if (!index.isValid())
        return {};
    return {index.column() + 1, index.row() + 1};
}

QModelIndex TokenTableModel::modelIndex(TableCell cell) const {
    if (cell.col < 1 || cell.row < 1)
        return {};
    return index(cell.row - 1, cell.col - 1);
}

QVariant TokenTableModel::data(const QModelIndex& index, int role) const {
    const TableCell cell = tableCell(index);
    const bool marked = cell == editor_.markedCell();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return qs(editor_.table().cell(cell.col, cell.row));
        case Qt::BackgroundRole:
            return marked ? QVariant(QColor(Qt::red)) : QVariant();
        case Qt::ForegroundRole:
            return marked ? QVariant(QColor(Qt::white)) : QVariant();
        default:
            return {};
    }
}

bool TokenTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const TableCell cell = tableCell(index);
    editor_.editCell(cell.col, cell.row, ss(value.toString()));
    emit dataChanged(index, index);
    if (changesLegend(cell.col, cell.row))
        emit legendMayChange();
    return true;
}

QVariant TokenTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const TokenTable& t = editor_.table();
    return orientation == Qt::Horizontal ? qs(t.cell(section + 1, tokenrow::Number))
                                         : qs(t.cell(0, section + 1));
}

Qt::ItemFlags TokenTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void TokenTableModel::reload() {
    beginResetModel();
    endResetModel();
}

void TokenTableModel::cellsChanged(const CellRange& range) {
    if (range.empty())
        return;
    const QModelIndex topLeft = modelIndex({std::max(range.left, 1), std::max(range.top, 1)});
    const QModelIndex bottomRight = modelIndex({range.right, range.bottom});
    if (topLeft.isValid() && bottomRight.isValid())
        emit dataChanged(topLeft, bottomRight);
    emit headerDataChanged(Qt::Horizontal, 0, std::max(columnCount() - 1, 0));
}

}  // namespace qv::app
