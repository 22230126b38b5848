#pragma once

#include <QDialog>
#include <array>

#include "geos/GeosCatalogue.h"

class QCheckBox;

namespace qv::app {

// "GEOS Detail Filter": which columns "Save List as..." writes. Each box stores its
// state in the catalogue's column filter the moment it is clicked, so Cancel keeps
// the changes and only skips the writing.
class TfDetailFilter : public QDialog {
    Q_OBJECT
  public:
    explicit TfDetailFilter(QWidget* parent = nullptr);

    // Shows the boxes of FILTER, runs the dialog modally and edits FILTER in place.
    // True for OK.
    bool choose(ColumnFilter& filter);

    QCheckBox* box(int column) const { return boxes_[static_cast<std::size_t>(column)]; }

  private:
    std::array<QCheckBox*, kCatalogueColumnCount> boxes_{};
    ColumnFilter* filter_ = nullptr;
};

}  // namespace qv::app
