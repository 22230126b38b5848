#pragma once

#include <QImage>
#include <QWidget>

#include <string>

#include "support/Image.h"

namespace qv {
class Dialogs;
}

namespace qv::app {

class FileChooser;

// An engine picture (0x00RRGGBB pixels) as the toolkit's picture, copied.
inline QImage toQImage(const Image32& picture) {
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.pixels.size() !=
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height)) {
        return {};
    }
    // The toolkit's 32-bit RGB format reads 0x00RRGGBB as it is.
    return QImage(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                  picture.height, picture.width * 4, QImage::Format_RGB32)
        .copy();
}

// Whole wheel notches turned so far (120 eighths of a degree each); a fine-grained
// wheel's part of a notch waits in REMAINDER for the next turn.
inline int takeWheelNotches(int& remainder, int angleDelta) {
    constexpr int kNotch = 120;
    remainder += angleDelta;
    const int notches = remainder / kNotch;
    remainder -= notches * kNotch;
    return notches;
}

// "Save as..." of the picture viewers: the save dialog over FILTER, starting in FOLDER,
// then the picture written as a bitmap or PNG; a picture that cannot be written has
// shown its message under MODULE.
void savePictureAs(QWidget* parent, FileChooser& chooser, const QString& folder,
                   const std::string& filter, const QString& defaultSuffix, Dialogs& dialogs,
                   const std::string& module, const Image32& picture);

// Shows a GEOS picture stretched over the whole widget, pixel for pixel without
// smoothing, so that an enlarged picture keeps its sharp C64 pixels.
class GeosPictureWidget : public QWidget {
    Q_OBJECT
  public:
    explicit GeosPictureWidget(QWidget* parent = nullptr);

    void setPicture(const Image32& picture);
    const QImage& image() const { return image_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
};

}  // namespace qv::app
