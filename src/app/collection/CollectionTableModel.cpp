#include "collection/CollectionTableModel.h"

#include "platform/QtText.h"

namespace qv::app {

CollectionTableModel::CollectionTableModel(Kind kind, QObject* parent)
    : QAbstractTableModel(parent), kind_(kind) {
    switch (kind) {
        case Kind::Hits:
            headers_ = {QStringLiteral("Image"), QStringLiteral("Entry"),
                        QStringLiteral("Found in")};
            lineColumn_ = 1;
            break;
        case Kind::Images:
            headers_ = {QStringLiteral("Group"), QStringLiteral("Files"), QStringLiteral("Hash"),
                        QStringLiteral("Image")};
            firstNumberColumn_ = 0;
            lastNumberColumn_ = 1;
            break;
        case Kind::Files:
            headers_ = {QStringLiteral("Group"),  QStringLiteral("Bytes"), QStringLiteral("Blocks"),
                        QStringLiteral("Images"), QStringLiteral("Image"), QStringLiteral("Entry")};
            lineColumn_ = 5;
            firstNumberColumn_ = 0;
            lastNumberColumn_ = 3;
            break;
    }
}

void CollectionTableModel::setHits(const std::vector<SearchHit>& hits) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(hits.size());
    for (const SearchHit& h : hits)
        rows_.push_back({{qs(h.path), qs(h.line), qs(h.field)}, qs(h.path)});
    endResetModel();
}

void CollectionTableModel::setImages(const std::vector<ImageGroup>& groups) {
    beginResetModel();
    rows_.clear();
    int n = 0;
    for (const ImageGroup& g : groups) {
        ++n;
        for (const std::string& p : g.paths) {
            rows_.push_back(
                {{QString::number(n), QString::number(g.entries), qs(g.hash), qs(p)}, qs(p)});
        }
    }
    endResetModel();
}

void CollectionTableModel::setFiles(const std::vector<FileGroup>& groups) {
    beginResetModel();
    rows_.clear();
    int n = 0;
    for (const FileGroup& g : groups) {
        ++n;
        for (const FileCopy& c : g.copies) {
            rows_.push_back(
                {{QString::number(n), QString::number(g.length), QString::number(g.blocks),
                  QString::number(g.images), qs(c.path), qs(c.line)},
                 qs(c.path)});
        }
    }
    endResetModel();
}

void CollectionTableModel::clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

QString CollectionTableModel::path(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[row].path : QString();
}

int CollectionTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int CollectionTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant CollectionTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    const Row& r = rows_[index.row()];
    switch (role) {
        case Qt::DisplayRole:
            return r.cells.value(index.column());
        case Qt::ToolTipRole:
            return index.column() == lineColumn_ ? QVariant()
                                                 : QVariant(r.cells.value(index.column()));
        case Qt::FontRole:
            return index.column() == lineColumn_ ? QVariant(lineFont_) : QVariant();
        case Qt::TextAlignmentRole:
            if (index.column() >= firstNumberColumn_ && index.column() <= lastNumberColumn_)
                return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        default:
            return {};
    }
}

QVariant CollectionTableModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return headers_.value(section);
    return section + 1;
}

}  // namespace qv::app
