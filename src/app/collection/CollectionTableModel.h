#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QStringList>
#include <vector>

#include "collection/CollectionIndex.h"

namespace qv::app {

// The rows the collection window shows: search hits, identical images or the copies
// of files on several images, one row per image or file, each with the image path it
// opens. Groups are numbered from 1 in the report's order (largest first).
class CollectionTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum class Kind { Hits, Images, Files };

    explicit CollectionTableModel(Kind kind, QObject* parent = nullptr);

    void setHits(const std::vector<SearchHit>& hits);
    void setImages(const std::vector<ImageGroup>& groups);
    void setFiles(const std::vector<FileGroup>& groups);
    void clear();
    // The font of the entry-line column (the listing lines line up in a fixed font).
    void setLineFont(const QFont& font) { lineFont_ = font; }

    // The image path of a row.
    QString path(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Row {
        QStringList cells;
        QString path;
    };
    Kind kind_;
    QStringList headers_;
    int lineColumn_ = -1;
    int firstNumberColumn_ = -1, lastNumberColumn_ = -1;  // right-aligned
    std::vector<Row> rows_;
    QFont lineFont_;
};

}  // namespace qv::app
