#pragma once

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>

namespace qv::app {

// A view of the catalogue's list (the report table or the icon and list views) that
// tells the window of every press after the view has updated its selection, of every
// release and of the mouse wheel, and lets the window take keys first. The double
// click of the toolkit is passed on as a press: the window's click machine tells
// double clicks from slow second clicks itself.
template <class Base>
class CatalogueItemView : public Base {
  public:
    using Base::Base;

    std::function<void(QMouseEvent*)> pressed;
    std::function<void(QMouseEvent*)> released;
    std::function<void()> wheelTurned;
    // Returns true for a key the window handled.
    std::function<bool(QKeyEvent*)> keyPressed;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        Base::mousePressEvent(event);
        if (pressed)
            pressed(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        // No editing or activation of the toolkit's own: a second press like the first.
        Base::mousePressEvent(event);
        if (pressed)
            pressed(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        Base::mouseReleaseEvent(event);
        if (released)
            released(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        if (wheelTurned)
            wheelTurned();
        Base::wheelEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (keyPressed && keyPressed(event)) {
            event->accept();
            return;
        }
        Base::keyPressEvent(event);
    }
};

}  // namespace qv::app
