#pragma once

#include <QPoint>
#include <QTreeView>

class QRubberBand;
class QTimer;

namespace qv::app {

class EodTreeModel;

// The check tree's view with its mouse rules: a click toggles a node, Shift with a
// click toggles the range from the anchor, and dragging sweeps a rectangle that
// checks (left button) or unchecks (right button) every node under it, scrolling
// near the top and bottom edges. Space toggles the current node.
class EodTreeView : public QTreeView {
    Q_OBJECT
  public:
    explicit EodTreeView(QWidget* parent = nullptr);
    void setTreeModel(EodTreeModel* model);
    bool sweeping() const { return sweepButton_ != Qt::NoButton && swept_; }
    // One step of the auto-scroll, as its timer runs it.
    void autoScrollStep();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

  private:
    // The rectangle from the press to the pointer, in the content's coordinates.
    void sweepTo(QPoint viewportPos);
    QPoint contentOffset() const;

    EodTreeModel* model_ = nullptr;
    Qt::MouseButton sweepButton_ = Qt::NoButton;
    bool swept_ = false;
    QPoint pressContent_;  // where the button went down, content coordinates
    QPoint lastEvaluated_;
    QPoint pointer_;
    QRubberBand* band_ = nullptr;
    QTimer* scrollTimer_ = nullptr;
};

}  // namespace qv::app
