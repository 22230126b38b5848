#pragma once

#include <QWidget>
#include <functional>

#include "screen/C64Screen.h"

class QAction;
class QMenu;
class QScrollBar;

namespace qv {
class Dialogs;
class IniFile;
}  // namespace qv

namespace qv::app {

class FileChooser;

// The C64 screen window: the engine's picture in the client area between a light blue
// strip on the left, top and bottom and the vertical scroll bar, a pop-up menu with the
// zoom commands and "Save as...", the zoom keys and the mouse wheel. A zoom sizes the
// window for the picture as far as the screen has room; a picture larger than the
// window is cut off and scrolled (screenView). Every rule (ranges, zoom steps, the view,
// page numbering, the messages) is the engine's; the window forwards to it and shows
// what it draws.
//
// Two instances exist: the main screen (tag 0, fed by the listing), a tool window of the
// main window that stays above it but never above the program's dialogs or other
// programs; and the file viewer's (tag 1, a normal window, limited, with "40/80
// Columns").
class TfC64Screen : public QWidget {
    Q_OBJECT
  public:
    enum Tag { MainScreen = 0, FileViewerScreen = 1 };

    TfC64Screen(Tag tag, Dialogs& dialogs, FileChooser& chooser, QWidget* parent = nullptr);

    C64Screen& screen() { return screen_; }
    Tag tag() const { return tag_; }

    // The main window's toggle: takes the wheel step, draws and shows the window.
    void showScreen(int wheelStep);
    // The folder "Save as..." starts in (the listing's save path).
    void setSaveFolder(std::function<QString()> folder) { saveFolder_ = std::move(folder); }

    // The file viewer's instance: its [TOK64] keys (limit, 40/80) and the window size.
    void applyFileViewerSettings(const IniFile& ini);
    // Re-lays the screen in 40 or 80 columns and sizes the window for it; with refill the
    // screen is cleared first because its owner fills it again.
    void switchColumns(bool eighty, bool refill);

    // The commands of the pop-up menu and the keys.
    void zoom(ZoomKey key);
    void saveAs();

    QMenu* popupMenu() const { return menu_; }
    QAction* columnsAction() const { return columns_; }
    QScrollBar* scrollBar() const { return scrollBar_; }
    // Moves a picture wider than the window across; hidden while the picture fits.
    QScrollBar* panBar() const { return panBar_; }
    // Where the picture is drawn inside the window.
    QRect pictureRect() const;
    // The client size the screen the window is on gives it.
    QSize room() const;

  signals:
    // The window was closed; tag tells the main window which button to release.
    void closed(int tag);
    // "40/80 Columns" was chosen: the owner re-lays the screen (switchColumns).
    void columnsSwitchRequested(bool eighty);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void buildMenu();
    void sizeForZoom();
    void syncScrollBar();
    // Lays out the scroll bars for the window's size and tells the screen the rows shown.
    void layOut();
    ScreenView view() const;
    int scrollBarWidth() const;
    int scrollBarHeight() const;

    Tag tag_;
    Dialogs& dialogs_;
    FileChooser& chooser_;
    C64Screen screen_;
    std::function<QString()> saveFolder_;
    QScrollBar* scrollBar_ = nullptr;
    QScrollBar* panBar_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* columns_ = nullptr;
    QAction* columnsSeparator_ = nullptr;
    int wheelRemainder_ = 0;  // angle not yet turned into whole notches
};

}  // namespace qv::app
