#include "platform/EodTreeView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QTimer>

#include "platform/EodTreeModel.h"
#include "settings/ExtendedOpen.h"

namespace qv::app {

EodTreeView::EodTreeView(QWidget* parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setExpandsOnDoubleClick(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
    band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    scrollTimer_ = new QTimer(this);
    scrollTimer_->setInterval(EodSweep::kScrollMilliseconds);
    connect(scrollTimer_, &QTimer::timeout, this, &EodTreeView::autoScrollStep);
}

void EodTreeView::setTreeModel(EodTreeModel* model) {
    model_ = model;
    setModel(model);
    connect(this, &QTreeView::expanded, model,
            [model](const QModelIndex& i) { model->setExpanded(i, true); });
    connect(this, &QTreeView::collapsed, model,
            [model](const QModelIndex& i) { model->setExpanded(i, false); });
}

QPoint EodTreeView::contentOffset() const {
    return {horizontalScrollBar()->value(), verticalOffset()};
}

void EodTreeView::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    const QModelIndex i = indexAt(pos);
    // The branch arrow left of a folder opens and closes it as usual.
    if (i.isValid() && pos.x() < visualRect(i).left()) {
        QTreeView::mousePressEvent(e);
        return;
    }
    if (e->button() != Qt::LeftButton && e->button() != Qt::RightButton)
        return;
    setFocus();
    if (i.isValid())
        setCurrentIndex(i);
    if (e->button() == Qt::LeftButton && model_ && i.isValid()) {
        if (e->modifiers() & Qt::ShiftModifier)
            model_->shiftToggle(i);
        else
            model_->toggle(i);
    }
    sweepButton_ = e->button();
    swept_ = false;
    pressContent_ = pos + contentOffset();
    lastEvaluated_ = pos;
    pointer_ = pos;
}

void EodTreeView::mouseMoveEvent(QMouseEvent* e) {
    if (sweepButton_ == Qt::NoButton) {
        QTreeView::mouseMoveEvent(e);
        return;
    }
    pointer_ = e->position().toPoint();
    const QPoint d = pointer_ - lastEvaluated_;
    if (EodSweep::needsUpdate(d.x(), d.y())) {
        swept_ = true;
        lastEvaluated_ = pointer_;
        sweepTo(pointer_);
    }
    if (swept_) {
        const QRect band = QRect(pressContent_ - contentOffset(), pointer_).normalized();
        band_->setGeometry(band);
        band_->show();
    }
    const bool nearEdge = EodSweep::scrollDirection(pointer_.y(), viewport()->height()) != 0;
    if (swept_ && nearEdge && !scrollTimer_->isActive())
        scrollTimer_->start();
    else if (!nearEdge)
        scrollTimer_->stop();
}

void EodTreeView::sweepTo(QPoint viewportPos) {
    if (!model_)
        return;
    const bool on = sweepButton_ == Qt::LeftButton;
    const QPoint off = contentOffset();
    const QPoint end = viewportPos + off;
    for (const EodSweep::Point& p :
         EodSweep::samples({pressContent_.x(), pressContent_.y()}, {end.x(), end.y()})) {
        const QPoint v = QPoint(p.x, p.y) - off;
        if (v.y() < 0 || v.y() >= viewport()->height())
            continue;  // only rows on the screen can be hit
        const QModelIndex i = indexAt(v);
        if (i.isValid())
            model_->setChecked(i, on);
    }
}

void EodTreeView::autoScrollStep() {
    if (sweepButton_ == Qt::NoButton) {
        scrollTimer_->stop();
        return;
    }
    const int dir = EodSweep::scrollDirection(pointer_.y(), viewport()->height());
    if (dir == 0) {
        scrollTimer_->stop();
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + dir * bar->singleStep());
}

void EodTreeView::scrollContentsBy(int dx, int dy) {
    QTreeView::scrollContentsBy(dx, dy);
    // The wheel, the scroll bar and the auto-scroll extend a running sweep.
    if (sweepButton_ != Qt::NoButton && swept_) {
        sweepTo(pointer_);
        band_->setGeometry(QRect(pressContent_ - contentOffset(), pointer_).normalized());
    }
}

void EodTreeView::mouseReleaseEvent(QMouseEvent* e) {
    if (sweepButton_ == Qt::NoButton || e->button() != sweepButton_) {
        QTreeView::mouseReleaseEvent(e);
        return;
    }
    sweepButton_ = Qt::NoButton;
    swept_ = false;
    band_->hide();
    scrollTimer_->stop();
}

void EodTreeView::mouseDoubleClickEvent(QMouseEvent* e) {
    // The second click of a quick pair toggles again, as a click does.
    mousePressEvent(e);
}

void EodTreeView::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Space && model_ && currentIndex().isValid()) {
        if (e->modifiers() & Qt::ShiftModifier)
            model_->shiftToggle(currentIndex());
        else
            model_->toggle(currentIndex());
        return;
    }
    QTreeView::keyPressEvent(e);
}

}  // namespace qv::app
