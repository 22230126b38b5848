#include "geos/GeosPictureWidget.h"

#include <QPainter>
#include <optional>

#include "geos/ViewerPicture.h"
#include "platform/QtDialogHost.h"
#include "platform/QtText.h"

namespace qv::app {

void savePictureAs(QWidget* parent, FileChooser& chooser, const QString& folder,
                   const std::string& filter, const QString& defaultSuffix, Dialogs& dialogs,
                   const std::string& module, const Image32& picture) {
    if (picture.pixels.empty())
        return;
    const std::optional<FileChooser::SaveChoice> choice =
        chooser.saveFile(parent, QStringLiteral("Save"), folder, filter, defaultSuffix);
    if (!choice)
        return;
    const std::string path = ss(choice->path);
    saveViewerPicture(dialogs, module, path, picture,
                      viewerPictureFormat(path, choice->filterIndex));
}

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
