#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QTimer>
#include <vector>

#include "geos/GeosCatalogue.h"

namespace qv::app {

// The catalogue's rows as one table model for the list's views: the nine column texts,
// the icon of column 0 (24 x 21, and doubled for the large-icon view), the captions,
// and the sort column's cells on a light grey.
//
// Rows that a listing run appends are announced to the views in batches: at the
// latest 100 ms after they arrive and at once when flush() is called (the window does
// so after each run), so that thousands of rows do not lay out the views thousands
// of times.
class GeosDetailsModel : public QAbstractTableModel, private CatalogueObserver {
    Q_OBJECT
  public:
    static constexpr int kBatchMilliseconds = 100;

    explicit GeosDetailsModel(GeosCatalogue& catalogue, QObject* parent = nullptr);
    ~GeosDetailsModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Tells the views of every row the catalogue holds.
    void flush();
    // Rows the catalogue holds that the views have not been told of yet.
    int pendingRows() const;

    GeosCatalogue& catalogue() { return catalogue_; }
    // The icon of the icon list at `index` in both sizes; a null icon for -1.
    QIcon icon(int index) const;

  private:
    // CatalogueObserver
    void rowsAppended(int first, int count) override;
    void rowsAboutToBeRemoved(int first, int count) override;
    void rowsRemoved(int first, int count) override;
    void aboutToReset() override;
    void reset() override;
    void rowsAboutToBeReordered() override;
    void rowsReordered(const std::vector<int>& newToOld) override;
    void cellChanged(int row, int column) override;

    GeosCatalogue& catalogue_;
    int shown_ = 0;  // rows the views know of
    QTimer batch_;
    mutable std::vector<QIcon> icons_;  // made on first use, by icon index
};

}  // namespace qv::app
