#pragma once

#include <QWidget>
#include <functional>

#include "geos/FontView.h"

class QAction;
class QMenu;
class QScrollArea;

namespace qv::app {

class FileChooser;
class GeosPictureWidget;

// The font window, the small picture viewer of the GEOS documents: font sheets,
// photo scraps and file icons. Its pop-up menu holds "Zoom" ("100%", "Zoom in",
// "Zoom out", "Fit To Window"), "Space between chars", "Show Grid", "Monochrome
// scrap" and "Save as..."; the caller decides which of the middle three are visible.
// The engine's FontView keeps the picture, the zoom and the options.
class TfShowFont : public QWidget {
    Q_OBJECT
  public:
    TfShowFont(GeosReaderContext& context, FileChooser& chooser, QWidget* parent = nullptr);

    FontView& view() { return view_; }
    // Shows what the view holds: caption, the menu items the caller chose, zoom 1, the
    // client area sized to the picture, the hint for fonts.
    void showPicture(int wheelStep);

    void zoom100();
    void zoomIn();
    void zoomOut();
    void toggleFitToWindow();
    void toggleSpaceBetweenChars();
    void toggleShowGrid();
    void toggleMonochromeScrap();
    void saveAs();
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }

    QMenu* popupMenu() const { return menu_; }
    QAction* fitAction() const { return fit_; }
    QAction* spaceAction() const { return space_; }
    QAction* gridAction() const { return grid_; }
    QAction* monochromeAction() const { return monochrome_; }
    QAction* saveAction() const { return save_; }
    QScrollArea* scrollArea() const { return scroll_; }
    GeosPictureWidget* pictureWidget() const { return picture_; }

  signals:
    // An option of the settings changed ("Space between chars", "Show Grid",
    // "Monochrome scrap").
    void optionsChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenu();
    // The picture at its shown size, the menu checks and the hint, after a change.
    void refresh();
    void sizeClientToView();
    void redraw(int (FontView::*toggle)(GeosReaderContext&));

    GeosReaderContext& context_;
    FileChooser& chooser_;
    FontView view_;
    std::function<QString()> saveFolder_;
    QMenu* menu_ = nullptr;
    QAction* fit_ = nullptr;
    QAction* space_ = nullptr;
    QAction* grid_ = nullptr;
    QAction* monochrome_ = nullptr;
    QAction* save_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    GeosPictureWidget* picture_ = nullptr;
    QSize requested_;  // the size the window gave itself last: not the user's resize
    int wheelRemainder_ = 0;
};

}  // namespace qv::app
