#include "geos/GeosPictureWidget.h"

#include <QPainter>

namespace qv::app {

GeosPictureWidget::GeosPictureWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GeosPictureWidget::setPicture(const Image32& picture) {
    image_ = toQImage(picture);
    update();
}

void GeosPictureWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.fillRect(rect(), Qt::white);
    if (!image_.isNull())
        p.drawImage(rect(), image_);
}

}  // namespace qv::app
