#pragma once

#include <QWidget>
#include <functional>

#include "geos/FontView.h"
#include "geos/PhotoAlbum.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;

namespace qv::app {

class FileChooser;
class GeosPictureWidget;

// The photo album window: the scrap on show stretched over its panel, the title
// under it, the buttons "prev scrap (page up)" and "next scrap (page down)", and the
// pop-up menu "Zoom", "Monochrome scrap" and "Save as...". The engine's PhotoAlbum
// pages, zooms and lays out; its scraps are decoded through a FontView, which the
// owner keeps in step with the font window's "Monochrome scrap".
class TfPhotoAlbum : public QWidget {
    Q_OBJECT
  public:
    TfPhotoAlbum(GeosReaderContext& context, FontView& decoder, FileChooser& chooser,
                 QWidget* parent = nullptr);

    PhotoAlbum& album() { return album_; }
    // Loads the album and decodes its first scrap: 0, or 1 after a failure.
    int open(const std::string& imagePath, const std::string& fileName, int fileOffset,
             int version);
    void showAlbum();

    void previousScrap();
    void nextScrap();
    void zoom100();
    void zoomIn();
    void zoomOut();
    void toggleFitToWindow();
    void toggleMonochrome();
    void saveAs();
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }

    QMenu* popupMenu() const { return menu_; }
    QAction* fitAction() const { return fit_; }
    QAction* monochromeAction() const { return monochrome_; }
    QPushButton* previousButton() const { return prev_; }
    QPushButton* nextButton() const { return next_; }
    QLabel* titleLabel() const { return title_; }
    GeosPictureWidget* pictureWidget() const { return picture_; }

  signals:
    // "Monochrome scrap" or "Fit To Window" changed.
    void monochromeChanged(bool on);
    void optionsChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void buildMenu();
    // After a scrap was shown or the zoom changed: caption, title, hint, picture,
    // and the window grown (or set) to the album's client size.
    void refresh(bool sizeWindow);
    void layoutChildren();

    GeosReaderContext& context_;
    FontView& decoder_;
    FileChooser& chooser_;
    PhotoAlbum album_;
    std::function<QString()> saveFolder_;
    QMenu* menu_ = nullptr;
    QAction* fit_ = nullptr;
    QAction* monochrome_ = nullptr;
    GeosPictureWidget* picture_ = nullptr;
    QLabel* title_ = nullptr;
    QPushButton* prev_ = nullptr;
    QPushButton* next_ = nullptr;
};

}  // namespace qv::app
