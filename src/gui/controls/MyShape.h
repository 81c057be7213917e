#pragma once
// TMyShape: one diagram symbol (text, lines, electrical symbols, figures, dials) over an
// optional picture, with a frame that follows the mouse and handles for moving and resizing.
// UI thread only.
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "gui/controls/ControlEvents.h"
#include "gui/controls/ShapePainter.h"

namespace pelvano::gui {

class TMyShape : public SkinnedControl<TMyShape> {
    Q_OBJECT
  public:
    explicit TMyShape(QWidget* parent = nullptr);

    QString Caption() const { return params_.caption; }
    void SetCaption(const QString& v);
    bool ShowDot() const { return params_.showDot; }
    void SetShowDot(bool v);
    int PenWidth() const { return params_.penWidth; }
    void SetPenWidth(int v);  // 0…255
    int FrameWidth() const { return params_.frameWidth; }
    void SetFrameWidth(int v);
    bool ShowFrame() const { return showFrame_; }
    void SetShowFrame(bool v);
    bool Editting() const { return editting_; }
    void SetEditting(bool v);
    bool CanZoom = false;
    TDrawShape DrawShape() const { return params_.kind; }
    void SetDrawShape(TDrawShape v);
    QPointer<QMenu> PopUpMenu;
    const core::FontRecord& Font() const { return params_.font; }
    void SetFont(const core::FontRecord& v);
    bool Movable = false;
    TColor Color() const { return params_.colour; }
    void SetColor(TColor v);
    TPenStyle PenStyle() const { return params_.penStyle; }
    void SetPenStyle(TPenStyle v);
    QString FontName() const { return GbkToQString(params_.font.name); }
    void SetFontName(const QString& v);
    QString sID;
    TColor FontColor() const { return params_.font.color; }
    void SetFontColor(TColor v);
    int FontSize() const { return params_.font.size; }
    void SetFontSize(int v);
    TDrawDirection DrawDirection() const { return params_.direction; }
    void SetDrawDirection(TDrawDirection v);
    bool bkTransParent() const { return bkTransParent_; }
    void SetbkTransParent(bool v);
    unsigned ID = 0;
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool OrgFontSize() const { return params_.orgFontSize; }
    void SetOrgFontSize(bool v);
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& v);
    TShapeTextAlign TextAlign() const { return params_.textAlign; }
    void SetTextAlign(TShapeTextAlign v);

    // 0 normal, 1 released, 2 pressed.
    int Look() const { return look_; }
    int ActiveHandle() const { return handle_; }
    QImage Render();

  protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void hoverChanged(bool inside) override { hover_ = inside; }

  private:
    void release(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    // The fork kinds need room for their figure: at least twice as long as they are wide.
    void ensureFigureRoom();
    void paintInto(QPainter& p);

    ShapeParams params_;
    bool showFrame_ = false;
    bool editting_ = false;
    bool bkTransParent_ = true;
    bool stretch_ = false;
    QImage picture_;
    bool pressed_ = false;
    bool clickArmed_ = false;
    int look_ = 0;
    bool hover_ = false;
    int handle_ = 0;
    QPoint pressPoint_;
    QPoint lastGlobal_;
};

}  // namespace pelvano::gui
