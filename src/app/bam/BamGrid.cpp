#include "bam/BamGrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace qv::app {
namespace {

QColor colourOf(CellColour c) {
    const int v = cellColourValue(c);
    return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

}  // namespace

BamGrid::BamGrid(const BlockMap& map, QWidget* parent) : QWidget(parent), map_(map) {
    setObjectName(QStringLiteral("bamGrid"));
    setAccessibleName(QStringLiteral("BAM"));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BamGrid::setCellSize(int columnWidth, int rowHeight) {
    geometry_.columnWidth = std::max(4, columnWidth);
    geometry_.rowHeight = std::max(4, rowHeight);
    updateGeometry();
    update();
}

void BamGrid::setFonts(const QFont& grid, bool scaleGrid, const QFont& chains, bool scaleChains) {
    grid_ = grid;
    chains_ = chains;
    scaleGrid_ = scaleGrid;
    scaleChains_ = scaleChains;
    update();
}

void BamGrid::setShowChain(bool on) {
    showChain_ = on;
    update();
}

void BamGrid::setSelectedColour(const QColor& colour) {
    selectedColour_ = colour;
    update();
}

void BamGrid::setSelected(GridCell cell) {
    selected_ = cell.valid() && isBlockCell(map_, cell.column, cell.row) ? cell : GridCell{};
    update();
}

QFont BamGrid::gridFont() const {
    QFont f = grid_;
    if (scaleGrid_)
        f.setPixelSize(std::max(1, gridFontSize(geometry_.rowHeight, showChain_)));
    return f;
}

QFont BamGrid::chainFont() const {
    QFont f = chains_;
    if (scaleChains_)
        f.setPixelSize(std::max(1, overlayFontSize(geometry_.rowHeight, showChain_)));
    return f;
}

QSize BamGrid::sizeHint() const {
    return {gridWidth(geometry_, columns()), gridHeight(geometry_, rows())};
}

GridCell BamGrid::cellAt(QPoint p) const {
    return gridCellAt(geometry_, columns(), rows(), p.x(), p.y());
}

void BamGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    paintGrid(p);
}

void BamGrid::paintGrid(QPainter& p) const {
    const QColor lines = palette().color(QPalette::Mid);
    p.fillRect(0, 0, gridWidth(geometry_, columns()), gridHeight(geometry_, rows()), lines);
    for (int row = 0; row < rows(); ++row) {
        for (int column = 0; column < columns(); ++column)
            paintCell(p, column, row);
    }
}

void BamGrid::paintCell(QPainter& p, int column, int row) const {
    const GridRect g = gridCellRect(geometry_, column, row);
    const QRect r(g.x, g.y, g.width, g.height);
    const bool header = row == 0 || column == 0;
    const bool block = isBlockCell(map_, column, row);
    if (header || !block) {
        p.fillRect(r, palette().color(QPalette::Button));
        if (header) {
            p.setFont(gridFont());
            p.setPen(palette().color(QPalette::ButtonText));
            p.drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(gridCellText(map_, column, row)));
        }
        return;
    }
    const bool selected = selected_ == GridCell{column, row};
    p.fillRect(r, selected ? selectedColour_ : QColor(Qt::white));
    p.setFont(gridFont());
    p.setPen(Qt::black);
    p.drawText(r.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop,
               QString::fromStdString(gridCellText(map_, column, row)));

    const CellLook look = cellLook(map_, {column, row - 1}, showChain_);
    p.setFont(chainFont());
    const QFontMetrics m(p.font());
    if (!look.topRight.empty()) {
        const QString t = QString::fromStdString(look.topRight);
        p.setPen(Qt::red);
        p.drawText(r.right() - 1 - m.horizontalAdvance(t), r.top() + 1 + m.ascent(), t);
    }
    if (!look.bottomLeft.empty()) {
        p.setPen(colourOf(look.bottomLeftColour));
        p.drawText(r.left() + 1, r.bottom() - 1 - m.descent(),
                   QString::fromStdString(look.bottomLeft));
    }
    if (!look.bottomRight.empty()) {
        const QString t = QString::fromStdString(look.bottomRight);
        p.setPen(Qt::blue);
        p.drawText(r.right() - 1 - m.horizontalAdvance(t), r.bottom() - 1 - m.descent(), t);
    }
    if (look.frame != CellColour::None) {
        p.setPen(colourOf(look.frame));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
}

void BamGrid::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const GridCell cell = cellAt(event->position().toPoint());
    if (!cell.valid() || !isBlockCell(map_, cell.column, cell.row))
        return;
    setSelected(cell);
    emit cellSelected(cell.column, cell.row);
    if (event->button() == Qt::RightButton)
        emit cellRightClicked(cell.column, cell.row, event->globalPosition().toPoint());
}

void BamGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const GridCell cell = cellAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && cell.valid() &&
        isBlockCell(map_, cell.column, cell.row))
        emit cellDoubleClicked(cell.column, cell.row);
}

void BamGrid::keyPressEvent(QKeyEvent* event) {
    constexpr std::pair<int, GridStep> kStepKeys[] = {{Qt::Key_Left, GridStep::Left},
                                                      {Qt::Key_Right, GridStep::Right},
                                                      {Qt::Key_Up, GridStep::Up},
                                                      {Qt::Key_Down, GridStep::Down},
                                                      {Qt::Key_Home, GridStep::FirstSector},
                                                      {Qt::Key_End, GridStep::LastSector}};
    const auto* key = std::find_if(std::begin(kStepKeys), std::end(kStepKeys),
                                   [&](const auto& k) { return k.first == event->key(); });
    const std::optional<GridStep> step =
        key != std::end(kStepKeys) ? std::optional(key->second) : std::nullopt;
    if (step && event->modifiers() == Qt::NoModifier) {
        const GridCell next = stepCell(map_, selected_, *step);
        if (next.valid() && next != selected_) {
            setSelected(next);
            emit cellSelected(next.column, next.row);
        }
        return;
    }
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((menuKey || enter) && selected_.valid()) {
        if (menuKey) {
            const GridRect r = gridCellRect(geometry_, selected_.column, selected_.row);
            emit cellRightClicked(selected_.column, selected_.row,
                                  mapToGlobal(QPoint(r.x + r.width / 2, r.y + r.height / 2)));
        } else {
            emit cellDoubleClicked(selected_.column, selected_.row);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void BamGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat())
        return;
    emit keyReleased(event->key());
}

void BamGrid::wheelEvent(QWheelEvent* event) {
    // The wheel does nothing over the grid.
    event->accept();
}

}  // namespace qv::app
