#pragma once
// TFrmNewtmpl: a borderless stay-on-top window cut to the opaque pixels of its picture, dragged
// with any mouse button. UI thread only.
#include <QLabel>
#include <QRegion>
#include <QWidget>
#include <functional>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

class TFrmNewtmpl : public QWidget {
    Q_OBJECT
  public:
    explicit TFrmNewtmpl(QWidget* parent = nullptr);

    QLabel* Image1() const { return image1_; }
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor c);  // reshapes
    bool Movable = true;
    // Shows a picture and reshapes the window after it.
    void SetPicture(const QImage& picture);
    // Cuts the window to Image1's picture; an empty shape leaves the outline as it was.
    void RebuildShape();
    const QRegion& Shape() const { return shape_; }

    std::function<void(TFrmNewtmpl*, Qt::KeyboardModifiers, int, int)> OnMoving;
    std::function<void(int, int)> OnAfterMove;

    // The mouse handlers of the window and its picture, in screen coordinates.
    void FormMouseDown(QPoint globalPos);
    void FormMouseMove(QPoint globalPos, Qt::KeyboardModifiers mods);
    void FormMouseUp();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    QLabel* image1_;
    TColor transparentColor_ = core::clWhite;
    bool dragging_ = false;
    QPoint last_;
    QRegion shape_;
};

// The built-in picture of the window until a file is loaded: a rounded plate drawn in code,
// 199 × 103, white around it.
QImage DefaultTemplatePicture();

}  // namespace pelvano::gui
