#pragma once

#include <QWidget>
#include <functional>

#include "geos/GeoPaint.h"

class QAction;
class QMenuBar;
class QScrollArea;

namespace qv::app {

class FileChooser;
class GeosPictureWidget;

// The GeoPaint window: the 640 x 720 page in a scroll area, centred as the window
// widens, with the menu "Monochrome" and "Save as...". The engine's GeoPaintView
// decodes, keeps the document and scrolls; the window shows its picture.
class TfGeoPaint : public QWidget {
    Q_OBJECT
  public:
    TfGeoPaint(GeosReaderContext& context, FileChooser& chooser, QWidget* parent = nullptr);

    GeoPaintView& view() { return view_; }
    // Decodes a document (0, or 1 after a failure, the old picture then stays).
    int decode(const std::string& imagePath, const std::string& fileName, int fileOffset);
    // Shows the window with the wheel step the catalogue takes from the system.
    void showPicture(int wheelStep);

    void toggleMonochrome();
    void saveAs();
    // The folder "Save as..." starts in.
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }

    QAction* monochromeAction() const { return monochrome_; }
    QAction* saveAction() const { return save_; }
    QMenuBar* menuBar() const { return menuBar_; }
    QScrollArea* scrollArea() const { return scroll_; }
    GeosPictureWidget* pictureWidget() const { return picture_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void refresh();

    GeosReaderContext& context_;
    FileChooser& chooser_;
    GeoPaintView view_;
    std::function<QString()> saveFolder_;
    QMenuBar* menuBar_ = nullptr;
    QAction* monochrome_ = nullptr;
    QAction* save_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QWidget* panel_ = nullptr;
    GeosPictureWidget* picture_ = nullptr;
    int wheelRemainder_ = 0;
};

}  // namespace qv::app
