#include "viewer/TokenGridView.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <cmath>

#include "viewer/TokenTable.h"

namespace qv::app {

TokenGridView::TokenGridView(QWidget* parent) : QTableView(parent) {
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    // The wheel moves whole rows, by the system's wheel step.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The corner selects the whole table, as a spreadsheet's does.
    setCornerButtonEnabled(true);
    corner_ = findChild<QAbstractButton*>();
    if (corner_)
        corner_->installEventFilter(this);
    applyCellSize();
}

void TokenGridView::applyCellSize() {
    const double scale = logicalDpiY() / 96.0;
    const int width = static_cast<int>(std::lround(85 * scale));
    const int height =
        std::max(static_cast<int>(std::lround(16 * scale)), fontMetrics().height() + 4);
    horizontalHeader()->setDefaultSectionSize(width);
    horizontalHeader()->setMinimumSectionSize(std::min(width, 20));
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
    verticalHeader()->setFixedWidth(width);
}

void TokenGridView::setCornerText(const QString& text) {
    cornerText_ = text;
    // The title column is as wide as a cell, or as its longest header title needs.
    int width = horizontalHeader()->defaultSectionSize();
    const int margin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 4;
    width = std::max(width, fontMetrics().horizontalAdvance(text) + margin);
    if (model()) {
        for (int r = 0; r < std::min(model()->rowCount(), tokenrow::FirstToken - 1); ++r) {
            const QString title = model()->headerData(r, Qt::Vertical).toString();
            width = std::max(width, fontMetrics().horizontalAdvance(title) + margin);
        }
    }
    verticalHeader()->setFixedWidth(width);
    if (corner_)
        corner_->update();
}

CellRange TokenGridView::selectedCells() const {
    const QItemSelection selection =
        selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (!selection.isEmpty()) {
        CellRange r{selection.first().left(), selection.first().top(), selection.first().right(),
                    selection.first().bottom()};
        for (const QItemSelectionRange& range : selection) {
            r.left = std::min(r.left, range.left());
            r.top = std::min(r.top, range.top());
            r.right = std::max(r.right, range.right());
            r.bottom = std::max(r.bottom, range.bottom());
        }
        return {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    }
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return {};
    return {current.column() + 1, current.row() + 1, current.column() + 1, current.row() + 1};
}

void TokenGridView::keyPressEvent(QKeyEvent* event) {
    if (state() != QAbstractItemView::EditingState) {
        if (event->matches(QKeySequence::Copy)) {
            emit copyRequested();
            return;
        }
        if (event->matches(QKeySequence::Cut)) {
            emit cutRequested();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            emit pasteRequested();
            return;
        }
        if (event->matches(QKeySequence::Delete) || event->key() == Qt::Key_Delete) {
            emit deleteRequested();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TokenGridView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!model())
        return;
    // The end of the header rows and of every tokenset (the text columns, even in the
    // table, odd in the model).
    QPainter p(viewport());
    p.setPen(QPen(Qt::black, 1));
    const int headerEnd =
        rowViewportPosition(tokenrow::DetokComment - 1) + rowHeight(tokenrow::DetokComment - 1) - 1;
    if (tokenrow::DetokComment - 1 < model()->rowCount() && headerEnd >= 0)
        p.drawLine(0, headerEnd, viewport()->width(), headerEnd);
    const int first = std::max(columnAt(0), 0);
    int last = columnAt(viewport()->width() - 1);
    if (last < 0)
        last = model()->columnCount() - 1;
    for (int c = first; c <= last; ++c) {
        if ((c + 1) % 2 != 0)
            continue;
        const int x = columnViewportPosition(c) + columnWidth(c) - 1;
        p.drawLine(x, 0, x, viewport()->height());
    }
}

bool TokenGridView::eventFilter(QObject* watched, QEvent* event) {
    // The corner is the fixed cell (0, 0): it shows its title like a header section.
    if (watched == corner_ && event->type() == QEvent::Paint) {
        QPainter p(corner_);
        QStyleOptionHeader option;
        option.initFrom(corner_);
        option.state |= QStyle::State_Enabled;
        option.rect = corner_->rect();
        option.text = cornerText_;
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        style()->drawControl(QStyle::CE_Header, &option, &p, corner_);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace qv::app
