#pragma once

#include <QPixmap>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace qv::app {

// The search panel of the extended open: the file mask with its history, "&Search",
// the count of selected files, the search animation and the initial location for the
// next opening with "Pick".
class TfEODSearch : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kFrames = 22;
    static constexpr int kFrameMilliseconds = 100;

    explicit TfEODSearch(QWidget* parent = nullptr);

    QString mask() const;
    // The mask joins the list once (and is selected there).
    void rememberMask();
    QComboBox* maskBox() const { return mask_; }
    QPushButton* searchButton() const { return search_; }
    QPushButton* pickButton() const { return pick_; }
    QLineEdit* initialLocationField() const { return initial_; }
    QString initialLocation() const;
    void setInitialLocation(const QString& text);
    void setSelectedCount(int count);
    QString selectedText() const;

    // The animation: runs while a search does; stopped it shows its first frame.
    void startAnimation();
    void stopAnimation();
    bool animating() const;
    int frame() const { return frame_; }
    void nextFrame();
    // One frame of the animation: a magnifier going round a floppy disk.
    static QPixmap drawFrame(int frame);

  signals:
    void searchClicked();
    void pickClicked();

  private:
    void showFrame();

    QComboBox* mask_;
    QPushButton* search_;
    QLabel* selected_;
    QLabel* animation_;
    QLineEdit* initial_;
    QPushButton* pick_;
    QTimer* timer_;
    int frame_ = 0;
};

}  // namespace qv::app
