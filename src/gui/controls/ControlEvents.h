#pragma once
// The mouse events the skinned controls publish, with the control itself as the sender, and the
// base that fires the hover events, and the store-and-repaint of their properties. UI thread only.
#include <QWidget>
#include <functional>

namespace pelvano::gui {

// Stores a changed property value and schedules a repaint of its control.
template <class T>
void StoreAndRepaint(QWidget& control, T& field, const T& value) {
    if (field == value) return;
    field = value;
    control.update();
}

template <class Sender>
struct ControlEvents {
    std::function<void(Sender*)> OnClick, OnMouseEnter, OnMouseExit;
    std::function<void(Sender*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown,
        OnMouseUp;
    std::function<void(Sender*, Qt::KeyboardModifiers, int, int)> OnMouseMove;
};

// A custom-painted control: the pointer entering or leaving fires OnMouseEnter/OnMouseExit while
// the control is enabled, and a double click arrives as one more press.
template <class Sender>
class SkinnedControl : public QWidget, public ControlEvents<Sender> {
  public:
    explicit SkinnedControl(QWidget* parent) : QWidget(parent) {
        setMouseTracking(true);  // OnMouseMove fires with no button held too
    }

  protected:
    // Runs before the event handler is called.
    virtual void hoverChanged(bool /*inside*/) {}

    void enterEvent(QEnterEvent*) override { hover(true, this->OnMouseEnter); }
    void leaveEvent(QEvent*) override { hover(false, this->OnMouseExit); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }

  private:
    void hover(bool inside, const std::function<void(Sender*)>& handler) {
        if (!isEnabled()) return;
        hoverChanged(inside);
        if (handler) handler(static_cast<Sender*>(this));
    }
};

}  // namespace pelvano::gui
