#include "platform/EodTreeModel.h"

#include <QApplication>
#include <QFile>
#include <QStyle>

namespace qv::app {

EodTreeModel::EodTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    QStyle* st = QApplication::style();
    folderClosed_ = st->standardIcon(QStyle::SP_DirClosedIcon);
    folderOpen_ = st->standardIcon(QStyle::SP_DirOpenIcon);
    file_ = st->standardIcon(QStyle::SP_FileIcon);
}

EodFileTree::Node EodTreeModel::node(const QModelIndex& index) const {
    if (!index.isValid())
        return {};
    if (index.internalId() == 0)
        return {index.row(), -1};
    return {static_cast<int>(index.internalId()) - 1, index.row()};
}

QModelIndex EodTreeModel::index(EodFileTree::Node n) const {
    if (n.folder < 0)
        return {};
    if (n.isFolder())
        return createIndex(n.folder, 0, quintptr(0));
    return createIndex(n.file, 0, static_cast<quintptr>(n.folder) + 1);
}

QModelIndex EodTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < static_cast<int>(tree_.folders().size()) ? createIndex(row, 0, quintptr(0))
                                                              : QModelIndex();
    if (parent.internalId() != 0)
        return {};
    const auto& files = tree_.folders()[static_cast<std::size_t>(parent.row())].files;
    if (row >= static_cast<int>(files.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex EodTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid() || child.internalId() == 0)
        return {};
    return createIndex(static_cast<int>(child.internalId()) - 1, 0, quintptr(0));
}

int EodTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(tree_.folders().size());
    if (parent.internalId() != 0 || parent.column() != 0)
        return 0;
    return static_cast<int>(tree_.folders()[static_cast<std::size_t>(parent.row())].files.size());
}

int EodTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant EodTreeModel::data(const QModelIndex& index, int role) const {
    const EodFileTree::Node n = node(index);
    if (n.folder < 0 || n.folder >= static_cast<int>(tree_.folders().size()))
        return {};
    const EodFileTree::Folder& f = tree_.folders()[static_cast<std::size_t>(n.folder)];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            // File names are the file system's bytes; shown as the system decodes them.
            return QFile::decodeName(QByteArray::fromStdString(
                n.isFolder() ? f.path : f.files[static_cast<std::size_t>(n.file)].name));
        case Qt::ToolTipRole:
            return n.isFolder() ? QVariant()
                                : QVariant(QFile::decodeName(QByteArray::fromStdString(
                                      f.path + f.files[static_cast<std::size_t>(n.file)].name)));
        case Qt::CheckStateRole:
            return tree_.checked(n) ? Qt::Checked : Qt::Unchecked;
        case Qt::DecorationRole:
            if (!n.isFolder())
                return file_;
            return expanded_.count(n.folder) ? folderOpen_ : folderClosed_;
        default:
            return {};
    }
}

Qt::ItemFlags EodTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void EodTreeModel::clear() {
    beginResetModel();
    tree_.clear();
    expanded_.clear();
    endResetModel();
    checksChanged();
}

void EodTreeModel::folderChanged(const std::string& folder) {
    tree_.folderChanged(folder);
}

void EodTreeModel::fileMatched(const std::string& folder, const std::string& name) {
    const int folders = static_cast<int>(tree_.folders().size());
    const bool opens = folders == 0 || tree_.folders().back().path != folder;
    // A new folder row is announced before the engine adds it with its first file;
    // the previous folder's files are sorted then.
    if (opens) {
        beginInsertRows({}, folders, folders);
        tree_.fileMatched(folder, name);
        endInsertRows();
        if (folders > 0) {
            const QModelIndex prev = index({folders - 1, -1});
            const int n = rowCount(prev);
            if (n > 0)
                emit dataChanged(index(0, 0, prev), index(n - 1, 0, prev));
        }
        return;
    }
    const QModelIndex parentIndex = index({folders - 1, -1});
    const int row = rowCount(parentIndex);
    beginInsertRows(parentIndex, row, row);
    tree_.fileMatched(folder, name);
    endInsertRows();
}

void EodTreeModel::searchFinished() {
    beginResetModel();
    tree_.searchFinished();
    expanded_.clear();
    endResetModel();
}

void EodTreeModel::checksChanged() {
    const int folders = rowCount();
    if (folders > 0) {
        emit dataChanged(index(0, 0), index(folders - 1, 0), {Qt::CheckStateRole});
        for (int f = 0; f < folders; ++f) {
            const QModelIndex p = index(f, 0);
            const int n = rowCount(p);
            if (n > 0)
                emit dataChanged(index(0, 0, p), index(n - 1, 0, p), {Qt::CheckStateRole});
        }
    }
    if (tree_.selectedCount() != lastCount_) {
        lastCount_ = tree_.selectedCount();
        emit selectedCountChanged(lastCount_);
    }
}

void EodTreeModel::toggle(const QModelIndex& i) {
    if (!i.isValid())
        return;
    tree_.toggle(node(i));
    checksChanged();
}

void EodTreeModel::shiftToggle(const QModelIndex& i) {
    if (!i.isValid())
        return;
    tree_.shiftToggle(node(i));
    checksChanged();
}

void EodTreeModel::setChecked(const QModelIndex& i, bool on) {
    if (!i.isValid() || tree_.checked(node(i)) == on)
        return;
    tree_.setChecked(node(i), on);
    checksChanged();
}

void EodTreeModel::checkAll() {
    tree_.checkAll();
    checksChanged();
}

void EodTreeModel::uncheckAll() {
    tree_.uncheckAll();
    checksChanged();
}

void EodTreeModel::setExpanded(const QModelIndex& i, bool on) {
    const EodFileTree::Node n = node(i);
    if (!n.isFolder() || n.folder < 0)
        return;
    if (on)
        expanded_.insert(n.folder);
    else
        expanded_.erase(n.folder);
    emit dataChanged(i, i, {Qt::DecorationRole});
}

}  // namespace qv::app
