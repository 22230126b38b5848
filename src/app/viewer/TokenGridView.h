#pragma once

#include <QTableView>

#include "viewer/TokenGridEdit.h"

class QAbstractButton;

namespace qv::app {

// The editor's grid: cells of 85 by 16 pixels at 96 dots per inch (at least as high as
// the font needs), the fixed row and column as headers with the corner showing the
// title of row 0, a black line under the header rows and after every tokenset, a
// rectangular selection and the clipboard keys.
class TokenGridView : public QTableView {
    Q_OBJECT
  public:
    explicit TokenGridView(QWidget* parent = nullptr);

    // The selected block in table cells (the current cell alone when nothing is
    // selected); empty when there is no current cell.
    CellRange selectedCells() const;
    // Sizes the rows and columns for the screen's resolution.
    void applyCellSize();
    // The title of the fixed cell (0, 0); also fits the title column to the titles.
    void setCornerText(const QString& text);

  signals:
    void copyRequested();
    void cutRequested();
    void pasteRequested();
    void deleteRequested();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QAbstractButton* corner_ = nullptr;
    QString cornerText_;
};

}  // namespace qv::app
