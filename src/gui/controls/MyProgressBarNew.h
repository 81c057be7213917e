#pragma once
// TMyProgressBarNew: a progress bar filled with a one-, two- or three-colour gradient or a tiled
// picture, two bevels and a centred caption or position text. UI thread only.
#include <QImage>
#include <QWidget>
#include <functional>

#include "gui/controls/ProgressBarLook.h"

namespace pelvano::gui {

class TMyProgressBarNew : public QWidget {
    Q_OBJECT
  public:
    explicit TMyProgressBarNew(QWidget* parent = nullptr);

    TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(TColor v);
    const QImage& BarBitmap() const { return barBitmap_; }
    void SetBarBitmap(const QImage& v);
    TColor BarColor1() const { return gradient_.BarColor1; }
    void SetBarColor1(TColor v);
    TColor BarColor2() const { return gradient_.BarColor2; }
    void SetBarColor2(TColor v);
    TColor BarColor3() const { return gradient_.BarColor3; }
    void SetBarColor3(TColor v);
    TBarColorStyle BarColorStyle() const { return gradient_.style; }
    void SetBarColorStyle(TBarColorStyle v);
    TBevelStyle BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelStyle v);
    TBevelStyle BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelStyle v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);  // > 0
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);  // ≥ 0
    TProgressDirection Direction() const { return gradient_.direction; }
    void SetDirection(TProgressDirection v);
    int Gradient() const { return gradient_.Gradient; }
    void SetGradient(int v);  // > 0
    int Max() const { return max_; }
    void SetMax(int v);
    int Min() const { return min_; }
    void SetMin(int v);
    int MidPoint1() const { return gradient_.MidPoint1; }
    void SetMidPoint1(int v);  // 0…100
    int MidPoint2() const { return gradient_.MidPoint2; }
    void SetMidPoint2(int v);  // 0…100
    bool Percentage() const { return percentage_; }
    void SetPercentage(bool v);
    int Position() const { return position_; }
    void SetPosition(int v);  // ignored outside Min…Max
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    QString PosTextPrefix() const { return prefix_; }
    void SetPosTextPrefix(const QString& v);
    QString PosTextSuffix() const { return suffix_; }
    void SetPosTextSuffix(const QString& v);
    bool ShowCaption() const { return showCaption_; }
    void SetShowCaption(bool v);
    bool ShowPosText() const { return showPosText_; }
    void SetShowPosText(bool v);
    bool UseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool v);
    const core::FontRecord& Font() const { return font_; }
    void SetFont(const core::FontRecord& v);
    static QString Version() { return QStringLiteral("1.20.0"); }

    // The bar area: the control inset by the bevels and BorderWidth.
    Edges BarArea() const;
    QString Text() const;
    // The whole control as it paints.
    QImage Render();

    std::function<void(TMyProgressBarNew*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)>
        OnMouseUp;

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    template <class T>
    void setAndRebuild(T& field, const T& value);
    template <class T>
    void setText(T& field, const T& value);
    void drawBar(QPainter& p);
    void drawBevel(QPainter& p, Edges& r, TBevelStyle style) const;

    TColor backgroundColor_ = clBtnFace;
    QImage barBitmap_;
    GradientLook gradient_;
    TBevelStyle bevelInner_ = bvNone;
    TBevelStyle bevelOuter_ = bvLowered;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    int max_ = 100;
    int min_ = 0;
    bool percentage_ = false;
    int position_ = 0;
    QString caption_;
    QString prefix_;
    QString suffix_;
    bool showCaption_ = false;
    bool showPosText_ = true;
    bool useBitmap_ = false;
    core::FontRecord font_;
    QImage barImage_;
    bool rebuild_ = true;
};

}  // namespace pelvano::gui
