#pragma once
// TTransparentButton and TMyTransBtn: flat buttons that draw only a frame, a glyph and a caption
// over their parent. One design; the two differ in their defaults, their click and which mouse
// buttons open the pop-up menu. UI thread only.
#include <QMenu>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "gui/controls/ControlEvents.h"
#include "gui/controls/TransButtonLook.h"

namespace pelvano::gui {

class TransparentButtonBase : public SkinnedControl<TransparentButtonBase> {
    Q_OBJECT
  public:
    bool AutoGray = true;
    bool ShowPressed = true;
    bool Movable = false;
    QPointer<QMenu> PopUpMenu;

    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);  // '&' marks the accelerator
    bool Down() const { return down_; }
    void SetDown(bool v);
    const core::FontRecord& Font() const { return font_; }
    void SetFont(const core::FontRecord& v);
    TFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TFrameStyle v);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);  // 1…4; the image list stays as built
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);

    bool PressedLook() const { return pressedLook_; }
    bool Hover() const { return hover_; }
    int GlyphListCount() const { return static_cast<int>(glyphList_.size()); }

    // A dialog character: clicks the button when it is its accelerator; true when handled.
    bool DialogChar(QChar c);

  protected:
    enum class Flavour { Transparent, MyTrans };
    TransparentButtonBase(QWidget* parent, Flavour flavour);

    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void hoverChanged(bool inside) override;

  private:
    void click();
    void release(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void rebuildGlyphList();
    void updateShortcut();

    Flavour flavour_;
    int borderWidth_ = 1;
    QString caption_;
    bool down_ = false;
    core::FontRecord font_;
    TFrameStyle frameStyle_ = fsExplorer;
    QImage glyph_;
    int numGlyphs_ = 1;
    int spacing_ = 2;
    TTextAlign textAlign_ = ttaCenter;
    bool transparent_ = true;
    bool wordWrap_ = false;
    std::vector<QImage> glyphList_;
    bool pressInProgress_ = false;
    bool held_ = false;
    bool pressedLook_ = false;
    bool hover_ = false;
    QPoint pressPoint_;
    int shortcutId_ = 0;
};

// Icon buttons and hot areas: a click lets the button up before its handler runs.
class TTransparentButton : public TransparentButtonBase {
    Q_OBJECT
  public:
    explicit TTransparentButton(QWidget* parent = nullptr);
};

// Text buttons: black 9-point 宋体, caption "Caption"; any mouse button opens the menu.
class TMyTransBtn : public TransparentButtonBase {
    Q_OBJECT
  public:
    explicit TMyTransBtn(QWidget* parent = nullptr);
};

}  // namespace pelvano::gui
