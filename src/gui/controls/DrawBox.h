#pragma once
// TDrawBox: a double-buffered drawing surface. Subclasses draw into Canvas() from
// redrawContent(); painting only copies the off-screen image, so nothing flickers.
// UI thread only.
#include <QImage>
#include <QWidget>

#include "gui/controls/QtAdapters.h"

namespace pelvano::gui {

class TDrawBox : public QWidget {
    Q_OBJECT
  public:
    explicit TDrawBox(QWidget* parent = nullptr);

    TColor BackGroundColor() const { return backGroundColor_; }
    void SetBackGroundColor(TColor v);
    const QImage& Canvas() const { return canvas_; }

  protected:
    QImage& canvas() { return canvas_; }
    // After the off-screen image was resized.
    virtual void resized() {}
    // Clears the image; the plain box then draws an X as a placeholder.
    virtual void redrawContent();
    void clearCanvas();
    // Brings the off-screen image to the control's size when it differs.
    void syncSize();

    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

  private:
    TColor backGroundColor_ = core::clSilver;
    QImage canvas_;
    QSize madeFor_{-1, -1};
};

}  // namespace pelvano::gui
