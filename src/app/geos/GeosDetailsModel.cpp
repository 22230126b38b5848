#include "geos/GeosDetailsModel.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <cstring>

#include "geos/IconList.h"
#include "platform/QtText.h"

namespace qv::app {
namespace {

const QColor kSortColumnColour(247, 247, 247);

// A two-colour picture of the engine as a toolkit image, each pixel `scale` times.
QImage toQImage(const Image1& picture, int scale) {
    QImage image(picture.width * scale, picture.height * scale, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t c = picture.palette[picture.get(x / scale, y / scale) ? 1 : 0];
            line[x] = 0xFF000000u | c;
        }
    }
    return image;
}

}  // namespace

GeosDetailsModel::GeosDetailsModel(GeosCatalogue& catalogue, QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue), shown_(catalogue.rowCount()) {
    batch_.setSingleShot(true);
    batch_.setInterval(kBatchMilliseconds);
    connect(&batch_, &QTimer::timeout, this, &GeosDetailsModel::flush);
    catalogue_.addObserver(this);
}

GeosDetailsModel::~GeosDetailsModel() {
    catalogue_.removeObserver(this);
}

int GeosDetailsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int GeosDetailsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kCatalogueColumnCount;
}

QIcon GeosDetailsModel::icon(int index) const {
    const IconList& list = catalogue_.icons();
    if (index < 0 || index >= list.size())
        return {};
    if (icons_.size() < static_cast<std::size_t>(list.size()))
        icons_.resize(static_cast<std::size_t>(list.size()));
    QIcon& icon = icons_[static_cast<std::size_t>(index)];
    if (icon.isNull()) {
        const Image1& picture = list.at(index);
        // Both sizes drawn pixel for pixel, so that neither view scales them blurred.
        icon.addPixmap(QPixmap::fromImage(toQImage(picture, 1)));
        icon.addPixmap(QPixmap::fromImage(toQImage(picture, 2)));
    }
    return icon;
}

QVariant GeosDetailsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_ || index.row() >= catalogue_.rowCount())
        return {};
    const GeosDetailEntry& row = catalogue_.rows()[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            if (role == Qt::ToolTipRole && index.column() != kColDescription)
                return {};
            return qs(row.text(index.column()));
        case Qt::DecorationRole:
            if (index.column() == kColFileName)
                return icon(row.iconIndex);
            return {};
        case Qt::BackgroundRole:
            return index.column() == catalogue_.sortColumn() ? kSortColumnColour
                                                             : QColor(Qt::white);
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        default:
            return {};
    }
}

QVariant GeosDetailsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kCatalogueColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(catalogueColumns()[static_cast<std::size_t>(section)].caption);
    // Captions start at the left, so that a narrow column shows the start of its caption.
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

void GeosDetailsModel::flush() {
    batch_.stop();
    const int total = catalogue_.rowCount();
    if (total <= shown_)
        return;
    beginInsertRows({}, shown_, total - 1);
    shown_ = total;
    endInsertRows();
}

int GeosDetailsModel::pendingRows() const {
    return catalogue_.rowCount() - shown_;
}

void GeosDetailsModel::rowsAppended(int, int) {
    if (!batch_.isActive())
        batch_.start();
}

void GeosDetailsModel::rowsAboutToBeRemoved(int first, int count) {
    // The views learn of waiting rows first, so that the positions agree.
    flush();
    beginRemoveRows({}, first, first + count - 1);
}

void GeosDetailsModel::rowsRemoved(int, int count) {
    shown_ -= count;
    endRemoveRows();
}

void GeosDetailsModel::aboutToReset() {
    batch_.stop();
    beginResetModel();
}

void GeosDetailsModel::reset() {
    shown_ = catalogue_.rowCount();
    endResetModel();
}

void GeosDetailsModel::rowsAboutToBeReordered() {
    flush();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GeosDetailsModel::rowsReordered(const std::vector<int>& newToOld) {
    // The selection and the current row move with their rows.
    std::vector<int> oldToNew(newToOld.size(), -1);
    for (std::size_t i = 0; i < newToOld.size(); ++i) {
        const int old = newToOld[i];
        if (old >= 0 && static_cast<std::size_t>(old) < oldToNew.size())
            oldToNew[static_cast<std::size_t>(old)] = static_cast<int>(i);
    }
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from) {
        const int r = i.row();
        const int moved =
            r >= 0 && static_cast<std::size_t>(r) < oldToNew.size() ? oldToNew[r] : -1;
        to.append(moved >= 0 ? index(moved, i.column()) : QModelIndex());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void GeosDetailsModel::cellChanged(int row, int column) {
    if (row < shown_)
        emit dataChanged(index(row, column), index(row, column));
}

}  // namespace qv::app
