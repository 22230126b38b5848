#include "geos/GeoWriteRulerBar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolTip>
#include <cstdlib>

namespace qv::app {

namespace {
constexpr int kBaseline = 14;  // the ruler's line; first-line marker above, others below
}

GeoWriteRulerBar::GeoWriteRulerBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GeoWriteRuler"));
    setAccessibleName(QStringLiteral("Ruler"));
    setFixedHeight(kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
}

QSize GeoWriteRulerBar::sizeHint() const {
    return {600, kHeight};
}

void GeoWriteRulerBar::setMarks(std::vector<RulerMark> marks) {
    marks_ = std::move(marks);
    update();
}

void GeoWriteRulerBar::setMarkers(const RulerMarkers& markers) {
    markers_ = markers;
    dragging_ = false;
    update();
}

int GeoWriteRulerBar::markerX(RulerMarker marker) const {
    if (dragging_ && marker == dragged_)
        return dragX_;
    switch (marker) {
        case RulerMarker::FirstLine:
            return markers_.firstLine;
        case RulerMarker::Left:
            return markers_.left;
        case RulerMarker::Right:
            return markers_.right;
    }
    return 0;
}

QRect GeoWriteRulerBar::markerRect(RulerMarker marker) const {
    const int x = markerX(marker);
    if (marker == RulerMarker::FirstLine)
        return {x, 0, kMarkerWidth, kBaseline};
    return {x, kBaseline + 1, kMarkerWidth, kHeight - kBaseline - 1};
}

QString GeoWriteRulerBar::hintAt(int x) const {
    for (const RulerMark& m : marks_) {
        if (std::abs(m.x - x) <= 4)
            return QString::fromStdString(m.hint);
    }
    return {};
}

bool GeoWriteRulerBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = hintAt(help->pos().x());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(event);
}

void GeoWriteRulerBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawLine(0, kBaseline, width(), kBaseline);
    for (const RulerMark& m : marks_) {
        p.drawLine(m.x, kBaseline - 6, m.x, kBaseline + 6);
        // Half and quarter inches between the marks.
    }
    for (std::size_t i = 0; i + 1 < marks_.size(); ++i) {
        const double step = (marks_[i + 1].x - marks_[i].x) / 4.0;
        for (int q = 1; q < 4; ++q) {
            const int x = marks_[i].x + static_cast<int>(step * q);
            const int h = q == 2 ? 4 : 2;
            p.drawLine(x, kBaseline - h, x, kBaseline);
        }
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    const int half = kMarkerWidth / 2;
    // The first-line marker points down onto the line, the others up to it.
    const int f = markerX(RulerMarker::FirstLine);
    p.drawPolygon(
        QPolygon({QPoint(f, 2), QPoint(f + kMarkerWidth, 2), QPoint(f + half, kBaseline - 1)}));
    for (const RulerMarker m : {RulerMarker::Left, RulerMarker::Right}) {
        const int x = markerX(m);
        p.drawPolygon(QPolygon({QPoint(x + half, kBaseline + 1),
                                QPoint(x + kMarkerWidth, kHeight - 4), QPoint(x, kHeight - 4)}));
    }
}

void GeoWriteRulerBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    for (const RulerMarker m : {RulerMarker::FirstLine, RulerMarker::Left, RulerMarker::Right}) {
        if (markerRect(m).contains(at)) {
            dragged_ = m;
            startX_ = markerX(m);
            dragX_ = startX_;
            grab_ = at.x() - startX_;
            dragging_ = true;
            return;
        }
    }
}

void GeoWriteRulerBar::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    dragX_ = std::clamp(static_cast<int>(event->position().x()) - grab_, 0,
                        std::max(0, width() - kMarkerWidth));
    update();
}

void GeoWriteRulerBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    update();
    // A click that did not move the marker changes nothing.
    if (dragX_ != startX_)
        emit markerDropped(dragged_, dragX_);
}

}  // namespace qv::app
