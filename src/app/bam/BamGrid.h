#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "bam/BamView.h"

namespace qv::app {

// The block grid of the block map window, painted in one piece: the track numbers
// across the top, the sector numbers down the left, a cell per block with its BAM
// character, error code, owner frame and chain texts (the engine's cellLook).
class BamGrid : public QWidget {
    Q_OBJECT
  public:
    explicit BamGrid(const BlockMap& map, QWidget* parent = nullptr);

    int columns() const { return bamGridColumns(map_); }
    int rows() const { return kBamGridRows; }
    const GridGeometry& cellGeometry() const { return geometry_; }
    // Cell sizes; the fonts follow with their Scale options.
    void setCellSize(int columnWidth, int rowHeight);
    void setFonts(const QFont& grid, bool scaleGrid, const QFont& chains, bool scaleChains);
    void setShowChain(bool on);
    bool showChain() const { return showChain_; }
    void setSelectedColour(const QColor& colour);

    GridCell selected() const { return selected_; }
    // Selects a cell that is a block, or nothing.
    void setSelected(GridCell cell);
    void clearSelection() { setSelected({}); }
    QSize sizeHint() const override;
    // Draws the whole grid (the window's paint, and the tests' pictures).
    void paintGrid(QPainter& painter) const;
    QFont gridFont() const;
    QFont chainFont() const;

  signals:
    void cellSelected(int column, int row);
    void cellRightClicked(int column, int row, QPoint globalPos);
    void cellDoubleClicked(int column, int row);
    void keyReleased(int key);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Arrow keys, Home and End move the selection; the menu key (or Shift+F10) acts as
    // the right button on the selected block, Enter as a double click.
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    GridCell cellAt(QPoint p) const;
    void paintCell(QPainter& painter, int column, int row) const;

    const BlockMap& map_;
    GridGeometry geometry_;
    QFont grid_, chains_;
    bool scaleGrid_ = true, scaleChains_ = true;
    bool showChain_ = false;
    QColor selectedColour_{0xF0, 0xF0, 0xF0};
    GridCell selected_;
};

}  // namespace qv::app
